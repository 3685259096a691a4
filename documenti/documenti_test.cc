// The author's documents: made from the built-in scenario's own files they
// match the built-in card's sheet for the train and the built-in order, but
// for the cells named below; times and kilometres of a small fixture against
// values worked out by hand; the header options; the box of every line.
#include "documenti/documenti.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "loader/memorizza_dati.h"
#include "sources/dati.h"
#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

const std::filesystem::path fixtures = TRACCIATO_FIXTURES;

// The lines of a text whose every line ends in CR LF (a lone CR or LF fails).
std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  size_t i = 0;
  for (size_t j; (j = testo.find("\r\n", i)) != std::string::npos; i = j + 2) {
    r.push_back(testo.substr(i, j - i));
    EXPECT_EQ(r.back().find_first_of("\r\n"), std::string::npos) << "line " << r.size();
  }
  EXPECT_EQ(i, testo.size()) << "bytes after the last line end";
  return r;
}

documenti_autore componi(const std::string& linea, const std::string& treno, const opzioni_documenti& o) {
  scenario s;
  s.nome_scenario = "Prova";
  s.numero_treno = o.numero_treno;
  memorizza_dati(s, {"linea", linea, ""}, {"treno", treno, ""});
  EXPECT_EQ(s.codice_errore, 0);
  return componi_documenti(s, treno, o);
}

opzioni_documenti come_incorporati() {
  opzioni_documenti o;
  o.numero_treno = "4715";
  o.regione = "ALTAVENNA";
  o.valido_dal = "14.12.2003";
  o.categoria = "R";
  o.composizione = "VS130 C";
  o.veicolo = "ALn 663";
  return o;
}

documenti_autore prova(const opzioni_documenti& o = {}) {
  return componi(test::leggi(fixtures / "documenti" / "Prova_linea.txt"),
                 test::leggi(fixtures / "documenti" / "Prova_7-.txt"), o);
}

// The place of the bars of a line: its box.
std::vector<size_t> sbarre(const std::string& r) {
  std::vector<size_t> v;
  for (size_t i = 0; i < r.size(); ++i)
    if (r[i] == '|') v.push_back(i);
  return v;
}

// A point row: the cells 5, 5, 10 + 22, 15, 3, 6 and 19 wide.
const std::vector<size_t> sbarre_punto = {2, 8, 14, 25, 48, 64, 68, 75, 95};

// The built-in card's sheet for the train: lines 25 to 76.
std::vector<std::string> foglio_incorporato() {
  const auto tutte = righe(testo_scheda());
  return {tutte.begin() + 25, tutte.begin() + 77};
}

// Every line of a card: the header and heading boxed as the built-in sheet's,
// every later line a point row (or the closing ruler), bytes printable
// Windows-1252.
void verifica_scheda(const std::string& testo) {
  const auto r = righe(testo);
  const auto modello = foglio_incorporato();
  ASSERT_GE(r.size(), 18u);
  for (size_t i = 0; i < 17; ++i) {
    EXPECT_EQ(r[i].size(), modello[i].size()) << "line " << i + 1;
    EXPECT_EQ(sbarre(r[i]), sbarre(modello[i])) << "line " << i + 1;
  }
  for (size_t i = 17; i < r.size(); ++i) {
    EXPECT_EQ(r[i].size(), 96u) << "line " << i + 1;
    const std::vector<size_t> righello = {2, 8, 14, 48, 64, 68, 75, 95};
    EXPECT_EQ(sbarre(r[i]), i + 1 == r.size() ? righello : sbarre_punto)
        << "line " << i + 1 << ": " << r[i];
  }
  EXPECT_EQ(r.back(), modello.back());
  for (const auto& x : r)
    for (unsigned char c : x) EXPECT_TRUE(c >= 0x20 && c != 0x7f) << x;
}

void verifica_ordine(const std::string& testo, size_t pagine) {
  const auto r = righe(testo);
  const auto modello = righe(testo_rallentamenti());
  ASSERT_EQ(r.size(), 39 * pagine + 7);
  for (size_t i = 0; i < r.size(); ++i) {
    const size_t m = i >= 39 * pagine ? i - 39 * (pagine - 1) : i % 39;
    if (m == 4 || m == 6) continue;  // the line's name, the train number
    if (m >= 12 && m < 38) {
      EXPECT_EQ(r[i].size(), 82u) << "line " << i + 1;
      EXPECT_EQ(sbarre(r[i]), sbarre(modello[m])) << "line " << i + 1;
    } else {
      EXPECT_EQ(r[i], modello[m]) << "line " << i + 1;
    }
  }
}

TEST(DocumentiDelTreno, BuiltInFilesGiveTheBuiltInSheetButForThreeHeaderCells) {
  const auto r = righe(componi(testo_linea(), testo_treno(), come_incorporati()).scheda);
  auto atteso = foglio_incorporato();
  // One sheet of one, for the whole run (the built-in card's second sheet
  // starts where the driver takes over, and names the vehicles' series).
  atteso[4].replace(atteso[4].find("2/2"), 3, "1/1");
  atteso[6].replace(atteso[6].find("PRAVELLO     "), 13, "VESSOLANTA C.");
  atteso[11].replace(atteso[11].find("1001-1180"), 9, "         ");
  for (size_t i = 0; i < 17; ++i) EXPECT_EQ(r[i], atteso[i]) << "line " << i + 1;
  EXPECT_EQ(r.back(), atteso.back());
}

// Every station row of the built-in sheet has its row, with the same
// kilometre, name and dots, and the same times but for three passing times
// that the built-in card sets by hand (one left blank). The recovery, right-
// track speed, symbol and track-diagram cells are the built-in card's own
// and stay blank ("/" for the right-track speed) on the author's card.
TEST(DocumentiDelTreno, BuiltInFilesGiveTheBuiltInStationsKilometresAndTimes) {
  const auto r = righe(componi(testo_linea(), testo_treno(), come_incorporati()).scheda);
  const std::map<std::string, std::string> a_mano = {
      {"Tralbesa", "     14.39     "}, {"GAVINELLA", "     15.46     "}, {"CERVASCA", "     15.52     "}};
  int confrontate = 0;
  for (const std::string& b : foglio_incorporato()) {
    if (b.size() < 65 || !b.starts_with("  |") || b[15] < '0' || b[15] > '9') continue;
    const std::string luogo = b.substr(26, 22);
    const auto g = std::find_if(r.begin(), r.end(),
                                [&](const std::string& x) { return x.size() > 48 && x.substr(26, 22) == luogo; });
    ASSERT_NE(g, r.end()) << luogo;
    EXPECT_EQ(g->substr(15, 7), b.substr(15, 7)) << luogo;
    std::string nome = luogo.substr(3);
    nome = nome.substr(0, nome.find_last_not_of(". ") + 1);
    const auto m = a_mano.find(nome);
    EXPECT_EQ(g->substr(49, 15), m == a_mano.end() ? b.substr(49, 15) : m->second) << luogo;
    EXPECT_EQ(g->substr(64), "|   |  /   |                   |") << luogo;
    ++confrontate;
  }
  EXPECT_EQ(confrontate, 22);  // PRAVELLO to ORMELA C.LE
}

// Every kilometre-stone row of the built-in sheet stands on the author's card
// as it is. The built-in card puts four more changes on the row of a station
// 300 to 1200 m away; the author's card puts a change on a station's row only
// within the station's extent, and these on rows of their own.
TEST(DocumentiDelTreno, BuiltInFilesGiveTheBuiltInSpeedChanges) {
  const auto r = righe(componi(testo_linea(), testo_treno(), come_incorporati()).scheda);
  const std::set<std::string> generate(r.begin(), r.end());
  int cippi = 0;
  for (const std::string& b : foglio_incorporato())
    if (b.find("Cippo") != std::string::npos) {
      EXPECT_TRUE(generate.count(b)) << b;
      ++cippi;
    }
  EXPECT_EQ(cippi, 12);
  for (const char* riga : {
           "  | 100 | 100 |          |  Cippo Km.120,200    |               |   |  /   |                   |",
           "  |  70 |  70 |          |  Cippo Km.141,700    |               |   |  /   |                   |",
           "  |  80 |  80 |          |  Cippo Km.149,200    |               |   |  /   |                   |",
           "  |  95 |  95 |          |  Cippo Km.180,000    |               |   |  /   |                   |",
           "  | 115 | 115 |202.900   |   CASTELNERO.........| 15.32   15.33 |   |  /   |                   |",
           "  | 120 | 120 |219.300   |   GAVINELLA          |     15.46     |   |  /   |                   |",
           "  |  90 |  90 |230.700   |   CERVASCA           |     15.52     |   |  /   |                   |",
       })
    EXPECT_TRUE(generate.count(riga)) << riga;
  verifica_scheda(componi(testo_linea(), testo_treno(), come_incorporati()).scheda);
}

// The built-in order but for the line's name: the train file calls the
// origin "VESSOLANTA C.", the built-in form "VESSOLANTA C.LE".
TEST(DocumentiDelTreno, BuiltInFilesGiveTheBuiltInOrderButForTheLineName) {
  const auto d = componi(testo_linea(), testo_treno(), come_incorporati());
  auto atteso = righe(testo_rallentamenti());
  atteso[4] = "  Linea  VESSOLANTA C.-ORMELA C.LE";
  EXPECT_EQ(righe(d.rallentamenti), atteso);
  EXPECT_TRUE(d.avvisi.empty());
}

// The fixture: 90 km/h (25 m/s) from ALBA to CORTE, 0.5 m/s² each way, so
// the fastest run takes 50 s and 625 m to start and as much to stop, and
// BRENO lies half way in time. Scheduled: ALBA 10:00:00 to CORTE 10:08:00
// (10:10:00 less a dwell of 120 s), 480 s; BRENO at 240 s, 10:04. DOSSO's
// 10:12:00 less 60 s leaves 60 s for 4000 m: no train can, and a warning
// says so. Chainage 50 km at 0 and 70 km from 10000 m.
TEST(DocumentiDelTreno, FixtureTimesAndKilometresAsWorkedOutByHand) {
  opzioni_documenti o;
  o.numero_treno = "7";
  const documenti_autore d = prova(o);
  const auto r = righe(d.scheda);
  const std::vector<std::string> attese = {
      "  |  90 |  90 |50.000    |   ALBA...............|         10.00 |   |  /   |                   |",
      "  |     |     |54.000    |   BRENO              |     10.04     |   |  /   |                   |",
      "  |     |     |58.000    |   CORTE..............| 10.08   10.10 |   |  /   |                   |",
      "  |  60 |  60 |          |  Cippo Km.70,000     |               |   |  /   |                   |",
      "  |  90 |  90 |72.000    |   DOSSO..............| 10.11   10.12 |   |  /   |                   |",
      "  |     |     |76.000    |   ERBA...............| 10.20         |   |  /   |                   |",
  };
  EXPECT_EQ(std::vector<std::string>(r.begin() + 17, r.end() - 1), attese);
  EXPECT_EQ(r[5], " |___________________|    |___________________|                         |          95%          |");
  EXPECT_EQ(r[6].substr(47, 25), "    Da: ALBA             ");
  ASSERT_EQ(d.avvisi.size(), 1u);
  EXPECT_NE(d.avvisi[0].find("from \"CORTE\" to \"DOSSO\""), std::string::npos) << d.avvisi[0];
  verifica_scheda(d.scheda);

  // The slowdowns in running order (the file gives them the other way).
  const auto ordine = righe(d.rallentamenti);
  EXPECT_EQ(ordine[4], "  Linea  ALBA-ERBA");
  EXPECT_EQ(ordine[6], "  Si ordina al macchinista del treno 7 di effettuare i seguenti rallentamenti");
  EXPECT_EQ(ordine[12], " | 1 |         DOSSO-ERBA         |   73,000   |    30    |   500   |            |");
  EXPECT_EQ(ordine[13], " | 2 |            ERBA            |   75,700   |    30    |   200   |            |");
  verifica_ordine(d.rallentamenti, 1);
}

// The example of the tutorial: every line of both documents in its box.
TEST(DocumentiDelTreno, ExampleDocumentsKeepTheirBoxes) {
  const std::filesystem::path esempi = std::filesystem::path(TRACCIATO_SOURCE_DIR) / "examples";
  opzioni_documenti o = come_incorporati();
  o.numero_treno = "2231";
  const documenti_autore d =
      componi(test::leggi(esempi / "Valmarena_linea.txt"), test::leggi(esempi / "Valmarena_2231-.txt"), o);
  verifica_scheda(d.scheda);
  verifica_ordine(d.rallentamenti, 1);
  EXPECT_EQ(righe(d.rallentamenti)[12],
            " | 1 | PASSO LAVINO-Dev. Rivasecca|   31,800   |    60    |   500   |            |");
  EXPECT_TRUE(d.avvisi.empty()) << d.avvisi.front();
}

// The same run four hours and four minutes earlier crosses midnight: a time
// earlier than the one before it is the next day's.
TEST(DocumentiDelTreno, TimesPastMidnight) {
  std::string treno = test::leggi(fixtures / "documenti" / "Prova_7-.txt");
  for (const auto& [da, a] : {std::pair{"  10, 0, 0, ALBA", "  23,56, 0, ALBA"}, {"  10,10, 0, CORTE", "   0, 6, 0, CORTE"},
                              {"  10,12, 0, DOSSO", "   0, 8, 0, DOSSO"}, {"  10,20, 0, ERBA", "   0,16, 0, ERBA"}})
    treno.replace(treno.find(da), std::string(da).size(), a);
  opzioni_documenti o;
  o.numero_treno = "7";
  const auto r = righe(componi(test::leggi(fixtures / "documenti" / "Prova_linea.txt"), treno, o).scheda);
  std::vector<std::string> orari;
  for (size_t i = 17; i + 1 < r.size(); ++i) orari.push_back(r[i].substr(49, 15));
  EXPECT_EQ(orari, (std::vector<std::string>{"         23.56 ", "     00.00     ", " 00.04   00.06 ",
                                             "               ", " 00.07   00.08 ", " 00.16         "}));
}

TEST(DocumentiDelTreno, HeaderOptionsFillTheirCellsAndTooLongOnesAreCut) {
  static const struct {
    std::string opzioni_documenti::*campo;
    std::string valore;
    size_t riga, colonna, larghezza;
    std::string cella;
    bool avviso;
  } casi[] = {
      {&opzioni_documenti::regione, "ALTAVENNA", 4, 2, 19, "     ALTAVENNA     ", false},
      {&opzioni_documenti::numero_treno, "12345", 4, 27, 19, "       12345       ", false},
      {&opzioni_documenti::composizione, "VS130 C", 4, 73, 23, "        VS130 C        ", false},
      {&opzioni_documenti::valido_dal, "14.12.2003", 7, 2, 19, " Dal: 14.12.2003   ", false},
      {&opzioni_documenti::categoria, "R", 11, 2, 22, "           R          ", false},
      {&opzioni_documenti::veicolo, "ALn 663", 10, 73, 17, "     ALn 663     ", false},
      {&opzioni_documenti::regione, "", 4, 2, 19, "                   ", false},
      {&opzioni_documenti::regione, "VALLE DELLE SETTE FONTI", 4, 2, 19, "VALLE DELLE SETTE F", true},
      {&opzioni_documenti::veicolo, "Automotrice ALn 668", 10, 73, 17, "Automotrice ALn 6", true},
  };
  for (const auto& c : casi) {
    opzioni_documenti o;
    o.numero_treno = "7";
    o.*c.campo = c.valore;
    const documenti_autore d = prova(o);
    const auto r = righe(d.scheda);
    EXPECT_EQ(r[c.riga].substr(c.colonna, c.larghezza), c.cella) << c.valore;
    EXPECT_EQ(d.avvisi.size(), c.avviso ? 2u : 1u) << c.valore;
    verifica_scheda(d.scheda);
  }
  // "Massa Bloccata": the vehicles, then the vehicle type's first word.
  opzioni_documenti o;
  o.veicolo = "ALn 663";
  EXPECT_EQ(righe(prova(o).scheda)[11].substr(25, 21), "         2ALn        ");
}

TEST(DocumentiDelTreno, ValidityDates) {
  EXPECT_EQ(data_validita("2003-12-14"), "14.12.2003");
  EXPECT_EQ(data_validita("14.12.2003"), "14.12.2003");
  EXPECT_EQ(data_validita("2004-02-29"), "29.02.2004");
  for (const char* no : {"2003-02-29", "31.04.2003", "14/12/2003", "2003-12-14x", "", "1900-02-29"})
    EXPECT_THROW(data_validita(no), std::invalid_argument) << no;
}

// A long name is cut at its cell, never past its bar; 30 slowdowns take a
// second page of the order, the last four rows of it filled.
TEST(DocumentiDelTreno, LongNamesAreCutAndManySlowdownsTakeMorePages) {
  std::string treno = test::leggi(fixtures / "documenti" / "Prova_7-.txt");
  const std::string nome = "ALBA SUPERIORE DI SOTTO IN VALLE";
  treno.replace(treno.find("ALBA"), 4, nome);
  std::string molti;
  for (int i = 0; i < 30; ++i) molti += "rallentamento,   " + std::to_string(2000 + i * 50) + ",   60,   50,   0,   0,   0\r\n";
  treno.replace(treno.find("[rallentamenti]\r\n") + 17, 0, molti);
  opzioni_documenti o;
  o.numero_treno = "7";
  // The model from the fixture as it is (30 slowdowns so close would not
  // place), the records from the text with them.
  scenario s;
  s.nome_scenario = "Prova";
  memorizza_dati(s, {"linea", test::leggi(fixtures / "documenti" / "Prova_linea.txt"), ""},
                 {"treno", test::leggi(fixtures / "documenti" / "Prova_7-.txt"), ""});
  const documenti_autore d = componi_documenti(s, treno, o);
  verifica_scheda(d.scheda);
  verifica_ordine(d.rallentamenti, 2);
  const auto r = righe(d.scheda);
  EXPECT_EQ(r[17].substr(26, 22), "   ALBA SUPERIORE DI S");
  const auto ordine = righe(d.rallentamenti);
  EXPECT_EQ(ordine[39 + 12 + 5].substr(0, 6), " | 32|");
  EXPECT_EQ(ordine[39 + 12 + 6], ordine[39 + 12 + 7]);  // empty rows after the last
  int tagli = 0;
  for (const auto& a : d.avvisi) tagli += a.find(" characters long and its cell holds ") != std::string::npos;
  EXPECT_EQ(tagli, 32);  // the card's first station and its row, the 30 slowdowns before BRENO
}

}  // namespace
}  // namespace tracciato
