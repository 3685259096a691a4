// Files in the program folder: the few operations the stages need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tracciato {

// file_nuovo: a file made at percorso, which must not exist yet, with the
// usual permissions (0666 less the umask), filled in as many writes as its
// maker needs and closed by chiudi(). A file never closed is removed, so a
// failed or interrupted write leaves no part of a file behind.
class file_nuovo {
 public:
  // Throws std::system_error when the file cannot be made (it exists, or its
  // folder does not).
  explicit file_nuovo(std::filesystem::path percorso);
  file_nuovo(file_nuovo&& altro) noexcept;
  ~file_nuovo();
  file_nuovo(const file_nuovo&) = delete;
  file_nuovo& operator=(const file_nuovo&) = delete;
  file_nuovo& operator=(file_nuovo&&) = delete;

  // Allocates the file's blocks for its first dimensione bytes at once, and
  // sets its size to that: writes that fill them then cost the kernel less
  // than writes that grow the file. A file system that cannot does without.
  void riserva(uint64_t dimensione) noexcept;
  // Writes dati at byte posizione, resuming after short writes. Throws
  // std::system_error on failure.
  void scrivi(std::string_view dati, uint64_t posizione);
  // Closes the file, which is then whole. Throws std::system_error on
  // failure (and then removes the file).
  void chiudi();

  const std::filesystem::path& percorso() const { return percorso_; }

 private:
  std::filesystem::path percorso_;
  int fd_ = -1;
};

// crea_file: a new file at percorso (see file_nuovo) holding exactly
// contenuto, in one write.
void crea_file(const std::filesystem::path& percorso, std::string_view contenuto);

// file_temporaneo: a new file built beside percorso under a temporary name,
// in as many writes as its maker needs, and renamed over percorso by
// conferma(). A file never confirmed is removed, so a failed or interrupted
// write never leaves a truncated file where a good one stood.
class file_temporaneo {
 public:
  // Throws std::system_error when the file cannot be created.
  explicit file_temporaneo(std::filesystem::path percorso);

  void riserva(uint64_t dimensione) noexcept { file_.riserva(dimensione); }
  void scrivi(std::string_view dati, uint64_t posizione) { file_.scrivi(dati, posizione); }
  // Closes the file and renames it over percorso. Throws std::system_error
  // on failure, and then leaves the old file, if any, as it was.
  void conferma();

 private:
  std::filesystem::path percorso_;
  file_nuovo file_;  // under the temporary name
};

// sostituisci_file: makes the file at percorso hold exactly contenuto. The bytes
// go in one write into a file_temporaneo, which is then renamed over the old
// name. Throws std::system_error on failure (and then leaves the old file, if
// any, as it was).
void sostituisci_file(const std::filesystem::path& percorso, std::string_view contenuto);

// The largest file leggi_file reads unless told otherwise. A real line file of
// a 1000 km route is a few hundred kB; the bound keeps a wrong file from
// taking the machine's memory.
inline constexpr std::size_t massimo_ingresso = std::size_t{64} << 20;

// leggi_file: the whole file's bytes. Throws std::runtime_error (a
// std::system_error for a failure of the system) when it cannot be read: it
// does not exist, it is a folder, it is not a regular file (a FIFO or a
// device is refused at once, never waited on), or it is over massimo bytes.
std::string leggi_file(const std::filesystem::path& percorso, std::size_t massimo = massimo_ingresso);

// file_in_lettura: a file open for reading pieces of it where they lie, as a
// long file is streamed through a small buffer of the reader's: the system
// copies each piece from its cache, and nothing of the whole file's size is
// mapped, allocated or zero-filled. Opening makes the same checks, with the
// same failures, as leggi_file.
class file_in_lettura {
 public:
  explicit file_in_lettura(std::filesystem::path percorso, std::size_t massimo = massimo_ingresso);
  file_in_lettura(file_in_lettura&& altro) noexcept;
  ~file_in_lettura();
  file_in_lettura(const file_in_lettura&) = delete;
  file_in_lettura& operator=(const file_in_lettura&) = delete;
  file_in_lettura& operator=(file_in_lettura&&) = delete;

  // The size when it was opened.
  uint64_t dimensione() const { return dimensione_; }
  // Exactly n bytes from byte posizione on, into dove. Throws
  // std::runtime_error when the file ends before them (it was cut short since
  // it was opened), std::system_error on a failure of the system.
  void leggi(char* dove, std::size_t n, uint64_t posizione) const;

  const std::filesystem::path& percorso() const { return percorso_; }

 private:
  std::filesystem::path percorso_;
  int fd_ = -1;
  uint64_t dimensione_ = 0;
};

// verifica_leggibile: the same checks as leggi_file, without reading.
void verifica_leggibile(const std::filesystem::path& percorso, std::size_t massimo = massimo_ingresso);

bool esiste_file(const std::filesystem::path& percorso);

// cancella_file: deletes the file when it exists. Never throws: a file that is
// already gone is not a failure. Returns true iff no file remains.
bool cancella_file(const std::filesystem::path& percorso) noexcept;

}  // namespace tracciato
