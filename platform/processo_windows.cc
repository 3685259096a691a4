// platform/processo.h on Windows: CreateProcessW, with the command line
// quoted as the C runtime's CommandLineToArgvW reads it back.
#include <windows.h>

#include <system_error>

#include "platform/percorso.h"
#include "platform/processo.h"

namespace tracciato {
namespace {

// One argument as a command line carries it: in quotes when it holds a
// space, a tab or a quote (or is empty), a quote escaped by a backslash,
// and backslashes doubled where a quote follows them.
std::wstring quotato(const std::wstring& a) {
  if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos) return a;
  std::wstring q = L"\"";
  std::size_t barre = 0;
  for (wchar_t c : a) {
    if (c == L'\\') {
      ++barre;
      continue;
    }
    q.append(c == L'"' ? 2 * barre + 1 : barre, L'\\');
    barre = 0;
    q += c;
  }
  q.append(2 * barre, L'\\');
  return q + L'"';
}

HANDLE apri_ereditabile(const std::filesystem::path& p, bool scrittura) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return ::CreateFileW(p.empty() ? L"NUL" : p.wstring().c_str(), scrittura ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                       scrittura ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

programma_in_corso::programma_in_corso(const avvio_programma& a) {
  std::wstring riga = quotato(a.programma.wstring());
  for (const std::string& t : a.argomenti) riga += L' ' + quotato(percorso_utf8(t).wstring());
  const HANDLE in = apri_ereditabile(a.ingresso, false);
  const HANDLE out = apri_ereditabile(a.uscita, true);
  const HANDLE err = apri_ereditabile(a.errori, true);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  const std::wstring cartella = a.cartella.wstring();
  const bool partito = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       ::CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        cartella.empty() ? nullptr : cartella.c_str(), &si, &pi);
  const DWORD e = ::GetLastError();
  for (HANDLE h : {in, out, err})
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  if (!partito)
    throw std::system_error(static_cast<int>(e), std::system_category(), "cannot start " + a.programma.string());
  ::CloseHandle(pi.hThread);
  id_ = reinterpret_cast<std::intptr_t>(pi.hProcess);
}

programma_in_corso::~programma_in_corso() {
  if (id_ < 0) return;
  ::TerminateProcess(reinterpret_cast<HANDLE>(id_), 137);
  attendi();
}

bool programma_in_corso::interrompi() { return false; }

int programma_in_corso::attendi() {
  if (id_ < 0) return stato_;
  const HANDLE h = reinterpret_cast<HANDLE>(id_);
  DWORD codice = 0;
  if (::WaitForSingleObject(h, INFINITE) != WAIT_OBJECT_0 || !::GetExitCodeProcess(h, &codice)) codice = DWORD(-1);
  ::CloseHandle(h);
  id_ = -1;
  stato_ = static_cast<int>(codice);
  return stato_;
}

int esegui_programma(const avvio_programma& a) { return programma_in_corso(a).attendi(); }

bool crea_fifo(const std::filesystem::path&) { return false; }

}  // namespace tracciato
