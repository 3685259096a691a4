// pagina_scenario: a compiled scenario as one self-contained HTML page (inline
// SVG, CSS and a small script; nothing fetched, so it opens from file:// and
// prints on A4 landscape). It shows the track plan, the elevation profile, the
// speed diagram, the line diagram of every item and the train graph, all on
// one route axis that can be zoomed and panned.
#pragma once

#include <cstdint>
#include <string>
#include <optional>
#include <vector>

#include "model/scenario.h"
#include "viewer/marcia.h"
#include "viewer/planimetria_sottile.h"

namespace tracciato {

// One entry of the problems panel: a check's error or warning at its place.
struct problema_pagina {
  bool errore = true;
  std::string luogo;                 // "file:line:col", UTF-8; may be empty
  std::optional<int32_t> posizione;  // route position, m
  std::string testo;                 // the message and what to do, UTF-8
};

struct opzioni_pagina {
  // Where the scenario came from, in words ("the sources ...", "the binary files ...").
  std::string origine;
  // Whether s.guasti is the full list of the compile's faults; binary files keep none.
  bool guasti_noti = true;
  // Further lines for the title's fault summary (a stop of the compile, for one).
  std::vector<std::string> note;
  // The fastest run the limits allow, for the speed diagram and the train
  // graph, and the timed stretches with their least running times.
  marcia corsa;
  opzioni_marcia ritmi;
  // The check's errors and warnings; problemi_noti is false where none were
  // sought (the binary files keep none).
  std::vector<problema_pagina> problemi;
  bool problemi_noti = false;
  // The driver's documents found beside the scenario: what each is and the
  // link to it from the page (UTF-8, percent-encoded), shown under the title.
  std::vector<std::pair<std::string, std::string>> documenti;
  // Largest distance (m) of a dropped track plan point from the plan drawn.
  double scarto_planimetria = 0.5;
};

// The page's bytes (UTF-8). piano is the track plan's rows: decoded from the
// line data file, or calcola_planimetria(s) for a scenario compiled in
// memory; a plan that is not allocated leaves the plan view empty, with a note.
std::string pagina_scenario(const scenario& s, const planimetria_t& piano, const opzioni_pagina& opzioni);
// The same for the plan as drawn, its rows computed on the way (the whole
// table of them is never held).
std::string pagina_scenario(const scenario& s, const disegno_planimetria& piano, const opzioni_pagina& opzioni);
// The same for a plan already thinned by sfoltisci.
std::string pagina_scenario(const scenario& s, const std::vector<punto_piano>& piano, const opzioni_pagina& opzioni);

}  // namespace tracciato
