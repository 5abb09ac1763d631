#pragma once

#include "firmnormactions.h"
#include "normcompute.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class Journal;
class NormBase;
class NormWindow;
class RateTablesWindow;
class PriceControl;
class QAction;
class QProgressDialog;
class QThread;
class QWidget;

// The norm base in the main window: «Загрузить базу норм...» imports the published files, and
// «Загрузить базу норм из папки...» a whole unpacked edition, on a worker thread behind a
// progress dialog with Cancel; «Расчет по нормам...» shows the window
// «Нормы», whose computations go on to the bill; «Экспорт фирменных норм...» writes the firm's
// own norms to a file for the others to import; «Загрузить сметные цены региона...» the region's
// price lists.
class NormControl : public QObject
{
    Q_OBJECT

public:
    NormControl(QWidget &mainWindow, Journal &journal, const QString &databasePath);
    ~NormControl() override;

    QAction *importAction() const { return m_import; }
    QAction *importFolderAction() const { return m_importFolder; }
    QAction *showAction() const { return m_show; }
    QAction *exportAction() const { return m_export; }
    // «Нормативы НР и СП...»: the overhead and profit tables.
    QAction *rateTablesAction() const { return m_rateTables; }
    // Made when first shown.
    RateTablesWindow *rateTablesWindow() const;
    void showRateTables();
    QAction *importPricesAction() const;
    PriceControl &prices() const { return *m_prices; }
    NormBase &base() const { return *m_base; }
    // Made when first shown.
    NormWindow *window() const;

    void showWindow();
    void closeWindow();
    // Asks for the files, then imports them.
    void chooseAndImport();
    // Asks for the folder of an edition, then imports every file in it.
    void chooseFolderAndImport();
    void importFiles(const QStringList &files);
    // Asks for the file, then exports the firm's norms to it.
    void chooseAndExport();
    bool isImporting() const { return m_thread != nullptr; }
    // Tests answer the file dialog.
    void setFileChooser(std::function<QStringList()> choose) { m_chooseFiles = std::move(choose); }
    void setFolderChooser(std::function<QString()> choose) { m_chooseFolder = std::move(choose); }
    // Tests name the export's file, and choose among the conflicts an import leaves.
    void setSaveFileChooser(std::function<QString()> choose)
    {
        m_chooseSaveFile = std::move(choose);
    }
    void setConflictChooser(FirmNormActions::ConflictChooser choose);
    // A command of the main window whose shortcut works in «Нормы» too (the bill's Ctrl+B).
    void shareShortcut(QAction *action);

signals:
    void addToBillRequested(const norms::NormComputation &computation);
    // An import ended: done, cancelled or refused; the summary or the reason.
    void importFinished(bool done, const QString &text);

private:
    void finishImport();
    // The window the dialogs and the messages belong to: «Нормы» while it is open, so that it
    // stays in front after them, else the main window.
    QWidget *owner() const;

    QWidget &m_mainWindow;
    Journal &m_journal;
    NormBase *m_base;
    QAction *m_import;
    QAction *m_importFolder;
    QAction *m_show;
    QAction *m_export;
    QAction *m_rateTables;
    QPointer<NormWindow> m_window;
    QPointer<RateTablesWindow> m_rateTablesWindow;
    PriceControl *m_prices;
    std::function<QStringList()> m_chooseFiles;
    std::function<QString()> m_chooseFolder;
    std::function<QString()> m_chooseSaveFile;
    FirmNormActions::ConflictChooser m_chooseConflicts;
    QList<QAction *> m_shared;

    struct Run;
    std::shared_ptr<Run> m_run;
    QThread *m_thread = nullptr;
    QProgressDialog *m_progress = nullptr;
};
