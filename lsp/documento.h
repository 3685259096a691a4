// An open document as the server holds it, and what it learns from the text
// alone: its lines, its kind, the record on each line, and where its partner
// file lies.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/schema.h"

namespace tracciato::lsp {

// The editor's UTF-8 text in the files' own code page (Windows-1252), one byte
// per UTF-16 code unit, so that a byte column is the column the editor counts.
// A character the code page lacks becomes "?" (two for one outside the Basic
// Multilingual Plane); a byte that is not UTF-8 is taken as Windows-1252.
std::string in_cp1252(std::string_view utf8);

// Windows-1252 bytes as UTF-8, for the texts the server sends back.
std::string in_utf8(std::string_view cp1252);

// A message text for the editor: kept as it is when it is valid UTF-8,
// else taken as Windows-1252 (a quoted field of a file).
std::string come_utf8(std::string_view testo);

// The lines of a text, split at CR LF, LF or a lone CR as the reader splits
// them; a final line end opens no further line.
std::vector<std::string_view> righe_di(std::string_view testo);

// A file:// URI's path (percent escapes decoded); nullopt for any other scheme.
std::optional<std::filesystem::path> percorso_di(std::string_view uri);

// The kind of a file: by its content when the first keyword after
// "[generale]" belongs to one file only, else by its name ("*_linea.txt",
// "*-.txt"), else ignoto.
genere_file genere_di(std::string_view dati, std::string_view nome_file);

// The partner of the file at percorso of kind genere, in its folder: by the
// built-in naming (S_linea.txt beside a single S_T-.txt), or else the only
// file of the other kind's naming there. nullopt when there is none or more
// than one could be meant.
std::optional<std::filesystem::path> cerca_compagno(const std::filesystem::path& percorso,
                                                    genere_file genere);

// The files of one folder that may be partners: the names of its regular
// files that end in "_linea.txt" and those that end in "-.txt" (in any
// case), each list sorted, so that a partner is found without reading the
// folder again.
struct file_cartella {
  std::vector<std::string> linee;
  std::vector<std::string> treni;
};
file_cartella elenca_cartella(const std::filesystem::path& cartella);

// cerca_compagno on a folder already listed: percorso's folder as elenco holds it.
std::optional<std::filesystem::path> cerca_compagno(const std::filesystem::path& percorso,
                                                    genere_file genere, const file_cartella& elenco);

// One field of a line: its bytes and its columns [inizio, fine).
struct campo_riga {
  std::size_t inizio = 0;
  std::size_t fine = 0;
  std::string_view testo;
};

// A line read as one record: the keyword field and the fields after it on the
// same line, split as the reader splits them (a number ends at a blank too).
struct riga_record {
  const record_formato* schema = nullptr;  // nullptr: the line starts no record
  campo_riga parola;
  std::vector<campo_riga> campi;
};

riga_record analizza_riga(genere_file genere, std::string_view riga);

// Whether the line is a section header such as "[stazioni]"; its name without brackets.
std::optional<std::string_view> intestazione(std::string_view riga);

}  // namespace tracciato::lsp
