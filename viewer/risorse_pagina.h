// The fixed parts of the page: its style sheet, the body around the views,
// and the script that draws the views from the page's data and handles zoom,
// pan and tooltips. The data (a JSON object in the element #dati) is the
// only part that changes from scenario to scenario; pagina.cc writes it.
#pragma once

#include <string_view>

namespace tracciato {

extern const std::string_view stile_pagina;
extern const std::string_view corpo_pagina;
extern const std::string_view script_pagina;

}  // namespace tracciato
