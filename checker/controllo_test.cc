// controlla on small files with planted mistakes: every mistake in one run, at
// its own line, with the compile's fault numbers.
#include "checker/controllo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "checker/vista.h"
#include "model/luogo.h"
#include "model/scenario.h"
#include "sources/dati.h"
#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

const std::filesystem::path fixtures = TRACCIATO_FIXTURES;

testo_sorgente leggi_fixture(const std::string& nome) { return {nome, test::leggi(fixtures / nome), ""}; }

using chiave = std::tuple<std::string, int32_t, gravita, int32_t>;  // file, line, severity, fault (0 = none)

std::set<chiave> chiavi(const std::vector<problema>& problemi, gravita g) {
  std::set<chiave> c;
  for (const problema& p : problemi)
    if (p.livello == g) c.insert({p.file, p.riga, p.livello, p.codice.value_or(0)});
  return c;
}

TEST(Controlla, EveryPlantedMistakeOfBothFilesInOneRun) {
  const auto problemi = controlla(leggi_fixture("sbagli_linea.txt"), leggi_fixture("sbagli_treno.txt"));
  const std::string l = "sbagli_linea.txt", t = "sbagli_treno.txt";
  constexpr gravita E = gravita::errore, W = gravita::avviso;
  // The errors are exactly the faults of the compile, each at its record: a
  // missing field at the record that lacks it, not at the next one.
  EXPECT_EQ(chiavi(problemi, E), (std::set<chiave>{{l, 16, E, 25}, {l, 25, E, 6}, {t, 15, E, 22}, {t, 16, E, 9},
                                                    {t, 21, E, 25}}));
  const std::set<chiave> avvisi = chiavi(problemi, W);
  for (const chiave& k : std::vector<chiave>{
           {l, 11, W, 0},  // "curva destra" turns left
           {l, 12, W, 0},  // overlapping curves
           {l, 15, W, 0},  // pendneza
           {l, 17, W, 0},  // gradients out of order
           {l, 18, W, 0},  // a comment that is read
           {l, 20, W, 0},  // tunnel ending before it starts
           {l, 23, W, 0},  // a station in the line file
           {l, 26, W, 0},  // a sign in the tail
           {t, 3, W, 0},   // braked mass 900 %
           {t, 5, W, 0},   // orologo
           {t, 7, W, 0},   // adhesion 250 %
           {t, 10, W, 0},  // 12,5
           {t, 11, W, 0},  // speed limits out of order
           {t, 13, W, 0},  // UTF-8 name
           {t, 14, W, 0},  // name cut at a comma; timetable too tight
           {t, 16, W, 0},  // time going backwards
           {t, 18, W, 0},  // segnal
           {t, 20, W, 0},  // off the grid
       })
    EXPECT_TRUE(avvisi.count(k)) << std::get<0>(k) << ":" << std::get<1>(k);
  // In file order, line file first.
  for (size_t i = 1; i < problemi.size(); ++i)
    EXPECT_FALSE(problemi[i - 1].file == t && problemi[i].file == l) << i;
}

// One mistake added to clean files, against the problem it must produce.
TEST(Controlla, TableOfMistakes) {
  static const struct {
    bool linea;            // added to the line file, else to the train file
    const char* riga;      // added just before "[fine]"
    gravita livello;
    int32_t codice;        // 0 = none
    const char* frammento;  // in the message or the hint
  } casi[] = {
      {true, "pendneza, 2000, 5", gravita::avviso, 0, "did you mean `pendenza`?"},
      // In force at 5000 m: the last limit listed at or before it, not the one past it.
      {false, "velocita, 3000, 40\r\nvelocita, 6000, 30\r\nrallentamento, 5000, 60, 500, 0, 0, 0", gravita::avviso, 0,
       "more than the limit of 40 km/h in force there"},
      {true, "lunghezza percoso, 9000", gravita::avviso, 0, "did you mean `lunghezza percorso`?"},
      {true, "stazione, 2000, 11, 400, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, X", gravita::avviso, 0,
       "stations belong in the train file"},
      {false, "pendenza, 2000, 5", gravita::avviso, 0, "gradients belong in the line file"},
      {true, "cartello_indicatore, 12000, (X)", gravita::avviso, 0, "past the end of the route"},
      {true, "montagna, 6000, 5500, 1", gravita::avviso, 0, "before it starts"},
      {true, "pendenza, 9000", gravita::errore, 25, "lacks 1 of its 2 fields"},
      {true, "pendenza, 900.5, 2", gravita::errore, 25, "write 900 or 901: numbers are whole"},
      {true, "indicatori_vmax, 8000, 80, 85, 85, 0, , , , 0", gravita::errore, 21, "already holds a lineside sign"},
      {false, "segnale, 3000, 1, 3, 4, 0, 0, 0, 0,0,0, 0", gravita::errore, 16, "already holds a signal"},
      {false, "segnal, 9000, 1, 3, 4, 0, 0, 0, 0,0,0, 0", gravita::avviso, 0, "did you mean `segnale`?"},
      {false, "stazoine, 9000", gravita::avviso, 0, "did you mean `stazione`?"},
      {false, "velocita, 9000, 12,5", gravita::avviso, 0, "write 12 or 13: numbers are whole"},
      {false, "velocita, 9000, 60, 0", gravita::avviso, 0, "1 field too many: \"0\" is read as the next keyword field"},
      {false, "# velocita, 9000, 60", gravita::avviso, 0, "this format has no comments"},
      {false, "segnale, 7025, 1, 3, 4, 0, 0, 0, 0,0,0, 0", gravita::avviso, 0, "write 7000 or 7050"},
      {false, "orologio, 25, 70, 0", gravita::avviso, 0, "is no time of day"},
      {false, "aderenza, 9000, 250", gravita::avviso, 0, "adhesion of 250 %"},
      {false, "percentuale massa frenata, 900", gravita::avviso, 0, "900 % is not possible"},
      {false, "rallentamento, 8000, 60, -100, 0, 0, 0", gravita::errore, 26, "outside the cell grid"},
      {false, "stazione, 9000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 1, 0, ARRIVO", gravita::avviso, 0,
       "allow no less than"},
      {false, "stazione, 9000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 13, 0, 0, ARRIVO", gravita::avviso, 0,
       "is not after 14:00:00"},
      {false, "stazione, 9000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 30, 0, ARRIVO, BIS", gravita::avviso, 0,
       "cut at a comma"},
      {false, "stazione, 9000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 30, 0, Citt\xC3\xA0", gravita::avviso, 0,
       "--input-encoding utf-8"},
      {false, "# velocita ridotta in galleria", gravita::errore, 25, "looks like a comment, but it holds `velocita`"},
      {true, "indicatori-vmax, 8500, 80, 85, 85, 0, , , , 0", gravita::avviso, 0, "did you mean `indicatori_vmax`?"},
      // Places past the end and off the grid, of every kind.
      {true, "curvas2, 6025, 500", gravita::avviso, 0, "the curve's start 6025 m is not on the 50 m grid"},
      {true, "curvas2, 6000, 525", gravita::avviso, 0, "the curve's length 525 m"},
      {true, "curvas2, 9800, 500", gravita::avviso, 0, "ends at 10300 m, past its end"},
      {true, "montagna, 9500, 10500, 1", gravita::avviso, 0, "ends at 10500 m, past its end"},
      {true, "montagna, 4000, 4525, 1", gravita::avviso, 0, "the tunnel's end 4525 m"},
      {false, "rallentamento, 9500, 30, 1000, 0, 0, 0", gravita::avviso, 0, "ends at 10500 m, past its end"},
      {false, "segnale, 10000, 1, 3, 4, 0, 0, 0, 0,0,0, 0", gravita::avviso, 0, "at the route's end"},
      {false, "stazione, 10000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 30, 0, X", gravita::avviso, 0,
       "at the route's end"},
      // Items lost under other items, naming both.
      {true, "montagna, 4000, 5000, 1\r\nmontagna, 4500, 5500, 2", gravita::avviso, 0, "inside the tunnel of line"},
      {true, "cartello_indicatore, 200, (X)", gravita::avviso, 0, "sign \"(X)\" at 200 m (cell 5, 250\x96""299 m; km 0+200) is lost: its "
                                                              "cell is taken by the station cell of \"PARTENZA\""},
      {false, "rallentamento, 2950, 30, 200, 0, 0, 0", gravita::avviso, 0,
       "runs over the signal at 3000 m (line 15, cell 61)"},
      {false, "rallentamento, 5950, 30, 1000, 0, 0, 0", gravita::avviso, 0, "runs over the signal at 6300 m"},
      // Keywords inside names and sign texts, read as keyword fields after a comma.
      {false, "stazione, 9000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 30, 0, 0, SEGNALE ALTO", gravita::errore, 25,
       "\"SEGNALE ALTO\", a field too many of the `stazione` record, holds `segnale` and starts that record"},
      {true, "cartello_indicatore, 9000, (F), pendenza, 5, 0", gravita::avviso, 0,
       "\"pendenza\", a field too many of the `cartello_indicatore` record, holds `pendenza`"},
      // Records out of order or in another kind's section, in every section.
      {false, "segnale, 2000, 1, 3, 4, 0, 0, 0, 0,0,0, 0", gravita::avviso, 0, "signals out of order"},
      {false, "segnale, 9000, 1, 3, 4, 0, 0, 0, 0,0,0, 0", gravita::avviso, 0,
       "\"segnale\" stands under \"[codici]\": signals belong under \"[segnali]\""},
      {false, "numero vetture, 3", gravita::avviso, 0, "belong under \"[generale]\""},
      {true, "cartello_indicatore, 7000, (G)", gravita::avviso, 0, "lineside signs out of order"},
      {true, "pendenza, 9000, 1", gravita::avviso, 0, "gradients belong under \"[pendenze]\""},
      {true, "indicatori_vmax, 9000, 80, 85, 85, 0, , , , 0\r\nindicatori_vmax, 8500, 80, 85, 85, 0, , , , 0",
       gravita::avviso, 0, "speed indicator boards out of order"},
      // Unknown kinds and implausible values.
      {true, "montagna, 4000, 4500, 7", gravita::avviso, 0, "tunnel kind 7 is no kind"},
      {false, "stazione, 9000, 99, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 30, 0, X", gravita::avviso, 0,
       "station kind 99"},
      {false, "velocita, 9000, 999", gravita::avviso, 0, "999 km/h is beyond any line"},
      {false, "numero vetture, 500", gravita::avviso, 0, "the train has 500 vehicles"},
      {false, "rallentamento, 8000, 90, 500, 0, 0, 0", gravita::avviso, 0, "more than the limit of 70 km/h"},
      // Inconsistent train data.
      {false, "stazione, 9000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 0, 0, 0, X", gravita::avviso, 0,
       "the train stops here (stop value 50) but the station has no scheduled time"},
      {false, "stazione, 9000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, X", gravita::avviso, 0,
       "the terminus has no scheduled time"},
  };
  const testo_sorgente linea = leggi_fixture("linea.txt");
  const testo_sorgente treno = leggi_fixture("treno.txt");
  ASSERT_TRUE(controlla(linea, treno).empty());
  for (const auto& c : casi) {
    testo_sorgente l = linea, t = treno;
    std::string& testo = c.linea ? l.dati : t.dati;
    const size_t fine = testo.rfind("[fine]");
    ASSERT_NE(fine, std::string::npos);
    // The problem is looked for at the last line added.
    const std::string_view aggiunta = c.riga;
    const int32_t riga = static_cast<int32_t>(std::count(testo.begin(), testo.begin() + fine, '\n') +
                                              std::count(aggiunta.begin(), aggiunta.end(), '\n')) + 1;
    testo.insert(fine, std::string(c.riga) + "\r\n");
    bool trovato = false;
    std::string visti;
    for (const problema& p : controlla(l, t)) {
      const bool qui = p.file == (c.linea ? l.nome : t.nome) && p.riga == riga;
      if (qui && p.livello == c.livello && p.codice.value_or(0) == c.codice &&
          (p.messaggio + " | " + p.suggerimento).find(c.frammento) != std::string::npos)
        trovato = true;
      visti += "\n  " + p.file + ":" + std::to_string(p.riga) + " " + p.messaggio + " | " + p.suggerimento;
    }
    EXPECT_TRUE(trovato) << c.riga << visti;
  }
}

// One text of a clean file changed, against the warning it must produce.
TEST(Controlla, TableOfChangedRecords) {
  static const struct {
    bool linea;
    const char* prima;
    const char* dopo;
    const char* frammento;
  } casi[] = {
      {false, "orologio, 13 59 45", "orologio, 14 10 0", "the clock starts after the first departure (line 11)"},
      {false, "[fine]", "", "no line \"[fine]\""},
      {true, "lunghezza percorso, 10000", "lunghezza percorso, 10", "2 the route length is 10 m: lengths are in metres"},
      {false, "stazione,     0, 11,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  14, 0, 0, PARTENZA", "",
       "the train file has no stations"},
  };
  const testo_sorgente linea = leggi_fixture("linea.txt");
  const testo_sorgente treno = leggi_fixture("treno.txt");
  for (const auto& c : casi) {
    testo_sorgente l = linea, t = treno;
    std::string& testo = c.linea ? l.dati : t.dati;
    const size_t i = testo.find(c.prima);
    ASSERT_NE(i, std::string::npos) << c.prima;
    testo.replace(i, std::string_view(c.prima).size(), c.dopo);
    std::string visti;
    const auto problemi = controlla(l, t);
    for (const problema& p : problemi) visti += "\n  " + std::to_string(p.riga) + " " + p.messaggio;
    EXPECT_NE(visti.find(c.frammento), std::string::npos) << c.dopo << visti;
    if (c.linea) {
      EXPECT_EQ(problemi.at(0).riga, 2) << "the first problem is the route length" << visti;
    }
  }
}

// The route length, given in kilometres or not at all: the first problem is
// the route length itself, and what follows from it is not listed by the dozen.
TEST(Controlla, TheRouteLengthComesFirst) {
  const std::string linea = testo_linea(), treno = testo_treno();
  const size_t i = linea.find("lunghezza percorso");
  const size_t fine = linea.find('\n', i) + 1;
  std::string in_km = linea;
  in_km.replace(i, fine - i, "lunghezza percorso, 128\r\n");
  const auto corta = controlla(testo_sorgente{"l.txt", in_km, ""}, testo_sorgente{"t.txt", treno, ""});
  ASSERT_FALSE(corta.empty());
  EXPECT_EQ(corta[0].riga, 2);
  EXPECT_EQ(corta[0].sigla, "W209");
  EXPECT_LT(corta.size(), 12u) << corta.size() << " problems";
  std::string senza = linea;
  senza.erase(i, fine - i);
  const auto nessuna = controlla(testo_sorgente{"l.txt", senza, ""}, testo_sorgente{"t.txt", treno, ""});
  ASSERT_EQ(nessuna.size(), 1u);
  EXPECT_EQ(nessuna[0].riga, 1);
  EXPECT_NE(nessuna[0].messaggio.find("the line file gives no route length"), std::string::npos);
  EXPECT_EQ(nessuna[0].messaggio.find("curva"), std::string::npos) << nessuna[0].messaggio;
}

// A point without a station cell (a junction) has no platform, so no length.
TEST(Controlla, AJunctionNeedsNoLength) {
  testo_sorgente treno = leggi_fixture("treno.txt");
  const std::string partenza = "1,  14, 0, 0, PARTENZA\r\n";
  treno.dati.insert(treno.dati.find(partenza) + partenza.size(),
                    "stazione,  4000, 25,    0,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO\r\n");
  for (const problema& p : controlla(leggi_fixture("linea.txt"), treno))
    EXPECT_EQ(p.messaggio.find("length"), std::string::npos) << p.riga << " " << p.messaggio;
}

// Either file alone: what it shows on its own.
TEST(Controlla, OneFileAlone) {
  testo_sorgente treno = leggi_fixture("treno.txt");
  treno.dati.insert(treno.dati.rfind("[fine]"), "segnale, 3000, 1, 3, 4, 0, 0, 0, 0,0,0, 0\r\n");
  auto solo_treno = controlla(std::nullopt, treno);
  std::erase_if(solo_treno, [](const problema& p) { return p.livello != gravita::errore; });
  ASSERT_EQ(solo_treno.size(), 1u);
  EXPECT_EQ(solo_treno[0].codice, 16);
  EXPECT_TRUE(controlla(leggi_fixture("linea.txt"), std::nullopt).empty());
  EXPECT_FALSE(controlla(leggi_fixture("sbagli_linea.txt"), std::nullopt).empty());
}

TEST(Controlla, WrongInputs) {
  const testo_sorgente linea = leggi_fixture("linea.txt");
  static const struct {
    const char* caso;
    testo_sorgente treno;
    const char* frammento;
  } casi[] = {
      {"empty", {"t.txt", "", ""}, "the train file is empty"},
      {"line file as train", {"t.txt", test::leggi(fixtures / "linea.txt"), ""}, "looks like a line file"},
      {"no [generale]", {"t.txt", "[generle]\r\nvelocita, 0, 60\r\n[fine]\r\n", ""}, "nothing in it is read"},
  };
  for (const auto& c : casi) {
    std::string tutto;
    for (const problema& p : controlla(linea, c.treno)) tutto += p.messaggio + "\n";
    EXPECT_NE(tutto.find(c.frammento), std::string::npos) << c.caso << ":\n" << tutto;
  }
  // Swapped files: the warnings that say so, and not their consequences.
  const testo_sorgente treno = leggi_fixture("treno.txt");
  const auto scambiati = controlla(testo_sorgente{"t.txt", treno.dati, ""}, testo_sorgente{"l.txt", linea.dati, ""});
  ASSERT_FALSE(scambiati.empty());
  for (const problema& p : scambiati) EXPECT_EQ(p.riga, 0) << p.file << ": " << p.messaggio;
}

// "[fine]" is looked for in the file's last bytes first, then in all of it:
// a closing line far from the end, in any case, counts as well.
TEST(Controlla, TheClosingLineCountsWhereverItStands) {
  const testo_sorgente linea = leggi_fixture("linea.txt");
  const std::string treno = leggi_fixture("treno.txt").dati;
  const std::string senza = treno.substr(0, treno.rfind("[fine]"));
  std::string segnali;
  for (int p = 7000; p < 9000; p += 100) segnali += "segnale, " + std::to_string(p) + ", 2, 3, 1, 0, 0, 0, 0,0,0, 0\r\n";
  static const struct {
    const char* caso;
    bool w241;
  } casi[] = {{"at the end", false}, {"missing", true}, {"early, upper case", false}};
  const std::string testi[] = {treno, senza, "[FINE]\r\n" + senza + segnali};
  for (size_t i = 0; i < std::size(casi); ++i) {
    const auto problemi = controlla(linea, testo_sorgente{"t.txt", testi[i], ""});
    const bool w241 = std::any_of(problemi.begin(), problemi.end(), [](const problema& p) { return p.sigla == "W241"; });
    EXPECT_EQ(w241, casi[i].w241) << casi[i].caso;
  }
}

// A station cell takes its cell: the sign of the line file there is lost,
// and only that one.
TEST(Controlla, ASignUnderAStationCellIsLost) {
  const testo_sorgente linea = leggi_fixture("linea.txt");  // a sign "(F)" at 8000 m, line 18
  static const struct {
    const char* stazione;
    bool persa;
  } casi[] = {
      {"stazione, 7900, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 5, 0, ARRIVO", true},
      {"stazione, 5000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 14, 5, 0, ARRIVO", false},
  };
  for (const auto& c : casi) {
    testo_sorgente treno = leggi_fixture("treno.txt");
    treno.dati.insert(treno.dati.find("[rallentamenti]"), std::string(c.stazione) + "\r\n");
    std::vector<problema> perse = controlla(linea, treno);
    std::erase_if(perse, [](const problema& p) { return p.sigla != "W245"; });
    ASSERT_EQ(perse.size(), c.persa ? 1u : 0u) << c.stazione;
    if (!c.persa) continue;
    EXPECT_EQ(perse[0].file, linea.nome);
    EXPECT_EQ(perse[0].riga, 18);
    EXPECT_NE(perse[0].messaggio.find("this sign \"(F)\" at "), std::string::npos) << perse[0].messaggio;
    EXPECT_NE(perse[0].messaggio.find("station cell of \"ARRIVO\""), std::string::npos) << perse[0].messaggio;
  }
}

TEST(Luogo, NamesThePositionTheCellItStandsInAndTheChainage) {
  const scenario s;  // no chainage reference: the chainage is the position
  EXPECT_EQ(testo_luogo(s, 14000, cella_voce::successiva), "14000 m (cell 281, 14050\u2013""14099 m; km 14+000)");
  EXPECT_EQ(testo_luogo(s, 14000, cella_voce::propria), "14000 m (cell 280, 14000\u2013""14049 m; km 14+000)");
  EXPECT_EQ(testo_luogo(s, 14000, cella_voce::nessuna), "14000 m (km 14+000)");
}

TEST(Vista, SuggestsByEditDistanceAgainstTheFilesOwnKeywords) {
  EXPECT_EQ(suggerisci(tipo_file::treno, "adrenza"), "aderenza");
  EXPECT_EQ(suggerisci(tipo_file::treno, "orologo"), "orologio");
  EXPECT_EQ(suggerisci(tipo_file::linea, "pendneza"), "pendenza");
  EXPECT_EQ(suggerisci(tipo_file::linea, "stazoine"), "");  // a train keyword, not a line one
  EXPECT_EQ(suggerisci(tipo_file::treno, "qualcosa"), "");
  EXPECT_EQ(distanza("ab", "BA"), 1u);
}

}  // namespace
}  // namespace tracciato
