// The records of the line file and the train file as the editor meets them:
// the format's own table (loader/formato_testo.h), recognised by the reader's
// own tests.
#pragma once

#include <string_view>

#include "loader/formato_testo.h"

namespace tracciato::lsp {

enum class genere_file { ignoto, linea, treno };

// The record a keyword field starts in a file of genere (both files' records
// when genere is ignoto), tested as the reader tests it: in the line file a
// general record first, then a later one. nullptr for none.
const record_formato* riconosci(genere_file genere, std::string_view parola);

}  // namespace tracciato::lsp
