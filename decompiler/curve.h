// recupera_curve: the curve records that draw a given track plan.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decompiler/sorgenti.h"
#include "model/planimetria.h"

namespace tracciato {

// Each row of the plan from 2 on is one step from the two rows before it,
// straight or turning by one of the twelve curvatures (six classes, two
// sides); the row's bits tell which. Runs of turning rows become curves.
// Rows that match no step, and a plan not laid out as the compile lays it
// out, are told in avvisi; the curves found are returned all the same.
// massimo_inizio is the last start the line file accepts for a curve.
std::vector<curva_r> recupera_curve(const planimetria_t& p, int32_t massimo_inizio,
                                    std::vector<std::string>& avvisi);

// The same straight from a line data file's bytes, when they are laid out
// exactly as a compile writes them (piano_come_compilato says so): the long
// plan of a long line is then never decoded into memory of its own.
std::optional<std::string_view> piano_come_compilato(std::string_view dati);
std::vector<curva_r> recupera_curve(std::string_view piano_compilato, int32_t massimo_inizio,
                                    std::vector<std::string>& avvisi);

}  // namespace tracciato
