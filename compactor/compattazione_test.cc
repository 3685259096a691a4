#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "compactor/compattatore.h"

namespace tracciato {
namespace {

// Items on a test grid: S signal, E slowdown end, I slowdown start, A warning
// board, X an occupied cell (pre-warning), T tunnel marker, C code point 180.
uint8_t tipo_di(char c) {
  switch (c) {
    case 'S': return cella_segnale;
    case 'E': return cella_fine_rallentamento;
    case 'I': return cella_inizio_rallentamento;
    case 'A': return cella_avviso_rallentamento;
    case 'X': return cella_preavviso;
    case 'T': return cella_segno_montagna;
    case 'C': return cella_punto_codice;
    default: return cella_vuota;
  }
}

using oggetti = std::vector<std::pair<int, char>>;

// A scenario whose grid has cells 0..n-1; every slowdown start has speed v.
scenario griglia(int n, const oggetti& posti, int16_t v = 60) {
  scenario s;
  s.celle.assign(n, cella{});
  for (const auto& [i, c] : posti) {
    s.celle[i].tipo_cella = tipo_di(c);
    if (c == 'I') s.celle[i].valore_a = v;
    if (c == 'C') s.celle[i].valore_a = 180;
  }
  return s;
}

std::vector<int> punti_codice(const scenario& s) {
  std::vector<int> r;
  for (int i = 0; i < static_cast<int>(s.celle.size()); ++i)
    if (s.celle[i].tipo_cella == cella_punto_codice) r.push_back(i);
  return r;
}

TEST(CompattaCelle, PlacesCodePointsAndRecordsFaults) {
  static const struct {
    const char* nome;
    int celle;
    oggetti posti;
    int16_t velocita;
    std::vector<int> codici;  // every code point after the walk, in cell order
    int32_t errore;
    int32_t posizione;
  } casi[] = {
      // Windows before a slowdown start (speed 120: nothing inside it).
      {"start in cell 7: no window", 40, {{7, 'I'}, {10, 'E'}}, 120, {}, 0, 0},
      {"start in cell 8: window 1", 40, {{8, 'I'}, {11, 'E'}}, 120, {3}, 0, 0},
      {"start in cell 13: window 1", 40, {{13, 'I'}, {16, 'E'}}, 120, {8}, 0, 0},
      {"start in cell 14: windows 1, 2", 40, {{14, 'I'}, {17, 'E'}}, 120, {3, 9}, 0, 0},
      {"start in cell 20: windows 1, 2", 40, {{20, 'I'}, {23, 'E'}}, 120, {9, 15}, 0, 0},
      {"start in cell 21: three windows", 40, {{21, 'I'}, {24, 'E'}}, 120, {3, 10, 16}, 0, 0},
      {"c-5, c-6 taken: c-7", 50, {{24, 'X'}, {25, 'X'}, {30, 'I'}, {33, 'E'}}, 120, {12, 19, 23}, 0, 0},
      {"window full: fault 12", 50, {{23, 'X'}, {24, 'X'}, {25, 'X'}, {30, 'I'}, {33, 'E'}}, 120,
       {12, 19}, 12, 1500},
      {"a code point already there: the next candidate", 50, {{25, 'C'}, {30, 'I'}, {33, 'E'}}, 120,
       {12, 19, 24, 25}, 0, 0},
      {"a tunnel marker is free", 50, {{25, 'T'}, {30, 'I'}, {33, 'E'}}, 120, {12, 19, 25}, 0, 0},
      // Inside a slowdown.
      {"speed 110: none inside", 70, {{30, 'I'}, {50, 'E'}}, 110, {12, 19, 25}, 0, 0},
      {"20 cells at 109: c+8, c+16", 70, {{30, 'I'}, {50, 'E'}}, 109, {12, 19, 25, 38, 46}, 0, 0},
      {"due cell taken: t-1, next 7 later", 70, {{30, 'I'}, {38, 'X'}, {55, 'E'}}, 60,
       {12, 19, 25, 37, 45, 53}, 0, 0},
      {"due cell and t-1 taken: t+1", 70, {{30, 'I'}, {37, 'X'}, {38, 'X'}, {52, 'E'}}, 60,
       {12, 19, 25, 39, 47}, 0, 0},
      {"t-1, t, t+1 taken: fault 13, no more", 70, {{30, 'I'}, {37, 'X'}, {38, 'X'}, {39, 'X'}, {60, 'E'}},
       60, {12, 19, 25}, 13, 1900},
      {"no end: the scan stops at the last cell", 39, {{30, 'I'}, {37, 'X'}, {38, 'X'}}, 60, {12, 19, 25}, 13,
       1900},
      // The first signal up to 12 cells after the end.
      {"signal at e+12", 60, {{30, 'I'}, {35, 'E'}, {47, 'S'}}, 120, {12, 19, 25, 46}, 0, 0},
      {"signal at e+13: nothing", 60, {{30, 'I'}, {35, 'E'}, {48, 'S'}}, 120, {12, 19, 25}, 0, 0},
      {"only the first signal", 60, {{30, 'I'}, {35, 'E'}, {38, 'S'}, {42, 'S'}}, 120, {12, 19, 25, 37}, 0, 0},
      {"s-1 taken: s-2", 60, {{30, 'I'}, {35, 'E'}, {46, 'X'}, {47, 'S'}}, 120, {12, 19, 25, 45}, 0, 0},
      {"s-1, s-2 taken: fault 13 at the end", 60, {{30, 'I'}, {35, 'E'}, {45, 'X'}, {46, 'X'}, {47, 'S'}},
       120, {12, 19, 25}, 13, 1750},
      {"signal past the last cell is none", 40, {{24, 'I'}, {36, 'E'}}, 120, {6, 13, 19}, 0, 0},
      // Signals before a warning board.
      {"every signal in the 20 cells", 60, {{19, 'S'}, {20, 'S'}, {30, 'S'}, {40, 'A'}}, 60, {18, 29}, 0, 0},
      {"k-1 taken: k-2", 60, {{29, 'X'}, {30, 'S'}, {40, 'A'}}, 60, {28}, 0, 0},
      {"k-1, k-2 taken: fault 11", 60, {{28, 'X'}, {29, 'X'}, {30, 'S'}, {40, 'A'}}, 60, {}, 11, 1500},
      {"overlapping look-backs", 60, {{30, 'S'}, {40, 'A'}, {45, 'A'}}, 60, {28, 29}, 0, 0},
      {"look-back ends before cell 3", 30, {{2, 'S'}, {10, 'A'}}, 60, {}, 0, 0},
      {"signal in cell 3", 30, {{3, 'S'}, {10, 'A'}}, 60, {2}, 0, 0},
      {"last fault wins", 60, {{28, 'X'}, {29, 'X'}, {30, 'S'}, {40, 'A'}, {41, 'X'}, {42, 'X'}, {43, 'X'},
       {48, 'I'}, {50, 'E'}}, 120, {37}, 12, 2400},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    scenario s = griglia(c.celle, c.posti, c.velocita);
    compatta_celle(s);
    EXPECT_EQ(punti_codice(s), c.codici);
    EXPECT_EQ(s.codice_errore, c.errore);
    EXPECT_EQ(s.posizione_errore, c.posizione);
    for (int i : c.codici) EXPECT_EQ(s.celle[i].valore_a, 180) << "cell " << i;
  }
}

TEST(CompattaCelle, LookBackLowersAnExistingCodePointToAtMost180) {
  static const struct {
    int dove;      // the code point before the signal in cell 30
    int16_t prima;
    int16_t dopo;
  } casi[] = {{29, 250, 180}, {29, 150, 150}, {28, 250, 180}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.dove);
    scenario s = griglia(60, {{28, 'X'}, {29, 'X'}, {30, 'S'}, {40, 'A'}});
    s.celle[c.dove].tipo_cella = cella_punto_codice;
    s.celle[c.dove].valore_a = c.prima;
    compatta_celle(s);
    EXPECT_EQ(s.celle[c.dove].valore_a, c.dopo);
    EXPECT_EQ(s.codice_errore, 0);
    EXPECT_EQ(punti_codice(s), std::vector<int>{c.dove});
  }
}

TEST(CompattaCelle, ACodePointChangesOnlyTypeAndFirstValue) {
  scenario s = griglia(60, {{30, 'S'}, {40, 'A'}});
  s.celle[29] = {cella_segno_montagna, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  compatta_celle(s);
  const cella& c = s.celle[29];
  EXPECT_EQ(c.tipo_cella, cella_punto_codice);
  EXPECT_EQ(c.valore_a, 180);
  EXPECT_EQ(c.valore_b, 8);
  EXPECT_EQ(c.aderenza_cella, 16);
  EXPECT_EQ(c.tipo_montagna, 13);
}

}  // namespace
}  // namespace tracciato
