#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "driver/esecuzione.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

using test::cartella_temporanea;
using test::esegui_tracciato;

TEST(Driver, WritersRunInTheirFixedOrder) {
  std::vector<std::string_view> nomi;
  for (const auto& st : stadi_scrittura) nomi.push_back(st.nome);
  EXPECT_EQ(nomi, (std::vector<std::string_view>{"dati_linea", "dati_treno", "dati_note",
                                                 "dati_rallentamenti", "dati_scheda"}));
}

TEST(Driver, HelpExplainsEveryOption) {
  static const struct {
    std::vector<std::string> argomenti;
    std::vector<std::string> opzioni;
  } casi[] = {
      {{"--help"}, {"--dir", "--json", "--strict", "compile", "sources"}},
      {{"compile", "--help"},
       {"--line", "--train", "--name", "--train-number", "--dir", "--no-plan", "--json", "--strict"}},
      {{"sources", "--help"}, {"--dir"}},
  };
  cartella_temporanea dir;
  for (const auto& c : casi) {
    const auto e = esegui_tracciato(c.argomenti, dir.percorso());
    EXPECT_EQ(e.stato, 0) << c.argomenti[0];
    for (const auto& opzione : c.opzioni)
      EXPECT_NE(e.uscita.find(opzione), std::string::npos) << c.argomenti[0] << " " << opzione;
  }
}

// --version is answered alone before the parsers are built, and among other
// options by the parser: the same line either way.
TEST(Driver, VersionAloneOrWithOptions) {
  cartella_temporanea dir;
  const auto sola = esegui_tracciato({"--version"}, dir.percorso());
  EXPECT_EQ(sola.stato, 0);
  EXPECT_TRUE(std::regex_match(sola.uscita, std::regex("tracciato [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << sola.uscita;
  for (const std::vector<std::string>& a : {std::vector<std::string>{"--strict", "--version"}, {"--version", "--strict"}}) {
    const auto e = esegui_tracciato(a, dir.percorso());
    EXPECT_EQ(e.stato, 0) << a[0];
    EXPECT_EQ(e.uscita, sola.uscita) << a[0];
  }
  EXPECT_TRUE(dir.elenco().empty());
}

TEST(Driver, UnknownOptionFails) {
  cartella_temporanea dir;
  const auto e = esegui_tracciato({"--frobnicate"}, dir.percorso());
  EXPECT_NE(e.stato, 0);
  EXPECT_TRUE(dir.elenco().empty());
}

TEST(Driver, AMissingFolderIsAClearFailure) {
  cartella_temporanea dir;
  const auto e = esegui_tracciato({"--dir", (dir / "missing").string()}, dir.percorso());
  EXPECT_EQ(e.stato, uscita_fallita);
  EXPECT_EQ(e.errori.rfind("Attendere\n", 0), 0u) << e.errori;
  EXPECT_NE(e.errori.find("missing"), std::string::npos) << e.errori;
}

}  // namespace
}  // namespace tracciato
