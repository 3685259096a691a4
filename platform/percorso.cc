#include "platform/percorso.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tracciato {

#ifdef _WIN32

std::filesystem::path percorso_utf8(std::string_view testo) {
  if (testo.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), w.data(), n);
  return std::filesystem::path(std::move(w));
}

std::string testo_percorso(const std::filesystem::path& percorso) {
  const std::wstring& w = percorso.native();
  if (w.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string t(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), t.data(), n, nullptr, nullptr);
  return t;
}

#else

std::filesystem::path percorso_utf8(std::string_view testo) { return std::filesystem::path(testo); }

std::string testo_percorso(const std::filesystem::path& percorso) { return percorso.native(); }

#endif

}  // namespace tracciato
