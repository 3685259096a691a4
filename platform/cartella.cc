#include "platform/cartella.h"

#include <iostream>

namespace tracciato {

std::filesystem::path cartella_programma() {
  std::error_code e;
  const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", e);
  if (e) return std::filesystem::current_path();
  return eseguibile.parent_path();
}

void attendere() { std::cerr << "Attendere\n"; }  // one write: standard error is unbuffered

}  // namespace tracciato
