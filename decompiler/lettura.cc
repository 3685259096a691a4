#include "decompiler/lettura.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tracciato {
namespace {

[[noreturn]] void fallisci(const char* cosa, const std::filesystem::path& percorso) {
  throw std::system_error(errno, std::generic_category(), std::string(cosa) + " " + percorso.string());
}

}  // namespace

std::string leggi_binario(const std::filesystem::path& percorso) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fallisci("cannot open", percorso);
  struct ::stat st {};
  if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    errno = e;
    fallisci("cannot read", percorso);
  }
  std::string dati(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t letti = 0;
  char blocco[1 << 12];
  for (;;) {
    // Straight into the buffer while it has room; a file that grew since
    // fstat is read to its end all the same.
    const bool pieno = letti == dati.size();
    const ssize_t n = pieno ? ::read(fd, blocco, sizeof blocco) : ::read(fd, dati.data() + letti, dati.size() - letti);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      errno = e;
      fallisci("cannot read", percorso);
    }
    if (n == 0) break;
    if (pieno) dati.append(blocco, static_cast<std::size_t>(n));
    letti += static_cast<std::size_t>(n);
  }
  ::close(fd);
  dati.resize(letti);
  return dati;
}

}  // namespace tracciato
