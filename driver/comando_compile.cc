// tracciato compile: an author's own line and train files.
#include <map>
#include <memory>
#include <string>

#include "driver/comandi.h"
#include "platform/percorso.h"

namespace tracciato {

std::filesystem::path una_cartella(const opzioni_globali& g, const std::filesystem::path& dopo) {
  if (g.cartella.empty()) return dopo;
  if (!dopo.empty() && dopo != g.cartella)
    throw std::invalid_argument("--dir is given twice, as " + g.cartella.string() + " and " +
                                dopo.string() + "; give it once");
  return g.cartella;
}

CLI::Option* aggiungi_percorso(CLI::App* c, const std::string& nome, std::filesystem::path& percorso,
                               const std::string& descrizione) {
  return c->add_option_function<std::string>(
      nome, [&percorso](const std::string& t) { percorso = percorso_utf8(t); }, descrizione);
}

CLI::Validator file_esistente() {
  return CLI::Validator(
      [](std::string& t) {
        std::error_code e;
        const auto stato = std::filesystem::status(percorso_utf8(t), e);
        if (!std::filesystem::exists(stato)) return "File does not exist: " + t;
        if (std::filesystem::is_directory(stato)) return "File is actually a directory: " + t;
        return std::string();
      },
      "FILE");
}

void aggiungi_codifica(CLI::App* c, codifica_ingresso& codifica) {
  c->add_option("--input-encoding", codifica,
                "How the text files are saved: windows-1252 (the format's own, the default) or utf-8 (converted "
                "to Windows-1252 on reading; a character it lacks is an error naming its line)")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, codifica_ingresso>{{"windows-1252", codifica_ingresso::windows_1252},
                                                   {"utf-8", codifica_ingresso::utf_8}},
          CLI::ignore_case))
      ->option_text("utf-8|windows-1252");
}

void aggiungi_opzioni_compile(CLI::App* c, opzioni_compile& o) {
  aggiungi_percorso(c, "--line", o.linea, "The line file")->required();
  aggiungi_percorso(c, "--train", o.treno, "The train file")->required();
  c->add_option("--name", o.nome, "Scenario name S")->required();
  c->add_option("--train-number", o.numero, "Train number T")->required();
  aggiungi_percorso(c, "--dir", o.cartella, "Output folder (default: the current folder)");
  aggiungi_codifica(c, o.codifica);
  c->add_flag("--no-plan", o.senza_planimetria, "Do not build the track plan and do not write S_linea.dat");
}

void aggiungi_opzioni_documenti(CLI::App* c, opzioni_compile& o) {
  c->add_flag("--documents", o.documenti,
              "Also write the timetable card S_T_scheda_treno.txt and the slowdown order S_T_rallentamenti.txt, "
              "as `tracciato documents` does, when the compile records no fault");
  aggiungi_intestazione(c, o.intestazione);
}

comando registra_compile(CLI::App& app, opzioni_globali& g) {
  auto o = std::make_shared<opzioni_compile>();
  o->cartella.clear();
  auto* c = app.add_subcommand(
      "compile",
      "Compile your own line and train files into S_linea.dat, S_T.sim and S_T.dat in the output "
      "folder. Your text files are read as they are and never changed");
  aggiungi_opzioni_compile(c, *o);
  aggiungi_opzioni_documenti(c, *o);
  c->add_flag("--json", o->rapporto.json, "Print the outcome as one JSON object");
  c->add_flag("--strict", o->rapporto.strict,
              "When a fault is recorded, replace no binary file: the previous set stands");
  return {c, [o, &g] {
            opzioni_compile opzioni = *o;
            opzioni.cartella = una_cartella(g, o->cartella);
            if (opzioni.cartella.empty()) opzioni.cartella = ".";
            opzioni.rapporto.json |= g.rapporto.json;
            opzioni.rapporto.strict |= g.rapporto.strict;
            return esegui_compile(opzioni);
          }};
}

}  // namespace tracciato
