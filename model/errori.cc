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
  const auto [fine, esito] = std::from_chars(a.data(), a.data() + a.size(), numero);
  if (esito != std::errc{} || fine != a.data() + a.size())
    throw std::logic_error("errore: \"" + std::string(a) + "\" is not a fault number");
  throw arresto(numero);
}

}  // namespace tracciato
