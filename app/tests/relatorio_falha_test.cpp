// The registry program's real window with FaultTrap linked, failing for real: the suite's database
// is gone when the window first activates, so opening the professionals' records fails and the
// failure reaches FaultTrap. Each case runs in a child process of this program (the program ends
// or restarts there), which presses the dialogs' buttons as a user would and writes down what it
// saw; the test reads that, the log file, the exit code and what a loopback SMTP server received.
//
//   relatorio_falha_tests --cenario <continua|termina|reinicia|envia|envia-e-termina|envia-e-sai>
//                         <folder> [smtp port]

#include "ambiente_de_teste.h"

#include "app/programa.h"
#include "config/caminhos.h"
#include "config/erro_inesperado.h"
#include "crashreport/dialogs/detailed_dialog.h"
#include "crashreport/dialogs/dialog_helper.h"
#include "crashreport/email/tests/child_process.h"
#include "crashreport/email/tests/recording_smtp_server.h"
#include "crashreport/intercept/activation.h"
#include "crashreport/intercept/dispatcher.h"
#include "crashreport/packaging/base64.h"
#include "crashreport/qt/fault_application.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kSteps = "Abri o cadastro de medicos";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---------------------------------------------------------------------------------------------
// The child: the program with its window, and a user who answers FaultTrap's windows.

class Usuario : public QObject {
public:
    Usuario(std::string cenario, fs::path pasta, QWidget& janela)
        : cenario_(std::move(cenario)), notas_(pasta / "notas.txt", std::ios::app),
          janela_(janela) {
        QObject::connect(&relogio_, &QTimer::timeout, [this] { olha(); });
        relogio_.start(20);
        // The send window's status changes between two of its paints: each one is read as it is
        // painted.
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() == QEvent::Paint && objeto->objectName() == "status") {
            if (auto* estado = qobject_cast<QLabel*>(objeto);
                estado && estados_.insert(estado->text().toStdString()).second) {
                anota("estado: " + estado->text().toStdString());
            }
        }
        return false;
    }

public:
    // FaultTrap let the program go on after the failure.
    void continua() {
        anota(std::string("continua, janela ") + (janela_.isVisible() ? "visivel" : "oculta"));
        // A delivery in the background ends the program itself once it has sent; with
        // "envia-e-sai" the user closes the program while it sends.
        if (cenario_ == "envia-e-sai") {
            QTimer::singleShot(0, qApp, &QApplication::quit);
        } else if (cenario_ != "envia-e-termina") {
            QTimer::singleShot(200, qApp, &QApplication::quit);
        }
    }

private:
    void anota(const std::string& nota) { notas_ << nota << std::endl; }

    QWidget* visivel(const char* nome) {
        for (QWidget* janela : QApplication::topLevelWidgets()) {
            if (janela->isVisible() && janela->objectName() == nome) {
                return janela;
            }
        }
        return nullptr;
    }

    bool primeiraVez(const std::string& nome) { return vistos_.insert(nome).second; }

    void olha() {
        if (auto* dialogo = dynamic_cast<faulttrap::DetailedDialog*>(visivel("FT_DIALOG"))) {
            respondeDialogo(*dialogo);
        }
        if (QWidget* pedido = visivel("FT_REQUEST"); pedido && primeiraVez("FT_REQUEST")) {
            anota("pedido de passos");
            pedido->findChild<QPlainTextEdit*>()->setPlainText(kSteps);
            for (QPushButton* botao : pedido->findChildren<QPushButton*>()) {
                QTimer::singleShot(0, botao, &QPushButton::click);
            }
        }
        if (QWidget* envio = visivel("FT_SERVER"); envio && primeiraVez("FT_SERVER")) {
            anota("janela de envio: " + envio->windowTitle().toStdString());
        }
        if (auto* erro = qobject_cast<QMessageBox*>(visivel("sendErrorBox"));
            erro && primeiraVez("sendErrorBox")) {
            anota("erro de envio: " + erro->windowTitle().toStdString() + " | " +
                  erro->text().toStdString());
            QTimer::singleShot(0, erro, &QMessageBox::accept);
        }
        if (auto* aviso = qobject_cast<QMessageBox*>(visivel("deliveryMessage"));
            aviso && primeiraVez("deliveryMessage")) {
            anota("resultado: " + aviso->windowTitle().toStdString() + " | " +
                  aviso->text().toStdString() + " | " +
                  (aviso->icon() == QMessageBox::Information ? "informacao" : "erro"));
            QTimer::singleShot(0, aviso, &QMessageBox::accept);
        }
    }

    void respondeDialogo(faulttrap::DetailedDialog& dialogo) {
        if (!primeiraVez("FT_DIALOG")) {
            return;
        }
        anota("dialogo detalhado: " + dialogo.windowTitle().toStdString());
        anota(std::string("janela do programa ") + (janela_.isVisible() ? "visivel" : "oculta"));
        anota(std::string("modal: ") +
              (QApplication::activeModalWidget() == &dialogo ? "sim" : "nao"));
        anota(std::string("envio marcado: ") +
              (dialogo.SendBox()->isVisible() && dialogo.SendBox()->isChecked() ? "sim" : "nao"));
        QPushButton* botao =
            cenario_ == "continua" || cenario_ == "envia" || cenario_ == "envia-e-sai"
                ? dialogo.OkButton()
                : dialogo.TerminateButton();
        anota("aperta: " + botao->text().toStdString());
        QTimer::singleShot(0, botao, &QPushButton::click);
    }

    std::string cenario_;
    std::ofstream notas_;
    QWidget& janela_;
    QTimer relogio_;
    std::set<std::string> vistos_;
    std::set<std::string> estados_;
};

void ConfiguraFaultTrap(const std::string& cenario, const fs::path& pasta, int portaSmtp) {
    auto& opcoes = faulttrap::MainModuleOptions();
    opcoes.SetExceptionDialogType(faulttrap::TFaultDialogType::Detailed);
    opcoes.SetLogFolder((pasta / "relatorios.ftlog").string());
    opcoes.SetErrorsBeforeTerminate(0);
    opcoes.SetTerminateAction(cenario == "reinicia" ? faulttrap::TFaultAction::Restart
                                                    : faulttrap::TFaultAction::Terminate);
    if (!cenario.starts_with("envia")) {
        return;
    }
    opcoes.SetEMailSendMode(faulttrap::TFaultEMailSendMode::SMTPClient);
    opcoes.SetSMTPHost("127.0.0.1");
    opcoes.SetSMTPPort(static_cast<std::uint16_t>(portaSmtp));
    opcoes.SetSMTPFrom("farmacia@example.com");
    opcoes.SetEMailAddresses("suporte@example.org");
    opcoes.SetEMailSubject("Erro no cadastro");
    const bool emSegundoPlano = cenario == "envia-e-termina" || cenario == "envia-e-sai";
    // Nobody answers the result message of a program that the user has closed.
    const bool resultado = cenario != "envia-e-sai";
    opcoes.SetSendOptions(faulttrap::send_options::ShowSendProgress |
                          faulttrap::send_options::SendScreenshot |
                          (resultado ? faulttrap::send_options::ShowSendResult : 0) |
                          (emSegundoPlano ? faulttrap::send_options::SendInThread : 0));
    opcoes.SetReportOptions(opcoes.ReportOptions() | faulttrap::report_options::AskReproduceSteps);
}

int Cenario(int argc, char** argv) {
    const std::string cenario = argv[2];
    const fs::path pasta = argv[3];
    const int portaSmtp = argc > 4 ? std::atoi(argv[4]) : 0;
    // A restart runs this program again with the same arguments.
    if (fs::exists(pasta / "iniciado")) {
        std::ofstream(pasta / "notas.txt", std::ios::app) << "reiniciado" << std::endl;
        return 0;
    }
    std::ofstream(pasta / "iniciado") << "1";
    qputenv("XDG_CONFIG_HOME", (pasta / "config").string().c_str());
    ConfiguraFaultTrap(cenario, pasta, portaSmtp);

    olvendra::app::testing::AmbienteDeTeste ambiente;
    // The suite's database is gone: the first activation cannot open the records.
    fs::remove(ambiente.raiz() / "dados" / "olvendra.bd");

    faulttrap::TFaultApplication aplicacao(argc, argv);
    olvendra::app::Programa programa;
    if (!programa.inicia(ambiente.programa(), ambiente.raiz())) {
        return 3;
    }
    Usuario usuario(cenario, pasta, programa.janela());
    olvendra::DefineTratadorDeErroInesperado([&usuario](std::exception_ptr erro) {
        faulttrap::ExceptionManager(erro, 0, 1);
        usuario.continua();
    });
    programa.janela().show();
    programa.janela().activateWindow();
    return QApplication::exec();
}

// ---------------------------------------------------------------------------------------------
// The test: runs a case in a child and reads what it left.

struct Execucao {
    int saida = -1; // exit code; -1 when it did not exit normally
    bool esgotado = false;
    std::string notas;
    std::string erros;
};

Execucao Executa(const std::string& cenario, const fs::path& pasta, int portaSmtp = 0) {
    const std::string programa = fs::read_symlink("/proc/self/exe").string();
    std::vector<std::string> argumentos{programa, "--cenario", cenario, pasta.string()};
    if (portaSmtp != 0) {
        argumentos.push_back(std::to_string(portaSmtp));
    }
    const pid_t filho = fork();
    if (filho == 0) {
        const int saida = open((pasta / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(saida, 2);
        dup2(saida, 1);
        std::vector<char*> argv;
        for (std::string& argumento : argumentos) {
            argv.push_back(argumento.data());
        }
        argv.push_back(nullptr);
        execv(programa.c_str(), argv.data());
        _exit(127);
    }
    Execucao execucao;
    int estado = 0;
    const auto limite = std::chrono::steady_clock::now() + 120s;
    while (waitpid(filho, &estado, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > limite) {
            kill(filho, SIGKILL);
            waitpid(filho, &estado, 0);
            execucao.esgotado = true;
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    if (!execucao.esgotado && WIFEXITED(estado)) {
        execucao.saida = WEXITSTATUS(estado);
    }
    execucao.notas = ReadFile(pasta / "notas.txt");
    execucao.erros = ReadFile(pasta / "stderr.txt");
    return execucao;
}

class RelatorioDeFalha : public ::testing::Test {
protected:
    RelatorioDeFalha() {
        char modelo[] = "/tmp/olvendra-falha-XXXXXX";
        pasta_ = mkdtemp(modelo);
    }
    ~RelatorioDeFalha() override {
        std::error_code ignorado;
        fs::remove_all(pasta_, ignorado);
    }
    std::string Log() const { return ReadFile(pasta_ / "relatorios.ftlog"); }

    fs::path pasta_;
};

bool Contem(const std::string& texto, const std::string& parte) {
    return texto.find(parte) != std::string::npos;
}

TEST_F(RelatorioDeFalha, DialogoDetalhadoSobreAJanelaEOProgramaContinua) {
    const Execucao execucao = Executa("continua", pasta_);
    ASSERT_FALSE(execucao.esgotado) << execucao.notas << execucao.erros;
    EXPECT_EQ(execucao.saida, 0) << execucao.erros;
    EXPECT_TRUE(Contem(execucao.notas, "dialogo detalhado: Error occurred")) << execucao.notas;
    EXPECT_TRUE(Contem(execucao.notas, "janela do programa visivel")) << execucao.notas;
    EXPECT_TRUE(Contem(execucao.notas, "modal: sim")) << execucao.notas;
    EXPECT_TRUE(Contem(execucao.notas, "aperta: &OK")) << execucao.notas;
    EXPECT_TRUE(Contem(execucao.notas, "continua, janela visivel")) << execucao.notas;
    // No send method: the dialog offers no sending, and no steps are asked for.
    EXPECT_TRUE(Contem(execucao.notas, "envio marcado: nao")) << execucao.notas;
    EXPECT_FALSE(Contem(execucao.notas, "pedido de passos")) << execucao.notas;
    EXPECT_TRUE(Contem(Log(), "olvendra.bd")) << Log();
}

TEST_F(RelatorioDeFalha, TerminarEncerraOProgramaComCodigo1) {
    const Execucao execucao = Executa("termina", pasta_);
    ASSERT_FALSE(execucao.esgotado) << execucao.notas << execucao.erros;
    EXPECT_EQ(execucao.saida, 1) << execucao.erros;
    EXPECT_TRUE(Contem(execucao.notas, "aperta: &Terminate")) << execucao.notas;
    EXPECT_FALSE(Contem(execucao.notas, "continua")) << execucao.notas;
    EXPECT_FALSE(Contem(execucao.notas, "reiniciado")) << execucao.notas;
    // The report was logged before the program ended.
    EXPECT_TRUE(Contem(Log(), "olvendra.bd")) << Log();
}

TEST_F(RelatorioDeFalha, ReiniciarEncerraEIniciaOProgramaDeNovo) {
    const Execucao execucao = Executa("reinicia", pasta_);
    ASSERT_FALSE(execucao.esgotado) << execucao.notas << execucao.erros;
    EXPECT_EQ(execucao.saida, 1) << execucao.erros;
    EXPECT_TRUE(Contem(execucao.notas, "aperta: &Restart")) << execucao.notas;
    EXPECT_FALSE(Contem(execucao.notas, "continua")) << execucao.notas;
    // The new process of the program starts and ends by itself.
    std::string notas;
    for (int tentativa = 0; tentativa < 1500 && !Contem(notas, "reiniciado"); ++tentativa) {
        std::this_thread::sleep_for(20ms);
        notas = ReadFile(pasta_ / "notas.txt");
    }
    EXPECT_TRUE(Contem(notas, "reiniciado")) << notas;
}

// The attachment "filename=" of the message, decoded.
std::string Anexo(const std::string& mensagem, const std::string& nome) {
    const std::size_t cabecalho = mensagem.find("filename=\"" + nome + "\"");
    if (cabecalho == std::string::npos) {
        return {};
    }
    const std::size_t inicio = mensagem.find("\r\n\r\n", cabecalho) + 4;
    const std::size_t fim = mensagem.find("\r\n--", inicio);
    std::string base64;
    for (std::size_t i = inicio; i < fim; ++i) {
        if (mensagem[i] != '\r' && mensagem[i] != '\n') {
            base64 += mensagem[i];
        }
    }
    return faulttrap::FromBase64(base64);
}

TEST_F(RelatorioDeFalha, FalhaCompletaEnviaOArquivoPorSmtpComProgressoEResultado) {
    faulttrap::testing::RecordingSmtpServer servidor;
    const Execucao execucao = Executa("envia", pasta_, servidor.Port());
    ASSERT_FALSE(execucao.esgotado) << execucao.notas << execucao.erros;
    EXPECT_EQ(execucao.saida, 0) << execucao.erros;
    const std::string& notas = execucao.notas;
    EXPECT_TRUE(Contem(notas, "envio marcado: sim")) << notas;
    EXPECT_TRUE(Contem(notas, "pedido de passos")) << notas;
    EXPECT_TRUE(Contem(notas, "janela de envio: Send.")) << notas;
    EXPECT_TRUE(Contem(notas, "estado: Message 1/1: Connecting with server...")) << notas;
    EXPECT_TRUE(Contem(notas, "resultado: Information. | The message was sent successfully. | "
                              "informacao"))
        << notas;
    EXPECT_TRUE(Contem(notas, "continua, janela visivel")) << notas;

    const std::vector<std::string> conversas = servidor.Conversations(1);
    ASSERT_EQ(conversas.size(), 1u);
    const std::string& conversa = conversas[0];
    EXPECT_TRUE(Contem(conversa, "MAIL FROM:<farmacia@example.com>\r\n")) << conversa;
    EXPECT_TRUE(Contem(conversa, "RCPT TO:<suporte@example.org>\r\n")) << conversa;
    EXPECT_TRUE(Contem(conversa, "Subject: Erro no cadastro\r\n")) << conversa;
    // The archive travels as the attachment; it holds the report (with the steps the user typed)
    // and the screenshot.
    const std::size_t nomeInicio = conversa.find("filename=\"");
    ASSERT_NE(nomeInicio, std::string::npos) << conversa;
    const std::string nome =
        conversa.substr(nomeInicio + 10, conversa.find('"', nomeInicio + 10) - nomeInicio - 10);
    EXPECT_TRUE(nome.ends_with(".zip")) << nome;
    const std::string arquivo = Anexo(conversa, nome);
    ASSERT_FALSE(arquivo.empty());
    const fs::path zip = pasta_ / "recebido.zip";
    std::ofstream(zip, std::ios::binary) << arquivo;
    const std::string teste = "unzip -t " + zip.string() + " > " + (pasta_ / "unzip.txt").string();
    EXPECT_EQ(std::system(teste.c_str()), 0) << ReadFile(pasta_ / "unzip.txt");
    const std::string conteudo = ReadFile(pasta_ / "unzip.txt");
    EXPECT_TRUE(Contem(conteudo, ".png")) << conteudo;
    const fs::path extraido = pasta_ / "extraido";
    const std::string extrai =
        "unzip -q -o " + zip.string() + " -d " + extraido.string() + " > /dev/null";
    ASSERT_EQ(std::system(extrai.c_str()), 0);
    std::string relatorio;
    for (const auto& entrada : fs::directory_iterator(extraido)) {
        if (entrada.path().extension() != ".png") {
            relatorio = ReadFile(entrada.path());
        }
    }
    EXPECT_TRUE(Contem(relatorio, "olvendra.bd")) << relatorio;
    EXPECT_TRUE(Contem(relatorio, kSteps)) << relatorio;
    EXPECT_TRUE(Contem(Log(), kSteps)) << Log();
}

TEST_F(RelatorioDeFalha, EnvioSemServidorMostraOErroEOResultadoEOProgramaContinua) {
    const unsigned short portaFechada = faulttrap::testing::FreeLoopbackPort(SOCK_STREAM);
    const Execucao execucao = Executa("envia", pasta_, portaFechada);
    ASSERT_FALSE(execucao.esgotado) << execucao.notas << execucao.erros;
    EXPECT_EQ(execucao.saida, 0) << execucao.erros;
    const std::string& notas = execucao.notas;
    EXPECT_TRUE(Contem(notas, "erro de envio: Error. | [SMTP] Connection error:")) << notas;
    EXPECT_TRUE(Contem(notas, "resultado: Information. | Sorry, sending the message didn't work. "
                              "| erro"))
        << notas;
    EXPECT_TRUE(Contem(notas, "continua, janela visivel")) << notas;
    EXPECT_TRUE(Contem(execucao.erros, "[WARNING] - Code: eeEmailSMTPError")) << execucao.erros;
}

TEST_F(RelatorioDeFalha, EnvioEmSegundoPlanoDeixaOProgramaSeguirETerminaDepoisDeEnviar) {
    faulttrap::testing::RecordingSmtpServer servidor;
    const Execucao execucao = Executa("envia-e-termina", pasta_, servidor.Port());
    ASSERT_FALSE(execucao.esgotado) << execucao.notas << execucao.erros;
    const std::string& notas = execucao.notas;
    // The program went on while the send thread delivered; the chosen termination waited for the
    // delivery and its result.
    EXPECT_TRUE(Contem(notas, "aperta: &Terminate")) << notas;
    EXPECT_TRUE(Contem(notas, "continua, janela visivel")) << notas;
    EXPECT_TRUE(Contem(notas, "resultado: Information. | The message was sent successfully."))
        << notas;
    EXPECT_EQ(execucao.saida, 1) << execucao.erros;
    const std::vector<std::string> conversas = servidor.Conversations(1);
    ASSERT_EQ(conversas.size(), 1u);
    EXPECT_TRUE(Contem(conversas[0], "RCPT TO:<suporte@example.org>\r\n")) << conversas[0];
}

TEST_F(RelatorioDeFalha, ProgramaFechadoDuranteOEnvioEsperaOEnvioTerminar) {
    faulttrap::testing::RecordingSmtpServer servidor;
    const Execucao execucao = Executa("envia-e-sai", pasta_, servidor.Port());
    ASSERT_FALSE(execucao.esgotado) << execucao.notas << execucao.erros;
    EXPECT_EQ(execucao.saida, 0) << execucao.erros;
    EXPECT_TRUE(Contem(execucao.notas, "continua, janela visivel")) << execucao.notas;
    const std::vector<std::string> conversas = servidor.Conversations(1);
    ASSERT_EQ(conversas.size(), 1u);
    EXPECT_TRUE(Contem(conversas[0], "filename=\"")) << conversas[0];
}

} // namespace

int main(int argc, char** argv) {
    if (const int helper = faulttrap::RunDialogHelperIfRequested(argc, argv); helper >= 0) {
        return helper;
    }
    if (argc >= 4 && std::string(argv[1]) == "--cenario") {
        return Cenario(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
