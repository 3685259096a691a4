// tracciato sources: the built-in scenario's text files, as a starting point.
#include <memory>

#include "driver/comandi.h"

namespace tracciato {

comando registra_sources(CLI::App& app, opzioni_globali& g) {
  auto cartella = std::make_shared<std::filesystem::path>();
  auto* c = app.add_subcommand(
      "sources", "Write the built-in scenario's text files without compiling, as a starting point");
  aggiungi_percorso(c, "--dir", *cartella, "Output folder (default: the current folder)");
  return {c, [cartella, &g] {
            if (g.rapporto.json || g.rapporto.strict)
              throw std::invalid_argument("--json and --strict do not apply to sources: nothing is compiled");
            const auto d = una_cartella(g, *cartella);
            return esegui_sources(d.empty() ? std::filesystem::path(".") : d);
          }};
}

}  // namespace tracciato
