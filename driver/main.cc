// tracciato: compiles a train-driving scenario into the simulator's binary files.
//
//   tracciato [--dir DIR]            the built-in scenario, end to end
//   tracciato compile ...            an author's own line and train files
//   tracciato sources [--dir DIR]    the built-in text files only
//   tracciato check ...              every problem of an author's files, nothing written
//   tracciato watch ...              compile and check again at every save
//   tracciato view ...               the scenario drawn as one HTML page
//   tracciato inspect FILE ...       what one binary file holds
//   tracciato decompile ...          text sources recovered from the binary files
//   tracciato lsp                    a language server for editors
//
// This is the only place that ends the process, and every failure of every
// command ends here in one form (driver/uscita.h): exit status 2 and
// "tracciato: error: ..." for bad usage, input or folders, 3 for a fault of
// tracciato itself; with --json, one JSON object with an "error" key.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <exception>
#include <new>
#include <stdexcept>
#include <vector>

#include "driver/comandi.h"
#include "driver/uscita.h"
#include "platform/avvio.h"
#include "platform/cartella.h"
#include "platform/insieme.h"

namespace {

using namespace tracciato;

// Whether option was given, anywhere on the line before "--": known even
// when the line does not parse.
bool chiede(int argc, char** argv, std::initializer_list<std::string_view> opzione) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) return false;
    for (std::string_view o : opzione)
      if (argv[i] == o) return true;
  }
  return false;
}

// The commands, each by the word that names it on the line.
struct voce_comando {
  std::string_view nome;
  comando (*registra)(CLI::App&, opzioni_globali&);
};
constexpr voce_comando voci_comandi[] = {
    {"compile", registra_compile}, {"sources", registra_sources}, {"lsp", registra_lsp},
    {"check", registra_check},     {"watch", registra_watch},     {"view", registra_view},
    {"inspect", registra_ispezione}, {"decompile", registra_decompile},
    {"fmt", registra_fmt},
    {"documents", registra_documents},
};

// The word that names the line's command: the first that is neither an
// option nor the value of --dir; empty when there is none.
std::string_view parola_comando(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--") return {};
    if (a == "--dir") ++i;
    else if (!a.starts_with('-')) return a;
  }
  return {};
}

// The commands to build: only the one the line names, since building all of
// them costs more than the rest of a short run's start-up. Help, or a word
// that names no command, builds them all, so that the help lists every
// command and a mistyped one is refused as ever.
std::vector<comando> registra_comandi(CLI::App& app, opzioni_globali& g, int argc, char** argv) {
  const std::string_view parola = parola_comando(argc, argv);
  bool tutti = chiede(argc, argv, {"--help", "-h"});
  if (!parola.empty())
    tutti = tutti || std::none_of(std::begin(voci_comandi), std::end(voci_comandi),
                                  [&](const voce_comando& v) { return v.nome == parola; });
  std::vector<comando> comandi;
  for (const voce_comando& v : voci_comandi)
    if (tutti || v.nome == parola) comandi.push_back(v.registra(app, g));
  return comandi;
}

}  // namespace

int main(int argc, char** argv) {
  prepara_processo(argc, argv);
  // --version alone is answered before any parser is built: a script that
  // asks for it pays for nothing else.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::fputs("tracciato " TRACCIATO_VERSION "\n", stdout);
    return std::fflush(stdout) == 0 ? 0 : fallimento("cannot write the version", uscita_fallita, false);
  }
  // A run stopped by a signal leaves none of its files behind.
  pulizia_ai_segnali();
  // Every command but the two that live on ends soon after its work.
  if (const std::string_view c = parola_comando(argc, argv); c != "lsp" && c != "watch") memoria_di_una_corsa();
  const bool json = chiede(argc, argv, {"--json"});

  CLI::App app{
      "tracciato: a scenario compiler for a train-driving simulator.\n"
      "With no command it runs the built-in scenario: it writes the scenario's five text files\n"
      "into the program folder (the folder of this executable, or --dir), reads the line and\n"
      "train files back, and writes the three binary files the simulator loads.\n"
      "Exit status: 0 done with no fault, 1 done but a fault was recorded, 2 a failure (bad\n"
      "usage, input or folder; no binary file written), 3 an internal error of tracciato."};
  app.require_subcommand(0, 1);

  app.set_version_flag("--version", "tracciato " TRACCIATO_VERSION);

  opzioni_globali g;
  bool forza = false;
  aggiungi_percorso(&app, "--dir", g.cartella, "Folder to work in instead of the program folder");
  app.add_flag("--json", g.rapporto.json,
               "Print the outcome as one JSON object (codice_errore, posizione_errore, message, "
               "file, line, files_written, files_kept, warnings, faults, error, exit_status) instead of the "
               "summary line");
  app.add_flag("--strict", g.rapporto.strict,
               "When a fault is recorded, replace no binary file: the previous set stands");
  app.add_flag("--force", forza,
               "Built-in run: replace text files of the built-in names even when they differ from "
               "the built-in ones (an author's edits are otherwise never overwritten)");

  try {
    const std::vector<comando> comandi = registra_comandi(app, g, argc, argv);
    try {
      app.parse(argc, argv);
    } catch (const CLI::Success& e) {
      return app.exit(e);  // --help: the help text, status 0
    } catch (const CLI::ParseError& e) {
      throw std::invalid_argument(std::string(e.what()) + " (see tracciato --help)");
    }
    for (const comando& c : comandi)
      if (*c.sotto) return c.esegui();
    return esegui_incorporato(g.cartella.empty() ? cartella_programma() : g.cartella, g.rapporto, forza);
  } catch (const std::invalid_argument& e) {
    // A usage error: on the command line, or found once it was parsed.
    return fallimento(e.what(), uscita_fallita, json);
  } catch (const std::bad_alloc&) {
    return fallimento("out of memory", uscita_fallita, json);
  } catch (const std::runtime_error& e) {
    // Files and folders that cannot be read or written.
    return fallimento(e.what(), uscita_fallita, json);
  } catch (const std::exception& e) {
    return errore_interno(e.what(), json);
  } catch (...) {
    return errore_interno("an exception of unknown type", json);
  }
}
