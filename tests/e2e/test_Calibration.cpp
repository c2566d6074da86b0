// Calibrating a sequence on the jig as the engineer does: Calibration clicked
// on the main window, the questions answered, and the rows the station stores
// read back; then the reference drawn when the sequence is chosen.
#include "audio/modResponseSub.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/DateTime.h"
#include "platform/vb/Format.h"
#include "platform/ui/InputLock.h"
#include "station/modMSub.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/StoredRecords.h"
#include <QDir>

namespace {
const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 30));

struct CalRow {
    QString testName;
    int32_t attIn = 0;
    QStringList refs;   // the four fields; "" for Null
};

class CalibrationTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        setNow(kNow);
        // The jig's drive readings, as the engineer stored them.
        saveUserSetting(QStringLiteral("gfVOutSoundboard"), QStringLiteral("2"));
        saveUserSetting(QStringLiteral("gfVOutAmp"), QStringLiteral("40"));
        saveUserSetting(QStringLiteral("gbVOutPositivePolarity"), QStringLiteral("-1"));
        seed::add(seed::ResponseTest{.name = QStringLiteral("Low"), .fLo = 100, .fHi = 10000, .points = 40,
                                     .layers = {seed::Layer{.fLo = 100, .fHi = 10000, .pt = 3, .lim = 2.0f}}});
        seed::add(seed::ResponseTest{.name = QStringLiteral("Wide"), .fLo = 20, .fHi = 20000, .points = 100,
                                     .layers = {seed::Layer{.fLo = 20, .fHi = 20000, .pt = 5, .lim = 2.0f}}});
        addTest(QStringLiteral("Hum"), QStringLiteral("Sine"));
        // Responses in slots 2 and 5; the stored levels of earlier calibrations.
        seed::add(seed::Sequence{.name = QStringLiteral("Two"),
                                 .tests = {QStringLiteral("Hum"), QStringLiteral("Low"), QStringLiteral("Hum"),
                                           QStringLiteral("Hum"), QStringLiteral("Wide")},
                                 .micLevels = {111, 222, 333, 444, 555, 666},
                                 .calTests = {QString(), QString(), QStringLiteral("Low")}});
    }
    static CalRow row(const QString& iSeq, int iSlot) {
        const auto rs = stored::calibration(iSeq, iSlot);
        const CalibrationRecord r(*rs);
        return CalRow{CStr(rs->field(QStringLiteral("Test_Name"))), r.AttIn(), {r.Ref(1), r.Ref(2), r.Ref(3), r.Ref(4)}};
    }
    static void writeRef(const QString& iSeq, int iSlot, const QString& iText) {
        const auto rs = stored::calibration(iSeq, iSlot);
        rs->Edit();
        for (int q = 1; q <= 4; ++q) rs->setField(CalibrationRecord::refField(q), iText);
        rs->Update();
    }
    static void setAttIn(const QString& iSeq, int iSlot, int32_t iLevel) {
        const auto rs = stored::calibration(iSeq, iSlot);
        rs->Edit();
        rs->setField(QStringLiteral("AttIn"), iLevel);
        rs->Update();
    }
    frmVexo& startOn(const QString& iSeq) {
        frmVexo& f = start();
        if (f.dcboSeq->Text() != iSeq) choose(f.dcboSeq, iSeq);
        clearBoxes();
        return f;
    }
    int sweeps() {
        int n = 0;
        for (const sound::JigEvent& e : jig().events())
            if (e.what.startsWith(QStringLiteral("waveInStart"))) ++n;
        return n;
    }
    QStringList boxTexts() const {
        QStringList out;
        for (const MsgBoxCall& b : boxes()) out << b.prompt;
        return out;
    }
};

TEST_F(CalibrationTest, ResponseSlotsGetTheirRowsTheOthersAreBlankedAndTheTimeIsStamped) {
    const QString old = QStringLiteral(" 01.00").repeated(25);
    writeRef(QStringLiteral("Two"), 3, old);
    frmVexo& f = startOn(QStringLiteral("Two"));
    ASSERT_TRUE(f.cmdCali->Visible());
    f.picPolarity->setVisible(true);
    answer({vbYes, vbYes, vbYes});
    drive::click(f.cmdCali);

    EXPECT_EQ(boxTexts(), (QStringList{QStringLiteral("Connect 'Two' standard for calibration"),
                                       QStringLiteral("Does this calibration look OK"),
                                       QStringLiteral("Does this calibration look OK")}));
    // Stamped at the end, by the virtual clock the measurements advanced.
    EXPECT_GT(stored::lastCali(QStringLiteral("Two")), vbDateFromDateTime(kNow));
    EXPECT_NEAR(stored::lastCali(QStringLiteral("Two")), vclock::nowDays(), 1.0 / 86400);
    const int32_t volume = jig().cardMixer().controlByRole(sound::MixerRole::MicVolume)->values[0];
    for (int slot = 1; slot <= 16; ++slot) {
        const CalRow r = row(QStringLiteral("Two"), slot);
        if (slot == 2 || slot == 5) {
            EXPECT_EQ(r.testName, slot == 2 ? "Low" : "Wide");
            EXPECT_GT(r.attIn, 0);
            if (slot == 5) { EXPECT_EQ(r.attIn, volume); }
            for (const QString& ref : r.refs) {
                EXPECT_EQ(ref.size(), 150) << slot;
                EXPECT_EQ(ref.count(QLatin1Char('.')), 25) << slot;
            }
        } else {
            EXPECT_EQ(r.testName, " ") << slot;
            EXPECT_EQ(r.attIn, slot <= 6 ? 111 * slot : 0) << slot;
            EXPECT_EQ(r.refs.first(), slot == 3 ? old : QString()) << slot;
        }
    }
    // The stored curve of slot 5 is what the last accepted sweep left in the reference.
    const CalRow wide = row(QStringLiteral("Two"), 5);
    bool e = false;
    EXPECT_EQ(wide.refs[3].mid(24 * 6, 6), Format(gafRefCrv[100], QStringLiteral(" 00.00;-00.00")));
    EXPECT_FALSE(e);
    EXPECT_TRUE(f.picPolarity->Visible());
    EXPECT_FALSE(inputlock::isLocked(&f));
    EXPECT_EQ(f.ActiveControl(), f.cmdTest);

    // Loaded back for a run under another locale, the curve is the one stored.
    const ResponseCurve measured = gafRefCrv;
    setLocale(QLocale(QStringLiteral("de_DE")));
    gafRefCrv.assign(101, 50.0f);
    EXPECT_TRUE(gMSubSetRefCrvActive(QStringLiteral("Two"), QStringLiteral("Wide"), e));
    for (int p = 1; p <= 100; ++p) EXPECT_NEAR(gafRefCrv[p], measured[p], 0.005) << p;
    // A test the sequence does not hold loads nothing, without a box.
    clearBoxes();
    EXPECT_FALSE(gMSubSetRefCrvActive(QStringLiteral("Two"), QStringLiteral("Hum"), e));
    EXPECT_FALSE(e);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_NEAR(gafRefCrv[50], measured[50], 0.005);
}

TEST_F(CalibrationTest, ANeverCalibratedSequenceCalibratesWithoutAnErrorAndNoMeasuresAgainFromTheStoredLevel) {
    seed::add(seed::Sequence{.name = QStringLiteral("Fresh"), .tests = {QStringLiteral("Wide")}});
    frmVexo& f = startOn(QStringLiteral("Fresh"));
    // Chosen without a box although no row names the test yet.
    EXPECT_TRUE(boxes().isEmpty());
    answer({vbYes, vbYes});
    jig().clearEvents();
    drive::click(f.cmdCali);
    const int first = sweeps();
    EXPECT_EQ(boxTexts().size(), 2);
    const CalRow r = row(QStringLiteral("Fresh"), 1);
    EXPECT_EQ(r.testName, "Wide");
    ASSERT_GT(r.attIn, 0);
    EXPECT_NEAR(stored::lastCali(QStringLiteral("Fresh")), vclock::nowDays(), 1.0 / 86400);

    // No, then Yes: the second search starts again from the stored level, not
    // from the level just found, so it takes as many sweeps as the first.
    setAttIn(QStringLiteral("Fresh"), 1, 2000);
    clearBoxes();
    answer({vbYes, vbNo, vbYes});
    jig().clearEvents();
    drive::click(f.cmdCali);
    EXPECT_EQ(boxTexts().size(), 3);
    const int twice = sweeps();
    jig().clearEvents();
    {
        // One search alone from the stored level, for comparison.
        setAttIn(QStringLiteral("Fresh"), 1, 2000);
        clearBoxes();
        answer({vbYes, vbYes});
        drive::click(f.cmdCali);
    }
    const int once = sweeps();
    EXPECT_GT(once, 1);
    EXPECT_EQ(twice, 2 * once);
    EXPECT_GE(first, 1);
}

TEST_F(CalibrationTest, ASoundFaultInSlotFiveLeavesItsRowTheLaterRowsAndTheStampAsTheyWere) {
    allowErrors({QStringLiteral("The sound device is already in use.")});
    seed::add(seed::Sequence{.name = QStringLiteral("Five"),
                             .tests = {QStringLiteral("Hum"), QStringLiteral("Hum"), QStringLiteral("Hum"),
                                       QStringLiteral("Hum"), QStringLiteral("Wide")},
                             .micLevels = {1, 2, 3, 4, 5, 6, 7},
                             .calTests = {QStringLiteral("Hum"), QStringLiteral("Hum"), QStringLiteral("Hum"),
                                          QStringLiteral("Hum"), QStringLiteral("Old"), QStringLiteral("Old")}});
    frmVexo& f = startOn(QStringLiteral("Five"));
    f.picPolarity->setVisible(true);
    QList<CalRow> before;
    for (int slot = 1; slot <= 16; ++slot) before << row(QStringLiteral("Five"), slot);
    // The card refuses to record: the error boxes take their default answers.
    jig().failCall(sound::SoundCall::WaveInOpen, MMSYSERR_ALLOCATED, -1);
    answer({vbYes});
    drive::click(f.cmdCali);
    jig().clearFaults();

    EXPECT_GE(boxes().size(), 2);
    EXPECT_EQ(stored::lastCali(QStringLiteral("Five")), 0.0);
    for (int slot = 1; slot <= 16; ++slot) {
        const CalRow r = row(QStringLiteral("Five"), slot);
        EXPECT_EQ(r.testName, slot <= 4 ? QStringLiteral(" ") : before[slot - 1].testName) << slot;
        EXPECT_EQ(r.attIn, before[slot - 1].attIn) << slot;
        EXPECT_EQ(r.refs, before[slot - 1].refs) << slot;
    }
    EXPECT_TRUE(f.picPolarity->Visible());
    EXPECT_FALSE(inputlock::isLocked(&f));
    EXPECT_EQ(f.ActiveControl(), f.cmdTest);
}

TEST_F(CalibrationTest, WithATargetFileEachAcceptedSweepShowsTheTargetInColour11) {
    QDir(home()).mkpath(QStringLiteral("TARGETS"));
    writeHomeFile(QStringLiteral("TARGETS/flat.dat"), ".Flat\r\n20,0\r\n20000,0\r\n");
    seed::add(seed::Sequence{.name = QStringLiteral("Aimed"), .tests = {QStringLiteral("Wide")},
                             .target = homeFile(QStringLiteral("TARGETS/flat.dat"))});
    frmVexo& f = startOn(QStringLiteral("Aimed"));
    f.picResponse->clearOps();
    // The operator judges the calibration by the target curve on the graph while
    // the question is open: drawn in 11 (almost black), it must stand out from
    // the graph's black, not vanish into it.
    int bright = 0;
    answer({vbYes});
    answerAfterLooking(vbYes, [&](const MsgBoxCall&) {
        const QImage image = f.picResponse->image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) > 200) ++bright;
    });
    drive::click(f.cmdCali);
    EXPECT_EQ(boxTexts().size(), 2);
    EXPECT_GT(bright, 100);
    bool e = false;
    const int16_t y = gnResponseSubCalcY(f, -6.0f, e);
    int drawn = 0;
    for (const DrawOp& op : f.picResponse->ops()) {
        if (op.kind != DrawOpKind::Line || op.color != 11) continue;
        ++drawn;
        EXPECT_EQ(op.y2, y);
    }
    EXPECT_EQ(drawn, 100);
}

TEST_F(CalibrationTest, ChoosingASequenceDrawsItsReferenceOnlyWhenItHoldsOne) {
    // Both stamped as calibrated and never due; only "Fresh" really was.
    seed::add(seed::Sequence{.name = QStringLiteral("Fresh"), .tests = {QStringLiteral("Wide")}});
    seed::add(seed::Sequence{.name = QStringLiteral("Stamped"), .tests = {QStringLiteral("Wide")}, .lastCal = 46000.5});
    frmVexo& f = startOn(QStringLiteral("Fresh"));
    answer({vbYes, vbYes});
    drive::click(f.cmdCali);
    const auto cyanLines = [&] {
        int n = 0;
        for (const DrawOp& op : f.picResponse->ops())
            if (op.kind == DrawOpKind::Line && op.color == 0xFFFF00) ++n;
        return n;
    };
    clearBoxes();
    f.picResponse->clearOps();
    choose(f.dcboSeq, QStringLiteral("Stamped"));
    EXPECT_EQ(cyanLines(), 0);
    EXPECT_TRUE(boxes().isEmpty());
    f.picResponse->clearOps();
    choose(f.dcboSeq, QStringLiteral("Fresh"));
    EXPECT_GE(cyanLines(), 100);   // the reference, one line per point
}

TEST_F(CalibrationTest, NoToConnectChangesNothing) {
    frmVexo& f = startOn(QStringLiteral("Two"));
    const CalRow before = row(QStringLiteral("Two"), 1);
    jig().clearEvents();
    answer({vbNo});
    drive::click(f.cmdCali);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Connect 'Two' standard for calibration")});
    EXPECT_EQ(sweeps(), 0);
    EXPECT_EQ(stored::lastCali(QStringLiteral("Two")), 0.0);
    EXPECT_EQ(row(QStringLiteral("Two"), 1).testName, before.testName);
}
}   // namespace
