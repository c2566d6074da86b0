// Logging unit curves and reading a model's batch back, through the main
// window's data controls as the station and the supervisor tools use them.
#include "common/modVarCrvFile.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Clock.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexo.h"
#include "tests/support/MainWindowRig.h"

namespace {
class CurveStoreTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        main = &start();
        gsStationName = QStringLiteral("Line 2");
    }
    // A sequence and a response test, made current in the main window.
    void useSequence(const QString& iName, int32_t iSerial, int16_t iPoints) {
        Recordset& seq = main->dtaSeq.Recordset();
        seq.FindFirst(QStringLiteral("Seq_Name = ?"), iName);
        if (seq.NoMatch()) {
            seq.AddNew();
            seq.setField(QStringLiteral("Seq_Name"), iName);
            seq.Update();
            seq.setBookmark(seq.LastModified());
        }
        seq.Edit();
        seq.setField(QStringLiteral("Serial_No"), iSerial);
        seq.Update();
        Recordset& tst = main->dtaTest.Recordset();
        const QString test = QStringLiteral("Resp %1").arg(iPoints);
        tst.FindFirst(QStringLiteral("Test_Name = ?"), test);
        if (tst.NoMatch()) {
            tst.AddNew();
            tst.setField(QStringLiteral("Test_Name"), test);
            tst.setField(QStringLiteral("Test_Type"), QStringLiteral("Response"));
            tst.setField(QStringLiteral("fLo_Hz"), int32_t{45});
            tst.setField(QStringLiteral("fHi_Hz"), int32_t{18000});
            tst.setField(QStringLiteral("Swp_Point"), iPoints);
            tst.Update();
            tst.setBookmark(tst.LastModified());
        }
    }
    void logCurve(float iBase, int16_t iFail = 0) {
        std::vector<float> curve(101, 0.0f);
        for (int p = 1; p <= 100; ++p) curve[p] = iBase + p / 100.0f;
        bool err = false;
        gVarCrvFileWrite(curve, iFail, err);
        ASSERT_FALSE(err);
    }
    frmVexo* main = nullptr;
};

TEST_F(CurveStoreTest, ALoggedCurveHoldsItsPointsAndTheRunsDetails) {
    main->dcboOperator->setText(QStringLiteral("Anne"));
    useSequence(QStringLiteral("Woofer 8"), 1041, 40);
    logCurve(-1.0f, 8);

    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    auto rs = db.OpenRecordset(QStringLiteral("vexo_crv"));
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(CStr(rs->field(QStringLiteral("Model_Name"))), "Woofer 8");
    EXPECT_EQ(CLng(rs->field(QStringLiteral("Serial_Number"))), 1041);
    EXPECT_EQ(CStr(rs->field(QStringLiteral("Station_Name"))), "Line 2");
    EXPECT_EQ(CStr(rs->field(QStringLiteral("Op_Name"))), "Anne");
    EXPECT_EQ(CLng(rs->field(QStringLiteral("Swp_Start_Freq"))), 45);
    EXPECT_EQ(CLng(rs->field(QStringLiteral("Swp_End_Freq"))), 18000);
    EXPECT_EQ(CInt(rs->field(QStringLiteral("Swp_Point"))), 40);
    EXPECT_EQ(CInt(rs->field(QStringLiteral("Fail"))), 8);
    EXPECT_NEAR(CDate(rs->field(QStringLiteral("Date_Code"))), vclock::nowDays(), 1e-6);
    EXPECT_FLOAT_EQ(CSng(rs->field(QStringLiteral("Curve001"))), -0.99f);
    EXPECT_FLOAT_EQ(CSng(rs->field(QStringLiteral("Curve040"))), -0.6f);
    EXPECT_TRUE(rs->field(QStringLiteral("Curve041")).isNull());
    EXPECT_TRUE(rs->field(QStringLiteral("Curve100")).isNull());
}

TEST_F(CurveStoreTest, ABatchReadsOneModelsCurvesInLoggingOrder) {
    useSequence(QStringLiteral("O'Neil 5"), 11, 40);
    logCurve(1.0f);
    useSequence(QStringLiteral("Tweeter"), 900, 40);
    logCurve(9.0f);
    useSequence(QStringLiteral("O'Neil 5"), 12, 40);
    logCurve(2.0f);
    useSequence(QStringLiteral("Typical"), 1, 40);
    logCurve(9.0f);
    useSequence(QStringLiteral("O'Neil 5"), 13, 30);   // a shorter sweep last
    logCurve(3.0f, 4);

    CurveLevels levels;
    std::vector<int32_t> serials;
    int16_t points = 0;
    bool err = false;
    main->lblSerial->setCaption(QStringLiteral("before"));
    EXPECT_EQ(gnVarReadBatch(false, QStringLiteral("O'Neil 5"), levels, serials, points, err), 3);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(serials, (std::vector<int32_t>{0, 11, 12, 13}));
    EXPECT_EQ(points, 30);
    EXPECT_FLOAT_EQ(levels(1, 1), 1.01f);
    EXPECT_FLOAT_EQ(levels(40, 2), 2.4f);
    EXPECT_FLOAT_EQ(levels(30, 3), 3.3f);
    EXPECT_FLOAT_EQ(levels(31, 3), 0.0f);   // each column holds only its own record's points
    EXPECT_EQ(main->lblSerial->Caption(), " Searching ... found serial 13");

    EXPECT_EQ(gnVarReadBatch(true, QStringLiteral("Typical"), levels, serials, points, err), 1);
    EXPECT_EQ(serials, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(main->lblSerial->Caption(), "");
}

TEST_F(CurveStoreTest, ACurveThatCannotBeFilledIsNotStored) {
    useSequence(QStringLiteral("Tweeter"), 5, 40);
    Recordset& tst = main->dtaTest.Recordset();
    tst.Edit();
    tst.setField(QStringLiteral("fLo_Hz"), Variant::null());
    tst.Update();
    std::vector<float> curve(101, 1.0f);
    bool err = false;
    answer({vbIgnore});
    gVarCrvFileWrite(curve, 0, err);
    EXPECT_TRUE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.endsWith("Invalid use of Null"));
    EXPECT_EQ(OpenDatabase(QStringLiteral("Vexo_Crv.mdb")).OpenRecordset(QStringLiteral("vexo_crv"))->RecordCount(), 0);

    // A curve shorter than the test's point count is refused before anything is written.
    useSequence(QStringLiteral("Tweeter"), 5, 60);
    err = false;
    clearBoxes();
    answer({vbIgnore});
    gVarCrvFileWrite(std::vector<float>(41, 1.0f), 0, err);
    EXPECT_TRUE(err);
    EXPECT_EQ(OpenDatabase(QStringLiteral("Vexo_Crv.mdb")).OpenRecordset(QStringLiteral("vexo_crv"))->RecordCount(), 0);
}

TEST_F(CurveStoreTest, AModelWithMoreCurvesThanTheCountHoldsStopsWithAnError) {
    {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
        db.Execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32768) "
                                  "INSERT INTO vexo_crv (Model_Name, Serial_Number, Swp_Point) SELECT 'Big', i, 0 FROM n"));
    }
    main->dtaCurve.Refresh();
    CurveLevels levels;
    std::vector<int32_t> serials;
    int16_t points = 0;
    bool err = false;
    answer({vbAbort, vbNo});
    EXPECT_EQ(gnVarReadBatch(true, QStringLiteral("Big"), levels, serials, points, err), 32767);
    EXPECT_TRUE(err);
    ASSERT_GE(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.endsWith("Overflow"));
    EXPECT_EQ(main->lblSerial->Caption(), "");
}

TEST_F(CurveStoreTest, AModelWithoutCurvesLeavesTheArraysAlone) {
    useSequence(QStringLiteral("Tweeter"), 5, 40);
    logCurve(0.0f);
    CurveLevels levels;
    levels.resize(2);
    levels(1, 2) = 7.0f;
    std::vector<int32_t> serials{0, 77, 78};
    int16_t points = 55;
    bool err = false;
    main->lblSerial->setCaption(QStringLiteral("x"));
    EXPECT_EQ(gnVarReadBatch(true, QStringLiteral("tweeter 2"), levels, serials, points, err), 0);
    EXPECT_FALSE(err);
    EXPECT_EQ(serials, (std::vector<int32_t>{0, 77, 78}));
    EXPECT_EQ(levels(1, 2), 7.0f);
    EXPECT_EQ(points, 55);
    EXPECT_EQ(main->lblSerial->Caption(), "");
}
}

// A station name longer than the records hold, as a hand-edited settings
// file may carry: cut at start-up with one warning, so each unit's curve is
// still logged.
TEST_F(CurveStoreTest, ASixtyCharacterStationNameIsCutAndTheCurveLogged) {
    const QByteArray name60 = "Assembly line 7, loudspeaker end-of-line test, bay 12";
    ASSERT_EQ(name60.size() + 7, 60);
    writeHomeFile(QStringLiteral("Vexo_Sys.txt"),
                  name60 + " (west)\r\n\r\n\r\nTrue\r\nTrue\r\n\r\n0\r\n0\r\n \r\n0\r\nTrue\r\n");
    clearBoxes();
    bool err = false;
    answer({vbOK});
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "modVarSystemParams.gVarSystemParamsRead");
    EXPECT_TRUE(boxes()[0].prompt.contains("longer than 50 characters"));
    EXPECT_EQ(gsStationName.size(), 50);

    useSequence(QStringLiteral("Woofer 8"), 7, 40);
    logCurve(-1.0f);
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    auto rs = db.OpenRecordset(QStringLiteral("vexo_crv"));
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(CStr(rs->field(QStringLiteral("Station_Name"))), QString::fromLatin1(name60.left(50)));
    EXPECT_EQ(boxes().size(), 1);
}
