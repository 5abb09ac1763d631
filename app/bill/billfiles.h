#pragma once

#include "vorfile.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <utility>

class BillBook;
class QWidget;

// Every file of the bill, in one place: the bill's own (.merilon-bom), opened and saved with the
// usual document rules, the bill of quantities for expertise (.gge) opened and exported, and the
// exports to CSV, XLSX and PDF and the printout. «Сохранить» writes to the bill's own file once it
// has one, «Сохранить как» asks for a name, and nothing replaces a bill with changes not saved
// without asking «Сохранить изменения в ведомости?». Every box and dialog belongs to the bill's
// window, and every failure is said through the error report.
class BillFiles : public QObject
{
    Q_OBJECT

public:
    enum class FileChoice
    {
        Open,
        Save,
        Xlsx,
        Csv,
        Pdf,
        Vor,    // a bill of quantities for expertise to write
        OpenVor // one to read
    };
    // The path the user chose, empty when cancelled. Tests answer through this.
    using PathChooser = std::function<QString(FileChoice)>;
    // The date and time texts of the printout's heading.
    using HeadingTexts = std::function<std::pair<QString, QString>()>;

    BillFiles(BillBook &book, QWidget *dialogParent, QObject *parent = nullptr);

    void setPathChooser(PathChooser chooser) { m_choosePath = std::move(chooser); }
    void setHeadingTexts(HeadingTexts texts) { m_headingTexts = std::move(texts); }
    // Asked before every save, from a command or from the question before the bill is replaced:
    // false keeps the bill unsaved (the window, while a field shows what the bill cannot hold).
    void setSaveCheck(std::function<bool()> check) { m_saveCheck = std::move(check); }
    // Asked first by every command on the bill's files, and before the bill is closed or the
    // program quits: the window puts what is still being typed (a field's text, an open cell) into
    // the bill; false while a field shows what the bill cannot hold.
    void setPendingEdits(std::function<bool()> take) { m_takeEdits = std::move(take); }
    bool takePendingEdits() { return !m_takeEdits || m_takeEdits(); }
    // Before the bill is written anywhere: what is being typed is taken, and the save check asked.
    bool mayWrite();
    // Whether closing the bill would lose anything, once what is being typed is taken.
    bool hasChanges();
    // The window the file dialogs and the questions belong to: the bill's own once it has one,
    // so that it stays in front of the main window after them.
    void setDialogParent(QWidget *window) { m_window = window; }
    QWidget *dialogParent() const;

    void newBill();
    void openBill();
    void openVor();
    // A bill (.merilon-bom) or a bill of quantities (.gge) given by its path, asking first about
    // unsaved changes; false when it was not opened.
    bool open(const QString &path);
    // True once the bill is in its file.
    bool save();
    bool saveAs();
    // Before the bill is closed or replaced: true when it may go (saved, its changes dropped,
    // or nothing to lose), false when the user cancelled or the save failed.
    bool mayCloseBill();

    void exportCsv();
    void exportXlsx();
    void exportPdf();
    void print();
    // Refused, with what is missing, while the bill lacks what expertise needs.
    void exportVor();

signals:
    // The first gap of a refused export to expertise, for the window to select it.
    void vorGapFound(const vorfile::Gap &gap);

private:
    // Reads a bill file, or a bill of quantities when vor, into the book.
    bool read(const QString &path, bool vor);
    bool writeTo(const QString &path);
    // The path that is really written for a name chosen: with the suffix. The file dialog asks
    // before it returns an existing file; when the suffix is added here (a dialog of the system
    // may not add it), the question is asked here, for the file that will be written. Empty when
    // the user cancelled or does not want it replaced.
    QString pathToWrite(FileChoice choice);
    void report(const QString &failure) const;

    BillBook &m_book;
    QWidget *m_dialogParent;
    QPointer<QWidget> m_window;
    PathChooser m_choosePath;
    HeadingTexts m_headingTexts;
    std::function<bool()> m_saveCheck;
    std::function<bool()> m_takeEdits;
};
