#include "lsp/documento.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "platform/testo.h"

namespace tracciato::lsp {
namespace {

// The Windows-1252 byte of code point c, the five undefined bytes included
// as the C1 controls a_utf8 gives them; '?' when the code page lacks it.
char da_carattere(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (unsigned b = 0x80; b < 0xA0; ++b)
    if (carattere_1252(static_cast<unsigned char>(b)) == c) return static_cast<char>(b);
  return '?';
}

bool blank(char c) { return c == ' ' || c == '\t'; }

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && in_minuscolo(s.substr(s.size() - fine.size())) == fine;
}

}  // namespace

std::string in_cp1252(std::string_view u) {
  std::string s;
  s.reserve(u.size());
  for (size_t i = 0; i < u.size();) {
    const auto b = static_cast<unsigned char>(u[i]);
    const int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool valido = n > 0 && i + n <= u.size();
    char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; valido && k < n; ++k) {
      const auto t = static_cast<unsigned char>(u[i + k]);
      valido = (t >> 6) == 2;
      c = (c << 6) | (t & 0x3F);
    }
    if (!valido) {  // not UTF-8: the byte as it stands
      s += static_cast<char>(b);
      ++i;
      continue;
    }
    if (c > 0xFFFF) {
      s += "??";  // two UTF-16 code units
    } else {
      s += da_carattere(c);
    }
    i += n;
  }
  return s;
}

std::string in_utf8(std::string_view w) { return a_utf8(w); }

std::string come_utf8(std::string_view t) {
  for (size_t i = 0; i < t.size();) {
    const auto b = static_cast<unsigned char>(t[i]);
    const int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > t.size()) return in_utf8(t);
    for (int k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(t[i + k]) >> 6) != 2) return in_utf8(t);
    i += n;
  }
  return std::string(t);
}

std::vector<std::string_view> righe_di(std::string_view t) {
  std::vector<std::string_view> righe;
  size_t inizio = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '\r' && t[i] != '\n') continue;
    righe.push_back(t.substr(inizio, i - inizio));
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
    inizio = i + 1;
  }
  if (inizio < t.size() || righe.empty()) righe.push_back(t.substr(inizio));
  return righe;
}

std::optional<std::filesystem::path> percorso_di(std::string_view uri) {
  constexpr std::string_view schema = "file://";
  if (uri.substr(0, schema.size()) != schema) return std::nullopt;
  uri.remove_prefix(schema.size());
  // file://host/path: only the local host is ours.
  if (uri.substr(0, 9) == "localhost") uri.remove_prefix(9);
  if (uri.empty() || uri.front() != '/') return std::nullopt;
  std::string p;
  for (size_t i = 0; i < uri.size(); ++i) {
    auto cifra = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                    : -1;
    };
    if (uri[i] == '%' && i + 2 < uri.size() && cifra(uri[i + 1]) >= 0 && cifra(uri[i + 2]) >= 0) {
      p += static_cast<char>(cifra(uri[i + 1]) * 16 + cifra(uri[i + 2]));
      i += 2;
    } else {
      p += uri[i];
    }
  }
  return std::filesystem::path(p);
}

genere_file genere_di(std::string_view dati, std::string_view nome_file) {
  const size_t dove = in_minuscolo(dati).find("[generale]");
  if (dove != std::string::npos) {
    std::string_view resto = dati.substr(dove + 10);
    while (!resto.empty()) {
      const size_t fine = resto.find_first_of(",\r\n");
      const std::string_view campo = resto.substr(0, fine);
      const record_schema* l = riconosci(genere_file::linea, campo);
      const record_schema* t = riconosci(genere_file::treno, campo);
      if (l && !t) return genere_file::linea;
      if (t && !l) return genere_file::treno;
      if (fine == std::string_view::npos) break;
      resto.remove_prefix(fine + 1);
    }
  }
  if (finisce_con(nome_file, "_linea.txt")) return genere_file::linea;
  if (finisce_con(nome_file, "-.txt")) return genere_file::treno;
  return genere_file::ignoto;
}

file_cartella elenca_cartella(const std::filesystem::path& cartella) {
  file_cartella f;
  std::error_code e;
  for (std::filesystem::directory_iterator it(cartella, e), end; !e && it != end; it.increment(e)) {
    std::string nome = it->path().filename().string();
    const bool linea = finisce_con(nome, "_linea.txt"), treno = finisce_con(nome, "-.txt");
    if ((!linea && !treno) || !it->is_regular_file(e)) continue;
    (linea ? f.linee : f.treni).push_back(std::move(nome));
  }
  std::sort(f.linee.begin(), f.linee.end());
  std::sort(f.treni.begin(), f.treni.end());
  return f;
}

std::optional<std::filesystem::path> cerca_compagno(const std::filesystem::path& percorso,
                                                    genere_file genere) {
  if (genere == genere_file::ignoto) return std::nullopt;
  return cerca_compagno(percorso, genere, elenca_cartella(percorso.parent_path()));
}

std::optional<std::filesystem::path> cerca_compagno(const std::filesystem::path& percorso,
                                                    genere_file genere, const file_cartella& elenco) {
  if (genere == genere_file::ignoto) return std::nullopt;
  const auto cartella = percorso.parent_path();
  const std::string nome = percorso.filename().string();
  const std::vector<std::string>& altri = genere == genere_file::linea ? elenco.treni : elenco.linee;
  // The names of altri from da to a, the file itself left out: the partner
  // when there is exactly one.
  const auto unico = [&](auto da, auto a) -> std::optional<std::filesystem::path> {
    const auto se_stesso = std::lower_bound(da, a, nome);
    const size_t n = static_cast<size_t>(a - da) - (se_stesso != a && *se_stesso == nome ? 1 : 0);
    if (n != 1) return std::nullopt;
    return cartella / (*da == nome ? *(da + 1) : *da);
  };

  if (genere == genere_file::linea && finisce_con(nome, "_linea.txt")) {
    // S_linea.txt: the train files S_T-.txt of the same scenario.
    const std::string s = nome.substr(0, nome.size() - 10) + "_";
    const auto da = std::lower_bound(altri.begin(), altri.end(), s);
    auto a = da;
    while (a != altri.end() && a->compare(0, s.size(), s) == 0) ++a;
    if (da != a) return unico(da, a);
  } else if (genere == genere_file::treno && finisce_con(nome, "-.txt")) {
    // S_T-.txt: S is everything before the last "_".
    const size_t u = nome.rfind('_');
    if (u != std::string::npos && u > 0) {
      const std::string linea = nome.substr(0, u) + "_linea.txt";
      if (std::binary_search(altri.begin(), altri.end(), linea)) return cartella / linea;
    }
  }
  return unico(altri.begin(), altri.end());
}

riga_record analizza_riga(genere_file genere, std::string_view r) {
  riga_record rr;
  size_t i = 0;
  while (i < r.size() && blank(r[i])) ++i;
  auto testo = [&](size_t a) {
    size_t b = r.find(',', a);
    if (b == std::string_view::npos) b = r.size();
    size_t f = b;
    while (f > a && blank(r[f - 1])) --f;
    i = b < r.size() ? b + 1 : b;
    return campo_riga{a, f, r.substr(a, f - a)};
  };
  if (i >= r.size()) return rr;
  rr.parola = testo(i);
  // A keyword field with a hyphen is passed over by the reader.
  if (rr.parola.testo.find('-') != std::string_view::npos) return rr;
  rr.schema = riconosci(genere, rr.parola.testo);
  if (!rr.schema) return rr;
  for (const campo_record& c : rr.schema->campi) {
    while (i < r.size() && blank(r[i])) ++i;
    if (i >= r.size()) break;
    if (c.tipo == tipo_campo::testo) {
      rr.campi.push_back(testo(i));
      continue;
    }
    const size_t a = i;
    while (i < r.size() && !blank(r[i]) && r[i] != ',') ++i;
    rr.campi.push_back({a, i, r.substr(a, i - a)});
    while (i < r.size() && blank(r[i])) ++i;
    if (i < r.size() && r[i] == ',') ++i;
  }
  return rr;
}

std::optional<std::string_view> intestazione(std::string_view r) {
  const size_t a = r.find_first_not_of(" \t");
  const size_t b = r.find_last_not_of(" \t");
  if (a == std::string_view::npos || r[a] != '[' || r[b] != ']' || b - a < 2) return std::nullopt;
  return r.substr(a + 1, b - a - 1);
}

}  // namespace tracciato::lsp
