// vista: a scenario text file seen line by line, as its author wrote it: one
// record per line, its keyword, its numbers and text, and what is missing or
// left over. The loader reads a stream of fields and never resynchronises at
// a line end; the check compares the two views to say where a mistake stands.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/controllo.h"
#include "loader/formato_testo.h"

namespace tracciato {

// What a record's line holds past its fields, or the field that fails to
// read: few records have any, so it is kept apart from the record.
struct resto_voce {
  std::string illeggibile;      // a field that does not read: the reader's reason
  int32_t colonna_illeggibile = 0;
  std::string campo_illeggibile;  // that field's text
  std::vector<std::pair<int32_t, std::string_view>> in_piu;  // surplus fields: column, text
  // A record started by a surplus field of the record before it on the same
  // line (a name holding "segnale" after a comma): its fields come from what
  // follows, so it is kept with none read and all counted as missing.
  std::string campo_in_piu_di;  // the keyword of the record whose surplus field it is
};

// One record as its line holds it. Its texts are views of the file's bytes
// and its numbers a view of the vista's own array: a voce lives as long as
// its vista and the text the vista was read from. A view holds one per
// record, so the fields are laid out to leave no gaps.
struct voce {
  genere_voce tipo;
  int16_t mancanti = 0;              // fields the line lacks
  int32_t riga = 0;
  int32_t colonna = 0;               // of the keyword field
  int32_t colonna_testo = 0;
  std::string_view parola;           // the keyword field
  std::string_view testo;            // the text field, for signs and stations
  std::span<const int32_t> numeri;   // the numbers that read, in order
  const resto_voce* resto = nullptr; // null when the line has nothing more to say

  const std::string& illeggibile() const { return altro().illeggibile; }
  int32_t colonna_illeggibile() const { return altro().colonna_illeggibile; }
  const std::string& campo_illeggibile() const { return altro().campo_illeggibile; }
  const std::vector<std::pair<int32_t, std::string_view>>& in_piu() const { return altro().in_piu; }
  const std::string& campo_in_piu_di() const { return altro().campo_in_piu_di; }
  bool completa() const { return mancanti == 0 && illeggibile().empty(); }
  int32_t n(size_t i) const { return i < numeri.size() ? numeri[i] : 0; }

 private:
  const resto_voce& altro() const {
    static const resto_voce nessuno;
    return resto != nullptr ? *resto : nessuno;
  }
};

// A vista is moved, never copied: its records point into its own arrays
// (a move keeps them where they are).
struct vista {
  tipo_file file = tipo_file::linea;
  std::string nome;
  std::string_view dati;
  std::vector<size_t> inizi_riga;  // byte offset of each line; line n at [n - 1]
  std::vector<voce> voci;          // the records, in file order
  bool ha_generale = false;        // a field holding "[generale]" was found
  std::string_view riga(int32_t n) const;  // line n without its line end; empty past the end
  const voce* voce_alla_riga(int32_t n) const;
  // The last record whose keyword stands before (riga, colonna): the record
  // whose fields were being read when the field there failed.
  const voce* voce_prima(int32_t riga, int32_t colonna) const;
  // The column of number i of x, read again from its line (only a problem
  // needs it); the keyword's column when x has no number i.
  int32_t colonna_numero(const voce& x, size_t i) const;

  vista() = default;
  vista(vista&&) = default;
  vista& operator=(vista&&) = default;
  vista(const vista&) = delete;
  vista& operator=(const vista&) = delete;

  // The records' numbers, a run per record in file order: one array for the
  // file, not one per record.
  std::vector<int32_t> numeri;
  // What the few records with more to say hold.
  std::vector<std::unique_ptr<const resto_voce>> resti;
};

// Reads testo (which must outlive the view) and adds the warnings of single
// lines to avvisi: unknown or misspelt keywords, records in the wrong file
// or section, fields missing or left over, decimal commas, comment-like lines.
vista leggi_vista(tipo_file file, const std::string& nome, std::string_view testo,
                  std::vector<problema>& avvisi);

// The record of the other file that field would start there (in any of its
// sections); nullptr when none.
const record_formato* voce_altro_file(tipo_file file, std::string_view campo);

// suggerisci: the keyword of the file nearest to campo by edit distance
// (letters swapped count as one edit), when near enough to be a misspelling;
// empty otherwise.
std::string suggerisci(tipo_file file, std::string_view campo);

// distanza: edit distance of a and b without regard to case, an adjacent
// swap counting as one edit.
size_t distanza(std::string_view a, std::string_view b);

}  // namespace tracciato
