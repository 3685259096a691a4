#include "driver/esecuzione.h"

namespace tracciato {

int esegui_compile(const opzioni_compile& opzioni) {
  (void)opzioni;
  return uscita_fallita;
}

}  // namespace tracciato
