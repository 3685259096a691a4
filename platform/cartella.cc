#include "platform/cartella.h"

#include <iostream>
#include <stdexcept>
#include <string>

namespace tracciato {

std::filesystem::path cartella_programma() {
  std::error_code e;
  const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", e);
  if (e) return std::filesystem::current_path();
  return eseguibile.parent_path();
}

void verifica_cartella(const std::filesystem::path& cartella) {
  std::error_code e;
  const auto stato = std::filesystem::status(cartella, e);
  if (!std::filesystem::exists(stato))
    throw std::invalid_argument("the output folder " + cartella.string() + " does not exist");
  if (!std::filesystem::is_directory(stato))
    throw std::invalid_argument("the output folder " + cartella.string() + " is not a folder");
}

void attendere() { std::cerr << "Attendere\n"; }  // one write: standard error is unbuffered

}  // namespace tracciato
