// The station record of the train file: one tabella slot per station, in file
// order from slot 1, and its station cell and approach marks in the grid.
#include <cstdint>
#include <string>

#include "loader/treno.h"
#include "model/errori.h"
#include "model/numeri.h"

namespace tracciato {
namespace {

// A computed 32-bit field (extent, scheduled time) that does not fit is a
// read failure, like a file value too large for its field.
int32_t in_32_bit(const lettore_campi& campi, int64_t v, const char* cosa) {
  if (v < INT32_MIN || v > INT32_MAX)
    campi.fallisci(std::string("station ") + cosa + " " + std::to_string(v) +
                   " does not fit its field");
  return static_cast<int32_t>(v);
}

}  // namespace

// Station record, 17 fields: position P, kind, length L, three flags, two
// groups of three numbers, stop value, scheduled hours, minutes, seconds, name.
//
// The extent (valore1, valore2) is P - L to P + 150 for kinds 5 and 6, P - L
// to P + L for kinds 7 and 8 (neither keeps the third flag), and P - L/2 to
// P + L/2 for the others, 50 m longer when the third flag is set. Kinds below
// 25 get a station cell at valore2 / 50 - 1 and, except 5 and 6, the approach
// marks 81 to 84 in the four cells before it (only cells above 1). The slot
// is filled before the grid is touched; a station whose cell would lie past
// the last cell is refused (26) before any mark is written, so nothing lands
// outside the grid.
esito lettore_treno::stazione() {
  const int32_t k = posto_stazione_;
  // Only when the line file left no free slot at all: never write a sign's slot.
  if (k >= posto_cartello_ || k > primo_posto_cartello) return ferma(e_posti_stazioni);
  voce_tabella& v = s_.tabella[k];

  const int32_t p = campi_.leggi_numero<int32_t>();
  v.valore3 = p;
  if (const esito e = controlla_posizione(p, 800); e != esito::avanti) return e;
  if (!multiplo(p, 50)) return ferma(e_stazione_non_multipla, p);
  v.tipo_record = campi_.leggi_numero<uint8_t>();
  const int32_t lunghezza = campi_.leggi_numero<int32_t>();
  if (!multiplo(lunghezza, 100)) return ferma(e_lunghezza_stazione, p);

  v.tipo2 = campi_.leggi_numero<uint8_t>();
  v.byte4 = campi_.leggi_numero<uint8_t>();
  v.byte3 = campi_.leggi_numero<uint8_t>();
  v.intero1 = campi_.leggi_numero<int16_t>();
  v.intero2 = campi_.leggi_numero<int16_t>();
  v.byte1 = campi_.leggi_numero<uint8_t>();
  v.intero3 = campi_.leggi_numero<int16_t>();
  v.intero4 = campi_.leggi_numero<int16_t>();
  v.intero5 = campi_.leggi_numero<int16_t>();
  v.byte2 = campi_.leggi_numero<uint8_t>();
  const int64_t ore = campi_.leggi_numero<int32_t>();
  const int64_t minuti = campi_.leggi_numero<int32_t>();
  const int64_t secondi = campi_.leggi_numero<int32_t>();
  v.testo = campi_.leggi_testo();
  v.valore4 = in_32_bit(campi_, (ore * 60 + minuti) * 60 + secondi, "scheduled time");

  const uint8_t tipo = v.tipo_record;
  int64_t inizio, fine;
  if (tipo == 5 || tipo == 6) {
    inizio = int64_t{p} - lunghezza;
    fine = int64_t{p} + 150;
    v.byte3 = 0;
  } else if (tipo == 7 || tipo == 8) {
    inizio = int64_t{p} - lunghezza;
    fine = int64_t{p} + lunghezza;
    v.byte3 = 0;
  } else {
    inizio = int64_t{p} - lunghezza / 2;
    fine = int64_t{p} + lunghezza / 2 + (v.byte3 != 0 ? 50 : 0);
  }
  v.valore1 = in_32_bit(campi_, inizio, "extent start");
  v.valore2 = in_32_bit(campi_, fine, "extent end");
  if (lunghezza < 600) v.byte4 = 0;
  if (k == 1) v.byte3 = 0, v.byte4 = 0;

  if (tipo < 25) {
    if (cella_di(v.valore2, -1) > ultima_cella(s_)) return ferma(e_fuori_griglia, p);
    if (tipo != 5 && tipo != 6) {
      for (int j = 1; j <= 4; ++j) {
        const double q = v.valore2 / 50.0 - j - 1;
        if (q > 1) s_.celle[arrotonda(q)].segno_approccio = static_cast<uint8_t>(80 + j);
      }
    }
    const double q = v.valore2 / 50.0 - 1;
    if (q <= 1) return ferma(e_stazione_iniziale);
    cella& c = s_.celle[arrotonda(q)];
    c.tipo_cella = cella_stazione;
    c.valore_a = basso16(k);
  }

  if (k > 1 && int64_t{v.valore1} - 350 < s_.tabella[k - 1].valore2) return ferma(e_stazioni_vicine, p);
  posto_stazione_ = k + 1;
  if (posto_stazione_ >= posto_cartello_) return ferma(e_posti_stazioni);
  return esito::avanti;
}

}  // namespace tracciato
