#include "platform/os/Settings.h"
#include "platform/os/AppInfo.h"
#include "platform/os/TextFile.h"
#include "platform/vb/VbError.h"
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariant>
#include <cerrno>
#include <functional>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// The settings files are INI text as they have always been kept: sections in
// brackets, "key=value" lines, names escaped with %XX and %UXXXX, values in
// double quotes where they hold ; , = or blanks at their ends, with C escapes
// for control characters, a leading @ doubled, text in UTF-8. A save reads the
// file, changes the lines of its key and writes the whole file anew through
// writeWholeFile, so that a full disk leaves the file as it was and is
// reported; every other line keeps its bytes.

namespace {
QString& overrideFolder() { static QString s; return s; }

// INI keys treat "/" and "\" as group separators; station keys never contain them,
// but a section named after a title might.
QString safe(QString iName) {
    iName.replace(QLatin1Char('/'), QLatin1Char('_'));
    iName.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return iName;
}

QString iniPath(const QString& iApp) {
    return QDir(settingsstore::folder()).filePath(safe(iApp) + QStringLiteral(".ini"));
}

// ---- reading the text ------------------------------------------------------

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One line of a settings file as it stands in the bytes: from its first
// character to its end (its line break, and a comment after it, not included).
// A line in brackets opens a section; a line with "=" outside quotes is a key.
struct IniLine {
    qsizetype start = 0;
    qsizetype end = 0;
    bool header = false;
    QString section;   // the section it opens or belongs to ("" before the first one, and [General])
    QString key;       // empty for a line that is neither
    QByteArray value;  // as written
};

// The next line from ioPos. A line break inside double quotes or after a
// backslash belongs to the line; a ";" outside quotes starts a comment, which a
// line starting with it is as a whole.
bool nextLine(const QByteArray& iData, qsizetype& ioPos, qsizetype& oStart, qsizetype& oEnd, qsizetype& oEquals) {
    const qsizetype n = iData.size();
    bool inQuotes = false;
    oEquals = -1;
    qsizetype start = ioPos;
    while (start < n && isBlank(iData.at(start))) ++start;
    qsizetype i = start;
    while (i < n) {
        const char c = iData.at(i++);
        if (c == '=') {
            if (!inQuotes && oEquals < 0) oEquals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < n) {
                const char e = iData.at(i++);
                if (i < n && ((e == '\n' && iData.at(i) == '\r') || (e == '\r' && iData.at(i) == '\n'))) ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < n && iData.at(i) != '\n' && iData.at(i) != '\r') ++i;
                while (i < n && isBlank(iData.at(i))) ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    ioPos = i;
    oStart = start;
    oEnd = i;
    return oEnd > oStart;
}

// A section or key name as written: %XX and %UXXXX stand for characters, "\" for "/".
QString unescapedName(const QByteArray& iName) {
    const QString s = QString::fromUtf8(iName);
    QString out;
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c != QLatin1Char('%') || i == s.size() - 1) {
            out += c;
            ++i;
            continue;
        }
        const bool wide = s.at(i + 1) == QLatin1Char('U');
        const qsizetype first = i + (wide ? 2 : 1);
        const int digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code = first + digits <= s.size() ? s.mid(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            out += c;
            ++i;
            continue;
        }
        out += QChar(code);
        i = first + digits;
    }
    return out;
}

QList<IniLine> iniLines(const QByteArray& iData) {
    QList<IniLine> out;
    qsizetype pos = iData.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    QString section;
    qsizetype start = 0, end = 0, equals = -1;
    while (nextLine(iData, pos, start, end, equals)) {
        IniLine l;
        l.start = start;
        l.end = end;
        if (iData.at(start) == '[') {
            qsizetype close = iData.indexOf(']', start);
            if (close < 0 || close > end) close = end;
            const QByteArray name = iData.mid(start + 1, close - start - 1).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0) section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0) section = QString::fromLatin1(name.mid(1));
            else section = unescapedName(name);
            l.header = true;
        } else if (equals >= 0) {
            l.key = unescapedName(iData.mid(start, equals - start).trimmed());
            l.value = iData.mid(equals + 1, end - equals - 1);
        }
        l.section = section;
        out << l;
    }
    return out;
}

// What a written value reads as. A list (items parted by commas outside
// quotes) reads as its items joined by commas; "plain" is false for a list and
// for a value of another type than text; "present" false for one that stands
// for no value.
struct StoredValue {
    QString text;
    bool plain = true;
    bool present = true;
};

StoredValue storedValue(const QByteArray& iRaw) {
    const qsizetype n = iRaw.size();
    QString cur;
    QStringList items;
    bool list = false, inQuotes = false, quoted = false, chopAtEnd = true;
    qsizetype i = 0, chopFrom = 0;
    const auto skipBlanks = [&] {
        while (i < n && (iRaw.at(i) == ' ' || iRaw.at(i) == '\t')) ++i;
    };
    const auto chopBlanks = [&] {
        while (cur.size() > chopFrom && (cur.back() == QLatin1Char(' ') || cur.back() == QLatin1Char('\t')))
            cur.chop(1);
    };
    skipBlanks();
    while (i < n) {
        const char c = iRaw.at(i);
        if (c == '\\') {
            if (++i >= n) {
                chopAtEnd = false;
                break;
            }
            const char e = iRaw.at(i++);
            switch (e) {
            case 'a': cur += QLatin1Char('\a'); break;
            case 'b': cur += QLatin1Char('\b'); break;
            case 'f': cur += QLatin1Char('\f'); break;
            case 'n': cur += QLatin1Char('\n'); break;
            case 'r': cur += QLatin1Char('\r'); break;
            case 't': cur += QLatin1Char('\t'); break;
            case 'v': cur += QLatin1Char('\v'); break;
            case '"':
            case '?':
            case '\'':
            case '\\': cur += QLatin1Char(e); break;
            case 'x': {
                char16_t v = 0;
                bool any = false;
                while (i < n && hexValue(iRaw.at(i)) >= 0) {
                    v = static_cast<char16_t>((v << 4) + hexValue(iRaw.at(i++)));
                    any = true;
                }
                if (any) cur += QChar(v);
                break;
            }
            case '\n':
            case '\r':
                // A line continued: the break is no part of the value.
                if (i < n && (iRaw.at(i) == '\n' || iRaw.at(i) == '\r') && iRaw.at(i) != e) ++i;
                break;
            default:
                if (e >= '0' && e <= '7') {
                    char16_t v = static_cast<char16_t>(e - '0');
                    while (i < n && iRaw.at(i) >= '0' && iRaw.at(i) <= '7')
                        v = static_cast<char16_t>((v << 3) + (iRaw.at(i++) - '0'));
                    cur += QChar(v);
                }
                break;   // any other escaped character is dropped with its backslash
            }
            chopFrom = cur.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopFrom = cur.size();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted) chopBlanks();
            list = true;
            items << cur;
            cur.clear();
            quoted = false;
            ++i;
            skipBlanks();
            chopFrom = 0;
        } else {
            qsizetype j = i + 1;
            while (j < n && iRaw.at(j) != '\\' && iRaw.at(j) != '"' && iRaw.at(j) != ',') ++j;
            cur += QString::fromUtf8(iRaw.mid(i, j - i));
            i = j;
        }
    }
    if (chopAtEnd && !quoted) chopBlanks();

    StoredValue v;
    if (list) {
        items << cur;
        v.plain = false;
        for (QString& item : items) {
            if (!item.startsWith(QLatin1Char('@'))) continue;
            if (!item.startsWith(QLatin1String("@@"))) return StoredValue{QString(), false, true};
            item.remove(0, 1);
        }
        v.text = items.join(QLatin1Char(','));
        return v;
    }
    // A value of another type than text, as the settings files can hold one.
    if (cur.startsWith(QLatin1Char('@')) && cur.endsWith(QLatin1Char(')'))) {
        v.plain = false;
        if (cur == QLatin1String("@Invalid()")) return StoredValue{QString(), false, false};
        if (cur.startsWith(QLatin1String("@String("))) {
            v.text = cur.mid(8).chopped(1);
            return v;
        }
        if (cur.startsWith(QLatin1String("@ByteArray("))) {
            v.text = QString::fromUtf8(cur.mid(11).chopped(1).toLatin1());
            return v;
        }
        const bool dated = cur.startsWith(QLatin1String("@DateTime("));
        if (dated || cur.startsWith(QLatin1String("@Variant("))) {
            QByteArray bytes = cur.mid(dated ? 10 : 9).toLatin1();
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            stream.setVersion(dated ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant read;
            stream >> read;
            v.text = read.toString();
            return v;
        }
        for (const char* shape : {"@Rect(", "@Size(", "@Point("})
            if (cur.startsWith(QLatin1String(shape))) return v;
        v.plain = true;
    }
    v.text = cur.startsWith(QLatin1String("@@")) ? cur.mid(1) : cur;
    return v;
}

// ---- writing the text -----------------------------------------------------

QByteArray escapedName(const QString& iName) {
    QByteArray out;
    for (const QChar qc : iName) {
        const ushort c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                   c == '.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        } else {
            out += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
        }
    }
    return out;
}

QByteArray escapedValue(const QString& iValue) {
    // A text starting with @ would read as another type: the @ is doubled.
    const QString s = iValue.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + iValue : iValue;
    QByteArray out;
    QString run;   // characters written as they are, in UTF-8
    bool needsQuotes = false;
    bool hexFollows = false;   // a hex digit after \0 or \xNN would join the escape
    const auto escape = [&](const QByteArray& iEscape) {
        out += run.toUtf8();
        run.clear();
        out += iEscape;
    };
    for (const QChar qc : s) {
        const ushort c = qc.unicode();
        if (c == ';' || c == ',' || c == '=') needsQuotes = true;
        if (hexFollows && c < 0x80 && hexValue(static_cast<char>(c)) >= 0) {
            escape("\\x" + QByteArray::number(c, 16));
            continue;
        }
        hexFollows = false;
        switch (c) {
        case 0: escape("\\0"); hexFollows = true; break;
        case '\a': escape("\\a"); break;
        case '\b': escape("\\b"); break;
        case '\f': escape("\\f"); break;
        case '\n': escape("\\n"); break;
        case '\r': escape("\\r"); break;
        case '\t': escape("\\t"); break;
        case '\v': escape("\\v"); break;
        case '"': escape("\\\""); break;
        case '\\': escape("\\\\"); break;
        default:
            if (c <= 0x1F) {
                escape("\\x" + QByteArray::number(c, 16));
                hexFollows = true;
            } else {
                run += qc;
            }
        }
    }
    out += run.toUtf8();
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' ')) out = '"' + out + '"';
    return out;
}

QByteArray keyLine(const QString& iKey, const QString& iValue) {
    return escapedName(iKey) + '=' + escapedValue(iValue);
}

QByteArray sectionHeader(const QString& iSection) {
    if (iSection.isEmpty()) return "[General]";
    if (iSection.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) return "[%" + iSection.toLatin1() + ']';
    return '[' + escapedName(iSection) + ']';
}

// Where the line that ends at iEnd has its line break behind it (a comment
// after it included).
qsizetype afterLineBreak(const QByteArray& iData, qsizetype iEnd) {
    qsizetype i = iEnd;
    while (i < iData.size() && iData.at(i) != '\n' && iData.at(i) != '\r') ++i;
    if (i < iData.size() && iData.at(i) == '\r') ++i;
    if (i < iData.size() && iData.at(i) == '\n') ++i;
    return i;
}

bool sameName(const QString& iA, const QString& iB) { return iA.compare(iB, Qt::CaseInsensitive) == 0; }

// ---- the file ----------------------------------------------------------------

// What the file holds; a missing file holds nothing. For a change, a file
// that is there but cannot be read is an error: writing it anew would lose it.
QByteArray fileText(const QString& iPath, bool ibForChange) {
    try {
        return readBoundedFile(iPath);
    } catch (const VbError& e) {
        if (!ibForChange || e.number == vberr::kFileNotFound) return QByteArray();
        throw;
    }
}

[[noreturn]] void raiseNotWritten(const QString& iPath, const QString& iCause) {
    vbRaise(vberr::kPathFileAccess, vbErrorText(vberr::kPathFileAccess) + QStringLiteral(": the settings file '") +
                                        iPath + QStringLiteral("' could not be written: ") + iCause);
}

// Copies of the station on other station folders, and the demo maker, share
// the per-user file: a change reads, edits and writes it whole under this
// lock, so that no copy's change drops another's. The lock file is never
// written, so a full disk cannot stop it; the system lets it go with the
// process that held it.
class ChangeLock {
public:
    explicit ChangeLock(const QString& iPath) {
        QDir().mkpath(QFileInfo(iPath).absolutePath());
        const QByteArray name = QFile::encodeName(iPath + QStringLiteral(".lock"));
        mFd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
        if (mFd < 0) raiseNotWritten(iPath, QString::fromLocal8Bit(std::strerror(errno)));
        // A change takes milliseconds: a lock held for seconds is a copy that hangs.
        constexpr int kWaitMs = 10000;
        for (int waited = 0; ::flock(mFd, LOCK_EX | LOCK_NB) != 0; waited += 10) {
            const int e = errno;
            if (e == EINTR) continue;
            if (e != EWOULDBLOCK || waited >= kWaitMs) {
                ::close(mFd);
                raiseNotWritten(iPath, e == EWOULDBLOCK ? QStringLiteral("another program keeps it locked")
                                                        : QString::fromLocal8Bit(std::strerror(e)));
            }
            ::usleep(10000);
        }
    }
    ~ChangeLock() { ::close(mFd); }
    ChangeLock(const ChangeLock&) = delete;
    ChangeLock& operator=(const ChangeLock&) = delete;

private:
    int mFd = -1;
};

void writeFileText(const QString& iPath, const QByteArray& iText) {
    const QString sCause = writeWholeFile(iPath, iText);
    if (!sCause.isEmpty()) raiseNotWritten(iPath, sCause);
}

// The last line of the key in the section; section and key names match
// without regard to case, as in the registry the station's routines were
// written against.
const IniLine* storedLine(const QList<IniLine>& iLines, const QString& iSection, const QString& iKey) {
    const IniLine* found = nullptr;
    for (const IniLine& l : iLines)
        if (!l.header && !l.key.isEmpty() && sameName(l.section, iSection) && sameName(l.key, iKey)) found = &l;
    return found;
}
}

namespace settingsstore {
QString folder() {
    if (!overrideFolder().isEmpty()) return overrideFolder();
    const QByteArray env = qgetenv("VEXO_SETTINGS");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
void setFolder(const QString& iFolder) { overrideFolder() = iFolder; }
}

QString GetSetting(const QString& iApp, const QString& iSection, const QString& iKey, const QString& iDefault) {
    // A file that cannot be read holds no settings.
    const QList<IniLine> lines = iniLines(fileText(iniPath(iApp), false));
    const IniLine* line = storedLine(lines, safe(iSection), safe(iKey));
    if (!line) return iDefault;
    const StoredValue v = storedValue(line->value);
    return v.present ? v.text : iDefault;
}

namespace {
// One change of a settings file, under its lock: iEdit changes the text (its
// lines read already) and says whether it changed anything to write.
void changeSettings(const QString& iApp, const QString& iSection, const QString& iKey,
                    const std::function<bool(QByteArray&, const QList<IniLine>&, const QString&, const QString&)>& iEdit) {
    const QString path = iniPath(iApp);
    const ChangeLock lock(path);
    QByteArray text = fileText(path, true);
    if (iEdit(text, iniLines(text), safe(iSection), safe(iKey))) writeFileText(path, text);
}
}

void SaveSetting(const QString& iApp, const QString& iSection, const QString& iKey, const QString& iValue) {
    changeSettings(iApp, iSection, iKey, [&](QByteArray& text, const QList<IniLine>& lines, const QString& section,
                                             const QString& key) {
        const IniLine* stored = storedLine(lines, section, key);
        if (stored) {
            // A value stored already is not written again: each write is a wait for the disk.
            const StoredValue v = storedValue(stored->value);
            if (v.plain && v.present && v.text == iValue) return false;
            // Every line of the key gets the value, under the spelling stored.
            for (qsizetype i = lines.size() - 1; i >= 0; --i) {
                const IniLine& l = lines.at(i);
                if (l.header || l.key.isEmpty() || !sameName(l.section, section) || !sameName(l.key, key)) continue;
                // The blanks before a comment on the line stay with the comment.
                qsizetype end = l.end;
                while (end > l.start && (text.at(end - 1) == ' ' || text.at(end - 1) == '\t')) --end;
                text.replace(l.start, end - l.start, keyLine(l.key, iValue));
            }
        } else {
            // At the end of the section, or in a new section at the end of the file.
            qsizetype lastOfSection = -1;
            for (qsizetype i = 0; i < lines.size(); ++i)
                if (sameName(lines.at(i).section, section)) lastOfSection = i;
            QByteArray add = keyLine(key, iValue) + '\n';
            qsizetype at = text.size();
            if (lastOfSection >= 0) {
                at = afterLineBreak(text, lines.at(lastOfSection).end);
            } else {
                const bool hasText = !lines.isEmpty();
                add = (hasText ? QByteArray("\n") : QByteArray()) + sectionHeader(section) + '\n' + add;
            }
            if (at == text.size() && !text.isEmpty() && !text.endsWith('\n') && !text.endsWith('\r')) add.prepend('\n');
            text.insert(at, add);
        }
        return true;
    });
}

void DeleteSetting(const QString& iApp, const QString& iSection, const QString& iKey) {
    changeSettings(iApp, iSection, iKey, [&](QByteArray& text, const QList<IniLine>& lines, const QString& section,
                                             const QString& key) {
        bool changed = false;
        // Last to first, so that what is cut does not move what is still to cut.
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            const IniLine& l = lines.at(i);
            if (!sameName(l.section, section)) continue;
            if (key.isEmpty()) {
                // The whole section: each of its lines with what follows it up to the next line.
                text.remove(l.start, (i + 1 < lines.size() ? lines.at(i + 1).start : text.size()) - l.start);
                changed = true;
            } else if (!l.header && !l.key.isEmpty() && sameName(l.key, key)) {
                text.remove(l.start, afterLineBreak(text, l.end) - l.start);
                changed = true;
            }
        }
        return changed;
    });
}

QString userSetting(const QString& iKey, const QString& iDefault) {
    return GetSetting(appinfo::companyName(), appinfo::title(), iKey, iDefault);
}
void saveUserSetting(const QString& iKey, const QString& iValue) {
    SaveSetting(appinfo::companyName(), appinfo::title(), iKey, iValue);
}
void deleteUserSetting(const QString& iKey) { DeleteSetting(appinfo::companyName(), appinfo::title(), iKey); }
