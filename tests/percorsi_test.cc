// Folders and files whose names are not ASCII, through the real executable:
// every command finds, reads and writes them under the names given, on
// every system (on Windows they cross to the system as UTF-16).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

const fs::path fixtures = TRACCIATO_FIXTURES;

TEST(Percorsi, AccentedFoldersAndFilesThroughEveryCommand) {
  test::cartella_temporanea t;
  fs::create_directories(t / "Città/uscita");
  fs::copy_file(fixtures / "linea.txt", t / "Città/Linea_Più.txt");
  fs::copy_file(fixtures / "treno.txt", t / "Città/Treno_Più-.txt");
  const auto corri = [&](const std::vector<std::string>& argomenti) {
    const auto e = test::esegui_tracciato(argomenti, t.percorso());
    EXPECT_EQ(e.stato, 0) << argomenti[0] << ": " << e.errori << e.uscita;
    return e;
  };
  corri({"compile", "--line", "Città/Linea_Più.txt", "--train", "Città/Treno_Più-.txt", "--name", "Più",
         "--train-number", "1", "--dir", "Città/uscita"});
  EXPECT_EQ(test::cartella_temporanea::elenco_di(t / "Città/uscita"),
            (std::vector<std::string>{"Più_1.dat", "Più_1.sim", "Più_linea.dat"}));
  corri({"check", "--line", "Città/Linea_Più.txt", "--train", "Città/Treno_Più-.txt"});
  corri({"view", "--dir", "Città/uscita", "--name", "Più", "--train-number", "1", "-o", "Città/Vista_Più.html"});
  EXPECT_TRUE(fs::is_regular_file(t / "Città/Vista_Più.html"));
  corri({"view", "--line", "Città/Linea_Più.txt", "--train", "Città/Treno_Più-.txt", "--name", "Più",
         "--train-number", "1"});
  EXPECT_TRUE(fs::is_regular_file(t / "Più_1.html"));
  corri({"decompile", "--dir", "Città/uscita", "--name", "Più", "--train-number", "1", "--out", "Città/testi"});
  EXPECT_EQ(test::cartella_temporanea::elenco_di(t / "Città/testi"),
            (std::vector<std::string>{"Più_1-.txt", "Più_linea.txt"}));
  // The built-in run into a folder of that name, and a message that names it.
  fs::create_directory(t / "Città/Già");
  corri({"--dir", "Città/Già"});
  EXPECT_EQ(test::cartella_temporanea::elenco_di(t / "Città/Già").size(), 6u);
  const auto e = test::esegui_tracciato({"compile", "--line", "Città/Nessuna_Più.txt", "--train",
                                         "Città/Treno_Più-.txt", "--name", "Più", "--train-number", "1"},
                                        t.percorso());
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.errori.find("Città/Nessuna_Più.txt"), std::string::npos) << e.errori;
}

}  // namespace
}  // namespace tracciato
