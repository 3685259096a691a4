// lettore_treno: the train half of the load (carica_treno). It reads
// the train file's records into the model: header values, speed limits and
// adhesion along the line, stations, signals, slowdowns and code points.
//
// Contract of every record handler: it reads its own fields from the stream
// and says how the load goes on. A fault that ends the load is recorded with
// the record's file and line as its origin; the end steps then do not run.
#pragma once

#include <cstdint>

#include "loader/campi.h"
#include "loader/luogo.h"
#include "model/scenario.h"

namespace tracciato {

class lettore_treno {
 public:
  // REQUIRES: s.celle holds the grid.
  lettore_treno(scenario& s, lettore_campi& campi, int32_t posto_cartello)
      : s_(s), campi_(campi), posto_cartello_(posto_cartello) {}

  // Skips to the "[generale]" marker, reads every record after it and, unless
  // a fault stopped the load, runs the end steps.
  void leggi();

  // Record handlers, one per keyword.
  esito_record massa_frenata(campi_voce& f);
  esito_record vetture(campi_voce& f);
  esito_record velocita(campi_voce& f);
  esito_record aderenza(campi_voce& f);
  esito_record orologio(campi_voce& f);
  esito_record sabbia(campi_voce& f);
  esito_record segnale(campi_voce& f);
  esito_record rallentamento(campi_voce& f);
  esito_record abbattimento(campi_voce& f);
  esito_record stazione(campi_voce& f);  // loader/stazione.cc

 private:
  // Records fault numero (with a position, where it has one) as coming from
  // the record just read, and ends the load.
  esito_record ferma(int32_t numero);
  esito_record ferma(int32_t numero, int32_t posizione);
  // The test every item's route position p passes before it is stored: a
  // negative position is refused (26); one whose p + margine lies beyond the
  // last cell records 15 and ends the reading of the file.
  esito_record controlla_posizione(int32_t p, int32_t margine);
  // After memo_segnale or memo_rallentamento: any positive codice_errore
  // (also a 15 left by the line half) ends the load at this record.
  esito_record dopo_aiuto(size_t guasti_prima, int32_t posizione);
  esito_record leggi_record(const std::string& campo);
  esito_record voce(genere_voce g, campi_voce& f);
  void passi_finali();

  scenario& s_;
  lettore_campi& campi_;
  const int32_t posto_cartello_;
  int32_t posto_stazione_ = 1;  // slot of the next station (k)
  std::string campo_;            // the field just read
  luogo_record record_;          // the keyword field of the record being read
  // Speed and adhesion: the next cell to fill and the value in force there.
  // Cells before the first record of each kind get 0.
  int64_t cursore_velocita_ = 0;
  uint8_t velocita_precedente_ = 0;  // units of 5 km/h
  int64_t cursore_aderenza_ = 0;
  uint8_t aderenza_precedente_ = 0;
};

}  // namespace tracciato
