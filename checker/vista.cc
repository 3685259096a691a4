// The line-by-line view of a scenario text file, and the warnings that a
// single line shows: keywords that read as nothing, records in the wrong
// file or section, fields missing or left over, comment-like lines.
#include "checker/vista.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <span>

#include "loader/campi.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

bool numerico(std::string_view c) {
  return !c.empty() && std::all_of(c.begin(), c.end(), [](char x) {
    return std::isdigit(static_cast<unsigned char>(x)) || x == '-' || x == '+' || x == ' ' || x == '\t';
  });
}

bool intestazione(std::string_view c) { return c.size() >= 2 && c.front() == '[' && c.back() == ']'; }

bool sembra_commento(std::string_view c) {
  return c.starts_with("#") || c.starts_with(";") || c.starts_with("//");
}

std::string nome_file(tipo_file f) { return f == tipo_file::linea ? "line file" : "train file"; }

// Where the line from i ends: at its first CR or LF, else at the end of d.
size_t fine_riga(std::string_view d, size_t i) {
  const size_t lf = std::min(d.find('\n', i), d.size());
  return std::min(d.substr(0, lf).find('\r', i), lf);
}

class lettura_vista {
 public:
  lettura_vista(vista& v, std::vector<problema>& avvisi) : v_(v), avvisi_(avvisi) {}

  void leggi() {
    const std::string_view d = v_.dati;
    // Room for a record per line at once: growing by doubling would hold
    // twice the records' memory at its peak. A file of many empty lines
    // reserves only a bounded room.
    size_t righe = 1, virgole = 0;  // counted in one pass
    for (const char c : d) {
      righe += c == '\n';
      virgole += c == ',';
    }
    v_.inizi_riga.reserve(righe);
    v_.voci.reserve(std::min<size_t>(righe, size_t{1} << 16));
    quanti_.reserve(v_.voci.capacity());
    // A number for about every comma: the numbers of a file as it is
    // usually written, reserved at once and touched only as used.
    v_.numeri.reserve(std::min<size_t>(virgole + righe, size_t{1} << 20));
    for (size_t i = 0; i <= d.size();) {
      v_.inizi_riga.push_back(i);
      const size_t fine = fine_riga(d, i);
      size_t dopo = fine;
      if (dopo < d.size()) dopo += (d[dopo] == '\r' && dopo + 1 < d.size() && d[dopo + 1] == '\n') ? 2 : 1;
      riga(static_cast<int32_t>(v_.inizi_riga.size()), d.substr(i, dopo - i));
      if (dopo >= d.size()) break;
      i = dopo;
    }
    // The array no longer grows: each record's run can be pointed at.
    const int32_t* p = v_.numeri.data();
    for (size_t i = 0; i < v_.voci.size(); ++i) {
      v_.voci[i].numeri = {p, quanti_[i]};
      p += quanti_[i];
    }
  }

 private:
  void avviso(const char* sigla, int32_t riga, int32_t colonna, std::string messaggio, std::string suggerimento) {
    problema p;
    p.livello = gravita::avviso;
    p.sigla = sigla;
    p.file = v_.nome;
    p.riga = riga;
    p.colonna = colonna;
    p.messaggio = std::move(messaggio);
    p.suggerimento = std::move(suggerimento);
    avvisi_.push_back(std::move(p));
  }

  // One line, with its line end.
  void riga(int32_t n, std::string_view testo) {
    // No name: the failures of this reader are told by their column alone.
    lettore_campi l(testo, std::string());
    if (l.fine_file()) return;
    const std::string_view campo = l.leggi_testo_vista();
    const int32_t col = l.colonna();
    if (campo.empty()) return;
    if (contiene_senza_caso(campo, "[generale]")) {
      if (!v_.ha_generale) sezione_ = sezione::generale;
      v_.ha_generale = true;
      intestazione_ = "[generale]";
      return;
    }
    if (sezione_ == sezione::prima) {
      if (!riconosci_voci(v_.file, v_.file == tipo_file::linea, campo).empty() ||
          !riconosci_voci(v_.file, false, campo).empty())
        avviso("W101", n, col, "this line stands before the line \"[generale]\": nothing before it is read",
               "move it below \"[generale]\"");
      else if (intestazione(campo) && campo.size() <= 12 && distanza(campo, "[generale]") <= 2)
        avviso("W102", n, col, "\"" + std::string(campo) + "\" is not \"[generale]\": the " + nome_file(v_.file) +
                           " is read only from a line \"[generale]\" on",
               "did you mean `[generale]`?");
      return;
    }
    const bool generale = v_.file == tipo_file::linea && sezione_ == sezione::generale;
    generale_ = generale;
    if (intestazione(campo)) {
      const std::string h = in_minuscolo(campo);
      for (const std::string_view x : intestazioni_file(v_.file))
        if (h == x) intestazione_ = x;
    }
    // A keyword field with a hyphen is passed over, and the record with it.
    if (contiene(campo, "-")) {
      if (!riconosci_voci(v_.file, generale, campo).empty()) {
        avviso("W103", n, col, "the keyword field " + citazione(campo) + " holds a '-': it is passed over, and its record is lost",
               "remove the '-' from the keyword");
      } else if (!numerico(campo)) {
        // A hyphen where the keyword has an underscore or a blank.
        const std::string s = suggerisci(v_.file, campo);
        if (!s.empty())
          avviso("W103", n, col, "the keyword field " + citazione(campo) + " holds a '-': it is passed over, and its record is lost",
                 "did you mean `" + s + "`?");
      }
      return;
    }
    const riconosciuti tipi = riconosci(generale, campo);
    if (generale && contiene(campo, "[") && contiene(campo, "]")) sezione_ = sezione::dopo;
    if (tipi.empty()) {
      sconosciuta(n, col, campo, generale);
      return;
    }
    if (sembra_commento(campo))
      avviso("W105", n, col, "this line looks like a comment, but it is read as a `" +
                         std::string(formato_di(tipi.front()).parola) + "` record",
             "this format has no comments: the record on this line is read; delete the line");
    if (tipi.size() > 1)
      avviso("W106", n, col, "the keyword field " + citazione(campo) + " starts " + std::to_string(tipi.size()) +
                         " records, one after the other, each reading its own fields",
             "write one keyword per record");
    fuori_sezione(n, col, campo, tipi.front(), generale);
    voce v;
    v.tipo = tipi.front();
    v.riga = n;
    v.colonna = col;
    v.parola = campo;
    const size_t quanti = campi(l, v);
    aggiungi(std::move(v), quanti);
    if (aggiunta_) aggiungi(std::move(*aggiunta_), 0);
    aggiunta_.reset();
  }

  // A record, its run of quanti numbers last in the array.
  void aggiungi(voce&& v, size_t quanti) {
    v_.voci.push_back(std::move(v));
    quanti_.push_back(static_cast<uint16_t>(quanti));
  }

  // What a record has more to say, kept by the view.
  const resto_voce* conserva(resto_voce&& x) {
    v_.resti.push_back(std::make_unique<const resto_voce>(std::move(x)));
    return v_.resti.back().get();
  }

  // A record under the header of another kind's section: it is read all the
  // same, but the author most likely meant it elsewhere, or misplaced the header.
  void fuori_sezione(int32_t n, int32_t col, std::string_view campo, genere_voce g, bool generale) {
    if (generale || intestazione_.empty()) return;
    const record_formato& f = formato_di(g);
    if (f.generale || sezione_di(g) == intestazione_) return;
    avviso("W116", n, col,
           citazione(campo) + " stands under \"" + std::string(intestazione_) + "\": " + std::string(f.plurale) +
               " belong under \"" + std::string(sezione_di(g)) + "\"",
           "move it under \"" + std::string(sezione_di(g)) + "\", in order of position");
  }

  // The fields of a recognised record, read as the loader reads them: its
  // numbers go last in the view's array. Returns how many numbers read.
  size_t campi(lettore_campi& l, voce& v) {
    const record_formato& f = formato_di(v.tipo);
    const size_t prima = v_.numeri.size();
    const auto chiudi = [&] { return v_.numeri.size() - prima; };
    try {
      for (size_t i = 0; i < f.campi.size(); ++i) {
        if (l.fine_file()) {
          v.mancanti = static_cast<int16_t>(f.campi.size() - i);
          return chiudi();
        }
        if (f.campi[i].tipo == larghezza::testo) {
          v.testo = l.leggi_testo_vista();
          v.colonna_testo = l.colonna();
        } else {
          v_.numeri.push_back(l.leggi_numero(f.campi[i].tipo));
        }
      }
    } catch (const guasto_lettura& g) {
      resto_voce x;
      x.illeggibile = g.what();
      x.colonna_illeggibile = g.colonna();
      const std::string_view r = v_.riga(v.riga);
      const size_t da = std::min<size_t>(r.size(), static_cast<size_t>(g.colonna() - 1));
      size_t a = r.find(',', da);
      if (a == std::string_view::npos) a = r.size();
      x.campo_illeggibile = std::string(r.substr(da, a - da));
      while (!x.campo_illeggibile.empty() && x.campo_illeggibile.back() == ' ') x.campo_illeggibile.pop_back();
      v.resto = conserva(std::move(x));
      return chiudi();
    }
    // Only the first surplus fields are kept, and the rest counted: a line of
    // a million commas must not become a million strings.
    const size_t quanti = chiudi();
    std::vector<std::pair<int32_t, std::string_view>> resto;
    size_t letti = 0, fino_all_ultimo = 0;
    while (!l.fine_file()) {
      const std::string_view c = l.leggi_testo_vista();
      ++letti;
      if (!c.empty()) fino_all_ultimo = letti;  // trailing commas leave empty fields
      if (resto.size() < 16) resto.emplace_back(l.colonna(), c);
    }
    resto.resize(std::min(resto.size(), fino_all_ultimo));
    if (resto.empty()) return quanti;
    resto_voce x;
    x.in_piu = std::move(resto);
    v.resto = conserva(std::move(x));
    surplus(v, fino_all_ultimo);
    return quanti;
  }

  void surplus(const voce& v, size_t quanti) {
    const record_formato& f = formato_di(v.tipo);
    const auto& [col, primo] = v.in_piu().front();
    const std::string_view r = v_.riga(v.riga);
    // Every surplus field is read as a keyword field: one that holds a
    // keyword starts that record, which takes its fields from what follows.
    for (const auto& [c, testo] : v.in_piu()) {
      const riconosciuti t = riconosci_voci(v_.file, generale_, testo);
      if (t.empty() || contiene(testo, "-")) continue;
      const record_formato& g = formato_di(t.front());
      voce x;
      x.tipo = g.genere;
      x.riga = v.riga;
      x.colonna = c;
      x.parola = testo;
      x.mancanti = static_cast<int16_t>(g.campi.size());
      resto_voce di;
      di.campo_in_piu_di = std::string(f.parola);
      x.resto = conserva(std::move(di));
      aggiunta_ = std::move(x);
      avviso("W117", v.riga, c,
             citazione(testo) + ", a field too many of the `" + std::string(f.parola) + "` record, holds `" +
                 std::string(g.parola) + "`: it starts a `" + std::string(g.parola) +
                 "` record, which takes its " + std::to_string(g.campi.size()) + " fields from what follows",
             v.tipo == genere_voce::stazione || v.tipo == genere_voce::cartello
                 ? std::string("a text cannot hold a comma: join it to the text before it with a blank")
                 : "a `" + std::string(f.parola) + "` record has " + std::to_string(f.campi.size()) +
                       (f.campi.size() == 1 ? " field: " : " fields: ") + f.elenco_campi());
      return;
    }
    if (v.tipo == genere_voce::stazione) {
      std::string intero(v.testo);
      for (const auto& c : v.in_piu()) {
        intero += ' ';
        intero += c.second;
      }
      avviso("W107", v.riga, v.colonna_testo,
             "the station name is cut at a comma: only " + citazione(v.testo) + " is kept, and " +
                 citazione(primo) + " is read as a keyword field",
             "a name cannot hold a comma: write " + citazione(intero));
      return;
    }
    // A decimal comma: digits, a comma, digits, with no blank between.
    for (size_t i = 1; i + 1 < r.size(); ++i) {
      if (r[i] != ',' || !std::isdigit(static_cast<unsigned char>(r[i - 1])) ||
          !std::isdigit(static_cast<unsigned char>(r[i + 1])))
        continue;
      size_t a = i, b = i + 1;
      while (a > 0 && std::isdigit(static_cast<unsigned char>(r[a - 1]))) --a;
      while (b < r.size() && std::isdigit(static_cast<unsigned char>(r[b]))) ++b;
      if (a > 0 && r[a - 1] != ' ' && r[a - 1] != ',' && r[a - 1] != '\t' && r[a - 1] != '-') continue;
      const std::string intero(r.substr(a, i - a));
      const int64_t x = std::stoll(intero.substr(0, 9));
      avviso("W108", v.riga, static_cast<int32_t>(a + 1),
             citazione(r.substr(a, b - a)) + " is read as " + citazione(intero) + " and then a stray " +
                 citazione(r.substr(i + 1, b - i - 1)) + ": the comma ends the field",
             "write " + std::to_string(x) + " or " + std::to_string(x + 1) + ": numbers are whole");
      return;
    }
    const std::string n = std::to_string(quanti);
    avviso("W109", v.riga, col,
           "the `" + std::string(f.parola) + "` record has " + n + " field" + (quanti > 1 ? "s" : "") +
               " too many: " + citazione(primo) + " is read as the next keyword field",
           "a `" + std::string(f.parola) + "` record has " + std::to_string(f.campi.size()) +
               (f.campi.size() == 1 ? " field: " : " fields: ") + f.elenco_campi());
  }

  // A keyword field that the loader reads as nothing.
  void sconosciuta(int32_t n, int32_t col, std::string_view campo, bool generale) {
    if (intestazione(campo)) return;  // a header reads as nothing, as it should
    if (numerico(campo)) {
      avviso("W110", n, col, "this line begins with a number, not a keyword: its fields are read and skipped",
             "begin the record with its keyword, or join the line to the record it belongs to");
      return;
    }
    if (sembra_commento(campo)) {
      avviso("W111", n, col, "this line looks like a comment: the format has none, and its fields are read as keyword fields",
             "this format has no comments: delete the line, or it is read as a record as soon as it holds a keyword");
      return;
    }
    if (const record_formato* altra = voce_altro_file(v_.file, campo)) {
      avviso("W112", n, col, citazione(campo) + " is a record of the " + nome_file(altra->file) + ": the " +
                         nome_file(v_.file) + " skips it",
             std::string(altra->plurale) + " belong in the " + nome_file(altra->file));
      return;
    }
    if (v_.file == tipo_file::linea) {
      const riconosciuti altrove = riconosci_voci(tipo_file::linea, !generale, campo);
      if (!altrove.empty()) {
        if (generale)
          avviso("W113", n, col, citazione(campo) + " stands in the general section, where only general records are read",
                 "move it below the header that ends [generale] (such as [curve])");
        else
          avviso("W114", n, col, citazione(campo) + " stands after the general section, where general records are not read",
                 "move it into the [generale] section, before its first header");
        return;
      }
    }
    const std::string s = suggerisci(v_.file, campo);
    avviso("W115", n, col, citazione(campo) + " is no keyword of the " + nome_file(v_.file) + ": the line is skipped",
           s.empty() ? "the keywords are listed in docs/format.md" : "did you mean `" + s + "`?");
  }

  // The records a keyword field starts, as riconosci_voci gives them: a file
  // repeats a dozen keywords on every line, so each is recognised once and
  // then found among those already seen.
  riconosciuti riconosci(bool generale, std::string_view campo) {
    for (const gia_vista& g : gia_viste_)
      if (g.generale == generale && g.parola == campo) return g.tipi;
    const riconosciuti t = riconosci_voci(v_.file, generale, campo);
    if (gia_viste_.size() < 32) gia_viste_.push_back({campo, generale, t});
    return t;
  }
  struct gia_vista {
    std::string_view parola;  // in the file's bytes
    bool generale;
    riconosciuti tipi;
  };
  std::vector<gia_vista> gia_viste_;

  enum class sezione { prima, generale, dopo };
  bool generale_ = false;              // the line being read is in the line file's general section
  std::string_view intestazione_;      // the last section header of the file's own, lower case
  std::optional<voce> aggiunta_;       // a record started by a surplus field, kept after its line's record
  std::vector<uint16_t> quanti_;       // the numbers of each record, until the array stops growing
  vista& v_;
  std::vector<problema>& avvisi_;
  sezione sezione_ = sezione::prima;
};

}  // namespace

std::string_view vista::riga(int32_t n) const {
  if (n < 1 || static_cast<size_t>(n) > inizi_riga.size()) return {};
  const size_t i = inizi_riga[static_cast<size_t>(n - 1)];
  size_t fine = i;
  while (fine < dati.size() && dati[fine] != '\r' && dati[fine] != '\n') ++fine;
  return dati.substr(i, fine - i);
}

const voce* vista::voce_alla_riga(int32_t n) const {
  for (const voce& v : voci)
    if (v.riga == n) return &v;
  return nullptr;
}

int32_t vista::colonna_numero(const voce& x, size_t i) const {
  if (i >= x.numeri.size() || x.riga < 1 || static_cast<size_t>(x.riga) > inizi_riga.size()) return x.colonna;
  // The line as the view read it, with its line end (an empty last field
  // before it reads as 0): its keyword first, then the record's fields up to
  // number i, which all read then.
  const size_t n = static_cast<size_t>(x.riga);
  const size_t inizio = inizi_riga[n - 1], fine = n < inizi_riga.size() ? inizi_riga[n] : dati.size();
  lettore_campi l(dati.substr(inizio, fine - inizio), std::string());
  try {
    l.leggi_testo_vista();
    size_t numero = 0;
    for (const campo_formato& c : formato_di(x.tipo).campi) {
      if (c.tipo == larghezza::testo) {
        l.leggi_testo_vista();
      } else {
        (void)l.leggi_numero(c.tipo);
        if (numero++ == i) return l.colonna();
      }
    }
  } catch (const guasto_lettura&) {
  }
  return x.colonna;
}

const voce* vista::voce_prima(int32_t riga, int32_t colonna) const {
  const voce* trovata = nullptr;
  for (const voce& v : voci)
    if (v.riga < riga || (v.riga == riga && v.colonna < colonna)) trovata = &v;
  return trovata;
}

vista leggi_vista(tipo_file file, const std::string& nome, std::string_view testo, std::vector<problema>& avvisi) {
  vista v;
  v.file = file;
  v.nome = nome;
  v.dati = testo;
  lettura_vista(v, avvisi).leggi();
  return v;
}

const record_formato* voce_altro_file(tipo_file file, std::string_view campo) {
  const tipo_file altro = file == tipo_file::linea ? tipo_file::treno : tipo_file::linea;
  riconosciuti t = riconosci_voci(altro, false, campo);
  if (altro == tipo_file::linea && t.empty()) t = riconosci_voci(altro, true, campo);
  return t.empty() ? nullptr : &formato_di(t.front());
}

size_t distanza(std::string_view a, std::string_view b) {
  const std::string x = in_minuscolo(a), y = in_minuscolo(b);
  const size_t n = x.size(), m = y.size();
  std::vector<std::vector<size_t>> d(n + 1, std::vector<size_t>(m + 1));
  for (size_t i = 0; i <= n; ++i) d[i][0] = i;
  for (size_t j = 0; j <= m; ++j) d[0][j] = j;
  for (size_t i = 1; i <= n; ++i)
    for (size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (x[i - 1] != y[j - 1])});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[n][m];
}

std::string suggerisci(tipo_file file, std::string_view campo) {
  std::string migliore;
  size_t minima = SIZE_MAX;
  for (const std::string_view p : parole_del_file(file)) {
    // The distance is at least the difference in length: a far longer field is no misspelling.
    if (campo.size() > p.size() + 3 || p.size() > campo.size() + 3) continue;
    const size_t d = distanza(campo, p);
    if (d < minima) minima = d, migliore = std::string(p);
  }
  const size_t soglia = migliore.size() <= 4 ? 1 : migliore.size() <= 10 ? 2 : 3;
  return minima <= soglia ? migliore : std::string();
}

}  // namespace tracciato
