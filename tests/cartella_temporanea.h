// Test support: a fresh temporary folder per test, and small file helpers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tracciato::test {

class cartella_temporanea {
 public:
  cartella_temporanea() {
    std::string modello = (std::filesystem::temp_directory_path() / "tracciato-XXXXXX").string();
    std::vector<char> nome(modello.begin(), modello.end());
    nome.push_back('\0');
    if (::mkdtemp(nome.data()) == nullptr) {
      ADD_FAILURE() << "cannot make a temporary folder from " << modello;
      std::abort();
    }
    percorso_ = nome.data();
  }
  ~cartella_temporanea() {
    std::error_code e;
    std::filesystem::remove_all(percorso_, e);
  }
  cartella_temporanea(const cartella_temporanea&) = delete;
  cartella_temporanea& operator=(const cartella_temporanea&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

  // The names of the files in the folder, sorted.
  std::vector<std::string> elenco() const {
    std::vector<std::string> nomi;
    for (const auto& voce : std::filesystem::directory_iterator(percorso_))
      nomi.push_back(voce.path().filename().string());
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
