// da_1252: Windows-1252 bytes as UTF-8, for showing record texts to a person
// or to another tool.
#pragma once

#include <string>
#include <string_view>

namespace tracciato {

// Every byte maps to one character, so nothing is lost: the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control characters of the same number, as Windows itself maps them.
std::string da_1252(std::string_view testo);

}  // namespace tracciato
