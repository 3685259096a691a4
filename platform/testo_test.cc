#include "platform/testo.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <stdexcept>
#include <string>

namespace tracciato {
namespace {

TEST(Testo, Utf8ToWindows1252AndBack) {
  static const struct {
    const char* utf8;
    const char* cp1252;
  } casi[] = {
      {"Citt\xC3\xA0", "Citt\xE0"},
      {"\xE2\x82\xAC 5", "\x80 5"},          // the euro sign lives at 0x80
      {"\xEF\xBB\xBF[generale]", "[generale]"},  // a byte-order mark is dropped
      {"plain", "plain"},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(in_windows_1252(c.utf8, codifica_ingresso::utf_8), c.cp1252) << c.utf8;
    if (std::string_view(c.utf8).starts_with("\xEF")) continue;
    EXPECT_EQ(a_utf8(c.cp1252), c.utf8);
  }
  EXPECT_EQ(in_windows_1252("Citt\xE0", codifica_ingresso::windows_1252), "Citt\xE0");
}

// The built-in texts are converted by the program's own table; glibc's
// converter is the judge of that table, over every code point of the basic
// plane and a spread of the others. glibc drops the language tags
// (U+E0000 to U+E007F) without a word; the table refuses them, as it does
// every other character the code page lacks.
TEST(Testo, Utf8ToWindows1252AgreesWithIconv) {
  const iconv_t cd = ::iconv_open("WINDOWS-1252", "UTF-8");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int diversi = 0;
  for (char32_t u = 0; u <= 0x10FFFF && diversi < 5; u += u < 0x10000 ? 1 : 97) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;  // surrogates have no UTF-8 form
    if (u >= 0xE0000 && u <= 0xE007F) continue;
    std::string utf8;
    if (u < 0x10000) {
      metti_utf8(utf8, u);
    } else {
      utf8 = {static_cast<char>(0xF0 | (u >> 18)), static_cast<char>(0x80 | ((u >> 12) & 0x3F)),
              static_cast<char>(0x80 | ((u >> 6) & 0x3F)), static_cast<char>(0x80 | (u & 0x3F))};
    }
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char uscita[8];
    char* in = utf8.data();
    char* out = uscita;
    size_t resto_in = utf8.size(), resto_out = sizeof uscita;
    const bool riesce = ::iconv(cd, &in, &resto_in, &out, &resto_out) != static_cast<size_t>(-1);
    std::string nostro;
    bool nostro_riesce = true;
    try {
      nostro = da_utf8(utf8);
    } catch (const std::runtime_error&) {
      nostro_riesce = false;
    }
    const std::string atteso(uscita, static_cast<size_t>(out - uscita));
    if (riesce != nostro_riesce || (riesce && nostro != atteso)) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(u);
      ++diversi;
    }
  }
  ::iconv_close(cd);
  // Bytes that are not UTF-8 are refused as well.
  for (const char* guasto : {"\xC0\xA0", "\xE0\x80\x80", "\xED\xA0\x80", "Citt\xE0", "\xC3"})
    EXPECT_THROW(da_utf8(guasto), std::runtime_error) << guasto;
}

TEST(Testo, ACharacterWithoutWindows1252FormNamesItsLine) {
  static const struct {
    const char* testo;
    const char* messaggio;
  } casi[] = {
      {"a\r\nb\xE4\xB8\xAD", "line 2, column 2: U+4E2D has no Windows-1252 form"},
      {"a\nb\rc\xE0", "line 3, column 2: a byte that is not UTF-8"},
  };
  for (const auto& c : casi) {
    try {
      in_windows_1252(c.testo, codifica_ingresso::utf_8);
      ADD_FAILURE() << c.messaggio;
    } catch (const std::runtime_error& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with(c.messaggio)) << e.what();
    }
  }
}

TEST(Testo, SembraUtf8) {
  EXPECT_EQ(sembra_utf8("ab Citt\xC3\xA0"), 7u);
  EXPECT_EQ(sembra_utf8("ab Citt\xE0"), std::string_view::npos);  // Windows-1252
  EXPECT_EQ(sembra_utf8("plain"), std::string_view::npos);
}

// A file name shown: UTF-8 kept, any other byte escaped, nothing lost.
TEST(Testo, LeggibileEscapesWhatIsNotUtf8) {
  EXPECT_EQ(leggibile("caf\xE9/Citt\xC3\xA0.txt"), "caf\\xE9/Citt\xC3\xA0.txt");
  EXPECT_EQ(leggibile("\xC3"), "\\xC3");                  // a sequence cut short
  EXPECT_EQ(leggibile("\xED\xA0\x80"), "\\xED\\xA0\\x80");  // a surrogate is not UTF-8
  EXPECT_EQ(leggibile(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(ContieneSenzaCaso, FindsTheWordInAnyCaseAnywhere) {
  static const struct {
    const char* testo;
    const char* parola;
    bool atteso;
  } casi[] = {
      {"[Generale]", "[generale]", true},
      {"lunghezza percorso", "PERCORSO", true},  // at the very end
      {"curvaS4", "s", true},
      {"aaab", "aab", true},                     // a false start just before the match
      {"aab", "aaab", false},                    // longer than the text
      {"percors", "percorso", false},
      {"", "", true},
      {"x", "", true},
      {"", "x", false},
      {"\xC0\x8A", "\xE0\x9A", true},  // accented capital and S caron, Windows-1252
      {"\xD7", "\xF7", false},         // the multiplication sign has no lower case
  };
  for (const auto& c : casi)
    EXPECT_EQ(contiene_senza_caso(c.testo, c.parola), c.atteso) << c.testo << " / " << c.parola;
}

}  // namespace
}  // namespace tracciato
