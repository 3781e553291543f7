// The prescriber file reader on arbitrary bytes: detection and reading never fail other than by
// ErroCsv, line numbers never go back, every record read comes back unchanged when written and
// read again, and the header lookup and the record rules take whatever the fields hold.

#include "colunas_medicos.h"
#include "config/texto.h"
#include "escritor_csv.h"
#include "leitor_csv.h"
#include "regras_de_importacao.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

using namespace olvendra;
using namespace olvendra::admin;

[[noreturn]] void Falha(const char* motivo) {
    std::fprintf(stderr, "fuzz_leitor_csv: %s\n", motivo);
    std::abort();
}

void ConfereIdaEVolta(const RegistroCsv& registro) {
    // Behind a byte order mark, as export-csv writes: a record that itself begins with the
    // mark's bytes keeps them.
    std::ostringstream escrito;
    escrito << MarcaUtf8;
    EscreveRegistro(escrito, registro.campos);
    std::istringstream relido(escrito.str());
    LeitorCsv leitor(relido);
    RegistroCsv deNovo;
    if (!leitor.proximo(deNovo) || deNovo.campos != registro.campos) {
        Falha("um registro escrito e lido de novo mudou");
    }
    if (leitor.proximo(deNovo)) {
        Falha("um registro escrito virou dois");
    }
}

void AplicaAsRegras(const RegistroCsv& registro, Codificacao codificacao) {
    std::array<data::Value, 22> valores{};
    for (std::size_t i = 0; i < registro.campos.size() && i < valores.size(); ++i) {
        try {
            valores[i] = codificacao == Codificacao::Windows1252
                             ? registro.campos[i]
                             : Utf8ParaWin1252(registro.campos[i]);
        } catch (const ErroDeCodificacao&) {
            continue;
        }
        ColunaPeloNome(*valores[i]);
    }
    for (const Problema& problema : AplicaRegras(valores, registro.linha % 2 == 0)) {
        if (problema.coluna < 0 || problema.coluna >= 22 || problema.motivo.empty()) {
            Falha("um problema sem coluna ou sem motivo");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream entrada(std::string(reinterpret_cast<const char*>(data), size));
    const Codificacao codificacao = DetectaCodificacao(entrada);
    LeitorCsv leitor(entrada);
    RegistroCsv registro;
    std::size_t linhaAnterior = 0;
    try {
        while (leitor.proximo(registro)) {
            if (registro.linha <= linhaAnterior) {
                Falha("o número da linha não avançou");
            }
            linhaAnterior = registro.linha;
            ConfereIdaEVolta(registro);
            AplicaAsRegras(registro, codificacao);
        }
    } catch (const ErroCsv& erro) {
        if (erro.linha == 0 || std::string(erro.what()).empty()) {
            Falha("um erro sem linha ou sem motivo");
        }
    }
    return 0;
}
