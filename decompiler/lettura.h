// leggi_binario: a binary file's bytes, read in one go.
#pragma once

#include <filesystem>
#include <string>

namespace tracciato {

// The whole file. Its size is asked first and the bytes are read straight
// into a buffer of that size, so a 20 MB track plan is neither grown nor
// copied on the way. Throws std::system_error, naming the file, when it
// cannot be opened or read.
std::string leggi_binario(const std::filesystem::path& percorso);

}  // namespace tracciato
