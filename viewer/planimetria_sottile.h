// The track plan thinned for drawing: of the one point per metre, only those
// needed to keep every dropped point within a given distance of the line drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "model/planimetria.h"

namespace tracciato {

struct punto_piano {
  int32_t metro;  // the plan row: the route position in metres
  double x;
  double y;
};

// sfoltisci: the filled rows of p (rows whose two values are both set) thinned
// so that no dropped row lies farther than scarto metres from the segment
// between the kept rows around it. The first and the last filled rows are
// always kept. A plan that is not allocated gives no points.
std::vector<punto_piano> sfoltisci(const planimetria_t& p, double scarto);
// The same for the rows d draws, computed a few at a time rather than all
// in memory: sfoltisci(calcola_planimetria(d), scarto).
std::vector<punto_piano> sfoltisci(const disegno_planimetria& d, double scarto);

}  // namespace tracciato
