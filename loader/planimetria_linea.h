// The track plan as the line file draws it: one point per metre, each step
// taken from the two points before it.
#pragma once

#include <cstdint>

#include "model/planimetria.h"

namespace tracciato {

// Curvature (change of direction per metre) of curve classes 1 to 6.
inline constexpr double curvature_classi[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The plan grows no further than this row while curves are drawn.
inline constexpr int32_t ultima_riga_curve = 1000000;

// estendi_planimetria: fills rows riga, riga + 1, ... while riga <= fino, each
// from the two rows before it: dx = x(r-1) - x(r-2), dy = y(r-1) - y(r-2),
// x(r) = (x(r-1) + dx) + k * dy, y(r) = (y(r-1) + dy) - k * dx; k = 0 is a
// straight step. Positive k turns clockwise (to the right). The step is not
// normalised: each turning step is longer by sqrt(1 + k * k), as drawn.
// With limitata, stops and returns false once riga passes ultima_riga_curve.
// REQUIRES: 2 <= riga, fino < p.righe(), rows riga - 2 and riga - 1 filled.
bool estendi_planimetria(planimetria_t& p, int32_t& riga, int64_t fino, double k, bool limitata);

}  // namespace tracciato
