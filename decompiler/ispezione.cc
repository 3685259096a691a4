// ispezione: tables and JSON of the three binary files. The plan of a long line
// has millions of values, so the output is formatted with to_chars into one
// buffer that goes out in large pieces.
#include "decompiler/ispezione.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "compactor/compattatore.h"
#include "compactor/decodifica.h"
#include "compactor/formato.h"
#include "platform/file.h"
#include "platform/percorso.h"
#include "platform/testo.h"
#include "platform/uscita.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// scrittura: an output buffer that goes to the stream in 1 MB pieces.
class scrittura {
 public:
  explicit scrittura(std::ostream& o) : o_(o), b_(std::make_unique_for_overwrite<char[]>(capacita)) {}
  ~scrittura() { svuota(); }

  scrittura& operator<<(std::string_view s) {
    if (s.size() > capacita) {
      svuota();
      o_.write(s.data(), static_cast<std::streamsize>(s.size()));
      return *this;
    }
    char* q = spazio(s.size());
    s.copy(q, s.size());
    n_ += s.size();
    return *this;
  }
  scrittura& operator<<(char c) { return *this << std::string_view(&c, 1); }
  scrittura& operator<<(int64_t v) {
    char* q = spazio(24);
    n_ = static_cast<std::size_t>(std::to_chars(q, q + 24, v).ptr - b_.get());
    return *this;
  }
  // A value right-aligned in w characters (a wider one takes its room).
  scrittura& colonna(std::string_view s, std::size_t w) {
    if (s.size() < w) *this << std::string(w - s.size(), ' ');
    return *this << s;
  }
  scrittura& colonna(int64_t v, std::size_t w) { return colonna(std::to_string(v), w); }

  // Room for k more bytes (k at most 4096) at the returned place; fatto
  // takes the end of what was written there.
  char* spazio(std::size_t k) {
    if (n_ + k > capacita) svuota();
    return b_.get() + n_;
  }
  void fatto(const char* fine) { n_ = static_cast<std::size_t>(fine - b_.get()); }

  void svuota() {
    o_.write(b_.get(), static_cast<std::streamsize>(n_));
    n_ = 0;
  }

 private:
  static constexpr std::size_t capacita = std::size_t{1} << 20;
  std::ostream& o_;
  std::unique_ptr<char[]> b_;
  std::size_t n_ = 0;
};

bool reale_numerico(double v) { return v == v && v - v == 0; }

// The shortest decimal form that reads back to the same bits, always with a
// point or an exponent so that a JSON reader takes it as a real number (and
// -0 keeps its sign); infinities and NaN as to_chars spells them. Written
// into t, which has room for 40 characters; returns its length.
std::size_t reale(double v, char* t) {
  char* fine = std::to_chars(t, t + 38, v).ptr;
  if (reale_numerico(v) && std::find_if(t, fine, [](char c) { return c == '.' || c == 'e'; }) == fine) {
    *fine++ = '.';
    *fine++ = '0';
  }
  return static_cast<std::size_t>(fine - t);
}
std::string reale(double v) {
  char t[40];
  return std::string(t, reale(v, t));
}

// A JSON string: quotes, backslashes and control characters escaped.
std::string stringa_json(std::string_view utf8) {
  std::string o = "\"";
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      o += '\\';
      o += ch;
    } else if (c < 0x20 || c == 0x7F) {
      char t[8];
      std::snprintf(t, sizeof t, "\\u%04x", c);
      o += t;
    } else {
      o += ch;
    }
  }
  return o + "\"";
}

// The first and last index shown of n.
struct intervallo {
  int64_t da, a;
};
intervallo limiti(const opzioni_ispezione& o, int64_t n) {
  return {std::max<int64_t>(o.da.value_or(0), 0), std::min<int64_t>(o.a.value_or(n - 1), n - 1)};
}

std::string_view nome_tipo_cella(uint8_t t) {
  switch (t) {
    case cella_vuota: return "nothing";
    case cella_segnale: return "signal";
    case cella_fine_rallentamento: return "slowdown end";
    case cella_inizio_rallentamento: return "slowdown start";
    case cella_avviso_rallentamento: return "slowdown warning";
    case cella_preavviso: return "pre-warning";
    case cella_indicatore_v_max: return "speed board";
    case cella_stazione: return "station";
    case cella_segno_montagna: return "tunnel marker";
    case cella_punto_codice: return "code point";
    case cella_punto_codice_senza_valore: return "code point, no value";
    case cella_cartello: return "sign";
    default: return "unknown";
  }
}

bool tutta_zero(const cella& c) {
  bool zero = true;
  campi_cella(c, [&](const char*, auto x) { zero = zero && x == 0; });
  return zero;
}

bool tutta_zero(const voce_tabella& v) {
  bool zero = true;
  campi_voce(v, [&]<class T>(const char*, const T& x) {
    if constexpr (std::is_same_v<T, std::string>)
      zero = zero && x.empty();
    else
      zero = zero && x == 0;
  });
  return zero;
}

void celle_json(scrittura& w, const std::vector<cella>& celle, intervallo r, const opzioni_ispezione& o) {
  w << "\"ultima_cella\":" << static_cast<int64_t>(celle.size()) - 1 << ",\"celle\":[";
  bool primo = true;
  for (int64_t i = r.da; i <= r.a; ++i) {
    const cella& c = celle[static_cast<std::size_t>(i)];
    if (o.non_zero && tutta_zero(c)) continue;
    w << (primo ? "\n{\"cella\":" : ",\n{\"cella\":") << i;
    primo = false;
    campi_cella(c, [&](const char* nome, auto x) {
      w << ",\"" << nome << "\":" << static_cast<int64_t>(x);
    });
    w << '}';
  }
  w << "]}\n";
}

// "14 (70 km/h)", "103 (+3 ‰)": the raw value with its meaning beside it.
std::string con_unita(int64_t grezzo, int64_t valore, std::string_view unita, bool segno) {
  std::string s = std::to_string(grezzo) + " (" + (segno && valore > 0 ? "+" : "") + std::to_string(valore);
  return s + " " + std::string(unita) + ")";
}

void celle_testo(scrittura& w, std::string_view nome, std::size_t byte, const std::vector<cella>& celle,
                 intervallo r, const opzioni_ispezione& o) {
  w << nome << ": cell file, " << static_cast<int64_t>(byte) << " bytes, cells 0 to "
    << static_cast<int64_t>(celle.size()) - 1 << "\n";
  static constexpr std::array<std::pair<std::string_view, std::size_t>, 13> colonne = {{
      {"cella", 6}, {"posizione", 10}, {"tipo_cella", 0}, {"valore_a", 9}, {"valore_b", 9},
      {"valore_c", 9}, {"valore_d", 9}, {"tempo_segnale", 14}, {"segno_approccio", 16},
      {"tipo_montagna", 14}, {"vel_limite", 16}, {"pendenza_cella", 16}, {"aderenza_cella", 15}}};
  constexpr std::size_t larga_tipo = 25;
  for (const auto& [t, l] : colonne) {
    if (l == 0) {
      w << "  " << t;
      for (std::size_t k = t.size(); k < larga_tipo - 2; ++k) w << ' ';
    } else {
      w.colonna(t, l);
    }
  }
  w << '\n';
  for (int64_t i = r.da; i <= r.a; ++i) {
    const cella& c = celle[static_cast<std::size_t>(i)];
    if (o.non_zero && tutta_zero(c)) continue;
    w.colonna(i, 6).colonna(std::to_string(i * 50) + " m", 10);
    std::string tipo = "  " + std::to_string(c.tipo_cella) + " " + std::string(nome_tipo_cella(c.tipo_cella));
    tipo.resize(std::max(tipo.size(), larga_tipo), ' ');
    w << tipo;
    w.colonna(c.valore_a, 9).colonna(c.valore_b, 9).colonna(c.valore_c, 9).colonna(c.valore_d, 9);
    w.colonna(c.tempo_segnale, 14).colonna(c.segno_approccio, 16).colonna(c.tipo_montagna, 14);
    w.colonna(con_unita(c.vel_limite, int64_t{c.vel_limite} * 5, "km/h", false), 16);
    w.colonna(con_unita(c.pendenza_cella, int64_t{c.pendenza_cella} - 100, "\u2030", true), 18);
    w.colonna(c.aderenza_cella, 15) << '\n';
  }
}

// What a slot holds, in words: the header slots by their content, the others
// by what their fields show (a station always has a number that is not 0).
std::string ruolo(std::size_t i, const voce_tabella& v) {
  switch (i) {
    case 0: return "unused";
    case posto_progressiva_tre: return "chainage reference 1";
    case posto_progressiva_due: return "chainage reference 2";
    case posto_progressiva_uno: return "chainage reference 3";
    case posto_treno: return "train: mass, length, coaches";
    case posto_scenario: return "scenario: backgrounds, stamp";
    case posto_linea: return "line: repetition, sand, clock";
    default: break;
  }
  voce_tabella numeri = v;
  numeri.testo.clear();
  if (!tutta_zero(numeri)) return "station " + std::to_string(i);
  return v.testo.empty() ? "empty" : "sign";
}

// Calls f(slot, record, byte offset of the record) for each slot shown.
template <class F>
void per_ogni_posto(const std::array<voce_tabella, posti_tabella>& t, intervallo r, const opzioni_ispezione& o,
                    F&& f) {
  std::size_t offset = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const voce_tabella& v = t[i];
    const std::size_t qui = offset;
    offset += byte_voce_vuota + v.testo.size();
    if (static_cast<int64_t>(i) < r.da || static_cast<int64_t>(i) > r.a || (o.non_zero && tutta_zero(v)))
      continue;
    f(i, v, qui);
  }
}

void tabella_json(scrittura& w, const std::array<voce_tabella, posti_tabella>& t, intervallo r,
                  const opzioni_ispezione& o) {
  w << "\"slots\":" << int64_t{posti_tabella} << ",\"tabella\":[";
  bool primo = true;
  per_ogni_posto(t, r, o, [&](std::size_t i, const voce_tabella& v, std::size_t qui) {
    w << (primo ? "\n{\"slot\":" : ",\n{\"slot\":") << static_cast<int64_t>(i)
      << ",\"offset\":" << static_cast<int64_t>(qui);
    primo = false;
    campi_voce(v, [&]<class T>(const char* nome, const T& x) {
      w << ",\"" << nome << "\":";
      if constexpr (std::is_same_v<T, std::string>)
        w << stringa_json(a_utf8(x));
      else
        w << static_cast<int64_t>(x);
    });
    w << '}';
  });
  w << "]}\n";
}

void tabella_testo(scrittura& w, std::string_view nome, std::size_t byte,
                   const std::array<voce_tabella, posti_tabella>& t, intervallo r, const opzioni_ispezione& o) {
  w << nome << ": scenario file, " << static_cast<int64_t>(byte) << " bytes, slots 0 to "
    << int64_t{posti_tabella - 1} << "\n";
  w << "  slot  offset  role                             tipo_record    valore1    valore2    valore3  tipo2"
       "  intero1  intero2  intero3  intero4  intero5  byte1  byte2  byte3  byte4     valore4  testo\n";
  per_ogni_posto(t, r, o, [&](std::size_t i, const voce_tabella& v, std::size_t qui) {
    std::string ru = "  " + ruolo(i, v);
    ru.resize(std::max<std::size_t>(ru.size(), 33), ' ');
    w.colonna(static_cast<int64_t>(i), 6).colonna(static_cast<int64_t>(qui), 8) << ru;
    w.colonna(v.tipo_record, 11).colonna(v.valore1, 11).colonna(v.valore2, 11).colonna(v.valore3, 11);
    w.colonna(v.tipo2, 7);
    for (int16_t x : {v.intero1, v.intero2, v.intero3, v.intero4, v.intero5}) w.colonna(x, 9);
    for (uint8_t x : {v.byte1, v.byte2, v.byte3, v.byte4}) w.colonna(x, 7);
    w.colonna(v.valore4, 12);
    if (!v.testo.empty()) w << "  " << a_utf8(v.testo);
    w << '\n';
  });
}

std::string_view nome_tipo_voce(tipo_voce t) {
  return t == tipo_voce::reale ? "double" : t == tipo_voce::intero ? "int16" : "empty";
}

char* copia(char* q, std::string_view s) { return q + s.copy(q, s.size()); }

// One plan value as JSON: null when empty, an integer, or a real number (a
// string for the infinities and NaN, which JSON has no number for). Needs at
// most 42 characters at q; returns the end.
char* valore_json(char* q, tipo_voce t, double v) {
  if (t == tipo_voce::vuota) return copia(q, "null");
  if (t == tipo_voce::intero) return std::to_chars(q, q + 24, static_cast<int64_t>(v)).ptr;
  if (reale_numerico(v)) return q + reale(v, q);
  *q++ = '"';
  q += reale(v, q);
  *q++ = '"';
  return q;
}

// The rows go straight into the output buffer: a 1000 km plan has a
// million of them.
void piano_json(scrittura& w, const planimetria_t& p, intervallo r, const opzioni_ispezione& o) {
  w << "\"righe\":" << int64_t{p.righe()} << ",\"piano\":[";
  bool primo = true;
  for (int64_t i = r.da; i <= r.a; ++i) {
    const auto riga = static_cast<int32_t>(i);
    const tipo_voce tx = p.tipo(riga, 0), ty = p.tipo(riga, 1);
    if (o.non_zero && tx == tipo_voce::vuota && ty == tipo_voce::vuota) continue;
    char* q = w.spazio(256);
    q = copia(q, primo ? "\n{\"riga\":" : ",\n{\"riga\":");
    primo = false;
    q = std::to_chars(q, q + 24, i).ptr;
    q = copia(q, ",\"x\":");
    q = valore_json(q, tx, p.valore(riga, 0));
    q = copia(q, ",\"y\":");
    q = valore_json(q, ty, p.valore(riga, 1));
    q = copia(q, ",\"kind_x\":\"");
    q = copia(q, nome_tipo_voce(tx));
    q = copia(q, "\",\"kind_y\":\"");
    q = copia(q, nome_tipo_voce(ty));
    q = copia(q, "\"}");
    w.fatto(q);
  }
  w << "]}\n";
}

std::string valore_testo(tipo_voce t, double v) {
  if (t == tipo_voce::vuota) return "-";
  if (t == tipo_voce::intero) return std::to_string(static_cast<int64_t>(v)) + " (int16)";
  return reale(v);
}

void piano_testo(scrittura& w, std::string_view nome, std::size_t byte, const planimetria_t& p, intervallo r,
                 const opzioni_ispezione& o) {
  w << nome << ": line data file (track plan), " << static_cast<int64_t>(byte) << " bytes, rows 0 to "
    << int64_t{p.righe()} - 1 << "\n";
  w << "    riga                         x                         y\n";
  for (int64_t i = r.da; i <= r.a; ++i) {
    const auto riga = static_cast<int32_t>(i);
    const tipo_voce tx = p.tipo(riga, 0), ty = p.tipo(riga, 1);
    if (o.non_zero && tx == tipo_voce::vuota && ty == tipo_voce::vuota) continue;
    w.colonna(i, 8).colonna(valore_testo(tx, p.valore(riga, 0)), 26).colonna(valore_testo(ty, p.valore(riga, 1)), 26)
        << '\n';
  }
}

}  // namespace

std::optional<genere_binario> genere_da_nome(const fs::path& file) {
  const std::string nome = file.filename().string();
  auto finisce = [&](std::string_view coda) {
    return nome.size() >= coda.size() && nome.compare(nome.size() - coda.size(), coda.size(), coda) == 0;
  };
  if (finisce("_linea.dat")) return genere_binario::planimetria;
  if (finisce(".sim")) return genere_binario::tabella;
  if (finisce(".dat")) return genere_binario::celle;
  return std::nullopt;
}

std::optional<genere_binario> genere_da_parola(std::string_view parola) {
  if (parola == "plan") return genere_binario::planimetria;
  if (parola == "table") return genere_binario::tabella;
  if (parola == "cells") return genere_binario::celle;
  return std::nullopt;
}

void ispeziona(std::string_view dati, std::string_view nome, genere_binario g, const opzioni_ispezione& o,
               std::ostream& uscita) {
  // Decoded whole before the first byte of output.
  std::vector<cella> celle;
  std::array<voce_tabella, posti_tabella> tabella;
  planimetria_t piano;
  switch (g) {
    case genere_binario::celle: celle = decodifica_celle(dati, nome); break;
    case genere_binario::tabella: tabella = decodifica_tabella(dati, nome); break;
    case genere_binario::planimetria: piano = decodifica_planimetria(dati, nome); break;
  }
  scrittura w(uscita);
  if (o.json) {
    static constexpr std::string_view parole[] = {"cells", "table", "plan"};
    w << "{\"file\":" << stringa_json(nome) << ",\"kind\":\"" << parole[static_cast<int>(g)]
      << "\",\"bytes\":" << static_cast<int64_t>(dati.size()) << ',';
  }
  switch (g) {
    case genere_binario::celle: {
      const intervallo r = limiti(o, static_cast<int64_t>(celle.size()));
      o.json ? celle_json(w, celle, r, o) : celle_testo(w, nome, dati.size(), celle, r, o);
      break;
    }
    case genere_binario::tabella: {
      const intervallo r = limiti(o, posti_tabella);
      o.json ? tabella_json(w, tabella, r, o) : tabella_testo(w, nome, dati.size(), tabella, r, o);
      break;
    }
    case genere_binario::planimetria: {
      const intervallo r = limiti(o, piano.righe());
      o.json ? piano_json(w, piano, r, o) : piano_testo(w, nome, dati.size(), piano, r, o);
      break;
    }
  }
}

int esegui_ispezione(const opzioni_ispezione& o) {
  const auto g = o.genere ? o.genere : genere_da_nome(o.file);
  // Failures go to the program's one report (a file that cannot be read, a
  // malformed one): nothing is printed on standard output before the whole
  // file has been decoded.
  if (!g)
    throw std::invalid_argument("inspect: cannot tell the kind of " + testo_percorso(o.file) +
                                " from its name; give --kind plan, table or cells");
  const std::string dati = leggi_file(o.file);
  ispeziona(dati, testo_percorso(o.file), *g, o, std::cout);
  std::cout.flush();
  return uscita_ok;
}

}  // namespace tracciato
