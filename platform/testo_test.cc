#include "platform/testo.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

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
