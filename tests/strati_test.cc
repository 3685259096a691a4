// The layers of the code: the command line (driver/) stands on everything
// else, and nothing below it includes from it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tracciato {
namespace {

namespace fs = std::filesystem;

TEST(Strati, NothingBelowTheDriverIncludesFromIt) {
  const fs::path radice = TRACCIATO_SOURCE_DIR;
  int letti = 0;
  for (const char* cartella :
       {"platform", "model", "loader", "compactor", "sources", "checker", "decompiler", "viewer", "lsp"}) {
    for (const auto& voce : fs::directory_iterator(radice / cartella)) {
      const std::string nome = voce.path().filename().string();
      const std::string estensione = voce.path().extension().string();
      if (estensione != ".cc" && estensione != ".h") continue;
      // A test of a folder may drive the whole program.
      if (nome.size() > 8 && nome.compare(nome.size() - 8, 8, "_test.cc") == 0) continue;
      std::ifstream f(voce.path());
      ++letti;
      int n = 0;
      for (std::string riga; std::getline(f, riga);) {
        ++n;
        EXPECT_NE(riga.rfind("#include \"driver/", 0), 0u) << cartella << "/" << nome << ":" << n << ": " << riga;
      }
    }
  }
  EXPECT_GT(letti, 0);  // the folders were found
}

}  // namespace
}  // namespace tracciato
