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

#include "loader/posa.h"
#include "model/errori.h"
#include "model/numeri.h"

namespace tracciato {

// memo_montagna: stores a tunnel span and marks its cells with the tunnel kind.
// A kind above 10 asks for markers on every fourth cell of the span.
void memo_montagna(scenario& s, int32_t inizio, int32_t fine, int32_t& tipo) {
  // The span tables hold 80 spans; one more is refused before anything is
  // stored or marked, so the tables never overflow.
  if (s.numero_montagne >= massimo_montagne) {
    registra_errore(s, e_troppe_montagne);
    return;
  }
  bool segni = false;
  if (tipo > 10) {
    tipo -= 10;
    segni = true;
  }
  ++s.numero_montagne;
  s.inizio_montagne[s.numero_montagne] = inizio;
  s.fine_montagne[s.numero_montagne] = fine;
  // Two spans 150 m apart or less read as one long tunnel: kind 3.
  if (s.numero_montagne > 1 &&
      static_cast<int64_t>(inizio) - s.fine_montagne[s.numero_montagne - 1] <= 150) {
    tipo = 3;
  }
  const int64_t prima = cella_di(inizio);
  const int64_t ultima = cella_di(fine, -1);
  // Cells of the span outside the grid are left out; the markers keep their
  // places counted from the span's own first cell.
  if (s.celle.empty()) return;
  const int64_t da = std::max<int64_t>(prima, 0);
  const int64_t a = std::min<int64_t>(ultima, ultima_cella(s));
  for (int64_t i = da; i <= a; ++i) {
    cella& c = s.celle[i];
    c.tipo_montagna = basso8(tipo);
    if (segni && (i - prima + 1) % 4 == 0 && c.tipo_cella == cella_vuota) {
      c.tipo_cella = cella_segno_montagna;
    }
  }
}

// memo_rallentamento: places a slowdown starting at x, l metres long, with its
// warning board 1200 m before the start (only when x > 1500) and, when f_ta
// asks for them, the four pre-warning cells before the warning board.
void memo_rallentamento(scenario& s, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v) {
  const bool avviso = x > 1500;
  if (!avviso) f_ta = 0;
  const int64_t w = cella_di(static_cast<int64_t>(x) - 1200, 1);
  const int64_t ci = cella_di(x, 1);
  const int64_t e = cella_di(static_cast<int64_t>(x) + l, 1);
  const int64_t p = cella_di(static_cast<int64_t>(x) - 1200);

  // A negative length, or any cell the slowdown would write lying outside the
  // grid, refuses the whole slowdown before a cell is read or written.
  bool fuori = l < 0 || !in_griglia(s, ci) || !in_griglia(s, e);
  if (avviso) fuori = fuori || !in_griglia(s, w);
  if (f_ta != 0) fuori = fuori || !in_griglia(s, p) || !in_griglia(s, p - 3);
  if (fuori) {
    registra_errore(s, e_fuori_griglia);
    return;
  }

  // These three tests come before any write: a refusal leaves the grid as it was.
  if (avviso && !libera(s.celle[w])) {
    registra_errore(s, e_avviso_occupato);
    return;
  }
  if (!libera(s.celle[ci])) {
    registra_errore(s, e_inizio_occupato);
    return;
  }
  if (!libera(s.celle[e])) {
    registra_errore(s, e_fine_occupato);
    return;
  }

  // End before start: when both fall into one cell, the start wins.
  s.celle[e].tipo_cella = cella_fine_rallentamento;
  if (d_v != 0) s.celle[e].valore_b = basso16(d_v);
  s.celle[ci].tipo_cella = cella_inizio_rallentamento;
  if (d_v != 0) s.celle[ci].valore_b = basso16(d_v);
  if (avviso) {
    s.celle[w].tipo_cella = cella_avviso_rallentamento;
    if (d_v != 0) s.celle[w].valore_b = basso16(d_v);
    s.celle[w].valore_a = basso16(v);
  }
  for (int64_t i : {ci, e}) {
    s.celle[i].valore_a = basso16(v);
    s.celle[i].valore_c = basso16(f_tt);
  }

  if (f_ta != 0) {
    // Tested only now: an occupied pre-warning cell leaves the start, end and
    // warning cells already written.
    for (int64_t i = 0; i < 4; ++i) {
      if (!libera(s.celle[p - i])) {
        registra_errore(s, e_preavviso_occupato);
        return;
      }
    }
    for (int64_t i = 0; i < 4; ++i) {
      cella& c = s.celle[p - i];
      c.tipo_cella = cella_preavviso;
      c.valore_a = basso16(i + 1);
      if (d_v != 0) c.valore_b = basso16(i + 1);
    }
  }
}

// memo_segnale: places a signal in its cell and marks the four approach cells
// 100, 200, 300 and 400 m before it.
void memo_segnale(scenario& s, int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                  int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t& tempo) {
  const int64_t c = cella_di(posizione, 1);
  // A signal cell outside the grid is refused; the grid stays as it was.
  if (!in_griglia(s, c)) {
    registra_errore(s, e_fuori_griglia);
    return;
  }
  if (!libera(s.celle[c])) {
    registra_errore(s, e_segnale_occupato);
    return;
  }
  cella& k = s.celle[c];
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
    if (!in_griglia(s, c - 2 * j)) continue;
    s.celle[c - 2 * j].segno_approccio = basso8(lato * 10 + j);
  }
}

// memo_indicatori_v_max: places a speed indicator board; each of its three
// values packs a left speed (times 20) with a right speed (in steps of 5).
void memo_indicatori_v_max(scenario& s, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced) {
  const int64_t c = cella_di(posizione, 1);
  if (!in_griglia(s, c)) {
    registra_errore(s, e_fuori_griglia);
    return;
  }
  if (!libera(s.celle[c])) {
    registra_errore(s, e_indicatore_occupato);
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
  cella& k = s.celle[c];
  k.tipo_cella = cella_indicatore_v_max;
  k.valore_a = a;
  k.valore_b = b;
  k.valore_c = v_c;
  k.valore_d = basso16(static_cast<int64_t>(strisces) * 10 + strisced);
}

}  // namespace tracciato

namespace tracciato {

bool dopo_posa(scenario& s, size_t guasti_prima, int32_t posizione, const std::string& file,
               const luogo_record& record) {
  if (s.codice_errore <= 0) return false;
  s.posizione_errore = posizione;
  if (s.guasti.size() > guasti_prima) {
    guasto& g = s.guasti.back();
    g.con_posizione = true;
    g.posizione = posizione;
    segna(g, file, record);
    return true;
  }
  guasto g;
  g.numero = s.codice_errore;
  g.con_posizione = true;
  g.posizione = posizione;
  segna(g, file, record);
  g.dettaglio = "the load stops at this item because of the earlier fault";
  g.causa = static_cast<int32_t>(s.guasti.size()) - 1;
  s.guasti.push_back(std::move(g));
  return true;
}

}  // namespace tracciato
