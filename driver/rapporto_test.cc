#include <gtest/gtest.h>

#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "driver/esecuzione.h"

namespace tracciato {
namespace {

struct uscita_catturata {
  std::string testo;
  std::string errori;
  int stato;
};

uscita_catturata cattura(const scenario& s, const esito_percorso& esito, opzioni_rapporto r) {
  std::ostringstream out, err;
  auto* o = std::cout.rdbuf(out.rdbuf());
  auto* e = std::cerr.rdbuf(err.rdbuf());
  const int stato = rapporta(s, esito, r);
  std::cout.rdbuf(o);
  std::cerr.rdbuf(e);
  return {out.str(), err.str(), stato};
}

esito_percorso esito(std::vector<std::filesystem::path> scritti, std::string fallimento = "",
                     bool trattenuto = false, std::vector<std::filesystem::path> rimasti = {}) {
  esito_percorso e;
  e.scritti = std::move(scritti);
  e.fallimento = std::move(fallimento);
  e.trattenuto = trattenuto;
  e.rimasti = std::move(rimasti);
  return e;
}

const esito_percorso un_file = esito({"/x/a.dat"});

// The summary names the first fault at its place, in the form editors jump to.
TEST(Rapporta, SummaryLine) {
  static const struct {
    int32_t codice;
    int32_t posizione;
    const char* file;
    int32_t riga, colonna;
    const char* dettaglio;
    const char* atteso;
  } casi[] = {
      {12, 4650, "", 0, 0, "", "fault 12 at 4650 m: no free cell in a code-point window before a slowdown start"},
      {10, -1, "", 0, 0, "", "fault 10: station slots exhausted: the stations would reach the lineside sign slots"},
      {16, 4700, "t.txt", 57, 3, "", "t.txt:57:3: error: fault 16 at 4700 m: signal on an occupied cell"},
      {25, -1, "l.txt", 7, 21, "number too large",
       "l.txt:7:21: error: fault 25: the scenario files could not be read (number too large)"},
      {101, -1, "l.txt", 0, 0, "", "l.txt: error: fault 101: the line file does not exist"},
  };
  for (const auto& c : casi) {
    scenario s;
    guasto& g = c.posizione >= 0 ? registra_errore(s, c.codice, c.posizione) : registra_errore(s, c.codice);
    g.file = c.file;
    g.riga = c.riga;
    g.colonna = c.colonna;
    g.dettaglio = c.dettaglio;
    EXPECT_EQ(cattura(s, un_file, {}).testo, std::string(c.atteso) + "\n");
    const auto j = nlohmann::json::parse(cattura(s, un_file, {.json = true}).testo);
    EXPECT_EQ(j["message"], c.atteso);
    EXPECT_EQ(j["codice_errore"], c.codice);
  }
  EXPECT_EQ(cattura(scenario{}, un_file, {}).testo, "no fault\n");
}

// Later faults go to standard error, a consequence as a note; codice_errore
// and posizione_errore are the last ones, as the format keeps them.
TEST(Rapporta, FurtherFaultsAndTheirList) {
  scenario s;
  guasto& a = registra_errore(s, 15, 16950);
  a.file = "l.txt", a.riga = 4, a.colonna = 3;
  registra_errore(s, 12, 4650);
  guasto b;
  b.numero = 15, b.con_posizione = true, b.posizione = 4700, b.file = "t.txt", b.riga = 3, b.colonna = 1, b.causa = 0;
  s.guasti.push_back(b);
  s.posizione_errore = 4700;
  s.codice_errore = 15;

  const auto testo = cattura(s, un_file, {});
  EXPECT_EQ(testo.testo,
            "l.txt:4:3: error: fault 15 at 16950 m: item beyond the end of the cell grid; 2 more faults followed\n");
  EXPECT_EQ(testo.errori,
            "fault 12 at 4650 m: no free cell in a code-point window before a slowdown start\n"
            "t.txt:3:1: note: fault 15 at 4700 m: the load stops at this item because of the earlier fault 15 "
            "(l.txt:4:3)\n");

  const auto j = nlohmann::json::parse(cattura(s, un_file, {.json = true}).testo);
  EXPECT_EQ(j["codice_errore"], 15);
  EXPECT_EQ(j["posizione_errore"], 4700);
  EXPECT_EQ(j["file"], "l.txt");
  EXPECT_EQ(j["line"], 4);
  ASSERT_EQ(j["faults"].size(), 3u);
  EXPECT_EQ(j["faults"][0], nlohmann::json::parse(R"({"code":15,"position":16950,"file":"l.txt","line":4,
      "column":3,"message":"fault 15 at 16950 m: item beyond the end of the cell grid","caused_by":null})"));
  EXPECT_EQ(j["faults"][1]["file"], nullptr);
  EXPECT_EQ(j["faults"][2]["caused_by"], 0);
  EXPECT_FALSE(j["faults"][0].contains("codice_errore"));
}

// 0 only for a clean compile; a recorded fault is 1 whether the set was
// written or held back by --strict; 2 when nothing was written, saying what
// stands in the folder, on standard error and in the one JSON object.
TEST(Rapporta, ExitStatusAndWhatStands) {
  scenario pulito, guasto;
  registra_errore(guasto, 12, 50);
  const esito_percorso trattenuto = esito({}, "", true, {"/x/S_T.sim", "/x/S_T.dat"});
  const esito_percorso fallito = esito({}, "cannot replace /x/S_T.sim: it is a folder");
  EXPECT_EQ(cattura(pulito, un_file, {}).stato, uscita_ok);
  EXPECT_EQ(cattura(guasto, un_file, {}).stato, uscita_errore_registrato);
  const auto t = cattura(guasto, trattenuto, {.strict = true});
  EXPECT_EQ(t.stato, uscita_errore_registrato);
  EXPECT_EQ(t.errori,
            "tracciato: note: --strict: a fault was recorded, so no binary file was replaced; the earlier "
            "S_T.sim and S_T.dat are still in the folder, unchanged\n");

  const auto f = cattura(pulito, fallito, {});
  EXPECT_EQ(f.stato, uscita_fallita);
  EXPECT_EQ(f.testo, "");  // not "no fault": nothing was written
  EXPECT_EQ(f.errori,
            "tracciato: error: no binary file was written: cannot replace /x/S_T.sim: it is a folder; no "
            "earlier binary file of these names is in the folder\n");
  const auto fj = cattura(pulito, fallito, {.json = true});
  const auto j = nlohmann::json::parse(fj.testo);  // exactly one object
  EXPECT_EQ(j["exit_status"], 2);
  EXPECT_EQ(j["error"], "no binary file was written: cannot replace /x/S_T.sim: it is a folder");
  EXPECT_EQ(j["message"], j["error"]);
  EXPECT_TRUE(j["files_written"].empty());
}

}  // namespace
}  // namespace tracciato
