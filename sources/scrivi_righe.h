// scrivi_righe: writes a line table to a text file.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace tracciato {

// The line that ends a table; it is never written.
inline constexpr std::string_view fine_tabella = "riferimento fine del file";
// A table has slots 0..1000, so it writes at most 1000 lines.
inline constexpr size_t posti_tabella_righe = 1001;

// scrivi_righe: writes the slots of tabella up to the end-of-table line, each
// followed by CR LF, one Windows-1252 byte per character (the tables are
// UTF-8 in the source), replacing the file whole. Throws std::logic_error
// when no end-of-table line stands within slots 0..1000 (a fault of the
// built-in data: nothing is written), std::system_error when the file
// cannot be written.
void scrivi_righe(const std::filesystem::path& percorso, std::span<const std::string_view> tabella);

// componi_righe: the bytes scrivi_righe writes for tabella. Throws
// std::logic_error as scrivi_righe does.
std::string componi_righe(std::span<const std::string_view> tabella);

}  // namespace tracciato
