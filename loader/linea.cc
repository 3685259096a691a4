// The line half of memorizza_dati: start, the general section, and the end of
// the line file (gradients and track plan completed). The later records are
// in linea_record.cc.
#include <stdexcept>

#include "loader/lettura_linea.h"
#include "loader/memorizza_dati.h"
#include "loader/planimetria_linea.h"
#include "loader/posa.h"
#include "model/errori.h"
#include "model/numeri.h"
#include "platform/avvio.h"
#include "platform/testo.h"

namespace tracciato {

namespace {
constexpr int32_t lunghezza_massima = 1000000;
constexpr int dash_generali = 10;  // dash fields dropped in a row in the general section
}  // namespace

bool carica_linea(scenario& s, const testo_sorgente& linea, int32_t& posto_cartello) {
  lettore_campi lettore(linea.dati, linea.nome);
  return lettura_linea(s, lettore, posto_cartello).esegui();
}

bool lettura_linea::esegui() {
  // Everything before the field that holds "[generale]" is passed over; a
  // file that ends first is not a line file.
  for (bool trovato = false; !trovato;) {
    if (!lettore_.fine_file()) leggi_campo();
    if (lettore_.fine_file()) {
      registra_errore(s_, e_manca_generale).file = lettore_.nome();
      return false;
    }
    trovato = contiene_senza_caso(campo_, "[generale]");
  }

  if (!sezione_generale()) return false;

  progressive_ordina(s_);
  s_.numero_montagne = 0;
  posto_cartello_ = primo_posto_cartello;
  cella_pendenza_ = 0;
  // The plan starts at the origin with a first metre along +y.
  if (s_.scrivi_linea != 0 && lunghezza_letta_) s_.planimetria.imposta_origine();

  for (;;) {
    const esito_record e = record_successivo();
    if (e == esito_record::fermo) return false;
    if (e != esito_record::avanti) break;  // end of file, or a record beyond the grid (15)
  }
  completa();
  return true;
}

bool lettura_linea::sezione_generale() {
  for (;;) {
    if (lettore_.fine_file()) return true;
    leggi_campo();
    // The last field of the file is never a record.
    if (lettore_.fine_file()) return true;
    // Separator fields; a read past the end here is a read failure.
    for (int i = 0; i < dash_generali && contiene(campo_, "-"); ++i) leggi_campo();
    const std::string campo = campo_;
    record_ = luogo_di(lettore_, campo);
    voci_generali(campo);
    if (fermo_) return false;
    // A header ends the section, unless it is part of a separator line.
    if (contiene(campo, "[") && contiene(campo, "]") && campo.front() != '-') return true;
  }
}

void lettura_linea::voci_generali(const std::string& campo) {
  for (const genere_voce g : riconosci_voci(tipo_file::linea, true, campo)) {
    voce_generale(g, campo);
    if (fermo_) return;
  }
}

void lettura_linea::voce_generale(genere_voce g, const std::string& campo) {
  auto& tabella = s_.tabella;
  campi_voce f(lettore_, g);
  switch (g) {
    case genere_voce::lunghezza: {
      const int32_t l = f.numero();
      tabella[posto_treno].valore2 = l;
      if (l > lunghezza_massima) return (void)ferma(e_lunghezza_percorso);
      if (l < 0) return (void)ferma(e_fuori_griglia, l);
      s_.lunghezza_estesa = l + 7000;
      const size_t celle = static_cast<size_t>(cella_di(s_.lunghezza_estesa)) + 1;
      riserva_popolata(s_.celle, celle);
      s_.celle.assign(celle, cella{});
      if (s_.scrivi_linea != 0) s_.planimetria.alloca_righe(s_.lunghezza_estesa);
      lunghezza_letta_ = true;
      return;
    }
    // The chainage references: "tre" into slot 81, "due" 82, "uno" 83.
    case genere_voce::progressiva_tre:
    case genere_voce::progressiva_due:
    case genere_voce::progressiva_uno: {
      const int posto = g == genere_voce::progressiva_tre   ? posto_progressiva_tre
                        : g == genere_voce::progressiva_due ? posto_progressiva_due
                                                            : posto_progressiva_uno;
      voce_tabella& v = tabella[posto];
      v.valore1 = f.numero();
      v.valore2 = f.numero();
      v.valore3 = f.numero();
      return;
    }
    // Background values: "uno" into valore1, "due" into valore3, "tre" into valore2.
    case genere_voce::sfondo_uno: tabella[posto_scenario].valore1 = f.numero(); return;
    case genere_voce::sfondo_due: tabella[posto_scenario].valore3 = f.numero(); return;
    case genere_voce::sfondo_tre: tabella[posto_scenario].valore2 = f.numero(); return;
    case genere_voce::ripetizione: {
      voce_tabella& r = tabella[posto_linea];
      r.valore1 = f.numero();
      r.valore2 = f.numero();
      if (!multiplo(r.valore1, 50)) return (void)ferma(e_ripetizione_inizio);
      if (!multiplo(r.valore2, 50)) return (void)ferma(e_ripetizione_fine);
      if (contiene(campo, "4"))
        r.valore3 = 4;
      else if (contiene(campo, "9"))
        r.valore3 = 9;
      else
        return (void)ferma(e_ripetizione_codici);
      if (r.valore2 == 0) r.valore3 = 0;  // an end of 0: no section with repetition
      return;
    }
    default: throw std::logic_error("voce_generale: not a general record");
  }
}

void lettura_linea::completa() {
  richiedi_griglia();
  // Every cell up to the third last carries the gradient in force at its place.
  const int32_t fine = ultima();
  do {
    s_.celle[cella_pendenza_].pendenza_cella = basso8(int64_t{pendenza_corrente_} + 100);
    ++cella_pendenza_;
  } while (cella_pendenza_ < fine - 2);
  // The plan runs straight on to its third last row; the last two stay empty.
  if (s_.scrivi_linea != 0 && s_.planimetria.allocata())
    estendi_planimetria(s_.planimetria, s_.lunghezza_estesa - 2, 0.0, false);
}

void lettura_linea::richiedi_griglia() const {
  if (!lunghezza_letta_)
    lettore_.fallisci("no route length before this point: the cell grid does not exist");
}

esito_record lettura_linea::ferma(int32_t numero) {
  segna(registra_errore(s_, numero), lettore_.nome(), record_);
  fermo_ = true;
  return esito_record::fermo;
}

esito_record lettura_linea::ferma(int32_t numero, int32_t posizione) {
  segna(registra_errore(s_, numero, posizione), lettore_.nome(), record_);
  fermo_ = true;
  return esito_record::fermo;
}

}  // namespace tracciato
