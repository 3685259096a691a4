// Text in the system's single-byte code page (Windows-1252).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

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

// finisce_con: whether testo ends with fine, byte for byte.
inline bool finisce_con(std::string_view testo, std::string_view fine) {
  return testo.size() >= fine.size() && testo.substr(testo.size() - fine.size()) == fine;
}

// decodifica_utf8: the one UTF-8 sequence at s[i], as its code point and
// its length; length 0 when the bytes there are not well-formed UTF-8
// (overlong forms, surrogates and values past U+10FFFF included).
std::pair<char32_t, size_t> decodifica_utf8(std::string_view s, size_t i);

// The Windows-1252 byte of code point u; -1 when the code page lacks it.
int byte_1252(char32_t u);

// da_utf8: UTF-8 text converted to Windows-1252 bytes (for the built-in
// documents, kept readable in the source). Throws std::runtime_error on a
// character the code page lacks.
std::string da_utf8(std::string_view utf8);

// How an author's text file is encoded on disk. The format's own is
// Windows-1252; a file saved as UTF-8 can be read with utf_8.
enum class codifica_ingresso { windows_1252, utf_8 };

// The names the command line uses: "windows-1252" and "utf-8".
std::string_view nome_codifica(codifica_ingresso c);

// in_windows_1252: an author's text in the system's code page. Windows-1252
// text is returned as it is; UTF-8 text is converted (a byte-order mark at
// the start is dropped). Throws std::runtime_error naming the line and column
// of the first character that has no Windows-1252 form, or of a byte that is
// not UTF-8 ("line 7, column 12: U+4E2D has no Windows-1252 form").
std::string in_windows_1252(std::string_view testo, codifica_ingresso c);

// a_utf8: Windows-1252 text as UTF-8, for terminals, pages and JSON. The five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become
// the C1 controls of the same number, so that no byte is lost.
std::string a_utf8(std::string_view cp1252);

// The code point of one Windows-1252 byte, as a_utf8 reads it.
char32_t carattere_1252(unsigned char b);

// Appends code point c (below U+10000) to s in UTF-8.
void metti_utf8(std::string& s, char32_t c);

// sembra_utf8: the byte offset of the first multi-byte UTF-8 sequence in
// testo when every byte of 0x80 and above belongs to a well-formed one (the
// text was most likely saved as UTF-8); npos otherwise.
size_t sembra_utf8(std::string_view testo);

// leggibile: bytes of unknown encoding (a file name, say: a path is bytes)
// as UTF-8 text to show: well-formed UTF-8 as it is, every other byte as
// \xNN ("caf\xE9.txt").
std::string leggibile(std::string_view byte);

}  // namespace tracciato
