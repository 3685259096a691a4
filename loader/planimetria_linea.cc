#include "loader/planimetria_linea.h"

namespace tracciato {

bool estendi_planimetria(planimetria_t& p, int32_t& riga, int64_t fino, double k, bool limitata) {
  if (riga > fino) return true;
  // The two previous points travel in registers; every value is computed
  // exactly as written, left to right, since the line data file holds them.
  double x2 = p.valore(riga - 2, 0), y2 = p.valore(riga - 2, 1);
  double x1 = p.valore(riga - 1, 0), y1 = p.valore(riga - 1, 1);
  while (riga <= fino) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    double x, y;
    if (k == 0.0) {
      x = x1 + dx;
      y = y1 + dy;
    } else {
      x = (x1 + dx) + k * dy;
      y = (y1 + dy) - k * dx;
    }
    p.imposta_reale(riga, 0, x);
    p.imposta_reale(riga, 1, y);
    x2 = x1, y2 = y1, x1 = x, y1 = y;
    ++riga;
    if (limitata && riga > ultima_riga_curve) return false;
  }
  return true;
}

}  // namespace tracciato
