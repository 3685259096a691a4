// confronta_documenti: whether the timetable card and slowdown order beside
// the binary files still tell the train of the train file: each station row
// (kilometre, name, times) and each slowdown row (number, stations,
// kilometre, speed, length) against the ones the documents command would
// write now. The header cells, speeds and hand-filled cells (recovery,
// symbols, prescriptions) are the author's and are not compared.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checker/controllo.h"
#include "model/scenario.h"

namespace tracciato {

// A document as found: its display name and bytes.
struct documento_trovato {
  std::string nome;
  std::string dati;
};

// The warnings (W501 for the card, W502 for the order) where a found document
// differs from what s and the train text give. REQUIRES: s was loaded from
// treno with no fault.
std::vector<problema> confronta_documenti(const scenario& s, const std::string& treno,
                                          const std::optional<documento_trovato>& scheda,
                                          const std::optional<documento_trovato>& ordine);

}  // namespace tracciato
