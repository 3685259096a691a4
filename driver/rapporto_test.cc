#include <gtest/gtest.h>

#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "driver/esecuzione.h"

namespace tracciato {
namespace {

struct uscita_catturata {
  std::string testo;
  int stato;
};

uscita_catturata cattura(const scenario& s, opzioni_rapporto r) {
  std::ostringstream out, err;
  auto* o = std::cout.rdbuf(out.rdbuf());
  auto* e = std::cerr.rdbuf(err.rdbuf());
  const int stato = rapporta(s, r);
  std::cout.rdbuf(o);
  std::cerr.rdbuf(e);
  return {out.str(), stato};
}

TEST(Rapporta, SummaryLine) {
  static const struct {
    int32_t codice;
    int32_t posizione;
    const char* file;
    int32_t riga;
    const char* dettaglio;
    const char* atteso;
  } casi[] = {
      {0, 0, "", 0, "", "no fault"},
      {12, 4650, "", 0, "", "fault 12 at 4650 m: no free cell in a code-point window before a slowdown start"},
      {10, 999, "", 0, "", "fault 10: station slots exhausted: the stations would reach the lineside sign slots"},
      {16, 4700, "train file", 57, "", "train file, line 57: fault 16 at 4700 m: signal on an occupied cell"},
      {25, 0, "line file", 7, "line file, line 7: number too large",
       "line file, line 7: fault 25: the scenario files could not be read (number too large)"},
      {25, 0, "", 0, "out of memory", "fault 25: the scenario files could not be read (out of memory)"},
  };
  for (const auto& c : casi) {
    scenario s("/x");
    s.codice_errore = c.codice;
    s.posizione_errore = c.posizione;
    s.origine = {c.file, c.riga};
    s.dettaglio_errore = c.dettaglio;
    s.file_scritti = {"/x/a.dat"};
    EXPECT_EQ(cattura(s, {}).testo, std::string(c.atteso) + "\n");
    const auto j = nlohmann::json::parse(cattura(s, {.json = true}).testo);
    EXPECT_EQ(j["message"], c.atteso);
  }
}

TEST(Rapporta, ExitStatus) {
  scenario s("/x");
  EXPECT_EQ(cattura(s, {}).stato, uscita_fallita);  // nothing written
  s.file_scritti = {"/x/a.dat"};
  EXPECT_EQ(cattura(s, {.strict = true}).stato, uscita_ok);
  s.codice_errore = 12;
  EXPECT_EQ(cattura(s, {}).stato, uscita_ok);
  EXPECT_EQ(cattura(s, {.strict = true}).stato, uscita_errore_registrato);
}

}  // namespace
}  // namespace tracciato
