// Trying a test out on the jig from the editor: what each type's window shows
// afterwards, that nothing is stored, and that the station stays out of the
// engineer's way while the measurement runs and is back afterwards.
#include "audio/modResponseSub.h"
#include "common/frmPrompt.h"
#include "platform/os/Clock.h"
#include "platform/sound/Jig.h"
#include "platform/ui/Beep.h"
#include "platform/ui/InputLock.h"
#include "platform/ui/MsgBox.h"
#include "tests/support/TestEditorRig.h"
#include <QDir>
#include <QMetaObject>
#include <QRegularExpression>
#include <QTest>

namespace {
class TryOutTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("Resp"), .fLo = 100, .fHi = 10000,
                                     .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
        seed::add(seed::PolarityTest{.name = QStringLiteral("Pol"), .pulseLF = true, .drive = 2.0f});
        seed::add(seed::SineTest{.name = QStringLiteral("Ask"), .opDecide = true, .loLim = -99.0f,
                                 .prompt = QStringLiteral("Hear it")});
        seed::add(seed::SineTest{.name = QStringLiteral("Meas"), .opDecide = false, .pcDecide = true, .loLim = -99.0f});
        seed::add(seed::PlainTest{.name = QStringLiteral("Dist"), .type = QStringLiteral("Ext Dist")});
        seed::add(seed::PlainTest{.name = QStringLiteral("Odd"), .type = QStringLiteral("Unknown")});
        completeTests();
        // The board drives the unit (an active unit), at once.
        OpenDatabase(testDb()).Execute(QStringLiteral("UPDATE vexo_tst SET Delay_s = 0, Active_Flag = True"));
    }
    // Every database file of the program folder, byte for byte.
    QMap<QString, QByteArray> databases() const {
        QMap<QString, QByteArray> out;
        for (const QString& f : QDir(home()).entryList({QStringLiteral("*.mdb")}, QDir::Files)) out[f] = readHomeFile(f);
        return out;
    }
    int jigCount(const QString& iWhat) {
        int n = 0;
        for (const sound::JigEvent& e : jig().events()) n += e.what.startsWith(iWhat) ? 1 : 0;
        return n;
    }
    static QStringList lines(const ListBox& iList) {
        QStringList out;
        for (int i = 0; i < iList.ListCount(); ++i) out << iList.List(i);
        return out;
    }
    QStringList prompts() const {
        QStringList out;
        for (const MsgBoxCall& b : boxes()) out << b.prompt;
        return out;
    }
    // The polarity decision markers drawn since the picture was last cleared: their mid-height.
    static QList<double> markers(const PictureBox& iPic) {
        QList<double> out;
        for (const DrawOp& op : iPic.ops()) {
            if (op.kind == DrawOpKind::Cls) out.clear();
            if (op.kind == DrawOpKind::Line && op.x1 == op.x2 && std::abs(op.y1 - op.y2) == 800) out << (op.y1 + op.y2) / 2;
        }
        return out;
    }
    void run(frmMETest& t) { drive::click(t.cmdRun); }
};
}

TEST_F(TryOutTest, DistortionShowsSixLinesWhateverTheMode) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Dist"));
    frmMETestExtDistortion& d = form<frmMETestExtDistortion>();
    choose(d.cboExtDist, QStringLiteral("1kHz RMS 3rd harmonic - experimental"));
    const auto before = databases();
    run(t);
    EXPECT_EQ(lines(*d.lstMeasure), (QStringList{"1  00.00%", "2  00.00%", "3  00.00%", "4  00.00%", "5  00.00%", "6  00.00%"}));
    EXPECT_EQ(jigCount(QStringLiteral("waveOutOpen")), 0);
    EXPECT_EQ(databases(), before);
}

TEST_F(TryOutTest, SineAsksTheOperatorOnceOrMeasuresSixTimes) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Ask"));
    const auto before = databases();
    clearBoxes();
    answer({vbYes});
    run(t);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("Hear it?")});
    EXPECT_FALSE(form<frmMETestSine>().lstMeasure->isVisible());
    EXPECT_EQ(form<frmMETestSine>().lstMeasure->ListCount(), 0);
    EXPECT_FALSE(isLoaded<frmPrompt>());

    pick(t, QStringLiteral("Meas"));
    frmMETestSine& s = form<frmMETestSine>();
    clearBoxes();
    run(t);
    EXPECT_TRUE(prompts().isEmpty());
    EXPECT_TRUE(s.lstMeasure->isVisible());
    const QStringList got = lines(*s.lstMeasure);
    ASSERT_EQ(got.size(), 6);
    // The jig's unit at 1 kHz and 1 V: the same whole-dB level at every run.
    const QRegularExpression shape(QStringLiteral("^[1-6]  [ -]\\d\\d$"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(shape.match(got[i]).hasMatch()) << got[i].toStdString();
        EXPECT_TRUE(got[i].startsWith(QString::number(i + 1) + QStringLiteral("  ")));
        EXPECT_EQ(got[i].mid(1), got[0].mid(1));
    }
    EXPECT_FALSE(isLoaded<frmPrompt>());
    EXPECT_EQ(databases(), before);
    // A try-out is no edit: Reset stays off and leaving the test asks nothing.
    EXPECT_FALSE(t.mnuFileReset->Enabled());
    clearBoxes();
    pick(t, QStringLiteral("Resp"));
    EXPECT_EQ(saveQuestions(), 0);
    EXPECT_EQ(t.dcboTest->Text(), "Resp");
}

TEST_F(TryOutTest, ASoundFaultInTheThirdSineRunKeepsTwoLinesAndFreesTheWindows) {
    allowErrors({QStringLiteral("The sound device is already in use.")});
    frmMETest& t = open();
    pick(t, QStringLiteral("Meas"));
    frmMETestSine& s = form<frmMETestSine>();
    // The third run's output cannot be opened.
    QObject::connect(s.lstMeasure->model(), &QAbstractItemModel::rowsInserted, s.lstMeasure, [&] {
        if (s.lstMeasure->ListCount() == 2) jig().failCall(sound::SoundCall::WaveOutOpen, MMSYSERR_ALLOCATED, -1);
    });
    clearBoxes();
    run(t);
    jig().clearFaults();
    EXPECT_EQ(s.lstMeasure->ListCount(), 2);
    EXPECT_FALSE(boxes().isEmpty());
    EXPECT_FALSE(isLoaded<frmPrompt>());
    for (QWidget* w : std::initializer_list<QWidget*>{&t, &s, &form<frmVexo>()}) EXPECT_FALSE(inputlock::isLocked(w));
}

TEST_F(TryOutTest, WhileATryOutRunsTheStationTakesNoInputAndNothingIsClosed) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Meas"));
    frmMETestSine& s = form<frmMETestSine>();
    frmVexo& main = form<frmVexo>();
    QList<bool> locked;
    int beepsMeanwhile = 0;
    QString notice;
    // Queued before Run: the measurement delivers it while it polls.
    QMetaObject::invokeMethod(
        &t,
        [&] {
            locked = {inputlock::isLocked(&t), inputlock::isLocked(&s), inputlock::isLocked(&main)};
            if (isLoaded<frmPrompt>()) notice = form<frmPrompt>().Caption() + QStringLiteral(": ") + form<frmPrompt>().Prompt();
            drive::key(Qt::Key_G, Qt::ControlModifier);   // Close All Engineer
            drive::key(Qt::Key_U, Qt::ControlModifier);   // Run again
            drive::key(Qt::Key_D, Qt::ControlModifier);   // Delete
            drive::click(t.cmdRun);
            // The run's own windows are not locked: a Run asked for there is turned away.
            const int beeps = beepCount();
            bool e = false;
            t.gMETestRun(e);
            beepsMeanwhile = beepCount() - beeps;
        },
        Qt::QueuedConnection);
    clearBoxes();
    run(t);
    EXPECT_EQ(locked, (QList<bool>{true, true, true}));
    EXPECT_EQ(beepsMeanwhile, 1);
    // Measured: the notice names the measuring frequency alone, and closes after the run.
    EXPECT_EQ(notice, QStringLiteral("Meas: 1000(Hz) @ 1(V)"));
    EXPECT_FALSE(isLoaded<frmPrompt>());
    EXPECT_TRUE(isLoaded<frmMETest>());
    EXPECT_TRUE(isLoaded<frmMETestSine>());
    EXPECT_TRUE(exists(QStringLiteral("Meas")));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(s.lstMeasure->ListCount(), 6);
    for (QWidget* w : std::initializer_list<QWidget*>{&t, &s, &main}) EXPECT_FALSE(inputlock::isLocked(w));
}

TEST_F(TryOutTest, RunChecksTheBoxesFirstAndPlaysNothingWhenOneIsRefused) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Resp"));
    const auto before = databases();
    retype(*t.txtPoint, QStringLiteral("1"));
    clearBoxes();
    jig().clearEvents();
    answer({vbOK});
    ctrl(Qt::Key_U);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("In the range 20 to 100 please!")});
    EXPECT_EQ(jigCount(QStringLiteral("waveOutOpen")), 0);

    retype(*t.txtPoint, QStringLiteral("40"));
    answer({vbNo});
    pick(t, QStringLiteral("Ask"));
    retype(*t.txtDriveV, QString());
    clearBoxes();
    jig().clearEvents();
    answer({vbOK});
    ctrl(Qt::Key_U);
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_TRUE(prompts()[0].startsWith(QStringLiteral("In the range 0 to "))) << prompts()[0].toStdString();
    EXPECT_EQ(jigCount(QStringLiteral("waveOutOpen")), 0);
    EXPECT_FALSE(inputlock::isLocked(&t));

    // A type the editor does not know is said so, and nothing plays.
    retype(*t.txtDriveV, QStringLiteral("1"));
    answer({vbNo});
    pick(t, QStringLiteral("Odd"));
    clearBoxes();
    answer({vbOK});
    run(t);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("Test type Unknown not known.")});
    EXPECT_EQ(jigCount(QStringLiteral("waveOutOpen")), 0);
    EXPECT_FALSE(inputlock::isLocked(&t));
    EXPECT_EQ(databases(), before);
}

TEST_F(TryOutTest, PolarityTracesAddUpUntilReRunOrThePulseChanges) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Pol"));
    frmMETestPolarity& p = form<frmMETestPolarity>();
    const auto before = databases();
    const double axis = 2550 / 2.0;
    run(t);
    ASSERT_EQ(markers(*p.picPolarity).size(), 1);
    EXPECT_LT(markers(*p.picPolarity)[0], axis);   // positive: above the axis
    EXPECT_TRUE(t.cmdReRun->isVisible());
    run(t);
    EXPECT_EQ(markers(*p.picPolarity).size(), 2);
    drive::click(t.cmdReRun);
    EXPECT_EQ(markers(*p.picPolarity).size(), 1);

    jig().setUnit(sound::UnitModel::reversedPolarity());
    drive::click(t.cmdReRun);
    ASSERT_EQ(markers(*p.picPolarity).size(), 1);
    EXPECT_GT(markers(*p.picPolarity)[0], axis);
    const size_t lowPulse = jig().outputTap().size();

    // The high pulse: the picture is emptied and the next Run plays 4 kHz for 8 ms.
    ASSERT_EQ(p.chkUnitLF->Value(), 1);
    tick(p.chkUnitLF);
    EXPECT_TRUE(markers(*p.picPolarity).isEmpty());
    EXPECT_TRUE(t.mnuFileReset->Enabled());
    run(t);
    EXPECT_LT(jig().outputTap().size(), lowPulse);
    EXPECT_EQ(markers(*p.picPolarity).size(), 1);
    EXPECT_EQ(databases(), before);
}

TEST_F(TryOutTest, ResponseRunFindsTheLevelOnceAndDrawsTheCurveInWhite) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Resp"));
    frmMETestResponse& r = form<frmMETestResponse>();
    const auto before = databases();
    jig().clearEvents();
    run(t);
    const int searchSweeps = jigCount(QStringLiteral("waveOutOpen"));
    EXPECT_GE(searchSweeps, 1);
    EXPECT_TRUE(t.cmdReRun->isVisible());
    jig().clearEvents();
    r.picResponse->clearOps();
    run(t);
    EXPECT_EQ(jigCount(QStringLiteral("waveOutOpen")), 1);
    int white = 0;
    for (const DrawOp& op : r.picResponse->ops()) white += op.color == 0xFFFFFF ? 1 : 0;
    EXPECT_GT(white, 0);
    // A redraw of the graph draws the held curve again over the layers.
    auto whiteOnRedraw = [&] {
        bool e = false;
        r.picResponse->clearOps();
        r.gMETestUpdateLayersResponse(e);
        int n = 0;
        for (const DrawOp& op : r.picResponse->ops()) n += op.color == 0xFFFFFF ? 1 : 0;
        return n;
    };
    EXPECT_GT(whiteOnRedraw(), 0);
    // A changed point count forgets the curve: a redraw draws the layers only.
    retype(*t.txtPoint, QStringLiteral("30"));
    EXPECT_FALSE(t.cmdReRun->isVisible());
    EXPECT_EQ(whiteOnRedraw(), 0);
    EXPECT_EQ(databases(), before);
}

TEST_F(TryOutTest, ResponseLevelSearchPutsThePeakInTheWindowAndReRunDrawsTheLayersOverTheCurve) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Resp"));
    frmMETestResponse& r = form<frmMETestResponse>();
    PictureBox& pic = *r.picResponse;
    bool e = false;
    const int32_t layer = glResponseSubLayerColour(1, e);
    // The highest point of the white curve drawn since the ops were cleared, as a y (down is lower).
    auto curveTop = [&] {
        double top = 1e9;
        for (const DrawOp& op : pic.ops())
            if (op.kind == DrawOpKind::Line && op.color == 0xFFFFFF) top = std::min({top, op.y1, op.y2});
        return top;
    };
    auto micVolume = [&] { return jig().cardMixer().controlByRole(sound::MixerRole::MicVolume)->values[0]; };
    // The layer flashes while the engineer is in its limit box.
    EXPECT_TRUE(drive::showActive(r));
    r.txtLyrLim(0).SetFocus();
    ASSERT_TRUE(r.tmrFlashLayer->Enabled());
    // Seen from inside the measurement (queued before Run, delivered while it polls).
    bool flashingMeanwhile = true;
    bool measuring = false;
    QMetaObject::invokeMethod(
        &r,
        [&] {
            flashingMeanwhile = r.tmrFlashLayer->Enabled();
            measuring = inputlock::isLocked(&r);
        },
        Qt::QueuedConnection);
    jig().clearEvents();
    pic.clearOps();
    run(t);
    EXPECT_TRUE(measuring);
    EXPECT_FALSE(flashingMeanwhile);
    EXPECT_TRUE(r.tmrFlashLayer->Enabled());
    const int32_t held = micVolume();

    // The second Run: one sweep at the level found, the standard unit's peak within -6..-2 dB.
    jig().clearEvents();
    pic.clearOps();
    run(t);
    EXPECT_EQ(jigCount(QStringLiteral("waveOutOpen")), 1);
    EXPECT_EQ(micVolume(), held);
    const double top = curveTop();
    EXPECT_GE(top, gnResponseSubCalcY(r, -2.0f, e) - 1);
    EXPECT_LE(top, gnResponseSubCalcY(r, -6.0f, e) + 1);
    EXPECT_TRUE(r.tmrFlashLayer->Enabled());

    // Re-Run searches afresh and draws the layer's box again after the new curve.
    jig().clearEvents();
    pic.clearOps();
    drive::click(t.cmdReRun);
    EXPECT_GE(jigCount(QStringLiteral("waveOutOpen")), 1);
    qsizetype lastCurve = -1, lastLayer = -1;
    for (qsizetype i = 0; i < pic.ops().size(); ++i) {
        const DrawOp& op = pic.ops()[i];
        if (op.kind == DrawOpKind::Line && op.color == 0xFFFFFF) lastCurve = i;
        if (op.kind == DrawOpKind::Box && op.color == layer) lastLayer = i;
    }
    EXPECT_GE(lastCurve, 0);
    EXPECT_GT(lastLayer, lastCurve);
    EXPECT_TRUE(r.tmrFlashLayer->Enabled());
}

TEST_F(TryOutTest, TheSineWindowsOwnMenuDoesNothingWhileItsTryOutRuns) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Meas"));
    frmMETestSine& s = form<frmMETestSine>();
    frmVexo& main = form<frmVexo>();
    QList<bool> locked;
    QMetaObject::invokeMethod(
        &s,
        [&] {
            locked = {inputlock::isLocked(&t), inputlock::isLocked(&s), inputlock::isLocked(&main)};
            for (Qt::Key k : {Qt::Key_U, Qt::Key_X, Qt::Key_D, Qt::Key_G}) QTest::keyClick(&s, k, Qt::ControlModifier);
        },
        Qt::QueuedConnection);
    clearBoxes();
    jig().clearEvents();
    run(t);
    EXPECT_EQ(locked, (QList<bool>{true, true, true}));
    EXPECT_TRUE(isLoaded<frmMETest>());
    EXPECT_TRUE(isLoaded<frmMETestSine>());
    EXPECT_TRUE(exists(QStringLiteral("Meas")));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(s.lstMeasure->ListCount(), 6);
    const int oneTryOut = jigCount(QStringLiteral("waveOutOpen"));
    EXPECT_GE(oneTryOut, 6);
    for (QWidget* w : std::initializer_list<QWidget*>{&t, &s, &main}) EXPECT_FALSE(inputlock::isLocked(w));

    // Afterwards the same key in the sine window runs the test again.
    jig().clearEvents();
    QTest::keyClick(&s, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(jigCount(QStringLiteral("waveOutOpen")), oneTryOut);
    EXPECT_EQ(s.lstMeasure->ListCount(), 6);
}

TEST_F(TryOutTest, ADriveTypedWithADecimalCommaIsPlayedAtThatVoltage) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    frmMETest& t = open();
    pick(t, QStringLiteral("Ask"));
    retype(*t.txtDriveV, QStringLiteral("0,5"));
    const auto before = databases();
    double volts = 0;
    // The operator listens a while before answering; the board's output is read meanwhile.
    answerAfterLooking(vbYes, [&](const MsgBoxCall&) {
        vclock::advance(300);
        volts = jig().voltmeter(sound::JigPoint::SoundBoardOutput);
    });
    run(t);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Hear it?");
    EXPECT_NEAR(volts, 0.5, 0.05);
    EXPECT_EQ(databases(), before);
}
