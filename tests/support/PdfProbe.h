#pragma once
// Reads printed PDF files back the way a person would look at them: pages,
// words and their places, a picture of the first page; and finds the PDF the
// CUPS test queue made of a job.
#include <QPointF>
#include <QString>
#include <QStringList>

namespace pdfprobe {
// Runs a poppler tool and returns its standard output ("" when it failed).
QString run(const QString& iProgram, const QStringList& iArgs);
int pages(const QString& iPdf);                        // -1 when it is no whole PDF
QString text(const QString& iPdf, bool iLayout = false);
// Where the word stands on its page, in points from the top-left corner; (-1, -1) when absent.
QPointF wordPosition(const QString& iPdf, const QString& iWord);
// The first page as iPngBase + ".png" at 60 dpi; true when it was made. With
// VEXO_DOCS_DIR set, a copy named iDocsName is kept there for the documentation.
bool firstPagePicture(const QString& iPdf, const QString& iPngBase, const QString& iDocsName = QString());

// The real print path: a CUPS scheduler of its own with the StationPDF queue
// as the default printer (tests/support/cups-start.sh; ./vexo test starts one).
QString cupsPdfFolder();                                // "Out" of cups-pdf.conf
// Waits up to a minute for the whole PDF cups-pdf makes of a job
// ("<title>-job_<number>.pdf"); "" when none came.
QString awaitCupsPdf(int iJob);
// Why the real print path cannot be tried here, or "" when it can (a test
// skips with the reason; under CI it fails instead).
QString cupsUnavailable();
}
