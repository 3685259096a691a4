#include "model/scenario.h"

namespace tracciato {

void scenario::carica_treno(int32_t posto_cartello) { (void)posto_cartello; }

}  // namespace tracciato
