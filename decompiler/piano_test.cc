// The track plan as decompile reads and checks it: straight from the file's
// bytes, and against the plan that the recovered line file draws.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "compactor/decodifica.h"
#include "compactor/formato.h"
#include "decompiler/curve.h"
#include "decompiler/decompila.h"
#include "loader/planimetria_linea.h"

namespace tracciato {
namespace {

std::string crlf(const std::string& t) { return std::regex_replace(t, std::regex("\n"), "\r\n"); }

const std::string treno_minimo = crlf(
    "[generale]\nnumero vetture, 3\npercentuale massa frenata, 105\nsabbia, 120\norologio, 13 59 45\n"
    "aderenza, 0, 100\nvelocita, 0, 100\n[fine]\n");

std::string linea_di(int32_t lunghezza, const std::string& curve) {
  return crlf("[generale]\nlunghezza percorso, " + std::to_string(lunghezza) +
              "\nsfondo uno, 1\nripetizione segnali 4 codici, 0, 0\n[curve]\n" + curve + "[fine]\n");
}

scenario compila(const std::string& linea, int32_t scrivi_linea) {
  return compila_in_memoria(testo_sorgente{"linea", linea, {}}, testo_sorgente{"treno", treno_minimo, {}}, "P", "1",
                            scrivi_linea)
      .modello;
}

// Curves of several classes and sides, back to back and apart: 7001 + 3000 rows.
const scenario& piccolo() {
  static const scenario s =
      compila(linea_di(3000, "curvad1, 100, 200\ncurvas6, 300, 50\ncurvad4, 900, 400\ncurvas2, 2000, 20\n"), 1);
  return s;
}

std::string byte_di(const disegno_planimetria& d) {
  return std::string(codifica_planimetria(calcola_planimetria(d)).vista());
}

// Where row r's entry of a column starts in a plan drawn up to row ultima.
std::size_t offset(int32_t r, int32_t ultima) {
  if (r < 2) return static_cast<std::size_t>(r) * byte_intero;
  if (r <= ultima) return 2 * byte_intero + static_cast<std::size_t>(r - 2) * byte_reale;
  return 2 * byte_intero + static_cast<std::size_t>(ultima - 1) * byte_reale +
         static_cast<std::size_t>(r - ultima - 1) * byte_vuota;
}

// The first row that differs is found wherever the change lies: a kind code
// or a value byte, in x's column or in y's, the origin, a computed row or an
// empty one; a file of another size differs from row 0.
TEST(PrimaRigaDiversa, FindsTheFirstRowThatDiffers) {
  const disegno_planimetria& d = piccolo().planimetria;
  const std::string giusto = byte_di(d);
  ASSERT_EQ(prima_riga_diversa(d, giusto), -1);
  const int32_t ultima = d.riga_successiva() - 1;
  const std::size_t colonna = giusto.size() / 2;
  static const struct {
    const char* cosa;
    int colonna;
    int32_t riga;
    std::size_t byte;  // within the entry: 0 and 1 the kind code
  } casi[] = {
      {"row 0's kind in x", 0, 0, 0},  {"row 1's value in y", 1, 1, 2},     {"a row's kind in x", 0, 2, 1},
      {"a curve's row in x", 0, 250, 9}, {"a curve's row in y", 1, 1000, 2}, {"the last computed row", 1, 9998, 5},
      {"an empty row's kind", 0, 9999, 0}, {"the last row in y", 1, 10000, 1},
  };
  for (const auto& c : casi) {
    ASSERT_LT(c.riga, d.righe()) << c.cosa;
    std::string f = giusto;
    f[c.colonna * colonna + offset(c.riga, ultima) + c.byte] ^= 0x10;
    EXPECT_EQ(prima_riga_diversa(d, f), c.riga) << c.cosa;
  }
  EXPECT_EQ(prima_riga_diversa(d, giusto.substr(0, giusto.size() - 2)), 0);
  EXPECT_EQ(prima_riga_diversa(d, giusto + std::string(2, '\0')), 0);
  EXPECT_EQ(prima_riga_diversa(disegno_planimetria{}, giusto), 0);
}

// Read where it lies, the plan gives the same curves and the same warnings as
// decoded; a row that is not two doubles sends the caller to the decoder,
// with nothing told.
TEST(RecuperaCurve, TheFileBytesGiveWhatTheDecodedPlanGives) {
  const disegno_planimetria& d = piccolo().planimetria;
  const std::string giusto = byte_di(d);
  const int32_t ultima = d.riga_successiva() - 1;
  std::string storto = giusto;  // row 1500 no longer a step of any class
  storto[offset(1500, ultima) + 5] ^= 0x01;
  for (const std::string* f : {&giusto, static_cast<const std::string*>(&storto)}) {
    ASSERT_TRUE(forma_compilata(*f));
    EXPECT_EQ(*forma_compilata(*f), d.righe());
    std::vector<std::string> da_byte, da_piano;
    const auto a = recupera_curve(*f, 10000, da_byte);
    const auto b = recupera_curve(decodifica_planimetria(*f, "P_linea.dat"), 10000, da_piano);
    ASSERT_TRUE(a);
    ASSERT_EQ(a->curve.size(), b.curve.size());
    for (std::size_t i = 0; i < b.curve.size(); ++i) {
      EXPECT_EQ(a->curve[i].inizio, b.curve[i].inizio);
      EXPECT_EQ(a->curve[i].lunghezza, b.curve[i].lunghezza);
      EXPECT_EQ(a->curve[i].sinistra, b.curve[i].sinistra);
      EXPECT_EQ(a->curve[i].classe, b.curve[i].classe);
    }
    ASSERT_EQ(a->tratti.size(), b.tratti.size());
    for (std::size_t i = 0; i < b.tratti.size(); ++i) {
      EXPECT_EQ(a->tratti[i].ultima, b.tratti[i].ultima);
      EXPECT_EQ(a->tratti[i].k, b.tratti[i].k);
    }
    EXPECT_EQ(da_byte, da_piano);
    EXPECT_EQ(da_byte.empty(), f == &giusto);
    EXPECT_EQ(a->curve.size(), 4u);
  }

  std::string intero = giusto;  // row 700 of y holds a 16-bit kind: the ends look right
  intero[giusto.size() / 2 + offset(700, ultima)] = 2;
  std::vector<std::string> avvisi;
  ASSERT_TRUE(forma_compilata(intero));
  EXPECT_FALSE(recupera_curve(intero, 10000, avvisi));
  EXPECT_TRUE(avvisi.empty());
  EXPECT_FALSE(forma_compilata(giusto.substr(1)));
  EXPECT_FALSE(forma_compilata(giusto.substr(0, giusto.size() - 10)));
}

// A plan read where it lies is taken as the file's, with no row computed
// again, only when a row by row comparison finds it so: the same curves, or
// curves that draw the same steps; not a curve a metre off, of another class
// or side, nor a route of another length.
TEST(DisegnaRighe, AgreesWithTheRowByRowComparison) {
  const std::string curve = "curvad1, 100, 200\ncurvas6, 300, 50\ncurvad4, 900, 400\n";
  const std::string file = byte_di(compila(linea_di(3000, curve), 1).planimetria);
  std::vector<std::string> avvisi;
  const auto letto = recupera_curve(file, 10000, avvisi);
  ASSERT_TRUE(letto);
  ASSERT_TRUE(avvisi.empty());
  const int32_t n = *forma_compilata(file);
  static const struct {
    const char* cosa;
    int32_t lunghezza;
    const char* curve;
    bool uguale;
  } casi[] = {
      {"the same curves", 3000, "curvad1, 100, 200\ncurvas6, 300, 50\ncurvad4, 900, 400\n", true},
      {"one curve as two halves", 3000, "curvad1, 100, 100\ncurvad1, 200, 100\ncurvas6, 300, 50\ncurvad4, 900, 400\n",
       true},
      {"a curve a metre later", 3000, "curvad1, 100, 200\ncurvas6, 300, 50\ncurvad4, 901, 400\n", false},
      {"a curve a metre shorter", 3000, "curvad1, 100, 200\ncurvas6, 300, 50\ncurvad4, 900, 399\n", false},
      {"another class", 3000, "curvad1, 100, 200\ncurvas5, 300, 50\ncurvad4, 900, 400\n", false},
      {"the other side", 3000, "curvad1, 100, 200\ncurvad6, 300, 50\ncurvad4, 900, 400\n", false},
      {"a curve fewer", 3000, "curvad1, 100, 200\ncurvas6, 300, 50\n", false},
      {"a longer route", 3001, "curvad1, 100, 200\ncurvas6, 300, 50\ncurvad4, 900, 400\n", false},
  };
  for (const auto& c : casi) {
    const scenario s = compila(linea_di(c.lunghezza, c.curve), 1);
    const disegno_planimetria& d = s.planimetria;
    EXPECT_EQ(prima_riga_diversa(d, file) < 0, c.uguale) << c.cosa;
    EXPECT_EQ(disegna_righe(d, n, letto->tratti), c.uguale) << c.cosa;
  }
  EXPECT_FALSE(disegna_righe(compila(linea_di(3000, curve), 0).planimetria, n, letto->tratti));
}

// The cells compare as their encoding does, a block at a time: a change in
// any cell's bytes, in the first block, the last or across the blocks' seam,
// or another size, makes them differ.
TEST(StesseCelle, AgreesWithTheWholeEncoding) {
  const scenario s = compila(linea_di(110000, ""), 0);
  ASSERT_GT(s.celle.size(), 2048u);
  const std::string giusto(codifica_celle(s.celle).vista());
  EXPECT_TRUE(stesse_celle(s.celle, giusto));
  for (std::size_t o : {std::size_t{0}, 1024 * byte_per_cella - 1, 1024 * byte_per_cella, giusto.size() - 1}) {
    std::string f = giusto;
    f[o] ^= 1;
    EXPECT_FALSE(stesse_celle(s.celle, f)) << o;
  }
  EXPECT_FALSE(stesse_celle(s.celle, giusto.substr(0, giusto.size() - byte_per_cella)));
  EXPECT_FALSE(stesse_celle(s.celle, giusto + std::string(byte_per_cella, '\0')));
}

// A plan that turns past row 1,000,000, which no line file draws (the
// loader refuses a curve there), is recovered as a curve all the same:
// compiling that line file stops at the curve, so the set is not exact.
TEST(Decompila, ACurveTheCompileRefusesIsNotExact) {
  const scenario senza = compila(linea_di(1000000, ""), 0);
  ASSERT_TRUE(senza.guasti.empty());
  disegno_planimetria d;
  d.alloca_righe(1007000);
  d.imposta_origine();
  d.aggiungi_tratto(1000099, 0.0);
  d.aggiungi_tratto(1000199, curvature_classi[0]);
  d.aggiungi_tratto(1006998, 0.0);
  binari_scenario b{"P", "1", byte_di(d), std::string(codifica_tabella(senza.tabella).vista()),
                    std::string(codifica_celle(senza.celle).vista())};
  const sorgenti_recuperate r = decompila(b);
  EXPECT_NE(r.linea.find("1000099"), std::string::npos) << r.linea;
  EXPECT_FALSE(r.esatto);
  EXPECT_FALSE(r.differenze.empty());
}

}  // namespace
}  // namespace tracciato
