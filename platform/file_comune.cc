#include "platform/file_comune.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <system_error>
#include <utility>

#include "platform/file.h"
#include "platform/percorso.h"

namespace tracciato {

std::string troppo_grande(std::size_t massimo, std::uintmax_t dimensione) {
  return "it is over " + std::to_string(massimo >> 20) + " MiB (" + std::to_string(dimensione) +
         " bytes); a scenario's text file is far smaller";
}

void crea_file(const std::filesystem::path& percorso, std::string_view contenuto) {
  file_nuovo f(percorso);
  f.scrivi(contenuto, 0);
  f.chiudi();
}

namespace {

uint64_t numero_processo() {
#ifdef _WIN32
  return static_cast<uint64_t>(::_getpid());
#else
  return static_cast<uint64_t>(::getpid());
#endif
}

// A new file beside percorso under a name of its own: percorso's name, then
// ".tmp-" and six characters that differ from run to run.
file_nuovo temporaneo_accanto(const std::filesystem::path& percorso) {
  static constexpr char cifre[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_";
  static std::atomic<uint64_t> contatore{0};
  for (int tentativo = 0;; ++tentativo) {
    // splitmix64 over the process, the clock and a counter: collisions are
    // rare, and a name in use is simply passed over.
    uint64_t z = (numero_processo() << 32) ^ (++contatore * 0x9E3779B97F4A7C15ULL) ^
                 static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    std::string coda = ".tmp-";
    for (int i = 0; i < 6; ++i, z >>= 6) coda += cifre[z & 63];
    std::filesystem::path nome = percorso;
    nome += percorso_utf8(coda);
    try {
      return file_nuovo(std::move(nome));
    } catch (const std::system_error& e) {
      if (e.code() != std::errc::file_exists || tentativo == 100)
        throw std::system_error(e.code(), "cannot create a temporary file beside " + percorso.string());
    }
  }
}

}  // namespace

file_temporaneo::file_temporaneo(std::filesystem::path percorso)
    : percorso_(std::move(percorso)), file_(temporaneo_accanto(percorso_)) {}

void sostituisci_file(const std::filesystem::path& percorso, std::string_view contenuto) {
  file_temporaneo f(percorso);
  f.scrivi(contenuto, 0);
  f.conferma();
}

bool esiste_file(const std::filesystem::path& percorso) {
  std::error_code e;
  return std::filesystem::is_regular_file(percorso, e);
}

bool cancella_file(const std::filesystem::path& percorso) noexcept {
  std::error_code e;
  std::filesystem::remove(percorso, e);
  return !std::filesystem::exists(percorso, e);
}

}  // namespace tracciato
