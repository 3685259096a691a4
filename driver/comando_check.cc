// tracciato check: every problem of an author's line and train files at once.
#include <algorithm>
#include <iostream>
#include <memory>

#include "checker/controllo.h"
#include "checker/correzioni.h"
#include "checker/documenti_confronto.h"
#include "checker/stampa.h"
#include "driver/comandi.h"
#include "driver/memorizza_percorso.h"
#include "model/nomi_file.h"
#include "platform/file.h"
#include "platform/percorso.h"

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

// check --fix: each file given, with the exact fixes of its problems applied,
// written to uscita or over itself (sul_posto); in its own encoding, and with
// its own line ends, as only the edited bytes change.
void scrivi_corretti(const std::vector<problema>& problemi, const std::vector<testo_sorgente>& testi,
                     const std::vector<std::pair<std::filesystem::path, tipo_file>>& file, codifica_ingresso codifica,
                     const std::filesystem::path& uscita, bool sul_posto) {
  for (size_t i = 0; i < file.size(); ++i) {
    const testo_sorgente& t = testi[i];
    if (!t.guasto.empty()) continue;
    std::vector<problema> suoi;
    for (const problema& p : problemi)
      if (p.file == t.nome) suoi.push_back(p);
    int n = 0;
    std::string fatto = correggi(t.dati, file[i].second, suoi, &n);
    const std::filesystem::path dove = sul_posto ? file[i].first : uscita;
    if (n == 0 && sul_posto) {
      std::cerr << "tracciato: nothing to fix in " << testo_percorso(dove) << "\n";
      continue;
    }
    if (codifica == codifica_ingresso::utf_8) {
      const std::string prima = leggi_file(file[i].first);
      fatto = (prima.starts_with("\xEF\xBB\xBF") ? "\xEF\xBB\xBF" : "") + a_utf8(fatto);
    }
    sostituisci_file(dove, fatto);
    std::cerr << "tracciato: wrote " << testo_percorso(dove) << " (" << n << (n == 1 ? " fix" : " fixes") << ")\n";
  }
}

}  // namespace

comando registra_check(CLI::App& app, opzioni_globali& g) {
  struct opzioni {
    std::filesystem::path linea, treno;
    codifica_ingresso codifica = codifica_ingresso::windows_1252;
    opzioni_controllo controllo;
    opzioni_rapporto rapporto;
    std::vector<std::string> permessi;  // warning codes not to report
    bool correggi = false, sul_posto = false;
    std::filesystem::path uscita;
    std::string nome, numero;  // whose documents to compare, in cartella
    std::filesystem::path cartella;
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
  c->add_flag("--fix", o->correggi,
              "Also write a copy of the file with every fix that a hint spells out exactly applied (a misspelt "
              "keyword, a position off the 50 m grid, a decimal comma, a record outside its section, a "
              "comment-looking line): to -o FILE, or over the file with --in-place. The problems listed are "
              "those of the file as it was");
  aggiungi_percorso(c, "-o,--output", o->uscita,
                "With --fix: write the fixed copy here (one file only: give --line or --train alone; never the "
                "input: use --in-place)");
  c->add_flag("--in-place", o->sul_posto, "With --fix: replace each file given with its fixed copy");
  aggiungi_codifica(c, o->codifica);
  aggiungi_ritmi(c, o->controllo);
  c->add_option("--name", o->nome,
                "Scenario name S: with --train-number, compare the documents S_T_scheda_treno.txt and "
                "S_T_rallentamenti.txt in --dir with the train file (warnings W501, W502)");
  c->add_option("--train-number", o->numero, "Train number T of the documents to compare (with --name)");
  aggiungi_percorso(c, "--dir", o->cartella, "Folder of the documents to compare (default: the current folder)");
  return {c, [o, &g] {
            if (o->linea.empty() && o->treno.empty())
              throw std::invalid_argument("check needs --line, --train or both");
            if (!o->correggi && (o->sul_posto || !o->uscita.empty()))
              throw std::invalid_argument("-o and --in-place go with --fix");
            if (o->correggi) {
              if (o->sul_posto == !o->uscita.empty())
                throw std::invalid_argument("--fix needs either -o FILE or --in-place");
              if (!o->uscita.empty() && !o->linea.empty() && !o->treno.empty())
                throw std::invalid_argument("-o names one fixed copy: give --line or --train alone, or use --in-place");
              std::error_code e;
              const auto& ingresso = o->linea.empty() ? o->treno : o->linea;
              if (!o->uscita.empty() && std::filesystem::equivalent(o->uscita, ingresso, e))
                throw std::invalid_argument(o->uscita.string() + " is the input file: use --in-place to replace it");
            }
            std::optional<testo_sorgente> linea, treno;
            std::vector<testo_sorgente> testi;
            if (!o->linea.empty()) testi.push_back(*(linea = leggi_sorgente(o->linea, o->codifica)));
            if (!o->treno.empty()) testi.push_back(*(treno = leggi_sorgente(o->treno, o->codifica)));
            auto problemi = controlla(linea, treno, o->controllo);
            if (o->nome.empty() != o->numero.empty())
              throw std::invalid_argument("--name and --train-number go together: give both or neither");
            if (!o->nome.empty() && linea && treno) {
              std::filesystem::path cartella = una_cartella(g, o->cartella);
              if (cartella.empty()) cartella = ".";
              const auto documento = [&](file_scenario f) -> std::optional<documento_trovato> {
                const auto p = nome_file(cartella, o->nome, o->numero, f);
                if (!esiste_file(p)) return std::nullopt;
                return documento_trovato{testo_percorso(p), leggi_file(p)};
              };
              const auto scheda = documento(file_scenario::scheda), ordine = documento(file_scenario::rallentamenti);
              scenario s;
              s.nome_scenario = o->nome;
              s.numero_treno = o->numero;
              if (scheda || ordine) memorizza_dati(s, *linea, *treno);
              if ((scheda || ordine) && s.codice_errore == 0)
                for (problema& p : confronta_documenti(s, treno->dati, scheda, ordine)) problemi.push_back(std::move(p));
              for (const auto& d : {scheda, ordine})
                if (d) testi.push_back({d->nome, d->dati, ""});
            }
            std::erase_if(problemi, [&](const problema& p) {
              return p.livello == gravita::avviso && std::ranges::find(o->permessi, p.sigla) != o->permessi.end();
            });
            if (o->correggi) {
              std::vector<std::pair<std::filesystem::path, tipo_file>> file;
              if (!o->linea.empty()) file.emplace_back(o->linea, tipo_file::linea);
              if (!o->treno.empty()) file.emplace_back(o->treno, tipo_file::treno);
              scrivi_corretti(problemi, testi, file, o->codifica, o->uscita, o->sul_posto);
            }
            return riporta_controllo(std::cout, problemi, testi, o->rapporto.json || g.rapporto.json,
                                     o->rapporto.strict || g.rapporto.strict);
          }};
}

}  // namespace tracciato
