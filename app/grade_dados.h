#pragma once

#include "data/record_set.h"

#include <QAbstractTableModel>
#include <QList>
#include <QTableView>

#include <functional>

namespace olvendra::app {

struct ColunaDaGrade {
    const char* coluna;
    const char* tituloUtf8;
    int largura; // 0: the width the column's values need
};

// The rows of a record set as a table model, one model column per listed record-set column. The
// current row of the set is the row being edited; writing a cell writes its column there. The
// model follows the set row by row (inserted, removed, moved, changed), so that a view keeps its
// current cell and scroll position across a store.
class ModeloDoConjunto : public QAbstractTableModel {
public:
    ModeloDoConjunto(data::RecordSet& conjunto, QList<ColunaDaGrade> colunas, bool editavel,
                     QObject* pai);
    ~ModeloDoConjunto() override;

    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int papel) override;

    // Tells the view that the current row moved to `linha`.
    std::function<void()> aoMoverCursor;

private:
    void mudou(data::RecordSetEvent evento);
    void acompanha(const data::RowsChange& mudanca, bool feita);
    int colunaDoConjunto(int coluna) const;

    data::RecordSet& conjunto_;
    QList<ColunaDaGrade> colunas_;
    bool editavel_;
    int ouvinte_ = -1;
    int ouvinteDasLinhas_ = -1;
};

// A grid on a record set: the selected row is the set's current record. Ctrl+Delete deletes it
// after the question; an editable grid also edits cells in place, adds a record with Insert and
// by moving down past the last row. Enter and Esc go to `aoEnter` / `aoEsc` when given; Esc
// otherwise reaches the window (its cancel button).
class DBGrid : public QTableView {
public:
    DBGrid(QWidget* pai, data::RecordSet& conjunto, QList<ColunaDaGrade> colunas, bool editavel);

    std::function<void()> aoEnter;
    std::function<void()> aoEsc;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void currentChanged(const QModelIndex& atual, const QModelIndex& anterior) override;

private:
    // Selects the set's current row.
    void mostraCursor();
    // Runs a record-set operation; what it throws goes to the unexpected-error handler.
    void executa(const std::function<void()>& operacao);

    data::RecordSet& conjunto_;
    ModeloDoConjunto* modelo_;
    bool editavel_;
    bool sincronizando_ = false;
    // The column the user was in: reopening the set resets the view's current cell.
    int coluna_ = 0;
};

} // namespace olvendra::app
