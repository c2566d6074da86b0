// The typical-unit finder on the station: the batch logged as "Typical" read
// and corrected by the "Typical" calibration, the result drawn and printed on
// the main window, the main window's own sequence left where the operator had
// it; options, Do Typical and the minimum batch as the user changes them.
#include "audio/modResponseSub.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Settings.h"
#include "platform/ui/Color.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "station/CalibrationMath.h"
#include "station/modMSub.h"
#include "supervisor/frmMSupervisor.h"
#include "supervisor/frmMTypical.h"
#include "tests/support/MainWindowRig.h"

namespace {
constexpr int16_t kPoints = 4;
constexpr double kLastCali = 46000.5;   // a calibration at noon

class TypicalTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        seed::add(seed::ResponseTest{.name = QStringLiteral("Woofer"), .points = 40});
        addSequence(QStringLiteral("X"), {QStringLiteral("Woofer")});
        saveUserSetting(QStringLiteral("dcboSeq"), QStringLiteral("X"));
    }
    void TearDown() override {
        endOfScript();
        unload<frmMTypical>();
        unload<frmMSupervisor>();
        MainWindowRig::TearDown();
    }
    // The "Typical" test and sequence, its first calibration row holding the reference.
    void typicalRows(const std::vector<float>& iRef) {
        seed::add(seed::ResponseTest{.name = QStringLiteral("Typical"), .fLo = 100, .fHi = 10000, .points = kPoints});
        seed::add(seed::Sequence{.name = QStringLiteral("Typical"),
                                 .tests = {QStringLiteral("Typical")},
                                 .lastCal = kLastCali,
                                 .calTests = {QStringLiteral("Typical")}});
        std::vector<float> ref(101, 0.0f);
        for (size_t p = 1; p < iRef.size() + 1 && p <= 100; ++p) ref[p] = iRef[p - 1];
        QList<Variant> values;
        QStringList sets;
        for (int q = 1; q <= 4; ++q) {
            sets << CalibrationRecord::refField(q) + QStringLiteral(" = ?");
            values << Variant(calibrationmath::encodeField(ref, q));
        }
        values << Variant(QStringLiteral("Typical"));
        OpenDatabase(QStringLiteral("Vexo_Seq.mdb"))
            .Execute(QStringLiteral("UPDATE vexo_seq_cal01 SET %1 WHERE Seq_Name = ?").arg(sets.join(',')), values);
    }
    // Logs curves of the model: serial and level per point (one level: flat).
    static void log(const QString& iModel, const QList<QPair<int32_t, std::vector<float>>>& iUnits) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
        QStringList fields{QStringLiteral("Model_Name"), QStringLiteral("Serial_Number"), QStringLiteral("Swp_Point")};
        QStringList marks{QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?")};
        for (int p = 1; p <= kPoints; ++p) {
            fields << QStringLiteral("Curve%1").arg(p, 3, 10, QLatin1Char('0'));
            marks << QStringLiteral("?");
        }
        const QString sql = QStringLiteral("INSERT INTO vexo_crv (%1) VALUES (%2)").arg(fields.join(','), marks.join(','));
        for (const auto& [serial, levels] : iUnits) {
            QList<Variant> values{Variant(iModel), Variant(serial), Variant(kPoints)};
            for (size_t p = 0; p < kPoints; ++p) values << Variant(levels.size() == 1 ? levels[0] : levels[p]);
            db.Execute(sql, values);
        }
    }
    // Five flat units at -25, -24, -23, -19 and -15 dB (serials 101..105): the
    // average -21.2 dB is nearest unit 3, the envelope's middle -20 dB nearest unit 4.
    void fiveUnits() {
        log(QStringLiteral("Typical"), {{101, {-25.0f}}, {102, {-24.0f}}, {103, {-23.0f}}, {104, {-19.0f}}, {105, {-15.0f}}});
    }
    static void store(const QString& iMinimum, bool iSquared = false, bool iEnvelope = false) {
        saveUserSetting(QStringLiteral("frmMTypical.txtTypBatchMin"), iMinimum);
        saveUserSetting(QStringLiteral("frmMTypical.optSimpleAveraging"), iSquared ? "False" : "True");
        saveUserSetting(QStringLiteral("frmMTypical.optSquaredAveraging"), iSquared ? "True" : "False");
        saveUserSetting(QStringLiteral("frmMTypical.optFourthAveraging"), QStringLiteral("False"));
        saveUserSetting(QStringLiteral("frmMTypical.optAverageIdeal"), iEnvelope ? "False" : "True");
        saveUserSetting(QStringLiteral("frmMTypical.optEnvelopeIdeal"), iEnvelope ? "True" : "False");
    }
    // The main window, its drawing logs emptied.
    frmVexo& station() {
        frmVexo& f = start();
        clearBoxes();
        f.picResponse->clearOps();
        formSurface(f).clearOps();
        return f;
    }
    // The finder as the sequence editor shows it: loaded (the run), then shown.
    frmMTypical& shown() {
        frmMTypical& t = form<frmMTypical>();
        t.Show();
        t.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&t));
        return t;
    }
    // The graph's line segments in one colour.
    static QList<DrawOp> lines(const frmVexo& f, int32_t iColour) {
        QList<DrawOp> out;
        for (const DrawOp& op : f.picResponse->ops())
            if (op.kind == DrawOpKind::Line && op.color == iColour) out << op;
        return out;
    }
    // The words printed on the window since its text was last cleared, with
    // their colours, from the finder's first line (the graph's scale is printed there too).
    static QList<QPair<QString, int32_t>> printed(frmVexo& f) {
        QList<QPair<QString, int32_t>> out;
        for (const DrawOp& op : formSurface(f).ops()) {
            if (op.kind == DrawOpKind::Cls) out.clear();
            if (op.kind == DrawOpKind::Text && !op.text.isEmpty()) out << qMakePair(op.text, op.color);
        }
        while (!out.isEmpty() && !out.first().first.startsWith("Typical from")) out.removeFirst();
        return out;
    }
    static int16_t y(frmVexo& f, float iLevel) {
        bool err = false;
        return gnResponseSubCalcY(f, iLevel, err);
    }
};
}

TEST_F(TypicalTest, FromTheSupervisorTheResultIsOnTheMainWindowAndItsSequenceStays) {
    typicalRows({1.0f, 2.0f, 3.0f, 4.0f});
    fiveUnits();
    store(QStringLiteral("5"));
    frmVexo& f = station();
    const QString test = CStr(f.dtaTest.Recordset().field(QStringLiteral("Test_Name")));
    const ResponseCurve ref(101, -7.5f);
    gafRefCrv = ref;
    frmMSupervisor& s = form<frmMSupervisor>();
    s.Show();
    s.mnuPairTypTypical->fireClick();

    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_FALSE(isLoaded<frmMTypical>());
    EXPECT_FALSE(f.gbTraboMTypicalLoaded);
    EXPECT_TRUE(s.mnuPairTypTypical->Enabled());
    EXPECT_EQ(CStr(f.dtaSeq.Recordset().field(QStringLiteral("Seq_Name"))), "X");
    EXPECT_EQ(CStr(f.dtaTest.Recordset().field(QStringLiteral("Test_Name"))), test);
    EXPECT_EQ(f.dcboSeq->Text(), "X");
    EXPECT_EQ(gafRefCrv, ref);
    EXPECT_FALSE(f.picPolarity->Visible());
    EXPECT_EQ(f.lblSerial->Caption(), "");

    // Five white curves, the blue ideal, and unit 3 in red at its stored level plus the reference.
    const QList<DrawOp> white = lines(f, vbcolor::vbWhite);
    const QList<DrawOp> red = lines(f, vbcolor::vbRed);
    ASSERT_EQ(red.size(), kPoints);   // a move to the first point, then a line to each next one
    ASSERT_EQ(white.size(), 5 * red.size());
    EXPECT_EQ(lines(f, vbcolor::vbBlue).size(), red.size());
    for (int i = 0; i < red.size(); ++i) {
        EXPECT_EQ(red[i].y2, white[2 * red.size() + i].y2);
        EXPECT_EQ(red[i].y2, y(f, -23.0f + static_cast<float>(i + 1)));
    }

    const int32_t text = formSurface(f).ForeColor();
    const QString cali = "calibration " + FormatDate(kLastCali, "Short Time") + " " + FormatDate(kLastCali, "Long Date");
    QList<QPair<QString, int32_t>> expected;
    for (const auto& [words, colour] : std::initializer_list<std::pair<QString, int32_t>>{
             {"Typical from 5 units using", text}, {cali, text}, {"The ", text}, {"Blue ", vbcolor::vbBlue},
             {"'ideal' is the ", text}, {"average ", vbcolor::vbBlue}, {"of the batch", text}, {"The ", text},
             {"Red ", vbcolor::vbRed}, {"curve is the typical serial 103", text}, {"Its averaged ", text},
             {"difference from the ", text}, {"ideal is 1.80dB", text}})
        expected << qMakePair(words, colour);
    EXPECT_EQ(printed(f), expected);
    const QList<DrawOp>& ops = formSurface(f).ops();
    const auto first = std::find_if(ops.begin(), ops.end(), [](const DrawOp& op) { return op.text.startsWith("Typical"); });
    ASSERT_NE(first, ops.end());
    EXPECT_EQ(first->y1, 700);
    EXPECT_EQ(first->x1, f.dcboSeq->Left());
    // Each paragraph at the margin, a word that follows beside the one before.
    for (const DrawOp& op : ops) {
        if (op.text == "of the batch" || op.text == "Its averaged ") { EXPECT_EQ(op.x1, f.dcboSeq->Left()); }
        if (op.text == "Blue ") { EXPECT_GT(op.x1, f.dcboSeq->Left()); }
    }
}

TEST_F(TypicalTest, OptionsClearTheTextAndDoTypicalPrintsAgainWithoutASecondCorrection) {
    typicalRows({3.0f, 3.0f, 3.0f, 3.0f});
    fiveUnits();
    store(QStringLiteral("5"), true, true);
    frmVexo& f = station();
    frmMTypical& t = shown();
    EXPECT_TRUE(t.optSquaredAveraging->Value());
    EXPECT_TRUE(t.optEnvelopeIdeal->Value());
    QList<QPair<QString, int32_t>> words = printed(f);
    ASSERT_EQ(words.size(), 14);
    EXPECT_EQ(words[5], qMakePair(QStringLiteral("envelope middle "), vbcolor::vbBlue));
    EXPECT_EQ(words[9].first, "curve is the typical serial 104");
    EXPECT_EQ(words[11], qMakePair(QStringLiteral("squared "), vbcolor::vbRed));
    EXPECT_EQ(words[13].first, "ideal is 1.00dB");
    const QList<DrawOp> firstRed = lines(f, vbcolor::vbRed);

    drive::click(t.optSimpleAveraging, QPoint(8, t.optSimpleAveraging->height() / 2));
    EXPECT_TRUE(printed(f).isEmpty());
    EXPECT_EQ(lines(f, vbcolor::vbRed).size(), firstRed.size());   // the graph keeps its curves
    drive::click(t.optAverageIdeal, QPoint(8, t.optAverageIdeal->height() / 2));
    drive::click(t.cmdDoTypical);
    words = printed(f);
    ASSERT_EQ(words.size(), 13);
    EXPECT_EQ(words[5].first, "average ");
    EXPECT_EQ(words[9].first, "curve is the typical serial 103");
    EXPECT_EQ(words[12].first, "ideal is 1.80dB");
    const QList<DrawOp> red = lines(f, vbcolor::vbRed);
    ASSERT_EQ(red.size(), 2 * firstRed.size());
    EXPECT_EQ(red.last().y2, y(f, -23.0f + 3.0f));   // the reference added once
    EXPECT_TRUE(boxes().isEmpty());

    // Exit keeps the choices for next time.
    t.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t));
    QTest::keyClick(t.focusWidget() ? t.focusWidget() : &t, Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(isLoaded<frmMTypical>());
    EXPECT_EQ(userSetting("frmMTypical.optSimpleAveraging"), "True");
    EXPECT_EQ(userSetting("frmMTypical.optEnvelopeIdeal"), "False");
    EXPECT_EQ(userSetting("frmMTypical.txtTypBatchMin"), "5");
}

TEST_F(TypicalTest, TheMinimumBatchTakesDigitsStepsWithTheArrowsAndIsRefusedBelowTwo) {
    typicalRows({3.0f, 3.0f, 3.0f, 3.0f});
    fiveUnits();
    store(QStringLiteral("5"));
    station();
    frmMTypical& t = shown();
    clearBoxes();
    t.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t));
    auto typeOver = [&t](const QString& iText) {
        t.txtTypBatchMin->SetFocus();
        t.txtTypBatchMin->setSelStart(0);
        t.txtTypBatchMin->setSelLength(int32_t(t.txtTypBatchMin->Text().size()));
        drive::type(iText);
    };
    typeOver(QStringLiteral("1x2.-"));
    EXPECT_EQ(t.txtTypBatchMin->Text(), "12");
    drive::key(Qt::Key_Up);
    EXPECT_EQ(t.txtTypBatchMin->Text(), "13");
    typeOver(QStringLiteral("1"));
    answer({vbOK});
    t.optSimpleAveraging->SetFocus();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "In the range 2 to 999 please!");
}

TEST_F(TypicalTest, TooFewUnitsAbandonWithBothNumbersAndDrawNothing) {
    typicalRows({0.0f});
    fiveUnits();
    const struct {
        const char* stored;
        const char* prompt;
    } cases[] = {
        {"6", "ABANDONING TYPICAL!\r\r5 'Typical' units have been found\r\nand 6 are needed\r\n"},
        {"5", nullptr},   // exactly the minimum runs
    };
    frmVexo& f = station();
    for (const auto& c : cases) {
        store(QString::fromLatin1(c.stored));
        clearBoxes();
        f.picResponse->clearOps();
        form<frmMTypical>();
        unload<frmMTypical>();
        if (c.prompt) {
            ASSERT_EQ(boxes().size(), 1);
            EXPECT_EQ(boxes()[0].prompt, c.prompt);
            EXPECT_EQ(boxes()[0].title, "Typical");
            EXPECT_TRUE(lines(f, vbcolor::vbWhite).isEmpty());
            EXPECT_TRUE(lines(f, vbcolor::vbRed).isEmpty());
        } else {
            EXPECT_TRUE(boxes().isEmpty());
            EXPECT_EQ(lines(f, vbcolor::vbRed).size(), kPoints);
        }
    }
}

TEST_F(TypicalTest, AStoredZeroAndAnEmptyBatchAbandonAgainstTwenty) {
    typicalRows({0.0f});
    store(QStringLiteral("0"));
    frmVexo& f = station();
    frmMTypical& t = form<frmMTypical>();
    EXPECT_EQ(t.txtTypBatchMin->Text(), "20");
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "ABANDONING TYPICAL!\r\r0 'Typical' units have been found\r\nand 20 are needed\r\n");
    EXPECT_TRUE(lines(f, vbcolor::vbWhite).isEmpty());
    unload<frmMTypical>();
    EXPECT_EQ(userSetting("frmMTypical.txtTypBatchMin"), "20");
}

TEST_F(TypicalTest, NoDifferenceBelowAMillionMarksNoUnit) {
    typicalRows({0.0f});
    log(QStringLiteral("Typical"), {{7, {0.0f}}, {8, {80.0f}}});
    store(QStringLiteral("2"));
    saveUserSetting(QStringLiteral("frmMTypical.optSimpleAveraging"), QStringLiteral("False"));
    saveUserSetting(QStringLiteral("frmMTypical.optFourthAveraging"), QStringLiteral("True"));
    frmVexo& f = station();
    answer({vbOK});
    form<frmMTypical>();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Typical");
    EXPECT_TRUE(lines(f, vbcolor::vbRed).isEmpty());
    EXPECT_EQ(lines(f, vbcolor::vbWhite).size(), 2 * kPoints);
    for (const auto& [text, colour] : printed(f)) EXPECT_FALSE(text.contains("typical serial"));
}

TEST_F(TypicalTest, WithoutTheTypicalRowsAMessageAndNothingDrawn) {
    fiveUnits();
    store(QStringLiteral("5"));
    frmVexo& f = station();
    answer({vbOK});
    form<frmMTypical>();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Typical");
    EXPECT_TRUE(f.picResponse->ops().isEmpty());
    EXPECT_EQ(f.dcboSeq->Text(), "X");
    EXPECT_EQ(CStr(f.dtaSeq.Recordset().field(QStringLiteral("Seq_Name"))), "X");
    // Do Typical has nothing to work on either.
    answer({vbOK});
    drive::click(form<frmMTypical>().cmdDoTypical);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[1].title, "Typical");
    EXPECT_TRUE(f.picResponse->ops().isEmpty());
}

TEST_F(TypicalTest, WithTheRegionChangedTheStoredChoicesAreNotReadButWrittenAtExit) {
    typicalRows({0.0f});
    fiveUnits();
    store(QStringLiteral("5"), true, true);
    station();
    gbUserRegionChanged = true;   // as the main window's start found it
    frmMTypical& t = form<frmMTypical>();
    EXPECT_EQ(t.txtTypBatchMin->Text(), "20");
    EXPECT_TRUE(t.optSimpleAveraging->Value());
    EXPECT_TRUE(t.optAverageIdeal->Value());
    ASSERT_EQ(boxes().size(), 1);   // five units, twenty needed
    EXPECT_TRUE(boxes()[0].prompt.startsWith("ABANDONING TYPICAL!"));
    unload<frmMTypical>();
    EXPECT_EQ(userSetting("frmMTypical.txtTypBatchMin"), "20");
    EXPECT_EQ(userSetting("frmMTypical.optSquaredAveraging"), "False");
}
