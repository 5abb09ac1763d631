#pragma once

#include "firmnorm.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

// A firm norm's versions, newest first: when, who and what changed; the chosen version's source
// and resources below, and a way back to it.
class FirmHistoryView : public QDialog
{
    Q_OBJECT

public:
    FirmHistoryView(const QString &code, QWidget *parent = nullptr);

    // Oldest first, as the store gives them.
    void setHistory(const QList<norms::firm::Version> &history);

signals:
    // «Восстановить эту версию»: a new version equal to the one numbered.
    void restoreRequested(int number);

private:
    void showVersion();

    QList<norms::firm::Version> m_history;
    QTreeWidget *m_versions;
    QLabel *m_source;
    QTreeWidget *m_resources;
    QPushButton *m_restore;
};
