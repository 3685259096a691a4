// tracciato fmt: a line or train file laid out as the built-in writer lays
// out its records; the values, and so the compiled bytes, stay the same.
#include <iostream>
#include <memory>

#include "driver/comandi.h"
#include "lsp/documento.h"
#include "platform/file.h"
#include "platform/uscita.h"
#include "sources/impaginazione.h"

namespace tracciato {

comando registra_fmt(CLI::App& app, opzioni_globali& g) {
  struct opzioni {
    std::filesystem::path ingresso, uscita;
    std::string genere;
    bool sul_posto = false;
  };
  auto o = std::make_shared<opzioni>();
  auto* c = app.add_subcommand(
      "fmt",
      "Lay out the records of a line or train file as the built-in writer does (only blanks change, and a comma "
      "between numbers apart by blanks); the file compiles to the same bytes. Writes to standard output unless "
      "told otherwise");
  aggiungi_percorso(c, "file", o->ingresso, "The line or train file")->required()->check(file_esistente());
  aggiungi_percorso(c, "-o,--output", o->uscita, "Write the laid-out file here (never the input: use --in-place)");
  c->add_flag("--in-place", o->sul_posto, "Replace the input file with the laid-out one");
  c->add_option("--kind", o->genere, "line or train (default: from the content, else the name)")
      ->check(CLI::IsMember({"line", "train"}));
  return {c, [o, &g] {
            if (g.rapporto.json) throw std::invalid_argument("--json does not apply to fmt");
            if (o->sul_posto && !o->uscita.empty())
              throw std::invalid_argument("--in-place and --output exclude each other");
            std::error_code e;
            if (!o->uscita.empty() && std::filesystem::equivalent(o->uscita, o->ingresso, e))
              throw std::invalid_argument(o->uscita.string() + " is the input file: use --in-place to replace it");
            const std::string dati = leggi_file(o->ingresso);
            lsp::genere_file genere = o->genere == "line"    ? lsp::genere_file::linea
                                      : o->genere == "train" ? lsp::genere_file::treno
                                                             : lsp::genere_di(dati, o->ingresso.filename().string());
            if (genere == lsp::genere_file::ignoto)
              throw std::invalid_argument(o->ingresso.string() +
                                          ": cannot tell a line file from a train file: give --kind line or --kind train");
            const std::string fatto =
                impagina(dati, genere == lsp::genere_file::linea ? tipo_file::linea : tipo_file::treno);
            if (o->sul_posto) {
              if (fatto != dati) sostituisci_file(o->ingresso, fatto);
              std::cerr << "tracciato: " << (fatto != dati ? "laid out " : "already laid out: ")
                        << o->ingresso.string() << "\n";
            } else if (!o->uscita.empty()) {
              sostituisci_file(o->uscita, fatto);
              std::cerr << "tracciato: wrote " << o->uscita.string() << "\n";
            } else {
              std::cout << fatto << std::flush;
            }
            return uscita_ok;
          }};
}

}  // namespace tracciato
