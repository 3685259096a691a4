#include <gtest/gtest.h>

#include "compactor/compattatore.h"

namespace tracciato {
namespace {

scenario con_nomi(const std::string& treno, const std::string& nome) {
  scenario s;
  s.tabella[posto_linea].testo = treno;
  s.tabella[posto_scenario].testo = nome;
  s.celle.assign(10, cella{});
  return s;
}

TEST(CodiciGara, FromTrainNumberThenScenarioNameFilledUpTo25) {
  static const struct {
    const char* treno;
    const char* nome;
    int32_t semplice;
    int32_t pesato;
  } casi[] = {
      // '4', 'a', 'b' weighted 1 to 3, then the first 22 filler letters.
      {"4", "ab", 2597, 35375},
      {"4", "AB", 2597, 35375},
      {"", "", 2700, 36187},  // the filler's first 25 letters alone
      {"4715", "VessolantaC_OrmelaC", 2426, 33290},
      {"4715", "VessolantaC_OrmelaC_Lunga", 2433, 33468},
      {"4715", "vessolantac_ormelac_lungaXYZ", 2433, 33468},  // past the 25th: no change
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(std::string(c.treno) + c.nome);
    scenario s = con_nomi(c.treno, c.nome);
    EXPECT_EQ(codice_gara_og(s), c.semplice);
    EXPECT_EQ(codice_gara_st(s), c.pesato);
  }
}

TEST(Timbra, StampsSlot85AndCell1) {
  scenario s = con_nomi("4", "ab");
  timbra(s);
  EXPECT_EQ(s.arresto, 0);
  EXPECT_TRUE(s.guasti.empty());
  EXPECT_EQ(s.tabella[posto_scenario].intero1, 610);
  EXPECT_EQ(s.tabella[posto_scenario].valore4, 35375);
  EXPECT_EQ(s.celle[1].valore_a, 5121);
  EXPECT_EQ(s.celle[1].valore_b, 2597);
}

// The stop is recorded as the last fault and in arresto; the stamping ends
// there, so a stop at 1250 leaves both places as they were and one at 1251
// the codes.
TEST(Timbra, AReservedPlaceInUseStopsTheRun) {
  static const struct {
    const char* nome;
    void (*occupa)(scenario&);
    int32_t numero;
    int16_t intero1;  // slot 85 and cell 1 after the stop
    int16_t valore_a;
    int32_t valore4;
    int16_t valore_b;
  } casi[] = {
      {"cell 1 valore_a", [](scenario& s) { s.celle[1].valore_a = 30; }, 1250, 0, 30, 0, 0},
      {"slot 85 intero1", [](scenario& s) { s.tabella[posto_scenario].intero1 = 1; }, 1250, 1, 0, 0, 0},
      {"cell 1 valore_b", [](scenario& s) { s.celle[1].valore_b = -1; }, 1251, 610, 5121, 0, -1},
      {"slot 85 valore4", [](scenario& s) { s.tabella[posto_scenario].valore4 = 5; }, 1251, 610, 5121, 5, 0},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    scenario s = con_nomi("4", "ab");
    c.occupa(s);
    timbra(s);
    EXPECT_EQ(s.arresto, c.numero);
    EXPECT_EQ(s.codice_errore, c.numero);
    ASSERT_EQ(s.guasti.size(), 1u);
    EXPECT_EQ(s.guasti[0].numero, c.numero);
    EXPECT_EQ(s.tabella[posto_scenario].intero1, c.intero1);
    EXPECT_EQ(s.celle[1].valore_a, c.valore_a);
    EXPECT_EQ(s.tabella[posto_scenario].valore4, c.valore4);
    EXPECT_EQ(s.celle[1].valore_b, c.valore_b);
  }
}

}  // namespace
}  // namespace tracciato
