// The calibration state on the main window's response graph, and forced
// recalibration of the sequences, on the jig under a fixed clock.
#include "common/frmPrompt.h"
#include "platform/os/Clock.h"
#include "platform/vb/DateTime.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/StoredRecords.h"
#include <SQLiteCpp/SQLiteCpp.h>

namespace {
// Monday 7 December 2026.
const QDate kToday(2026, 12, 7);
double at(const QDate& iDay, int iHour, int iMinute = 0, int iSecond = 0) {
    return vbDateFromDateTime(QDateTime(iDay, QTime(iHour, iMinute, iSecond)));
}

// Every notice painted while the station worked: its caption, its line and the clock.
class NoticeWatch : public QObject {
public:
    struct Notice {
        QString caption;
        QString prompt;
        int64_t tick;
    };
    NoticeWatch() { qApp->installEventFilter(this); }
    ~NoticeWatch() override { qApp->removeEventFilter(this); }
    QList<Notice> notices;

protected:
    bool eventFilter(QObject* iObject, QEvent* iEvent) override {
        if (iEvent->type() == QEvent::Paint)
            if (auto* p = qobject_cast<QWidget*>(iObject); p && p->objectName() == QLatin1String("frmPrompt"))
                add(Notice{p->windowTitle(), static_cast<frmPrompt*>(p)->Prompt(), vclock::ticks()});
        return false;
    }

private:
    // Showing and refreshing paint the same notice more than once.
    void add(const Notice& iNotice) {
        if (!notices.isEmpty() && notices.last().prompt == iNotice.prompt && notices.last().tick == iNotice.tick) return;
        notices << iNotice;
    }
};

class CalibrateTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        addTest(QStringLiteral("Sweep"), QStringLiteral("Response"));
        addTest(QStringLiteral("Hum"), QStringLiteral("Sine"));
        addTest(QStringLiteral("Rare"), QStringLiteral("Response"));
        setNow(QDateTime(kToday, QTime(9, 0)));
    }
    static void setCalibration(const QString& iSeq, double iLastCali, double iETime) {
        const auto rs = stored::sequence(iSeq);
        rs->Edit();
        rs->setField(QStringLiteral("Last_Cali"), Variant::date(iLastCali));
        rs->setField(QStringLiteral("Cali_ETime"), iETime);
        rs->Update();
    }
    frmVexo& startOn(const QString& iFirst) {
        frmVexo& f = start();
        clearBoxes();
        EXPECT_EQ(f.dcboSeq->Text(), iFirst);
        return f;
    }
    void pick(frmVexo& f, const QString& iName) {
        f.picResponse->clearOps();
        choose(f.dcboSeq, iName);
    }
    // The calibration state: the text printed at the left of the graph's bottom line.
    static QList<QPair<QString, int32_t>> stateTexts(frmVexo& f) {
        bool e = false;
        const int16_t top = gnResponseSubLblTop(f, 0, e);
        QList<QPair<QString, int32_t>> out;
        for (const DrawOp& op : f.picResponse->ops())
            if (op.kind == DrawOpKind::Text && op.x1 == 50 && op.y1 == top) out << qMakePair(op.text, op.color);
        return out;
    }
    static QPair<QString, int32_t> state(frmVexo& f) {
        const auto all = stateTexts(f);
        return all.isEmpty() ? QPair<QString, int32_t>() : all.last();
    }
};

using Shown = QPair<QString, int32_t>;

TEST_F(CalibrateTest, TheGraphSaysWhenTheCalibrationFallsDue) {
    const double yesterday8 = at(kToday.addDays(-1), 8);
    addSequence(QStringLiteral("Never"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Forever"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Tonight"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Tomorrow"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Wednesday"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Later"), {QStringLiteral("Sweep")});
    setCalibration(QStringLiteral("Forever"), at(kToday.addDays(-3), 14, 5), 0.0);
    setCalibration(QStringLiteral("Tonight"), yesterday8, 1.5);
    setCalibration(QStringLiteral("Tomorrow"), at(kToday, 7), 1.0);
    setCalibration(QStringLiteral("Wednesday"), at(kToday, 7), 2.0);
    setCalibration(QStringLiteral("Later"), at(kToday, 7), 20.0);
    const struct {
        QLocale locale;
        Shown calibrated, wednesday, later;
    } locales[] = {
        {QLocale(QLocale::English, QLocale::UnitedKingdom), {QStringLiteral("Calibrated 14:05 04-Dec-26"), 0},
         {QStringLiteral("Calibration due Wednesday"), 0}, {QStringLiteral("Calibration due 27 Dec"), 0}},
        {QLocale(QLocale::German, QLocale::Germany), {QStringLiteral("Calibrated 14:05 04-Dez.-26"), 0},
         {QStringLiteral("Calibration due Mittwoch"), 0}, {QStringLiteral("Calibration due 27 Dez."), 0}},
    };
    frmVexo& f = startOn(QStringLiteral("Never"));
    const int32_t graphColour = f.picResponse->ForeColor();
    // Never calibrated: due, in red.
    EXPECT_EQ(state(f), Shown(QStringLiteral("CALIBRATION DUE!"), 255));
    for (const auto& l : locales) {
        setLocale(l.locale);
        pick(f, QStringLiteral("Forever"));
        EXPECT_EQ(state(f), l.calibrated);
        pick(f, QStringLiteral("Tonight"));
        EXPECT_EQ(state(f), Shown(QStringLiteral("Calibration due 20:00"), 0));
        pick(f, QStringLiteral("Tomorrow"));
        EXPECT_EQ(state(f), Shown(QStringLiteral("Calibration due tomorrow"), 0));
        pick(f, QStringLiteral("Wednesday"));
        EXPECT_EQ(state(f), l.wednesday);
        pick(f, QStringLiteral("Later"));
        EXPECT_EQ(state(f), l.later);
        pick(f, QStringLiteral("Never"));
        EXPECT_EQ(state(f), Shown(QStringLiteral("CALIBRATION DUE!"), 255));
    }
    // The graph's own text colour is kept.
    EXPECT_EQ(f.picResponse->ForeColor(), graphColour);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(CalibrateTest, ADueDateThatIsNowIsNotDueOneSecondLaterItIs) {
    addSequence(QStringLiteral("Start"), {QStringLiteral("Hum")});
    addSequence(QStringLiteral("Tonight"), {QStringLiteral("Sweep")});
    setCalibration(QStringLiteral("Tonight"), at(kToday.addDays(-1), 8), 1.5);
    setNow(QDateTime(kToday, QTime(20, 0, 0)));
    frmVexo& f = startOn(QStringLiteral("Start"));
    pick(f, QStringLiteral("Tonight"));
    EXPECT_EQ(state(f), Shown(QStringLiteral("Calibration due 20:00"), 0));
    pick(f, QStringLiteral("Start"));
    setNow(QDateTime(kToday, QTime(20, 0, 1)));
    pick(f, QStringLiteral("Tonight"));
    EXPECT_EQ(state(f), Shown(QStringLiteral("CALIBRATION DUE!"), 255));
}

TEST_F(CalibrateTest, ForcingAllMarksEverySequenceWithANoticeEachAndRefreshesOnce) {
    const double monday = at(kToday, 8);
    addSequence(QStringLiteral("A"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("B"), {QStringLiteral("Hum"), QStringLiteral("Sweep")});
    addSequence(QStringLiteral("C"), {QStringLiteral("Hum")});
    for (const char* s : {"A", "B", "C"}) setCalibration(QString::fromLatin1(s), monday, 0.0);
    frmVexo& f = startOn(QStringLiteral("A"));
    pick(f, QStringLiteral("B"));
    EXPECT_EQ(state(f), Shown(QStringLiteral("Calibrated 08:00 07-Dec-26"), 0));

    f.picResponse->clearOps();
    const int64_t t0 = vclock::ticks();
    NoticeWatch watch;
    bool e = false;
    f.gForceReCalAll(QString(), e);
    EXPECT_FALSE(e);
    for (const char* s : {"A", "B", "C"}) EXPECT_EQ(stored::lastCali(QString::fromLatin1(s)), 0.0) << s;
    // One notice per sequence, painted before its quarter-second wait.
    ASSERT_EQ(watch.notices.size(), 3);
    const char* names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(watch.notices[i].caption, "Forcing re-calibration - Please wait ...");
        EXPECT_EQ(watch.notices[i].prompt, QStringLiteral("Forcing re-calibration for '%1'").arg(QLatin1String(names[i])));
        EXPECT_EQ(watch.notices[i].tick, t0 + 250 * i);
    }
    EXPECT_EQ(vclock::ticks(), t0 + 750);
    EXPECT_FALSE(isLoaded<frmPrompt>());
    EXPECT_FALSE(f.gbTraboDontProcess);
    // Back on B, refreshed once, now due, with Calibration ready for the operator.
    EXPECT_EQ(f.lblSeq->Caption(), "B");
    // One flow: drawing the grid with the test's name and the flow's end each write the state.
    const Shown due{QStringLiteral("CALIBRATION DUE!"), 255};
    EXPECT_EQ(stateTexts(f), (QList<Shown>{due, due}));
    EXPECT_EQ(f.ActiveControl(), f.cmdCali);
}

TEST_F(CalibrateTest, ForcingATestFindsItInAnySlotButOnlyByItsExactName) {
    const double monday = at(kToday, 8);
    QStringList sixteen;
    for (int i = 0; i < 15; ++i) sixteen << QStringLiteral("Hum");
    sixteen << QStringLiteral("Rare");
    QStringList blank = sixteen;
    blank.last() = QStringLiteral("Rare ");
    addSequence(QStringLiteral("Plain"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Sixteen"), sixteen);
    addSequence(QStringLiteral("Blank"), blank);
    for (const char* s : {"Plain", "Sixteen", "Blank"}) setCalibration(QString::fromLatin1(s), monday, 0.0);
    frmVexo& f = startOn(QStringLiteral("Plain"));

    NoticeWatch watch;
    bool e = false;
    f.gForceReCalAll(QStringLiteral("Rare"), e);
    EXPECT_FALSE(e);
    EXPECT_EQ(stored::lastCali(QStringLiteral("Plain")), monday);
    EXPECT_EQ(stored::lastCali(QStringLiteral("Sixteen")), 0.0);
    EXPECT_EQ(stored::lastCali(QStringLiteral("Blank")), monday);
    ASSERT_EQ(watch.notices.size(), 1);
    EXPECT_EQ(watch.notices[0].prompt, "Forcing re-calibration for 'Sixteen'");

    // A test no sequence uses changes nothing and shows no notice.
    watch.notices.clear();
    const int64_t t0 = vclock::ticks();
    f.gForceReCalAll(QStringLiteral("Nobody"), e);
    EXPECT_FALSE(e);
    EXPECT_TRUE(watch.notices.isEmpty());
    EXPECT_EQ(vclock::ticks(), t0);
    EXPECT_EQ(stored::lastCali(QStringLiteral("Plain")), monday);
    EXPECT_EQ(stored::lastCali(QStringLiteral("Blank")), monday);
    EXPECT_EQ(f.lblSeq->Caption(), "Plain");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(CalibrateTest, AFailedWriteStopsTheWalkWithTheFlagClearAndTheNoticeClosed) {
    const double monday = at(kToday, 8);
    addSequence(QStringLiteral("A"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("B"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("C"), {QStringLiteral("Sweep")});
    for (const char* s : {"A", "B", "C"}) setCalibration(QString::fromLatin1(s), monday, 0.0);
    frmVexo& f = startOn(QStringLiteral("A"));
    pick(f, QStringLiteral("C"));
    f.picResponse->clearOps();

    // The sequence file refuses every change of a sequence row.
    SQLite::Database other(homeFile(QStringLiteral("Vexo_Seq.mdb")).toStdString(), SQLite::OPEN_READWRITE);
    other.exec("CREATE TRIGGER refuse BEFORE UPDATE ON vexo_seq BEGIN SELECT RAISE(ABORT, 'refused'); END");
    answer({vbAbort, vbNo});   // the write's error, and no bug report
    bool e = false;
    f.gForceReCalAll(QString(), e);
    other.exec("DROP TRIGGER refuse");

    EXPECT_TRUE(e);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_EQ(boxes()[0].title, "Error!");
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Source: frmVexo.gForceReCalAll")) << boxes()[0].prompt.toStdString();
    EXPECT_FALSE(f.gbTraboDontProcess);
    EXPECT_FALSE(isLoaded<frmPrompt>());
    for (const char* s : {"A", "B", "C"}) EXPECT_EQ(stored::lastCali(QString::fromLatin1(s)), monday) << s;
    // The data control stays where the walk stopped, and nothing was refreshed.
    EXPECT_EQ(f.lblSeq->Caption(), "A");
    EXPECT_TRUE(stateTexts(f).isEmpty());
}
}   // namespace
