// Paths and the UTF-8 text that names them. Inside the program every name is
// UTF-8; a std::filesystem::path made from a narrow string reads it in the
// system's narrow encoding, which on Windows is the ANSI code page (there
// "Città" would name another file). Text becomes a path, and a path text,
// only through these two.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tracciato {

// percorso_utf8: the path that the UTF-8 text names (on Windows its UTF-16;
// bytes that are not UTF-8 become U+FFFD there).
std::filesystem::path percorso_utf8(std::string_view testo);

// testo_percorso: the path as UTF-8 text, in the system's separators.
std::string testo_percorso(const std::filesystem::path& percorso);

}  // namespace tracciato
