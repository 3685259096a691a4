// Warnings on the values of the records: what the compile accepts silently
// but an author most likely did not mean.
#include <algorithm>
#include <cctype>
#include <vector>

#include "checker/interno.h"
#include "model/numeri.h"
#include "model/luogo.h"
#include "model/regole.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

std::string m(int64_t metri) { return std::to_string(metri) + " m"; }

// contiene_senza_caso, looked at first in the last bytes of the file, where
// its closing line stands: the same answer, mostly without reading it all.
bool in_coda_o_altrove(std::string_view testo, std::string_view parola) {
  const size_t coda = std::min(testo.size(), size_t{256});
  return contiene_senza_caso(testo.substr(testo.size() - coda), parola) || contiene_senza_caso(testo, parola);
}

class avvisi {
 public:
  explicit avvisi(contesto_controllo& c) : c_(c) {}

  void esegui() {
    if (c_.linea) {
      codifica(*c_.linea);
      linea(*c_.linea);
    }
    if (c_.treno) {
      codifica(*c_.treno);
      treno(*c_.treno);
    }
    if (c_.linea && c_.treno) sotto_le_stazioni(*c_.linea, *c_.treno);
    ingressi();
  }

 private:
  void avviso(const char* sigla, const vista& v, const voce& x, std::optional<int32_t> pos, std::string msg, std::string hint,
              int32_t colonna = 0) {
    c_.aggiungi(gravita::avviso, sigla, v, x.riga, colonna > 0 ? colonna : x.colonna, pos, std::move(msg), std::move(hint));
  }

  // Text saved as UTF-8 goes into the tables byte for byte.
  void codifica(const vista& v) {
    if (v.dati.starts_with("\xEF\xBB\xBF")) {
      c_.aggiungi(gravita::avviso, "W201", v, 1, 1, std::nullopt,
                  "the file begins with a UTF-8 byte-order mark, which is read as part of the first field",
                  "save the file as Windows-1252, or compile with `--input-encoding utf-8`");
      return;
    }
    const size_t i = sembra_utf8(v.dati);
    if (i == std::string_view::npos) return;
    const auto it = std::upper_bound(v.inizi_riga.begin(), v.inizi_riga.end(), i);
    const int32_t riga = static_cast<int32_t>(it - v.inizi_riga.begin());
    const int32_t colonna = static_cast<int32_t>(i - v.inizi_riga[static_cast<size_t>(riga - 1)] + 1);
    size_t n = 1;
    while (i + n < v.dati.size() && (static_cast<unsigned char>(v.dati[i + n]) & 0xC0) == 0x80) ++n;
    const std::string_view byte = v.dati.substr(i, n);
    std::string carattere;
    try {
      carattere = in_windows_1252(byte, codifica_ingresso::utf_8);
    } catch (const std::runtime_error&) {
      carattere = "?";
    }
    c_.aggiungi(gravita::avviso, "W202", v, riga, colonna, std::nullopt,
                "this text is UTF-8, but the simulator reads Windows-1252: \"" + carattere + "\" would be shown as \"" +
                    a_utf8(byte) + "\"",  // UTF-8 already: the bytes as the simulator shows them
                "save the file as Windows-1252, or compile with `--input-encoding utf-8`");
  }

  // An item's position: on the 50 m grid, and not past the route's end.
  void posizione(const vista& v, const voce& x, int32_t p, bool piu_uno, std::string_view cosa) {
    if (p < 0) return;  // refused by the compile (26)
    if (!multiplo(p, 50)) {
      const int64_t letta = piu_uno ? (cella_di(p, 1) - 1) * 50 : cella_di(p) * 50;
      const int32_t sotto = p - p % 50;
      avviso("W203", v, x, p,
             std::string(cosa) + " position not on the 50 m grid: it is placed as if at " + m(letta),
             "write " + std::to_string(sotto) + " or " + std::to_string(sotto + 50), v.colonna_numero(x, 0));
    }
    // Beyond the grid itself it is the compile's fault 15, not a warning.
    if (lunghezza_ && p > *lunghezza_ && (int64_t{p} + 100) <= cella_di(int64_t{*lunghezza_} + 7000) * 50)
      avviso("W204", v, x, p,
             std::string(cosa) + " past the end of the route (" + m(*lunghezza_) +
                 "), in the 7000 m run-out beyond it",
             "check the position, or the route length in the line file", v.colonna_numero(x, 0));
  }


  // An item that starts inside the route and ends past its end.
  void fine_oltre(const vista& v, const voce& x, int64_t fine, std::string_view cosa, size_t campo) {
    if (!lunghezza_ || x.n(0) >= *lunghezza_ || fine <= *lunghezza_) return;
    avviso("W205", v, x, x.n(0),
           "the " + std::string(cosa) + " starts inside the route but ends at " + m(fine) + ", past its end (" +
               m(*lunghezza_) + ")",
           "end it at " + std::to_string(*lunghezza_) + " or before, or check the route length in the line file",
           v.colonna_numero(x, campo));
  }

  // Records of one kind in increasing order of position, the first at 0.
  void ordine(const vista& v, genere_voce t, std::string_view cosa, bool da_zero) {
    const voce* prima = nullptr;
    for (const voce& x : v.voci) {
      if (x.tipo != t || x.numeri.empty()) continue;
      if (prima == nullptr && da_zero && x.n(0) != 0)
        avviso("W206", v, x, x.n(0),
               "the first of the " + std::string(cosa) + " stands at " + m(x.n(0)) +
                   ": the cells before it get 0",
               "write the first record at position 0", v.colonna_numero(x, 0));
      if (prima != nullptr && x.n(0) <= prima->n(0))
        avviso("W207", v, x, x.n(0),
               std::string(cosa) + " out of order: this one at " + m(x.n(0)) + " follows the one at " +
                   m(prima->n(0)) + " (line " + std::to_string(prima->riga) + ")",
               "list the records in increasing order of position", v.colonna_numero(x, 0));
      prima = &x;
    }
  }

  void linea(const vista& v) {
    for (const voce& x : v.voci)
      if (x.tipo == genere_voce::lunghezza && !x.numeri.empty()) {
        lunghezza_ = x.n(0);
        if (x.n(0) == 0) avviso("W208", v, x, std::nullopt, "the route length is 0 m", "give the line's length in metres");
        else if (x.n(0) > 0 && x.n(0) < 1000)
          avviso("W209", v, x, std::nullopt,
                 "the route length is " + m(x.n(0)) + ": lengths are in metres, so every item past it is off the route",
                 "give the length in metres: " + std::to_string(int64_t{x.n(0)} * 1000) + " for " +
                     std::to_string(x.n(0)) + " km",
                 v.colonna_numero(x, 0));
        break;
      }
    ordine(v, genere_voce::pendenza, "gradients", true);
    ordine(v, genere_voce::montagna, "tunnels", false);
    ordine(v, genere_voce::indicatori, "speed indicator boards", false);
    ordine(v, genere_voce::cartello, "lineside signs", false);
    const voce* curva_prima = nullptr;
    const voce* montagna_prima = nullptr;
    for (const voce& x : v.voci) {
      if (!x.completa() && x.numeri.size() < 1) continue;
      switch (x.tipo) {
        case genere_voce::progressiva_uno: case genere_voce::progressiva_due: case genere_voce::progressiva_tre:
          if (x.numeri.size() == 3 && x.n(2) != 0 && x.n(2) != 1)
            avviso("W210", v, x, std::nullopt, "the chainage flag is " + std::to_string(x.n(2)) + ": only 1 adds the 100 m",
                   "write 0 or 1", v.colonna_numero(x, 2));
          break;
        case genere_voce::ripetizione:
          if (x.numeri.size() == 2 && x.n(1) != 0 && x.n(1) < x.n(0))
            avviso("W211", v, x, x.n(0), "the section with signal repetition ends (" + m(x.n(1)) + ") before it starts",
                   "write the start first, then the end", v.colonna_numero(x, 1));
          break;
        case genere_voce::curva: curva(v, x, curva_prima); curva_prima = &x; break;
        case genere_voce::pendenza: posizione(v, x, x.n(0), false, "gradient"); break;
        case genere_voce::montagna:
          posizione(v, x, x.n(0), false, "tunnel start");
          if (x.numeri.size() == 3 && x.n(1) <= x.n(0))
            avviso("W212", v, x, x.n(0), "the tunnel ends (" + m(x.n(1)) + ") before it starts", "write the start, then the end",
                   v.colonna_numero(x, 1));
          if (x.numeri.size() == 3 && x.n(2) != 1 && x.n(2) != 2 && x.n(2) != 11 && x.n(2) != 12)
            avviso("W213", v, x, x.n(0), "tunnel kind " + std::to_string(x.n(2)) + " is no kind", "write 1 or 2, plus 10 for markers",
                   v.colonna_numero(x, 2));
          if (x.numeri.size() == 3 && x.n(1) > x.n(0)) {
            if (!multiplo(x.n(1), 50))
              avviso("W214", v, x, x.n(0), "the tunnel's end " + m(x.n(1)) + " is not on the 50 m grid: it ends as if at " +
                                       m(cella_di(x.n(1)) * 50),
                     "write " + std::to_string(x.n(1) / 50 * 50) + " or " + std::to_string(x.n(1) / 50 * 50 + 50),
                     v.colonna_numero(x, 1));
            fine_oltre(v, x, x.n(1), "tunnel", 1);
            if (montagna_prima != nullptr && x.n(0) < montagna_prima->n(1))
              avviso("W215", v, x, x.n(0),
                     "this tunnel starts at " + m(x.n(0)) + ", inside the tunnel of line " +
                         std::to_string(montagna_prima->riga) + " (to " + m(montagna_prima->n(1)) +
                         "): the cells they share take this tunnel's kind",
                     "make the tunnels one record, or start this one where the other ends or later");
            montagna_prima = &x;
          }
          break;
        case genere_voce::indicatori:
          posizione(v, x, x.n(0), true, "board");
          if (std::any_of(x.numeri.begin() + 1, x.numeri.end(), [](int32_t n) { return n < 0; }))
            avviso("W216", v, x, x.n(0), "a speed or stripe count of the board is negative", "speeds and stripes are 0 or more");
          else if (x.numeri.size() == 9 && (x.n(4) > 9 || x.n(8) > 9))
            avviso("W217", v, x, x.n(0), "a stripe count above 9 cannot be taken apart from the other side's",
                   "write 0 to 9 stripes", v.colonna_numero(x, x.n(4) > 9 ? 4 : 8));
          break;
        case genere_voce::cartello:
          posizione(v, x, x.n(0), true, "sign");
          if (x.completa() && x.testo.empty()) avviso("W218", v, x, x.n(0), "the sign has no text", "write its inscription, such as (F)", x.colonna_testo);
          break;
        default: break;
      }
    }
  }

  void curva(const vista& v, const voce& x, const voce* prima) {
    const std::string p = in_minuscolo(x.parola);
    const bool esatta = p.size() == 7 && p.starts_with("curva") && (p[5] == 's' || p[5] == 'd') && p[6] >= '1' &&
                        p[6] <= '6';
    if (!esatta) {
      const bool sinistra = contiene(x.parola, "s") || contiene(x.parola, "S");
      char classe = 0;
      for (char c = '1'; c <= '6' && classe == 0; ++c)
        if (contiene(x.parola, std::string(1, c))) classe = c;
      if (classe != 0)
        avviso("W219", v, x, std::nullopt,
               "the keyword \"" + std::string(x.parola) + "\" is read as a curve to the " + (sinistra ? "left" : "right") +
                   " of class " + classe + ": any 's' makes it a left-hand curve",
               std::string("write `curva") + (sinistra ? 's' : 'd') + classe + "` or `curva" + (sinistra ? 'd' : 's') +
                   classe + "`");
    }
    if (x.numeri.size() < 2) return;
    if (x.n(1) <= 0) avviso("W220", v, x, x.n(0), "the curve's length is " + m(x.n(1)), "give the length of the curve in metres",
                                  v.colonna_numero(x, 1));
    if (x.n(0) >= 0 && !multiplo(x.n(0), 50))
      avviso("W221", v, x, x.n(0), "the curve's start " + m(x.n(0)) + " is not on the 50 m grid: it is placed as if at " +
                               m(int64_t{x.n(0)} / 50 * 50),
             "write " + std::to_string(x.n(0) / 50 * 50) + " or " + std::to_string(x.n(0) / 50 * 50 + 50), v.colonna_numero(x, 0));
    if (x.n(1) > 0 && !multiplo(x.n(1), 50))
      avviso("W222", v, x, x.n(0), "the curve's length " + m(x.n(1)) + " is not a multiple of 50 m: the curve covers whole 50 m cells only",
             "write " + std::to_string(x.n(1) / 50 * 50) + " or " + std::to_string(x.n(1) / 50 * 50 + 50), v.colonna_numero(x, 1));
    if (x.n(1) > 0) fine_oltre(v, x, int64_t{x.n(0)} + x.n(1), "curve", 1);
    if (prima != nullptr && prima->numeri.size() == 2 && x.n(0) < int64_t{prima->n(0)} + prima->n(1))
      avviso("W223", v, x, x.n(0),
             "this curve starts at " + m(x.n(0)) + ", before the previous one ends (" +
                 m(int64_t{prima->n(0)} + prima->n(1)) + ", line " + std::to_string(prima->riga) + ")",
             "list curves in increasing order, each starting where the one before ends or later");
  }

  void treno(const vista& v) {
    for (const voce& x : v.voci)
      if (x.tipo == genere_voce::orologio && x.numeri.size() == 3) {
        orologio_ = {&x, (int64_t{x.n(0)} * 60 + x.n(1)) * 60 + x.n(2)};
        break;
      }
    ordine(v, genere_voce::velocita, "speed limits", true);
    ordine(v, genere_voce::aderenza, "adhesion records", true);
    ordine(v, genere_voce::segnale, "signals", false);
    ordine(v, genere_voce::rallentamento, "slowdowns", false);
    ordine(v, genere_voce::abbattimento, "code points", false);
    sopra_i_rallentamenti(v);
    // The speed limits in file order, for each slowdown to find the one in
    // force where it starts among them rather than among all the records.
    const auto limite = [](const voce& y) { return y.tipo == genere_voce::velocita && y.numeri.size() == 2; };
    std::vector<const voce*> limiti;
    limiti.reserve(static_cast<size_t>(std::count_if(v.voci.begin(), v.voci.end(), limite)));
    for (const voce& y : v.voci)
      if (limite(y)) limiti.push_back(&y);
    for (const voce& x : v.voci) {
      if (x.numeri.empty()) continue;
      const int32_t a = x.n(0);
      switch (x.tipo) {
        case genere_voce::vetture:
          if (a <= 0 || a > 50)
            avviso("W224", v, x, std::nullopt, "the train has " + std::to_string(a) + " vehicles", "give 1 to 50 vehicles",
                   v.colonna_numero(x, 0));
          break;
        case genere_voce::massa:
          if (a <= 0 || a > 250)
            avviso("W225", v, x, std::nullopt, "a braked mass of " + std::to_string(a) + " % is not possible",
                   "give the braked-mass percentage, such as 105", v.colonna_numero(x, 0));
          break;
        case genere_voce::sabbia:
          if (a < 0) avviso("W226", v, x, std::nullopt, "the sand value is negative", "give 0 or more", v.colonna_numero(x, 0));
          break;
        case genere_voce::velocita:
          posizione(v, x, a, false, "speed limit");
          if (x.numeri.size() == 2 && x.n(1) <= 0)
            avviso("W227", v, x, a, "a speed limit of " + std::to_string(x.n(1)) + " km/h stops the train", "give the line speed in km/h",
                   v.colonna_numero(x, 1));
          else if (x.numeri.size() == 2 && x.n(1) > 300)
            avviso("W228", v, x, a, "a speed limit of " + std::to_string(x.n(1)) + " km/h is beyond any line",
                   "give the line speed in km/h, such as 120", v.colonna_numero(x, 1));
          else if (x.numeri.size() == 2 && x.in_piu().empty() && x.n(1) % 5 != 0)
            avviso("W229", v, x, a, "speed " + std::to_string(x.n(1)) + " km/h is kept in steps of 5: it becomes " +
                                std::to_string(arrotonda(x.n(1) / 5.0) * 5) + " km/h",
                   "write a multiple of 5", v.colonna_numero(x, 1));
          break;
        case genere_voce::aderenza:
          posizione(v, x, a, false, "adhesion");
          if (x.numeri.size() == 2 && (x.n(1) < 0 || x.n(1) > 100))
            avviso("W230", v, x, a, "an adhesion of " + std::to_string(x.n(1)) + " % is not possible" +
                                (x.n(1) > 255 || x.n(1) < 0 ? " (it is stored as " + std::to_string(basso8(x.n(1))) + ")" : ""),
                   "give a percentage from 0 to 100", v.colonna_numero(x, 1));
          break;
        case genere_voce::segnale:
          posizione(v, x, a, true, "signal");
          if (lunghezza_ && a == *lunghezza_)
            avviso("W231", v, x, a, "the signal stands at the route's end (" + m(a) + "), where the train never passes it",
                   "place it before the end of the route", v.colonna_numero(x, 0));
          if (x.numeri.size() == 11 &&
              (x.n(1) < 1 || x.n(1) > 2 || x.n(6) < 0 || x.n(6) > 2 || x.n(7) < 0 || x.n(7) > 9 || x.n(8) < 0 ||
               x.n(8) > 9 || x.n(9) < 0 || x.n(9) > 9))
            avviso("W232", v, x, a, "the signal's values cannot be taken apart again from its cell",
                   "keep sx 1 or 2, dx 0 to 2, and d1, d2, d3 within 0 to 9");
          break;
        case genere_voce::rallentamento:
          posizione(v, x, a, true, "slowdown");
          if (x.numeri.size() >= 3 && x.n(1) <= 0)
            avviso("W233", v, x, a, "a slowdown at " + std::to_string(x.n(1)) + " km/h stops the train", "give its speed in km/h",
                   v.colonna_numero(x, 1));
          if (x.numeri.size() >= 3 && x.n(2) == 0)
            avviso("W234", v, x, a, "the slowdown is 0 m long", "give its length in metres", v.colonna_numero(x, 2));
          if (x.numeri.size() >= 3 && x.n(2) > 0) fine_oltre(v, x, int64_t{a} + x.n(2), "slowdown", 2);
          if (x.numeri.size() >= 2 && x.n(1) > 0) {
            const voce* in_vigore = nullptr;  // the last speed limit at or before the slowdown's start
            for (const voce* y : limiti)
              if (y->n(0) <= a) in_vigore = y;
            if (in_vigore != nullptr && in_vigore->n(1) > 0 && x.n(1) > in_vigore->n(1))
              avviso("W235", v, x, a,
                     "the slowdown allows " + std::to_string(x.n(1)) + " km/h, more than the limit of " +
                         std::to_string(in_vigore->n(1)) + " km/h in force there (line " + std::to_string(in_vigore->riga) + ")",
                     "give a slowdown speed below the line's limit", v.colonna_numero(x, 1));
          }
          break;
        case genere_voce::abbattimento: posizione(v, x, a, false, "code point"); break;
        case genere_voce::stazione:
          if (lunghezza_ && a > *lunghezza_) posizione(v, x, a, false, "station");
          if (lunghezza_ && a == *lunghezza_)
            avviso("W236", v, x, a, "the station stands at the route's end (" + m(a) + "): its platform lies past the end",
                   "place it at least half its length before the end", v.colonna_numero(x, 0));
          stazione(v, x);
          // A point without a station cell (a junction, a former station) has no platform to measure.
          if (x.numeri.size() >= 3 && x.n(2) <= 0 && con_cella_stazione(x.n(1)))
            avviso("W237", v, x, a, "the station's length is " + m(x.n(2)), "give its length in metres, a multiple of 100",
                   v.colonna_numero(x, 2));
          if (x.completa() && x.testo.empty()) avviso("W238", v, x, a, "the station has no name", "write its name last", x.colonna_testo);
          break;
        default: break;
      }
    }
    namespace c = campo_stazione;
    if (ultima_ != nullptr && stazioni_ > 1 && ultima_->numeri.size() > c::secondi && ultima_->n(c::ore) == 0 &&
        ultima_->n(c::minuti) == 0 && ultima_->n(c::secondi) == 0)
      avviso("W239", v, *ultima_, ultima_->n(0), "the terminus has no scheduled time: the run has no end time",
             "give the terminus its arrival time", v.colonna_numero(*ultima_, c::ore));
    if (!v.voci.empty() && stazioni_ == 0)
      c_.aggiungi(gravita::avviso, "W240", v, 0, 0, std::nullopt, "the train file has no stations: the run has no timetable",
                  "list the stations under \"[stazioni]\", the origin first");
    if (v.ha_generale && !in_coda_o_altrove(v.dati, "[fine]"))
      c_.aggiungi(gravita::avviso, "W241", v, static_cast<int32_t>(v.inizi_riga.size()), 1, std::nullopt,
                  "the train file has no line \"[fine]\": it may be cut short",
                  "end the train file with a line \"[fine]\"");
  }

  // A station's kind, stop and time, and the clock against the first departure.
  void stazione(const vista& v, const voce& x) {
    namespace c = campo_stazione;
    if (x.numeri.size() <= c::secondi) return;
    const int32_t tipo = x.n(c::tipo);
    static constexpr int32_t noti[] = {2, 5, 6, 7, 8, 11, 12, 21, 22, 25, 27};
    if (std::find(std::begin(noti), std::end(noti), tipo) == std::end(noti))
      avviso("W242", v, x, x.n(0), "station kind " + std::to_string(tipo) + " is none the simulator is known to use",
             "use a kind of the built-in train file: 2, 11, 12, 21, 22, 25 or 27", v.colonna_numero(x, c::tipo));
    const bool senza_ora = x.n(c::ore) == 0 && x.n(c::minuti) == 0 && x.n(c::secondi) == 0;
    const bool prima = stazioni_ == 0;
    ++stazioni_;
    ultima_ = &x;
    if (senza_ora && (x.n(c::fermata) == 50 || x.n(c::fermata) == 60))
      avviso("W243", v, x, x.n(0), "the train stops here (stop value " + std::to_string(x.n(c::fermata)) +
                               ") but the station has no scheduled time",
             "give its time as hours, minutes, seconds", v.colonna_numero(x, c::ore));
    if (!senza_ora && orologio_ && prima) {
      const int64_t t = (int64_t{x.n(c::ore)} * 60 + x.n(c::minuti)) * 60 + x.n(c::secondi);
      if (t < orologio_->second)
        avviso("W244", v, *orologio_->first, std::nullopt,
               "the clock starts after the first departure (line " + std::to_string(x.riga) + ")",
               "start the clock before the first station's time", v.colonna_numero(*orologio_->first, 0));
    }
  }

  // A slowdown marks only its start and end cells: a signal or a station cell
  // between them stays, and the train meets it inside the slowdown, which is
  // seldom what the author meant.
  void sopra_i_rallentamenti(const vista& v) {
    namespace c = campo_stazione;
    const auto conta = [&](genere_voce g) {
      return std::count_if(v.voci.begin(), v.voci.end(), [g](const voce& x) { return x.tipo == g; });
    };
    if (conta(genere_voce::rallentamento) == 0) return;
    // The cells of the signals and station cells, in order, to look each slowdown's span up in.
    std::vector<std::pair<int64_t, const voce*>> celle;
    celle.reserve(static_cast<size_t>(conta(genere_voce::segnale) + conta(genere_voce::stazione)));
    bool prima = true;
    for (const voce& x : v.voci) {
      if (x.tipo == genere_voce::segnale && !x.numeri.empty()) {
        celle.emplace_back(cella_di(x.n(0), 1), &x);
      } else if (x.tipo == genere_voce::stazione && x.numeri.size() > c::flag3) {
        const int32_t tipo = x.n(c::tipo);
        const bool terzo = !prima && tipo != 5 && tipo != 6 && tipo != 7 && tipo != 8 && x.n(c::flag3) != 0;
        prima = false;
        if (con_cella_stazione(tipo))
          celle.emplace_back(cella_della_stazione(estensione_stazione(tipo, x.n(0), x.n(c::lunghezza), terzo).fine), &x);
      }
    }
    // By cell, and in file order within a cell: the records stand in file
    // order in one array, so their addresses order them as a stable sort
    // would, with no buffer of its own.
    std::sort(celle.begin(), celle.end());
    for (const voce& r : v.voci) {
      if (r.tipo != genere_voce::rallentamento || r.numeri.size() < 3 || r.n(2) <= 0) continue;
      const int64_t inizio = cella_di(r.n(0), 1), fine = cella_di(int64_t{r.n(0)} + r.n(2), 1);
      auto it = std::upper_bound(celle.begin(), celle.end(), inizio,
                                 [](int64_t n, const auto& e) { return n < e.first; });
      for (; it != celle.end() && it->first < fine; ++it) {
        const voce& x = *it->second;
        const std::string cosa = x.tipo == genere_voce::segnale ? "the signal at " + m(x.n(0))
                                                                : "the station cell of \"" + std::string(x.testo) + "\"";
        avviso("W251", v, r, r.n(0),
               "this slowdown, from " + m(r.n(0)) + " to " + m(int64_t{r.n(0)} + r.n(2)) + ", runs over " + cosa +
                   " (line " + std::to_string(x.riga) + ", cell " + std::to_string(it->first) + ")",
               "end the slowdown before it or start it after; if it is meant, check with --allow W251",
               v.colonna_numero(r, 2));
      }
    }
  }

  // A station cell takes its cell whatever the cell held: a board or sign of
  // the line file there is lost.
  void sotto_le_stazioni(const vista& l, const vista& t) {
    namespace c = campo_stazione;
    // The line file's boards and signs with their cells, in file order: each
    // station looks among them rather than among all the line's records.
    const auto sul_cartello = [](const voce& x) {
      return (x.tipo == genere_voce::indicatori || x.tipo == genere_voce::cartello) && !x.numeri.empty();
    };
    std::vector<std::pair<int64_t, const voce*>> cartelli;
    cartelli.reserve(static_cast<size_t>(std::count_if(l.voci.begin(), l.voci.end(), sul_cartello)));
    for (const voce& x : l.voci)
      if (sul_cartello(x)) cartelli.emplace_back(cella_della_voce(formato_di(x.tipo).cella, x.n(0)), &x);
    bool prima = true;
    for (const voce& s : t.voci) {
      if (s.tipo != genere_voce::stazione || s.numeri.size() <= c::flag3) continue;
      const int32_t tipo = s.n(c::tipo);
      const bool terzo = !prima && tipo != 5 && tipo != 6 && tipo != 7 && tipo != 8 && s.n(c::flag3) != 0;
      prima = false;
      if (!con_cella_stazione(tipo)) continue;
      const int64_t cella =
          cella_della_stazione(estensione_stazione(tipo, s.n(0), s.n(c::lunghezza), terzo).fine);
      for (const auto& [cella_x, px] : cartelli) {
        if (cella_x != cella) continue;
        const voce& x = *px;
        const std::string cosa = x.tipo == genere_voce::cartello ? "sign \"" + std::string(x.testo) + "\"" : std::string("board");
        avviso("W245", l, x, x.n(0),
               "this " + cosa + " at " + testo_luogo(c_.modello(), x.n(0), formato_di(x.tipo).cella, "\x96") +
                   " is lost: its cell is taken by the station cell of \"" + std::string(s.testo) + "\" (" + t.nome + " line " +
                   std::to_string(s.riga) + ")",
               "move it at least 50 m away from the station's end", l.colonna_numero(x, 0));
      }
    }
  }

  // Inputs that are not what they should be: an empty train file, the files
  // swapped, the same file twice.
  void ingressi() {
    const auto file = [&](const char* sigla, const vista& v, std::string msg, std::string hint) {
      c_.aggiungi(gravita::avviso, sigla, v, 0, 0, std::nullopt, std::move(msg), std::move(hint));
    };
    if (c_.treno) {
      const vista& t = *c_.treno;
      const bool vuoto = t.dati.find_first_not_of(" \t\r\n") == std::string_view::npos;
      // A train file with records is none of a line file's: its text is searched only when it has none.
      const auto di_linea = [&] {
        return contiene_senza_caso(t.dati, "lunghezza") && contiene_senza_caso(t.dati, "percorso");
      };
      if (vuoto)
        file("W246", t, "the train file is empty: the scenario gets no train, stations or signals",
             "give the train file as --train; `tracciato sources` writes one to start from");
      else if (t.voci.empty() && di_linea()) {
        file("W247", t, "this looks like a line file (it gives a route length), not a train file",
             "give the train file as --train and the line file as --line");
        c_.scambiati = true;
      }
      else if (!t.ha_generale)
        file("W248", t, "the train file has no line \"[generale]\": nothing in it is read",
             "begin the train file with a line \"[generale]\"");
    }
    if (c_.linea) {
      const vista& l = *c_.linea;
      const bool lunghezza = std::any_of(l.voci.begin(), l.voci.end(),
                                         [](const voce& x) { return x.tipo == genere_voce::lunghezza; });
      if (!lunghezza && contiene_senza_caso(l.dati, "stazione")) {
        file("W249", l, "this looks like a train file (it has stations and no route length), not a line file",
             "give the line file as --line and the train file as --train");
        c_.scambiati = true;
      }
    }
    if (c_.linea && c_.treno && !c_.treno->dati.empty() &&
        (c_.linea->nome == c_.treno->nome || c_.linea->dati == c_.treno->dati))
      file("W250", *c_.treno, "the same file is given as the line file and as the train file",
           "give the line file as --line and the train file as --train");
  }

  contesto_controllo& c_;
  std::optional<int32_t> lunghezza_;
  int stazioni_ = 0;
  const voce* ultima_ = nullptr;
  std::optional<std::pair<const voce*, int64_t>> orologio_;  // the clock record and its time in seconds
};

}  // namespace

void avvisi_dei_valori(contesto_controllo& c) { avvisi(c).esegui(); }

}  // namespace tracciato
