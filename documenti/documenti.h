// documenti: the author's own timetable card (S_T_scheda_treno.txt) and
// slowdown order (S_T_rallentamenti.txt), made from their line and train
// files in the same fixed-width layouts as the built-in ones: the same box
// lines, widths and labels, one Windows-1252 byte a character, CR LF after
// every line. docs/format.md ("Timetable card and slowdown order") tells how
// the times and kilometres are found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/scenario.h"

namespace tracciato {

// What the files cannot tell, from the command line. Every text is
// Windows-1252; an empty one leaves its cell blank.
struct opzioni_documenti {
  std::string numero_treno;  // the train number T
  std::string regione;       // --region: "Fascicolo Linee"
  std::string valido_dal;    // --valid-from, as dd.mm.yyyy (data_validita)
  std::string categoria;     // --category: "Classificazione"
  std::string composizione;  // --composition: "Sigla di Composizione"
  std::string veicolo;       // --vehicle: "Int. alla Sigla"
  double accelerazione = 0.5;  // m/s², for the least running times
  double frenatura = 0.5;      // m/s²
};

struct documenti_autore {
  std::string scheda;         // the card's bytes
  std::string rallentamenti;  // the order's bytes
  // What was not as the author will expect, each one sentence in UTF-8: a
  // text cut at its cell, a timetable the limits do not allow.
  std::vector<std::string> avvisi;
};

// componi_documenti: both documents for the train of treno (the train file's
// Windows-1252 text) over the line loaded into s together with it (the
// chainage references, the speed limits and slowdowns of every metre).
// REQUIRES: s was loaded from the same texts with no fault.
documenti_autore componi_documenti(const scenario& s, std::string_view treno, const opzioni_documenti& o);

// data_validita: "2003-12-14" or "14.12.2003" as "14.12.2003". Throws
// std::invalid_argument, naming the forms, for anything else or a day that
// no calendar has.
std::string data_validita(std::string_view testo);

}  // namespace tracciato
