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

  try {
    if (*cmd_compile) return esegui_compile(compile);
    if (*cmd_sources)
      return esegui_sources(cartella_sources.empty() ? std::filesystem::path(".") : cartella_sources);
    return esegui_incorporato(cartella.empty() ? cartella_programma() : cartella, rapporto);
  } catch (const arresto& a) {
    std::cerr << a.what() << std::endl;
    return uscita_fallita;
  } catch (const std::exception& e) {
    std::cerr << "tracciato: " << e.what() << std::endl;
    return uscita_fallita;
  }
}
