// The three documents for the driver (notes, slowdown order, timetable card):
// their lines, fixed texts, widths and bytes as they stand in the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "tests/documenti_prova.h"
#include "sources/scrivi_righe.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

using namespace test;

std::string sottolineato(size_t n) { return std::string(n, '_'); }
std::string bianchi(size_t n) { return std::string(n, ' '); }

// --- every document --------------------------------------------------------

TEST(Documenti, LineCountsAndNoEndOfTableLine) {
  static const struct {
    doc d;
    size_t righe;
  } casi[] = {{doc::note, 23}, {doc::rallentamenti, 46}, {doc::scheda, 77}};
  for (const auto& c : casi) {
    const auto& righe = righe_di(c.d);
    EXPECT_EQ(righe.size(), c.righe) << di(c.d).suffisso;
    for (const auto& r : righe) EXPECT_NE(r, fine_tabella) << di(c.d).suffisso;
  }
}

// Only the degree sign and the five accented small letters stand outside
// ASCII, each as its single Windows-1252 byte; no tab, no control byte, no
// UTF-8 sequence. The slowdown order is plain ASCII.
TEST(Documenti, BytesAreWindows1252) {
  const std::string ammessi = "\xB0\xE0\xE8\xEC\xF2\xF9";
  for (doc d : {doc::note, doc::rallentamenti, doc::scheda})
    for (const auto& r : righe_di(d))
      for (unsigned char c : r)
        EXPECT_TRUE((c >= 0x20 && c < 0x7F) ||
                    (d != doc::rallentamenti && ammessi.find(static_cast<char>(c)) != std::string::npos))
            << di(d).suffisso << ": byte 0x" << std::hex << int(c) << " in " << r;
  std::string note;
  for (const auto& r : righe_di(doc::note)) note += r;
  for (char c : std::string("\xE0\xE8\xEC\xF2\xF9"))
    EXPECT_NE(note.find(c), std::string::npos) << "accented letter 0x" << std::hex << (int(c) & 0xFF);
}

TEST(Documenti, AnotherTrainNumberChangesOnlyTheFileName) {
  for (doc d : {doc::note, doc::rallentamenti, doc::scheda})
    EXPECT_EQ(scrivi_e_leggi(d, "9999"), righe_di(d)) << di(d).suffisso;
}

// --- the lines -------------------------------------------------------------

struct riga_fissa {
  doc d;
  size_t indice;  // from 0
  std::string testo;
};

TEST(Documenti, FixedLines) {
  const std::string vuota_r = " |   |                            |            |          |         |            |";
  const std::string righello_r = " |___|____________________________|____________|__________|_________|____________|";
  const std::string intestazione_1 =
      "  " + sottolineato(19) + bianchi(6) + sottolineato(19) + bianchi(27) + sottolineato(23);
  const std::string intestazione_2 =
      " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |";
  const std::string intestazione_7 =
      " |___________________|    |___________________|" + bianchi(26) + sottolineato(23);
  const std::string intestazione_8 =
      "  " + sottolineato(22) + " " + sottolineato(21) + bianchi(26) + "| Int. alla Sigla |     |";
  const std::string intestazione_11 =
      " |______________________|_____________________|                         |_________________|_____|";
  const std::string titoli[] = {
      "   " + sottolineato(92),
      "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ",
      "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|",
      "  |_____|_____|_________________________________|_______________|___|______|___|___________|___|",
  };
  const std::string chiusura =
      "  |_____|_____|_________________________________|_______________|___|______|___________________|";

  const riga_fissa casi[] = {
      {doc::rallentamenti, 0, ""},
      {doc::rallentamenti, 1, bianchi(31) + "Modulo M. 3"},
      {doc::rallentamenti, 2, bianchi(27) + "ORDINE DI RALLENTAMENTO"},
      {doc::rallentamenti, 3, " " + sottolineato(80)},
      {doc::rallentamenti, 4, "  Linea  VESSOLANTA C.LE-ORMELA C.LE"},
      {doc::rallentamenti, 5, ""},
      {doc::rallentamenti, 6, "  Si ordina al macchinista del treno 4715 di effettuare i seguenti rallentamenti"},
      {doc::rallentamenti, 7, "  " + sottolineato(79)},
      {doc::rallentamenti, 8, " |   |                            |Inizio dopo |          |         |            |"},
      {doc::rallentamenti, 9, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {doc::rallentamenti, 10, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {doc::rallentamenti, 11, righello_r},
      {doc::rallentamenti, 12, vuota_r},
      {doc::rallentamenti, 37, vuota_r},
      {doc::rallentamenti, 38, righello_r},
      {doc::rallentamenti, 39, ""},
      {doc::rallentamenti, 40, bianchi(14) + "Prescrizioni specifiche"},
      {doc::rallentamenti, 41, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
      {doc::rallentamenti, 42, " B - Interessa anche la stazione di......."},
      {doc::rallentamenti, 43, " D - Rallentamneto N. ... e N. ...  sono contigui"},
      {doc::rallentamenti, 44, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
      {doc::rallentamenti, 45, "     i giorni esclusi i seguenti:........."},

      {doc::note, 1, "Linea Vessolanta C.le-Ormela C.le"},
      {doc::note, 2, ""},
      {doc::note, 10, ""},
      {doc::note, 11, "Treno Simulato:"},
      {doc::note, 19, " "},

      {doc::scheda, 0, ""},
      {doc::scheda, 1, ""},
      {doc::scheda, 2, intestazione_1},
      {doc::scheda, 3, intestazione_2},
      {doc::scheda, 8, intestazione_7},
      {doc::scheda, 9, intestazione_8},
      {doc::scheda, 12, intestazione_11},
      {doc::scheda, 13, ""},
      {doc::scheda, 14, titoli[0]},
      {doc::scheda, 15, titoli[1]},
      {doc::scheda, 16, titoli[2]},
      {doc::scheda, 17, titoli[3]},
      {doc::scheda, 20, chiusura},
      {doc::scheda, 21, ""},
      {doc::scheda, 24, std::string(81, '.')},
      {doc::scheda, 25, ""},
      {doc::scheda, 26, ""},
      {doc::scheda, 27, intestazione_1},
      {doc::scheda, 28, intestazione_2},
      {doc::scheda, 33, intestazione_7},
      {doc::scheda, 34, intestazione_8},
      {doc::scheda, 37, intestazione_11},
      {doc::scheda, 38, titoli[0]},
      {doc::scheda, 39, titoli[1]},
      {doc::scheda, 40, titoli[2]},
      {doc::scheda, 41, titoli[3]},
      {doc::scheda, 76, chiusura},
  };
  for (const auto& c : casi) {
    const auto& righe = righe_di(c.d);
    ASSERT_LT(c.indice, righe.size()) << di(c.d).suffisso;
    EXPECT_EQ(righe[c.indice], c.testo) << di(c.d).suffisso << ", line " << c.indice;
  }
  const auto& r = righe_di(doc::rallentamenti);
  for (size_t i = 12; i <= 37; ++i) EXPECT_EQ(r[i], vuota_r) << "order line " << i;
}

// Lines that begin with a fixed text and go on with the scenario's values.
TEST(Documenti, FixedBeginningsAndEndings) {
  static const struct {
    doc d;
    size_t indice;
    std::string_view inizio;
    std::string_view fine;
  } casi[] = {
      {doc::note, 0, "        Regione ", ""},
      {doc::note, 5, "La linea ", ""},
      {doc::note, 6, "La linea ", ""},
      {doc::note, 7, "La linea ", ""},
      {doc::note, 8, "La linea ", "  "},
      {doc::note, 18, "", " "},
      {doc::scheda, 4, " |", "|"},
      {doc::scheda, 5, " |___________________|    |___________________|                         |", "%         |"},
      {doc::scheda, 6, " | Validit\xE0          |    | Termine Scheda    |    Da: ", "|_______________________|"},
      {doc::scheda, 7, " | Dal: ", ""},
      {doc::scheda, 10, " | Classificazione      | Massa Bloccata      |                         |", "| "},
      {doc::scheda, 11, " |", "|     | "},
      {doc::scheda, 22, " ", ""},
      {doc::scheda, 23, "(*) ", ""},
      {doc::scheda, 29, " |", "|"},
      {doc::scheda, 30, " |___________________|    |___________________|                         |", "%         |"},
      {doc::scheda, 31, " | Validit\xE0          |    | Termine Scheda    |    Da: ", "|_______________________|"},
      {doc::scheda, 32, " | Dal: ", ""},
      {doc::scheda, 35, " | Classificazione      | Massa Bloccata      |                         |", "| "},
      {doc::scheda, 36, " |", "|     | "},
  };
  for (const auto& c : casi) ASSERT_LT(c.indice, righe_di(c.d).size()) << di(c.d).suffisso;
  for (const auto& c : casi) {
    const std::string& riga = righe_di(c.d)[c.indice];
    EXPECT_TRUE(riga.starts_with(c.inizio)) << di(c.d).suffisso << ", line " << c.indice << ": " << riga;
    EXPECT_TRUE(riga.ends_with(c.fine)) << di(c.d).suffisso << ", line " << c.indice << ": " << riga;
  }
  // The simulated train: category letter, number, relation, full stop.
  EXPECT_TRUE(std::regex_match(righe_di(doc::note)[12], std::regex("[A-Z]+ 4715 [^ ].*-.*[^ ]\\.")))
      << righe_di(doc::note)[12];
  EXPECT_NE(righe_di(doc::scheda)[4].find("Scheda n\xB0 2/3"), std::string::npos);
  EXPECT_NE(righe_di(doc::scheda)[29].find("Scheda n\xB0 2/2"), std::string::npos);
  EXPECT_NE(righe_di(doc::scheda)[29].find(" 4715 "), std::string::npos);
}

// Widths count bytes in the file: one byte for the degree sign or an
// accented letter, which take two in the UTF-8 source.
TEST(Documenti, Widths) {
  static const struct {
    doc d;
    size_t prima, ultima;  // lines, from 0
    size_t minima, massima;
  } casi[] = {
      {doc::rallentamenti, 8, 38, 82, 82},
      {doc::note, 3, 3, 722, 722},
      {doc::note, 4, 4, 370, 370},
      {doc::note, 0, 22, 0, 722},
      {doc::scheda, 2, 6, 95, 98},
      {doc::scheda, 7, 7, 73, 79},
      {doc::scheda, 8, 12, 95, 98},
      {doc::scheda, 14, 20, 95, 98},
      {doc::scheda, 22, 23, 1, 98},
      {doc::scheda, 27, 31, 95, 98},
      {doc::scheda, 32, 32, 73, 79},
      {doc::scheda, 33, 76, 95, 98},
  };
  for (const auto& c : casi) {
    const auto& righe = righe_di(c.d);
    ASSERT_LT(c.ultima, righe.size());
    for (size_t i = c.prima; i <= c.ultima; ++i) {
      EXPECT_GE(righe[i].size(), c.minima) << di(c.d).suffisso << ", line " << i << ": " << righe[i];
      EXPECT_LE(righe[i].size(), c.massima) << di(c.d).suffisso << ", line " << i << ": " << righe[i];
    }
  }
}

// --- one scenario -------------------------------------------------------------

// "VESSOLANTA C." as "Vessolanta C.", "ORMELA C.LE" as "Ormela C.le".
std::string in_lettere_miste(const std::string& nome) {
  std::string misto = nome;
  for (size_t i = 0; i < misto.size(); ++i)
    misto[i] = static_cast<char>((i == 0 || misto[i - 1] == ' ')
                                     ? std::toupper(static_cast<unsigned char>(misto[i]))
                                     : std::tolower(static_cast<unsigned char>(misto[i])));
  return misto;
}

// The notes tell the line of the line file and the run of the train file:
// length, steepest gradients, number of tunnels, and the simulated train's
// relation and times from the takeover station to the terminus.
TEST(Documenti, NotesTellTheBuiltInLineAndRun) {
  int lunghezza = 0, salita = 0, discesa = 0, gallerie = 0;
  for (const auto& riga : righe_sorgente(dati_linea)) {
    const auto c = campi(riga);
    if (c[0] == "lunghezza percorso") lunghezza = std::stoi(c[1]);
    if (c[0] == "pendenza") {
      salita = std::max(salita, std::stoi(c[2]));
      discesa = std::min(discesa, std::stoi(c[2]));
    }
    if (c[0] == "montagna") ++gallerie;
  }
  const auto& note = righe_di(doc::note);
  ASSERT_EQ(note.size(), 23u);
  const std::string& percorso = note[3];
  for (const std::string& fatto : {"lunga " + std::to_string(lunghezza / 1000) + " km",
                                   "fino al " + std::to_string(salita) + " per mille",
                                   "fino al " + std::to_string(-discesa) + " per mille",
                                   "gallerie sono " + std::to_string(gallerie)})
    EXPECT_NE(percorso.find(fatto), std::string::npos) << fatto;

  const auto& stazioni = treno().stazioni;
  const stazione_treno& presa = stazioni[1];
  const stazione_treno& capolinea = stazioni.back();
  EXPECT_TRUE(note[12].ends_with(" 4715 " + in_lettere_miste(presa.nome) + "-" + in_lettere_miste(capolinea.nome) + "."))
      << note[12];
  for (const std::string& tappa : {in_lettere_miste(presa.nome) + " (p. " + ora(presa.minuti) + ")",
                                   in_lettere_miste(capolinea.nome) + " (a. " + ora(capolinea.minuti) + ")"})
    EXPECT_NE(note[13].find(tappa), std::string::npos) << tappa;
  EXPECT_NE(note[14].find(in_lettere_miste(presa.nome)), std::string::npos);
  EXPECT_NE(note[15].find(in_lettere_miste(presa.nome)), std::string::npos);
}

// --- a complete run ------------------------------------------------------------

// The line and train files are read back and deleted; the three documents
// stay beside the three binary files, as the writers made them.
TEST(Documenti, CompleteRunLeavesTheDocumentsAndTheBinaries) {
  cartella_temporanea lavoro;
  const auto cartella = lavoro / "programma";
  std::filesystem::create_directory(cartella);
  const esito_processo esito = esegui_tracciato({"--dir", cartella.string()}, lavoro.percorso());
  EXPECT_EQ(esito.stato, 0) << esito.uscita << esito.errori;

  std::vector<std::string> nomi;
  for (const auto& voce : std::filesystem::directory_iterator(cartella)) nomi.push_back(voce.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  const std::vector<std::string> attesi = {
      "VessolantaC_OrmelaC_4715.dat",          "VessolantaC_OrmelaC_4715.sim",
      "VessolantaC_OrmelaC_4715_note.txt",     "VessolantaC_OrmelaC_4715_rallentamenti.txt",
      "VessolantaC_OrmelaC_4715_scheda_treno.txt", "VessolantaC_OrmelaC_linea.dat",
  };
  EXPECT_EQ(nomi, attesi);
  for (doc d : {doc::note, doc::rallentamenti, doc::scheda}) {
    const auto nome = cartella / (std::string("VessolantaC_OrmelaC_4715") + di(d).suffisso);
    if (std::filesystem::exists(nome)) {
      EXPECT_EQ(righe_file(nome), righe_di(d)) << di(d).suffisso;
    }
  }
}

}  // namespace
}  // namespace tracciato
