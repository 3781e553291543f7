#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace olvendra::testes {

// A fresh directory for one test, removed with everything in it afterwards.
class DiretorioTemporario {
public:
    DiretorioTemporario() {
        std::string modelo = (std::filesystem::temp_directory_path() / "olvcfgXXXXXX").string();
        if (mkdtemp(modelo.data()) == nullptr) {
            throw std::runtime_error("mkdtemp falhou");
        }
        caminho_ = modelo;
    }
    ~DiretorioTemporario() {
        std::error_code ignorado;
        std::filesystem::permissions(caminho_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignorado);
        std::filesystem::remove_all(caminho_, ignorado);
    }
    DiretorioTemporario(const DiretorioTemporario&) = delete;
    DiretorioTemporario& operator=(const DiretorioTemporario&) = delete;

    const std::filesystem::path& Caminho() const { return caminho_; }

    std::filesystem::path Grava(std::string_view nome, std::string_view bytes) const {
        const auto arquivo = caminho_ / nome;
        std::ofstream saida(arquivo, std::ios::binary | std::ios::trunc);
        saida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!saida) {
            throw std::runtime_error("não foi possível gravar " + arquivo.string());
        }
        return arquivo;
    }

private:
    std::filesystem::path caminho_;
};

} // namespace olvendra::testes
