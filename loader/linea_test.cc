// The line half of the loader, driven by small hand-written line files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "loader/campi.h"
#include "loader/memorizza_dati.h"
#include "model/scenario.h"

namespace tracciato {
namespace {

// A fresh scenario, and a line file to read into it.
struct prova_linea {
  explicit prova_linea(int32_t scrivi = 0) {
    s.nome_scenario = "S";
    s.numero_treno = "T";
    s.scrivi_linea = scrivi;
    s.posizione_errore = -777;  // to see whether a fault sets it
  }
  // The line half alone: true when the train file would be read next.
  bool carica(const std::string& testo) {
    return carica_linea(s, testo_sorgente{"line file", testo, {}}, posto);
  }
  // The whole load, with a train file that holds only its marker.
  void memorizza(const std::string& testo) {
    memorizza_dati(s, testo_sorgente{"line file", testo, {}},
                   testo_sorgente{"train file", "[generale]\r\n", {}});
  }

  scenario s;
  int32_t posto = 0;
};

// A general section with a route length of l metres, the header that ends it,
// then the later records.
std::string file_linea(const std::string& successivi, int32_t l = 10000) {
  return "[generale]\r\nlunghezza percorso, " + std::to_string(l) + "\r\n[curve]\r\n" + successivi +
         "[fine]\r\n";
}

TEST(CaricaLinea, RouteLengthFixesTheGridAndThePlan) {
  static const struct {
    int32_t lunghezza;
    int32_t ultima;
  } casi[] = {{0, 140}, {10000, 340}, {1025, 160}, {1075, 162}, {1000000, 20140}};
  for (const auto& c : casi) {
    prova_linea p(1);
    ASSERT_TRUE(p.carica(file_linea("", c.lunghezza))) << c.lunghezza;
    EXPECT_EQ(p.s.tabella[posto_treno].valore2, c.lunghezza);
    EXPECT_EQ(p.s.lunghezza_estesa, c.lunghezza + 7000);
    EXPECT_EQ(ultima_cella(p.s), c.ultima);
    EXPECT_EQ(p.s.celle.size(), static_cast<size_t>(c.ultima) + 1);
    EXPECT_EQ(p.s.planimetria.righe(), c.lunghezza + 7001);
    EXPECT_EQ(p.posto, primo_posto_cartello);
  }
}

// The eight general tests: the route length in any case, the others only as
// written; the numbers of a keyword that matches nothing are fields that
// match nothing either.
TEST(CaricaLinea, GeneralRecordsAndTheirCaseRules) {
  static const struct {
    const char* righe;
    int posto;
    int32_t v1, v2, v3;
  } casi[] = {
      {"LUNGHEZZA Percorso, 5000\r\n", posto_treno, 0, 5000, 0},
      {"progressiva chilometrica tre, 300, 3, 0\r\n"
       "progressiva chilometrica due, 200, 2, 0\r\n"
       "progressiva chilometrica uno, 100, 1, 0\r\n",
       posto_progressiva_uno, 100, 1, 0},
      {"progressiva chilometrica tre, 300, 3, 0\r\n", posto_progressiva_tre, 300, 3, 0},
      {"Progressiva chilometrica tre, 300, 3, 0\r\n", posto_progressiva_tre, 0, 0, 0},
      {"sfondo uno, 7\r\nsfondo due, 8\r\nsfondo tre, 9\r\n", posto_scenario, 7, 9, 8},
      {"SFONDO uno, 7\r\n", posto_scenario, 0, 0, 0},
      {"ripetizione segnali 4 codici,    0    ,0\r\n", posto_linea, 0, 0, 0},
      {"ripetizione segnali 4 codici, 1000, 2000\r\n", posto_linea, 1000, 2000, 4},
      {"ripetizione segnali 9 codici, 5000, 20000\r\n", posto_linea, 5000, 20000, 9},
      {"ripetizione segnali 9 codici, 5000, 0\r\n", posto_linea, 5000, 0, 0},
      {"Ripetizione segnali 4 codici, 1000, 2000\r\n", posto_linea, 0, 0, 0},
      // Separator fields are dropped, up to ten in a row.
      {"-----,-----\r\nsfondo uno, 7\r\n", posto_scenario, 7, 0, 0},
  };
  for (const auto& c : casi) {
    prova_linea p;
    const std::string testo =
        std::string("[generale]\r\nlunghezza percorso,10000\r\n") + c.righe + "[curve]\r\n[fine]\r\n";
    ASSERT_TRUE(p.carica(testo)) << c.righe;
    const voce_tabella& v = p.s.tabella[c.posto];
    EXPECT_EQ(v.valore1, c.v1) << c.righe;
    EXPECT_EQ(v.valore2, c.v2) << c.righe;
    EXPECT_EQ(v.valore3, c.v3) << c.righe;
    EXPECT_EQ(p.s.codice_errore, 0) << c.righe;
  }
}

TEST(CaricaLinea, WhatEndsTheGeneralSection) {
  // Fields before [generale] are passed over. A header inside a separator
  // field does not end the section; the eleventh dash field in a row stays
  // and is tested, so the route length after it is still a general record.
  std::string testo = "intestazione, 12\r\n[GENERALE]\r\n";
  for (int i = 0; i < 10; ++i) testo += "----------\r\n";
  testo += "-[curve]-\r\nlunghezza percorso,5000\r\n[curve]\r\npendenza,300,3\r\n[fine]\r\n";
  prova_linea p;
  ASSERT_TRUE(p.carica(testo));
  EXPECT_EQ(ultima_cella(p.s), 240);
  EXPECT_EQ(p.s.celle[6].pendenza_cella, 103);

  // After the section the general keywords mean nothing.
  prova_linea q;
  ASSERT_TRUE(q.carica(file_linea("sfondo uno, 7\r\nlunghezza percorso, 5000\r\n")));
  EXPECT_EQ(q.s.tabella[posto_scenario].valore1, 0);
  EXPECT_EQ(ultima_cella(q.s), 340);
}

TEST(CaricaLinea, LaterRecordsAreRecognisedByTheirKeywordField) {
  static const struct {
    const char* righe;
    uint8_t pendenza_cella_10;  // gradient + 100 of cell 10
  } casi[] = {
      {"PENDENZA, 300, 3\r\n", 103},
      {"[pendenze]\r\n[montagne]\r\npendenza, 300, 3\r\n", 103},  // headers match nothing
      {"----,----\r\npendenza, 300, 3\r\n", 103},                  // two dash fields dropped
      {"pendenza, 300\r\n3\r\n", 103},       // a missing field is taken from the next line
      {"pendenza, 300, 3, 4\r\n", 103},      // a surplus field matches nothing
      {"pendenze, 300, 3\r\n", 100},
      {"pendenza, 300, 155\r\n", 255},  // the steepest gradients that fit the byte
      {"pendenza, 300, -100\r\n", 0},
  };
  for (const auto& c : casi) {
    prova_linea p;
    ASSERT_TRUE(p.carica(file_linea(c.righe))) << c.righe;
    EXPECT_EQ(p.s.celle[10].pendenza_cella, c.pendenza_cella_10) << c.righe;
  }
}

TEST(CaricaLinea, TheLastFieldOfTheFileIsNeverARecordButTheNumbersThatEndItAreRead) {
  // A keyword that is the very last field is not tested (reading its numbers
  // would run past the end).
  prova_linea p;
  ASSERT_TRUE(p.carica("[generale]\r\nlunghezza percorso,10000\r\n[curve]\r\npendenza"));
  EXPECT_EQ(p.s.codice_errore, 0);
  // A record whose numbers end the file is read whole.
  prova_linea q;
  ASSERT_TRUE(q.carica("[generale]\r\nlunghezza percorso,10000\r\n[curve]\r\npendenza,300,3\r\n"));
  EXPECT_EQ(q.s.celle[6].pendenza_cella, 103);
  prova_linea r;
  ASSERT_TRUE(r.carica("[generale]\r\nlunghezza percorso,10000\r\n[curve]\r\n"
                       "cartello_indicatore,4500,(F)"));
  EXPECT_EQ(r.s.celle[91].tipo_cella, cella_cartello);
  EXPECT_EQ(r.s.tabella[80].testo, "(F)");
}

TEST(CaricaLinea, GradientsFillEveryCellBeforeTheNextRecord) {
  prova_linea p;
  ASSERT_TRUE(p.carica(file_linea("pendenza,0,0\r\npendenza,300,3\r\npendenza,650,-5\r\n")));
  const int32_t u = ultima_cella(p.s);
  for (int32_t i = 0; i <= u; ++i) {
    const int atteso = i <= 5 ? 100 : i <= 12 ? 103 : i <= u - 3 ? 95 : 0;
    ASSERT_EQ(p.s.celle[i].pendenza_cella, atteso) << "cell " << i;
  }

  // Before the first record the line is level. A record out of order still
  // writes one cell, with the gradient in force, and moves on by one.
  prova_linea q;
  ASSERT_TRUE(q.carica(file_linea("pendenza,200,10\r\npendenza,400,-20\r\npendenza,100,30\r\n")));
  EXPECT_EQ(q.s.celle[3].pendenza_cella, 100);
  EXPECT_EQ(q.s.celle[4].pendenza_cella, 110);
  EXPECT_EQ(q.s.celle[7].pendenza_cella, 110);
  EXPECT_EQ(q.s.celle[8].pendenza_cella, 80);
  EXPECT_EQ(q.s.celle[9].pendenza_cella, 130);
}

TEST(CaricaLinea, SignsGoIntoTheCellAfterTheirPositionWithTheirTextsFromSlot80Down) {
  prova_linea p;
  ASSERT_TRUE(p.carica(file_linea("[indicazioni]\r\ncartello_indicatore, 4500, (F)   (G)\r\n"
                                  "Cartello_Indicatore, 1025, (S)\r\n")));
  EXPECT_EQ(p.s.celle[91].tipo_cella, cella_cartello);
  EXPECT_EQ(p.s.celle[91].valore_a, 80);
  EXPECT_EQ(p.s.tabella[80].testo, "(F)   (G)");
  // 1025 / 50 + 1 = 21.5 goes to the even neighbour.
  EXPECT_EQ(p.s.celle[22].tipo_cella, cella_cartello);
  EXPECT_EQ(p.s.celle[22].valore_a, 79);
  EXPECT_EQ(p.s.tabella[79].testo, "(S)");
  EXPECT_EQ(p.posto, 78);
}

TEST(CaricaLinea, TunnelsAndBoardsGoThroughThePlacementHelpers) {
  prova_linea p;
  ASSERT_TRUE(p.carica(file_linea(
      "montagna, 450, 2200, 12\r\n"
      "cartello_indicatore, 550, (G)\r\n"  // cell 12 holds a tunnel marker: the sign replaces it
      "indicatori_vmax,  7100,  95,  100,  100,  0,  ,  ,  ,  0\r\n")));
  EXPECT_EQ(p.s.numero_montagne, 1);
  EXPECT_EQ(p.s.celle[9].tipo_montagna, 2);
  EXPECT_EQ(p.s.celle[43].tipo_montagna, 2);
  EXPECT_EQ(p.s.celle[16].tipo_cella, cella_segno_montagna);
  EXPECT_EQ(p.s.celle[12].tipo_cella, cella_cartello);
  const cella& c = p.s.celle[143];
  EXPECT_EQ(c.tipo_cella, cella_indicatore_v_max);
  EXPECT_EQ(c.valore_a, 1900);
  EXPECT_EQ(c.valore_b, 2000);
  EXPECT_EQ(c.valore_c, 2000);
  EXPECT_EQ(c.valore_d, 0);
}

// Every fault that ends the load: its number, its position (-777 when the
// fault has none), the line of the record's keyword, and the line file deleted. The
// train file is left alone.
TEST(CaricaLinea, FaultsEndTheLoadAndDeleteTheLineFile) {
  static const struct {
    bool intero;  // the whole file; otherwise later records after a 10000 m route
    const char* testo;
    int32_t codice;
    int32_t posizione;
    int32_t riga;
  } casi[] = {
      {true, "", 102, -777, 0},
      {true, "a,b\r\n[GENERALE\r\n", 102, -777, 0},
      {true, "[generale]\r\nlunghezza percorso,1000001\r\n[fine]\r\n", 1, -777, 2},
      {true, "[generale]\r\nlunghezza percorso,-100\r\n[fine]\r\n", 26, -100, 2},
      {true, "[generale]\r\nripetizione segnali 4 codici,1025,2000\r\n[fine]\r\n", 3, -777, 2},
      {true, "[generale]\r\nripetizione segnali 4 codici,1000\r\n2010\r\n[fine]\r\n", 4, -777, 2},
      {true, "[generale]\r\nripetizione segnali codici,1000,2000\r\n[fine]\r\n", 5, -777, 2},
      {false, "curvas,100,50\r\n", 103, -777, 4},
      {false, "pendenza,0,0\r\n\r\ncartello_indicatore,4500,(F)\r\ncartello_indicatore,4510,(G)\r\n", 6,
       4510, 7},
      {false, "indicatori_vmax,4500,0,0,0,0,0,0,0,0\r\ncartello_indicatore,4500,(F)\r\n", 6, 4500, 5},
      {false, "cartello_indicatore,4500,(F)\r\nindicatori_vmax,4500,0,0,0,0,0,0,0,0\r\n", 21, 4500, 5},
      {false, "pendenza,-50,3\r\n", 26, -50, 4},
      {false, "cartello_indicatore,-1,(F)\r\n", 26, -1, 4},
      {false, "montagna,-400,200,1\r\n", 26, -400, 4},
      {false, "pendenza,100,156\r\n", 29, 100, 4},
      {false, "pendenza,100,-101\r\n", 29, 100, 4},
      {false, "curvad4,16000,1001\r\n", 30, 16000, 4},
  };
  for (const auto& c : casi) {
    prova_linea p(1);
    const std::string testo = c.intero ? c.testo : file_linea(c.testo);
    EXPECT_FALSE(p.carica(testo)) << c.testo;
    EXPECT_EQ(p.s.codice_errore, c.codice) << c.testo;
    EXPECT_EQ(p.s.posizione_errore, c.posizione) << c.testo;
    EXPECT_EQ(p.s.guasti.back().file, "line file") << c.testo;
    EXPECT_EQ(p.s.guasti.back().riga, c.riga) << c.testo;
  }
}

// A record beyond the grid ends the reading, but the gradients and the plan
// are completed and the train file is read next.
TEST(CaricaLinea, ARecordBeyondTheGridEndsTheReadingOnly) {
  prova_linea p(1);
  ASSERT_TRUE(p.carica(file_linea("pendenza,0,2\r\n"
                                  "cartello_indicatore, 126900, (A)\r\n"
                                  "cartello_indicatore, 126950, (B)\r\n"
                                  "cartello_indicatore, 4500, (C)\r\n",
                                  120000)));
  EXPECT_EQ(ultima_cella(p.s), 2540);
  EXPECT_EQ(p.s.celle[2539].tipo_cella, cella_cartello);
  EXPECT_EQ(p.s.celle[91].tipo_cella, cella_vuota);
  EXPECT_EQ(p.s.codice_errore, 15);
  EXPECT_EQ(p.s.posizione_errore, 126950);
  EXPECT_EQ(p.s.guasti.back().riga, 6);
  EXPECT_EQ(p.posto, 79);
  EXPECT_EQ(p.s.celle[2537].pendenza_cella, 102);
  EXPECT_EQ(calcola_planimetria(p.s).valore(126998, 1), 126998.0);
}

// The model's fixed limits: each is refused before anything is written
// outside the grid, the record table or the tunnel tables.
TEST(CaricaLinea, FixedLimitsAreRefusedWithTheirFaults) {
  std::string segni;
  for (int i = 0; i < 81; ++i) segni += "cartello_indicatore," + std::to_string(100 * i) + ",(X)\r\n";
  std::string montagne;
  for (int i = 0; i < 81; ++i)
    montagne += "montagna," + std::to_string(1000 * i) + "," + std::to_string(1000 * i + 200) + ",1\r\n";
  static const std::string fuori_ordine =
      "pendenza,6800,1\r\npendenza,50,1\r\npendenza,50,1\r\npendenza,50,1\r\npendenza,50,1\r\n"
      "pendenza,50,7\r\n";
  const struct {
    std::string righe;
    int32_t lunghezza;
    int32_t codice;
    int32_t posizione;
  } casi[] = {
      {segni, 10000, 28, 8000},
      {montagne, 100000, 27, 80000},
      {fuori_ordine, 0, 31, 50},
  };
  for (const auto& c : casi) {
    prova_linea p;
    EXPECT_FALSE(p.carica(file_linea(c.righe, c.lunghezza)));
    EXPECT_EQ(p.s.codice_errore, c.codice);
    EXPECT_EQ(p.s.posizione_errore, c.posizione);
  }
  // The fourth record out of order still fits: the cursor stops at the last cell.
  prova_linea q;
  ASSERT_TRUE(q.carica(file_linea(fuori_ordine.substr(0, fuori_ordine.rfind("pendenza")), 0)));
  EXPECT_EQ(q.s.celle[139].pendenza_cella, 101);
  EXPECT_EQ(q.s.celle[140].pendenza_cella, 101);
  EXPECT_EQ(q.posto, primo_posto_cartello);
}

// Failures of reading go to the one failure path: fault 25, the position
// unchanged, and the file, line and column of the failure kept.
TEST(MemorizzaDati, ReadFailuresEndInFault25) {
  static const struct {
    const char* testo;
    int32_t riga;
  } casi[] = {
      {"[generale]\r\nlunghezza percorso, 10km\r\n[fine]\r\n", 2},
      {"[generale]\r\nlunghezza percorso, 3000000000\r\n[fine]\r\n", 2},
      {"[generale]\r\n---\r\n---\r\n", 3},                               // past the end
      {"[generale]\r\n[curve]\r\npendenza,0,0\r\n[fine]\r\n", 3},        // no grid yet
      {"[generale]\r\n[curve]\r\n[fine]\r\nfine\r\n", 4},                // no grid at the end
      {"[generale]\r\nlunghezza percorso,10000\r\n[curve]\r\n"           // 2000 x 20 > 32767
       "indicatori_vmax,1000,2000,0,0,0,0,0,0,0\r\n[fine]\r\n", 4},
  };
  for (const auto& c : casi) {
    prova_linea p;
    p.memorizza(c.testo);
    EXPECT_EQ(p.s.codice_errore, 25) << c.testo;
    EXPECT_EQ(p.s.posizione_errore, -777) << c.testo;
    EXPECT_EQ(p.s.guasti.back().file, "line file") << c.testo;
    EXPECT_EQ(p.s.guasti.back().riga, c.riga) << c.testo << p.s.guasti.back().dettaglio;
  }
}

TEST(CaricaLinea, AStraightLineRunsAlongY) {
  prova_linea p(1);
  ASSERT_TRUE(p.carica(file_linea("", 0)));
  const planimetria_t pl = calcola_planimetria(p.s);
  ASSERT_EQ(pl.righe(), 7001);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(pl.tipo(0, c), tipo_voce::intero);
    EXPECT_EQ(pl.tipo(1, c), tipo_voce::intero);
    EXPECT_EQ(pl.tipo(6999, c), tipo_voce::vuota);
    EXPECT_EQ(pl.tipo(7000, c), tipo_voce::vuota);
  }
  for (int32_t m = 0; m <= 6998; ++m) {
    ASSERT_EQ(pl.valore(m, 0), 0.0) << m;
    ASSERT_EQ(pl.valore(m, 1), m) << m;
    if (m >= 2) {
      ASSERT_EQ(pl.tipo(m, 0), tipo_voce::reale) << m;
    }
  }
}

TEST(CaricaLinea, CurvesTurnThePlanByTheirClassAndSide) {
  static const struct {
    const char* chiave;
    double angolo;  // direction after the curve, clockwise from +y
  } casi[] = {
      {"curvad4", 0.1},  {"CURVAD4", 0.1},  {"curvas4", -0.1}, {"CurvaS4", -0.1},
      {"curvad1", 0.01}, {"curvas6", -0.3},
      {"curva destra 4", -0.1},  // an s anywhere makes it a left-hand curve
      {"curvad46", 0.1},         // the first class digit in the order 1 to 6
  };
  for (const auto& c : casi) {
    prova_linea p(1);
    ASSERT_TRUE(p.carica(file_linea(std::string(c.chiave) + ", 100, 100\r\n", 0))) << c.chiave;
    const planimetria_t pl = calcola_planimetria(p.s);
    const double dx = pl.valore(300, 0) - pl.valore(299, 0);
    const double dy = pl.valore(300, 1) - pl.valore(299, 1);
    EXPECT_NEAR(std::atan2(dx, dy), c.angolo, 1e-3) << c.chiave;
    EXPECT_EQ(pl.valore(100, 0), 0.0) << c.chiave;  // straight up to the start
  }
  // The first two turning steps, to the bit.
  prova_linea p(1);
  ASSERT_TRUE(p.carica(file_linea("curvad4, 100, 100\r\n", 0)));
  const planimetria_t pl = calcola_planimetria(p.s);
  EXPECT_EQ(pl.valore(101, 0), 0.001);
  EXPECT_EQ(pl.valore(101, 1), 101.0);
  const double k = 0.001;
  EXPECT_EQ(pl.valore(102, 0), (0.001 + 0.001) + k * 1.0);
  EXPECT_EQ(pl.valore(102, 1), (101.0 + 1.0) - k * 0.001);
}

TEST(CaricaLinea, CurvesAreSkippedWithoutATrackPlan) {
  prova_linea p(0);
  ASSERT_TRUE(p.carica(file_linea("curvas, 100, 100\r\npendenza, 300, 3\r\n")));
  EXPECT_EQ(p.s.codice_errore, 0);
  EXPECT_FALSE(p.s.planimetria.allocata());
  EXPECT_EQ(p.s.celle[6].pendenza_cella, 103);
}

TEST(CaricaLinea, ThePlanStopsAtItsMillionthRow) {
  prova_linea p(1);
  EXPECT_FALSE(p.carica(file_linea("curvad4, 999000, 1500\r\n", 1000000)));
  EXPECT_EQ(p.s.codice_errore, 103);
  EXPECT_EQ(p.s.posizione_errore, -777);
  EXPECT_EQ(p.s.planimetria.tipo(1000000), tipo_voce::reale);
  EXPECT_EQ(p.s.planimetria.tipo(1000001), tipo_voce::vuota);
  // A straight line of the longest route is completed past that row.
  prova_linea q(1);
  ASSERT_TRUE(q.carica(file_linea("curvad4, 999000, 900\r\n", 1000000)));
  EXPECT_EQ(q.s.planimetria.tipo(1006998), tipo_voce::reale);
  EXPECT_EQ(q.s.planimetria.tipo(1006999), tipo_voce::vuota);
}

}  // namespace
}  // namespace tracciato
