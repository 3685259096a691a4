// The three binary files the simulator loads: packed little-endian dumps of
// the track plan, the record table and the cell grid, with no header, count
// or trailer.
#include <algorithm>
#include <bit>
#include <stdexcept>

#include "compactor/codifica.h"
#include "compactor/compattatore.h"
#include "compactor/formato.h"
#include "platform/file.h"

namespace tracciato {
namespace {

inline constexpr std::size_t massima_lunghezza_testo = 0xffff;

static_assert(byte_fissi_cella() == byte_per_cella);

// Writes one field of a record by its type (see formato.h).
struct metti_campo {
  codificatore& b;
  void operator()(const char*, uint8_t x) const { b.metti8(x); }
  void operator()(const char*, int16_t x) const { b.metti16(x); }
  void operator()(const char*, int32_t x) const { b.metti32(x); }
  void operator()(const char*, const std::string& x) const { b.metti_testo(x); }
  // Any other type is a field the file has no encoding for.
  template <class T>
  void operator()(const char*, const T&) const = delete;
};

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
// order the plan stores them in; each value a kind code and 0, 2 or 8 value
// bytes (layout in formato.h).
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
      le64(q + byte_tipo_valore, std::bit_cast<uint64_t>(valori[i]));
      q += byte_reale;
    } else if (t == tipo_voce::intero) {
      le16(q + byte_tipo_valore, static_cast<uint16_t>(static_cast<int16_t>(valori[i])));
      q += byte_intero;
    } else {
      q += byte_vuota;
    }
  }
  if (q != fine) throw std::logic_error("track plan encoding differs from its computed size");
  return std::move(b).finisci();
}

// The largest file by far (20 MB for a 1000 km line), behind one call so that
// its rows may later stream into the file instead of one buffer.
void scrivi_file_planimetria(const scenario& s, const std::filesystem::path& percorso) {
  sostituisci_file(percorso, codifica_planimetria(s.planimetria).vista());
}

std::size_t dimensione_tabella(const std::array<voce_tabella, posti_tabella>& tabella) {
  std::size_t n = 0;
  for (const auto& v : tabella) n += byte_voce_vuota + v.testo.size();
  return n;
}

// Scenario file: slots 0 to 86, each a campi_voce record of 34 + n bytes.
byte_file codifica_tabella(const std::array<voce_tabella, posti_tabella>& tabella) {
  for (std::size_t i = 0; i < tabella.size(); ++i)
    if (tabella[i].testo.size() > massima_lunghezza_testo)
      throw std::runtime_error("the text of record slot " + std::to_string(i) + " is " +
                               std::to_string(tabella[i].testo.size()) +
                               " characters long; the scenario file holds at most 65535");
  codificatore b(dimensione_tabella(tabella));
  for (const auto& v : tabella) campi_voce(v, metti_campo{b});
  return std::move(b).finisci();
}

// Cell file: cells 0 to ultima_cella, each a campi_cella record of 15 bytes.
byte_file codifica_celle(const std::vector<cella>& celle) {
  codificatore b(byte_per_cella * celle.size());
  for (const auto& c : celle) campi_cella(c, metti_campo{b});
  return std::move(b).finisci();
}

}  // namespace tracciato
