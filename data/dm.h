#pragma once

#include "connection.h"
#include "record_set.h"

#include <filesystem>
#include <string>

namespace olvendra::data {

// The data module: the one connection "OlveDados" and the four record sets of the suite's tables.
class TDM {
public:
    static constexpr const char* MedicosStatement =
        "select CRM, ESPECIALIDADE, NOME, ENDERECO, COMPLEMENTO, CEP, CIDADE, ESTADO, TELEFONES, "
        "QDEFORMULAS, VALORTOTAL, COMISSPERC, COMISSAO, DATAANIVERSARIO, OBSERVACAO, E_MAIL, "
        "NOME_SECRETARIA, ANIV_SECRETARIA, ATENDENTE, REPRESENTANTE, CONSELHOPROFISSIONAL, "
        "UFCONSELHO from MEDICOS order by NOME collate WIN_PTBR, CRM";
    static constexpr const char* UsuariosStatement =
        "select USUARIO, CODIGO, SENHA, ACESSO, ARQUIVO, LOGADO, ESTACAO, CONSIST_INICIAL, "
        "DEFVIDEOQIR from USUARIOS order by USUARIO";
    static constexpr const char* EspecStatement =
        "select CODIGO_ESPEC, ESPECIALIDADE from ESPECIALIDADES ORDER BY ESPECIALIDADE";

    // DataModuleCreate: client library from CaminhoGDS.txt under the suite root, Database from
    // servidorCentral; does not connect. An unreadable CaminhoGDS.txt is reported through
    // `unexpected` (the process-wide handler) and the rest of the creation is skipped.
    TDM(const std::string& servidorCentral, const std::filesystem::path& suiteRoot);

    Connection SQLConnection1;
    RecordSet MEDICOS;
    RecordSet Usuarios;
    RecordSet Estacoes;
    RecordSet Espec;
};

} // namespace olvendra::data
