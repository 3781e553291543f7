#pragma once

#include "data/record_set.h"

#include <QKeySequence>
#include <QList>
#include <QWidget>

#include <functional>

namespace olvendra::app {

// The record navigator: ten buttons across its width acting on a record set, in this order:
// first, prior, next, last, insert, delete (after confirmation), edit, store, cancel, re-read.
class DBNavigator : public QWidget {
public:
    DBNavigator(QWidget* pai, data::RecordSet& conjunto);

    // The keys of the ten buttons (shown in their tooltips): Ctrl+PgUp, Ctrl+Up, Ctrl+Down,
    // Ctrl+PgDown, Ctrl+N, Ctrl+Delete (after the same question as the button), Ctrl+E,
    // Ctrl+Enter, Ctrl+D and F5.
    static QList<QKeySequence> Atalhos();

    // Writes the changes stored in the set but not yet in the database. Run by the re-read button
    // before it re-reads (false: the set stays as it is), and by the store button when no row is
    // being edited.
    std::function<bool()> gravaPendentes;

private:
    void aciona(int botao);

    data::RecordSet& conjunto_;
};

} // namespace olvendra::app
