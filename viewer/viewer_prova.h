// Generated long lines with a train over them, as texts in memory, for the
// page's tests and its benchmark.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "loader/memorizza_dati.h"

namespace tracciato::test {

// A line of `lunghezza` metres with a curve every 3 km (alternating sides,
// class 4 and 6), a gradient change every 2 km, a tunnel every 25 km and a
// sign every 50 km; and a train over it with a station every 25 km, signals
// every 2.5 km and a slowdown every 40 km.
inline testo_sorgente linea_lunga(int32_t lunghezza) {
  std::ostringstream o;
  o << "[generale]\r\nlunghezza percorso, " << lunghezza << "\r\n"
    << "progressiva chilometrica uno, 0, 10000, 0\r\nprogressiva chilometrica due, 0, 0, 0\r\n"
    << "progressiva chilometrica tre, 0, 0, 0\r\nsfondo uno, 1\r\nsfondo due, 2\r\nsfondo tre, 3\r\n"
    << "ripetizione segnali 4 codici, 0, 0\r\n[curve]\r\n";
  for (int32_t p = 1000, i = 0; p + 800 < lunghezza; p += 3000, ++i)
    o << (i % 2 ? "curvas4, " : "curvad6, ") << p << ", 700\r\n";
  o << "[pendenze]\r\n";
  for (int32_t p = 0, i = 0; p < lunghezza; p += 2000, ++i) o << "pendenza, " << p << ", " << (i % 5) * 4 - 8 << "\r\n";
  o << "[montagne]\r\n";
  for (int32_t p = 20000, i = 0; p + 3000 < lunghezza && i < 40; p += 25000, ++i) o << "montagna, " << p << ", " << p + 1500 << ", 1\r\n";
  o << "[cartelli]\r\n[indicazioni]\r\n";
  for (int32_t p = 3000; p < lunghezza; p += 50000) o << "cartello_indicatore, " << p << ", (F)\r\n";
  o << "[fine]\r\n";
  return {"lunga_linea.txt", o.str(), ""};
}

inline testo_sorgente treno_lungo(int32_t lunghezza) {
  std::ostringstream o;
  o << "[generale]\r\nnumero vetture, 3\r\npercentuale massa frenata, 105\r\nsabbia, 120\r\n"
    << "orologio, 5 59 0\r\n[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\n";
  for (int32_t p = 0, i = 0; p < lunghezza; p += 5000, ++i) o << "velocita, " << p << ", " << (i % 2 ? 90 : 120) << "\r\n";
  o << "[stazioni]\r\n";
  for (int32_t p = 10000, i = 0; p + 1000 < lunghezza && i < 40; p += 25000, ++i) {
    const int32_t t = 6 * 3600 + p * 36 / 1000;  // 100 km/h
    o << "stazione, " << p << ", 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, " << t / 3600 << ", " << t / 60 % 60 << ", 0, STAZIONE " << i << "\r\n";
  }
  o << "[rallentamenti]\r\n";
  for (int32_t p = 30000; p + 5000 < lunghezza; p += 40000) o << "rallentamento, " << p << ", 60, 800, 0, 0, 0\r\n";
  o << "[segnali]\r\n";
  for (int32_t p = 1500; p + 1000 < lunghezza; p += 2500)
    if (p % 25000 != 10000 && (p - 30000) % 40000 != 0) o << "segnale, " << p << ", " << (p / 2500 % 2 ? 2 : 1) << ", 3, 4, 0, 0, 0, 0,0,0, 0\r\n";
  o << "[codici]\r\n[fine]\r\n";
  return {"lunga_treno.txt", o.str(), ""};
}

}  // namespace tracciato::test
