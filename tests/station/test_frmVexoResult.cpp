// What the response graph shows of a judged response: the test names by
// result, the worst block marked by the Worst button, its text beside the
// graph, and the reference drawn when a calibrated sequence is chosen.
#include "audio/SweepScale.h"
#include "audio/modAudio.h"
#include "audio/modResponseSub.h"
#include "station/LayerJudge.h"
#include "station/modMSub.h"
#include "tests/support/MainWindowRig.h"

namespace {
class ResultTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        for (const char* n : {"A", "B", "C"})
            seed::add(seed::ResponseTest{.name = QString::fromLatin1(n), .fLo = 100, .fHi = 10000, .points = 40,
                                         .layers = {seed::Layer{.fLo = 100, .fHi = 10000, .pt = 2, .lim = 1.0f}}});
        // Layer 2 with a hole: band 1 points 5..15, band 2 25..38, blocks of 3.
        seed::add(seed::ResponseTest{.name = QStringLiteral("Holed"), .fLo = 100, .fHi = 10000, .points = 40,
                                     .layers = {seed::Layer{.fLo = 100, .fHi = 10000, .pt = 40, .lim = 50.0f},
                                                seed::Layer{.fLo = hz(5), .fHi = hz(38), .fMLo = hz(15),
                                                            .fMHi = hz(25), .pt = 3, .lim = 1.0f}}});
        addTest(QStringLiteral("Hum"), QStringLiteral("Sine"));
        seed::add(seed::Sequence{.name = QStringLiteral("Three"),
                                 .tests = {QStringLiteral("A"), QStringLiteral("Hum"), QStringLiteral("B"),
                                           QStringLiteral("C"), QStringLiteral("Holed")}});
    }
    static int32_t hz(int iPoint) {
        return static_cast<int32_t>(std::lround(sweepscale::frequency(100, 10000, 40, static_cast<int16_t>(iPoint))));
    }
    // Judges a response 9 dB off the reference at one point against the Holed test.
    static bool judgeSpikeAt(frmVexo& f, int iPoint) {
        f.dtaTest.Recordset().FindFirst(QStringLiteral("Test_Name = ?"), Variant(QStringLiteral("Holed")));
        std::vector<float> lin(41, 0.0f);
        for (int p = 1; p <= 40; ++p) lin[p] = layerjudge::linearDeviation(p == iPoint ? 9.0f : 0.0f);
        bool e = false;
        const bool pass = f.mbDoRespTestPCDecidePass(lin, e);
        EXPECT_FALSE(e);
        return pass;
    }
    static QList<DrawOp> opsOf(const DrawSurface& s, DrawOpKind iKind) {
        QList<DrawOp> out;
        for (const DrawOp& op : s.ops())
            if (op.kind == iKind) out << op;
        return out;
    }
};

TEST_F(ResultTest, TheGridNamesEarlierResponsesByResultAndTheCurrentOneInBlack) {
    frmVexo& f = start();
    bool e = false;
    f.picResponse->clearOps();
    f.gDrawRespGridShowTestName(QStringLiteral("C"), 3, true, e);
    ASSERT_FALSE(e);
    // Nothing has passed in this command yet: A and B are red.
    QList<QPair<QString, int32_t>> names;
    for (const auto& t : texts(*f.picResponse))
        if (t.first.size() == 1) names << t;
    EXPECT_EQ(names, (QList<QPair<QString, int32_t>>{{"A", 255}, {"B", 255}, {"C", 0}}));

    f.picResponse->clearOps();
    f.gDrawRespGridShowTestName(QStringLiteral("C"), 3, false, e);
    names.clear();
    for (const auto& t : texts(*f.picResponse))
        if (t.first.size() == 1) names << t;
    EXPECT_EQ(names, (QList<QPair<QString, int32_t>>{{"C", 0}}));
}

TEST_F(ResultTest, TheWorstButtonMarksABand2BlockAndMovesItsTextLeftNearTheEdge) {
    frmVexo& f = start();
    struct Case {
        int spike;
        int start;   // the first block holding the spike
    } cases[] = {{27, 25}, {38, 36}};
    for (const Case& c : cases) {
        EXPECT_FALSE(judgeSpikeAt(f, c.spike)) << c.spike;
        f.picResponse->clearOps();
        formSurface(f).clearOps();
        f.cmdWorst->setVisible(true);
        f.cmdWorst->setEnabled(true);
        drive::click(f.cmdWorst);

        bool e = false;
        const auto boxes = opsOf(*f.picResponse, DrawOpKind::Box);
        ASSERT_FALSE(boxes.isEmpty());
        const DrawOp& mark = boxes.last();
        EXPECT_EQ(mark.color, 65535);
        const float left = std::round(gfAudioPoint2Freq(100, 10000, 40, static_cast<int16_t>(c.start), e));
        const float right = std::round(gfAudioPoint2Freq(100, 10000, 40, static_cast<int16_t>(c.start + 2), e));
        EXPECT_EQ(mark.x1, gnResponseSubCalcX(left, e)) << c.spike;
        EXPECT_EQ(mark.x2, gnResponseSubCalcX(right, e)) << c.spike;
        EXPECT_EQ(mark.y1, gnResponseSubCalcY(f, -29.9f, e));
        EXPECT_EQ(mark.y2, 0);

        const auto written = opsOf(formSurface(f), DrawOpKind::Text);
        ASSERT_EQ(written.size(), 1);
        const DrawOp& text = written.first();
        EXPECT_TRUE(text.text.endsWith(QStringLiteral("/1.0dB Lyr 2"))) << text.text.toStdString();
        EXPECT_EQ(text.color, 255);
        const double x = f.picResponse->Left() + mark.x1;
        const double width = formSurface(f).TextWidth(text.text);
        const bool moved = x + width > formSurface(f).ScaleWidth();
        EXPECT_EQ(text.x1, moved ? x - width : x);
        // Near the edge the text ends within the window either way.
        EXPECT_LE(text.x1 + width, formSurface(f).ScaleWidth());
        if (c.spike == 27) { EXPECT_FALSE(moved); }
        EXPECT_NEAR(text.y1, f.picResponse->Top() - 1.1 * formSurface(f).TextHeight(QStringLiteral("0")), 1.0);
        // Once per unit: the button stays in sight, disabled.
        EXPECT_TRUE(f.cmdWorst->Visible());
        EXPECT_FALSE(f.cmdWorst->Enabled());
    }
}

TEST_F(ResultTest, WorstAfterAUnitWithNothingOverItsLimitSaysSo) {
    frmVexo& f = start();
    EXPECT_TRUE(judgeSpikeAt(f, 20));   // inside the hole
    clearBoxes();
    f.picResponse->clearOps();
    f.cmdWorst->setVisible(true);
    f.cmdWorst->setEnabled(true);
    answer({vbOK});
    drive::click(f.cmdWorst);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().first().prompt, "mnWorstLyr = 0");
    EXPECT_EQ(boxes().first().title, "frmVexo.mShowPassFailLyr");
    EXPECT_TRUE(opsOf(*f.picResponse, DrawOpKind::Box).isEmpty());
}
}   // namespace
