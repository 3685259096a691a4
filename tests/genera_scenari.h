// Random, dense scenarios for the round-trip tests and the decompile fuzz
// target: a line file and a train file from one seed. Items sit close
// together on a short route: stations over signs, boards, signals and
// slowdowns, signals and slowdowns crowding each other, station kinds of
// every class, tunnels with and without markers, code point records. The
// texts are valid records; whether a set compiles without a fault is for the
// caller to see.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

namespace tracciato::test {

// A small generator of its own, so that a seed gives the same scenario with
// every compiler and library.
class caso_scenari {
 public:
  explicit caso_scenari(uint64_t seme) : s_(seme * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint64_t operator()() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // From a to b, both included.
  int32_t tra(int32_t a, int32_t b) { return a + static_cast<int32_t>((*this)() % static_cast<uint64_t>(b - a + 1)); }
  bool uno_su(int32_t n) { return tra(1, n) == 1; }

 private:
  uint64_t s_;
};

struct scenario_generato {
  std::string linea, treno;  // Windows-1252, CR LF
};

inline scenario_generato genera_scenario(uint64_t seme) {
  caso_scenari c(seme);
  const int32_t lunghezza = c.tra(3, 30) * 1000 + c.tra(0, 19) * 50;
  // Positions on the cell grid, or a few metres off it; most items crowd a
  // few spots so that they fall into the same or adjacent cells.
  int32_t centri[6];
  for (int32_t& x : centri) x = c.tra(0, lunghezza / 50 - 1) * 50;
  auto posto = [&]() -> int32_t {
    int32_t p = c.uno_su(3) ? c.tra(0, lunghezza / 50) * 50 : centri[c.tra(0, 5)] + c.tra(-3, 3) * 50;
    if (c.uno_su(6)) p += c.tra(1, 49);
    return std::max<int32_t>(0, std::min(p, lunghezza));
  };

  std::ostringstream l;
  l << "[generale]\r\nlunghezza percorso, " << lunghezza << "\r\n";
  for (const char* n : {"uno", "due", "tre"}) {
    if (c.uno_su(2))
      l << "progressiva chilometrica " << n << ", " << c.tra(0, lunghezza / 100) * 100 << ", " << c.tra(0, 9) * 100 << ", "
        << c.tra(0, 1) << "\r\n";
    else
      l << "progressiva chilometrica " << n << ", 0, 0, 0\r\n";
  }
  l << "sfondo uno, " << c.tra(0, 5) << "\r\nsfondo due, " << c.tra(0, 5) << "\r\nsfondo tre, " << c.tra(0, 5)
    << "\r\n";
  // From a stream of its own: the section with cab signal repetition, of
  // either number of codes.
  caso_scenari ripetizione(seme ^ 0x4C0D1C14C0D1C14Cull);
  if (ripetizione.uno_su(2)) {
    const int32_t inizio = ripetizione.tra(0, lunghezza / 50) * 50;
    l << "ripetizione segnali " << (ripetizione.uno_su(2) ? 4 : 9) << " codici, " << inizio << ", "
      << inizio + ripetizione.tra(1, 200) * 50 << "\r\n";
  } else {
    l << "ripetizione segnali 4 codici, 0, 0\r\n";
  }
  l << "[curve]\r\n";
  for (int32_t p = c.tra(0, 2000); p + 600 < lunghezza; p += c.tra(700, 4000))
    l << "curva" << (c.uno_su(2) ? 's' : 'd') << c.tra(1, 6) << ", " << p << ", " << c.tra(50, 600) << "\r\n";
  l << "[pendenze]\r\n";
  for (int32_t i = c.tra(0, 6); i > 0; --i) l << "pendenza, " << posto() << ", " << c.tra(-30, 30) << "\r\n";
  l << "[montagne]\r\n";
  for (int32_t i = c.tra(0, 4); i > 0; --i) {
    const int32_t a = posto();
    static const int tipi[] = {1, 2, 9, 11, 12, 13};
    l << "montagna, " << a << ", " << a + c.tra(0, 30) * 50 << ", " << tipi[c.tra(0, 5)] << "\r\n";
  }
  l << "[cartelli]\r\n";
  for (int32_t i = c.tra(0, 6); i > 0; --i)
    l << "cartello_indicatore, " << posto() << ", (C" << i << ")" << (c.uno_su(3) ? "(Km 1+500)" : "") << "\r\n";
  l << "[indicazioni]\r\n";
  for (int32_t i = c.tra(0, 4); i > 0; --i) {
    auto v = [&] { return std::to_string(c.tra(0, 30) * 5); };
    l << "indicatori_vmax, " << posto() << ", " << v() << ", " << v() << ", " << v() << ", " << v() << ", " << v()
      << ", " << v() << ", " << c.tra(0, 9) << ", " << c.tra(0, 9) << "\r\n";
  }

  std::ostringstream t;
  t << "[generale]\r\nnumero vetture, " << c.tra(1, 12) << "\r\npercentuale massa frenata, " << c.tra(60, 140)
    << "\r\nsabbia, " << c.tra(0, 200) << "\r\norologio, " << c.tra(0, 23) << " " << c.tra(0, 59) << " "
    << c.tra(0, 59) << "\r\n[aderenze]\r\naderenza, 0, " << c.tra(50, 100) << "\r\n";
  for (int32_t i = c.tra(0, 2); i > 0; --i) t << "aderenza, " << posto() << ", " << c.tra(10, 100) << "\r\n";
  t << "[vel_limite]\r\nvelocita, 0, " << c.tra(6, 30) * 5 << "\r\n";
  for (int32_t i = c.tra(0, 4); i > 0; --i) t << "velocita, " << posto() << ", " << c.tra(6, 30) * 5 << "\r\n";
  t << "[stazioni]\r\n";
  static const int tipi_stazione[] = {5, 6, 7, 8, 11, 12, 25, 26, 27, 30};
  // Stations stand on a 100 m step, well apart, each near one of the crowded
  // spots. Now and then a signal, or a slowdown starting or ending there, is
  // written just before a station into the cell that the station then takes
  // over (from a stream of its own, so that the other items stay as they are).
  caso_scenari sotto(seme ^ 0x5EC0DA5E5EC0DA5Eull);
  // A third stream adds what came later: slowdowns whose warning board or
  // pre-warning cells a station takes over, boards and signs in station
  // cells, tunnels of every kind written after the boards and signs, and
  // code point records.
  caso_scenari altro(seme ^ 0xA17E0A17E0A17E01ull);
  std::ostringstream in_coda;  // line records after the boards and signs
  for (int32_t i = c.tra(1, 6), p = 0; i > 0 && p <= lunghezza; --i, p += c.tra(20, 60) * 100) {
    auto b = [&] { return c.tra(0, 1); };
    int32_t q = p;
    for (int32_t x : centri)
      if (x >= p && x < p + 1500) q = x / 100 * 100;
    const int32_t tipo = tipi_stazione[c.tra(0, 9)], l_staz = c.tra(1, 8) * 100;
    const int32_t f1 = b(), f2 = b(), f3 = b();
    std::ostringstream resto;
    resto << f1 << "," << f2 << "," << f3 << ", " << b() << "," << c.tra(0, 3) << "," << b() << ", " << c.tra(0, 6)
          << "," << b() << "," << b() << ", " << c.tra(0, 60) << ", " << c.tra(0, 23) << "," << c.tra(0, 59) << ","
          << c.tra(0, 59) << ", S" << seme % 1000 << "-" << i << (altro.uno_su(4) ? " Citt\xE0" : "") << "\r\n";
    // The station's own cell, from the end of its extent.
    const int32_t fine = tipo == 5 || tipo == 6   ? q + 150
                         : tipo == 7 || tipo == 8 ? q + l_staz
                                                  : q + l_staz / 2 + (f3 != 0 ? 50 : 0);
    const int32_t cella = fine / 50 - 1;
    if (tipo < 25 && cella > 1 && sotto.uno_su(3)) {
      // A few metres past the cell's start still round into it.
      const int32_t genere = sotto.tra(0, 2), dove = (cella - 1) * 50 + (sotto.uno_su(4) ? sotto.tra(1, 24) : 0);
      if (genere == 0) {
        t << "segnale, " << dove << ", " << sotto.tra(1, 2) << ", " << sotto.tra(1, 7) << ", " << sotto.tra(0, 7)
          << ", " << sotto.tra(0, 3) << ", " << sotto.tra(0, 3) << ", " << sotto.tra(0, 2) << ", " << sotto.tra(0, 2)
          << "," << sotto.tra(0, 2) << "," << sotto.tra(0, 1) << ", " << (sotto.uno_su(2) ? sotto.tra(0, 255) : 0)
          << "\r\n";
      } else {
        const int32_t l = sotto.tra(genere == 1 ? 0 : 1, 12) * 50, x = genere == 1 ? dove : dove - l;
        if (x >= 0)
          t << "rallentamento, " << x << ", " << sotto.tra(2, 24) * 5 << ", " << l << ", " << sotto.tra(0, 2) << ", "
            << sotto.tra(0, 1) << ", " << sotto.tra(0, 5) << "\r\n";
      }
    }
    if (tipo < 25 && cella > 1 && altro.uno_su(3)) {
      const int32_t genere = altro.tra(0, 3), dove = (cella - 1) * 50 + (altro.uno_su(4) ? altro.tra(1, 24) : 0);
      if (genere == 0) {
        // The warning board, or pre-warning cell i, in the station's cell.
        const int32_t i = altro.tra(-1, 3), x = (i < 0 ? cella - 1 : cella + i) * 50 + 1200 + altro.tra(0, 1) * 25;
        t << "rallentamento, " << x << ", " << altro.tra(2, 24) * 5 << ", " << altro.tra(0, 12) * 50 << ", "
          << altro.tra(0, 2) << ", " << (i < 0 ? altro.tra(0, 1) : 1) << ", " << altro.tra(0, 5) << "\r\n";
      } else if (genere == 1) {
        auto v = [&] { return std::to_string(altro.tra(0, 30) * 5); };
        in_coda << "indicatori_vmax, " << dove << ", " << v() << ", " << v() << ", " << v() << ", " << altro.tra(0, 9)
                << ", " << v() << ", " << v() << ", " << v() << ", " << altro.tra(0, 9) << "\r\n";
      } else if (genere == 2) {
        in_coda << "cartello_indicatore, " << dove << ", (S" << i << ")\r\n";
      } else {
        t << "abbattimento, " << (cella * 50 + altro.tra(-24, 24)) << ", " << altro.tra(-2, 300) << "\r\n";
      }
    }
    t << "stazione, " << q << ", " << tipo << ", " << l_staz << ", " << resto.str();
  }
  t << "[rallentamenti]\r\n";
  for (int32_t i = c.tra(0, 3); i > 0; --i)
    t << "rallentamento, " << posto() << ", " << c.tra(2, 24) * 5 << ", " << c.tra(0, 12) * 50 << ", " << c.tra(0, 2)
      << ", " << c.tra(0, 1) << ", " << c.tra(0, 5) << "\r\n";
  t << "[segnali]\r\n";
  for (int32_t i = c.tra(0, 8); i > 0; --i)
    t << "segnale, " << posto() << ", " << c.tra(1, 2) << ", " << c.tra(1, 7) << ", " << c.tra(0, 7) << ", "
      << c.tra(0, 3) << ", " << c.tra(0, 3) << ", " << c.tra(0, 2) << ", " << c.tra(0, 2) << "," << c.tra(0, 2)
      << "," << c.tra(0, 1) << ", " << (c.uno_su(3) ? c.tra(0, 255) : 0) << "\r\n";
  t << "[codici]\r\n";
  for (int32_t i = altro.tra(0, 4); i > 0; --i) {
    static const int valori[] = {-7, 0, 1, 100, 179, 180, 181, 250, 65536, 65716};
    t << "abbattimento, " << posto() << ", " << valori[altro.tra(0, 9)] << "\r\n";
  }
  t << "[fine]\r\n";
  for (int32_t i = altro.tra(0, 3); i > 0; --i) {
    static const int tipi[] = {0, 3, 5, 6, 7, 8, 10, 15, 20, 25, 30, -3, 266};
    const int32_t a = posto();
    in_coda << "montagna, " << a << ", " << a + altro.tra(0, 40) * 50 + (altro.uno_su(4) ? altro.tra(1, 49) : 0) << ", "
            << tipi[altro.tra(0, 12)] << "\r\n";
  }
  l << in_coda.str() << "[fine]\r\n";
  return {l.str(), t.str()};
}

}  // namespace tracciato::test
