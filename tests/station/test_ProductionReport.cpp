// Today's production on the main window: the summary read back from the
// production rows when a sequence is chosen, the rows written after each unit,
// and the engineer's pause.
#include "common/frmPassword.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Clock.h"
#include "platform/vb/Conversions.h"
#include "station/modProductionReport.h"
#include "test_editor/frmMETest.h"
#include "tests/support/MainWindowRig.h"
#include <QFile>

namespace {
constexpr double kMinute = 1.0 / 1440.0;

struct StoredRow {
    QString seq, op, station, start, end, pause, units, fails;
};

class ProductionReportTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        addTest(QStringLiteral("Phase"), QStringLiteral("Polarity"));
        addSequence(QStringLiteral("Alpha"), {QStringLiteral("Phase")});
        addSequence(QStringLiteral("Beta"), {QStringLiteral("Phase")});
    }
    void TearDown() override {
        endOfScript();
        unload<frmMETest>();
        MainWindowRig::TearDown();
    }
    frmVexo& startClean() {
        frmVexo& f = start();
        gsStationName = QStringLiteral("Line 3");
        return f;
    }
    // A row as another station (or an earlier day) left it.
    void addRow(const StoredRow& iRow) {
        const Database db = OpenDatabase(homeFile(QStringLiteral("Vexo_Prod.mdb")));
        auto rs = db.OpenRecordset(QStringLiteral("vexo_prod"));
        rs->AddNew();
        const QStringList values{iRow.seq, iRow.op, iRow.station, iRow.start, iRow.end, iRow.pause, iRow.units, iRow.fails};
        for (int i = 0; i < values.size(); ++i) rs->setField(i, Variant(values[i]));
        rs->Update();
    }
    static QList<StoredRow> storedRows() {
        QList<StoredRow> out;
        const Database db = OpenDatabase(QStringLiteral("Vexo_Prod.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("vexo_prod"));
        for (; rs->RecordCount() > 0 && !rs->EOF_(); rs->MoveNext()) {
            QStringList v;
            for (int i = 0; i < 8; ++i) v << CStr(rs->field(i));
            out << StoredRow{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
        }
        return out;
    }
    static QString today(double iMinutesAgo) {
        return QString::number(vclock::nowDays() - iMinutesAgo * kMinute, 'f', 6);
    }
    // A unit after the run, as the run counts and writes it.
    static void unitDone(bool iFailed) {
        bool err = false;
        gMprInc(iFailed, err);
        ASSERT_FALSE(err);
        gMprFileWrite(err);
        ASSERT_FALSE(err);
    }
    // What a fresh read shows: another sequence chosen, then this one again.
    void reselect(frmVexo& f, const QString& iOther, const QString& iThis) {
        choose(f.dcboSeq, iOther);
        choose(f.dcboSeq, iThis);
    }
    // The test editor a log-in opens, closed by its close box.
    static void closeEditor() {
        if (!isLoaded<frmMETest>()) return;
        form<frmMETest>().close();
        unload<frmMETest>();
        QApplication::processEvents();
    }
    static void pressCtrlE(frmVexo& f) {
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, Qt::Key_E, Qt::ControlModifier);
    }
};
}

TEST_F(ProductionReportTest, TodaysRowsAreReadWhenASequenceIsChosen) {
    addRow({"Alpha", "Anne", "Line 1", "46362.400000", "46362.450000", "00000.000000", "40", "4"});   // an earlier day
    addRow({"Alpha   ", "Anne", "Line 1", today(60), today(45.6), "00000.000000", "7", "0"});
    // Written by a station whose locale uses the decimal comma.
    QString start = today(20), end = today(10), pause = QStringLiteral("00000,004444");
    addRow({"Beta", "Bob", "Line 2", start.replace('.', ','), end.replace('.', ','), pause, "5", "1"});
    frmVexo& f = startClean();
    ASSERT_EQ(f.dcboSeq->Text(), "Alpha");
    // 14.4 + 10 - 6.4 minutes over 12 units.
    EXPECT_EQ(f.lblProdRep->Caption(), "Total   12    7  Fail 8.3%   0%    01:30.0");
    choose(f.dcboSeq, QStringLiteral("Beta"));
    EXPECT_EQ(f.lblProdRep->Caption(), "Total   12    5  Fail 8.3%  20%    01:30.0");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(ProductionReportTest, EachUnitAddsOneRowAndTheLabelAlwaysEqualsAFreshRead) {
    frmVexo& f = startClean();
    EXPECT_EQ(f.lblProdRep->Caption(), "Total    0    0  Fail   0%   0%    00:00.0");
    // Two sequences, units a few minutes apart, the label checked after each
    // against what re-choosing the sequence reads back from the rows.
    struct Unit {
        const char* seq;
        int seconds;
        bool failed;
    } units[] = {{"Alpha", 75, false}, {"Alpha", 90, true}, {"Alpha", 61, false},
                 {"Beta", 130, false}, {"Beta", 47, true},  {"Alpha", 200, false}};
    QString current = QStringLiteral("Alpha");
    for (const Unit& u : units) {
        const QString seq = QLatin1String(u.seq);
        if (seq != current) choose(f.dcboSeq, seq);
        current = seq;
        vclock::advance(u.seconds * 1000);
        unitDone(u.failed);
        const QString shown = f.lblProdRep->Caption();
        reselect(f, current == QLatin1String("Alpha") ? QStringLiteral("Beta") : QStringLiteral("Alpha"), current);
        EXPECT_EQ(f.lblProdRep->Caption(), shown) << u.seq << " " << u.seconds;
    }
    EXPECT_EQ(f.lblProdRep->Caption(), "Total    6    4  Fail  33%  25%    01:40.5");

    const QList<StoredRow> rows = storedRows();
    ASSERT_EQ(rows.size(), 6);
    int unitSum = 0, failSum = 0;
    for (const StoredRow& r : rows) {
        unitSum += r.units.toInt();
        failSum += r.fails.toInt();
        EXPECT_EQ(r.units, "1");   // no row repeats an earlier unit
        EXPECT_EQ(r.op, f.dcboOperator->Text());
        EXPECT_EQ(r.station, "Line 3");
        EXPECT_EQ(r.pause, "00000.000000");
        EXPECT_EQ(r.start.size(), 12);
    }
    EXPECT_EQ(unitSum, 6);
    EXPECT_EQ(failSum, 2);
    EXPECT_EQ(rows[1].start, rows[0].end);   // the next period starts where a row ends
    EXPECT_EQ(rows[0].seq, "Alpha");
    EXPECT_EQ(rows[3].seq, "Beta");

    // A write with no new unit adds nothing.
    bool err = false;
    gMprFileWrite(err);
    EXPECT_EQ(storedRows().size(), 6);
}

TEST_F(ProductionReportTest, AnEngineerSessionCountsNothingAndItsPauseIsBookedWithTheNextUnit) {
    frmVexo& f = startClean();
    gsPasswordEng = QString();   // no password: the log-in grants at once
    vclock::advance(60 * 1000);
    unitDone(false);
    ASSERT_EQ(storedRows().size(), 1);

    pressCtrlE(f);                                 // engineer mode
    ASSERT_FALSE(f.dcboOperator->Visible());
    closeEditor();
    reselect(f, QStringLiteral("Beta"), QStringLiteral("Alpha"));
    const QString before = f.lblProdRep->Caption();
    vclock::advance(60 * 1000);
    unitDone(false);                               // a unit tested by the engineer
    EXPECT_EQ(storedRows().size(), 1);
    EXPECT_EQ(f.lblProdRep->Caption(), before);

    vclock::advance(10 * 60 * 1000);
    pressCtrlE(f);                                 // back to production
    ASSERT_TRUE(f.dcboOperator->Visible());
    closeEditor();
    vclock::advance(30 * 1000);
    unitDone(false);
    const QList<StoredRow> rows = storedRows();
    ASSERT_EQ(rows.size(), 2);
    // The pause runs from the re-read to the log-in: eleven minutes, never the calendar.
    EXPECT_NEAR(CDbl(Variant(rows[1].pause)) * 1440.0, 11.0, 0.01);
    EXPECT_NEAR((CDbl(Variant(rows[1].end)) - CDbl(Variant(rows[1].start)) - CDbl(Variant(rows[1].pause))) * 1440.0,
                0.5, 0.01);
    EXPECT_EQ(f.lblProdRep->Caption(), "Total    2    2  Fail   0%   0%    00:45.0");
    reselect(f, QStringLiteral("Beta"), QStringLiteral("Alpha"));
    EXPECT_EQ(f.lblProdRep->Caption(), "Total    2    2  Fail   0%   0%    00:45.0");
}

TEST_F(ProductionReportTest, AMissingProductionFileIsReportedAndTheCountsKept) {
    frmVexo& f = startClean();
    vclock::advance(90 * 1000);
    bool err = false;
    gMprInc(true, err);
    ASSERT_FALSE(err);
    const QString counted = f.lblProdRep->Caption();
    ASSERT_EQ(counted, "Total    1    1  Fail 100% 100%    01:30.0");
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("Vexo_Prod.mdb"))));
    answer({vbOK});
    choose(f.dcboSeq, QStringLiteral("Beta"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "gMprFileRead");
    EXPECT_TRUE(boxes()[0].prompt.contains(QStringLiteral("Vexo_Prod.mdb")));
    EXPECT_EQ(f.lblProdRep->Caption(), counted);
}
