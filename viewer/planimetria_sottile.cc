#include "viewer/planimetria_sottile.h"

#include <cmath>
#include <utility>

namespace tracciato {
namespace {

// Distance of point (px, py) from the segment a-b.
double distanza(const punto_piano& a, const punto_piano& b, double px, double py) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double l2 = dx * dx + dy * dy;
  double t = l2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / l2 : 0;
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  const double ex = a.x + t * dx - px, ey = a.y + t * dy - py;
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

// Douglas-Peucker with an explicit stack: a 1000 km line has a million rows,
// too deep for recursion on a long straight that bends at its far end.
std::vector<punto_piano> sfoltisci(const planimetria_t& p, double scarto) {
  std::vector<punto_piano> tutti;
  for (int32_t r = 0; r < p.righe(); ++r)
    if (p.tipo(r, 0) != tipo_voce::vuota && p.tipo(r, 1) != tipo_voce::vuota)
      tutti.push_back({r, p.valore(r, 0), p.valore(r, 1)});
  if (tutti.size() <= 2) return tutti;

  std::vector<char> tieni(tutti.size(), 0);
  tieni.front() = tieni.back() = 1;
  std::vector<std::pair<std::size_t, std::size_t>> pila{{0, tutti.size() - 1}};
  while (!pila.empty()) {
    const auto [a, b] = pila.back();
    pila.pop_back();
    double massima = -1;
    std::size_t dove = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = distanza(tutti[a], tutti[b], tutti[i].x, tutti[i].y);
      if (d > massima) massima = d, dove = i;
    }
    if (massima > scarto) {
      tieni[dove] = 1;
      pila.push_back({a, dove});
      pila.push_back({dove, b});
    }
  }
  std::vector<punto_piano> v;
  for (std::size_t i = 0; i < tutti.size(); ++i)
    if (tieni[i]) v.push_back(tutti[i]);
  return v;
}

}  // namespace tracciato
