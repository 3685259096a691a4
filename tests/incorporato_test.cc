// The built-in run end to end, through the real executable: it writes the
// five text files, compiles the line and train files (and deletes them), and
// leaves the three binary files, with no fault recorded.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

struct esito {
  int stato = -1;
  std::string uscita;
};

esito esegui(const std::string& comando) {
  esito e;
  FILE* p = ::popen((comando + " 2>&1").c_str(), "r");
  if (!p) return e;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) e.uscita.append(buf, n);
  const int s = ::pclose(p);
  e.stato = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return e;
}

TEST(Incorporato, BuiltInRunEndsWithNoFaultAndTheExactFiles) {
  test::cartella_temporanea t;
  const esito e = esegui(std::string("'") + TRACCIATO_EXE + "' --strict --dir '" + t.percorso().string() + "'");
  EXPECT_EQ(e.stato, 0) << e.uscita;
  EXPECT_NE(e.uscita.find("no fault"), std::string::npos) << e.uscita;

  EXPECT_EQ(t.elenco(), (std::vector<std::string>{
                            "VessolantaC_OrmelaC_4715.dat", "VessolantaC_OrmelaC_4715.sim",
                            "VessolantaC_OrmelaC_4715_note.txt", "VessolantaC_OrmelaC_4715_rallentamenti.txt",
                            "VessolantaC_OrmelaC_4715_scheda_treno.txt", "VessolantaC_OrmelaC_linea.dat"}));
  std::error_code ec;
  EXPECT_EQ(std::filesystem::file_size(t / "VessolantaC_OrmelaC_linea.dat", ec), 2539964u);
  EXPECT_EQ(std::filesystem::file_size(t / "VessolantaC_OrmelaC_4715.dat", ec), 38115u);
}

// The path of the README: the text files alone, then the author's compile of
// them under another name, which must give files of the same sizes.
TEST(Incorporato, SourcesThenCompileGiveTheBuiltInCells) {
  test::cartella_temporanea t;
  const std::string exe = std::string("'") + TRACCIATO_EXE + "'";
  const std::string dir = "'" + t.percorso().string() + "'";
  ASSERT_EQ(esegui(exe + " sources --dir " + dir).stato, 0);
  const esito e = esegui(exe + " compile --strict --line " + dir + "/VessolantaC_OrmelaC_linea.txt --train " + dir +
                         "/VessolantaC_OrmelaC_4715-.txt --name Mio --train-number 4715 --dir " + dir);
  EXPECT_EQ(e.stato, 0) << e.uscita;
  EXPECT_NE(e.uscita.find("no fault"), std::string::npos) << e.uscita;
  std::error_code ec;
  EXPECT_EQ(std::filesystem::file_size(t / "Mio_linea.dat", ec), 2539964u);
  EXPECT_EQ(std::filesystem::file_size(t / "Mio_4715.dat", ec), 38115u);
  // The author's text files are still there to be edited again.
  EXPECT_TRUE(std::filesystem::exists(t / "VessolantaC_OrmelaC_linea.txt"));
  EXPECT_TRUE(std::filesystem::exists(t / "VessolantaC_OrmelaC_4715-.txt"));
}

}  // namespace
}  // namespace tracciato
