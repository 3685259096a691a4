// The set of files of platform/insieme.h on Windows: the same private
// folder, proof, marker and recovery as on the other systems, by UTF-16
// paths. The locks are named mutexes (a folder cannot be locked as a file
// can): one per output folder for making, recovering and committing, and one
// per private folder held by its run for as long as the run lives; the
// system releases both when the process ends, however it ends.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <system_error>

#include "platform/insieme.h"
#include "platform/insieme_comune.h"
#include "platform/percorso.h"

namespace tracciato {

void (*prima_di_rinominare)(std::size_t i) = nullptr;

namespace {

namespace fs = std::filesystem;

using namespace insieme_comune;

std::wstring w(const fs::path& p) { return p.wstring(); }

// A folder and a name in it, which is UTF-8 text: fs::path alone would read
// the name in the ANSI code page.
fs::path operator/(const fs::path& cartella, const std::string& nome) { return cartella / percorso_utf8(nome); }
fs::path operator/(const fs::path& cartella, const char* nome) { return cartella / percorso_utf8(nome); }

[[noreturn]] void fallisci(DWORD e, const std::string& cosa) {
  throw std::system_error(static_cast<int>(e), std::system_category(), cosa);
}

struct chiave_file {
  DWORD volume = 0;
  uint64_t indice = 0;
  bool operator==(const chiave_file&) const = default;
};

HANDLE apri(const fs::path& p, DWORD accesso) {
  return ::CreateFileW(w(p).c_str(), accesso, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool informazioni(const fs::path& p, BY_HANDLE_FILE_INFORMATION& i) {
  const HANDLE h = apri(p, FILE_READ_ATTRIBUTES);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = ::GetFileInformationByHandle(h, &i);
  ::CloseHandle(h);
  return ok;
}

bool chiave_di(const fs::path& p, chiave_file& k) {
  BY_HANDLE_FILE_INFORMATION i;
  if (!informazioni(p, i)) return false;
  k = {i.dwVolumeSerialNumber, (uint64_t{i.nFileIndexHigh} << 32) | i.nFileIndexLow};
  return true;
}

bool identita_di(const fs::path& p, identita& id) {
  BY_HANDLE_FILE_INFORMATION i;
  if (!informazioni(p, i)) return false;
  // The file index alone: on NTFS it carries a sequence number that changes
  // whenever the index is used again. The creation time would add nothing
  // there, and wine reports the folder's last change in its place, which
  // every file made in the folder moves: no folder would ever be recovered.
  id.inode = (uint64_t{i.nFileIndexHigh} << 32) | i.nFileIndexLow;
  return true;
}

bool scrivi_in(const fs::path& p, const std::string& testo) {
  const HANDLE h =
      ::CreateFileW(w(p).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD scritti = 0;
  bool ok = ::WriteFile(h, testo.data(), static_cast<DWORD>(testo.size()), &scritti, nullptr) &&
            scritti == testo.size();
  const DWORD e = ::GetLastError();
  if (!::CloseHandle(h)) ok = false;
  if (!ok) ::SetLastError(e != 0 ? e : ERROR_DISK_FULL);
  return ok;
}

bool leggi_in(const fs::path& p, std::string& testo, std::size_t massimo) {
  const HANDLE h = ::CreateFileW(w(p).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER d;
  bool buono = ::GetFileType(h) == FILE_TYPE_DISK && ::GetFileSizeEx(h, &d) &&
               static_cast<uint64_t>(d.QuadPart) <= massimo;
  if (buono) {
    testo.resize(static_cast<std::size_t>(d.QuadPart));
    DWORD letti = 0;
    buono = testo.empty() || (::ReadFile(h, testo.data(), static_cast<DWORD>(testo.size()), &letti, nullptr) &&
                              letti == testo.size());
  }
  ::CloseHandle(h);
  return buono;
}

bool esiste(const fs::path& p) { return ::GetFileAttributesW(w(p).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool e_cartella(const fs::path& p) {
  const DWORD a = ::GetFileAttributesW(w(p).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool sposta_file(const fs::path& da, const fs::path& a) {
  return ::MoveFileExW(w(da).c_str(), w(a).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

struct file_protetti {
  std::vector<chiave_file> file, cartelle;

  explicit file_protetti(const std::vector<fs::path>& percorsi) {
    for (const fs::path& p : percorsi) {
      chiave_file k;
      if (chiave_di(p, k)) file.push_back(k);
      std::error_code e;
      const fs::path vero = fs::canonical(p, e);
      if (!e && chiave_di(vero, k)) file.push_back(k);
      const fs::path su = p.has_parent_path() ? p.parent_path() : fs::path(".");
      if (chiave_di(su, k)) cartelle.push_back(k);
    }
  }
  static bool tra(const std::vector<chiave_file>& v, const fs::path& p) {
    chiave_file k;
    return chiave_di(p, k) && std::find(v.begin(), v.end(), k) != v.end();
  }
};

// Held while files move into place: an interruption (Ctrl-C, a closed
// console) waits until the move is done before it cleans up.
std::recursive_mutex spostamento;

class segnali_trattenuti {
 public:
  segnali_trattenuti() : g_(spostamento) {}

 private:
  std::lock_guard<std::recursive_mutex> g_;
};

// A named mutex standing for the lock of a folder, by the folder's identity.
std::wstring nome_blocco(const fs::path& cartella, std::string_view genere) {
  chiave_file k;
  std::wstring nome = L"Local\\tracciato-";
  for (char c : genere) nome += static_cast<wchar_t>(c);
  if (chiave_di(cartella, k)) {
    nome += L'-' + std::to_wstring(k.volume) + L'-' + std::to_wstring(k.indice);
  } else {
    std::wstring p = w(fs::absolute(cartella));
    for (wchar_t& c : p)
      if (c == L'\\') c = L'/';
    nome += L'-' + p;
  }
  return nome;
}

// Takes the mutex nome: waiting when aspetta, else only when free. Returns
// the held handle, or nullptr when another live process holds it.
HANDLE prendi(const std::wstring& nome, bool aspetta) {
  const HANDLE h = ::CreateMutexW(nullptr, FALSE, nome.c_str());
  if (h == nullptr) fallisci(::GetLastError(), "cannot lock a folder");
  const DWORD r = ::WaitForSingleObject(h, aspetta ? INFINITE : 0);
  if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) return h;  // abandoned: its run died
  ::CloseHandle(h);
  return nullptr;
}

void lascia(HANDLE h) {
  if (h == nullptr) return;
  ::ReleaseMutex(h);
  ::CloseHandle(h);
}

class blocco {
 public:
  explicit blocco(const fs::path& cartella) : h_(prendi(nome_blocco(cartella, "cartella"), true)) {}
  ~blocco() { lascia(h_); }

 private:
  HANDLE h_;
};

void svuota(const fs::path& cartella) {
  WIN32_FIND_DATAW d;
  const HANDLE h = ::FindFirstFileW(w(cartella / "*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring n = d.cFileName;
    if (n != L"." && n != L"..") ::DeleteFileW(w(cartella / n).c_str());
  } while (::FindNextFileW(h, &d));
  ::FindClose(h);
}

struct privata {
  const fs::path& cartella;
  fs::path dentro;  // the private folder
  std::vector<std::string> nomi;
  std::vector<bool> con_vecchio;

  void sposta(std::size_t i) const {
    const std::string& nome = nomi[i];
    if (!esiste(dentro / nome)) return;
    if (prima_di_rinominare != nullptr) prima_di_rinominare(i);
    const fs::path vecchio = dentro / nome_vecchio(i);
    if (con_vecchio[i] && !esiste(vecchio) &&
        !::CreateHardLinkW(w(vecchio).c_str(), w(cartella / nome).c_str(), nullptr) &&
        esiste(cartella / nome)) {
      if (e_cartella(cartella / nome)) fallisci(ERROR_DIRECTORY, "cannot replace " + (cartella / nome).string());
      if (!sposta_file(cartella / nome, vecchio))
        fallisci(::GetLastError(), "cannot keep aside " + (cartella / nome).string());
    }
    if (!sposta_file(dentro / nome, cartella / nome))
      fallisci(::GetLastError(), "cannot replace " + (cartella / nome).string());
  }

  void avanti() const {
    for (std::size_t i = 0; i < nomi.size(); ++i) sposta(i);
  }

  bool indietro() const noexcept {
    sposta_file(dentro / marcatore, dentro / annullato);
    bool tutti = true;
    for (std::size_t i = 0; i < nomi.size(); ++i) {
      const fs::path in_posto = cartella / nomi[i];
      const fs::path vecchio = dentro / nome_vecchio(i);
      chiave_file v, m;
      if (chiave_di(vecchio, v)) {
        if (chiave_di(in_posto, m) && m == v) ::DeleteFileW(w(vecchio).c_str());
        else if (!sposta_file(vecchio, in_posto)) tutti = false;
      } else if (!con_vecchio[i] && !esiste(dentro / nomi[i])) {
        ::DeleteFileW(w(in_posto).c_str());
      }
    }
    return tutti;
  }
};

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

enum class esito_marcatore { assente, tronco, estraneo, valido };

esito_marcatore leggi_marcatore(const char* nome, std::string_view nome_privata, const identita& id, privata& p) {
  p.nomi.clear();
  p.con_vecchio.clear();
  std::string testo;
  if (!leggi_in(p.dentro / nome, testo, 4096))
    return esiste(p.dentro / nome) ? esito_marcatore::estraneo : esito_marcatore::assente;
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

bool fatta_da_un_run(const fs::path& dentro, std::string_view nome, identita& id) {
  std::string testo;
  return identita_di(dentro, id) && leggi_in(dentro / file_firma, testo, 64) &&
         testo == firma(nome, id, "") + '\n';
}

void rimuovi_privata(const fs::path& cartella, const std::string& nome) {
  const fs::path dentro = cartella / nome;
  if (::RemoveDirectoryW(w(dentro).c_str())) return;
  svuota(dentro);
  if (::RemoveDirectoryW(w(dentro).c_str())) return;
  std::error_code e;
  fs::remove_all(dentro, e);
}

std::string riprendi_una(const fs::path& cartella, const std::string& nome, const file_protetti& protetti) {
  const fs::path dentro = cartella / nome;
  if (::RemoveDirectoryW(w(dentro).c_str())) return "";
  identita id;
  if (!fatta_da_un_run(dentro, nome, id))
    return "left alone: tracciato did not make this folder (it holds no proof of it), so no file is moved, "
           "replaced or removed by it; remove it yourself if you do not need it";
  if (file_protetti::tra(protetti.cartelle, dentro)) return "left alone: a file this run reads is in it";
  privata p{cartella, dentro, {}, {}};
  const esito_marcatore a = leggi_marcatore(annullato, nome, id, p);
  esito_marcatore c = esito_marcatore::assente;
  if (a == esito_marcatore::assente) c = leggi_marcatore(marcatore, nome, id, p);
  if (a == esito_marcatore::estraneo || a == esito_marcatore::tronco || c == esito_marcatore::estraneo)
    return std::string("left alone: its marker \"") + (a != esito_marcatore::assente ? annullato : marcatore) +
           "\" was not written by tracciato for this folder, so no file it names is moved, replaced or "
           "removed; remove the folder yourself if you do not need it";
  if (a == esito_marcatore::valido || c == esito_marcatore::valido)
    for (const std::string& n : p.nomi)
      if (file_protetti::tra(protetti.file, cartella / n))
        return "left alone for a later run: finishing the interrupted run it holds would replace " + n +
               ", which this run reads";
  bool rimuovi = true;
  if (a == esito_marcatore::valido) {
    rimuovi = p.indietro();
  } else if (c == esito_marcatore::valido) {
    try {
      p.avanti();
    } catch (const std::runtime_error&) {
      rimuovi = p.indietro();
    }
  }
  if (rimuovi) rimuovi_privata(cartella, nome);
  return "";
}

// Recovery of every private folder in cartella whose run is gone but
// propria (the caller's own, whose lock this thread could take again); a
// warning in avvisi for each left alone.
// REQUIRES: the caller holds the lock of cartella.
void riprendi_tutti(const fs::path& cartella, const file_protetti& protetti, std::vector<std::string>* avvisi,
                    const std::string& propria = {}) {
  std::error_code e;
  std::vector<std::string> nomi;
  for (const auto& v : fs::directory_iterator(cartella, e))
    if (v.path().filename().string().starts_with(prefisso_privata) &&
        v.path().filename().string() != propria && v.symlink_status(e).type() == fs::file_type::directory)
      nomi.push_back(v.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  for (const std::string& nome : nomi) {
    const HANDLE h = prendi(nome_blocco(cartella / nome, "privata"), false);
    if (h == nullptr) continue;  // its run is still alive
    const std::string perche = riprendi_una(cartella, nome, protetti);
    if (!perche.empty() && avvisi != nullptr)
      avvisi->push_back((cartella / nome).string() + ": warning: " + perche);
    lascia(h);
  }
}

void verifica_cartella_uscita(const fs::path& cartella) {
  const DWORD a = ::GetFileAttributesW(w(cartella).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    const DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND)
      fallisci(e, "the output folder " + cartella.string() + " does not exist");
    fallisci(e, "cannot open the output folder " + cartella.string());
  }
  if (!(a & FILE_ATTRIBUTE_DIRECTORY))
    fallisci(ERROR_DIRECTORY, "the output folder " + cartella.string() + " is not a folder");
}

// What the interruption handler needs, set while a private folder exists.
std::atomic<bool> privata_attiva{false};
fs::path privata_segnale;

BOOL WINAPI alla_fine(DWORD tipo) {
  if (tipo != CTRL_C_EVENT && tipo != CTRL_BREAK_EVENT && tipo != CTRL_CLOSE_EVENT) return FALSE;
  {
    std::lock_guard<std::recursive_mutex> g(spostamento);  // a move under way ends first
    if (privata_attiva.load()) {
      svuota(privata_segnale);
      ::RemoveDirectoryW(w(privata_segnale).c_str());
    }
  }
  ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace

std::vector<std::string> riprendi_insiemi(const fs::path& cartella, const std::vector<fs::path>& protetti) {
  const file_protetti p(protetti);
  std::vector<std::string> avvisi;
  verifica_cartella_uscita(cartella);
  segnali_trattenuti s;
  blocco b(cartella);
  riprendi_tutti(cartella, p, &avvisi);
  return avvisi;
}

insieme_file::insieme_file(const fs::path& cartella, const std::vector<fs::path>& protetti)
    : cartella_(cartella), protetti_(protetti) {
  verifica_cartella_uscita(cartella);
  segnali_trattenuti s;
  // Held while the folder is made and proved, so that no recovery finds it
  // empty and removes it.
  blocco b(cartella);
  static std::atomic<uint64_t> contatore{0};
  fs::path dentro;
  for (int tentativo = 0;; ++tentativo) {
    uint64_t z = (uint64_t{::GetCurrentProcessId()} << 32) ^ (++contatore * 0x9E3779B97F4A7C15ULL) ^
                 ::GetTickCount64();
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    std::string nome(prefisso_privata);
    for (int i = 0; i < 6; ++i, z >>= 6) nome += "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_"[z & 63];
    dentro = cartella / nome;
    if (::CreateDirectoryW(w(dentro).c_str(), nullptr)) {
      nome_privata_ = nome;
      break;
    }
    const DWORD e = ::GetLastError();
    if (e != ERROR_ALREADY_EXISTS || tentativo == 100)
      fallisci(e, "cannot make a working folder in " + cartella.string());
  }
  // The run's lock on its folder, held until the process ends.
  const HANDLE h = prendi(nome_blocco(dentro, "privata"), false);
  identita id;
  if (h == nullptr || !identita_di(dentro, id) ||
      !scrivi_in(dentro / file_firma, firma(nome_privata_, id, "") + '\n')) {
    const DWORD e = ::GetLastError();
    ::DeleteFileW(w(dentro / file_firma).c_str());
    ::RemoveDirectoryW(w(dentro).c_str());
    lascia(h);
    fallisci(e, "cannot use the working folder " + dentro.string());
  }
  privata_segnale = dentro;
  privata_attiva = true;
  blocco_privata_ = h;
}

insieme_file::~insieme_file() {
  if (!nome_privata_.empty()) {
    segnali_trattenuti s;
    privata_attiva = false;
    if (!nome_privata_.empty() && !da_riprendere_) rimuovi_privata(cartella_, nome_privata_);
  }
  lascia(static_cast<HANDLE>(blocco_privata_));
}

fs::path insieme_file::percorso(std::string_view nome) {
  if (!nome_ammesso(nome))
    throw std::invalid_argument("\"" + std::string(nome) + "\" cannot be the name of a file of a set");
  nomi_.emplace_back(nome);
  return cartella_ / nome_privata_ / percorso_utf8(nome);
}

std::vector<fs::path> insieme_file::conferma() {
  segnali_trattenuti s;
  if (!insieme_scenario(nomi_))
    throw std::invalid_argument("the files of a set are those of one scenario: S_linea.dat, S_T.sim, S_T.dat");
  const file_protetti protetti(protetti_);
  blocco b(cartella_);
  // What runs that died left is finished or undone first, under the same
  // lock as this commit: a set a dead run was moving can never be finished
  // later over this one.
  avvisi_.clear();
  riprendi_tutti(cartella_, protetti, &avvisi_, nome_privata_);
  const fs::path dentro = cartella_ / nome_privata_;
  privata p{cartella_, dentro, nomi_, {}};
  for (const std::string& nome : nomi_) {
    const fs::path in_posto = cartella_ / nome;
    const DWORD a = ::GetFileAttributesW(w(in_posto).c_str());
    const bool c = a != INVALID_FILE_ATTRIBUTES;
    if (!c && ::GetLastError() != ERROR_FILE_NOT_FOUND)
      fallisci(::GetLastError(), "cannot replace " + in_posto.string());
    if (c && (a & FILE_ATTRIBUTE_DIRECTORY))
      fallisci(ERROR_DIRECTORY, "cannot replace " + in_posto.string() + ": it is a folder");
    p.con_vecchio.push_back(c);
  }
  identita id;
  if (!identita_di(dentro, id) ||
      !scrivi_in(dentro / marcatore, testo_marcatore(nome_privata_, id, nomi_, p.con_vecchio)))
    fallisci(::GetLastError(), "cannot write in the working folder " + dentro.string());
  try {
    p.avanti();
  } catch (const std::system_error&) {
    da_riprendere_ = !p.indietro();
    throw;
  }
  std::vector<fs::path> messi;
  for (const auto& n : nomi_) messi.push_back(cartella_ / n);
  privata_attiva = false;
  for (std::size_t i = 0; i < nomi_.size(); ++i)
    if (p.con_vecchio[i]) ::DeleteFileW(w(dentro / nome_vecchio(i)).c_str());
  ::DeleteFileW(w(dentro / marcatore).c_str());
  ::DeleteFileW(w(dentro / file_firma).c_str());
  rimuovi_privata(cartella_, nome_privata_);
  nome_privata_.clear();
  return messi;
}

void pulizia_ai_segnali() { ::SetConsoleCtrlHandler(alla_fine, TRUE); }

}  // namespace tracciato
