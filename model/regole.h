// Rules that follow from the format and that more than one tool applies: the
// cell an item takes, a station's extent and cell, and the chainage of a
// route position. The loader applies them when it builds the model; the
// checker, the language server, the decompiler and the page ask the same
// functions, so that they never disagree with it.
#pragma once

#include <cstdint>
#include <string>

#include "model/numeri.h"

namespace tracciato {

struct scenario;

// Which cell an item of a kind takes, from its position p.
enum class cella_voce : uint8_t {
  nessuna,     // it bounds something but takes no cell of its own
  propria,     // cell p / 50: gradient, speed and adhesion changes, code points, tunnel starts
  successiva,  // cell p / 50 + 1: signals, boards, slowdowns and signs
  stazione,    // follows from the end of the station's extent: cella_della_stazione
};

// The cell of an item at p whose kind takes cells as c; -1 for nessuna and
// stazione, which need more than a position.
inline int64_t cella_della_voce(cella_voce c, int64_t p) {
  switch (c) {
    case cella_voce::propria: return cella_di(p);
    case cella_voce::successiva: return cella_di(p, 1);
    default: return -1;
  }
}

// A station's extent, from its position p, kind, length l and third flag:
// p - l to p + 150 for kinds 5 and 6, p - l to p + l for kinds 7 and 8 (which
// keep no third flag), p - l/2 to p + l/2 for the others, 50 m longer at the
// end with the third flag.
struct estensione {
  int64_t inizio = 0;
  int64_t fine = 0;
};
inline estensione estensione_stazione(int64_t tipo, int64_t p, int64_t l, bool terzo_flag) {
  if (tipo == 5 || tipo == 6) return {p - l, p + 150};
  if (tipo == 7 || tipo == 8) return {p - l, p + l};
  return {p - l / 2, p + l / 2 + (terzo_flag ? 50 : 0)};
}

// Kinds below 25 take a station cell; kinds 5 and 6 no approach marks.
inline bool con_cella_stazione(int64_t tipo) { return tipo < 25; }
inline bool con_segni_approccio(int64_t tipo) { return tipo < 25 && tipo != 5 && tipo != 6; }

// The station cell of an extent ending at fine: the cell before it.
inline int64_t cella_della_stazione(int64_t fine) { return cella_di(fine, -1); }

// chilometrica: the line's chainage at route position p, in metres, from the
// chainage references of the model (slots 81 to 83, once ordered, a flagged
// one already 100 m on): the reference with the greatest start at or before
// p, else the first one; p itself when no reference is in use.
int64_t chilometrica(const scenario& s, int64_t p);

// "km 105+100" for 105100 m.
std::string testo_chilometrica(int64_t metri);

}  // namespace tracciato
