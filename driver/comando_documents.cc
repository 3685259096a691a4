// tracciato documents: the author's timetable card and slowdown order, made
// from their line and train files.
#include <iostream>
#include <memory>

#include "checker/stampa.h"
#include "driver/comandi.h"
#include "driver/documenti.h"
#include "driver/memorizza_percorso.h"
#include "model/errori.h"
#include "platform/cartella.h"
#include "platform/percorso.h"

namespace tracciato {

void aggiungi_intestazione(CLI::App* c, intestazione_documenti& i) {
  c->add_option("--region", i.regione, "The card's \"Fascicolo Linee\": the region of the line (blank if not given)");
  c->add_option("--valid-from", i.valido_dal,
                "The card's \"Validita\" date, as 2003-12-14 or 14.12.2003 (blank if not given)");
  c->add_option("--category", i.categoria, "The card's \"Classificazione\": the train category, such as R (blank if not given)");
  c->add_option("--composition", i.composizione,
                "The card's \"Sigla di Composizione\": the composition code, such as \"VS130 C\" (blank if not given)");
  c->add_option("--vehicle", i.veicolo,
                "The card's \"Int. alla Sigla\": the vehicle type, such as \"ALn 663\"; its first word after the "
                "number of vehicles fills \"Massa Bloccata\" (blank if not given)");
}

comando registra_documents(CLI::App& app, opzioni_globali& g) {
  struct opzioni {
    std::filesystem::path linea, treno, cartella;
    std::string nome, numero;
    codifica_ingresso codifica = codifica_ingresso::windows_1252;
    intestazione_documenti intestazione;
  };
  auto o = std::make_shared<opzioni>();
  auto* c = app.add_subcommand(
      "documents",
      "Write the driver's timetable card S_T_scheda_treno.txt and slowdown order S_T_rallentamenti.txt for your "
      "own line and train files, in the built-in layouts (Windows-1252, CR LF). Your files are only read");
  aggiungi_percorso(c, "--line", o->linea, "The line file")->required()->check(file_esistente());
  aggiungi_percorso(c, "--train", o->treno, "The train file")->required()->check(file_esistente());
  c->add_option("--name", o->nome, "Scenario name S")->required();
  c->add_option("--train-number", o->numero, "Train number T, also printed on both documents")->required();
  aggiungi_percorso(c, "--dir", o->cartella, "Output folder (default: the current folder)");
  aggiungi_codifica(c, o->codifica);
  aggiungi_intestazione(c, o->intestazione);
  return {c, [o, &g] {
            if (g.rapporto.json || g.rapporto.strict)
              throw std::invalid_argument("--json and --strict do not apply to documents: nothing is compiled");
            std::filesystem::path cartella = una_cartella(g, o->cartella);
            if (cartella.empty()) cartella = ".";
            for (const auto& [valore, nome] : {std::pair{&o->nome, "--name"}, {&o->numero, "--train-number"}})
              if (valore->empty() || valore->find_first_of("/\\") != std::string::npos)
                throw std::invalid_argument(std::string(nome) + " must be a plain, non-empty name");
            const opzioni_documenti od = opzioni_da_riga(o->intestazione, o->numero);
            verifica_cartella(cartella);
            const testo_sorgente linea = leggi_sorgente(o->linea, o->codifica);
            const testo_sorgente treno = leggi_sorgente(o->treno, o->codifica);
            for (const testo_sorgente* t : {&linea, &treno})
              if (!t->guasto.empty()) throw std::runtime_error(t->nome + ": " + t->guasto);
            scenario s;
            s.nome_scenario = o->nome;
            s.numero_treno = o->numero;
            memorizza_dati(s, linea, treno);
            if (s.codice_errore != 0)
              throw std::runtime_error("the line and train files have faults (the first: fault " +
                                       std::to_string(s.guasti.empty() ? s.codice_errore : s.guasti.front().numero) +
                                       "); the documents follow a train that compiles: run tracciato check");
            std::vector<std::string> avvisi;
            const auto scritti = scrivi_documenti(s, treno.dati, od, cartella, {o->linea, o->treno}, avvisi);
            for (const std::string& a : avvisi) std::cerr << "tracciato: warning: " << a << "\n";
            for (const auto& p : scritti) std::cout << "wrote " << testo_percorso(p) << "\n";
            return uscita_ok;
          }};
}

}  // namespace tracciato
