// testo_luogo: the one way every tool names a place on the route.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/regole.h"

namespace tracciato {

// "14000 m (cell 281, 14050–14099 m; km 16+000)" for an item at p whose kind
// takes cells as c: the cell it stands in and the metres that cell spans,
// then the chainage; without the cell for kinds that take none by position.
// trattino is the en dash as the text's encoding writes it: UTF-8 by
// default, "\x96" in Windows-1252.
std::string testo_luogo(const scenario& s, int64_t p, cella_voce c, std::string_view trattino = "\u2013");

}  // namespace tracciato
