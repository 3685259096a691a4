#include "model/scenario.h"

namespace tracciato {

void scenario::memorizza_percorso(int32_t scrivi) {
  scrivi_linea = scrivi;
  codice_errore = 0;
  for (auto& voce : tabella) voce = voce_tabella{};
  memorizza_dati();
}

int32_t scenario::codice_gara_og() { return 0; }
int32_t scenario::codice_gara_st() { return 0; }

}  // namespace tracciato
