// The scenario model: cells, the record table, the track plan, the tunnel
// spans and the recorded faults. docs/glossary.md defines the Italian terms
// and what each cell kind keeps in valore_a to valore_d.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/errori.h"
#include "model/planimetria.h"

namespace tracciato {

// cella: one 50-metre stretch of line; cell i begins at route position 50 * i.
struct cella {
  uint8_t tipo_cella = 0;  // what stands in the cell; 0 = nothing
  int16_t valore_a = 0;
  int16_t valore_b = 0;
  int16_t valore_c = 0;
  int16_t valore_d = 0;
  uint8_t tempo_segnale = 0;    // signal timing value
  uint8_t segno_approccio = 0;  // approach mark before a signal or station
  uint8_t tipo_montagna = 0;    // tunnel kind, 0 = no tunnel
  uint8_t vel_limite = 0;       // speed limit in units of 5 km/h
  uint8_t pendenza_cella = 0;   // gradient per mille + 100; 100 is level
  uint8_t aderenza_cella = 0;   // adhesion in per cent

  bool operator==(const cella&) const = default;
};

// Values of tipo_cella.
enum : uint8_t {
  cella_vuota = 0,
  cella_segnale = 1,
  cella_fine_rallentamento = 2,
  cella_inizio_rallentamento = 3,
  cella_avviso_rallentamento = 4,
  cella_preavviso = 5,
  cella_indicatore_v_max = 6,
  cella_stazione = 10,
  cella_segno_montagna = 11,
  cella_punto_codice = 12,
  cella_punto_codice_senza_valore = 13,
  cella_cartello = 14,
};

// A free cell (nothing, or a tunnel marker) is the only kind that takes a new item.
inline bool libera(const cella& c) {
  return c.tipo_cella == cella_vuota || c.tipo_cella == cella_segno_montagna;
}

// voce_tabella: one slot of the record table (stations, sign texts, header).
struct voce_tabella {
  uint8_t tipo_record = 0;
  int32_t valore1 = 0;
  int32_t valore2 = 0;
  int32_t valore3 = 0;
  uint8_t tipo2 = 0;
  std::string testo;  // Windows-1252 bytes
  int16_t intero1 = 0;
  int16_t intero2 = 0;
  int16_t intero3 = 0;
  int16_t intero4 = 0;
  int16_t intero5 = 0;
  uint8_t byte1 = 0;
  uint8_t byte2 = 0;
  uint8_t byte3 = 0;
  uint8_t byte4 = 0;
  int32_t valore4 = 0;
};

// Slots of tabella with a fixed use: stations count up from 1, sign texts down
// from 80, then the three chainage references and the header.
inline constexpr int posti_tabella = 87;
inline constexpr int primo_posto_cartello = 80;
inline constexpr int posto_progressiva_tre = 81;
inline constexpr int posto_progressiva_due = 82;
inline constexpr int posto_progressiva_uno = 83;
inline constexpr int posto_treno = 84;
inline constexpr int posto_scenario = 85;
inline constexpr int posto_linea = 86;
inline constexpr int massimo_montagne = 80;

// guasto: one recorded fault, kept in the order it was found. Faults found
// in a text file carry the place of the record's keyword field.
struct guasto {
  int32_t numero = 0;
  bool con_posizione = false;  // whether posizione holds the fault's route position
  int32_t posizione = 0;
  std::string file;       // display name of the text file; empty when not from one
  int32_t riga = 0;       // 1-based; 0 = unknown
  int32_t colonna = 0;    // 1-based byte column; 0 = unknown
  std::string citazione;  // the record's keyword field, cut short
  std::string dettaglio;  // for a read failure, the reason in words
  int32_t causa = -1;     // index in guasti of the fault this one follows from; -1 = none
};

// scenario: the whole run state, plain data. The passes that fill and read it
// are free functions in sources/, loader/, compactor/ and driver/.
struct scenario {
  std::string nome_scenario;
  std::string numero_treno;
  int32_t scrivi_linea = 0;  // non-zero: build the track plan and write the line data file
  // The last fault recorded (0 = none) and the route position of the last
  // fault that had one; guasti keeps every fault in order.
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  std::vector<guasto> guasti;
  // 1250 or 1251 when a reserved place in use stopped the compile (also the
  // last fault of guasti): no binary file is written. 0 = none.
  int32_t arresto = 0;
  int32_t lunghezza_estesa = 0;  // route length + 7000 m
  std::vector<cella> celle;      // cells 0..ultima_cella; empty = not allocated
  disegno_planimetria planimetria;  // the track plan as drawn; rows: calcola_planimetria
  std::array<voce_tabella, posti_tabella> tabella{};
  std::array<int32_t, massimo_montagne + 1> inizio_montagne{};
  std::array<int32_t, massimo_montagne + 1> fine_montagne{};
  int32_t numero_montagne = 0;
};

// ultima_cella: index of the grid's last cell; -1 while there is no grid.
inline int32_t ultima_cella(const scenario& s) { return static_cast<int32_t>(s.celle.size()) - 1; }

// True iff i is a cell of the allocated grid.
inline bool in_griglia(const scenario& s, int64_t i) {
  return i >= 0 && i < static_cast<int64_t>(s.celle.size());
}

// calcola_planimetria: the track plan's rows in memory (see model/planimetria.h).
inline planimetria_t calcola_planimetria(const scenario& s) { return calcola_planimetria(s.planimetria); }

// registra_errore: records fault numero as the last one (with its route
// position where it has one) and appends it to guasti. The returned entry
// is for the finder to tell where the fault came from.
guasto& registra_errore(scenario& s, int32_t numero);
guasto& registra_errore(scenario& s, int32_t numero, int32_t posizione);

// minimo: the lesser of x and y; equal values return x.
template <class T, class U>
auto minimo(T x, U y) {
  using R = std::common_type_t<T, U>;
  return x > y ? static_cast<R>(y) : static_cast<R>(x);
}

}  // namespace tracciato
