#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"
#include <array>

namespace {
// 0x80..0x9F of Windows-1252; the unassigned bytes keep their own number.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar charOf(int iCode) {
    if (iCode >= 0x80 && iCode <= 0x9F) return QChar(kHigh[iCode - 0x80]);
    return QChar(static_cast<char16_t>(iCode));
}
}

int ansiCode(QChar iChar) {
    const char16_t u = iChar.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return 0x80 + i;
    return -1;
}

QString Chr(int iCode) {
    if (iCode < 0 || iCode > 255) vbRaise(vberr::kInvalidCall);
    return QString(charOf(iCode));
}

int Asc(const QString& iText) {
    if (iText.isEmpty()) vbRaise(vberr::kInvalidCall);
    const int c = ansiCode(iText.at(0));
    return c < 0 ? '?' : c;
}

QString fromAnsi(const QByteArray& iBytes) {
    QString out;
    out.reserve(iBytes.size());
    for (char b : iBytes) out += charOf(static_cast<unsigned char>(b));
    return out;
}

QByteArray toAnsi(const QString& iText) {
    QByteArray out;
    out.reserve(iText.size());
    for (QChar c : iText) {
        const int code = ansiCode(c);
        out += static_cast<char>(code < 0 ? '?' : code);
    }
    return out;
}

bool isAnsiEncodable(const QString& iText) {
    for (QChar c : iText)
        if (ansiCode(c) < 0) return false;
    return true;
}

QString Left(const QString& iText, long iLength) {
    if (iLength < 0) vbRaise(vberr::kInvalidCall);
    return iText.left(iLength);
}

QString Right(const QString& iText, long iLength) {
    if (iLength < 0) vbRaise(vberr::kInvalidCall);
    return iText.right(iLength);
}

QString Mid(const QString& iText, long iStart, long iLength) {
    // -1 is the "rest of the text" default; any other negative length is an error.
    if (iStart < 1 || iLength < -1) vbRaise(vberr::kInvalidCall);
    if (iLength < 0) return iText.mid(iStart - 1);
    return iText.mid(iStart - 1, iLength);
}

long InStr(long iStart, const QString& iText, const QString& iFind) {
    if (iStart < 1) vbRaise(vberr::kInvalidCall);
    if (iStart > iText.size()) return 0;
    if (iFind.isEmpty()) return iStart;
    const qsizetype p = iText.indexOf(iFind, iStart - 1);
    return p < 0 ? 0 : static_cast<long>(p + 1);
}

long InStrRev(const QString& iText, const QString& iFind) {
    const qsizetype p = iText.lastIndexOf(iFind);
    return p < 0 ? 0 : static_cast<long>(p + 1);
}

QString LTrim(const QString& iText) {
    qsizetype i = 0;
    while (i < iText.size() && iText.at(i) == QLatin1Char(' ')) ++i;
    return iText.mid(i);
}

QString RTrim(const QString& iText) {
    qsizetype n = iText.size();
    while (n > 0 && iText.at(n - 1) == QLatin1Char(' ')) --n;
    return iText.left(n);
}

QString Trim(const QString& iText) { return LTrim(RTrim(iText)); }
QString UCase(const QString& iText) { return iText.toUpper(); }
QString LCase(const QString& iText) { return iText.toLower(); }

QString Space(long iCount) {
    if (iCount < 0) vbRaise(vberr::kInvalidCall);
    return QString(iCount, QLatin1Char(' '));
}
