// Warnings on the values of the records: what the compile accepts silently
// but an author most likely did not mean.
#include <algorithm>
#include <cctype>

#include "checker/interno.h"
#include "model/numeri.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

std::string m(int64_t metri) { return std::to_string(metri) + " m"; }

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
    ingressi();
  }

 private:
  void avviso(const vista& v, const voce& x, std::optional<int32_t> pos, std::string msg, std::string hint,
              int32_t colonna = 0) {
    c_.aggiungi(gravita::avviso, v, x.riga, colonna > 0 ? colonna : x.colonna, pos, std::move(msg), std::move(hint));
  }

  // Text saved as UTF-8 goes into the tables byte for byte.
  void codifica(const vista& v) {
    if (v.dati.starts_with("\xEF\xBB\xBF")) {
      c_.aggiungi(gravita::avviso, v, 1, 1, std::nullopt,
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
    c_.aggiungi(gravita::avviso, v, riga, colonna, std::nullopt,
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
      avviso(v, x, p,
             std::string(cosa) + " position not on the 50 m grid: it is placed as if at " + m(letta),
             "write " + std::to_string(sotto) + " or " + std::to_string(sotto + 50));
    }
    // Beyond the grid itself it is the compile's fault 15, not a warning.
    if (lunghezza_ && p > *lunghezza_ && (int64_t{p} + 100) <= cella_di(int64_t{*lunghezza_} + 7000) * 50)
      avviso(v, x, p,
             std::string(cosa) + " past the end of the route (" + m(*lunghezza_) +
                 "), in the 7000 m run-out beyond it",
             "check the position, or the route length in the line file");
  }

  // Records of one kind in increasing order of position, the first at 0.
  void ordine(const vista& v, genere_voce t, std::string_view cosa, bool da_zero) {
    const voce* prima = nullptr;
    for (const voce& x : v.voci) {
      if (x.tipo != t || x.numeri.empty()) continue;
      if (prima == nullptr && da_zero && x.n(0) != 0)
        avviso(v, x, x.n(0),
               "the first of the " + std::string(cosa) + " stands at " + m(x.n(0)) +
                   ": the cells before it get 0",
               "write the first record at position 0");
      if (prima != nullptr && x.n(0) <= prima->n(0))
        avviso(v, x, x.n(0),
               std::string(cosa) + " out of order: this one at " + m(x.n(0)) + " follows the one at " +
                   m(prima->n(0)) + " (line " + std::to_string(prima->riga) + ")",
               "list the records in increasing order of position");
      prima = &x;
    }
  }

  void linea(const vista& v) {
    for (const voce& x : v.voci)
      if (x.tipo == genere_voce::lunghezza && !x.numeri.empty()) {
        lunghezza_ = x.n(0);
        if (x.n(0) == 0) avviso(v, x, std::nullopt, "the route length is 0 m", "give the line's length in metres");
        break;
      }
    ordine(v, genere_voce::pendenza, "gradients", true);
    ordine(v, genere_voce::montagna, "tunnels", false);
    const voce* curva_prima = nullptr;
    for (const voce& x : v.voci) {
      if (!x.completa() && x.numeri.size() < 1) continue;
      switch (x.tipo) {
        case genere_voce::progressiva_uno: case genere_voce::progressiva_due: case genere_voce::progressiva_tre:
          if (x.numeri.size() == 3 && x.n(2) != 0 && x.n(2) != 1)
            avviso(v, x, std::nullopt, "the chainage flag is " + std::to_string(x.n(2)) + ": only 1 adds the 100 m",
                   "write 0 or 1");
          break;
        case genere_voce::ripetizione:
          if (x.numeri.size() == 2 && x.n(1) != 0 && x.n(1) < x.n(0))
            avviso(v, x, x.n(0), "the section with signal repetition ends (" + m(x.n(1)) + ") before it starts",
                   "write the start first, then the end");
          break;
        case genere_voce::curva: curva(v, x, curva_prima); curva_prima = &x; break;
        case genere_voce::pendenza: posizione(v, x, x.n(0), false, "gradient"); break;
        case genere_voce::montagna:
          posizione(v, x, x.n(0), false, "tunnel start");
          if (x.numeri.size() == 3 && x.n(1) <= x.n(0))
            avviso(v, x, x.n(0), "the tunnel ends (" + m(x.n(1)) + ") before it starts", "write the start, then the end");
          if (x.numeri.size() == 3 && x.n(2) <= 0)
            avviso(v, x, x.n(0), "tunnel kind " + std::to_string(x.n(2)) + " is no kind", "write 1 or 2, plus 10 for markers");
          break;
        case genere_voce::indicatori:
          posizione(v, x, x.n(0), true, "board");
          if (std::any_of(x.numeri.begin() + 1, x.numeri.end(), [](int32_t n) { return n < 0; }))
            avviso(v, x, x.n(0), "a speed or stripe count of the board is negative", "speeds and stripes are 0 or more");
          else if (x.numeri.size() == 9 && (x.n(4) > 9 || x.n(8) > 9))
            avviso(v, x, x.n(0), "a stripe count above 9 cannot be taken apart from the other side's",
                   "write 0 to 9 stripes");
          break;
        case genere_voce::cartello:
          posizione(v, x, x.n(0), true, "sign");
          if (x.completa() && x.testo.empty()) avviso(v, x, x.n(0), "the sign has no text", "write its inscription, such as (F)");
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
        avviso(v, x, std::nullopt,
               "the keyword \"" + x.parola + "\" is read as a curve to the " + (sinistra ? "left" : "right") +
                   " of class " + classe + ": any 's' makes it a left-hand curve",
               std::string("write `curva") + (sinistra ? 's' : 'd') + classe + "` or `curva" + (sinistra ? 'd' : 's') +
                   classe + "`");
    }
    if (x.numeri.size() < 2) return;
    if (x.n(1) <= 0) avviso(v, x, x.n(0), "the curve's length is " + m(x.n(1)), "give the length of the curve in metres");
    if (prima != nullptr && prima->numeri.size() == 2 && x.n(0) < int64_t{prima->n(0)} + prima->n(1))
      avviso(v, x, x.n(0),
             "this curve starts at " + m(x.n(0)) + ", before the previous one ends (" +
                 m(int64_t{prima->n(0)} + prima->n(1)) + ", line " + std::to_string(prima->riga) + ")",
             "list curves in increasing order, each starting where the one before ends or later");
  }

  void treno(const vista& v) {
    ordine(v, genere_voce::velocita, "speed limits", true);
    ordine(v, genere_voce::aderenza, "adhesion records", true);
    for (const voce& x : v.voci) {
      if (x.numeri.empty()) continue;
      const int32_t a = x.n(0);
      switch (x.tipo) {
        case genere_voce::vetture:
          if (a <= 0) avviso(v, x, std::nullopt, "the train has " + std::to_string(a) + " vehicles", "give 1 or more vehicles");
          break;
        case genere_voce::massa:
          if (a <= 0 || a > 250)
            avviso(v, x, std::nullopt, "a braked mass of " + std::to_string(a) + " % is not possible",
                   "give the braked-mass percentage, such as 105");
          break;
        case genere_voce::sabbia:
          if (a < 0) avviso(v, x, std::nullopt, "the sand value is negative", "give 0 or more");
          break;
        case genere_voce::velocita:
          posizione(v, x, a, false, "speed limit");
          if (x.numeri.size() == 2 && x.n(1) <= 0)
            avviso(v, x, a, "a speed limit of " + std::to_string(x.n(1)) + " km/h stops the train", "give the line speed in km/h");
          else if (x.numeri.size() == 2 && x.in_piu.empty() && x.n(1) % 5 != 0)
            avviso(v, x, a, "speed " + std::to_string(x.n(1)) + " km/h is kept in steps of 5: it becomes " +
                                std::to_string(arrotonda(x.n(1) / 5.0) * 5) + " km/h",
                   "write a multiple of 5");
          break;
        case genere_voce::aderenza:
          posizione(v, x, a, false, "adhesion");
          if (x.numeri.size() == 2 && (x.n(1) < 0 || x.n(1) > 100))
            avviso(v, x, a, "an adhesion of " + std::to_string(x.n(1)) + " % is not possible" +
                                (x.n(1) > 255 || x.n(1) < 0 ? " (it is stored as " + std::to_string(basso8(x.n(1))) + ")" : ""),
                   "give a percentage from 0 to 100");
          break;
        case genere_voce::segnale:
          posizione(v, x, a, true, "signal");
          if (x.numeri.size() == 11 &&
              (x.n(1) < 1 || x.n(1) > 2 || x.n(6) < 0 || x.n(6) > 2 || x.n(7) < 0 || x.n(7) > 9 || x.n(8) < 0 ||
               x.n(8) > 9 || x.n(9) < 0 || x.n(9) > 9))
            avviso(v, x, a, "the signal's values cannot be taken apart again from its cell",
                   "keep sx 1 or 2, dx 0 to 2, and d1, d2, d3 within 0 to 9");
          break;
        case genere_voce::rallentamento:
          posizione(v, x, a, true, "slowdown");
          if (x.numeri.size() >= 3 && x.n(1) <= 0)
            avviso(v, x, a, "a slowdown at " + std::to_string(x.n(1)) + " km/h stops the train", "give its speed in km/h");
          if (x.numeri.size() >= 3 && x.n(2) == 0)
            avviso(v, x, a, "the slowdown is 0 m long", "give its length in metres");
          break;
        case genere_voce::abbattimento: posizione(v, x, a, false, "code point"); break;
        case genere_voce::stazione:
          if (lunghezza_ && a > *lunghezza_) posizione(v, x, a, false, "station");
          if (x.numeri.size() >= 3 && x.n(2) <= 0)
            avviso(v, x, a, "the station's length is " + m(x.n(2)), "give its length in metres, a multiple of 100");
          if (x.completa() && x.testo.empty()) avviso(v, x, a, "the station has no name", "write its name last");
          break;
        default: break;
      }
    }
  }

  // Inputs that are not what they should be: an empty train file, the files
  // swapped, the same file twice.
  void ingressi() {
    const auto file = [&](const vista& v, std::string msg, std::string hint) {
      c_.aggiungi(gravita::avviso, v, 0, 0, std::nullopt, std::move(msg), std::move(hint));
    };
    if (c_.treno) {
      const vista& t = *c_.treno;
      const bool vuoto = t.dati.find_first_not_of(" \t\r\n") == std::string_view::npos;
      const bool di_linea = contiene_senza_caso(t.dati, "lunghezza") && contiene_senza_caso(t.dati, "percorso");
      if (vuoto)
        file(t, "the train file is empty: the scenario gets no train, stations or signals",
             "give the train file as --train; `tracciato sources` writes one to start from");
      else if (di_linea && t.voci.empty())
        file(t, "this looks like a line file (it gives a route length), not a train file",
             "give the train file as --train and the line file as --line");
      else if (!t.ha_generale)
        file(t, "the train file has no line \"[generale]\": nothing in it is read",
             "begin the train file with a line \"[generale]\"");
    }
    if (c_.linea) {
      const vista& l = *c_.linea;
      const bool lunghezza = std::any_of(l.voci.begin(), l.voci.end(),
                                         [](const voce& x) { return x.tipo == genere_voce::lunghezza; });
      if (!lunghezza && contiene_senza_caso(l.dati, "stazione"))
        file(l, "this looks like a train file (it has stations and no route length), not a line file",
             "give the line file as --line and the train file as --train");
    }
    if (c_.linea && c_.treno && !c_.treno->dati.empty() &&
        (c_.linea->nome == c_.treno->nome || c_.linea->dati == c_.treno->dati))
      file(*c_.treno, "the same file is given as the line file and as the train file",
           "give the line file as --line and the train file as --train");
  }

  contesto_controllo& c_;
  std::optional<int32_t> lunghezza_;
};

}  // namespace

void avvisi_dei_valori(contesto_controllo& c) { avvisi(c).esegui(); }

}  // namespace tracciato
