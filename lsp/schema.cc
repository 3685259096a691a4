#include "lsp/schema.h"

namespace tracciato::lsp {

const record_formato* riconosci(genere_file genere, std::string_view parola) {
  if (genere != genere_file::treno) {
    for (const bool generale : {true, false})
      if (const riconosciuti r = riconosci_voci(tipo_file::linea, generale, parola); !r.empty())
        return &formato_di(r.front());
  }
  if (genere != genere_file::linea)
    if (const riconosciuti r = riconosci_voci(tipo_file::treno, false, parola); !r.empty())
      return &formato_di(r.front());
  return nullptr;
}

}  // namespace tracciato::lsp
