// The station record of the train file: one tabella slot per station, in file
// order from slot 1, and its station cell and approach marks in the grid.
#include <cstdint>
#include <string>

#include "loader/treno.h"
#include "model/errori.h"
#include "model/numeri.h"
#include "model/regole.h"

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
// The extent (valore1, valore2) is estensione_stazione's. Kinds below
// 25 get a station cell at valore2 / 50 - 1 and, except 5 and 6, the approach
// marks 81 to 84 in the four cells before it (only cells above 1). The slot
// is filled before the grid is touched; a station whose cell would lie past
// the last cell is refused (26) before any mark is written, so nothing lands
// outside the grid.
esito_record lettore_treno::stazione(campi_voce& f) {
  const int32_t k = posto_stazione_;
  // Only when the line file left no free slot at all: never write a sign's slot.
  if (k >= posto_cartello_ || k > primo_posto_cartello) return ferma(e_posti_stazioni);
  voce_tabella& v = s_.tabella[k];

  const int32_t p = f.numero();
  v.valore3 = p;
  if (const esito_record e = controlla_posizione(p, 800); e != esito_record::avanti) return e;
  if (!multiplo(p, 50)) return ferma(e_stazione_non_multipla, p);
  v.tipo_record = static_cast<uint8_t>(f.numero());
  const int32_t lunghezza = f.numero();
  if (!multiplo(lunghezza, 100)) return ferma(e_lunghezza_stazione, p);

  v.tipo2 = static_cast<uint8_t>(f.numero());
  v.byte4 = static_cast<uint8_t>(f.numero());
  v.byte3 = static_cast<uint8_t>(f.numero());
  v.intero1 = static_cast<int16_t>(f.numero());
  v.intero2 = static_cast<int16_t>(f.numero());
  v.byte1 = static_cast<uint8_t>(f.numero());
  v.intero3 = static_cast<int16_t>(f.numero());
  v.intero4 = static_cast<int16_t>(f.numero());
  v.intero5 = static_cast<int16_t>(f.numero());
  v.byte2 = static_cast<uint8_t>(f.numero());
  const int64_t ore = f.numero();
  const int64_t minuti = f.numero();
  const int64_t secondi = f.numero();
  v.testo = f.testo();
  v.valore4 = in_32_bit(campi_, (ore * 60 + minuti) * 60 + secondi, "scheduled time");

  const uint8_t tipo = v.tipo_record;
  // Kinds 5 to 8 keep no third flag.
  if (tipo >= 5 && tipo <= 8) v.byte3 = 0;
  const auto [inizio, fine] = estensione_stazione(tipo, p, lunghezza, v.byte3 != 0);
  v.valore1 = in_32_bit(campi_, inizio, "extent start");
  v.valore2 = in_32_bit(campi_, fine, "extent end");
  if (lunghezza < 600) v.byte4 = 0;
  if (k == 1) v.byte3 = 0, v.byte4 = 0;

  if (con_cella_stazione(tipo)) {
    if (cella_della_stazione(v.valore2) > ultima_cella(s_)) return ferma(e_fuori_griglia, p);
    if (con_segni_approccio(tipo)) {
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
  return esito_record::avanti;
}

}  // namespace tracciato
