#include "leitor_csv.h"

#include <array>

namespace olvendra::admin {

namespace {

constexpr std::array<unsigned char, 3> MarcaUtf8 = {0xEF, 0xBB, 0xBF};
constexpr int Fim = std::char_traits<char>::eof();
// No column holds more than 250 characters nor a record more than 22 fields: far larger ones are
// not a prescriber file, and stopping there keeps a broken file from filling the memory.
constexpr std::size_t MaiorCampo = 65536;
constexpr std::size_t MaisCampos = 1000;

bool ComecaComMarca(std::istream& entrada) {
    std::array<char, 3> inicio{};
    entrada.read(inicio.data(), inicio.size());
    const bool marca = entrada.gcount() == 3 &&
                       static_cast<unsigned char>(inicio[0]) == MarcaUtf8[0] &&
                       static_cast<unsigned char>(inicio[1]) == MarcaUtf8[1] &&
                       static_cast<unsigned char>(inicio[2]) == MarcaUtf8[2];
    entrada.clear();
    entrada.seekg(0);
    return marca;
}

// Validates UTF-8 across buffer boundaries: overlong forms, surrogates and code points above
// U+10FFFF are invalid.
class ValidadorUtf8 {
public:
    bool aceita(unsigned char byte) {
        if (faltam_ == 0) {
            if (byte < 0x80) {
                return true;
            }
            if (byte >= 0xC2 && byte <= 0xDF) {
                faltam_ = 1;
                minimo_ = 0x80, maximo_ = 0xBF;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                faltam_ = 2;
                minimo_ = byte == 0xE0 ? 0xA0 : 0x80;
                maximo_ = byte == 0xED ? 0x9F : 0xBF;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                faltam_ = 3;
                minimo_ = byte == 0xF0 ? 0x90 : 0x80;
                maximo_ = byte == 0xF4 ? 0x8F : 0xBF;
            } else {
                return false;
            }
            return true;
        }
        if (byte < minimo_ || byte > maximo_) {
            return false;
        }
        --faltam_;
        minimo_ = 0x80, maximo_ = 0xBF;
        return true;
    }
    bool completo() const { return faltam_ == 0; }

private:
    int faltam_ = 0;
    unsigned char minimo_ = 0x80, maximo_ = 0xBF;
};

} // namespace

Codificacao DetectaCodificacao(std::istream& entrada) {
    if (ComecaComMarca(entrada)) {
        return Codificacao::Utf8ComBom;
    }
    ValidadorUtf8 validador;
    std::array<char, 65536> bloco;
    bool valido = true;
    while (valido && entrada) {
        entrada.read(bloco.data(), bloco.size());
        for (std::streamsize i = 0; valido && i < entrada.gcount(); ++i) {
            valido = validador.aceita(static_cast<unsigned char>(bloco[i]));
        }
    }
    entrada.clear();
    entrada.seekg(0);
    return valido && validador.completo() ? Codificacao::Utf8 : Codificacao::Windows1252;
}

LeitorCsv::LeitorCsv(std::istream& entrada) : entrada_(entrada) {
    if (ComecaComMarca(entrada_)) {
        entrada_.seekg(3);
    }
}

int LeitorCsv::le() {
    return entrada_.get();
}

int LeitorCsv::espia() {
    return entrada_.peek();
}

void LeitorCsv::fimDeLinha(int c) {
    if (c == '\r' && espia() == '\n') {
        le();
    }
    ++linha_;
}

bool LeitorCsv::proximo(RegistroCsv& registro) {
    registro.linha = linha_;
    registro.campos.clear();
    int c = le();
    if (c == Fim) {
        return false;
    }
    std::string campo;
    for (;;) {
        if (c == '"' && campo.empty()) {
            const std::size_t abertura = linha_;
            for (;;) {
                c = le();
                if (c == Fim) {
                    throw ErroCsv(abertura, "as aspas abertas nesta linha não foram fechadas");
                }
                if (c == '"') {
                    if (espia() != '"') {
                        break;
                    }
                    le();
                } else if (c == '\n' || c == '\r') {
                    if (c == '\r' && espia() == '\n') {
                        campo += '\r';
                        c = le();
                    }
                    ++linha_;
                }
                campo += static_cast<char>(c);
                if (campo.size() > MaiorCampo) {
                    throw ErroCsv(abertura, "um campo passa de 65536 bytes");
                }
            }
            c = le();
            if (c != ';' && c != '\n' && c != '\r' && c != Fim) {
                throw ErroCsv(linha_, "há texto depois das aspas que fecham um campo");
            }
        } else {
            while (c != ';' && c != '\n' && c != '\r' && c != Fim) {
                campo += static_cast<char>(c);
                if (campo.size() > MaiorCampo) {
                    throw ErroCsv(linha_, "um campo passa de 65536 bytes");
                }
                c = le();
            }
        }
        registro.campos.push_back(std::move(campo));
        campo.clear();
        if (registro.campos.size() > MaisCampos) {
            throw ErroCsv(registro.linha, "a linha passa de 1000 campos");
        }
        if (c == ';') {
            c = le();
            continue;
        }
        if (c != Fim) {
            fimDeLinha(c);
        }
        return true;
    }
}

} // namespace olvendra::admin
