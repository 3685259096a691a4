#include "platform/testo.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>

namespace tracciato {
namespace {

// The UTF-8 to Windows-1252 descriptor, opened on a thread's first use and
// kept for its later ones: opening one loads and searches the conversion
// tables, which costs far more than converting a line.
class conversione_cp1252 {
 public:
  conversione_cp1252() : cd_(::iconv_open("WINDOWS-1252", "UTF-8")) {}
  ~conversione_cp1252() {
    if (aperta()) ::iconv_close(cd_);
  }
  conversione_cp1252(const conversione_cp1252&) = delete;
  conversione_cp1252& operator=(const conversione_cp1252&) = delete;

  bool aperta() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // A descriptor back in its initial state.
  iconv_t descrittore() {
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string in_minuscolo(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = static_cast<char>(minuscola(static_cast<unsigned char>(c)));
  return r;
}

bool contiene_senza_caso(std::string_view testo, std::string_view parola) {
  // Every keyword test of the loader comes here, several per record: the
  // lower-case forms come from a table, and a place is looked at further
  // only when its first character matches.
  static const auto minuscole = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = minuscola(static_cast<unsigned char>(c));
    return t;
  }();
  const auto m = [](char c) { return minuscole[static_cast<unsigned char>(c)]; };
  if (parola.empty()) return true;
  if (parola.size() > testo.size()) return false;
  const unsigned char prima = m(parola[0]);
  for (std::size_t i = 0, fine = testo.size() - parola.size(); i <= fine; ++i) {
    if (m(testo[i]) != prima) continue;
    std::size_t j = 1;
    while (j < parola.size() && m(testo[i + j]) == m(parola[j])) ++j;
    if (j == parola.size()) return true;
  }
  return false;
}

std::string da_utf8(std::string_view utf8) {
  bool ascii = true;
  for (unsigned char c : utf8) ascii = ascii && c < 0x80;
  if (ascii) return std::string(utf8);

  thread_local conversione_cp1252 conversione;
  if (!conversione.aperta()) throw std::runtime_error("no UTF-8 to Windows-1252 conversion");
  iconv_t cd = conversione.descrittore();
  std::string uscita(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t resto_in = utf8.size();
  char* out = uscita.data();
  size_t resto_out = uscita.size();
  const size_t esito = ::iconv(cd, &in, &resto_in, &out, &resto_out);
  if (esito == static_cast<size_t>(-1))
    throw std::runtime_error("text not representable in Windows-1252: " + std::string(utf8));
  uscita.resize(uscita.size() - resto_out);
  return uscita;
}

}  // namespace tracciato
