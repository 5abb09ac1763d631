#pragma once

#include "rateeditions.h"

#include <QWidget>

#include <functional>

class NormBase;
class QLabel;
class QLineEdit;
class QTreeWidget;

// The window «Нормативы НР и СП»: the overhead and profit norms by type of work side by side,
// with the editions they come from, found by item or by words of the name; a newer edition is
// loaded from a CSV of the same columns into the norm base, where it is then the one in use.
class RateTablesWindow : public QWidget
{
    Q_OBJECT

public:
    RateTablesWindow(NormBase &base, QWidget *parent = nullptr);

    // Asks for the file, then loads the edition in it.
    void chooseAndLoad();
    // Loads an edition from a CSV file; a refused one is reported and changes nothing.
    void load(const QString &path);
    // Tests name the file.
    void setFileChooser(std::function<QString()> choose) { m_chooseFile = std::move(choose); }

private:
    void reload();
    void filter(const QString &text);

    NormBase &m_base;
    norms::rates::Tables m_tables;
    std::function<QString()> m_chooseFile;
    QLineEdit *m_search = nullptr;
    QLabel *m_editions = nullptr;
    QTreeWidget *m_rows = nullptr;
};
