#include "billrecovery.h"

#include "billbook.h"
#include "billfile.h"
#include "common/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QUuid>

namespace {

const QString kSuffix = QStringLiteral(".merilon-bom-recovery");

QString lockOf(const QString &file)
{
    return file.chopped(kSuffix.size()) + QStringLiteral(".lock");
}

std::optional<BillRecovery::Orphan> readOrphan(const QString &file)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly) || input.size() > billfile::kMaxBytes)
        return std::nullopt;
    const QByteArray path = input.readLine();
    const billfile::Reading reading = billfile::decode(input.readAll());
    if (!path.endsWith('\n') || !reading.bill)
        return std::nullopt;
    return BillRecovery::Orphan{file, QString::fromUtf8(path.chopped(1)),
                                QFileInfo(input).lastModified(), *reading.bill};
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
    return QFileInfo(programSettings()->fileName())
        .absoluteDir()
        .filePath(QStringLiteral("recovery"));
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
    // The bill's own file on the first line (a path holds no line break), then the bill as its
    // file would hold it.
    QString path = m_book.path();
    path.remove(u'\n');
    billfile::writeBytes(path.toUtf8() + '\n' + billfile::encode(m_book.bill()), m_file);
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
