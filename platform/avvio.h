// The process's start: its arguments and standard streams as the rest of
// the program expects them on every system.
#pragma once

namespace tracciato {

// prepara_processo: on Windows, replaces argc and argv with the command
// line's arguments read as UTF-16 and converted to UTF-8 (the ANSI code page
// cannot carry every name), makes the console show UTF-8, and puts standard
// input, output and error in binary mode, so that the bytes written are
// those written on Linux (no CR before each LF: the language server's
// headers and JSON stay exact). Elsewhere it does nothing. Call first thing
// in main.
void prepara_processo(int& argc, char**& argv);

}  // namespace tracciato
