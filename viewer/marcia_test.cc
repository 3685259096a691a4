// The fastest run: its running times against the closed form, its speeds
// against the limits in force, its stops, and the stretches no run can keep.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/marcia.h"

namespace tracciato {
namespace {

// 15 km at 100 km/h; a 40 km/h slowdown over cells 60 to 70 (3000 to 3500 m);
// stations at 1000 m (06:00:00, stop), 5000 m (06:01:00, stop: 4 km in a
// minute, too fast), 8000 m (no time), 12000 m (06:10:00, stop).
scenario prova() {
  scenario s;
  s.celle.resize(300);
  for (cella& c : s.celle) c.vel_limite = 20;
  s.celle[60] = {.tipo_cella = cella_inizio_rallentamento, .valore_a = 40};
  s.celle[70] = {.tipo_cella = cella_fine_rallentamento, .valore_a = 40};
  for (int i : {60, 70}) s.celle[static_cast<std::size_t>(i)].vel_limite = 20;
  const auto stazione = [&](int k, int32_t p, int32_t ora, uint8_t ferma, const char* nome) {
    s.tabella[static_cast<std::size_t>(k)] = {.tipo_record = 12, .valore1 = p - 200, .valore2 = p + 200, .valore3 = p,
                                              .testo = nome, .byte2 = ferma, .valore4 = ora};
  };
  stazione(1, 1000, 6 * 3600, 50, "A");
  stazione(2, 5000, 6 * 3600 + 60, 50, "B");
  stazione(3, 8000, 0, 0, "C");
  stazione(4, 12000, 6 * 3600 + 600, 50, "D");
  return s;
}

TEST(Marcia, LeastTimesMatchTheClosedForm) {
  const double v = 100 / 3.6;
  const std::vector<double> piano(20000, v);
  struct caso {
    int64_t a, b;
    bool da_fermo, a_fermo;
    double acc, fren, atteso;
  };
  // Rest to rest: accelerate and brake over v²/2a each, cruise between;
  // too short to reach v: a triangle of speed, 2·sqrt(d/a) at equal rates.
  const caso casi[] = {
      {0, 5000, true, true, 0.5, 0.5, 2 * v / 0.5 + (5000 - v * v / 0.5) / v},
      {0, 5000, true, false, 0.5, 0.5, v / 0.5 + (5000 - v * v / 1.0) / v},
      {0, 5000, false, false, 0.5, 0.5, 5000 / v},
      {100, 600, true, true, 0.5, 0.5, 2 * std::sqrt(500 / 0.5)},
      {0, 5000, true, true, 1.0, 0.25, v / 1.0 + v / 0.25 + (5000 - v * v / 2.0 - v * v / 0.5) / v},
  };
  for (const caso& c : casi)
    EXPECT_NEAR(tempo_minimo_tratto(piano, c.a, c.b, c.da_fermo, c.a_fermo, c.acc, c.fren), c.atteso, 0.02 * c.atteso)
        << c.a << " to " << c.b;
}

TEST(Marcia, RunKeepsEveryLimitStopsAndDwells) {
  const scenario s = prova();
  const opzioni_marcia o{0.5, 0.5, 40};
  const marcia m = marcia_piu_veloce(s, o, 50);
  ASSERT_FALSE(m.punti.empty());
  EXPECT_EQ(m.punti.front().posizione, 1000);
  EXPECT_EQ(m.punti.front().secondi, 6 * 3600);
  EXPECT_EQ(m.punti.back().posizione, 12000);
  EXPECT_EQ(m.punti.back().velocita, 0);
  int soste = 0;
  for (std::size_t i = 0; i < m.punti.size(); ++i) {
    const punto_marcia& p = m.punti[i];
    const double limite = p.posizione >= 3000 && p.posizione < 3500 ? 40 : 100;
    EXPECT_LE(p.velocita, limite + 1e-6) << p.posizione;
    if (i > 0) {
      EXPECT_GE(p.posizione, m.punti[i - 1].posizione);
      EXPECT_GT(p.secondi, m.punti[i - 1].secondi);
    }
    if (i > 0 && p.posizione == m.punti[i - 1].posizione) {
      // Standing at B: arrival at rest, then the dwell.
      ++soste;
      EXPECT_EQ(p.posizione, 5000);
      EXPECT_EQ(m.punti[i - 1].velocita, 0);
      EXPECT_NEAR(p.secondi - m.punti[i - 1].secondi, 40, 1e-9);
    }
    // C has no stop: the run passes it at speed.
    if (p.posizione == 8000) {
      EXPECT_GT(p.velocita, 90);
    }
  }
  EXPECT_EQ(soste, 1);

  // A to B asks for 4 km in a minute; B to D leaves 9 minutes for 7 km.
  ASSERT_EQ(m.tratti.size(), 2u);
  EXPECT_EQ(m.tratti[0].nome_da, "A");
  EXPECT_EQ(m.tratti[0].nome_a, "B");
  EXPECT_TRUE(m.tratti[0].impossibile());
  EXPECT_GT(m.tratti[0].minimo, 180);
  EXPECT_FALSE(m.tratti[1].impossibile());
  // The run reaches B no sooner than the least time allows.
  for (std::size_t i = 1; i < m.punti.size(); ++i)
    if (m.punti[i].posizione == 5000) {
      EXPECT_NEAR(m.punti[i].secondi - 6 * 3600, m.tratti[0].minimo, 1e-6);
      break;
    }
}

TEST(Marcia, NoRunWithoutTwoTimedStations) {
  scenario s = prova();
  s.tabella[2].valore4 = s.tabella[4].valore4 = 0;
  const marcia m = marcia_piu_veloce(s, {});
  EXPECT_TRUE(m.punti.empty());
  EXPECT_TRUE(m.tratti.empty());
}

}  // namespace
}  // namespace tracciato
