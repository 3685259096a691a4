#include "platform/testo.h"

#include <gtest/gtest.h>

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
