// Text in the system's single-byte code page (Windows-1252).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tracciato {

// minuscola: the lower-case form of one Windows-1252 character (A-Z, the
// accented capitals, and the four capitals of 0x8A..0x9F); others unchanged.
inline unsigned char minuscola(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  switch (c) {
    case 0x8A: return 0x9A;  // S caron
    case 0x8C: return 0x9C;  // OE
    case 0x8E: return 0x9E;  // Z caron
    case 0x9F: return 0xFF;  // Y diaeresis
    default: return c;
  }
}

std::string in_minuscolo(std::string_view s);

// contiene: whether parola occurs in testo, letter case counting.
inline bool contiene(std::string_view testo, std::string_view parola) {
  return testo.find(parola) != std::string_view::npos;
}

// contiene_senza_caso: the same without regard to letter case.
bool contiene_senza_caso(std::string_view testo, std::string_view parola);

// da_utf8: UTF-8 text converted to Windows-1252 bytes (for the built-in
// documents, kept readable in the source). Throws std::runtime_error on a
// character the code page lacks.
std::string da_utf8(std::string_view utf8);

}  // namespace tracciato
