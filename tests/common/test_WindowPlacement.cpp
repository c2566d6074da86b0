// Window placement on a screen of known size: kept on the screen, placed
// beside an owner, saved and restored positions.
#include "common/modForm.h"
#include "common/modGeneral.h"
#include "platform/os/Settings.h"
#include "platform/ui/Form.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Twips.h"
#include "tests/support/StationTest.h"
#include "tests/support/WindowDriver.h"
#include <QScreen>

namespace {
class frmPlace : public Form {
public:
    explicit frmPlace(const QString& iName, int32_t iWidth, int32_t iHeight) : Form(iName) {
        setClientSize(iWidth, iHeight);
    }
};

class PlacementTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        twips::setTestScreen(15360, 11520);   // 1024 x 768
        gbUserRegionChanged = false;
    }
    void TearDown() override {
        endOfScript();
        twips::clearTestScreen();
        StationTest::TearDown();
    }
};

TEST_F(PlacementTest, AWindowIsKeptOnTheScreenWithinTheMargin) {
    frmPlace w(QStringLiteral("frmPlace"), 4500, 3000);
    struct Row {
        int32_t fromLeft, fromTop, left, top, endLeft, endTop;
        bool inPlace;
    };
    const Row rows[] = {
        {0, 0, 100000, 0, 11060, 0, false},   // 15360 - 4500 + 200
        {0, 0, -5000, 0, -200, 0, false},
        {0, 0, -150, 0, -150, 0, true},
        {0, 0, 1000, 20000, 1000, 8720, false},
        {-300, 0, 1000, 0, -200, 0, false},    // a window below -200 comes to -200
        {0, 0, 1000, 1000, 1000, 1000, true},
    };
    for (const Row& r : rows) {
        w.Move(r.fromLeft, r.fromTop);
        bool e = false;
        EXPECT_EQ(gbFormMoveOnScreen(w, r.left, r.top, e), r.inPlace) << r.left << "," << r.top;
        EXPECT_EQ(w.Left(), r.endLeft);
        EXPECT_EQ(w.Top(), r.endTop);
        EXPECT_FALSE(e);
    }
}

TEST_F(PlacementTest, ASecondaryWindowGoesRightThenLeftThenBelowThenAboveItsOwner) {
    frmPlace owner(QStringLiteral("frmOwner"), 4500, 3000);
    frmPlace second(QStringLiteral("frmSecond"), 3000, 2000);
    struct Row {
        int32_t screenWidth, screenHeight, ownerLeft, ownerTop, left, top;
    };
    const Row rows[] = {
        {15360, 11520, 1000, 1000, 5580, 1000},   // right, 80 twips from the owner
        {12000, 11520, 8000, 1000, 4920, 1000},   // left
        {6000, 11520, 1000, 1000, 1000, 4080},    // below
        {6000, 11520, 1000, 8000, 1000, 5920},    // above
        {6000, 5000, 1000, 1000, 777, 555},       // nowhere: not moved
    };
    for (const Row& r : rows) {
        twips::setTestScreen(r.screenWidth, r.screenHeight);
        owner.Move(r.ownerLeft, r.ownerTop);
        second.Move(777, 555);
        bool e = false;
        EXPECT_TRUE(gbFormSecondaryPosition(owner, second, e)) << r.screenWidth;
        EXPECT_EQ(second.Left(), r.left) << r.screenWidth;
        EXPECT_EQ(second.Top(), r.top) << r.screenWidth;
        EXPECT_FALSE(e);
    }
}

TEST_F(PlacementTest, AnOwnerWiderThan32767TwipsIsPlacedBesideWithoutOverflow) {
    twips::setTestScreen(61440, 11520);   // 4096 pixels wide
    frmPlace owner(QStringLiteral("frmOwner"), 36000, 3000);
    frmPlace second(QStringLiteral("frmSecond"), 3000, 2000);
    owner.Move(0, 600);
    bool e = false;
    EXPECT_TRUE(gbFormSecondaryPosition(owner, second, e));
    EXPECT_FALSE(e);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(second.Left(), 36080);
    EXPECT_EQ(second.Top(), 600);
    EXPECT_TRUE(gbFormMoveOnScreen(second, 40000, 600, e));
    EXPECT_EQ(second.Left(), 40000);
}

TEST_F(PlacementTest, PositionsAreSavedAsDecimalTextExceptTheMinimisedCoordinate) {
    bool e = false;
    gFormSettingLeftTopSave(QStringLiteral("frmListGet"), -480000, -480000, e);
    EXPECT_EQ(userSetting(QStringLiteral("frmListGet.Left"), QStringLiteral("none")), "none");
    EXPECT_EQ(userSetting(QStringLiteral("frmListGet.Top"), QStringLiteral("none")), "none");
    gFormSettingLeftTopSave(QStringLiteral("frmListGet"), -480000, 300, e);
    EXPECT_EQ(userSetting(QStringLiteral("frmListGet.Left"), QStringLiteral("none")), "none");
    EXPECT_EQ(userSetting(QStringLiteral("frmListGet.Top")), "300");
    gFormSettingLeftTopSave(QStringLiteral("frmSwitchTest"), 40000, -48000, e);
    EXPECT_EQ(userSetting(QStringLiteral("frmSwitchTest.Left")), "40000");
    EXPECT_EQ(userSetting(QStringLiteral("frmSwitchTest.Top")), "-48000");
    EXPECT_FALSE(e);

    int32_t left = 7, top = 8;
    gFormSettingLeftTopGet(QStringLiteral("frmSwitchTest"), 1, 2, left, top, e);
    EXPECT_EQ(left, 40000);
    EXPECT_EQ(top, -48000);
    gFormSettingLeftTopGet(QStringLiteral("frmNever"), 550, 200, left, top, e);
    EXPECT_EQ(left, 550);
    EXPECT_EQ(top, 200);
    gbUserRegionChanged = true;
    left = 7;
    top = 8;
    gFormSettingLeftTopGet(QStringLiteral("frmSwitchTest"), 1, 2, left, top, e);
    EXPECT_EQ(left, 7);
    EXPECT_EQ(top, 8);
    EXPECT_FALSE(e);
}

TEST_F(PlacementTest, AWindowReopensWhereItWasLeftOnTheScreen) {
    frmPlace w(QStringLiteral("frmListAdd"), 3495, 3525);
    bool e = false;
    gFormSettingLeftTopGetMove(w, 550, 200, e);
    EXPECT_EQ(w.Left(), 550);
    EXPECT_EQ(w.Top(), 200);
    saveUserSetting(QStringLiteral("frmListAdd.Left"), QStringLiteral("2000"));
    saveUserSetting(QStringLiteral("frmListAdd.Top"), QStringLiteral("99999"));
    gFormSettingLeftTopGetMove(w, 550, 200, e);
    EXPECT_EQ(w.Left(), 2000);
    EXPECT_EQ(w.Top(), 11520 - 3525 + 200);
    gbUserRegionChanged = true;   // nothing read: the caller's defaults
    gFormSettingLeftTopGetMove(w, 550, 200, e);
    EXPECT_EQ(w.Left(), 550);
    gbUserRegionChanged = false;
    EXPECT_FALSE(e);

    saveUserSetting(QStringLiteral("frmListAdd.Left"), QStringLiteral("left"));
    answer({vbAbort, vbNo});
    gFormSettingLeftTopGetMove(w, 900, 900, e);
    EXPECT_TRUE(e);
    EXPECT_EQ(w.Left(), 550);   // not moved
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes().at(0).prompt.contains(QStringLiteral("gFormSettingLeftTopGet")));
}

TEST_F(PlacementTest, ShowRestoreBringsAMinimisedWindowBack) {
    frmPlace w(QStringLiteral("frmSeq"), 3000, 2000);
    w.Show();
    w.setWindowState(static_cast<int16_t>(vbMinimized));
    bool e = false;
    gFormShowRestore(w, e);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.WindowState(), vbNormal);
    EXPECT_FALSE(e);
}

// A box and a dialog open centred on the window they belong to, wherever the
// user has moved it, and inside the screen.
TEST_F(PlacementTest, ABoxAndADialogOpenCentredOnAMovedMainWindow) {
    frmPlace main(QStringLiteral("frmMain"), 5400, 3600);
    main.Move(2400, 1800);
    ASSERT_TRUE(drive::showActive(main));
    const QPoint centre = main.frameGeometry().center();
    answer({vbOK});
    gMsgBox(QStringLiteral("Calibration due"), vbOKOnly, QStringLiteral("Vexo"));
    ASSERT_EQ(boxes().size(), 1);
    const QRect box = boxes().first().placed;
    EXPECT_FALSE(box.isEmpty());
    EXPECT_LE((box.center() - centre).manhattanLength(), 4) << box.x() << "," << box.y();

    frmPlace dialog(QStringLiteral("frmDialog"), 3000, 1500);
    QRect shown;
    expectModal<frmPlace>([&](frmPlace& d) {
        shown = d.frameGeometry();
        d.close();
    });
    dialog.Show(vbModal);
    EXPECT_LE((shown.center() - centre).manhattanLength(), 4) << shown.x() << "," << shown.y();

    // Moved to the screen's edge, the window keeps its dialogs on the screen.
    main.Move(0, 0);
    frmPlace big(QStringLiteral("frmBig"), 9000, 6000);
    expectModal<frmPlace>([&](frmPlace& d) {
        shown = d.frameGeometry();
        d.close();
    });
    big.Show(vbModal);
    EXPECT_GE(shown.left(), main.screen()->availableGeometry().left());
    EXPECT_GE(shown.top(), main.screen()->availableGeometry().top());
}
}
