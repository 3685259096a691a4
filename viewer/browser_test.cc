// The built-in scenario's page in a real browser: headless Chromium renders
// the page of the built-in run's binary files, and the test reads back the
// document after its script ran, the browser's log and a screenshot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <string>

#include "compactor/decodifica.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

constexpr const char* chromium = "/usr/bin/chromium";

// Runs headless Chromium on pagina with extra arguments; standard output and
// error go to the two files. Returns the exit status.
int esegui_chromium(const test::cartella_temporanea& t, const fs::path& pagina, const std::string& extra,
                    const fs::path& uscita, const fs::path& errori) {
  const fs::path profilo = t / ("profilo-" + uscita.stem().string());
  const std::string comando =
      std::string("timeout 120 ") + chromium +
      " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking"
      " --disable-component-update --disable-sync --disable-dev-shm-usage --hide-scrollbars"
      " --enable-logging=stderr --v=0 --virtual-time-budget=5000 --window-size=1600,1000"
      " --user-data-dir='" + profilo.string() + "' " + extra + " 'file://" + pagina.string() + "' >'" +
      uscita.string() + "' 2>'" + errori.string() + "' </dev/null";
  const int stato = std::system(comando.c_str());
  return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
}

// The items the cell file holds, counted straight from its cells.
std::map<std::string, int> elementi_del_file(const std::string& celle_dat) {
  const auto celle = decodifica_celle(test::leggi(celle_dat), celle_dat);
  std::map<std::string, int> n;
  uint8_t montagna = 0;
  for (const cella& c : celle) {
    switch (c.tipo_cella) {
      case 1: ++n["signal"]; break;
      case 3: ++n["slowdown"]; break;
      case 6: ++n["board"]; break;
      case 10: ++n["station"]; break;
      case 12: case 13: ++n["code-point"]; break;
      case 14: ++n["sign"]; break;
      default: break;
    }
    if (c.tipo_montagna != 0 && c.tipo_montagna != montagna) ++n["tunnel"];
    montagna = c.tipo_montagna;
  }
  return n;
}

TEST(Browser, BuiltInPageRendersEveryItemWithoutScriptErrors) {
  ASSERT_TRUE(fs::exists(chromium)) << chromium << " is missing: `make setup` installs Debian's chromium";
  test::cartella_temporanea t;
  const auto compilato = test::esegui_tracciato({"--dir", t.percorso().string()}, t.percorso());
  ASSERT_EQ(compilato.stato, 0) << compilato.errori;
  const auto vista = test::esegui_tracciato({"view", "--dir", t.percorso().string(), "--name", "VessolantaC_OrmelaC",
                                             "--train-number", "4715", "-o", (t / "pagina.html").string()},
                                            t.percorso());
  ASSERT_EQ(vista.stato, 0) << vista.errori;

  // The document after the script ran: one data-item element per item of the cell file.
  ASSERT_EQ(esegui_chromium(t, t / "pagina.html", "--dump-dom", t / "dom.html", t / "dom.log"), 0)
      << test::leggi(t / "dom.log");
  const std::string dom = test::leggi(t / "dom.html");
  std::map<std::string, int> nel_dom;
  const std::regex attributo(R"re(data-item="([a-z-]+)")re");
  for (auto i = std::sregex_iterator(dom.begin(), dom.end(), attributo); i != std::sregex_iterator(); ++i)
    ++nel_dom[(*i)[1]];
  const auto attesi = elementi_del_file((t / "VessolantaC_OrmelaC_4715.dat").string());
  EXPECT_EQ(nel_dom, attesi);
  EXPECT_GT(attesi.at("signal"), 20);
  EXPECT_GT(attesi.at("station"), 10);

  // The browser's log: no script error.
  const std::string log = test::leggi(t / "dom.log");
  EXPECT_EQ(log.find("Uncaught"), std::string::npos) << log;

  // A screenshot of 1600 x 1000 with a drawing in it: a blank page compresses
  // to a few kilobytes.
  ASSERT_EQ(esegui_chromium(t, t / "pagina.html", "--screenshot='" + (t / "schermo.png").string() + "'",
                            t / "schermo.out", t / "schermo.log"), 0)
      << test::leggi(t / "schermo.log");
  const std::string png = test::leggi(t / "schermo.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  auto be32 = [&](std::size_t o) {
    return (uint32_t(uint8_t(png[o])) << 24) | (uint32_t(uint8_t(png[o + 1])) << 16) |
           (uint32_t(uint8_t(png[o + 2])) << 8) | uint32_t(uint8_t(png[o + 3]));
  };
  EXPECT_EQ(be32(16), 1600u);
  EXPECT_EQ(be32(20), 1000u);
  EXPECT_GT(png.size(), 60000u);
  EXPECT_EQ(test::leggi(t / "schermo.log").find("Uncaught"), std::string::npos);
  if (const char* copia = std::getenv("TRACCIATO_SCREENSHOT")) fs::copy_file(t / "schermo.png", copia, fs::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace tracciato
