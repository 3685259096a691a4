#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace tracciato {
namespace {

[[noreturn]] void fallisci(const std::string& cosa, const std::filesystem::path& percorso) {
  throw std::system_error(errno, std::generic_category(), cosa + " " + percorso.string());
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

std::string leggi_file(const std::filesystem::path& percorso) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fallisci("cannot open", percorso);
  std::string dati;
  char blocco[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, blocco, sizeof blocco);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      errno = e;
      fallisci("cannot read", percorso);
    }
    if (n == 0) break;
    dati.append(blocco, static_cast<size_t>(n));
  }
  ::close(fd);
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
