#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace tracciato {
namespace {

[[noreturn]] void fallisci(const std::string& cosa, const std::filesystem::path& percorso) {
  throw std::system_error(errno, std::generic_category(), cosa + " " + percorso.string());
}

// Removes the file rimosso, then fails as fallisci does, with the errno of
// the failure that came before.
[[noreturn]] void fallisci_rimuovendo(const std::filesystem::path& rimosso, const std::string& cosa,
                                      const std::filesystem::path& percorso) {
  const int e = errno;
  ::unlink(rimosso.c_str());
  errno = e;
  fallisci(cosa, percorso);
}

std::string troppo_grande(std::size_t massimo, std::uintmax_t dimensione) {
  return "it is over " + std::to_string(massimo >> 20) + " MiB (" + std::to_string(dimensione) +
         " bytes); a scenario's text file is far smaller";
}

}  // namespace

file_nuovo::file_nuovo(std::filesystem::path percorso) : percorso_(std::move(percorso)) {
  fd_ = ::open(percorso_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd_ < 0) fallisci("cannot create", percorso_);
}

file_nuovo::file_nuovo(file_nuovo&& altro) noexcept
    : percorso_(std::move(altro.percorso_)), fd_(std::exchange(altro.fd_, -1)) {}

file_nuovo::~file_nuovo() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(percorso_.c_str());
}

void file_nuovo::riserva(uint64_t dimensione) noexcept {
  if (dimensione > 0) (void)::fallocate(fd_, 0, 0, static_cast<off_t>(dimensione));
}

void file_nuovo::scrivi(std::string_view dati, uint64_t posizione) {
  while (!dati.empty()) {
    const ssize_t n = ::pwrite(fd_, dati.data(), dati.size(), static_cast<off_t>(posizione));
    if (n < 0) {
      if (errno == EINTR) continue;
      fallisci("cannot write", percorso_);
    }
    dati.remove_prefix(static_cast<size_t>(n));
    posizione += static_cast<uint64_t>(n);
  }
}

void file_nuovo::chiudi() {
  if (fd_ < 0) throw std::logic_error(percorso_.string() + " closed twice");
  if (::close(std::exchange(fd_, -1)) != 0) fallisci_rimuovendo(percorso_, "cannot write", percorso_);
}

void crea_file(const std::filesystem::path& percorso, std::string_view contenuto) {
  file_nuovo f(percorso);
  f.scrivi(contenuto, 0);
  f.chiudi();
}

namespace {

// A new file beside percorso under a name of its own: percorso's name, then
// ".tmp-" and six characters that differ from run to run.
file_nuovo temporaneo_accanto(const std::filesystem::path& percorso) {
  static constexpr char cifre[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_";
  static std::atomic<uint64_t> contatore{0};
  for (int tentativo = 0;; ++tentativo) {
    // splitmix64 over the process, the clock and a counter: collisions are
    // rare, and a name in use is simply passed over.
    uint64_t z = (static_cast<uint64_t>(::getpid()) << 32) ^ (++contatore * 0x9E3779B97F4A7C15ULL) ^
                 static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    std::string nome = percorso.string() + ".tmp-";
    for (int i = 0; i < 6; ++i, z >>= 6) nome += cifre[z & 63];
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

void file_temporaneo::conferma() {
  file_.chiudi();
  if (::rename(file_.percorso().c_str(), percorso_.c_str()) != 0)
    fallisci_rimuovendo(file_.percorso(), "cannot replace", percorso_);
}

void sostituisci_file(const std::filesystem::path& percorso, std::string_view contenuto) {
  file_temporaneo f(percorso);
  f.scrivi(contenuto, 0);
  f.conferma();
}

namespace {

// Opens percorso for reading after the checks of leggi_file; returns the
// descriptor and the size.
std::pair<int, std::size_t> apri_lettura(const std::filesystem::path& percorso, std::size_t massimo) {
  // Non-blocking, so that opening a FIFO with no writer does not wait.
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) fallisci("cannot open", percorso);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    errno = e;
    fallisci("cannot read", percorso);
  }
  auto rifiuta = [&](const std::string& perche) {
    ::close(fd);
    throw std::runtime_error("cannot read " + percorso.string() + ": " + perche);
  };
  if (S_ISDIR(st.st_mode)) rifiuta("it is a folder");
  if (!S_ISREG(st.st_mode)) rifiuta("it is not a regular file (a FIFO, a device or a socket)");
  const auto dimensione = static_cast<std::uintmax_t>(st.st_size);
  if (dimensione > massimo) rifiuta(troppo_grande(massimo, dimensione));
  return {fd, static_cast<std::size_t>(st.st_size)};
}

}  // namespace

void verifica_leggibile(const std::filesystem::path& percorso, std::size_t massimo) {
  ::close(apri_lettura(percorso, massimo).first);
}

std::string leggi_file(const std::filesystem::path& percorso, std::size_t massimo) {
  const auto [fd, dimensione] = apri_lettura(percorso, massimo);
  // Straight into a buffer of the size asked, so that a large file is neither
  // grown nor copied on the way; a file that grew since is read to its end.
  std::string dati(dimensione, '\0');
  std::size_t letti = 0;
  char blocco[1 << 12];
  for (;;) {
    const bool pieno = letti == dati.size();
    const ssize_t n =
        pieno ? ::read(fd, blocco, sizeof blocco) : ::read(fd, dati.data() + letti, dati.size() - letti);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      errno = e;
      fallisci("cannot read", percorso);
    }
    if (n == 0) break;
    if (pieno) dati.append(blocco, static_cast<size_t>(n));
    letti += static_cast<size_t>(n);
    if (letti > massimo) {  // it grew while being read
      ::close(fd);
      throw std::runtime_error("cannot read " + percorso.string() + ": " + troppo_grande(massimo, letti));
    }
  }
  ::close(fd);
  dati.resize(letti);
  return dati;
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
