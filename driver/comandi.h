// The command line: each command declares its options in a file of its own
// (driver/comando_*.cc) and main runs the one that was named. Only the
// executable links the command-line library.
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

// --input-encoding utf-8|windows-1252 on command c.
void aggiungi_codifica(CLI::App* c, codifica_ingresso& codifica);

comando registra_compile(CLI::App& app, opzioni_globali& g);
comando registra_sources(CLI::App& app, opzioni_globali& g);
comando registra_lsp(CLI::App& app, opzioni_globali& g);
comando registra_check(CLI::App& app, opzioni_globali& g);
comando registra_watch(CLI::App& app, opzioni_globali& g);
comando registra_view(CLI::App& app, opzioni_globali& g);
comando registra_inspect(CLI::App& app, opzioni_globali& g);
comando registra_decompile(CLI::App& app, opzioni_globali& g);

}  // namespace tracciato
