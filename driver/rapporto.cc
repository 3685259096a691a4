#include <iostream>

#include "driver/esecuzione.h"

namespace tracciato {

int rapporta(const scenario& s, const opzioni_rapporto& rapporto) {
  (void)rapporto;
  if (s.codice_errore == 0)
    std::cout << "no fault\n";
  else
    std::cout << "fault " << s.codice_errore << "\n";
  return s.file_scritti.empty() ? uscita_fallita : uscita_ok;
}

}  // namespace tracciato
