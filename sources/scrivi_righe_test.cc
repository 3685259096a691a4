#include "sources/scrivi_righe.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

using test::cartella_temporanea;
using test::leggi;
using test::scrivi;

TEST(ScriviRighe, WritesEverySlotUpToTheEndLineWithCrLf) {
  static const struct {
    const char* nome;
    std::vector<std::string_view> tabella;
    std::string atteso;
  } casi[] = {
      {"nothing before the end line", {"riferimento fine del file"}, ""},
      {"blanks kept", {"orologio,    13              59            45 ", "riferimento fine del file"},
       "orologio,    13              59            45 \r\n"},
      {"an empty slot is an empty line", {"[generale]", "", "[fine]", "riferimento fine del file"},
       "[generale]\r\n\r\n[fine]\r\n"},
      {"near misses are ordinary lines",
       {"Riferimento fine del file", "riferimento fine del file ", " riferimento fine del file",
        "riferimento fine del file"},
       "Riferimento fine del file\r\nriferimento fine del file \r\n riferimento fine del file\r\n"},
      {"slots after the end line are never written",
       {"a", "riferimento fine del file", "b", "riferimento fine del file"}, "a\r\n"},
  };
  for (const auto& c : casi) {
    cartella_temporanea t;
    scrivi_righe(t / "f.txt", c.tabella);
    EXPECT_EQ(leggi(t / "f.txt"), c.atteso) << c.nome;
  }
}

TEST(ScriviRighe, ReplacesAStaleLongerFileWhole) {
  cartella_temporanea t;
  scrivi(t / "f.txt", std::string(5000, 'x') + "\r\ncoda\r\n");
  const std::string_view tabella[] = {"[fine]", "riferimento fine del file"};
  scrivi_righe(t / "f.txt", tabella);
  EXPECT_EQ(leggi(t / "f.txt"), "[fine]\r\n");
  EXPECT_EQ(t.elenco(), std::vector<std::string>{"f.txt"});
}

TEST(ScriviRighe, AFullTableWritesAThousandLines) {
  std::vector<std::string_view> tabella(posti_tabella_righe, "r");
  tabella[1000] = fine_tabella;
  cartella_temporanea t;
  scrivi_righe(t / "f.txt", tabella);
  EXPECT_EQ(leggi(t / "f.txt").size(), 1000u * 3);
}

TEST(ScriviRighe, ATableWithoutItsEndLineIsRefusedAndWritesNothing) {
  // No end line at all, and an end line only past slot 1000: in both cases
  // the writer must not look further and must leave the old file alone.
  std::vector<std::string_view> corta = {"a", "b"};
  std::vector<std::string_view> lunga(posti_tabella_righe + 1, "r");
  lunga.back() = fine_tabella;
  for (const auto& tabella : {corta, lunga}) {
    cartella_temporanea t;
    scrivi(t / "f.txt", "vecchio\r\n");
    EXPECT_THROW(scrivi_righe(t / "f.txt", tabella), std::logic_error);
    EXPECT_EQ(leggi(t / "f.txt"), "vecchio\r\n");
    EXPECT_EQ(t.elenco(), std::vector<std::string>{"f.txt"});
  }
}

TEST(ScriviRighe, AFolderThatCannotBeWrittenIsAFailure) {
  cartella_temporanea t;
  const std::string_view tabella[] = {"a", "riferimento fine del file"};
  EXPECT_THROW(scrivi_righe(t / "manca" / "f.txt", tabella), std::system_error);
}

}  // namespace
}  // namespace tracciato
