// Running pair matching from the window, the result lines, deleting the
// model's curves and the printed report.
#include "platform/vb/Locale.h"
#include "platform/ui/Printer.h"
#include "tests/supervisor/PairMatchRig.h"

namespace {
class PairMatchRunTest : public PairMatchTest {
protected:
    void TearDown() override {
        endOfScript();
        Printer.setRecording(false);
        PairMatchTest::TearDown();
    }
    // A model whose NOT MATCHED serial 2 can be read inside "0012", and whose
    // units 1, 4 and 5 share serial 12; another model's rows in between.
    void logMixedBatch() {
        log(QStringLiteral("M"), {{12, 0.0f}, {1000, 0.25f}});
        log(QStringLiteral("Other"), {{2, 0.0f}, {12, 0.25f}});
        log(QStringLiteral("M"), {{2, 5.0f}, {12, 9.0f}, {12, 9.25f}, {50, 20.0f}});
    }
};

TEST_F(PairMatchRunTest, LinesShowPaddedSerialsAndFiguresInColumns) {
    log(QStringLiteral("Woofer"), {{7, 0.0f}, {12, 0.25f}, {104, 3.0f}, {9, 3.125f}, {8, 7.5f}});
    saveParameters(QStringLiteral("4"), QStringLiteral("0"));
    frmMPairMatch& f = open(QStringLiteral("Woofer"));
    ASSERT_TRUE(f.cmdPairMatch->isEnabled());
    drive::click(f.cmdPairMatch);
    const QStringList l = lines(f);
    ASSERT_EQ(l.size(), 2);
    EXPECT_TRUE(l[0].startsWith("Serial 007 matched by serial 012")) << l[0].toStdString();
    EXPECT_TRUE(l[0].endsWith("Average 00.25 (dB)     Worst 00.25 (dB)")) << l[0].toStdString();
    EXPECT_TRUE(l[1].startsWith("Serial 104 matched by serial 009")) << l[1].toStdString();
    EXPECT_TRUE(l[1].endsWith("Average 00.13 (dB)     Worst 00.13 (dB)")) << l[1].toStdString();
    for (const QString& line : l) {
        const qsizetype at = line.indexOf(QStringLiteral("Average "));
        EXPECT_GE(f.TextWidth(line.left(at)), 2700.0);
        // Blanks only as far as the mark.
        if (line.at(at - 1) == QLatin1Char(' ')) {
            EXPECT_LT(f.TextWidth(line.left(at - 1)), 2700.0);
        }
    }
    EXPECT_EQ(f.lblMatched->Caption(), "2 pairs matched");
    EXPECT_EQ(f.lstPair->ListIndex(), 1);
    EXPECT_TRUE(f.mnuFilePrint->Enabled());
    EXPECT_TRUE(f.mnuFileDeleteMatched->Enabled());
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(PairMatchRunTest, AFailedCycleIsListedAndLeavesTheCountLabelAtZero) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.5f}});
    saveParameters(QStringLiteral("2"), QStringLiteral("0"));
    frmMPairMatch& f = open(QStringLiteral("Woofer"));
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(lines(f).size(), 1);
    EXPECT_TRUE(lines(f)[0].startsWith("Serial 1 NOT MATCHED "));
    EXPECT_EQ(f.lblMatched->Caption(), "0 pairs matched");
    EXPECT_TRUE(f.mnuFilePrint->Enabled());
    EXPECT_FALSE(f.mnuFileDeleteMatched->Enabled());
}

TEST_F(PairMatchRunTest, AChangeOfParameterOrModelClearsTheResults) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.25f}});
    log(QStringLiteral("Tweeter"), {{5, 0.0f}, {6, 0.25f}, {7, 0.5f}});
    saveParameters(QStringLiteral("2"), QStringLiteral("0"));
    frmMPairMatch& f = open(QStringLiteral("Woofer"), true);
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(f.lblMatched->Caption(), "1 pair matched");

    retype(*f.txtWorstLim, QStringLiteral("2"));
    EXPECT_EQ(f.lstPair->ListCount(), 0);
    EXPECT_EQ(f.lblMatched->Caption(), "");
    EXPECT_FALSE(f.mnuFilePrint->Enabled());
    EXPECT_FALSE(f.mnuFileDeleteMatched->Enabled());
    // Leaving the box lists the batch's serials again.
    leave(*f.txtWorstLim);
    EXPECT_EQ(lines(f), (QStringList{"Serial 1", "Serial 2"}));

    drive::click(f.cmdPairMatch);
    ASSERT_TRUE(f.mnuFileDeleteMatched->Enabled());
    f.cboSeq->setListIndex(1);
    EXPECT_EQ(f.txtBatchSize->Text(), "3");
    EXPECT_EQ(lines(f), (QStringList{"Serial 5", "Serial 6", "Serial 7"}));
    EXPECT_FALSE(f.mnuFilePrint->Enabled());
    EXPECT_FALSE(f.mnuFileDeleteMatched->Enabled());
    // A model with a batch of the same size is offered a run too.
    log(QStringLiteral("Mid"), {{8, 0.0f}, {9, 0.25f}, {10, 0.5f}});
    unload<frmMPairMatch>();
    frmMPairMatch& g = open(QStringLiteral("Tweeter"));
    g.cboSeq->setListIndex(2);
    EXPECT_EQ(g.cboSeq->Text(), "Mid");
    EXPECT_TRUE(g.cmdPairMatch->isEnabled());
}

TEST_F(PairMatchRunTest, UnderACommaLocaleTheLimitsReadAsTheyAreShown) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.25f}, {3, 5.0f}, {4, 5.5f}});
    saveParameters(QStringLiteral("4"), QStringLiteral("0"), QStringLiteral("1.44"), QStringLiteral("0.38"));
    frmMPairMatch& f = open(QStringLiteral("Woofer"), true);
    EXPECT_EQ(f.txtAveLim->Text(), "0,38");
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(lines(f).size(), 2);
    EXPECT_TRUE(lines(f)[0].contains("matched by serial 2")) << lines(f)[0].toStdString();
    EXPECT_TRUE(lines(f)[0].endsWith("Average 00,25 (dB)     Worst 00,25 (dB)"));
    EXPECT_TRUE(lines(f)[1].contains("NOT MATCHED"));

    retype(*f.txtAveLim, QStringLiteral("0,5"));
    leave(*f.txtAveLim);
    EXPECT_TRUE(boxes().isEmpty());
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(lines(f).size(), 2);
    EXPECT_TRUE(lines(f)[1].contains("Serial 3 matched by serial 4")) << lines(f)[1].toStdString();
    EXPECT_EQ(f.lblMatched->Caption(), "2 pairs matched");
}

TEST_F(PairMatchRunTest, ARunNeedsTwoCurves) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}});
    saveParameters(QStringLiteral("0"), QStringLiteral("0"));
    frmMPairMatch& f = open(QStringLiteral("Woofer"));
    ASSERT_TRUE(f.cmdPairMatch->isEnabled());
    answer({vbOK});
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Pair matching needs a batch of at least 2 curves");
    EXPECT_EQ(boxes()[0].title, "Pair Match");
    EXPECT_EQ(f.lstPair->ListCount(), 0);
    EXPECT_FALSE(f.mnuFilePrint->Enabled());
}

TEST_F(PairMatchRunTest, DeleteMatchedDeletesBothCurvesOfEachPairAndNothingElse) {
    logMixedBatch();
    saveParameters(QStringLiteral("2"), QStringLiteral("0"));
    frmMPairMatch& f = open(QStringLiteral("M"));
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(lines(f).size(), 3);
    EXPECT_TRUE(lines(f)[0].startsWith("Serial 0012 matched by serial 1000"));
    EXPECT_TRUE(lines(f)[1].startsWith("Serial 0002 NOT MATCHED"));
    EXPECT_TRUE(lines(f)[2].startsWith("Serial 0012 matched by serial 0012"));
    const QStringList before = stored();

    answer({vbNo});
    f.mnuFileDeleteMatched->fireClick();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Delete ONLY the matched 'M' curves?");
    EXPECT_EQ(boxes()[0].title, "Pair Match");
    EXPECT_EQ(boxes()[0].icon, 0);
    EXPECT_EQ(boxes()[0].answers, (QList<int>{vbYes, vbNo}));
    EXPECT_EQ(boxes()[0].defaultAnswer, vbNo);
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(f.mnuFileDeleteMatched->Enabled());

    answer({vbYes});
    drive::key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(boxes().size(), 2);
    EXPECT_EQ(stored(), (QStringList{"Other/2", "Other/12", "M/2", "M/50"}));
    EXPECT_FALSE(f.mnuFileDeleteMatched->Enabled());
    EXPECT_EQ(f.lblMatched->Caption(), "");
    // The window follows the store: size, list and the next run.
    EXPECT_EQ(f.txtBatchSize->Text(), "2");
    EXPECT_EQ(lines(f), (QStringList{"Serial 2", "Serial 50"}));
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(lines(f).size(), 1);
    EXPECT_TRUE(lines(f)[0].startsWith("Serial 02 NOT MATCHED")) << lines(f)[0].toStdString();
    EXPECT_TRUE(lines(f)[0].contains("Average 15.00"));
    EXPECT_EQ(boxes().size(), 2);
}

TEST_F(PairMatchRunTest, DeleteMatchedStopsWhenTheStoreChangedSinceTheRead) {
    logMixedBatch();
    saveParameters(QStringLiteral("2"), QStringLiteral("0"));
    frmMPairMatch& f = open(QStringLiteral("M"));
    drive::click(f.cmdPairMatch);
    // Elsewhere, unit 2's curve goes and the records move up.
    OpenDatabase(QStringLiteral("Vexo_Crv.mdb")).Execute(QStringLiteral("DELETE FROM vexo_crv WHERE Serial_Number = 1000"));
    answer({vbYes, vbOK});
    f.mnuFileDeleteMatched->fireClick();
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[1].prompt, "The 'M' curves have changed since they were read: no more are deleted");
    EXPECT_EQ(boxes()[1].icon, vbExclamation);
    // Unit 1 went; unit 3, now in unit 2's place, and all after it stay.
    EXPECT_EQ(stored(), (QStringList{"Other/2", "Other/12", "M/2", "M/12", "M/12", "M/50"}));
    EXPECT_EQ(f.txtBatchSize->Text(), "4");
}

TEST_F(PairMatchRunTest, DeleteAllRemovesTheModelsCurvesInAnyLetterCase) {
    log(QStringLiteral("M"), {{1, 0.0f}, {2, 0.25f}});
    log(QStringLiteral("Other"), {{3, 0.0f}});
    log(QStringLiteral("m"), {{4, 0.0f}});
    frmMPairMatch& f = open(QStringLiteral("M"), true);
    EXPECT_EQ(f.txtBatchSize->Text(), "3");
    answer({vbYes});
    drive::key(Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Delete ALL the 'M' curves?");
    EXPECT_EQ(boxes()[0].defaultAnswer, vbNo);
    EXPECT_EQ(stored(), QStringList{"Other/3"});
    EXPECT_EQ(f.txtBatchSize->Text(), "0");
    EXPECT_EQ(f.lstPair->ListCount(), 0);
    EXPECT_FALSE(f.mnuFileDeleteAll->Enabled());
    EXPECT_FALSE(f.cmdPairMatch->isEnabled());
    // No serial of the deleted curves comes back.
    leave(*f.txtAveLim);
    EXPECT_EQ(f.lstPair->ListCount(), 0);
    // The main window's record set no longer meets them either.
    CurveLevels levels;
    std::vector<int32_t> serials;
    int16_t points = 0;
    bool err = false;
    EXPECT_EQ(gnVarReadBatch(true, QStringLiteral("M"), levels, serials, points, err), 0);
}

TEST_F(PairMatchRunTest, TheReportListsTheRunAndEndsWithTheStation) {
    Printer.setRecording(true);
    Printer.setFontName(QStringLiteral("Courier New"));
    QList<QPair<int32_t, float>> units;
    for (int i = 1; i <= 120; ++i) units.append({i, 10.0f * static_cast<float>(i)});
    log(QStringLiteral("Woofer"), units);
    saveParameters(QStringLiteral("2"), QStringLiteral("0"));
    frmMPairMatch& f = open(QStringLiteral("Woofer"));
    drive::click(f.cmdPairMatch);
    ASSERT_EQ(f.lstPair->ListCount(), 119);
    f.mnuFilePrint->fireClick();
    EXPECT_EQ(Printer.FontName(), "Courier New");
    ASSERT_EQ(Printer.printedDocuments().size(), 1);
    const PrintedDocument& doc = Printer.printedDocuments()[0];
    EXPECT_GE(doc.size(), 2);
    QStringList texts;
    for (const PrintedPage& page : doc)
        for (const PrintOp& op : page)
            if (op.kind == PrintOpKind::Text) {
                texts << op.text;
                EXPECT_EQ(op.fontName, "Arial");
            }
    const QStringList printedLines = [&] {
        QStringList l;
        for (const QString& t : texts)
            if (!t.trimmed().isEmpty()) l << t;
        return l;
    }();
    ASSERT_GE(printedLines.size(), 4);
    EXPECT_EQ(printedLines[0], "Trabo Pair Match Report for ");
    EXPECT_EQ(printedLines[1], "'Woofer'");
    EXPECT_EQ(printedLines[2], "0 pair(s) matched from a batch of ");
    EXPECT_EQ(printedLines[3], "120");
    for (int i = 0; i < 119; ++i) EXPECT_EQ(printedLines[4 + i], f.lstPair->List(i));
    EXPECT_TRUE(printedLines.last().startsWith("Mon ")) << printedLines.last().toStdString();
    EXPECT_TRUE(printedLines.last().endsWith("    Station: Line 2"));
    EXPECT_EQ(printedLines.size(), 4 + 119 + 1);
}
}
