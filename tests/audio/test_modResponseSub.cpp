// The response graph as the station draws it: the 4800 x 2550 grid and its
// numbers, positions of frequencies and levels, layer boxes, curves clipped to
// the plot, test names, the range warning; pixels of the picture and exact
// positions from the operation log.
#include "audio/modResponseSub.h"
#include "platform/ui/Color.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include "tests/support/GraphWindows.h"
#include "tests/support/StationTest.h"
#include <QDir>
#include <QFile>
#include <cmath>

namespace {
class ResponseGraph : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        f = std::make_unique<frmGraph>();
        f->picResponse->setVisible(false);
    }
    void TearDown() override {
        endOfScript();
        f.reset();
        StationTest::TearDown();
    }
    // The station's grid: logarithmic, "(Hz)", no right axis, 4800 x 2550.
    void grid(int16_t iLeft = 600, int16_t iTop = 200) {
        gResponseSubDrawGrid(*f, iLeft, iTop, 4800, 2550, 0, QStringLiteral("(Hz)"), false, error);
        ASSERT_FALSE(error);
    }
    PictureBox& pic() { return *f->picResponse; }
    DrawSurface& win() { return f->windowSurface(); }
    int16_t x(float iFreq) { return gnResponseSubCalcX(iFreq, error); }
    int16_t y(float iLevel) { return gnResponseSubCalcY(*f, iLevel, error); }
    // Separate runs of a colour down one pixel column of the picture.
    int runs(int iColumn, QColor iColor) {
        const QImage& img = pic().image();
        int n = 0;
        for (int r = 0; r < img.height(); ++r)
            n += img.pixelColor(iColumn, r) == iColor && (r == 0 || img.pixelColor(iColumn, r - 1) != iColor);
        return n;
    }
    int count(QRect iRect, QColor iColor) {
        const QImage& img = pic().image();
        int n = 0;
        for (int r = iRect.top(); r <= iRect.bottom(); ++r)
            for (int c = iRect.left(); c <= iRect.right(); ++c) n += img.pixelColor(c, r) == iColor;
        return n;
    }
    QList<DrawOp> ofKind(const QList<DrawOp>& iOps, DrawOpKind iKind) {
        QList<DrawOp> r;
        for (const DrawOp& o : iOps)
            if (o.kind == iKind) r << o;
        return r;
    }
    const DrawOp* text(const QString& iText) {
        for (const DrawOp& o : win().ops())
            if (o.kind == DrawOpKind::Text && o.text == iText) return &o;
        return nullptr;
    }
    static int px(double iTwips) { return DrawSurface::toPixel(iTwips); }

    std::unique_ptr<frmGraph> f;
    bool error = false;
    const QColor black{0, 0, 0};
};
}

TEST_F(ResponseGraph, PositionsOfFrequenciesAndLevelsOnTheStationsGrid) {
    grid();
    EXPECT_EQ(pic().Left(), 600);
    EXPECT_EQ(pic().Top(), 200);
    EXPECT_EQ(pic().ScaleHeight(), 2490);
    EXPECT_TRUE(pic().Visible());
    // Plot width 4720 over three decades from 20 Hz; no margin on the log axis.
    EXPECT_EQ(x(10), -474);
    EXPECT_EQ(x(20), 0);
    EXPECT_EQ(x(200), 1573);
    EXPECT_EQ(x(1000), 2673);
    EXPECT_EQ(x(20000), 4720);
    // 83 twips per dB from 0 dB at the top edge.
    EXPECT_EQ(y(3), -249);
    EXPECT_EQ(y(0), 0);
    EXPECT_EQ(y(-15), 1245);
    EXPECT_EQ(y(-30), 2490);
    EXPECT_EQ(gnResponseSubLblTop(*f, 0, error), 2265);
    EXPECT_EQ(gnResponseSubLblTop(*f, 1, error), 2460);
    EXPECT_FALSE(error);

    // The last grid drawn sets the values for every window.
    gResponseSubDrawGrid(*f, 0, 0, 2480, 1290, 0, QStringLiteral("(Hz)"), false, error);
    EXPECT_EQ(x(20000), 2400);
    EXPECT_EQ(y(-30), 1230);
}

TEST_F(ResponseGraph, TheLogGridHasDotsAtThreeAndOneDbAndNoLinesAtTheEnds) {
    grid();
    const QImage& img = pic().image();
    ASSERT_EQ(img.size(), QSize(316, 166));
    EXPECT_EQ(runs(px(x(1000)), black), 29);
    EXPECT_EQ(runs(px(x(2000)), black), 9);
    EXPECT_EQ(runs(px(x(50)), black), 29);
    EXPECT_EQ(runs(px(x(10000)), black), 29);
    EXPECT_EQ(runs(px(x(300)), black), 9);
    EXPECT_EQ(runs(0, black), 0);                 // 20 Hz
    EXPECT_EQ(runs(px(x(20000)), black), 0);      // 20 kHz
    // 20 lines of 9 dots (30 to 90, 200 to 900, 2k to 9k without 50, 500, 5k) and six of 29.
    EXPECT_EQ(count(img.rect(), black), 20 * 9 + 6 * 29);

    // Exact dashes: 15 twips up from each dB step, measured from the bottom level.
    pic().setOpLog(true);
    grid();
    QList<DrawOp> at1k;
    for (const DrawOp& o : ofKind(pic().ops(), DrawOpKind::Line))
        if (o.x1 == 2673) at1k << o;
    ASSERT_EQ(at1k.size(), 29);
    EXPECT_EQ(at1k[0].y1, 2407);   // -1 dB: 29 x 83
    EXPECT_EQ(at1k[0].y2, 2392);
    EXPECT_EQ(at1k[28].y1, 83);
    EXPECT_EQ(at1k[0].color, 0);
    EXPECT_EQ(at1k[0].x2, 2673);
}

TEST_F(ResponseGraph, NumbersLabelsAndCaptionArePrintedOnTheWindow) {
    win().setOpLog(true);
    grid();
    const double th = win().TextHeight();
    ASSERT_EQ(th, 195);
    // Labels centred under their lines, one row below the picture: CInt(2750 + 19.5).
    for (const auto& [label, freq] : {std::pair{"50", 50}, {"100", 100}, {"500", 500}, {"1k", 1000}, {"5k", 5000},
                                      {"10k", 10000}}) {
        const DrawOp* o = text(QString::fromLatin1(label));
        ASSERT_TRUE(o) << label;
        EXPECT_EQ(o->x1, 600 + x(float(freq)) - IntDiv(win().TextWidth(QString::fromLatin1(label)), 2)) << label;
        EXPECT_EQ(o->y1, 2770) << label;
        EXPECT_EQ(o->color, 0);
    }
    EXPECT_FALSE(text(QStringLiteral("20")));
    EXPECT_FALSE(text(QStringLiteral("20k")));
    // Level numbers right-aligned to the picture, 85 twips per dB from CInt(200 - 97.5).
    const DrawOp* plus3 = text(QStringLiteral("+3"));
    ASSERT_TRUE(plus3);
    EXPECT_EQ(plus3->x1, 600 - win().TextWidth(QStringLiteral("+3 ")));
    EXPECT_EQ(plus3->y1, 102 + 3 * 85);
    EXPECT_EQ(text(QStringLiteral("(dB)"))->y1, 102 + 2550 - 195);
    const DrawOp* caption = text(QStringLiteral("(Hz)"));
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->x1, 5400 - win().TextWidth(QStringLiteral("(Hz)")));
    EXPECT_EQ(caption->y1, 2769.5);
    EXPECT_FALSE(text(QStringLiteral("114.3")));

    // The right axis in yellow, half a digit right of the picture.
    win().clearOps();
    gResponseSubDrawGrid(*f, 600, 200, 4800, 2550, 0, QStringLiteral("(Hz)"), true, error);
    const DrawOp* r = text(QStringLiteral("12.7"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->x1, CInt(5400 + 0.5 * win().TextWidth(QStringLiteral("0"))));
    EXPECT_EQ(r->y1, 102 + 27 * 85);
    EXPECT_EQ(r->color, 65535);
}

TEST_F(ResponseGraph, TheLinearGridHasQuarterLinesWithoutLabels) {
    win().setOpLog(true);
    pic().setOpLog(true);
    gResponseSubDrawGrid(*f, 600, 200, 4800, 2550, 4, QStringLiteral("(s)"), false, error);
    ASSERT_FALSE(error);
    QMap<double, int> dashes;
    for (const DrawOp& o : ofKind(pic().ops(), DrawOpKind::Line)) ++dashes[o.x1];
    ASSERT_EQ(dashes.size(), 15);
    // Spacing 4720 / 4 = 1180 from the 40-twip margin; the whole divisions denser.
    EXPECT_EQ(dashes.firstKey(), CInt(0.25 * 1180 + 40));
    EXPECT_EQ(dashes.lastKey(), CInt(3.75 * 1180 + 40));
    EXPECT_EQ(dashes[1220], 19);
    EXPECT_EQ(dashes[335], 9);
    EXPECT_EQ(ofKind(win().ops(), DrawOpKind::Text).size(), 7);   // five numbers, "(dB)", the caption
}

TEST_F(ResponseGraph, LayerBoxesInTheLayersColourLeaveTheHoleEmpty) {
    EXPECT_EQ(glResponseSubLayerColour(1, error), 0xFF0000);
    EXPECT_EQ(glResponseSubLayerColour(6, error), 0xFFFF);
    EXPECT_EQ(glResponseSubLayerColour(0, error), 255);
    EXPECT_EQ(glResponseSubLayerColour(7, error), 255);
    grid();
    pic().setOpLog(true);
    gResponseSubShowCheckRange(*f, 100, 0, 0, 10000, 3, 1, error);
    gResponseSubShowCheckRange(*f, 50, 500, 2000, 15000, 1, 2, error);
    ASSERT_FALSE(error);
    const QList<DrawOp> boxes = ofKind(pic().ops(), DrawOpKind::Box);
    ASSERT_EQ(boxes.size(), 3);
    // Layer 1: -10 + 3 dB down to -20 - 3 dB.
    EXPECT_EQ(boxes[0].x1, x(100));
    EXPECT_EQ(boxes[0].y1, 581);
    EXPECT_EQ(boxes[0].x2, x(10000));
    EXPECT_EQ(boxes[0].y2, 1909);
    EXPECT_EQ(boxes[0].color, 0xFF0000);
    EXPECT_EQ(boxes[1].x2, x(500));
    EXPECT_EQ(boxes[2].x1, x(2000));
    EXPECT_EQ(boxes[2].y1, y(-9));
    EXPECT_EQ(boxes[2].y2, y(-21));

    // Layer 1 is pure blue, not red.
    EXPECT_EQ(pic().image().pixelColor(px(x(100)), px(800)), QColor(0, 0, 255));
    // Between hole low and hole high nothing of layer 2, not even the top and bottom edges.
    const QColor green(0, 255, 0);
    const QRect hole(QPoint(px(x(500)) + 1, px(y(-9))), QPoint(px(x(2000)) - 1, px(y(-21))));
    EXPECT_EQ(count(hole, green), 0);
    EXPECT_GT(count(QRect(QPoint(px(x(500)), px(y(-9))), QPoint(px(x(500)), px(y(-21)))), green), 60);
    EXPECT_GT(count(QRect(QPoint(px(x(2000)), px(y(-9))), QPoint(px(x(2000)), px(y(-21)))), green), 60);

    gResponseSubShowCheckRange(*f, 30, 0, 0, 40, 14, 0, error);
    gResponseSubShowCheckRange(*f, 60, 0, 0, 80, 14, 7, error);
    EXPECT_EQ(pic().image().pixelColor(px(x(30)), px(y(0))), QColor(255, 0, 0));
    EXPECT_EQ(pic().image().pixelColor(px(x(60)), px(y(0))), QColor(255, 0, 0));
}

TEST_F(ResponseGraph, JoinedPointsAreKeptInsideThePlot) {
    grid();
    pic().setOpLog(true);
    // (x, y, joined) and where each segment must go; the bottom limit is 2490 - 10.
    struct Step {
        int16_t x, y;
        bool join;
    };
    const Step steps[] = {{100, -249, false}, {200, 1000, true}, {300, -100, true}, {400, 3000, true},
                          {500, 3200, true},  {600, 2480, true}, {700, 1500, true}, {800, 3000, true},
                          {900, 1000, true},  {850, 3000, true}};
    for (const Step& s : steps) gResponseSubPlotOne(*f, s.x, s.y, 0xFFFFFF, 0, s.join, false, error);
    ASSERT_FALSE(error);
    QList<std::tuple<double, double, int>> ends;
    for (const DrawOp& o : pic().ops()) ends.append({o.x2, o.y2, o.drawStyle});
    const QList<std::tuple<double, double, int>> expected = {
        {100, -249, vbInvisible},   // the first point only moves, and is not clamped
        {200, 1000, 0},
        {300, 5, 0},                // above the plot: along its top
        {383, 2480, 0},             // down through the limit: to the crossing (300 + 2580 / 31)
        {500, 2480, 0},             // below: along the limit
        {600, 2480, 0},
        {700, 1500, 0},
        {765, 2480, 0},             // 700 + 980 / 15
        {826, 2480, 0}, {900, 1000, 0},   // back up: the crossing, then the point
        {850, 2480, 0},             // going left: straight down at the point's x
    };
    EXPECT_EQ(ends, expected);
    EXPECT_EQ(pic().ops()[1].x1, 100);
    EXPECT_EQ(pic().ops()[1].y1, -249);
    EXPECT_EQ(pic().ops()[1].color, 0xFFFFFF);
    EXPECT_EQ(pic().DrawStyle(), 0);

    // A non-joined point below the plot moves to the limit.
    gResponseSubPlotOne(*f, 950, 3000, 0xFFFFFF, 2, false, false, error);
    EXPECT_EQ(pic().ops().last().y2, 2480);
    EXPECT_EQ(pic().DrawStyle(), 0) << "the move leaves the draw style as it was";
}

TEST_F(ResponseGraph, AWholeCurveStartsWithAMoveAndDrawsEachPoint) {
    grid();
    pic().setOpLog(true);
    std::vector<float> level(41, -12.0f);
    level[2] = 5.0f;
    gResponseSubPlotSet(*f, 45, 18000, 40, level, 0xFFFF00, 2, error);
    ASSERT_FALSE(error);
    const QList<DrawOp> lines = ofKind(pic().ops(), DrawOpKind::Line);
    ASSERT_EQ(lines.size(), 40);
    EXPECT_EQ(lines[0].drawStyle, vbInvisible);
    EXPECT_EQ(lines[0].x2, x(45));
    EXPECT_EQ(lines[0].y2, y(-12));
    EXPECT_EQ(lines[1].x2, x(std::round(45 * std::pow(10.0, std::log10(400.0) / 39))));
    EXPECT_EQ(lines[1].y2, 5);
    EXPECT_EQ(lines[39].x2, x(18000));
    EXPECT_EQ(lines[39].drawStyle, 2);
    EXPECT_EQ(lines[39].color, 0xFFFF00);
    EXPECT_TRUE(boxes().isEmpty());

    // The next curve does not join the last point of this one.
    pic().clearOps();
    std::vector<float> second(41, -20.0f);
    gResponseSubPlotSet(*f, 45, 18000, 40, second, 0xFFFFFF, 0, error);
    ASSERT_FALSE(pic().ops().isEmpty());
    EXPECT_EQ(pic().ops()[0].drawStyle, vbInvisible);
    EXPECT_EQ(pic().ops()[0].x2, x(45));
    EXPECT_EQ(pic().ops()[1].x1, x(45));
    EXPECT_EQ(pic().ops()[1].y1, y(-20));
}

TEST_F(ResponseGraph, ACurveShorterThanItsPointCountIsRefusedAndNothingDrawn) {
    grid();
    pic().setOpLog(true);
    std::vector<float> level(40, -10.0f);   // upper bound 39
    answer({vbOK});
    gResponseSubPlotSet(*f, 45, 18000, 40, level, 0xFFFFFF, 0, error);
    EXPECT_TRUE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "UBound(iafY)(39 < inPoints(40)");
    EXPECT_EQ(boxes()[0].title, "modResponseSub.gResponsePlotSet");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_EQ(boxes()[0].answers, QList<int>{vbOK});
    EXPECT_TRUE(pic().ops().isEmpty());
}

TEST_F(ResponseGraph, APositionBeyondSixteenBitsIsAnOverflowOfTheRoutine) {
    grid();
    pic().setOpLog(true);
    answer({vbAbort, vbNo});
    EXPECT_EQ(y(1000), 0);
    EXPECT_TRUE(error);
    ASSERT_GE(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Source: modResponseSub.gnResponseSubCalcY.10\r\n\r\nOverflow");

    // In a curve it stops the curve where it happens.
    error = false;
    clearBoxes();
    answer({vbAbort, vbNo});
    std::vector<float> level(11, -10.0f);
    level[3] = 1000.0f;
    gResponseSubPlotSet(*f, 100, 10000, 10, level, 0xFFFFFF, 0, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(ofKind(pic().ops(), DrawOpKind::Line).size(), 2);
}

TEST_F(ResponseGraph, TestNamesSitInTheirSlotsAndTheRangeWarningAtTheBottomRight) {
    grid();
    pic().setOpLog(true);
    gResponseSubShowTestName(*f, QStringLiteral("Bass"), 1, 65280, error);
    gResponseSubShowTestName(*f, QStringLiteral("Mid"), 3, 0, error);
    gResponseSubShowTestName(*f, QStringLiteral("Tweeter"), 12, 255, error);
    gResponseSubShowRange(*f, 65534, error);
    gResponseSubShowRange(*f, 65535, error);
    ASSERT_FALSE(error);
    const QList<DrawOp> texts = ofKind(pic().ops(), DrawOpKind::Text);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0].x1, pic().TextWidth(QStringLiteral(" ")));
    EXPECT_EQ(texts[0].y1, 195 * 0.1);
    EXPECT_EQ(texts[0].color, 65280);
    EXPECT_EQ(texts[1].y1, 195 * 2.1);
    EXPECT_EQ(texts[2].x1, 4800 - pic().TextWidth(QStringLiteral("Tweeter   ")));
    EXPECT_EQ(texts[2].y1, 195 * 0.1);
    EXPECT_EQ(texts[3].text, "Rng? ");
    EXPECT_EQ(texts[3].x1, 4800 - pic().TextWidth(QStringLiteral("Rng?  ")));
    EXPECT_EQ(texts[3].y1, 2265);
    EXPECT_EQ(texts[3].color, 65535);
    // The first name shows in green pixels in the top-left corner.
    EXPECT_GT(count(QRect(0, 0, 60, 14), QColor(0, 255, 0)), 10);
}

TEST_F(ResponseGraph, Screenshot) {
    f->setClientSize(5700, 3200);
    grid(600, 150);
    pic().setGraphPaper();   // as every station graph
    grid(600, 150);
    gResponseSubShowCheckRange(*f, 60, 0, 0, 15000, 9, 3, error);
    gResponseSubShowCheckRange(*f, 100, 0, 0, 10000, 5, 2, error);
    gResponseSubShowCheckRange(*f, 200, 2500, 4000, 8000, 2, 1, error);
    // A unit's response: out of the bass below the plot, a rippled middle, a treble peak and fall.
    std::vector<float> level(61, 0.0f);
    for (int p = 1; p <= 60; ++p)
        level[size_t(p)] = float(-15 - 30 * std::exp(-(p - 1) / 4.0) + 0.6 * std::sin(p * 1.7) +
                                 (p > 52 ? 6 - 3 * (p - 52) : 0));
    gResponseSubPlotSet(*f, 30, 18000, 60, level, 0xFFFFFF, 0, error);
    gResponseSubShowTestName(*f, QStringLiteral("Response"), 1, 0, error);
    ASSERT_FALSE(error);
    f->Show();
    const QImage shot = f->client()->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(380, 213));
    const QString png = homeFile(QStringLiteral("response-graph.png"));
    ASSERT_TRUE(shot.save(png));
    // VEXO_DOCS_DIR keeps the picture for the documentation.
    const QString docs = qEnvironmentVariable("VEXO_DOCS_DIR");
    if (!docs.isEmpty()) {
        QFile::remove(QDir(docs).filePath(QStringLiteral("response-graph.png")));
        EXPECT_TRUE(QFile::copy(png, QDir(docs).filePath(QStringLiteral("response-graph.png"))));
    }
}
