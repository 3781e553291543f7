#pragma once

#include <filesystem>

namespace olvendra {

// Raises EInOutError for a file that exists but cannot be opened or read, with a Portuguese
// message in Windows-1252, as every text the user sees: "Não foi possível <ação> o arquivo
// <caminho>: <causa>". `acaoUtf8` is the verb ("abrir", "ler"), `erro` the errno value.
[[noreturn]] void FalhaDeArquivo(const char* acaoUtf8, const std::filesystem::path& arquivo,
                                 int erro);

} // namespace olvendra
