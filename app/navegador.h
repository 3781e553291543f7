#pragma once

#include "data/record_set.h"

#include <QWidget>

namespace olvendra::app {

// The record navigator: ten buttons across its width acting on a record set, in this order:
// first, prior, next, last, insert, delete (after confirmation), edit, store, cancel, re-read.
class DBNavigator : public QWidget {
public:
    DBNavigator(QWidget* pai, data::RecordSet& conjunto);

private:
    void aciona(int botao);

    data::RecordSet& conjunto_;
};

} // namespace olvendra::app
