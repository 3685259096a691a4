#include "compactor/decodifica.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "compactor/compattatore.h"
#include "compactor/formato.h"
#include "platform/avvio.h"

namespace tracciato {
namespace {

// Reads one field of a record by its type (see formato.h); the field's name
// goes into the message of a read past the end.
struct prendi_campo {
  decodificatore& d;
  void operator()(const char* nome, uint8_t& x) const { x = d.prendi8(nome); }
  void operator()(const char* nome, int16_t& x) const { x = d.prendi16(nome); }
  void operator()(const char* nome, int32_t& x) const { x = d.prendi32(nome); }
  void operator()(const char* nome, std::string& x) const { x = d.prendi_testo(nome); }
  // Any other type is a field the file has no encoding for.
  template <class T>
  void operator()(const char*, T&) const = delete;
};

// Reads the kind code of the next plan value; refuses a code that is not one
// of the three kinds.
tipo_voce prendi_tipo(decodificatore& d, std::size_t i) {
  const std::size_t inizio = d.posizione();
  const uint16_t codice = d.prendi16_senza_segno("the kind code");
  if (!tipo_valore_noto(codice))
    d.errore(inizio, "value " + std::to_string(i) + " has the unknown kind " + std::to_string(codice));
  return static_cast<tipo_voce>(codice);
}

}  // namespace

std::vector<cella> decodifica_celle(std::string_view dati, std::string_view nome_file) {
  decodificatore d(dati, nome_file);
  if (const std::size_t avanzo = dati.size() % byte_per_cella; avanzo != 0)
    d.errore(dati.size() - avanzo, "the size " + std::to_string(dati.size()) + " is not a whole number of " +
                                       std::to_string(byte_per_cella) + "-byte cells");
  std::vector<cella> celle;
  riserva_popolata(celle, dati.size() / byte_per_cella);
  celle.resize(dati.size() / byte_per_cella);
  for (std::size_t i = 0; i < celle.size(); ++i) {
    d.record("cell", i);
    campi_cella(celle[i], prendi_campo{d});
  }
  return celle;
}

std::vector<cella> decodifica_celle(uint64_t dimensione, const lettura_parziale& leggi, std::string_view nome_file) {
  constexpr uint64_t byte_blocco = celle_blocco * byte_per_cella;
  // A file of no whole number of cells is refused as the whole file's bytes are.
  if (dimensione % byte_per_cella != 0) {
    std::string tutto(static_cast<std::size_t>(dimensione), '\0');
    leggi(tutto.data(), tutto.size(), 0);
    return decodifica_celle(tutto, nome_file);
  }
  std::vector<cella> celle;
  riserva_popolata(celle, static_cast<std::size_t>(dimensione / byte_per_cella));
  std::string blocco;
  for (uint64_t o = 0; o < dimensione; o += byte_blocco) {
    blocco.resize(static_cast<std::size_t>(std::min(byte_blocco, dimensione - o)));
    leggi(blocco.data(), blocco.size(), o);
    const std::vector<cella> parte = decodifica_celle(blocco, nome_file);
    celle.insert(celle.end(), parte.begin(), parte.end());
  }
  return celle;
}

std::array<voce_tabella, posti_tabella> decodifica_tabella(std::string_view dati, std::string_view nome_file) {
  decodificatore d(dati, nome_file);
  std::array<voce_tabella, posti_tabella> tabella{};
  for (std::size_t i = 0; i < tabella.size(); ++i) {
    if (d.finito())
      d.errore(d.posizione(), "the file ends after " + std::to_string(i) + " of the " +
                                  std::to_string(posti_tabella) + " record slots");
    d.record("slot", i);
    campi_voce(tabella[i], prendi_campo{d});
  }
  if (!d.finito())
    d.errore(d.posizione(), decodificatore::byte_in_parole(d.resto()) + " follow the last record slot, " +
                                std::to_string(posti_tabella - 1));
  return tabella;
}

namespace {

// The number of plan values in dati when every one is whole and of a known
// kind; nothing otherwise. One tight pass: a plan has millions of values.
std::optional<std::size_t> conta_valori(std::string_view dati) {
  const char* q = dati.data();
  const char* const fine = q + dati.size();
  std::size_t voci = 0;
  while (fine - q >= static_cast<std::ptrdiff_t>(byte_tipo_valore)) {
    const uint16_t codice = da_le16(q);
    if (!tipo_valore_noto(codice)) return std::nullopt;
    const std::size_t n = byte_valore(static_cast<tipo_voce>(codice));
    if (static_cast<std::size_t>(fine - q) < n) return std::nullopt;
    q += n;
    ++voci;
  }
  if (q != fine) return std::nullopt;
  return voci;
}

}  // namespace

planimetria_t decodifica_planimetria(std::string_view dati, std::string_view nome_file) {
  // First every value is checked and counted, for the number of rows; then
  // the plan is allocated once and filled. A file that fails the quick count
  // is read again value by value, for the offset and reason of its fault.
  std::optional<std::size_t> contati = conta_valori(dati);
  std::size_t voci = contati.value_or(0);
  if (!contati || voci % 2 != 0 || voci / 2 > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    voci = 0;
    decodificatore d(dati, nome_file);
    for (; !d.finito(); ++voci) {
      d.record("value", voci);
      switch (prendi_tipo(d, voci)) {
        case tipo_voce::intero: d.prendi16("its 16-bit integer"); break;
        case tipo_voce::reale: d.prendi_reale("its double"); break;
        case tipo_voce::vuota: break;
      }
    }
    if (voci % 2 != 0)
      d.errore(d.posizione(), "an odd number of values (" + std::to_string(voci) +
                                  ") cannot be every x and then every y");
    if (voci / 2 > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
      d.errore(0, std::to_string(voci / 2) + " rows are more than a track plan holds");
  }
  planimetria_t p;
  if (voci == 0) return p;
  const auto righe = static_cast<int32_t>(voci / 2);
  p.alloca_righe(righe - 1);
  // Every value was checked above, so the fill reads them through a plain
  // cursor, column by column as stored.
  const char* q = dati.data();
  for (int colonna = 0; colonna < 2; ++colonna)
    for (int32_t riga = 0; riga < righe; ++riga) {
      const auto t = static_cast<tipo_voce>(da_le16(q));
      if (t == tipo_voce::reale)
        p.imposta_reale(riga, colonna, std::bit_cast<double>(da_le64(q + byte_tipo_valore)));
      else if (t == tipo_voce::intero)
        p.imposta_intero(riga, colonna, static_cast<int16_t>(da_le16(q + byte_tipo_valore)));
      q += byte_valore(t);
    }
  return p;
}

}  // namespace tracciato
