#include "model/scenario.h"

namespace tracciato {

guasto& registra_errore(scenario& s, int32_t numero) {
  s.codice_errore = numero;
  guasto& g = s.guasti.emplace_back();
  g.numero = numero;
  return g;
}

guasto& registra_errore(scenario& s, int32_t numero, int32_t posizione) {
  guasto& g = registra_errore(s, numero);
  s.posizione_errore = posizione;
  g.con_posizione = true;
  g.posizione = posizione;
  return g;
}

}  // namespace tracciato
