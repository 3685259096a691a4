// The track plan as the line file draws it: the origin, then stretches of
// steps, each step taken from the two points before it (the arithmetic is
// percorri_planimetria's, model/planimetria.h).
#pragma once

#include <cstdint>

#include "model/planimetria.h"

namespace tracciato {

// Curvature (change of direction per metre) of curve classes 1 to 6.
inline constexpr double curvature_classi[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The plan grows no further than this row while curves are drawn.
inline constexpr int32_t ultima_riga_curve = 1000000;

// estendi_planimetria: steps of curvature k fill rows d.riga_successiva(),
// d.riga_successiva() + 1, ... while the next row is <= fino (k = 0 is a
// straight step). With limitata, stops and returns false once row
// ultima_riga_curve has been filled. Records the stretch; computes nothing.
// REQUIRES: d.origine(), fino < d.righe().
bool estendi_planimetria(disegno_planimetria& d, int64_t fino, double k, bool limitata);

}  // namespace tracciato
