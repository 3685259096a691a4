#include "model/planimetria.h"


#include <limits>
#include <stdexcept>
#include <string>

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

void disegno_planimetria::alloca_righe(int32_t ultima_riga) {
  libera();
  righe_ = ultima_riga + 1;
}

void disegno_planimetria::imposta_origine() {
  if (!allocata()) throw std::logic_error("track plan origin set before its rows exist");
  origine_ = true;
}

void disegno_planimetria::aggiungi_tratto(int32_t ultima, double k) {
  if (!origine_ || ultima < riga_successiva_ || ultima >= righe_)
    throw std::logic_error("track plan stretch to row " + std::to_string(ultima) + " does not follow row " +
                           std::to_string(riga_successiva_ - 1) + " within " + std::to_string(righe_) + " rows");
  if (!tratti_.empty() && tratti_.back().k == k)
    tratti_.back().ultima = ultima;
  else
    tratti_.push_back({ultima, k});
  riga_successiva_ = ultima + 1;
}

planimetria_t calcola_planimetria(const disegno_planimetria& d) {
  planimetria_t p;
  if (!d.allocata()) return p;
  p.alloca_righe(d.righe() - 1);
  if (d.origine()) {
    p.imposta_intero(0, 0, 0);
    p.imposta_intero(0, 1, 0);
    p.imposta_intero(1, 0, 0);
    p.imposta_intero(1, 1, 1);
  }
  int32_t riga = 2;
  percorri_righe(
      d, [] { return std::numeric_limits<int32_t>::max(); },
      [&](double x, double y) {
        p.imposta_reale(riga, 0, x);
        p.imposta_reale(riga, 1, y);
        ++riga;
      });
  return p;
}

}  // namespace tracciato
