// The line half of memorizza_dati: start, the general section, and the end of
// the line file (gradients and track plan completed). The later records are
// in linea_record.cc.
#include "loader/lettura_linea.h"
#include "loader/planimetria_linea.h"
#include "model/numeri.h"
#include "platform/file.h"
#include "platform/testo.h"

namespace tracciato {

namespace {
constexpr int32_t lunghezza_massima = 1000000;
constexpr int dash_generali = 10;  // dash fields dropped in a row in the general section
}  // namespace

bool scenario::carica_linea(int32_t& posto_cartello) {
  const auto percorso = nome_file(file_scenario::linea);
  if (!esiste_file(percorso)) {
    registra_errore(101);
    origine = {"line file", 0};
    return false;
  }
  lettore_campi lettore(leggi_file(percorso), "line file");
  return lettura_linea(*this, lettore, posto_cartello).esegui();
}

bool lettura_linea::esegui() {
  // Everything before the field that holds "[generale]" is passed over; a
  // file that ends first is not a line file.
  for (bool trovato = false; !trovato;) {
    if (!lettore_.fine_file()) s_.campo_letto = lettore_.leggi_testo();
    if (lettore_.fine_file()) {
      cancella_file(percorso_);
      s_.registra_errore(102);
      s_.origine = {lettore_.nome(), 0};
      return false;
    }
    trovato = contiene_senza_caso(s_.campo_letto, "[generale]");
  }

  if (!sezione_generale()) return false;

  s_.progressive_ordina();
  s_.numero_montagne = 0;
  posto_cartello_ = primo_posto_cartello;
  cella_pendenza_ = 0;
  riga_planimetria_ = 2;
  // The plan starts at the origin with a first metre along +y.
  if (s_.scrivi_linea != 0 && lunghezza_letta_) {
    s_.planimetria.imposta_intero(0, 0, 0);
    s_.planimetria.imposta_intero(0, 1, 0);
    s_.planimetria.imposta_intero(1, 0, 0);
    s_.planimetria.imposta_intero(1, 1, 1);
  }

  for (;;) {
    const esito e = record_successivo();
    if (e == esito::fermo) return false;
    if (e != esito::avanti) break;  // end of file, or a record beyond the grid (15)
  }
  cancella_file(percorso_);
  completa();
  return true;
}

bool lettura_linea::sezione_generale() {
  for (;;) {
    if (lettore_.fine_file()) return true;
    s_.campo_letto = lettore_.leggi_testo();
    // The last field of the file is never a record.
    if (lettore_.fine_file()) return true;
    // Separator fields; a read past the end here is a read failure.
    for (int i = 0; i < dash_generali && contiene(s_.campo_letto, "-"); ++i)
      s_.campo_letto = lettore_.leggi_testo();
    const std::string campo = s_.campo_letto;
    riga_record_ = lettore_.riga();
    voci_generali(campo);
    if (fermo_) return false;
    // A header ends the section, unless it is part of a separator line.
    if (contiene(campo, "[") && contiene(campo, "]") && campo.front() != '-') return true;
  }
}

void lettura_linea::voci_generali(const std::string& campo) {
  auto& tabella = s_.tabella;
  if (contiene_senza_caso(campo, "lunghezza") && contiene_senza_caso(campo, "percorso")) {
    const int32_t l = numero();
    tabella[posto_treno].valore2 = l;
    if (l > lunghezza_massima) return (void)ferma(1);
    if (l < 0) return (void)ferma(26, l);
    s_.lunghezza_estesa = l + 7000;
    s_.ultima_cella = static_cast<int32_t>(arrotonda(s_.lunghezza_estesa / 50.0));
    s_.celle.assign(static_cast<size_t>(s_.ultima_cella) + 1, cella{});
    if (s_.scrivi_linea != 0) s_.planimetria.alloca_righe(s_.lunghezza_estesa);
    lunghezza_letta_ = true;
  }
  // The chainage references: "tre" into slot 81, "due" 82, "uno" 83.
  static constexpr struct {
    const char* parola;
    int posto;
  } progressive[] = {{"tre", posto_progressiva_tre},
                     {"due", posto_progressiva_due},
                     {"uno", posto_progressiva_uno}};
  for (const auto& p : progressive) {
    if (contiene(campo, p.parola) && contiene(campo, "progressiva")) {
      voce_tabella& v = tabella[p.posto];
      v.valore1 = numero();
      v.valore2 = numero();
      v.valore3 = numero();
    }
  }
  // Background values: "uno" into valore1, "due" into valore3, "tre" into valore2.
  voce_tabella& sfondi = tabella[posto_scenario];
  if (contiene(campo, "sfondo") && contiene(campo, "uno")) sfondi.valore1 = numero();
  if (contiene(campo, "sfondo") && contiene(campo, "due")) sfondi.valore3 = numero();
  if (contiene(campo, "sfondo") && contiene(campo, "tre")) sfondi.valore2 = numero();

  if (contiene(campo, "segnali") && contiene(campo, "ripetizione")) {
    voce_tabella& r = tabella[posto_linea];
    r.valore1 = numero();
    r.valore2 = numero();
    if (!multiplo(r.valore1, 50)) return (void)ferma(3);
    if (!multiplo(r.valore2, 50)) return (void)ferma(4);
    if (contiene(campo, "4"))
      r.valore3 = 4;
    else if (contiene(campo, "9"))
      r.valore3 = 9;
    else
      return (void)ferma(5);
    if (r.valore2 == 0) r.valore3 = 0;  // an end of 0: no section with repetition
  }
}

void lettura_linea::completa() {
  richiedi_griglia();
  // Every cell up to the third last carries the gradient in force at its place.
  const int32_t ultima = ultima_cella();
  do {
    s_.celle[cella_pendenza_].pendenza_cella = basso8(int64_t{pendenza_corrente_} + 100);
    ++cella_pendenza_;
  } while (cella_pendenza_ < ultima - 2);
  // The plan runs straight on to its third last row; the last two stay empty.
  if (s_.scrivi_linea != 0 && s_.planimetria.allocata())
    estendi_planimetria(s_.planimetria, riga_planimetria_, s_.lunghezza_estesa - 2, 0.0, false);
}

void lettura_linea::richiedi_griglia() const {
  if (!lunghezza_letta_)
    lettore_.fallisci("no route length before this point: the cell grid does not exist");
}

lettura_linea::esito lettura_linea::ferma(int32_t numero) {
  cancella_file(percorso_);
  s_.registra_errore(numero);
  s_.origine = {lettore_.nome(), riga_record_};
  fermo_ = true;
  return esito::fermo;
}

lettura_linea::esito lettura_linea::ferma(int32_t numero, int32_t posizione) {
  const esito e = ferma(numero);
  s_.posizione_errore = posizione;
  return e;
}

}  // namespace tracciato
