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
  EXPECT_EQ(s.tabella[posto_scenario].intero1, 610);
  EXPECT_EQ(s.tabella[posto_scenario].valore4, 35375);
  EXPECT_EQ(s.celle[1].valore_a, 5121);
  EXPECT_EQ(s.celle[1].valore_b, 2597);
}

TEST(Timbra, AReservedPlaceInUseStopsTheRun) {
  static const struct {
    const char* nome;
    void (*occupa)(scenario&);
    int32_t numero;
  } casi[] = {
      {"cell 1 valore_a", [](scenario& s) { s.celle[1].valore_a = 30; }, 1250},
      {"slot 85 intero1", [](scenario& s) { s.tabella[posto_scenario].intero1 = 1; }, 1250},
      {"cell 1 valore_b", [](scenario& s) { s.celle[1].valore_b = -1; }, 1251},
      {"slot 85 valore4", [](scenario& s) { s.tabella[posto_scenario].valore4 = 5; }, 1251},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    scenario s = con_nomi("4", "ab");
    c.occupa(s);
    try {
      timbra(s);
      ADD_FAILURE() << "no stop";
    } catch (const arresto& a) {
      EXPECT_EQ(a.numero(), c.numero);
      EXPECT_STREQ(a.what(), (" Errore n. " + std::to_string(c.numero)).c_str());
    }
  }
}

}  // namespace
}  // namespace tracciato
