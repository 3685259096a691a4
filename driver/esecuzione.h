// The ways to run tracciato: the built-in scenario, an author's own files, and
// the built-in text sources alone.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "driver/documenti.h"
#include "driver/uscita.h"
#include "loader/memorizza_dati.h"
#include "model/nomi_file.h"
#include "model/scenario.h"
#include "platform/testo.h"

namespace tracciato {

struct opzioni_rapporto {
  bool json = false;    // one JSON object instead of the summary line
  bool strict = false;  // a recorded fault replaces nothing: the previous set stands
};

// One writer of the built-in scenario's text files.
struct stadio {
  std::string_view nome;
  void (*esegui)(const std::filesystem::path& percorso);
  std::string (*testo)();  // the bytes esegui writes
  file_scenario file;
  std::string_view perche;
};

// The writers in the order the run calls them.
extern const stadio stadi_scrittura[5];

inline constexpr std::string_view nome_scenario_incorporato = "VessolantaC_OrmelaC";
inline constexpr std::string_view numero_treno_incorporato = "4715";

// The built-in run in cartella: the five text files, then the compile. A
// file of those names in cartella that differs from what the run would write
// (an author's edit) stops the run before anything is written
// (std::runtime_error), unless forza.
int esegui_incorporato(const std::filesystem::path& cartella, const opzioni_rapporto& rapporto,
                       bool forza = false);

struct opzioni_compile {
  std::filesystem::path linea;  // the author's line file
  std::filesystem::path treno;  // the author's train file
  std::string nome;             // scenario name S
  std::string numero;           // train number T
  std::filesystem::path cartella = ".";
  bool senza_planimetria = false;  // --no-plan: no track plan, no line data file
  codifica_ingresso codifica = codifica_ingresso::windows_1252;  // --input-encoding
  opzioni_rapporto rapporto;
  // --documents: also the timetable card and the slowdown order, when the
  // compile records no fault, with these header cells.
  bool documenti = false;
  intestazione_documenti intestazione;
};

// Compiles an author's line and train files into S_linea.dat, S_T.sim and
// S_T.dat. Throws std::invalid_argument, before anything is written, for a
// name that could leave the folder or has no Windows-1252 form, an output
// folder that is not one, and an input that cannot be read or is one of the
// files the compile writes.
int esegui_compile(const opzioni_compile& opzioni);

// Writes the built-in scenario's text files into cartella without compiling.
int esegui_sources(const std::filesystem::path& cartella);

// What became of a run's binary files.
struct esito_percorso {
  std::vector<std::filesystem::path> scritti;  // the new set, now in place, in order
  std::string fallimento;  // non-empty: the run failed and wrote nothing; why
  bool trattenuto = false;  // --strict and a recorded fault: nothing was replaced
  // When nothing was written: the files of the set's names that an earlier
  // run left in the folder, and that stand.
  std::vector<std::filesystem::path> rimasti;
  // Working folders of interrupted runs that recovery left alone, and why
  // ("<folder>: warning: ...").
  std::vector<std::string> avvisi;
  // The line and train texts as the run read them; empty when it read none.
  std::vector<testo_sorgente> testi;
};

// What the compile of an author's files adds to its summary: the texts it
// read, for the source line of the first fault, and how many more problems
// `tracciato check` finds in them besides that fault.
struct seguito_rapporto {
  std::vector<testo_sorgente> testi;
  int32_t altri_problemi = 0;
  // After a run with no fault: the warnings the check would list (-1 = not counted).
  int32_t avvisi_controllo = -1;
};

// Prints the outcome of a run (summary line or JSON, any further faults on
// standard error, and what became of the binary files) and returns the exit
// status: 0 the set was written and no fault was recorded, 1 a fault was
// recorded (the set written, or with --strict nothing replaced), 2 nothing
// written. With seguito, the text form follows the summary, on standard
// error, with the first fault's source line and a caret under its column,
// and "N more problems: run tracciato check".
int rapporta(const scenario& s, const esito_percorso& esito, const opzioni_rapporto& rapporto,
             const seguito_rapporto* seguito = nullptr);

}  // namespace tracciato
