#include "model/scenario.h"

namespace tracciato {

bool scenario::carica_linea(int32_t& posto_cartello) {
  (void)posto_cartello;
  return false;
}

}  // namespace tracciato
