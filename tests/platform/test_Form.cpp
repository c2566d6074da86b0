// Windows on the layer: default instances, load and unload, modal display,
// geometry in twips, the controls a printing routine walks, input lock.
#include "platform/os/Clock.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/InputLock.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/Twips.h"
#include "tests/support/WindowDriver.h"
#include "tests/platform/frmExample.h"
#include "tests/support/StationTest.h"
#include <QMenuBar>
#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <QTimer>

namespace {
class frmQuestion;

class FormTest : public StationTest {
protected:
    void TearDown() override;
};

TEST_F(FormTest, ADefaultInstanceLoadsOnceUnshownAndItsUnloadMayRefuse) {
    frmExample& f = form<frmExample>();
    EXPECT_TRUE(isLoaded<frmExample>());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(&form<frmExample>(), &f);
    EXPECT_EQ(f.events.count(QStringLiteral("Form_Load")), 1);
    EXPECT_EQ(f.txtName->Text(), "Woofer");

    f.txtName->setText(QStringLiteral("Tweeter"));   // unsaved change
    answer({vbNo});
    EXPECT_FALSE(unload<frmExample>());
    ASSERT_TRUE(isLoaded<frmExample>());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "Discard the changes?");

    answer({vbYes});
    EXPECT_TRUE(unload<frmExample>());
    EXPECT_FALSE(isLoaded<frmExample>());
    frmExample& again = form<frmExample>();
    EXPECT_EQ(again.events.first(), "Form_Load");
    EXPECT_EQ(again.txtName->Text(), "Woofer");
}

TEST_F(FormTest, TheCloseBoxUnloadsButTheOutcomeStaysReadableUntilReleased) {
    frmExample& f = form<frmExample>();
    ASSERT_TRUE(drive::showActive(f));
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(isLoaded<frmExample>());
    EXPECT_TRUE(f.events.contains(QStringLiteral("Form_Unload")));
    EXPECT_EQ(f.mbOK, false);
    // The next use is a fresh window.
    EXPECT_FALSE(form<frmExample>().events.contains(QStringLiteral("Form_Unload")));
}

TEST_F(FormTest, HideEndsAModalDisplayAndTheWindowCanThenBeShownWithoutBlocking) {
    frmExample& f = form<frmExample>();
    setModalScript(nullptr);   // the real modal loop, ended by the window's own Hide
    QTimer::singleShot(0, &f, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        f.txtName->SetFocus();
        drive::type(QStringLiteral("mid"));
        drive::click(f.cmdOK);
    });
    f.Show(vbModal);
    EXPECT_TRUE(f.mbOK);
    EXPECT_EQ(f.msName, "WooferMID");   // typed names are in capitals
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.windowModality(), Qt::NonModal);
    f.Show();
    EXPECT_TRUE(f.isVisible());
}

TEST_F(FormTest, AModalScriptDrivesTheWindowAndUnloadEndsTheDisplay) {
    frmExample& f = form<frmExample>();
    expectModal<frmExample>([&](frmExample& w) {
        EXPECT_EQ(&w, &f);
        EXPECT_TRUE(w.isActiveWindow());
        drive::key(Qt::Key_Escape);   // the window's own handler cancels
    });
    f.Show(vbModal);
    EXPECT_TRUE(f.Unloaded());
    EXPECT_TRUE(f.events.contains(QStringLiteral("cmdCancel_Click")));
}

TEST_F(FormTest, PlaceAndSizeAreTwipsOfTheOuterFrameWith32BitCoordinates) {
    frmExample& f = form<frmExample>();
    EXPECT_EQ(f.ScaleWidth(), 4200);
    EXPECT_EQ(f.ScaleHeight(), 3000);
    EXPECT_EQ(f.client()->width(), 280);
    // The menu bar takes its height above the client area, not from it.
    EXPECT_EQ(f.height(), 200 + f.menuBar()->sizeHint().height());
    f.Move(100000, -200, 36000, 6000);
    EXPECT_EQ(f.Left(), 100000);
    EXPECT_EQ(f.Top(), -200);
    EXPECT_EQ(f.Width(), 36000);
    EXPECT_EQ(f.Height(), 6000);
    EXPECT_EQ(f.pos(), QPoint(6667, -13));
    ASSERT_TRUE(drive::showActive(f));
    // Shown, the outer frame includes the window's border.
    EXPECT_EQ(f.Width(), twips::fromPixels(f.frameGeometry().width()));
    EXPECT_EQ(f.ScaleWidth(), twips::fromPixels(f.width()));

    // Controls keep their design twips, relative to their container.
    EXPECT_EQ(f.txtName->Left(), 1320);
    EXPECT_EQ(f.txtName->Width(), 2520);
    EXPECT_EQ(f.txtName->geometry(), QRect(88, 16, 168, 19));
    EXPECT_EQ(f.optSide(1).Left(), 1800);
    EXPECT_EQ(f.optSide(1).Container(), f.fraSide);
    f.txtName->setLeft(1500);
    EXPECT_EQ(f.txtName->Left(), 1500);
    f.txtName->setLeft(1320);
}

TEST_F(FormTest, APrintingRoutineCanWalkTheControlsWithKindsNamesAndTwips) {
    frmExample& f = form<frmExample>();
    QStringList walked;
    for (Control* c : f.Controls()) {
        QString line = QString::fromLatin1(c->kind()) + QLatin1Char(' ') + c->Name();
        if (c->Index() >= 0) line += QStringLiteral("(%1)").arg(c->Index());
        if (c->widget()) line += QStringLiteral(" %1,%2").arg(c->Left()).arg(c->Top());
        walked << line;
    }
    EXPECT_EQ(walked, (QStringList{
                          "Menu mnuFile", "Menu mnuFileSave", "Menu mnuFileSelectAll", "Menu mnuFileSep",
                          "Menu mnuFileExit", "Label lblName 240,240", "TextBox txtName 1320,240",
                          "Label lblCount 240,660", "TextBox txtCount 1320,660", "UpDown updCount 2320,660",
                          "ComboBox cboUnit 2700,660", "CheckBox chkLog 240,1080", "Frame fraSide 240,1440",
                          "OptionButton optSide(0) 120,300", "OptionButton optSide(1) 1800,300",
                          "CommandButton cmdOK 840,2400", "CommandButton cmdCancel 2280,2400"}));
    EXPECT_EQ(f.findChild<TextBox*>(QStringLiteral("txtName")), f.txtName);
    EXPECT_EQ(f.control(QStringLiteral("optSide"), 1), &f.optSide(1));
    EXPECT_EQ(f.menu(QStringLiteral("mnuFileSave")), f.mnuFileSave);
    EXPECT_THROW(f.optSide(2), VbError);
}

TEST_F(FormTest, WindowStateAndBringingToTheFront) {
    frmExample& f = form<frmExample>();
    f.Show();
    f.setWindowState(static_cast<int16_t>(vbMinimized));
    EXPECT_EQ(f.WindowState(), vbMinimized);
    f.BringToFront();
    EXPECT_EQ(f.WindowState(), vbNormal);
    EXPECT_TRUE(f.isVisible());
}

TEST_F(FormTest, RefreshPaintsANoticeWithoutWaitingForTheEventLoop) {
    frmExample& f = form<frmExample>();
    f.Show();
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    f.lblName->installEventFilter(&counter);
    f.lblName->setCaption(QStringLiteral("Please wait ..."));
    f.Refresh();
    EXPECT_GT(counter.paints, 0);
}

TEST_F(FormTest, UnloadingStopsTheWindowsTimers) {
    frmExample& f = form<frmExample>();
    auto* tmr = new TimerControl(&f, QStringLiteral("tmrBlink"), 500);
    EXPECT_TRUE(tmr->running());
    tmr->setInterval(0);
    EXPECT_FALSE(tmr->running());
    EXPECT_TRUE(tmr->Enabled());
    tmr->setInterval(250);
    EXPECT_TRUE(tmr->running());
    f.UnloadMe();
    EXPECT_FALSE(tmr->running());
    int ticks = 0;
    tmr->Timer = [&] { ++ticks; };
    vclock::advance(1000);
    EXPECT_EQ(ticks, 0);
}

TEST_F(FormTest, TimersTickOnTheStationClockNotOnRealTime) {
    frmExample& f = form<frmExample>();
    auto* tmr = new TimerControl(&f, QStringLiteral("tmrBlink"), 500);
    QList<int64_t> at;
    const int64_t t0 = vclock::ticks();
    tmr->Timer = [&] { at << vclock::ticks() - t0; };
    // Real time passing and window events running move nothing.
    QTest::qWait(600);
    EXPECT_TRUE(at.isEmpty());
    vclock::advance(1000);
    EXPECT_EQ(at, (QList<int64_t>{500, 1000}));
    // Polls tick it as they pass its time; a busy wait does not, and the next
    // poll makes up for it with one tick.
    for (int i = 0; i < 100; ++i) vclock::poll();
    EXPECT_EQ(at.size(), 3);
    vclock::busyWait(2000);
    EXPECT_EQ(at.size(), 3);
    vclock::poll();
    EXPECT_EQ(at.size(), 4);
    // A tick that shows a message box gets the scripted answer.
    int answered = 0;
    tmr->Timer = [&] { answered = gMsgBox(QStringLiteral("Flash"), vbYesNo); };
    answer({vbNo});
    vclock::advance(500);
    EXPECT_EQ(answered, vbNo);
    ASSERT_EQ(boxes().size(), 1);
    tmr->setEnabled(false);
    vclock::advance(5000);
    EXPECT_EQ(boxes().size(), 1);
}

// A dialog the locked window opens during a run.
class frmQuestion : public Form {
public:
    frmQuestion() : Form(QStringLiteral("frmQuestion")) {
        setClientSize(3000, 1200);
        txtAnswer = new TextBox(this, QStringLiteral("txtAnswer"), 120, 120, 2700, 285);
        cmdOK = new CommandButton(this, QStringLiteral("cmdOK"), 120, 600, 1095, 375, QStringLiteral("&OK"));
        cmdOK->Click = [this] { Hide(); };
    }
    TextBox* txtAnswer;
    CommandButton* cmdOK;
};

void FormTest::TearDown() {
    endOfScript();
    unload<frmExample>();
    unload<frmQuestion>();
    StationTest::TearDown();
}

TEST_F(FormTest, ALockedWindowTakesNoInputWhileItsOwnDialogDoes) {
    frmExample& f = form<frmExample>();
    ASSERT_TRUE(drive::showActive(f));
    f.txtName->SetFocus();
    {
        InputLock lock(&f);
        EXPECT_FALSE(f.Enabled());
        drive::type(QStringLiteral("xyz"));
        drive::key(Qt::Key_S, Qt::ControlModifier);
        drive::click(f.cmdOK);
        drive::click(f.chkLog);
        f.close();
        EXPECT_EQ(f.txtName->Text(), "Woofer");
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.events.contains(QStringLiteral("cmdOK_Click")));
        EXPECT_FALSE(f.events.contains(QStringLiteral("mnuFileSave_Click")));
        EXPECT_FALSE(f.events.contains(QStringLiteral("Form_Unload")));

        frmQuestion& q = form<frmQuestion>();
        expectModal<frmQuestion>([&](frmQuestion&) {
            q.txtAnswer->SetFocus();
            drive::type(QStringLiteral("yes"));
            drive::click(q.cmdOK);
        });
        q.Show(vbModal);
        EXPECT_EQ(q.txtAnswer->Text(), "yes");
        EXPECT_FALSE(q.isVisible());
    }
    EXPECT_TRUE(f.Enabled());
    ASSERT_TRUE(drive::showActive(f));
    drive::click(f.chkLog);
    EXPECT_EQ(f.chkLog->Value(), vbChecked);
}

// The user's part of a test reads in the order it happens: boxes and windows
// are taken from one queue, and what does not match fails the test.
TEST_F(FormTest, ModalWindowsAreTakenFromTheQueueInOrderAndCheckedForTheirType) {
    frmExample& f = form<frmExample>();
    frmQuestion& q = form<frmQuestion>();
    answer({vbNo});
    expectModal<frmExample>([](frmExample&) { drive::key(Qt::Key_Escape); });
    expectModal<frmQuestion>([](frmQuestion& w) {
        drive::type(QStringLiteral("later"));
        drive::click(w.cmdOK);
    });
    answer({vbYes});
    EXPECT_EQ(gMsgBox(QStringLiteral("Open?"), vbYesNo), vbNo);
    f.Show(vbModal);
    q.Show(vbModal);
    EXPECT_EQ(gMsgBox(QStringLiteral("Done?"), vbYesNo), vbYes);
    EXPECT_EQ(q.txtAnswer->Text(), "later");
    EXPECT_EQ(modals(), (QStringList{"frmExample", "frmQuestion"}));
    EXPECT_EQ(shownInOrder(), (QStringList{"box Open?", "window frmExample", "window frmQuestion", "box Done?"}));

    // Not expected at all, past the queue, or of another type: named in the failure.
    EXPECT_NONFATAL_FAILURE(q.Show(vbModal), "modal window frmQuestion shown but not expected");
    EXPECT_FALSE(q.isVisible());
    bool acted = false;
    expectModal<frmExample>([&](frmExample&) { acted = true; });
    EXPECT_NONFATAL_FAILURE(q.Show(vbModal), "modal window frmQuestion (frmQuestion) shown where frmExample was expected");
    EXPECT_FALSE(acted);
    answer({vbOK});
    EXPECT_NONFATAL_FAILURE(q.Show(vbModal), "shown while the answer OK for a message box was next");
    EXPECT_EQ(gMsgBox(QStringLiteral("Now.")), vbOK);
}

// Each answer is for the box that offers it: a notice lets a question's answer
// wait, an answer a box does not offer fails naming the box, and what is still
// queued at the end, or an error allowed that never came, fails the test.
TEST_F(FormTest, EachAnswerGoesToTheBoxThatOffersIt) {
    answer({vbYes});
    EXPECT_EQ(gMsgBox(QStringLiteral("In the range 0.1 to 9.9 (dB) please!")), vbOK);
    EXPECT_EQ(gMsgBox(QStringLiteral("Save changes?"), vbYesNoCancel), vbYes);
    answer({vbOK});
    EXPECT_EQ(gMsgBox(QStringLiteral("Saved.")), vbOK);

    // A warning or error notice is expected by a queued OK; unexpected, it
    // fails the test naming it, and an answer queued waits for its own box.
    answer({vbOK});
    EXPECT_EQ(gMsgBox(QStringLiteral("Wave output device not found or error"), vbExclamation), vbOK);
    EXPECT_EQ(gMsgBox(QStringLiteral("The unit is logged."), vbInformation), vbOK);
    EXPECT_NONFATAL_FAILURE(gMsgBox(QStringLiteral("Digital I/O not found on port 1"), vbExclamation,
                                    QStringLiteral("Digital I/O")),
                            "message box \"Digital I/O not found on port 1\" (Digital I/O; OK) shown but not expected");
    answer({vbYes});
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(gMsgBox(QStringLiteral("File lost"), vbCritical), vbOK),
                            "message box \"File lost\" (Vexo; OK) shown but not expected while the answer Yes for "
                            "another box was next");
    EXPECT_EQ(gMsgBox(QStringLiteral("Save changes?"), vbYesNo), vbYes);
    answer({vbYes, vbOK});
    EXPECT_EQ(gMsgBox(QStringLiteral("Save changes?"), vbYesNo), vbYes);
    EXPECT_EQ(gMsgBox(QStringLiteral("The amplifier voltage ',' is not a number"), vbCritical), vbOK);

    answer({vbAbort});
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(gMsgBox(QStringLiteral("Delete it?"), vbYesNo | vbDefaultButton2), vbNo),
                            "message box \"Delete it?\" (Vexo; Yes, No) shown and answered Abort, which it does not offer");

    allowErrors({QStringLiteral("Device busy")});
    answer({vbNo});
    EXPECT_EQ(gMsgBox(QStringLiteral("Source: m.r.10\r\n\r\nDevice busy"), vbAbortRetryIgnore | vbDefaultButton2,
                      QStringLiteral("Error!")),
              vbAbort);
    EXPECT_EQ(gMsgBox(QStringLiteral("Would you like to email Pelmo a bug report?"), vbYesNo), vbNo);
    EXPECT_EQ(gMsgBox(QStringLiteral("Keep it?"), vbYesNo), vbNo);
    // A notice of an error the test allows is acknowledged; it is not the error box.
    allowErrors({QStringLiteral("Device lost")});
    EXPECT_EQ(gMsgBox(QStringLiteral("The sound card: Device lost."), vbExclamation), vbOK);
    EXPECT_NONFATAL_FAILURE(gMsgBox(QStringLiteral("Source: m.r.20\r\n\r\nDisk full"), vbAbortRetryIgnore,
                                    QStringLiteral("Error!")),
                            "\"Source: m.r.20");

    allowErrors({QStringLiteral("Never")});
    answer({vbYes});
    ::testing::TestPartResultArray failures;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        endOfScript();
    }
    ASSERT_EQ(failures.size(), 3);
    EXPECT_THAT(failures.GetTestPartResult(0).message(),
                ::testing::HasSubstr("the answer Yes was queued for a message box that never came"));
    EXPECT_THAT(failures.GetTestPartResult(1).message(),
                ::testing::HasSubstr("an error box holding \"Device lost\" was allowed for but never shown"));
    EXPECT_THAT(failures.GetTestPartResult(2).message(),
                ::testing::HasSubstr("an error box holding \"Never\" was allowed for but never shown"));
}
}
