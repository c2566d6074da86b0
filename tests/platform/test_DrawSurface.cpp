// Drawing on picture boxes and on a window's own surface: the inner area and
// its twips, what each operation puts on which pixel, the current position,
// text placement, XOR, persistence through painting and the PNG dump (the
// graph tests read the operation log throughout).
#include "platform/ui/Color.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TextBox.h"
#include "tests/support/StationTest.h"
#include <QEvent>
#include <QCoreApplication>
#include <QImage>
#include <QPointer>
#include <QTest>

namespace {
class frmCanvas : public Form {
public:
    frmCanvas() : Form(QStringLiteral("frmCanvas")) {
        setClientSize(6000, 4500);
        picTest = new PictureBox(this, QStringLiteral("picTest"), 600, 200, 4800, 2550);
        txtNote = new TextBox(this, QStringLiteral("txtNote"), 300, 3600, 1500, 300);
    }
    PictureBox* picTest = nullptr;
    TextBox* txtNote = nullptr;
};

class DrawSurfaceTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        f = std::make_unique<frmCanvas>();
        pic().setBackColor(vbcolor::vbWhite);
    }
    void TearDown() override {
        endOfScript();
        f.reset();
        StationTest::TearDown();
    }
    PictureBox& pic() { return *f->picTest; }
    QColor at(int iX, int iY) { return pic().image().pixelColor(iX, iY); }
    // Pixels of a colour in a rectangle of the image (both corners included).
    int count(const QImage& iImage, QRect iRect, QColor iColor) {
        int n = 0;
        for (int y = iRect.top(); y <= iRect.bottom(); ++y)
            for (int x = iRect.left(); x <= iRect.right(); ++x) n += iImage.pixelColor(x, y) == iColor;
        return n;
    }
    std::unique_ptr<frmCanvas> f;
    const QColor red{255, 0, 0};
    const QColor blue{0, 0, 255};
    const QColor white{255, 255, 255};
};
}

TEST_F(DrawSurfaceTest, TheInnerAreaIsTheBoxLessItsBorderInButtonColours) {
    PictureBox p(f.get(), QStringLiteral("picOther"), 360, 700, 3325, 2550);
    EXPECT_EQ(p.ScaleWidth(), 3265);
    EXPECT_EQ(p.ScaleHeight(), 2490);
    EXPECT_EQ(p.BackColor(), vbcolor::vbButtonFace);   // kept as the system colour
    EXPECT_EQ(p.ForeColor(), vbcolor::vbButtonText);
    EXPECT_EQ(p.image().size(), QSize(218, 166));
    EXPECT_EQ(p.image().pixelColor(100, 100), vbcolor::toQColor(vbcolor::vbButtonFace));
    EXPECT_EQ(p.contentsRect().topLeft(), QPoint(2, 2));

    p.setBorderStyle(0);
    EXPECT_EQ(p.ScaleWidth(), 3325);
    EXPECT_EQ(p.ScaleHeight(), 2550);
    EXPECT_EQ(p.contentsRect().topLeft(), QPoint(0, 0));
}

TEST_F(DrawSurfaceTest, LinesLeaveTheirLastPointAndThePositionAtTheirEnd) {
    PictureBox& p = pic();
    p.Line(150, 150, 750, 150, vbcolor::vbRed);
    EXPECT_EQ(p.CurrentX(), 750);
    EXPECT_EQ(p.CurrentY(), 150);
    EXPECT_EQ(count(p.image(), QRect(QPoint(0, 10), QPoint(100, 10)), red), 40);   // pixels 10..49
    EXPECT_EQ(at(10, 10), red);
    EXPECT_EQ(at(50, 10), white);

    // From the current position, in ForeColor.
    p.setForeColor(vbcolor::vbBlue);
    p.LineTo(750, 600);
    EXPECT_EQ(at(50, 10), blue);
    EXPECT_EQ(at(50, 39), blue);
    EXPECT_EQ(at(50, 40), white);
    EXPECT_EQ(p.CurrentY(), 600);

    // Invisible moves the position only.
    p.setDrawStyle(vbInvisible);
    p.Line(0, 900, 1500, 900);
    EXPECT_EQ(count(p.image(), QRect(QPoint(0, 60), QPoint(100, 60)), blue), 0);
    EXPECT_EQ(p.CurrentX(), 1500);

    // Dotted has gaps; a wide pen is solid and thick.
    p.setDrawStyle(vbDot);
    p.Line(0, 1200, 1500, 1200);
    const int dots = count(p.image(), QRect(QPoint(0, 80), QPoint(99, 80)), blue);
    EXPECT_GT(dots, 20);
    EXPECT_LT(dots, 50);
    p.setDrawWidth(3);
    p.Line(0, 1500, 1500, 1500);
    EXPECT_EQ(at(50, 99), blue);
    EXPECT_EQ(at(50, 101), blue);
    EXPECT_EQ(at(50, 103), white);

    EXPECT_EQ(errorOf([&] { p.setDrawStyle(7); }), 380);
    EXPECT_EQ(errorOf([&] { p.setDrawWidth(0); }), 380);
    EXPECT_EQ(errorOf([&] { p.setDrawMode(6); }), 380);
}

TEST_F(DrawSurfaceTest, BoxesPointsAndCircles) {
    PictureBox& p = pic();
    p.Line(2250, 1950, 1500, 1500, vbcolor::vbBlue, LineStyle::Box);   // corners in any order
    EXPECT_EQ(at(100, 100), blue);
    EXPECT_EQ(at(150, 130), blue);
    EXPECT_EQ(at(150, 100), blue);
    EXPECT_EQ(at(120, 115), white);
    EXPECT_EQ(count(p.image(), QRect(QPoint(100, 100), QPoint(150, 130)), blue), 2 * 51 + 2 * 29);
    EXPECT_EQ(p.CurrentX(), 1500);
    EXPECT_EQ(p.CurrentY(), 1500);

    p.Line(300, 300, 450, 450, vbcolor::vbRed, LineStyle::BoxFilled);
    EXPECT_EQ(count(p.image(), QRect(QPoint(0, 0), QPoint(40, 40)), red), 11 * 11);

    p.PSet(3000, 150, vbcolor::vbRed);
    EXPECT_EQ(at(200, 10), red);
    EXPECT_EQ(p.CurrentX(), 3000);

    p.setForeColor(vbcolor::vbRed);
    p.Circle(3000, 1500, 300);
    EXPECT_EQ(at(220, 100), red);
    EXPECT_EQ(at(200, 120), red);
    EXPECT_EQ(at(200, 100), white);
    EXPECT_EQ(p.CurrentX(), 3000);
    EXPECT_EQ(p.CurrentY(), 1500);
}

TEST_F(DrawSurfaceTest, XorDrawnTwiceLeavesThePictureAsItWas) {
    PictureBox& p = pic();
    p.Line(0, 0, 4740, 2490, vbcolor::vbBlue);
    const QImage before = p.image().copy();
    p.setDrawMode(vbXorPen);
    p.Line(600, 600, 2400, 1800, vbcolor::vbWhite, LineStyle::Box);
    // XOR with white inverts: the outline shows where it crosses the blue line as well.
    EXPECT_EQ(at(40, 40), QColor(0, 0, 0));
    EXPECT_NE(p.image(), before);
    p.Line(600, 600, 2400, 1800, vbcolor::vbWhite, LineStyle::Box);
    EXPECT_EQ(p.image(), before);
}

// Lines drawn in a batch share one painter: the picture is the same as drawn
// line by line, a change of pen or mode between them included, and what the
// surface is then asked for already holds them.
TEST_F(DrawSurfaceTest, ABatchDrawsWhatTheLinesOneByOneDraw) {
    PictureBox& p = pic();
    auto draw = [&] {
        p.setDrawMode(vbCopyPen);
        p.setDrawStyle(vbSolid);
        p.Line(0, 0, 4740, 2490, vbcolor::vbBlue);
        for (int k = 0; k < 40; ++k) p.LineTo(120.0 * k, 300 + (k % 7) * 150.0, vbcolor::vbRed);
        p.setDrawStyle(vbDash);
        p.Line(0, 1500, 4500, 1500, vbcolor::vbBlue);
        p.setDrawMode(vbXorPen);
        p.Line(600, 600, 2400, 1800, vbcolor::vbWhite, LineStyle::Box);
        p.setDrawMode(vbCopyPen);
        p.Line(3000, 150, 3600, 900, vbcolor::vbRed, LineStyle::BoxFilled);
    };
    draw();
    const QImage oneByOne = p.image().copy();
    p.Cls();
    {
        DrawSurface::Batch batch(p);
        draw();
        EXPECT_EQ(p.image(), oneByOne);   // asked for halfway, the picture holds what was drawn
        p.Line(0, 0, 1500, 0, vbcolor::vbBlue);
    }
    EXPECT_NE(p.image(), oneByOne);
    EXPECT_EQ(at(50, 0), blue);
}

TEST_F(DrawSurfaceTest, PrintPutsTheTextTopAtCurrentYAndEndsTheLine) {
    PictureBox& p = pic();
    EXPECT_EQ(p.TextHeight(), 195);
    EXPECT_EQ(p.TextHeight(QStringLiteral("(dB) ")), 195);
    const double w0 = p.TextWidth(QStringLiteral("0"));
    EXPECT_GT(w0, 0);
    EXPECT_EQ(std::fmod(w0, 15.0), 0);
    EXPECT_EQ(p.TextWidth(QStringLiteral("000")), 3 * w0);

    p.setForeColor(vbcolor::vbRed);
    p.setCurrentX(300);
    p.setCurrentY(450);
    p.Print(QStringLiteral("Hg"));
    EXPECT_EQ(p.CurrentX(), 0);
    EXPECT_EQ(p.CurrentY(), 645);
    const QImage& img = p.image();
    EXPECT_EQ(count(img, QRect(0, 0, 316, 30), red), 0);                  // nothing above the top
    EXPECT_GT(count(img, QRect(20, 30, 30, 13), red), 20);                // the ink, solid red
    EXPECT_EQ(count(img, QRect(0, 43, 316, 120), red), 0);                // nor below the line
    EXPECT_EQ(count(img, QRect(0, 30, 20, 13), red), 0);
    // Without antialiasing: only the two colours.
    EXPECT_EQ(count(img, QRect(20, 30, 30, 13), red) + count(img, QRect(20, 30, 30, 13), white), 30 * 13);

    p.Cls();
    EXPECT_EQ(p.CurrentX(), 0);
    EXPECT_EQ(p.CurrentY(), 0);
    EXPECT_EQ(count(p.image(), p.image().rect(), white), 316 * 166);
}

TEST_F(DrawSurfaceTest, MoveKeepsWhatOverlapsAndANewBackgroundErases) {
    PictureBox& p = pic();
    p.Line(150, 150, 600, 600, vbcolor::vbRed, LineStyle::BoxFilled);
    p.Line(4500, 150, 4650, 300, vbcolor::vbRed, LineStyle::BoxFilled);
    p.Move(600, 200, 3000, 3000);
    EXPECT_EQ(p.ScaleWidth(), 2940);
    EXPECT_EQ(p.image().size(), QSize(196, 196));
    EXPECT_EQ(at(20, 20), red);
    EXPECT_EQ(at(150, 180), white);   // the new part has the background
    p.Move(600, 200, 4800, 2550);
    EXPECT_EQ(at(20, 20), red);
    EXPECT_EQ(at(305, 15), white);    // cut off by the smaller size

    p.setBackColor(vbcolor::vbBlue);
    EXPECT_EQ(at(20, 20), blue);
    EXPECT_EQ(p.BackColor(), vbcolor::vbBlue);
}

TEST_F(DrawSurfaceTest, PaintingShowsTheImageInsideTheBorderAndRefreshPaintsAtOnce) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* iEvent) override {
            paints += iEvent->type() == QEvent::Paint;
            return false;
        }
    } counter;
    PictureBox& p = pic();
    p.installEventFilter(&counter);
    f->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    p.Line(0, 0, 300, 300, vbcolor::vbRed, LineStyle::BoxFilled);
    const int before = counter.paints;
    p.Refresh();
    EXPECT_EQ(counter.paints, before + 1);

    const QImage shown = p.grab().toImage();
    EXPECT_EQ(shown.size(), QSize(320, 170));
    EXPECT_EQ(shown.pixelColor(2, 2), red);      // inner (0, 0)
    EXPECT_EQ(shown.pixelColor(22, 22), red);
    EXPECT_EQ(shown.pixelColor(23, 23), white);
    EXPECT_NE(shown.pixelColor(1, 1), red);      // the border
    // Drawn while hidden, shown again: still there.
    f->Hide();
    p.Line(3000, 1500, 3150, 1650, vbcolor::vbBlue, LineStyle::BoxFilled);
    f->Show();
    const QImage again = p.grab().toImage();
    EXPECT_EQ(again.pixelColor(2, 2), red);
    EXPECT_EQ(again.pixelColor(202, 102), blue);
}

TEST_F(DrawSurfaceTest, APngOfTheSurfaceReadsBackTheSame) {
    PictureBox& p = pic();
    p.Line(0, 0, 4740, 2490, vbcolor::vbRed);
    p.Print(QStringLiteral("1k"));
    const QString png = homeFile(QStringLiteral("picture.png"));
    ASSERT_TRUE(p.savePng(png));
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), p.image());
}

TEST_F(DrawSurfaceTest, AWindowsSurfaceIsDrawnUnderItsControls) {
    DrawSurface& s = formSurface(*f);
    EXPECT_EQ(&formSurface(*f), &s);
    EXPECT_EQ(s.ScaleWidth(), 6000);
    EXPECT_EQ(s.ScaleHeight(), 4500);
    EXPECT_EQ(s.BackColor(), vbcolor::vbButtonFace);
    EXPECT_EQ(s.ForeColor(), vbcolor::vbButtonText);
    f->Show();
    // A red band across the window, under the text box and beside the picture.
    s.Line(0, 3450, 6000, 4050, vbcolor::vbRed, LineStyle::BoxFilled);
    s.setForeColor(vbcolor::vbBlue);
    s.setCurrentX(90);
    s.setCurrentY(150);
    s.Print(QStringLiteral("+3"));
    EXPECT_EQ(s.CurrentY(), 345);
    const QImage shown = f->client()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(10, 235), red);
    EXPECT_EQ(shown.pixelColor(390, 235), red);
    const QRect box = f->txtNote->geometry();
    EXPECT_EQ(count(shown, box.adjusted(3, 3, -3, -3), red), 0);       // the control covers it
    EXPECT_GT(count(shown, QRect(6, 10, 30, 13), blue), 10);           // the printed level number
    EXPECT_EQ(count(shown, f->picTest->geometry(), red), 0);
}

// Pieces printed without line ends run on along the line; CR, LF and CR LF
// inside a piece each end one line, so two lone CRs leave an empty line.
TEST_F(DrawSurfaceTest, PrintWithoutLineEndRunsOnAndEndsOneLinePerBreak) {
    PictureBox& p = pic();
    p.setOpLog(true);
    p.setCurrentX(300);
    p.setCurrentY(450);
    p.PrintNoLineEnd(QStringLiteral("The "));
    EXPECT_EQ(p.CurrentX(), 300 + p.TextWidth(QStringLiteral("The ")));
    EXPECT_EQ(p.CurrentY(), 450);
    p.PrintNoLineEnd(QStringLiteral("Red\r\r"));
    EXPECT_EQ(p.CurrentX(), 0);
    EXPECT_EQ(p.CurrentY(), 450 + 2 * 195);
    p.PrintNoLineEnd(QStringLiteral("a\r\nb\nc"));
    EXPECT_EQ(p.CurrentY(), 450 + 4 * 195);
    EXPECT_EQ(p.CurrentX(), p.TextWidth(QStringLiteral("c")));
    QStringList texts;
    for (const DrawOp& op : p.ops())
        if (op.kind == DrawOpKind::Text) texts << op.text;
    EXPECT_EQ(texts, (QStringList{"The ", "Red", "", "", "a", "b", "c"}));
    EXPECT_EQ(p.ops()[1].x1, 300 + p.TextWidth(QStringLiteral("The ")));
    EXPECT_EQ(p.ops()[1].y1, 450);
}

// A window destroyed while shown, with drawing on itself waiting to be painted:
// its surface goes with it before Qt takes the client area apart, so nothing
// reaches the half-destroyed window.
TEST_F(DrawSurfaceTest, AWindowGoesCleanlyAfterShowingItsDrawing) {
    auto w = std::make_unique<frmCanvas>();
    DrawSurface& s = formSurface(*w);
    w->Show();
    s.Line(0, 0, 3000, 3000, vbcolor::vbRed, LineStyle::BoxFilled);
    EXPECT_EQ(w->client()->grab().toImage().pixelColor(5, 5), red);
    QPointer<QObject> surface = w->client()->findChild<QObject*>(QStringLiteral("formSurface"));
    ASSERT_TRUE(surface);
    w.reset();
    EXPECT_TRUE(surface.isNull());
    QCoreApplication::processEvents();
}
