// Runs a fuzz target's entry point once over every file given (directories: every file inside),
// so a saved corpus is checked by ordinary builds without libFuzzer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> Entradas(int argc, char** argv) {
    std::vector<std::filesystem::path> entradas;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path caminho = argv[i];
        if (std::filesystem::is_directory(caminho)) {
            for (const auto& item : std::filesystem::directory_iterator(caminho)) {
                if (item.is_regular_file()) {
                    entradas.push_back(item.path());
                }
            }
        } else {
            entradas.push_back(caminho);
        }
    }
    std::sort(entradas.begin(), entradas.end());
    return entradas;
}

} // namespace

int main(int argc, char** argv) {
    const auto entradas = Entradas(argc, argv);
    if (entradas.empty()) {
        std::fputs("Nenhuma entrada de corpus encontrada.\n", stderr);
        return 1;
    }
    for (const auto& entrada : entradas) {
        std::ifstream arquivo(entrada, std::ios::binary);
        if (!arquivo) {
            std::fprintf(stderr, "Não foi possível ler %s\n", entrada.c_str());
            return 1;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(arquivo),
                                      std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu entradas executadas.\n", entradas.size());
    return 0;
}
