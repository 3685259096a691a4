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
// This is the only place that ends the process.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <vector>

#include "driver/comandi.h"
#include "model/errori.h"
#include "platform/cartella.h"

int main(int argc, char** argv) {
  using namespace tracciato;

  CLI::App app{
      "tracciato: a scenario compiler for a train-driving simulator.\n"
      "With no command it runs the built-in scenario: it writes the scenario's five text files\n"
      "into the program folder (the folder of this executable, or --dir), reads the line and\n"
      "train files back, and writes the three binary files the simulator loads.\n"
      "Exit status: 0 done, 1 a fault was recorded (with --strict), 2 bad input or a failed run\n"
      "(no binary file written), 3 an internal error of tracciato."};
  app.require_subcommand(0, 1);

  opzioni_globali g;
  app.add_option("--dir", g.cartella, "Folder to work in instead of the program folder");
  app.add_flag("--json", g.rapporto.json,
               "Print the outcome as one JSON object (codice_errore, posizione_errore, message, "
               "file, line, files_written, faults) instead of the summary line");
  app.add_flag("--strict", g.rapporto.strict, "Exit with status 1 when a fault was recorded");

  const std::vector<comando> comandi = {
      registra_compile(app, g),
      registra_sources(app, g),
      registra_lsp(app, g),
      registra_check(app, g),
      registra_watch(app, g),
      registra_view(app, g),
      registra_inspect(app, g),
      registra_decompile(app, g),
  };

  CLI11_PARSE(app, argc, argv);

  try {
    for (const comando& c : comandi)
      if (*c.sotto) return c.esegui();
    return esegui_incorporato(g.cartella.empty() ? cartella_programma() : g.cartella, g.rapporto);
  } catch (const arresto& a) {
    std::cerr << a.what() << std::endl;
    return uscita_fallita;
  } catch (const std::invalid_argument& e) {
    // A usage error found once the line was parsed.
    std::cerr << "tracciato: " << e.what() << std::endl;
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
