// recupera_curve: the curve records that draw a given track plan.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compactor/compattatore.h"
#include "decompiler/sorgenti.h"
#include "model/planimetria.h"

namespace tracciato {

// Each row of the plan from 2 on is one step from the two rows before it,
// straight or turning by one of the twelve curvatures (six classes, two
// sides); the row's bits tell which. Runs of turning rows become curves.
// Rows that match no step, and a plan not laid out as the compile lays it
// out, are told in avvisi; the curves found are returned all the same.
// massimo_inizio is the last start the line file accepts for a curve.
struct curve_recuperate {
  std::vector<curva_r> curve;
  // Rows 2 on as they were found drawn, in stretches of one step each, in
  // the form of disegno_planimetria::tratti(): where nothing was told in
  // avvisi, every row r of the file is, bit for bit, one step of its
  // stretch's k from rows r - 1 and r - 2 as percorri_righe takes it.
  std::vector<tratto_planimetria> tratti;
};
curve_recuperate recupera_curve(const planimetria_t& p, int32_t massimo_inizio, std::vector<std::string>& avvisi);

// forma_compilata: whether the line data file of dimensione bytes that leggi
// reads has the size and the shape that a compile writes, seen from its ends
// alone: a whole number of rows, two 16-bit integers first in each column,
// two empty entries last. Then its rows are n = forma_compilata(...) and the
// file is 2 * (4 + 4 + 10 (n - 4) + 2 + 2) bytes.
std::optional<int32_t> forma_compilata(uint64_t dimensione, const lettura_parziale& leggi);
std::optional<int32_t> forma_compilata(std::string_view dati);

// The same as recupera_curve straight from a line data file of
// forma_compilata, read a block at a time, each row checked to be two doubles
// as it is read: the long plan of a long line is then never held in memory.
// Returns nothing, and tells nothing in avvisi, when a row is not two
// doubles: the file must then be decoded and its planimetria_t recovered.
std::optional<curve_recuperate> recupera_curve(uint64_t dimensione, const lettura_parziale& leggi,
                                               int32_t massimo_inizio, std::vector<std::string>& avvisi);
std::optional<curve_recuperate> recupera_curve(std::string_view dati, int32_t massimo_inizio,
                                               std::vector<std::string>& avvisi);

// disegna_righe: whether the drawn plan d computes exactly the rows of a
// line data file of forma_compilata with n rows from which recupera_curve
// recovered tratti telling nothing. It does when d starts at the origin, has
// n rows, draws up to row n - 3 as the file does and takes the same step as
// the file at every row: each of its rows is then computed from the same two
// rows before it by the same arithmetic, so every byte that
// scrivi_file_planimetria writes for d is the file's, without a row being
// computed or read again.
bool disegna_righe(const disegno_planimetria& d, int32_t n, const std::vector<tratto_planimetria>& tratti);

}  // namespace tracciato
