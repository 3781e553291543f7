#include "record_set.h"

#include "errors.h"
#include "number_text.h"
#include "packed_row.h"
#include "portuguese_order.h"
#include "sql_text.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <unordered_map>

namespace olvendra::data {

namespace {

enum class ChangeKind { Insert, Modify, Delete };

struct Row {
    PackedRow values;
    std::uint32_t id = 0;
};

// A pending change, in the order the changes were made. Old values are those read from the
// database (for modified and deleted rows).
struct Change {
    ChangeKind kind;
    std::uint32_t rowId;
    PackedRow oldValues;
    PackedRow deletedValues; // the row as it was when deleted, kept to show nothing is lost
};

} // namespace

struct RecordSet::Impl {
    Connection& connection;
    std::vector<std::string> updateKey;
    std::vector<Value> params;
    std::vector<std::string> keyOrder;
    std::vector<std::string> keyCollations;
    std::vector<int> keyColumns;
    // Per key column: ordered as the database's Portuguese collation orders it (a COLLATE of the
    // ORDER BY), else by bytes.
    std::vector<bool> keyInPortuguese;

    RecordSetState state = RecordSetState::Closed;
    std::vector<Column> columns;
    std::unordered_map<std::string, int> columnByName;
    std::vector<Row> rows;
    RowArena arena; // memory of the rows as fetched; rows written since own theirs
    std::size_t cursor = 0;
    std::vector<Value> buffer; // the current row's values while editing or inserting
    bool modified = false;     // a value was written since editing or inserting began
    std::uint32_t nextId = 1;
    std::vector<Change> changes;
    std::vector<std::string> applyErrors;
    std::vector<Refusal> applyRefusals;
    std::vector<std::uint32_t> refusedRows;
    std::map<int, std::function<void(RecordSetEvent)>> listeners;
    std::map<int, std::function<void(const RowsChange&, bool)>> rowsListeners;
    int nextListener = 1;

    Impl(Connection& c, std::vector<std::string> key) : connection(c), updateKey(std::move(key)) {}

    std::size_t width() const { return columns.size(); }

    void notify(RecordSetEvent event) {
        // Listeners may remove themselves while being told.
        auto copy = listeners;
        for (auto& [id, listener] : copy) {
            listener(event);
        }
    }

    void tell(const RowsChange& change, bool done) {
        auto copy = rowsListeners;
        for (auto& [id, listener] : copy) {
            listener(change, done);
        }
    }

    // Inserts fresh[from, to) at `at`, telling the row views.
    void insertRows(std::size_t at, std::vector<Row>& fresh, std::size_t from, std::size_t to) {
        const RowsChange change{RowsChange::Kind::Inserted, at, to - from};
        tell(change, false);
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at),
                    std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(from)),
                    std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(to)));
        tell(change, true);
    }

    void removeRows(std::size_t at, std::size_t count) {
        const RowsChange change{RowsChange::Kind::Removed, at, count};
        tell(change, false);
        auto first = rows.begin() + static_cast<std::ptrdiff_t>(at);
        rows.erase(first, first + static_cast<std::ptrdiff_t>(count));
        tell(change, true);
    }

    void replaceAllRows(std::vector<Row> fresh) {
        const RowsChange change{RowsChange::Kind::Reset};
        tell(change, false);
        rows = std::move(fresh);
        tell(change, true);
    }

    int compare(int column, std::string_view a, bool aNull, std::string_view b, bool bNull,
                bool inPortuguese = false) const {
        if (aNull || bNull) {
            return aNull == bNull ? 0 : (aNull ? -1 : 1);
        }
        const Column& c = columns[column];
        if (inPortuguese && c.type == ColumnType::Text) {
            return ComparePortuguese(a, b);
        }
        if (c.type != ColumnType::Text) {
            auto x = ParseScaled(a, c.scale, '.');
            auto y = ParseScaled(b, c.scale, '.');
            if (x && y) {
                return *x < *y ? -1 : (*x > *y ? 1 : 0);
            }
        }
        int order = a.compare(b);
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }

    int compareRows(const PackedRow& a, const PackedRow& b) const {
        for (std::size_t k = 0; k < keyColumns.size(); ++k) {
            int column = keyColumns[k];
            int order =
                compare(column, a.view(column, width()), a.isNull(column, width()),
                        b.view(column, width()), b.isNull(column, width()), keyInPortuguese[k]);
            if (order != 0) {
                return order;
            }
        }
        return 0;
    }

    // Compares a row with search values for the first values.size() key columns, in the key
    // order's comparison, or byte for byte when `exactly`.
    int compareKey(const PackedRow& row, const std::vector<std::string>& values,
                   bool exactly = false) const {
        for (std::size_t k = 0; k < values.size(); ++k) {
            int column = keyColumns[k];
            int order = compare(column, row.view(column, width()), row.isNull(column, width()),
                                values[k], values[k].empty(), keyInPortuguese[k] && !exactly);
            if (order != 0) {
                return order;
            }
        }
        return 0;
    }

    // Where the row at `index` belongs in key order among the others, counted once it is moved.
    std::size_t placeInKeyOrder(std::size_t index) const {
        auto less = [this](const Row& a, const Row& b) {
            return compareRows(a.values, b.values) < 0;
        };
        const auto begin = rows.begin();
        const auto at = begin + static_cast<std::ptrdiff_t>(index);
        const auto before = std::upper_bound(begin, at, *at, less);
        if (before != at) {
            return static_cast<std::size_t>(before - begin);
        }
        const auto after = std::upper_bound(at + 1, rows.end(), *at, less);
        return static_cast<std::size_t>(after - begin) - 1;
    }

    // Moves the row at `index` to its place in key order; returns its new index.
    std::size_t reposition(std::size_t index) {
        if (keyColumns.empty()) {
            return index;
        }
        const std::size_t to = placeInKeyOrder(index);
        if (to == index) {
            return index;
        }
        const RowsChange change{RowsChange::Kind::Moved, index, 1, to};
        tell(change, false);
        const auto begin = rows.begin();
        const auto at = [begin](std::size_t i) { return begin + static_cast<std::ptrdiff_t>(i); };
        if (to < index) {
            std::rotate(at(to), at(index), at(index + 1));
        } else {
            std::rotate(at(index), at(index + 1), at(to + 1));
        }
        tell(change, true);
        return to;
    }

    bool sameValues(const PackedRow& a, const PackedRow& b) const {
        const std::size_t n = width();
        for (std::size_t i = 0; i < n; ++i) {
            if (a.isNull(i, n) != b.isNull(i, n) || a.view(i, n) != b.view(i, n)) {
                return false;
            }
        }
        return true;
    }

    // How a row of the set stands to a freshly fetched one, both lists in key order: the same
    // row (same place in key order and same update key), gone (it sorts before, or ties with a
    // row of another key), or the fresh one is new.
    enum class Match { Same, Gone, New };
    Match match(const Row& old, const Row& fresh, const std::vector<int>& updateColumns) const {
        const int order = compareRows(old.values, fresh.values);
        if (order != 0) {
            return order < 0 ? Match::Gone : Match::New;
        }
        const std::size_t n = width();
        for (int key : updateColumns) {
            const auto column = static_cast<std::size_t>(key);
            if (old.values.isNull(column, n) != fresh.values.isNull(column, n) ||
                old.values.view(column, n) != fresh.values.view(column, n)) {
                return Match::Gone;
            }
        }
        return Match::Same;
    }

    // Takes the rows of a new fetch in place of the current ones, telling the row views only
    // which rows came, went or changed; so many that telling them one by one would cost more
    // than redrawing are told as one reset.
    void adopt(std::vector<Row> fresh) {
        constexpr std::size_t MostRowsToldOneByOne = 256;
        std::vector<int> updateColumns;
        for (const std::string& name : updateKey) {
            if (auto found = columnByName.find(UpperAscii(name)); found != columnByName.end()) {
                updateColumns.push_back(found->second);
            }
        }
        std::size_t i = 0, j = 0, comingOrGoing = 0;
        while (i < rows.size() && j < fresh.size()) {
            const Match found = match(rows[i], fresh[j], updateColumns);
            i += found != Match::New;
            j += found != Match::Gone;
            comingOrGoing += found != Match::Same;
        }
        comingOrGoing += (rows.size() - i) + (fresh.size() - j);
        if (comingOrGoing > MostRowsToldOneByOne) {
            replaceAllRows(std::move(fresh));
            return;
        }
        std::optional<std::size_t> firstChanged;
        std::size_t lastChanged = 0;
        i = j = 0;
        while (i < rows.size() && j < fresh.size()) {
            switch (match(rows[i], fresh[j], updateColumns)) {
            case Match::Same:
                if (!sameValues(rows[i].values, fresh[j].values)) {
                    firstChanged = firstChanged.value_or(i);
                    lastChanged = i;
                }
                rows[i++] = std::move(fresh[j++]);
                break;
            case Match::Gone:
                removeRows(i, 1);
                break;
            case Match::New:
                insertRows(i++, fresh, j, j + 1);
                ++j;
                break;
            }
        }
        if (i < rows.size()) {
            removeRows(i, rows.size() - i);
        }
        if (j < fresh.size()) {
            insertRows(i, fresh, j, fresh.size());
        }
        if (firstChanged) {
            const RowsChange change{RowsChange::Kind::Changed, *firstChanged,
                                    lastChanged - *firstChanged + 1};
            tell(change, false);
            tell(change, true);
        }
    }

    struct Fetched {
        std::vector<Row> rows;
        RowArena arena;
    };

    // Runs the statement: the columns and key order as described, and the rows sorted in it.
    Fetched fetch(const std::string& statement) {
        struct Loader : RowSink {
            Impl& impl;
            std::vector<Row> loaded;
            RowArena arena;
            explicit Loader(Impl& i) : impl(i) {}
            void columns(const std::vector<Column>& described) override {
                impl.columns = described;
            }
            void row(const std::string_view* values, const bool* nulls) override {
                loaded.push_back(
                    {PackedRow::Pack(values, nulls, impl.columns.size(), &arena), impl.nextId++});
            }
        } loader(*this);
        connection.select(statement, params, loader);
        columnByName.clear();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            columnByName[UpperAscii(columns[i].name)] = static_cast<int>(i);
        }
        keyColumns.clear();
        keyInPortuguese.clear();
        for (const std::string& collation : keyCollations) {
            keyInPortuguese.push_back(collation == PortugueseCollation);
        }
        for (const std::string& name : keyOrder) {
            auto found = columnByName.find(name);
            if (found == columnByName.end()) {
                throw RecordSetError("Key column " + name + " is not in the statement");
            }
            keyColumns.push_back(found->second);
        }
        auto less = [this](const Row& a, const Row& b) {
            return compareRows(a.values, b.values) < 0;
        };
        if (!keyColumns.empty() &&
            !std::is_sorted(loader.loaded.begin(), loader.loaded.end(), less)) {
            std::stable_sort(loader.loaded.begin(), loader.loaded.end(), less);
        }
        return {std::move(loader.loaded), std::move(loader.arena)};
    }

    Change* changeOf(std::uint32_t rowId) {
        for (Change& change : changes) {
            if (change.rowId == rowId) {
                return &change;
            }
        }
        return nullptr;
    }

    void dropChange(std::uint32_t rowId) {
        std::erase_if(changes, [rowId](const Change& c) { return c.rowId == rowId; });
    }
};

RecordSet::RecordSet(Connection& connection, std::string name, std::string statement,
                     std::vector<std::string> updateKey)
    : name_(std::move(name)), statement_(std::move(statement)),
      impl_(std::make_unique<Impl>(connection, std::move(updateKey))) {
    impl_->keyOrder = OrderByColumns(statement_);
    impl_->keyCollations = OrderByCollations(statement_);
}

RecordSet::~RecordSet() = default;

void RecordSet::setStatement(std::string statement, std::vector<Value> params) {
    if (active()) {
        throw RecordSetError("Cannot change the statement of an open record set (" + name_ + ")");
    }
    statement_ = std::move(statement);
    impl_->params = std::move(params);
    impl_->keyOrder = OrderByColumns(statement_);
    impl_->keyCollations = OrderByCollations(statement_);
}

const std::vector<std::string>& RecordSet::keyOrder() const {
    return impl_->keyOrder;
}

void RecordSet::open() {
    if (active()) {
        return;
    }
    if (hooks_.beforeOpen) {
        hooks_.beforeOpen();
    }
    Impl::Fetched fetched;
    try {
        fetched = impl_->fetch(statement_);
    } catch (...) {
        // The set stays closed, and what opening it opened first is closed with it.
        if (hooks_.afterClose) {
            hooks_.afterClose();
        }
        throw;
    }
    const RowsChange reset{RowsChange::Kind::Reset};
    impl_->tell(reset, false);
    impl_->rows = std::move(fetched.rows);
    impl_->arena = std::move(fetched.arena);
    impl_->cursor = 0;
    impl_->state = RecordSetState::Browsing;
    impl_->tell(reset, true);
    impl_->notify(RecordSetEvent::Opened);
    if (hooks_.afterScroll) {
        hooks_.afterScroll();
    }
}

void RecordSet::close() {
    if (!active()) {
        return;
    }
    const RowsChange reset{RowsChange::Kind::Reset};
    impl_->tell(reset, false);
    impl_->rows.clear();
    impl_->rows.shrink_to_fit();
    impl_->changes.clear();
    impl_->arena = RowArena();
    impl_->buffer.clear();
    impl_->cursor = 0;
    impl_->state = RecordSetState::Closed;
    impl_->tell(reset, true);
    if (hooks_.afterClose) {
        hooks_.afterClose();
    }
    impl_->notify(RecordSetEvent::Closed);
}

bool RecordSet::active() const {
    return impl_->state != RecordSetState::Closed;
}
RecordSetState RecordSet::state() const {
    return impl_->state;
}
std::size_t RecordSet::rowCount() const {
    return impl_->rows.size();
}
std::size_t RecordSet::position() const {
    return impl_->cursor;
}
bool RecordSet::bof() const {
    return impl_->cursor == 0;
}
bool RecordSet::eof() const {
    return impl_->rows.empty() || impl_->cursor + 1 >= impl_->rows.size();
}

void RecordSet::first() {
    moveTo(0);
}
void RecordSet::last() {
    moveTo(impl_->rows.empty() ? 0 : impl_->rows.size() - 1);
}
void RecordSet::next() {
    moveTo(impl_->cursor + 1);
}
void RecordSet::prior() {
    moveTo(impl_->cursor == 0 ? 0 : impl_->cursor - 1);
}

void RecordSet::moveTo(std::size_t target) {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    if (impl_->rows.empty()) {
        return;
    }
    target = std::min(target, impl_->rows.size() - 1);
    if (target == impl_->cursor && state() == RecordSetState::Browsing) {
        return;
    }
    // The row being stored may change its own place in key order; keep aiming at the same row.
    std::uint32_t targetId = impl_->rows[target].id;
    storeOrDropBeforeLeaving();
    if (impl_->rows.empty()) {
        return;
    }
    if (state() != RecordSetState::Browsing) {
        return;
    }
    for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
        if (impl_->rows[i].id == targetId) {
            target = i;
        }
    }
    if (target == impl_->cursor) {
        return;
    }
    impl_->cursor = target;
    impl_->notify(RecordSetEvent::Scrolled);
    if (hooks_.afterScroll) {
        hooks_.afterScroll();
    }
}

const std::vector<Column>& RecordSet::columns() const {
    return impl_->columns;
}

int RecordSet::columnIndex(std::string_view name) const {
    auto found = impl_->columnByName.find(UpperAscii(name));
    return found == impl_->columnByName.end() ? -1 : found->second;
}

namespace {
int RequireColumn(const RecordSet& set, std::string_view name) {
    int index = set.columnIndex(name);
    if (index < 0) {
        throw RecordSetError(set.name() + ": Field '" + std::string(name) + "' not found");
    }
    return index;
}
} // namespace

std::string RecordSet::fieldText(std::string_view column) const {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    int index = RequireColumn(*this, column);
    if (impl_->rows.empty()) {
        return {};
    }
    return textAt(impl_->cursor, index);
}

bool RecordSet::fieldIsNull(std::string_view column) const {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    int index = RequireColumn(*this, column);
    if (impl_->rows.empty()) {
        return true;
    }
    return isNullAt(impl_->cursor, index);
}

std::string RecordSet::textAt(std::size_t row, int column) const {
    if (state() != RecordSetState::Browsing && row == impl_->cursor) {
        const Value& value = impl_->buffer[static_cast<std::size_t>(column)];
        return value ? *value : std::string();
    }
    return std::string(
        impl_->rows.at(row).values.view(static_cast<std::size_t>(column), impl_->width()));
}

bool RecordSet::isNullAt(std::size_t row, int column) const {
    if (state() != RecordSetState::Browsing && row == impl_->cursor) {
        return !impl_->buffer[static_cast<std::size_t>(column)];
    }
    return impl_->rows.at(row).values.isNull(static_cast<std::size_t>(column), impl_->width());
}

void RecordSet::setFieldText(std::string_view column, std::string_view text) {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    int index = RequireColumn(*this, column);
    const Column& described = impl_->columns[static_cast<std::size_t>(index)];
    Value value;
    if (!text.empty()) {
        if (described.type == ColumnType::Text) {
            value = std::string(text.substr(0, static_cast<std::size_t>(described.width)));
        } else {
            auto number = ParseScaled(text, described.scale, decimalSeparator_);
            bool fits = number && (described.type == ColumnType::Decimal ||
                                   (*number >= INT32_MIN && *number <= INT32_MAX));
            if (!fits) {
                throw RecordSetError("'" + std::string(text) + "' is not a valid " +
                                     (described.type == ColumnType::Integer
                                          ? "integer value"
                                          : "floating point value"));
            }
            char digits[24];
            value = std::string(ScaledToText(*number, described.scale, digits));
        }
    }
    if (state() == RecordSetState::Browsing) {
        edit();
    }
    impl_->buffer[static_cast<std::size_t>(index)] = std::move(value);
    impl_->modified = true;
    impl_->notify(RecordSetEvent::FieldChanged);
}

void RecordSet::edit() {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    if (state() != RecordSetState::Browsing) {
        return;
    }
    if (impl_->rows.empty()) {
        insert();
        return;
    }
    impl_->buffer = impl_->rows[impl_->cursor].values.unpack(impl_->width());
    impl_->modified = false;
    impl_->state = RecordSetState::Editing;
    impl_->notify(RecordSetEvent::StateChanged);
}

void RecordSet::insert() {
    insertRow(false);
}

void RecordSet::append() {
    insertRow(true);
}

void RecordSet::insertRow(bool atEnd) {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    storeOrDropBeforeLeaving();
    if (state() != RecordSetState::Browsing) {
        return;
    }
    impl_->buffer.assign(impl_->width(), std::nullopt);
    impl_->modified = false;
    std::size_t at = atEnd ? impl_->rows.size() : std::min(impl_->cursor, impl_->rows.size());
    std::vector<Row> inserted;
    inserted.push_back(Row{PackedRow::Pack(impl_->buffer), impl_->nextId++});
    impl_->insertRows(at, inserted, 0, 1);
    impl_->cursor = at;
    impl_->state = RecordSetState::Inserting;
    impl_->notify(RecordSetEvent::RowsChanged);
    impl_->notify(RecordSetEvent::StateChanged);
    if (hooks_.afterInsert) {
        hooks_.afterInsert();
    }
}

void RecordSet::post() {
    if (state() != RecordSetState::Editing && state() != RecordSetState::Inserting) {
        return;
    }
    if (hooks_.beforePost && !hooks_.beforePost()) {
        return;
    }
    for (std::size_t i = 0; i < impl_->width(); ++i) {
        if (impl_->columns[i].required && !impl_->buffer[i]) {
            throw RecordSetError("Field '" + impl_->columns[i].name + "' must have a value");
        }
    }

    Row& row = impl_->rows[impl_->cursor];
    if (state() == RecordSetState::Inserting) {
        impl_->changes.push_back({ChangeKind::Insert, row.id, {}, {}});
    } else if (impl_->buffer != row.values.unpack(impl_->width())) {
        Change* change = impl_->changeOf(row.id);
        if (!change) {
            impl_->changes.push_back({ChangeKind::Modify,
                                      row.id,
                                      PackedRow::Pack(row.values.unpack(impl_->width())),
                                      {}});
        } else if (change->kind == ChangeKind::Modify &&
                   change->oldValues.unpack(impl_->width()) == impl_->buffer) {
            impl_->dropChange(row.id); // edited back to what the database holds
        }
    }
    row.values = PackedRow::Pack(impl_->buffer);
    impl_->buffer.clear();
    impl_->state = RecordSetState::Browsing;
    impl_->cursor = impl_->reposition(impl_->cursor);
    impl_->notify(RecordSetEvent::StateChanged);
    impl_->notify(RecordSetEvent::RowsChanged);
    if (hooks_.afterPost) {
        hooks_.afterPost();
    }
}

void RecordSet::storeOrDropBeforeLeaving() {
    if (state() == RecordSetState::Browsing || state() == RecordSetState::Closed) {
        return;
    }
    if (impl_->modified) {
        post();
    } else {
        cancel();
    }
}

void RecordSet::cancel() {
    const RecordSetState was = state();
    if (was != RecordSetState::Inserting && was != RecordSetState::Editing) {
        return;
    }
    impl_->buffer.clear();
    impl_->state = RecordSetState::Browsing;
    if (was == RecordSetState::Inserting) {
        impl_->removeRows(impl_->cursor, 1);
        if (impl_->cursor >= impl_->rows.size() && impl_->cursor > 0) {
            --impl_->cursor;
        }
        impl_->notify(RecordSetEvent::RowsChanged);
    }
    impl_->notify(RecordSetEvent::StateChanged);
}

void RecordSet::remove() {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    if (state() == RecordSetState::Inserting) {
        cancel();
        return;
    }
    cancel();
    if (impl_->rows.empty()) {
        throw RecordSetError("Cannot perform this operation on an empty dataset");
    }
    Row& row = impl_->rows[impl_->cursor];
    if (Change* change = impl_->changeOf(row.id)) {
        if (change->kind == ChangeKind::Insert) {
            impl_->dropChange(row.id); // never reached the database
        } else {
            change->kind = ChangeKind::Delete;
            change->deletedValues = std::move(row.values);
        }
    } else {
        PackedRow old = PackedRow::Pack(row.values.unpack(impl_->width()));
        impl_->changes.push_back(
            {ChangeKind::Delete, row.id, std::move(old), std::move(row.values)});
    }
    impl_->removeRows(impl_->cursor, 1);
    if (impl_->cursor >= impl_->rows.size() && impl_->cursor > 0) {
        --impl_->cursor;
    }
    impl_->notify(RecordSetEvent::RowsChanged);
    if (hooks_.afterDelete) {
        hooks_.afterDelete();
    }
    if (hooks_.afterScroll) {
        hooks_.afterScroll();
    }
}

std::size_t RecordSet::pendingChangeCount() const {
    return impl_->changes.size();
}
const std::vector<std::string>& RecordSet::lastApplyErrors() const {
    return impl_->applyErrors;
}
const std::vector<Refusal>& RecordSet::lastApplyRefusals() const {
    return impl_->applyRefusals;
}

bool RecordSet::reopenRefusedChange() {
    if (!active() || state() != RecordSetState::Browsing) {
        return false;
    }
    for (std::uint32_t id : impl_->refusedRows) {
        Change* change = impl_->changeOf(id);
        if (!change || change->kind == ChangeKind::Delete) {
            continue;
        }
        auto row = std::find_if(impl_->rows.begin(), impl_->rows.end(),
                                [id](const Row& r) { return r.id == id; });
        if (row == impl_->rows.end()) {
            continue;
        }
        const std::size_t n = impl_->width();
        impl_->buffer = row->values.unpack(n);
        const bool inserted = change->kind == ChangeKind::Insert;
        if (!inserted) {
            row->values = PackedRow::Pack(change->oldValues.unpack(n));
        }
        impl_->dropChange(id);
        impl_->refusedRows.clear();
        impl_->cursor = static_cast<std::size_t>(row - impl_->rows.begin());
        impl_->modified = true;
        impl_->state = inserted ? RecordSetState::Inserting : RecordSetState::Editing;
        impl_->notify(RecordSetEvent::Scrolled);
        impl_->notify(RecordSetEvent::StateChanged);
        return true;
    }
    return false;
}

bool RecordSet::updateKeyTaken() {
    if (state() != RecordSetState::Editing && state() != RecordSetState::Inserting) {
        return false;
    }
    const std::size_t n = impl_->width();
    std::vector<int> keys;
    for (const std::string& name : impl_->updateKey) {
        keys.push_back(RequireColumn(*this, name));
    }
    const std::vector<Value>& mine = impl_->buffer;
    auto sameKey = [&](const std::vector<Value>& other) {
        for (int key : keys) {
            if (other[static_cast<std::size_t>(key)] != mine[static_cast<std::size_t>(key)]) {
                return false;
            }
        }
        return true;
    };
    for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
        if (i != impl_->cursor && sameKey(impl_->rows[i].values.unpack(n))) {
            return true;
        }
    }
    // The stored version of the row being edited holds its old key, which it may keep.
    const Row& own = impl_->rows[impl_->cursor];
    if (state() == RecordSetState::Editing) {
        const Change* change = impl_->changeOf(own.id);
        if (sameKey(change ? change->oldValues.unpack(n) : own.values.unpack(n))) {
            return false;
        }
    }
    std::string sql = "select 1 from " + FromTable(statement_);
    std::vector<Value> params;
    for (int key : keys) {
        const Value& value = mine[static_cast<std::size_t>(key)];
        sql += key == keys.front() ? " where " : " and ";
        sql += impl_->columns[static_cast<std::size_t>(key)].name;
        if (value) {
            sql += " = ?";
            params.push_back(value);
        } else {
            sql += " is null";
        }
    }
    struct Found : RowSink {
        bool any = false;
        void columns(const std::vector<Column>&) override {}
        void row(const std::string_view*, const bool*) override { any = true; }
    } found;
    impl_->connection.select(sql, params, found);
    return found.any;
}

int RecordSet::applyUpdates() {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    // A row whose store is refused stays in editing; the changes already stored still go out.
    storeOrDropBeforeLeaving();
    impl_->applyErrors.clear();
    impl_->applyRefusals.clear();
    impl_->refusedRows.clear();
    if (impl_->changes.empty()) {
        return 0;
    }
    const std::size_t n = impl_->width();
    const std::string table = FromTable(statement_);
    std::vector<int> keys;
    for (const std::string& name : impl_->updateKey) {
        keys.push_back(RequireColumn(*this, name));
    }
    std::unordered_map<std::uint32_t, std::size_t> rowIndex;
    for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
        rowIndex[impl_->rows[i].id] = i;
    }

    // WHERE clause over the update key's old values.
    auto whereKey = [&](const PackedRow& old, std::vector<Value>& params) {
        std::string where;
        for (int key : keys) {
            where += where.empty() ? " where " : " and ";
            where += impl_->columns[static_cast<std::size_t>(key)].name;
            Value value = old.value(static_cast<std::size_t>(key), n);
            if (value) {
                where += " = ?";
                params.push_back(std::move(value));
            } else {
                where += " is null";
            }
        }
        return where;
    };

    bool ownTransaction = !impl_->connection.inTransaction();
    impl_->connection.startTransaction();
    int failures = 0;
    std::vector<std::uint32_t> applied;
    try {
        for (const Change& change : impl_->changes) {
            std::string sql;
            std::vector<Value> params;
            if (change.kind == ChangeKind::Insert) {
                std::vector<Value> values = impl_->rows[rowIndex.at(change.rowId)].values.unpack(n);
                std::string names, marks;
                for (std::size_t i = 0; i < n; ++i) {
                    if (!values[i]) {
                        continue;
                    }
                    names += (names.empty() ? "" : ", ") + impl_->columns[i].name;
                    marks += marks.empty() ? "?" : ", ?";
                    params.push_back(std::move(values[i]));
                }
                sql = "insert into " + table + " (" + names + ") values (" + marks + ")";
            } else if (change.kind == ChangeKind::Modify) {
                std::vector<Value> values = impl_->rows[rowIndex.at(change.rowId)].values.unpack(n);
                std::vector<Value> old = change.oldValues.unpack(n);
                std::string sets;
                for (std::size_t i = 0; i < n; ++i) {
                    if (values[i] == old[i]) {
                        continue;
                    }
                    sets += (sets.empty() ? "" : ", ") + impl_->columns[i].name + " = ?";
                    params.push_back(std::move(values[i]));
                }
                sql = "update " + table + " set " + sets + whereKey(change.oldValues, params);
            } else {
                sql = "delete from " + table + whereKey(change.oldValues, params);
            }

            auto refuse = [&](std::string message, Refusal refusal) {
                ++failures;
                impl_->applyErrors.push_back(std::move(message));
                impl_->applyRefusals.push_back(refusal);
                impl_->refusedRows.push_back(change.rowId);
            };
            impl_->connection.execute("savepoint OLVENDRA_APPLY", {});
            for (int attempt = 1;; ++attempt) {
                try {
                    std::int64_t affected = impl_->connection.execute(sql, params);
                    if (affected == 1 || (affected > 0 && change.kind == ChangeKind::Insert)) {
                        applied.push_back(change.rowId);
                    } else if (affected == 0) {
                        refuse("Record not found or changed by another user", Refusal::Other);
                    } else {
                        // Only this change is undone: the changes already applied in this
                        // transaction stay applied and are committed below.
                        impl_->connection.execute("rollback to savepoint OLVENDRA_APPLY", {});
                        refuse("Update affected more than 1 record.", Refusal::Other);
                    }
                } catch (const DatabaseError& refused) {
                    if (refused.connectionLost()) {
                        throw;
                    }
                    // The other transaction has ended when the conflict is reported: the
                    // statement now meets the row as it committed it.
                    if (refused.refusal() == Refusal::UpdateConflict && attempt == 1) {
                        impl_->connection.execute("rollback to savepoint OLVENDRA_APPLY", {});
                        continue;
                    }
                    refuse(refused.what(), refused.refusal());
                }
                break;
            }
            impl_->connection.execute("release savepoint OLVENDRA_APPLY", {});
        }
        if (ownTransaction) {
            impl_->connection.commit();
        }
    } catch (...) {
        try {
            if (ownTransaction) {
                impl_->connection.rollback();
            }
        } catch (const DatabaseError&) {
            // The link is gone; the server rolls back on its own.
        }
        throw;
    }
    for (std::uint32_t id : applied) {
        impl_->dropChange(id);
    }
    return failures;
}

void RecordSet::refresh() {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    storeOrDropBeforeLeaving();
    if (state() != RecordSetState::Browsing) {
        return;
    }
    if (!impl_->changes.empty()) {
        throw RecordSetError("Must apply updates before refreshing data");
    }
    std::size_t position = impl_->cursor;
    Impl::Fetched fetched = impl_->fetch(statement_);
    // The old rows go before the memory they live in.
    impl_->adopt(std::move(fetched.rows));
    impl_->arena = std::move(fetched.arena);
    impl_->cursor = impl_->rows.empty() ? 0 : std::min(position, impl_->rows.size() - 1);
    impl_->notify(RecordSetEvent::Opened);
    if (hooks_.afterScroll) {
        hooks_.afterScroll();
    }
}

std::size_t RecordSet::firstAtOrAfterKey(const std::vector<std::string>& values) const {
    if (!active()) {
        throw RecordSetError("Cannot perform this operation on a closed dataset");
    }
    if (values.empty() || values.size() > impl_->keyColumns.size()) {
        throw RecordSetError(name_ + ": the search needs 1 to " +
                             std::to_string(impl_->keyColumns.size()) + " key values");
    }
    const auto& rows = impl_->rows;
    auto found = std::lower_bound(rows.begin(), rows.end(), values,
                                  [this](const Row& row, const std::vector<std::string>& key) {
                                      return impl_->compareKey(row.values, key) < 0;
                                  });
    return static_cast<std::size_t>(found - rows.begin());
}

std::size_t RecordSet::exactAmongEqual(std::size_t first,
                                       const std::vector<std::string>& values) const {
    const auto& rows = impl_->rows;
    for (std::size_t i = first; i < rows.size() && impl_->compareKey(rows[i].values, values) == 0;
         ++i) {
        if (impl_->compareKey(rows[i].values, values, true) == 0) {
            return i;
        }
    }
    return rows.size();
}

bool RecordSet::findKey(const std::vector<std::string>& values) {
    std::size_t found = exactAmongEqual(firstAtOrAfterKey(values), values);
    if (found == impl_->rows.size()) {
        return false;
    }
    moveTo(found);
    return true;
}

void RecordSet::findNearest(const std::vector<std::string>& values) {
    std::size_t found = firstAtOrAfterKey(values);
    if (impl_->rows.empty()) {
        return;
    }
    // Among rows the key order holds equal (names differing only in accents or letter case), the
    // one spelt exactly as asked.
    std::size_t exact = exactAmongEqual(found, values);
    moveTo(std::min(exact < impl_->rows.size() ? exact : found, impl_->rows.size() - 1));
}

int RecordSet::addListener(std::function<void(RecordSetEvent)> listener) {
    int id = impl_->nextListener++;
    impl_->listeners.emplace(id, std::move(listener));
    return id;
}

void RecordSet::removeListener(int id) {
    impl_->listeners.erase(id);
}

int RecordSet::addRowsListener(std::function<void(const RowsChange&, bool)> listener) {
    int id = impl_->nextListener++;
    impl_->rowsListeners.emplace(id, std::move(listener));
    return id;
}

void RecordSet::removeRowsListener(int id) {
    impl_->rowsListeners.erase(id);
}

} // namespace olvendra::data
