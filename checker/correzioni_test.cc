#include "checker/correzioni.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "tests/genera_scenari.h"

namespace tracciato {
namespace {

// The text as check --fix leaves it: the file checked on its own, every exact fix applied.
std::string corretto(tipo_file file, const std::string& testo, int* n = nullptr) {
  const testo_sorgente t{file == tipo_file::linea ? "S_linea.txt" : "S_T-.txt", testo, ""};
  const auto problemi = file == tipo_file::linea ? controlla(t, std::nullopt) : controlla(std::nullopt, t);
  return correggi(testo, file, problemi, n);
}

TEST(Correzioni, EachMistakeAndItsFixedText) {
  const std::string l = "[generale]\r\nlunghezza percorso,7000\r\n";
  const std::string t = "[generale]\r\nnumero vetture,3\r\n";
  static const struct {
    tipo_file file;
    std::string prima, dopo;
  } casi[] = {
      // "did you mean": the keyword field alone is rewritten.
      {tipo_file::linea, l + "[pendenze]\r\n  pendenzza , 0,3\r\n[fine]\r\n", l + "[pendenze]\r\n  pendenza , 0,3\r\n[fine]\r\n"},
      {tipo_file::treno, t + "[aderenze]\r\naderensa,0,100\r\n[fine]\r\n", t + "[aderenze]\r\naderenza,0,100\r\n[fine]\r\n"},
      {tipo_file::linea, "[generalle]\r\nlunghezza percorso,7000\r\n", "[generale]\r\nlunghezza percorso,7000\r\n"},
      // Off the grid: the position where the compile places the item, the nearest cell.
      {tipo_file::linea, l + "[pendenze]\r\npendenza,   120,3\r\n[fine]\r\n", l + "[pendenze]\r\npendenza,   100,3\r\n[fine]\r\n"},
      {tipo_file::treno, t + "[vel_limite]\r\nvelocita,0,80\r\nvelocita,1230,60\r\n[fine]\r\n",
       t + "[vel_limite]\r\nvelocita,0,80\r\nvelocita,1250,60\r\n[fine]\r\n"},
      {tipo_file::linea, l + "[curve]\r\ncurvad3,  140, 100\r\n[fine]\r\n", l + "[curve]\r\ncurvad3,  100, 100\r\n[fine]\r\n"},
      // A decimal comma: the whole part, as it is read.
      {tipo_file::linea, l + "[pendenze]\r\npendenza, 0, 2,5\r\n[fine]\r\n", l + "[pendenze]\r\npendenza, 0, 2\r\n[fine]\r\n"},
      // Comment-looking lines go, with their line end; the last line with the one before it.
      {tipo_file::linea, l + "# the climb\r\n[fine]\r\n", l + "[fine]\r\n"},
      {tipo_file::linea, l + "[pendenze]\n// pendenza,0,3\npendenza,0,3\n", l + "[pendenze]\npendenza,0,3\n"},
      {tipo_file::linea, l + "[fine]\r\n; end", l + "[fine]"},
      // Records moved to where they are read: a general one to the end of [generale] ...
      {tipo_file::linea, "[generale]\r\n[curve]\r\nlunghezza percorso,7000\r\n[fine]\r\n",
       "[generale]\r\nlunghezza percorso,7000\r\n[curve]\r\n[fine]\r\n"},
      {tipo_file::linea, "[generale]\r\n[curve]\r\nlunghezza percorso,7000\r\n# note\r\n[fine]\r\n",
       "[generale]\r\nlunghezza percorso,7000\r\n[curve]\r\n[fine]\r\n"},
      {tipo_file::linea, "[generale]\n[curve]\nlunghezza percorso,7000\n[fine]", "[generale]\nlunghezza percorso,7000\n[curve]\n[fine]"},
      // ... a later one to the end of its own section.
      {tipo_file::linea, l + "curvad3,0,100\r\n[pendenze]\r\npendenza,0,1\r\n[curve]\r\ncurvas2,200,50\r\n[fine]\r\n",
       l + "[pendenze]\r\npendenza,0,1\r\n[curve]\r\ncurvas2,200,50\r\ncurvad3,0,100\r\n[fine]\r\n"},
  };
  for (const auto& c : casi) EXPECT_EQ(corretto(c.file, c.prima), c.dopo) << c.prima;
}

TEST(Correzioni, NoFixWithoutAnExactOneAndNeverTwoEditsOnOnePlace) {
  // A field running on to the next line is not moved apart from it; a far misspelling has no fix.
  const std::string l = "[generale]\r\n[curve]\r\nlunghezza percorso,\r\n7000\r\nzzzzzz,1\r\n[fine]\r\n";
  int n = -1;
  EXPECT_EQ(corretto(tipo_file::linea, l, &n), l);
  EXPECT_EQ(n, 0);
  // The whole part, or the next whole number.
  const testo_sorgente s{"S_linea.txt", "[generale]\r\nlunghezza percorso,7000\r\n[pendenze]\r\npendenza, 0, 2,5\r\n", ""};
  for (const problema& p : controlla(s, std::nullopt))
    if (p.sigla == "W108") {
      const auto c = correzioni(p, s.dati, tipo_file::linea);
      ASSERT_EQ(c.size(), 2u);
      EXPECT_TRUE(applica(s.dati, c[1].modifiche).ends_with("pendenza, 0, 3\r\n")) << applica(s.dati, c[1].modifiche);
    }
}

// The bytes of the cell grid and the record table of a compile, and the track plan's length.
std::string binari(const std::string& linea, const std::string& treno) {
  const compilazione c = compila_in_memoria({"S_linea.txt", linea, ""}, {"S_T-.txt", treno, ""}, "S", "1", 1);
  return std::string(codifica_celle(c.modello.celle).vista()) + std::string(codifica_tabella(c.modello.tabella).vista()) +
         std::to_string(c.modello.planimetria.righe()) + "/" + std::to_string(c.modello.guasti.size());
}

TEST(Correzioni, APositionPutWhereTheCompilePlacesItCompilesToTheSameBytes) {
  // Generated scenarios put items a few metres off the grid: fixed, they compile as before.
  int fissate = 0;
  for (uint64_t seme = 1; seme <= 40; ++seme) {
    const test::scenario_generato g = test::genera_scenario(seme);
    auto problemi = controlla(testo_sorgente{"S_linea.txt", g.linea, ""}, testo_sorgente{"S_T-.txt", g.treno, ""});
    std::erase_if(problemi, [](const problema& p) { return p.sigla != "W203" && p.sigla != "W214" && p.sigla != "W221"; });
    auto di = [&](const char* nome) {
      std::vector<problema> v;
      std::copy_if(problemi.begin(), problemi.end(), std::back_inserter(v), [&](const problema& p) { return p.file == nome; });
      return v;
    };
    int n = 0, m = 0;
    const std::string l = correggi(g.linea, tipo_file::linea, di("S_linea.txt"), &n);
    const std::string t = correggi(g.treno, tipo_file::treno, di("S_T-.txt"), &m);
    fissate += n + m;
    EXPECT_EQ(binari(l, t), binari(g.linea, g.treno)) << seme;
  }
  EXPECT_GT(fissate, 20);
}

}  // namespace
}  // namespace tracciato
