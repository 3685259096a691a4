// Number conversions shared by every stage.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

// Every double is computed to its own precision, operation by operation: the
// line data file holds such values bit for bit.
static_assert(FLT_EVAL_METHOD == 0, "doubles must be evaluated in double precision");

namespace tracciato {

// arrotonda: a real quotient to the nearest whole number, halves to the even
// neighbour (2540.5 gives 2540, 21.5 gives 22). REQUIRES: the default rounding mode.
inline int64_t arrotonda(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

// The cell of route position p, plus scarto cells: p / 50 + scarto, rounded.
// Gradient, speed and adhesion changes and code points start at cella_di(p);
// signals, boards, slowdowns and signs stand in cella_di(p, 1).
inline int64_t cella_di(int64_t p, int scarto = 0) {
  return arrotonda(static_cast<double>(p) / 50 + scarto);
}

// A value stored into a narrower field keeps its low bits.
inline int16_t basso16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(v); }

// True iff v is a multiple of m (negative values included).
inline bool multiplo(int64_t v, int64_t m) { return v % m == 0; }

}  // namespace tracciato
