// The ways to run tracciato: the built-in scenario, an author's own files, and
// the built-in text sources alone.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "driver/nomi_file.h"
#include "loader/memorizza_dati.h"
#include "model/scenario.h"
#include "platform/testo.h"

namespace tracciato {

// Exit statuses, the same for every command.
inline constexpr int uscita_ok = 0;
inline constexpr int uscita_errore_registrato = 1;  // a recorded fault, with --strict
inline constexpr int uscita_fallita = 2;            // bad input or a failed run: no binary file written
inline constexpr int uscita_interna = 3;            // a fault of tracciato itself

struct opzioni_rapporto {
  bool json = false;    // one JSON object instead of the summary line
  bool strict = false;  // a recorded fault makes the run fail
};

// One writer of the built-in scenario's text files.
struct stadio {
  std::string_view nome;
  void (*esegui)(const std::filesystem::path& percorso);
  file_scenario file;
  std::string_view perche;
};

// The writers in the order the run calls them.
extern const stadio stadi_scrittura[5];

inline constexpr std::string_view nome_scenario_incorporato = "VessolantaC_OrmelaC";
inline constexpr std::string_view numero_treno_incorporato = "4715";

// The built-in run in cartella: the five text files, then the compile.
int esegui_incorporato(const std::filesystem::path& cartella, const opzioni_rapporto& rapporto);

struct opzioni_compile {
  std::filesystem::path linea;  // the author's line file
  std::filesystem::path treno;  // the author's train file
  std::string nome;             // scenario name S
  std::string numero;           // train number T
  std::filesystem::path cartella = ".";
  bool senza_planimetria = false;  // --no-plan: no track plan, no line data file
  codifica_ingresso codifica = codifica_ingresso::windows_1252;  // --input-encoding
  opzioni_rapporto rapporto;
};

// Compiles an author's line and train files into S_linea.dat, S_T.sim and S_T.dat.
int esegui_compile(const opzioni_compile& opzioni);

// Writes the built-in scenario's text files into cartella without compiling.
int esegui_sources(const std::filesystem::path& cartella);

// What the compile of an author's files adds to its summary: the texts it
// read, for the source line of the first fault, and how many more problems
// `tracciato check` finds in them besides that fault.
struct seguito_rapporto {
  std::vector<testo_sorgente> testi;
  int32_t altri_problemi = 0;
};

// Prints the outcome of a run (summary line or JSON, and any further faults
// on standard error) and returns the exit status. With seguito, the text form
// follows the summary, on standard error, with the first fault's source line
// and a caret under its column, and "N more problems: run tracciato check".
int rapporta(const scenario& s, const std::vector<std::filesystem::path>& scritti,
             const opzioni_rapporto& rapporto, const seguito_rapporto* seguito = nullptr);

}  // namespace tracciato
