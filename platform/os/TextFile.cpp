#include "platform/os/TextFile.h"
#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <map>

namespace {
struct OpenText {
    QStringList lines;
    qsizetype next = 0;
};
std::map<int, OpenText>& table() { static std::map<int, OpenText> t; return t; }

OpenText& entry(int iFileNumber) {
    auto it = table().find(iFileNumber);
    if (it == table().end()) vbRaise(vberr::kBadFileNameOrNumber);
    return it->second;
}
}

QString decodeText(const QByteArray& iBytes, TextEncoding iEncoding) {
    if (iEncoding == TextEncoding::Auto) {
        if (iBytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(iBytes.mid(3));
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString s = utf8.decode(iBytes);
        if (!utf8.hasError()) return s;
    }
    return fromAnsi(iBytes);
}

QStringList splitTextLines(const QString& iText) {
    QStringList out;
    QString cur;
    bool pending = false;
    for (qsizetype i = 0; i < iText.size(); ++i) {
        const QChar c = iText.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            out << cur;
            cur.clear();
            pending = false;
            if (c == QLatin1Char('\r') && i + 1 < iText.size() && iText.at(i + 1) == QLatin1Char('\n')) ++i;
            continue;
        }
        cur += c;
        pending = true;
    }
    if (pending) out << cur;
    return out;
}

int textFileOpen(const QString& iPath, TextEncoding iEncoding) {
    QFile f(iPath);
    if (!QFileInfo::exists(iPath)) vbRaise(vberr::kFileNotFound);
    if (!f.open(QIODevice::ReadOnly)) vbRaise(vberr::kPathFileAccess, vbErrorText(vberr::kPathFileAccess) + QStringLiteral(" (") + iPath + QLatin1Char(')'));
    int n = 1;
    while (table().count(n)) ++n;
    table()[n] = OpenText{splitTextLines(decodeText(f.readAll(), iEncoding)), 0};
    return n;
}

QString textFileLineInput(int iFileNumber) {
    OpenText& t = entry(iFileNumber);
    if (t.next >= t.lines.size()) vbRaise(vberr::kInputPastEnd);
    return t.lines.at(t.next++);
}

bool textFileEOF(int iFileNumber) {
    const OpenText& t = entry(iFileNumber);
    return t.next >= t.lines.size();
}

void textFileClose(int iFileNumber) { table().erase(iFileNumber); }

int textFileOpenCount() { return static_cast<int>(table().size()); }
