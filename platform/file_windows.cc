// The files of platform/file.h on Windows: the C runtime's descriptors,
// opened by UTF-16 name, in binary mode; replacing by MoveFileExW.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "platform/file.h"
#include "platform/file_comune.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fallisci(const std::string& cosa, const fs::path& percorso) {
  throw std::system_error(errno, std::generic_category(), cosa + " " + percorso.string());
}

[[noreturn]] void fallisci_rimuovendo(const fs::path& rimosso, const std::string& cosa, const fs::path& percorso) {
  const int e = errno;
  ::DeleteFileW(rimosso.wstring().c_str());
  errno = e;
  fallisci(cosa, percorso);
}

int errno_di(DWORD e) {
  switch (e) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    default: return EIO;
  }
}

}  // namespace

file_nuovo::file_nuovo(fs::path percorso) : percorso_(std::move(percorso)) {
  fd_ = ::_wopen(percorso_.wstring().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
  if (fd_ < 0) fallisci("cannot create", percorso_);
}

file_nuovo::file_nuovo(file_nuovo&& altro) noexcept
    : percorso_(std::move(altro.percorso_)), fd_(std::exchange(altro.fd_, -1)) {}

file_nuovo::~file_nuovo() {
  if (fd_ < 0) return;
  ::_close(fd_);
  ::DeleteFileW(percorso_.wstring().c_str());
}

void file_nuovo::riserva(uint64_t dimensione) noexcept {
  if (dimensione > 0) (void)::_chsize_s(fd_, static_cast<long long>(dimensione));
}

void file_nuovo::scrivi(std::string_view dati, uint64_t posizione) {
  while (!dati.empty()) {
    if (::_lseeki64(fd_, static_cast<long long>(posizione), SEEK_SET) < 0) fallisci("cannot write", percorso_);
    const unsigned pezzo = static_cast<unsigned>(std::min<std::size_t>(dati.size(), 1u << 30));
    const int n = ::_write(fd_, dati.data(), pezzo);
    if (n < 0) fallisci("cannot write", percorso_);
    if (n == 0) {
      errno = ENOSPC;
      fallisci("cannot write", percorso_);
    }
    dati.remove_prefix(static_cast<size_t>(n));
    posizione += static_cast<uint64_t>(n);
  }
}

void file_nuovo::chiudi() {
  if (fd_ < 0) throw std::logic_error(percorso_.string() + " closed twice");
  if (::_close(std::exchange(fd_, -1)) != 0) fallisci_rimuovendo(percorso_, "cannot write", percorso_);
}

void file_temporaneo::conferma() {
  file_.chiudi();
  if (!::MoveFileExW(file_.percorso().wstring().c_str(), percorso_.wstring().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    errno = errno_di(::GetLastError());
    fallisci_rimuovendo(file_.percorso(), "cannot replace", percorso_);
  }
}

namespace {

// Opens percorso for reading after the checks of leggi_file; returns the
// descriptor and the size.
std::pair<int, std::size_t> apri_lettura(const fs::path& percorso, std::size_t massimo) {
  std::error_code e;
  const auto stato = fs::status(percorso, e);
  if (fs::is_directory(stato))
    throw std::runtime_error("cannot read " + percorso.string() + ": it is a folder");
  if (fs::exists(stato) && !fs::is_regular_file(stato))
    throw std::runtime_error("cannot read " + percorso.string() +
                             ": it is not a regular file (a FIFO, a device or a socket)");
  const int fd = ::_wopen(percorso.wstring().c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) fallisci("cannot open", percorso);
  struct _stat64 st;
  if (::_fstat64(fd, &st) != 0) {
    const int n = errno;
    ::_close(fd);
    errno = n;
    fallisci("cannot read", percorso);
  }
  auto rifiuta = [&](const std::string& perche) {
    ::_close(fd);
    throw std::runtime_error("cannot read " + percorso.string() + ": " + perche);
  };
  if ((st.st_mode & _S_IFMT) != _S_IFREG) rifiuta("it is not a regular file (a FIFO, a device or a socket)");
  const auto dimensione = static_cast<std::uintmax_t>(st.st_size);
  if (dimensione > massimo) rifiuta(troppo_grande(massimo, dimensione));
  return {fd, static_cast<std::size_t>(st.st_size)};
}

}  // namespace

void verifica_leggibile(const fs::path& percorso, std::size_t massimo) {
  ::_close(apri_lettura(percorso, massimo).first);
}

std::string leggi_file(const fs::path& percorso, std::size_t massimo) {
  const auto [fd, dimensione] = apri_lettura(percorso, massimo);
  std::string dati(dimensione, '\0');
  std::size_t letti = 0;
  char blocco[1 << 12];
  for (;;) {
    const bool pieno = letti == dati.size();
    const int n = pieno ? ::_read(fd, blocco, sizeof blocco)
                        : ::_read(fd, dati.data() + letti,
                                  static_cast<unsigned>(std::min<std::size_t>(dati.size() - letti, 1u << 30)));
    if (n < 0) {
      const int e = errno;
      ::_close(fd);
      errno = e;
      fallisci("cannot read", percorso);
    }
    if (n == 0) break;
    if (pieno) dati.append(blocco, static_cast<size_t>(n));
    letti += static_cast<size_t>(n);
    if (letti > massimo) {
      ::_close(fd);
      throw std::runtime_error("cannot read " + percorso.string() + ": " + troppo_grande(massimo, letti));
    }
  }
  ::_close(fd);
  dati.resize(letti);
  return dati;
}

file_in_lettura::file_in_lettura(fs::path percorso, std::size_t massimo) : percorso_(std::move(percorso)) {
  const auto [fd, dimensione] = apri_lettura(percorso_, massimo);
  fd_ = fd;
  dimensione_ = dimensione;
}

file_in_lettura::file_in_lettura(file_in_lettura&& altro) noexcept
    : percorso_(std::move(altro.percorso_)),
      fd_(std::exchange(altro.fd_, -1)),
      dimensione_(std::exchange(altro.dimensione_, 0)) {}

file_in_lettura::~file_in_lettura() {
  if (fd_ >= 0) ::_close(fd_);
}

void file_in_lettura::leggi(char* dove, std::size_t n, uint64_t posizione) const {
  while (n > 0) {
    if (::_lseeki64(fd_, static_cast<long long>(posizione), SEEK_SET) < 0) fallisci("cannot read", percorso_);
    const unsigned pezzo = static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30));
    const int letti = ::_read(fd_, dove, pezzo);
    if (letti < 0) fallisci("cannot read", percorso_);
    if (letti == 0)
      throw std::runtime_error("cannot read " + percorso_.string() + ": it was cut short while being read");
    dove += letti;
    n -= static_cast<std::size_t>(letti);
    posizione += static_cast<uint64_t>(letti);
  }
}

}  // namespace tracciato
