// The generated scenarios of the benchmarks: a line and a train of any
// length with the built-in scenario's density.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

namespace tracciato {

// Stations and signs share 80 record slots: on a long line they thin out,
// at most 40 stations and 20 signs.
inline int32_t passo(int32_t lunghezza, int32_t quanti) { return std::max<int32_t>(10000, (lunghezza / quanti + 9999) / 10000 * 10000); }

// A line of `lunghezza` metres: a curve every 3 km, a gradient change every
// 2 km, a sign every 10 km or fewer.
inline std::string genera_linea(int32_t lunghezza) {
  std::ostringstream o;
  o << "[generale]\r\nlunghezza percorso, " << lunghezza << "\r\n"
    << "progressiva chilometrica uno, 0, 0, 0\r\nprogressiva chilometrica due, 0, 0, 0\r\n"
    << "progressiva chilometrica tre, 0, 0, 0\r\nsfondo uno, 1\r\nsfondo due, 2\r\nsfondo tre, 3\r\n"
    << "ripetizione segnali 4 codici, 0, 0\r\n[curve]\r\n";
  for (int32_t p = 1000, i = 0; p + 500 < lunghezza; p += 3000, ++i)
    o << (i % 2 ? "curvas4, " : "curvad4, ") << p << ", 500\r\n";
  o << "[pendenze]\r\n";
  for (int32_t p = 0, i = 0; p < lunghezza; p += 2000, ++i) o << "pendenza, " << p << ", " << (i % 3) * 5 - 5 << "\r\n";
  o << "[montagne]\r\n[cartelli]\r\n[indicazioni]\r\n";
  for (int32_t p = 3000; p < lunghezza; p += passo(lunghezza, 20)) o << "cartello_indicatore, " << p << ", (F)\r\n";
  o << "[fine]\r\n";
  return o.str();
}

// A train over it: per 10 km block six signals and two speed changes, every
// other block a slowdown with its warning board, a station every 10 km or fewer.
inline std::string genera_treno(int32_t lunghezza) {
  std::ostringstream o;
  o << "[generale]\r\nnumero vetture, 3\r\npercentuale massa frenata, 105\r\nsabbia, 120\r\n"
    << "orologio, 13 59 45\r\n[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\n";
  for (int32_t p = 0, i = 0; p < lunghezza; p += 5000, ++i) o << "velocita, " << p << ", " << (i % 2 ? 90 : 120) << "\r\n";
  o << "[stazioni]\r\n";
  for (int32_t b = 0; b + 10000 <= lunghezza; b += passo(lunghezza, 40))
    o << "stazione, " << b + 5000 << ", 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, STAZIONE " << b / 10000 << "\r\n";
  o << "[rallentamenti]\r\n";
  for (int32_t b = 0; b + 10000 <= lunghezza; b += 20000) o << "rallentamento, " << b + 7000 << ", 60, 800, 0, 0, 0\r\n";
  o << "[segnali]\r\n";
  for (int32_t b = 0; b + 10000 <= lunghezza; b += 10000)
    for (int32_t d : {1000, 2500, 4000, 6500, 8000, 9500})
      o << "segnale, " << b + d << ", " << (d % 1000 ? 2 : 1) << ", 3, 4, 0, 0, 0, 0,0,0, 0\r\n";
  o << "[codici]\r\n[fine]\r\n";
  return o.str();
}

}  // namespace tracciato
