// tracciato view through the real executable: from the sources it writes the
// page and nothing else; from the binary files it reads a compile's output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

TEST(ComandoView, FromTheSourcesWritesOnlyThePage) {
  test::cartella_temporanea t;
  ASSERT_EQ(test::esegui_tracciato({"sources", "--dir", t.percorso().string()}, t.percorso()).stato, 0);
  const auto prima = t.elenco();
  const auto e = test::esegui_tracciato(
      {"view", "--line", "VessolantaC_OrmelaC_linea.txt", "--train", "VessolantaC_OrmelaC_4715-.txt"}, t.percorso());
  ASSERT_EQ(e.stato, 0) << e.errori;
  auto dopo = prima;
  dopo.push_back("VessolantaC_OrmelaC_4715.html");  // names taken from the files
  std::sort(dopo.begin(), dopo.end());
  EXPECT_EQ(t.elenco(), dopo);
  EXPECT_EQ(test::leggi(t / "VessolantaC_OrmelaC_linea.txt").substr(0, 10), "[generale]");
  const std::string pagina = test::leggi(t / "VessolantaC_OrmelaC_4715.html");
  EXPECT_NE(pagina.find("class=\"ok\">no fault<"), std::string::npos);
  EXPECT_EQ(e.uscita, "wrote VessolantaC_OrmelaC_4715.html (" + std::to_string(pagina.size()) + " bytes)\n");
}

TEST(ComandoView, UsageFaults) {
  test::cartella_temporanea t;
  const struct {
    std::vector<std::string> argomenti;
    const char* messaggio;
  } casi[] = {
      {{"view", "--dir", "."}, "view needs --dir, --name and --train-number"},
      {{"view", "--dir", ".", "--name", "X", "--train-number", "1"}, "X_1.sim"},
      {{"view", "--dir", ".", "--name", "../X", "--train-number", "1"}, "must be a plain name"},
      {{"--json", "view", "--dir", ".", "--name", "X", "--train-number", "1"}, "do not apply to view"},
  };
  for (const auto& c : casi) {
    const auto e = test::esegui_tracciato(c.argomenti, t.percorso());
    EXPECT_EQ(e.stato, 2) << c.argomenti.back();
    EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
  }
  EXPECT_TRUE(t.elenco().empty());
}

}  // namespace
}  // namespace tracciato
