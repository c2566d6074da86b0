#pragma once
#include "platform/ui/DrawCursor.h"
#include "platform/ui/TextMeasure.h"
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <cstdint>

// One thing put on paper, as the printer was told it: kept page by page until
// the document ends, and kept whole by the recording that tests read.
enum class PrintOpKind { Text, Line, Box, BoxFilled, Circle, Picture, NewPage, EndDoc, KillDoc };

struct PrintOp {
    PrintOpKind kind = PrintOpKind::Text;
    int document = 1;      // documents started so far, from 1 (EndDoc and KillDoc end one)
    int page = 1;          // page within the document, from 1
    // Twips from the top-left corner of the printable area: the text's top-left
    // corner, a line's two ends, a box's or picture's two corners, a circle's centre (x1, y1).
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    double radius = 0;     // circles
    QString text;          // text
    QString fontName;
    bool fontBold = false;
    double fontSize = 0;   // points
    int32_t color = 0;     // &H00BBGGRR
    QImage picture;        // pictures
};
using PrintedPage = QList<PrintOp>;
using PrintedDocument = QList<PrintedPage>;

// A raw job as the recording keeps it.
struct RawPrintJob {
    QString title;
    QByteArray bytes;
};

// The printer as the station's routines use it (Printer.FontName = "Arial",
// Printer.Print ..., Printer.EndDoc). Coordinates are twips (1440 per inch) from
// the top-left corner of the printable area; text is placed with its top at
// CurrentY. The font (name, bold, size; Arial 10 at start) stays as set across
// documents; Arial, Times New Roman and Courier New are drawn and measured with
// their metric-compatible Liberation fonts.
//
// A document is collected page by page in memory and goes to the output only at
// EndDoc, as one job; KillDoc throws it away, so an aborted job prints nothing,
// not even a partial page. The output is, in this order of precedence:
//   - the recording (tests): EndDoc files the pages under printedDocuments();
//   - the PDF file named by VEXO_PRINT_TO (tests, machines without a printer),
//     rewritten by every EndDoc;
//   - the default CUPS printer, as one PDF job.
// A failure to send raises VbError 482 "Printer error: <the platform's reason>"
// and keeps the document, so that the caller's Retry can send it again.
class PrinterObject : public TextMeasure, public DrawCursor {
public:
    PrinterObject() : DrawCursor(0) {}
    // The default printer's name ("" when there is none, so File > Print is
    // disabled); with VEXO_PRINT_TO the file's path; when recording, the
    // recording's device name.
    QString DeviceName() const;

    QString FontName() const { return mFontName; }
    void setFontName(const QString& iName) { mFontName = iName; }
    bool FontBold() const { return mFontBold; }
    void setFontBold(bool iBold) { mFontBold = iBold; }
    double FontSize() const { return mFontSize; }
    void setFontSize(double iPoints);
    // The printable area of a page in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // The page being printed, from 1.
    int16_t Page() const;

    // Prints the text at the current position and ends the line: CurrentX goes
    // to 0 and CurrentY one text height down. Line breaks inside the text (CR LF,
    // CR or LF) end lines the same way. Text that would start below the page's
    // printable area starts a new page.
    void Print(const QString& iText = QString());
    // The same without the final line end: CurrentX moves on by the text's width.
    void PrintNoLineEnd(const QString& iText);
    // Draws a picture (a window's image) with its top-left corner at (iX, iY),
    // iWidth x iHeight twips; the position stays where it was.
    void PaintPicture(const QImage& iPicture, double iX, double iY, double iWidth, double iHeight);
    // Line and Circle (DrawCursor) record a line, box outline, filled box or
    // circle outline in the colour given or ForeColor.

    // Width and height of a text in the current font, in twips, measured the same
    // on every machine with the same fonts. Several lines: the widest line, the
    // sum of their heights; an empty text is one line high.
    double TextWidth(const QString& iText) const override;
    double TextHeight(const QString& iText = QString()) const;

    // Ends the page: the next output goes to a new one at (0, 0).
    void NewPage();
    // Ends the document and sends it as one job; nothing is sent for a document
    // with no output. The position returns to (0, 0).
    void EndDoc();
    // Throws the document away unsent. The position returns to (0, 0).
    void KillDoc();

    // Tests: record instead of printing. Switching forgets what was recorded
    // before and any open document, and numbers documents from 1 again; the device name is what DeviceName reports meanwhile
    // ("" plays a station without a printer).
    void setRecording(bool iOn, const QString& iDeviceName = QStringLiteral("Recorder"));
    bool recording() const { return mRecording; }
    // Every operation in order, including NewPage, EndDoc and KillDoc.
    const QList<PrintOp>& recorded() const { return mRecorded; }
    // What reached the recording "device": the documents ended by EndDoc.
    const QList<PrintedDocument>& printedDocuments() const { return mPrinted; }
    const QList<RawPrintJob>& rawJobs() const { return mRawJobs; }
    // The scheduler's number of the last document sent to the printer (0 before
    // the first): cups-pdf names its files with it, so tests find their output.
    int lastJobId() const { return mLastJobId; }

private:
    friend int gPrinterRawJob(const QByteArray& iBytes, const QString& iTitle);
    enum class Output { Recording, PdfFile, Device };

    Output output() const;
    const QPageLayout& layout() const;
    void startDocument();
    void add(PrintOp iOp);
    void printLine(const QString& iText, bool iLineEnd);
    void finishDocument(PrintOpKind iKind);
    void send(const PrintedDocument& iDocument);
    void drawLine(double iX1, double iY1, double iX2, double iY2, int32_t iColor, LineStyle iStyle) override;
    void drawCircle(double iX, double iY, double iRadius, int32_t iColor) override;
    void placed() override { mFlowing = false; }

    QString mFontName = QStringLiteral("Arial");
    bool mFontBold = false;
    double mFontSize = 10;
    // CurrentY was reached by printed line ends (running text), not placed by the caller.
    bool mFlowing = false;
    int mDocument = 1;
    PrintedDocument mPages;           // the open document; empty when none is open
    mutable QPageLayout mLayout;      // the open document's page, fixed while it is open
    mutable bool mLayoutKnown = false;

    bool mRecording = false;
    QString mRecordingDevice;
    QList<PrintOp> mRecorded;
    QList<PrintedDocument> mPrinted;
    QList<RawPrintJob> mRawJobs;
    int mLastJobId = 0;
};

// The station's default printer.
extern PrinterObject Printer;

// Sends bytes unchanged to the default printer as one raw job (label printers
// take their own command language). With VEXO_PRINT_TO set the bytes go to a file
// beside that PDF with the extension ".raw" instead (rewritten by every job);
// when recording, to Printer.rawJobs(). Returns the scheduler's job number (0
// for the file and the recording). A failure raises VbError 482.
int gPrinterRawJob(const QByteArray& iBytes, const QString& iTitle);

// The error number of a failure to print.
inline constexpr long kPrinterError = 482;
