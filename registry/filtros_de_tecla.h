#pragma once

namespace olvendra::registry {

// The characters the record form's fields accept from the keyboard, as a key handler receives
// them: a Windows-1252 byte, control characters included (backspace 8, Ctrl+C 3, Ctrl+V 22,
// Ctrl+X 24). A rejected character is discarded with the default beep.

inline constexpr char Backspace = '\b';

// The professional's and the secretary's names while name normalisation is on: backspace, space,
// "/", digits and the letters A-Z, a-z. Accented letters, apostrophes, hyphens, full stops and
// every other control character (so the clipboard shortcuts) are refused.
bool AceitaNoNome(char c);

// Day/month fields: backspace, space, "/" and digits.
bool AceitaNoDiaMes(char c);

// Percentage fields hold numbers: digits, "+", "-" and the locale's decimal separator; control
// characters pass, any other printable character is refused.
bool AceitaNoPercentual(char c, char separadorDecimal);

} // namespace olvendra::registry
