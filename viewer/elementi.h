// The items of a compiled scenario as the page shows them: one entry per
// signal, board, sign, station cell, slowdown, code point and tunnel, read
// from the cell grid and the record table, each with its place and its values
// in words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/scenario.h"

namespace tracciato {

// The kinds of item, by the name the page gives them (its data-item value).
enum class tipo_elemento { stazione, segnale, indicatore, cartello, rallentamento, punto_codice, montagna };
std::string_view nome_elemento(tipo_elemento t);  // "station", "signal", ..., "code-point", "tunnel"

// elemento: one item. inizio and fine are route positions in metres: the
// stretch of a slowdown, a tunnel or a station's extent; for the other kinds
// both are the start of the item's cell, the place the simulator sees it.
struct elemento {
  tipo_elemento tipo;
  int32_t cella = 0;  // the item's cell; for a tunnel its first cell
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t valore = 0;    // the speed of a slowdown (km/h), else 0
  std::string etichetta;  // short label, UTF-8
  std::string descrizione;  // the item in words with its place, UTF-8
};

// elementi_linea: every item of s in cell order. Which cells are items:
// a station each cell of type 10; a signal type 1; a board type 6; a sign
// type 14; a slowdown its start cell (type 3); a code point type 12 or 13;
// a tunnel each run of cells with the same non-zero tunnel kind.
std::vector<elemento> elementi_linea(const scenario& s);

// Seconds since midnight as "14:05:30"; a day or more wraps round.
std::string testo_orario(int64_t secondi);


}  // namespace tracciato
