// The command line: each command declares its options in a file of its own
// (driver/comando_*.cc) and main runs the one that was named. Only the
// executable links the command-line library.
//
// What a command's esegui must do, so that every command ends alike:
//   - return the exit status of a run that got to its end: uscita_ok, or
//     uscita_errore_registrato when the run found faults in the author's
//     data (platform/uscita.h);
//   - throw std::invalid_argument for a usage error (options that clash, a
//     value that is not allowed), std::runtime_error (std::system_error
//     among them) for a file or folder that cannot be read or written. main
//     reports either as "tracciato: error: <what()>" with exit status 2;
//     anything else thrown is an internal error (status 3). what() is the
//     message alone, without "tracciato:" or "error:";
//   - with --json, print its one JSON object through stampa_json, as the
//     last thing it does; when it throws before that, main prints
//     {"error": ..., "exit_status": ...} instead. Never print a second one;
//   - never call exit() and never print help or errors itself: CLI11's
//     parse errors are mapped to status 2 by main.
#pragma once

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>

#include "driver/esecuzione.h"

namespace tracciato {

// Options that apply wherever they are written: before the command or after it.
struct opzioni_globali {
  std::filesystem::path cartella;  // --dir
  opzioni_rapporto rapporto;       // --json, --strict
};

// One command: its subcommand, and what runs it once the line is parsed.
struct comando {
  CLI::App* sotto;
  std::function<int()> esegui;
};

// The folder of a command: --dir given before the command, after it, or both
// alike; empty when neither. Throws std::invalid_argument when the two differ.
std::filesystem::path una_cartella(const opzioni_globali& g, const std::filesystem::path& dopo);

// The option nome of c, a file or folder: the command line's UTF-8 text read
// as the path it names on every system (CLI11 would read it in Windows' ANSI
// code page there).
CLI::Option* aggiungi_percorso(CLI::App* c, const std::string& nome, std::filesystem::path& percorso,
                               const std::string& descrizione);
// CLI::ExistingFile for such an option.
CLI::Validator file_esistente();

// --input-encoding utf-8|windows-1252 on command c.
void aggiungi_codifica(CLI::App* c, codifica_ingresso& codifica);
// --region, --valid-from, --category, --composition, --vehicle: the header
// cells of the documents.
void aggiungi_intestazione(CLI::App* c, intestazione_documenti& i);
// The options compile and watch share: the two files, the names, the
// folder, the encoding and --no-plan.
void aggiungi_opzioni_compile(CLI::App* c, opzioni_compile& o);
// --documents and the documents' header cells, for compile and watch.
void aggiungi_opzioni_documenti(CLI::App* c, opzioni_compile& o);

comando registra_compile(CLI::App& app, opzioni_globali& g);
comando registra_sources(CLI::App& app, opzioni_globali& g);
comando registra_lsp(CLI::App& app, opzioni_globali& g);
comando registra_check(CLI::App& app, opzioni_globali& g);
comando registra_watch(CLI::App& app, opzioni_globali& g);
comando registra_view(CLI::App& app, opzioni_globali& g);
comando registra_ispezione(CLI::App& app, opzioni_globali& g);
comando registra_decompile(CLI::App& app, opzioni_globali& g);
comando registra_fmt(CLI::App& app, opzioni_globali& g);
comando registra_documents(CLI::App& app, opzioni_globali& g);

}  // namespace tracciato
