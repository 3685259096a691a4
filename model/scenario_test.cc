#include "model/scenario.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

TEST(NomeFile, FormsTheEightNamesInTheProgramFolder) {
  scenario s("/cartella");
  s.nome_scenario = "VessolantaC_OrmelaC";
  s.numero_treno = "4715";
  static const struct {
    file_scenario file;
    const char* nome;
  } casi[] = {
      {file_scenario::linea, "VessolantaC_OrmelaC_linea.txt"},
      {file_scenario::treno, "VessolantaC_OrmelaC_4715-.txt"},
      {file_scenario::note, "VessolantaC_OrmelaC_4715_note.txt"},
      {file_scenario::rallentamenti, "VessolantaC_OrmelaC_4715_rallentamenti.txt"},
      {file_scenario::scheda, "VessolantaC_OrmelaC_4715_scheda_treno.txt"},
      {file_scenario::linea_dat, "VessolantaC_OrmelaC_linea.dat"},
      {file_scenario::sim, "VessolantaC_OrmelaC_4715.sim"},
      {file_scenario::celle_dat, "VessolantaC_OrmelaC_4715.dat"},
  };
  for (const auto& c : casi) EXPECT_EQ(s.nome_file(c.file), std::filesystem::path("/cartella") / c.nome);
}

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
}

TEST(Minimo, ReturnsTheLesserAndTheFirstOnATie) {
  EXPECT_EQ(minimo(180, int16_t{200}), 180);
  EXPECT_EQ(minimo(180, int16_t{90}), 90);
  EXPECT_EQ(minimo(180, int16_t{180}), 180);
}

}  // namespace
}  // namespace tracciato
