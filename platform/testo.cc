#include "platform/testo.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>
#include <stdexcept>

namespace tracciato {

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

namespace {

// Unicode code points of Windows-1252 bytes 0x80 to 0x9F; 0 = undefined.
constexpr char32_t alti_1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

int byte_1252(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (int i = 0; i < 32; ++i)
    if (alti_1252[i] != 0 && alti_1252[i] == u) return 0x80 + i;
  return -1;
}

std::pair<char32_t, size_t> decodifica_utf8(std::string_view s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return {c, 1};
  size_t n;
  char32_t u;
  if (c >= 0xC2 && c <= 0xDF) n = 2, u = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, u = c & 0x0F;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, u = c & 0x07;
  else return {0, 0};
  if (i + n > s.size()) return {0, 0};
  for (size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return {0, 0};
    u = (u << 6) | (b(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((n == 3 && u < 0x800) || (n == 4 && (u < 0x10000 || u > 0x10FFFF)) || (u >= 0xD800 && u <= 0xDFFF))
    return {0, 0};
  return {u, n};
}

namespace {

std::string u_piu(char32_t u) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(u));
  return buf;
}

// UTF-8 text as Windows-1252 bytes. At the first sequence that is not UTF-8
// (n == 0) or has no Windows-1252 form, guasto(i, u, n) is called with its
// offset, and must throw.
template <class Guasto>
std::string converti_utf8(std::string_view testo, Guasto&& guasto) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (size_t i = 0; i < testo.size();) {
    // Runs of plain ASCII, most of any text, go across whole.
    size_t j = i;
    while (j < testo.size() && static_cast<unsigned char>(testo[j]) < 0x80) ++j;
    uscita.append(testo, i, j - i);
    if ((i = j) == testo.size()) break;
    const auto [u, n] = decodifica_utf8(testo, i);
    const int b = n == 0 ? -1 : byte_1252(u);
    if (b < 0) guasto(i, u, n);
    uscita.push_back(static_cast<char>(b));
    i += n;
  }
  return uscita;
}

// "line L, column C: " of byte i of testo; a line ends at "\n", "\r\n" or a
// lone "\r", and columns count bytes.
std::string dove(std::string_view testo, size_t i) {
  int32_t riga = 1;
  size_t inizio_riga = 0;
  for (size_t k = 0; k < i; ++k)
    if (testo[k] == '\n' || (testo[k] == '\r' && (k + 1 >= testo.size() || testo[k + 1] != '\n'))) {
      ++riga;
      inizio_riga = k + 1;
    }
  return "line " + std::to_string(riga) + ", column " + std::to_string(i - inizio_riga + 1) + ": ";
}

}  // namespace

std::string_view nome_codifica(codifica_ingresso c) {
  return c == codifica_ingresso::utf_8 ? "utf-8" : "windows-1252";
}

std::string in_windows_1252(std::string_view testo, codifica_ingresso c) {
  if (c == codifica_ingresso::windows_1252) return std::string(testo);
  if (testo.starts_with("\xEF\xBB\xBF")) testo.remove_prefix(3);
  return converti_utf8(testo, [&](size_t i, char32_t u, size_t n) {
    if (n == 0) throw std::runtime_error(dove(testo, i) + "a byte that is not UTF-8 (is the file Windows-1252?)");
    throw std::runtime_error(dove(testo, i) + u_piu(u) + " has no Windows-1252 form");
  });
}

std::string da_utf8(std::string_view utf8) {
  return converti_utf8(utf8, [&](size_t, char32_t, size_t) {
    throw std::runtime_error("text not representable in Windows-1252: " + std::string(utf8));
  });
}

char32_t carattere_1252(unsigned char b) {
  if (b >= 0x80 && b < 0xA0 && alti_1252[b - 0x80] != 0) return alti_1252[b - 0x80];
  return b;
}

void metti_utf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    s.push_back(static_cast<char>(0xC0 | (c >> 6)));
    s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    s.push_back(static_cast<char>(0xE0 | (c >> 12)));
    s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string a_utf8(std::string_view cp1252) {
  std::string uscita;
  uscita.reserve(cp1252.size());
  for (unsigned char b : cp1252) metti_utf8(uscita, carattere_1252(b));
  return uscita;
}

size_t sembra_utf8(std::string_view testo) {
  size_t primo = std::string_view::npos;
  for (size_t i = 0; i < testo.size();) {
    const auto [u, n] = decodifica_utf8(testo, i);
    if (n == 0) return std::string_view::npos;
    if (n > 1 && primo == std::string_view::npos) primo = i;
    i += n;
  }
  return primo;
}

std::string leggibile(std::string_view byte) {
  std::string uscita;
  uscita.reserve(byte.size());
  for (size_t i = 0; i < byte.size();) {
    const size_t n = decodifica_utf8(byte, i).second;
    if (n > 0) {
      uscita.append(byte, i, n);
      i += n;
      continue;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(byte[i++]));
    uscita += buf;
  }
  return uscita;
}

}  // namespace tracciato
