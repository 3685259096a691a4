// The three binary files the simulator loads: packed little-endian dumps of
// the track plan, the record table and the cell grid, with no header, count
// or trailer.
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <stdexcept>

#include "compactor/codifica.h"
#include "compactor/compattatore.h"
#include "compactor/formato.h"
#include "platform/avvio.h"
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

// One value of the track plan at q: its kind code, then 0, 2 or 8 value
// bytes. Returns the bytes written. REQUIRES: byte_valore(t) bytes of room at q.
inline std::size_t metti_voce(char* q, tipo_voce t, double v) {
  le16(q, static_cast<uint16_t>(t));
  if (t == tipo_voce::reale) {
    le64(q + byte_tipo_valore, std::bit_cast<uint64_t>(v));
    return byte_reale;
  }
  if (t == tipo_voce::intero) {
    le16(q + byte_tipo_valore, static_cast<uint16_t>(static_cast<int16_t>(v)));
    return byte_intero;
  }
  return byte_vuota;
}

// Bytes of one column of a drawn plan; both columns hold the same kinds.
uint64_t byte_colonna(const disegno_planimetria& d) {
  const uint64_t righe = static_cast<uint64_t>(d.righe());
  const uint64_t interi = d.origine() ? 2 : 0;
  const uint64_t reali = static_cast<uint64_t>(d.riga_successiva() - 2);
  return interi * byte_intero + reali * byte_reale + (righe - interi - reali) * byte_vuota;
}

// colonna_in_uscita: one column of the line data file on its way to the
// file. Values are encoded into a buffer as they are computed, and written
// a block at a time, each block ending at a multiple of 64 KiB in the file:
// the kernel then fills whole aligned pages of its cache at each write, a
// twelfth less of its time than blocks that straddle them (the y column
// starts at an odd offset, and values of 10 bytes never fill a block
// exactly). A value that starts before the block's end goes into the buffer
// whole; what passes the end starts the next block. The block's size was
// chosen by measuring the 1,000 km compile side by side: 16 KiB costs a
// fifth more cpu time in its four times as many writes, 256 KiB gains about
// 1% for three times the memory; 64 KiB.
class colonna_in_uscita {
 public:
  static constexpr std::size_t blocco = 64 * 1024;

  colonna_in_uscita(file_nuovo& f, uint64_t inizio)
      : f_(f),
        b_(std::make_unique_for_overwrite<char[]>(blocco + byte_reale)),
        posizione_(inizio),
        limite_(blocco - static_cast<std::size_t>(inizio % blocco)) {
    popola_memoria(b_.get(), blocco + byte_reale);  // all of it is written, block after block
  }

  void metti(tipo_voce t, double v) {
    if (n_ >= limite_) scarica_blocco();
    n_ += metti_voce(b_.get() + n_, t, v);
  }

  // The computed rows are put through a cursor of the caller's, which stays
  // in a register: the buffer, the block's end (a value may start anywhere
  // before it), and where the next value goes.
  const char* limite() const { return b_.get() + limite_; }
  char* cursore() const { return b_.get() + n_; }
  // The values up to q are put: they become part of the buffer.
  void fino_a(const char* q) { n_ = static_cast<std::size_t>(q - b_.get()); }

  // Writes the block, whose end the values have reached; the bytes past it
  // begin the next one. REQUIRES: the values reach the block's end.
  void scarica_blocco() {
    f_.scrivi({b_.get(), limite_}, posizione_);
    const std::size_t oltre = n_ - limite_;
    std::memmove(b_.get(), b_.get() + limite_, oltre);
    posizione_ += limite_;
    n_ = oltre;
    limite_ = blocco;
  }
  // Writes what the buffer holds, at the end of the column.
  void scarica() {
    if (n_ > 0) f_.scrivi({b_.get(), n_}, posizione_);
    posizione_ += n_;
    n_ = 0;
  }
  // Offset of the byte after the last value put.
  uint64_t fine() const { return posizione_ + n_; }

 private:
  file_nuovo& f_;
  std::unique_ptr<char[]> b_;
  uint64_t posizione_;
  std::size_t limite_;  // the block's end in the buffer; at most blocco
  std::size_t n_ = 0;
};

// One double of the track plan at q. REQUIRES: byte_reale bytes of room at q.
inline void metti_reale(char* q, double v) {
  le16(q, static_cast<uint16_t>(tipo_voce::reale));
  le64(q + byte_tipo_valore, std::bit_cast<uint64_t>(v));
}

}  // namespace

// Line data file: every x (rows 0 up to the last), then every y; each value a
// kind code and 0, 2 or 8 value bytes (layout in formato.h). Row by row, as
// the drawn plan gives them: the origin's two rows of 16-bit integers (or
// empty entries when the load ended before it was set), the computed rows as
// doubles, then empty entries to the last row. The y column starts where the
// size of the x column, known from those counts, puts it.
void scrivi_file_planimetria(const scenario& s, const std::filesystem::path& percorso) {
  const disegno_planimetria& d = s.planimetria;
  if (!d.allocata()) throw std::logic_error("line data file asked for with no track plan");
  const uint64_t colonna = byte_colonna(d);
  file_nuovo f(percorso);
  f.riserva(2 * colonna);
  colonna_in_uscita x(f, 0), y(f, colonna);
  const tipo_voce origine = d.tipo(0);
  x.metti(origine, 0), y.metti(origine, 0);
  x.metti(origine, 0), y.metti(origine, 1);
  // Each row straight into its place in the two buffers as it is computed.
  char* qx = x.cursore();
  char* qy = y.cursore();
  const char* lx = x.limite();
  const char* ly = y.limite();
  riempi_righe(
      d,
      [&] {  // a block whose end is reached is written out; then the rows
             // that start before both blocks' ends
        if (qx >= lx) x.fino_a(qx), x.scarica_blocco(), qx = x.cursore(), lx = x.limite();
        if (qy >= ly) y.fino_a(qy), y.scarica_blocco(), qy = y.cursore(), ly = y.limite();
        const std::ptrdiff_t spazio = std::min(lx - qx, ly - qy);
        return static_cast<int32_t>((spazio + static_cast<std::ptrdiff_t>(byte_reale) - 1) /
                                    static_cast<std::ptrdiff_t>(byte_reale));
      },
      [&](int32_t i, double xv, double yv) {
        const std::size_t o = static_cast<std::size_t>(i) * byte_reale;
        metti_reale(qx + o, xv);
        metti_reale(qy + o, yv);
      },
      [&](int32_t n) {
        qx += static_cast<std::size_t>(n) * byte_reale;
        qy += static_cast<std::size_t>(n) * byte_reale;
      });
  x.fino_a(qx);
  y.fino_a(qy);
  for (int32_t r = d.riga_successiva(); r < d.righe(); ++r)
    x.metti(tipo_voce::vuota, 0), y.metti(tipo_voce::vuota, 0);
  if (x.fine() != colonna || y.fine() != 2 * colonna)
    throw std::logic_error("track plan encoding differs from its computed size");
  x.scarica();
  y.scarica();
  f.chiudi();
}

std::size_t dimensione_planimetria(const disegno_planimetria& d) { return 2 * byte_colonna(d); }

// The comparison walks the file as scrivi_file_planimetria writes it: per
// column the origin's two entries, the computed rows as kind 5 and 8 bytes
// each, then the empty entries; y's column starts where x's ends. Each column
// is read a block at a time into a buffer of its own.
int64_t prima_riga_diversa(const disegno_planimetria& d, uint64_t dimensione, const lettura_parziale& leggi) {
  if (!d.allocata() || dimensione != dimensione_planimetria(d)) return 0;
  const uint64_t colonna = byte_colonna(d);
  // The origin's two rows, encoded as the writer encodes them.
  const tipo_voce t = d.tipo(0);
  const std::size_t una = byte_valore(t);
  char ox[2 * byte_intero], oy[2 * byte_intero], fx[2 * byte_intero], fy[2 * byte_intero];
  metti_voce(ox, t, 0), metti_voce(ox + una, t, 0);
  metti_voce(oy, t, 0), metti_voce(oy + una, t, 1);
  leggi(fx, 2 * una, 0);
  leggi(fy, 2 * una, colonna);
  for (std::size_t r = 0; r < 2; ++r)
    if (std::memcmp(ox + r * una, fx + r * una, una) != 0 || std::memcmp(oy + r * una, fy + r * una, una) != 0)
      return static_cast<int64_t>(r);

  // A block of rows of each column at a time: 64 KiB, which stays in the
  // cache while it is compared.
  constexpr std::size_t righe_blocco = 6400;
  auto bx = std::make_unique_for_overwrite<char[]>(righe_blocco * byte_reale);
  auto by = std::make_unique_for_overwrite<char[]>(righe_blocco * byte_reale);
  uint64_t px = 2 * una, py = colonna + 2 * una;  // where the next block starts
  // Reads the next m entries of each column, byte bytes each.
  auto carica = [&](std::size_t m, std::size_t byte) {
    leggi(bx.get(), m * byte, px);
    leggi(by.get(), m * byte, py);
    px += m * byte;
    py += m * byte;
  };

  // The computed rows: each entry's 10 bytes against the kind and the bits
  // of the value computed for it. Rows are told apart only once one differs.
  int64_t da_leggere = d.riga_successiva() - 2;
  const char* qx = nullptr;
  const char* qy = nullptr;
  std::size_t restano = 0;
  int64_t diversa = -1;
  int64_t riga = 2;
  constexpr auto reale = static_cast<uint16_t>(tipo_voce::reale);
  percorri_righe(
      d,
      [&] {
        if (restano == 0) {
          restano = static_cast<std::size_t>(std::min<int64_t>(da_leggere, righe_blocco));
          carica(restano, byte_reale);
          da_leggere -= static_cast<int64_t>(restano);
          qx = bx.get(), qy = by.get();
        }
        return static_cast<int32_t>(restano);
      },
      [&](double xv, double yv) {
        // One test per row, not four: the four nearly always agree.
        const uint64_t scarto = (da_le16(qx) ^ reale) | (da_le16(qy) ^ reale) |
                                (da_le64(qx + byte_tipo_valore) ^ std::bit_cast<uint64_t>(xv)) |
                                (da_le64(qy + byte_tipo_valore) ^ std::bit_cast<uint64_t>(yv));
        if (scarto != 0 && diversa < 0) [[unlikely]]
          diversa = riga;
        qx += byte_reale;
        qy += byte_reale;
        --restano;
        ++riga;
      });
  if (diversa >= 0) return diversa;
  // The empty rows to the last.
  while (riga < d.righe()) {
    const auto m = static_cast<std::size_t>(std::min<int64_t>(d.righe() - riga, righe_blocco));
    carica(m, byte_vuota);
    for (std::size_t i = 0; i < m; ++i, ++riga)
      if (da_le16(bx.get() + i * byte_vuota) != 0 || da_le16(by.get() + i * byte_vuota) != 0) return riga;
  }
  return -1;
}

bool stesse_celle(const std::vector<cella>& celle, uint64_t dimensione, const lettura_parziale& leggi) {
  if (dimensione != byte_per_cella * celle.size()) return false;
  std::string blocco;
  for (std::size_t i = 0; i < celle.size(); i += celle_blocco) {
    const std::size_t m = std::min(celle_blocco, celle.size() - i);
    blocco.resize(m * byte_per_cella);
    leggi(blocco.data(), blocco.size(), i * byte_per_cella);
    codificatore b(byte_per_cella * m);
    for (std::size_t j = i; j < i + m; ++j) campi_cella(celle[j], metti_campo{b});
    if (std::move(b).finisci().vista() != blocco) return false;
  }
  return true;
}

lettura_parziale lettura_in_memoria(std::string_view dati) {
  return [dati](char* dove, std::size_t n, uint64_t posizione) {
    if (posizione > dati.size() || n > dati.size() - posizione) throw std::logic_error("read past the bytes in memory");
    std::memcpy(dove, dati.data() + posizione, n);
  };
}

int64_t prima_riga_diversa(const disegno_planimetria& d, std::string_view dati) {
  return prima_riga_diversa(d, dati.size(), lettura_in_memoria(dati));
}

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
  for (std::size_t i = 0; i < p.voci(); ++i)
    q += metti_voce(q, tipi[i], tipi[i] == tipo_voce::vuota ? 0.0 : valori[i]);
  if (q != fine) throw std::logic_error("track plan encoding differs from its computed size");
  return std::move(b).finisci();
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

// Cell file: the cells a block at a time, each block encoded and written at
// its offset; the block's room is taken again by the next, so the memory
// the file costs does not grow with the route.
void scrivi_file_celle(const std::vector<cella>& celle, const std::filesystem::path& percorso) {
  file_nuovo f(percorso);
  uint64_t posizione = 0;
  for (std::size_t i = 0; i < celle.size(); i += celle_blocco) {
    const std::size_t n = std::min(celle_blocco, celle.size() - i);
    codificatore b(n * byte_per_cella);
    for (std::size_t j = i; j < i + n; ++j) campi_cella(celle[j], metti_campo{b});
    const byte_file blocco = std::move(b).finisci();
    f.scrivi(blocco.vista(), posizione);
    posizione += blocco.dimensione;
  }
  f.chiudi();
}

// Cell file: cells 0 to ultima_cella, each a campi_cella record of 15 bytes.
byte_file codifica_celle(const std::vector<cella>& celle) {
  codificatore b(byte_per_cella * celle.size());
  for (const auto& c : celle) campi_cella(c, metti_campo{b});
  return std::move(b).finisci();
}

bool stesse_celle(const std::vector<cella>& celle, std::string_view dati) {
  return stesse_celle(celle, dati.size(), lettura_in_memoria(dati));
}

}  // namespace tracciato
