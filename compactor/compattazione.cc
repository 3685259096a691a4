// The walk over the cell grid that places code points around slowdowns and
// the signals near them.
#include <cstdint>

#include "compactor/compattatore.h"
#include "model/errori.h"

namespace tracciato {
namespace {

inline constexpr int16_t valore_punto_codice = 180;
// A slowdown at this speed or above gets no code points inside it.
inline constexpr int16_t velocita_senza_codici = 110;
// How far the look-backs and the look-ahead reach, in cells.
inline constexpr int32_t celle_prima_avviso = 20;
inline constexpr int32_t celle_dopo_fine = 12;
inline constexpr int32_t passo_codici = 8;

// A type no cell holds: what a cell past either end of the grid reads as, so
// that it is neither free, nor a signal, nor a code point, nor a slowdown end.
inline constexpr int tipo_fuori_griglia = -1;

class percorso {
 public:
  explicit percorso(scenario& s) : s_(s), ultima_(static_cast<int32_t>(s.celle.size()) - 1) {}

  void cammina() {
    const int32_t l = ultima_ - 2;
    for (int32_t c = 1; c <= l; ++c) {
      const int tipo_c = tipo(c);
      if (tipo_c == cella_avviso_rallentamento) guarda_dietro_avviso(c);
      if (tipo_c == cella_inizio_rallentamento) {
        finestre_prima_inizio(c);
        const int32_t e = s_.celle[c].valore_a < velocita_senza_codici ? codici_dentro(c) : cerca_fine(c);
        codice_prima_segnale(e);
      }
    }
  }

 private:
  bool dentro(int32_t i) const { return i >= 0 && i <= ultima_; }
  int tipo(int32_t i) const { return dentro(i) ? s_.celle[i].tipo_cella : tipo_fuori_griglia; }
  bool libera_(int32_t i) const { return dentro(i) && libera(s_.celle[i]); }
  void metti_codice(int32_t i) {
    s_.celle[i].tipo_cella = cella_punto_codice;
    s_.celle[i].valore_a = valore_punto_codice;
  }
  void abbassa(int32_t i) { s_.celle[i].valore_a = minimo(valore_punto_codice, s_.celle[i].valore_a); }

  // Every signal in the 20 cells before a warning board gets a code point in
  // one of its two preceding cells, or has the one already there lowered to 180.
  void guarda_dietro_avviso(int32_t c) {
    for (int32_t a = 1; a <= celle_prima_avviso && c - a >= 3; ++a) {
      const int32_t k = c - a;
      if (tipo(k) != cella_segnale) continue;
      if (libera_(k - 1))
        metti_codice(k - 1);
      else if (libera_(k - 2))
        metti_codice(k - 2);
      else if (tipo(k - 1) == cella_punto_codice)
        abbassa(k - 1);
      else if (tipo(k - 2) == cella_punto_codice)
        abbassa(k - 2);
      else
        registra_errore(s_, e_codice_prima_segnale, k * 50);
    }
  }

  // Three windows before a slowdown start (250-350, 550-650 and 900-1000 m),
  // each tried on its own: the first free cell of a window takes a code point.
  void finestre_prima_inizio(int32_t c) {
    static const struct {
      int32_t da;  // the window applies when c > a, and tries c - da to c - a
      int32_t a;
    } finestre[] = {{5, 7}, {11, 13}, {18, 20}};
    for (const auto& f : finestre) {
      if (c <= f.a) continue;
      bool posto = false;
      for (int32_t d = f.da; d <= f.a && !posto; ++d) {
        if (libera_(c - d)) {
          metti_codice(c - d);
          posto = true;
        }
      }
      if (!posto) registra_errore(s_, e_codice_prima_inizio, c * 50);
    }
  }

  // A code point every 8 cells inside a slowdown, each counted from the cell
  // actually used; after a fault 13 the count runs past 8 and no more are
  // placed. Returns the slowdown end cell, or the last cell of the grid when
  // the end is missing.
  int32_t codici_dentro(int32_t c) {
    int32_t t = c;
    int32_t n = 0;
    while (t < ultima_) {
      ++t;
      ++n;
      if (n == passo_codici) {
        if (libera_(t)) {
          metti_codice(t);
          n = 0;
        } else if (libera_(t - 1)) {
          metti_codice(t - 1);
          n = 1;
        } else if (libera_(t + 1)) {
          metti_codice(t + 1);
          n = -1;
        } else {
          registra_errore(s_, e_codice_dentro, t * 50);
        }
      }
      if (tipo(t) == cella_fine_rallentamento) break;
    }
    return t;
  }

  // The end cell of a slowdown too fast for inner code points: the first end
  // after c, or the last cell of the grid.
  int32_t cerca_fine(int32_t c) const {
    int32_t t = c;
    while (t < ultima_ && tipo(++t) != cella_fine_rallentamento) {
    }
    return t;
  }

  // The first signal from the end cell e up to 12 cells after it gets a code
  // point in one of its two preceding cells.
  void codice_prima_segnale(int32_t e) {
    for (int32_t s = e; s <= e + celle_dopo_fine; ++s) {
      if (tipo(s) != cella_segnale) continue;
      if (s - 1 > 0) {
        if (libera_(s - 1))
          metti_codice(s - 1);
        else if (libera_(s - 2))
          metti_codice(s - 2);
        else
          registra_errore(s_, e_codice_dentro, e * 50);
      }
      return;
    }
  }

  scenario& s_;
  const int32_t ultima_;
};

}  // namespace

void compatta_celle(scenario& s) { percorso(s).cammina(); }

}  // namespace tracciato
