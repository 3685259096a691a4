// The later records of the line file: gradients, curves, tunnels, speed
// indicator boards and lineside signs, recognised by their keyword field
// wherever they stand after the general section.
#include <stdexcept>

#include "loader/lettura_linea.h"
#include "loader/planimetria_linea.h"
#include "model/numeri.h"
#include "loader/posa.h"
#include "model/errori.h"
#include "platform/testo.h"

namespace tracciato {

namespace {
constexpr int dash_successivi = 2;  // dash fields dropped in a row among the later records
constexpr int32_t pendenza_minima = -100;
constexpr int32_t pendenza_massima = 155;  // pendenza_cella holds the gradient + 100 in a byte
}  // namespace

esito_record lettura_linea::record_successivo() {
  if (lettore_.fine_file()) return esito_record::fine_file;
  leggi_campo();
  // The last field of the file is never a record.
  if (lettore_.fine_file()) return esito_record::fine_file;
  for (int i = 0; i < dash_successivi && contiene(campo_, "-"); ++i) {
    leggi_campo();
    if (lettore_.fine_file()) return esito_record::fine_file;
  }
  // Every test is made on the keyword field, each independently of the others.
  const std::string campo = campo_;
  record_ = luogo_di(lettore_, campo);
  for (const genere_voce g : riconosci_voci(tipo_file::linea, false, campo)) {
    // Curves only count while the plan is drawn; otherwise their numbers are
    // later read as keyword fields that match nothing.
    if (g == genere_voce::curva && s_.scrivi_linea == 0) continue;
    if (const esito_record e = voce_successiva(g, campo); e != esito_record::avanti) return e;
  }
  return esito_record::avanti;
}

esito_record lettura_linea::voce_successiva(genere_voce g, const std::string& campo) {
  campi_voce f(lettore_, g);
  switch (g) {
    case genere_voce::pendenza: {
      const int32_t c = f.numero();
      const int32_t p = f.numero();
      return pendenza(c, p);
    }
    case genere_voce::curva: {
      const int32_t inizio = f.numero();
      const int32_t lunghezza = f.numero();
      return curva(campo, inizio, lunghezza);
    }
    case genere_voce::montagna: return montagna(f);
    case genere_voce::indicatori: return indicatori(f);
    case genere_voce::cartello: return cartello(f);
    default: throw std::logic_error("voce_successiva: not a later record of the line file");
  }
}

esito_record lettura_linea::controlla_posizione(int32_t posizione) {
  richiedi_griglia();
  if (posizione < 0) return ferma(e_fuori_griglia, posizione);
  // In range when position + 100 m lies within the last cell (last cell index x 50).
  if ((static_cast<double>(posizione) + 100) / 50 <= ultima()) return esito_record::avanti;
  segna(registra_errore(s_, e_oltre_griglia, posizione), lettore_.nome(), record_);
  return esito_record::fine_lettura;
}

esito_record lettura_linea::pendenza(int32_t c, int32_t g) {
  if (const esito_record e = controlla_posizione(c); e != esito_record::avanti) return e;
  if (g < pendenza_minima || g > pendenza_massima) return ferma(e_pendenza_fuori, c);
  // Every cell before the record's cell carries the gradient in force there;
  // a record out of order still writes one cell and moves the cursor on.
  const int64_t n = cella_di(c);
  if (n > 0) {
    // The cursor must stay within the grid for the completion at the end.
    if (cella_pendenza_ >= ultima()) return ferma(e_pendenze_disordine, c);
    const uint8_t valore = basso8(int64_t{pendenza_corrente_} + 100);
    do {
      s_.celle[cella_pendenza_].pendenza_cella = valore;
      ++cella_pendenza_;
    } while (cella_pendenza_ < n);
  }
  pendenza_corrente_ = g;
  return esito_record::avanti;
}

esito_record lettura_linea::curva(const std::string& campo, int32_t inizio,
                                          int32_t lunghezza) {
  if (const esito_record e = controlla_posizione(inizio); e != esito_record::avanti) return e;
  // The class is the first of the digits 1 to 6 in the keyword, in that order.
  double k = 0;
  for (char classe = '1'; classe <= '6' && k == 0; ++classe)
    if (campo.find(classe) != std::string::npos) k = curvature_classi[classe - '1'];
  if (k == 0) return ferma(e_curva_classe);
  if (contiene(campo, "s") || contiene(campo, "S")) k = -k;  // to the left
  const int64_t fine = int64_t{inizio} + lunghezza;
  if (fine > s_.lunghezza_estesa) return ferma(e_curva_oltre, inizio);
  if (!estendi_planimetria(s_.planimetria, inizio, 0.0, true) ||
      !estendi_planimetria(s_.planimetria, fine, k, true))
    return ferma(e_curva_classe);
  return esito_record::avanti;
}

esito_record lettura_linea::montagna(campi_voce& f) {
  const int32_t inizio = f.numero();
  const int32_t fine = f.numero();
  int32_t tipo = f.numero();
  if (const esito_record e = controlla_posizione(inizio); e != esito_record::avanti) return e;
  const size_t prima = s_.guasti.size();
  memo_montagna(s_, inizio, fine, tipo);
  return dopo_aiuto(prima, inizio);
}

esito_record lettura_linea::indicatori(campi_voce& f) {
  int32_t v[9];
  for (int32_t& x : v) x = f.numero();
  if (const esito_record e = controlla_posizione(v[0]); e != esito_record::avanti) return e;
  const size_t prima = s_.guasti.size();
  try {
    memo_indicatori_v_max(s_, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  } catch (const std::range_error& e) {
    lettore_.fallisci(e.what());  // a board value beyond 16 bits
  }
  return dopo_aiuto(prima, v[0]);
}

esito_record lettura_linea::cartello(campi_voce& f) {
  const int32_t p = f.numero();
  campo_ = f.testo();
  if (const esito_record e = controlla_posizione(p); e != esito_record::avanti) return e;
  // The sign stands in the cell after the one that holds its position.
  cella& c = s_.celle[static_cast<size_t>(cella_di(p, 1))];
  if (!libera(c)) return ferma(e_cartello_occupato, p);
  // Sign texts count down from slot 80 towards the stations; slot 0 stays clear.
  if (posto_cartello_ < 1) return ferma(e_troppi_cartelli, p);
  c.tipo_cella = cella_cartello;
  c.valore_a = basso16(posto_cartello_);
  s_.tabella[posto_cartello_].testo = campo_;
  --posto_cartello_;
  return esito_record::avanti;
}

esito_record lettura_linea::dopo_aiuto(size_t guasti_prima, int32_t posizione) {
  if (!dopo_posa(s_, guasti_prima, posizione, lettore_.nome(), record_)) return esito_record::avanti;
  return esito_record::fermo;
}

}  // namespace tracciato
