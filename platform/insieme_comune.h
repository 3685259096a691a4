// What the set of files (platform/insieme.h) is on every system: the names
// in its private folder, the proof of the folder and the names a set may
// hold. Only platform/insieme*.cc include this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tracciato::insieme_comune {

inline constexpr const char* marcatore = "completo";  // the commit point
inline constexpr const char* annullato = "annulla";   // the marker of a move being undone
inline constexpr const char* file_firma = "firma";    // the proof that a run made the folder
inline constexpr std::string_view fine_marcatore = "fine\n";
inline constexpr std::string_view inizio_firma = "firma ";
inline constexpr std::string_view prefisso_vecchio = "vecchio-";

// Whether nome can name a file of a set: a plain name of the output folder
// (no separator of the system's) that cannot meet the private folder's own
// files.
bool nome_ammesso(std::string_view nome);

// What the file system gave a folder when it was made: no archive, copy or
// hand can give another folder the same.
struct identita {
  uint64_t inode = 0;     // the file index on Windows
  int64_t nascita_s = 0;  // birth time, where the file system keeps one
  uint32_t nascita_ns = 0;
};

// The digest (64-bit FNV-1a, as 16 hex digits) of the private folder nome
// with identity id, and of testo: what a "firma" file holds (testo empty)
// and what a marker's first line carries (testo the lines after it).
std::string firma(std::string_view nome, const identita& id, std::string_view testo);

// The old file kept aside for the i-th name of the set.
std::string nome_vecchio(std::size_t i);

}  // namespace tracciato::insieme_comune
