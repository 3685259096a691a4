#include "model/planimetria.h"

namespace tracciato {

void planimetria_t::alloca_righe(int32_t ultima_riga) {
  righe_ = ultima_riga + 1;
  const std::size_t n = 2 * static_cast<std::size_t>(righe_);
  tipi_.assign(n, tipo_voce::vuota);
  valori_ = std::make_unique_for_overwrite<double[]>(n);
}

void planimetria_t::libera() {
  righe_ = 0;
  tipi_.clear();
  tipi_.shrink_to_fit();
  valori_.reset();
}

}  // namespace tracciato
