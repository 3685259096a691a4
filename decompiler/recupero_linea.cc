// The line file's records recovered from the record table and the cells: the
// header, the gradients (with the train's speed limits and adhesion, kept the
// same way), the signs, the speed boards and the tunnels.
#include <algorithm>
#include <array>
#include <numeric>

#include "decompiler/recupero.h"
#include "loader/posa.h"

namespace tracciato {

bool testo_scrivibile(const std::string& t) {
  if (t.find_first_of(",\r\n") != std::string::npos) return false;
  auto bianco = [](char c) { return c == ' ' || c == '\t'; };
  return t.empty() || (!bianco(t.front()) && !bianco(t.back()));
}

namespace {

// The three chainage references as read, before progressive_ordina ordered
// them and added 100 to the value of those flagged 1.
std::array<progressiva_r, 3> progressive_lette(const recupero& r) {
  std::array<progressiva_r, 3> p;
  for (int i = 0; i < 3; ++i) {
    const voce_tabella& v = r.tabella[posto_progressiva_tre + i];
    p[i] = {v.valore1, static_cast<int32_t>(int64_t{v.valore2} - (v.valore3 == 1 ? 100 : 0)), v.valore3};
  }
  return p;
}

// Whether reading the references as uno, due, tre gives the slots' content.
bool ordina_come(const recupero& r, const progressiva_r& uno, const progressiva_r& due, const progressiva_r& tre) {
  scenario s;
  for (auto [posto, p] : {std::pair{posto_progressiva_tre, tre}, {posto_progressiva_due, due}, {posto_progressiva_uno, uno}}) {
    s.tabella[posto].valore1 = p.posizione;
    s.tabella[posto].valore2 = p.valore;
    s.tabella[posto].valore3 = p.flag;
  }
  progressive_ordina(s);
  for (int posto = posto_progressiva_tre; posto <= posto_progressiva_uno; ++posto) {
    const voce_tabella &a = s.tabella[posto], &b = r.tabella[posto];
    if (a.valore1 != b.valore1 || a.valore2 != b.valore2 || a.valore3 != b.valore3) return false;
  }
  return true;
}

}  // namespace

void recupera_testata(recupero& r, linea_r& l, treno_r& t) {
  const voce_tabella& treno = r.tabella[posto_treno];
  t.massa = treno.valore1;
  l.lunghezza = treno.valore2;
  t.vetture = treno.valore3;
  const voce_tabella& scena = r.tabella[posto_scenario];
  l.sfondo_uno = scena.valore1;
  l.sfondo_tre = scena.valore2;
  l.sfondo_due = scena.valore3;
  if (scena.testo != r.nome_in_tabella())
    r.avvisa("the scenario file names the scenario \"" + a_utf8(scena.testo) + "\", not \"" + r.nome +
             "\": a compile under this name writes a different slot 85");
  const voce_tabella& linea = r.tabella[posto_linea];
  if (linea.testo != r.numero_in_tabella())
    r.avvisa("the scenario file names the train \"" + a_utf8(linea.testo) + "\", not \"" + r.numero +
             "\": a compile under this number writes a different slot 86");
  l.ripetizione_inizio = linea.valore1;
  l.ripetizione_fine = linea.valore2;
  l.codici = linea.valore3 == 9 ? 9 : 4;
  if (linea.valore3 != (linea.valore2 == 0 ? 0 : l.codici))
    r.avvisa("slot 86 holds " + std::to_string(linea.valore3) + " codes for a signal repetition ending at " +
             std::to_string(linea.valore2) + ": no line file gives that");
  t.sabbia = linea.intero1;
  t.ore = linea.intero3;
  t.minuti = linea.intero4;
  t.secondi = linea.intero5;

  // The references in the order an author would write them: from the
  // smallest position, the empty ones last; then every other reading, until
  // one orders into the slots as they are.
  std::array<progressiva_r, 3> p = progressive_lette(r);
  std::array<int, 3> ordine = {0, 1, 2};
  auto vuota = [&](int i) { return p[i].posizione == 0 && p[i].valore == 0 && p[i].flag == 0; };
  std::sort(ordine.begin(), ordine.end(), [&](int a, int b) {
    if (vuota(a) != vuota(b)) return vuota(b);
    if (p[a].posizione != p[b].posizione) return p[a].posizione < p[b].posizione;
    return a > b;
  });
  const std::array<int, 3> preferito = ordine;
  bool trovato = false;
  std::array<int, 3> indici = {0, 1, 2};
  do {
    const std::array<int, 3> prova = {preferito[indici[0]], preferito[indici[1]], preferito[indici[2]]};
    if (ordina_come(r, p[prova[0]], p[prova[1]], p[prova[2]])) {
      ordine = prova;
      trovato = true;
    }
  } while (!trovato && std::next_permutation(indici.begin(), indici.end()));
  if (!trovato) {
    ordine = preferito;
    r.avvisa("no reading of the three chainage references orders into slots 81 to 83 as they are");
  }
  l.uno = p[ordine[0]];
  l.due = p[ordine[1]];
  l.tre = p[ordine[2]];
}

namespace {

// One record per change of a per-cell value, read back as the loaders fill
// it: from the cursor up to the cell before the next record's cell, and at
// the end up to cell ultima - 3. A record stands at position 50 x c. Cells
// from ultima - 2 on hold a value only when records pile up at the last
// position a record may take (ultima - 2): each further one there moves the
// cursor on by one cell.
template <class F, class V>
std::vector<da_posizione_r> serie(const recupero& r, F campo, V valore) {
  const int32_t u = r.ultima();
  const int32_t ultima_posizione = u - 2;
  int32_t scritte = ultima_posizione;  // cells 0 .. scritte - 1 are written
  for (int32_t i = u; i >= ultima_posizione; --i)
    if (campo(r.celle[i]) != 0) {
      scritte = i + 1;
      break;
    }
  std::vector<da_posizione_r> d;
  d.push_back({0, valore(campo(r.celle[0]))});
  for (int32_t j = 1; j < std::min(scritte, ultima_posizione + 1); ++j)
    if (campo(r.celle[j]) != campo(r.celle[j - 1])) d.push_back({j * 50, valore(campo(r.celle[j]))});
  if (scritte > ultima_posizione) {
    if (d.back().posizione != ultima_posizione * 50) d.push_back({ultima_posizione * 50, valore(campo(r.celle[ultima_posizione]))});
    for (int32_t m = ultima_posizione + 1; m < scritte; ++m)
      d.push_back({ultima_posizione * 50, valore(campo(r.celle[m]))});
  }
  return d;
}

}  // namespace

void recupera_serie(recupero& r, linea_r& l, treno_r& t) {
  l.pendenze = serie(r, [](const cella& c) { return c.pendenza_cella; }, [](int v) { return v - 100; });
  t.velocita = serie(r, [](const cella& c) { return c.vel_limite; }, [](int v) { return v * 5; });
  t.aderenze = serie(r, [](const cella& c) { return c.aderenza_cella; }, [](int v) { return v; });
}

void recupera_cartelli(recupero& r, linea_r& l) {
  // Stations fill slots 1 up, each with a number that is not 0; signs take
  // 80 down. The lowest sign slot is the lowest one a sign cell names or
  // that holds a text above the stations.
  int32_t stazioni = 0;
  while (stazioni + 1 <= primo_posto_cartello) {
    voce_tabella v = r.tabella[stazioni + 1];
    v.testo.clear();
    if (v.valore1 == 0 && v.valore2 == 0 && v.valore3 == 0 && v.tipo_record == 0 && v.valore4 == 0 && v.tipo2 == 0 &&
        v.intero1 == 0 && v.intero2 == 0 && v.intero3 == 0 && v.intero4 == 0 && v.intero5 == 0 && v.byte1 == 0 &&
        v.byte2 == 0 && v.byte3 == 0 && v.byte4 == 0)
      break;
    ++stazioni;
  }
  std::vector<int32_t> cella_del_posto(primo_posto_cartello + 1, -1);
  int32_t piu_basso = primo_posto_cartello + 1;
  for (int32_t i = 0; i <= r.ultima(); ++i) {
    const cella& c = r.celle[i];
    if (c.tipo_cella != cella_cartello) continue;
    if (c.valore_a <= stazioni || c.valore_a > primo_posto_cartello || cella_del_posto[c.valore_a] >= 0) {
      r.avvisa("the sign in cell " + std::to_string(i) + " names record slot " + std::to_string(c.valore_a) +
               ", which no sign of a line file takes there");
      continue;
    }
    cella_del_posto[c.valore_a] = i;
    piu_basso = std::min<int32_t>(piu_basso, c.valore_a);
  }
  for (int32_t posto = stazioni + 1; posto <= primo_posto_cartello; ++posto)
    if (!r.tabella[posto].testo.empty()) {
      piu_basso = std::min(piu_basso, posto);
      break;
    }
  // A sign whose cell a station cell took later leaves no cell of its own;
  // any station cell hides it as well, but one over a signal or a slowdown
  // of the train file. A sign leaves valore_b, c and d at 0, so cells where
  // they are not (a speed board stood there) come last.
  std::vector<int32_t> celle_stazione;
  for (int pulite = 1; pulite >= 0; --pulite)
    for (int32_t i = 0; i <= r.ultima(); ++i) {
      const cella& c = r.celle[i];
      if (c.tipo_cella == cella_stazione && !r.spiegata[i] &&
          (c.valore_b == 0 && c.valore_c == 0 && c.valore_d == 0) == (pulite == 1))
        celle_stazione.push_back(i);
    }
  std::size_t nascoste = 0;
  for (int32_t posto = primo_posto_cartello; posto >= piu_basso; --posto) {
    const std::string& testo = r.tabella[posto].testo;
    int32_t i = cella_del_posto[posto];
    if (i < 0) {
      if (nascoste == celle_stazione.size()) {
        r.avvisa("the sign of record slot " + std::to_string(posto) + " has no cell: its position is lost");
        continue;
      }
      i = celle_stazione[nascoste++];
      r.inventati.push_back("the sign of record slot " + std::to_string(posto) + " at " +
                            std::to_string(posizione_in_cella(i)) + " m, under the station of cell " +
                            std::to_string(i) + ": its own position is lost");
    }
    if (!testo_scrivibile(testo))
      r.avvisa("the text of the sign in record slot " + std::to_string(posto) +
               " has a comma, a line end or blanks at an end, which a line file cannot hold");
    l.cartelli.push_back({posizione_in_cella(i), testo});
  }
}

void recupera_indicatori(recupero& r, linea_r& l) {
  for (int32_t i = 0; i <= r.ultima(); ++i) {
    const cella& c = r.celle[i];
    // A station cell keeps the values b, c and d of what stood there before
    // it and takes only a: when they are not all 0 and no signal or slowdown
    // of the train file explains them, a speed board stood there (the line
    // file, boards and all, is read before the stations).
    // Its first pair of speeds is lost; 0 writes the same bytes.
    const bool sotto_stazione = c.tipo_cella == cella_stazione && !r.spiegata[i] &&
                                (c.valore_b != 0 || c.valore_c != 0 || c.valore_d != 0);
    if (c.tipo_cella != cella_indicatore_v_max && !sotto_stazione) continue;
    if (sotto_stazione)
      r.inventati.push_back("the first pair of speeds (0, 0) of the speed board at " +
                            std::to_string(posizione_in_cella(i)) + " m, under the station of cell " +
                            std::to_string(i));
    // Each value is the left speed times 20 plus the right speed in steps of 5.
    indicatore_r b;
    b.posizione = posizione_in_cella(i);
    b.vas = sotto_stazione ? 0 : static_cast<int32_t>(div_giu(c.valore_a, 20));
    b.vad = sotto_stazione ? 0 : static_cast<int32_t>(mod_giu(c.valore_a, 20) * 5);
    b.vbs = static_cast<int32_t>(div_giu(c.valore_b, 20));
    b.vbd = static_cast<int32_t>(mod_giu(c.valore_b, 20) * 5);
    b.vcs = static_cast<int32_t>(div_giu(c.valore_c, 20));
    b.vcd = static_cast<int32_t>(mod_giu(c.valore_c, 20) * 5);
    b.strisces = static_cast<int32_t>(div_giu(c.valore_d, 10));
    b.strisced = static_cast<int32_t>(mod_giu(c.valore_d, 10));
    l.indicatori.push_back(b);
  }
}

}  // namespace tracciato
