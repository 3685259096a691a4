// tracciato view: the scenario as one self-contained HTML page.
#include <memory>

#include "driver/comandi.h"
#include "viewer/vista.h"

namespace tracciato {

comando registra_view(CLI::App& app, opzioni_globali& g) {
  auto o = std::make_shared<opzioni_view>();
  auto* c = app.add_subcommand(
      "view",
      "Draw a scenario as one HTML page (plan, profile, speed, line diagram, train graph): from the "
      "binary files with --dir, --name and --train-number, or from the sources with --line and --train "
      "(compiled in memory; nothing but the page is written)");
  auto* linea = aggiungi_percorso(c, "--line", o->linea, "The line file")->check(file_esistente());
  auto* treno = aggiungi_percorso(c, "--train", o->treno, "The train file")->check(file_esistente());
  linea->needs(treno);
  treno->needs(linea);
  auto* dir = aggiungi_percorso(c, "--dir", o->cartella, "The folder of the binary files");
  dir->excludes(linea);
  c->add_option("--name", o->nome, "Scenario name S (from the sources: default from the line file's name)");
  c->add_option("--train-number", o->numero, "Train number T (from the sources: default from the train file's name)");
  aggiungi_percorso(c, "-o,--output", o->uscita, "The page to write (default: S_T.html in the current folder)");
  aggiungi_codifica(c, o->codifica);
  c->add_option("--acceleration", o->ritmi.accelerazione,
                "Acceleration of the fastest run drawn, as check assumes it, m/s^2 (default 0.5)")
      ->check(CLI::PositiveNumber);
  c->add_option("--braking", o->ritmi.frenatura,
                "Braking of the fastest run drawn, as check assumes it, m/s^2 (default 0.5)")
      ->check(CLI::PositiveNumber);
  c->add_option("--dwell", o->ritmi.sosta, "Seconds the fastest run stands at each stop (default 30)")
      ->check(CLI::NonNegativeNumber);
  return {c, [o, &g] {
            if (g.rapporto.json || g.rapporto.strict)
              throw std::invalid_argument("--json and --strict do not apply to view");
            opzioni_view v = *o;
            if (v.linea.empty()) {
              v.cartella = una_cartella(g, o->cartella);
              if (v.cartella.empty() || v.nome.empty() || v.numero.empty())
                throw std::invalid_argument(
                    "view needs --dir, --name and --train-number (the binary files), or --line and --train (the sources)");
            } else if (!g.cartella.empty()) {
              throw std::invalid_argument("--dir names the binary files; it does not go with --line and --train");
            }
            return esegui_view(v);
          }};
}

}  // namespace tracciato
