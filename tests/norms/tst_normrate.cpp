#include "normrate.h"

#include <QTest>

// A norm's resource as the rate of a page's row: per one unit of the row's work, in the row's
// unit, or refused with the reason the row shows.
class NormRateTest : public QObject
{
    Q_OBJECT

private slots:
    void ratePerUnitOfTheRow_data();
    void ratePerUnitOfTheRow();
};

void NormRateTest::ratePerUnitOfTheRow_data()
{
    QTest::addColumn<QString>("measure");
    QTest::addColumn<int>("resource"); // 0: nails in т, 1: labour, 2: a mix «по проекту»
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("material");
    QTest::addColumn<double>("perUnit");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("tonnes per 100 m3 to kilograms per m3") << "100 м3" << 0 << "м3"
                                                           << "кг" << 0.05 << "";
    QTest::newRow("a hectare holds 10 000 m2") << "1 га" << 0 << "м2"
                                               << "т" << 0.005 / 10000 << "";
    QTest::newRow("measure of another unit")
        << "1 т" << 0 << "м3"
        << "кг" << 0.0
        << "измеритель нормы «1 т» — не м3: расход на 1 м3 бетона из нее не получить";
    QTest::newRow("labour") << "100 м3" << 1 << "м3"
                            << "кг" << 0.0 << "«Затраты труда (всего)» — не материал";
    QTest::newRow("by the project") << "100 м3" << 2 << "м3"
                                    << "м3" << 0.0
                                    << "расход ресурса «Смеси бетонные» — по проекту, в норме его "
                                       "нет";
    QTest::newRow("units that do not convert")
        << "100 м3" << 0 << "м3"
        << "м2" << 0.0 << "ресурс «Гвозди» измеряется в «т», а строка — в «м2»; перевести нельзя";
}

void NormRateTest::ratePerUnitOfTheRow()
{
    QFETCH(QString, measure);
    QFETCH(int, resource);
    QFETCH(QString, work);
    QFETCH(QString, material);
    QFETCH(double, perUnit);
    QFETCH(QString, refusal);
    norms::Norm norm;
    norm.measure = measure;
    norm.resources = {norms::storedLine(QStringLiteral("01.7.15.06-0111"), QStringLiteral("Гвозди"),
                                        QStringLiteral("т"), std::nullopt),
                      norms::storedLine(QStringLiteral("1"), QString(), QString(), std::nullopt),
                      norms::storedLine(QStringLiteral("04.1.02.05"),
                                        QStringLiteral("Смеси бетонные"), QStringLiteral("м3"),
                                        std::nullopt)};
    norm.resources[0].rate = 0.005;
    norm.resources[1].rate = 180;
    const normrate::Rate rate =
        normrate::rateOf(norm, resource, {work, work + QStringLiteral(" бетона"), material});
    QCOMPARE(rate.refusal, refusal);
    QCOMPARE(double(rate.perUnit), perUnit);
}

QTEST_GUILESS_MAIN(NormRateTest)
#include "tst_normrate.moc"
