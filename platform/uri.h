// file:// URIs and the paths they name, as editors send them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tracciato {

// percorso_da_uri: the path of a file:// URI (percent escapes decoded, the
// text UTF-8); nullopt for any other scheme or another host. On Windows
// "file:///C:/dir/f.txt" (the drive letter's colon possibly escaped as %3A)
// is C:\dir\f.txt, and "file://server/share/f.txt" the UNC path.
std::optional<std::filesystem::path> percorso_da_uri(std::string_view uri);

// uri_da_percorso: the file:// URI of an absolute path, with the characters
// a URI's path cannot hold escaped.
std::string uri_da_percorso(const std::filesystem::path& percorso);

}  // namespace tracciato
