#include "platform/insieme.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "platform/file.h"

namespace tracciato {

void (*prima_di_rinominare)(std::size_t i) = nullptr;

namespace {

namespace fs = std::filesystem;

constexpr const char* marcatore = "completo";  // the commit point: the names of the set
constexpr const char* vecchi = "vecchi";       // the old files, kept aside while the set moves
constexpr const char* assenti = "assenti";     // names that had no old file

[[noreturn]] void fallisci(int e, const std::string& cosa) {
  throw std::system_error(e, std::generic_category(), cosa);
}

// The signals that end a run, held back while files move into place so that
// a move, once begun, ends (a SIGKILL is left to recovery).
class segnali_trattenuti {
 public:
  segnali_trattenuti() {
    sigset_t s;
    sigemptyset(&s);
    for (int n : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&s, n);
    sigprocmask(SIG_BLOCK, &s, &prima_);
  }
  ~segnali_trattenuti() { sigprocmask(SIG_SETMASK, &prima_, nullptr); }

 private:
  sigset_t prima_;
};

// An exclusive flock on an open folder, for a scope.
class blocco {
 public:
  explicit blocco(int fd) : fd_(fd) {
    while (::flock(fd_, LOCK_EX) != 0)
      if (errno != EINTR) fallisci(errno, "cannot lock a folder");
  }
  ~blocco() { ::flock(fd_, LOCK_UN); }

 private:
  int fd_;
};

bool esiste(const fs::path& p) {
  std::error_code e;
  return fs::exists(fs::symlink_status(p, e));
}

// Moves the new file nome from the private folder into cartella, keeping the
// old one aside first (or noting that there was none) so that indietro can
// put it back. Resumable: what a killed run already kept aside is not kept
// again.
void sposta_uno(const fs::path& cartella, const fs::path& privata, const std::string& nome) {
  const fs::path nuovo = privata / nome, meta = cartella / nome;
  const fs::path vecchio = privata / vecchi / nome, assente = privata / assenti / nome;
  if (!esiste(vecchio) && !esiste(assente)) {
    struct stat st;
    if (::lstat(meta.c_str(), &st) != 0) {
      if (errno != ENOENT) fallisci(errno, "cannot replace " + meta.string());
      const int fd = ::open(assente.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd < 0) fallisci(errno, "cannot replace " + meta.string());
      ::close(fd);
    } else if (S_ISDIR(st.st_mode)) {
      fallisci(EISDIR, "cannot replace " + meta.string() + ": it is a folder");
    } else if (::link(meta.c_str(), vecchio.c_str()) != 0 &&
               ::rename(meta.c_str(), vecchio.c_str()) != 0) {
      // A filesystem without hard links: the old file moves aside instead.
      fallisci(errno, "cannot keep aside " + meta.string());
    }
  }
  if (::rename(nuovo.c_str(), meta.c_str()) != 0)
    fallisci(errno, "cannot replace " + meta.string());
}

// Moves every file of the set still in the private folder into place, in
// the order of nomi. Throws std::system_error at the first that fails.
void avanti(const fs::path& cartella, const fs::path& privata,
            const std::vector<std::string>& nomi) {
  for (std::size_t i = 0; i < nomi.size(); ++i) {
    if (!esiste(privata / nomi[i])) continue;  // moved before the run was killed
    if (prima_di_rinominare != nullptr) prima_di_rinominare(i);
    sposta_uno(cartella, privata, nomi[i]);
  }
}

// Undoes a move: the marker goes first (so that a run killed here is undone
// again, not finished), then every old file returns and every name that had
// none is removed. Best effort: it never throws.
void indietro(const fs::path& cartella, const fs::path& privata) noexcept {
  std::error_code e;
  fs::remove(privata / marcatore, e);
  for (const auto& v : fs::directory_iterator(privata / vecchi, e)) {
    const fs::path meta = cartella / v.path().filename();
    // A link to the file still in place (its rename never happened) only goes.
    if (fs::equivalent(v.path(), meta, e))
      fs::remove(v.path(), e);
    else
      fs::rename(v.path(), meta, e);
  }
  for (const auto& a : fs::directory_iterator(privata / assenti, e))
    fs::remove(cartella / a.path().filename(), e);
}

std::vector<std::string> nomi_del_marcatore(const fs::path& privata) {
  std::vector<std::string> nomi;
  const std::string testo = leggi_file(privata / marcatore);
  std::size_t inizio = 0;
  for (std::size_t fine; (fine = testo.find('\n', inizio)) != std::string::npos; inizio = fine + 1)
    nomi.push_back(testo.substr(inizio, fine - inizio));
  return nomi;
}

// Recovery of every private folder in cartella whose run is gone.
// REQUIRES: the caller holds the lock of cartella.
void riprendi_tutti(const fs::path& cartella) {
  std::error_code e;
  std::vector<fs::path> private_;
  for (const auto& v : fs::directory_iterator(cartella, e))
    if (v.path().filename().string().starts_with(prefisso_privata) &&
        v.symlink_status(e).type() == fs::file_type::directory)
      private_.push_back(v.path());
  for (const fs::path& p : private_) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {  // its run is still alive
      ::close(fd);
      continue;
    }
    bool finito = false;
    if (esiste(p / marcatore)) {
      try {
        avanti(cartella, p, nomi_del_marcatore(p));
        finito = true;
      } catch (const std::runtime_error&) {  // a rename failed, or the marker did not read
      }
    }
    if (!finito) indietro(cartella, p);
    if (finito || fs::is_empty(p / vecchi, e) || e) fs::remove_all(p, e);
    ::close(fd);
  }
}

int apri_cartella(const fs::path& cartella) {
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) return fd;
  const int e = errno;
  if (e == ENOENT) fallisci(e, "the output folder " + cartella.string() + " does not exist");
  if (e == ENOTDIR) fallisci(e, "the output folder " + cartella.string() + " is not a folder");
  fallisci(e, "cannot open the output folder " + cartella.string());
}

// What the signal handler needs, set while a private folder exists.
std::atomic<int> fd_cartella_segnale{-1};
std::atomic<int> fd_privata_segnale{-1};
char nome_privata_segnale[64];

// Empties a flat folder with system calls alone (safe in a signal handler).
void svuota(int fd) {
  alignas(8) char buffer[4096];
  for (int giro = 0; giro < 64; ++giro) {
    ::lseek(fd, 0, SEEK_SET);
    const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
    if (n <= 0) return;
    bool altri = false;
    for (long i = 0; i < n;) {
      // struct linux_dirent64: inode (8), offset (8), length (2), type (1), name.
      unsigned short lunghezza;
      std::memcpy(&lunghezza, buffer + i + 16, sizeof lunghezza);
      const char* nome = buffer + i + 19;
      if (std::strcmp(nome, ".") != 0 && std::strcmp(nome, "..") != 0) {
        ::unlinkat(fd, nome, 0);
        altri = true;
      }
      i += lunghezza;
    }
    if (!altri) return;
  }
}

extern "C" void alla_fine(int segnale) {
  const int fd = fd_privata_segnale.load();
  if (fd >= 0) {
    svuota(fd);
    ::unlinkat(fd_cartella_segnale.load(), nome_privata_segnale, AT_REMOVEDIR);
  }
  ::signal(segnale, SIG_DFL);
  ::raise(segnale);  // delivered once the handler returns: the usual end for the signal
}

}  // namespace

void riprendi_insiemi(const fs::path& cartella) {
  const int fd = apri_cartella(cartella);
  {
    segnali_trattenuti s;
    blocco b(fd);
    riprendi_tutti(cartella);
  }
  ::close(fd);
}

insieme_file::insieme_file(const fs::path& cartella) : cartella_(cartella) {
  fd_cartella_ = apri_cartella(cartella);
  segnali_trattenuti s;
  blocco b(fd_cartella_);
  riprendi_tutti(cartella);
  std::string modello = (cartella / (std::string(prefisso_privata) + "XXXXXX")).string();
  if (::mkdtemp(modello.data()) == nullptr) {
    const int e = errno;
    ::close(fd_cartella_);
    fallisci(e, "cannot make a working folder in " + cartella.string());
  }
  nome_privata_ = fs::path(modello).filename().string();
  fd_privata_ = ::open(modello.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_privata_ < 0 || ::flock(fd_privata_, LOCK_EX) != 0) {
    const int e = errno;
    fs::remove(modello);
    if (fd_privata_ >= 0) ::close(fd_privata_);
    ::close(fd_cartella_);
    fallisci(e, "cannot use the working folder " + modello);
  }
  std::strncpy(nome_privata_segnale, nome_privata_.c_str(), sizeof nome_privata_segnale - 1);
  fd_cartella_segnale = fd_cartella_;
  fd_privata_segnale = fd_privata_;
}

insieme_file::~insieme_file() {
  {
    segnali_trattenuti s;
    fd_privata_segnale = -1;
    std::error_code e;
    // The move was never begun, or was undone: only new files are left,
    // unless an old file could not be put back; then the folder stays for
    // the next run to try again.
    if (!nome_privata_.empty() && (fs::is_empty(cartella_ / nome_privata_ / vecchi, e) || e))
      fs::remove_all(cartella_ / nome_privata_, e);
  }
  ::close(fd_privata_);
  ::close(fd_cartella_);
}

fs::path insieme_file::percorso(std::string_view nome) {
  nomi_.emplace_back(nome);
  return cartella_ / nome_privata_ / nome;
}

std::vector<fs::path> insieme_file::conferma() {
  const fs::path privata = cartella_ / nome_privata_;
  segnali_trattenuti s;
  blocco b(fd_cartella_);
  // The commit point.
  std::string elenco;
  for (const auto& n : nomi_) elenco += n + "\n";
  sostituisci_file(privata / marcatore, elenco);
  fs::create_directory(privata / vecchi);
  fs::create_directory(privata / assenti);
  try {
    avanti(cartella_, privata, nomi_);
  } catch (const std::system_error&) {
    indietro(cartella_, privata);
    throw;
  }
  std::vector<fs::path> messi;
  for (const auto& n : nomi_) messi.push_back(cartella_ / n);
  // Done: the private folder holds only the old files now.
  fd_privata_segnale = -1;
  std::error_code e;
  fs::remove_all(privata, e);
  nome_privata_.clear();
  return messi;
}

void pulizia_ai_segnali() {
  struct sigaction a {};
  a.sa_handler = alla_fine;
  sigemptyset(&a.sa_mask);
  for (int n : {SIGINT, SIGTERM, SIGHUP}) sigaction(n, &a, nullptr);
  ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace tracciato
