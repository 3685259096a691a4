#include "platform/file.h"

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

std::string troppo_grande(std::size_t massimo, std::uintmax_t dimensione) {
  return "it is over " + std::to_string(massimo >> 20) + " MiB (" + std::to_string(dimensione) +
         " bytes); a scenario's text file is far smaller";
}

}  // namespace

file_temporaneo::file_temporaneo(std::filesystem::path percorso)
    : percorso_(std::move(percorso)), nome_(percorso_.string() + ".tmp-XXXXXX") {
  fd_ = ::mkstemp(nome_.data());
  if (fd_ < 0) fallisci("cannot create a temporary file beside", percorso_);
}

file_temporaneo::~file_temporaneo() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(nome_.c_str());
}

void file_temporaneo::riserva(uint64_t dimensione) noexcept {
  if (dimensione > 0) (void)::fallocate(fd_, 0, 0, static_cast<off_t>(dimensione));
}

void file_temporaneo::scrivi(std::string_view dati, uint64_t posizione) {
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

void file_temporaneo::conferma() {
  if (fd_ < 0) throw std::logic_error("temporary file for " + percorso_.string() + " confirmed twice");
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  ::fchmod(fd_, 0666 & ~maschera);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int e = errno;
    ::unlink(nome_.c_str());
    errno = e;
    fallisci("cannot write", percorso_);
  }
  if (::rename(nome_.c_str(), percorso_.c_str()) != 0) {
    const int e = errno;
    ::unlink(nome_.c_str());
    errno = e;
    fallisci("cannot replace", percorso_);
  }
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
