#include "sources/scrivi_righe.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/file.h"
#include "platform/testo.h"

namespace tracciato {

std::string componi_righe(std::span<const std::string_view> tabella) {
  std::string testo;
  const size_t posti = std::min(tabella.size(), posti_tabella_righe);
  for (size_t posto = 0;; ++posto) {
    if (posto == posti)
      throw std::logic_error("a line table has no end-of-table line within its 1001 slots");
    if (tabella[posto] == fine_tabella) break;
    testo += da_utf8(tabella[posto]);
    testo += "\r\n";
  }
  return testo;
}

void scrivi_righe(const std::filesystem::path& percorso, std::span<const std::string_view> tabella) {
  sostituisci_file(percorso, componi_righe(tabella));
}

}  // namespace tracciato
