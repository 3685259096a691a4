// The three binary files the simulator loads: packed little-endian dumps of
// the track plan, the record table and the cell grid, with no header, count
// or trailer.
#include <algorithm>
#include <bit>
#include <stdexcept>

#include "compactor/codifica.h"
#include "compactor/compattatore.h"

namespace tracciato {
namespace {

inline constexpr std::size_t massima_lunghezza_testo = 0xffff;

// Bytes of one track plan value with its kind code.
inline constexpr std::size_t byte_vuota = 2;
inline constexpr std::size_t byte_intero = 2 + 2;
inline constexpr std::size_t byte_reale = 2 + 8;

}  // namespace

std::size_t dimensione_planimetria(const planimetria_t& p) {
  // Entries hold only the three kinds the plan's setters give them.
  const tipo_voce* inizio = p.tipi();
  const tipo_voce* fine = inizio + p.voci();
  const auto interi = static_cast<std::size_t>(std::count(inizio, fine, tipo_voce::intero));
  const auto reali = static_cast<std::size_t>(std::count(inizio, fine, tipo_voce::reale));
  const std::size_t vuote = p.voci() - interi - reali;
  return vuote * byte_vuota + interi * byte_intero + reali * byte_reale;
}

// Line data file: every x (rows 0 up to the last), then every y, which is the
// order the plan stores them in. Each value:
//   kind    16-bit  0 empty, 2 16-bit integer, 5 double
//   value   0, 2 or 8 bytes as the kind says
byte_file codifica_planimetria(const planimetria_t& p) {
  const std::size_t dimensione = dimensione_planimetria(p);
  codificatore b(dimensione);
  // Millions of values go through a local cursor over the run reserved for
  // them; the run's size was counted from these same kinds just above.
  char* q = b.riserva(dimensione);
  const char* const fine = q + dimensione;
  const tipo_voce* tipi = p.tipi();
  const double* valori = p.valori();
  for (std::size_t i = 0; i < p.voci(); ++i) {
    const tipo_voce t = tipi[i];
    le16(q, static_cast<uint16_t>(t));
    if (t == tipo_voce::reale) {
      le64(q + 2, std::bit_cast<uint64_t>(valori[i]));
      q += byte_reale;
    } else if (t == tipo_voce::intero) {
      le16(q + 2, static_cast<uint16_t>(static_cast<int16_t>(valori[i])));
      q += byte_intero;
    } else {
      q += byte_vuota;
    }
  }
  if (q != fine) throw std::logic_error("track plan encoding differs from its computed size");
  return std::move(b).finisci();
}

std::size_t dimensione_tabella(const std::array<voce_tabella, posti_tabella>& tabella) {
  std::size_t n = 0;
  for (const auto& v : tabella) n += byte_voce_vuota + v.testo.size();
  return n;
}

// Scenario file: slots 0 to 86, each 34 + n bytes:
//   tipo_record 8 | valore1 32 | valore2 32 | valore3 32 | tipo2 8 |
//   testo: length n 16, n bytes | intero1..intero5 16 each |
//   byte1..byte4 8 each | valore4 32
byte_file codifica_tabella(const std::array<voce_tabella, posti_tabella>& tabella) {
  for (std::size_t i = 0; i < tabella.size(); ++i)
    if (tabella[i].testo.size() > massima_lunghezza_testo)
      throw std::runtime_error("the text of record slot " + std::to_string(i) + " is " +
                               std::to_string(tabella[i].testo.size()) +
                               " characters long; the scenario file holds at most 65535");
  codificatore b(dimensione_tabella(tabella));
  for (const auto& v : tabella) {
    b.metti8(v.tipo_record);
    b.metti32(v.valore1);
    b.metti32(v.valore2);
    b.metti32(v.valore3);
    b.metti8(v.tipo2);
    b.metti_testo(v.testo);
    b.metti16(v.intero1);
    b.metti16(v.intero2);
    b.metti16(v.intero3);
    b.metti16(v.intero4);
    b.metti16(v.intero5);
    b.metti8(v.byte1);
    b.metti8(v.byte2);
    b.metti8(v.byte3);
    b.metti8(v.byte4);
    b.metti32(v.valore4);
  }
  return std::move(b).finisci();
}

// Cell file: cells 0 to ultima_cella, each 15 bytes:
//   tipo_cella 8 | valore_a..valore_d 16 each | tempo_segnale 8 |
//   segno_approccio 8 | tipo_montagna 8 | vel_limite 8 | pendenza_cella 8 |
//   aderenza_cella 8
byte_file codifica_celle(const std::vector<cella>& celle) {
  codificatore b(byte_per_cella * celle.size());
  for (const auto& c : celle) {
    b.metti8(c.tipo_cella);
    b.metti16(c.valore_a);
    b.metti16(c.valore_b);
    b.metti16(c.valore_c);
    b.metti16(c.valore_d);
    b.metti8(c.tempo_segnale);
    b.metti8(c.segno_approccio);
    b.metti8(c.tipo_montagna);
    b.metti8(c.vel_limite);
    b.metti8(c.pendenza_cella);
    b.metti8(c.aderenza_cella);
  }
  return std::move(b).finisci();
}

}  // namespace tracciato
