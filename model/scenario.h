// scenario: the owner of the whole run state. Every procedure of the system is
// an operation of this one object; its definitions are spread over the
// subsystem folders (sources/, loader/, compactor/), as the comments say.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
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

// The files of a run. Each name is formed afresh from the program folder.
enum class file_scenario {
  linea,           // S_linea.txt, line file (text)
  treno,           // S_T-.txt, train file (text)
  note,            // S_T_note.txt
  rallentamenti,   // S_T_rallentamenti.txt
  scheda,          // S_T_scheda_treno.txt
  linea_dat,       // S_linea.dat, the track plan
  sim,             // S_T.sim, the record table
  celle_dat,       // S_T.dat, the cell grid
};

class scenario {
 public:
  explicit scenario(std::filesystem::path cartella_programma)
      : cartella(std::move(cartella_programma)) {}

  // The program folder; every file of the run lies in it.
  std::filesystem::path cartella;
  // Full path of one of the run's files, formed from the folder and the two names.
  std::filesystem::path nome_file(file_scenario f) const;

  // --- the model ---------------------------------------------------------
  std::string nome_scenario;
  std::string numero_treno;
  int32_t scrivi_linea = 0;  // non-zero: build the track plan and write the line data file
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  int32_t lunghezza_estesa = 0;  // route length + 7000 m
  std::vector<cella> celle;      // cells 0..ultima_cella; empty = not allocated
  int32_t ultima_cella = 0;
  planimetria_t planimetria;
  std::array<voce_tabella, posti_tabella> tabella{};
  std::array<int32_t, massimo_montagne + 1> inizio_montagne{};
  std::array<int32_t, massimo_montagne + 1> fine_montagne{};
  int32_t numero_montagne = 0;
  std::string campo_letto;

  // Where the last recorded fault came from (file and line), and for the
  // loader's failure path the reason in words.
  origine_errore origine;
  std::string dettaglio_errore;

  // True iff i is a cell of the allocated grid.
  bool in_griglia(int64_t i) const { return i >= 0 && i <= ultima_cella && !celle.empty(); }

  // --- sources/: the built-in scenario's text files ------------------------
  void dati_linea();
  void dati_treno();
  void dati_note();
  void dati_rallentamenti();
  void dati_scheda();

  // --- loader/ -----------------------------------------------------------
  // memorizza_dati: reads the line file and then the train file into the model,
  // deleting both; reports only through codice_errore and posizione_errore.
  void memorizza_dati();
  // The two halves of memorizza_dati (loader/linea.cc, loader/treno.cc). The
  // line half returns false when the load ends with it; posto_cartello is the
  // record slot for the next sign text, handed from one half to the other.
  bool carica_linea(int32_t& posto_cartello);
  void carica_treno(int32_t posto_cartello);
  // Placement helpers (loader/posa.cc). Each refuses an item on an occupied
  // cell by setting codice_errore and returning; none clears codice_errore.
  void memo_montagna(int32_t inizio, int32_t fine, int32_t& tipo);
  void memo_rallentamento(int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta, int32_t d_v);
  void memo_segnale(int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3, int32_t rapp,
                    int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t& tempo);
  void memo_indicatori_v_max(int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                             int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                             int32_t strisced);
  // progressive_ordina: puts the chainage references of slots 81 to 83 in order.
  void progressive_ordina();

  // --- compactor/ --------------------------------------------------------
  // memorizza_percorso: loads the scenario, places the code points, stamps the
  // format values and codes and writes the binary files.
  void memorizza_percorso(int32_t scrivi);
  int32_t codice_gara_og();  // plain competition code, 0..6375
  int32_t codice_gara_st();  // position-weighted competition code, 0..82875
  // The files memorizza_percorso wrote, in order; empty when none was written.
  std::vector<std::filesystem::path> file_scritti;

  // Records a fault; the position is stored only when the fault has one. The
  // origin is cleared: a reader that knows the file and line sets it after.
  void registra_errore(int32_t numero) {
    codice_errore = numero;
    origine = {};
    dettaglio_errore.clear();
  }
  void registra_errore(int32_t numero, int32_t posizione) {
    registra_errore(numero);
    posizione_errore = posizione;
  }
};

// minimo: the lesser of x and y; equal values return x.
template <class T, class U>
auto minimo(T x, U y) {
  using R = std::common_type_t<T, U>;
  return x > y ? static_cast<R>(y) : static_cast<R>(x);
}

}  // namespace tracciato
