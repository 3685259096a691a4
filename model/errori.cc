#include "model/errori.h"

namespace tracciato {

const voce_errore* cerca_errore(int32_t numero) {
  for (const auto& voce : tabella_errori)
    if (voce.numero == numero) return &voce;
  return nullptr;
}

std::string rimedio_errore(int32_t numero, int32_t ultima) {
  const voce_errore* v = cerca_errore(numero);
  if (v == nullptr) return "";
  const int64_t fine = int64_t{ultima} * 50;
  if (numero == e_oltre_griglia && fine > 0)
    return "the last position allowed is " + std::to_string(fine - 100) + " m (a station " +
           std::to_string(fine - 800) + " m): " + std::string(v->rimedio);
  return std::string(v->rimedio);
}

std::string messaggio_arresto(int32_t numero) { return " Errore n. " + std::to_string(numero); }

}  // namespace tracciato
