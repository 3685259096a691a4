#include "model/errori.h"

#include <charconv>

namespace tracciato {

const voce_errore* cerca_errore(int32_t numero) {
  for (const auto& voce : tabella_errori)
    if (voce.numero == numero) return &voce;
  return nullptr;
}

void errore(std::string_view a) {
  int32_t numero = 0;
  std::from_chars(a.data(), a.data() + a.size(), numero);
  throw arresto(numero);
}

}  // namespace tracciato
