#include "normbase.h"

#include "firmbook.h"

#include <QFileInfo>

NormBase::NormBase(QString path, QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_firmBook(new FirmBook(*this, this))
{
}

NormBase::~NormBase() = default;

norms::NormDatabase *NormBase::database()
{
    if (!m_tried) {
        m_tried = true;
        // Looking makes nothing: the file, and the data folder it lives in, are an import's to
        // make.
        if (!QFileInfo::exists(m_path))
            return nullptr;
        norms::NormDatabase::Opened opened = norms::NormDatabase::open(m_path);
        m_database = std::move(opened.database);
        m_refusal = opened.refusal;
    }
    return m_database.get();
}

norms::NormDatabase *NormBase::databaseToWrite()
{
    if (norms::NormDatabase *known = database())
        return known;
    if (!m_refusal.isEmpty())
        return nullptr;
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(m_path);
    m_database = std::move(opened.database);
    m_refusal = opened.refusal;
    return m_database.get();
}

bool NormBase::hasNorms()
{
    norms::NormDatabase *base = database();
    if (!base)
        return false;
    try {
        return base->hasNorms();
    } catch (const norms::sql::Failure &failure) {
        m_refusal = norms::failureText(failure, m_path);
        return false;
    }
}

void NormBase::reopen()
{
    m_database.reset();
    m_refusal.clear();
    m_tried = false;
    emit changed();
}
