// The train half of memorizza_dati: reads the train file into the model.
#include "loader/treno.h"

#include <stdexcept>
#include <string>
#include <string_view>

#include "model/numeri.h"
#include "platform/file.h"
#include "platform/testo.h"

namespace tracciato {

// The file is read whole and deleted at once, so every way out of the load
// (a recorded fault, the end steps, or a failure caught by the loader's trap)
// leaves no train file behind. A missing or unreadable file throws, and the
// trap records 25.
void scenario::carica_treno(int32_t posto_cartello) {
  const auto nome = nome_file(file_scenario::treno);
  std::string contenuto = leggi_file(nome);
  cancella_file(nome);
  if (celle.empty() || static_cast<int64_t>(celle.size()) != int64_t{ultima_cella} + 1)
    throw std::logic_error(
        "train file: there is no cell grid (the line file gave no route length)");
  lettore_campi campi(std::move(contenuto), "train file");
  lettore_treno(*this, campi, posto_cartello).leggi();
}

void lettore_treno::leggi() {
  // Everything before the first field holding "[generale]" is ignored; a file
  // without it yields no records and no fault, but the end steps still run.
  bool trovato = false;
  while (!trovato && !campi_.fine_file())
    trovato = contiene_senza_caso(campi_.leggi_testo(), "[generale]");

  while (trovato) {
    // The last field of the file is never a keyword field.
    if (campi_.fine_file()) break;
    s_.campo_letto = campi_.leggi_testo();
    if (campi_.fine_file()) break;
    // A field with a hyphen is passed over, and so is the next one if it has
    // one too; the third is the keyword field whatever it holds.
    bool fine = false;
    for (int volta = 0; volta < 2 && contiene(s_.campo_letto, "-"); ++volta) {
      s_.campo_letto = campi_.leggi_testo();
      if (campi_.fine_file()) {
        fine = true;
        break;
      }
    }
    if (fine) break;
    riga_record_ = campi_.riga();
    const esito e = leggi_record(s_.campo_letto);
    if (e == esito::fermo) return;
    if (e == esito::fine_lettura) break;
  }
  passi_finali();
}

// The keyword tests, in their order. Every test that matches runs its
// handler, so one field may start several records ("velocita aderenza" reads
// a speed limit and then an adhesion record).
esito lettore_treno::leggi_record(const std::string& campo) {
  static constexpr struct {
    std::string_view parola;
    std::string_view altra;  // also required when not empty
    esito (lettore_treno::*gestore)();
  } prove[] = {
      {"frenata", "massa", &lettore_treno::massa_frenata},
      {"vetture", "", &lettore_treno::vetture},
      {"velocit", "", &lettore_treno::velocita},
      {"aderenza", "", &lettore_treno::aderenza},
      {"orologio", "", &lettore_treno::orologio},
      {"sabbia", "", &lettore_treno::sabbia},
      {"segnale", "", &lettore_treno::segnale},
      {"rallentamento", "", &lettore_treno::rallentamento},
      {"abbattimento", "", &lettore_treno::abbattimento},
      {"stazione", "", &lettore_treno::stazione},
  };
  for (const auto& prova : prove) {
    if (!contiene_senza_caso(campo, prova.parola)) continue;
    if (!prova.altra.empty() && !contiene_senza_caso(campo, prova.altra)) continue;
    const esito e = (this->*prova.gestore)();
    if (e != esito::avanti) return e;
  }
  return esito::avanti;
}

esito lettore_treno::ferma(int32_t numero) {
  s_.registra_errore(numero);
  s_.origine = {campi_.nome(), riga_record_};
  return esito::fermo;
}

esito lettore_treno::ferma(int32_t numero, int32_t posizione) {
  s_.registra_errore(numero, posizione);
  s_.origine = {campi_.nome(), riga_record_};
  return esito::fermo;
}

esito lettore_treno::controlla_posizione(int32_t p, int32_t margine) {
  if (p < 0) return ferma(26, p);
  if ((static_cast<double>(p) + margine) / 50 > s_.ultima_cella) {
    s_.registra_errore(15, p);
    s_.origine = {campi_.nome(), riga_record_};
    return esito::fine_lettura;
  }
  return esito::avanti;
}

esito lettore_treno::dopo_posa(int32_t posizione) {
  if (s_.codice_errore <= 0) return esito::avanti;
  s_.posizione_errore = posizione;
  s_.origine = {campi_.nome(), riga_record_};
  return esito::fermo;
}

esito lettore_treno::massa_frenata() {
  s_.tabella[posto_treno].valore1 = campi_.leggi_numero<int32_t>();
  return esito::avanti;
}

esito lettore_treno::vetture() {
  s_.tabella[posto_treno].valore3 = campi_.leggi_numero<int32_t>();
  return esito::avanti;
}

esito lettore_treno::orologio() {
  voce_tabella& v = s_.tabella[posto_linea];
  v.intero3 = campi_.leggi_numero<int16_t>();
  v.intero4 = campi_.leggi_numero<int16_t>();
  v.intero5 = campi_.leggi_numero<int16_t>();
  return esito::avanti;
}

esito lettore_treno::sabbia() {
  s_.tabella[posto_linea].intero1 = campi_.leggi_numero<int16_t>();
  return esito::avanti;
}

// Speed limit (p, v): the speed in force so far reaches every cell from the
// cursor up to the cell before round(p / 50); a record whose cell is not past
// the cursor still fills the one cell at the cursor. The cells keep units of
// 5 km/h, so a speed outside 0 to 1277 km/h does not fit (25).
esito lettore_treno::velocita() {
  const int32_t p = campi_.leggi_numero<int32_t>();
  const int32_t v = campi_.leggi_numero<int32_t>();
  if (const esito e = controlla_posizione(p, 100); e != esito::avanti) return e;
  const int64_t unita = arrotonda(v / 5.0);
  if (unita < 0 || unita > 255)
    campi_.fallisci("speed " + std::to_string(v) + " km/h does not fit the cell (0 to 1277)");
  const int64_t c = arrotonda(p / 50.0);
  if (c > 0) {
    do {
      if (cursore_velocita_ >= s_.ultima_cella) break;
      s_.celle[cursore_velocita_].vel_limite = velocita_precedente_;
      ++cursore_velocita_;
    } while (cursore_velocita_ < c);
  }
  velocita_precedente_ = static_cast<uint8_t>(unita);
  return esito::avanti;
}

// Adhesion (p, a): as the speed limit, with the low 8 bits of the value. Its
// cursor has no stop at the last cell: repeated records for the last cells
// may push it past the grid, and that surplus is dropped.
esito lettore_treno::aderenza() {
  const int32_t p = campi_.leggi_numero<int32_t>();
  const int32_t a = campi_.leggi_numero<int32_t>();
  if (const esito e = controlla_posizione(p, 100); e != esito::avanti) return e;
  const int64_t c = arrotonda(p / 50.0);
  if (c > 0) {
    do {
      if (s_.in_griglia(cursore_aderenza_))
        s_.celle[cursore_aderenza_].aderenza_cella = aderenza_precedente_;
      ++cursore_aderenza_;
    } while (cursore_aderenza_ < c);
  }
  aderenza_precedente_ = basso8(a);
  return esito::avanti;
}

esito lettore_treno::segnale() {
  int32_t n[11];
  for (int32_t& x : n) x = campi_.leggi_numero<int32_t>();
  if (const esito e = controlla_posizione(n[0], 100); e != esito::avanti) return e;
  s_.memo_segnale(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10]);
  return dopo_posa(n[0]);
}

esito lettore_treno::rallentamento() {
  int32_t n[6];
  for (int32_t& x : n) x = campi_.leggi_numero<int32_t>();
  if (const esito e = controlla_posizione(n[0], 100); e != esito::avanti) return e;
  s_.memo_rallentamento(n[0], n[1], n[2], n[3], n[4], n[5]);
  return dopo_posa(n[0]);
}

// Code point (p, v): goes into cell round(p / 50) itself, which must be free;
// a positive value is carried in valore_a (low 16 bits), any other makes a
// code point without value.
esito lettore_treno::abbattimento() {
  const int32_t p = campi_.leggi_numero<int32_t>();
  const int32_t v = campi_.leggi_numero<int32_t>();
  if (const esito e = controlla_posizione(p, 100); e != esito::avanti) return e;
  cella& c = s_.celle[arrotonda(p / 50.0)];
  if (!libera(c)) return ferma(7, p);
  if (v > 0) {
    c.tipo_cella = cella_punto_codice;
    c.valore_a = basso16(v);
  } else {
    c.tipo_cella = cella_punto_codice_senza_valore;
  }
  return esito::avanti;
}

// End steps: the last speed limit and adhesion run on up to cell
// ultima_cella - 3 (always at least the cell at the cursor), then the chainage
// references must lie on whole cells (2, replacing a 15 of this load).
void lettore_treno::passi_finali() {
  do {
    if (s_.in_griglia(cursore_velocita_))
      s_.celle[cursore_velocita_].vel_limite = velocita_precedente_;
    ++cursore_velocita_;
  } while (cursore_velocita_ < int64_t{s_.ultima_cella} - 2);
  do {
    if (s_.in_griglia(cursore_aderenza_))
      s_.celle[cursore_aderenza_].aderenza_cella = aderenza_precedente_;
    ++cursore_aderenza_;
  } while (cursore_aderenza_ < int64_t{s_.ultima_cella} - 2);
  for (int posto = posto_progressiva_tre; posto <= posto_progressiva_uno; ++posto) {
    const voce_tabella& r = s_.tabella[posto];
    if (!multiplo(r.valore1, 50) || !multiplo(r.valore2, 50)) s_.registra_errore(2);
  }
}

}  // namespace tracciato
