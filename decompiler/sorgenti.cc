// The recovered files are laid out as the built-in ones: the same sections in
// the same order, one record per line, numbers aligned with blanks.
#include "decompiler/sorgenti.h"

#include "loader/formato_testo.h"

#include <cstdio>
#include <string_view>

namespace tracciato {
namespace {

constexpr std::string_view fine_riga = "\r\n";

// printf into a string; every record is short.
template <class... A>
std::string riga(const char* formato, A... a) {
  char b[512];
  const int n = std::snprintf(b, sizeof b, formato, a...);
  return std::string(b, static_cast<std::size_t>(n < 0 ? 0 : n)) + std::string(fine_riga);
}

// The keyword of a record as the format writes it (the table's keywords are
// string literals, so the view ends in a NUL).
const char* parola(genere_voce g) { return formato_di(g).parola.data(); }

// An empty field when 0, as the built-in boards leave their right-hand speeds.
std::string o_vuoto(int32_t v) { return v == 0 ? std::string() : std::to_string(v); }

void metti_intestazione(std::string& o, const std::vector<std::string>& intestazione) {
  for (const auto& r : intestazione) o += r + std::string(fine_riga);
}

}  // namespace

std::string testo_linea(const linea_r& l, const std::vector<std::string>& intestazione) {
  std::string o;
  metti_intestazione(o, intestazione);
  o += riga("[generale]");
  o += riga("%s,    %d", parola(genere_voce::lunghezza), l.lunghezza);
  o += riga("%s,    %d,    %d,    %d", parola(genere_voce::progressiva_uno), l.uno.posizione, l.uno.valore, l.uno.flag);
  o += riga("%s,    %d,    %d,    %d", parola(genere_voce::progressiva_due), l.due.posizione, l.due.valore, l.due.flag);
  o += riga("%s,    %d,    %d,    %d", parola(genere_voce::progressiva_tre), l.tre.posizione, l.tre.valore, l.tre.flag);
  o += riga("%s,    %d", parola(genere_voce::sfondo_uno), l.sfondo_uno);
  o += riga("%s,    %d", parola(genere_voce::sfondo_due), l.sfondo_due);
  o += riga("%s,    %d", parola(genere_voce::sfondo_tre), l.sfondo_tre);
  o += riga("ripetizione segnali %d codici,    %d    ,%d", l.codici, l.ripetizione_inizio, l.ripetizione_fine);
  o += riga("[curve]");
  for (const curva_r& c : l.curve)
    o += riga("curva%c%d,  %d,  %d", c.sinistra ? 's' : 'd', c.classe, c.inizio, c.lunghezza);
  o += riga("[pendenze]");
  for (const auto& p : l.pendenze) o += riga("%s,  %6d,  %4d", parola(genere_voce::pendenza), p.posizione, p.valore);
  o += riga("[montagne]");
  for (const auto& m : l.montagne) o += riga("%s,  %6d,  %6d,  %d", parola(genere_voce::montagna), m.inizio, m.fine, m.tipo);
  o += riga("[cartelli]");
  for (const auto& b : l.indicatori)
    o += riga("%s,  %d,  %d,  %d,  %d,  %d,  %s,  %s,  %s,  %d", parola(genere_voce::indicatori), b.posizione, b.vas, b.vbs, b.vcs,
              b.strisces, o_vuoto(b.vad).c_str(), o_vuoto(b.vbd).c_str(), o_vuoto(b.vcd).c_str(), b.strisced);
  o += riga("[indicazioni]");
  for (const auto& c : l.cartelli) o += std::string(formato_di(genere_voce::cartello).parola) + ",  " + std::to_string(c.posizione) + ",   " + c.testo + "\r\n";
  o += riga("[fine]");
  return o;
}

std::string testo_treno(const treno_r& t, const std::vector<std::string>& intestazione) {
  std::string o;
  metti_intestazione(o, intestazione);
  o += riga("[generale]");
  o += riga("%s,    %d", parola(genere_voce::vetture), t.vetture);
  o += riga("%s,    %d", parola(genere_voce::massa), t.massa);
  o += riga("%s,    %d", parola(genere_voce::sabbia), t.sabbia);
  o += riga("%s,    %d              %d            %d ", parola(genere_voce::orologio), t.ore, t.minuti, t.secondi);
  o += riga("[aderenze]");
  for (const auto& a : t.aderenze) o += riga("%s,  %6d,   %3d", parola(genere_voce::aderenza), a.posizione, a.valore);
  o += riga("[vel_limite]");
  for (const auto& v : t.velocita) o += riga("%s,  %6d,   %3d", parola(genere_voce::velocita), v.posizione, v.valore);

  auto stazione = [&](const stazione_r& s) {
    o += riga("%s,%8d,%3d,%5d,%3d,%2d,%2d,%3d,%d,%d,%3d,%d,%d,%5d,%4d,%2d,%2d, ", parola(genere_voce::stazione), s.posizione, s.tipo,
              s.lunghezza, s.flag1, s.flag2, s.flag3, s.gruppo1[0], s.gruppo1[1], s.gruppo1[2], s.gruppo2[0],
              s.gruppo2[1], s.gruppo2[2], s.fermata, s.ore, s.minuti, s.secondi);
    o.resize(o.size() - fine_riga.size());
    o += s.nome + std::string(fine_riga);
  };
  auto segnale = [&](const segnale_r& s) {
    o += riga("%s,%8d,%4d,%2d,%2d,%3d,%2d,%5d,%3d,%d,%d, %d", parola(genere_voce::segnale), s.posizione, s.sx, s.s1, s.s2, s.s3, s.rapp,
              s.dx, s.d1, s.d2, s.d3, s.tempo);
  };
  // Stations and signals keep the order their approach marks need: a signal
  // that has to come before a station stands among the stations.
  std::size_t ultima_stazione = 0;
  for (std::size_t i = 0; i < t.ordine.size(); ++i)
    if (t.ordine[i].stazione) ultima_stazione = i + 1;
  auto rallentamento = [&](const rallentamento_r& r) {
    o += riga("%s,  %6d,  %4d,  %5d,  %3d,  %3d,  %3d", parola(genere_voce::rallentamento), r.x, r.v, r.l, r.f_tt, r.f_ta, r.d_v);
  };
  // A slowdown whose start or end cell a station takes over comes just
  // before that station.
  o += riga("[stazioni]");
  for (std::size_t i = 0; i < ultima_stazione; ++i) {
    if (t.ordine[i].stazione) {
      for (const auto& r : t.rallentamenti)
        if (r.sotto >= 0 && static_cast<std::size_t>(r.sotto) == t.ordine[i].indice) rallentamento(r);
      stazione(t.stazioni[t.ordine[i].indice]);
    } else {
      segnale(t.segnali[t.ordine[i].indice]);
    }
  }
  o += riga("[rallentamenti]");
  for (const auto& r : t.rallentamenti)
    if (r.sotto < 0) rallentamento(r);
  o += riga("[segnali]");
  for (std::size_t i = ultima_stazione; i < t.ordine.size(); ++i) segnale(t.segnali[t.ordine[i].indice]);
  o += riga("[codici]");
  for (const auto& a : t.abbattimenti) o += riga("%s,  %6d,  %d", parola(genere_voce::abbattimento), a.posizione, a.valore);
  o += riga("[fine]");
  return o;
}

}  // namespace tracciato
