#include "platform/insieme_comune.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/insieme.h"

namespace tracciato {
namespace insieme_comune {

bool nome_ammesso(std::string_view nome) {
#ifdef _WIN32
  constexpr std::string_view vietati("/\\:\n\0", 5);
#else
  constexpr std::string_view vietati("/\n\0", 3);
#endif
  return !nome.empty() && nome != "." && nome != ".." && nome != marcatore && nome != annullato &&
         nome != file_firma && !nome.starts_with(prefisso_vecchio) && nome.find_first_of(vietati) == std::string_view::npos;
}

std::string firma(std::string_view nome, const identita& id, std::string_view testo) {
  const std::string tutto = std::string(nome) + '\0' + std::to_string(id.inode) + ' ' +
                            std::to_string(id.nascita_s) + '.' + std::to_string(id.nascita_ns) + '\0' +
                            std::string(testo);
  uint64_t h = 0xcbf29ce484222325u;
  for (unsigned char c : tutto) h = (h ^ c) * 0x100000001b3u;
  char cifre[17];
  std::snprintf(cifre, sizeof cifre, "%016llx", static_cast<unsigned long long>(h));
  return cifre;
}

std::string nome_vecchio(std::size_t i) { return std::string(prefisso_vecchio) + std::to_string(i); }

}  // namespace insieme_comune

bool insieme_scenario(const std::vector<std::string>& nomi) {
  if (nomi.size() != 2 && nomi.size() != 3) return false;
  if (!std::all_of(nomi.begin(), nomi.end(), [](const std::string& n) { return insieme_comune::nome_ammesso(n); }))
    return false;
  // S_T.sim and S_T.dat.
  const std::string& sim = nomi[nomi.size() - 2];
  if (!sim.ends_with(".sim") || sim.size() == 4) return false;
  const std::string base = sim.substr(0, sim.size() - 4);
  if (nomi.back() != base + ".dat") return false;
  if (nomi.size() == 2) return true;
  // S_linea.dat before them, S_ the start of S_T, and not the name of S_T.dat.
  constexpr std::string_view coda = "_linea.dat";
  const std::string& linea = nomi[0];
  if (!linea.ends_with(coda) || linea.size() == coda.size() || linea == nomi.back()) return false;
  const std::string_view scenario(linea.data(), linea.size() - coda.size() + 1);
  return base.size() > scenario.size() && base.starts_with(scenario);
}

}  // namespace tracciato
