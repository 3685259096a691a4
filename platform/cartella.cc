#include "platform/cartella.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <iostream>
#include <stdexcept>
#include <string>

namespace tracciato {

std::filesystem::path cartella_programma() {
#ifdef _WIN32
  std::wstring nome(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
    if (n == 0) return std::filesystem::current_path();
    if (n < nome.size()) {
      nome.resize(n);
      return std::filesystem::path(nome).parent_path();
    }
    nome.resize(nome.size() * 2);
  }
#endif
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
