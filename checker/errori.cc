// The faults of the compile, found by the loader itself: the check runs the
// same load on the same texts, so every fault has the compile's number and
// place. Where the compile would stop, the record at fault is blanked out and
// the load runs again, until nothing stops it.
#include <set>
#include <tuple>

#include "checker/interno.h"
#include "compactor/compila.h"
#include "loader/campi.h"
#include "model/errori.h"
#include "model/numeri.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

// A line long enough for any train file: its items are never beyond the grid.
constexpr std::string_view linea_ampia = "[generale]\r\nlunghezza percorso, 1000000\r\n[fine]\r\n";

// Blanks the bytes of line riga (not its line end): the loader then reads one
// empty field there, which is no record. False when there was nothing to blank.
bool cancella_riga(std::string& testo, const vista& v, int32_t riga) {
  if (riga < 1 || static_cast<size_t>(riga) > v.inizi_riga.size()) return false;
  bool cambiato = false;
  for (size_t i = v.inizi_riga[static_cast<size_t>(riga - 1)]; i < testo.size() && testo[i] != '\r' && testo[i] != '\n';
       ++i) {
    cambiato = cambiato || testo[i] != ' ';
    testo[i] = ' ';
  }
  return cambiato;
}

// A text as the load reads it: the author's own, until a record of it must
// be blanked out; then a copy, so that a big file is held twice only when
// it has to be.
class testo_caricato {
 public:
  explicit testo_caricato(const testo_sorgente& originale) : originale_(originale) {}
  const testo_sorgente& attuale() const { return copia_ ? *copia_ : originale_; }
  std::string& da_cambiare() {
    if (!copia_) copia_ = originale_;
    return copia_->dati;
  }

 private:
  const testo_sorgente& originale_;
  std::optional<testo_sorgente> copia_;
};

std::string_view nome_cella(uint8_t t) {
  switch (t) {
    case cella_segnale: return "a signal";
    case cella_fine_rallentamento: return "a slowdown end";
    case cella_inizio_rallentamento: return "a slowdown start";
    case cella_avviso_rallentamento: return "a slowdown warning board";
    case cella_preavviso: return "a slowdown pre-warning cell";
    case cella_indicatore_v_max: return "a speed indicator board";
    case cella_stazione: return "a station cell";
    case cella_punto_codice:
    case cella_punto_codice_senza_valore: return "a code point";
    case cella_cartello: return "a lineside sign";
    default: return "something";
  }
}

// What to do about each fault: the table's hint, fault 15's with the last
// position of this grid.
std::string rimedio(int32_t numero, const scenario& s) { return rimedio_errore(numero, ultima_cella(s)); }

std::string significato(int32_t numero) {
  const voce_errore* e = cerca_errore(numero);
  return e != nullptr ? std::string(e->significato) : "unknown fault";
}

class errori {
 public:
  errori(contesto_controllo& c, const testo_sorgente& linea, const testo_sorgente& treno, bool presente)
      : c_(c), linea_(linea), treno_(treno), presente_(presente) {}

  void esegui() {
    const testo_sorgente ampia{linea_.nome, std::string(linea_ampia), linea_.guasto};
    testo_caricato l(presente_ ? linea_ : ampia);
    testo_caricato t(treno_);
    const int giri = giri_del_carico(l.attuale().dati.size() + t.attuale().dati.size());
    size_t carico = 0;
    for (int giro = 0; giro < giri; ++giro) {
      compilazione c = compila_in_memoria(l.attuale(), t.attuale(), "S", "T", presente_ ? 1 : 0);
      bool ancora = false;
      for (size_t i = 0; i < c.guasti_carico; ++i) ancora = riporta(c.modello, i, l, t) || ancora;
      c_.finale = std::move(c.modello);
      carico = c.guasti_carico;
      c_.giri = giro + 1;
      // Without a grid nothing later in the line can be loaded.
      if (!ancora || c_.finale.celle.empty()) break;
      c_.carico_interrotto = giro + 1 == giri;
    }
    // The faults of the walk and the stamps, from the last compile.
    const scenario& s = c_.finale;
    for (size_t i = carico; i < s.guasti.size(); ++i)
      if (s.guasti[i].numero != s.arresto) compattatore(s.guasti[i]);
    riservati(s);
  }

 private:
  const vista* vista_di(const guasto& g) const {
    if (presente_ && c_.linea && g.file == linea_.nome && !linea_.nome.empty()) return &*c_.linea;
    if (c_.treno && g.file == treno_.nome) return &*c_.treno;
    return nullptr;
  }

  // Reports fault i of s unless seen before; true when its record was
  // blanked out for the next load.
  bool riporta(const scenario& s, size_t i, testo_caricato& l, testo_caricato& t) {
    const guasto& g = s.guasti[i];
    if (!presente_ && g.file != treno_.nome && g.numero != e_progressiva_non_multipla) return false;
    if (!visti_.insert({g.numero, g.file, g.riga, g.colonna, g.con_posizione ? g.posizione : -1, g.causa >= 0})
             .second)
      return false;
    const vista* v = vista_di(g);
    std::optional<int32_t> posizione;
    if (g.con_posizione) posizione = g.posizione;
    problema p;
    p.codice = g.numero;
    p.file = g.file;
    p.riga = g.riga;
    p.colonna = g.colonna;
    p.posizione = posizione;
    p.messaggio = significato(g.numero);
    p.suggerimento = rimedio(g.numero, s);
    if (g.causa >= 0 && static_cast<size_t>(g.causa) < s.guasti.size()) {
      // The compile stops here only because of an earlier fault.
      const guasto& prima = s.guasti[static_cast<size_t>(g.causa)];
      p.livello = gravita::avviso;
      p.sigla = "W403";
      p.codice.reset();
      p.messaggio = "the compile stops the load at this item and reports fault " + std::to_string(prima.numero) +
                    " here, because of the fault " + std::to_string(prima.numero) + " at line " +
                    std::to_string(prima.riga) + " of " + prima.file;
      p.suggerimento = "mend that fault; nothing is wrong with this record";
      c_.problemi.push_back(std::move(p));
      return false;
    }
    if (g.numero == e_progressiva_non_multipla) return progressiva(s, p);
    int32_t riga = g.riga;
    if (g.numero == e_lettura && v != nullptr && g.riga > 0) {
      riga = lettura(*v, g, p);
    } else if (!g.dettaglio.empty()) {
      p.messaggio += " (" + g.dettaglio + ")";
    }
    // A fault of a value: at the field that holds it, not at the keyword.
    if (v != nullptr && g.numero != e_lettura && (g.con_posizione || g.numero == e_lunghezza_stazione || g.numero == e_lunghezza_percorso))
      if (const voce* x = v->voce_alla_riga(g.riga); x != nullptr && x->colonna == g.colonna) {
        const size_t campo = g.numero == e_lunghezza_stazione ? campo_stazione::lunghezza : 0;
        if (campo < x->numeri.size()) p.colonna = v->colonna_numero(*x, campo);
      }
    occupante(s, g, p);
    if (g.numero == e_stazioni_vicine && v != nullptr) stazioni_vicine(*v, g, p);
    c_.problemi.push_back(std::move(p));
    if (v == nullptr || riga < 1) return false;
    return cancella_riga(c_.treno && v == &*c_.treno ? t.da_cambiare() : l.da_cambiare(), *v, riga);
  }

  // A read failure belongs to the record whose fields were being read.
  int32_t lettura(const vista& v, const guasto& g, problema& p) {
    const voce* r = v.voce_prima(g.riga, g.colonna);
    if (r == nullptr) {
      p.messaggio += " (" + g.dettaglio + ")";
      return g.riga;
    }
    const record_formato& f = formato_di(r->tipo);
    const std::string tutti = std::to_string(f.campi.size());
    p.riga = r->riga;
    p.colonna = r->colonna;
    const std::string_view parola = r->parola;
    if (contiene(g.dettaglio, "no route length")) {
      // Not the record's fault: the line file never gave its length.
      p.riga = 1;
      p.colonna = 0;
      for (int32_t i = 1; i <= static_cast<int32_t>(v.inizi_riga.size()); ++i)
        if (contiene_senza_caso(v.riga(i), "[generale]")) {
          p.riga = i;
          p.colonna = 1;
          break;
        }
      p.messaggio = "the line file gives no route length, so the cell grid does not exist and the compile fails at "
                    "the first record after the general section (line " + std::to_string(r->riga) + ")";
      p.suggerimento = "give the route length in metres in the general section, such as `lunghezza percorso, 45000`";
      return r->riga;
    }
    if (!r->campo_in_piu_di().empty()) {
      p.messaggio = citazione(r->parola) + ", a field too many of the `" + r->campo_in_piu_di() + "` record, holds `" +
                    std::string(f.parola) + "` and starts that record, which reads on into line " +
                    std::to_string(g.riga) + " for its " + tutti + " fields and fails there: " + g.dettaglio;
      p.suggerimento = "remove the field, or join it to the text before it with a blank: a text cannot hold a comma";
    } else if (parola.starts_with("#") || parola.starts_with(";") || parola.starts_with("//")) {
      // A comment that holds a keyword: to the loader it is that record.
      p.messaggio = "this line looks like a comment, but it holds `" + std::string(f.parola) +
                    "` and is read as that record, whose fields it lacks, so the compile fails: " + g.dettaglio;
      p.suggerimento = "this format has no comments: delete the line";
    } else if (r->mancanti > 0 && g.riga != r->riga) {
      p.messaggio = "the `" + std::string(f.parola) + "` record lacks " + std::to_string(r->mancanti) + " of its " +
                    tutti + " fields, so the compile reads on into line " + std::to_string(g.riga) +
                    " and fails there: " + g.dettaglio;
      p.suggerimento = "write the record whole on its line: " + std::string(f.parola) + ", " + f.elenco_campi();
    } else {
      p.messaggio = "a field of this `" + std::string(f.parola) + "` record does not read: " + g.dettaglio;
      if (g.riga == r->riga && g.colonna > 0) p.colonna = g.colonna;  // the field itself
      const std::string& c = r->campo_illeggibile();
      const size_t punto = c.find_first_of(".,");
      if (!c.empty() && punto != std::string::npos && punto > 0 &&
          c.find_first_not_of("0123456789-+.,") == std::string::npos) {
        const std::string intero = c.substr(0, punto);
        const long long x = std::atoll(intero.c_str());
        p.suggerimento = "write " + std::to_string(x) + " or " + std::to_string(x + (x < 0 ? -1 : 1)) +
                         ": numbers are whole";
      } else if (contiene(g.dettaglio, "does not fit")) {
        p.suggerimento = "give a value within the field's range (docs/format.md lists each field's width)";
      } else {
        p.suggerimento = "a `" + std::string(f.parola) + "` record has " + tutti +
                         (tutti == "1" ? " field: " : " fields: ") + f.elenco_campi();
      }
    }
    return r->riga;
  }

  // Fault 2 names no record: point at the chainage references that cause it.
  bool progressiva(const scenario& s, problema p) {
    bool trovata = false;
    if (c_.linea)
      for (const voce& v : c_.linea->voci) {
        if (v.tipo != genere_voce::progressiva_uno && v.tipo != genere_voce::progressiva_due &&
            v.tipo != genere_voce::progressiva_tre)
          continue;
        if (multiplo(v.n(0), 50) && multiplo(v.n(1), 50)) continue;
        problema q = p;
        q.file = c_.linea->nome;
        q.riga = v.riga;
        q.colonna = v.colonna;
        q.messaggio += ": this one reads " + std::to_string(v.n(0)) + " m, " + std::to_string(v.n(1));
        c_.problemi.push_back(std::move(q));
        trovata = true;
      }
    if (!trovata) {
      p.file = linea_.nome;
      c_.problemi.push_back(std::move(p));
    }
    (void)s;
    return false;
  }

  // What stands in the cell that refused the item.
  void occupante(const scenario& s, const guasto& g, problema& p) {
    if (!g.con_posizione) return;
    int64_t cella = -1;
    switch (g.numero) {
      case e_cartello_occupato: case e_segnale_occupato: case e_indicatore_occupato: case e_inizio_occupato:
        cella = cella_di(g.posizione, 1);
        break;
      case e_abbattimento_occupato: cella = cella_di(g.posizione); break;
      default: return;
    }
    if (!in_griglia(s, cella)) return;
    p.messaggio += ": cell " + std::to_string(cella) + " (" + std::to_string(cella * 50) + " to " +
                   std::to_string(cella * 50 + 49) + " m) already holds " +
                   std::string(nome_cella(s.celle[static_cast<size_t>(cella)].tipo_cella));
    // The record that took the cell first, where one of the files places an item there.
    for (const std::optional<vista>* v : {&c_.linea, &c_.treno}) {
      if (!*v) continue;
      for (const voce& x : (*v)->voci) {
        const bool occupa = x.tipo == genere_voce::segnale || x.tipo == genere_voce::indicatori ||
                            x.tipo == genere_voce::cartello || x.tipo == genere_voce::rallentamento ||
                            x.tipo == genere_voce::abbattimento;
        if (!occupa || x.numeri.empty() || (x.riga == g.riga && (*v)->nome == g.file)) continue;
        const cella_voce cv = formato_di(x.tipo).cella;
        if (cv == cella_voce::nessuna || cv == cella_voce::stazione || cella_della_voce(cv, x.n(0)) != cella) continue;
        p.messaggio += " (" + (*v)->nome + " line " + std::to_string(x.riga) + ")";
        return;
      }
    }
  }

  void stazioni_vicine(const vista& v, const guasto& g, problema& p) {
    const voce* questa = v.voce_alla_riga(g.riga);
    const voce* prima = nullptr;
    for (const voce& x : v.voci) {
      if (&x == questa) break;
      if (x.tipo == genere_voce::stazione) prima = &x;
    }
    if (questa != nullptr && prima != nullptr && questa->n(0) <= prima->n(0))
      p.suggerimento = "list stations in increasing order of position: this one at " + std::to_string(questa->n(0)) +
                       " m comes after the one at " + std::to_string(prima->n(0)) + " m (line " +
                       std::to_string(prima->riga) + ")";
  }

  // A fault of the compactor, at the slowdown or signal it concerns.
  void compattatore(const guasto& g) {
    problema p;
    p.codice = g.numero;
    p.file = treno_.nome;
    if (g.con_posizione) p.posizione = g.posizione;
    p.messaggio = significato(g.numero);
    p.suggerimento = rimedio(g.numero, c_.finale);
    if (c_.treno)
      for (const voce& v : c_.treno->voci) {
        if (!v.completa()) continue;
        bool questa = false;
        if (g.numero == e_codice_prima_segnale)
          questa = v.tipo == genere_voce::segnale && cella_di(v.n(0), 1) * 50 == g.posizione;
        else if (v.tipo == genere_voce::rallentamento)
          questa = cella_di(v.n(0), 1) * 50 == g.posizione ||
                   (g.numero == e_codice_dentro && cella_di(v.n(0), 1) * 50 <= g.posizione &&
                    g.posizione <= cella_di(int64_t{v.n(0)} + v.n(2), 1) * 50);
        if (questa) {
          p.riga = v.riga;
          p.colonna = v.colonna;
          break;
        }
      }
    c_.problemi.push_back(std::move(p));
  }

  // A reserved place of cell 1 or slot 85 in use, as the stamps found it.
  void riservati(const scenario& s) {
    const int32_t numero = s.arresto;
    if (numero == 0) return;
    problema p;
    p.codice = numero;
    p.messaggio = significato(numero) + ": the compile stops and writes no file";
    p.suggerimento = rimedio(numero, s);
    // The item in cell 1.
    for (const std::optional<vista>* v : {&c_.linea, &c_.treno}) {
      if (!*v || !p.file.empty()) continue;
      for (const voce& x : (*v)->voci) {
        if (x.numeri.empty()) continue;
        const bool piu_uno = x.tipo == genere_voce::segnale || x.tipo == genere_voce::indicatori ||
                             x.tipo == genere_voce::cartello || x.tipo == genere_voce::rallentamento;
        if ((piu_uno && cella_di(x.n(0), 1) == 1) || (x.tipo == genere_voce::abbattimento && cella_di(x.n(0)) == 1)) {
          p.file = (*v)->nome;
          p.riga = x.riga;
          p.colonna = x.colonna;
          p.posizione = x.n(0);
          break;
        }
      }
    }
    c_.problemi.push_back(std::move(p));
  }

  contesto_controllo& c_;
  const testo_sorgente& linea_;
  const testo_sorgente& treno_;
  bool presente_;
  std::set<std::tuple<int32_t, std::string, int32_t, int32_t, int32_t, bool>> visti_;
};

}  // namespace

void errori_del_carico(contesto_controllo& c, const testo_sorgente& linea, const testo_sorgente& treno,
                       bool linea_presente) {
  errori(c, linea, treno, linea_presente).esegui();
}

}  // namespace tracciato
