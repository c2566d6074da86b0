// New, Save As and Delete in the test editor, checked in the rows stored.
#include "common/frmListAdd.h"
#include "common/frmListGet.h"
#include "tests/support/TestEditorRig.h"

namespace {
class TestNewTest : public TestEditorRig {
protected:
    // The engineer's part of New: the type from the list, then the name.
    void expectNew(int iTypeIndex, const QString& iName) {
        expectModal<frmListGet>([iTypeIndex](frmListGet& f) {
            f.lstList->setListIndex(iTypeIndex);
            drive::click(f.cmdOK);
        });
        expectModal<frmListAdd>([iName](frmListAdd& f) {
            retype(*f.txtList, iName);
            drive::click(f.cmdOK);
        });
    }
    void expectName(const QString& iName) {
        expectModal<frmListAdd>([iName](frmListAdd& f) {
            retype(*f.txtList, iName);
            drive::click(f.cmdOK);
        });
    }
    bool e = false;
};
}

TEST_F(TestNewTest, TheFirstNewOnAnEmptyTableIsShownWithItsWindow) {
    frmMETest& t = open();
    EXPECT_EQ(t.dcboTest->Text(), "");
    EXPECT_FALSE(isLoaded<frmMETestResponse>());
    expectNew(0, QStringLiteral("Sweep"));
    ctrl(Qt::Key_N);
    EXPECT_EQ(modals(), (QStringList{"frmListGet", "frmListAdd"}));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(testCount(), 1);
    EXPECT_EQ(t.dcboTest->Text(), "Sweep");
    EXPECT_EQ(t.txtFLo->Text(), "45");
    EXPECT_EQ(t.txtFHi->Text(), "18000");
    EXPECT_TRUE(isLoaded<frmMETestResponse>());
    EXPECT_TRUE(t.dcboTest->isEnabled());
    // The only test cannot be deleted.
    EXPECT_FALSE(t.mnuFileDelete->Enabled());
}

TEST_F(TestNewTest, NewOfEachTypeStoresItsValuesAndSettlesTheShownTestFirst) {
    seed::add(seed::PlainTest{.name = QStringLiteral("Old"), .type = QStringLiteral("Polarity"), .fLo = 20, .fHi = 60});
    completeTests();
    frmMETest& t = open();
    retype(*t.txtDelay, QStringLiteral("0.5"));
    // The shown test's edit is asked about first; Cancel stops New.
    answer({vbCancel});
    ctrl(Qt::Key_N);
    EXPECT_EQ(saveQuestions(), 1);
    EXPECT_EQ(testCount(), 1);
    EXPECT_TRUE(t.dcboTest->isEnabled());

    answer({vbYes});
    expectNew(0, QStringLiteral("Resp"));
    ctrl(Qt::Key_N);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("Old"), QStringLiteral("Delay_s"))), 0.5f);
    EXPECT_EQ(t.dcboTest->Text(), "Resp");
    expectNew(1, QStringLiteral("Pol"));
    ctrl(Qt::Key_N);
    expectNew(2, QStringLiteral("Tone"));
    ctrl(Qt::Key_N);
    EXPECT_EQ(t.dcboTest->Text(), "Tone");
    EXPECT_TRUE(isLoaded<frmMETestSine>());

    EXPECT_EQ(CStr(stored(QStringLiteral("Resp"), QStringLiteral("Test_Type"))), "Response");
    EXPECT_EQ(CLng(stored(QStringLiteral("Resp"), QStringLiteral("fHi_Hz"))), 18000);
    EXPECT_EQ(CInt(stored(QStringLiteral("Resp"), QStringLiteral("Layer2_On"))), 1);
    EXPECT_EQ(CInt(stored(QStringLiteral("Resp"), QStringLiteral("Layer3_On"))), 0);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("Resp"), QStringLiteral("Layer6_Lim"))), 6.0f);
    EXPECT_EQ(CLng(stored(QStringLiteral("Pol"), QStringLiteral("fLo_Hz"))), 20);
    EXPECT_EQ(CLng(stored(QStringLiteral("Pol"), QStringLiteral("fHi_Hz"))), 60);
    EXPECT_EQ(CInt(stored(QStringLiteral("Pol"), QStringLiteral("Swp_Point"))), 40);
    EXPECT_TRUE(stored(QStringLiteral("Pol"), QStringLiteral("Layer1_On")).isNull());
    EXPECT_TRUE(CBool(stored(QStringLiteral("Tone"), QStringLiteral("Op_Decide"))));
    EXPECT_FALSE(CBool(stored(QStringLiteral("Pol"), QStringLiteral("Op_Decide"))));
    EXPECT_EQ(CStr(stored(QStringLiteral("Tone"), QStringLiteral("Op_Prompt"))), "Rattle");
}

TEST_F(TestNewTest, A256thTestCanBeAddedAndNoMore) {
    for (int i = 1; i <= 255; ++i)
        seed::add(seed::PlainTest{.name = QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0')), .type = QStringLiteral("Polarity"), .fLo = 20, .fHi = 60});
    completeTests();
    frmMETest& t = open();
    expectNew(1, QStringLiteral("Last"));
    ctrl(Qt::Key_N);
    EXPECT_EQ(testCount(), 256);
    clearBoxes();
    ctrl(Qt::Key_N);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "The test list is full");
    EXPECT_EQ(boxes()[0].title, "New Test");
    EXPECT_EQ(testCount(), 256);
    EXPECT_TRUE(t.dcboTest->isEnabled());
}

TEST_F(TestNewTest, SaveAsCopiesTheShownTestAndAMissingSourceCopiesNothing) {
    seed::add(seed::ResponseTest{.name = QStringLiteral("Woofer's"), .fLo = 100, .fHi = 10000,
                                 .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
    seed::add(seed::PlainTest{.name = QStringLiteral("Other"), .type = QStringLiteral("Polarity"), .fLo = 20, .fHi = 60});
    completeTests();
    frmMETest& t = open();
    ASSERT_EQ(t.dcboTest->Text(), "Woofer's");
    expectName(QStringLiteral("Copy"));
    ctrl(Qt::Key_A);
    EXPECT_EQ(t.dcboTest->Text(), "Copy");
    QStringList copy = row(QStringLiteral("Copy"));
    QStringList source = row(QStringLiteral("Woofer's"));
    copy.removeAt(0);
    source.removeAt(0);
    EXPECT_EQ(copy, source);
    EXPECT_TRUE(isLoaded<frmMETestResponse>());

    clearBoxes();
    answer({vbOK});
    t.gMETestSaveAs2(QStringLiteral("Gone"), QStringLiteral("Copy 2"), e);
    EXPECT_TRUE(e);
    EXPECT_FALSE(exists(QStringLiteral("Copy 2")));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Test 'Gone' not found");
    EXPECT_EQ(testCount(), 3);
}

TEST_F(TestNewTest, DeleteRefusesAUsedTestAndMovesToTheTestBefore) {
    for (const char* n : {"A", "B", "C", "D"})
        seed::add(seed::PlainTest{.name = QString::fromLatin1(n), .type = QStringLiteral("Polarity"), .fLo = 20, .fHi = 60});
    seed::add(seed::Sequence{.name = QStringLiteral("S"), .tests = {"B"}});
    completeTests();
    frmMETest& t = open();

    pick(t, QStringLiteral("B"));
    expectModal<frmListGet>([](frmListGet& f) {
        EXPECT_EQ(f.Caption(), "Can't Delete!  Test in sequence(s) ...");
        drive::click(f.cmdCancel);
    });
    ctrl(Qt::Key_D);
    EXPECT_TRUE(exists(QStringLiteral("B")));
    EXPECT_TRUE(modals().contains(QStringLiteral("frmListGet")));

    // Deleting the first moves to the new first.
    pick(t, QStringLiteral("A"));
    answer({vbYes});
    ctrl(Qt::Key_D);
    EXPECT_FALSE(exists(QStringLiteral("A")));
    EXPECT_EQ(t.dcboTest->Text(), "B");

    // Another moves to the one before it; the Delete key in the combo asks too.
    pick(t, QStringLiteral("D"));
    t.dcboTest->SetFocus();
    clearBoxes();
    answer({vbYes});
    drive::key(Qt::Key_Delete);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_EQ(boxes().last().prompt, "Delete the test 'D'?");
    EXPECT_FALSE(exists(QStringLiteral("D")));
    EXPECT_EQ(t.dcboTest->Text(), "C");
    EXPECT_TRUE(isLoaded<frmMETestPolarity>());

    // The last but one: the one left cannot be deleted.
    answer({vbYes});
    ctrl(Qt::Key_D);
    EXPECT_FALSE(exists(QStringLiteral("C")));
    EXPECT_EQ(t.dcboTest->Text(), "B");
    EXPECT_FALSE(t.mnuFileDelete->Enabled());
    clearBoxes();
    ctrl(Qt::Key_D);
    t.dcboTest->SetFocus();
    drive::key(Qt::Key_Delete);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(testCount(), 1);
}

TEST_F(TestNewTest, NewLeavesOnlyTheNewTestsWindowAndAnUneditedTestIsNotAskedAbout) {
    seed::add(seed::ResponseTest{.name = QStringLiteral("R1"), .fLo = 100, .fHi = 10000,
                                 .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
    seed::add(seed::SineTest{.name = QStringLiteral("N1"), .opDecide = false, .loLim = -10.0f});
    completeTests();
    frmMETest& t = open();
    ASSERT_EQ(t.dcboTest->Text(), "R1");
    const QStringList r1 = row(QStringLiteral("R1"));
    // From a response test to a new sine test: the response window goes.
    expectNew(2, QStringLiteral("Tone"));
    ctrl(Qt::Key_N);
    EXPECT_EQ(t.dcboTest->Text(), "Tone");
    EXPECT_TRUE(isLoaded<frmMETestSine>());
    EXPECT_FALSE(isLoaded<frmMETestResponse>());
    EXPECT_FALSE(t.gbMETestResponseLoaded);
    ctrl(Qt::Key_S);
    EXPECT_EQ(row(QStringLiteral("R1")), r1);

    // An unedited sine test (its duration shown "5", checked as "5.0") is
    // left by New without a question.
    pick(t, QStringLiteral("N1"));
    const QStringList n1 = row(QStringLiteral("N1"));
    ASSERT_TRUE(t.txtDuration->Visible());
    expectNew(1, QStringLiteral("Pol"));
    ctrl(Qt::Key_N);
    EXPECT_EQ(saveQuestions(), 0);
    EXPECT_EQ(t.dcboTest->Text(), "Pol");
    EXPECT_EQ(row(QStringLiteral("N1")), n1);
    EXPECT_TRUE(isLoaded<frmMETestPolarity>());
    EXPECT_FALSE(isLoaded<frmMETestSine>());
}

// The type list of New opens centred on the editor, and the save question
// the response window asks while the editor closes on that window, wherever
// they stand: not on the main window, which on a desktop without a window
// manager stays the active one while the user works in the editor.
TEST_F(TestNewTest, TheTypeListAndTheClosingQuestionOpenCentredOnTheirWindows) {
    seed::add(seed::ResponseTest{.name = QStringLiteral("Resp"), .fLo = 100, .fHi = 10000,
                                 .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
    completeTests();
    frmMETest& t = open();
    frmVexo& main = form<frmVexo>();
    main.Move(0, 0);
    t.Move(7200, 4800);
    const auto centredOn = [](const QRect& iShown, const QRect& iOwner, const char* iWhich) {
        const QPoint off = iShown.center() - iOwner.center();
        EXPECT_LE(off.manhattanLength(), 4) << "off by " << off.x() << "," << off.y() << " from " << iWhich;
    };
    ASSERT_TRUE(drive::showActive(main));
    QRect list;
    expectModal<frmListGet>([&](frmListGet& f) {
        list = f.frameGeometry();
        drive::click(f.cmdCancel);
    });
    t.mnuFileNew->action()->trigger();   // chosen with the mouse
    centredOn(list, t.frameGeometry(), "the editor");

    frmMETestResponse& r = form<frmMETestResponse>();
    r.Move(1200, 7200);
    ASSERT_TRUE(drive::showActive(r));
    r.txtLyrLim(0).SetFocus();
    r.txtLyrLim(0).setSelStart(0);
    r.txtLyrLim(0).setSelLength(int32_t(r.txtLyrLim(0).Text().size()));
    drive::type(QStringLiteral("4"));
    const QRect layers = r.frameGeometry();   // the window goes with the editor
    clearBoxes();
    answer({vbNo});
    ASSERT_TRUE(drive::showActive(main));
    t.mnuFileExit->action()->trigger();
    ASSERT_EQ(saveQuestions(), 1);
    centredOn(boxes().first().placed, layers, "the response window");
    EXPECT_FALSE(isLoaded<frmMETest>());
}
