// The passes of controlla over one shared context. Internal to checker/.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checker/controllo.h"
#include "checker/vista.h"
#include "model/scenario.h"

namespace tracciato {

struct contesto_controllo {
  opzioni_controllo opzioni;
  std::optional<vista> linea;  // absent when the line file was not given
  std::optional<vista> treno;
  // The model as the compile would build it with every record at fault
  // skipped; no cells when the line gives no grid.
  scenario finale;
  // The model a compile already built from the same texts with no fault,
  // read in place of finale (not copied); nullptr when the check loads its own.
  const scenario* compilato = nullptr;
  const scenario& modello() const { return compilato != nullptr ? *compilato : finale; }
  std::vector<problema> problemi;
  // Whether the load was run again as often as giri_del_carico allows, and
  // still stopped at a fault; how many times it ran.
  bool carico_interrotto = false;
  // A file looks like the other kind: what follows from that is not listed.
  bool scambiati = false;
  int giri = 0;

  void aggiungi(gravita g, const char* sigla, const vista& v, int32_t riga, int32_t colonna, std::optional<int32_t> posizione,
                std::string messaggio, std::string suggerimento);
};

// The faults the compile records, each at the record at fault: the load is run
// again with each stopping record blanked out until no fault stops it, then
// the compactor's walk and the reserved places are checked. Fills finale.
// How many times the load may run, each after blanking the record that
// stopped the one before, for texts of byte bytes together: as many as keep
// all the loads within a few MiB of reading (at least one, at most 1000), so
// that the check stays linear in its input.
int giri_del_carico(size_t byte);

void errori_del_carico(contesto_controllo& c, const testo_sorgente& linea, const testo_sorgente& treno,
                       bool linea_presente);

// Warnings on the values of the records: order, grid, tail, impossible values,
// encoding, and inputs that are not what they should be.
void avvisi_dei_valori(contesto_controllo& c);

// Warnings on the timetable: times out of range or going backwards, and
// scheduled times shorter than the least running time.
void avvisi_orario(contesto_controllo& c);

// A duration as "4 min 12 s".
std::string durata(double secondi);

}  // namespace tracciato
