#include <gtest/gtest.h>

#include <array>

#include "loader/posa.h"

namespace tracciato {
namespace {

// (valore1, valore2, valore3) of slots 81, 82 and 83.
using terna = std::array<int32_t, 3>;
using riferimenti = std::array<terna, 3>;

TEST(ProgressiveOrdina, OrdersTheChainageReferences) {
  static const struct {
    const char* nome;
    riferimenti prima;
    riferimenti dopo;
  } casi[] = {
      {"built-in line: the flagged reference gains 100 m",
       {{{0, 0, 0}, {6350, 119450, 0}, {0, 132100, 1}}},
       {{{6350, 119450, 0}, {0, 132200, 1}, {0, 0, 0}}}},
      {"one greatest start, the higher slot second on a tie",
       {{{0, 10, 0}, {6350, 20, 0}, {0, 30, 0}}},
       {{{6350, 20, 0}, {0, 30, 0}, {0, 10, 0}}}},
      {"three different starts, greatest first",
       {{{100, 10, 0}, {300, 20, 0}, {200, 30, 1}}},
       {{{300, 20, 0}, {200, 130, 1}, {100, 10, 0}}}},
      {"greatest start already in slot 81",
       {{{900, 10, 1}, {0, 20, 0}, {500, 30, 0}}},
       {{{900, 110, 1}, {500, 30, 0}, {0, 20, 0}}}},
      {"a shared greatest start clears all three",
       {{{500, 10, 1}, {500, 20, 1}, {0, 30, 1}}},
       {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"three equal starts clear all three",
       {{{500, 10, 0}, {500, 20, 0}, {500, 30, 0}}},
       {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"starts summing to 0 are ordered by value: slot 83 has one",
       {{{0, 10, 0}, {0, 20, 1}, {0, 30, 0}}},
       {{{0, 30, 0}, {0, 120, 1}, {0, 10, 0}}}},
      {"starts summing to 0, only slot 82 has a value",
       {{{-5, 10, 1}, {5, 20, 0}, {0, -30, 0}}},
       {{{5, 20, 0}, {-5, 110, 1}, {0, -30, 0}}}},
      {"starts summing to 0, only slot 81 has a value",
       {{{0, 10, 1}, {0, 0, 0}, {0, 0, 0}}},
       {{{0, 110, 1}, {0, 0, 0}, {0, 0, 0}}}},
      {"no start and no positive value clears all three",
       {{{0, 0, 1}, {0, -20, 1}, {0, 0, 0}}},
       {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"large starts do not wrap round to a zero sum",
       {{{2147483647, 10, 0}, {2147483647, 20, 0}, {2, 30, 0}}},
       {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
  };
  for (const auto& c : casi) {
    scenario s;
    for (int i = 0; i < 3; ++i) {
      voce_tabella& v = s.tabella[posto_progressiva_tre + i];
      v.valore1 = c.prima[i][0];
      v.valore2 = c.prima[i][1];
      v.valore3 = c.prima[i][2];
    }
    progressive_ordina(s);
    for (int i = 0; i < 3; ++i) {
      const voce_tabella& v = s.tabella[posto_progressiva_tre + i];
      EXPECT_EQ((terna{v.valore1, v.valore2, v.valore3}), c.dopo[i])
          << c.nome << ", slot " << 81 + i;
    }
  }
}

}  // namespace
}  // namespace tracciato
