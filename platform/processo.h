// Starting another program: its arguments passed as they are (no shell
// between), its standard output and error into files, its standard input
// from a file or empty. The tests start tracciato itself through this, the same on every
// system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tracciato {

struct avvio_programma {
  std::filesystem::path programma;
  std::vector<std::string> argomenti;  // UTF-8
  std::filesystem::path cartella;      // its working folder
  std::filesystem::path uscita;        // its standard output goes here
  std::filesystem::path errori;        // its standard error goes here
  std::filesystem::path ingresso = {};  // its standard input (empty: none)
};

// A program started and not yet waited for. The destructor ends it if it is
// still running.
class programma_in_corso {
 public:
  // Throws std::system_error when it cannot be started.
  explicit programma_in_corso(const avvio_programma& a);
  ~programma_in_corso();
  programma_in_corso(const programma_in_corso&) = delete;
  programma_in_corso& operator=(const programma_in_corso&) = delete;

  // Asks the program to stop as Ctrl-C in its terminal does (SIGINT). False
  // where the system cannot send that to one process alone (Windows: a
  // console's Ctrl-C goes to every program attached to it).
  bool interrompi();
  // Waits for its end: its exit status, or 128 + the signal that ended it.
  int attendi();

 private:
  std::intptr_t id_ = -1;  // the process id, or its handle on Windows
  int stato_ = -1;
};

// esegui_programma: starts it and waits for its end (programma_in_corso::attendi).
int esegui_programma(const avvio_programma& a);

// crea_fifo: makes a FIFO at percorso; false where the file system has none
// (Windows) or it cannot be made.
bool crea_fifo(const std::filesystem::path& percorso);

}  // namespace tracciato
