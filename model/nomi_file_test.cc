#include "model/nomi_file.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

TEST(NomeFile, FormsTheEightNamesInTheProgramFolder) {
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
  for (const auto& c : casi) {
    EXPECT_EQ(nome_file("/cartella", "VessolantaC_OrmelaC", "4715", c.file), std::filesystem::path("/cartella") / c.nome);
    EXPECT_EQ(nome_file({}, "VessolantaC_OrmelaC", "4715", c.file), std::filesystem::path(c.nome));
  }
}

}  // namespace
}  // namespace tracciato
