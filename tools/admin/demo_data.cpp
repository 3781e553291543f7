#include "demo_data.h"

#include "admin_commands.h"
#include "config/texto.h"
#include "login/codifica.h"

#include <array>
#include <string>
#include <vector>

namespace olvendra::admin {

namespace {

constexpr const char* Specialties[] = {
    "Acupuntura",
    "Alergia e Imunologia",
    "Anestesiologia",
    "Angiologia",
    "Cardiologia",
    "Cirurgia Geral",
    "Cirurgia Plástica",
    "Clínica Médica",
    "Coloproctologia",
    "Dermatologia",
    "Endocrinologia",
    "Endodontia",
    "Enfermagem",
    "Fisioterapia",
    "Fonoaudiologia",
    "Gastroenterologia",
    "Geriatria",
    "Ginecologia",
    "Hematologia",
    "Homeopatia",
    "Infectologia",
    "Mastologia",
    "Medicina Esportiva",
    "Medicina do Trabalho",
    "Medicina Veterinária",
    "Nefrologia",
    "Neurologia",
    "Nutrição",
    "Nutrologia",
    "Obstetrícia",
    "Odontologia",
    "Oftalmologia",
    "Oncologia",
    "Ortodontia",
    "Ortopedia",
    "Otorrinolaringologia",
    "Pediatria",
    "Periodontia",
    "Pneumologia",
    "Psiquiatria",
    "Reumatologia",
    "Tricologia",
    "Urologia",
    "Farmácia Clínica",
    "Estética",
};

constexpr const char* FirstNames[] = {
    "Ana",    "André",  "Antônio", "Beatriz", "Bruno",    "Camila",   "Carlos",  "Cecília",
    "Daniel", "Débora", "Eduardo", "Fábio",   "Fernanda", "Gabriela", "Gustavo", "Helena",
    "Inês",   "João",   "José",    "Júlia",   "Larissa",  "Letícia",  "Lúcia",   "Luís",
    "Marcos", "Maria",  "Mônica",  "Otávio",  "Patrícia", "Paulo",    "Raquel",  "Renata",
    "Sérgio", "Simone", "Tânia",   "Tiago",   "Vinícius",
};

constexpr const char* Surnames[] = {
    "Almeida",  "Araújo",    "Barbosa", "Cardoso",   "Carvalho",  "Castro",    "Conceição",
    "Correia",  "Costa",     "Dias",    "Fernandes", "Ferreira",  "Gonçalves", "Lima",
    "Lopes",    "Magalhães", "Martins", "Melo",      "Monteiro",  "Moreira",   "Nascimento",
    "Oliveira", "Pereira",   "Ribeiro", "Rocha",     "Rodrigues", "Santos",    "Silva",
    "Sousa",    "Teixeira",  "Vieira",  "Simões",    "Guimarães", "Brandão",
};

constexpr const char* States[] = {"AC", "AL", "AP", "AM", "BA", "CE", "DF", "ES", "GO",
                                  "MA", "MT", "MS", "MG", "PA", "PB", "PR", "PE", "PI",
                                  "RJ", "RN", "RS", "RO", "RR", "SC", "SP", "SE", "TO"};

constexpr const char* Cities[] = {"São Paulo",     "Ribeirão Preto", "Belo Horizonte", "Curitiba",
                                  "Florianópolis", "Goiânia",        "Brasília",       "Vitória",
                                  "Maceió",        "São Luís",       "Niterói",        "Uberlândia",
                                  "Maringá",       "Jundiaí"};

constexpr const char* Streets[] = {"Rua das Acácias",   "Avenida Paulista",      "Rua São João",
                                   "Avenida Brasil",    "Rua XV de Novembro",    "Alameda Santos",
                                   "Rua da Consolação", "Avenida Getúlio Vargas"};

// The council that registers a specialty, as the record panel's council list offers it: a council
// missing from the list is "OUTROS".
const char* CouncilOf(const std::string& specialty) {
    if (specialty == "Odontologia" || specialty == "Ortodontia" || specialty == "Endodontia" ||
        specialty == "Periodontia") {
        return "CRO";
    }
    if (specialty == "Medicina Veterinária") {
        return "CRMV";
    }
    if (specialty == "Nutrição") {
        return "CRN";
    }
    if (specialty == "Farmácia Clínica") {
        return "CRF";
    }
    if (specialty == "Enfermagem") {
        return "COREN";
    }
    if (specialty == "Fisioterapia") {
        return "CREFITO";
    }
    if (specialty == "Fonoaudiologia") {
        return "OUTROS";
    }
    return "CRM";
}

std::string W(const std::string& utf8) {
    return Utf8ParaWin1252(utf8);
}

// The name's letters without their accents, for e-mail addresses.
std::string AsciiLetters(const std::string& utf8) {
    static const std::string accented = W("áâãàéêíóôõúüçÁÂÃÉÍÓÔÚÇ");
    static const std::string plain = "aaaaeeiooouucAAAEIOUC";
    std::string letters;
    for (char c : W(utf8)) {
        std::size_t at = accented.find(c);
        letters += at == std::string::npos ? c : plain[at];
    }
    return letters;
}

// A small deterministic generator, so every demo database is the same.
struct Sequence {
    std::uint32_t state = 20261210;
    std::uint32_t next(std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }
};

template <typename T, std::size_t N> const T& Pick(const T (&items)[N], Sequence& sequence) {
    return items[sequence.next(N)];
}

std::string TwoDigits(std::uint32_t value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

void InsertUsers(data::Connection& connection) {
    for (const DemoUser& user : DemoUsers) {
        std::string access = user.passesAccessTest ? AccessFor(user.name) : "SSSA";
        connection.execute(
            "insert into USUARIOS (USUARIO, CODIGO, SENHA, ACESSO) values (?, ?, ?, ?)",
            {Codifica(user.name), std::string(user.name, 1), Codifica(user.password), access});
        if (user.workArea) {
            // The work area names its user in lower case: the lookup ignores letter case.
            connection.execute("insert into ESTACOES (ESTACAO, DATBASNAM, TIPO, USUARIO) values "
                               "(?, ?, ?, ?)",
                               {std::string(user.workArea), std::string("dados/olvendra.bd"),
                                std::string("BALCAO"), MinusculasAZ(user.name)});
        }
    }
}

void InsertProfessionals(data::Connection& connection) {
    Sequence sequence;
    const std::string insert =
        "insert into MEDICOS (CRM, ESPECIALIDADE, NOME, ENDERECO, COMPLEMENTO, CEP, CIDADE, "
        "ESTADO, TELEFONES, QDEFORMULAS, VALORTOTAL, COMISSPERC, COMISSAO, DATAANIVERSARIO, "
        "OBSERVACAO, E_MAIL, NOME_SECRETARIA, ANIV_SECRETARIA, ATENDENTE, REPRESENTANTE, "
        "CONSELHOPROFISSIONAL, UFCONSELHO) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?)";
    for (int i = 0; i < 320; ++i) {
        std::string first = Pick(FirstNames, sequence);
        std::string name = first + " " + Pick(Surnames, sequence) + " " + Pick(Surnames, sequence);
        std::string specialty = Pick(Specialties, sequence);
        std::string state = Pick(States, sequence);
        std::string crm = std::to_string(10000 + i * 37 % 90000);
        std::string email = MinusculasAZ(AsciiLetters(first));
        std::vector<data::Value> row = {
            crm,
            W(specialty),
            W(name).substr(0, 40),
            W(std::string(Pick(Streets, sequence)) + ", " +
              std::to_string(10 + sequence.next(2000))),
            i % 3 == 0 ? data::Value{W("Sala " + std::to_string(1 + sequence.next(900)))}
                       : data::Value{},
            std::to_string(10000 + sequence.next(89999)) + "-" +
                std::to_string(100 + sequence.next(899)),
            W(Pick(Cities, sequence)),
            state,
            "(" + std::to_string(11 + sequence.next(88)) + ") 3" +
                std::to_string(100 + sequence.next(899)) + "-" +
                std::to_string(1000 + sequence.next(8999)),
            std::to_string(sequence.next(400)),
            std::to_string(sequence.next(50000)) + "." + TwoDigits(sequence.next(100)),
            std::to_string(sequence.next(15)) + ".5",
            i % 4 == 0 ? data::Value{std::to_string(sequence.next(10))} : data::Value{},
            TwoDigits(1 + sequence.next(28)) + "/" + TwoDigits(1 + sequence.next(12)),
            i % 5 == 0 ? data::Value{W("Atende às terças e quintas; prefere contato por e-mail.")}
                       : data::Value{},
            email + "." + crm + "@exemplo.com.br",
            i % 2 == 0 ? data::Value{W(std::string(Pick(FirstNames, sequence)) + " " +
                                       Pick(Surnames, sequence))}
                       : data::Value{},
            i % 2 == 0 ? data::Value{TwoDigits(1 + sequence.next(28)) + "/" +
                                     TwoDigits(1 + sequence.next(12))}
                       : data::Value{},
            std::string("MARIA"),
            i % 7 == 0 ? data::Value{W("Representação Sul")} : data::Value{},
            std::string(CouncilOf(specialty)),
            state,
        };
        connection.execute(insert, row);
        // Some professionals are registered under the same number for a second specialty.
        if (i % 40 == 0) {
            row[1] = W(specialty == "Pediatria" ? "Homeopatia" : "Pediatria");
            connection.execute(insert, row);
        }
    }
}

} // namespace

void InsertDemoData(data::Connection& connection) {
    int code = 1;
    for (const char* specialty : Specialties) {
        connection.execute("insert into ESPECIALIDADES (CODIGO_ESPEC, ESPECIALIDADE) values (?, ?)",
                           {std::to_string(code++), W(specialty)});
    }
    InsertUsers(connection);
    InsertProfessionals(connection);
}

} // namespace olvendra::admin
