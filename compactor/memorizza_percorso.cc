// memorizza_percorso: the compactor's entry and the last stage of a run. It
// loads the scenario, places the code points, stamps the format values and
// codes, and writes the three binary files.
#include "compactor/compattatore.h"

namespace tracciato {

void scenario::memorizza_percorso(int32_t scrivi) {
  scrivi_linea = scrivi;
  codice_errore = 0;
  for (auto& voce : tabella) voce = voce_tabella{};
  file_scritti.clear();
  memorizza_dati();
  // A load that ended before the route length was read leaves no grid: there
  // is nothing to compact and no binary file is written.
  if (celle.size() < 2) return;
  compatta_celle(*this);
  timbra(*this);
  scrivi_file_binari(*this);
}

}  // namespace tracciato
