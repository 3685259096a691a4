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

constexpr const char* marcatore = "completo";  // the commit point
constexpr const char* annullato = "annulla";   // the marker of a move being undone
constexpr std::string_view fine_marcatore = "fine\n";
constexpr std::string_view prefisso_vecchio = "vecchio-";

// Whether nome can name a file of a set: a plain name of the output folder
// that cannot meet the private folder's own files. A marker that names
// anything else was not written by a run, and is not followed.
bool nome_ammesso(std::string_view nome) {
  return !nome.empty() && nome != "." && nome != ".." && nome != marcatore && nome != annullato &&
         !nome.starts_with(prefisso_vecchio) &&
         nome.find_first_of(std::string_view("/\n\0", 3)) == std::string_view::npos;
}

// The old file kept aside for the i-th name of the set.
std::string nome_vecchio(std::size_t i) { return std::string(prefisso_vecchio) + std::to_string(i); }

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

bool esiste(int fd, const std::string& nome) {
  struct stat st;
  return ::fstatat(fd, nome.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool e_cartella(int fd, const std::string& nome) {
  struct stat st;
  return ::fstatat(fd, nome.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

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

// A private folder, open, with the names of its set as its marker gives them.
struct privata {
  const fs::path& cartella;
  int fd_cartella;
  int fd;
  std::vector<std::string> nomi;
  std::vector<bool> con_vecchio;  // the name had an old file at the commit

  // Moves the i-th new file into place, keeping the old one aside first so
  // that indietro can put it back. Resumable: what a killed run already
  // kept aside is not kept again, and a file already moved is passed over.
  void sposta(std::size_t i) const {
    const std::string& nome = nomi[i];
    if (!esiste(fd, nome)) return;  // moved before the run was killed
    if (prima_di_rinominare != nullptr) prima_di_rinominare(i);
    const std::string vecchio = nome_vecchio(i);
    if (con_vecchio[i] && !esiste(fd, vecchio) &&
        ::linkat(fd_cartella, nome.c_str(), fd, vecchio.c_str(), 0) != 0 && errno != ENOENT) {
      // A filesystem without hard links: the old file moves aside instead.
      if (e_cartella(fd_cartella, nome)) fallisci(EISDIR, "cannot replace " + (cartella / nome).string());
      if (::renameat(fd_cartella, nome.c_str(), fd, vecchio.c_str()) != 0)
        fallisci(errno, "cannot keep aside " + (cartella / nome).string());
    }
    if (::renameat(fd, nome.c_str(), fd_cartella, nome.c_str()) != 0)
      fallisci(errno, "cannot replace " + (cartella / nome).string());
  }

  // Moves every new file still here into place, in the marker's order.
  // Throws std::system_error at the first that fails.
  void avanti() const {
    for (std::size_t i = 0; i < nomi.size(); ++i) sposta(i);
  }

  // Undoes a move: the marker becomes "annulla" first (so that a run killed
  // here is undone again, not finished), then every old file returns and
  // every name that had none, and whose new file was moved, is removed.
  // Returns whether every old file is back. Never throws.
  bool indietro() const noexcept {
    ::renameat(fd, marcatore, fd, annullato);
    bool tutti = true;
    for (std::size_t i = 0; i < nomi.size(); ++i) {
      const char* nome = nomi[i].c_str();
      const std::string vecchio = nome_vecchio(i);
      struct stat v, m;
      if (::fstatat(fd, vecchio.c_str(), &v, AT_SYMLINK_NOFOLLOW) == 0) {
        // A link to the file still in place (its rename never happened) only goes.
        if (::fstatat(fd_cartella, nome, &m, AT_SYMLINK_NOFOLLOW) == 0 && m.st_dev == v.st_dev &&
            m.st_ino == v.st_ino)
          ::unlinkat(fd, vecchio.c_str(), 0);
        else if (::renameat(fd, vecchio.c_str(), fd_cartella, nome) != 0)
          tutti = false;
      } else if (!con_vecchio[i] && !esiste(fd, nomi[i])) {
        ::unlinkat(fd_cartella, nome, 0);
      }
    }
    return tutti;
  }
};

// The marker's text for a set: each name with whether it has an old file.
std::string testo_marcatore(const std::vector<std::string>& nomi, const std::vector<bool>& con_vecchio) {
  std::string testo;
  for (std::size_t i = 0; i < nomi.size(); ++i) {
    testo += con_vecchio[i] ? '+' : '-';
    testo += nomi[i];
    testo += '\n';
  }
  testo += fine_marcatore;
  return testo;
}

// Reads a marker into p; false when it is missing or was cut short.
bool leggi_marcatore(const fs::path& percorso, privata& p) {
  p.nomi.clear();
  p.con_vecchio.clear();
  std::string testo;
  try {
    testo = leggi_file(percorso);
  } catch (const std::runtime_error&) {
    return false;
  }
  if (!testo.ends_with(fine_marcatore)) return false;
  testo.resize(testo.size() - fine_marcatore.size());
  std::size_t inizio = 0;
  for (std::size_t fine; (fine = testo.find('\n', inizio)) != std::string::npos; inizio = fine + 1) {
    if (testo[inizio] != '+' && testo[inizio] != '-') return false;
    p.con_vecchio.push_back(testo[inizio] == '+');
    p.nomi.push_back(testo.substr(inizio + 1, fine - inizio - 1));
    if (!nome_ammesso(p.nomi.back())) return false;
  }
  return inizio == testo.size();
}

// Removes the private folder nome of cartella (open as fd_cartella; the
// private one as fd) and all it holds. A run's private folder is flat; one
// left by an earlier version of the program may hold folders too.
void rimuovi_privata(const fs::path& cartella, int fd_cartella, int fd, const std::string& nome) {
  if (::unlinkat(fd_cartella, nome.c_str(), AT_REMOVEDIR) == 0) return;
  svuota(fd);
  if (::unlinkat(fd_cartella, nome.c_str(), AT_REMOVEDIR) == 0) return;
  std::error_code e;
  fs::remove_all(cartella / nome, e);
}

// Recovery of every private folder in cartella whose run is gone.
// REQUIRES: the caller holds the lock of cartella.
void riprendi_tutti(const fs::path& cartella, int fd_cartella) {
  std::error_code e;
  std::vector<std::string> nomi;
  for (const auto& v : fs::directory_iterator(cartella, e))
    if (v.path().filename().string().starts_with(prefisso_privata) &&
        v.symlink_status(e).type() == fs::file_type::directory)
      nomi.push_back(v.path().filename().string());
  for (const std::string& nome : nomi) {
    const int fd = ::openat(fd_cartella, nome.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {  // its run is still alive
      ::close(fd);
      continue;
    }
    privata p{cartella, fd_cartella, fd, {}, {}};
    bool rimuovi = true;
    if (leggi_marcatore(cartella / nome / annullato, p)) {
      rimuovi = p.indietro();
    } else if (leggi_marcatore(cartella / nome / marcatore, p)) {
      try {
        p.avanti();
      } catch (const std::runtime_error&) {  // a rename failed
        rimuovi = p.indietro();
      }
    }
    // With no whole marker the run never moved a file: its folder only goes.
    if (rimuovi) rimuovi_privata(cartella, fd_cartella, fd, nome);
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
    riprendi_tutti(cartella, fd);
  }
  ::close(fd);
}

insieme_file::insieme_file(const fs::path& cartella) : cartella_(cartella) {
  fd_cartella_ = apri_cartella(cartella);
  segnali_trattenuti s;
  blocco b(fd_cartella_);
  riprendi_tutti(cartella, fd_cartella_);
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
    ::rmdir(modello.c_str());
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
    // The move was never begun, or was undone: only new files are left,
    // unless an old file could not be put back; then the folder stays, its
    // marker saying "annulla", for the next run to try again.
    if (!nome_privata_.empty() && !da_riprendere_)
      rimuovi_privata(cartella_, fd_cartella_, fd_privata_, nome_privata_);
  }
  ::close(fd_privata_);
  ::close(fd_cartella_);
}

fs::path insieme_file::percorso(std::string_view nome) {
  if (!nome_ammesso(nome))
    throw std::invalid_argument("\"" + std::string(nome) + "\" cannot be the name of a file of a set");
  nomi_.emplace_back(nome);
  return cartella_ / nome_privata_ / nome;
}

std::vector<fs::path> insieme_file::conferma() {
  segnali_trattenuti s;
  blocco b(fd_cartella_);
  privata p{cartella_, fd_cartella_, fd_privata_, nomi_, {}};
  for (const std::string& nome : nomi_) {
    struct stat st;
    const bool c = ::fstatat(fd_cartella_, nome.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (!c && errno != ENOENT) fallisci(errno, "cannot replace " + (cartella_ / nome).string());
    if (c && S_ISDIR(st.st_mode))
      fallisci(EISDIR, "cannot replace " + (cartella_ / nome).string() + ": it is a folder");
    p.con_vecchio.push_back(c);
  }
  // The commit point: the marker, whole.
  const std::string testo = testo_marcatore(nomi_, p.con_vecchio);
  {
    errno = 0;
    const int fd = ::openat(fd_privata_, marcatore, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool scritto = fd >= 0 && ::write(fd, testo.data(), testo.size()) == static_cast<ssize_t>(testo.size());
    int e = errno != 0 ? errno : ENOSPC;  // a short write sets none
    if (fd >= 0 && ::close(fd) != 0 && scritto) scritto = false, e = errno;
    if (!scritto) fallisci(e, "cannot write in the working folder " + (cartella_ / nome_privata_).string());
  }
  try {
    p.avanti();
  } catch (const std::system_error&) {
    da_riprendere_ = !p.indietro();
    throw;
  }
  std::vector<fs::path> messi;
  for (const auto& n : nomi_) messi.push_back(cartella_ / n);
  // Done: the private folder holds only the marker and the old files now.
  fd_privata_segnale = -1;
  for (std::size_t i = 0; i < nomi_.size(); ++i)
    if (p.con_vecchio[i]) ::unlinkat(fd_privata_, nome_vecchio(i).c_str(), 0);
  ::unlinkat(fd_privata_, marcatore, 0);
  rimuovi_privata(cartella_, fd_cartella_, fd_privata_, nome_privata_);
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
