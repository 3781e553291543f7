#pragma once

// The grouped list of the call-stack, modules and processes pages: a report-style list whose
// group rows (one per thread or leak block) collapse and expand the rows below them, with
// indentation, row icons and colours of its own.

#include "crashreport/dialogs/dialog_art.h"

#include <QPoint>
#include <QRect>
#include <QStringList>

#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace faulttrap {

struct TListViewItemRec {
    QStringList texts;
    RowIcon icon = RowIcon::None;
    bool indent = false;
    int colourCode = 0;
    bool group = false;
    bool expanded = true;
    bool empty = false; // a separator row, all texts blank
    bool visible = true;
    QString header;
    int parent = -1; // the row this one hangs from, -1 for none
    QTreeWidgetItem* item = nullptr;
};

class TListViewItems {
public:
    // Draws the rows of `list` (which it also sets up: full-row selection, no tree decoration).
    explicit TListViewItems(QTreeWidget* list);
    ~TListViewItems();
    // The rows that draw `list`, nullptr when none do.
    static TListViewItems* Of(const QTreeWidget* list);
    TListViewItems(const TListViewItems&) = delete;
    TListViewItems& operator=(const TListViewItems&) = delete;

    void Add(const QStringList& texts, const QString& header, bool group, int colourCode,
             RowIcon icon);
    // Flips a group row; with `onlyOnSign` only when `point` (in the row's own coordinates)
    // falls on its sign. True when it toggled.
    bool Toggle(int row, QPoint point, bool onlyOnSign);
    void Clear();

    int Count() const { return static_cast<int>(rows_.size()); }
    const TListViewItemRec& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int RowOf(const QTreeWidgetItem* item) const;
    // The group row `row` hangs from, -1 for none.
    int GroupOf(int row) const;
    // A cell's text as drawn, and where it is drawn within `cell`.
    QString CellText(int row, int column) const;
    QRect TextArea(const TListViewItemRec& row, int column, const QRect& cell) const;
    // The width a column needs to show the widest of its cells, and its title, unclipped.
    int ContentWidth(int column) const;
    int TitleWidth(int column) const;
    // Gives every column the width its title and cells need (Ctrl+Plus in the list).
    void FitColumns();
    // The pixel width of the smallest run of blanks at least 14 pixels wide.
    int IndentStep() const { return indentStep_; }
    const QString& IndentText() const { return indentText_; }

private:
    class Delegate;
    class Filter;

    QTreeWidget* list_;
    std::vector<TListViewItemRec> rows_;
    int level_ = 0;
    int lastParent_ = -1;
    QString indentText_;
    int indentStep_ = 14;
    std::unique_ptr<Filter> filter_;
};

} // namespace faulttrap
