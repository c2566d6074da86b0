// The pair-match window opened directly: the model list, the batch read, the
// size rule and the four parameters as a supervisor or engineer meets them.
#include "platform/vb/Locale.h"
#include "platform/ui/Color.h"
#include "tests/supervisor/PairMatchRig.h"

namespace {
const int32_t kNormal = vbcolor::fromQColor(vbcolor::toQColor(vbcolor::vbButtonText));
const int32_t kRed = vbcolor::fromQColor(vbcolor::toQColor(vbcolor::vbRed));

TEST_F(PairMatchTest, ListsEachModelOnceWithoutTheTypicalBatch) {
    log(QStringLiteral("A"), {{1, 0.0f}});
    log(QStringLiteral("b"), {{2, 0.0f}});
    log(QStringLiteral(" a "), {{3, 0.0f}});
    log(QStringLiteral("Typical"), {{4, 0.0f}});
    log(QStringLiteral("TYPICAL "), {{5, 0.0f}});
    log(QStringLiteral("B"), {{6, 0.0f}});
    frmMPairMatch& f = open(QStringLiteral("b"));
    EXPECT_EQ(entries(f), (QStringList{"A", "b"}));
    EXPECT_TRUE(main->gbTraboMPairMatchLoaded);
    EXPECT_TRUE(boxes().isEmpty());
    // The chosen model's batch: "b" and "B" are one model in the store.
    EXPECT_EQ(f.cboSeq->Text(), "b");
    EXPECT_EQ(f.txtBatchSize->Text(), "2");
    EXPECT_EQ(lines(f), (QStringList{"Serial 2", "Serial 6"}));
    EXPECT_TRUE(f.mnuFileDeleteAll->Enabled());
    EXPECT_FALSE(f.mnuFileDeleteMatched->Enabled());
    EXPECT_FALSE(f.mnuFilePrint->Enabled());
    EXPECT_EQ(main->lblSerial->Caption(), "");

    f.cmdExit->click();
    EXPECT_FALSE(main->gbTraboMPairMatchLoaded);
    EXPECT_FALSE(isLoaded<frmMPairMatch>());
}

TEST_F(PairMatchTest, AModelWithoutCurvesIsToldAndNothingIsRead) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.5f}});
    answer({vbOK});
    frmMPairMatch& f = open(QStringLiteral("Tweeter"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "No curve data for 'Tweeter'");
    EXPECT_EQ(boxes()[0].title, "Pair Matching");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_EQ(boxes()[0].answers, QList<int>{vbOK});
    EXPECT_EQ(entries(f), QStringList{"Woofer"});
    EXPECT_EQ(f.cboSeq->Text(), "");
    EXPECT_EQ(f.txtBatchSize->Text(), "");
    EXPECT_EQ(f.lstPair->ListCount(), 0);
    EXPECT_FALSE(f.cmdPairMatch->isEnabled());
    EXPECT_FALSE(f.mnuFileDeleteAll->Enabled());
    EXPECT_FALSE(f.mnuFileDeleteMatched->Enabled());
    // Choosing a model from the list reads it.
    f.cboSeq->setListIndex(0);
    EXPECT_EQ(f.txtBatchSize->Text(), "2");
}

TEST_F(PairMatchTest, AnEmptyStoreGivesAnEmptyList) {
    answer({vbOK});
    frmMPairMatch& f = open(QStringLiteral("Woofer"));
    EXPECT_EQ(f.cboSeq->ListCount(), 0);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "No curve data for 'Woofer'");
    // The parameters start with their defaults' texts.
    EXPECT_EQ(f.txtBatchStart->Text(), "40");
    EXPECT_EQ(f.txtBatchEnd->Text(), "10");
    EXPECT_EQ(f.txtAveLim->Text(), "0.38");
    EXPECT_EQ(f.txtWorstLim->Text(), "1.44");
}

TEST_F(PairMatchTest, WithTheRegionChangedTheSavedParametersAreNotRead) {
    saveParameters(QStringLiteral("12"), QStringLiteral("4"), QStringLiteral("2.5"), QStringLiteral("0.5"));
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    gbUserRegionChanged = true;
    answer({vbOK});   // no curves of the model logged yet
    frmMPairMatch& f = open(QStringLiteral("Woofer"));
    EXPECT_EQ(f.txtBatchStart->Text(), "40");
    EXPECT_EQ(f.txtBatchEnd->Text(), "10");
    EXPECT_EQ(f.txtAveLim->Text(), "0,38");
    EXPECT_EQ(f.txtWorstLim->Text(), "1,44");
    gbUserRegionChanged = false;
}

TEST_F(PairMatchTest, ParametersAreGreyedUnlessTheSequenceEditorIsOpen) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.5f}});
    saveParameters(QStringLiteral("2"), QStringLiteral("0"));
    {
        frmMPairMatch& f = open(QStringLiteral("Woofer"));
        for (QWidget* w : {static_cast<QWidget*>(f.txtBatchStart), static_cast<QWidget*>(f.updBatchStart),
                           static_cast<QWidget*>(f.txtBatchEnd), static_cast<QWidget*>(f.updBatchEnd),
                           static_cast<QWidget*>(f.txtAveLim), static_cast<QWidget*>(f.txtWorstLim),
                           static_cast<QWidget*>(f.lblAveLim)})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        // The saved values govern all the same.
        EXPECT_EQ(f.txtBatchStart->Text(), "2");
        EXPECT_TRUE(f.cmdPairMatch->isEnabled());
        // The size comes from the batch read alone.
        EXPECT_TRUE(f.txtBatchSize->Locked());
        f.txtBatchSize->SetFocus();
        drive::type(QStringLiteral("500"));
        EXPECT_EQ(f.txtBatchSize->Text(), "2");
        unload<frmMPairMatch>();
    }
    frmMPairMatch& f = open(QStringLiteral("Woofer"), true);
    EXPECT_TRUE(f.txtBatchStart->isEnabled());
    EXPECT_TRUE(f.updBatchEnd->isEnabled());
    EXPECT_TRUE(f.txtWorstLim->isEnabled());
}

TEST_F(PairMatchTest, PairMatchIsOfferedOnlyForABatchAtLeastTheBatchStart) {
    QList<QPair<int32_t, float>> units;
    for (int i = 1; i <= 39; ++i) units.append({i, 0.0f});
    log(QStringLiteral("Woofer"), units);
    frmMPairMatch& f = open(QStringLiteral("Woofer"), true);
    EXPECT_EQ(f.txtBatchSize->Text(), "39");
    EXPECT_FALSE(f.cmdPairMatch->isEnabled());
    EXPECT_EQ(f.txtBatchSize->ForeColor(), kRed);
    EXPECT_EQ(f.txtBatchStart->ForeColor(), kRed);

    retype(*f.txtBatchStart, QStringLiteral("39"));
    EXPECT_TRUE(f.cmdPairMatch->isEnabled());
    EXPECT_EQ(f.txtBatchSize->ForeColor(), kNormal);
    EXPECT_EQ(f.txtBatchStart->ForeColor(), kNormal);
    leave(*f.txtBatchStart);
    EXPECT_TRUE(boxes().isEmpty());
    // The batch end may now go up to 37.
    f.txtBatchEnd->SetFocus();
    drive::key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(f.txtBatchEnd->Text(), "0");
    drive::key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(f.txtBatchEnd->Text(), "37");
}

TEST_F(PairMatchTest, TheBatchStartAndEndKeepTwoApart) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.5f}});
    saveParameters(QStringLiteral("12"), QStringLiteral("10"));
    frmMPairMatch& f = open(QStringLiteral("Woofer"), true);

    retype(*f.txtBatchStart, QStringLiteral("11"));
    answer({vbOK});
    leave(*f.txtBatchStart);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "In the range 12 to 999 please!");
    EXPECT_TRUE(f.txtBatchStart->HasFocus());
    retype(*f.txtBatchStart, QStringLiteral("12"));
    leave(*f.txtBatchStart);

    clearBoxes();
    retype(*f.txtBatchEnd, QStringLiteral("11"));
    answer({vbOK});
    leave(*f.txtBatchEnd);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "In the range 0 to 10 please!");
    EXPECT_TRUE(f.txtBatchEnd->HasFocus());
    retype(*f.txtBatchEnd, QStringLiteral("10"));
    leave(*f.txtBatchEnd);

    // The spinners stop at the same bounds.
    clearBoxes();
    drive::click(f.updBatchStart, QPoint(4, f.updBatchStart->height() - 3));
    EXPECT_EQ(f.txtBatchStart->Text(), "12");
    drive::click(f.updBatchEnd, QPoint(4, 3));
    EXPECT_EQ(f.txtBatchEnd->Text(), "10");
    drive::click(f.updBatchStart, QPoint(4, 3));
    EXPECT_EQ(f.txtBatchStart->Text(), "13");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(PairMatchTest, TheLimitsKeepATenthApart) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.5f}});
    frmMPairMatch& f = open(QStringLiteral("Woofer"), true);
    // Tabbed through, the stored limit keeps its precision.
    leave(*f.txtAveLim);
    EXPECT_EQ(f.txtAveLim->Text(), "0.38");

    retype(*f.txtAveLim, QStringLiteral("1.4"));
    answer({vbOK});
    leave(*f.txtAveLim);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith("In the range 0.1 to 1.34")) << boxes()[0].prompt.toStdString();
    EXPECT_TRUE(boxes()[0].prompt.endsWith(" (dB) please!"));
    retype(*f.txtAveLim, QStringLiteral("1.3"));
    leave(*f.txtAveLim);
    EXPECT_EQ(boxes().size(), 1);
    retype(*f.txtAveLim, QStringLiteral("0.4"));
    leave(*f.txtAveLim);

    clearBoxes();
    retype(*f.txtWorstLim, QStringLiteral("0.4"));
    answer({vbOK});
    leave(*f.txtWorstLim);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith("In the range 0.5 to 9.9")) << boxes()[0].prompt.toStdString();
    retype(*f.txtWorstLim, QStringLiteral("0.5"));
    leave(*f.txtWorstLim);
    EXPECT_EQ(boxes().size(), 1);
    // Keys step the limits by a tenth, within their bounds.
    f.txtWorstLim->SetFocus();
    drive::key(Qt::Key_Up);
    EXPECT_EQ(f.txtWorstLim->Text(), "0.6");
    drive::key(Qt::Key_Down);
    drive::key(Qt::Key_Down);
    EXPECT_EQ(f.txtWorstLim->Text(), "0.5");
}

TEST_F(PairMatchTest, ClosingSavesTheFourTextsWhateverTheirState) {
    log(QStringLiteral("Woofer"), {{1, 0.0f}, {2, 0.5f}});
    frmMPairMatch& f = open(QStringLiteral("Woofer"), true);
    retype(*f.txtWorstLim, QStringLiteral("2.5"));
    retype(*f.txtAveLim, QStringLiteral("9"));   // never checked
    f.mnuFileExit->fireClick();
    EXPECT_FALSE(isLoaded<frmMPairMatch>());
    EXPECT_EQ(userSetting(QStringLiteral("frmMPairMatch.txtBatchStart")), "40");
    EXPECT_EQ(userSetting(QStringLiteral("frmMPairMatch.txtBatchEnd")), "10");
    EXPECT_EQ(userSetting(QStringLiteral("frmMPairMatch.txtWorstLim")), "2.5");
    EXPECT_EQ(userSetting(QStringLiteral("frmMPairMatch.txtAveLim")), "9");
    // The next opening starts from them.
    frmMPairMatch& again = open(QStringLiteral("Woofer"));
    EXPECT_EQ(again.txtWorstLim->Text(), "2.5");
}
}
