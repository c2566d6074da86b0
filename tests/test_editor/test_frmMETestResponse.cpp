// The response test's layer window driven with keys and clicks as an engineer
// edits limit layers: what is stored, what is refused and what is drawn.
#include "audio/SweepScale.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Printer.h"
#include "platform/os/Clock.h"
#include "station/LayerJudge.h"
#include "tests/support/TestEditorRig.h"
#include <cmath>

namespace {
// The 45 Hz to 18 kHz sweep of 40 points every new test has.
int32_t f(int16_t p) { return int32_t(std::lround(sweepscale::frequency(45, 18000, 40, p))); }

class ResponseWindowTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("R1"), .fLo = 45, .fHi = 18000, .points = 40,
                                     .layers = {{.fLo = f(5), .fHi = f(20), .pt = 4, .lim = 3.0f},
                                                {.fLo = f(2), .fHi = f(3), .pt = 2, .lim = 2.0f}}});
        seed::add(seed::ResponseTest{.name = QStringLiteral("R2"), .fLo = 45, .fHi = 18000, .points = 40,
                                     .layers = {{.fLo = f(1), .fHi = f(40), .pt = 1, .lim = 1.0f}}});
        completeTests();
    }
    frmMETestResponse& window() {
        open();
        return form<frmMETestResponse>();
    }
    // A shortcut pressed in the layer window.
    static void ctrlHere(Qt::Key iKey) {
        frmMETestResponse& r = form<frmMETestResponse>();
        if (!r.isActiveWindow()) { EXPECT_TRUE(drive::showActive(r)); }
        drive::key(iKey, Qt::ControlModifier);
    }
    // Puts the focus in a control of the layer window, brought to the front first.
    static void into(Control& ioControl) {
        frmMETestResponse& r = form<frmMETestResponse>();
        if (!r.isActiveWindow()) { EXPECT_TRUE(drive::showActive(r)); }
        ioControl.SetFocus();
    }
    static void retypeHere(TextBox& ioBox, const QString& iText) {
        into(ioBox);
        ioBox.setSelStart(0);
        ioBox.setSelLength(int32_t(ioBox.Text().size()));
        drive::type(iText);
    }
    static void tickHere(CheckBox& ioBox) {
        EXPECT_TRUE(drive::showActive(form<frmMETestResponse>()));
        tick(&ioBox);
    }
    int32_t storedLong(const char* iField) const { return CLng(stored(QStringLiteral("R1"), QString::fromLatin1(iField))); }
    // The outlined boxes drawn on the layer graph, in a colour.
    // (Since the picture was last cleared.)
    static QList<DrawOp> drawnBoxes(const DrawSurface& iSurface, int32_t iColour) {
        QList<DrawOp> out;
        for (const DrawOp& op : iSurface.ops()) {
            if (op.kind == DrawOpKind::Cls) out.clear();
            if (op.kind == DrawOpKind::Box && op.color == iColour) out << op;
        }
        return out;
    }
    static int32_t colour(int16_t iLayer) {
        bool e = false;
        return glResponseSubLayerColour(iLayer, e);
    }
    static double x(int32_t iFreq) {
        bool e = false;
        return gnResponseSubCalcX(float(iFreq), e);
    }
};
}

TEST_F(ResponseWindowTest, FrequencyBoxesTakeOnlyListedPointsAndSaveFromTheWindow) {
    frmMETestResponse& r = window();
    ComboBox& hi = r.cboLyrFHi(0);
    into(hi);
    const int before = beepCount();
    drive::type(QStringLiteral("5"));
    EXPECT_EQ(beepCount(), before + 1);
    EXPECT_EQ(hi.Text(), QString::number(f(20)));
    // The list runs down in frequency: Down is the next lower point.
    drive::key(Qt::Key_Down);
    EXPECT_EQ(hi.Text(), QString::number(f(19)));
    EXPECT_TRUE(r.mnuFileReset->Enabled());
    ctrlHere(Qt::Key_S);
    EXPECT_EQ(storedLong("Layer1_fHi"), f(19));
    EXPECT_EQ(saveQuestions(), 0);
}

TEST_F(ResponseWindowTest, BlockAndLimitStayInTheirRanges) {
    frmMETestResponse& r = window();
    TextBox& block = r.txtLyrBlock(0);
    retypeHere(block, QStringLiteral("0"));
    answer({vbOK});
    into(r.txtLyrLim(0));
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_EQ(boxes().last().prompt, "Non-zero value (Block) please!");
    EXPECT_TRUE(block.HasFocus());
    // Shift+PageUp steps by 100 but stops at the band's 16 points.
    retypeHere(block, QStringLiteral("4"));
    drive::key(Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_EQ(block.Text(), "16");

    // A limit out of range is refused by Ctrl+S as by leaving the box: nothing is written.
    const QStringList row0 = row(QStringLiteral("R1"));
    retypeHere(block, QStringLiteral("4"));
    retypeHere(r.txtLyrLim(1), QStringLiteral("12"));
    clearBoxes();
    answer({vbOK});
    ctrlHere(Qt::Key_S);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_EQ(boxes()[0].prompt, "In the range 0.1 to 9.9 (dB) please!");
    EXPECT_EQ(row(QStringLiteral("R1")), row0);
    EXPECT_TRUE(r.txtLyrLim(1).HasFocus());

    // So are another test picked (refused before anything is asked) and a
    // close answered Yes: the editor stays on R1.
    frmMETest& t = form<frmMETest>();
    const struct {
        void (*leave)(frmMETest&);
        std::vector<int> answers;
        QStringList prompts;
    } leaves[] = {
        {+[](frmMETest& e) { TestEditorRig::choose(e.dcboTest, QStringLiteral("R2")); }, {vbOK},
         {QStringLiteral("In the range 0.1 to 9.9 (dB) please!")}},
        {+[](frmMETest&) { ctrl(Qt::Key_X); }, {vbYes, vbOK},
         {QStringLiteral("Save changes to the test R1?"), QStringLiteral("In the range 0.1 to 9.9 (dB) please!")}},
    };
    for (const auto& l : leaves) {
        clearBoxes();
        for (int a : l.answers) answer({a});
        l.leave(t);
        ASSERT_TRUE(isLoaded<frmMETest>());
        EXPECT_EQ(t.dcboTest->Text(), "R1");
        QStringList shown;
        for (const MsgBoxCall& b : boxes()) shown << b.prompt;
        EXPECT_EQ(shown, l.prompts);
        EXPECT_EQ(row(QStringLiteral("R1")), row0);
    }
    // Reset drops the refused limit with every other edit.
    clearBoxes();
    ctrl(Qt::Key_R);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(row(QStringLiteral("R1")), row0);
    EXPECT_EQ(form<frmMETestResponse>().txtLyrLim(1).Text(), "2");
}

TEST_F(ResponseWindowTest, ABlockThatLeavesNoRoomForTheHoleClearsItWhenSaved) {
    frmMETestResponse& r = window();
    // Pick the lowest hole start offered: the hole end follows one point above.
    ComboBox& mlo = r.cboLyrFMLo(0);
    ASSERT_TRUE(mlo.Visible());
    EXPECT_FALSE(r.cboLyrFMHi(0).Visible());
    into(mlo);
    drive::key(Qt::Key_End);
    EXPECT_EQ(mlo.Text(), QString::number(f(8)));
    EXPECT_EQ(r.cboLyrFMHi(0).Text(), QString::number(f(9)));
    EXPECT_TRUE(r.cboLyrFMHi(0).Visible());
    ctrlHere(Qt::Key_S);
    EXPECT_EQ(storedLong("Layer1_fMLo"), f(8));
    EXPECT_EQ(storedLong("Layer1_fMHi"), f(9));

    // The station judges exactly one block below that hole, from point 5 to 8.
    {
        Database db = OpenDatabase(testDb());
        std::unique_ptr<Recordset> rs = db.OpenRecordset(QStringLiteral("vexo_tst"));
        rs->FindFirst(QStringLiteral("Test_Name = ?"), Variant(QStringLiteral("R1")));
        const layerjudge::LayerBlocks b = layerjudge::layerBlocks({45, 18000, 40}, TestRecord(*rs).Layer(1), 1);
        EXPECT_EQ(b.band1First, 5);
        EXPECT_EQ(b.band1Count, 1);
        EXPECT_EQ(b.band2First, 9);
    }

    // A block of 8 leaves no room for a hole in 16 points: hidden and stored as 0.
    // (The save loaded the window anew.)
    frmMETestResponse& now = form<frmMETestResponse>();
    EXPECT_EQ(now.cboLyrFMLo(0).Text(), QString::number(f(8)));
    retypeHere(now.txtLyrBlock(0), QStringLiteral("8"));
    EXPECT_FALSE(now.cboLyrFMLo(0).Visible());
    EXPECT_FALSE(now.cboLyrFMHi(0).Visible());
    ctrlHere(Qt::Key_S);
    EXPECT_EQ(storedLong("Layer1_fMLo"), 0);
    EXPECT_EQ(storedLong("Layer1_fMHi"), 0);
    EXPECT_EQ(storedLong("Layer1_Pt#"), 8);
}

TEST_F(ResponseWindowTest, TheLastLayerOnCannotBeSwitchedOff) {
    frmMETestResponse& r = window();
    EXPECT_TRUE(r.chkLyrOn(0).isEnabled());
    tickHere(r.chkLyrOn(1));
    EXPECT_EQ(r.chkLyrOn(1).Value(), 0);
    EXPECT_FALSE(r.chkLyrOn(0).isEnabled());
    EXPECT_FALSE(r.cboLyrFLo(1).Visible());
    EXPECT_FALSE(r.txtLyrLim(1).Visible());
    EXPECT_EQ(r.chkLyrOn(1).ForeColor(), colour(2));
    tickHere(r.chkLyrOn(2));
    EXPECT_TRUE(r.chkLyrOn(0).isEnabled());
    EXPECT_TRUE(r.cboLyrFLo(2).Visible());
}

TEST_F(ResponseWindowTest, LayersAreDrawnWhileTheProgramJudgesAndTheEditedOneFlashes) {
    frmMETestResponse& r = window();
    frmMETest& t = form<frmMETest>();
    DrawSurface& pic = *r.picResponse;
    pic.setOpLog(true);
    // The operator decides: no layer boxes, the short window.
    tick(t.chkOpDecide);
    ASSERT_EQ(t.chkOpDecide->Value(), 1);
    EXPECT_TRUE(drawnBoxes(pic, colour(1)).isEmpty());
    EXPECT_TRUE(drawnBoxes(pic, colour(2)).isEmpty());
    EXPECT_EQ(r.Height(), 3840);

    // The program judges: one box per layer that is on, at its band.
    pic.clearOps();
    tick(t.chkOpDecide);
    EXPECT_EQ(r.Height(), 6540);
    const QList<DrawOp> one = drawnBoxes(pic, colour(1));
    ASSERT_EQ(one.size(), 1);
    EXPECT_DOUBLE_EQ(one[0].x1, x(f(5)));
    EXPECT_DOUBLE_EQ(one[0].x2, x(f(20)));
    EXPECT_EQ(drawnBoxes(pic, colour(2)).size(), 1);
    EXPECT_TRUE(drawnBoxes(pic, colour(3)).isEmpty());

    // A hole breaks layer 1's box in two.
    into(r.cboLyrFMLo(0));
    pic.clearOps();
    drive::key(Qt::Key_End);
    const QList<DrawOp> two = drawnBoxes(pic, colour(1));
    ASSERT_EQ(two.size(), 2);
    EXPECT_DOUBLE_EQ(two[0].x2, x(f(8)));
    EXPECT_DOUBLE_EQ(two[1].x1, x(f(9)));

    // Layer 2's limit box flashes: XOR ticks; two ticks restore the image.
    into(r.txtLyrLim(1));
    const QImage still = pic.image();
    pic.clearOps();
    vclock::advance(300);
    ASSERT_FALSE(pic.ops().isEmpty());
    for (const DrawOp& op : pic.ops()) {
        EXPECT_EQ(op.drawMode, vbXorPen);
        EXPECT_EQ(op.color, colour(2));
    }
    EXPECT_NE(pic.image(), still);
    vclock::advance(300);
    EXPECT_EQ(pic.image(), still);
    // Leaving the box ends the flash with a copy draw.
    pic.clearOps();
    into(r.txtLyrBlock(1));
    ASSERT_FALSE(pic.ops().isEmpty());
    EXPECT_EQ(pic.ops().last().drawMode, vbCopyPen);
    EXPECT_EQ(pic.ops().last().color, colour(2));
}

TEST_F(ResponseWindowTest, EditsInBothWindowsAreAskedAboutOnceAndWrittenInOneRow) {
    frmMETestResponse& r = window();
    frmMETest& t = form<frmMETest>();
    retype(*t.txtDelay, QStringLiteral("0.3"));
    retypeHere(r.txtLyrLim(1), QStringLiteral("4.5"));
    into(r.txtLyrBlock(1));
    // Cancel keeps both edits on screen and writes nothing.
    answer({vbCancel});
    pick(t, QStringLiteral("R2"));
    EXPECT_EQ(saveQuestions(), 1);
    EXPECT_EQ(t.dcboTest->Text(), "R1");
    EXPECT_EQ(t.txtDelay->Text(), "0.3");
    EXPECT_EQ(form<frmMETestResponse>().txtLyrLim(1).Text(), "4.5");
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("R1"), QStringLiteral("Layer2_Lim"))), 2.0f);
    // Yes writes both.
    answer({vbYes});
    pick(t, QStringLiteral("R2"));
    EXPECT_EQ(saveQuestions(), 2);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("R1"), QStringLiteral("Delay_s"))), 0.3f);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("R1"), QStringLiteral("Layer2_Lim"))), 4.5f);
}

TEST_F(ResponseWindowTest, SnappingKeepsEveryLayerOnTheNewSweepsPoints) {
    frmMETestResponse& r = window();
    frmMETest& t = form<frmMETest>();
    // Low raised above layer 2's band (switched off): the band shrinks to the
    // new low frequency and the block to the one point left.
    tickHere(r.chkLyrOn(1));
    retype(*t.txtFLo, QStringLiteral("60"));
    t.txtDelay->SetFocus();
    EXPECT_EQ(r.cboLyrFLo(1).Text(), "60");
    EXPECT_EQ(r.cboLyrFHi(1).Text(), "60");
    EXPECT_EQ(r.txtLyrBlock(1).Text(), "1");

    // 40 points to 20: every band on a point of the new sweep, no block beyond its band.
    retype(*t.txtPoint, QStringLiteral("20"));
    t.txtDelay->SetFocus();
    for (int16_t k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        const int32_t lo = CLng(r.cboLyrFLo(k).Text());
        const int32_t hi = CLng(r.cboLyrFHi(k).Text());
        const int16_t pLo = sweepscale::nearestPoint(60, 18000, 20, lo);
        const int16_t pHi = sweepscale::nearestPoint(60, 18000, 20, hi);
        EXPECT_EQ(lo, std::lround(sweepscale::frequency(60, 18000, 20, pLo)));
        EXPECT_EQ(hi, std::lround(sweepscale::frequency(60, 18000, 20, pHi)));
        EXPECT_LE(CInt(r.txtLyrBlock(k).Text()), pHi - pLo + 1);
    }
    EXPECT_EQ(r.txtLyrBlock(0).Text(), "4");
}

TEST_F(ResponseWindowTest, PrintingLeavesTheLayersOutWhileTheOperatorDecides) {
    Printer.setRecording(true);
    frmMETestResponse& r = window();
    frmMETest& t = form<frmMETest>();
    auto printedHeading = [] {
        for (const PrintOp& op : Printer.recorded())
            if (op.kind == PrintOpKind::Text && op.text.contains(QStringLiteral("Lim (dB)"))) return true;
        return false;
    };
    ctrlHere(Qt::Key_P);
    EXPECT_TRUE(printedHeading());
    Printer.setRecording(true);
    tick(t.chkOpDecide);
    ctrlHere(Qt::Key_P);
    EXPECT_FALSE(printedHeading());
    EXPECT_FALSE(Printer.recorded().isEmpty());
    Q_UNUSED(r);
    Printer.setRecording(false);
}
