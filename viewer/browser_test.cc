// The page in a real browser: headless Chromium renders the page of the
// built-in run's binary files and of a small scenario, and the test reads back
// the document after its script ran, the browser's log and a screenshot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "compactor/decodifica.h"
#include "sources/dati.h"
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

// The page with a script of the test's own after the page's: it counts the
// pairs of labels whose boxes overlap within one view and writes the count
// on the body as data-overlaps; then it moves the pointer over each view,
// follows the last problem's link, and writes the window shown then as
// data-window.
void aggiungi_verifica(const fs::path& pagina) {
  std::string html = test::leggi(pagina);
  const std::string verifica = R"(<script>
(function () {
  let n = 0;
  for (const svg of document.querySelectorAll("svg")) {
    const r = [...svg.querySelectorAll("text.etichetta")].map(t => t.getBoundingClientRect());
    for (let i = 0; i < r.length; i++)
      for (let j = i + 1; j < r.length; j++)
        if (r[i].left < r[j].right && r[j].left < r[i].right && r[i].top < r[j].bottom && r[j].top < r[i].bottom) ++n;
  }
  document.body.setAttribute("data-overlaps", n);
  for (const s of document.querySelectorAll(".sonda")) {
    const r = s.getBoundingClientRect();
    s.dispatchEvent(new MouseEvent("mousemove", {bubbles: true, clientX: r.left + r.width / 2, clientY: r.top + 5}));
  }
  const link = [...document.querySelectorAll("[data-problem] a")].pop();
  if (link) link.click();
  document.body.setAttribute("data-window", document.getElementById("da").textContent + "-" +
                                            document.getElementById("a").textContent);
})();
</script>
)";
  html.insert(html.rfind("</body>"), verifica);
  test::scrivi(pagina, html);
}

// The document of pagina after its scripts ran, and how many of each
// data-item, data-problem and data-infeasible element it holds.
struct documento {
  std::string dom, log;
  std::map<std::string, int> elementi;
  int problemi = 0, infattibili = 0, sovrapposte = -1;
  std::string finestra;  // the window after the last problem's link
};
documento apri(const test::cartella_temporanea& t, const fs::path& pagina) {
  aggiungi_verifica(pagina);
  documento d;
  const fs::path dom = t / (pagina.stem().string() + ".dom"), log = t / (pagina.stem().string() + ".log");
  EXPECT_EQ(esegui_chromium(t, pagina, "--dump-dom", dom, log), 0) << test::leggi(log);
  d.dom = test::leggi(dom);
  d.log = test::leggi(log);
  const std::regex attributo(R"re(data-item="([a-z-]+)")re");
  for (auto i = std::sregex_iterator(d.dom.begin(), d.dom.end(), attributo); i != std::sregex_iterator(); ++i)
    ++d.elementi[(*i)[1]];
  const auto conta = [&](const std::string& s) {
    int n = 0;
    for (size_t p = d.dom.find(s); p != std::string::npos; p = d.dom.find(s, p + 1)) ++n;
    return n;
  };
  d.problemi = conta("data-problem=");
  d.infattibili = conta("data-infeasible=");
  std::smatch m;
  if (std::regex_search(d.dom, m, std::regex(R"re(data-overlaps="(\d+)")re"))) d.sovrapposte = std::stoi(m[1]);
  if (std::regex_search(d.dom, m, std::regex(R"re(data-window="([^"]*)")re"))) d.finestra = m[1];
  return d;
}

// The items the cell file holds, counted straight from its cells; the
// stations from the train file's records, every kind.
std::map<std::string, int> elementi_del_file(const std::string& celle_dat, const std::string& testo_del_treno) {
  const auto celle = decodifica_celle(test::leggi(celle_dat), celle_dat);
  std::map<std::string, int> n;
  uint8_t montagna = 0;
  for (const cella& c : celle) {
    switch (c.tipo_cella) {
      case 1: ++n["signal"]; break;
      case 3: ++n["slowdown"]; break;
      case 6: ++n["board"]; break;
      case 12: case 13: ++n["code-point"]; break;
      case 14: ++n["sign"]; break;
      default: break;
    }
    if (c.tipo_montagna != 0 && c.tipo_montagna != montagna) ++n["tunnel"];
    montagna = c.tipo_montagna;
  }
  std::istringstream treno(testo_del_treno);
  for (std::string riga; std::getline(treno, riga);)
    if (riga.rfind("stazione", 0) == 0) ++n["station"];
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

  // The document after the script ran: one data-item element per item of
  // the cell file and per station record; no two labels overlap at the full view.
  const documento d = apri(t, t / "pagina.html");
  const auto attesi = elementi_del_file((t / "VessolantaC_OrmelaC_4715.dat").string(), testo_treno());
  EXPECT_EQ(d.elementi, attesi);
  EXPECT_GT(attesi.at("signal"), 20);
  EXPECT_GT(attesi.at("station"), 10);
  EXPECT_EQ(d.sovrapposte, 0);
  EXPECT_EQ(d.log.find("Uncaught"), std::string::npos) << d.log;

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

// A small scenario: a junction (a kind without a station cell) among the
// stations, two slowdowns, two code points, and a timetable that asks for
// 5 km in one minute between two stops.
TEST(Browser, SmallScenarioShowsEveryRecordAndTheStretchNoTrainCanKeep) {
  ASSERT_TRUE(fs::exists(chromium));
  test::cartella_temporanea t;
  test::scrivi(t / "Breve_linea.txt",
               "[generale]\r\nlunghezza percorso, 12000\r\nprogressiva chilometrica uno, 0, 0, 0\r\n"
               "progressiva chilometrica due, 0, 0, 0\r\nprogressiva chilometrica tre, 0, 0, 0\r\nsfondo uno, 1\r\n"
               "sfondo due, 2\r\nsfondo tre, 3\r\nripetizione segnali 4 codici, 0, 0\r\n[curve]\r\n"
               "curvad6, 5000, 700\r\n[pendenze]\r\npendenza, 0, 2\r\n[montagne]\r\n[cartelli]\r\n[indicazioni]\r\n"
               "[fine]\r\n");
  const std::string treno =
               "[generale]\r\nnumero vetture, 3\r\npercentuale massa frenata, 105\r\nsabbia, 120\r\n"
               "orologio, 5 59 0\r\n[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\nvelocita, 0, 100\r\n"
               "[stazioni]\r\n"
               "stazione, 1000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 6, 0, 0, PRIMA\r\n"
               "stazione, 4000, 25, 0, 0, 0, 0, 0,0,0, 0,0,0, 0, 0, 0, 0, BIVIO\r\n"
               "stazione, 6000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 6, 1, 0, SECONDA\r\n"
               "stazione, 10000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 6, 12, 0, TERZA\r\n"
               "[rallentamenti]\r\nrallentamento, 2000, 40, 500, 0, 0, 0\r\nrallentamento, 8000, 60, 300, 0, 0, 0\r\n"
               "[segnali]\r\n[codici]\r\nabbattimento, 3000, 5\r\nabbattimento, 7000, 0\r\n[fine]\r\n";
  test::scrivi(t / "Breve_9-.txt", treno);
  const auto compilato = test::esegui_tracciato({"compile", "--line", "Breve_linea.txt", "--train", "Breve_9-.txt",
                                                 "--name", "Breve", "--train-number", "9"}, t.percorso());
  ASSERT_EQ(compilato.stato, 0) << compilato.errori;
  const auto vista = test::esegui_tracciato(
      {"view", "--line", "Breve_linea.txt", "--train", "Breve_9-.txt", "-o", (t / "breve.html").string()}, t.percorso());
  ASSERT_EQ(vista.stato, 0) << vista.errori;
  documento d = apri(t, t / "breve.html");
  EXPECT_EQ(d.log.find("Uncaught"), std::string::npos) << d.log;
  // Every item of the compiled cells and every station record, the junction among them.
  EXPECT_EQ(d.elementi, elementi_del_file((t / "Breve_9.dat").string(), treno));
  EXPECT_EQ(d.elementi["station"], 4);
  EXPECT_EQ(d.elementi["slowdown"], 2);
  EXPECT_GE(d.elementi["code-point"], 2);
  // PRIMA to SECONDA only: SECONDA to TERZA leaves 11 minutes for 4 km.
  EXPECT_EQ(d.infattibili, 1);
  EXPECT_NE(d.dom.find("BIVIO"), std::string::npos);
  // The check's warning of the same stretch, in the problems panel.
  EXPECT_GE(d.problemi, 1);
  EXPECT_NE(d.dom.find("data-problem=\"warning\""), std::string::npos);
  // Its link zooms the axes to SECONDA, 6000 m.
  EXPECT_EQ(d.finestra, "5.00 km-7.00 km");
  EXPECT_EQ(d.sovrapposte, 0);
  if (const char* copia = std::getenv("TRACCIATO_PAGINA_BREVE")) fs::copy_file(t / "breve.html", copia, fs::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace tracciato
