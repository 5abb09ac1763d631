#include "journal.h"

const QString &Journal::firstLine()
{
    static const QString line = QStringLiteral("Ведеться история расчетов программы \"Мерилон 3\"");
    return line;
}

Journal::Journal(QObject *parent) : QObject(parent)
{
    m_lines.append(firstLine());
}

void Journal::append(const QString &line)
{
    m_lines.append(line);
    emit lineAppended(line);
}
