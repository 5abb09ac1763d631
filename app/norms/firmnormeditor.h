#pragma once

#include "firmnorm.h"
#include "rateeditions.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// A firm norm as the user writes it: code, name, measure, source, work content and resource
// lines. Each field says beside itself what is wrong while it is typed, and saving waits until
// nothing is; closing with changes asks whether to save them.
class FirmNormEditor : public QDialog
{
    Q_OBJECT

public:
    // Whether another firm norm, a deleted one too, has the code.
    using CodeTaken = std::function<bool(const QString &code)>;
    // Saves the draft; false when that failed and was reported, which keeps the editor open.
    using Save = std::function<bool(const norms::firm::Draft &draft)>;

    // The references to the overhead and profit norms are chosen among the items of tables.
    FirmNormEditor(const norms::firm::Draft &draft, CodeTaken codeTaken, Save save,
                   QWidget *parent = nullptr, const norms::rates::Tables &tables = {});

    // The draft as the fields have it now.
    norms::firm::Draft draft() const;
    bool isChanged() const { return draft() != m_initial; }

public slots:
    void accept() override;
    void reject() override;

private:
    void fillResources(const QList<norms::NormResource> &resources);
    void fillReasons(const QList<norms::Reason> &reasons, const norms::rates::Tables &tables);
    void addResource();
    void removeResource();
    // Every field's reason afresh; saving is enabled when there is none.
    void check();
    bool showProblems(const norms::firm::Draft &draft);
    bool codeTaken(const QString &code);

    CodeTaken m_codeTaken;
    Save m_save;
    norms::firm::Draft m_initial;
    QString m_origin;
    bool m_checking = false;
    // The last code asked of the base, and its answer.
    std::optional<QString> m_checkedCode;
    bool m_checkedTaken = false;

    QLineEdit *m_code = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_measure = nullptr;
    QLineEdit *m_source = nullptr;
    QPlainTextEdit *m_content = nullptr;
    QTableWidget *m_resources = nullptr;
    QComboBox *m_reasons = nullptr;
    QLabel *m_codeProblem = nullptr;
    QLabel *m_nameProblem = nullptr;
    QLabel *m_measureProblem = nullptr;
    QLabel *m_sourceProblem = nullptr;
    QLabel *m_resourcesProblem = nullptr;
    QPushButton *m_removeResource = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
