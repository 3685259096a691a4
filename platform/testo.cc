#include "platform/testo.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace tracciato {

std::string in_minuscolo(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = static_cast<char>(minuscola(static_cast<unsigned char>(c)));
  return r;
}

bool contiene_senza_caso(std::string_view testo, std::string_view parola) {
  const auto uguale = [](char a, char b) {
    return minuscola(static_cast<unsigned char>(a)) == minuscola(static_cast<unsigned char>(b));
  };
  return std::search(testo.begin(), testo.end(), parola.begin(), parola.end(), uguale) != testo.end();
}

std::string da_utf8(std::string_view utf8) {
  bool ascii = true;
  for (unsigned char c : utf8) ascii = ascii && c < 0x80;
  if (ascii) return std::string(utf8);

  iconv_t cd = ::iconv_open("WINDOWS-1252", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no UTF-8 to Windows-1252 conversion");
  std::string uscita(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t resto_in = utf8.size();
  char* out = uscita.data();
  size_t resto_out = uscita.size();
  const size_t esito = ::iconv(cd, &in, &resto_in, &out, &resto_out);
  ::iconv_close(cd);
  if (esito == static_cast<size_t>(-1))
    throw std::runtime_error("text not representable in Windows-1252: " + std::string(utf8));
  uscita.resize(uscita.size() - resto_out);
  return uscita;
}

}  // namespace tracciato
