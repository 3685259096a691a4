// tracciato check: every problem of an author's line and train files at once.
#include <algorithm>
#include <iostream>
#include <memory>

#include "checker/controllo.h"
#include "checker/stampa.h"
#include "driver/comandi.h"
#include "driver/memorizza_percorso.h"

namespace tracciato {

namespace {
void aggiungi_ritmi(CLI::App* c, opzioni_controllo& o) {
  c->add_option("--acceleration", o.accelerazione,
                "Acceleration assumed for the least running times of the timetable, m/s^2 (default 0.5)")
      ->check(CLI::PositiveNumber);
  c->add_option("--braking", o.frenatura,
                "Braking assumed for the least running times of the timetable, m/s^2 (default 0.5)")
      ->check(CLI::PositiveNumber);
}

}  // namespace

comando registra_check(CLI::App& app, opzioni_globali& g) {
  struct opzioni {
    std::filesystem::path linea, treno;
    codifica_ingresso codifica = codifica_ingresso::windows_1252;
    opzioni_controllo controllo;
    opzioni_rapporto rapporto;
    std::vector<std::string> permessi;  // warning codes not to report
  };
  auto o = std::make_shared<opzioni>();
  auto* c = app.add_subcommand(
      "check",
      "List every problem of your line and train files at once, each at its line with a hint: the faults the "
      "compile would record (errors) and what it accepts silently (warnings). Writes nothing. Exit status: 0 no "
      "problem, 1 warnings only, 2 any error");
  aggiungi_percorso(c, "--line", o->linea, "The line file")->check(file_esistente());
  aggiungi_percorso(c, "--train", o->treno, "The train file")->check(file_esistente());
  c->add_flag("--json", o->rapporto.json,
              "Print one JSON object: {\"problems\": [...], \"errors\": E, \"warnings\": W}");
  c->add_flag("--strict", o->rapporto.strict, "Count warnings as errors (exit status 2)");
  c->add_option("--allow", o->permessi,
                "Do not report the warning of this code (such as W201; docs/faults.md lists them). May be "
                "given more than once. Errors are always reported")
      ->check(CLI::Validator(
          [](std::string& s) {
            const bool forma = s.size() == 4 && s[0] == 'W' &&
                               std::all_of(s.begin() + 1, s.end(), [](char k) { return k >= '0' && k <= '9'; });
            return forma ? std::string() : "a warning code is W and three digits, such as W201";
          },
          "CODE"));
  aggiungi_codifica(c, o->codifica);
  aggiungi_ritmi(c, o->controllo);
  return {c, [o, &g] {
            if (o->linea.empty() && o->treno.empty())
              throw std::invalid_argument("check needs --line, --train or both");
            std::optional<testo_sorgente> linea, treno;
            std::vector<testo_sorgente> testi;
            if (!o->linea.empty()) testi.push_back(*(linea = leggi_sorgente(o->linea, o->codifica)));
            if (!o->treno.empty()) testi.push_back(*(treno = leggi_sorgente(o->treno, o->codifica)));
            auto problemi = controlla(linea, treno, o->controllo);
            std::erase_if(problemi, [&](const problema& p) {
              return p.livello == gravita::avviso && std::ranges::find(o->permessi, p.sigla) != o->permessi.end();
            });
            return riporta_controllo(std::cout, problemi, testi, o->rapporto.json || g.rapporto.json,
                                     o->rapporto.strict || g.rapporto.strict);
          }};
}

}  // namespace tracciato
