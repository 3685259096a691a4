#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

#include "loader/posa.h"
#include "model/errori.h"

namespace tracciato {
namespace {

// A scenario with a grid of cells 0..n and nothing placed.
scenario con_griglia(int32_t n) {
  scenario s;
  s.celle.assign(n + 1, {});
  return s;
}

// --- memo_montagna -----------------------------------------------------------

TEST(MemoMontagna, MarksKindOnEveryCellAndMarkersOnEveryFourthFreeCell) {
  scenario s = con_griglia(60);
  s.celle[20].tipo_cella = cella_segnale;  // an occupied cell takes the kind but no marker
  int32_t tipo = 12;
  memo_montagna(s, 450, 2200, tipo);
  EXPECT_EQ(tipo, 2);
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.numero_montagne, 1);
  EXPECT_EQ(s.inizio_montagne[1], 450);
  EXPECT_EQ(s.fine_montagne[1], 2200);
  for (int i = 0; i <= 60; ++i) {
    const bool dentro = i >= 9 && i <= 43;
    EXPECT_EQ(s.celle[i].tipo_montagna, dentro ? 2 : 0) << i;
    const bool segno = dentro && (i - 9 + 1) % 4 == 0 && i != 20;
    EXPECT_EQ(s.celle[i].tipo_cella, i == 20 ? cella_segnale
                                     : segno ? cella_segno_montagna
                                             : 0)
        << i;
  }
  EXPECT_EQ(s.celle[12].tipo_cella, cella_segno_montagna);
  EXPECT_EQ(s.celle[40].tipo_cella, cella_segno_montagna);
}

TEST(MemoMontagna, ASpanCloseAfterThePreviousOneBecomesKindThree) {
  static const struct {
    int32_t distacco;  // start of the second span minus end of the first
    int32_t tipo;
    int32_t tipo_dopo;
    bool segni;
  } casi[] = {
      {150, 1, 3, false}, {150, 12, 3, true}, {-300, 2, 3, false},
      {151, 2, 2, false}, {151, 11, 1, true},
  };
  for (const auto& c : casi) {
    scenario s = con_griglia(200);
    int32_t primo = 1;
    memo_montagna(s, 0, 1000, primo);
    int32_t tipo = c.tipo;
    const int32_t inizio = 1000 + c.distacco;
    memo_montagna(s, inizio, inizio + 1000, tipo);
    EXPECT_EQ(tipo, c.tipo_dopo) << c.distacco << " " << c.tipo;
    const int32_t prima = static_cast<int32_t>(inizio / 50);
    EXPECT_EQ(s.celle[prima].tipo_montagna, c.tipo_dopo) << c.distacco << " " << c.tipo;
    EXPECT_EQ(s.celle[prima + 3].tipo_cella, c.segni ? cella_segno_montagna : 0)
        << c.distacco << " " << c.tipo;
  }
}

TEST(MemoMontagna, ASpanShorterThanACellIsStoredButMarksNothing) {
  scenario s = con_griglia(60);
  const std::vector<cella> prima = s.celle;
  int32_t tipo = 11;
  memo_montagna(s, 1000, 1020, tipo);
  EXPECT_EQ(s.numero_montagne, 1);
  EXPECT_EQ(s.inizio_montagne[1], 1000);
  EXPECT_EQ(s.fine_montagne[1], 1020);
  EXPECT_EQ(s.celle, prima);
}

TEST(MemoMontagna, TheEightyFirstSpanIsRefusedAndStoresNothing) {
  scenario s = con_griglia(40000);
  for (int32_t n = 0; n < massimo_montagne; ++n) {
    int32_t tipo = 1;
    memo_montagna(s, n * 1000, n * 1000 + 500, tipo);
  }
  ASSERT_EQ(s.codice_errore, 0);
  ASSERT_EQ(s.numero_montagne, 80);
  const std::vector<cella> prima = s.celle;
  const auto inizi = s.inizio_montagne;
  int32_t tipo = 12;
  memo_montagna(s, 90000, 95000, tipo);
  EXPECT_EQ(s.codice_errore, 27);
  EXPECT_EQ(s.numero_montagne, 80);
  EXPECT_EQ(s.inizio_montagne, inizi);
  EXPECT_EQ(s.celle, prima);
}

TEST(MemoMontagna, ASpanReachingPastTheGridIsClippedWithMarkersInPlace) {
  // Cells -4..5 of the span; only 0..4 exist. Counted from cell -4, the
  // fourth cell (-1) is gone and the eighth (3) takes a marker.
  scenario s = con_griglia(4);
  int32_t tipo = 11;
  memo_montagna(s, -200, 300, tipo);
  EXPECT_EQ(s.codice_errore, 0);
  for (int i = 0; i <= 4; ++i) {
    EXPECT_EQ(s.celle[i].tipo_montagna, 1) << i;
    EXPECT_EQ(s.celle[i].tipo_cella, i == 3 ? cella_segno_montagna : 0) << i;
  }

  scenario vuoto;  // no grid allocated
  tipo = 1;
  memo_montagna(vuoto, 0, 1000, tipo);
  EXPECT_EQ(vuoto.numero_montagne, 1);
  EXPECT_TRUE(vuoto.celle.empty());
}

// --- memo_rallentamento --------------------------------------------------------

TEST(MemoRallentamento, PlacesWarningStartEndAndFourPreWarningCells) {
  scenario s = con_griglia(100);
  memo_rallentamento(s, 1550, 30, 500, 7, 1, 9);
  EXPECT_EQ(s.codice_errore, 0);
  const cella& w = s.celle[8];
  EXPECT_EQ(w.tipo_cella, cella_avviso_rallentamento);
  EXPECT_EQ(w.valore_a, 30);
  EXPECT_EQ(w.valore_b, 9);
  EXPECT_EQ(w.valore_c, 0);
  for (int i : {32, 42}) {
    EXPECT_EQ(s.celle[i].tipo_cella,
              i == 32 ? cella_inizio_rallentamento : cella_fine_rallentamento);
    EXPECT_EQ(s.celle[i].valore_a, 30);
    EXPECT_EQ(s.celle[i].valore_b, 9);
    EXPECT_EQ(s.celle[i].valore_c, 7);
  }
  for (int i = 0; i < 4; ++i) {
    const cella& p = s.celle[7 - i];
    EXPECT_EQ(p.tipo_cella, cella_preavviso) << i;
    EXPECT_EQ(p.valore_a, i + 1);
    EXPECT_EQ(p.valore_b, i + 1);
  }
  EXPECT_EQ(s.celle[3].tipo_cella, 0);
  EXPECT_EQ(s.celle[9].tipo_cella, 0);
}

TEST(MemoRallentamento, NearTheStartThereIsNoWarningAndSpeedDifferenceZeroKeepsValoreB) {
  scenario s = con_griglia(100);
  s.celle[31].valore_b = 5;  // a free cell's earlier value stays when d_v is 0
  memo_rallentamento(s, 1500, 30, 1000, 7, 1, 0);
  EXPECT_EQ(s.codice_errore, 0);
  for (int i = 0; i <= 100; ++i) {
    const uint8_t atteso = i == 31   ? cella_inizio_rallentamento
                           : i == 51 ? cella_fine_rallentamento
                                     : 0;
    EXPECT_EQ(s.celle[i].tipo_cella, atteso) << i;
  }
  EXPECT_EQ(s.celle[31].valore_b, 5);
  EXPECT_EQ(s.celle[51].valore_b, 0);
}

TEST(MemoRallentamento, StartAndEndInOneCellLeaveTheStart) {
  scenario s = con_griglia(100);
  memo_rallentamento(s, 1000, 30, 20, 0, 0, 0);
  EXPECT_EQ(s.celle[21].tipo_cella, cella_inizio_rallentamento);
  EXPECT_EQ(s.celle[22].tipo_cella, 0);
}

TEST(MemoRallentamento, RefusesOccupiedOrOutOfGridCellsWithTheGridUnchanged) {
  // Slowdown at 2000 m, 500 m long: warning 17, start 41, end 51, pre-warning 16..13.
  static const struct {
    const char* nome;
    int cella;  // cell occupied beforehand, -1 = none
    int32_t x, l;
    int32_t errore;
  } casi[] = {
      {"warning occupied", 17, 2000, 500, 17},     {"start occupied", 41, 2000, 500, 18},
      {"end occupied", 51, 2000, 500, 19},         {"negative length", -1, 2000, -50, 26},
      {"end beyond the grid", -1, 2000, 3000, 26}, {"start before cell 0", -1, -100, 50, 26},
      {"start beyond the grid", -1, 5000, 0, 26},
  };
  for (const auto& c : casi) {
    scenario s = con_griglia(60);
    if (c.cella >= 0) s.celle[c.cella].tipo_cella = cella_segnale;
    const std::vector<cella> prima = s.celle;
    memo_rallentamento(s, c.x, 30, c.l, 7, 1, 9);
    EXPECT_EQ(s.codice_errore, c.errore) << c.nome;
    EXPECT_EQ(s.celle, prima) << c.nome;
  }

  scenario vuoto;
  memo_rallentamento(vuoto, 2000, 30, 500, 7, 1, 9);
  EXPECT_EQ(vuoto.codice_errore, 26);
  EXPECT_TRUE(vuoto.celle.empty());
}

TEST(MemoRallentamento, ATunnelMarkerCountsAsFree) {
  scenario s = con_griglia(60);
  s.celle[41].tipo_cella = cella_segno_montagna;
  memo_rallentamento(s, 2000, 30, 500, 7, 0, 0);
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.celle[41].tipo_cella, cella_inizio_rallentamento);
}

TEST(MemoRallentamento, AnOccupiedPreWarningCellKeepsWhatWasAlreadyWritten) {
  scenario s = con_griglia(60);
  s.celle[14].tipo_cella = cella_stazione;
  memo_rallentamento(s, 2000, 30, 500, 7, 1, 9);
  EXPECT_EQ(s.codice_errore, 20);
  EXPECT_EQ(s.celle[17].tipo_cella, cella_avviso_rallentamento);
  EXPECT_EQ(s.celle[41].tipo_cella, cella_inizio_rallentamento);
  EXPECT_EQ(s.celle[51].tipo_cella, cella_fine_rallentamento);
  for (int i : {16, 15, 13}) EXPECT_EQ(s.celle[i].tipo_cella, 0) << i;
  EXPECT_EQ(s.celle[14].tipo_cella, cella_stazione);
}

// --- memo_segnale --------------------------------------------------------------

TEST(MemoSegnale, PlacesTheSignalAndItsFourApproachMarks) {
  scenario s = con_griglia(200);
  int32_t tempo = 0;
  memo_segnale(s, 4700, 1, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
  EXPECT_EQ(s.codice_errore, 0);
  const cella& c = s.celle[95];
  EXPECT_EQ(c.tipo_cella, cella_segnale);
  EXPECT_EQ(c.valore_a, 30);
  EXPECT_EQ(c.valore_b, 40);
  EXPECT_EQ(c.valore_c, 0);
  EXPECT_EQ(c.valore_d, 3);
  const int segnate[] = {93, 91, 89, 87};
  for (int j = 0; j < 4; ++j) EXPECT_EQ(s.celle[segnate[j]].segno_approccio, 31 + j);
  for (int i : {94, 92, 90, 88, 86, 85}) EXPECT_EQ(s.celle[i].segno_approccio, 0) << i;

  scenario d = con_griglia(200);
  memo_segnale(d, 4700, 2, 1, 2, 3, 4, 1, 5, 6, 7, tempo);
  EXPECT_EQ(d.celle[95].valore_a, 15);
  EXPECT_EQ(d.celle[95].valore_b, 26);
  EXPECT_EQ(d.celle[95].valore_c, 37);
  EXPECT_EQ(d.celle[95].valore_d, 47);
  EXPECT_EQ(d.celle[93].segno_approccio, 71);
  EXPECT_EQ(d.celle[87].segno_approccio, 74);
}

TEST(MemoSegnale, TimingValueIsRaisedAndStoredOnlyForSideTwo) {
  static const struct {
    int32_t sx, tempo, tempo_dopo;
    uint8_t tempo_segnale;
  } casi[] = {
      {2, 50, 101, 101},  {2, 1, 101, 101}, {2, 100, 101, 101}, {2, 0, 0, 0},    {2, 255, 255, 255},
      {2, 101, 101, 101}, {2, -5, -5, 251}, {2, 300, 300, 44},  {1, 50, 101, 0}, {1, 255, 255, 0},
  };
  for (const auto& c : casi) {
    scenario s = con_griglia(200);
    int32_t tempo = c.tempo;
    memo_segnale(s, 4700, c.sx, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
    EXPECT_EQ(tempo, c.tempo_dopo) << c.sx << " " << c.tempo;
    EXPECT_EQ(s.celle[95].tempo_segnale, c.tempo_segnale) << c.sx << " " << c.tempo;
  }
}

TEST(MemoSegnale, ASecondSignalMarksTheFirstOnlyInItsApproachMark) {
  scenario s = con_griglia(200);
  int32_t tempo = 0;
  memo_segnale(s, 4700, 1, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
  memo_segnale(s, 4800, 2, 1, 1, 1, 0, 0, 0, 0, 0, tempo);
  EXPECT_EQ(s.codice_errore, 0);
  const cella& primo = s.celle[95];
  EXPECT_EQ(primo.tipo_cella, cella_segnale);
  EXPECT_EQ(primo.valore_a, 30);
  EXPECT_EQ(primo.valore_b, 40);
  EXPECT_EQ(primo.valore_d, 3);
  EXPECT_EQ(primo.segno_approccio, 61);
  EXPECT_EQ(s.celle[93].segno_approccio, 62);
}

TEST(MemoSegnale, RefusesAnOccupiedCellButTakesATunnelMarker) {
  scenario s = con_griglia(200);
  s.celle[95].tipo_cella = cella_inizio_rallentamento;
  const std::vector<cella> prima = s.celle;
  int32_t tempo = 50;
  memo_segnale(s, 4700, 2, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
  EXPECT_EQ(s.codice_errore, 16);
  EXPECT_EQ(s.celle, prima);

  scenario m = con_griglia(200);
  m.celle[95].tipo_cella = cella_segno_montagna;
  memo_segnale(m, 4700, 2, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.celle[95].tipo_cella, cella_segnale);
}

TEST(MemoSegnale, NearTheStartOnlyTheMarksBeforeCellZeroAreDropped) {
  static const struct {
    int32_t posizione;
    int cella;
    std::vector<int> segnate;  // cells with marks 31, 32, ... in order
  } casi[] = {
      {350, 8, {6, 4, 2, 0}},
      {300, 7, {5, 3, 1}},
      {0, 1, {}},
  };
  for (const auto& c : casi) {
    scenario s = con_griglia(200);
    int32_t tempo = 0;
    memo_segnale(s, c.posizione, 1, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
    EXPECT_EQ(s.codice_errore, 0) << c.posizione;
    EXPECT_EQ(s.celle[c.cella].tipo_cella, cella_segnale) << c.posizione;
    for (size_t j = 0; j < c.segnate.size(); ++j) {
      EXPECT_EQ(s.celle[c.segnate[j]].segno_approccio, 31 + j) << c.posizione;
    }
  }
}

TEST(MemoSegnale, ASignalCellOutsideTheGridIsRefused) {
  for (int32_t posizione : {-100, 10000, 100000}) {
    scenario s = con_griglia(200);  // cell 200 is the last; 10000 m gives cell 201
    const std::vector<cella> prima = s.celle;
    int32_t tempo = 0;
    memo_segnale(s, posizione, 1, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
    EXPECT_EQ(s.codice_errore, 26) << posizione;
    EXPECT_EQ(s.celle, prima) << posizione;
  }
  scenario vuoto;
  int32_t tempo = 0;
  memo_segnale(vuoto, 4700, 1, 3, 4, 0, 0, 0, 0, 0, 0, tempo);
  EXPECT_EQ(vuoto.codice_errore, 26);
}

// --- memo_indicatori_v_max -----------------------------------------------------

TEST(MemoIndicatoriVMax, PacksLeftAndRightSpeedsIntoTheBoardCell) {
  static const struct {
    int32_t vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
    int16_t a, b, c, d;
  } casi[] = {
      {95, 100, 100, 0, 0, 0, 0, 0, 1900, 2000, 2000, 0},
      {80, 60, 0, 2, 13, 12, 100, 1, 1603, 1202, 20, 21},
      {1638, -1638, 0, 0, 35, -35, 0, 0, 32767, -32767, 0, 0},
  };
  for (const auto& c : casi) {
    scenario s = con_griglia(200);
    memo_indicatori_v_max(s, 7100, c.vas, c.vbs, c.vcs, c.strisces, c.vad, c.vbd, c.vcd, c.strisced);
    EXPECT_EQ(s.codice_errore, 0);
    const cella& k = s.celle[143];
    EXPECT_EQ(k.tipo_cella, cella_indicatore_v_max) << c.vas;
    EXPECT_EQ(k.valore_a, c.a) << c.vas;
    EXPECT_EQ(k.valore_b, c.b) << c.vas;
    EXPECT_EQ(k.valore_c, c.c) << c.vas;
    EXPECT_EQ(k.valore_d, c.d) << c.vas;
  }
}

TEST(MemoIndicatoriVMax, RefusesAnOccupiedCellOrOneOutsideTheGrid) {
  static const struct {
    int32_t posizione;
    uint8_t occupante;  // tipo_cella of cell 143 beforehand
    int32_t errore;
  } casi[] = {
      {7100, cella_cartello, 21},
      {7100, cella_segno_montagna, 0},
      {-100, 0, 26},
      {10000, 0, 26},
  };
  for (const auto& c : casi) {
    scenario s = con_griglia(200);
    s.celle[143].tipo_cella = c.occupante;
    const std::vector<cella> prima = s.celle;
    memo_indicatori_v_max(s, c.posizione, 95, 100, 100, 0, 0, 0, 0, 0);
    EXPECT_EQ(s.codice_errore, c.errore) << c.posizione;
    if (c.errore != 0) {
      EXPECT_EQ(s.celle, prima) << c.posizione;
    }
  }
  scenario vuoto;
  memo_indicatori_v_max(vuoto, 7100, 95, 100, 100, 0, 0, 0, 0, 0);
  EXPECT_EQ(vuoto.codice_errore, 26);
}

TEST(MemoIndicatoriVMax, AValueBeyondSixteenBitsFailsTheLoadWithTheCellUnwritten) {
  static const struct {
    int32_t vas, vcs;
    const char* messaggio;
  } casi[] = {
      {95, 2000, "speed board value 40000 does not fit 16 bits"},
      {-1700, 0, "speed board value -34000 does not fit 16 bits"},
  };
  for (const auto& c : casi) {
    scenario s = con_griglia(200);
    const std::vector<cella> prima = s.celle;
    try {
      memo_indicatori_v_max(s, 7100, c.vas, 100, c.vcs, 0, 0, 0, 0, 0);
      ADD_FAILURE() << c.messaggio;
    } catch (const std::range_error& e) {
      EXPECT_STREQ(e.what(), c.messaggio);
    }
    EXPECT_EQ(s.celle, prima) << c.messaggio;
  }
}

}  // namespace
}  // namespace tracciato
