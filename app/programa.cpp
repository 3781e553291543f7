#include "app/programa.h"

namespace olvendra::app {

bool Programa::inicia(const std::filesystem::path& diretorioDoPrograma,
                      const std::filesystem::path& raizDaSuite) {
    if (!janela_.FormCreate(diretorioDoPrograma)) {
        return false;
    }
    dm_.emplace(janela_.configuracao().ServidorCentral, raizDaSuite);
    janela_.usaDM(*dm_);
    return true;
}

} // namespace olvendra::app
