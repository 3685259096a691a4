#include "documenti/documenti.h"

#include <cstdio>
#include <stdexcept>

#include "documenti/interno.h"

namespace tracciato {

std::string scheda_autore(const scenario& s, const treno_autore& t, const opzioni_documenti& o,
                          std::vector<std::string>& avvisi);
std::string ordine_autore(const scenario& s, const treno_autore& t, const opzioni_documenti& o,
                          std::vector<std::string>& avvisi);

documenti_autore componi_documenti(const scenario& s, std::string_view treno, const opzioni_documenti& o) {
  const treno_autore t = leggi_treno_autore(treno);
  documenti_autore d;
  d.scheda = scheda_autore(s, t, o, d.avvisi);
  d.rallentamenti = ordine_autore(s, t, o, d.avvisi);
  return d;
}

std::string data_validita(std::string_view testo) {
  int g = 0, m = 0, a = 0;
  char resto = 0;
  const std::string t(testo);
  const bool iso = std::sscanf(t.c_str(), "%4d-%2d-%2d%c", &a, &m, &g, &resto) == 3 && t.size() == 10;
  const bool punti = !iso && std::sscanf(t.c_str(), "%2d.%2d.%4d%c", &g, &m, &a, &resto) == 3 && t.size() == 10;
  const bool bisestile = (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
  const int giorni[] = {31, bisestile ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (!(iso || punti) || a < 1 || m < 1 || m > 12 || g < 1 || g > giorni[m - 1])
    throw std::invalid_argument("--valid-from \"" + t +
                                "\" is no date: give it as 2003-12-14 or as 14.12.2003");
  char b[40];
  std::snprintf(b, sizeof b, "%02d.%02d.%04d", g, m, a);
  return b;
}

}  // namespace tracciato
