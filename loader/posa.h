// Placement helpers: put tunnels, slowdowns, signals and boards into the cells,
// and order the chainage references.
//
// Each helper refuses an item on an occupied cell by recording its fault
// number (without a position) and returning at once; none clears
// codice_errore. The calling reader ties the fault to the item (dopo_posa).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "loader/luogo.h"
#include "model/scenario.h"

namespace tracciato {

// memo_montagna: stores the tunnel span inizio..fine (route positions, m) and
// marks its cells with the tunnel kind tipo; a kind above 10 asks for tunnel
// markers on every fourth cell and is lowered by 10. tipo becomes 3 when the
// span follows the previous one within 150 m. Faults: 27.
void memo_montagna(scenario& s, int32_t inizio, int32_t fine, int32_t& tipo);

// memo_rallentamento: a slowdown starting at route position x, l metres long,
// at speed v (km/h), with the flags f_tt (valore_c of the start and end cells)
// and f_ta (the four pre-warning cells), and d_v (valore_b, when non-zero).
// Its warning board stands 1200 m before the start when x > 1500.
// Faults: 17, 18, 19, 20, 26.
void memo_rallentamento(scenario& s, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v);

// memo_segnale: a signal at route position posizione, of kind sx (2 = timed)
// with the aspects s1..s3, the ratio rapp, and the second head dx, d1..d3;
// tempo is the timing value (1 to 100 are raised to 101). Marks the four
// approach cells 100 to 400 m before it. Faults: 16, 26.
void memo_segnale(scenario& s, int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                  int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t& tempo);

// memo_indicatori_v_max: a speed indicator board at posizione: three speeds
// of the left series (vas, vbs, vcs, km/h) with its stripe count strisces,
// and the same of the right series (vad, vbd, vcd, strisced).
// Faults: 21, 26; a packed value beyond 16 bits throws std::range_error.
void memo_indicatori_v_max(scenario& s, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced);

// progressive_ordina: puts the chainage references of slots 81 to 83 in order.
void progressive_ordina(scenario& s);

// dopo_posa: after a placement helper, whether the load ends at this item. It
// does when any fault stands (codice_errore > 0): the helper's own, recorded
// since guasti held guasti_prima entries, which gets the item's position and
// place; or an earlier one (a 15 left by the line half), after which an entry
// of its own, pointing back at that fault, says where the load stopped.
bool dopo_posa(scenario& s, size_t guasti_prima, int32_t posizione, const std::string& file,
               const luogo_record& record);

}  // namespace tracciato
