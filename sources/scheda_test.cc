// The timetable card's point rows: their columns, and the run they tell,
// which must be the train file's (stations, times, speed limits, distances).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "tests/documenti_prova.h"

namespace tracciato {
namespace {

using namespace test;

// --- the card's point rows -----------------------------------------------------

// A point row cut into its cells; km is the kilometre sub-cell, luogo the
// location sub-cell (8 and 24 wide on the first sheet, 10 and 22 on the second).
struct riga_punto {
  std::string vel, vel2, km, luogo, orario, rec, bin_dx, simboli;
};

riga_punto dividi(const std::string& r, size_t larghezza_km) {
  return {r.substr(3, 5),  r.substr(9, 5),   r.substr(15, larghezza_km), r.substr(16 + larghezza_km, 32 - larghezza_km),
          r.substr(49, 15), r.substr(65, 3), r.substr(69, 6),           r.substr(76, 19)};
}

struct foglio {
  size_t prima, ultima;  // the point rows, lines from 0
  size_t larghezza_km;
};
constexpr foglio primo_foglio{18, 19, 8};     // origin and takeover station
constexpr foglio secondo_foglio{42, 75, 10};  // 34 points to the terminus

TEST(Scheda, PointRowsKeepTheirColumns) {
  const std::regex velocita("     | {1,2}[0-9]{2,3} ");
  const std::regex km("[0-9]{3}\\.[0-9]{3} | {8}");
  const std::regex orario(" {15}| [0-9]{2}\\.[0-9]{2}   [0-9]{2}\\.[0-9]{2} | {5}[0-9]{2}\\.[0-9]{2} {5}| [0-9]{2}\\.[0-9]{2} {9}");
  const std::regex rec("   |[0-9]\\.[0-9]");
  const std::regex bin_dx("  /   | {1,2}[0-9]{2,3}  ");
  const std::regex simboli(" *| {9}[0-9] {9}");
  const auto& righe = righe_di(doc::scheda);
  ASSERT_GT(righe.size(), secondo_foglio.ultima + 1);
  for (const foglio& f : {primo_foglio, secondo_foglio}) {
    // The heading's ruler stands just before the first row, the closing
    // ruler just after the last.
    EXPECT_TRUE(righe[f.prima - 1].ends_with("|___|___________|___|"));
    EXPECT_TRUE(righe[f.ultima + 1].ends_with("|___|______|___________________|"));
    for (size_t i = f.prima; i <= f.ultima; ++i) {
      const std::string& r = righe[i];
      SCOPED_TRACE("card line " + std::to_string(i) + ": " + r);
      ASSERT_TRUE(r.size() == 96 || (r.size() == 97 && r.back() == ' '));
      for (size_t barra : {2, 8, 14, 48, 64, 68, 75, 95}) EXPECT_EQ(r[barra], '|') << barra;
      EXPECT_EQ(r[15 + f.larghezza_km], '|');
      const riga_punto p = dividi(r, f.larghezza_km);
      EXPECT_TRUE(std::regex_match(p.vel, velocita));
      EXPECT_EQ(p.vel2, p.vel);
      // Positions 9 and 10 of the second sheet's kilometre sub-cell may
      // draw the junction with the double-track line.
      const std::string km_testo = p.km.substr(0, 8);
      if (f.larghezza_km == 10) {
        EXPECT_EQ(p.km.substr(8).find_first_not_of(" |\\/"), std::string::npos);
      }
      EXPECT_TRUE(std::regex_match(km_testo, km));
      EXPECT_TRUE(std::regex_match(p.orario, orario));
      EXPECT_TRUE(std::regex_match(p.rec, rec));
      EXPECT_TRUE(std::regex_match(p.bin_dx, bin_dx));
      EXPECT_TRUE(std::regex_match(p.simboli, simboli));
    }
  }
}

// --- the run the card tells ----------------------------------------------------

int minuti(const std::string& hhmm) { return std::stoi(hhmm.substr(0, 2)) * 60 + std::stoi(hhmm.substr(3, 2)); }

int metri(const std::string& km) { return std::stoi(km.substr(0, 3)) * 1000 + std::stoi(km.substr(4, 3)); }

// Whether the place text is the name followed by padding of one kind only.
bool nome_e_riempimento(const std::string& luogo, const std::string& nome, char riempimento) {
  const std::string testo = luogo.substr(3);
  return testo.starts_with(nome) &&
         testo.find_first_not_of(riempimento, nome.size()) == std::string::npos;
}

TEST(Scheda, FirstSheetRunsFromTheOriginToTheTakeover) {
  const auto& stazioni = treno().stazioni;
  ASSERT_GE(stazioni.size(), 3u);
  const auto& righe = righe_di(doc::scheda);
  ASSERT_GT(righe.size(), secondo_foglio.ultima + 1);
  const riga_punto origine = dividi(righe[primo_foglio.prima], primo_foglio.larghezza_km);
  const riga_punto presa = dividi(righe[primo_foglio.ultima], primo_foglio.larghezza_km);
  const riga_punto seconda = dividi(righe[secondo_foglio.prima], secondo_foglio.larghezza_km);

  EXPECT_TRUE(nome_e_riempimento(origine.luogo, stazioni[0].nome, '.')) << origine.luogo;
  EXPECT_EQ(stazioni[0].fermata, 1);
  EXPECT_EQ(origine.orario.substr(9, 5), ora(stazioni[0].minuti));
  EXPECT_LT(minuti(origine.orario.substr(1, 5)), stazioni[0].minuti);

  // The takeover station carries the degree mark on the first sheet and
  // opens the second, with the same times; the train stops there.
  EXPECT_EQ(presa.luogo.substr(2, 1), "\xB0");
  const std::string nome = seconda.luogo.substr(3, seconda.luogo.find('.', 3) - 3);
  EXPECT_TRUE(nome_e_riempimento(presa.luogo, nome, '.')) << presa.luogo;
  EXPECT_EQ(presa.orario, seconda.orario);
  EXPECT_EQ(presa.km.substr(0, 7), seconda.km.substr(0, 7));
  EXPECT_EQ(nome, stazioni[1].nome);
  EXPECT_GT(stazioni[1].fermata, 1);
}

TEST(Scheda, SecondSheetTellsTheTrainFilesRun) {
  const auto& stazioni = treno().stazioni;
  const auto& limiti = treno().limiti;
  const auto& righe = righe_di(doc::scheda);
  ASSERT_GE(stazioni.size(), 3u);
  ASSERT_GT(righe.size(), secondo_foglio.ultima + 1);
  const stazione_treno& presa = stazioni[1];

  size_t prossima = 1;       // the next train file station the card must show
  int km_presa = -1;         // chainage of the takeover station on the card
  int ultimo_orario = 0;
  std::vector<int> velocita_scheda;
  for (size_t i = secondo_foglio.prima; i <= secondo_foglio.ultima; ++i) {
    SCOPED_TRACE("card line " + std::to_string(i) + ": " + righe[i]);
    const riga_punto p = dividi(righe[i], secondo_foglio.larghezza_km);
    if (p.vel != "     ") velocita_scheda.push_back(std::stoi(p.vel));
    const std::string orario = p.orario;
    if (orario != std::string(15, ' ')) {
      const int t = minuti(orario.substr(orario[1] == ' ' ? 5 : 1, 5));
      EXPECT_GE(t, ultimo_orario);
      ultimo_orario = orario[11] == '.' ? minuti(orario.substr(9, 5)) : t;
    }

    if (p.luogo.starts_with("  Cippo Km.")) {
      // A kilometre stone where the speed limit changes: its kilometre is
      // the chainage of a speed record, and the row shows that speed.
      ASSERT_GE(km_presa, 0);
      const std::string km = p.luogo.substr(11, 7);
      const int posizione = presa.posizione + metri(km) - km_presa;
      const auto l = std::find_if(limiti.begin(), limiti.end(),
                                  [&](const limite_treno& l) { return l.posizione == posizione; });
      ASSERT_NE(l, limiti.end()) << "no speed record at route position " << posizione;
      EXPECT_EQ(std::stoi(p.vel), l->velocita);
      continue;
    }

    ASSERT_LT(prossima, stazioni.size()) << "more stations on the card than in the train file";
    const stazione_treno& s = stazioni[prossima++];
    const bool capolinea = prossima == stazioni.size();
    if (km_presa < 0) km_presa = metri(p.km);
    EXPECT_EQ(metri(p.km) - km_presa, s.posizione - presa.posizione) << s.nome;
    if (s.fermata > 1) {
      EXPECT_TRUE(nome_e_riempimento(p.luogo, s.nome, '.')) << s.nome;
      EXPECT_EQ(orario, " " + ora(s.minuti - 1) + "   " + ora(s.minuti) + " ") << s.nome;
    } else if (capolinea) {
      EXPECT_TRUE(nome_e_riempimento(p.luogo, s.nome, '.')) << s.nome;
      EXPECT_EQ(orario, " " + ora(s.minuti) + std::string(9, ' ')) << s.nome;
    } else {
      EXPECT_TRUE(nome_e_riempimento(p.luogo, s.nome, ' ')) << s.nome;
      EXPECT_EQ(s.minuti, 0) << s.nome;
    }
  }
  EXPECT_EQ(prossima, stazioni.size()) << "the card ends before the train file's terminus";

  // Every speed limit after the takeover station, in running order.
  std::vector<int> velocita_treno;
  for (const auto& l : limiti)
    if (l.posizione > presa.posizione) velocita_treno.push_back(l.velocita);
  EXPECT_EQ(velocita_scheda, velocita_treno);
}

// The card's kilometres are the line's chainage: the origin stands at the
// first reference's value (its flag adds 100 m), the takeover station where
// the second reference begins, at its value; and from there kilometres grow
// with the route position, as the level-crossing signs of the line read.
TEST(Scheda, KilometresAreTheLinesChainage) {
  std::map<std::string, std::vector<std::string>> riferimenti;
  std::vector<std::pair<int, int>> cartelli;  // route position, kilometre in metres
  const std::regex km_cartello("\\(Km ([0-9]+)\\+([0-9]{3})\\)");
  for (const auto& riga : righe_sorgente(dati_linea)) {
    const auto c = campi(riga);
    if (c[0].starts_with("progressiva chilometrica ")) riferimenti[c[0]] = c;
    std::smatch m;
    if (c[0] == "cartello_indicatore" && std::regex_search(riga, m, km_cartello))
      cartelli.push_back({std::stoi(c[1]), std::stoi(m[1]) * 1000 + std::stoi(m[2])});
  }
  const auto& uno = riferimenti["progressiva chilometrica uno"];
  const auto& due = riferimenti["progressiva chilometrica due"];
  ASSERT_EQ(uno.size(), 4u);
  ASSERT_EQ(due.size(), 4u);
  ASSERT_FALSE(cartelli.empty());

  const auto& righe = righe_di(doc::scheda);
  const auto& stazioni = treno().stazioni;
  ASSERT_GT(righe.size(), secondo_foglio.ultima + 1);
  ASSERT_GE(stazioni.size(), 2u);
  EXPECT_EQ(std::stoi(uno[1]), stazioni[0].posizione);
  EXPECT_EQ(metri(dividi(righe[primo_foglio.prima], 8).km), std::stoi(uno[2]) + 100 * std::stoi(uno[3]));
  EXPECT_EQ(std::stoi(due[1]), stazioni[1].posizione);
  const int km_presa = metri(dividi(righe[secondo_foglio.prima], 10).km);
  EXPECT_EQ(km_presa, std::stoi(due[2]));
  for (const auto& [posizione, km] : cartelli) {
    if (posizione >= stazioni[1].posizione) {
      EXPECT_EQ(km, km_presa + posizione - stazioni[1].posizione) << "sign at " << posizione;
    }
  }
}

}  // namespace
}  // namespace tracciato
