#include "platform/ui/Printer.h"
#include "platform/ui/Color.h"
#include "platform/vb/VbError.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/StationTest.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>
#include <pwd.h>
#include <unistd.h>

namespace {
using pdfprobe::awaitCupsPdf;
using pdfprobe::cupsPdfFolder;
using pdfprobe::pages;
using pdfprobe::wordPosition;
int pdfPages(const QString& iPdf) { return pages(iPdf); }
QString pdfText(const QString& iPdf) { return pdfprobe::text(iPdf); }

const PrintOp* lastOf(PrintOpKind iKind) {
    const QList<PrintOp>& ops = Printer.recorded();
    for (qsizetype i = ops.size() - 1; i >= 0; --i)
        if (ops.at(i).kind == iKind) return &ops.at(i);
    return nullptr;
}
}

class PrinterTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        qunsetenv("VEXO_PRINT_TO");
        Printer.setRecording(true);
    }
    void TearDown() override {
        endOfScript();
        Printer.KillDoc();
        Printer.setRecording(false);
        qunsetenv("VEXO_PRINT_TO");
        StationTest::TearDown();
    }
    void printToPdf(const QString& iName) {
        Printer.setRecording(false);
        qputenv("VEXO_PRINT_TO", homeFile(iName).toLocal8Bit());
    }
};

// ---- the model's placement, against the recording ------------------------------

TEST_F(PrinterTest, PrintPlacesTextTopAtCurrentYAndMovesDownOneLine) {
    Printer.setCurrentX(600);
    Printer.setCurrentY(900);
    const double h = Printer.TextHeight();
    Printer.Print(QStringLiteral("Serial 0012"));
    const PrintOp* t = lastOf(PrintOpKind::Text);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->text, QStringLiteral("Serial 0012"));
    EXPECT_EQ(t->x1, 600);
    EXPECT_EQ(t->y1, 900);
    EXPECT_EQ(Printer.CurrentX(), 0);
    EXPECT_DOUBLE_EQ(Printer.CurrentY(), 900 + h);

    // Three empty lines move down three lines.
    Printer.Print();
    Printer.Print();
    Printer.Print();
    EXPECT_DOUBLE_EQ(Printer.CurrentY(), 900 + 4 * h);
}

TEST_F(PrinterTest, PiecesWithoutLineEndJoinOnOneLine) {
    Printer.setCurrentX(100);
    Printer.setCurrentY(200);
    const double w = Printer.TextWidth(QStringLiteral("Serial: "));
    Printer.PrintNoLineEnd(QStringLiteral("Serial: "));
    Printer.PrintNoLineEnd(QStringLiteral("7"));
    const QList<PrintOp>& ops = Printer.recorded();
    ASSERT_EQ(ops.size(), 2);
    EXPECT_EQ(ops[1].x1, 100 + w);
    EXPECT_EQ(ops[1].y1, 200);
    EXPECT_DOUBLE_EQ(Printer.CurrentX(), 100 + w + Printer.TextWidth(QStringLiteral("7")));
    EXPECT_EQ(Printer.CurrentY(), 200);

    // A line break inside the text ends the line; the rest starts at the left edge.
    const double h = Printer.TextHeight();
    Printer.PrintNoLineEnd(QStringLiteral("A\r\nB"));
    ASSERT_EQ(ops.size(), 4);
    EXPECT_EQ(ops[3].text, QStringLiteral("B"));
    EXPECT_EQ(ops[3].x1, 0);
    EXPECT_DOUBLE_EQ(ops[3].y1, 200 + h);
    EXPECT_DOUBLE_EQ(Printer.CurrentX(), Printer.TextWidth(QStringLiteral("B")));
}

TEST_F(PrinterTest, LinesBoxesAndCirclesLeaveTheCurrentPointWhereTheModelSays) {
    Printer.Line(120, 1200, 405, 1485, LineStyle::Box);
    EXPECT_EQ(Printer.CurrentX(), 405);
    EXPECT_EQ(Printer.CurrentY(), 1485);
    Printer.Line(1000, 500, 1240, 600, vbcolor::vbRed, LineStyle::BoxFilled);
    Printer.Line(0, 0, 300, 40);
    Printer.Circle(262, 1342, 142);
    EXPECT_EQ(Printer.CurrentX(), 262);
    EXPECT_EQ(Printer.CurrentY(), 1342);

    const QList<PrintOp>& ops = Printer.recorded();
    ASSERT_EQ(ops.size(), 4);
    EXPECT_EQ(ops[0].kind, PrintOpKind::Box);
    EXPECT_EQ(QRectF(QPointF(ops[0].x1, ops[0].y1), QPointF(ops[0].x2, ops[0].y2)), QRectF(120, 1200, 285, 285));
    EXPECT_EQ(ops[0].color, vbcolor::vbBlack);
    EXPECT_EQ(ops[1].kind, PrintOpKind::BoxFilled);
    EXPECT_EQ(ops[1].color, vbcolor::vbRed);
    EXPECT_EQ(ops[2].kind, PrintOpKind::Line);
    EXPECT_EQ(ops[3].kind, PrintOpKind::Circle);
    EXPECT_EQ(ops[3].radius, 142);
}

TEST_F(PrinterTest, NewPageAndEndDocReturnToTheTopLeftAndFileThePages) {
    Printer.Print(QStringLiteral("page one"));
    Printer.NewPage();
    EXPECT_EQ(Printer.CurrentY(), 0);
    EXPECT_EQ(Printer.Page(), 2);
    Printer.setCurrentX(500);
    Printer.Print(QStringLiteral("page two"));
    EXPECT_EQ(lastOf(PrintOpKind::Text)->page, 2);
    EXPECT_TRUE(Printer.printedDocuments().isEmpty());   // nothing leaves before EndDoc

    Printer.EndDoc();
    EXPECT_EQ(Printer.CurrentX(), 0);
    EXPECT_EQ(Printer.CurrentY(), 0);
    EXPECT_EQ(Printer.Page(), 1);
    ASSERT_EQ(Printer.printedDocuments().size(), 1);
    const PrintedDocument& doc = Printer.printedDocuments().first();
    ASSERT_EQ(doc.size(), 2);
    EXPECT_EQ(doc[0].first().text, QStringLiteral("page one"));
    EXPECT_EQ(doc[1].first().text, QStringLiteral("page two"));
    EXPECT_EQ(doc[1].first().x1, 500);

    // The next document is numbered on; an EndDoc with nothing printed sends nothing.
    Printer.Print(QStringLiteral("again"));
    EXPECT_EQ(lastOf(PrintOpKind::Text)->document, 2);
    Printer.EndDoc();
    Printer.EndDoc();
    EXPECT_EQ(Printer.printedDocuments().size(), 2);
}

TEST_F(PrinterTest, RunningTextBelowThePrintableAreaGoesOnANewPagePlacedTextStays) {
    const double h = Printer.TextHeight();
    Printer.setCurrentY(Printer.ScaleHeight() - 1.5 * h);
    Printer.Print(QStringLiteral("last line"));
    Printer.Print(QStringLiteral("overflow"));
    const PrintOp* t = lastOf(PrintOpKind::Text);
    EXPECT_EQ(t->page, 2);
    EXPECT_EQ(t->y1, 0);
    EXPECT_DOUBLE_EQ(Printer.CurrentY(), h);

    // A window's control placed low on the sheet stays beside its frame.
    const double y = Printer.ScaleHeight() - h / 2;
    Printer.Line(0, y, 2000, y + h, LineStyle::Box);
    Printer.setCurrentX(100);
    Printer.setCurrentY(y);
    Printer.PrintNoLineEnd(QStringLiteral("placed"));
    t = lastOf(PrintOpKind::Text);
    EXPECT_EQ(t->page, 2);
    EXPECT_DOUBLE_EQ(t->y1, y);
}

TEST_F(PrinterTest, FontIsKeptAcrossDocumentsAndRecordedWithEveryText) {
    Printer.setFontName(QStringLiteral("Arial"));
    Printer.setFontSize(12);
    Printer.setFontBold(true);
    Printer.Print(QStringLiteral("first"));
    Printer.EndDoc();
    Printer.Print(QStringLiteral("second"));
    Printer.KillDoc();
    Printer.Print(QStringLiteral("third"));
    const PrintOp* t = lastOf(PrintOpKind::Text);
    EXPECT_EQ(t->fontName, QStringLiteral("Arial"));
    EXPECT_TRUE(t->fontBold);
    EXPECT_EQ(t->fontSize, 12);
    EXPECT_TRUE(Printer.FontBold());
    EXPECT_EQ(Printer.FontSize(), 12);

    EXPECT_THROW(Printer.setFontSize(0), VbError);
    EXPECT_EQ(Printer.FontSize(), 12);
}

// Liberation Sans stands in for Arial with Arial's advance widths: the digits are
// 1139/2048 em, "W" 1933/2048 em, in regular and bold alike.
TEST_F(PrinterTest, ArialTextMeasuresWithArialWidths) {
    Printer.setFontName(QStringLiteral("Arial"));
    Printer.setFontSize(10);   // 200 twips to the em
    EXPECT_NEAR(Printer.TextWidth(QStringLiteral("0123456789")), 10 * 1139 * 200.0 / 2048, 1.0);
    EXPECT_NEAR(Printer.TextWidth(QStringLiteral("W")), 1933 * 200.0 / 2048, 0.2);
    Printer.setFontBold(true);
    EXPECT_NEAR(Printer.TextWidth(QStringLiteral("0123456789")), 10 * 1139 * 200.0 / 2048, 1.0);
    Printer.setFontBold(false);

    const double h = Printer.TextHeight(QStringLiteral("X"));
    EXPECT_NEAR(h, 1.117 * 200, 3.0);
    // Several lines: the widest line, all lines' heights.
    EXPECT_EQ(Printer.TextWidth(QStringLiteral("WW\r\nW")), Printer.TextWidth(QStringLiteral("WW")));
    EXPECT_DOUBLE_EQ(Printer.TextHeight(QStringLiteral("a\r\nb\r\nc")), 3 * h);
    // Twice the size, twice the width.
    const double w10 = Printer.TextWidth(QStringLiteral("Pair Match Report"));
    Printer.setFontSize(20);
    EXPECT_NEAR(Printer.TextWidth(QStringLiteral("Pair Match Report")), 2 * w10, 1.0);
}

// ---- documents, abort and raw jobs through VEXO_PRINT_TO --------------------------

TEST_F(PrinterTest, AbortedDocumentLeavesNoFileAndNothingForTheNextDocument) {
    Printer.Print(QStringLiteral("half a window"));
    Printer.KillDoc();
    EXPECT_TRUE(Printer.printedDocuments().isEmpty());
    EXPECT_EQ(lastOf(PrintOpKind::KillDoc)->document, 1);

    printToPdf(QStringLiteral("out.pdf"));
    Printer.Print(QStringLiteral("half"));
    Printer.NewPage();
    Printer.Print(QStringLiteral("a job"));
    Printer.KillDoc();
    Printer.EndDoc();
    EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("out.pdf"))));

    Printer.Print(QStringLiteral("Whole"));
    Printer.EndDoc();
    const QString pdf = homeFile(QStringLiteral("out.pdf"));
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_EQ(pdfText(pdf).trimmed(), QStringLiteral("Whole"));
}

TEST_F(PrinterTest, DocumentBecomesAPdfWithItsPagesAndPlacement) {
    printToPdf(QStringLiteral("report.pdf"));
    const QString pdf = homeFile(QStringLiteral("report.pdf"));
    EXPECT_EQ(Printer.DeviceName(), pdf);

    // A small report page: heading, lines, frames, a check box and an option button.
    Printer.setFontName(QStringLiteral("Arial"));
    Printer.setFontSize(10);
    Printer.setCurrentX(1440);
    Printer.setCurrentY(1440);
    Printer.setFontBold(true);
    Printer.PrintNoLineEnd(QStringLiteral("Heading"));
    Printer.setFontBold(false);
    Printer.setCurrentY(1440 + 2 * Printer.TextHeight());
    for (int i = 1; i <= 3; ++i) {
        Printer.setCurrentX(1440);
        Printer.Print(QStringLiteral("Serial 00%1 matched by serial 00%2").arg(2 * i).arg(2 * i + 1));
    }
    Printer.Line(1300, 1300, 7000, Printer.CurrentY() + 140, LineStyle::Box);
    Printer.Line(1440, 3000, 1725, 3285, LineStyle::Box);
    Printer.setCurrentX(1800);
    Printer.setCurrentY(3000);
    Printer.PrintNoLineEnd(QStringLiteral("X  Check box"));
    Printer.Circle(1582, 3582, 142);
    Printer.Circle(1582, 3582, 60);
    Printer.Line(1522, 3522, 1642, 3642, LineStyle::BoxFilled);
    Printer.setCurrentX(1800);
    Printer.setCurrentY(3460);
    Printer.PrintNoLineEnd(QStringLiteral("O  Option button"));
    Printer.Line(7200, 1440, 7455, 3600, LineStyle::Box);
    Printer.Line(7200, 2200, 7455, 2300, LineStyle::BoxFilled);
    Printer.NewPage();
    Printer.setCurrentX(1440);
    Printer.setCurrentY(1440);
    Printer.Print(QStringLiteral("Second page"));
    Printer.EndDoc();

    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(pdfPages(pdf), 2);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Serial 004 matched by serial 005"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Second page")));
    // 1440 twips from the printable area's corner: one inch inside the quarter-inch margin.
    const QPointF at = wordPosition(pdf, QStringLiteral("Heading"));
    EXPECT_NEAR(at.x(), 18 + 72, 1.5);
    EXPECT_NEAR(at.y(), 18 + 72, 2.5);

    // The page as a picture, small enough for the README (VEXO_DOCS_DIR keeps it).
    EXPECT_TRUE(pdfprobe::firstPagePicture(pdf, homeFile(QStringLiteral("printed-page")),
                                           QStringLiteral("printed-page.png")));
}

TEST_F(PrinterTest, RawJobKeepsEveryByte) {
    QByteArray label("\x1b@N\r\nA50,20,0,3,1,1,N,\"SERIAL 7\"\r\nP1\r\n", 37);
    label.append('\0').append('\xff');
    gPrinterRawJob(label, QStringLiteral("Label"));
    ASSERT_EQ(Printer.rawJobs().size(), 1);
    EXPECT_EQ(Printer.rawJobs().first().bytes, label);
    EXPECT_EQ(Printer.rawJobs().first().title, QStringLiteral("Label"));

    printToPdf(QStringLiteral("labels.pdf"));
    gPrinterRawJob(label, QStringLiteral("Label"));
    QFile raw(homeFile(QStringLiteral("labels.raw")));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), label);
}

TEST_F(PrinterTest, FailureToPrintIsPrinterErrorAndKeepsTheDocumentForRetry) {
    qputenv("VEXO_PRINT_TO", homeFile(QStringLiteral("missing/out.pdf")).toLocal8Bit());
    Printer.setRecording(false);
    Printer.Print(QStringLiteral("Retry me"));
    try {
        Printer.EndDoc();
        FAIL() << "EndDoc wrote into a missing folder";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, kPrinterError);
        EXPECT_TRUE(e.description.startsWith(QStringLiteral("Printer error: "))) << e.what();
    }
    // The operator mends the cause and retries: the same document prints.
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("missing")));
    Printer.EndDoc();
    EXPECT_EQ(pdfText(homeFile(QStringLiteral("missing/out.pdf"))).trimmed(), QStringLiteral("Retry me"));
}

TEST_F(PrinterTest, NoPrintServerMeansNoDeviceAndPrinterError) {
    // Before anything asks CUPS: libcups reads the server once per process.
    qputenv("CUPS_SERVER", homeFile(QStringLiteral("no-cups.sock")).toLocal8Bit());
    Printer.setRecording(false);
    EXPECT_EQ(Printer.DeviceName(), QString());
    EXPECT_GT(Printer.ScaleWidth(), 0);
    Printer.Print(QStringLiteral("nowhere"));
    try {
        Printer.EndDoc();
        FAIL() << "EndDoc printed without a printer";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, kPrinterError);
        EXPECT_TRUE(e.description.startsWith(QStringLiteral("Printer error: cannot reach the print server ")))
            << e.what();
    }
    try {
        gPrinterRawJob("^XA^XZ", QStringLiteral("Label"));
        FAIL() << "a raw job printed without a printer";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, kPrinterError);
        EXPECT_TRUE(e.description.startsWith(QStringLiteral("Printer error: cannot reach the print server ")))
            << e.what();
    }
}

// ---- the real print path: a CUPS scheduler with the cups-pdf queue -----------------
// tests/support/cups-start.sh starts one (.ci/run does) and CUPS_SERVER points here.

class RealPrinter : public PrinterTest {
protected:
    void SetUp() override {
        PrinterTest::SetUp();
        Printer.setRecording(false);
        const QString why = pdfprobe::cupsUnavailable();
        if (!why.isEmpty()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true")) FAIL() << why.toStdString();
            GTEST_SKIP() << why.toStdString();
        }
    }
};

TEST_F(RealPrinter, DocumentAndRawJobReachTheDefaultPrinter) {
    Printer.setFontName(QStringLiteral("Arial"));
    Printer.setCurrentX(1440);
    Printer.setCurrentY(1440);
    Printer.Print(QStringLiteral("First page"));
    Printer.Line(1440, 2000, 4320, 2600, LineStyle::Box);
    Printer.NewPage();
    Printer.Print(QStringLiteral("Second page"));
    Printer.EndDoc();
    ASSERT_GT(Printer.lastJobId(), 0);

    const QString pdf = awaitCupsPdf(Printer.lastJobId());
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF of job " << Printer.lastJobId() << " in " << cupsPdfFolder().toStdString();
    EXPECT_EQ(pdfPages(pdf), 2);
    QFile::remove(pdf);

    // Raw bytes reach the printer unchanged: cups-pdf takes PostScript, so a
    // small PostScript program must come out as a PDF showing its text.
    const QString marker = QStringLiteral("Raw%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
    const QByteArray ps = "%!PS\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (" + marker.toLatin1() +
                          ") show showpage\n";
    const int job = gPrinterRawJob(ps, QStringLiteral("Label"));
    ASSERT_GT(job, 0);
    const QString rawPdf = awaitCupsPdf(job);
    ASSERT_FALSE(rawPdf.isEmpty()) << "no PDF of the raw job " << job << " in " << cupsPdfFolder().toStdString();
    EXPECT_EQ(pdfText(rawPdf).trimmed(), marker);
    QFile::remove(rawPdf);
}

TEST_F(PrinterTest, APictureIsKeptInTheRecordingAndDrawnInItsBox) {
    QImage red(100, 50, QImage::Format_RGB32);
    red.fill(Qt::red);
    Printer.setCurrentX(300);
    Printer.setCurrentY(400);
    Printer.PaintPicture(red, 1440, 1440, 1500, 750);
    // The position stays for what follows.
    EXPECT_EQ(Printer.CurrentX(), 300);
    EXPECT_EQ(Printer.CurrentY(), 400);
    Printer.EndDoc();
    const PrintOp* op = lastOf(PrintOpKind::Picture);
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(QRectF(QPointF(op->x1, op->y1), QPointF(op->x2, op->y2)), QRectF(1440, 1440, 1500, 750));
    EXPECT_EQ(op->picture, red);
    ASSERT_EQ(Printer.printedDocuments().size(), 1);

    // On paper: red inside the box (one inch in from the quarter-inch margin), white beside it.
    printToPdf(QStringLiteral("picture.pdf"));
    Printer.PaintPicture(red, 1440, 1440, 1500, 750);
    Printer.EndDoc();
    const QString pdf = homeFile(QStringLiteral("picture.pdf"));
    ASSERT_TRUE(pdfprobe::firstPagePicture(pdf, homeFile(QStringLiteral("picture"))));
    const QImage page(homeFile(QStringLiteral("picture.png")));
    ASSERT_FALSE(page.isNull());
    // 60 dots per inch: 24 twips a dot.
    auto at = [&](double iX, double iY) { return page.pixelColor(static_cast<int>(15 + iX / 24), static_cast<int>(15 + iY / 24)); };
    const QColor inside = at(1440 + 750, 1440 + 375);
    EXPECT_GT(inside.red(), 200);
    EXPECT_LT(inside.green(), 60);
    EXPECT_EQ(at(1440 + 750, 1440 + 1200), QColor(Qt::white));
    EXPECT_EQ(at(1440 + 2000, 1440 + 375), QColor(Qt::white));
}
