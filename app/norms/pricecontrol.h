#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class NormBase;
class QAction;
class QProgressDialog;
class QThread;
class QWidget;

// «Загрузить сметные цены региона...»: reads the region's price lists into the norm base on a
// worker thread behind a progress dialog with Cancel, as the norm import does.
class PriceControl : public QObject
{
    Q_OBJECT

public:
    // owner gives the window the dialogs and the messages belong to.
    PriceControl(NormBase &base, std::function<QWidget *()> owner, QObject *parent);
    ~PriceControl() override;

    QAction *importAction() const { return m_import; }
    void chooseAndImport();
    void importFiles(const QStringList &files);
    bool isImporting() const { return m_thread != nullptr; }
    // Tests answer the file dialog.
    void setFileChooser(std::function<QStringList()> choose) { m_chooseFiles = std::move(choose); }

signals:
    // An import ended: done (the summary) or cancelled (what to say); a refusal goes to the
    // error report itself.
    void finished(bool done, const QString &text);

private:
    void finishImport();

    NormBase &m_base;
    std::function<QWidget *()> m_owner;
    QAction *m_import;
    std::function<QStringList()> m_chooseFiles;
    struct Run;
    std::shared_ptr<Run> m_run;
    QThread *m_thread = nullptr;
    QProgressDialog *m_progress = nullptr;
};
