#include "config/linhas_do_arquivo.h"

#include "config/falha_de_arquivo.h"

#include "config/erro_inesperado.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace olvendra {

std::optional<LinhasDoArquivo> LinhasDoArquivo::Abre(const std::filesystem::path& arquivo,
                                                     std::size_t bytesGuardados) {
    const int descritor = ::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC);
    if (descritor < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        FalhaDeArquivo("abrir", arquivo, errno);
    }
    return LinhasDoArquivo(descritor, arquivo, bytesGuardados);
}

LinhasDoArquivo::LinhasDoArquivo(int descritor, std::filesystem::path arquivo,
                                 std::size_t bytesGuardados)
    : descritor_(descritor), arquivo_(std::move(arquivo)), bytesGuardados_(bytesGuardados) {}

LinhasDoArquivo::LinhasDoArquivo(LinhasDoArquivo&& outro) noexcept
    : descritor_(std::exchange(outro.descritor_, -1)), arquivo_(std::move(outro.arquivo_)),
      bytesGuardados_(outro.bytesGuardados_), buffer_(std::move(outro.buffer_)),
      inicio_(outro.inicio_), fim_(outro.fim_) {}

LinhasDoArquivo::~LinhasDoArquivo() {
    if (descritor_ >= 0) {
        ::close(descritor_);
    }
}

bool LinhasDoArquivo::Enche() {
    for (;;) {
        const ssize_t lidos = ::read(descritor_, buffer_.data(), buffer_.size());
        if (lidos >= 0) {
            inicio_ = 0;
            fim_ = static_cast<std::size_t>(lidos);
            return lidos > 0;
        }
        if (errno != EINTR) {
            FalhaDeArquivo("ler", arquivo_, errno);
        }
    }
}

bool LinhasDoArquivo::Proxima(std::string& linha) {
    linha.clear();
    std::size_t comprimento = 0;
    bool terminaEmCR = false;
    for (;;) {
        if (inicio_ == fim_ && !Enche()) {
            if (comprimento == 0) {
                return false;
            }
            break;
        }
        const char* const pedaco = buffer_.data() + inicio_;
        const std::size_t disponivel = fim_ - inicio_;
        const auto* const lf = static_cast<const char*>(std::memchr(pedaco, '\n', disponivel));
        const std::size_t tamanho =
            lf != nullptr ? static_cast<std::size_t>(lf - pedaco) : disponivel;
        if (linha.size() < bytesGuardados_) {
            linha.append(pedaco, std::min(tamanho, bytesGuardados_ - linha.size()));
        }
        if (tamanho > 0) {
            terminaEmCR = pedaco[tamanho - 1] == '\r';
        }
        comprimento += tamanho;
        inicio_ += tamanho;
        if (lf != nullptr) {
            ++inicio_;
            break;
        }
    }
    // Past the kept bytes the carriage return is already dropped with the rest of the line.
    if (terminaEmCR && comprimento <= bytesGuardados_) {
        linha.pop_back();
    }
    return true;
}

} // namespace olvendra
