// tracciato inspect: what one binary file holds, as a table or as JSON.
#include <memory>
#include <string>

#include "decompiler/ispezione.h"
#include "driver/comandi.h"

namespace tracciato {

comando registra_ispezione(CLI::App& app, opzioni_globali& g) {
  auto o = std::make_shared<opzioni_ispezione>();
  auto genere = std::make_shared<std::string>();
  auto* c = app.add_subcommand(
      "inspect",
      "Show what a binary file holds: the cells of S_T.dat, the record slots of S_T.sim or the "
      "track plan of S_linea.dat, as a table or as one JSON object");
  aggiungi_percorso(c, "file", o->file, "The binary file")->required();
  c->add_flag("--json", o->json, "Print one JSON object with the raw stored values");
  c->add_option("--kind", *genere, "plan, table or cells (default: from the file name)")
      ->check(CLI::IsMember({"plan", "table", "cells"}));
  c->add_option("--from", o->da, "First row, slot or cell shown");
  c->add_option("--to", o->a, "Last row, slot or cell shown (inclusive)");
  c->add_flag("--nonzero", o->non_zero, "Leave out cells and slots whose fields are all zero");
  return {c, [o, genere, &g] {
            if (!g.cartella.empty() || g.rapporto.strict)
              throw std::invalid_argument("--dir and --strict do not apply to inspect");
            opzioni_ispezione opzioni = *o;
            opzioni.json |= g.rapporto.json;
            if (!genere->empty()) opzioni.genere = genere_da_parola(*genere);
            return esegui_ispezione(opzioni);
          }};
}

}  // namespace tracciato
