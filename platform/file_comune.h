// What platform/file.h's files are on every system. Only platform/file*.cc
// include this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tracciato {

// The reason a file over massimo bytes is refused.
std::string troppo_grande(std::size_t massimo, std::uintmax_t dimensione);

}  // namespace tracciato
