// The process's start: its arguments and standard streams as the rest of
// the program expects them on every system.
#pragma once

#include <cstddef>
#include <vector>

namespace tracciato {

// prepara_processo: on Windows, replaces argc and argv with the command
// line's arguments read as UTF-16 and converted to UTF-8 (the ANSI code page
// cannot carry every name), makes the console show UTF-8, and puts standard
// input, output and error in binary mode, so that the bytes written are
// those written on Linux (no CR before each LF: the language server's
// headers and JSON stay exact). Elsewhere it does nothing. Call first thing
// in main.
void prepara_processo(int& argc, char**& argv);

// memoria_di_una_corsa: for a process that ends soon after its work (every
// command but the long-lived ones): the memory it frees is kept for its own
// later allocations rather than given back to the system and asked for again,
// and large blocks come from the same store. Each page given back and taken
// again is a page fault, which on a virtual machine costs as much as
// thousands of instructions; a decompile of a long line frees and takes again
// several copies of its 300 KB cell grid. Where the C library offers no such
// setting it does nothing.
void memoria_di_una_corsa();

// popola_memoria: the whole pages of [p, p + n), which the caller is about to
// fill, are mapped in one call rather than each on its first touch. On a
// virtual machine a page's first touch costs about three times as much as its
// share of one call (the 300 KB cell grid of a 1,000 km line: 0.7 against
// 0.25 ms). Where the system has no such call it does nothing; the pages are
// then mapped as they are touched, as always.
void popola_memoria(void* p, std::size_t n);

// riserva_popolata: room for n elements in v, its pages mapped in one call,
// for a vector about to be filled to n.
template <class T>
void riserva_popolata(std::vector<T>& v, std::size_t n) {
  v.reserve(n);
  popola_memoria(v.data(), n * sizeof(T));
}

}  // namespace tracciato
