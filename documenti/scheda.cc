// The author's timetable card: one sheet for the train, from its first
// station to its terminus, in the layout of the built-in card's sheet for
// the simulated train (11 header lines, the 4-line table heading, one row a
// point, the closing ruler).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "documenti/documenti.h"
#include "documenti/interno.h"
#include "model/regole.h"
#include "platform/testo.h"
#include "viewer/marcia.h"

namespace tracciato {

std::string scheda_autore(const scenario& s, const treno_autore& t, const opzioni_documenti& o,
                          std::vector<std::string>& avvisi);

namespace {

// The times of one station row, in seconds (carried past midnight).
struct orari {
  std::optional<double> arrivo, partenza, passaggio;
};

std::string ora_minuti(double secondi) {
  // To the nearest minute, halves to the even one, as std::nearbyint rounds.
  // A day later or earlier reads the same on the clock.
  const int64_t m = (static_cast<int64_t>(std::nearbyint(secondi / 60)) % 1440 + 1440) % 1440;
  char b[32];
  std::snprintf(b, sizeof b, "%02lld.%02lld", static_cast<long long>(m / 60), static_cast<long long>(m % 60));
  return b;
}

std::string testo_ora(const std::string& nome) { return "\"" + a_utf8(nome) + "\""; }

// The times of every station. The train file's time is the departure at a
// stop (the arrival is the stop value's seconds earlier), the passing time
// elsewhere, the departure at the first timed station and the arrival at the
// last. Between two timed stations the stations without a time are passed at
// the scheduled time spread in proportion to the least running time: a
// station that the fastest run reaches after a third of its time between the
// two is passed a third of the way through the scheduled time.
std::vector<orari> calcola_orari(const scenario& s, const treno_autore& t, const opzioni_documenti& o,
                                 std::vector<std::string>& avvisi) {
  const auto& st = t.stazioni;
  std::vector<orari> r(st.size());
  std::vector<size_t> fisse;
  int64_t giorno = 0, prima = -1;
  std::vector<double> ora(st.size(), 0);
  for (size_t i = 0; i < st.size(); ++i) {
    if (st[i].ora < 0) continue;
    if (st[i].ora + giorno < prima) giorno += 86400;  // past midnight
    prima = st[i].ora + giorno;
    ora[i] = static_cast<double>(prima);
    fisse.push_back(i);
  }
  if (fisse.empty()) return r;
  const size_t primo = fisse.front(), ultimo = fisse.back();
  for (size_t i : fisse) {
    if (i == primo && i != ultimo)
      r[i].partenza = ora[i];
    else if (i == ultimo)
      r[i].arrivo = ora[i];
    else if (st[i].fermata != 0) {
      r[i].partenza = ora[i];
      r[i].arrivo = ora[i] - st[i].fermata;
    } else
      r[i].passaggio = ora[i];
  }
  if (s.celle.empty()) return r;
  const std::vector<double> limite = limiti_al_metro(s);
  for (size_t k = 1; k < fisse.size(); ++k) {
    const size_t a = fisse[k - 1], b = fisse[k];
    const double da = r[a].partenza ? *r[a].partenza : *r[a].passaggio;
    const double verso = r[b].arrivo ? *r[b].arrivo : *r[b].passaggio;
    const int64_t pa = st[a].posizione, pb = st[b].posizione;
    bool in_ordine = pa >= 0 && pb > pa && static_cast<size_t>(pb) < limite.size();
    for (size_t i = a + 1; i < b && in_ordine; ++i)
      in_ordine = st[i].posizione >= st[i - 1].posizione && st[i].posizione <= pb;
    if (!in_ordine) {
      avvisi.push_back("the stations from " + testo_ora(st[a].nome) + " to " + testo_ora(st[b].nome) +
                       " are not in running order within the line: the stations between them get no passing time");
      continue;
    }
    const std::vector<double> tempi = tempi_tratto(limite, pa, pb, st[a].fermata != 0 || a == primo,
                                                   st[b].fermata != 0 || b == ultimo, o.accelerazione, o.frenatura);
    const double minimo = tempi.back(), previsto = verso - da;
    if (previsto + 0.5 < minimo)
      avvisi.push_back("the timetable gives " + std::to_string(static_cast<int64_t>(std::nearbyint(previsto))) +
                       " s from " + testo_ora(st[a].nome) + " to " + testo_ora(st[b].nome) +
                       ", less than the least running time of " +
                       std::to_string(static_cast<int64_t>(std::ceil(minimo))) +
                       " s: the passing times between them are spread over the scheduled time");
    for (size_t i = a + 1; i < b; ++i) {
      const size_t passo = static_cast<size_t>((st[i].posizione - pa) / 10);
      const double parte = minimo > 0 ? tempi[std::min(passo, tempi.size() - 1)] / minimo : 0;
      r[i].passaggio = da + previsto * parte;
    }
  }
  return r;
}

std::string velocita(std::optional<int32_t> v, disegno& d) {
  if (!v) return "     ";
  return d.cella(std::to_string(*v), 4, allinea::destra, "the speed") + " ";
}

// One point row: speed, second speed, kilometre (10), place (22), times
// (15), recovery (3), right-track speed, symbols (19).
std::string riga_punto(std::optional<int32_t> v, const std::string& km, const std::string& luogo,
                       const std::string& tempi, disegno& d) {
  return "  |" + velocita(v, d) + "|" + velocita(v, d) + "|" + d.cella(km, 10, allinea::sinistra, "the kilometre") +
         "|" + luogo + "|" + tempi + "|   |  /   |                   |";
}

}  // namespace

std::string scheda_autore(const scenario& s, const treno_autore& t, const opzioni_documenti& o,
                          std::vector<std::string>& avvisi) {
  disegno d(avvisi);
  const auto& st = t.stazioni;
  const std::string primo = st.empty() ? "" : st.front().nome;
  const std::string ultimo = st.empty() ? "" : st.back().nome;
  const std::string massa = t.massa_frenata != 0 ? std::to_string(t.massa_frenata) + "%" : "";
  // "3ALn": the vehicles and the first word of the vehicle type.
  std::string bloccata;
  if (!o.veicolo.empty() && t.vetture > 0)
    bloccata = std::to_string(t.vetture) + o.veicolo.substr(0, o.veicolo.find(' '));
  using a = allinea;
  std::vector<std::string> r = {
      "",
      "",
      "  ___________________      ___________________                           _______________________",
      " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |",
      " |" + d.cella(o.regione, 19, a::centro, "--region") + "|    |" +
          d.cella(o.numero_treno, 19, a::centro, "the train number") + "|" +
          d.cella("Scheda n\xB0 1/1", 25, a::centro, "") + "|" +
          d.cella(o.composizione, 23, a::centro, "--composition") + "|",
      " |___________________|    |___________________|                         |" +
          d.cella(massa, 23, a::centro, "the braked mass") + "|",
      " | Validit\xE0          |    | Termine Scheda    |" +
          d.cella("    Da: " + primo, 25, a::sinistra, "the first station") + "|_______________________|",
      " |" + d.cella(" Dal: " + o.valido_dal, 19, a::sinistra, "--valid-from") + "|    |" +
          d.cella(ultimo, 19, a::centro, "the terminus") + "|" +
          d.cella("     A: " + ultimo, 26, a::sinistra, "the last station"),
      " |___________________|    |___________________|                          _______________________",
      "  ______________________ _____________________                          | Int. alla Sigla |     |",
      " | Classificazione      | Massa Bloccata      |                         |" +
          d.cella(o.veicolo, 17, a::centro, "--vehicle") + "|     | ",
      " |" + d.cella(o.categoria, 22, a::centro, "--category") + "|" +
          d.cella(bloccata, 21, a::centro, "the braked vehicles") +
          "|                         |                 |     | ",
      " |______________________|_____________________|                         |_________________|_____|",
      "   ____________________________________________________________________________________________",
      "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ",
      "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|",
      "  |_____|_____|_________________________________|_______________|___|______|___|___________|___|",
  };

  // The speed at the first station, then each change up to the terminus:
  // on the row of a station whose extent holds it, else a row of its own.
  std::vector<std::pair<int32_t, int32_t>> cambi;
  int32_t vigente = -1;
  for (const auto& [p, v] : t.limiti) {
    if (v == vigente) continue;
    vigente = v;
    cambi.emplace_back(p, v);
  }
  const std::vector<orari> tempi = calcola_orari(s, t, o, avvisi);
  std::vector<std::optional<int32_t>> sulla_stazione(st.size());
  std::vector<std::pair<int32_t, int32_t>> cippi;
  if (!st.empty()) {
    std::optional<int32_t> iniziale;
    for (const auto& [p, v] : cambi) {
      if (p <= st.front().posizione) {
        iniziale = v;
        continue;
      }
      if (p > st.back().posizione) break;
      bool posto = false;
      for (size_t i = 0; i < st.size() && !posto; ++i)
        if (!sulla_stazione[i] && i > 0 && nella_stazione(st[i], p)) sulla_stazione[i] = v, posto = true;
      if (!posto) cippi.emplace_back(p, v);
    }
    if (iniziale) sulla_stazione[0] = iniziale;
  }

  size_t c = 0;
  for (size_t i = 0; i < st.size(); ++i) {
    for (; c < cippi.size() && cippi[c].first < st[i].posizione; ++c)
      r.push_back(riga_punto(cippi[c].second, "",
                             d.cella("  Cippo Km." + chilometri(chilometrica(s, cippi[c].first), ','), 22,
                                     a::sinistra, "the kilometre stone"),
                             std::string(15, ' '), d));
    const bool ferma = st[i].fermata != 0 || i + 1 == st.size();
    std::string nome = d.cella(st[i].nome, 19, a::sinistra, "the station name");
    while (!nome.empty() && nome.back() == ' ') nome.pop_back();
    std::string luogo = "   " + nome;
    luogo.append(22 - luogo.size(), ferma ? '.' : ' ');
    const orari& h = tempi[i];
    std::string orario(15, ' ');
    if (h.arrivo && h.partenza)
      orario = " " + ora_minuti(*h.arrivo) + "   " + ora_minuti(*h.partenza) + " ";
    else if (h.partenza)
      orario = "         " + ora_minuti(*h.partenza) + " ";
    else if (h.arrivo)
      orario = " " + ora_minuti(*h.arrivo) + "         ";
    else if (h.passaggio)
      orario = "     " + ora_minuti(*h.passaggio) + "     ";
    r.push_back(riga_punto(sulla_stazione[i], chilometri(chilometrica(s, st[i].posizione)), luogo, orario, d));
  }
  r.push_back("  |_____|_____|_________________________________|_______________|___|______|___________________|");
  return con_fine_riga(r);
}

}  // namespace tracciato
