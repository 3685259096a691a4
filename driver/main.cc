// tracciato: compiles a train-driving scenario into the simulator's binary files.
//
//   tracciato [--dir DIR]            the built-in scenario, end to end
//   tracciato compile ...            an author's own line and train files
//   tracciato sources [--dir DIR]    the built-in text files only
//
// This is the only place that ends the process.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <optional>

#include "driver/esecuzione.h"
#include "model/errori.h"
#include "platform/cartella.h"

int main(int argc, char** argv) {
  using namespace tracciato;

  CLI::App app{
      "tracciato: a scenario compiler for a train-driving simulator.\n"
      "With no command it runs the built-in scenario: it writes the scenario's five text files\n"
      "into the program folder (the folder of this executable, or --dir), reads the line and\n"
      "train files back, and writes the three binary files the simulator loads."};
  app.require_subcommand(0, 1);

  // --dir, --json and --strict apply wherever they are written: before the
  // command or after it.
  std::filesystem::path cartella;
  opzioni_rapporto rapporto;
  app.add_option("--dir", cartella, "Folder to work in instead of the program folder");
  app.add_flag("--json", rapporto.json,
               "Print the outcome as one JSON object (codice_errore, posizione_errore, message, "
               "file, line, files written) instead of the summary line");
  app.add_flag("--strict", rapporto.strict, "Exit with status 1 when a fault was recorded");

  opzioni_compile compile;
  auto* cmd_compile = app.add_subcommand(
      "compile",
      "Compile your own line and train files into S_linea.dat, S_T.sim and S_T.dat. Your files "
      "are never changed: working copies are read and deleted");
  cmd_compile->add_option("--line", compile.linea, "The line file")->required()->check(CLI::ExistingFile);
  cmd_compile->add_option("--train", compile.treno, "The train file")->required()->check(CLI::ExistingFile);
  cmd_compile->add_option("--name", compile.nome, "Scenario name S")->required();
  cmd_compile->add_option("--train-number", compile.numero, "Train number T")->required();
  cmd_compile->add_option("--dir", compile.cartella, "Output folder (default: the current folder)");
  cmd_compile->add_flag("--no-plan", compile.senza_planimetria,
                        "Do not build the track plan and do not write S_linea.dat");
  cmd_compile->add_flag("--json", compile.rapporto.json, "Print the outcome as one JSON object");
  cmd_compile->add_flag("--strict", compile.rapporto.strict, "Exit with status 1 when a fault was recorded");

  std::filesystem::path cartella_sources;
  auto* cmd_sources = app.add_subcommand(
      "sources", "Write the built-in scenario's text files without compiling, as a starting point");
  cmd_sources->add_option("--dir", cartella_sources, "Output folder (default: the current folder)");

  CLI11_PARSE(app, argc, argv);

  // A folder given both before and after the command must be the same one.
  auto una_cartella = [&](const std::filesystem::path& dopo) -> std::optional<std::filesystem::path> {
    if (cartella.empty()) return dopo;
    if (!dopo.empty() && dopo != cartella) {
      std::cerr << "tracciato: --dir is given twice, as " << cartella << " and " << dopo
                << "; give it once\n";
      return std::nullopt;
    }
    return cartella;
  };

  try {
    if (*cmd_compile) {
      const auto c = una_cartella(cmd_compile->count("--dir") ? compile.cartella : std::filesystem::path());
      if (!c) return uscita_fallita;
      if (!c->empty()) compile.cartella = *c;
      compile.rapporto.json |= rapporto.json;
      compile.rapporto.strict |= rapporto.strict;
      return esegui_compile(compile);
    }
    if (*cmd_sources) {
      if (rapporto.json || rapporto.strict) {
        std::cerr << "tracciato sources: --json and --strict do not apply: nothing is compiled\n";
        return uscita_fallita;
      }
      const auto c = una_cartella(cartella_sources);
      if (!c) return uscita_fallita;
      return esegui_sources(c->empty() ? std::filesystem::path(".") : *c);
    }
    return esegui_incorporato(cartella.empty() ? cartella_programma() : cartella, rapporto);
  } catch (const arresto& a) {
    std::cerr << a.what() << std::endl;
    return uscita_fallita;
  } catch (const std::runtime_error& e) {
    // Files that cannot be read or written, texts too long for their field.
    std::cerr << "tracciato: " << e.what() << std::endl;
    return uscita_fallita;
  } catch (const std::exception& e) {
    std::cerr << "tracciato: internal error: " << e.what()
              << " (a fault of tracciato itself, not of your files)" << std::endl;
    return uscita_interna;
  }
}
