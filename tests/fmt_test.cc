// tracciato fmt end to end: where it writes, and what it never overwrites.
#include <gtest/gtest.h>

#include "sources/impaginazione.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

TEST(Fmt, WritesToStandardOutputOrWhereToldAndTheInputOnlyInPlace) {
  test::cartella_temporanea t;
  const std::string prima = "[generale]\r\nlunghezza percorso,7000\r\n[fine]\r\n";
  const std::string dopo = "[generale]\r\nlunghezza percorso,    7000\r\n[fine]\r\n";
  test::scrivi(t / "S_linea.txt", prima);

  auto e = test::esegui_tracciato({"fmt", "S_linea.txt"}, t.percorso());
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, dopo);

  // -o naming the input is refused, and the input stays as it was.
  e = test::esegui_tracciato({"fmt", "S_linea.txt", "-o", "./S_linea.txt"}, t.percorso());
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.errori.find("use --in-place"), std::string::npos) << e.errori;
  EXPECT_EQ(test::leggi(t / "S_linea.txt"), prima);

  e = test::esegui_tracciato({"fmt", "S_linea.txt", "-o", "altro.txt"}, t.percorso());
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.errori, "tracciato: wrote altro.txt\n");
  EXPECT_EQ(test::leggi(t / "altro.txt"), dopo);
  EXPECT_EQ(test::leggi(t / "S_linea.txt"), prima);

  e = test::esegui_tracciato({"fmt", "--in-place", "S_linea.txt"}, t.percorso());
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(test::leggi(t / "S_linea.txt"), dopo);

  // A file of neither kind needs --kind.
  test::scrivi(t / "x.txt", "[generale]\r\n");
  EXPECT_EQ(test::esegui_tracciato({"fmt", "x.txt"}, t.percorso()).stato, 2);
}

}  // namespace
}  // namespace tracciato
