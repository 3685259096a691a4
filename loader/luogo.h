// Where a recorded fault of a text file stands: the record's keyword field.
#pragma once

#include <cstdint>
#include <string>

#include "loader/campi.h"
#include "model/scenario.h"

namespace tracciato {

// How the reading of a text file goes on after a record.
enum class esito_record {
  avanti,        // go on with the next field
  fine_file,     // the file ended
  fine_lettura,  // leave the field loop; the end steps still run (fault 15)
  fermo,         // the load ends here; the end steps do not run
};

struct luogo_record {
  int32_t riga = 0;
  int32_t colonna = 0;
  std::string campo;  // the keyword field as read
};

// The place of the field the reader has just read.
inline luogo_record luogo_di(const lettore_campi& l, std::string campo) {
  return {l.riga(), l.colonna(), std::move(campo)};
}

// Fills in the fault's file, line, column and quote.
inline guasto& segna(guasto& g, const std::string& file, const luogo_record& r) {
  g.file = file;
  g.riga = r.riga;
  g.colonna = r.colonna;
  g.citazione = citazione(r.campo);
  return g;
}

}  // namespace tracciato
