// sorveglia on Windows: each folder watched by ReadDirectoryChangesW, the
// console's Ctrl-C and Ctrl-Break as the interruption.
#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <system_error>

#include "platform/sorveglia.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fallisci(const std::string& cosa) {
  throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), cosa);
}

HANDLE evento_interruzione = nullptr;

BOOL WINAPI all_interruzione(DWORD tipo) {
  if (tipo != CTRL_C_EVENT && tipo != CTRL_BREAK_EVENT && tipo != CTRL_CLOSE_EVENT) return FALSE;
  ::SetEvent(evento_interruzione);
  return TRUE;  // the watch ends between rounds, as on the other systems
}

// One watched folder: its handle, the pending read and its buffer.
struct cartella_sorvegliata {
  HANDLE h = INVALID_HANDLE_VALUE;
  OVERLAPPED ov{};
  alignas(DWORD) char buffer[16 * 1024];
  std::set<std::wstring> nomi;  // the names that matter, folded to lower case

  ~cartella_sorvegliata() {
    if (h != INVALID_HANDLE_VALUE) {
      ::CancelIo(h);
      ::CloseHandle(h);
    }
    if (ov.hEvent != nullptr) ::CloseHandle(ov.hEvent);
  }
  void leggi() {
    if (!::ReadDirectoryChangesW(h, buffer, sizeof buffer, FALSE,
                                 FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                     FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE,
                                 nullptr, &ov, nullptr))
      fallisci("ReadDirectoryChangesW");
  }
  // Whether the completed read names one of nomi; the next read is queued.
  bool raccogli() {
    DWORD n = 0;
    bool cambiato = false;
    if (::GetOverlappedResult(h, &ov, &n, FALSE)) {
      if (n == 0) cambiato = true;  // the buffer overflowed: anything may have changed
      for (DWORD i = 0; i < n;) {
        const auto* e = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + i);
        std::wstring nome(e->FileName, e->FileNameLength / sizeof(WCHAR));
        ::CharLowerBuffW(nome.data(), static_cast<DWORD>(nome.size()));
        // A save: written in place (MODIFIED), made anew (ADDED), or a new
        // file renamed over the name, as many editors save (RENAMED_NEW_NAME:
        // the name it had before, RENAMED_OLD_NAME, is another's).
        const bool salvato = e->Action == FILE_ACTION_MODIFIED || e->Action == FILE_ACTION_ADDED ||
                             e->Action == FILE_ACTION_RENAMED_NEW_NAME;
        if (salvato && nomi.count(nome)) cambiato = true;
        if (e->NextEntryOffset == 0) break;
        i += e->NextEntryOffset;
      }
    }
    ::ResetEvent(ov.hEvent);
    leggi();
    return cambiato;
  }
};

}  // namespace

int sorveglia(const std::vector<fs::path>& file, const std::function<void()>& giro) {
  if (evento_interruzione == nullptr) evento_interruzione = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (evento_interruzione == nullptr) fallisci("CreateEvent");
  ::ResetEvent(evento_interruzione);
  if (!::SetConsoleCtrlHandler(all_interruzione, TRUE)) fallisci("SetConsoleCtrlHandler");
  struct togli_gestore {
    ~togli_gestore() { ::SetConsoleCtrlHandler(all_interruzione, FALSE); }
  } togli;

  std::map<std::wstring, std::unique_ptr<cartella_sorvegliata>> cartelle;
  for (const fs::path& f : file) {
    const fs::path assoluto = fs::absolute(f);
    std::wstring chiave = assoluto.parent_path().wstring();
    ::CharLowerBuffW(chiave.data(), static_cast<DWORD>(chiave.size()));
    auto& c = cartelle[chiave];
    if (!c) {
      c = std::make_unique<cartella_sorvegliata>();
      c->h = ::CreateFileW(assoluto.parent_path().wstring().c_str(), FILE_LIST_DIRECTORY,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
      if (c->h == INVALID_HANDLE_VALUE) fallisci("cannot watch " + assoluto.parent_path().string());
      c->ov.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
      if (c->ov.hEvent == nullptr) fallisci("CreateEvent");
      c->leggi();
    }
    std::wstring nome = assoluto.filename().wstring();
    ::CharLowerBuffW(nome.data(), static_cast<DWORD>(nome.size()));
    c->nomi.insert(nome);
  }
  std::vector<HANDLE> attese{evento_interruzione};
  std::vector<cartella_sorvegliata*> per_indice{nullptr};
  for (auto& [chiave, c] : cartelle) {
    attese.push_back(c->ov.hEvent);
    per_indice.push_back(c.get());
  }

  giro();
  for (;;) {
    const DWORD r = ::WaitForMultipleObjects(static_cast<DWORD>(attese.size()), attese.data(), FALSE, INFINITE);
    if (r == WAIT_FAILED) fallisci("WaitForMultipleObjects");
    const DWORD i = r - WAIT_OBJECT_0;
    if (i == 0) return 0;
    bool cambiato = per_indice[i]->raccogli();
    // A save often comes as several events (create, write, rename): a short
    // pause lets the rest of one save arrive before the round.
    while (cambiato) {
      const DWORD altro =
          ::WaitForMultipleObjects(static_cast<DWORD>(attese.size()), attese.data(), FALSE, 100);
      if (altro == WAIT_TIMEOUT || altro == WAIT_FAILED) break;
      if (altro - WAIT_OBJECT_0 == 0) return 0;
      per_indice[altro - WAIT_OBJECT_0]->raccogli();
    }
    if (cambiato) giro();
  }
}

}  // namespace tracciato
