#include "platform/os/TextFile.h"
#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {
[[noreturn]] void refuseFile(const QString& iPath, const QString& iReason) {
    vbRaise(vberr::kPathFileAccess,
            vbErrorText(vberr::kPathFileAccess) + QStringLiteral(": the file '") + iPath + QStringLiteral("' ") + iReason);
}

QString sizeText(qint64 iBytes) {
    return iBytes % (qint64(1) << 20) == 0 ? QStringLiteral("%1 MB").arg(iBytes >> 20) : QStringLiteral("%1 bytes").arg(iBytes);
}

// Closes the descriptor however the read ends.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// The last iLimit bytes of a regular file of iSize bytes, from the first line
// that starts within them.
QByteArray fileEnd(const QString& iPath, int iFd, qint64 iSize, qint64 iLimit) {
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(iLimit));
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(iFd, bytes.data() + got, static_cast<size_t>(bytes.size() - got),
                                  static_cast<off_t>(iSize - iLimit + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            refuseFile(iPath, QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    const qsizetype lineEnd = bytes.indexOf('\n');
    return lineEnd < 0 ? QByteArray() : bytes.mid(lineEnd + 1);
}
}

QByteArray readBoundedFile(const QString& iPath, qint64 iLimit, FileBound iOver) {
    // Opened without waiting, so that a pipe with no writer cannot hold the
    // station here; the type is read from what was opened, not from the name.
    Descriptor d;
    d.fd = ::open(QFile::encodeName(iPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (d.fd < 0) {
        if (errno == ENOENT) vbRaise(vberr::kFileNotFound);
        refuseFile(iPath, QStringLiteral("cannot be opened: ") + QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat st = {};
    if (::fstat(d.fd, &st) != 0) refuseFile(iPath, QStringLiteral("cannot be read"));
    if (!S_ISREG(st.st_mode)) refuseFile(iPath, QStringLiteral("is not a regular file"));
    if (st.st_size > iLimit && iOver == FileBound::KeepEnd) return fileEnd(iPath, d.fd, st.st_size, iLimit);
    if (st.st_size > iLimit) refuseFile(iPath, QStringLiteral("is larger than ") + sizeText(iLimit));
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        // One byte more than the limit tells a file that grew while it was read.
        if (got == bytes.size()) {
            if (got > iLimit) refuseFile(iPath, QStringLiteral("is larger than ") + sizeText(iLimit));
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, static_cast<qsizetype>(iLimit) + 1));
        }
        const ssize_t n = ::read(d.fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            refuseFile(iPath, QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (n == 0) break;
        got += n;
    }
    if (got > iLimit) refuseFile(iPath, QStringLiteral("is larger than ") + sizeText(iLimit));
    bytes.resize(got);
    return bytes;
}

namespace {
QString systemCause(int iErrno) { return QString::fromLocal8Bit(std::strerror(iErrno)); }

// A name beside iTarget that no file has yet: hidden, so that a crash that
// leaves one behind does not put it among the files people pick from.
QByteArray mTempNameBeside(const QString& iTarget) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i) suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
    const QFileInfo target(iTarget);
    return QFile::encodeName(target.dir().filePath(QLatin1Char('.') + target.fileName() + QLatin1Char('.') + suffix));
}
}

QString writeWholeFile(const QString& iPath, const QByteArray& iBytes) {
    // Through a link the file it names is replaced, and the link stays.
    QString path = iPath;
    const QFileInfo info(iPath);
    if (info.isSymLink()) path = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    const QByteArray target = QFile::encodeName(path);

    struct stat old = {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT) return systemCause(errno);
    // A device or a pipe cannot be replaced by a file.
    if (exists && !S_ISREG(old.st_mode)) return QStringLiteral("it is not a regular file");
    // A file made read-only stays as it is, though the folder would let a new one take its place.
    if (exists && ::access(target.constData(), W_OK) != 0) return systemCause(errno);

    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = mTempNameBeside(path);
        // A new file gets the permissions the user's mask gives, as any file made here.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 100)) return systemCause(errno);
    }
    // However the write ends short of the rename, the new file goes and the old one stays.
    const auto failed = [&](int iErrno) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.constData());
        return systemCause(iErrno);
    };
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) return failed(errno);
    qsizetype done = 0;
    while (done < iBytes.size()) {
        const ssize_t n = ::write(fd, iBytes.constData() + done, static_cast<size_t>(iBytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(errno);
        }
        if (n == 0) return failed(EIO);
        done += n;
    }
    // On the disk before it takes the old file's place: a power cut then leaves one or the other.
    if (::fsync(fd) != 0) return failed(errno);
    const int closed = ::close(fd);
    fd = -1;
    // After EINTR the descriptor is closed on Linux, and the bytes were flushed already.
    if (closed != 0 && errno != EINTR) return failed(errno);
    if (::rename(temp.constData(), target.constData()) != 0) return failed(errno);
    // The new name on the disk too; a folder that cannot be flushed has it in any case.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return QString();
}

int textFileOpen(const QString& iPath, TextEncoding iEncoding, qint64 iLimit) {
    const QByteArray bytes = readBoundedFile(iPath, iLimit);
    int n = 1;
    while (table().count(n)) ++n;
    table()[n] = OpenText{splitTextLines(decodeText(bytes, iEncoding)), 0};
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
