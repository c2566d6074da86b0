// A sequence's target curve file: what the operator sees of it when the
// sequence is chosen, and the correction and drawn target the station builds.
#include "audio/modAudio.h"
#include "audio/modResponseSub.h"
#include "audio/modWaveResponse.h"
#include "common/modFileName.h"
#include "station/modMSub.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/StoredRecords.h"
#include <QDir>
#include <algorithm>

namespace {
class TargetTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        addTest(QStringLiteral("Hum"), QStringLiteral("Sine"));
        addSequence(QStringLiteral("Start"), {QStringLiteral("Hum")});
        QDir(home()).mkpath(QStringLiteral("TARGETS"));
        // The reference of an uncalibrated test.
        gafRefCrv.assign(101, 0.0f);
    }
    // A response test over 20-20,000 Hz at the given points, and a sequence
    // of it with the target file (none when empty).
    QString addTargetSequence(const QString& iName, int16_t iPoints, const QByteArray& iFile) {
        addTest(iName, QStringLiteral("Response"));
        stored::setTestField(iName, QStringLiteral("Swp_Point"), iPoints);
        addSequence(iName, {iName});
        if (iFile.isEmpty()) return QString();
        const QString path = homeFile(QStringLiteral("TARGETS/") + iName + QStringLiteral(".dat"));
        writeHomeFile(QStringLiteral("TARGETS/") + iName + QStringLiteral(".dat"), iFile);
        stored::setSequenceField(iName, QStringLiteral("Target_File"), path);
        return path;
    }
    // Calibrated once, never falling due: choosing it draws the comparison curve.
    static void markCalibrated(const QString& iSeq) {
        stored::setSequenceField(iSeq, QStringLiteral("Last_Cali"), Variant::date(46000.5));
    }
    frmVexo& startClean() {
        frmVexo& f = start();
        clearBoxes();
        return f;
    }
    static float top() { return *std::max_element(gafRef2Target.begin() + 1, gafRef2Target.end()); }
};

TEST_F(TargetTest, AFlatTargetIsDrawnAtMinusSixOverTheWholeSweep) {
    // The last of 100 points over 20-20,000 Hz lies just above 20,000 Hz,
    // beyond the file's last point.
    bool e = false;
    ASSERT_GT(gfAudioPoint2Freq(20, 20000, 100, 100, e), 20000.0f);
    const QString path = addTargetSequence(QStringLiteral("Flat"), 100, ".Flat target\r\n20,0\r\n20000,0\r\n");
    markCalibrated(QStringLiteral("Flat"));
    frmVexo& f = startClean();
    f.picResponse->clearOps();
    choose(f.dcboSeq, QStringLiteral("Flat"));

    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(f.lblTarget->Caption(), QStringLiteral("Target File: ") + gsFileSpecCompress(path, 28, e));
    EXPECT_TRUE(f.lblTarget->Caption().endsWith(QStringLiteral("Flat.dat")));
    EXPECT_EQ(f.lblTarget->ForeColor(), 0);
    ASSERT_EQ(glCurveUBound(gafRef2Target), 100);
    ASSERT_EQ(glCurveUBound(gafTargetCorrection), 100);
    for (int p = 1; p <= 100; ++p) {
        EXPECT_EQ(gafTargetLevel[p], 0.0f) << p;
        EXPECT_FLOAT_EQ(gafRef2Target[p], -6.0f) << p;
        EXPECT_FLOAT_EQ(gafTargetCorrection[p], -6.0f - gafRefCrv[p]) << p;
    }
    // The target is what the graph compares with: every point at -6.0 dB in cyan.
    const int16_t y = gnResponseSubCalcY(f, -6.0f, e);
    int cyan = 0;
    for (const DrawOp& op : f.picResponse->ops()) {
        if (op.kind != DrawOpKind::Line || op.color != 0xFFFF00) continue;
        ++cyan;
        EXPECT_EQ(op.y2, y);
    }
    EXPECT_EQ(cyan, 100);   // one per point, the first from where the pen stood
}

TEST_F(TargetTest, ATargetRisingAboveZeroIsMovedDownToATopOfMinusTwo) {
    // Middle point 20 (532 Hz) at -10 dB; 1,500-5,000 Hz 8 dB higher.
    addTargetSequence(QStringLiteral("Peak"), 41,
                      "20,-10\n1000,-10\n1500,-2\n5000,-2\n6000,-10\n20000,-10\n");
    // The same with a plateau 6 dB higher: its top lands on 0.0 dB.
    addTargetSequence(QStringLiteral("Zero"), 41,
                      "20,-10\n1000,-10\n1500,-4\n5000,-4\n6000,-10\n20000,-10\n");
    frmVexo& f = startClean();

    choose(f.dcboSeq, QStringLiteral("Peak"));
    EXPECT_EQ(f.lblTarget->ForeColor(), 0);
    EXPECT_FLOAT_EQ(top(), -2.0f);
    EXPECT_FLOAT_EQ(gafRef2Target[20], -10.0f);   // -6, then 4 dB down
    EXPECT_FLOAT_EQ(gafRef2Target[28], -2.0f);    // 2,119 Hz, on the plateau
    EXPECT_FLOAT_EQ(gafTargetCorrection[28], -2.0f - gafRefCrv[28]);
    // The file's own levels are not moved.
    EXPECT_EQ(gafTargetLevel[20], -10.0f);
    EXPECT_EQ(gafTargetLevel[28], -2.0f);

    choose(f.dcboSeq, QStringLiteral("Zero"));
    EXPECT_EQ(top(), 0.0f);
    EXPECT_FLOAT_EQ(gafRef2Target[20], -6.0f);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(TargetTest, TheMiddlePointIsHalfThePointsRoundedDownAndLevelsAreLinearInHertz) {
    // Levels falling linearly with frequency: only point 20 sits at -6.
    addTargetSequence(QStringLiteral("Odd"), 41, "20,0\n20000,-20\n");
    addTargetSequence(QStringLiteral("Even"), 40, "20,0\n20000,-20\n");
    // Sweep points 20, 63, 200, 632, 2,000, 6,325 and 20,000 Hz; 200 and 2,000 are file points.
    addTargetSequence(QStringLiteral("Seven"), 7, "20,0\n200,-3\n1000,-20\n2000,-5\n20000,-7\n");
    frmVexo& f = startClean();
    for (const char* name : {"Odd", "Even"}) {
        choose(f.dcboSeq, QString::fromLatin1(name));
        EXPECT_NEAR(gafRef2Target[20], -6.0f, 1e-5) << name;
        EXPECT_GT(gafRef2Target[19], -6.0f + 1e-3) << name;
        EXPECT_LT(gafRef2Target[21], -6.0f - 1e-3) << name;
    }
    choose(f.dcboSeq, QStringLiteral("Seven"));
    EXPECT_EQ(gafTargetLevel[1], 0.0f);
    EXPECT_EQ(gafTargetLevel[3], -3.0f);
    EXPECT_EQ(gafTargetLevel[5], -5.0f);
    EXPECT_EQ(gafTargetLevel[7], -7.0f);
    // 632.46 Hz on the line from (200, -3) to (1000, -20).
    EXPECT_NEAR(gafTargetLevel[4], -3.0f - 17.0f * (632.456f - 200.0f) / 800.0f, 1e-3);
    // Middle point 3 at 200 Hz: -3 dB brought to -6.
    EXPECT_FLOAT_EQ(gafRef2Target[3], -6.0f);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(TargetTest, ABadOrMissingFileLeavesNoTargetAndNoTargetFileNoCorrection) {
    addTargetSequence(QStringLiteral("Good"), 50, "20,0\n20000,0\n");
    addTargetSequence(QStringLiteral("Falling"), 50, "20,0\n1000,-1\n500,-2\n20000,0\n");
    const QString missing = addTargetSequence(QStringLiteral("Missing"), 50, "20,0\n20000,0\n");
    QFile::remove(missing);
    addTargetSequence(QStringLiteral("Plain"), 50, QByteArray());
    frmVexo& f = startClean();

    choose(f.dcboSeq, QStringLiteral("Good"));
    ASSERT_EQ(glCurveUBound(gafTargetCorrection), 50);
    // The reader's own message, the label in red, no target in use.
    answer({vbOK});
    choose(f.dcboSeq, QStringLiteral("Falling"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith(QStringLiteral("500 <= 1000 in file '"))) << boxes()[0].prompt.toStdString();
    EXPECT_TRUE(boxes()[0].prompt.endsWith(QStringLiteral(" - Data invalid")));
    EXPECT_EQ(f.lblTarget->Caption(), "Target File: Bad or Missing!");
    EXPECT_EQ(f.lblTarget->ForeColor(), 255);
    EXPECT_EQ(glCurveUBound(gafTargetCorrection), 0);
    EXPECT_EQ(glCurveUBound(gafTargetLevel), 0);
    EXPECT_EQ(glCurveUBound(gafRef2Target), 0);

    clearBoxes();
    choose(f.dcboSeq, QStringLiteral("Good"));
    answer({vbOK});
    choose(f.dcboSeq, QStringLiteral("Missing"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith(QStringLiteral("No data in file '")));
    EXPECT_EQ(f.lblTarget->Caption(), "Target File: Bad or Missing!");
    EXPECT_EQ(glCurveUBound(gafRef2Target), 0);

    // No target file: no label and no correction.
    clearBoxes();
    choose(f.dcboSeq, QStringLiteral("Good"));
    choose(f.dcboSeq, QStringLiteral("Plain"));
    EXPECT_EQ(f.lblTarget->Caption(), "");
    EXPECT_EQ(glCurveUBound(gafTargetCorrection), 0);
    EXPECT_EQ(glCurveUBound(gafRef2Target), 0);
    EXPECT_TRUE(boxes().isEmpty());
}
}   // namespace
