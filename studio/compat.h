// What the WebAssembly tool chain's C++ library (libc++ 13) lacks of C++20,
// force-included into every file of the studio's module (-include). Each
// piece stands only where the library has none of its own.
#pragma once

#include <bit>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <version>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class a, class da>
  requires(sizeof(a) == sizeof(da) && is_trivially_copyable_v<a> && is_trivially_copyable_v<da>)
constexpr a bit_cast(const da& v) noexcept {
  return __builtin_bit_cast(a, v);
}
}  // namespace std
#endif

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
namespace std {
template <class t>
  requires is_unbounded_array_v<t>
unique_ptr<t> make_unique_for_overwrite(size_t n) {
  return unique_ptr<t>(new remove_extent_t<t>[n]);
}
template <class t>
  requires(!is_array_v<t>)
unique_ptr<t> make_unique_for_overwrite() {
  return unique_ptr<t>(new t);
}
}  // namespace std
#endif
