#include "platform/file.h"

#include "platform/avvio.h"
#include "platform/file_comune.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

void file_temporaneo::conferma() {
  file_.chiudi();
  if (::rename(file_.percorso().c_str(), percorso_.c_str()) != 0)
    fallisci_rimuovendo(file_.percorso(), "cannot replace", percorso_);
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
  std::string dati;
  dati.reserve(dimensione);
  popola_memoria(dati.data(), dimensione);
  dati.resize(dimensione);
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

file_in_lettura::file_in_lettura(std::filesystem::path percorso, std::size_t massimo) : percorso_(std::move(percorso)) {
  const auto [fd, dimensione] = apri_lettura(percorso_, massimo);
  fd_ = fd;
  dimensione_ = dimensione;
}

file_in_lettura::file_in_lettura(file_in_lettura&& altro) noexcept
    : percorso_(std::move(altro.percorso_)),
      fd_(std::exchange(altro.fd_, -1)),
      dimensione_(std::exchange(altro.dimensione_, 0)) {}

file_in_lettura::~file_in_lettura() {
  if (fd_ >= 0) ::close(fd_);
}

void file_in_lettura::leggi(char* dove, std::size_t n, uint64_t posizione) const {
  while (n > 0) {
    const ssize_t letti = ::pread(fd_, dove, n, static_cast<off_t>(posizione));
    if (letti < 0) {
      if (errno == EINTR) continue;
      fallisci("cannot read", percorso_);
    }
    if (letti == 0)
      throw std::runtime_error("cannot read " + percorso_.string() + ": it was cut short while being read");
    dove += letti;
    n -= static_cast<std::size_t>(letti);
    posizione += static_cast<uint64_t>(letti);
  }
}

}  // namespace tracciato
