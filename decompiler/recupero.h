// The passes of decompile that recover records from cells and record slots.
// Internal to decompiler/; decompila.h is its entry.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "decompiler/sorgenti.h"
#include "model/scenario.h"
#include "platform/testo.h"

namespace tracciato {

// What the passes share: the decoded files with the stamps of cell 1 and slot
// 85 taken out (they are no source), and the warnings said so far.
struct recupero {
  std::vector<cella> celle;
  std::array<voce_tabella, posti_tabella> tabella;
  std::string nome, numero;  // scenario name and train number of the compile
  std::vector<std::string> avvisi;
  std::vector<std::string> inventati;  // items made up where nothing shows them
  // Station cells whose leftover values a recovered signal or slowdown
  // explains (the speed boards leave them alone).
  std::vector<bool> spiegata;

  int32_t ultima() const { return static_cast<int32_t>(celle.size()) - 1; }
  // The names as the record table keeps them, in the code page (a name
  // the code page cannot hold, which no compile takes, as it stands).
  std::string nome_in_tabella() const { return in_tabella(nome); }
  std::string numero_in_tabella() const { return in_tabella(numero); }
  void avvisa(std::string s) { avvisi.push_back(std::move(s)); }

 private:
  static std::string in_tabella(const std::string& utf8) {
    try {
      return da_utf8(utf8);
    } catch (const std::runtime_error&) {
      return utf8;
    }
  }
};

// Division rounding down, and its remainder (0 to m - 1), for taking packed
// cell values apart whatever their sign.
inline int64_t div_giu(int64_t a, int64_t m) { return a >= 0 ? a / m : -((-a + m - 1) / m); }
inline int64_t mod_giu(int64_t a, int64_t m) { return a - div_giu(a, m) * m; }

// A route position that puts an item into cell i: signals, boards, signs and
// slowdown starts stand in cell p / 50 + 1.
inline int32_t posizione_in_cella(int64_t i) { return static_cast<int32_t>((i - 1) * 50); }

// Whether a text can stand as a text field of a record: no comma or line
// end, and no blank or tab at either end (the reader drops them).
bool testo_scrivibile(const std::string& t);

// The passes, in the order decompile runs them. Each fills its records and
// adds warnings for what it cannot recover exactly.
void recupera_testata(recupero& r, linea_r& l, treno_r& t);   // slots 81 to 86
void recupera_serie(recupero& r, linea_r& l, treno_r& t);     // gradient, speed, adhesion
void recupera_stazioni(recupero& r, treno_r& t);              // stations, slots 1 up
void recupera_segnali(recupero& r, treno_r& t);               // signals
void recupera_rallentamenti(recupero& r, treno_r& t);         // slowdowns
void recupera_cartelli(recupero& r, linea_r& l);              // signs, slots 80 down
void recupera_indicatori(recupero& r, linea_r& l);            // speed boards
void recupera_abbattimenti(recupero& r, treno_r& t);          // manual code points
void recupera_montagne(recupero& r, linea_r& l);              // tunnels
void ordina_segni(recupero& r, treno_r& t);                   // station and signal order

}  // namespace tracciato
