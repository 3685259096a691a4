#include "sources/impaginazione.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "sources/dati.h"
#include "tests/genera_scenari.h"

namespace tracciato {
namespace {

std::string leggi(const std::string& percorso) {
  std::ifstream f(percorso, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The bytes of the cell grid and the record table of a compile, and the track plan's length.
std::string binari(const std::string& linea, const std::string& treno) {
  const compilazione c = compila_in_memoria({"linea", linea, ""}, {"treno", treno, ""}, "S", "1", 1);
  return std::string(codifica_celle(c.modello.celle).vista()) +
         std::string(codifica_tabella(c.modello.tabella).vista()) + std::to_string(c.modello.planimetria.righe());
}

TEST(Impaginazione, TheFormattedFilesCompileToTheSameBytesAndFormatAgainToThemselves) {
  const struct {
    std::string linea, treno;
  } coppie[] = {
      {testo_linea(), testo_treno()},
      {leggi(TRACCIATO_SOURCE_DIR "/examples/Valmarena_linea.txt"),
       leggi(TRACCIATO_SOURCE_DIR "/examples/Valmarena_2231-.txt")},
  };
  for (const auto& c : coppie) {
    const std::string l = impagina(c.linea, tipo_file::linea), t = impagina(c.treno, tipo_file::treno);
    EXPECT_EQ(impagina(l, tipo_file::linea), l);
    EXPECT_EQ(impagina(t, tipo_file::treno), t);
    EXPECT_EQ(binari(l, t), binari(c.linea, c.treno));
  }
  // The built-in files are laid out as the writer lays them out: fmt leaves them as they are.
  EXPECT_EQ(impagina(testo_linea(), tipo_file::linea), testo_linea());
  EXPECT_EQ(impagina(testo_treno(), tipo_file::treno), testo_treno());
}

TEST(Impaginazione, GeneratedScenariosFormatOnceAndCompileToTheSameBytes) {
  for (uint64_t seme = 1; seme <= 40; ++seme) {
    const test::scenario_generato g = test::genera_scenario(seme);
    const std::string l = impagina(g.linea, tipo_file::linea), t = impagina(g.treno, tipo_file::treno);
    EXPECT_EQ(impagina(l, tipo_file::linea), l) << seme;
    EXPECT_EQ(impagina(t, tipo_file::treno), t) << seme;
    EXPECT_EQ(binari(l, t), binari(g.linea, g.treno)) << seme;
  }
}

TEST(Impaginazione, ReSpacesWholeRecordsAndLeavesTheRestAlone) {
  static const struct {
    const char* prima;
    const char* dopo;
  } casi[] = {
      {"[generale]\r\n[pendenze]\r\npendenza,5,-3\r\n", "[generale]\r\n[pendenze]\r\npendenza,   5,   -3\r\n"},
      // The route length in the general section; a record before "[generale]" is not one.
      {"pendenza,5,3\n[generale]\n  lunghezza percorso ,7 \n[curve]\ncurvad3 ,0,  50\n",
       "pendenza,5,3\n[generale]\nlunghezza percorso,    7\n[curve]\ncurvad3,  0,  50\n"},
      // Numbers apart by blanks get their comma; the clock keeps the writer's blanks.
      {"[generale]\norologio,1 2 3\nstazione,0,11,600,0,0,0,1,1,0,4,1,1,1,14,0,0,   A  B\n[fine]",
       "[generale]\norologio,    1              2            3 \n"
       "stazione,       0, 11,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  14, 0, 0, A  B\n[fine]"},
      // A record that runs on, one with a field too many, and a clock without hours stay or keep their commas.
      {"[generale]\npendenza,5\n,3\npendenza,1,2,3\norologio,,2 3\n",
       "[generale]\npendenza,5\n,3\npendenza,1,2,3\norologio,    ,              2            3 \n"},
  };
  for (const auto& c : casi) {
    const tipo_file f = std::string_view(c.prima).find("stazione") != std::string_view::npos ||
                                std::string_view(c.prima).find("orologio") != std::string_view::npos
                            ? tipo_file::treno
                            : tipo_file::linea;
    EXPECT_EQ(impagina(c.prima, f), c.dopo) << c.prima;
  }
}

}  // namespace
}  // namespace tracciato
