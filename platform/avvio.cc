#include "platform/avvio.h"

#ifdef _WIN32
#include <windows.h>  // before shellapi.h, which needs it

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <string>
#include <vector>
#endif

#include <cstdlib>  // which C library: __GLIBC__
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace tracciato {

#ifdef _WIN32

void prepara_processo(int& argc, char**& argv) {
  static std::vector<std::string> testi;
  static std::vector<char*> puntatori;
  int n = 0;
  wchar_t** larghi = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (larghi != nullptr) {
    testi.clear();
    for (int i = 0; i < n; ++i) {
      const int lunghezza = ::WideCharToMultiByte(CP_UTF8, 0, larghi[i], -1, nullptr, 0, nullptr, nullptr);
      std::string t(lunghezza > 0 ? static_cast<std::size_t>(lunghezza) : 1u, '\0');
      if (lunghezza > 0) ::WideCharToMultiByte(CP_UTF8, 0, larghi[i], -1, t.data(), lunghezza, nullptr, nullptr);
      t.resize(t.size() - 1);  // the terminator
      testi.push_back(std::move(t));
    }
    ::LocalFree(larghi);
    puntatori.clear();
    for (std::string& t : testi) puntatori.push_back(t.data());
    puntatori.push_back(nullptr);
    argc = n;
    argv = puntatori.data();
  }
  ::SetConsoleOutputCP(CP_UTF8);
  ::SetConsoleCP(CP_UTF8);
  for (int fd : {0, 1, 2}) ::_setmode(fd, _O_BINARY);
}

#else

void prepara_processo(int&, char**&) {}

#endif

void memoria_di_una_corsa() {
#if defined(__GLIBC__)
  // Blocks up to 32 MiB (the most the library allows) from the heap, not
  // mapped and unmapped one by one; up to 64 MiB freed at the heap's top
  // kept there.
  ::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  ::mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

void popola_memoria(void* p, std::size_t n) {
#if defined(__linux__)
  // Since Linux 5.14; older kernels refuse the advice, which changes nothing.
  constexpr int popola_in_scrittura = 23;  // MADV_POPULATE_WRITE
  static const std::uintptr_t pagina = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const std::uintptr_t inizio = (reinterpret_cast<std::uintptr_t>(p) + pagina - 1) & ~(pagina - 1);
  const std::uintptr_t fine = (reinterpret_cast<std::uintptr_t>(p) + n) & ~(pagina - 1);
  if (fine > inizio) ::madvise(reinterpret_cast<void*>(inizio), fine - inizio, popola_in_scrittura);
#else
  (void)p, (void)n;
#endif
}

}  // namespace tracciato
