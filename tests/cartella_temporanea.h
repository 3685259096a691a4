// Test support: a fresh temporary folder per test, and small file helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/percorso.h"

namespace tracciato::test {

class cartella_temporanea {
 public:
  cartella_temporanea() {
    // A new folder of a name of its own: a name already taken is passed over.
    static std::mt19937_64 caso(std::random_device{}() ^
                                static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const auto base = std::filesystem::temp_directory_path();
    for (int tentativo = 0; tentativo < 100; ++tentativo) {
      std::string nome = "tracciato-";
      for (uint64_t z = caso(), i = 0; i < 8; ++i, z >>= 5) nome += "abcdefghijklmnopqrstuvwxyz012345"[z & 31];
      std::error_code e;
      if (std::filesystem::create_directory(base / nome, e)) {
        percorso_ = base / nome;
        return;
      }
    }
    ADD_FAILURE() << "cannot make a temporary folder in " << base;
    std::abort();
  }
  ~cartella_temporanea() {
    std::error_code e;
    std::filesystem::remove_all(percorso_, e);
  }
  cartella_temporanea(const cartella_temporanea&) = delete;
  cartella_temporanea& operator=(const cartella_temporanea&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  // The file nome (UTF-8) in the folder.
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / percorso_utf8(nome); }

  // The names (UTF-8) of the files in the folder, sorted.
  std::vector<std::string> elenco() const { return elenco_di(percorso_); }
  static std::vector<std::string> elenco_di(const std::filesystem::path& cartella) {
    std::vector<std::string> nomi;
    for (const auto& voce : std::filesystem::directory_iterator(cartella))
      nomi.push_back(testo_percorso(voce.path().filename()));
    std::sort(nomi.begin(), nomi.end());
    return nomi;
  }

 private:
  std::filesystem::path percorso_;
};

inline std::string leggi(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void scrivi(const std::filesystem::path& p, const std::string& contenuto) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << contenuto;
}

}  // namespace tracciato::test
