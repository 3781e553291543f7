#pragma once

#include "config/texto.h"
#include "connection.h"
#include "login/codifica.h"
#include "schema.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace olvendra::app::testing {

// A suite folder of its own for one test: $OLVENDRA_DIR pointing at it, a fresh database with the
// suite's schema at dados/olvendra.bd, the marker file, and a program folder holding
// OLVENDRA.INI. Names and texts are given in UTF-8 and stored as the suite stores them.
class AmbienteDeTeste {
public:
    explicit AmbienteDeTeste(const std::string& corDeFundo = "12632256") {
        char modelo[] = "/tmp/olvendra-app-XXXXXX";
        raiz_ = mkdtemp(modelo);
        setenv("OLVENDRA_DIR", raiz_.c_str(), 1);
        std::filesystem::create_directories(raiz_ / "dados");
        std::filesystem::create_directories(programa());
        banco_.database = (raiz_ / "dados" / "olvendra.bd").string();
        data::Connection::CreateDatabase(banco_);
        data::Connection conexao(banco_);
        data::CreateSchema(conexao);
        escreveIni("COR DE FUNDO DAS TELAS", corDeFundo);
        std::ofstream(marcador()) << "em uso\r\n";
    }
    ~AmbienteDeTeste() {
        std::error_code ignorado;
        std::filesystem::remove_all(raiz_, ignorado);
    }
    AmbienteDeTeste(const AmbienteDeTeste&) = delete;
    AmbienteDeTeste& operator=(const AmbienteDeTeste&) = delete;

    const std::filesystem::path& raiz() const { return raiz_; }
    std::filesystem::path programa() const { return raiz_ / "programa"; }
    std::filesystem::path marcador() const { return raiz_ / "Em_Uso.txt"; }
    const data::ConnectionSettings& banco() const { return banco_; }

    // A user stored as the suite's other modules store it: the encoded upper case of name and
    // password.
    void usuario(const std::string& nome, const std::string& senha, const std::string& acesso) {
        executa("insert into USUARIOS (USUARIO, SENHA, ACESSO) values (?, ?, ?)",
                {Codifica(MaiusculasAZ(Utf8ParaWin1252(nome))),
                 Codifica(MaiusculasAZ(Utf8ParaWin1252(senha))), Utf8ParaWin1252(acesso)});
    }

    // An access string whose fourth character passes the test for the initial.
    static std::string AcessoPara(char inicial) {
        return std::string("SSS") + static_cast<char>(inicial + 5) + "SSSS";
    }

    void estacao(const std::string& codigo, const std::string& usuario,
                 const std::string& caminho) {
        executa("insert into ESTACOES (ESTACAO, USUARIO, DATBASNAM) values (?, ?, ?)",
                {Utf8ParaWin1252(codigo), Utf8ParaWin1252(usuario),
                 caminho.empty() ? data::Value() : data::Value(Utf8ParaWin1252(caminho))});
    }

    void executa(const std::string& sql, const std::vector<data::Value>& parametros) {
        data::Connection conexao(banco_);
        conexao.startTransaction();
        conexao.execute(sql, parametros);
        conexao.commit();
    }

    void escreveIni(const std::string& chave, const std::string& valor) {
        std::ofstream(programa() / "OLVENDRA.INI", std::ios::binary) << LinhaDoIni(chave, valor);
    }

    void acrescentaIni(const std::string& chave, const std::string& valor) {
        std::ofstream(programa() / "OLVENDRA.INI", std::ios::binary | std::ios::app)
            << LinhaDoIni(chave, valor);
    }

private:
    static std::string LinhaDoIni(const std::string& chave, const std::string& valor) {
        std::string rotulo = chave;
        rotulo.resize(47, '.');
        return rotulo + ": " + valor + "\r\n";
    }

    std::filesystem::path raiz_;
    data::ConnectionSettings banco_;
};

} // namespace olvendra::app::testing
