#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/esecuzione.h"
#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

// `tracciato sources` writes the five text files under the built-in names,
// each exactly as the built-in run writes it, into a folder it creates when
// needed, and compiles nothing.
TEST(EseguiSources, WritesTheFiveBuiltInTextFilesAndNothingElse) {
  test::cartella_temporanea t;
  const auto cartella = t / "nuova" / "cartella";
  testing::internal::CaptureStdout();
  EXPECT_EQ(esegui_sources(cartella), uscita_ok);
  const std::string uscita = testing::internal::GetCapturedStdout();

  const std::vector<std::string> nomi = {
      "VessolantaC_OrmelaC_4715-.txt", "VessolantaC_OrmelaC_4715_note.txt",
      "VessolantaC_OrmelaC_4715_rallentamenti.txt", "VessolantaC_OrmelaC_4715_scheda_treno.txt",
      "VessolantaC_OrmelaC_linea.txt"};
  std::vector<std::string> trovati;
  for (const auto& voce : std::filesystem::directory_iterator(cartella))
    trovati.push_back(voce.path().filename().string());
  std::sort(trovati.begin(), trovati.end());
  EXPECT_EQ(trovati, nomi);
  for (const auto& n : nomi) EXPECT_NE(uscita.find(n), std::string::npos) << n;

  for (const auto& st : stadi_scrittura)
    st.esegui(nome_file(t.percorso(), nome_scenario_incorporato, numero_treno_incorporato, st.file));
  for (const auto& n : nomi) EXPECT_EQ(test::leggi(cartella / n), test::leggi(t / n)) << n;
}

TEST(EseguiSources, ReplacesEditedFilesOfTheSameName) {
  test::cartella_temporanea t;
  test::scrivi(t / "VessolantaC_OrmelaC_linea.txt", std::string(600000, 'x'));
  testing::internal::CaptureStdout();
  esegui_sources(t.percorso());
  testing::internal::GetCapturedStdout();
  const std::string linea = test::leggi(t / "VessolantaC_OrmelaC_linea.txt");
  EXPECT_TRUE(linea.starts_with("[generale]\r\n"));
  EXPECT_TRUE(linea.ends_with("[fine]\r\n"));
}

}  // namespace
}  // namespace tracciato
