#include "app/grade_dados.h"

#include "app/aviso.h"
#include "config/erro_inesperado.h"
#include "data/errors.h"
#include "registry/texto_qt.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <exception>

namespace olvendra::app {

namespace {

bool Ativo(const data::RecordSet& conjunto) {
    return conjunto.active();
}

bool EmEdicao(const data::RecordSet& conjunto) {
    return conjunto.state() == data::RecordSetState::Editing ||
           conjunto.state() == data::RecordSetState::Inserting;
}

} // namespace

ModeloDoConjunto::ModeloDoConjunto(data::RecordSet& conjunto, QList<ColunaDaGrade> colunas,
                                   bool editavel, QObject* pai)
    : QAbstractTableModel(pai), conjunto_(conjunto), colunas_(std::move(colunas)),
      editavel_(editavel) {
    ouvinte_ = conjunto_.addListener([this](data::RecordSetEvent evento) { mudou(evento); });
    ouvinteDasLinhas_ = conjunto_.addRowsListener(
        [this](const data::RowsChange& mudanca, bool feita) { acompanha(mudanca, feita); });
}

ModeloDoConjunto::~ModeloDoConjunto() {
    conjunto_.removeRowsListener(ouvinteDasLinhas_);
    conjunto_.removeListener(ouvinte_);
}

void ModeloDoConjunto::acompanha(const data::RowsChange& mudanca, bool feita) {
    const int primeira = static_cast<int>(mudanca.first);
    const int ultima = primeira + static_cast<int>(mudanca.count) - 1;
    switch (mudanca.kind) {
    case data::RowsChange::Kind::Inserted:
        if (feita) {
            endInsertRows();
        } else {
            beginInsertRows({}, primeira, ultima);
        }
        break;
    case data::RowsChange::Kind::Removed:
        if (feita) {
            endRemoveRows();
        } else {
            beginRemoveRows({}, primeira, ultima);
        }
        break;
    case data::RowsChange::Kind::Moved:
        if (feita) {
            endMoveRows();
        } else {
            // The model names the row before which the moving one goes, counted before the move.
            const int destino = static_cast<int>(mudanca.to) + (mudanca.to > mudanca.first ? 1 : 0);
            beginMoveRows({}, primeira, primeira, {}, destino);
        }
        break;
    case data::RowsChange::Kind::Changed:
        if (feita) {
            emit dataChanged(index(primeira, 0), index(ultima, columnCount() - 1));
        }
        break;
    case data::RowsChange::Kind::Reset:
        if (feita) {
            endResetModel();
        } else {
            beginResetModel();
        }
        break;
    }
}

void ModeloDoConjunto::mudou(data::RecordSetEvent evento) {
    switch (evento) {
    case data::RecordSetEvent::Opened:
    case data::RecordSetEvent::Closed:
    case data::RecordSetEvent::RowsChanged:
        break;
    case data::RecordSetEvent::FieldChanged:
    case data::RecordSetEvent::StateChanged:
        if (Ativo(conjunto_) && !conjunto_.isEmpty()) {
            const int linha = static_cast<int>(conjunto_.position());
            emit dataChanged(index(linha, 0), index(linha, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, linha, linha);
        }
        break;
    case data::RecordSetEvent::Scrolled:
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
        break;
    }
    if (aoMoverCursor) {
        aoMoverCursor();
    }
}

int ModeloDoConjunto::colunaDoConjunto(int coluna) const {
    return conjunto_.columnIndex(colunas_.at(coluna).coluna);
}

int ModeloDoConjunto::rowCount(const QModelIndex& pai) const {
    return pai.isValid() || !Ativo(conjunto_) ? 0 : static_cast<int>(conjunto_.rowCount());
}

int ModeloDoConjunto::columnCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : static_cast<int>(colunas_.size());
}

QVariant ModeloDoConjunto::data(const QModelIndex& indice, int papel) const {
    if ((papel != Qt::DisplayRole && papel != Qt::EditRole) || !indice.isValid() ||
        indice.row() >= rowCount()) {
        return {};
    }
    const int coluna = colunaDoConjunto(indice.column());
    if (coluna < 0) {
        return {};
    }
    return ParaQt(conjunto_.textAt(static_cast<std::size_t>(indice.row()), coluna));
}

QVariant ModeloDoConjunto::headerData(int secao, Qt::Orientation orientacao, int papel) const {
    if (papel != Qt::DisplayRole) {
        return {};
    }
    if (orientacao == Qt::Horizontal) {
        return QString::fromUtf8(colunas_.at(secao).tituloUtf8);
    }
    // The record indicator: the current row, marked by its state.
    if (!Ativo(conjunto_) || static_cast<std::size_t>(secao) != conjunto_.position()) {
        return QString();
    }
    switch (conjunto_.state()) {
    case data::RecordSetState::Inserting:
        return QStringLiteral("*");
    case data::RecordSetState::Editing:
        return QStringLiteral("I");
    default:
        return QStringLiteral("\u25B6");
    }
}

Qt::ItemFlags ModeloDoConjunto::flags(const QModelIndex& indice) const {
    Qt::ItemFlags marcas = QAbstractTableModel::flags(indice);
    return editavel_ && indice.isValid() ? marcas | Qt::ItemIsEditable : marcas;
}

bool ModeloDoConjunto::setData(const QModelIndex& indice, const QVariant& valor, int papel) {
    if (papel != Qt::EditRole || !Ativo(conjunto_) ||
        static_cast<std::size_t>(indice.row()) != conjunto_.position()) {
        return false;
    }
    const std::string texto = DeQt(valor.toString());
    const int coluna = colunaDoConjunto(indice.column());
    if (coluna < 0 || (!EmEdicao(conjunto_) && conjunto_.textAt(indice.row(), coluna) == texto)) {
        return false; // an editor closed without a change leaves the record browsed
    }
    try {
        conjunto_.setFieldText(colunas_.at(indice.column()).coluna, texto);
    } catch (const data::RecordSetError&) {
        return false;
    }
    return true;
}

DBGrid::DBGrid(QWidget* pai, data::RecordSet& conjunto, QList<ColunaDaGrade> colunas, bool editavel)
    : QTableView(pai), conjunto_(conjunto), editavel_(editavel) {
    modelo_ = new ModeloDoConjunto(conjunto, colunas, editavel, this);
    setModel(modelo_);
    modelo_->aoMoverCursor = [this] { mostraCursor(); };
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(editavel
                        ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::DoubleClicked
                        : QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setShowGrid(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int coluna = 0; coluna < colunas.size(); ++coluna) {
        int largura = colunas[coluna].largura;
        if (largura == 0) {
            largura = fontMetrics().horizontalAdvance(QString(10, QLatin1Char('0'))) + 8;
        }
        setColumnWidth(coluna, largura);
    }
    mostraCursor();
}

void DBGrid::mostraCursor() {
    if (sincronizando_ || !conjunto_.active() || conjunto_.isEmpty()) {
        return;
    }
    const int linha = static_cast<int>(conjunto_.position());
    if (currentIndex().row() == linha) {
        return;
    }
    sincronizando_ = true;
    setCurrentIndex(
        modelo_->index(linha, currentIndex().isValid() ? currentIndex().column() : coluna_));
    sincronizando_ = false;
}

void DBGrid::currentChanged(const QModelIndex& atual, const QModelIndex& anterior) {
    QTableView::currentChanged(atual, anterior);
    if (atual.isValid()) {
        coluna_ = atual.column();
    }
    if (sincronizando_ || !atual.isValid() || !conjunto_.active() ||
        static_cast<std::size_t>(atual.row()) == conjunto_.position()) {
        return;
    }
    sincronizando_ = true;
    // A move that the record rules refuse leaves the set where it was: so does the grid.
    executa([this, atual] { conjunto_.moveTo(static_cast<std::size_t>(atual.row())); });
    sincronizando_ = false;
    if (conjunto_.active() && !conjunto_.isEmpty() &&
        static_cast<std::size_t>(currentIndex().row()) != conjunto_.position()) {
        mostraCursor();
    }
}

void DBGrid::executa(const std::function<void()>& operacao) {
    try {
        operacao();
    } catch (...) {
        TrataErroInesperado(std::current_exception());
    }
}

void DBGrid::keyPressEvent(QKeyEvent* evento) {
    const bool editandoCelula = state() == QAbstractItemView::EditingState;
    const int tecla = evento->key();
    if (tecla == Qt::Key_Delete && evento->modifiers() == Qt::ControlModifier) {
        if (conjunto_.active() && !conjunto_.isEmpty() && ConfirmaExclusao(this)) {
            executa([this] { conjunto_.remove(); });
        }
        return;
    }
    if (!editandoCelula && (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) && aoEnter) {
        aoEnter();
        return;
    }
    if (!editandoCelula && tecla == Qt::Key_Escape) {
        if (aoEsc) {
            aoEsc();
        } else {
            evento->ignore();
        }
        return;
    }
    if (editavel_ && conjunto_.active() && evento->modifiers() == Qt::NoModifier) {
        if (tecla == Qt::Key_Insert) {
            executa([this] { conjunto_.insert(); });
            return;
        }
        const bool naUltima =
            conjunto_.isEmpty() || conjunto_.position() + 1 == conjunto_.rowCount();
        if (tecla == Qt::Key_Down && naUltima && !editandoCelula) {
            executa([this] { conjunto_.append(); });
            return;
        }
    }
    QTableView::keyPressEvent(evento);
}

} // namespace olvendra::app
