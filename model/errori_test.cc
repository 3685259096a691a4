#include "model/errori.h"
#include "model/scenario.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

TEST(Errori, EveryNumberHasOneMeaningAndAHint) {
  for (const auto& voce : tabella_errori) {
    EXPECT_EQ(cerca_errore(voce.numero), &voce) << voce.numero;
    EXPECT_FALSE(voce.significato.empty()) << voce.numero;
    EXPECT_FALSE(voce.rimedio.empty()) << voce.numero;
  }
  EXPECT_EQ(cerca_errore(14), nullptr);
  EXPECT_EQ(cerca_errore(23), nullptr);
}

// Fault 15's hint names the last position a grid allows; other hints are
// the table's whatever the grid.
TEST(Errori, HintsWithTheLastPositionForFault15) {
  static const struct {
    int32_t numero;
    int32_t ultima;
    const char* rimedio;
  } casi[] = {
      {15, 2540, "the last position allowed is 126900 m (a station 126200 m): check the position and the route length"},
      {15, -1, "check the position and the route length"},  // no grid
      {16, 2540, "move the signal to a free 50 m cell"},
      {14, 2540, ""},  // not in use
  };
  for (const auto& c : casi) EXPECT_EQ(rimedio_errore(c.numero, c.ultima), c.rimedio) << c.numero;
}

TEST(Errori, AStopSaysErroreAndTheNumber) {
  EXPECT_EQ(messaggio_arresto(1250), " Errore n. 1250");
  EXPECT_EQ(messaggio_arresto(1251), " Errore n. 1251");
}

TEST(Minimo, ReturnsTheLesserAndTheFirstOnATie) {
  EXPECT_EQ(minimo(180, int16_t{200}), 180);
  EXPECT_EQ(minimo(180, int16_t{90}), 90);
  EXPECT_EQ(minimo(180, int16_t{180}), 180);
}

}  // namespace
}  // namespace tracciato
