// The program's Windows-1252 table against glibc's converter (iconv), which
// only the POSIX build has.
#include <gtest/gtest.h>
#include <iconv.h>

#include <stdexcept>
#include <string>

#include "platform/testo.h"

namespace tracciato {
namespace {

// The built-in texts are converted by the program's own table; glibc's
// converter is the judge of that table, over every code point of the basic
// plane and a spread of the others. glibc drops the language tags
// (U+E0000 to U+E007F) without a word; the table refuses them, as it does
// every other character the code page lacks.
TEST(Testo, Utf8ToWindows1252AgreesWithIconv) {
  const iconv_t cd = ::iconv_open("WINDOWS-1252", "UTF-8");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int diversi = 0;
  for (char32_t u = 0; u <= 0x10FFFF && diversi < 5; u += u < 0x10000 ? 1 : 97) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;  // surrogates have no UTF-8 form
    if (u >= 0xE0000 && u <= 0xE007F) continue;
    std::string utf8;
    if (u < 0x10000) {
      metti_utf8(utf8, u);
    } else {
      utf8 = {static_cast<char>(0xF0 | (u >> 18)), static_cast<char>(0x80 | ((u >> 12) & 0x3F)),
              static_cast<char>(0x80 | ((u >> 6) & 0x3F)), static_cast<char>(0x80 | (u & 0x3F))};
    }
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char uscita[8];
    char* in = utf8.data();
    char* out = uscita;
    size_t resto_in = utf8.size(), resto_out = sizeof uscita;
    const bool riesce = ::iconv(cd, &in, &resto_in, &out, &resto_out) != static_cast<size_t>(-1);
    std::string nostro;
    bool nostro_riesce = true;
    try {
      nostro = da_utf8(utf8);
    } catch (const std::runtime_error&) {
      nostro_riesce = false;
    }
    const std::string atteso(uscita, static_cast<size_t>(out - uscita));
    if (riesce != nostro_riesce || (riesce && nostro != atteso)) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(u);
      ++diversi;
    }
  }
  ::iconv_close(cd);
  // Bytes that are not UTF-8 are refused as well.
  for (const char* guasto : {"\xC0\xA0", "\xE0\x80\x80", "\xED\xA0\x80", "Citt\xE0", "\xC3"})
    EXPECT_THROW(da_utf8(guasto), std::runtime_error) << guasto;
}

}  // namespace
}  // namespace tracciato
