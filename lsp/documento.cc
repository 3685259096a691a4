#include "lsp/documento.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "loader/campi.h"
#include "platform/percorso.h"
#include "platform/testo.h"
#include "platform/uri.h"

namespace tracciato::lsp {
namespace {


// Whether a file name ends in fine (lower case) in any letter case.
bool finisce_con_nome(std::string_view s, std::string_view fine) { return finisce_con(in_minuscolo(s), fine); }

}  // namespace

std::string in_cp1252(std::string_view u) {
  std::string s;
  s.reserve(u.size());
  for (size_t i = 0; i < u.size();) {
    const auto [c, n] = decodifica_utf8(u, i);
    if (n == 0) {  // not UTF-8: the byte as it stands
      s += u[i++];
      continue;
    }
    i += n;
    if (c > 0xFFFF) {
      s += "??";  // two UTF-16 code units
      continue;
    }
    // The five bytes the code page leaves undefined come back from their C1 controls.
    int b = byte_1252(c);
    if (b < 0 && c >= 0x80 && c < 0xA0 && carattere_1252(static_cast<unsigned char>(c)) == c) b = static_cast<int>(c);
    s += b < 0 ? '?' : static_cast<char>(b);
  }
  return s;
}

std::string in_utf8(std::string_view w) { return a_utf8(w); }

std::string come_utf8(std::string_view t) {
  for (size_t i = 0; i < t.size();) {
    const size_t n = decodifica_utf8(t, i).second;
    if (n == 0) return in_utf8(t);
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

std::optional<std::filesystem::path> percorso_di(std::string_view uri) { return percorso_da_uri(uri); }

genere_file genere_di(std::string_view dati, std::string_view nome_file) {
  const size_t dove = in_minuscolo(dati).find("[generale]");
  if (dove != std::string::npos) {
    std::string_view resto = dati.substr(dove + 10);
    while (!resto.empty()) {
      const size_t fine = resto.find_first_of(",\r\n");
      const std::string_view campo = resto.substr(0, fine);
      const record_formato* l = riconosci(genere_file::linea, campo);
      const record_formato* t = riconosci(genere_file::treno, campo);
      if (l && !t) return genere_file::linea;
      if (t && !l) return genere_file::treno;
      if (fine == std::string_view::npos) break;
      resto.remove_prefix(fine + 1);
    }
  }
  if (finisce_con_nome(nome_file, "_linea.txt")) return genere_file::linea;
  if (finisce_con_nome(nome_file, "-.txt")) return genere_file::treno;
  return genere_file::ignoto;
}

file_cartella elenca_cartella(const std::filesystem::path& cartella) {
  file_cartella f;
  std::error_code e;
  for (std::filesystem::directory_iterator it(cartella, e), end; !e && it != end; it.increment(e)) {
    std::string nome = it->path().filename().string();
    const bool linea = finisce_con_nome(nome, "_linea.txt"), treno = finisce_con_nome(nome, "-.txt");
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
    return cartella / percorso_utf8(*da == nome ? *(da + 1) : *da);
  };

  if (genere == genere_file::linea && finisce_con_nome(nome, "_linea.txt")) {
    // S_linea.txt: the train files S_T-.txt of the same scenario.
    const std::string s = nome.substr(0, nome.size() - 10) + "_";
    const auto da = std::lower_bound(altri.begin(), altri.end(), s);
    auto a = da;
    while (a != altri.end() && a->compare(0, s.size(), s) == 0) ++a;
    if (da != a) return unico(da, a);
  } else if (genere == genere_file::treno && finisce_con_nome(nome, "-.txt")) {
    // S_T-.txt: S is everything before the last "_".
    const size_t u = nome.rfind('_');
    if (u != std::string::npos && u > 0) {
      const std::string linea = nome.substr(0, u) + "_linea.txt";
      if (std::binary_search(altri.begin(), altri.end(), linea)) return cartella / percorso_utf8(linea);
    }
  }
  return unico(altri.begin(), altri.end());
}

riga_record analizza_riga(genere_file genere, std::string_view r) {
  // The line is split by the loader's own field reader.
  riga_record rr;
  lettore_campi l(r, "");
  if (l.fine_file()) return rr;
  const auto campo = [](const lettore_campi::campo_grezzo& c) { return campo_riga{c.inizio, c.fine, c.testo}; };
  rr.parola = campo(l.leggi_grezzo(larghezza::testo));
  // A keyword field with a hyphen is passed over by the reader.
  if (rr.parola.testo.find('-') != std::string_view::npos) return rr;
  rr.schema = riconosci(genere, rr.parola.testo);
  if (!rr.schema) return rr;
  for (const campo_formato& c : rr.schema->campi) {
    if (l.fine_file()) break;
    rr.campi.push_back(campo(l.leggi_grezzo(c.tipo)));
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
