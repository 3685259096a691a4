#include "model/errori.h"
#include "model/scenario.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

TEST(Errori, EveryNumberHasOneMeaning) {
  for (const auto& voce : tabella_errori) {
    EXPECT_EQ(cerca_errore(voce.numero), &voce) << voce.numero;
    EXPECT_FALSE(voce.significato.empty());
  }
  EXPECT_EQ(cerca_errore(14), nullptr);
  EXPECT_EQ(cerca_errore(23), nullptr);
}

TEST(Errori, ErroreStopsWithTheNumberedMessage) {
  try {
    errore("1250");
    FAIL();
  } catch (const arresto& a) {
    EXPECT_EQ(a.numero(), 1250);
    EXPECT_STREQ(a.what(), " Errore n. 1250");
  }
  // A text that is not a whole number is a fault of the caller.
  EXPECT_THROW(errore("12x"), std::logic_error);
  EXPECT_THROW(errore(""), std::logic_error);
}

TEST(Minimo, ReturnsTheLesserAndTheFirstOnATie) {
  EXPECT_EQ(minimo(180, int16_t{200}), 180);
  EXPECT_EQ(minimo(180, int16_t{90}), 90);
  EXPECT_EQ(minimo(180, int16_t{180}), 180);
}

}  // namespace
}  // namespace tracciato
