// The notice: painted at once while the caller stays busy, widened about its
// centre for a long text, closed by its caller.
#include "common/frmPrompt.h"
#include "platform/ui/FormRegistry.h"
#include "tests/support/DialogTest.h"
#include <QGuiApplication>
#include <QScreen>

namespace {
// The first and last pixel columns of the notice's flushed image that differ
// from the background, taken without letting the event loop run.
std::pair<int, int> inkOnScreen(frmPrompt& f) {
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(f.winId()).toImage();
    const QColor background = f.palette().color(QPalette::Window);
    int first = -1, last = -1;
    for (int x = 0; x < shown.width(); ++x)
        for (int y = 0; y < shown.height(); ++y)
            if (shown.pixelColor(x, y) != background) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST_F(DialogTest, TheNoticeIsPaintedCentredBeforeTheCallerGoesOnWorking) {
    bool e = false;
    frmPrompt::gDisplay(QStringLiteral("Hi"), QStringLiteral("Please wait ..."), e);
    EXPECT_FALSE(e);
    frmPrompt& f = form<frmPrompt>();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Caption(), "Please wait ...");
    const auto [first, last] = inkOnScreen(f);
    ASSERT_GE(first, 0) << "nothing painted";
    EXPECT_NEAR((first + last) / 2.0, f.width() / 2.0, 4.0);
    EXPECT_TRUE(unload<frmPrompt>());
    EXPECT_FALSE(isLoaded<frmPrompt>());
}

TEST_F(DialogTest, ALongTextWidensTheNoticeAboutItsCentreAndItNeverShrinks) {
    bool e = false;
    frmPrompt::gDisplay(QStringLiteral("Short"), QStringLiteral("One"), e);
    frmPrompt& f = form<frmPrompt>();
    EXPECT_EQ(f.ScaleWidth(), 2865);
    const int32_t centre = f.Left() + f.Width() / 2;

    const QString longText = QStringLiteral("Forcing re-calibration for 'A sequence with a long name'");
    frmPrompt::gDisplay(longText, QStringLiteral("Two"), e);
    EXPECT_EQ(&form<frmPrompt>(), &f);
    const int32_t wide = f.Width();
    EXPECT_NEAR(wide, 1.18 * f.TextWidth(longText), 2.0);
    EXPECT_NEAR(f.Left() + wide / 2, centre, 15);
    const auto [first, last] = inkOnScreen(f);
    EXPECT_GT(first, 0);
    EXPECT_LT(last, f.width() - 1);

    frmPrompt::gDisplay(QStringLiteral("Done"), QStringLiteral("Three"), e);
    EXPECT_EQ(f.Width(), wide);
    EXPECT_EQ(f.Caption(), "Three");
    EXPECT_FALSE(e);

    // Closed by the user, the caller's unload still works and a new notice can follow.
    f.close();
    EXPECT_TRUE(unload<frmPrompt>());
    frmPrompt::gDisplay(QStringLiteral("Again"), QStringLiteral("Four"), e);
    EXPECT_TRUE(form<frmPrompt>().isVisible());
    EXPECT_TRUE(unload<frmPrompt>());
}
}
