// What the editor shows beside the text: hover, completion and the outline.
// Each works on one document's Windows-1252 text and answers in LSP's JSON;
// positions are 0-based lines and columns, a column being a byte of that text.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>

#include "model/scenario.h"

#include "lsp/documento.h"
#include "lsp/schema.h"

namespace tracciato::lsp {

// The hover at (riga, colonna), or null when there is nothing there. On a
// keyword: the record's fields. On a field: its meaning, unit and range, and
// for a position its cell and, when the line file's chainage references are
// known (dati_linea: the line file's text, the document itself for a line
// file; may be empty), its kilometre. On a station name: its time.
nlohmann::json hover(std::string_view dati, genere_file genere, std::string_view dati_linea,
                     int64_t riga, int64_t colonna);

// The completion list at (riga, colonna): in the keyword field of a line, the
// keywords of the records the section holds in a file of genere's kind (of
// both kinds when it is not known), and the headers of the sections that may
// start there (those after the line's section not yet in the file). With
// snippet, a record comes with a tab stop for each field, in order; without,
// as the keyword and its comma, one item for each spelling. Elsewhere an
// empty list.
nlohmann::json completamento(std::string_view dati, genere_file genere, int64_t riga,
                             int64_t colonna, bool snippet);

// The outline: each section header with the lines up to the next one, and in
// it each station by name.
nlohmann::json simboli(std::string_view dati, genere_file genere);

// The chainage of route position p as the page shows it ("km 136+800"), from
// the references of dati_linea as the loader orders them; empty when it has none.
std::string chilometro(std::string_view dati_linea, int64_t p);

// A model holding only the chainage references of the line text, as the
// loader leaves them: enough to name a place with testo_luogo.
scenario chilometrico(std::string_view dati_linea);

// The hover text of field k of a record line, with the line file's text for
// the chainage.
std::string testo_hover_campo(const riga_record& rr, size_t k, std::string_view dati_linea);

}  // namespace tracciato::lsp
