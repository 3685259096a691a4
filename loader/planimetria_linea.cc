#include "loader/planimetria_linea.h"

#include <algorithm>

namespace tracciato {

bool estendi_planimetria(disegno_planimetria& d, int64_t fino, double k, bool limitata) {
  const int32_t riga = d.riga_successiva();
  if (riga > fino) return true;
  // One step at a time, the limit is tested after each row is filled: the
  // first row filled always is, and none past the limit follows it.
  const int64_t ultima = limitata ? std::min<int64_t>(fino, std::max(riga, ultima_riga_curve)) : fino;
  d.aggiungi_tratto(static_cast<int32_t>(ultima), k);
  return !(limitata && ultima >= ultima_riga_curve);
}

}  // namespace tracciato
