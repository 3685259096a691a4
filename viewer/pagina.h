// pagina_scenario: a compiled scenario as one self-contained HTML page (inline
// SVG, CSS and a small script; nothing fetched, so it opens from file:// and
// prints on A4 landscape). It shows the track plan, the elevation profile, the
// speed diagram, the line diagram of every item and the train graph, all on
// one route axis that can be zoomed and panned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/scenario.h"

namespace tracciato {

// One point of a path through the train graph.
struct punto_orario {
  int32_t posizione;  // route position, m
  int32_t secondi;    // time of day, seconds since midnight
};

struct opzioni_pagina {
  // Where the scenario came from, in words ("the sources ...", "the binary files ...").
  std::string origine;
  // Whether s.guasti is the full list of the compile's faults; binary files keep none.
  bool guasti_noti = true;
  // Further lines for the title's fault summary (a stop of the compile, for one).
  std::vector<std::string> note;
  // The fastest path the limits allow, for the train graph beside the
  // scheduled one; empty until a running-time calculation provides it.
  std::vector<punto_orario> percorso_piu_veloce;
  // Largest distance (m) of a dropped track plan point from the plan drawn.
  double scarto_planimetria = 0.5;
};

// The page's bytes (UTF-8). piano is the track plan's rows: decoded from the
// line data file, or calcola_planimetria(s) for a scenario compiled in
// memory; a plan that is not allocated leaves the plan view empty, with a note.
std::string pagina_scenario(const scenario& s, const planimetria_t& piano, const opzioni_pagina& opzioni);

}  // namespace tracciato
