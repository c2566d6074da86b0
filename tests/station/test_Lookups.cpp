// Looking up tests, sequences and calibration rows, and deleting a test, as
// the station and the engineer's editors do.
#include "common/StationRecords.h"
#include "common/frmListGet.h"
#include "common/modVarLookup.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexo.h"
#include "test_editor/frmMETest.h"
#include "tests/support/MainWindowRig.h"

namespace {
class LookupTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        main = &start();
        clearBoxes();
    }
    void TearDown() override {
        endOfScript();
        if (isLoaded<frmMETest>()) unload<frmMETest>();
        MainWindowRig::TearDown();
    }
    void addTest(const QString& iName) { seed::add(seed::ResponseTest{.name = iName}); }
    // A sequence with its calibration rows, as the sequence editor makes them:
    // each row remembers the test of its slot at the last calibration.
    void addSequence(const QString& iName, const QStringList& iSlots) {
        QList<int32_t> levels;
        for (int slot = 1; slot <= 16; ++slot) levels << 1000 + slot;
        seed::add(seed::Sequence{.name = iName, .tests = iSlots, .micLevels = levels, .calTests = iSlots});
    }
    int32_t calAttIn() { return CalibrationRecord(main->dtaSeqCal.Recordset()).AttIn(); }
    frmVexo* main = nullptr;
};

TEST_F(LookupTest, TestNameListInRecordOrderAlsoWhenEmpty) {
    QStringList names{"stale"};
    bool err = false;
    gVarReadTestNameList(names, err);
    EXPECT_FALSE(err);
    EXPECT_EQ(names, QStringList{""});
    EXPECT_TRUE(boxes().isEmpty());

    addTest(QStringLiteral("Sweep"));
    addTest(QStringLiteral("Bob's rattle"));
    addTest(QStringLiteral("Polarity"));
    gVarReadTestNameList(names, err);
    EXPECT_EQ(names, (QStringList{"", "Sweep", "Bob's rattle", "Polarity"}));
}

TEST_F(LookupTest, NoTestsMessage) {
    bool err = false;
    gVarSeqNoTestsMsgBox(QStringLiteral("Woofer 8"), err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Sequence 'Woofer 8' contains No Tests!");
    EXPECT_EQ(boxes()[0].title, "Vexo");
    EXPECT_EQ(boxes()[0].icon, 0);
    EXPECT_EQ(boxes()[0].answers, QList<int>{vbOK});
}

TEST_F(LookupTest, CalibrationRowOfATestIsTheRowOfItsFirstSlot) {
    addSequence(QStringLiteral("Other"), {"A", "B", "C", "D", "E", "F", "G", "H", "Sweep"});
    addSequence(QStringLiteral("Bob's box"), {"A", "Sweep", "C", "D", "E", "F", "Sweep"});
    addSequence(QStringLiteral("Nine"), {"A", "B", "C", "D", "E", "F", "G", "H", "Sweep  "});
    bool err = false;
    gVarSetSeqCalTestName(QStringLiteral("Bob's box"), QStringLiteral("Sweep"), err);
    EXPECT_FALSE(err);
    EXPECT_EQ(calAttIn(), 1002);
    EXPECT_EQ(CalibrationRecord(main->dtaSeqCal.Recordset()).Seq_Name(), "Bob's box");
    gVarSetSeqCalTestName(QStringLiteral("Nine"), QStringLiteral("Sweep"), err);   // trailing blanks are trimmed
    EXPECT_FALSE(err);
    EXPECT_EQ(calAttIn(), 1009);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(LookupTest, AMissingCalibrationRowIsAnErrorNotAnotherSequencesRow) {
    addSequence(QStringLiteral("Other"), {"Sweep"});
    bool err = false;
    answer({vbAbort, vbNo});
    gVarSetSeqCal00(QStringLiteral("Lost"), 1, err);
    EXPECT_TRUE(err);
    ASSERT_GE(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Source: modVarLookup.gVarSetSeqCal00.20\r\n\r\n"
                                 "Calibration row of sequence 'Lost' not found in vexo_seq_cal01");
    EXPECT_EQ(boxes()[0].defaultAnswer, vbIgnore);

    // Answered with its default (Ignore) the error still stops the caller.
    clearBoxes();
    err = false;
    answer({vbIgnore});
    gVarSetSeqCal00(QStringLiteral("Lost"), 2, err);
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_TRUE(err);

    // A test in none of the sequence's slots is reported, not left on slot 16.
    clearBoxes();
    err = false;
    answer({vbAbort, vbNo});
    gVarSetSeqCalTestName(QStringLiteral("Other"), QStringLiteral("Nowhere"), err);
    EXPECT_TRUE(err);
    ASSERT_GE(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.endsWith("Calibration row of test 'Nowhere' not found in sequence 'Other'"));
    err = false;
    answer({vbAbort, vbNo});
    gVarSetSeqCalTestName(QStringLiteral("Other"), QStringLiteral("Nowhere"), err);
    EXPECT_TRUE(err);
}

TEST_F(LookupTest, DeletingATestWhicheverWayIsOpen) {
    addTest(QStringLiteral("Sweep"));
    addTest(QStringLiteral("O'Brien"));
    addTest(QStringLiteral("Sine"));
    main->dtaTest.Refresh();
    bool err = false;
    gVarTestDelete(QStringLiteral("O'Brien"), err);
    EXPECT_FALSE(err);
    EXPECT_EQ(main->dtaTest.Recordset().RecordCount(), 2);   // the main window sees it at once

    answer({vbOK});
    gVarTestDelete(QStringLiteral("Missing"), err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Test 'Missing' not found");
    EXPECT_EQ(boxes()[0].title, "Deleting Test");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_EQ(main->dtaTest.Recordset().RecordCount(), 2);

    // A name that differs only in letter case is not the test.
    clearBoxes();
    answer({vbOK});
    gVarTestDelete(QStringLiteral("SINE"), err);
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_EQ(main->dtaTest.Recordset().RecordCount(), 2);

    form<frmMETest>();
    main->gbTraboMETestLoaded = true;
    gVarDeleteTestCrowbar(QStringLiteral("Sine"), err);
    EXPECT_FALSE(err);
    QStringList names;
    gVarReadTestNameList(names, err);
    EXPECT_EQ(names, (QStringList{"", "Sweep"}));
}

TEST_F(LookupTest, ATestUsedBySequencesIsListedOnceWithOneBeep) {
    addSequence(QStringLiteral("Alpha"), {"Sine", "Sweep"});
    addSequence(QStringLiteral("Beta"), {"Sweep"});
    addSequence(QStringLiteral("Gamma"), {" Sweep"});   // a leading blank is another name
    addSequence(QStringLiteral("Delta"), {"A", "B", "Sweep   "});
    QStringList shown;
    QString caption;
    bool okVisible = true;
    int modalShows = 0;
    expectModal<frmListGet>([&](frmListGet& list) {
        ++modalShows;
        caption = list.Caption();
        okVisible = list.cmdOK->isVisible();
        for (int i = 0; i < list.lstList->ListCount(); ++i) shown << list.lstList->List(i);
        list.cmdCancel->click();
    });
    const int beeps = beepCount();
    bool err = false;
    EXPECT_TRUE(gbVarTestInSequences(QStringLiteral("Sweep"), true, err));
    EXPECT_FALSE(err);
    EXPECT_EQ(beepCount() - beeps, 1);
    EXPECT_EQ(modalShows, 1);
    EXPECT_EQ(caption, "Can't Delete!  Test in sequence(s) ...");
    EXPECT_FALSE(okVisible);
    EXPECT_EQ(shown, (QStringList{"Alpha", "Beta", "Delta"}));
    EXPECT_FALSE(isLoaded<frmListGet>());

    EXPECT_TRUE(gbVarTestInSequences(QStringLiteral("Sine"), false, err));
    EXPECT_FALSE(gbVarTestInSequences(QStringLiteral("Unused"), true, err));
    EXPECT_EQ(modalShows, 1);
    EXPECT_EQ(beepCount() - beeps, 1);
    EXPECT_FALSE(err);
}

TEST_F(LookupTest, ANewStationHasNoSequencesUsingAnyTest) {
    bool err = false;
    EXPECT_FALSE(gbVarTestInSequences(QStringLiteral("Sweep"), true, err));
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());
}
}
