#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class BillBook;
class QWidget;

// The bill's file commands with the usual document rules: «Сохранить» writes to the bill's own
// file once it has one, «Сохранить как» asks for a name, and nothing replaces a bill with
// changes not saved without asking «Сохранить изменения в ведомости?».
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

    BillFiles(BillBook &book, QWidget *dialogParent, QObject *parent = nullptr);

    void setPathChooser(PathChooser chooser) { m_choosePath = std::move(chooser); }
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
    QString choosePath(FileChoice choice) const { return m_choosePath(choice); }

    void newBill();
    void openBill();
    // True once the bill is in its file.
    bool save();
    bool saveAs();
    // Before the bill is closed or replaced: true when it may go (saved, its changes dropped,
    // or nothing to lose), false when the user cancelled or the save failed.
    bool mayCloseBill();

    // The path that is really written for a name chosen: with the suffix. The file dialog asks
    // before it returns an existing file; when the suffix is added here (a dialog of the system
    // may not add it), the question is asked here, for the file that will be written. Empty when
    // the user does not want it replaced.
    static QString pathToWrite(const QString &chosen, const QString &suffix,
                               QWidget *parent = nullptr);

private:
    bool writeTo(const QString &path);

    BillBook &m_book;
    QWidget *m_dialogParent;
    QPointer<QWidget> m_window;
    PathChooser m_choosePath;
    std::function<bool()> m_saveCheck;
    std::function<bool()> m_takeEdits;
};
