#include "checker/correzioni.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "loader/campi.h"
#include "model/numeri.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

bool cifra(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// One line of the text: [inizio, fine) its bytes, dopo past its line end.
struct riga_testo {
  size_t inizio = 0, fine = 0, dopo = 0;
};

riga_testo riga_da(std::string_view t, size_t i) {
  riga_testo r{i, i, i};
  while (r.fine < t.size() && t[r.fine] != '\r' && t[r.fine] != '\n') ++r.fine;
  r.dopo = r.fine;
  if (r.dopo < t.size()) r.dopo += t[r.dopo] == '\r' && r.dopo + 1 < t.size() && t[r.dopo + 1] == '\n' ? 2 : 1;
  return r;
}

// Line n (1-based), split as the reader splits lines.
std::optional<riga_testo> riga_numero(std::string_view t, int32_t n) {
  if (n < 1) return std::nullopt;
  size_t i = 0;
  for (int32_t k = 1; k < n; ++k) {
    const riga_testo r = riga_da(t, i);
    if (r.dopo == r.fine) return std::nullopt;  // no further line
    i = r.dopo;
  }
  return riga_da(t, i);
}

// Every line of the text.
std::vector<riga_testo> righe(std::string_view t) {
  std::vector<riga_testo> v;
  for (size_t i = 0;;) {
    const riga_testo r = riga_da(t, i);
    v.push_back(r);
    if (r.dopo == r.fine || r.dopo >= t.size()) break;
    i = r.dopo;
  }
  return v;
}

// A field with its offsets in the whole text.
struct campo {
  size_t inizio = 0, fine = 0;
  std::string_view testo;
};

// The keyword field of the line, and a reader left after it (on the text from
// the line on, as a record may run on to the next line).
struct lettura {
  lettore_campi l;
  size_t base;
  campo parola;
};

std::optional<lettura> leggi_parola(std::string_view t, const riga_testo& r) {
  lettura x{lettore_campi(t.substr(r.inizio), ""), r.inizio, {}};
  if (x.l.fine_file()) return std::nullopt;
  try {
    const auto g = x.l.leggi_grezzo(larghezza::testo);
    x.parola = {r.inizio + g.inizio, r.inizio + g.fine, g.testo};
  } catch (const guasto_lettura&) {
    return std::nullopt;
  }
  return x;
}

std::optional<int64_t> intero(std::string_view s) {
  if (s.empty() || s.size() > 12) return std::nullopt;
  size_t i = s[0] == '-' || s[0] == '+' ? 1 : 0;
  if (i == s.size() || !std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), cifra)) return std::nullopt;
  const int64_t v = std::stoll(std::string(s.substr(i)));
  return s[0] == '-' ? -v : v;
}

// The number field that the problem points at: the one at its column when
// that is past the keyword, else field indice of the record.
std::optional<campo> campo_numero(std::string_view t, const problema& p, size_t indice) {
  const auto r = riga_numero(t, p.riga);
  if (!r) return std::nullopt;
  auto x = leggi_parola(t, *r);
  if (!x) return std::nullopt;
  try {
    if (p.colonna > 0 && r->inizio + static_cast<size_t>(p.colonna - 1) > x->parola.inizio) {
      const size_t da = r->inizio + static_cast<size_t>(p.colonna - 1);
      if (da >= r->fine) return std::nullopt;
      lettore_campi l(t.substr(da), "");
      const auto g = l.leggi_grezzo(larghezza::i32);
      return campo{da + g.inizio, da + g.fine, g.testo};
    }
    for (size_t i = 0;; ++i) {
      if (x->l.fine_file()) return std::nullopt;
      const auto g = x->l.leggi_grezzo(larghezza::i32);
      if (i == indice) return campo{x->base + g.inizio, x->base + g.fine, g.testo};
    }
  } catch (const guasto_lettura&) {
    return std::nullopt;
  }
}

correzione sostituisci(const campo& c, std::string nuovo, std::string titolo) {
  return {std::move(titolo), {{c.inizio, c.fine, std::move(nuovo)}}};
}

// A number field written where the compile places it: its value v is read as
// sul_grafo(v).
template <class F>
std::vector<correzione> sulla_griglia(std::string_view t, const problema& p, size_t indice, F sul_grafo) {
  const auto c = campo_numero(t, p, indice);
  if (!c) return {};
  const auto v = intero(c->testo);
  if (!v || *v < 0 || *v % 50 == 0) return {};
  const int64_t nuovo = sul_grafo(*v);
  if (nuovo < 0 || nuovo % 50 != 0 || (nuovo != *v / 50 * 50 && nuovo != *v / 50 * 50 + 50)) return {};
  const std::string s = std::to_string(nuovo);
  return {sostituisci(*c, s, "write " + s + ", where it is placed")};
}

// The keyword that a hint "did you mean `X`?" names.
std::string proposta(const std::string& suggerimento) {
  const std::string segno = "did you mean `";
  const size_t a = suggerimento.find(segno);
  if (a == std::string::npos) return {};
  const size_t b = suggerimento.find('`', a + segno.size());
  if (b == std::string::npos) return {};
  return suggerimento.substr(a + segno.size(), b - a - segno.size());
}

bool intestazione(std::string_view campo) { return campo.size() >= 2 && campo.front() == '[' && campo.back() == ']'; }

std::string_view fine_riga_del_file(std::string_view t) {
  const size_t i = t.find_first_of("\r\n");
  if (i == std::string_view::npos) return "\r\n";
  return t[i] == '\r' ? (i + 1 < t.size() && t[i + 1] == '\n' ? "\r\n" : "\r") : "\n";
}

// A line-file record moved to the place where it is read: a general record
// to the end of the general section, a later one to the end of its own section.
std::vector<correzione> sposta(std::string_view t, const problema& p, bool in_generale) {
  const auto r = riga_numero(t, p.riga);
  if (!r) return {};
  auto x = leggi_parola(t, *r);
  if (!x) return {};
  const riconosciuti v = riconosci_voci(tipo_file::linea, in_generale, x->parola.testo);
  if (v.empty()) return {};
  const record_formato& f = formato_di(v.front());
  // Only a record whole on its line moves.
  lettore_campi l(t.substr(r->inizio, r->fine - r->inizio), "");
  try {
    l.leggi_grezzo(larghezza::testo);
    for (const campo_formato& c : f.campi) {
      if (l.fine_file()) return {};
      l.leggi_grezzo(c.tipo);
    }
  } catch (const guasto_lettura&) {
    return {};
  }
  // The sections: the line "[generale]", the header that ends it, the others.
  const std::vector<riga_testo> rs = righe(t);
  std::vector<std::string_view> prime(rs.size());
  for (size_t i = 0; i < rs.size(); ++i)
    if (auto y = leggi_parola(t, rs[i])) prime[i] = y->parola.testo;
  size_t g = 0;
  while (g < rs.size() && !contiene_senza_caso(prime[g], "[generale]")) ++g;
  size_t chiude = g + 1;
  while (chiude < rs.size() && !(contiene(prime[chiude], "[") && contiene(prime[chiude], "]"))) ++chiude;
  if (g >= rs.size() || chiude >= rs.size()) return {};
  size_t dove;  // the line before which the record goes
  std::string titolo;
  if (in_generale) {
    dove = chiude;
    titolo = "move the record into [generale]";
  } else {
    const std::string_view sezione = sezione_di(f.genere);
    size_t s = chiude;
    while (s < rs.size() && in_minuscolo(prime[s]) != sezione) ++s;
    if (s == rs.size()) {
      if (contiene_senza_caso(prime[chiude], "[fine]")) return {};
      s = chiude;
    }
    dove = s + 1;
    while (dove < rs.size() && !intestazione(prime[dove])) ++dove;
    titolo = "move the record into " + std::string(s == chiude ? prime[chiude] : sezione);
  }
  const size_t qui = r->inizio;
  if (dove < rs.size() && rs[dove].inizio == qui) return {};
  std::string riga(t.substr(r->inizio, r->fine - r->inizio));
  const std::string_view fr = fine_riga_del_file(t);
  std::string testo = riga + std::string(r->dopo > r->fine ? t.substr(r->fine, r->dopo - r->fine) : fr);
  size_t punto = dove < rs.size() ? rs[dove].inizio : t.size();
  if (dove >= rs.size() && rs.back().dopo == rs.back().fine) testo = std::string(fr) + riga;  // no final line end
  std::vector<modifica> m{{qui, r->dopo, ""}, {punto, punto, testo}};
  // The last line, moved up, leaves no line end behind it: take the one before it.
  if (r->dopo == r->fine && qui > 0) {
    size_t a = qui - 1;
    if (a > 0 && t[a] == '\n' && t[a - 1] == '\r') --a;
    m.front().inizio = a;
  }
  if (m[1].inizio < m[0].inizio) std::swap(m[0], m[1]);
  if (m[0].fine > m[1].inizio) return {};
  return {{std::move(titolo), std::move(m)}};
}

// Whether two edits cannot both be applied: ranges that share a byte, or an
// insertion inside a range or at its start.
bool si_toccano(const modifica& a, const modifica& b) {
  const bool ia = a.inizio == a.fine, ib = b.inizio == b.fine;
  if (ia && ib) return false;  // two insertions go one after the other
  if (ia) return b.inizio <= a.inizio && a.inizio < b.fine;
  if (ib) return a.inizio <= b.inizio && b.inizio < a.fine;
  return a.inizio < b.fine && b.inizio < a.fine;
}

}  // namespace

std::vector<correzione> correzioni(const problema& p, std::string_view t, tipo_file file) {
  if (p.livello != gravita::avviso || p.riga < 1) return {};
  const std::string& s = p.sigla;
  if (s == "W102" || s == "W103" || s == "W115") {
    const std::string nuova = s == "W102" ? "[generale]" : proposta(p.suggerimento);
    const auto r = riga_numero(t, p.riga);
    if (nuova.empty() || !r) return {};
    const auto x = leggi_parola(t, *r);
    if (!x || x->parola.testo == nuova) return {};
    return {sostituisci(x->parola, nuova, "write `" + nuova + "`")};
  }
  if (s == "W203") {
    const auto r = riga_numero(t, p.riga);
    const auto x = r ? leggi_parola(t, *r) : std::nullopt;
    if (!x) return {};
    const riconosciuti v = riconosci_voci(file, false, x->parola.testo);
    if (v.empty()) return {};
    const bool successiva = formato_di(v.front()).cella == cella_voce::successiva;
    return sulla_griglia(t, p, 0, [&](int64_t q) { return successiva ? (cella_di(q, 1) - 1) * 50 : cella_di(q) * 50; });
  }
  if (s == "W214") return sulla_griglia(t, p, 1, [](int64_t q) { return cella_di(q) * 50; });
  if (s == "W221") return sulla_griglia(t, p, 0, [](int64_t q) { return q / 50 * 50; });
  if (s == "W108") {
    // The whole part alone, as the compile reads it; or the next whole number.
    const auto r = riga_numero(t, p.riga);
    if (!r || p.colonna < 1) return {};
    const size_t a = r->inizio + static_cast<size_t>(p.colonna - 1);
    size_t i = a;
    while (i < r->fine && cifra(t[i])) ++i;
    if (i == a || i >= r->fine || t[i] != ',' || i + 1 >= r->fine || !cifra(t[i + 1])) return {};
    size_t b = i + 1;
    while (b < r->fine && cifra(t[b])) ++b;
    const std::string_view parte = t.substr(a, i - a);
    std::vector<correzione> v{{"write " + std::string(parte), {{i, b, ""}}}};
    if (parte.size() <= 9) {
      const std::string su = std::to_string(std::stoll(std::string(parte)) + 1);
      v.push_back({"write " + su, {{a, b, su}}});
    }
    return v;
  }
  if (s == "W105" || s == "W111") {
    const auto r = riga_numero(t, p.riga);
    if (!r) return {};
    size_t a = r->inizio;
    // The last line takes the line end before it along.
    if (r->dopo == r->fine && a > 0) {
      --a;
      if (a > 0 && t[a] == '\n' && t[a - 1] == '\r') --a;
    }
    return {{"delete the line", {{a, r->dopo, ""}}}};
  }
  if (file == tipo_file::linea && (s == "W113" || s == "W114")) return sposta(t, p, s == "W114");
  return {};
}

std::string applica(std::string_view testo, std::span<const modifica> modifiche) {
  std::vector<const modifica*> ordine;
  for (const modifica& m : modifiche) ordine.push_back(&m);
  std::stable_sort(ordine.begin(), ordine.end(), [](auto* a, auto* b) { return a->inizio < b->inizio; });
  std::string o;
  o.reserve(testo.size());
  size_t i = 0;
  for (const modifica* m : ordine) {
    if (m->inizio < i || m->fine > testo.size() || m->fine < m->inizio) continue;
    o += testo.substr(i, m->inizio - i);
    o += m->testo;
    i = m->fine;
  }
  o += testo.substr(i);
  return o;
}

std::string correggi(std::string_view testo, tipo_file file, std::span<const problema> problemi, int* applicate) {
  std::vector<modifica> prese;
  int n = 0;
  for (const problema& p : problemi) {
    const std::vector<correzione> c = correzioni(p, testo, file);
    if (c.empty()) continue;
    const auto& m = c.front().modifiche;
    const bool libera = std::none_of(m.begin(), m.end(), [&](const modifica& a) {
      return std::any_of(prese.begin(), prese.end(), [&](const modifica& b) { return si_toccano(a, b); });
    });
    if (!libera) continue;
    prese.insert(prese.end(), m.begin(), m.end());
    ++n;
  }
  if (applicate) *applicate = n;
  return applica(testo, prese);
}

}  // namespace tracciato
