#include "sqlite.h"

#include <sqlite3.h>

#include <QStringEncoder>

#include <utility>

namespace norms::sql {

void fail(sqlite3 *db, int code)
{
    throw Failure{code & 0xff, db ? QString::fromUtf8(sqlite3_errmsg(db))
                                  : QString::fromUtf8(sqlite3_errstr(code))};
}

namespace {

void check(sqlite3 *db, int code)
{
    if (code != SQLITE_OK)
        fail(db, code);
}

} // namespace

Statement::Statement(sqlite3 *db, const char *text) : m_db(db)
{
    check(db, sqlite3_prepare_v2(db, text, -1, &m_statement, nullptr));
}

Statement::Statement(sqlite3 *db, const QString &text) : Statement(db, text.toUtf8().constData()) {}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

Statement::Statement(Statement &&other) noexcept
    : m_db(other.m_db), m_statement(std::exchange(other.m_statement, nullptr)),
      m_texts(std::move(other.m_texts))
{
}

Statement &Statement::bindUtf8(int index, QByteArrayView value)
{
    check(m_db,
          sqlite3_bind_text(m_statement, index, value.data(), int(value.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement &Statement::bind(int index, QStringView value)
{
    if (index < 1)
        fail(m_db, SQLITE_RANGE);
    const auto slot = std::size_t(index - 1);
    if (m_texts.size() <= slot)
        m_texts.resize(slot + 1);
    QByteArray &buffer = m_texts[slot];
    // UTF-8 takes at most three bytes for each UTF-16 unit; a smaller size keeps the room.
    buffer.resize(value.size() * 3 + 1);
    QStringEncoder encoder(QStringEncoder::Utf8);
    const char *end = encoder.appendToBuffer(buffer.data(), value);
    check(m_db, sqlite3_bind_text(m_statement, index, buffer.constData(),
                                  int(end - buffer.constData()), SQLITE_STATIC));
    return *this;
}

Statement &Statement::bind(int index, qint64 value)
{
    check(m_db, sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

Statement &Statement::bind(int index, double value)
{
    check(m_db, sqlite3_bind_double(m_statement, index, value));
    return *this;
}

Statement &Statement::bind(int index, std::optional<double> value)
{
    return value ? bind(index, *value) : bindNull(index);
}

Statement &Statement::bindNull(int index)
{
    check(m_db, sqlite3_bind_null(m_statement, index));
    return *this;
}

bool Statement::next()
{
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement);
    fail(m_db, code);
}

void Statement::run()
{
    while (next()) {
    }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

QByteArrayView Statement::utf8(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QByteArrayView(data, sqlite3_column_bytes(m_statement, column));
}

QString Statement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

Connection::Connection(const QString &path, bool readOnly)
{
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int code =
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        Failure failure{code & 0xff, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                          : QString::fromUtf8(sqlite3_errstr(code))};
        sqlite3_close(m_db);
        throw failure;
    }
    sqlite3_extended_result_codes(m_db, 0);
    // A second program importing holds the write lock for the whole import; readers never wait
    // in WAL mode, and a writer waits for the other one a while before it gives up.
    sqlite3_busy_timeout(m_db, 10'000);
}

Connection::~Connection()
{
    sqlite3_close(m_db);
}

void Connection::execute(const char *sql)
{
    char *message = nullptr;
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    if (code != SQLITE_OK) {
        Failure failure{code & 0xff, QString::fromUtf8(message ? message : sqlite3_errstr(code))};
        sqlite3_free(message);
        throw failure;
    }
}

qint64 Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

Transaction::Transaction(Connection &connection)
    : m_connection(connection), m_nested(sqlite3_get_autocommit(connection.handle()) == 0)
{
    // Taking the write lock at once keeps a second writer from failing half way.
    m_connection.execute(m_nested ? "SAVEPOINT nested" : "BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    sqlite3 *db = m_connection.handle();
    if (m_nested) {
        sqlite3_exec(db, "ROLLBACK TO nested", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE nested", nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit()
{
    m_connection.execute(m_nested ? "RELEASE nested" : "COMMIT");
    m_open = false;
}

} // namespace norms::sql
