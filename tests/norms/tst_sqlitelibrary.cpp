#include "sqlite.h"

#include <QTest>

#include <sqlite3.h>

// The SQLite the norm base is linked with: Debian's library on Linux, a static build of the same
// source on Windows. Both must offer what the norm search relies on.
class SqliteLibraryTest : public QObject
{
    Q_OBJECT

private slots:
    void libraryIsTheHeadersVersionAndThreadSafe();
    void searchIgnoresTheCaseOfRussianWords_data();
    void searchIgnoresTheCaseOfRussianWords();
};

void SqliteLibraryTest::libraryIsTheHeadersVersionAndThreadSafe()
{
    QCOMPARE(sqlite3_libversion_number(), SQLITE_VERSION_NUMBER);
    QCOMPARE(QByteArray(sqlite3_sourceid()), QByteArray(SQLITE_SOURCE_ID));
    QCOMPARE(sqlite3_threadsafe(), 1);
}

void SqliteLibraryTest::searchIgnoresTheCaseOfRussianWords_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("found");
    QTest::newRow("lower case finds a capital")
        << QStringLiteral("гвозди") << QStringLiteral("Гвозди строительные");
    QTest::newRow("capitals find lower case")
        << QStringLiteral("БЕТОННОЙ") << QStringLiteral("Устройство бетонной подготовки");
    QTest::newRow("word beginning")
        << QStringLiteral("строит*") << QStringLiteral("Гвозди строительные");
    QTest::newRow("no such word") << QStringLiteral("кирпич") << QString();
}

void SqliteLibraryTest::searchIgnoresTheCaseOfRussianWords()
{
    QFETCH(QString, query);
    QFETCH(QString, found);
    norms::sql::Connection db(QStringLiteral(":memory:"));
    db.execute("CREATE VIRTUAL TABLE names USING fts5(name)");
    norms::sql::Statement insert(db.handle(), "INSERT INTO names VALUES (?)");
    for (const QString &name : {QStringLiteral("Устройство бетонной подготовки"),
                                QStringLiteral("Гвозди строительные")}) {
        insert.bind(1, name).run();
    }
    norms::sql::Statement search(db.handle(), "SELECT name FROM names WHERE names MATCH ?");
    search.bind(1, query);
    QStringList names;
    while (search.next())
        names << search.text(0);
    QCOMPARE(names, found.isEmpty() ? QStringList() : QStringList{found});
}

QTEST_GUILESS_MAIN(SqliteLibraryTest)
#include "tst_sqlitelibrary.moc"
