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
// What an interrupted run left is recovered (riprendi_insiemi, and every
// commit first, under the same lock): a private folder with a whole marker
// has its renames finished (roll forward); one with "annulla" has its undoing
// finished; one with neither never moved anything and is removed. The output
// folder is read once for it, as it is open, and a private folder is looked
// into only when it is not a live run's.
//
// Recovery follows only what this program wrote. A folder of that name can
// also come from elsewhere (an archive unpacked into the output folder, a
// copy of another folder), and its marker could then name any file. So:
//   - Right after the private folder is made, a file "firma" goes into it:
//     a digest of the folder's name and of what the file system gave the
//     folder when it was made (its inode number and, where kept, its birth
//     time, to the nanosecond). No archive or copy can give a folder these:
//     a folder whose "firma" does not match is not one of a run's, and
//     recovery leaves it alone, with a warning that names it.
//   - The marker's first line, "firma <digest>", covers that identity and
//     every line after it: a marker that does not match is not followed.
//   - The names are those of one scenario's binary files (see
//     insieme_scenario), so a marker could move nothing else.
//   - A file that the caller reads (protetti) is never moved, replaced or
//     removed: a folder whose recovery would touch one is left for a later
//     run, with a warning.
// An empty private folder (a run killed before its "firma") is only removed.
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
  // Makes this run's private folder in cartella; conferma recovers what
  // earlier runs left there, never touching a file of protetti. Throws
  // std::system_error when cartella cannot be opened or the private folder
  // cannot be made (a read-only folder, for one).
  explicit insieme_file(const std::filesystem::path& cartella,
                        const std::vector<std::filesystem::path>& protetti = {});
  // Removes the private folder if it is still there (the set was never
  // committed): nothing of it is left behind.
  ~insieme_file();
  insieme_file(const insieme_file&) = delete;
  insieme_file& operator=(const insieme_file&) = delete;

  // Where the file nome of the set is to be made: a path that does not exist
  // yet. nome is a plain file name, not "completo", "annulla" or "firma" nor
  // one starting "vecchio-" (throws std::invalid_argument); the file must be
  // complete before conferma.
  std::filesystem::path percorso(std::string_view nome);

  // Recovers what runs that died left in the folder (as riprendi_insiemi),
  // then moves every file of the set (in the order percorso named them) into
  // place: afterwards the folder holds the whole new set, or, when this
  // throws std::system_error, the whole old set as it was. The names must
  // form insieme_scenario (std::invalid_argument before anything moves).
  // Returns the paths of the files now in place.
  std::vector<std::filesystem::path> conferma();
  // The warnings of conferma's recovery, as riprendi_insiemi gives them.
  const std::vector<std::string>& avvisi() const { return avvisi_; }

 private:
  std::filesystem::path cartella_;
  std::string nome_privata_;  // empty once the private folder is gone
  int fd_cartella_ = -1;
  int fd_privata_ = -1;
  void* blocco_privata_ = nullptr;  // Windows: the lock on the private folder
  bool da_riprendere_ = false;  // an undo left an old file aside: the next run finishes it
  std::vector<std::string> nomi_;
  std::vector<std::filesystem::path> protetti_;
  std::vector<std::string> avvisi_;
};

// insieme_scenario: whether nomi, in this order, are the binary files of one
// scenario: S_linea.dat (when the plan is written), S_T.sim and S_T.dat.
bool insieme_scenario(const std::vector<std::string>& nomi);

// riprendi_insiemi: finishes or undoes what interrupted runs left in cartella
// (see above), never touching a file of protetti (the caller's inputs) nor
// the private folder of a live run. Returns a warning for each folder it
// leaves alone, "<folder>: warning: <why>". Throws std::system_error when
// cartella cannot be opened.
std::vector<std::string> riprendi_insiemi(const std::filesystem::path& cartella,
                                          const std::vector<std::filesystem::path>& protetti = {});

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
