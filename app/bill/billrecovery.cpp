#include "billrecovery.h"

#include "billbook.h"
#include "billfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QUuid>

namespace {

const QString kSuffix = QStringLiteral(".merilon-bom-recovery");
const QString kFormat = QStringLiteral("merilon-bom-recovery");

QString lockOf(const QString &file)
{
    return file.chopped(kSuffix.size()) + QStringLiteral(".lock");
}

std::optional<BillRecovery::Orphan> readOrphan(const QString &file)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly) || input.size() > billfile::kMaxBytes)
        return std::nullopt;
    const QJsonObject root = QJsonDocument::fromJson(input.readAll()).object();
    if (root.value(QLatin1String("format")).toString() != kFormat)
        return std::nullopt;
    const billfile::Reading reading =
        billfile::decode(QJsonDocument(root.value(QLatin1String("bill")).toObject()).toJson());
    if (!reading.bill)
        return std::nullopt;
    return BillRecovery::Orphan{
        file, root.value(QLatin1String("path")).toString(),
        QDateTime::fromString(root.value(QLatin1String("written")).toString(), Qt::ISODate),
        *reading.bill};
}

} // namespace

BillRecovery::BillRecovery(BillBook &book, const QString &folder, QObject *parent)
    : QObject(parent), m_book(book), m_folder(folder)
{
    m_file = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + kSuffix);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &BillRecovery::writeNow);
    connect(&book, &BillBook::contentChanged, this, &BillRecovery::schedule);
    connect(&book, &BillBook::documentChanged, this, &BillRecovery::schedule);
}

BillRecovery::~BillRecovery()
{
    removeFile();
}

QString BillRecovery::defaultFolder()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("merilon"),
                             QStringLiteral("merilon"));
    return QFileInfo(settings.fileName()).absoluteDir().filePath(QStringLiteral("recovery"));
}

void BillRecovery::schedule()
{
    m_timer.start();
}

void BillRecovery::writeNow()
{
    m_timer.stop();
    // A bill as its file holds it, or an empty new one, has nothing to lose.
    if (!m_book.isModified() || (m_book.path().isEmpty() && m_book.bill() == bom::Bill{})) {
        removeFile();
        return;
    }
    if (!m_lock) {
        QDir().mkpath(m_folder);
        m_lock = std::make_unique<QLockFile>(lockOf(m_file));
        // Held for the life of the program; without it another start would take this file
        // for a crash's.
        if (!m_lock->tryLock(0)) {
            m_lock.reset();
            return;
        }
    }
    const QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("path"), m_book.path()},
        {QStringLiteral("written"), QDateTime::currentDateTime().toString(Qt::ISODate)},
        {QStringLiteral("bill"),
         QJsonDocument::fromJson(billfile::encode(m_book.bill())).object()}};
    QSaveFile file(m_file);
    if (file.open(QIODevice::WriteOnly))
        file.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
    file.commit();
}

void BillRecovery::removeFile()
{
    m_timer.stop();
    QFile::remove(m_file);
    m_lock.reset();
}

std::optional<BillRecovery::Orphan> BillRecovery::findOrphan() const
{
    std::optional<Orphan> newest;
    const QDir folder(m_folder);
    for (const QFileInfo &info :
         folder.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Time)) {
        const QString file = info.absoluteFilePath();
        if (file == QFileInfo(m_file).absoluteFilePath())
            continue;
        // A lock still held belongs to a program that runs: its bill is its own.
        QLockFile lock(lockOf(file));
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        if (std::optional<Orphan> orphan = readOrphan(file);
            orphan && (!newest || orphan->written > newest->written))
            newest = orphan;
    }
    return newest;
}

void BillRecovery::discard(const Orphan &orphan) const
{
    QFile::remove(orphan.file);
}
