// Checks both directions of the Windows-1252 conversion on arbitrary bytes: every byte string is
// Windows-1252 text that must survive the trip through UTF-8, and every UTF-8 text that converts
// must come back unchanged.

#include "config/texto.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view entrada(reinterpret_cast<const char*>(data), size);

    if (olvendra::Utf8ParaWin1252(olvendra::Win1252ParaUtf8(entrada)) != entrada) {
        std::fputs("fuzz_utf8_win1252: Windows-1252 -> UTF-8 -> Windows-1252 mudou o texto\n",
                   stderr);
        std::abort();
    }

    std::string win1252;
    try {
        win1252 = olvendra::Utf8ParaWin1252(entrada);
    } catch (const olvendra::ErroDeCodificacao&) {
        return 0;
    }
    if (olvendra::Win1252ParaUtf8(win1252) != entrada) {
        std::fputs("fuzz_utf8_win1252: UTF-8 -> Windows-1252 -> UTF-8 mudou o texto\n", stderr);
        std::abort();
    }
    return 0;
}
