// The train file's records recovered from the record slots and the cells:
// the stations, the signals and the slowdowns.
#include <algorithm>

#include "decompiler/recupero.h"
#include "model/numeri.h"

namespace tracciato {

void recupera_stazioni(recupero& r, treno_r& t) {
  for (int32_t k = 1; k < primo_posto_cartello; ++k) {
    const voce_tabella& v = r.tabella[k];
    if (v.valore1 == 0 && v.valore2 == 0 && v.valore3 == 0 && v.tipo_record == 0 && v.valore4 == 0 && v.tipo2 == 0 &&
        v.intero1 == 0 && v.intero2 == 0 && v.intero3 == 0 && v.intero4 == 0 && v.intero5 == 0 && v.byte1 == 0 &&
        v.byte2 == 0 && v.byte3 == 0 && v.byte4 == 0)
      break;  // a station always has a number that is not 0
    stazione_r s;
    s.posizione = v.valore3;
    s.tipo = v.tipo_record;
    const std::string dove = "the station in record slot " + std::to_string(k);
    // The extent gives the length back: P - L to P + 150 for kinds 5 and 6,
    // P - L to P + L for 7 and 8, P - L/2 to P + L/2 (+ 50 with the third
    // flag) for the others.
    const int64_t p = v.valore3, inizio = v.valore1, fine = v.valore2;
    int64_t atteso = fine;
    if (s.tipo == 5 || s.tipo == 6) {
      s.lunghezza = static_cast<int32_t>(p - inizio);
      atteso = p + 150;
    } else if (s.tipo == 7 || s.tipo == 8) {
      s.lunghezza = static_cast<int32_t>(p - inizio);
      atteso = p + s.lunghezza;
    } else {
      s.lunghezza = static_cast<int32_t>(2 * (p - inizio));
      const int64_t in_piu = fine - (p + s.lunghezza / 2);
      // The first station keeps no third flag, but its extent shows it.
      s.flag3 = k == 1 ? (in_piu == 50 ? 1 : 0) : v.byte3;
      atteso = p + s.lunghezza / 2 + (s.flag3 != 0 ? 50 : 0);
    }
    if (atteso != fine)
      r.avvisa(dove + " ends at " + std::to_string(fine) + " m, which no station record gives with its start " +
               std::to_string(inizio) + " m and its position " + std::to_string(p) + " m");
    if (s.tipo >= 5 && s.tipo <= 8 && v.byte3 != 0) r.avvisa(dove + " holds a third flag that its kind never keeps");
    s.flag1 = v.tipo2;
    s.flag2 = v.byte4;
    if (v.byte4 != 0 && (s.lunghezza < 600 || k == 1))
      r.avvisa(dove + " holds a second flag that a station of its length or place never keeps");
    s.gruppo1[0] = v.intero1;
    s.gruppo1[1] = v.intero2;
    s.gruppo1[2] = v.byte1;
    s.gruppo2[0] = v.intero3;
    s.gruppo2[1] = v.intero4;
    s.gruppo2[2] = v.intero5;
    s.fermata = v.byte2;
    // Seconds since midnight as hours, minutes and seconds.
    s.ore = static_cast<int32_t>(div_giu(v.valore4, 3600));
    s.minuti = static_cast<int32_t>(mod_giu(v.valore4, 3600) / 60);
    s.secondi = static_cast<int32_t>(mod_giu(v.valore4, 60));
    s.nome = v.testo;
    if (!testo_scrivibile(s.nome))
      r.avvisa(dove + " has a name with a comma, a line end or blanks at an end, which a train file cannot hold");
    t.stazioni.push_back(std::move(s));
  }
}

void recupera_segnali(recupero& r, treno_r& t) {
  // The approach marks that others write, read the plain way: each station's
  // 81 to 84, each signal's with valore_d mod 10 as sx x 3 + dx. A mark one
  // of them writes shows nothing of a signal that might write it too.
  // Per cell, the marks others write there, as lists threaded through one
  // array: most cells have none, and a vector per cell would cost more than
  // the whole reading.
  struct segno_altrui {
    int32_t chi;  // the writer's cell; -k for the station of record slot k
    uint8_t valore;
    int32_t seguente;  // the cell's next mark, -1 after its last
  };
  std::vector<int32_t> primo_segno(r.celle.size(), -1);
  std::vector<segno_altrui> segni_altrui;
  auto aggiungi_altrui = [&](int32_t cella, int32_t chi, uint8_t valore) {
    segni_altrui.push_back({chi, valore, primo_segno[static_cast<std::size_t>(cella)]});
    primo_segno[static_cast<std::size_t>(cella)] = static_cast<int32_t>(segni_altrui.size() - 1);
  };
  for (int32_t k = 1; k < primo_posto_cartello; ++k) {
    const voce_tabella& v = r.tabella[k];
    if (v.tipo_record >= 25 || v.tipo_record == 5 || v.tipo_record == 6) continue;
    for (int j = 1; j <= 4; ++j) {
      const double q = v.valore2 / 50.0 - j - 1;
      if (q > 1 && arrotonda(q) <= r.ultima())
        aggiungi_altrui(static_cast<int32_t>(arrotonda(q)), -k, static_cast<uint8_t>(80 + j));
    }
  }
  for (int32_t i = 0; i <= r.ultima(); ++i) {
    const cella& c = r.celle[i];
    if (c.tipo_cella != cella_segnale) continue;
    const int64_t base = mod_giu(c.valore_d, 10);
    for (int j = 1; j <= 4; ++j)
      if (i - 2 * j >= 0) aggiungi_altrui(i - 2 * j, i, basso8(base * 10 + j));
  }
  // valore_d = rapp x 10 + sx x 3 + dx, and the approach marks carry the low
  // 8 bits of (sx x 3 + dx) x 10 + j: of the readings of valore_d, the one
  // whose marks stand in most of the four approach cells where no other
  // station or signal writes the same mark (the plainest on a tie). The marks
  // repeat every 640 (10 x 64), so that is as far as the readings need to go.
  // Returns the reading and how many marks show it; with solo_segnati, a
  // cell left unmarked shows nothing.
  auto lettura = [&](int32_t i, int64_t valore_d, bool solo_segnati) {
    const int64_t base = mod_giu(valore_d, 10);
    int64_t lato = base;
    int migliore = -1;
    for (int64_t prova = base; prova < base + 640; prova += 10) {
      int segni = 0;
      for (int j = 1; j <= 4; ++j) {
        if (i - 2 * j < 0) continue;
        const uint8_t m = basso8(prova * 10 + j);
        if (r.celle[i - 2 * j].segno_approccio != m || (solo_segnati && m == 0)) continue;
        bool d_altri = false;
        for (int32_t e = primo_segno[static_cast<std::size_t>(i - 2 * j)]; e >= 0; e = segni_altrui[e].seguente)
          d_altri |= segni_altrui[e].chi != i && segni_altrui[e].valore == m;
        if (!d_altri) ++segni;
      }
      if (segni > migliore) migliore = segni, lato = prova;
    }
    return std::pair<int64_t, int>{lato, migliore};
  };
  // A signal under a station cell: the station took its type and valore_a
  // and left b, c, d and the timing value. Only a signal writes a timing
  // value; without one, its approach marks beyond the station's own (two
  // and three cells further back) must show it.
  const int32_t stazioni = static_cast<int32_t>(t.stazioni.size());
  std::vector<bool> nascosto(r.celle.size(), false);
  for (int32_t i = 0; i <= r.ultima(); ++i) {
    const cella& c = r.celle[i];
    if (c.tipo_cella != cella_stazione || c.valore_a < 1 || c.valore_a > stazioni) continue;
    if (c.tempo_segnale == 0 && lettura(i, c.valore_d, true).second < 1) continue;
    nascosto[i] = r.spiegata[i] = true;
    const int64_t lato = lettura(i, c.valore_d, true).first;
    for (int j = 1; j <= 4; ++j)
      if (i - 2 * j >= 0) aggiungi_altrui(i - 2 * j, i, basso8(lato * 10 + j));
  }
  for (int32_t i = 0; i <= r.ultima(); ++i) {
    const cella& c = r.celle[i];
    if (c.tipo_cella != cella_segnale && !nascosto[i]) continue;
    segnale_r s;
    s.posizione = posizione_in_cella(i);
    if (nascosto[i]) {
      s.sotto = c.valore_a - 1;
      r.inventati.push_back("the first aspect pair (0, 0) of the signal at " + std::to_string(s.posizione) +
                            " m, under the station of cell " + std::to_string(i));
    } else {
      s.s1 = static_cast<int32_t>(div_giu(c.valore_a, 10));
      s.d1 = static_cast<int32_t>(mod_giu(c.valore_a, 10));
    }
    s.s2 = static_cast<int32_t>(div_giu(c.valore_b, 10));
    s.d2 = static_cast<int32_t>(mod_giu(c.valore_b, 10));
    s.s3 = static_cast<int32_t>(div_giu(c.valore_c, 10));
    s.d3 = static_cast<int32_t>(mod_giu(c.valore_c, 10));
    const int64_t lato = lettura(i, c.valore_d, nascosto[i]).first;
    s.rapp = static_cast<int32_t>((c.valore_d - lato) / 10);
    s.sx = static_cast<int32_t>(lato / 3);
    s.dx = static_cast<int32_t>(lato % 3);
    // Only a home signal (sx 2) keeps its timing value; 1 to 100 are kept as
    // 101, so a stored 1 to 100 was written 256 higher.
    if (c.tempo_segnale != 0) {
      if (s.sx != 2) s.sx = 2, s.dx = static_cast<int32_t>(lato - 6);
      s.tempo = c.tempo_segnale <= 100 ? c.tempo_segnale + 256 : c.tempo_segnale;
    }
    t.segnali.push_back(s);
  }
}

void recupera_rallentamenti(recupero& r, treno_r& t) {
  // Start and end cells hold the same speed, d_v and f_tt; each start takes
  // the nearest end after it that matches. A start without one was a
  // slowdown whose end fell into its own cell, or into a cell a station took
  // over later. A station cell over a start or an end keeps its valore_b
  // (d_v) and valore_c (f_tt).
  std::vector<bool> presa(r.celle.size(), false);
  const int32_t u = r.ultima();
  const int32_t stazioni = static_cast<int32_t>(t.stazioni.size());
  auto stazione_libera = [&](int32_t i, int64_t d_v, int64_t f_tt) {
    const cella& c = r.celle[i];
    return c.tipo_cella == cella_stazione && !r.spiegata[i] && c.valore_a >= 1 && c.valore_a <= stazioni &&
           c.valore_b == d_v && c.valore_c == f_tt && c.valore_d == 0;
  };
  // A station cell over a cell that a slowdown wrote keeps the valore_b the
  // slowdown gave it and the valore_c and valore_d it had before (none).
  auto stazione_su = [&](int32_t i, int64_t valore_b) {
    const cella& c = r.celle[i];
    return c.tipo_cella == cella_stazione && !r.spiegata[i] && c.valore_a >= 1 && c.valore_a <= stazioni &&
           c.valore_b == valore_b && c.valore_c == 0 && c.valore_d == 0;
  };
  // The slowdown must be read before the station of cell i.
  auto prima_di = [&](rallentamento_r& x, int32_t i) {
    const int32_t k = r.celle[i].valore_a - 1;
    x.sotto = x.sotto < 0 ? k : std::min(x.sotto, k);
  };
  // The warning board 24 cells before the start s, when x > 1500, and the
  // four pre-warning cells before it when f_ta asked for them; a station may
  // have taken over the board or one of the pre-warning cells. Returns
  // whether the board stands there (or none is due).
  auto avvisi = [&](int32_t s, rallentamento_r& x, bool prova) {
    const int32_t w = s - 24;
    const bool tabella = w >= 0 && !presa[w] && r.celle[w].tipo_cella == cella_avviso_rallentamento &&
                         r.celle[w].valore_a == x.v && r.celle[w].valore_b == x.d_v;
    const bool tabella_sotto = w >= 0 && !tabella && stazione_su(w, x.d_v);
    // Cell 31 starts at 1500 m, which has no board; 1501 m has one.
    if (x.x == 1500 && (tabella || tabella_sotto)) x.x = 1501;
    if (x.x <= 1500) return true;
    if (!tabella && !tabella_sotto) return false;
    if (prova) return true;
    presa[w] = true;
    if (tabella_sotto) {
      r.spiegata[w] = true;
      prima_di(x, w);
    }
    // The four pre-warning cells from cell p down, at least one of them in
    // sight.
    auto preavvisi = [&](int32_t p) {
      if (p - 3 < 0) return false;
      int visti = 0;
      for (int32_t i = 0; i < 4; ++i) {
        const cella& q = r.celle[p - i];
        const int64_t b = x.d_v != 0 ? i + 1 : 0;
        if (q.tipo_cella == cella_preavviso && !presa[p - i] && q.valore_a == i + 1 && q.valore_b == b)
          ++visti;
        else if (!stazione_su(p - i, b))
          return false;
      }
      return visti > 0;
    };
    // They stand just before the warning board, or one cell further when
    // x / 50 ends in a half: x - 1200 then rounds down to an even cell and x
    // up, as x + 1 does for the start. A start in an even cell s takes that
    // x as (s - 1) x 50 - 25, and its end the next metre.
    int32_t p = -1;
    if (preavvisi(w - 1)) {
      p = w - 1;
    } else if (s % 2 == 0 && preavvisi(w - 2)) {
      p = w - 2;
      x.x -= 25;
      x.l += 1;
    }
    if (p >= 0) {
      x.f_ta = 1;
      for (int32_t i = 0; i < 4; ++i) {
        presa[p - i] = true;
        if (r.celle[p - i].tipo_cella == cella_stazione) {
          r.spiegata[p - i] = true;
          prima_di(x, p - i);
        }
      }
    }
    return true;
  };
  std::vector<std::pair<int32_t, std::size_t>> senza_fine;  // (start cell, slowdown) of no end seen
  for (int32_t s = 0; s <= u; ++s) {
    const cella& c = r.celle[s];
    if (c.tipo_cella != cella_inizio_rallentamento) continue;
    rallentamento_r x;
    x.x = posizione_in_cella(s);
    x.v = c.valore_a;
    x.d_v = c.valore_b;
    x.f_tt = c.valore_c;
    presa[s] = true;
    int32_t fine = -1;
    for (int32_t e = s + 1; e <= u && fine < 0; ++e) {
      const cella& f = r.celle[e];
      if (f.tipo_cella == cella_fine_rallentamento && !presa[e] && f.valore_a == c.valore_a &&
          f.valore_b == c.valore_b && f.valore_c == c.valore_c)
        fine = e;
    }
    if (fine >= 0) {
      x.l = (fine - s) * 50;
      presa[fine] = true;
    } else if (x.d_v != 0 || x.f_tt != 0) {
      senza_fine.push_back({s, t.rallentamenti.size()});
    }
    if (!avvisi(s, x, false))
      r.avvisa("the slowdown starting in cell " + std::to_string(s) + " has no warning board 24 cells before it");
    t.rallentamenti.push_back(x);
  }
  // An end, or a warning board, of no start: the start stood in a station
  // cell before it, the nearest whose leftovers and warning board match.
  auto sotto_stazione = [&](int32_t e, int32_t s, bool avviso) {
    const cella& f = r.celle[e];
    rallentamento_r x;
    x.x = posizione_in_cella(s);
    x.v = f.valore_a;
    x.d_v = f.valore_b;
    x.f_tt = avviso ? r.celle[s].valore_c : f.valore_c;
    if (!stazione_libera(s, x.d_v, x.f_tt) || !avvisi(s, x, true)) return false;
    x.l = avviso ? 0 : (e - s) * 50;
    prima_di(x, s);
    r.spiegata[s] = true;
    avvisi(s, x, false);
    presa[e] = true;
    t.rallentamenti.push_back(x);
    return true;
  };
  for (int32_t e = 0; e <= u; ++e)
    if (!presa[e] && r.celle[e].tipo_cella == cella_fine_rallentamento)
      for (int32_t s = e - 1; s >= 0; --s)
        if (sotto_stazione(e, s, false)) break;
  // A warning board of no start or end: both stood in the station cell 24
  // cells after it.
  for (int32_t w = 0; w + 24 <= u; ++w)
    if (!presa[w] && r.celle[w].tipo_cella == cella_avviso_rallentamento) sotto_stazione(w, w + 24, true);
  // A start of no end seen ended in its own cell, or in the nearest station
  // cell after it left to explain that keeps its d_v and f_tt (with nothing
  // to show there, its own cell writes the same). Ends and warning boards
  // of no start have taken theirs first.
  for (const auto& [s, k] : senza_fine) {
    rallentamento_r& x = t.rallentamenti[k];
    for (int32_t e = s + 1; e <= u; ++e)
      if (stazione_libera(e, x.d_v, x.f_tt)) {
        x.l += (e - s) * 50;  // on top of the metre a half-cell start adds
        prima_di(x, e);
        r.spiegata[e] = true;
        break;
      }
  }
  for (int32_t i = 0; i <= u; ++i) {
    const uint8_t tipo = r.celle[i].tipo_cella;
    if (!presa[i] && (tipo == cella_fine_rallentamento || tipo == cella_avviso_rallentamento || tipo == cella_preavviso))
      r.avvisa("cell " + std::to_string(i) + " holds a slowdown " +
               (tipo == cella_fine_rallentamento ? "end" : tipo == cella_avviso_rallentamento ? "warning board" : "pre-warning") +
               " of no slowdown start");
  }
}

}  // namespace tracciato
