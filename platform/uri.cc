#include "platform/uri.h"

#include "platform/percorso.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

int cifra(char c) {
  return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::string decodifica(std::string_view t) {
  std::string p;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '%' && i + 2 < t.size() && cifra(t[i + 1]) >= 0 && cifra(t[i + 2]) >= 0) {
      p += static_cast<char>(cifra(t[i + 1]) * 16 + cifra(t[i + 2]));
      i += 2;
    } else {
      p += t[i];
    }
  }
  return p;
}

// The path as UTF-8 text with forward slashes, as a URI writes it.
std::string in_utf8(const fs::path& p) {
  std::string t = testo_percorso(p);
#ifdef _WIN32
  for (char& c : t)
    if (c == '\\') c = '/';
#endif
  return t;
}

bool lettera_unita(std::string_view t) {
  return t.size() >= 2 && ((t[0] >= 'A' && t[0] <= 'Z') || (t[0] >= 'a' && t[0] <= 'z')) && t[1] == ':';
}

}  // namespace

std::optional<fs::path> percorso_da_uri(std::string_view uri) {
  constexpr std::string_view schema = "file://";
  if (uri.substr(0, schema.size()) != schema) return std::nullopt;
  uri.remove_prefix(schema.size());
  // file://host/path: only the local host is ours (and, on Windows, a share).
  if (uri.substr(0, 9) == "localhost") uri.remove_prefix(9);
#ifdef _WIN32
  if (!uri.empty() && uri.front() != '/') {
    std::string unc = "//" + decodifica(uri);
    return percorso_utf8(unc).make_preferred();
  }
#endif
  if (uri.empty() || uri.front() != '/') return std::nullopt;
  std::string p = decodifica(uri);
#ifdef _WIN32
  if (lettera_unita(std::string_view(p).substr(1))) p.erase(0, 1);  // "/C:/dir" is C:/dir
#endif
  return percorso_utf8(p).make_preferred();
}

std::string uri_da_percorso(const fs::path& percorso) {
  std::string p = in_utf8(percorso);
  std::string uri = "file://";
  if (p.starts_with("//")) p.erase(0, 2);        // a share: its server is the host
  else if (lettera_unita(p)) uri += '/';          // file:///C:/...
  static constexpr char esadecimali[] = "0123456789ABCDEF";
  for (unsigned char c : p) {
    const bool libero = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        std::string_view("/-._~:!$&'()*+,;=@").find(static_cast<char>(c)) != std::string_view::npos;
    if (libero) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += esadecimali[c >> 4];
      uri += esadecimali[c & 15];
    }
  }
  return uri;
}

}  // namespace tracciato
