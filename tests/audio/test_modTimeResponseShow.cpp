// Time traces and the polarity picture: the zero axis and its colour, traces
// scaled and thinned to the plot, the window label, the threshold lines, the
// decision on a recording and its marker.
#include "audio/modMixer.h"
#include "audio/modTimeResponseShow.h"
#include "audio/modWaveInOutDevices.h"
#include "audio/modWavePolarity.h"
#include "audio/modWavePolarityHi.h"
#include "platform/ui/Color.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include "tests/support/GraphWindows.h"
#include "tests/support/JigBench.h"
#include "tests/support/StationTest.h"

namespace {
class TimeDisplay : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        f = std::make_unique<frmPolarity>();
        pic().setOpLog(true);
    }
    void TearDown() override {
        endOfScript();
        f.reset();
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    PictureBox& pic() { return *f->picPolarity; }
    QList<DrawOp> lines() {
        QList<DrawOp> r;
        for (const DrawOp& o : pic().ops())
            if (o.kind == DrawOpKind::Line) r << o;
        return r;
    }
    QList<DrawOp> texts() {
        QList<DrawOp> r;
        for (const DrawOp& o : pic().ops())
            if (o.kind == DrawOpKind::Text) r << o;
        return r;
    }
    // Samples 1..n (element 0 unused).
    static std::vector<int16_t> samples(int iCount, int16_t iValue = 1000) {
        return std::vector<int16_t>(size_t(iCount) + 1, iValue);
    }
    std::unique_ptr<frmPolarity> f;
    bool error = false;
};
}

TEST_F(TimeDisplay, LongTracesAreThinnedToTheirPlotWidth) {
    EXPECT_EQ(gnTimeResponseInit(pic(), 0, 0, 3325, 2550, error), 1271);
    // 800 samples on 3317 twips: 800 > 663, step 4000 \ 3317 = 1, raised to 5.
    gTimeResponseShow(samples(800), true, 65534, 255, 0.1f, error);
    ASSERT_FALSE(error);
    QList<DrawOp> l = lines();
    ASSERT_EQ(l.size(), 161);
    const float xStep = 3317.0f / 800.0f;
    EXPECT_EQ(l[0].x1, 0);
    EXPECT_EQ(l[0].y1, 1271);   // from the axis at the left edge
    EXPECT_FLOAT_EQ(float(l[0].x2), xStep * 1);
    EXPECT_FLOAT_EQ(float(l[1].x2), xStep * 6);
    EXPECT_FLOAT_EQ(float(l[159].x2), xStep * 796);
    EXPECT_FLOAT_EQ(float(l[160].x2), 3317.0f);
    // A sample of 1000 on a full scale of 65534: 0.9 x 2542 / 65534 twips each.
    EXPECT_FLOAT_EQ(float(l[0].y2), 1271.0f - 1000.0f * (0.9f * 2542.0f / 65534.0f));
    EXPECT_EQ(l[0].color, 255);
    EXPECT_EQ(l[0].drawStyle, vbSolid);

    // The window label at the lower right, in the button-text colour.
    ASSERT_EQ(texts().size(), 1);
    EXPECT_EQ(texts()[0].text, "0.1 (s)");
    EXPECT_EQ(texts()[0].x1, 3317 - pic().TextWidth(QStringLiteral("0.1 (s)")) - 50);
    EXPECT_EQ(texts()[0].y1, 2542 - 195 - 20);
    EXPECT_EQ(texts()[0].color, vbcolor::vbButtonText);

    pic().clearOps();
    gTimeResponseShow(samples(353), true, 65534, 255, 0.008f, error);
    EXPECT_EQ(lines().size(), 353);
    EXPECT_EQ(texts()[0].text, "8 (ms)");
    pic().clearOps();
    gTimeResponseShow(samples(4410), true, 65534, 255, 0.1f, error);
    l = lines();
    ASSERT_EQ(l.size(), 736);   // 1, 7, ..., 4405, then 4410
    EXPECT_FLOAT_EQ(float(l[1].x2), 3317.0f / 4410.0f * 7);

    // An empty trace draws nothing, not even the label.
    pic().clearOps();
    gTimeResponseShow(samples(0), true, 65534, 255, 0.1f, error);
    gTimeResponseShow({}, true, 65534, 255, 0.1f, error);
    EXPECT_TRUE(pic().ops().isEmpty());
    EXPECT_FALSE(error);
}

TEST_F(TimeDisplay, TheAxisContrastsWithTheBackground) {
    gnTimeResponseInit(pic(), 0, 0, 3325, 2550, error);
    gTimeResponseShowDrawAxis(false, error);
    ASSERT_EQ(lines().size(), 1);
    EXPECT_EQ(lines()[0].color, vbcolor::vbButtonText);
    EXPECT_EQ(lines()[0].x2, 3317);
    EXPECT_EQ(lines()[0].y1, 1271);
    EXPECT_EQ(pic().image().pixelColor(100, DrawSurface::toPixel(1271)), vbcolor::toQColor(vbcolor::vbButtonText));

    // Any other background: the complement, here blue under a yellow axis.
    pic().setBackColor(vbcolor::vbBlue);
    pic().clearOps();
    gTimeResponseShowDrawAxis(true, error);
    ASSERT_EQ(pic().ops().size(), 2);
    EXPECT_EQ(pic().ops()[0].kind, DrawOpKind::Cls);
    EXPECT_EQ(pic().ForeColor(), 0x00FFFF);
    EXPECT_EQ(pic().image().pixelColor(100, DrawSurface::toPixel(1271)), QColor(255, 255, 0));

    // A system colour is complemented as the colour it stands for, not as its index.
    pic().setBackColor(vbcolor::vbWindowBackground);
    gTimeResponseShowDrawAxis(true, error);
    EXPECT_EQ(pic().ForeColor(), vbcolor::fromQColor(vbcolor::toQColor(vbcolor::vbWindowBackground)) ^ 0xFFFFFF);
    EXPECT_FALSE(error);
}

TEST_F(TimeDisplay, ThePolarityPictureAndAPositiveDecision) {
    gWavePolarityHiInitShowDraw(pic(), 3325, 2550, error);
    ASSERT_FALSE(error);
    QList<DrawOp> l = lines();
    ASSERT_EQ(l.size(), 3);
    EXPECT_TRUE(pic().ops()[0].kind != DrawOpKind::Cls) << "the picture is not cleared";
    // The axis at the half height, the threshold lines 40% of it above and below, dotted black.
    EXPECT_EQ(l[0].y1, 1271);
    EXPECT_EQ(l[1].x1, 8);
    EXPECT_EQ(l[1].x2, 3265);
    EXPECT_EQ(l[1].y1, 1271 + 508);
    EXPECT_EQ(l[2].y1, 1271 - 508);
    EXPECT_EQ(l[2].color, 0);
    EXPECT_EQ(l[2].drawStyle, vbDot);

    // The first sample beyond 13107 is +20000 at 50 of 800.
    std::vector<int16_t> rec = samples(800, 500);
    rec[30] = -13107;   // exactly the threshold does not count
    rec[50] = 20000;
    rec[60] = -30000;
    int16_t markerX = -1;
    EXPECT_EQ(mnWavePolarityDecision(rec, markerX, error), 1);
    EXPECT_EQ(markerX, 212);   // rounded(50 x 3257 / 800 + 8)
    pic().clearOps();
    gWavePolarityHiShowDecision(markerX, 65280, error);
    ASSERT_EQ(lines().size(), 1);
    EXPECT_EQ(lines()[0].x1, 212);
    EXPECT_EQ(lines()[0].y1, 763 + 400);
    EXPECT_EQ(lines()[0].y2, 763 - 400);
    EXPECT_EQ(lines()[0].color, 65280);
    EXPECT_FALSE(error);
}

TEST_F(TimeDisplay, NegativeAndUndecidedRecordings) {
    gWavePolarityHiInitShowDraw(pic(), 3325, 2550, error);
    std::vector<int16_t> rec = samples(800, 100);
    rec[10] = -32768;
    rec[20] = 32767;
    int16_t markerX = -1;
    EXPECT_EQ(mnWavePolarityDecision(rec, markerX, error), -1);
    EXPECT_EQ(rec[10], -32767);
    EXPECT_EQ(markerX, CInt(10 * 3257 / 800.0 + 8));
    pic().clearOps();
    gWavePolarityHiShowDecision(markerX, 255, error);
    EXPECT_EQ(lines()[0].y1, 1779 + 400);

    std::vector<int16_t> quiet = samples(800, 13107);
    quiet[800] = -13107;
    markerX = 99;
    EXPECT_EQ(mnWavePolarityDecision(quiet, markerX, error), 0);
    EXPECT_EQ(markerX, 99);
    std::vector<int16_t> none;
    EXPECT_EQ(mnWavePolarityDecision(none, markerX, error), 0);
    EXPECT_FALSE(error);
}

TEST_F(TimeDisplay, PlayedAndRecordedTracesAreScaledByTheirVolumes) {
    sound::JigBackend& jig = jigbench::installJig();
    ASSERT_TRUE(gbWaveOutThere(error));
    ASSERT_TRUE(gbWaveInThere(error));
    mInitInfoShort(error);
    ASSERT_TRUE(gbMixerThere(error));
    gMixerOutMasterSetVolume(32767, error);
    ASSERT_EQ(jig.cardMixer().controlByRole(sound::MixerRole::MasterVolume)->values[0], 32767);

    gWavePolarityHiInitShowDraw(pic(), 3325, 2550, error);
    pic().clearOps();
    std::vector<int16_t> out = samples(353, 0);
    out[1] = 20000;
    std::vector<int16_t> in = samples(353, 0);
    in[1] = -20000;
    gWavePolarityScaleShowInOut(true, 0.008f, 255, out, 39321, 65535, in, error);
    ASSERT_FALSE(error);
    const QList<DrawOp>& ops = pic().ops();
    ASSERT_EQ(ops.size(), 2 + 2 * (353 + 1));   // clearing, axis, then each trace and its label
    EXPECT_EQ(ops[0].kind, DrawOpKind::Cls);
    const float yScale = 0.9f * 2542.0f / 65534.0f;
    const DrawOp& firstOut = ops[2];
    EXPECT_EQ(firstOut.color, 255);
    EXPECT_FLOAT_EQ(float(firstOut.y2), 1271.0f - float(CInt(32767.0f / 65534.0f * 20000.0f)) * yScale);
    const DrawOp& firstIn = ops[2 + 354];
    EXPECT_EQ(firstIn.color, 65535);
    EXPECT_FLOAT_EQ(float(firstIn.y2), 1271.0f + float(CInt(39321.0f / 65534.0f * 20000.0f)) * yScale);

    // Without a recording only the played signal is drawn.
    pic().clearOps();
    gWavePolarityScaleShowInOut(false, 0.008f, 255, out, 39321, 65535, samples(0), error);
    EXPECT_EQ(pic().ops().size(), 354u);
}

TEST_F(TimeDisplay, APictureGoneWithItsWindowIsAnErrorNotACrash) {
    gWavePolarityHiInitShowDraw(pic(), 3325, 2550, error);
    ASSERT_FALSE(error);
    f.reset();
    answer({vbAbort, vbNo, vbAbort, vbNo});
    gTimeResponseShowDrawAxis(true, error);
    EXPECT_TRUE(error);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Source: modTimeResponseShow.gTimeResponseShowDrawAxis.10\r\n"));
    error = false;
    gWavePolarityHiShowDecision(100, 255, error);
    EXPECT_TRUE(error);
}
