// The fastest run a train can make along its route: at every metre no faster
// than the lowest limit in force there (the line's and the slowdowns'),
// accelerating and braking at given rates, braking ahead of each lower limit
// and of each stop, and standing at each stop for a dwell time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/scenario.h"

namespace tracciato {

struct opzioni_marcia {
  double accelerazione = 0.5;  // m/s²
  double frenatura = 0.5;      // m/s²
  double sosta = 30;           // s standing at each stop
};

// One point of the run: where, how fast, when (seconds since midnight,
// carried past it). At a stop two points share the position: arrival and
// departure.
struct punto_marcia {
  int32_t posizione;
  double velocita;  // km/h
  double secondi;
};

// A stretch between two stations with scheduled times: the time the
// timetable gives and the least the limits allow from one to the other.
struct tratto_orario {
  int32_t da = 0, a = 0;           // route positions, m
  int64_t ora_da = 0, ora_a = 0;   // scheduled times, s (carried past midnight)
  double minimo = 0;               // s
  std::string nome_da, nome_a;     // UTF-8
  bool impossibile() const { return static_cast<double>(ora_a - ora_da) + 0.5 < minimo; }
};

struct marcia {
  std::vector<punto_marcia> punti;    // empty when fewer than two stations have a time
  std::vector<tratto_orario> tratti;  // each pair of consecutive timed stations
};

// The record slots of the stations: from 1 up to the first empty slot or the
// first slot that holds a sign's text.
std::vector<int> posti_stazione(const scenario& s);

// The speed limit of every metre of s, m/s; 0 where none is known.
std::vector<double> limiti_al_metro(const scenario& s);

// The least time from a to b (a < b) under limite, from rest and to rest where asked.
double tempo_minimo_tratto(const std::vector<double>& limite, int64_t a, int64_t b, bool da_fermo, bool a_fermo,
                           double acc, double fren);

// tempi_tratto: the least times from a to each point a, a + 10, a + 20, ...,
// b (a < b; the last step may be shorter) under limite, from rest and to
// rest where asked; the last is tempo_minimo_tratto's.
std::vector<double> tempi_tratto(const std::vector<double>& limite, int64_t a, int64_t b, bool da_fermo, bool a_fermo,
                                 double acc, double fren);

// marcia_piu_veloce: the run from the first station with a scheduled time,
// leaving at that time, to the last, stopping at every station with a stop
// value; punti sampled every passo metres and at the stops.
marcia marcia_piu_veloce(const scenario& s, const opzioni_marcia& o, int32_t passo = 100);

}  // namespace tracciato
