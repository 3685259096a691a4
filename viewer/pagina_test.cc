// The page's data: the items read from the cells and slots, the chainage,
// the thinned plan, and the page as a whole for the built-in scenario and a
// 1000 km line.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "compactor/compattatore.h"
#include "platform/file.h"
#include "tests/cartella_temporanea.h"
#include "model/nomi_file.h"
#include "model/regole.h"
#include "viewer/elementi.h"
#include "viewer/pagina.h"
#include "platform/testo.h"
#include "sources/dati.h"
#include "viewer/planimetria_sottile.h"
#include "viewer/viewer_prova.h"
#include "viewer/vista.h"

namespace tracciato {
namespace test {

// The built-in line and train files, as the built-in run writes them.
struct sorgenti_incorporate {
  testo_sorgente linea{"linea.txt", testo_linea(), ""};
  testo_sorgente treno{"treno.txt", testo_treno(), ""};
};

}  // namespace test
namespace {

// A small grid with one item of every kind, and their words.
TEST(ElementiLinea, EachKindInWords) {
  scenario s;
  s.celle.resize(80);
  auto& c = s.celle;
  c[5] = {.tipo_cella = cella_stazione, .valore_a = 1};
  s.tabella[1] = {.tipo_record = 12, .valore1 = 0, .valore2 = 300, .valore3 = 150, .testo = "S\xe8ngio", .byte2 = 50,
                  .valore4 = 14 * 3600 + 24 * 60};
  c[8] = {.tipo_cella = cella_segnale, .valore_a = 30, .valore_b = 40, .valore_d = 6, .tempo_segnale = 255};
  c[9] = {.tipo_cella = cella_segnale, .valore_a = 31, .valore_b = 42, .valore_d = 5};
  c[12] = {.tipo_cella = cella_indicatore_v_max, .valore_a = 1900, .valore_b = 2000, .valore_c = 2000, .valore_d = 20};
  c[13] = {.tipo_cella = cella_indicatore_v_max, .valore_a = 1212, .valore_b = 1212, .valore_c = 1212, .valore_d = 11};
  c[14] = {.tipo_cella = cella_cartello, .valore_a = 80};
  s.tabella[80].testo = "(P.L.)(Km 1+500)";
  c[20] = {.tipo_cella = cella_inizio_rallentamento, .valore_a = 60};
  c[36] = {.tipo_cella = cella_fine_rallentamento, .valore_a = 60};
  c[22] = {.tipo_cella = cella_punto_codice, .valore_a = 180};
  c[23] = {.tipo_cella = cella_punto_codice_senza_valore};
  for (int i = 40; i < 45; ++i) c[i].tipo_montagna = 2;
  for (int i = 45; i < 47; ++i) c[i].tipo_montagna = 3;
  c[42].tipo_cella = cella_segno_montagna;  // a tunnel marker is no item

  struct atteso {
    const char* tipo;
    int cella, inizio, fine;
    const char* descrizione;
  };
  const atteso attesi[] = {
      {"station", 5, 0, 300,
       "station S\xc3\xa8ngio (kind 12) at 150 m (km 0+150), extent 0 to 300 m, time 14:24:00, stop value 50; "
       "station cell 5"},
      {"signal", 8, 400, 400, "home signal: left values 3, 4, 0; right side none; timing 255; at 400 m (cell 8, 400\u2013""449 m; km 0+400)"},
      {"signal", 9, 450, 450,
       "distant signal: left values 3, 4, 0; right side home, values 1, 2, 0; at 450 m (cell 9, 450\u2013""499 m; km 0+450)"},
      {"board", 12, 600, 600, "board 95/100/100 km/h, 2 stripes; at 600 m (cell 12, 600\u2013""649 m; km 0+600)"},
      {"board", 13, 650, 650,
       "board 60/60/60 km/h, 1 stripe; right board 60/60/60 km/h, 1 stripe; at 650 m (cell 13, 650\u2013""699 m; km 0+650)"},
      {"sign", 14, 700, 700, "sign (P.L.)(Km 1+500); at 700 m (cell 14, 700\u2013""749 m; km 0+700)"},
      {"slowdown", 20, 1000, 1800, "slowdown 60 km/h from 1000 m (cell 20, 1000\u2013""1049 m; km 1+000) to 1800 m (800 m)"},
      {"code-point", 22, 1100, 1100, "code point, value 180; at 1100 m (cell 22, 1100\u2013""1149 m; km 1+100)"},
      {"code-point", 23, 1150, 1150, "code point without value; at 1150 m (cell 23, 1150\u2013""1199 m; km 1+150)"},
      {"tunnel", 40, 2000, 2250, "tunnel of kind 2 from 2000 m (cell 40, 2000\u2013""2049 m; km 2+000) to 2250 m (250 m)"},
      {"tunnel", 45, 2250, 2350, "tunnel of kind 3 from 2250 m (cell 45, 2250\u2013""2299 m; km 2+250) to 2350 m (100 m)"},
  };
  const auto v = elementi_linea(s);
  ASSERT_EQ(v.size(), std::size(attesi));
  for (std::size_t i = 0; i < v.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(nome_elemento(v[i].tipo), attesi[i].tipo);
    EXPECT_EQ(v[i].cella, attesi[i].cella);
    EXPECT_EQ(v[i].inizio, attesi[i].inizio);
    EXPECT_EQ(v[i].fine, attesi[i].fine);
    EXPECT_EQ(v[i].descrizione, attesi[i].descrizione);
  }
}

// A slot index that names no slot, or a sign slot, is told, not followed.
TEST(ElementiLinea, CellsNamingNoSlot) {
  scenario s;
  s.celle.resize(10);
  s.celle[3] = {.tipo_cella = cella_cartello, .valore_a = 200};
  s.celle[4] = {.tipo_cella = cella_stazione, .valore_a = -3};
  const auto v = elementi_linea(s);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].descrizione, "sign naming record slot 200, which is not a slot; at 150 m (cell 3, 150\u2013""199 m; km 0+150)");
  EXPECT_EQ(v[1].descrizione, "station cell naming record slot -3, which holds no station");
}

TEST(Chilometrica, FromTheNearestReferenceBefore) {
  scenario s;
  EXPECT_EQ(chilometrica(s, 4321), 4321);  // no reference: the route position
  // The built-in references after ordering.
  s.tabella[posto_progressiva_tre] = {.valore1 = 6350, .valore2 = 119450, .testo = {}};
  s.tabella[posto_progressiva_due] = {.valore1 = 0, .valore2 = 132200, .valore3 = 1, .testo = {}};
  const struct {
    int64_t p, km;
  } casi[] = {{0, 132200}, {6300, 138500}, {6350, 119450}, {8400, 121500}, {120000, 233100}};
  for (const auto& c : casi) EXPECT_EQ(chilometrica(s, c.p), c.km) << c.p;
  // Before the only reference: counted back from it.
  scenario t;
  t.tabella[posto_progressiva_tre] = {.valore1 = 1000, .valore2 = 50000, .testo = {}};
  EXPECT_EQ(chilometrica(t, 0), 49000);
  EXPECT_EQ(testo_chilometrica(121500), "km 121+500");
  EXPECT_EQ(testo_chilometrica(-50), "km -0+050");
  EXPECT_EQ(testo_orario(15 * 3600 + 55 * 60 + 7 + 86400), "15:55:07");
  EXPECT_EQ(a_utf8("\x80\x81\xe0"), "\xe2\x82\xac\xc2\x81\xc3\xa0");  // an undefined byte stays a C1 control
}

// Largest distance of any filled row from the thinned polyline through the rows kept.
double scarto_massimo(const planimetria_t& p, const std::vector<punto_piano>& v) {
  double massimo = 0;
  for (std::size_t k = 0; k + 1 < v.size(); ++k)
    for (int32_t r = v[k].metro; r <= v[k + 1].metro; ++r) {
      const double dx = v[k + 1].x - v[k].x, dy = v[k + 1].y - v[k].y, l2 = dx * dx + dy * dy;
      const double x = p.valore(r, 0), y = p.valore(r, 1);
      double t = l2 > 0 ? ((x - v[k].x) * dx + (y - v[k].y) * dy) / l2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      massimo = std::max(massimo, std::hypot(v[k].x + t * dx - x, v[k].y + t * dy - y));
    }
  return massimo;
}

TEST(Sfoltisci, KeepsTheLineWithinTheDeviation) {
  planimetria_t p;
  EXPECT_TRUE(sfoltisci(p, 0.5).empty());
  // A straight of 1000 m, an arc of radius 333 m over 600 m, a straight; the
  // last two rows empty, as the loader leaves them.
  p.alloca_righe(2601);
  double x = 0, y = 0, a = 0;
  for (int32_t r = 0; r <= 2599; ++r) {
    p.imposta_reale(r, 0, x);
    p.imposta_reale(r, 1, y);
    if (r >= 1000 && r < 1600) a += 1.0 / 333;
    x += std::sin(a), y += std::cos(a);
  }
  const auto v = sfoltisci(p, 0.5);
  EXPECT_EQ(v.front().metro, 0);
  EXPECT_EQ(v.back().metro, 2599);
  EXPECT_LE(scarto_massimo(p, v), 0.5);
  EXPECT_LT(v.size(), 40u);
  EXPECT_GT(v.size(), 10u);  // the arc is not cut short
}

// A drawn plan thinned as its rows are computed: the same points as from the
// whole table of its rows, past many windows of rows and at the ends.
TEST(Sfoltisci, DrawnPlanAsItsTable) {
  const auto uguali = [](const disegno_planimetria& d) {
    const auto a = sfoltisci(d, 0.5), b = sfoltisci(calcola_planimetria(d), 0.5);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].metro, b[i].metro) << i;
      EXPECT_EQ(a[i].x, b[i].x) << i;
      EXPECT_EQ(a[i].y, b[i].y) << i;
    }
  };
  disegno_planimetria d;
  uguali(d);  // not allocated: no points
  d.alloca_righe(40000);
  uguali(d);  // no origin: every row empty
  d.imposta_origine();
  uguali(d);  // the origin alone
  d.aggiungi_tratto(2, 0);
  uguali(d);
  d.aggiungi_tratto(20000, 0);
  d.aggiungi_tratto(20500, 0.002);
  d.aggiungi_tratto(30007, 0);
  d.aggiungi_tratto(30100, -0.01);
  d.aggiungi_tratto(30133, 0.0001);
  uguali(d);  // the last rows empty
  d.aggiungi_tratto(40000, 0.001);
  uguali(d);  // every row filled
}

// The built-in scenario's page: within 1 MB, one item per item cell, and the
// items of the binary files the same as those compiled in memory.
TEST(PaginaScenario, BuiltInFromSourcesAndFromBinaries) {
  const test::sorgenti_incorporate sorgenti;
  std::vector<std::string> note;
  const scenario s = scenario_da_sorgenti(sorgenti.linea, sorgenti.treno, "VessolantaC_OrmelaC", "4715", note);
  EXPECT_TRUE(note.empty());
  EXPECT_TRUE(s.guasti.empty());
  opzioni_pagina o;
  o.origine = "the sources";
  const std::string pagina = pagina_scenario(s, calcola_planimetria(s), o);
  EXPECT_LE(pagina.size(), 1000000u);
  EXPECT_NE(pagina.find("<span id=\"guasti\" class=\"ok\">no fault</span>"), std::string::npos);

  // The three files as a compile writes them.
  test::cartella_temporanea t;
  auto scrivi = [&](file_scenario f, const byte_file& b) {
    test::scrivi(nome_file(t.percorso(), "VessolantaC_OrmelaC", "4715", f), std::string(b.vista()));
  };
  scrivi(file_scenario::linea_dat, codifica_planimetria(calcola_planimetria(s)));
  scrivi(file_scenario::sim, codifica_tabella(s.tabella));
  scrivi(file_scenario::celle_dat, codifica_celle(s.celle));
  planimetria_t piano;
  const scenario b = scenario_da_binari(t.percorso(), "VessolantaC_OrmelaC", "4715", piano);
  const auto da_sorgenti = elementi_linea(s), da_binari = elementi_linea(b);
  ASSERT_EQ(da_sorgenti.size(), da_binari.size());
  for (std::size_t i = 0; i < da_sorgenti.size(); ++i) EXPECT_EQ(da_sorgenti[i].descrizione, da_binari[i].descrizione);
  EXPECT_EQ(pagina_scenario(b, piano, o), pagina);
}

// The route length of a scenario file that no compile wrote, up to the
// largest the field holds, is read without overflow.
TEST(ScenarioDaBinari, ARouteLengthAtTheFieldsLimit) {
  test::cartella_temporanea t;
  std::array<voce_tabella, posti_tabella> tabella{};
  tabella[posto_treno].valore2 = std::numeric_limits<int32_t>::max();
  test::scrivi(nome_file(t.percorso(), "X", "1", file_scenario::sim), std::string(codifica_tabella(tabella).vista()));
  test::scrivi(nome_file(t.percorso(), "X", "1", file_scenario::celle_dat),
               std::string(codifica_celle(std::vector<cella>(3)).vista()));
  planimetria_t piano;
  const scenario s = scenario_da_binari(t.percorso(), "X", "1", piano);
  EXPECT_EQ(s.lunghezza_estesa, std::numeric_limits<int32_t>::max());
}

// A name that would close the data's script element stays inside it.
TEST(PaginaScenario, TextsCannotEndTheScript) {
  scenario s;
  s.nome_scenario = "A<b>&\"";
  s.celle.resize(20);
  s.celle[5] = {.tipo_cella = cella_cartello, .valore_a = 80};
  s.tabella[80].testo = "</script><script>alert(1)</script>";
  const std::string p = pagina_scenario(s, calcola_planimetria(s), {});
  EXPECT_EQ(p.find("alert(1)</script>"), std::string::npos);
  EXPECT_NE(p.find("\\u003c/script>\\u003cscript>alert(1)\\u003c/script>"), std::string::npos);
  EXPECT_NE(p.find("<title>A&lt;b&gt;&amp;&quot;"), std::string::npos);
  // One script element for the data, one for the code, and no other.
  std::size_t n = 0;
  for (std::size_t i = p.find("<script"); i != std::string::npos; i = p.find("<script", i + 1)) ++n;
  EXPECT_EQ(n, 2u);
}

// A stop of the compile and a load that ended early still give a page, with
// the faults in its title.
TEST(PaginaScenario, FaultsInTheTitle) {
  std::vector<std::string> note;
  const scenario s = scenario_da_sorgenti({"l.txt", "[generale]\r\n", ""}, {"t.txt", "", ""}, "X", "1", note);
  opzioni_pagina o;
  o.note = note;
  const std::string p = pagina_scenario(s, calcola_planimetria(s), o);
  EXPECT_NE(p.find("id=\"guasti\" class=\"guasto\">l.txt: fault 102: the line file has no [generale] section<"),
            std::string::npos);

  // Cell 1 already holds a value where the format stamp goes: 1250.
  const test::sorgenti_incorporate sorgenti;
  testo_sorgente treno = sorgenti.treno;
  treno.dati.insert(treno.dati.find("[codici]"), "abbattimento, 50, 7\r\n");
  note.clear();
  const scenario f = scenario_da_sorgenti(sorgenti.linea, treno, "X", "1", note);
  ASSERT_EQ(note.size(), 1u);
  EXPECT_EQ(note[0], "the compile stops with Errore n. 1250: reserved place of the format stamp already in use; "
                     "no binary file would be written");
  o.note = note;
  EXPECT_NE(pagina_scenario(f, calcola_planimetria(f), o).find("class=\"guasto\">the compile stops with Errore n. 1250"),
            std::string::npos);
}

// The longest line: the page within 3 MB.
TEST(PaginaScenario, ThousandKilometresWithinThreeMegabytes) {
  std::vector<std::string> note;
  const scenario s = scenario_da_sorgenti(test::linea_lunga(1000000), test::treno_lungo(1000000), "Lunga", "1", note);
  ASSERT_TRUE(s.guasti.empty()) << s.guasti.front().numero << " at " << s.guasti.front().posizione;
  const planimetria_t piano = calcola_planimetria(s);
  // With the fastest run drawn over the whole route.
  opzioni_pagina o;
  o.corsa = marcia_piu_veloce(s, o.ritmi);
  ASSERT_GT(o.corsa.punti.size(), 9000u);
  const std::string p = pagina_scenario(s, piano, o);
  EXPECT_EQ(pagina_scenario(s, s.planimetria, o), p);  // the rows computed on the way
  EXPECT_LE(p.size(), 3000000u);
  EXPECT_LE(scarto_massimo(piano, sfoltisci(piano, 0.5)), 0.5);
  EXPECT_GT(p.size(), 100000u);
}

TEST(NomiView, DefaultNamesFromTheFiles) {
  EXPECT_EQ(nome_da_file_linea("x/Valmarena_linea.txt"), "Valmarena");
  EXPECT_EQ(nome_da_file_linea("linea.txt"), "linea");
  EXPECT_EQ(numero_da_file_treno("x/Valmarena_2231-.txt", "Valmarena"), "2231");
  EXPECT_EQ(numero_da_file_treno("treno.txt", "Valmarena"), "treno");
}

}  // namespace
}  // namespace tracciato
