#include "model/regole.h"

#include <optional>

#include "model/luogo.h"

#include "model/scenario.h"

namespace tracciato {

int64_t chilometrica(const scenario& s, int64_t p) {
  std::optional<size_t> scelta, prima;
  for (size_t k = posto_progressiva_tre; k <= posto_progressiva_uno; ++k) {
    const voce_tabella& r = s.tabella[k];
    if (r.valore1 == 0 && r.valore2 == 0 && r.valore3 == 0) continue;  // unused
    if (r.valore1 <= p && (!scelta || r.valore1 > s.tabella[*scelta].valore1)) scelta = k;
    if (!prima || r.valore1 < s.tabella[*prima].valore1) prima = k;
  }
  if (!scelta) scelta = prima;
  if (!scelta) return p;
  const voce_tabella& r = s.tabella[*scelta];
  return static_cast<int64_t>(r.valore2) + (p - r.valore1);
}

std::string testo_chilometrica(int64_t metri) {
  const bool negativo = metri < 0;
  const int64_t m = negativo ? -metri : metri;
  std::string resto = std::to_string(m % 1000);
  resto.insert(0, 3 - resto.size(), '0');
  return std::string("km ") + (negativo ? "-" : "") + std::to_string(m / 1000) + "+" + resto;
}

std::string testo_luogo(const scenario& s, int64_t p, cella_voce c, std::string_view trattino) {
  std::string t = std::to_string(p) + " m (";
  const int64_t n = cella_della_voce(c, p);
  if (n >= 0)
    t += "cell " + std::to_string(n) + ", " + std::to_string(n * 50) + std::string(trattino) +
         std::to_string(n * 50 + 49) + " m; ";
  return t + testo_chilometrica(chilometrica(s, p)) + ")";
}

}  // namespace tracciato
