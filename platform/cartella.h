// The program folder and the messages that stand in for the window.
#pragma once

#include <filesystem>
#include <string_view>

namespace tracciato {

// cartella_programma: the folder that holds the running executable.
std::filesystem::path cartella_programma();

// verifica_cartella: throws std::invalid_argument unless cartella is an
// existing folder, saying which of the two it is not.
void verifica_cartella(const std::filesystem::path& cartella);

// attendere: the wait label, shown when the run starts ("Attendere" on standard error).
void attendere();

}  // namespace tracciato
