// The test list of a sequence and the texts built from a sequence row, by tables.
#include "platform/vb/Locale.h"
#include "station/SequenceTestList.h"
#include <gtest/gtest.h>

namespace {
// A list from the slots' types ("R" response, "P" polarity, "S" sine, "" unknown).
TestList listOf(const QStringList& iTypes) {
    TestList l{TestListEntry{}};
    for (int i = 0; i < iTypes.size(); ++i) {
        const QString& t = iTypes[i];
        const QString type = t == "R" ? "Response" : t == "P" ? "Polarity" : t == "S" ? "Sine" : t;
        l.append(TestListEntry{QStringLiteral("T%1").arg(i + 1), type});
    }
    return l;
}

TEST(SequenceTestList, NextResponseTestAfterASlot) {
    struct Case {
        QStringList types;
        int16_t from;
        int16_t next;
    };
    const Case cases[] = {
        {{}, 0, 0},                                  // no tests
        {{"S", "R", "P", "S", "R"}, 0, 2},           // responses in 2 and 5
        {{"S", "R", "P", "S", "R"}, 2, 5},
        {{"S", "R", "P", "S", "R"}, 5, 0},           // at the end
        {{"S", "R", "P", "S", "R"}, 9, 0},           // past the end
        {{"P", "S"}, 0, 0},                          // none
        {{"R"}, 0, 1},
        {{"", "R"}, 0, 2},                           // an unknown type is no response
    };
    for (const Case& c : cases)
        EXPECT_EQ(nextRespTest(listOf(c.types), c.from), c.next) << c.types.join(',').toStdString() << " " << c.from;
}

TEST(SequenceTestList, SummaryAndFirstPolarityTest) {
    struct Case {
        QStringList types;
        int16_t lastResp;
        int16_t respCount;
        QString firstPolarity;
    };
    QStringList sixteen;
    for (int i = 0; i < 15; ++i) sixteen << "R";
    sixteen << "P";
    const Case cases[] = {
        {{}, 0, 0, ""},
        {{"S", "R", "P", "S", "R"}, 5, 2, "T3"},
        {{"P", "P"}, 0, 0, "T1"},
        {{"S", ""}, 0, 0, ""},
        {sixteen, 15, 15, "T16"},
    };
    for (const Case& c : cases) {
        const TestList l = listOf(c.types);
        const RespSummary s = respSummary(l);
        EXPECT_EQ(s.nLastRespSlot, c.lastResp) << c.types.join(',').toStdString();
        EXPECT_EQ(s.nRespTestCount, c.respCount) << c.types.join(',').toStdString();
        EXPECT_EQ(polarityFirstInSeq(l), c.firstPolarity) << c.types.join(',').toStdString();
    }
}

TEST(SequenceTestList, LabelTexts) {
    userlocale::setUser(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(refSearchLabel(0.0f), "");
    EXPECT_EQ(refSearchLabel(-1.0f), "");
    EXPECT_EQ(refSearchLabel(1.5f), "Ref Search (dB) 1.50");
    EXPECT_EQ(selectionLabel(0.0f), "Selection (dB) 0.00");
    EXPECT_EQ(selectionLabel(12.345f), "Selection (dB) 12.35");
    EXPECT_EQ(stationLabel("Line 2"), "Station:  Line 2");
    userlocale::resetUser();
}

TEST(SequenceTestList, TheCardLabelIsTheSummarysSecondLine) {
    const struct {
        const char* info;
        const char* label;
    } cases[] = {
        {"Wave In/Out\r\nVexo Test Jig\r\n44100 Hz", "Vexo Test Jig"},
        {"Wave In/Out\nCard B\n", "Card B"},
        {"Wave In/Out\r\nLast line", "Last line"},
        {"One line only", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(cardLabelFromInfo(QString::fromUtf8(c.info)), c.label) << c.info;
}
}
