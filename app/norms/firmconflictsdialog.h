#pragma once

#include "firmexchange.h"

#include <QDialog>

#include <utility>

class QButtonGroup;

// The firm norms changed here and in a shared file since the last import, the two versions side
// by side, and for each the user's choice; a conflict left unchosen waits for another time.
class FirmConflictsDialog : public QDialog
{
    Q_OBJECT

public:
    FirmConflictsDialog(const QList<norms::firm::Conflict> &conflicts, QWidget *parent = nullptr);

    // The conflicts chosen, by the firm norm's id.
    QList<std::pair<qint64, norms::firm::Choice>> choices() const;

private:
    QList<norms::firm::Conflict> m_conflicts;
    QList<QButtonGroup *> m_groups;
};
