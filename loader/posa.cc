// Placement helpers: put tunnels, slowdowns, signals and boards into the cells.
//
// Each helper turns a route position into a cell index (a real quotient,
// rounded half to even), tests occupancy where the item needs a free cell,
// and encodes its values into the cell fields; a value stored into a narrower
// field keeps its low bits. A refusal records its fault number and returns at
// once; the calling reader ties the fault to the item's route position.
//
// No helper reads or writes a cell outside 0..ultima_cella: an item whose own
// cells would leave the grid is refused with fault 26, and only the marks that
// merely decorate other cells (tunnel kinds, approach marks) are clipped.
#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "model/numeri.h"
#include "model/scenario.h"

namespace tracciato {
namespace {

// Cell of an item at route position p that stands in the cell after it
// (signals, slowdowns, boards): p / 50 + 1, rounded.
int64_t cella_dopo(int64_t p) { return arrotonda(static_cast<double>(p) / 50 + 1); }

}  // namespace

// memo_montagna: stores a tunnel span and marks its cells with the tunnel kind.
// A kind above 10 asks for markers on every fourth cell of the span.
void scenario::memo_montagna(int32_t inizio, int32_t fine, int32_t& tipo) {
  // The span tables hold 80 spans; one more is refused before anything is
  // stored or marked, so the tables never overflow.
  if (numero_montagne >= massimo_montagne) {
    registra_errore(27);
    return;
  }
  bool segni = false;
  if (tipo > 10) {
    tipo -= 10;
    segni = true;
  }
  ++numero_montagne;
  inizio_montagne[numero_montagne] = inizio;
  fine_montagne[numero_montagne] = fine;
  // Two spans 150 m apart or less read as one long tunnel: kind 3.
  if (numero_montagne > 1 &&
      static_cast<int64_t>(inizio) - fine_montagne[numero_montagne - 1] <= 150) {
    tipo = 3;
  }
  const int64_t prima = arrotonda(static_cast<double>(inizio) / 50);
  const int64_t ultima = arrotonda(static_cast<double>(fine) / 50 - 1);
  // Cells of the span outside the grid are left out; the markers keep their
  // places counted from the span's own first cell.
  if (celle.empty()) return;
  const int64_t da = std::max<int64_t>(prima, 0);
  const int64_t a = std::min<int64_t>(ultima, ultima_cella);
  for (int64_t i = da; i <= a; ++i) {
    cella& c = celle[i];
    c.tipo_montagna = basso8(tipo);
    if (segni && (i - prima + 1) % 4 == 0 && c.tipo_cella == cella_vuota) {
      c.tipo_cella = cella_segno_montagna;
    }
  }
}

// memo_rallentamento: places a slowdown starting at x, l metres long, with its
// warning board 1200 m before the start (only when x > 1500) and, when f_ta
// asks for them, the four pre-warning cells before the warning board.
void scenario::memo_rallentamento(int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                                  int32_t d_v) {
  const bool avviso = x > 1500;
  if (!avviso) f_ta = 0;
  const int64_t w = arrotonda(static_cast<double>(static_cast<int64_t>(x) - 1200) / 50 + 1);
  const int64_t s = cella_dopo(x);
  const int64_t e = cella_dopo(static_cast<int64_t>(x) + l);
  const int64_t p = arrotonda(static_cast<double>(static_cast<int64_t>(x) - 1200) / 50);

  // A negative length, or any cell the slowdown would write lying outside the
  // grid, refuses the whole slowdown before a cell is read or written.
  bool fuori = l < 0 || !in_griglia(s) || !in_griglia(e);
  if (avviso) fuori = fuori || !in_griglia(w);
  if (f_ta != 0) fuori = fuori || !in_griglia(p) || !in_griglia(p - 3);
  if (fuori) {
    registra_errore(26);
    return;
  }

  // These three tests come before any write: a refusal leaves the grid as it was.
  if (avviso && !libera(celle[w])) {
    registra_errore(17);
    return;
  }
  if (!libera(celle[s])) {
    registra_errore(18);
    return;
  }
  if (!libera(celle[e])) {
    registra_errore(19);
    return;
  }

  // End before start: when both fall into one cell, the start wins.
  celle[e].tipo_cella = cella_fine_rallentamento;
  if (d_v != 0) celle[e].valore_b = basso16(d_v);
  celle[s].tipo_cella = cella_inizio_rallentamento;
  if (d_v != 0) celle[s].valore_b = basso16(d_v);
  if (avviso) {
    celle[w].tipo_cella = cella_avviso_rallentamento;
    if (d_v != 0) celle[w].valore_b = basso16(d_v);
    celle[w].valore_a = basso16(v);
  }
  for (int64_t i : {s, e}) {
    celle[i].valore_a = basso16(v);
    celle[i].valore_c = basso16(f_tt);
  }

  if (f_ta != 0) {
    // Tested only now: an occupied pre-warning cell leaves the start, end and
    // warning cells already written.
    for (int64_t i = 0; i < 4; ++i) {
      if (!libera(celle[p - i])) {
        registra_errore(20);
        return;
      }
    }
    for (int64_t i = 0; i < 4; ++i) {
      cella& c = celle[p - i];
      c.tipo_cella = cella_preavviso;
      c.valore_a = basso16(i + 1);
      if (d_v != 0) c.valore_b = basso16(i + 1);
    }
  }
}

// memo_segnale: places a signal in its cell and marks the four approach cells
// 100, 200, 300 and 400 m before it.
void scenario::memo_segnale(int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                            int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                            int32_t& tempo) {
  const int64_t c = cella_dopo(posizione);
  // A signal cell outside the grid is refused; the grid stays as it was.
  if (!in_griglia(c)) {
    registra_errore(26);
    return;
  }
  if (!libera(celle[c])) {
    registra_errore(16);
    return;
  }
  cella& k = celle[c];
  k.tipo_cella = cella_segnale;
  k.valore_d = basso16(static_cast<int64_t>(rapp) * 10 + static_cast<int64_t>(sx) * 3 + dx);
  k.valore_a = basso16(static_cast<int64_t>(s1) * 10 + d1);
  k.valore_b = basso16(static_cast<int64_t>(s2) * 10 + d2);
  k.valore_c = basso16(static_cast<int64_t>(s3) * 10 + d3);
  // Timing values 1 to 100 are raised to 101; 0, negatives and larger ones stay.
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  k.tempo_segnale = sx == 2 ? basso8(tempo) : 0;
  // Approach marks go on whatever the cells hold. A signal in the first 350 m
  // has marks that would fall before cell 0: those marks are dropped, the
  // signal itself stands.
  const int64_t lato = static_cast<int64_t>(sx) * 3 + dx;
  for (int64_t j = 1; j <= 4; ++j) {
    if (!in_griglia(c - 2 * j)) continue;
    celle[c - 2 * j].segno_approccio = basso8(lato * 10 + j);
  }
}

// memo_indicatori_v_max: places a speed indicator board; each of its three
// values packs a left speed (times 20) with a right speed (in steps of 5).
void scenario::memo_indicatori_v_max(int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                                     int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                                     int32_t strisced) {
  const int64_t c = cella_dopo(posizione);
  if (!in_griglia(c)) {
    registra_errore(26);
    return;
  }
  if (!libera(celle[c])) {
    registra_errore(21);
    return;
  }
  // A value that does not fit the 16-bit field is a loading failure, found
  // before the cell is written.
  auto valore = [](int32_t destra, int32_t sinistra) -> int16_t {
    const int64_t r = arrotonda(static_cast<double>(destra) / 5 +
                                static_cast<double>(static_cast<int64_t>(sinistra) * 20));
    if (r < INT16_MIN || r > INT16_MAX) {
      throw std::range_error("speed board value " + std::to_string(r) + " does not fit 16 bits");
    }
    return static_cast<int16_t>(r);
  };
  const int16_t a = valore(vad, vas);
  const int16_t b = valore(vbd, vbs);
  const int16_t v_c = valore(vcd, vcs);
  cella& k = celle[c];
  k.tipo_cella = cella_indicatore_v_max;
  k.valore_a = a;
  k.valore_b = b;
  k.valore_c = v_c;
  k.valore_d = basso16(static_cast<int64_t>(strisces) * 10 + strisced);
}

}  // namespace tracciato
