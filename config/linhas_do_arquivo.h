#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace olvendra {

// Reads a text file line by line in fixed-size chunks, keeping only the first bytes of each
// line, so that a huge file or a line without end costs neither memory nor quadratic time.
// A line ends with a line feed, or with the end of the file; a carriage return directly before
// that end is not part of the line, so CR LF and bare LF files read alike.
class LinhasDoArquivo {
public:
    // std::nullopt when no file exists at the path; EInOutError when it exists but cannot be
    // opened.
    static std::optional<LinhasDoArquivo> Abre(const std::filesystem::path& arquivo,
                                               std::size_t bytesGuardados);

    LinhasDoArquivo(LinhasDoArquivo&& outro) noexcept;
    LinhasDoArquivo& operator=(LinhasDoArquivo&&) = delete;
    LinhasDoArquivo(const LinhasDoArquivo&) = delete;
    LinhasDoArquivo& operator=(const LinhasDoArquivo&) = delete;
    ~LinhasDoArquivo();

    // Puts the first bytes of the next line into 'linha'; false at the end of the file.
    // Throws EInOutError when reading fails.
    bool Proxima(std::string& linha);

private:
    LinhasDoArquivo(int descritor, std::filesystem::path arquivo, std::size_t bytesGuardados);
    bool Enche();

    int descritor_;
    std::filesystem::path arquivo_;
    std::size_t bytesGuardados_;
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
    std::size_t inicio_ = 0;
    std::size_t fim_ = 0;
};

} // namespace olvendra
