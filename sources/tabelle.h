// The built-in line tables of the two files the loader reads, for the
// documents and checks that must tell the same scenario.
#pragma once

#include <span>
#include <string_view>

namespace tracciato {

// tabella_linea: the line file's table, slot by slot, up to and including
// the end-of-table line.
std::span<const std::string_view> tabella_linea();

// tabella_treno: the train file's table, slot by slot, up to and including
// the end-of-table line.
std::span<const std::string_view> tabella_treno();

}  // namespace tracciato
