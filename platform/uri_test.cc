#include "platform/uri.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// The path of a URI, and back: the host's own form of both.
TEST(Uri, VaEToranaSulSistemaOspite) {
#ifdef _WIN32
  EXPECT_EQ(percorso_da_uri("file:///C:/Treni/Citt%C3%A0/S_linea.txt"), fs::path(L"C:\\Treni\\Citt\u00e0\\S_linea.txt"));
  EXPECT_EQ(percorso_da_uri("file:///c%3A/a%20b/x.txt"), fs::path(L"c:\\a b\\x.txt"));
  EXPECT_EQ(percorso_da_uri("file://server/share/x"), fs::path(L"\\\\server\\share\\x"));
  EXPECT_EQ(uri_da_percorso(fs::path(L"C:\\Treni\\Citt\u00e0\\a b.txt")), "file:///C:/Treni/Citt%C3%A0/a%20b.txt");
  const fs::path p(L"D:\\x y\\S_T.txt");
#else
  EXPECT_EQ(percorso_da_uri("file:///tmp/Citt%C3%A0/a%20b.txt"), fs::path("/tmp/Citt\u00e0/a b.txt"));
  EXPECT_EQ(percorso_da_uri("file://server/share/x"), std::nullopt);
  EXPECT_EQ(uri_da_percorso("/tmp/Citt\u00e0/a b.txt"), "file:///tmp/Citt%C3%A0/a%20b.txt");
  const fs::path p("/x y/S_T.txt");
#endif
  EXPECT_EQ(percorso_da_uri(uri_da_percorso(p)), p);
  EXPECT_EQ(percorso_da_uri("untitled:Untitled-1"), std::nullopt);
}

}  // namespace
}  // namespace tracciato
