#include "model/planimetria.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tracciato {
namespace {

// The straight step as written, one row at a time: what every row of a
// straight stretch must be, bit for bit.
std::vector<uint64_t> passi_come_scritti(double x2, double y2, double x1, double y1, int32_t m) {
  std::vector<uint64_t> r;
  for (int32_t i = 0; i < m; ++i) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    const double x = x1 + dx;
    const double y = y1 + dy;
    r.push_back(std::bit_cast<uint64_t>(x));
    r.push_back(std::bit_cast<uint64_t>(y));
    x2 = x1, y2 = y1, x1 = x, y1 = y;
  }
  return r;
}

std::vector<uint64_t> passi_retti(double x2, double y2, double x1, double y1, int32_t m) {
  std::vector<uint64_t> r;
  auto riga = [&](double x, double y) {
    r.push_back(std::bit_cast<uint64_t>(x));
    r.push_back(std::bit_cast<uint64_t>(y));
  };
  dettaglio_planimetria::passi_retti(m, x2, y2, x1, y1, riga);
  return r;
}

// Rows of a straight run are computed side by side where they are proven to
// be the rows of the step as written; these starts are the ones where a
// proof could go wrong: signed zeros, steps that round at once, last places
// that grow as a coordinate crosses a power of two, values at the edges of
// the doubles, and values that are not numbers.
TEST(PassiRetti, EveryRowIsTheStepAsWritten) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double minimo = std::numeric_limits<double>::denorm_min();
  const double massimo = std::numeric_limits<double>::max();
  struct caso {
    double x2, x1;
  } casi[] = {
      {0.0, 0.0},        {-0.0, -0.0},     {0.0, -0.0},        {-0.0, 0.0},
      {0.0, 1.0},        {1.0, 0.0},       {-3.0, 5.0},        {0.1, 0.7},
      {1023.9, 1024.1},  {4095.5, 4096.3}, {-2.5, 2.5},        {1e6, 1e6 + 0.3},
      {9007199254740990.0, 9007199254740991.0},  // steps reach 2^53
      {-9007199254740991.0, -9007199254740990.0},
      {0.0, minimo},     {minimo, 0.0},    {massimo * 0.5, massimo * 0.75},
      {1.0, inf},        {nan, 1.0},       {-inf, inf},
      {1e-300, 3e-300},  {5.0, 5.0 + 5.4569682106375694e-12},
  };
  for (const caso& a : casi)
    for (const caso& b : casi)
      for (int32_t m : {1, 2, 3, 700}) {
        SCOPED_TRACE(testing::Message() << a.x2 << ", " << a.x1 << " / " << b.x2 << ", " << b.x1 << ", m " << m);
        ASSERT_EQ(passi_retti(a.x2, b.x2, a.x1, b.x1, m), passi_come_scritti(a.x2, b.x2, a.x1, b.x1, m));
      }
}

TEST(PassiRetti, RandomStartsAndStepsAgreeBitForBit) {
  std::mt19937_64 g(20261211);
  std::uniform_real_distribution<double> posizione(-2e6, 2e6), angolo(0.0, 6.283185307179586);
  std::uniform_int_distribution<int> scala(-60, 30);
  for (int i = 0; i < 3000; ++i) {
    const double x1 = i % 5 == 0 ? std::ldexp(posizione(g), scala(g)) : posizione(g);
    const double y1 = posizione(g);
    const double a = angolo(g);
    const double passo = i % 7 == 0 ? std::ldexp(1.0, scala(g)) : 1.0;
    const double x2 = x1 - passo * std::sin(a), y2 = y1 - passo * std::cos(a);
    const int32_t m = 1 + static_cast<int32_t>(g() % 5000);
    ASSERT_EQ(passi_retti(x2, y2, x1, y1, m), passi_come_scritti(x2, y2, x1, y1, m)) << "case " << i;
  }
}

// Through percorri_righe: however the receiver cuts the rows into runs,
// every row of a plan with straights and curves is the one written.
TEST(PercorriRighe, RowsDoNotDependOnHowTheReceiverTakesThem) {
  disegno_planimetria d;
  d.alloca_righe(60000);
  d.imposta_origine();
  std::mt19937 g(7);
  const double curvature[] = {0.0, 0.002, 0.0, -0.0007, 0.0, 1e-9, 0.0, -0.03};
  int32_t ultima = 1;
  for (int i = 0; ultima < 59000; ++i) {
    ultima = std::min<int32_t>(59000, ultima + 1 + static_cast<int32_t>(g() % 3000));
    d.aggiungi_tratto(ultima, curvature[i % 8]);
  }
  auto righe = [&](auto spazio) {
    std::vector<uint64_t> r;
    percorri_righe(d, spazio, [&](double x, double y) {
      r.push_back(std::bit_cast<uint64_t>(x));
      r.push_back(std::bit_cast<uint64_t>(y));
    });
    return r;
  };
  // The reference: one row per run, each straight row as written.
  std::vector<uint64_t> come_scritte;
  double x2 = 0.0, y2 = 0.0, x1 = 0.0, y1 = 1.0;
  int32_t r = 2;
  for (const tratto_planimetria& t : d.tratti())
    for (; r <= t.ultima; ++r) {
      const double dx = x1 - x2, dy = y1 - y2;
      const double x = t.k == 0.0 ? x1 + dx : (x1 + dx) + t.k * dy;
      const double y = t.k == 0.0 ? y1 + dy : (y1 + dy) - t.k * dx;
      come_scritte.push_back(std::bit_cast<uint64_t>(x));
      come_scritte.push_back(std::bit_cast<uint64_t>(y));
      x2 = x1, y2 = y1, x1 = x, y1 = y;
    }
  EXPECT_EQ(righe([] { return std::numeric_limits<int32_t>::max(); }), come_scritte);
  EXPECT_EQ(righe([] { return 1; }), come_scritte);
  EXPECT_EQ(righe([&] { return 1 + static_cast<int32_t>(g() % 97); }), come_scritte);

  // riempi_righe puts the same rows, in windows taken in any order; a row
  // put twice, or never, or outside its window shows as a difference.
  auto a_finestre = [&](auto finestra) {
    std::vector<uint64_t> r;
    std::vector<uint64_t> f;
    std::vector<bool> messa;
    riempi_righe(
        d,
        [&] {
          const int32_t n = finestra();
          f.assign(2 * static_cast<std::size_t>(n), 0);
          messa.assign(static_cast<std::size_t>(n), false);
          return n;
        },
        [&](int32_t i, double x, double y) {
          ASSERT_GE(i, 0);
          ASSERT_LT(static_cast<std::size_t>(i), messa.size());
          ASSERT_FALSE(messa[i]) << "row " << i << " put twice";
          messa[i] = true;
          f[2 * i] = std::bit_cast<uint64_t>(x);
          f[2 * i + 1] = std::bit_cast<uint64_t>(y);
        },
        [&](int32_t n) {
          for (int32_t i = 0; i < n; ++i) EXPECT_TRUE(messa[i]) << "row " << i << " not put";
          r.insert(r.end(), f.begin(), f.begin() + 2 * n);
        });
    return r;
  };
  EXPECT_EQ(a_finestre([] { return 1 << 20; }), come_scritte);
  EXPECT_EQ(a_finestre([] { return 1; }), come_scritte);
  EXPECT_EQ(a_finestre([] { return 6553; }), come_scritte);
  EXPECT_EQ(a_finestre([&] { return 1 + static_cast<int32_t>(g() % 97); }), come_scritte);
}

}  // namespace
}  // namespace tracciato
