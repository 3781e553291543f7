#include "crashreport/dialogs/grouped_list.h"

#include "crashreport/dialogs/dialog_fonts.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <cmath>

namespace faulttrap {
namespace {

constexpr int kRowRole = Qt::UserRole + 1;
constexpr const char* kOwnerProperty = "faulttrapRows";

const QColor kSelected(0xCC, 0xDA, 0xF1);
const QColor kFocused(0x31, 0x6A, 0xC5);
const QColor kUnfocused(0x98, 0xB5, 0xE2);
const QColor kUnderline(0x7B, 0xA4, 0xE0);
const QColor kSeparator(0xCE, 0xCA, 0xC2);

QColor HeaderColour(int code) {
    switch (code) {
    case 1:
        return QColor(0x00, 0x00, 0x80);
    case 3:
        return QColor(0x80, 0x00, 0x00);
    default:
        return QColor(0x60, 0x60, 0x60);
    }
}

} // namespace

class TListViewItems::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TListViewItems& owner) : QStyledItemDelegate(owner.list_), owner_(owner) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(18, option.fontMetrics.height() + 4));
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int number = index.siblingAtColumn(0).data(kRowRole).toInt();
        if (number < 0 || number >= owner_.Count()) {
            return;
        }
        const TListViewItemRec& row = owner_.Row(number);
        const bool selected = option.state & QStyle::State_Selected;
        const QRect cell = option.rect;
        painter->save();
        painter->fillRect(cell, selected ? kSelected : Qt::white);
        if (row.group) {
            PaintGroup(painter, cell, row);
        } else if (!row.empty) {
            PaintEntry(painter, option, index, row);
        }
        if (selected && (option.state & QStyle::State_HasFocus || index.column() == 0)) {
            painter->setPen(owner_.list_->hasFocus() ? kFocused : kUnfocused);
            painter->drawLine(cell.topLeft(), cell.topRight());
            painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        }
        painter->restore();
    }

private:
    void PaintGroup(QPainter* painter, const QRect& cell, const TListViewItemRec& row) const {
        const int step = row.parent < 0 ? 0 : owner_.indentStep_;
        painter->fillRect(QRect(cell.left(), cell.bottom() - 1, cell.width(), 2), kUnderline);
        painter->drawPixmap(cell.left() + step + 1, cell.top() + (cell.height() - 13) / 2,
                            GroupSign(row.expanded));
        QFont bold = ListFont();
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(HeaderColour(row.colourCode));
        const int textLeft =
            cell.left() + step + 15 + (row.colourCode == 0 ? owner_.indentStep_ : 0);
        const QRect text(textLeft, cell.top(), cell.right() - textLeft, cell.height());
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          QFontMetrics(bold).elidedText(row.header, Qt::ElideRight, text.width()));
    }

    void PaintEntry(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                    const TListViewItemRec& row) const {
        const QRect cell = option.rect;
        const int column = index.column();
        painter->setFont(ListFont());
        painter->setPen(Qt::black);
        if (column == 0 && row.icon != RowIcon::None) {
            const int indent = row.indent ? owner_.indentStep_ : 0;
            painter->drawPixmap(cell.left() + indent + 2, cell.top() + (cell.height() - 16) / 2,
                                RowPicture(row.icon));
        }
        const QString text =
            owner_.CellText(owner_.RowOf(owner_.list_->itemFromIndex(index)), column);
        const Qt::Alignment alignment =
            Qt::Alignment(owner_.list_->headerItem()->textAlignment(column)) &
            Qt::AlignHorizontal_Mask;
        const QRect area = owner_.TextArea(row, column, cell);
        painter->drawText(area, (alignment ? alignment : Qt::AlignLeft) | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, area.width()));
        painter->setPen(kSeparator);
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    }

    TListViewItems& owner_;
};

// Clicks on a sign and double clicks on a group row; from the keyboard Enter and Space toggle a
// group, Left and Right fold and unfold it as in any tree, and Enter on an entry row does what a
// double click does. Enter never leaves the list: the dialog's default button must not close the
// dialog while the user works in a list.
class TListViewItems::Filter : public QObject {
public:
    explicit Filter(TListViewItems& owner) : owner_(owner) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && watched == owner_.list_) {
            return Key(static_cast<QKeyEvent*>(event));
        }
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonDblClick) {
            return false;
        }
        auto* mouse = static_cast<QMouseEvent*>(event);
        QTreeWidgetItem* item = owner_.list_->itemAt(mouse->position().toPoint());
        const int row = owner_.RowOf(item);
        if (row < 0 || !owner_.Row(row).group) {
            return false;
        }
        const QRect rect = owner_.list_->visualItemRect(item);
        const QPoint inRow = mouse->position().toPoint() - rect.topLeft();
        const bool onlyOnSign = event->type() == QEvent::MouseButtonPress;
        owner_.list_->setCurrentItem(item);
        owner_.Toggle(row, inRow, onlyOnSign);
        return !onlyOnSign;
    }

private:
    bool Key(QKeyEvent* key) {
        // Ctrl+Plus fits every column to its title and cells, as in other item views.
        if ((key->key() == Qt::Key_Plus || key->key() == Qt::Key_Equal) &&
            (key->modifiers() & Qt::ControlModifier)) {
            owner_.FitColumns();
            return true;
        }
        if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
            return false;
        }
        QTreeWidget* list = owner_.list_;
        QTreeWidgetItem* item = list->currentItem();
        const int row = owner_.RowOf(item);
        const bool group = row >= 0 && owner_.Row(row).group;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (group) {
                owner_.Toggle(row, {}, false);
            } else if (item != nullptr) {
                emit list->itemActivated(item, list->currentColumn());
            }
            return true;
        case Qt::Key_Space:
            return group && owner_.Toggle(row, {}, false);
        case Qt::Key_Left:
            if (group && owner_.Row(row).expanded) {
                return owner_.Toggle(row, {}, false);
            }
            return Select(owner_.GroupOf(row));
        case Qt::Key_Right:
            if (group && !owner_.Row(row).expanded) {
                return owner_.Toggle(row, {}, false);
            }
            return group &&
                   Select(row + 1 < owner_.Count() && !owner_.Row(row + 1).empty ? row + 1 : -1);
        default:
            return false;
        }
    }

    bool Select(int row) {
        if (row < 0) {
            return false;
        }
        owner_.list_->setCurrentItem(owner_.Row(row).item);
        return true;
    }

    TListViewItems& owner_;
};

TListViewItems::TListViewItems(QTreeWidget* list) : list_(list), filter_(new Filter(*this)) {
    list_->setRootIsDecorated(false);
    list_->setIndentation(0);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setExpandsOnDoubleClick(false);
    list_->setFont(ListFont());
    list_->setItemDelegate(new Delegate(*this));
    list_->viewport()->installEventFilter(filter_.get());
    list_->installEventFilter(filter_.get());
    list_->setProperty(kOwnerProperty, QVariant::fromValue(static_cast<void*>(this)));
    const QFontMetrics metrics(ListFont());
    while (metrics.horizontalAdvance(indentText_) < 14) {
        indentText_ += u' ';
    }
    indentStep_ = metrics.horizontalAdvance(indentText_);
}

TListViewItems::~TListViewItems() {
    list_->viewport()->removeEventFilter(filter_.get());
    list_->removeEventFilter(filter_.get());
    list_->setProperty(kOwnerProperty, QVariant());
}

TListViewItems* TListViewItems::Of(const QTreeWidget* list) {
    return static_cast<TListViewItems*>(list->property(kOwnerProperty).value<void*>());
}

void TListViewItems::Add(const QStringList& texts, const QString& header, bool group,
                         int colourCode, RowIcon icon) {
    TListViewItemRec row;
    row.texts = texts;
    row.header = header;
    row.group = group;
    row.colourCode = colourCode;
    row.icon = icon;
    row.empty = !group && std::all_of(texts.begin(), texts.end(),
                                      [](const QString& t) { return t.trimmed().isEmpty(); });
    if (group) {
        ++level_;
    } else if (row.empty) {
        level_ = 0;
    } else if (level_ >= 2) {
        row.texts[0] = indentText_ + row.texts.value(0);
        row.indent = true;
    }
    row.parent = row.empty ? -1 : lastParent_;
    const int number = Count();
    lastParent_ = row.empty ? -1 : number;
    if (group) {
        // A group hangs from the group before it in the same block (a calling thread).
        int parent = row.parent;
        while (parent >= 0 && !rows_[static_cast<std::size_t>(parent)].group) {
            parent = rows_[static_cast<std::size_t>(parent)].parent;
        }
        row.parent = parent;
    }
    row.item = new QTreeWidgetItem(list_, group ? QStringList{header} : row.texts);
    row.item->setData(0, kRowRole, number);
    if (group) {
        row.item->setFirstColumnSpanned(true);
    }
    rows_.push_back(std::move(row));
}

QString TListViewItems::CellText(int row, int column) const {
    if (row < 0 || row >= Count()) {
        return {};
    }
    const TListViewItemRec& rec = rows_[static_cast<std::size_t>(row)];
    QString text = rec.texts.value(column);
    if (column == 0 && rec.indent) {
        text = text.mid(indentText_.size()); // drawn as a gap, not as blanks
    }
    return text;
}

QRect TListViewItems::TextArea(const TListViewItemRec& row, int column, const QRect& cell) const {
    // After the icon (and a calling thread's indent) in the first column.
    const int left =
        column == 0 ? cell.left() + 20 + (row.indent ? indentStep_ : 0) : cell.left() + 6;
    return QRect(left, cell.top(), cell.right() - left - 4, cell.height());
}

int TListViewItems::ContentWidth(int column) const {
    // Measured in fractions of a pixel, as the eliding of the painted text does.
    const QFontMetricsF metrics(list_->font());
    int widest = 0;
    for (int i = 0; i < Count(); ++i) {
        const TListViewItemRec& row = rows_[static_cast<std::size_t>(i)];
        if (row.group || row.empty) {
            continue;
        }
        const QRect cell(0, 0, 1000, 20);
        const int margins = cell.width() - TextArea(row, column, cell).width();
        const int text =
            static_cast<int>(std::ceil(metrics.horizontalAdvance(CellText(i, column))));
        widest = std::max(widest, text + 1 + margins);
    }
    return widest;
}

int TListViewItems::TitleWidth(int column) const {
    return list_->header()->sectionSizeHint(column);
}

void TListViewItems::FitColumns() {
    for (int column = 0; column < list_->columnCount(); ++column) {
        list_->setColumnWidth(column, std::max(TitleWidth(column), ContentWidth(column)));
    }
}

int TListViewItems::GroupOf(int row) const {
    if (row < 0 || row >= Count()) {
        return -1;
    }
    const TListViewItemRec& own = rows_[static_cast<std::size_t>(row)];
    for (int parent = own.parent; parent >= 0;
         parent = rows_[static_cast<std::size_t>(parent)].parent) {
        if (rows_[static_cast<std::size_t>(parent)].group) {
            return parent;
        }
    }
    return -1;
}

int TListViewItems::RowOf(const QTreeWidgetItem* item) const {
    if (item == nullptr) {
        return -1;
    }
    return item->data(0, kRowRole).toInt();
}

bool TListViewItems::Toggle(int row, QPoint point, bool onlyOnSign) {
    if (row < 0 || row >= Count() || !rows_[static_cast<std::size_t>(row)].group) {
        return false;
    }
    TListViewItemRec& group = rows_[static_cast<std::size_t>(row)];
    if (onlyOnSign) {
        const int step = group.parent < 0 ? 0 : indentStep_;
        const int height = list_->visualItemRect(group.item).height();
        const int top = (height - 13) / 2;
        if (point.x() < step + 1 || point.x() > step + 13 || point.y() < top ||
            point.y() > top + 12) {
            return false;
        }
    }
    group.expanded = !group.expanded;
    list_->setUpdatesEnabled(false);
    for (int i = row + 1; i < Count(); ++i) {
        TListViewItemRec& next = rows_[static_cast<std::size_t>(i)];
        if (next.empty) {
            break;
        }
        next.visible = group.expanded;
        next.item->setHidden(!group.expanded);
        if (group.expanded && next.group && !next.expanded) {
            break; // its rows stay folded
        }
    }
    list_->setUpdatesEnabled(true);
    list_->viewport()->update();
    return true;
}

void TListViewItems::Clear() {
    list_->clear();
    rows_.clear();
    level_ = 0;
    lastParent_ = -1;
}

} // namespace faulttrap
