// tracciato documents, compile --documents and check --name: the two
// documents written beside the binaries, never over the author's inputs, and
// compared with the train file afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;

const fs::path prova = fs::path(TRACCIATO_FIXTURES) / "documenti";

// A folder holding the fixture's two files as linea.txt and treno.txt.
struct cartella_prova {
  cartella_temporanea c;
  cartella_prova() {
    fs::copy_file(prova / "Prova_linea.txt", c / "linea.txt");
    fs::copy_file(prova / "Prova_7-.txt", c / "treno.txt");
  }
  test::esito_processo documenti(std::vector<std::string> altri = {}) {
    std::vector<std::string> a = {"documents", "--line", "linea.txt", "--train", "treno.txt", "--name", "Prova",
                                  "--train-number", "7"};
    a.insert(a.end(), altri.begin(), altri.end());
    return test::esegui_tracciato(a, c.percorso());
  }
};

TEST(DocumentiComando, WritesBothDocumentsAndNothingElse) {
  cartella_prova p;
  const std::string treno = test::leggi(p.c / "treno.txt");
  auto e = p.documenti({"--region", "ALTAVENNA", "--valid-from", "2003-12-14"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(p.c.elenco(), (std::vector<std::string>{"Prova_7_rallentamenti.txt", "Prova_7_scheda_treno.txt",
                                                    "linea.txt", "treno.txt"}));
  EXPECT_EQ(test::leggi(p.c / "treno.txt"), treno);
  const std::string scheda = test::leggi(p.c / "Prova_7_scheda_treno.txt");
  EXPECT_NE(scheda.find(" |     ALTAVENNA     |"), std::string::npos);
  EXPECT_NE(scheda.find(" | Dal: 14.12.2003   |"), std::string::npos);
  // The infeasible stretch is told, and does not fail the run.
  EXPECT_NE(e.errori.find("tracciato: warning: the timetable gives 60 s from \"CORTE\" to \"DOSSO\""),
            std::string::npos) << e.errori;
  // Written again over the old ones: the same bytes.
  ASSERT_EQ(p.documenti({"--region", "ALTAVENNA", "--valid-from", "14.12.2003"}).stato, 0);
  EXPECT_EQ(test::leggi(p.c / "Prova_7_scheda_treno.txt"), scheda);
}

TEST(DocumentiComando, RefusesBeforeWritingAnything) {
  static const struct {
    std::vector<std::string> altri;
    const char* messaggio;
  } casi[] = {
      {{"--valid-from", "31.02.2003"}, "--valid-from \"31.02.2003\" is no date"},
      {{"--region", "\xE2\x82\xAC\xE2\x86\x92"}, "--region"},
      {{"--json"}, "was not expected: --json"},
  };
  for (const auto& c : casi) {
    cartella_prova p;
    const auto e = p.documenti(c.altri);
    EXPECT_EQ(e.stato, 2) << c.messaggio;
    EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
    EXPECT_EQ(p.c.elenco(), (std::vector<std::string>{"linea.txt", "treno.txt"})) << c.messaggio;
  }
}

// An input that bears a document's name is never written over.
TEST(DocumentiComando, NeverWritesOverAnInput) {
  cartella_prova p;
  fs::rename(p.c / "treno.txt", p.c / "Prova_7_scheda_treno.txt");
  const std::string treno = test::leggi(p.c / "Prova_7_scheda_treno.txt");
  const auto e = test::esegui_tracciato({"documents", "--line", "linea.txt", "--train", "Prova_7_scheda_treno.txt",
                                         "--name", "Prova", "--train-number", "7"},
                                        p.c.percorso());
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.errori.find("is one of your inputs"), std::string::npos) << e.errori;
  EXPECT_EQ(test::leggi(p.c / "Prova_7_scheda_treno.txt"), treno);
  EXPECT_EQ(p.c.elenco(), (std::vector<std::string>{"Prova_7_scheda_treno.txt", "linea.txt"}));
}

// compile --documents: the three binaries and the two documents, the same
// documents as the documents command writes.
TEST(DocumentiComando, CompileWithDocuments) {
  cartella_prova p;
  ASSERT_EQ(p.documenti().stato, 0);
  const std::string scheda = test::leggi(p.c / "Prova_7_scheda_treno.txt");
  const std::string ordine = test::leggi(p.c / "Prova_7_rallentamenti.txt");
  fs::remove(p.c / "Prova_7_scheda_treno.txt");
  fs::remove(p.c / "Prova_7_rallentamenti.txt");
  const auto e = test::esegui_tracciato({"compile", "--documents", "--line", "linea.txt", "--train", "treno.txt",
                                         "--name", "Prova", "--train-number", "7"},
                                        p.c.percorso());
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(p.c.elenco(), (std::vector<std::string>{"Prova_7.dat", "Prova_7.sim", "Prova_7_rallentamenti.txt",
                                                    "Prova_7_scheda_treno.txt", "Prova_linea.dat", "linea.txt",
                                                    "treno.txt"}));
  EXPECT_EQ(test::leggi(p.c / "Prova_7_scheda_treno.txt"), scheda);
  EXPECT_EQ(test::leggi(p.c / "Prova_7_rallentamenti.txt"), ordine);

  // view links them from the page, from the binaries and from the sources.
  for (const std::vector<std::string>& v :
       {std::vector<std::string>{"view", "--dir", ".", "--name", "Prova", "--train-number", "7", "-o", "p.html"},
        std::vector<std::string>{"view", "--line", "linea.txt", "--train", "treno.txt", "--name", "Prova",
                                 "--train-number", "7", "-o", "p.html"}}) {
    ASSERT_EQ(test::esegui_tracciato(v, p.c.percorso()).stato, 0) << v[1];
    const std::string pagina = test::leggi(p.c / "p.html");
    EXPECT_NE(pagina.find("<a href=\"Prova_7_scheda_treno.txt\">timetable card</a>"), std::string::npos) << v[1];
    EXPECT_NE(pagina.find("<a href=\"Prova_7_rallentamenti.txt\">slowdown order</a>"), std::string::npos) << v[1];
  }
}

// check --name --train-number: documents in step with the train file give no
// W501 or W502; a time, a station or a slowdown edited by hand (or a train
// file edited since) gives one at the document's line.
TEST(DocumentiComando, CheckComparesTheDocumentsWithTheTrainFile) {
  cartella_prova p;
  ASSERT_EQ(p.documenti().stato, 0);
  const std::vector<std::string> check = {"check", "--line", "linea.txt", "--train", "treno.txt",
                                          "--name", "Prova", "--train-number", "7"};
  auto e = test::esegui_tracciato(check, p.c.percorso());
  EXPECT_EQ(e.uscita.find("W50"), std::string::npos) << e.uscita;

  std::string scheda = test::leggi(p.c / "Prova_7_scheda_treno.txt");
  scheda.replace(scheda.find("10.04"), 5, "10.05");
  test::scrivi(p.c / "Prova_7_scheda_treno.txt", scheda);
  std::string ordine = test::leggi(p.c / "Prova_7_rallentamenti.txt");
  ordine.replace(ordine.find("   500   "), 9, "   600   ");
  test::scrivi(p.c / "Prova_7_rallentamenti.txt", ordine);
  e = test::esegui_tracciato(check, p.c.percorso());
  EXPECT_NE(e.uscita.find("Prova_7_scheda_treno.txt:19:1: warning: station 2 reads \"54.000 BRENO 10.05\"; the "
                          "train file gives \"54.000 BRENO 10.04\""),
            std::string::npos)
      << e.uscita;
  EXPECT_NE(e.uscita.find("Prova_7_rallentamenti.txt:13:1: warning: slowdown 1 reads"), std::string::npos) << e.uscita;
  EXPECT_NE(e.uscita.find("[W501]"), std::string::npos);
  EXPECT_NE(e.uscita.find("[W502]"), std::string::npos);
  e = test::esegui_tracciato({"check", "--line", "linea.txt", "--train", "treno.txt", "--name", "Prova",
                              "--train-number", "7", "--allow", "W501", "--allow", "W502"},
                             p.c.percorso());
  EXPECT_EQ(e.uscita.find("W50"), std::string::npos) << e.uscita;
}

}  // namespace
}  // namespace tracciato
