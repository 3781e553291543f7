#include "config/caminhos.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace olvendra {
namespace {

// Puts OLVENDRA_DIR back as it was when the test ends.
class RaizDaSuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* valor = std::getenv("OLVENDRA_DIR")) {
            anterior_ = valor;
        }
    }
    void TearDown() override {
        if (anterior_) {
            setenv("OLVENDRA_DIR", anterior_->c_str(), 1);
        } else {
            unsetenv("OLVENDRA_DIR");
        }
    }

private:
    std::optional<std::string> anterior_;
};

TEST_F(RaizDaSuiteTest, VariavelDeAmbienteOuPadrao) {
    setenv("OLVENDRA_DIR", "/srv/farmacia/olvendra", 1);
    EXPECT_EQ(RaizDaSuite(), std::filesystem::path("/srv/farmacia/olvendra"));
    setenv("OLVENDRA_DIR", "", 1);
    EXPECT_EQ(RaizDaSuite(), std::filesystem::path("/opt/olvendra"));
    unsetenv("OLVENDRA_DIR");
    EXPECT_EQ(RaizDaSuite(), std::filesystem::path("/opt/olvendra"));
}

TEST(DiretorioDoPrograma, EOndeEstaOExecutavelDosTestes) {
    EXPECT_TRUE(std::filesystem::equivalent(DiretorioDoPrograma(), DIRETORIO_DOS_TESTES));
}

} // namespace
} // namespace olvendra
