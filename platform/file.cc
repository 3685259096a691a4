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

// Writes all of dati to fd, resuming after short writes.
bool scrivi_tutto(int fd, std::string_view dati) {
  while (!dati.empty()) {
    const ssize_t n = ::write(fd, dati.data(), dati.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    dati.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string troppo_grande(std::size_t massimo, std::uintmax_t dimensione) {
  return "it is over " + std::to_string(massimo >> 20) + " MiB (" + std::to_string(dimensione) +
         " bytes); a scenario's text file is far smaller";
}

}  // namespace

void sostituisci_file(const std::filesystem::path& percorso, std::string_view contenuto) {
  std::string modello = percorso.string() + ".tmp-XXXXXX";
  std::vector<char> nome(modello.begin(), modello.end());
  nome.push_back('\0');
  const int fd = ::mkstemp(nome.data());
  if (fd < 0) fallisci("cannot create a temporary file beside", percorso);
  const bool scritto = scrivi_tutto(fd, contenuto);
  const int errno_scrittura = errno;
  // New files get the usual permissions, not mkstemp's private ones.
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  ::fchmod(fd, 0666 & ~maschera);
  const bool chiuso = ::close(fd) == 0;
  if (!scritto || !chiuso) {
    ::unlink(nome.data());
    errno = scritto ? errno : errno_scrittura;
    fallisci("cannot write", percorso);
  }
  if (::rename(nome.data(), percorso.c_str()) != 0) {
    const int e = errno;
    ::unlink(nome.data());
    errno = e;
    fallisci("cannot replace", percorso);
  }
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
  std::string dati;
  dati.reserve(dimensione);
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
    if (dati.size() > massimo) {  // it grew while being read
      ::close(fd);
      throw std::runtime_error("cannot read " + percorso.string() + ": " +
                               troppo_grande(massimo, dati.size()));
    }
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
