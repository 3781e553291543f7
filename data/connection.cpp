#include "connection.h"

#include "errors.h"
#include "fb_client.h"
#include "fb_owned.h"
#include "number_text.h"

#include <iberror.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace olvendra::data {

namespace {

using Firebird::FbException;
using Firebird::IMessageMetadata;
using Firebird::ThrowStatusWrapper;

constexpr unsigned CharsetWin1252 = 53;

// Bytes per character of the character sets a text column may come in.
int BytesPerCharacter(unsigned charset) {
    switch (charset) {
    case 3: // UNICODE_FSS
        return 3;
    case 4: // UTF8
        return 4;
    default:
        return 1;
    }
}

// Aborts the client side of an attachment whose call has waited longer than its deadline: the
// blocked call then fails as on a broken link. Firebird's own cancel request needs an answering
// server, the abort does not.
class Watchdog {
public:
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    void arm(Firebird::IMaster* master, Firebird::IAttachment* attachment, int seconds) {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { watch(); });
        }
        master_ = master;
        target_ = attachment;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        wake_.notify_all();
    }

    void disarm() {
        std::lock_guard lock(mutex_);
        deadline_.reset();
        target_ = nullptr;
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            if (!deadline_) {
                wake_.wait(lock);
                continue;
            }
            if (wake_.wait_until(lock, *deadline_) != std::cv_status::timeout || !deadline_ ||
                std::chrono::steady_clock::now() < *deadline_) {
                continue;
            }
            deadline_.reset();
            if (target_) {
                QuietStatus status(master_);
                target_->cancelOperation(status.get(), fb_cancel_abort);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    bool stop_ = false;
    Firebird::IMaster* master_ = nullptr;
    Firebird::IAttachment* target_ = nullptr;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
};

} // namespace

struct Connection::Impl {
    Firebird::IMaster* master = nullptr;
    Owned<Firebird::IStatus> status;
    Owned<Firebird::IAttachment> attachment;
    Owned<Firebird::ITransaction> transaction;
    // Declared last, so that it stops watching before the attachment goes.
    Watchdog watchdog;
    int answerTimeout = 20;

    // Bounds the server's answer to the calls made while it lives.
    struct Watched {
        Impl& impl;
        explicit Watched(Impl& i) : impl(i) {
            if (impl.attachment) {
                impl.watchdog.arm(impl.master, impl.attachment.get(), impl.answerTimeout);
            }
        }
        ~Watched() { impl.watchdog.disarm(); }
    };

    // The transaction one statement runs in: the open batch's, or else one of its own that
    // commit() ends and that is rolled back when the statement fails.
    class StatementTransaction {
    public:
        StatementTransaction(Impl& impl, ThrowStatusWrapper& st, int lockTimeout) : impl_(impl) {
            if (!impl.transaction) {
                own_ = Owned<Firebird::ITransaction>(impl.begin(st, lockTimeout));
            }
        }
        ~StatementTransaction() {
            if (!own_) {
                return;
            }
            QuietStatus quiet(impl_.master);
            own_->rollback(quiet.get());
            if (!quiet.failed()) {
                own_.forget();
            }
        }
        StatementTransaction(const StatementTransaction&) = delete;
        StatementTransaction& operator=(const StatementTransaction&) = delete;

        Firebird::ITransaction* get() const { return own_ ? own_.get() : impl_.transaction.get(); }
        void commit(ThrowStatusWrapper& st) {
            if (!own_) {
                return;
            }
            own_->commit(&st);
            own_.forget();
        }

    private:
        Impl& impl_;
        Owned<Firebird::ITransaction> own_;
    };

    [[noreturn]] void fail(const FbException& error) {
        const ISC_STATUS* vector = error.getStatus()->getErrors();
        std::string message = FormatStatus(master, error.getStatus());
        const bool lost = LinkFailed(vector);
        if (lost) {
            dropLink();
        }
        throw DatabaseError(message, lost, RefusalOf(vector));
    }

    // Forgets a broken attachment without talking to the server, which has dropped it anyway.
    void dropLink() {
        watchdog.disarm();
        transaction.reset();
        attachment.reset();
    }

    static bool Has(const ISC_STATUS* vector, ISC_STATUS code) {
        for (const ISC_STATUS* item = vector; *item != isc_arg_end;
             item += *item == isc_arg_cstring ? 3 : 2) {
            if (item[0] == isc_arg_gds && item[1] == code) {
                return true;
            }
        }
        return false;
    }

    static Refusal RefusalOf(const ISC_STATUS* vector) {
        if (Has(vector, isc_lock_timeout)) {
            return Refusal::LockTimeout;
        }
        if (Has(vector, isc_update_conflict)) {
            return Refusal::UpdateConflict;
        }
        if (Has(vector, isc_unique_key_violation) || Has(vector, isc_no_dup)) {
            return Refusal::Duplicate;
        }
        return Refusal::Other;
    }

    // Whether a status vector reports a broken link rather than a refused statement.
    static bool LinkFailed(const ISC_STATUS* vector) {
        for (const ISC_STATUS* item = vector; *item != isc_arg_end;
             item += *item == isc_arg_cstring ? 3 : 2) {
            if (item[0] != isc_arg_gds) {
                continue;
            }
            switch (item[1]) {
            case isc_shutdown:
            case isc_conn_lost:
            case isc_network_error:
            case isc_net_read_err:
            case isc_net_write_err:
            case isc_lost_db_connection:
            case isc_att_shutdown:
            case isc_net_connect_err:
            case isc_bad_db_handle:
            case isc_cancelled:
                return true;
            default:
                break;
            }
        }
        return false;
    }

    void load(const std::string& library) {
        if (!master) {
            master = LoadFirebirdClient(library);
            status = Owned<Firebird::IStatus>(master->getStatus());
        }
    }

    Firebird::ITransaction* begin(ThrowStatusWrapper& st, int lockTimeout) {
        Owned<Firebird::IXpbBuilder> tpb(
            master->getUtilInterface()->getXpbBuilder(&st, Firebird::IXpbBuilder::TPB, nullptr, 0));
        tpb->insertTag(&st, isc_tpb_read_committed);
        tpb->insertTag(&st, isc_tpb_rec_version);
        tpb->insertTag(&st, isc_tpb_wait);
        tpb->insertInt(&st, isc_tpb_lock_timeout, lockTimeout);
        tpb->insertTag(&st, isc_tpb_write);
        return attachment->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
    }

    // Describes every parameter as nullable text in WIN1252 and fills the message buffer.
    Owned<IMessageMetadata> bindText(ThrowStatusWrapper& st, Firebird::IStatement* statement,
                                     const std::vector<Value>& params,
                                     std::vector<unsigned char>& buffer) {
        Owned<IMessageMetadata> described(statement->getInputMetadata(&st));
        unsigned count = described->getCount(&st);
        if (count != params.size()) {
            throw DatabaseError("The statement takes " + std::to_string(count) + " parameters, " +
                                std::to_string(params.size()) + " were given");
        }
        Owned<Firebird::IMetadataBuilder> builder(described->getBuilder(&st));
        for (unsigned i = 0; i < count; ++i) {
            builder->setType(&st, i, SQL_VARYING + 1);
            std::size_t length = params[i] ? params[i]->size() : 0;
            builder->setLength(&st, i, static_cast<unsigned>(length == 0 ? 1 : length));
            builder->setCharSet(&st, i, CharsetWin1252);
            builder->setScale(&st, i, 0);
        }
        Owned<IMessageMetadata> metadata(builder->getMetadata(&st));
        buffer.assign(metadata->getMessageLength(&st), 0);
        for (unsigned i = 0; i < count; ++i) {
            auto* isNull = reinterpret_cast<short*>(&buffer[metadata->getNullOffset(&st, i)]);
            unsigned char* field = &buffer[metadata->getOffset(&st, i)];
            *isNull = params[i] ? 0 : -1;
            if (params[i]) {
                auto length = static_cast<unsigned short>(params[i]->size());
                std::memcpy(field, &length, sizeof length);
                std::memcpy(field + sizeof length, params[i]->data(), length);
            }
        }
        return metadata;
    }
};

Connection::Connection(ConnectionSettings settings)
    : settings_(std::move(settings)), impl_(std::make_unique<Impl>()) {}

Connection::~Connection() {
    try {
        close();
    } catch (...) {
        // Nothing can be reported from a destructor; the server drops the attachment anyway.
    }
}

void Connection::setSettings(ConnectionSettings settings) {
    close();
    if (settings.clientLibrary != settings_.clientLibrary && impl_->master) {
        impl_->status.reset();
        impl_->master = nullptr;
    }
    settings_ = std::move(settings);
}

bool Connection::connected() const {
    return static_cast<bool>(impl_->attachment);
}

void Connection::open() {
    if (connected()) {
        return;
    }
    impl_->load(settings_.clientLibrary);
    impl_->answerTimeout = settings_.answerTimeoutSeconds;
    ThrowStatusWrapper st(impl_->status.get());
    try {
        Owned<Firebird::IXpbBuilder> dpb(impl_->master->getUtilInterface()->getXpbBuilder(
            &st, Firebird::IXpbBuilder::DPB, nullptr, 0));
        dpb->insertString(&st, isc_dpb_user_name, settings_.userName.c_str());
        dpb->insertString(&st, isc_dpb_password, settings_.password.c_str());
        if (!settings_.roleName.empty()) {
            dpb->insertString(&st, isc_dpb_sql_role_name, settings_.roleName.c_str());
        }
        dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
        dpb->insertInt(&st, isc_dpb_sql_dialect, settings_.sqlDialect);
        dpb->insertInt(&st, isc_dpb_connect_timeout, settings_.answerTimeoutSeconds);
        Owned<Firebird::IProvider> provider(impl_->master->getDispatcher());
        impl_->attachment = Owned<Firebird::IAttachment>(provider->attachDatabase(
            &st, settings_.database.c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st)));
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::close() {
    if (!impl_->attachment) {
        return;
    }
    ThrowStatusWrapper st(impl_->status.get());
    Impl::Watched watched(*impl_);
    try {
        if (impl_->transaction) {
            impl_->transaction->rollback(&st);
            impl_->transaction.forget();
        }
        impl_->attachment->detach(&st);
        impl_->attachment.forget();
    } catch (const FbException& error) {
        // A broken link cannot be detached cleanly; drop our side of it.
        impl_->dropLink();
        impl_->fail(error);
    }
}

std::string Connection::plan(const std::string& sql) {
    open();
    ThrowStatusWrapper st(impl_->status.get());
    Impl::Watched watched(*impl_);
    try {
        Impl::StatementTransaction transaction(*impl_, st, settings_.lockTimeoutSeconds);
        Owned<Firebird::IStatement> statement(
            impl_->attachment->prepare(&st, transaction.get(), 0, sql.c_str(),
                                       static_cast<unsigned>(settings_.sqlDialect), 0));
        const char* text = statement->getPlan(&st, false);
        std::string result = text ? text : "";
        statement->free(&st);
        statement.forget();
        transaction.commit(st);
        return result;
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::select(const std::string& sql, const std::vector<Value>& params, RowSink& sink) {
    open();
    ThrowStatusWrapper st(impl_->status.get());
    Impl::Watched watched(*impl_);
    try {
        Impl::StatementTransaction transaction(*impl_, st, settings_.lockTimeoutSeconds);
        Owned<Firebird::IStatement> statement(impl_->attachment->prepare(
            &st, transaction.get(), 0, sql.c_str(), static_cast<unsigned>(settings_.sqlDialect),
            Firebird::IStatement::PREPARE_PREFETCH_METADATA));
        std::vector<unsigned char> input;
        Owned<IMessageMetadata> inMeta = impl_->bindText(st, statement.get(), params, input);
        Owned<IMessageMetadata> outMeta(statement->getOutputMetadata(&st));

        unsigned count = outMeta->getCount(&st);
        std::vector<Column> columns(count);
        struct Layout {
            unsigned type, offset, nullOffset;
            int scale;
        };
        std::vector<Layout> layout(count);
        for (unsigned i = 0; i < count; ++i) {
            Column& column = columns[i];
            Layout& place = layout[i];
            column.name = outMeta->getAlias(&st, i);
            place.type = outMeta->getType(&st, i) & ~1u;
            place.scale = outMeta->getScale(&st, i);
            place.offset = outMeta->getOffset(&st, i);
            place.nullOffset = outMeta->getNullOffset(&st, i);
            column.required = !outMeta->isNullable(&st, i);
            switch (place.type) {
            case SQL_VARYING:
            case SQL_TEXT:
                column.type = ColumnType::Text;
                column.width = static_cast<int>(outMeta->getLength(&st, i)) /
                               BytesPerCharacter(outMeta->getCharSet(&st, i));
                break;
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64:
                column.type = place.scale < 0 ? ColumnType::Decimal : ColumnType::Integer;
                column.scale = -place.scale;
                column.width = 20;
                break;
            default:
                throw DatabaseError("Column " + column.name +
                                    " has a type this program cannot hold");
            }
        }
        sink.columns(columns);

        std::vector<unsigned char> row(outMeta->getMessageLength(&st));
        std::vector<std::string_view> values(count);
        std::unique_ptr<bool[]> nulls(new bool[count]);
        std::vector<char> numbers(count * 24);
        Owned<Firebird::IResultSet> cursor(statement->openCursor(
            &st, transaction.get(), inMeta.get(), input.data(), outMeta.get(), 0));
        while (cursor->fetchNext(&st, row.data()) == Firebird::IStatus::RESULT_OK) {
            for (unsigned i = 0; i < count; ++i) {
                const Layout& place = layout[i];
                nulls[i] = *reinterpret_cast<const short*>(&row[place.nullOffset]) != 0;
                const unsigned char* field = &row[place.offset];
                if (nulls[i]) {
                    values[i] = {};
                    continue;
                }
                std::int64_t number = 0;
                switch (place.type) {
                case SQL_VARYING: {
                    unsigned short length;
                    std::memcpy(&length, field, sizeof length);
                    values[i] = {reinterpret_cast<const char*>(field + 2), length};
                    continue;
                }
                case SQL_TEXT:
                    values[i] = {reinterpret_cast<const char*>(field),
                                 static_cast<std::size_t>(columns[i].width)};
                    continue;
                case SQL_SHORT: {
                    std::int16_t v;
                    std::memcpy(&v, field, sizeof v);
                    number = v;
                    break;
                }
                case SQL_LONG: {
                    std::int32_t v;
                    std::memcpy(&v, field, sizeof v);
                    number = v;
                    break;
                }
                default:
                    std::memcpy(&number, field, sizeof number);
                    break;
                }
                values[i] = ScaledToText(number, -place.scale, &numbers[i * 24]);
            }
            sink.row(values.data(), nulls.get());
        }
        cursor->close(&st);
        cursor.forget();
        transaction.commit(st);
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::CreateDatabase(const ConnectionSettings& settings) {
    Firebird::IMaster* master = LoadFirebirdClient(settings.clientLibrary);
    Owned<Firebird::IStatus> status(master->getStatus());
    ThrowStatusWrapper st(status.get());
    try {
        Owned<Firebird::IXpbBuilder> dpb(
            master->getUtilInterface()->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0));
        dpb->insertString(&st, isc_dpb_user_name, settings.userName.c_str());
        dpb->insertString(&st, isc_dpb_password, settings.password.c_str());
        dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
        dpb->insertInt(&st, isc_dpb_sql_dialect, settings.sqlDialect);
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
        Owned<Firebird::IProvider> provider(master->getDispatcher());
        Owned<Firebird::IAttachment> created(provider->createDatabase(
            &st, settings.database.c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st)));
        created->detach(&st);
        created.forget();
    } catch (const FbException& error) {
        throw DatabaseError(FormatStatus(master, error.getStatus()));
    }
}

bool Connection::inTransaction() const {
    return static_cast<bool>(impl_->transaction);
}

void Connection::startTransaction() {
    open();
    if (impl_->transaction) {
        return;
    }
    ThrowStatusWrapper st(impl_->status.get());
    Impl::Watched watched(*impl_);
    try {
        impl_->transaction =
            Owned<Firebird::ITransaction>(impl_->begin(st, settings_.lockTimeoutSeconds));
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::commit() {
    if (!impl_->transaction) {
        return;
    }
    ThrowStatusWrapper st(impl_->status.get());
    Impl::Watched watched(*impl_);
    try {
        impl_->transaction->commit(&st);
        impl_->transaction.forget();
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::rollback() {
    if (!impl_->transaction) {
        return;
    }
    ThrowStatusWrapper st(impl_->status.get());
    Impl::Watched watched(*impl_);
    try {
        impl_->transaction->rollback(&st);
        impl_->transaction.forget();
    } catch (const FbException& error) {
        impl_->transaction.reset();
        impl_->fail(error);
    }
}

std::int64_t Connection::execute(const std::string& sql, const std::vector<Value>& params) {
    if (!impl_->transaction) {
        throw DatabaseError("No transaction is active for: " + sql);
    }
    ThrowStatusWrapper st(impl_->status.get());
    Impl::Watched watched(*impl_);
    const auto started = std::chrono::steady_clock::now();
    try {
        Owned<Firebird::IStatement> statement(
            impl_->attachment->prepare(&st, impl_->transaction.get(), 0, sql.c_str(),
                                       static_cast<unsigned>(settings_.sqlDialect), 0));
        std::vector<unsigned char> input;
        Owned<IMessageMetadata> inMeta = impl_->bindText(st, statement.get(), params, input);
        statement->execute(&st, impl_->transaction.get(), inMeta.get(), input.data(), nullptr,
                           nullptr);
        return static_cast<std::int64_t>(statement->getAffectedRecords(&st));
    } catch (const FbException& error) {
        try {
            impl_->fail(error);
        } catch (const DatabaseError& refused) {
            // A wait that ran out and a change committed meanwhile by the other transaction are
            // reported alike; only the first one took the whole lock timeout.
            const auto waited = std::chrono::steady_clock::now() - started;
            // The server counts the timeout in whole seconds of its own clock: it may end a
            // little early.
            if (refused.refusal() == Refusal::UpdateConflict &&
                waited >= std::chrono::seconds(settings_.lockTimeoutSeconds) * 3 / 4) {
                throw DatabaseError(refused.what(), false, Refusal::LockTimeout);
            }
            throw;
        }
    }
}

struct Connection::Prepared::Statement {
    Owned<Firebird::IStatement> statement;
};

Connection::Prepared::Prepared(Connection& connection, std::unique_ptr<Statement> statement)
    : connection_(connection), statement_(std::move(statement)) {}

Connection::Prepared::~Prepared() = default;

std::unique_ptr<Connection::Prepared> Connection::prepare(const std::string& sql) {
    if (!impl_->transaction) {
        throw DatabaseError("No transaction is active for: " + sql);
    }
    ThrowStatusWrapper st(impl_->status.get());
    try {
        auto statement = std::make_unique<Prepared::Statement>();
        statement->statement = Owned<Firebird::IStatement>(
            impl_->attachment->prepare(&st, impl_->transaction.get(), 0, sql.c_str(),
                                       static_cast<unsigned>(settings_.sqlDialect), 0));
        return std::unique_ptr<Prepared>(new Prepared(*this, std::move(statement)));
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

std::int64_t Connection::Prepared::execute(const std::vector<Value>& params) {
    Impl& impl = *connection_.impl_;
    if (!impl.transaction) {
        throw DatabaseError("No transaction is active for a prepared statement");
    }
    ThrowStatusWrapper st(impl.status.get());
    try {
        std::vector<unsigned char> input;
        Owned<IMessageMetadata> inMeta =
            impl.bindText(st, statement_->statement.get(), params, input);
        statement_->statement->execute(&st, impl.transaction.get(), inMeta.get(), input.data(),
                                       nullptr, nullptr);
        return static_cast<std::int64_t>(statement_->statement->getAffectedRecords(&st));
    } catch (const FbException& error) {
        impl.fail(error);
    }
}

} // namespace olvendra::data
