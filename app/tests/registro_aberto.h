#pragma once

#include "ambiente_de_teste.h"
#include "app/form_medicos.h"
#include "app/navegador.h"
#include "app/painel_medicos.h"
#include "app/programa.h"
#include "config/texto.h"
#include "connection.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

#include <map>
#include <memory>

namespace olvendra::app::testing {

inline QString Texto(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Types into whatever has the keyboard focus, as the user would.
inline void Digita(const QString& texto) {
    QWidget* foco = QApplication::focusWidget();
    QVERIFY(foco != nullptr);
    for (const QChar letra : texto) {
        if (letra.unicode() < 0x80) {
            QTest::keyClick(foco, letra.toLatin1());
        } else {
            // Accented letters come from the keyboard layout as text without a key code.
            QTest::sendKeyEvent(QTest::Click, foco, Qt::Key_unknown, QString(letra),
                                Qt::NoModifier);
        }
    }
}

inline void Tecla(Qt::Key tecla, Qt::KeyboardModifiers modificadores = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), tecla, modificadores);
}

// Alt with a letter: the accelerator presses its button with a short animation, waited for here.
inline void Atalho(QWidget& janela, Qt::Key letra) {
    QTest::keyClick(&janela, letra, Qt::AltModifier);
    QTest::qWait(250);
}

inline bool TemFoco(const QWidget* controle) {
    const QWidget* foco = QApplication::focusWidget();
    return foco == controle || (foco != nullptr && controle->isAncestorOf(foco));
}

// A professional as another program of the suite stores it (UTF-8 texts; empty: null).
inline void Insere(AmbienteDeTeste& ambiente, const std::string& crm,
                   const std::string& especialidade, const std::string& nome,
                   const std::string& conselho = "CRM", const std::string& uf = "SP",
                   const std::string& telefones = "") {
    auto valor = [](const std::string& texto) {
        return texto.empty() ? data::Value() : data::Value(Utf8ParaWin1252(texto));
    };
    ambiente.executa("insert into MEDICOS (CRM, ESPECIALIDADE, NOME, CONSELHOPROFISSIONAL, "
                     "UFCONSELHO, TELEFONES) values (?, ?, ?, ?, ?, ?)",
                     {valor(crm), valor(especialidade), valor(nome), valor(conselho), valor(uf),
                      valor(telefones)});
}

// Every column of the professionals with this registration number, read through a connection of
// its own: one map per row, column name to UTF-8 text ("null" for null).
inline std::vector<std::map<std::string, std::string>> LeDoBanco(const AmbienteDeTeste& ambiente,
                                                                 const std::string& crm) {
    struct Coleta : data::RowSink {
        std::vector<data::Column> colunas;
        std::vector<std::map<std::string, std::string>> linhas;
        void columns(const std::vector<data::Column>& descritas) override { colunas = descritas; }
        void row(const std::string_view* valores, const bool* nulos) override {
            auto& linha = linhas.emplace_back();
            for (std::size_t i = 0; i < colunas.size(); ++i) {
                linha[colunas[i].name] = nulos[i] ? "null" : Win1252ParaUtf8(valores[i]);
            }
        }
    } coleta;
    data::Connection conexao(ambiente.banco());
    conexao.select("select * from MEDICOS where CRM = ? order by ESPECIALIDADE",
                   {Utf8ParaWin1252(crm)}, coleta);
    return coleta.linhas;
}

inline std::size_t ContaNoBanco(const AmbienteDeTeste& ambiente) {
    struct Conta : data::RowSink {
        std::size_t linhas = 0;
        void columns(const std::vector<data::Column>&) override {}
        void row(const std::string_view*, const bool*) override { ++linhas; }
    } conta;
    data::Connection conexao(ambiente.banco());
    conexao.select("select CRM from MEDICOS", {}, conta);
    return conta.linhas;
}

// The program over a suite of its own, with the user MARIA (password 1234) logged in.
class RegistroAberto {
public:
    explicit RegistroAberto(bool formataNome = false) {
        ambiente.usuario("MARIA", "1234", AmbienteDeTeste::AcessoPara('M'));
        ambiente.estacao("01", "MARIA", "/opt/olvendra/dados/maria.bd");
        if (formataNome) {
            ambiente.acrescentaIni("FORMATA NOME DO CLIENTE", "Sim");
        }
        for (const char* especialidade : {"Cardiologia", "Clínica Geral", "Pediatria"}) {
            ambiente.executa(
                "insert into ESPECIALIDADES (CODIGO_ESPEC, ESPECIALIDADE) values (?, ?)",
                {std::to_string(++especialidades_), Utf8ParaWin1252(especialidade)});
        }
    }

    // Starts the program and logs in by the keyboard; the focus then rests on "&Sair".
    void abre() {
        programa = std::make_unique<Programa>();
        QVERIFY(programa->inicia(ambiente.programa(), ambiente.raiz()));
        janela().show();
        janela().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&janela()));
        Digita(QStringLiteral("maria"));
        Tecla(Qt::Key_Return);
        Digita(QStringLiteral("1234"));
        Tecla(Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowActive(&janela()));
        QVERIFY(registro().DBNavigator7->isEnabled());
    }

    TFormMedicos& janela() { return programa->janela(); }
    PainelMedicos& registro() { return *janela().painelMedicos(); }
    data::RecordSet& medicos() { return programa->dm().MEDICOS; }
    template <class Controle = QWidget> Controle* controle(const char* nome) {
        auto* achado = janela().findChild<Controle*>(QString::fromLatin1(nome));
        Q_ASSERT(achado != nullptr);
        return achado;
    }
    // The current record's column, in UTF-8.
    QString campo(const char* coluna) {
        return QString::fromStdString(Win1252ParaUtf8(medicos().fieldText(coluna)));
    }
    // Presses a navigator button by its name ("Inclui", "Grava", "Cancela", ...).
    void navegador(const char* botao) {
        QTest::mouseClick(registro().DBNavigator7->findChild<QWidget*>(QString::fromLatin1(botao)),
                          Qt::LeftButton);
    }
    void foca(const char* nome) {
        controle(nome)->setFocus(Qt::MouseFocusReason);
        QVERIFY(TemFoco(controle(nome)));
    }

    AmbienteDeTeste ambiente;
    std::unique_ptr<Programa> programa;

private:
    int especialidades_ = 0;
};

} // namespace olvendra::app::testing
