// The text format of the line file and the train file, declared once: every
// record's keyword and the test by which the reader recognises it, the file
// and section it belongs to, and its fields (name, width, unit, range,
// meaning and what each one feeds). The loader's dispatch, the checker's line
// view, the language server, the decompiler's writer and the tests of the
// documents all read this table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/regole.h"

namespace tracciato {

enum class tipo_file { linea, treno };

// Every record kind of the two files, in the order the reader tests them:
// the line file's general records, its later records, then the train file's.
enum class genere_voce : uint8_t {
  lunghezza, progressiva_tre, progressiva_due, progressiva_uno, sfondo_uno, sfondo_due, sfondo_tre,
  ripetizione,
  pendenza, curva, montagna, indicatori, cartello,
  massa, vetture, velocita, aderenza, orologio, sabbia, segnale, rallentamento, abbattimento, stazione,
};

// How a field is read: a number of the given width, or a text that runs to
// the next comma or the line end.
enum class larghezza : uint8_t { u8, i16, i32, testo };

// What a field is to an author.
enum class uso_campo : uint8_t {
  numero,
  posizione,  // a route position: it has a chainage, and a cell where the item takes one
  testo,
};

struct campo_formato {
  std::string_view nome;          // as docs and hints name it: "position", "sx"
  larghezza tipo;
  uso_campo uso;
  std::string_view unita;         // "m", "km/h"; empty for a plain number
  std::string_view intervallo;    // the values it may take; may be empty
  std::string_view significato;   // what it means, in one phrase
  std::string_view destinazione;  // the cell or slot value it feeds
};

struct record_formato {
  genere_voce genere;
  tipo_file file;
  bool generale;               // a record of the line file's general section
  std::string_view parola;     // the keyword as the writer writes it
  // The reader's test: every non-empty word occurs in the keyword field,
  // without regard to case when senza_caso.
  std::string_view prova[2];
  bool senza_caso;
  std::string_view descrizione;  // what one record is: "gradient"
  std::string_view plurale;      // the kind in a sentence: "gradients"
  cella_voce cella;  // the cell its item takes, from its first field
  std::span<const campo_formato> campi;

  // Whether the reader takes campo as this record's keyword field.
  bool riconosce(std::string_view campo) const;
  // How many number fields, and whether a text field ends the record.
  int numeri() const;
  bool ha_testo() const { return !campi.empty() && campi.back().tipo == larghezza::testo; }
  // "position, gradient": the fields in order, for hints.
  std::string elenco_campi() const;
};

// The fields of a station record that tools read by their place.
namespace campo_stazione {
inline constexpr size_t posizione = 0, tipo = 1, lunghezza = 2, flag3 = 5, fermata = 12, ore = 13, minuti = 14,
                        secondi = 15, nome = 16;
}

// Every record of both files, in genere_voce order.
std::span<const record_formato> formato_testo();
const record_formato& formato_di(genere_voce g);

// The records a keyword field starts, in the reader's order. generale: the
// line file's general section (ignored for the train file). Several records
// may match one field; the reader runs them one after the other.
struct riconosciuti {
  genere_voce voci[10];  // a train file's field can name all ten of its records
  int n = 0;
  bool empty() const { return n == 0; }
  const genere_voce* begin() const { return voci; }
  const genere_voce* end() const { return voci + n; }
  genere_voce front() const { return voci[0]; }
  int size() const { return n; }
};
riconosciuti riconosci_voci(tipo_file file, bool generale, std::string_view campo);

// Every spelling a keyword may have in a file, for "did you mean": the
// keywords as written, both codes of the signal repetition, and every curve.
std::span<const std::string_view> parole_del_file(tipo_file file);

// The section headers the writer uses, in order.
std::span<const std::string_view> intestazioni_file(tipo_file file);

// The header of the section the writer puts a record in: "[curve]" for a curve.
std::string_view sezione_di(genere_voce g);

}  // namespace tracciato
