// Files in the program folder: the few operations the stages need.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tracciato {

// sostituisci_file: makes the file at percorso hold exactly contenuto. The bytes
// go in one write into a new temporary file beside it, which is then renamed
// over the old name, so a failed or interrupted write never leaves a truncated
// file where a good one stood. Throws std::system_error on failure (and then
// leaves the old file, if any, as it was).
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

// verifica_leggibile: the same checks as leggi_file, without reading.
void verifica_leggibile(const std::filesystem::path& percorso, std::size_t massimo = massimo_ingresso);

bool esiste_file(const std::filesystem::path& percorso);

// cancella_file: deletes the file when it exists. Never throws: a file that is
// already gone is not a failure. Returns true iff no file remains.
bool cancella_file(const std::filesystem::path& percorso) noexcept;

}  // namespace tracciato
