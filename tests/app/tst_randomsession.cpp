#include "clock.h"
#include "errorrecorder.h"
#include "journal.h"
#include "journalfile.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStackedWidget>

namespace {

// Every line the program writes has one of these forms.
const QRegularExpression kKnownLine(
    QStringLiteral(
        "^(Ведеться история расчетов программы \"Мерилон 3\""
        "|Выбрано:  .+|Перемещение: .+"
        "|Сохранение по запросу\\.История расчетов сохранена\\. Дата \\S+ время сохранения: \\S+"
        "|Файл создан и сохранен в папке data/\\S+\\.txt"
        "|Итоги произведенного расчета:|Условия расчета:|Необходимые материалы:"
        "|Итоги расчета: необходимо материалов:|Окраска в один слой|Окраска в два слоя"
        "|Произведен расчет: .+|Выбранный тип плитки: .+"
        "|Итого плитки: \\S+ шт\\. на площади \\S+ кв\\. метров"
        "|Объем подстилающего слоя: .* куб\\. метр\\(ов\\)"
        "|Площадь конструкций: .* - ед\\.изм\\.\\( 100 м2 ворот \\)"
        "|Размеры площадки: .* x .* м"
        "|[^:]+: (-?\\d+(,\\d+)?(E-?\\d+)?|—|0,00))$"),
    QRegularExpression::DotMatchesEverythingOption);

const char *const kComputeButtons[] = {"BitBtn9", "BitBtn2", "BitBtn4", "BitBtn6",
                                       "Button1", "Button5", "Button3", "Label36"};
const char *const kClearButtons[] = {"BitBtn8", "BitBtn1", "BitBtn3", "BitBtn5",
                                     "Button2", "Button6", "Button4"};
const char *const kTools[] = {"ToolButton1", "ToolButton8", "ToolButton9"};

} // namespace

// A long session of random operations through the real window. The seed is fixed and
// printed with any failure, so a failing session can be replayed.
class RandomSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void randomOperationsKeepTheJournalSound();

private:
    QString randomText(QRandomGenerator &random) const;
    QWidget *visibleOf(const QStringList &names, QRandomGenerator &random) const;

    std::unique_ptr<WindowDriver> m_driver;
};

QString RandomSessionTest::randomText(QRandomGenerator &random) const
{
    static const QStringList pieces{"0",  "1",    "7",    "12",    ",",     ".",     "-", "+",
                                    " ",  "E",    "e",    "E5000", "E-499", "1E300", "Ж", "ё",
                                    "\t", "\x01", "9999", ",5",    "1E10",  "abc",   "Я1"};
    if (random.bounded(200) == 0)
        return QString(10000, QChar(u'0' + random.bounded(10)));
    QString text;
    for (int n = random.bounded(5); n >= 0; --n)
        text += pieces.at(random.bounded(pieces.size()));
    return text;
}

QWidget *RandomSessionTest::visibleOf(const QStringList &names, QRandomGenerator &random) const
{
    QList<QWidget *> visible;
    for (const QString &name : names) {
        QWidget *widget = m_driver->window().findChild<QWidget *>(name);
        if (widget && widget->isVisible())
            visible.append(widget);
    }
    return visible.isEmpty() ? nullptr : visible.at(random.bounded(visible.size()));
}

void RandomSessionTest::randomOperationsKeepTheJournalSound()
{
    const quint32 seed = qEnvironmentVariableIsSet("MERILON_SEED")
                             ? quint32(qEnvironmentVariableIntValue("MERILON_SEED"))
                             : 20261207u;
    const int operations = qEnvironmentVariableIsSet("MERILON_RANDOM_OPERATIONS")
                               ? qEnvironmentVariableIntValue("MERILON_RANDOM_OPERATIONS")
                               : 20000;
    QRandomGenerator random(seed);
    ErrorRecorder errors;
    m_driver = std::make_unique<WindowDriver>();
    TForm1 &window = m_driver->window();
    QStringList seen = m_driver->journal();
    const QString where = QStringLiteral("seed %1").arg(seed);

    for (int step = 0; step < operations; ++step) {
        const QString at = where + QStringLiteral(", step %1").arg(step);
        switch (random.bounded(10)) {
        case 0:
            m_driver->clickNode(random.bounded(Catalogue::kPlaceCount));
            break;
        case 1:
            QTest::keyClick(window.catalogue(), random.bounded(2) ? Qt::Key_Down : Qt::Key_Up);
            break;
        case 2:
            m_driver->click(QString::fromLatin1(kTools[random.bounded(3)]));
            break;
        case 3:
        case 4: {
            QList<QLineEdit *> fields;
            for (QLineEdit *field : m_driver->visiblePage()->findChildren<QLineEdit *>())
                if (!field->isReadOnly())
                    fields.append(field);
            if (fields.isEmpty())
                break;
            QLineEdit *field = fields.at(random.bounded(fields.size()));
            if (random.bounded(4) == 0) {
                m_driver->click(field); // empties the fields that clear on click
            } else {
                field->selectAll();
                field->insert(randomText(random));
            }
            break;
        }
        case 5:
        case 6:
            if (QWidget *button =
                    visibleOf({std::begin(kComputeButtons), std::end(kComputeButtons)}, random))
                m_driver->click(button);
            break;
        case 7:
            if (QWidget *button =
                    visibleOf({std::begin(kClearButtons), std::end(kClearButtons)}, random))
                m_driver->click(button);
            break;
        case 8: {
            const QList<QAbstractButton *> choices =
                m_driver->visiblePage()->findChildren<QAbstractButton *>(
                    QRegularExpression(QStringLiteral("^RadioGroup\\d_\\d$")));
            if (!choices.isEmpty())
                m_driver->click(choices.at(random.bounded(choices.size())));
            break;
        }
        case 9:
            if (random.bounded(20) == 0) {
                m_driver->click(QStringLiteral("ToolButton4"));
                const QStringList lines = m_driver->journal();
                QFile file(QStringLiteral("data/") + window.clock().dateText() +
                           QStringLiteral(".txt"));
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(at));
                QVERIFY2(file.readAll() == journalfile::encode(lines.mid(0, lines.size() - 1)),
                         qPrintable(at));
            }
            break;
        }

        QVERIFY2(!QApplication::activeModalWidget(), qPrintable(at));
        const QStringList &lines = window.journal().lines();
        QVERIFY2(lines.size() >= seen.size(), qPrintable(at));
        for (qsizetype i = seen.size(); i < lines.size(); ++i)
            QVERIFY2(kKnownLine.match(lines.at(i)).hasMatch(), qPrintable(at + u' ' + lines.at(i)));
        if (step % 1000 == 0)
            QVERIFY2(lines.mid(0, seen.size()) == seen, qPrintable(at));
        seen = lines;
    }
    for (const QString &message : errors.messages())
        QVERIFY2(message == u"Floating point overflow." ||
                     message.endsWith(u"is not a valid floating point value."),
                 qPrintable(where + u' ' + message));
    // The session must have reached the pages' computations and their failures.
    QVERIFY2(seen.count(QStringLiteral("Итоги произведенного расчета:")) > 0, qPrintable(where));
    QVERIFY2(seen.filter(QStringLiteral("Итого плитки: ")).size() > 0, qPrintable(where));
    QVERIFY2(!errors.messages().isEmpty(), qPrintable(where));
    m_driver.reset();
}

QTEST_MAIN(RandomSessionTest)
#include "tst_randomsession.moc"
