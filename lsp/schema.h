// The records of the line file and the train file as an editor shows them:
// each keyword with its fields, their meaning, unit and range, and the rule by
// which the reader recognises the keyword. Hover, completion and the outline
// read this one table.
#pragma once

#include <span>
#include <string_view>

namespace tracciato::lsp {

enum class genere_file { ignoto, linea, treno };

enum class tipo_campo {
  numero,
  posizione,  // a route position: has a cell and a chainage
  testo,      // runs to the next comma or the line end
};

// No cell: a position that only bounds something (a curve start, a tunnel end).
inline constexpr int senza_cella = -100;

struct campo_record {
  std::string_view nome;         // the field's name as the format names it
  std::string_view significato;  // what it means
  std::string_view unita;        // "m", "km/h", ...; empty for a plain number
  std::string_view intervallo;   // the values it may take; may be empty
  tipo_campo tipo = tipo_campo::numero;
  int scarto = senza_cella;  // a position's cell is position / 50 + scarto
};

struct record_schema {
  genere_file file;
  std::string_view parola;       // the keyword as written
  std::string_view descrizione;  // what the record is, in a few words
  std::span<const campo_record> campi;
  bool generale = false;  // a record of the line file's general section
};

// Every record of both files, line file first.
std::span<const record_schema> tutti_i_record();

// The record a keyword field starts in a file of genere (both files' records
// when genere is ignoto), tested as the reader tests it; nullptr for none.
const record_schema* riconosci(genere_file genere, std::string_view parola);

}  // namespace tracciato::lsp
