// The production report's arithmetic: the stored time texts, the percentages
// and the summary line, and the counts of a day kept equal to what the rows
// written for it read back as.
#include "station/ProductionMath.h"
#include "tests/support/StationTest.h"

using namespace prodmath;

namespace {
class ProductionMathTest : public StationTest {};

constexpr double kDay = 46000.0;          // a day of the station's calendar
constexpr double kMinute = 1.0 / 1440.0;

// Reads rows as the station does: the day's rows from the earliest on.
ProductionTally read(const std::vector<ProductionRow>& iRows, const QString& isSeq, double idNow,
                     ProductionTally iTally = {}) {
    iTally.beginRead();
    for (const ProductionRow& r : iRows) iTally.addRow(r, isSeq, idNow);
    iTally.endRead(idNow);
    return iTally;
}
}

TEST_F(ProductionMathTest, PercentagesFitTheirFourPlaces) {
    struct Case {
        float ratio;
        const char* text;
    } cases[] = {
        {0.0f, "0%"},      {0.05f, "5.0%"},  {1.0f / 12.0f, "8.3%"}, {0.0004f, "0.0%"}, {0.25f, "25%"},
        {1.0f, "100%"},    {0.1f, "10%"},
        {20.0f / 201.0f, "10%"},   // 9.95%: one decimal would round to the five places of "10.0%"
        {0.0999f, "10%"},  {0.0994f, "9.9%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(percentText(c.ratio), c.text) << c.ratio;
        EXPECT_LE(percentText(c.ratio).size(), 4) << c.ratio;
    }
    EXPECT_EQ(rightAligned(QStringLiteral("12"), 5), "   12");
    EXPECT_EQ(rightAligned(QStringLiteral("123456"), 5), "123456");
}

TEST_F(ProductionMathTest, TheSummaryLineAheadOfTheMeanTime) {
    struct Case {
        int16_t unitsToday, failsToday, unitsSeq, failsSeq;
        const char* head;
    } cases[] = {
        {0, 0, 0, 0, "Total    0    0  Fail   0%   0%    "},
        {12, 1, 7, 0, "Total   12    7  Fail 8.3%   0%    "},
        {20, 1, 20, 1, "Total   20   20  Fail 5.0% 5.0%    "},
        {3, 3, 3, 3, "Total    3    3  Fail 100% 100%    "},
        {201, 20, 201, 20, "Total  201  201  Fail  10%  10%    "},
        {9, 1, 0, 0, "Total    9    0  Fail  11%   0%    "},
        {32767, 0, 32767, 0, "Total3276732767  Fail   0%   0%    "},   // five places exactly
    };
    for (const Case& c : cases) {
        ProductionTally t;
        t.mnUnitsToday = c.unitsToday;
        t.mnFailsToday = c.failsToday;
        t.mnUnitsSeq = c.unitsSeq;
        t.mnFailsSeq = c.failsSeq;
        EXPECT_EQ(t.summaryHead().toStdString(), c.head);
    }
}

TEST_F(ProductionMathTest, StoredTimesUseTheLocaleDecimalAndReadBackEitherWay) {
    EXPECT_EQ(dayText(kDay + 0.5), "46000.500000");
    EXPECT_EQ(dayText(10.0 * kMinute), "00000.006944");
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(dayText(kDay + 0.25), "46000,250000");
    EXPECT_DOUBLE_EQ(dayValue(QStringLiteral("46000,250000")), kDay + 0.25);
    EXPECT_DOUBLE_EQ(dayValue(QStringLiteral("46000.250000")), kDay + 0.25);
    EXPECT_EQ(errorOf([] { dayValue(QStringLiteral("yesterday")); }), vberr::kTypeMismatch);
    EXPECT_EQ(errorOf([] { dayValue(QString()); }), vberr::kTypeMismatch);
    EXPECT_EQ(countValue(QStringLiteral("17")), 17);
    EXPECT_EQ(countValue(QStringLiteral(" 3.0")), 3);   // not as the station writes it, still a count
    EXPECT_EQ(countValue(QStringLiteral("2,5")), 2);
    EXPECT_EQ(errorOf([] { countValue(QStringLiteral("40000")); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([] { countValue(QStringLiteral("many")); }), vberr::kTypeMismatch);
    EXPECT_TRUE(sameDay(kDay + 0.01, kDay + 0.99));
    EXPECT_FALSE(sameDay(kDay - 0.01, kDay + 0.01));
}

TEST_F(ProductionMathTest, ADayReadsOnlyItsOwnRowsAndTheSequencesShare) {
    const std::vector<ProductionRow> rows{
        {QStringLiteral("Alpha"), kDay - 0.5, kDay - 0.4, 0.0, 50, 5},   // yesterday
        {QStringLiteral("Alpha  "), kDay + 0.30, kDay + 0.31, 0.0, 4, 1},
        {QStringLiteral("Beta"), kDay + 0.32, kDay + 0.33, 0.005, 8, 0},
    };
    const ProductionTally t = read(rows, QStringLiteral("Alpha"), kDay + 0.5);
    EXPECT_EQ(t.mnUnitsToday, 12);
    EXPECT_EQ(t.mnFailsToday, 1);
    EXPECT_EQ(t.mnUnitsSeq, 4);   // the stored name's trailing blanks do not count
    EXPECT_EQ(t.mnFailsSeq, 1);
    EXPECT_NEAR(t.mdRunTotal, 0.01 + 0.005, 1e-9);
    EXPECT_NEAR(t.mdMeanPerUnit, 0.015 / 12, 1e-9);

    // Only yesterday's rows: nothing today, and no division by zero.
    const ProductionTally y = read({rows[0]}, QStringLiteral("Alpha"), kDay + 0.5);
    EXPECT_EQ(y.summaryHead().toStdString(), "Total    0    0  Fail   0%   0%    ");
    EXPECT_EQ(y.mdMeanPerUnit, 0.0);
}

TEST_F(ProductionMathTest, EveryWriteStartsANewPeriodSoTheTotalsEqualAFreshRead) {
    std::vector<ProductionRow> table;
    ProductionTally t = read(table, QStringLiteral("Alpha"), kDay + 0.3);
    // Units of two sequences, each written after it is counted.
    struct Unit {
        const char* seq;
        double minutesLater;
        bool failed;
    } units[] = {{"Alpha", 1.0, false}, {"Alpha", 1.5, true}, {"Alpha", 0.7, false},
                 {"Beta", 2.0, false},  {"Beta", 1.2, true},  {"Alpha", 3.0, false}};
    double now = kDay + 0.3;
    QString current = QStringLiteral("Alpha");
    for (const Unit& u : units) {
        if (current != QLatin1String(u.seq)) {
            current = QLatin1String(u.seq);
            t = read(table, current, now, t);   // a sequence change reads again
        }
        now += u.minutesLater * kMinute;
        t.count(u.failed, now);
        ProductionRow row;
        ASSERT_TRUE(t.periodRow(now, current, row));
        EXPECT_EQ(row.nUnits, 1);   // the period's earlier units are not repeated
        EXPECT_EQ(row.nFails, u.failed ? 1 : 0);
        table.push_back(row);
        t.rowWritten(row);
        // A write with nothing new counted adds no row.
        EXPECT_FALSE(t.periodRow(now + kMinute, current, row));

        const ProductionTally fresh = read(table, current, now);
        EXPECT_EQ(t.summaryHead(), fresh.summaryHead());
        EXPECT_EQ(t.mdRunTotal, fresh.mdRunTotal);
        EXPECT_EQ(t.mdMeanPerUnit, fresh.mdMeanPerUnit);
        EXPECT_GT(t.mdMeanPerUnit, 0.0);
    }
    EXPECT_EQ(t.summaryHead().toStdString(), "Total    6    4  Fail  33%  25%    ");
}

TEST_F(ProductionMathTest, AnOpenPauseSurvivesReadsAndEmptyWritesAndIsBookedOnce) {
    double now = kDay + 0.4;
    ProductionTally t = read({}, QStringLiteral("Alpha"), now);
    t.pauseOpen(now);                              // the engineer logs in
    now += 2 * kMinute;
    t = read({}, QStringLiteral("Alpha"), now, t); // re-selecting the sequence
    ProductionRow row;
    EXPECT_FALSE(t.periodRow(now, QStringLiteral("Alpha"), row));   // a unit tested in engineer mode
    now += 10 * kMinute;
    t.pauseClose(now);                             // the next log-in
    EXPECT_NEAR(t.mdPauseTotal, 10 * kMinute, 1e-9);
    now += kMinute;
    t.count(false, now);
    ASSERT_TRUE(t.periodRow(now, QStringLiteral("Alpha"), row));
    EXPECT_NEAR(row.dPause * 1440.0, 10.0, 0.01);
    EXPECT_NEAR(rowWorkingTime(row) * 1440.0, 1.0, 0.01);
    t.rowWritten(row);
    EXPECT_EQ(t.mdPauseTotal, 0.0);
    EXPECT_GT(t.mdMeanPerUnit, 0.0);

    // Closing without an open pause books nothing (never the whole calendar).
    t.pauseClose(now + kMinute);
    EXPECT_EQ(t.mdPauseTotal, 0.0);

    // A pause still open at a write is booked up to it and goes on from there.
    t.count(false, now + 2 * kMinute);
    t.pauseOpen(now + 2 * kMinute);
    ASSERT_TRUE(t.periodRow(now + 5 * kMinute, QStringLiteral("Alpha"), row));
    EXPECT_NEAR(row.dPause * 1440.0, 3.0, 0.01);
    t.rowWritten(row);
    t.pauseClose(now + 6 * kMinute);
    EXPECT_NEAR(t.mdPauseTotal * 1440.0, 1.0, 0.01);
}

TEST_F(ProductionMathTest, CountsPast32767Overflow) {
    ProductionTally t;
    t.mnUnitsToday = 32767;
    EXPECT_EQ(errorOf([&] { t.count(false, kDay); }), vberr::kOverflow);
    ProductionTally r;
    const std::vector<ProductionRow> rows{{QStringLiteral("A"), kDay, kDay, 0, 32767, 0},
                                          {QStringLiteral("A"), kDay, kDay, 0, 1, 0}};
    EXPECT_EQ(errorOf([&] { read(rows, QStringLiteral("A"), kDay); }), vberr::kOverflow);
}
