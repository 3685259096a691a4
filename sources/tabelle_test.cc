// The built-in line and train tables: the counts, ranges, orderings and
// telling rows that the scenario's documents and the simulator rely on. An
// edit of the data that breaks one of them fails here, before any load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/numeri.h"
#include "model/scenario.h"
#include "sources/dati.h"
#include "tests/cartella_temporanea.h"
#include "tests/testi_prova.h"

namespace tracciato {
namespace {

using righe_t = std::vector<std::string>;

struct file_incorporati {
  righe_t linea, treno;
  file_incorporati() {
    test::cartella_temporanea t;
    dati_linea(t / "linea.txt");
    dati_treno(t / "treno.txt");
    linea = test::righe_file(t / "linea.txt");
    treno = test::righe_file(t / "treno.txt");
  }
};

const file_incorporati& incorporati() {
  static const file_incorporati f;
  return f;
}

// The lines after a section header, up to the next header.
righe_t sezione(const righe_t& righe, const std::string& intestazione) {
  auto it = std::find(righe.begin(), righe.end(), intestazione);
  EXPECT_NE(it, righe.end()) << intestazione;
  righe_t out;
  if (it == righe.end()) return out;
  for (++it; it != righe.end() && !it->starts_with("["); ++it) out.push_back(*it);
  return out;
}

// The comma-separated fields after the keyword, blanks at both ends removed.
std::vector<std::string> valori(const std::string& riga) {
  std::vector<std::string> c = test::campi(riga);
  c.erase(c.begin());
  return c;
}

long numero(const std::string& campo) { return campo.empty() ? 0 : std::stol(campo); }
std::string chiave(const std::string& riga) { return riga.substr(0, riga.find(',')); }
long posizione(const std::string& riga) { return numero(valori(riga).at(0)); }

bool contiene_riga(const righe_t& righe, const std::string& riga) {
  return std::find(righe.begin(), righe.end(), riga) != righe.end();
}

TEST(TabelleIncorporate, FilesHaveTheirSectionsAndLineCounts) {
  const auto& f = incorporati();
  static const struct {
    bool linea;
    const char* intestazione;
    size_t righe;
  } casi[] = {
      {true, "[generale]", 8},  {true, "[curve]", 194},     {true, "[pendenze]", 93},
      {true, "[montagne]", 20}, {true, "[cartelli]", 28},   {true, "[indicazioni]", 55},
      {true, "[fine]", 0},      {false, "[generale]", 4},   {false, "[aderenze]", 22},
      {false, "[vel_limite]", 21}, {false, "[stazioni]", 23}, {false, "[rallentamenti]", 0},
      {false, "[segnali]", 46}, {false, "[codici]", 0},     {false, "[fine]", 0},
  };
  for (const auto& c : casi)
    EXPECT_EQ(sezione(c.linea ? f.linea : f.treno, c.intestazione).size(), c.righe) << c.intestazione;
  for (const auto* r : {&f.linea, &f.treno}) {
    EXPECT_EQ(r->front(), "[generale]");
    EXPECT_EQ(r->back(), "[fine]");
    for (const auto& riga : *r) {
      EXPECT_NE(riga, "riferimento fine del file");
      for (unsigned char ch : riga) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << riga;
    }
  }
  EXPECT_EQ(f.linea.size(), 405u);
  EXPECT_EQ(f.treno.size(), 124u);
}

TEST(TabelleIncorporate, GeneralLinesAreExact) {
  const auto& f = incorporati();
  EXPECT_EQ(sezione(f.linea, "[generale]"),
            (righe_t{"lunghezza percorso,    120000", "progressiva chilometrica uno,    0,    132100,    1",
                     "progressiva chilometrica due,    6350,    119450,    0",
                     "progressiva chilometrica tre,    0,    0,    0", "sfondo uno,    66550",
                     "sfondo due,    1", "sfondo tre,    15100",
                     "ripetizione segnali 4 codici,    0    ,0"}));
  EXPECT_EQ(sezione(f.treno, "[generale]"),
            (righe_t{"numero vetture,    3", "percentuale massa frenata,    105", "sabbia,    120",
                     "orologio,    13              59            45 "}));
}

// Every record: its keyword and a comma, a position on a multiple of 50,
// strictly after the one before it, and inside the grid of a 120 km line.
TEST(TabelleIncorporate, PositionsAreOnTheGridInStrictOrder) {
  const auto& f = incorporati();
  static const struct {
    bool linea;
    const char* intestazione;
    const char* parola;
    long prima, ultima;
  } casi[] = {
      {true, "[curve]", "curva", 0, 121400},
      {true, "[pendenze]", "pendenza", 0, 121450},
      {true, "[montagne]", "montagna", 450, 119050},
      {true, "[cartelli]", "indicatori_vmax", 7100, 119650},
      {true, "[indicazioni]", "cartello_indicatore", 4500, 117400},
      {false, "[aderenze]", "aderenza", 0, 43250},
      {false, "[vel_limite]", "velocita", 0, 117400},
      {false, "[stazioni]", "stazione", 0, 121250},
      {false, "[segnali]", "segnale", 4700, 120500},
  };
  for (const auto& c : casi) {
    const auto righe = sezione(c.linea ? f.linea : f.treno, c.intestazione);
    ASSERT_FALSE(righe.empty()) << c.intestazione;
    long prima = -1;
    for (const auto& r : righe) {
      EXPECT_TRUE(r.starts_with(c.parola)) << r;
      const long p = posizione(r);
      EXPECT_EQ(p % 50, 0) << r;
      EXPECT_GT(p, prima) << r;
      EXPECT_LE(p + 100, 127000) << r;
      prima = p;
    }
    EXPECT_EQ(posizione(righe.front()), c.prima) << c.intestazione;
    EXPECT_EQ(posizione(righe.back()), c.ultima) << c.intestazione;
  }
}

TEST(TabelleIncorporate, Curves) {
  const auto curve = sezione(incorporati().linea, "[curve]");
  std::map<std::string, int> per_chiave;
  std::map<char, int> per_classe;
  long fine_precedente = 0;
  for (const auto& r : curve) {
    const std::string k = chiave(r);
    ASSERT_EQ(k.size(), 7u) << r;
    ASSERT_TRUE(k.starts_with("curvas") || k.starts_with("curvad")) << r;
    ++per_chiave[k];
    ++per_classe[k[6]];
    const long inizio = posizione(r), lunghezza = numero(valori(r).at(1));
    EXPECT_GE(inizio, fine_precedente) << r;
    EXPECT_EQ(lunghezza % 50, 0) << r;
    EXPECT_GE(lunghezza, 50) << r;
    EXPECT_TRUE(lunghezza < 1000 || k == "curvas1") << r;
    fine_precedente = inizio + lunghezza;
  }
  EXPECT_EQ(fine_precedente, 121750);
  EXPECT_EQ(per_classe, (std::map<char, int>{{'1', 1}, {'2', 2}, {'3', 24}, {'4', 57}, {'5', 67}, {'6', 43}}));
  EXPECT_EQ(per_chiave["curvas2"], 1);
  EXPECT_EQ(per_chiave["curvad2"], 1);
  int sinistre = 0;
  for (const auto& [k, n] : per_chiave)
    if (k[5] == 's') sinistre += n;
  EXPECT_EQ(sinistre, 99);
  EXPECT_EQ(curve.front(), "curvas4,  0,  450");
  EXPECT_TRUE(contiene_riga(curve, "curvas1,  104550,  1000"));
  EXPECT_EQ(curve.back(), "curvas5,  121400,  350");
}

TEST(TabelleIncorporate, Gradients) {
  const auto pendenze = sezione(incorporati().linea, "[pendenze]");
  std::vector<long> discese, salite;
  for (const auto& r : pendenze) {
    const long g = numero(valori(r).at(1));
    EXPECT_GE(g, -31) << r;
    EXPECT_LE(g, 28) << r;
    if (g == -31) discese.push_back(posizione(r));
    if (g == 28) salite.push_back(posizione(r));
  }
  EXPECT_EQ(discese, (std::vector<long>{33150, 37250}));
  EXPECT_EQ(salite.size(), 4u);
  EXPECT_EQ(pendenze.front(), "pendenza,   0,    0");
  EXPECT_TRUE(contiene_riga(pendenze, "pendenza,  33150,   -31"));
  EXPECT_TRUE(contiene_riga(pendenze, "pendenza,  25800,   28"));
  EXPECT_EQ(pendenze.back(), "pendenza,  121450,   5");
}

TEST(TabelleIncorporate, Tunnels) {
  const auto montagne = sezione(incorporati().linea, "[montagne]");
  std::map<long, int> per_tipo;
  long fine_precedente = -1000;
  for (const auto& r : montagne) {
    const auto c = valori(r);
    const long inizio = numero(c.at(0)), fine = numero(c.at(1));
    ++per_tipo[numero(c.at(2))];
    EXPECT_EQ(fine % 50, 0) << r;
    EXPECT_GE(fine - inizio, 50) << r;
    EXPECT_LE(fine - inizio, 1750) << r;
    // A tunnel beginning 150 m or less after the last would lose its kind.
    EXPECT_GT(inizio - fine_precedente, 150) << r;
    fine_precedente = fine;
  }
  EXPECT_EQ(per_tipo, (std::map<long, int>{{2, 5}, {11, 8}, {12, 7}}));
  EXPECT_EQ(montagne.front(), "montagna,   450,  2200,  12");
  EXPECT_TRUE(contiene_riga(montagne, "montagna,   12450,  12550,  2"));
  EXPECT_EQ(montagne.back(), "montagna,   119050,  119700,  11");
}

TEST(TabelleIncorporate, SpeedBoards) {
  const auto cartelli = sezione(incorporati().linea, "[cartelli]");
  std::map<long, int> per_strisce;
  for (size_t i = 0; i < cartelli.size(); ++i) {
    const auto& r = cartelli[i];
    const auto c = valori(r);
    ASSERT_EQ(c.size(), 9u) << r;
    EXPECT_EQ(c[5] + c[6] + c[7], "") << r;
    EXPECT_EQ(c[8], "0") << r;
    for (int v = 1; v <= 3; ++v) {
      EXPECT_GE(numero(c[v]), 50) << r;
      EXPECT_LE(numero(c[v]), 125) << r;
    }
    EXPECT_EQ(c[3] != c[2], posizione(r) >= 115600 && posizione(r) < 116600) << r;
    const long strisce = numero(c[4]);
    ++per_strisce[strisce];
    // A striped board opens a run of three: 2, 1, 0 stripes, 250 to 500 m
    // apart, all three showing the same speeds.
    if (strisce == 2) {
      ASSERT_LT(i + 2, cartelli.size()) << r;
      for (size_t j = 1; j <= 2; ++j) {
        const auto d = valori(cartelli[i + j]);
        EXPECT_EQ(numero(d[4]), 2 - static_cast<long>(j)) << cartelli[i + j];
        EXPECT_EQ(std::vector(d.begin() + 1, d.begin() + 4), std::vector(c.begin() + 1, c.begin() + 4))
            << cartelli[i + j];
        const long passo = posizione(cartelli[i + j]) - posizione(cartelli[i + j - 1]);
        EXPECT_GE(passo, 250) << cartelli[i + j];
        EXPECT_LE(passo, 500) << cartelli[i + j];
      }
    }
    if (strisce == 1) {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(numero(valori(cartelli[i - 1])[4]), 2) << r;
    }
  }
  EXPECT_EQ(per_strisce, (std::map<long, int>{{0, 18}, {1, 5}, {2, 5}}));
  for (const char* r : {"indicatori_vmax,  7100,  95,  100,  100,  0,  ,  ,  ,  0",
                        "indicatori_vmax,  42050,  50,  55,  55,  2,  ,  ,  ,  0",
                        "indicatori_vmax,  42350,  50,  55,  55,  1,  ,  ,  ,  0",
                        "indicatori_vmax,  42600,  50,  55,  55,  0,  ,  ,  ,  0",
                        "indicatori_vmax,  115600,  80,  85,  90,  2,  ,  ,  ,  0"})
    EXPECT_TRUE(contiene_riga(cartelli, r)) << r;
  EXPECT_EQ(cartelli.back(), "indicatori_vmax,  119650,  55,  55,  55,  0,  ,  ,  ,  0");
}

TEST(TabelleIncorporate, LinesideSigns) {
  const auto cartelli = sezione(incorporati().linea, "[indicazioni]");
  std::map<std::string, int> per_gruppo;
  size_t piu_lunga = 0;
  for (const auto& r : cartelli) {
    piu_lunga = std::max(piu_lunga, r.size());
    const auto c = valori(r);
    ASSERT_EQ(c.size(), 2u) << r;
    const std::string& testo = c[1];
    ASSERT_TRUE(testo.starts_with("(") && testo.ends_with(")")) << r;
    const std::string primo = testo.substr(0, testo.find(')') + 1);
    const std::string resto = testo.substr(primo.size());
    if (primo == "(F)") {
      EXPECT_EQ(resto, "") << r;
    }
    if (primo == "(P.L.)" || primo == "(P.L.A.)") {
      // (Km kilometres+metres)
      EXPECT_TRUE(resto.starts_with("(Km ") && resto.size() >= 11 && resto.find('+') != std::string::npos) << r;
    }
    ++per_gruppo[primo.starts_with("(Galleria") ? "(Galleria)" : primo];
  }
  EXPECT_EQ(per_gruppo, (std::map<std::string, int>{{"(F)", 17},
                                                    {"(P.L.)", 15},
                                                    {"(P.L.A.)", 12},
                                                    {"(Galleria)", 2},
                                                    {"(Ponte   )", 3},
                                                    {"(Prot. )", 2},
                                                    {"(Sottopasso)", 1},
                                                    {"(Attraversamento pedonale)", 1},
                                                    {"(Informazione)", 1},
                                                    {"(Bivio)", 1}}));
  EXPECT_EQ(piu_lunga, 86u);
  EXPECT_EQ(cartelli.front(), "cartello_indicatore,  4500,   (F)");
  EXPECT_TRUE(contiene_riga(cartelli, "cartello_indicatore,  22650,   (Ponte   )(in Ferro)"));
  EXPECT_TRUE(contiene_riga(cartelli, "cartello_indicatore,  38150,   (Prot. )(3 P.L.)"));
  EXPECT_EQ(cartelli.back(), "cartello_indicatore,  117400,   (F)");
}

TEST(TabelleIncorporate, AdhesionAndSpeedLimits) {
  const auto& f = incorporati();
  const auto aderenze = sezione(f.treno, "[aderenze]");
  for (const auto& r : aderenze) {
    const long a = numero(valori(r).at(1));
    EXPECT_TRUE(a == 70 || a == 80 || a == 90 || a == 100) << r;
  }
  EXPECT_EQ(aderenze.front(), "aderenza,   0,    100");
  EXPECT_EQ(aderenze.back(), "aderenza,   43250,   100");

  const auto velocita = sezione(f.treno, "[vel_limite]");
  long massima = 0;
  for (const auto& r : velocita) {
    const long v = numero(valori(r).at(1));
    EXPECT_EQ(v % 5, 0) << r;
    EXPECT_GE(v, 55) << r;
    massima = std::max(massima, v);
  }
  EXPECT_EQ(massima, 130);
  EXPECT_EQ(velocita.front(), "velocita,       0,    70");
  EXPECT_TRUE(contiene_riga(velocita, "velocita,  113950,   130"));
  EXPECT_EQ(velocita.back(), "velocita,  117400,    90");
}

struct stazione {
  long posizione, tipo, lunghezza, inizio, fine, secondi;
  std::string nome;
};

std::vector<stazione> stazioni() {
  std::vector<stazione> out;
  for (const auto& r : sezione(incorporati().treno, "[stazioni]")) {
    const auto c = valori(r);
    EXPECT_EQ(c.size(), 17u) << r;
    if (c.size() != 17) continue;
    stazione s{numero(c[0]), numero(c[1]), numero(c[2]), 0, 0, 0, c[16]};
    s.inizio = s.posizione - s.lunghezza / 2;
    s.fine = s.posizione + s.lunghezza / 2 + (numero(c[5]) ? 50 : 0);
    s.secondi = (numero(c[13]) * 60 + numero(c[14])) * 60 + numero(c[15]);
    out.push_back(s);
  }
  return out;
}

TEST(TabelleIncorporate, Stations) {
  const auto righe = sezione(incorporati().treno, "[stazioni]");
  std::map<long, int> per_tipo;
  const auto st = stazioni();
  for (size_t i = 0; i < st.size(); ++i) {
    ++per_tipo[st[i].tipo];
    EXPECT_EQ(st[i].lunghezza % 100, 0) << st[i].nome;
    if (i > 0) {
      EXPECT_GE(st[i].inizio - 350, st[i - 1].fine) << st[i].nome;
    }
    const bool maiuscolo = std::none_of(st[i].nome.begin(), st[i].nome.end(), [](unsigned char ch) { return std::islower(ch) != 0; });
    EXPECT_EQ(maiuscolo, st[i].tipo < 25) << st[i].nome;
  }
  EXPECT_EQ(per_tipo, (std::map<long, int>{{2, 1}, {11, 4}, {12, 6}, {21, 6}, {22, 4}, {25, 1}, {27, 1}}));
  EXPECT_EQ(righe.front(),
            "stazione,       0, 11,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  14, 0, 0, VESSOLANTA C.");
  for (const char* r :
       {"stazione,   13000, 21,  400,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, MIRCETO",
        "stazione,   21650, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,   50,  14,24, 0, ARDOLEA",
        "stazione,   37000, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, Tralbesa",
        "stazione,  119800, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, Dev. Gorvani"})
    EXPECT_TRUE(contiene_riga(righe, r)) << r;
  EXPECT_EQ(righe.back(),
            "stazione,  121250, 12,  800,  1, 1, 0,  1,1,0,  2,1,1,    0,  15,55, 0, ORMELA C.LE");
  // The second station is where the second chainage reference starts.
  ASSERT_GT(st.size(), 1u);
  EXPECT_EQ(st[1].posizione, 6350);
}

// Between two stations with a scheduled time the train never needs to run
// faster on average than the highest limit in force there.
TEST(TabelleIncorporate, TimetableCanBeRunAtTheSpeedLimits) {
  std::vector<std::pair<long, long>> limiti;
  for (const auto& r : sezione(incorporati().treno, "[vel_limite]"))
    limiti.emplace_back(posizione(r), numero(valori(r).at(1)));
  const stazione* precedente = nullptr;
  for (const auto& s : stazioni()) {
    if (s.secondi == 0) continue;
    if (precedente) {
      ASSERT_GT(s.secondi, precedente->secondi) << s.nome;
      long massima = 0;
      for (const auto& [p, v] : limiti)
        if (p < s.posizione) massima = std::max(massima, v);
      const double media = (s.posizione - precedente->posizione) / 1000.0 /
                           ((s.secondi - precedente->secondi) / 3600.0);
      EXPECT_LT(media, massima * 0.8) << precedente->nome << " to " << s.nome;
    }
    precedente = &s;
  }
}

TEST(TabelleIncorporate, Signals) {
  const auto segnali = sezione(incorporati().treno, "[segnali]");
  int con_deviata = 0;
  for (size_t i = 0; i < segnali.size(); ++i) {
    const auto& r = segnali[i];
    const auto c = valori(r);
    ASSERT_EQ(c.size(), 11u) << r;
    EXPECT_EQ(numero(c[1]), i % 2 == 0 ? 1 : 2) << r;
    EXPECT_EQ(c[4] + c[5] + c[9], "000") << r;
    if (numero(c[6]) || numero(c[7]) || numero(c[8])) ++con_deviata;
    EXPECT_EQ(numero(c[10]) != 0, posizione(r) == 31950) << r;
  }
  EXPECT_EQ(con_deviata, 3);
  EXPECT_EQ(segnali.front(), "segnale,    4700,   1, 3, 4,  0, 0,    0,  0,0,0, 0");
  EXPECT_TRUE(contiene_riga(segnali, "segnale,   31950,   2, 3, 1,  0, 0,    0,  0,0,0, 255"));
  EXPECT_TRUE(contiene_riga(segnali, "segnale,  116150,   1, 4, 1,  0, 0,    1,  3,1,0, 0"));
  EXPECT_EQ(segnali.back(), "segnale,  120500,   2, 2, 3,  0, 0,    2,  2,1,0, 0");
}

// Signs and boards each need a cell of their own (p / 50 + 1); a station's
// cell is written over whatever holds it, and a signal needs a free cell:
// so no two of them may meet in one cell.
TEST(TabelleIncorporate, SignsBoardsStationsAndSignalsNeverShareACell) {
  const auto& f = incorporati();
  std::map<long, std::string> occupate;
  auto occupa = [&](long cella, const std::string& chi) {
    const auto [it, nuova] = occupate.emplace(cella, chi);
    EXPECT_TRUE(nuova) << chi << " meets " << it->second << " in cell " << cella;
  };
  for (const char* intestazione : {"[cartelli]", "[indicazioni]"})
    for (const auto& r : sezione(f.linea, intestazione)) occupa(posizione(r) / 50 + 1, r);
  for (const auto& s : stazioni())
    if (s.tipo < 25) occupa(arrotonda(s.fine / 50.0 - 1), s.nome);
  for (const auto& r : sezione(f.treno, "[segnali]")) occupa(posizione(r) / 50 + 1, r);
}

}  // namespace
}  // namespace tracciato
