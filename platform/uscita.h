// The exit statuses, the same for every command.
#pragma once

namespace tracciato {

inline constexpr int uscita_ok = 0;                 // done, no fault recorded
inline constexpr int uscita_errore_registrato = 1;  // done, but a fault was recorded
inline constexpr int uscita_fallita = 2;  // a failure: bad usage, input or folder; nothing written
inline constexpr int uscita_interna = 3;  // a fault of tracciato itself

}  // namespace tracciato
