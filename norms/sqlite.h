#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A thin layer over SQLite's C API: a connection that closes itself, statements that finalise
// themselves, and failures as exceptions carrying SQLite's code and message.
namespace norms::sql {

struct Failure
{
    int code = 0; // SQLite's primary result code
    QString message;
};

class Statement
{
public:
    Statement(sqlite3 *db, const char *text);
    Statement(sqlite3 *db, const QString &text);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement(Statement &&other) noexcept;

    Statement &bind(int index, const QString &value) { return bind(index, QStringView(value)); }
    // The text stays in a buffer of the statement's own until the next bind of that parameter,
    // which the next row reuses, so that binding many rows allocates nothing.
    Statement &bind(int index, QStringView value);
    Statement &bind(int index, qint64 value);
    Statement &bind(int index, int value) { return bind(index, qint64{value}); }
    Statement &bind(int index, double value);
    Statement &bind(int index, std::optional<double> value);
    Statement &bindNull(int index);
    // Text already in UTF-8, copied by SQLite.
    Statement &bindUtf8(int index, QByteArrayView value);

    // Steps once; true while a row is there to read.
    bool next();
    // Steps to the end, for statements that return nothing.
    void run();
    void reset();

    QString text(int column) const;
    // The text as SQLite keeps it, valid until the next step: read without converting.
    QByteArrayView utf8(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    std::vector<QByteArray> m_texts; // by parameter index - 1
};

class Connection
{
public:
    // Opens or creates the file; throws a Failure when it cannot.
    explicit Connection(const QString &path, bool readOnly = false);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return m_db; }
    void execute(const char *sql);
    qint64 lastInsertId() const;

private:
    sqlite3 *m_db = nullptr;
};

// Throws the connection's last failure.
[[noreturn]] void fail(sqlite3 *db, int code);

// A write transaction that rolls back unless committed: what it wrote is seen by others only
// whole. Opened inside another, it is a savepoint of that one, so a step that keeps itself whole
// can also be part of a larger whole.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    void commit();

private:
    Connection &m_connection;
    bool m_open = true;
    bool m_nested = false;
};

} // namespace norms::sql
