#pragma once

#include "column.h"
#include "connection.h"
#include "errors.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace olvendra::data {

enum class RecordSetState { Closed, Browsing, Editing, Inserting };

// What changed in a record set, for the controls bound to it.
enum class RecordSetEvent {
    Opened, // rows (re)loaded: after open and refresh
    Closed,
    Scrolled,     // the current row changed
    StateChanged, // browsing / editing / inserting
    FieldChanged, // a value of the current row was written
    RowsChanged,  // a row was added or removed locally
};

// How the rows changed, for the views that show every row (grids), so that they keep their
// current cell and scroll position: told before the change and again once it is done.
struct RowsChange {
    enum class Kind {
        Inserted, // rows [first, first + count) are new
        Removed,  // rows [first, first + count) go
        Moved,    // row `first` goes so as to stand at `to` once moved
        Changed,  // values of rows [first, first + count) may differ
        Reset,    // every row may have changed (opened, closed)
    };
    Kind kind;
    std::size_t first = 0;
    std::size_t count = 0;
    std::size_t to = 0;
};

// An in-memory, cached record set over one SELECT statement: every row is fetched at open, edited
// locally, and written back in one transaction by applyUpdates(), each row identified by its
// update-key columns only.
class RecordSet {
public:
    // Hooks; any of them may be empty. beforePost returns false to cancel the store silently.
    struct Hooks {
        std::function<void()> beforeOpen;
        std::function<void()> afterClose;
        std::function<void()> afterInsert;
        std::function<bool()> beforePost;
        std::function<void()> afterPost;
        std::function<void()> afterDelete;
        std::function<void()> afterScroll;
    };

    RecordSet(Connection& connection, std::string name, std::string statement,
              std::vector<std::string> updateKey);
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    const std::string& name() const { return name_; }
    Hooks& hooks() { return hooks_; }

    const std::string& statement() const { return statement_; }
    // Replaces the SELECT text (and its parameter values); refused while the set is open.
    void setStatement(std::string statement, std::vector<Value> params = {});
    const std::vector<std::string>& keyOrder() const;

    void open();
    void close();
    bool active() const;
    RecordSetState state() const;

    // Rows, cursor and navigation. Moving while editing or inserting stores first (or drops the
    // edit when nothing was written); when the store is cancelled the cursor stays.
    std::size_t rowCount() const;
    bool isEmpty() const { return rowCount() == 0; }
    std::size_t position() const; // 0-based; 0 on an empty set
    bool bof() const;
    bool eof() const;
    void first();
    void last();
    void next();
    void prior();
    void moveTo(std::size_t position);

    const std::vector<Column>& columns() const;
    int columnIndex(std::string_view name) const; // letter case not significant; -1 if unknown

    // Field by name of the current row; text form, empty text for null.
    std::string fieldText(std::string_view column) const;
    bool fieldIsNull(std::string_view column) const;
    // Writing puts a browsing row into editing first; text is cut to the column's width and an
    // empty text stores null. Numbers accept "." or the decimal separator set below.
    void setFieldText(std::string_view column, std::string_view text);
    // Value of any row (for grids), without moving the cursor.
    std::string textAt(std::size_t row, int column) const;
    bool isNullAt(std::size_t row, int column) const;

    // Decimal separator accepted on writes besides "." (reads always give ".").
    void setDecimalSeparator(char separator) { decimalSeparator_ = separator; }

    void edit();
    void insert();
    // As insert, with the new row after the last one.
    void append();
    void post();
    void cancel();
    void remove();

    // Writes every pending change in one transaction; returns the number that failed. Failed
    // changes stay pending with their local values. lastApplyErrors() tells why each failed.
    // A change refused because another transaction changed the same row meanwhile is tried
    // once more: its UPDATE sets only the columns changed here, so the other's columns stay.
    int applyUpdates();
    const std::vector<std::string>& lastApplyErrors() const;
    // Why each change of lastApplyErrors() failed, in the same order.
    const std::vector<Refusal>& lastApplyRefusals() const;
    std::size_t pendingChangeCount() const;
    // Takes back the first change of the last apply that the database refused (an inserted or
    // modified row): it stops being pending and its row becomes current again, in inserting or
    // editing with the values typed, so that it can be corrected and stored, or cancelled. False
    // when there is no such change.
    bool reopenRefusedChange();

    // Whether another row, here or in the database, already has the update-key values of the row
    // being edited or inserted. A row whose key was not changed by the edit is not compared with
    // its own stored version.
    bool updateKeyTaken();

    // Re-runs the statement keeping the ordinal position; refused while changes are pending.
    void refresh();

    // Lookups over the key order (the first values.size() key columns). Find exact matches texts
    // byte for byte even where the key order compares them in Portuguese.
    bool findKey(const std::vector<std::string>& values);
    void findNearest(const std::vector<std::string>& values);

    // Observers (the bound controls). Returns an id for removeListener.
    int addListener(std::function<void(RecordSetEvent)> listener);
    void removeListener(int id);
    // Observers of the rows (the grids): `done` is false before the change and true after it. A
    // re-read tells only the rows that came, went or changed. Returns an id for
    // removeRowsListener.
    int addRowsListener(std::function<void(const RowsChange& change, bool done)> listener);
    void removeRowsListener(int id);

private:
    // Before the cursor leaves the row (move, insert, apply, refresh): a written row is stored, an
    // untouched one is simply dropped back to browsing.
    void storeOrDropBeforeLeaving();
    void insertRow(bool atEnd);
    // Index of the first row, in key order, at or after the values; rowCount() when none.
    std::size_t firstAtOrAfterKey(const std::vector<std::string>& values) const;
    // From `first` on, among the rows whose key the key order holds equal to the values, the first
    // one equal byte for byte; rowCount() when none.
    std::size_t exactAmongEqual(std::size_t first, const std::vector<std::string>& values) const;

    struct Impl;
    std::string name_;
    std::string statement_;
    Hooks hooks_;
    char decimalSeparator_ = '.';
    std::unique_ptr<Impl> impl_;
};

} // namespace olvendra::data
