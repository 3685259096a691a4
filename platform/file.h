// Files in the program folder: the few operations the stages need.
#pragma once

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

// leggi_file: the whole file's bytes. Throws std::system_error when it cannot be read.
std::string leggi_file(const std::filesystem::path& percorso);

bool esiste_file(const std::filesystem::path& percorso);

// cancella_file: deletes the file when it exists. Never throws: a file that is
// already gone is not a failure. Returns true iff no file remains.
bool cancella_file(const std::filesystem::path& percorso) noexcept;

}  // namespace tracciato
