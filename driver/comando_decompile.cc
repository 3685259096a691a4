// tracciato decompile: a scenario's text sources recovered from its binary files.
#include <memory>

#include "decompiler/decompila.h"
#include "driver/comandi.h"

namespace tracciato {

comando registra_decompile(CLI::App& app, opzioni_globali& g) {
  auto o = std::make_shared<opzioni_decompile>();
  auto cartella = std::make_shared<std::filesystem::path>();
  auto* c = app.add_subcommand(
      "decompile",
      "Recover the line file S_linea.txt and the train file S_T-.txt from the binary files "
      "S_linea.dat, S_T.sim and S_T.dat; compiling them again gives the same bytes");
  aggiungi_percorso(c, "--dir", *cartella, "Folder of the binary files (default: the current folder)");
  c->add_option("--name", o->nome, "Scenario name S")->required();
  c->add_option("--train-number", o->numero, "Train number T")->required();
  aggiungi_percorso(c, "--out", o->uscita, "Folder for the text files (default: the current folder)");
  c->add_flag("--force", o->forza, "Replace text files that exist");
  c->add_flag("--strict", o->strict,
              "Exit with status 1 on any warning too; without it, status 1 means a compile of the written "
              "texts would not give the same bytes, and the cells and record slots that differ are listed");
  c->add_flag("--json", o->json,
              "Print one JSON object: the files written, \"exact\", the \"differences\", the items "
              "\"made_up\" and the \"warnings\"");
  return {c, [o, cartella, &g] {
            opzioni_decompile opzioni = *o;
            opzioni.json |= g.rapporto.json;
            opzioni.cartella = una_cartella(g, *cartella);
            if (opzioni.cartella.empty()) opzioni.cartella = ".";
            opzioni.strict |= g.rapporto.strict;
            return esegui_decompile(opzioni);
          }};
}

}  // namespace tracciato
