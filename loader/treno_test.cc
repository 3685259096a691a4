#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/campi.h"
#include "model/scenario.h"
#include "loader/memorizza_dati.h"

namespace tracciato {
namespace {

// A model as the line half leaves it: a grid of cells ultima_cella(0.) (here
// 300, a line of 8000 m) and nothing else; the train file is then loaded.
struct banco {
  scenario s;

  explicit banco(int32_t ultima = 300) {
    s.nome_scenario = "Prova";
    s.numero_treno = "7";
    s.celle.assign(ultima + 1, {});
  }
  void carica(const std::vector<std::string>& righe, int32_t posto_cartello = 80) {
    std::string testo;
    for (const std::string& r : righe) testo += r + "\r\n";
    carica_treno(s, testo_sorgente{"train file", testo, {}}, posto_cartello);
  }
};

TEST(CaricaTreno, GeneralRecordsInAnyCaseAfterTheMarker) {
  banco b;
  b.carica({"numero vetture, 99",  // before the marker: ignored
            "[GENERALE]", "Numero VETTURE,  3", "PERCENTUALE MASSA FRENATA, 105", "Sabbia, 120",
            "orologio,    13              59            45 ",
            "ora-legale, x-y, orologio, 1,2,3",  // two hyphen fields, then a keyword field
            "[fine]"});
  EXPECT_EQ(b.s.tabella[posto_treno].valore3, 3);
  EXPECT_EQ(b.s.tabella[posto_treno].valore1, 105);
  EXPECT_EQ(b.s.tabella[posto_linea].intero1, 120);
  EXPECT_EQ(b.s.tabella[posto_linea].intero3, 1);
  EXPECT_EQ(b.s.tabella[posto_linea].intero4, 2);
  EXPECT_EQ(b.s.tabella[posto_linea].intero5, 3);
  EXPECT_EQ(b.s.codice_errore, 0);
}

TEST(CaricaTreno, FieldStreamRules) {
  static const struct {
    const char* nome;
    std::vector<std::string> righe;
    int16_t ore, minuti, secondi;
  } casi[] = {
      {"blanks", {"[generale]", "orologio,    13        59        45 ", "[fine]"}, 13, 59, 45},
      {"commas", {"[generale]", "orologio, 13,59,45", "[fine]"}, 13, 59, 45},
      {"empty field", {"[generale]", "orologio, 13,,45", "[fine]"}, 13, 0, 45},
      // A missing field is taken from the next line: the stream does not resynchronise.
      {"next line", {"[generale]", "orologio, 13, 59", "45", "[fine]"}, 13, 59, 45},
      // After two hyphen fields the third is the keyword field, hyphen or not;
      // a keyword field with a hyphen is passed over with its record.
      {"dashes", {"[generale]", "a-b, c-d, orologio-x, 4, 5, 6", "[fine]"}, 4, 5, 6},
      {"hyphen keyword", {"[generale]", "orologio-x, 4, 5, 6", "[fine]"}, 0, 0, 0},
      // The very last field of the file is never a keyword field.
      {"last field", {"[generale]", "orologio, 1, 2, 3", "orologio"}, 1, 2, 3},
  };
  for (const auto& c : casi) {
    banco b;
    b.carica(c.righe);
    const voce_tabella& v = b.s.tabella[posto_linea];
    EXPECT_EQ(v.intero3, c.ore) << c.nome;
    EXPECT_EQ(v.intero4, c.minuti) << c.nome;
    EXPECT_EQ(v.intero5, c.secondi) << c.nome;
    EXPECT_EQ(b.s.codice_errore, 0) << c.nome;
  }
}

TEST(CaricaTreno, WithoutTheMarkerNothingIsReadButTheEndStepsRun) {
  banco b;
  b.s.tabella[posto_progressiva_uno].valore2 = 132125;  // not on a whole cell
  b.carica({"numero vetture, 3", "stazione, 0, 11, 600, 0,0,0, 1,1,0, 4,1,1, 1, 14,0,0, A"});
  EXPECT_EQ(b.s.tabella[posto_treno].valore3, 0);
  EXPECT_EQ(b.s.tabella[1].valore2, 0);
  EXPECT_EQ(b.s.codice_errore, 2);
}

TEST(CaricaTreno, SpeedLimitsInUnitsOfFiveAndAdhesionFromItsFirstRecord) {
  banco b;
  b.carica({"[generale]", "velocita, 0, 70", "VELOCITA, 6200, 90",
            // Adhesion starts at 500 m: the ten cells before it stay 0.
            "aderenza, 500, 80", "Aderenza, 1000, 100", "[fine]"});
  for (int i = 0; i <= 300; ++i) {
    const int velocita = i <= 123 ? 14 : i <= 297 ? 18 : 0;
    const int aderenza = i < 10 ? 0 : i < 20 ? 80 : i <= 297 ? 100 : 0;
    EXPECT_EQ(b.s.celle[i].vel_limite, velocita) << "cell " << i;
    EXPECT_EQ(b.s.celle[i].aderenza_cella, aderenza) << "cell " << i;
  }
}

TEST(CaricaTreno, OneFieldCanStartSeveralRecords) {
  banco b;
  // "velocita aderenza" reads a speed record and then an adhesion record.
  b.carica({"[generale]", "velocita aderenza, 0, 100, 0, 90", "velocita aderenza, 100, 5, 100, 7",
            "[fine]"});
  EXPECT_EQ(b.s.celle[0].vel_limite, 20);
  EXPECT_EQ(b.s.celle[0].aderenza_cella, 90);
  EXPECT_EQ(b.s.celle[2].vel_limite, 1);
  EXPECT_EQ(b.s.celle[2].aderenza_cella, 7);
}

TEST(CaricaTreno, RepeatedAdhesionRecordsNeverWritePastTheGrid) {
  banco b(10);  // grid limit: position 400
  b.carica({"[generale]", "aderenza, 0, 50", "aderenza, 400, 60", "aderenza, 400, 70",
            "aderenza, 400, 80", "aderenza, 400, 90", "aderenza, 400, 95", "[fine]"});
  EXPECT_EQ(b.s.celle.size(), 11u);
  EXPECT_EQ(b.s.celle[7].aderenza_cella, 50);
  EXPECT_EQ(b.s.celle[8].aderenza_cella, 60);
  EXPECT_EQ(b.s.celle[10].aderenza_cella, 80);
  EXPECT_EQ(b.s.codice_errore, 0);
}

TEST(CaricaTreno, StationSlotCellAndApproachMarks) {
  banco b;
  b.carica(
      {"[generale]",
       "stazione,       0, 11,  600,  0, 1, 0,  1,1,0,  4,1,1,    1,  14, 0, 0, VESSOLANTA C.",
       "stazione,   10000, 12,  400,  0, 0, 1,  0,0,0,  0,0,0,   50,  14,24, 30, NOVALE-ARDOLEA",
       "stazione,   10800, 27,  400,  1, 1, 0,  2,3,1,  5,6,7,    0,   0, 0, 0, Ex stazione",
       "[fine]"});
  EXPECT_EQ(b.s.codice_errore, 0);
  const voce_tabella& origine = b.s.tabella[1];
  EXPECT_EQ(origine.valore1, -300);
  EXPECT_EQ(origine.valore2, 300);
  EXPECT_EQ(origine.valore3, 0);
  EXPECT_EQ(origine.tipo_record, 11);
  EXPECT_EQ(origine.byte3, 0);  // the first station keeps neither flag
  EXPECT_EQ(origine.byte4, 0);
  EXPECT_EQ(origine.byte2, 1);
  EXPECT_EQ(origine.valore4, 14 * 3600);
  EXPECT_EQ(origine.testo, "VESSOLANTA C.");
  EXPECT_EQ(b.s.celle[5].tipo_cella, cella_stazione);
  EXPECT_EQ(b.s.celle[5].valore_a, 1);
  EXPECT_EQ(b.s.celle[4].segno_approccio, 81);
  EXPECT_EQ(b.s.celle[3].segno_approccio, 82);
  EXPECT_EQ(b.s.celle[2].segno_approccio, 83);
  EXPECT_EQ(b.s.celle[1].segno_approccio, 0);

  // The third flag lengthens the end by 50 m: station cell 204, marks in 203 to 200.
  const voce_tabella& seconda = b.s.tabella[2];
  EXPECT_EQ(seconda.valore1, 9800);
  EXPECT_EQ(seconda.valore2, 10250);
  EXPECT_EQ(seconda.byte3, 1);
  EXPECT_EQ(seconda.byte4, 0);
  EXPECT_EQ(seconda.valore4, (14 * 60 + 24) * 60 + 30);
  EXPECT_EQ(seconda.testo, "NOVALE-ARDOLEA");
  EXPECT_EQ(b.s.celle[204].tipo_cella, cella_stazione);
  EXPECT_EQ(b.s.celle[204].valore_a, 2);
  for (int j = 1; j <= 4; ++j) EXPECT_EQ(b.s.celle[204 - j].segno_approccio, 80 + j);

  // Kind 25 and above: a slot but no cell; a short station loses its second flag.
  const voce_tabella& terza = b.s.tabella[3];
  EXPECT_EQ(terza.valore1, 10600);
  EXPECT_EQ(terza.valore2, 11000);
  EXPECT_EQ(terza.tipo2, 1);
  EXPECT_EQ(terza.byte4, 0);
  EXPECT_EQ(terza.intero1, 2);
  EXPECT_EQ(terza.intero2, 3);
  EXPECT_EQ(terza.byte1, 1);
  EXPECT_EQ(terza.intero3, 5);
  EXPECT_EQ(terza.intero4, 6);
  EXPECT_EQ(terza.intero5, 7);
  EXPECT_EQ(b.s.celle[219].tipo_cella, cella_vuota);
  EXPECT_EQ(b.s.tabella[4].valore3, 0);
}

TEST(CaricaTreno, StationExtentByKind) {
  static const struct {
    int tipo;
    int32_t lunghezza;
    int32_t inizio, fine;
    int cella;  // -1: no station cell
    int segni;  // approach marks written
  } casi[] = {
      {5, 400, 1600, 2150, 42, 0}, {6, 400, 1600, 2150, 42, 0}, {7, 400, 1600, 2400, 47, 4},
      {8, 800, 1200, 2800, 55, 4}, {2, 800, 1600, 2400, 47, 4}, {25, 800, 1600, 2400, -1, 0},
  };
  for (const auto& c : casi) {
    banco b;
    const std::string riga = "stazione, 2000, " + std::to_string(c.tipo) + ", " +
                             std::to_string(c.lunghezza) + ", 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X";
    b.carica({"[generale]", riga.c_str(), "[fine]"});
    const voce_tabella& v = b.s.tabella[1];
    EXPECT_EQ(v.valore1, c.inizio) << c.tipo;
    EXPECT_EQ(v.valore2, c.fine) << c.tipo;
    int segni = 0;
    for (const cella& x : b.s.celle) segni += x.segno_approccio != 0;
    EXPECT_EQ(segni, c.segni) << c.tipo;
    if (c.cella >= 0) {
      EXPECT_EQ(b.s.celle[c.cella].tipo_cella, cella_stazione) << c.tipo;
    }
  }
}

// Each fault: its number, its position (or the position left as it was:
// 4242), the line it comes from, and the train file gone.
TEST(CaricaTreno, Faults) {
  // clang-format off
  static const struct {
    const char* nome;
    int32_t codice, posizione, riga, posto_cartello;
    std::vector<std::string> righe;
  } casi[] = {
      {"station not on a whole cell", 8, 6375, 2, 80,
       {"[generale]", "stazione, 6375, 11, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "[fine]"}},
      {"station length", 9, 1000, 2, 80,
       {"[generale]", "stazione, 1000, 11, 450, 0,0,0", "[fine]"}},
      {"station too near the start", 24, 4242, 2, 80,
       {"[generale]", "stazione, 0, 11, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "[fine]"}},
      {"stations too close", 22, 10300, 3, 80,
       {"[generale]", "stazione, 10000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
        "stazione, 10300, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", "[fine]"}},
      {"station slots exhausted", 10, 4242, 3, 3,
       {"[generale]", "stazione, 1000, 11, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
        "stazione, 3000, 11, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", "[fine]"}},
      {"no slot at all", 10, 4242, 2, 1,
       {"[generale]", "stazione, 1000, 11, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "[fine]"}},
      {"station cell past the grid", 26, 14000, 2, 80,
       {"[generale]", "stazione, 14000, 7, 2000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "[fine]"}},
      {"station beyond the grid", 15, 14250, 2, 80,
       {"[generale]", "stazione, 14250, 11, 400", "[fine]"}},
      {"code point on a board", 7, 1000, 2, 80, {"[generale]", "abbattimento, 1000, 3", "[fine]"}},
      {"negative code point", 26, -50, 2, 80, {"[generale]", "abbattimento, -50, 3", "[fine]"}},
      {"negative speed position", 26, -100, 2, 80, {"[generale]", "velocita, -100, 60", "[fine]"}},
      {"negative signal", 26, -50, 2, 80,
       {"[generale]", "segnale, -50, 1,3,4,0,0,0,0,0,0,0", "[fine]"}},
      {"signal beyond the grid", 15, 14950, 2, 80,
       {"[generale]", "segnale, 14950, 1,3,4,0,0,0,0,0,0,0", "[fine]"}},
      {"signal on a board", 16, 950, 2, 80,
       {"[generale]", "segnale, 950, 1,3,4,0,0,0,0,0,0,0", "[fine]"}},
      {"slowdown start on a station", 18, 10100, 3, 80,
       {"[generale]", "stazione, 10000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
        "rallentamento, 10100, 30, 500, 0, 1, 0", "[fine]"}},
      {"slowdown end past the grid", 26, 14800, 2, 80,
       {"[generale]", "rallentamento, 14800, 30,500,0,0,0", "[fine]"}},
      // A record whose fields run on over several lines is reported at its keyword.
      {"record over two lines", 16, 950, 2, 80,
       {"[generale]", "segnale, 950, 1,3,4,0,0,", "0,0,0,0", "[fine]"}},
      {"slowdown beyond the grid", 15, 15000, 2, 80,
       {"[generale]", "rallentamento, 15000, 30,500,0,0,0", "[fine]"}},
  };
  // clang-format on
  for (const auto& c : casi) {
    banco b;
    b.s.posizione_errore = 4242;
    b.s.celle[20].tipo_cella = cella_indicatore_v_max;
    b.carica(c.righe, c.posto_cartello);
    EXPECT_EQ(b.s.codice_errore, c.codice) << c.nome;
    EXPECT_EQ(b.s.posizione_errore, c.posizione) << c.nome;
    EXPECT_EQ(b.s.guasti.back().file, "train file") << c.nome;
    EXPECT_EQ(b.s.guasti.back().riga, c.riga) << c.nome;
  }
}

TEST(CaricaTreno, StationsExactly350MetresApartAreAccepted) {
  banco b;
  b.carica({"[generale]", "stazione, 10000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
            "stazione, 10750, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", "[fine]"});
  EXPECT_EQ(b.s.codice_errore, 0);
  EXPECT_EQ(b.s.tabella[2].valore1, 10550);
}

TEST(CaricaTreno, CodePointsOnFreeCells) {
  banco b;
  b.s.celle[40].tipo_cella = cella_segno_montagna;
  b.carica({"[generale]", "abbattimento, 2000, 70000", "abbattimento, 3000, 0", "[fine]"});
  EXPECT_EQ(b.s.celle[40].tipo_cella, cella_punto_codice);
  EXPECT_EQ(b.s.celle[40].valore_a, static_cast<int16_t>(70000 - 65536));
  EXPECT_EQ(b.s.celle[60].tipo_cella, cella_punto_codice_senza_valore);
  EXPECT_EQ(b.s.celle[60].valore_a, 0);
}

TEST(CaricaTreno, BeyondTheGridEndsReadingButTheEndStepsRun) {
  banco b;
  b.carica({"[generale]", "velocita, 0, 60", "velocita, 14950, 80", "numero vetture, 9", "[fine]"});
  EXPECT_EQ(b.s.codice_errore, 15);
  EXPECT_EQ(b.s.posizione_errore, 14950);
  EXPECT_EQ(b.s.tabella[posto_treno].valore3, 0);
  EXPECT_EQ(b.s.celle[297].vel_limite, 12);

  // A chainage reference off a whole cell turns the 15 into 2.
  banco c;
  c.s.tabella[posto_progressiva_due].valore1 = 6375;
  c.carica({"[generale]", "velocita, 14950, 80", "[fine]"});
  EXPECT_EQ(c.s.codice_errore, 2);
  EXPECT_EQ(c.s.guasti.back().file, "");
}

TEST(CaricaTreno, AFifteenFromTheLineFileStopsAtTheFirstSignal) {
  banco b;
  b.s.codice_errore = 15;
  b.s.posizione_errore = 126950;
  b.s.tabella[posto_progressiva_uno].valore1 = 25;  // would give 2 if the end steps ran
  b.carica({"[generale]", "numero vetture, 3", "velocita, 0, 60",
            "segnale, 4700, 1, 3, 4, 0, 0, 0, 0,0,0, 0", "numero vetture, 9", "[fine]"});
  EXPECT_EQ(b.s.codice_errore, 15);
  EXPECT_EQ(b.s.posizione_errore, 4700);
  EXPECT_EQ(b.s.guasti.back().riga, 4);
  EXPECT_EQ(b.s.celle[95].tipo_cella, cella_segnale);  // placed before the stop
  EXPECT_EQ(b.s.celle[95].valore_a, 30);
  EXPECT_EQ(b.s.tabella[posto_treno].valore3, 3);
  EXPECT_EQ(b.s.celle[10].vel_limite, 0);  // the speed fill did not run
}

TEST(CaricaTreno, ReadFailuresThrowForTheTrap) {
  static const struct {
    const char* nome;
    std::vector<std::string> righe;
  } casi[] = {
      {"kind above 255",
       {"[generale]", "stazione, 1000, 300, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "[fine]"}},
      {"clock above 32767", {"[generale]", "orologio, 40000, 0, 0", "[fine]"}},
      {"speed above 1277 km/h", {"[generale]", "velocita, 0, 1280", "[fine]"}},
      {"letters", {"[generale]", "sabbia, molta", "[fine]"}},
      {"past the end", {"[generale]", "segnale, 4700, 1, 3"}},
      {"scheduled time",
       {"[generale]", "stazione, 1000, 11, 400, 0,0,0, 0,0,0, 0,0,0, 0, 2000000,0,0, A", "[fine]"}},
  };
  for (const auto& c : casi) {
    banco b;
    EXPECT_THROW(b.carica(c.righe), guasto_lettura) << c.nome;
  }
}

}  // namespace
}  // namespace tracciato
