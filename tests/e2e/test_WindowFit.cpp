// Every window of the station, opened as its user opens it, fits its texts at
// the application's font: no visible control clips its caption or text, and
// no two visible controls overlap unless one holds the other.
#include "common/frmAbout.h"
#include "common/frmInputNumber.h"
#include "common/frmListAdd.h"
#include "common/frmListGet.h"
#include "common/frmMultiButton.h"
#include "common/frmMultiLineText.h"
#include "common/frmPassword.h"
#include "common/frmPrompt.h"
#include "common/frmSplash.h"
#include "engineering/frmMESeq.h"
#include "engineering/frmMESys.h"
#include "platform/ui/AppFont.h"
#include "supervisor/frmMPairMatch.h"
#include "supervisor/frmMSupervisor.h"
#include "supervisor/frmMTypical.h"
#include "test_editor/frmMETest.h"
#include "test_editor/frmMETestExtDistortion.h"
#include "test_editor/frmMETestPolarity.h"
#include "test_editor/frmMETestResponse.h"
#include "test_editor/frmMETestSine.h"
#include "tests/support/TestEditorRig.h"
#include "tests/support/WindowFit.h"
#include <QFontInfo>

namespace {
class WindowFitTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        demostation::build(home());
        addTest(QStringLiteral("Demo Distortion"), QStringLiteral("Ext Dist"));
    }
    void TearDown() override {
        endOfScript();
        for (auto close : {+[] { unload<frmMESeq>(); }, +[] { unload<frmMESys>(); }, +[] { unload<frmMTypical>(); },
                           +[] { unload<frmMPairMatch>(); }, +[] { unload<frmMSupervisor>(); }})
            close();
        TestEditorRig::TearDown();
    }
    // The findings of every window checked, each naming its window and control.
    QStringList mFindings;
    void checkWindow(QWidget& iWindow) {
        QCoreApplication::processEvents();
        mFindings << windowfit::check(iWindow);
        mChecked << iWindow.objectName();
    }
    template <class F>
    void showAndCheck() {
        F& f = form<F>();
        f.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        checkWindow(f);
    }
    // A dialog the way the station opens it: checked while it is open, then closed.
    template <class F>
    void expectChecked() {
        expectModal<F>([this](F& f) {
            checkWindow(f);
            f.close();
        });
    }
    QStringList mChecked;
};

TEST_F(WindowFitTest, EveryWindowFitsItsTextsAtTheApplicationFont) {
    // The main window in its compact and extended view, with a result shown, in
    // the font the layouts are made for, as on the operator's screen.
    frmVexo& f = start();
    ASSERT_TRUE(appfont::installed()) << appfont::fontFile().toStdString();
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), "MS Sans Serif");
    f.lblPassFail->setCaption(QStringLiteral("FAIL"));
    f.lblPassFail->setVisible(true);
    checkWindow(f);
    drive::click(f.cmdMoreStuff);
    f.setObjectName(QStringLiteral("frmVexo (extended view)"));
    checkWindow(f);
    f.setObjectName(QStringLiteral("frmVexo"));

    // The test editor with each of its four type windows.
    frmMETest& t = form<frmMETest>();
    ASSERT_TRUE(drive::showActive(t));
    pick(t, QStringLiteral("Demo Response"));
    checkWindow(t);
    checkWindow(form<frmMETestResponse>());
    pick(t, QStringLiteral("Demo Polarity"));
    checkWindow(t);
    checkWindow(form<frmMETestPolarity>());
    pick(t, QStringLiteral("Demo Sine"));
    checkWindow(t);
    checkWindow(form<frmMETestSine>());
    pick(t, QStringLiteral("Demo Distortion"));
    checkWindow(t);
    checkWindow(form<frmMETestExtDistortion>());
    unload<frmMETest>();

    showAndCheck<frmMESeq>();
    unload<frmMESeq>();
    showAndCheck<frmMESys>();
    unload<frmMESys>();
    showAndCheck<frmMSupervisor>();
    // The demo has no "Typical" test and no curves logged yet: both windows say so.
    answer({vbOK});
    showAndCheck<frmMTypical>();
    unload<frmMTypical>();
    answer({vbOK});
    showAndCheck<frmMPairMatch>();
    unload<frmMPairMatch>();
    unload<frmMSupervisor>();
    showAndCheck<frmSplash>();
    unload<frmSplash>();

    // The common dialogs with the station's own texts.
    bool e = false;
    expectChecked<frmPassword>();
    frmPassword::gbPassword(QStringLiteral("secret"), QStringLiteral("Engineer"), e);
    // The notice stays open while the station works on.
    frmPrompt::gDisplay(QStringLiteral("Forcing re-calibration for 'Demo'"), QStringLiteral("Calibration"), e);
    checkWindow(form<frmPrompt>());
    unload<frmPrompt>();
    int32_t ptr = 1;
    expectChecked<frmListGet>();
    frmListGet::gsListGet({QString(), QStringLiteral("Demo Response"), QStringLiteral("Demo Polarity")},
                          QStringLiteral("Add Test"), true, ptr, e);
    int16_t listPtr = 1;
    expectChecked<frmListAdd>();
    frmListAdd::gsAdd({QString(), QStringLiteral("Demo")}, 30, 30, QStringLiteral("New Sequence"), listPtr, e);
    int32_t left = 0, top = 0;
    expectChecked<frmMultiButton>();
    frmMultiButton::gsMultiButton({QString(), QStringLiteral("&Sweep"), QStringLiteral("&Clear"), QStringLiteral("&Fail"),
                                   QStringLiteral("&Pass")},
                                  1, QStringLiteral("Switch Test"), left, top, e);
    expectChecked<frmInputNumber>();
    frmInputNumber::gsInputNumber(QStringLiteral("Unit serial number"), QString(), 15129, 999999, 0, 1, true, false, e);
    expectChecked<frmMultiLineText>();
    frmMultiLineText::gsMultiLineText(QStringLiteral("EMail to Pelmo"), e);
    expectChecked<frmAbout>();
    form<frmAbout>().Show(vbModal);

    EXPECT_EQ(mChecked.size(), 24) << mChecked.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(mFindings.isEmpty()) << mFindings.join(QLatin1Char('\n')).toStdString();
}
}
