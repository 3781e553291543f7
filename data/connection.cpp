#include "connection.h"

#include "errors.h"
#include "fb_client.h"
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

// Releases a Firebird reference-counted interface at scope exit.
template <typename T> struct Released {
    T* object = nullptr;
    ~Released() {
        if (object)
            object->release();
    }
};

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
        if (thread_.joinable())
            thread_.join();
    }

    void arm(Firebird::IMaster* master, Firebird::IAttachment* attachment, int seconds) {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable())
            thread_ = std::thread([this] { watch(); });
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
                std::chrono::steady_clock::now() < *deadline_)
                continue;
            deadline_.reset();
            if (target_) {
                Firebird::CheckStatusWrapper status(master_->getStatus());
                target_->cancelOperation(&status, fb_cancel_abort);
                status.dispose();
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
    Firebird::IStatus* status = nullptr;
    Firebird::IAttachment* attachment = nullptr;
    Firebird::ITransaction* transaction = nullptr;
    Watchdog watchdog;
    int answerTimeout = 20;

    ~Impl() {
        if (status)
            status->dispose();
    }

    // Bounds the server's answer to the calls made while it lives.
    struct Watched {
        Impl& impl;
        explicit Watched(Impl& i) : impl(i) {
            if (impl.attachment)
                impl.watchdog.arm(impl.master, impl.attachment, impl.answerTimeout);
        }
        ~Watched() { impl.watchdog.disarm(); }
    };

    [[noreturn]] void fail(const FbException& error) {
        const ISC_STATUS* vector = error.getStatus()->getErrors();
        std::string message = FormatStatus(master, error.getStatus());
        const bool lost = LinkFailed(vector);
        if (lost)
            dropLink();
        throw DatabaseError(message, lost, RefusalOf(vector));
    }

    // Forgets a broken attachment without talking to the server, which has dropped it anyway.
    void dropLink() {
        watchdog.disarm();
        if (transaction)
            transaction->release();
        transaction = nullptr;
        if (attachment)
            attachment->release();
        attachment = nullptr;
    }

    static bool Has(const ISC_STATUS* vector, ISC_STATUS code) {
        for (const ISC_STATUS* item = vector; *item != isc_arg_end;
             item += *item == isc_arg_cstring ? 3 : 2)
            if (item[0] == isc_arg_gds && item[1] == code)
                return true;
        return false;
    }

    static Refusal RefusalOf(const ISC_STATUS* vector) {
        if (Has(vector, isc_lock_timeout))
            return Refusal::LockTimeout;
        if (Has(vector, isc_update_conflict))
            return Refusal::UpdateConflict;
        if (Has(vector, isc_unique_key_violation) || Has(vector, isc_no_dup))
            return Refusal::Duplicate;
        return Refusal::Other;
    }

    // Whether a status vector reports a broken link rather than a refused statement.
    static bool LinkFailed(const ISC_STATUS* vector) {
        for (const ISC_STATUS* item = vector; *item != isc_arg_end;
             item += *item == isc_arg_cstring ? 3 : 2) {
            if (item[0] != isc_arg_gds)
                continue;
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
            status = master->getStatus();
        }
    }

    Firebird::ITransaction* begin(ThrowStatusWrapper& st, int lockTimeout) {
        Firebird::IXpbBuilder* tpb =
            master->getUtilInterface()->getXpbBuilder(&st, Firebird::IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&st, isc_tpb_read_committed);
        tpb->insertTag(&st, isc_tpb_rec_version);
        tpb->insertTag(&st, isc_tpb_wait);
        tpb->insertInt(&st, isc_tpb_lock_timeout, lockTimeout);
        tpb->insertTag(&st, isc_tpb_write);
        Firebird::ITransaction* started =
            attachment->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
        tpb->dispose();
        return started;
    }

    // Describes every parameter as nullable text in WIN1252 and fills the message buffer.
    IMessageMetadata* bindText(ThrowStatusWrapper& st, Firebird::IStatement* statement,
                               const std::vector<Value>& params,
                               std::vector<unsigned char>& buffer) {
        Released<IMessageMetadata> described{statement->getInputMetadata(&st)};
        unsigned count = described.object->getCount(&st);
        if (count != params.size())
            throw DatabaseError("The statement takes " + std::to_string(count) + " parameters, " +
                                std::to_string(params.size()) + " were given");
        Released<Firebird::IMetadataBuilder> builder{described.object->getBuilder(&st)};
        for (unsigned i = 0; i < count; ++i) {
            builder.object->setType(&st, i, SQL_VARYING + 1);
            std::size_t length = params[i] ? params[i]->size() : 0;
            builder.object->setLength(&st, i, static_cast<unsigned>(length == 0 ? 1 : length));
            builder.object->setCharSet(&st, i, CharsetWin1252);
            builder.object->setScale(&st, i, 0);
        }
        IMessageMetadata* metadata = builder.object->getMetadata(&st);
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
        impl_->status->dispose();
        impl_->status = nullptr;
        impl_->master = nullptr;
    }
    settings_ = std::move(settings);
}

bool Connection::connected() const {
    return impl_->attachment != nullptr;
}

void Connection::open() {
    if (connected())
        return;
    impl_->load(settings_.clientLibrary);
    impl_->answerTimeout = settings_.answerTimeoutSeconds;
    ThrowStatusWrapper st(impl_->status);
    try {
        Firebird::IXpbBuilder* dpb = impl_->master->getUtilInterface()->getXpbBuilder(
            &st, Firebird::IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, settings_.userName.c_str());
        dpb->insertString(&st, isc_dpb_password, settings_.password.c_str());
        if (!settings_.roleName.empty())
            dpb->insertString(&st, isc_dpb_sql_role_name, settings_.roleName.c_str());
        dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
        dpb->insertInt(&st, isc_dpb_sql_dialect, settings_.sqlDialect);
        dpb->insertInt(&st, isc_dpb_connect_timeout, settings_.answerTimeoutSeconds);
        Released<Firebird::IProvider> provider{impl_->master->getDispatcher()};
        impl_->attachment = provider.object->attachDatabase(
            &st, settings_.database.c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
        dpb->dispose();
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::close() {
    if (!impl_->attachment)
        return;
    ThrowStatusWrapper st(impl_->status);
    Impl::Watched watched(*impl_);
    try {
        if (impl_->transaction) {
            impl_->transaction->rollback(&st);
            impl_->transaction = nullptr;
        }
        impl_->attachment->detach(&st);
        impl_->attachment = nullptr;
    } catch (const FbException& error) {
        // A broken link cannot be detached cleanly; drop our side of it.
        impl_->dropLink();
        impl_->fail(error);
    }
}

std::string Connection::plan(const std::string& sql) {
    open();
    ThrowStatusWrapper st(impl_->status);
    Impl::Watched watched(*impl_);
    Firebird::ITransaction* own = nullptr;
    try {
        Firebird::ITransaction* transaction = impl_->transaction;
        if (!transaction)
            transaction = own = impl_->begin(st, settings_.lockTimeoutSeconds);
        Released<Firebird::IStatement> statement{impl_->attachment->prepare(
            &st, transaction, 0, sql.c_str(), static_cast<unsigned>(settings_.sqlDialect), 0)};
        const char* text = statement.object->getPlan(&st, false);
        std::string result = text ? text : "";
        statement.object->free(&st);
        statement.object = nullptr;
        if (own)
            own->commit(&st);
        return result;
    } catch (const FbException& error) {
        if (own) {
            Firebird::CheckStatusWrapper quiet(impl_->master->getStatus());
            own->rollback(&quiet);
            quiet.dispose();
        }
        impl_->fail(error);
    }
}

void Connection::select(const std::string& sql, const std::vector<Value>& params, RowSink& sink) {
    open();
    ThrowStatusWrapper st(impl_->status);
    Impl::Watched watched(*impl_);
    Firebird::ITransaction* own = nullptr;
    try {
        Firebird::ITransaction* transaction = impl_->transaction;
        if (!transaction)
            transaction = own = impl_->begin(st, settings_.lockTimeoutSeconds);
        Released<Firebird::IStatement> statement{impl_->attachment->prepare(
            &st, transaction, 0, sql.c_str(), static_cast<unsigned>(settings_.sqlDialect),
            Firebird::IStatement::PREPARE_PREFETCH_METADATA)};
        std::vector<unsigned char> input;
        Released<IMessageMetadata> inMeta{impl_->bindText(st, statement.object, params, input)};
        Released<IMessageMetadata> outMeta{statement.object->getOutputMetadata(&st)};

        unsigned count = outMeta.object->getCount(&st);
        std::vector<Column> columns(count);
        struct Layout {
            unsigned type, offset, nullOffset;
            int scale;
        };
        std::vector<Layout> layout(count);
        for (unsigned i = 0; i < count; ++i) {
            Column& column = columns[i];
            Layout& place = layout[i];
            column.name = outMeta.object->getAlias(&st, i);
            place.type = outMeta.object->getType(&st, i) & ~1u;
            place.scale = outMeta.object->getScale(&st, i);
            place.offset = outMeta.object->getOffset(&st, i);
            place.nullOffset = outMeta.object->getNullOffset(&st, i);
            column.required = !outMeta.object->isNullable(&st, i);
            switch (place.type) {
            case SQL_VARYING:
            case SQL_TEXT:
                column.type = ColumnType::Text;
                column.width = static_cast<int>(outMeta.object->getLength(&st, i)) /
                               BytesPerCharacter(outMeta.object->getCharSet(&st, i));
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

        std::vector<unsigned char> row(outMeta.object->getMessageLength(&st));
        std::vector<std::string_view> values(count);
        std::unique_ptr<bool[]> nulls(new bool[count]);
        std::vector<char> numbers(count * 24);
        Released<Firebird::IResultSet> cursor{statement.object->openCursor(
            &st, transaction, inMeta.object, input.data(), outMeta.object, 0)};
        while (cursor.object->fetchNext(&st, row.data()) == Firebird::IStatus::RESULT_OK) {
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
        cursor.object->close(&st);
        cursor.object = nullptr;
        if (own)
            own->commit(&st);
    } catch (const FbException& error) {
        if (own) {
            Firebird::CheckStatusWrapper quiet(impl_->master->getStatus());
            own->rollback(&quiet);
            quiet.dispose();
        }
        impl_->fail(error);
    } catch (...) {
        if (own) {
            Firebird::CheckStatusWrapper quiet(impl_->master->getStatus());
            own->rollback(&quiet);
            quiet.dispose();
        }
        throw;
    }
}

void Connection::CreateDatabase(const ConnectionSettings& settings) {
    Firebird::IMaster* master = LoadFirebirdClient(settings.clientLibrary);
    Firebird::IStatus* status = master->getStatus();
    ThrowStatusWrapper st(status);
    try {
        Firebird::IXpbBuilder* dpb =
            master->getUtilInterface()->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, settings.userName.c_str());
        dpb->insertString(&st, isc_dpb_password, settings.password.c_str());
        dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
        dpb->insertInt(&st, isc_dpb_sql_dialect, settings.sqlDialect);
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
        Released<Firebird::IProvider> provider{master->getDispatcher()};
        Firebird::IAttachment* created = provider.object->createDatabase(
            &st, settings.database.c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
        dpb->dispose();
        created->detach(&st);
        status->dispose();
    } catch (const FbException& error) {
        std::string message = FormatStatus(master, error.getStatus());
        status->dispose();
        throw DatabaseError(message);
    }
}

bool Connection::inTransaction() const {
    return impl_->transaction != nullptr;
}

void Connection::startTransaction() {
    open();
    if (impl_->transaction)
        return;
    ThrowStatusWrapper st(impl_->status);
    Impl::Watched watched(*impl_);
    try {
        impl_->transaction = impl_->begin(st, settings_.lockTimeoutSeconds);
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::commit() {
    if (!impl_->transaction)
        return;
    ThrowStatusWrapper st(impl_->status);
    Impl::Watched watched(*impl_);
    try {
        impl_->transaction->commit(&st);
        impl_->transaction = nullptr;
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

void Connection::rollback() {
    if (!impl_->transaction)
        return;
    ThrowStatusWrapper st(impl_->status);
    Impl::Watched watched(*impl_);
    try {
        impl_->transaction->rollback(&st);
        impl_->transaction = nullptr;
    } catch (const FbException& error) {
        if (impl_->transaction)
            impl_->transaction->release();
        impl_->transaction = nullptr;
        impl_->fail(error);
    }
}

std::int64_t Connection::execute(const std::string& sql, const std::vector<Value>& params) {
    if (!impl_->transaction)
        throw DatabaseError("No transaction is active for: " + sql);
    ThrowStatusWrapper st(impl_->status);
    Impl::Watched watched(*impl_);
    const auto started = std::chrono::steady_clock::now();
    try {
        Released<Firebird::IStatement> statement{
            impl_->attachment->prepare(&st, impl_->transaction, 0, sql.c_str(),
                                       static_cast<unsigned>(settings_.sqlDialect), 0)};
        std::vector<unsigned char> input;
        Released<IMessageMetadata> inMeta{impl_->bindText(st, statement.object, params, input)};
        statement.object->execute(&st, impl_->transaction, inMeta.object, input.data(), nullptr,
                                  nullptr);
        return static_cast<std::int64_t>(statement.object->getAffectedRecords(&st));
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
                waited >= std::chrono::seconds(settings_.lockTimeoutSeconds) * 3 / 4)
                throw DatabaseError(refused.what(), false, Refusal::LockTimeout);
            throw;
        }
    }
}

struct Connection::Prepared::Statement {
    Firebird::IStatement* statement = nullptr;
};

Connection::Prepared::Prepared(Connection& connection, std::unique_ptr<Statement> statement)
    : connection_(connection), statement_(std::move(statement)) {}

Connection::Prepared::~Prepared() {
    statement_->statement->release();
}

std::unique_ptr<Connection::Prepared> Connection::prepare(const std::string& sql) {
    if (!impl_->transaction)
        throw DatabaseError("No transaction is active for: " + sql);
    ThrowStatusWrapper st(impl_->status);
    try {
        auto statement = std::make_unique<Prepared::Statement>();
        statement->statement =
            impl_->attachment->prepare(&st, impl_->transaction, 0, sql.c_str(),
                                       static_cast<unsigned>(settings_.sqlDialect), 0);
        return std::unique_ptr<Prepared>(new Prepared(*this, std::move(statement)));
    } catch (const FbException& error) {
        impl_->fail(error);
    }
}

std::int64_t Connection::Prepared::execute(const std::vector<Value>& params) {
    Impl& impl = *connection_.impl_;
    if (!impl.transaction)
        throw DatabaseError("No transaction is active for a prepared statement");
    ThrowStatusWrapper st(impl.status);
    try {
        std::vector<unsigned char> input;
        Released<IMessageMetadata> inMeta{impl.bindText(st, statement_->statement, params, input)};
        statement_->statement->execute(&st, impl.transaction, inMeta.object, input.data(), nullptr,
                                       nullptr);
        return static_cast<std::int64_t>(statement_->statement->getAffectedRecords(&st));
    } catch (const FbException& error) {
        impl.fail(error);
    }
}

} // namespace olvendra::data
