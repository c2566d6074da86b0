// Window printing as the engineer windows use it: each control drawn at its
// design place on the page, the byline, and an aborted print leaving nothing
// behind; checked against the recording printer, a PDF and a real CUPS queue.
#include "common/modFormPrint.h"
#include "common/modFormPrintBylineEndDoc.h"
#include "platform/os/Settings.h"
#include "platform/ui/Beep.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/Printer.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/UpDown.h"
#include "platform/ui/VScrollBar.h"
#include "platform/vb/Conversions.h"
#include "tests/support/DialogTest.h"
#include "tests/support/PdfProbe.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <pwd.h>
#include <unistd.h>

namespace {
// An engineer window's controls are made by each test.
class frmSheet : public Form {
public:
    frmSheet() : Form(QStringLiteral("frmSheet")) { setClientSize(9000, 7000); }
};

using pdfprobe::pages;
int pdfPages(const QString& iPdf) { return pages(iPdf); }
QString pdfText(const QString& iPdf) { return pdfprobe::text(iPdf, true); }

class FormPrintTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        qunsetenv("VEXO_PRINT_TO");
        Printer.setRecording(true);
        // An aborted print would otherwise offer to e-mail a bug report.
        saveUserSetting(QStringLiteral("SendBugReports"), QStringLiteral("0"));
    }
    void TearDown() override {
        endOfScript();
        Printer.KillDoc();
        Printer.setRecording(false);
        qunsetenv("VEXO_PRINT_TO");
        DialogTest::TearDown();
    }
    // What the printing drew, in order (texts, lines, boxes, circles).
    QList<PrintOp> drawn() const {
        QList<PrintOp> out;
        for (const PrintOp& op : Printer.recorded())
            if (op.kind != PrintOpKind::NewPage && op.kind != PrintOpKind::EndDoc && op.kind != PrintOpKind::KillDoc)
                out << op;
        return out;
    }
    int count(PrintOpKind iKind) const {
        int n = 0;
        for (const PrintOp& op : Printer.recorded()) n += op.kind == iKind;
        return n;
    }
    static QRectF box(const PrintOp& iOp) { return QRectF(QPointF(iOp.x1, iOp.y1), QPointF(iOp.x2, iOp.y2)); }
    int16_t print(Form& iForm, int16_t iOffset = 900) {
        bool err = false;
        const int16_t lowest = gnFormPrint(iForm, iOffset, err);
        EXPECT_FALSE(err);
        return lowest;
    }
    frmSheet w;
};

TEST_F(FormPrintTest, ControlsArePlacedBelowTheOffsetWithTheirFrameAddedOnce) {
    auto* chk = new CheckBox(&w, QStringLiteral("chkLog"), 120, 300, 1500, 285, QStringLiteral("Log"));
    chk->setValue(vbChecked);
    auto* fra = new Frame(&w, QStringLiteral("fraSide"), 1000, 500, 5000, 3000, QStringLiteral("Side"));
    auto* chkIn = new CheckBox(fra, QStringLiteral("chkIn"), 120, 300, 1500, 285, QStringLiteral("In"));
    chkIn->setValue(vbChecked);
    // A frame in a frame: only the frame the control sits in is added.
    auto* inner = new Frame(fra, QStringLiteral("fraInner"), 200, 1200, 3000, 1200, QStringLiteral("Inner"));
    auto* lbl = new Label(inner, QStringLiteral("lblDeep"), 100, 200, 900, 285, QStringLiteral("Deep"));
    Q_UNUSED(lbl);

    const int beeps = beepCount();
    print(w);
    const QList<PrintOp> ops = drawn();
    ASSERT_EQ(ops.size(), 7);
    EXPECT_EQ(ops[0].text, " X  ");
    EXPECT_EQ(QPointF(ops[0].x1, ops[0].y1), QPointF(120, 1200));
    EXPECT_EQ(box(ops[2]), QRectF(120, 1200, 285, 285));
    EXPECT_EQ(ops[3].text, " X  ");
    EXPECT_EQ(QPointF(ops[3].x1, ops[3].y1), QPointF(1120, 1700));
    EXPECT_EQ(box(ops[5]), QRectF(1120, 1700, 285, 285));
    EXPECT_EQ(ops[6].text, "Deep");
    EXPECT_EQ(QPointF(ops[6].x1, ops[6].y1), QPointF(300, 2300));
    // The frames themselves are not drawn: each beeps once.
    EXPECT_EQ(beepCount() - beeps, 2);
    EXPECT_TRUE(Printer.printedDocuments().isEmpty());   // the caller ends the document
}

TEST_F(FormPrintTest, ButtonsTimersMenusUpDownsAndHiddenControlsAreLeftOut) {
    new CommandButton(&w, QStringLiteral("cmdOK"), 240, 240, 1095, 375, QStringLiteral("&OK"));
    new TimerControl(&w, QStringLiteral("tmrClock"), 1000);
    new Menu(&w, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    new UpDown(&w, QStringLiteral("updStep"), 240, 900, 255, 285);
    auto* hidden = new Label(&w, QStringLiteral("lblHidden"), 240, 1400, 900, 285, QStringLiteral("Hidden"));
    hidden->setVisible(false);
    new Label(&w, QStringLiteral("lblAtZero"), 0, 1700, 900, 285, QStringLiteral("At zero"));
    new TextBox(&w, QStringLiteral("txtMovedAway"), -5000, 2000, 900, 285);
    new Label(&w, QStringLiteral("lblShown"), 15, 2300, 900, 285, QStringLiteral("Shown"));
    const int beeps = beepCount();
    EXPECT_EQ(print(w), 3200);
    ASSERT_EQ(drawn().size(), 1);
    EXPECT_EQ(drawn()[0].text, "Shown");
    EXPECT_EQ(beepCount(), beeps);
}

TEST_F(FormPrintTest, LabelsLoseEveryAmpersandAndOnlyBorderedOnesGetAFrame) {
    new Label(&w, QStringLiteral("lblName"), 240, 240, 1000, 285, QStringLiteral("&Name"));
    auto* units = new Label(&w, QStringLiteral("lblUnits"), 3000, 240, 1200, 300, QStringLiteral("Hz && d&B"));
    units->setBorderStyle(1);
    print(w);
    const QList<PrintOp> ops = drawn();
    ASSERT_EQ(ops.size(), 3);
    EXPECT_EQ(ops[0].text, "Name");
    EXPECT_TRUE(ops[0].fontBold);
    EXPECT_EQ(ops[0].fontName, "Arial");
    EXPECT_EQ(ops[1].text, "Hz  dB");
    EXPECT_EQ(ops[2].kind, PrintOpKind::Box);
    EXPECT_EQ(box(ops[2]), QRectF(3000, 1140, 1200, 300));
    EXPECT_EQ(ops[2].color, 0);
}

TEST_F(FormPrintTest, CheckBoxesAndOptionButtonsWithTheBoxOnEitherSide) {
    auto* offLeft = new CheckBox(&w, QStringLiteral("chkOff"), 240, 0, 1800, 300, QStringLiteral("&Prompts"));
    auto* optLeft = new OptionButton(&w, QStringLiteral("optLeft"), 240, 600, 1800, 300, QStringLiteral("&Left"));
    auto* chkRight = new CheckBox(&w, QStringLiteral("chkRight"), 3000, 0, 1800, 300, QStringLiteral("Logged"));
    auto* optRight = new OptionButton(&w, QStringLiteral("optRight"), 3000, 600, 1800, 300, QStringLiteral("Right"));
    auto* optRightOff = new OptionButton(&w, QStringLiteral("optRightOff"), 3000, 1200, 1800, 300, QStringLiteral("Off"));
    offLeft->setValue(vbUnchecked);
    chkRight->setValue(vbChecked);
    chkRight->setAlignment(1);
    optRight->setAlignment(1);
    optRightOff->setAlignment(1);
    optLeft->setValue(false);
    optRight->setValue(true);   // the window's one group: optLeft and optRightOff are clear
    ASSERT_FALSE(optLeft->Value());

    print(w, 0);
    const QList<PrintOp> ops = drawn();
    ASSERT_EQ(ops.size(), 14);
    const double r = 150;
    // Box on the left, clear: five blanks, the caption in bold, then the square.
    EXPECT_EQ(ops[0].text, "     ");
    EXPECT_EQ(ops[1].text, "Prompts");
    EXPECT_TRUE(ops[1].fontBold);
    Printer.setFontBold(true);   // the mark is printed in bold too
    EXPECT_DOUBLE_EQ(ops[1].x1, 240 + Printer.TextWidth(QStringLiteral("     ")));
    Printer.setFontBold(false);
    EXPECT_EQ(box(ops[2]), QRectF(240, 0, 300, 300));
    // An option button on the left, not selected: blanks, caption, its circle.
    EXPECT_EQ(ops[3].text, "     ");
    EXPECT_EQ(ops[4].text, "Left");
    EXPECT_EQ(ops[5].kind, PrintOpKind::Circle);
    EXPECT_EQ(QPointF(ops[5].x1, ops[5].y1), QPointF(240 + r, 600 + r));
    EXPECT_EQ(ops[5].radius, r);
    // Box on the right: caption at the place, the square at the right edge, the mark r up and left of its corner.
    EXPECT_EQ(ops[6].text, "Logged");
    EXPECT_EQ(QPointF(ops[6].x1, ops[6].y1), QPointF(3000, 0));
    EXPECT_EQ(box(ops[7]), QRectF(4500, 0, 300, 300));
    EXPECT_EQ(ops[8].text, "X");
    EXPECT_EQ(QPointF(ops[8].x1, ops[8].y1), QPointF(4800 - r, 300 - r));
    EXPECT_FALSE(ops[8].fontBold);
    // A selected option button on the right: the circle at the right edge, "O" r up and left of its centre.
    EXPECT_EQ(ops[9].text, "Right");
    EXPECT_EQ(QPointF(ops[10].x1, ops[10].y1), QPointF(4800 - r, 600 + r));
    EXPECT_EQ(ops[11].text, "O");
    EXPECT_EQ(QPointF(ops[11].x1, ops[11].y1), QPointF(4800 - 2 * r, 600));
    // Not selected: no mark.
    EXPECT_EQ(ops[12].text, "Off");
    EXPECT_EQ(ops[13].kind, PrintOpKind::Circle);
    EXPECT_EQ(QPointF(ops[13].x1, ops[13].y1), QPointF(4800 - r, 1200 + r));
}

TEST_F(FormPrintTest, TextBoxesPrintPlainPasswordsMaskedAndLinesBelowEachOther) {
    auto* name = new TextBox(&w, QStringLiteral("txtName"), 240, 240, 2400, 315);
    name->setText(QStringLiteral("Woofer 8"));
    auto* pass = new TextBox(&w, QStringLiteral("txtPassword"), 240, 720, 2400, 315);
    pass->setPasswordChar(QStringLiteral("*"));
    pass->setText(QStringLiteral("abc"));
    pass->setPasswordChar(QString());   // shown in clear while it is being edited: still a password
    auto* bare = new TextBox(&w, QStringLiteral("txtBare"), 240, 1200, 2400, 315);
    bare->setBorderStyle(0);
    bare->setText(QStringLiteral("no frame"));
    auto* level = new TextBox(&w, QStringLiteral("txtLevel"), 3000, 240, 1200, 315);
    level->setAlignment(1);
    level->setText(QStringLiteral("42.5"));
    auto* notes = new TextBox(&w, QStringLiteral("txtNotes"), 240, 1680, 4000, 900, true);
    notes->setText(QStringLiteral("one\r\ntwo\r\nthree"));

    const int16_t lowest = print(w);
    const double h = Printer.TextHeight();
    const QList<PrintOp> ops = drawn();
    ASSERT_EQ(ops.size(), 10);
    EXPECT_EQ(ops[0].text, "Woofer 8");
    EXPECT_FALSE(ops[0].fontBold);
    EXPECT_EQ(box(ops[1]), QRectF(240, 1140, 2400, 315));
    EXPECT_EQ(ops[2].text, "***");
    EXPECT_EQ(ops[3].kind, PrintOpKind::Box);
    EXPECT_EQ(ops[4].text, "no frame");
    // Right-aligned: ends at the box's right edge.
    EXPECT_EQ(ops[5].text, "42.5");
    EXPECT_DOUBLE_EQ(ops[5].x1 + Printer.TextWidth(QStringLiteral("42.5")), 4200);
    EXPECT_EQ(ops[6].kind, PrintOpKind::Box);
    // Several lines: one below the other at the box's left, and no frame.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ops[7 + i].text, QStringList({"one", "two", "three"})[i]);
        EXPECT_EQ(ops[7 + i].x1, 240);
        EXPECT_DOUBLE_EQ(ops[7 + i].y1, 2580 + i * h);
    }
    EXPECT_EQ(lowest, qRound(2580 + 3 * h));
}

TEST_F(FormPrintTest, ListsAndCombosPrintTheirTextsAndScrollBarsTheirThumb) {
    auto* list = new ListBox(&w, QStringLiteral("lstLayers"), 240, 240, 2400, 1200);
    for (const char* e : {"Layer 1", "Layer 2", "Layer 3"}) list->AddItem(QString::fromLatin1(e));
    auto* combo = new ComboBox(&w, QStringLiteral("cboMode"), 3000, 240, 1800, 315);
    combo->setText(QStringLiteral("Sweep"));
    const int16_t lowest = print(w);
    // The line height is a whole number of twips.
    const int16_t h = CInt(Printer.TextHeight());
    const QList<PrintOp> ops = drawn();
    ASSERT_EQ(ops.size(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ops[i].x1, 240);
        EXPECT_EQ(ops[i].y1, 1140 + i * h);
        EXPECT_TRUE(ops[i].fontBold);
    }
    EXPECT_EQ(ops[3].text, "Sweep");
    EXPECT_FALSE(ops[3].fontBold);
    EXPECT_EQ(lowest, 1140 + 2 * h);   // the last entry's top
}

TEST_F(FormPrintTest, ScrollBarThumbFollowsTheValueWithinMinAndMax) {
    struct Case { int32_t min, max, value, thumb; };
    const Case cases[] = {{0, 100, 25, 250}, {10, 110, 60, 500}, {100, 0, 25, 750}, {5, 5, 5, 0}};
    for (const Case& c : cases) {
        frmSheet sheet;
        auto* bar = new VScrollBar(&sheet, QStringLiteral("vsbLevel"), 6000, 300, 255, 1000);
        bar->setMin(c.min);
        bar->setMax(c.max);
        bar->setValue(c.value);
        Printer.setRecording(true);
        EXPECT_EQ(print(sheet), 2200);
        const QList<PrintOp> ops = drawn();
        ASSERT_EQ(ops.size(), 2);
        EXPECT_EQ(box(ops[0]), QRectF(6000, 1200, 255, 1000));
        EXPECT_EQ(ops[1].kind, PrintOpKind::BoxFilled);
        EXPECT_EQ(box(ops[1]), QRectF(6000, 1200 + c.thumb - 50, 255, 100)) << c.min << ".." << c.max;
    }
    // In a frame, printed in its frame like any other control.
    frmSheet sheet;
    auto* fra = new Frame(&sheet, QStringLiteral("fraLevel"), 1000, 500, 3000, 2000, QStringLiteral("Level"));
    new VScrollBar(fra, QStringLiteral("vsbLevel"), 240, 300, 255, 1000);
    Printer.setRecording(true);
    print(sheet);
    ASSERT_EQ(drawn().size(), 2);
    EXPECT_EQ(box(drawn()[0]), QRectF(1240, 1700, 255, 1000));
}

TEST_F(FormPrintTest, BylineFollowsTheLowestPointAndEndsTheDocumentOnce) {
    new Label(&w, QStringLiteral("lblTop"), 240, 240, 1000, 285, QStringLiteral("Top"));
    auto* notes = new TextBox(&w, QStringLiteral("txtNotes"), 240, 3000, 4000, 900, true);
    notes->setText(QStringLiteral("a\r\nb"));
    new Label(&w, QStringLiteral("lblSide"), 5000, 600, 1000, 285, QStringLiteral("Side"));
    Printer.setFontName(QStringLiteral("Courier New"));
    Printer.setFontBold(true);
    setNow(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));

    bool err = false;
    gFormPrintFormBylineEndDoc(w, err);
    EXPECT_FALSE(err);
    // The printer's font is the caller's again.
    EXPECT_EQ(Printer.FontName(), "Courier New");
    EXPECT_TRUE(Printer.FontBold());
    Printer.setFontName(QStringLiteral("Arial"));
    const double h = Printer.TextHeight();
    EXPECT_EQ(count(PrintOpKind::EndDoc), 1);
    EXPECT_EQ(count(PrintOpKind::KillDoc), 0);
    ASSERT_EQ(Printer.printedDocuments().size(), 1);
    const PrintedDocument& doc = Printer.printedDocuments().first();
    ASSERT_EQ(doc.size(), 1);
    const PrintedPage& page = doc.first();
    ASSERT_GE(page.size(), 6);
    // The lowest point is below the text box's second line; three empty lines, then the byline.
    const double start = qRound(3900 + 2 * h);
    const QList<PrintOp> byline = page.mid(page.size() - 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(byline[i].y1, start + i * h) << i;
        EXPECT_EQ(byline[i].fontName, "Arial");
    }
    EXPECT_EQ(byline[0].text, "");
    EXPECT_EQ(byline[2].text, "");
    EXPECT_EQ(byline[3].text, "Vexo v1.000");
    EXPECT_EQ(byline[3].x1, 0);
    EXPECT_EQ(byline[4].text, "14:05:09 07/12/2026");
    EXPECT_EQ(byline[5].text, "www.pelmo.example");
}

TEST_F(FormPrintTest, AbortLeavesNoPartialPageAndIgnoreLeavesTheControlOut) {
    new Label(&w, QStringLiteral("lblFirst"), 240, 240, 1000, 285, QStringLiteral("First"));
    // Below what a page position can hold: its place overflows.
    new Label(&w, QStringLiteral("lblLost"), 240, 32000, 1000, 285, QStringLiteral("Lost"));
    new Label(&w, QStringLiteral("lblLast"), 240, 600, 1000, 285, QStringLiteral("Last"));

    answer({vbIgnore});
    bool err = false;
    gFormPrintFormBylineEndDoc(w, err);
    EXPECT_FALSE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Source: modFormPrint.gnFormPrint.20\r\n\r\nOverflow");
    ASSERT_EQ(Printer.printedDocuments().size(), 1);
    QStringList texts;
    for (const PrintOp& op : Printer.printedDocuments().first().first()) texts << op.text;
    EXPECT_EQ(texts.mid(0, 2), QStringList({"First", "Last"}));
    EXPECT_FALSE(texts.contains(QStringLiteral("Lost")));

    // Abort: the job is thrown away, with no byline and no end of document.
    Printer.setRecording(true);
    answer({vbAbort});
    gFormPrintFormBylineEndDoc(w, err);
    EXPECT_TRUE(err);
    EXPECT_TRUE(Printer.printedDocuments().isEmpty());
    EXPECT_EQ(count(PrintOpKind::EndDoc), 0);
    EXPECT_EQ(count(PrintOpKind::KillDoc), 1);
    for (const PrintOp& op : Printer.recorded()) EXPECT_NE(op.text, "Vexo v1.000");

    // The next document starts clean.
    frmSheet other;
    new Label(&other, QStringLiteral("lblOther"), 240, 240, 1000, 285, QStringLiteral("Other"));
    err = false;
    gFormPrintFormBylineEndDoc(other, err);
    ASSERT_EQ(Printer.printedDocuments().size(), 1);
    EXPECT_EQ(Printer.printedDocuments().first().first().first().text, "Other");
}

TEST_F(FormPrintTest, AFailedEndOfDocumentSendsNothingNowOrLater) {
    new Label(&w, QStringLiteral("lblFirst"), 240, 240, 1000, 285, QStringLiteral("Unsent"));
    Printer.setRecording(false);
    qputenv("VEXO_PRINT_TO", homeFile(QStringLiteral("missing/page.pdf")).toLocal8Bit());
    for (int answerGiven : {vbAbort, vbIgnore}) {
        answer({answerGiven});
        bool err = false;
        gFormPrintFormBylineEndDoc(w, err);
        EXPECT_EQ(err, answerGiven == vbAbort);
        ASSERT_FALSE(boxes().isEmpty());
        EXPECT_TRUE(boxes().last().prompt.startsWith(
            QStringLiteral("Source: modFormPrint.gFormPrintBylineEndDoc.20\r\n\r\nPrinter error: ")));
        EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("missing/page.pdf"))));
    }
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("missing")));
    frmSheet other;
    new Label(&other, QStringLiteral("lblOther"), 240, 240, 1000, 285, QStringLiteral("Delivered"));
    bool err = false;
    gFormPrintFormBylineEndDoc(other, err);
    EXPECT_FALSE(err);
    const QString text = pdfText(homeFile(QStringLiteral("missing/page.pdf")));
    EXPECT_TRUE(text.contains(QStringLiteral("Delivered"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Unsent")));
}

// ---- a whole window on paper ------------------------------------------------------

// A window such as the test editor's, with a control of every printed kind.
class frmTestSettings : public Form {
public:
    frmTestSettings() : Form(QStringLiteral("frmTestSettings")) {
        setClientSize(9000, 6000);
        new Label(this, QStringLiteral("lblTestName"), 240, 300, 1500, 285, QStringLiteral("Test &name"));
        auto* name = new TextBox(this, QStringLiteral("txtTestName"), 1800, 240, 3600, 345);
        name->setText(QStringLiteral("Woofer 8R response"));
        new Label(this, QStringLiteral("lblStart"), 240, 780, 1500, 285, QStringLiteral("Start freq."));
        auto* start = new TextBox(this, QStringLiteral("txtStart"), 1800, 720, 1200, 345);
        start->setAlignment(1);
        start->setText(QStringLiteral("20"));
        new Label(this, QStringLiteral("lblStartHz"), 3120, 780, 600, 285, QStringLiteral("Hz"));
        new Label(this, QStringLiteral("lblStop"), 240, 1260, 1500, 285, QStringLiteral("Stop freq."));
        auto* stop = new TextBox(this, QStringLiteral("txtStop"), 1800, 1200, 1200, 345);
        stop->setAlignment(1);
        stop->setText(QStringLiteral("20000"));
        new Label(this, QStringLiteral("lblStopHz"), 3120, 1260, 600, 285, QStringLiteral("Hz"));
        new Label(this, QStringLiteral("lblPassword"), 240, 1740, 1500, 285, QStringLiteral("Password"));
        auto* pass = new TextBox(this, QStringLiteral("txtPassword"), 1800, 1680, 1800, 345);
        pass->setPasswordChar(QStringLiteral("*"));
        pass->setText(QStringLiteral("secret"));
        auto* limits = new Label(this, QStringLiteral("lblLimits"), 5880, 300, 2760, 345, QStringLiteral("Limits +3 / -3 dB"));
        limits->setBorderStyle(1);
        auto* mode = new ComboBox(this, QStringLiteral("cboMode"), 5880, 840, 2760, 345);
        mode->setText(QStringLiteral("Log sweep"));
        auto* layers = new ListBox(this, QStringLiteral("lstLayers"), 5880, 1380, 2400, 1200);
        for (const char* e : {"Layer 1  +/- 3 dB", "Layer 2  +/- 6 dB", "Layer 3  100-300 Hz"})
            layers->AddItem(QString::fromLatin1(e));
        auto* level = new VScrollBar(this, QStringLiteral("vsbLevel"), 8400, 1380, 255, 1200);
        level->setMax(100);
        level->setValue(30);
        auto* fra = new Frame(this, QStringLiteral("fraOptions"), 240, 2400, 5160, 1500, QStringLiteral("Options"));
        auto* log = new CheckBox(fra, QStringLiteral("chkLog"), 120, 300, 2200, 300, QStringLiteral("&Log curves"));
        log->setValue(vbChecked);
        new CheckBox(fra, QStringLiteral("chkPrompt"), 120, 780, 2200, 300, QStringLiteral("Audio prompts"));
        auto* left = new OptionButton(fra, QStringLiteral("optLeft"), 2640, 300, 2200, 300, QStringLiteral("Left channel"));
        left->setValue(true);
        auto* right = new OptionButton(fra, QStringLiteral("optRight"), 2640, 780, 2200, 300, QStringLiteral("Right channel"));
        right->setAlignment(1);
        auto* notes = new TextBox(this, QStringLiteral("txtNotes"), 240, 4080, 5160, 900, true);
        notes->setText(QStringLiteral("Measured at 1 m on axis\r\nin the test box"));
        new CommandButton(this, QStringLiteral("cmdOK"), 5880, 4560, 1215, 375, QStringLiteral("&OK"));
    }
};

TEST_F(FormPrintTest, AWindowPrintsAsAPdfPage) {
    Printer.setRecording(false);
    const QString pdf = homeFile(QStringLiteral("window.pdf"));
    qputenv("VEXO_PRINT_TO", pdf.toLocal8Bit());
    frmTestSettings settings;
    bool err = false;
    gFormPrintFormBylineEndDoc(settings, err);
    EXPECT_FALSE(err);
    const QString text = pdfText(pdf);
    for (const char* shown : {"Test name", "Woofer 8R response", "******", "Log curves", "100-300 Hz",
                              "in the test box", "Vexo v1.000", "10:00:00 07/12/2026", "www.pelmo.example"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(shown))) << shown << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("secret")));
    EXPECT_FALSE(text.contains(QStringLiteral("OK")));

    // The page as a picture for the documentation (VEXO_DOCS_DIR keeps it).
    EXPECT_TRUE(pdfprobe::firstPagePicture(pdf, homeFile(QStringLiteral("printed-window")),
                                           QStringLiteral("printed-window.png")));
}

// ---- the real print path: a CUPS scheduler with the cups-pdf queue -----------------
// tests/support/cups-start.sh starts one (.ci/run does) and CUPS_SERVER points at it.

TEST_F(FormPrintTest, AWindowPrintsOnTheDefaultCupsPrinter) {
    Printer.setRecording(false);
    const QString why = pdfprobe::cupsUnavailable();
    if (!why.isEmpty()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true")) FAIL() << why.toStdString();
        GTEST_SKIP() << why.toStdString();
    }
    frmTestSettings settings;
    bool err = false;
    gFormPrintFormBylineEndDoc(settings, err);
    ASSERT_FALSE(err);
    ASSERT_GT(Printer.lastJobId(), 0);
    // (cups-pdf draws the text again as pictures of glyphs, so the page's words cannot be read back.)
    const QString found = pdfprobe::awaitCupsPdf(Printer.lastJobId());
    ASSERT_FALSE(found.isEmpty()) << "no PDF of job " << Printer.lastJobId() << " in "
                                  << pdfprobe::cupsPdfFolder().toStdString();
    EXPECT_EQ(pdfPages(found), 1);
    QFile::remove(found);
}
}
