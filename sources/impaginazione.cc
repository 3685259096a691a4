#include "sources/impaginazione.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "loader/campi.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

// How the writer spaces one field: at least spazi blanks after the comma,
// more to right-align the value in larghezza columns; dopo blanks after it;
// senza_virgola: apart from the previous number by blanks alone, as the
// writer spaces the clock; dopo_zero: the blanks after the comma where the
// field before is a 0, as the writer spaces the record at the route's start.
struct spaziatura {
  int spazi = 2;
  int larghezza = 0;
  int dopo = 0;
  bool senza_virgola = false;
  int dopo_zero = -1;
};

// The built-in writer's spacing of each record, field by field, in genere_voce order.
std::vector<spaziatura> spaziature(genere_voce g) {
  using enum genere_voce;
  auto fissa = [](size_t n, int spazi) { return std::vector<spaziatura>(n, spaziatura{spazi}); };
  switch (g) {
    case lunghezza: case sfondo_uno: case sfondo_due: case sfondo_tre: case massa: case vetture: case sabbia:
      return fissa(1, 4);
    case progressiva_tre: case progressiva_due: case progressiva_uno: return fissa(3, 4);
    case ripetizione: return {{4, 0, 4}, {0}};
    case orologio: return {{4}, {14, 0, 0, true}, {12, 0, 0, true}};
    case pendenza: return {{2, 4}, {3, 0, 0, false, 4}};
    case curva: return fissa(2, 2);
    case montagna: return {{3}, {2}, {2}};
    case indicatori: return fissa(9, 2);
    case cartello: return {{2}, {3}};
    case aderenza: return {{3}, {3, 0, 0, false, 4}};
    case velocita: return {{0, 8}, {0, 6}};
    case segnale: return {{0, 8}, {3}, {1}, {1}, {2}, {1}, {4}, {2}, {0}, {0}, {1}};
    case stazione:
      return {{0, 8}, {0, 3}, {2}, {2}, {1}, {1}, {2}, {0}, {0}, {2}, {0}, {0}, {0, 5}, {0, 4}, {0, 2}, {1}, {1}};
    case rallentamento: return {{0, 8}, {3}, {3}, {3}, {3}, {3}};
    case abbattimento: return {{0, 8}, {3}};
  }
  return {};
}

// The line re-spaced, or nullopt when it is not exactly one whole record.
std::optional<std::string> riga_impaginata(std::string_view r, tipo_file file, bool generale) {
  lettore_campi l(r, "");
  if (l.fine_file()) return std::nullopt;
  const auto parola = l.leggi_grezzo(larghezza::testo);
  if (parola.testo.find('-') != std::string_view::npos) return std::nullopt;
  const riconosciuti v = riconosci_voci(file, generale, parola.testo);
  if (v.empty()) return std::nullopt;
  const record_formato& f = formato_di(v.front());
  const std::vector<spaziatura> s = spaziature(f.genere);
  if (s.size() != f.campi.size()) return std::nullopt;
  std::string o(parola.testo);
  std::string_view precedente = parola.testo;
  size_t fine = parola.fine;
  for (size_t i = 0; i < f.campi.size(); ++i) {
    // A record that runs on to the next line, or ends in an empty field, stays as it is.
    if (l.fine_file()) return std::nullopt;
    const auto c = l.leggi_grezzo(f.campi[i].tipo);
    const bool virgola = !(s[i].senza_virgola && !precedente.empty() && !c.testo.empty());
    if (virgola) o += ',';
    int riempi = std::max(s[i].spazi, s[i].larghezza - static_cast<int>(c.testo.size()));
    if (s[i].dopo_zero >= 0 && precedente == "0") riempi = s[i].dopo_zero;
    o.append(static_cast<size_t>(std::max(riempi, virgola ? 0 : 1)), ' ');
    o += c.testo;
    if (i + 1 < f.campi.size()) o.append(static_cast<size_t>(s[i].dopo), ' ');
    precedente = c.testo;
    fine = c.fine;
  }
  // Anything after the last field, a comma too, would be read as the next keyword.
  if (r.find_first_not_of(" \t", fine) != std::string_view::npos) return std::nullopt;
  if (f.genere == genere_voce::orologio) o += ' ';
  return o;
}

}  // namespace

std::string impagina(std::string_view testo, tipo_file file) {
  std::string o;
  o.reserve(testo.size() + testo.size() / 8);
  bool iniziato = false, generale = true;
  size_t i = 0;
  while (i < testo.size()) {
    size_t j = testo.find_first_of("\r\n", i);
    if (j == std::string_view::npos) j = testo.size();
    size_t k = j;  // past the line end
    if (k < testo.size()) k += testo[k] == '\r' && k + 1 < testo.size() && testo[k + 1] == '\n' ? 2 : 1;
    const std::string_view r = testo.substr(i, j - i);
    const size_t a = r.find_first_not_of(" \t");
    const bool intestazione = a != std::string_view::npos && r[a] == '[' && r.find(']') != std::string_view::npos;
    std::optional<std::string> nuova;
    if (iniziato && !intestazione) nuova = riga_impaginata(r, file, file == tipo_file::linea && generale);
    o += nuova ? std::string_view(*nuova) : r;
    o += testo.substr(j, k - j);
    if (contiene_senza_caso(r, "[generale]")) {
      iniziato = true;
    } else if (iniziato && intestazione) {
      generale = false;
    }
    i = k;
  }
  return o;
}

}  // namespace tracciato
