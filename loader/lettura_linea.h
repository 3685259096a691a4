// lettura_linea: one read of the line file into the model (the line half of
// memorizza_dati). Internal to the loader; carica_linea is its entry.
#pragma once

#include <cstdint>
#include <string>

#include "loader/campi.h"
#include "loader/luogo.h"
#include "model/scenario.h"

namespace tracciato {

class lettura_linea {
 public:
  lettura_linea(scenario& s, lettore_campi& lettore, int32_t& posto_cartello)
      : s_(s), lettore_(lettore), posto_cartello_(posto_cartello) {}

  // Reads from the first field on. True when the train file is to be read
  // next (codice_errore 0, or 15 after a record beyond the grid); false when
  // the load ends with the fault recorded. Read failures throw guasto_lettura.
  bool esegui();

 private:
  bool sezione_generale();        // false: the load ends
  void voci_generali(const std::string& campo);  // the general records' tests, in their order
  void voce_generale(genere_voce g, const std::string& campo);
  esito_record record_successivo();  // one keyword field of the later records
  esito_record voce_successiva(genere_voce g, const std::string& campo);
  esito_record pendenza(int32_t c, int32_t g);
  esito_record curva(const std::string& campo, int32_t inizio, int32_t lunghezza);
  esito_record montagna(campi_voce& f);
  esito_record indicatori(campi_voce& f);
  esito_record cartello(campi_voce& f);
  void completa();

  // Checks shared by every later record on its first position: a negative
  // position is refused, one beyond the grid ends the reading (fault 15).
  esito_record controlla_posizione(int32_t posizione);
  // A later record, or the end, with no route length read is a read failure.
  void richiedi_griglia() const;
  int32_t ultima() const { return ultima_cella(s_); }
  // Reads the next field into campo_.
  void leggi_campo() { campo_ = lettore_.leggi_testo(); }
  // After a placement helper: a fault it recorded ends the load at posizione.
  esito_record dopo_aiuto(size_t guasti_prima, int32_t posizione);

  // Records a fault of the record just read; the load ends.
  esito_record ferma(int32_t numero);
  esito_record ferma(int32_t numero, int32_t posizione);

  scenario& s_;
  lettore_campi& lettore_;
  int32_t& posto_cartello_;
  std::string campo_;     // the field just read
  luogo_record record_;   // the keyword field being acted on
  bool lunghezza_letta_ = false;
  bool fermo_ = false;  // set by ferma in the general section
  int32_t pendenza_corrente_ = 0;
  int32_t cella_pendenza_ = 0;
};

}  // namespace tracciato
