// The train half of memorizza_dati: reads the train file into the model.
#include "loader/treno.h"

#include <stdexcept>
#include <string>
#include <string_view>

#include "loader/memorizza_dati.h"
#include "loader/posa.h"
#include "model/errori.h"
#include "model/numeri.h"
#include "platform/testo.h"

namespace tracciato {

void carica_treno(scenario& s, const testo_sorgente& treno, int32_t posto_cartello) {
  if (s.celle.empty()) throw std::logic_error("carica_treno: there is no cell grid");
  lettore_campi campi(treno.dati, treno.nome);
  lettore_treno(s, campi, posto_cartello).leggi();
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
    campo_ = campi_.leggi_testo();
    if (campi_.fine_file()) break;
    // A field with a hyphen is passed over, and so is the next one if it has
    // one too; the third is the keyword field whatever it holds.
    bool fine = false;
    for (int volta = 0; volta < 2 && contiene(campo_, "-"); ++volta) {
      campo_ = campi_.leggi_testo();
      if (campi_.fine_file()) {
        fine = true;
        break;
      }
    }
    if (fine) break;
    record_ = luogo_di(campi_, campo_);
    const esito_record e = leggi_record(campo_);
    if (e == esito_record::fermo) return;
    if (e == esito_record::fine_lettura) break;
  }
  passi_finali();
}

// The keyword tests, in their order. Every test that matches runs its
// handler, so one field may start several records ("velocita aderenza" reads
// a speed limit and then an adhesion record).
esito_record lettore_treno::leggi_record(const std::string& campo) {
  for (const genere_voce g : riconosci_voci(tipo_file::treno, false, campo)) {
    campi_voce f(campi_, g);
    if (const esito_record e = voce(g, f); e != esito_record::avanti) return e;
  }
  return esito_record::avanti;
}

esito_record lettore_treno::voce(genere_voce g, campi_voce& f) {
  switch (g) {
    case genere_voce::massa: return massa_frenata(f);
    case genere_voce::vetture: return vetture(f);
    case genere_voce::velocita: return velocita(f);
    case genere_voce::aderenza: return aderenza(f);
    case genere_voce::orologio: return orologio(f);
    case genere_voce::sabbia: return sabbia(f);
    case genere_voce::segnale: return segnale(f);
    case genere_voce::rallentamento: return rallentamento(f);
    case genere_voce::abbattimento: return abbattimento(f);
    case genere_voce::stazione: return stazione(f);
    default: throw std::logic_error("lettore_treno: not a record of the train file");
  }
}

esito_record lettore_treno::ferma(int32_t numero) {
  segna(registra_errore(s_, numero), campi_.nome(), record_);
  return esito_record::fermo;
}

esito_record lettore_treno::ferma(int32_t numero, int32_t posizione) {
  segna(registra_errore(s_, numero, posizione), campi_.nome(), record_);
  return esito_record::fermo;
}

esito_record lettore_treno::controlla_posizione(int32_t p, int32_t margine) {
  if (p < 0) return ferma(e_fuori_griglia, p);
  if ((static_cast<double>(p) + margine) / 50 > ultima_cella(s_)) {
    segna(registra_errore(s_, e_oltre_griglia, p), campi_.nome(), record_);
    return esito_record::fine_lettura;
  }
  return esito_record::avanti;
}

esito_record lettore_treno::dopo_aiuto(size_t guasti_prima, int32_t posizione) {
  return dopo_posa(s_, guasti_prima, posizione, campi_.nome(), record_) ? esito_record::fermo
                                                                        : esito_record::avanti;
}

esito_record lettore_treno::massa_frenata(campi_voce& f) {
  s_.tabella[posto_treno].valore1 = f.numero();
  return esito_record::avanti;
}

esito_record lettore_treno::vetture(campi_voce& f) {
  s_.tabella[posto_treno].valore3 = f.numero();
  return esito_record::avanti;
}

esito_record lettore_treno::orologio(campi_voce& f) {
  voce_tabella& v = s_.tabella[posto_linea];
  v.intero3 = static_cast<int16_t>(f.numero());
  v.intero4 = static_cast<int16_t>(f.numero());
  v.intero5 = static_cast<int16_t>(f.numero());
  return esito_record::avanti;
}

esito_record lettore_treno::sabbia(campi_voce& f) {
  s_.tabella[posto_linea].intero1 = static_cast<int16_t>(f.numero());
  return esito_record::avanti;
}

// Speed limit (p, v): the speed in force so far reaches every cell from the
// cursor up to the cell before round(p / 50); a record whose cell is not past
// the cursor still fills the one cell at the cursor. The cells keep units of
// 5 km/h, so a speed outside 0 to 1277 km/h does not fit (25).
esito_record lettore_treno::velocita(campi_voce& f) {
  const int32_t p = f.numero();
  const int32_t v = f.numero();
  if (const esito_record e = controlla_posizione(p, 100); e != esito_record::avanti) return e;
  const int64_t unita = arrotonda(v / 5.0);
  if (unita < 0 || unita > 255)
    campi_.fallisci("speed " + std::to_string(v) + " km/h does not fit the cell (0 to 1277)");
  const int64_t c = cella_di(p);
  if (c > 0) {
    do {
      if (cursore_velocita_ >= ultima_cella(s_)) break;
      s_.celle[cursore_velocita_].vel_limite = velocita_precedente_;
      ++cursore_velocita_;
    } while (cursore_velocita_ < c);
  }
  velocita_precedente_ = static_cast<uint8_t>(unita);
  return esito_record::avanti;
}

// Adhesion (p, a): as the speed limit, with the low 8 bits of the value. Its
// cursor has no stop at the last cell: repeated records for the last cells
// may push it past the grid, and that surplus is dropped.
esito_record lettore_treno::aderenza(campi_voce& f) {
  const int32_t p = f.numero();
  const int32_t a = f.numero();
  if (const esito_record e = controlla_posizione(p, 100); e != esito_record::avanti) return e;
  const int64_t c = cella_di(p);
  if (c > 0) {
    do {
      if (in_griglia(s_, cursore_aderenza_))
        s_.celle[cursore_aderenza_].aderenza_cella = aderenza_precedente_;
      ++cursore_aderenza_;
    } while (cursore_aderenza_ < c);
  }
  aderenza_precedente_ = basso8(a);
  return esito_record::avanti;
}

esito_record lettore_treno::segnale(campi_voce& f) {
  int32_t n[11];
  for (int32_t& x : n) x = f.numero();
  if (const esito_record e = controlla_posizione(n[0], 100); e != esito_record::avanti) return e;
  const size_t prima = s_.guasti.size();
  memo_segnale(s_, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10]);
  return dopo_aiuto(prima, n[0]);
}

esito_record lettore_treno::rallentamento(campi_voce& f) {
  int32_t n[6];
  for (int32_t& x : n) x = f.numero();
  if (const esito_record e = controlla_posizione(n[0], 100); e != esito_record::avanti) return e;
  const size_t prima = s_.guasti.size();
  memo_rallentamento(s_, n[0], n[1], n[2], n[3], n[4], n[5]);
  return dopo_aiuto(prima, n[0]);
}

// Code point (p, v): goes into cell round(p / 50) itself, which must be free;
// a positive value is carried in valore_a (low 16 bits), any other makes a
// code point without value.
esito_record lettore_treno::abbattimento(campi_voce& f) {
  const int32_t p = f.numero();
  const int32_t v = f.numero();
  if (const esito_record e = controlla_posizione(p, 100); e != esito_record::avanti) return e;
  cella& c = s_.celle[cella_di(p)];
  if (!libera(c)) return ferma(e_abbattimento_occupato, p);
  if (v > 0) {
    c.tipo_cella = cella_punto_codice;
    c.valore_a = basso16(v);
  } else {
    c.tipo_cella = cella_punto_codice_senza_valore;
  }
  return esito_record::avanti;
}

// End steps: the last speed limit and adhesion run on up to cell
// ultima_cella - 3 (always at least the cell at the cursor), then the chainage
// references must lie on whole cells (2, replacing a 15 of this load).
void lettore_treno::passi_finali() {
  do {
    if (in_griglia(s_, cursore_velocita_))
      s_.celle[cursore_velocita_].vel_limite = velocita_precedente_;
    ++cursore_velocita_;
  } while (cursore_velocita_ < int64_t{ultima_cella(s_)} - 2);
  do {
    if (in_griglia(s_, cursore_aderenza_))
      s_.celle[cursore_aderenza_].aderenza_cella = aderenza_precedente_;
    ++cursore_aderenza_;
  } while (cursore_aderenza_ < int64_t{ultima_cella(s_)} - 2);
  for (int posto = posto_progressiva_tre; posto <= posto_progressiva_uno; ++posto) {
    const voce_tabella& r = s_.tabella[posto];
    if (!multiplo(r.valore1, 50) || !multiplo(r.valore2, 50)) {
      guasto& g = registra_errore(s_, e_progressiva_non_multipla);
      g.dettaglio = "record slot " + std::to_string(posto) + ": from " + std::to_string(r.valore1) +
                    " m the chainage reads " + std::to_string(r.valore2);
    }
  }
}

}  // namespace tracciato
