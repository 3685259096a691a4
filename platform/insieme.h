// insieme_file: files that replace the files of the same names in a folder as
// one set. Whoever looks at the folder between runs finds the whole old set or
// the whole new set, never a mix, even after a run was killed between two
// renames.
//
// How, in the manner of a write-ahead log:
//   1. The new files are written into a private folder inside the output
//      folder, ".tracciato-XXXXXX", under their own names.
//   2. Once all are whole, a marker is written there: "completo", one line a
//      name, "+" before a name that has an old file in the output folder and
//      "-" before one that has none, then the line "fine". A marker without
//      its last line was cut short and counts as none. This is the commit
//      point.
//   3. Each file is renamed into place. Before its rename the old file of
//      that name is kept aside in the private folder ("vecchio-N", a hard
//      link, N its place in the marker), so that a failed rename can put back
//      what was already moved: the marker is renamed "annulla", then the old
//      files return and every name that had none is removed, and the old set
//      stands.
//   4. The private folder is removed.
// A later run in the folder first recovers what an interrupted run left
// (riprendi_insiemi): a private folder with a whole marker has its renames
// finished (roll forward); one with "annulla" has its undoing finished; one
// with neither never moved anything and is removed.
//
// Concurrent runs: the output folder is locked (flock) while a private folder
// is made, recovered or committed, and each private folder is locked by its
// run for as long as the run lives; recovery passes over a folder whose lock
// is held, so no run touches another live run's files, and commits into one
// folder follow one another.
//
// Not promised: a power cut or a crash of the system (as opposed to the
// process) may lose or mix files, since nothing is flushed to the disk
// (fsync); see the README.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tracciato {

// The name of a private folder starts with this.
inline constexpr std::string_view prefisso_privata = ".tracciato-";

class insieme_file {
 public:
  // Recovers what earlier runs left in cartella, then makes this run's
  // private folder. Throws std::system_error when cartella cannot be opened
  // or the private folder cannot be made (a read-only folder, for one).
  explicit insieme_file(const std::filesystem::path& cartella);
  // Removes the private folder if it is still there (the set was never
  // committed): nothing of it is left behind.
  ~insieme_file();
  insieme_file(const insieme_file&) = delete;
  insieme_file& operator=(const insieme_file&) = delete;

  // Where the file nome of the set is to be made: a path that does not exist
  // yet. nome is a plain file name, not "completo" or "annulla" nor one
  // starting "vecchio-" (throws std::invalid_argument); the file must be
  // complete before conferma.
  std::filesystem::path percorso(std::string_view nome);

  // Moves every file of the set (in the order percorso named them) into
  // place: afterwards the folder holds the whole new set, or, when this
  // throws std::system_error, the whole old set as it was.
  // Returns the paths of the files now in place.
  std::vector<std::filesystem::path> conferma();

 private:
  std::filesystem::path cartella_;
  std::string nome_privata_;  // empty once the private folder is gone
  int fd_cartella_ = -1;
  int fd_privata_ = -1;
  bool da_riprendere_ = false;  // an undo left an old file aside: the next run finishes it
  std::vector<std::string> nomi_;
};

// riprendi_insiemi: finishes or undoes what interrupted runs left in cartella
// (see above). Never touches the private folder of a live run. Throws
// std::system_error when cartella cannot be opened.
void riprendi_insiemi(const std::filesystem::path& cartella);

// pulizia_ai_segnali: on SIGINT, SIGTERM or SIGHUP the private folder of the
// run is removed and the process ends by the same signal, with the status
// the shell expects for it; SIGXFSZ (a file over the size limit) becomes a
// write failure instead of killing the process. While a set is being moved
// into place (conferma, recovery) the signals wait until it is done. Call
// once, at the start of the program.
void pulizia_ai_segnali();

// Test seam: when set, called with the index of each file just before its
// rename into place. A test makes it throw (a failed rename) or kill the
// process (a kill between two renames).
extern void (*prima_di_rinominare)(std::size_t i);

}  // namespace tracciato
