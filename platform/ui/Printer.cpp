#include "platform/ui/Printer.h"
#include "platform/os/AppInfo.h"
#include "platform/os/CupsJob.h"
#include "platform/os/TextFile.h"
#include "platform/ui/Color.h"
#include "platform/vb/VbError.h"
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

PrinterObject Printer;

namespace {
// Twips per inch, and so the resolution documents are measured and drawn at.
constexpr int kTwipsPerInch = 1440;
// Lines and outlines: about one dot of a 300 dpi printer.
constexpr double kPenWidth = 5;

// A device of 1440 dots per inch that draws nothing: text measured on it comes
// out in twips, the same on every machine and every printer.
class TwipsDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric iMetric) const override {
        switch (iMetric) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return kTwipsPerInch;
        case PdmWidth:
        case PdmHeight: return 20 * kTwipsPerInch;
        case PdmWidthMM:
        case PdmHeightMM: return 20 * 254 / 10;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
        default: return 0;
        }
    }
};

const QPaintDevice& twipsDevice() {
    static const TwipsDevice sDevice;
    return sDevice;
}

// The fonts documents name, mapped to fonts with the same widths, so that text
// measures as it did where the documents were designed.
QString fontFamily(const QString& iName) {
    const QString n = iName.trimmed();
    if (n.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) return QStringLiteral("Liberation Sans");
    if (n.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0) return QStringLiteral("Liberation Serif");
    if (n.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0) return QStringLiteral("Liberation Mono");
    return n;
}

QFont printerFont(const QString& iName, bool iBold, double iSize) {
    QFont f(fontFamily(iName));
    f.setPointSizeF(iSize);
    f.setBold(iBold);
    // Advances as the font designs them: no hinting, no kerning pairs, so width
    // and placement do not depend on the device or the font engine's settings.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

QStringList textLines(const QString& iText) {
    static const QRegularExpression sBreak(QStringLiteral("\r\n|\r|\n"));
    return iText.split(sBreak);
}

// The page of a PDF file or the recording: A4 with the quarter-inch margins most printers need.
QPageLayout standardLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18), QPageLayout::Point);
}

[[noreturn]] void printerError(const QString& iReason) {
    throw VbError(kPrinterError, QStringLiteral("Printer error: %1").arg(iReason));
}

// The document as PDF, drawn at 1440 dots per inch so that twips are its units.
QByteArray renderPdf(const PrintedDocument& iDocument, const QPageLayout& iLayout) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kTwipsPerInch);
        writer.setPageLayout(iLayout);
        writer.setTitle(appinfo::title());
        writer.setCreator(appinfo::title());
        QPainter p;
        if (!p.begin(&writer)) printerError(QStringLiteral("cannot draw the document"));
        for (qsizetype page = 0; page < iDocument.size(); ++page) {
            if (page > 0) writer.newPage();
            for (const PrintOp& op : iDocument.at(page)) {
                const QColor color = vbcolor::toQColor(op.color);
                QPen pen(color);
                pen.setWidthF(kPenWidth);
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                switch (op.kind) {
                case PrintOpKind::Text: {
                    if (op.text.isEmpty()) break;
                    const QFont font = printerFont(op.fontName, op.fontBold, op.fontSize);
                    p.setFont(font);
                    const double ascent = QFontMetricsF(font, &twipsDevice()).ascent();
                    p.drawText(QPointF(op.x1, op.y1 + ascent), op.text);
                    break;
                }
                case PrintOpKind::Line: p.drawLine(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)); break;
                case PrintOpKind::BoxFilled: p.setBrush(color); [[fallthrough]];
                case PrintOpKind::Box:
                    p.drawRect(QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized());
                    break;
                case PrintOpKind::Circle: p.drawEllipse(QPointF(op.x1, op.y1), op.radius, op.radius); break;
                case PrintOpKind::Picture:
                    p.drawImage(QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized(), op.picture);
                    break;
                case PrintOpKind::NewPage:
                case PrintOpKind::EndDoc:
                case PrintOpKind::KillDoc: break;
                }
            }
        }
        if (!p.end()) printerError(QStringLiteral("cannot draw the document"));
    }
    return buffer.data();
}

QString printToFile() { return qEnvironmentVariable("VEXO_PRINT_TO"); }

// A report or label printed to a file replaces the last one whole, or leaves it as it was.
void writeFile(const QString& iPath, const QByteArray& iBytes) {
    const QString sCause = writeWholeFile(iPath, iBytes);
    if (!sCause.isEmpty()) printerError(QStringLiteral("%1: %2").arg(iPath, sCause));
}
}

PrinterObject::Output PrinterObject::output() const {
    if (mRecording) return Output::Recording;
    if (!printToFile().isEmpty()) return Output::PdfFile;
    return Output::Device;
}

QString PrinterObject::DeviceName() const {
    switch (output()) {
    case Output::Recording: return mRecordingDevice;
    case Output::PdfFile: return printToFile();
    case Output::Device: break;
    }
    return QPrinterInfo::defaultPrinterName();
}

void PrinterObject::setFontSize(double iPoints) {
    if (!(iPoints > 0 && iPoints <= 2048)) vbRaise(vberr::kInvalidCall);
    mFontSize = iPoints;
}

const QPageLayout& PrinterObject::layout() const {
    if (!mLayoutKnown) {
        mLayout = standardLayout();
        if (output() == Output::Device) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (!info.isNull()) {
                QPrinter printer(info, QPrinter::HighResolution);
                const QPageLayout l = printer.pageLayout();
                if (l.isValid()) mLayout = l;
            }
        }
        // Fixed for the open document; the next one asks again.
        mLayoutKnown = !mPages.isEmpty();
    }
    return mLayout;
}

double PrinterObject::ScaleWidth() const {
    return layout().paintRect(QPageLayout::Point).width() * kTwipsPerInch / 72.0;
}

double PrinterObject::ScaleHeight() const {
    return layout().paintRect(QPageLayout::Point).height() * kTwipsPerInch / 72.0;
}

int16_t PrinterObject::Page() const { return static_cast<int16_t>(mPages.isEmpty() ? 1 : mPages.size()); }

double PrinterObject::TextWidth(const QString& iText) const {
    const QFontMetricsF fm(printerFont(mFontName, mFontBold, mFontSize), &twipsDevice());
    double w = 0;
    for (const QString& line : textLines(iText)) w = std::max(w, fm.horizontalAdvance(line));
    return w;
}

double PrinterObject::TextHeight(const QString& iText) const {
    const QFontMetricsF fm(printerFont(mFontName, mFontBold, mFontSize), &twipsDevice());
    return fm.height() * static_cast<double>(textLines(iText).size());
}

void PrinterObject::startDocument() {
    mPages.append(PrintedPage());
    mLayoutKnown = false;
    layout();
}

void PrinterObject::add(PrintOp iOp) {
    if (mPages.isEmpty()) startDocument();
    iOp.document = mDocument;
    iOp.page = static_cast<int>(mPages.size());
    iOp.fontName = mFontName;
    iOp.fontBold = mFontBold;
    iOp.fontSize = mFontSize;
    if (mRecording) mRecorded.append(iOp);
    if (iOp.kind != PrintOpKind::NewPage) mPages.last().append(iOp);
}

void PrinterObject::printLine(const QString& iText, bool iLineEnd) {
    if (mPages.isEmpty()) startDocument();
    const double height = TextHeight();
    // Running text that would start below the printable area goes on at the top
    // of a new page. Text the caller placed stays where it was placed: breaking
    // there would part it from the frames and lines drawn beside it.
    if (mFlowing && mY > 0 && mY + height > ScaleHeight()) NewPage();
    PrintOp op;
    op.kind = PrintOpKind::Text;
    op.x1 = mX;
    op.y1 = mY;
    op.text = iText;
    op.color = mForeColor;
    add(op);
    if (iLineEnd) {
        mX = 0;
        mY += height;
        mFlowing = true;
    } else {
        mX += TextWidth(iText);
    }
}

void PrinterObject::Print(const QString& iText) {
    for (const QString& line : textLines(iText)) printLine(line, true);
}

void PrinterObject::PrintNoLineEnd(const QString& iText) {
    const QStringList lines = textLines(iText);
    for (qsizetype i = 0; i < lines.size(); ++i) printLine(lines.at(i), i + 1 < lines.size());
}

void PrinterObject::drawLine(double iX1, double iY1, double iX2, double iY2, int32_t iColor, LineStyle iStyle) {
    PrintOp op;
    op.kind = iStyle == LineStyle::Box         ? PrintOpKind::Box
              : iStyle == LineStyle::BoxFilled ? PrintOpKind::BoxFilled
                                               : PrintOpKind::Line;
    op.x1 = iX1;
    op.y1 = iY1;
    op.x2 = iX2;
    op.y2 = iY2;
    op.color = iColor;
    add(op);
}

void PrinterObject::drawCircle(double iX, double iY, double iRadius, int32_t iColor) {
    PrintOp op;
    op.kind = PrintOpKind::Circle;
    op.x1 = iX;
    op.y1 = iY;
    op.radius = iRadius;
    op.color = iColor;
    add(op);
}

void PrinterObject::PaintPicture(const QImage& iPicture, double iX, double iY, double iWidth, double iHeight) {
    PrintOp op;
    op.kind = PrintOpKind::Picture;
    op.x1 = iX;
    op.y1 = iY;
    op.x2 = iX + iWidth;
    op.y2 = iY + iHeight;
    op.picture = iPicture;
    add(op);
}

void PrinterObject::NewPage() {
    if (mPages.isEmpty()) startDocument();   // page 1 stays empty
    mPages.append(PrintedPage());
    PrintOp op;
    op.kind = PrintOpKind::NewPage;   // recorded with the number of the page it starts
    add(op);
    mX = 0;
    mY = 0;
}

void PrinterObject::EndDoc() {
    if (!mPages.isEmpty()) send(mPages);   // raises, keeping the document, when it cannot be sent
    finishDocument(PrintOpKind::EndDoc);
}

void PrinterObject::KillDoc() { finishDocument(PrintOpKind::KillDoc); }

void PrinterObject::finishDocument(PrintOpKind iKind) {
    if (mRecording) {
        PrintOp op;
        op.kind = iKind;
        op.document = mDocument;
        op.page = Page();
        op.fontName = mFontName;
        op.fontBold = mFontBold;
        op.fontSize = mFontSize;
        mRecorded.append(op);
    }
    mPages.clear();
    mLayoutKnown = false;
    ++mDocument;
    mX = 0;
    mY = 0;
}

void PrinterObject::send(const PrintedDocument& iDocument) {
    switch (output()) {
    case Output::Recording: mPrinted.append(iDocument); return;
    case Output::PdfFile: writeFile(printToFile(), renderPdf(iDocument, layout())); return;
    case Output::Device: {
        const QString queue = DeviceName();
        if (queue.isEmpty()) {
            QString reason;
            cupsjob::defaultQueue(&reason);   // why there is none
            printerError(reason.isEmpty() ? QStringLiteral("no default printer") : reason);
        }
        QString reason;
        const int job = cupsjob::send(queue, appinfo::title(), cupsjob::kFormatPdf, renderPdf(iDocument, layout()), reason);
        if (job == 0) printerError(reason);
        mLastJobId = job;
        return;
    }
    }
}

void PrinterObject::setRecording(bool iOn, const QString& iDeviceName) {
    mRecording = iOn;
    mRecordingDevice = iDeviceName;
    mRecorded.clear();
    mPrinted.clear();
    mRawJobs.clear();
    mPages.clear();
    mLayoutKnown = false;
    mDocument = 1;
    mX = 0;
    mY = 0;
}

int gPrinterRawJob(const QByteArray& iBytes, const QString& iTitle) {
    switch (Printer.output()) {
    case PrinterObject::Output::Recording: Printer.mRawJobs.append({iTitle, iBytes}); return 0;
    case PrinterObject::Output::PdfFile: {
        const QFileInfo pdf(printToFile());
        writeFile(pdf.dir().filePath(pdf.completeBaseName() + QStringLiteral(".raw")), iBytes);
        return 0;
    }
    case PrinterObject::Output::Device: break;
    }
    QString reason;
    const QString queue = cupsjob::defaultQueue(&reason);
    if (queue.isEmpty()) printerError(reason);
    const int job = cupsjob::send(queue, iTitle, cupsjob::kFormatRaw, iBytes, reason);
    if (job == 0) printerError(reason);
    return job;
}
