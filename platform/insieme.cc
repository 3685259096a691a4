#include "platform/insieme.h"
#include "platform/insieme_comune.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace tracciato {

void (*prima_di_rinominare)(std::size_t i) = nullptr;

namespace {

namespace fs = std::filesystem;

using namespace insieme_comune;

bool identita_di(int fd, identita& id) {
  struct statx x;
  if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, STATX_INO | STATX_BTIME, &x) != 0)
    return false;
  id.inode = x.stx_ino;
  if ((x.stx_mask & STATX_BTIME) != 0) {
    id.nascita_s = x.stx_btime.tv_sec;
    id.nascita_ns = x.stx_btime.tv_nsec;
  }
  return true;
}

// A new file nome in the folder fd holding testo, in one write; false (with
// errno set) when it cannot be made whole.
bool scrivi_in(int fd, const char* nome, const std::string& testo) {
  errno = 0;
  const int f = ::openat(fd, nome, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (f < 0) return false;
  bool scritto = ::write(f, testo.data(), testo.size()) == static_cast<ssize_t>(testo.size());
  int e = errno != 0 ? errno : ENOSPC;  // a short write sets none
  if (::close(f) != 0 && scritto) scritto = false, e = errno;
  if (!scritto) errno = e;
  return scritto;
}

// Reads the regular file nome of the folder fd, up to massimo bytes; false
// when it is missing, not a regular file or longer.
bool leggi_in(int fd, const char* nome, std::string& testo, std::size_t massimo) {
  const int f = ::openat(fd, nome, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (f < 0) return false;
  struct stat st;
  bool buono = ::fstat(f, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= massimo;
  if (buono) {
    testo.resize(static_cast<std::size_t>(st.st_size));
    std::size_t letti = 0;
    while (buono && letti < testo.size()) {
      const ssize_t n = ::read(f, testo.data() + letti, testo.size() - letti);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) buono = false;
      else letti += static_cast<std::size_t>(n);
    }
  }
  ::close(f);
  return buono;
}

[[noreturn]] void fallisci(int e, const std::string& cosa) {
  throw std::system_error(e, std::generic_category(), cosa);
}

// The files recovery must never touch, as the file system knows them: each
// path itself, what it leads to, and the folder it is in.
struct file_protetti {
  std::vector<std::pair<dev_t, ino_t>> file, cartelle;

  explicit file_protetti(const std::vector<fs::path>& percorsi) {
    for (const fs::path& p : percorsi) {
      struct stat st;
      if (::lstat(p.c_str(), &st) == 0) file.emplace_back(st.st_dev, st.st_ino);
      if (::stat(p.c_str(), &st) == 0) file.emplace_back(st.st_dev, st.st_ino);
      const fs::path su = p.has_parent_path() ? p.parent_path() : fs::path(".");
      if (::stat(su.c_str(), &st) == 0) cartelle.emplace_back(st.st_dev, st.st_ino);
    }
  }
  static bool tra(const std::vector<std::pair<dev_t, ino_t>>& v, const struct stat& st) {
    return std::find(v.begin(), v.end(), std::pair(st.st_dev, st.st_ino)) != v.end();
  }
};

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
  // that indietro can put it back. Resumable (ripresa: a killed run's move
  // being finished): what that run already kept aside is not kept again, and
  // a file it already moved is passed over.
  void sposta(std::size_t i, bool ripresa) const {
    const std::string& nome = nomi[i];
    if (ripresa && !esiste(fd, nome)) return;  // moved before the run was killed
    if (prima_di_rinominare != nullptr) prima_di_rinominare(i);
    const std::string vecchio = nome_vecchio(i);
    if (con_vecchio[i] && !(ripresa && esiste(fd, vecchio)) &&
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
  void avanti(bool ripresa) const {
    for (std::size_t i = 0; i < nomi.size(); ++i) sposta(i, ripresa);
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

// The marker's whole text for the set of the private folder nome, with
// identity id: its "firma" line, each name with whether it has an old file,
// and the last line.
std::string testo_marcatore(std::string_view nome, const identita& id, const std::vector<std::string>& nomi,
                            const std::vector<bool>& con_vecchio) {
  std::string corpo;
  for (std::size_t i = 0; i < nomi.size(); ++i) {
    corpo += con_vecchio[i] ? '+' : '-';
    corpo += nomi[i];
    corpo += '\n';
  }
  corpo += fine_marcatore;
  return std::string(inizio_firma) + firma(nome, id, corpo) + '\n' + corpo;
}

// What a private folder's marker turned out to be.
enum class esito_marcatore {
  assente,   // none of that name
  tronco,    // cut short while it was written: it never counted
  estraneo,  // whole, but not written by a run for this folder and a set
  valido,    // read into the privata
};

// Reads the marker nome of the private folder p (named nome_privata, with
// identity id) into p.
esito_marcatore leggi_marcatore(const char* nome, std::string_view nome_privata, const identita& id, privata& p) {
  p.nomi.clear();
  p.con_vecchio.clear();
  std::string testo;
  if (!leggi_in(p.fd, nome, testo, 4096))
    return esiste(p.fd, nome) ? esito_marcatore::estraneo : esito_marcatore::assente;
  if (!testo.ends_with(fine_marcatore)) return esito_marcatore::tronco;
  const std::size_t a_capo = testo.find('\n');
  const std::string_view corpo = std::string_view(testo).substr(a_capo + 1);
  if (testo.substr(0, a_capo) != std::string(inizio_firma) + firma(nome_privata, id, corpo))
    return esito_marcatore::estraneo;
  std::size_t inizio = a_capo + 1;
  const std::size_t fine_nomi = testo.size() - fine_marcatore.size();
  for (std::size_t fine; (fine = testo.find('\n', inizio)) < fine_nomi; inizio = fine + 1) {
    if (testo[inizio] != '+' && testo[inizio] != '-') return esito_marcatore::estraneo;
    p.con_vecchio.push_back(testo[inizio] == '+');
    p.nomi.push_back(testo.substr(inizio + 1, fine - inizio - 1));
  }
  return inizio == fine_nomi && insieme_scenario(p.nomi) ? esito_marcatore::valido : esito_marcatore::estraneo;
}

// Whether the private folder fd, named nome, holds the proof that a run of
// this program made it there, and what the folder's identity is.
bool fatta_da_un_run(int fd, std::string_view nome, identita& id) {
  std::string testo;
  return identita_di(fd, id) && leggi_in(fd, file_firma, testo, 64) && testo == firma(nome, id, "") + '\n';
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

// Recovery of the private folder nome of cartella (open as fd), whose run is
// gone. Returns why it was left alone, or nothing when it was recovered.
std::string riprendi_una(const fs::path& cartella, int fd_cartella, int fd, const std::string& nome,
                         const file_protetti& protetti) {
  // An empty one is a run's killed before it wrote its proof: it only goes.
  if (::unlinkat(fd_cartella, nome.c_str(), AT_REMOVEDIR) == 0) return "";
  identita id;
  if (!fatta_da_un_run(fd, nome, id))
    return "left alone: tracciato did not make this folder (it holds no proof of it), so no file is moved, "
           "replaced or removed by it; remove it yourself if you do not need it";
  struct stat st;
  if (::fstat(fd, &st) == 0 && file_protetti::tra(protetti.cartelle, st))
    return "left alone: a file this run reads is in it";
  privata p{cartella, fd_cartella, fd, {}, {}};
  const esito_marcatore a = leggi_marcatore(annullato, nome, id, p);
  esito_marcatore c = esito_marcatore::assente;
  if (a == esito_marcatore::assente) c = leggi_marcatore(marcatore, nome, id, p);
  if (a == esito_marcatore::estraneo || a == esito_marcatore::tronco || c == esito_marcatore::estraneo)
    return std::string("left alone: its marker \"") + (a != esito_marcatore::assente ? annullato : marcatore) +
           "\" was not written by tracciato for this folder, so no file it names is moved, replaced or "
           "removed; remove the folder yourself if you do not need it";
  if (a == esito_marcatore::valido || c == esito_marcatore::valido)
    for (const std::string& n : p.nomi)
      if (::fstatat(fd_cartella, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && file_protetti::tra(protetti.file, st))
        return "left alone for a later run: finishing the interrupted run it holds would replace " + n +
               ", which this run reads";
  bool rimuovi = true;
  if (a == esito_marcatore::valido) {
    rimuovi = p.indietro();
  } else if (c == esito_marcatore::valido) {
    try {
      p.avanti(true);
    } catch (const std::runtime_error&) {  // a rename failed
      rimuovi = p.indietro();
    }
  }
  // With no whole marker the run never moved a file: its folder only goes.
  if (rimuovi) rimuovi_privata(cartella, fd_cartella, fd, nome);
  return "";
}

// The names of the private folders in cartella (open as fd_cartella), read
// straight from the open folder: no second opening of it.
std::vector<std::string> nomi_privati(int fd_cartella) {
  std::vector<std::string> nomi;
  alignas(8) char buffer[8192];
  if (::lseek(fd_cartella, 0, SEEK_SET) != 0) return nomi;
  for (long n; (n = ::syscall(SYS_getdents64, fd_cartella, buffer, sizeof buffer)) > 0;) {
    for (long i = 0; i < n;) {
      // struct linux_dirent64: inode (8), offset (8), length (2), type (1), name.
      unsigned short lunghezza;
      std::memcpy(&lunghezza, buffer + i + 16, sizeof lunghezza);
      const unsigned char tipo = static_cast<unsigned char>(buffer[i + 18]);
      const std::string_view nome(buffer + i + 19);
      i += lunghezza;
      if (!nome.starts_with(prefisso_privata)) continue;
      // A file system that gives no type: the folder is asked.
      if (tipo == DT_DIR || (tipo == DT_UNKNOWN && e_cartella(fd_cartella, std::string(nome))))
        nomi.emplace_back(nome);
    }
  }
  return nomi;
}

// Recovery of every private folder in cartella whose run is gone but
// propria (the caller's own); a warning in avvisi for each left alone.
// REQUIRES: the caller holds the lock of cartella.
void riprendi_tutti(const fs::path& cartella, int fd_cartella, const file_protetti& protetti,
                    std::vector<std::string>* avvisi, const std::string& propria = {}) {
  std::vector<std::string> nomi = nomi_privati(fd_cartella);
  std::sort(nomi.begin(), nomi.end());
  for (const std::string& nome : nomi) {
    if (nome == propria) continue;
    const int fd = ::openat(fd_cartella, nome.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {  // its run is still alive
      ::close(fd);
      continue;
    }
    const std::string perche = riprendi_una(cartella, fd_cartella, fd, nome, protetti);
    if (!perche.empty() && avvisi != nullptr)
      avvisi->push_back((cartella / nome).string() + ": warning: " + perche);
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

std::vector<std::string> riprendi_insiemi(const fs::path& cartella, const std::vector<fs::path>& protetti) {
  const file_protetti p(protetti);
  std::vector<std::string> avvisi;
  const int fd = apri_cartella(cartella);
  {
    segnali_trattenuti s;
    blocco b(fd);
    riprendi_tutti(cartella, fd, p, &avvisi);
  }
  ::close(fd);
  return avvisi;
}

insieme_file::insieme_file(const fs::path& cartella, const std::vector<fs::path>& protetti)
    : cartella_(cartella), protetti_(protetti) {
  fd_cartella_ = apri_cartella(cartella);
  segnali_trattenuti s;
  // Held while the folder is made and proved, so that no recovery finds it
  // empty and removes it.
  blocco b(fd_cartella_);
  std::string modello = (cartella / (std::string(prefisso_privata) + "XXXXXX")).string();
  if (::mkdtemp(modello.data()) == nullptr) {
    const int e = errno;
    ::close(fd_cartella_);
    fallisci(e, "cannot make a working folder in " + cartella.string());
  }
  nome_privata_ = fs::path(modello).filename().string();
  fd_privata_ = ::open(modello.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  identita id;
  if (fd_privata_ < 0 || ::flock(fd_privata_, LOCK_EX) != 0 || !identita_di(fd_privata_, id) ||
      !scrivi_in(fd_privata_, file_firma, firma(nome_privata_, id, "") + '\n')) {
    const int e = errno;
    ::unlinkat(fd_cartella_, (nome_privata_ + "/" + file_firma).c_str(), 0);
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
  if (!nome_privata_.empty()) {
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
  if (!insieme_scenario(nomi_))
    throw std::invalid_argument("the files of a set are those of one scenario: S_linea.dat, S_T.sim, S_T.dat");
  const file_protetti protetti(protetti_);
  blocco b(fd_cartella_);
  // What runs that died left is finished or undone first, under the same
  // lock as this commit: a set a dead run was moving can never be finished
  // later over this one.
  avvisi_.clear();
  riprendi_tutti(cartella_, fd_cartella_, protetti, &avvisi_, nome_privata_);
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
  identita id;
  if (!identita_di(fd_privata_, id) ||
      !scrivi_in(fd_privata_, marcatore, testo_marcatore(nome_privata_, id, nomi_, p.con_vecchio)))
    fallisci(errno, "cannot write in the working folder " + (cartella_ / nome_privata_).string());
  try {
    p.avanti(false);  // every new file is here, no old one is kept aside yet
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
  ::unlinkat(fd_privata_, file_firma, 0);
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
