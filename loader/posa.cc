// Placement helpers: put tunnels, slowdowns, signals and boards into the cells.
#include "model/scenario.h"

namespace tracciato {

void scenario::memo_montagna(int32_t, int32_t, int32_t&) {}
void scenario::memo_rallentamento(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
void scenario::memo_segnale(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                            int32_t, int32_t, int32_t&) {}
void scenario::memo_indicatori_v_max(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                     int32_t, int32_t) {}
void scenario::progressive_ordina() {}

}  // namespace tracciato
