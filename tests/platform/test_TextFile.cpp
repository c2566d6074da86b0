#include "platform/os/TextFile.h"
#include "platform/vb/VbError.h"
#include "tests/support/StationTest.h"
#include <QDir>
#include <QFileInfo>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList lines(const char* iText) { return splitTextLines(QString::fromLatin1(iText)); }
}

TEST(TextLines, EveryLineEndingEndsALine) {
    EXPECT_EQ(lines("a\r\nb\r\n"), QStringList({"a", "b"}));
    EXPECT_EQ(lines("a\rb\r"), QStringList({"a", "b"}));
    EXPECT_EQ(lines("a\nb\n"), QStringList({"a", "b"}));
    EXPECT_EQ(lines("a\r\nb\rc\nd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(lines("a\n\r\nb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(lines("a\r\r\nb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(lines("last"), QStringList({"last"}));
    EXPECT_EQ(lines("\r\n"), QStringList({""}));
    EXPECT_TRUE(lines("").isEmpty());
    EXPECT_EQ(lines(" x \t"), QStringList({" x \t"}));
}

TEST(TextDecoding, AutoTakesUtf8WhenValidElseWindows1252) {
    EXPECT_EQ(decodeText(QByteArray("Pr\xC3\xBC" "fung \xE2\x82\xAC"), TextEncoding::Auto), QStringLiteral("Prüfung €"));
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBFhead"), TextEncoding::Auto), QStringLiteral("head"));
    EXPECT_EQ(decodeText(QByteArray("\xE9t\xE9 \x80"), TextEncoding::Auto), QStringLiteral("été €"));
    // A multi-byte sequence cut off at the end is no UTF-8 either.
    EXPECT_EQ(decodeText(QByteArray("ab\xC3"), TextEncoding::Auto), QStringLiteral("abÃ"));
    EXPECT_EQ(decodeText(QByteArray("plain"), TextEncoding::Auto), QStringLiteral("plain"));
    EXPECT_EQ(decodeText(QByteArray(), TextEncoding::Auto), QString());
}

TEST(TextDecoding, AnsiIsAlwaysWindows1252) {
    // Bytes that happen to form valid UTF-8 stay the 1252 characters they are.
    EXPECT_EQ(decodeText(QByteArray("\xC3\xA9"), TextEncoding::Ansi), QStringLiteral("Ã©"));
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBFx"), TextEncoding::Ansi), QStringLiteral("ï»¿x"));
    EXPECT_EQ(decodeText(QByteArray("\x80\x81"), TextEncoding::Ansi), QString(QChar(0x20AC)) + QChar(0x81));
}

class TextFile : public StationTest {
protected:
    void TearDown() override {
        endOfScript();
        EXPECT_EQ(textFileOpenCount(), 0);
        StationTest::TearDown();
    }
};

TEST_F(TextFile, LineInputUntilEndOfFile) {
    writeHomeFile(QStringLiteral("Prompt.txt"), QByteArray("one\r\nt\xE9o\nthree"));
    const int n = textFileOpen(homeFile(QStringLiteral("Prompt.txt")), TextEncoding::Auto);
    EXPECT_EQ(textFileOpenCount(), 1);
    QStringList read;
    while (!textFileEOF(n)) read << textFileLineInput(n);
    EXPECT_EQ(read, QStringList({"one", "téo", "three"}));
    EXPECT_EQ(errorOf([&] { textFileLineInput(n); }), vberr::kInputPastEnd);
    EXPECT_TRUE(textFileEOF(n));
    textFileClose(n);
    EXPECT_EQ(textFileOpenCount(), 0);
    EXPECT_EQ(errorOf([&] { textFileLineInput(n); }), vberr::kBadFileNameOrNumber);
    EXPECT_EQ(errorOf([&] { textFileEOF(n); }), vberr::kBadFileNameOrNumber);
}

TEST_F(TextFile, EmptyFileIsAtEndAtOnce) {
    writeHomeFile(QStringLiteral("Empty.txt"), QByteArray());
    const int n = textFileOpen(homeFile(QStringLiteral("Empty.txt")), TextEncoding::Ansi);
    EXPECT_TRUE(textFileEOF(n));
    EXPECT_EQ(errorOf([&] { textFileLineInput(n); }), vberr::kInputPastEnd);
    textFileClose(n);
}

TEST_F(TextFile, FilesGetTheirOwnNumbersAndNumbersAreReused) {
    writeHomeFile(QStringLiteral("A.txt"), QByteArray("a1\na2\n"));
    writeHomeFile(QStringLiteral("B.txt"), QByteArray("b1\n"));
    const int a = textFileOpen(homeFile(QStringLiteral("A.txt")), TextEncoding::Ansi);
    const int b = textFileOpen(homeFile(QStringLiteral("B.txt")), TextEncoding::Ansi);
    EXPECT_NE(a, b);
    EXPECT_EQ(textFileLineInput(b), QStringLiteral("b1"));
    EXPECT_EQ(textFileLineInput(a), QStringLiteral("a1"));
    EXPECT_TRUE(textFileEOF(b));
    EXPECT_FALSE(textFileEOF(a));
    textFileClose(a);
    const int c = textFileOpen(homeFile(QStringLiteral("A.txt")), TextEncoding::Ansi);
    EXPECT_EQ(c, a);
    EXPECT_EQ(textFileLineInput(c), QStringLiteral("a1"));   // a new open starts at the top
    textFileClose(b);
    textFileClose(c);
    textFileClose(c);   // closing twice is harmless
}

TEST_F(TextFile, MissingOrUnreadableFilesRaise) {
    EXPECT_EQ(errorOf([&] { textFileOpen(homeFile(QStringLiteral("Missing.txt")), TextEncoding::Auto); }),
              vberr::kFileNotFound);
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("Folder")));
    EXPECT_EQ(errorOf([&] { textFileOpen(homeFile(QStringLiteral("Folder")), TextEncoding::Auto); }),
              vberr::kPathFileAccess);
    EXPECT_EQ(textFileOpenCount(), 0);
}

// A name from a record may lead anywhere: only a regular file within its limit is
// read, and anything else is refused at once, naming the file and the reason.
TEST_F(TextFile, OnlyRegularFilesWithinTheirLimitAreRead) {
    const QString fifo = homeFile(QStringLiteral("Pipe.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = homeFile(QStringLiteral("Zero.txt"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    writeHomeFile(QStringLiteral("Full.txt"), QByteArray(kTextFileLimit, 'x'));
    writeHomeFile(QStringLiteral("Over.txt"), QByteArray(kTextFileLimit + 1, 'x'));
    const auto refusal = [](const QString& iPath, qint64 iLimit) {
        try {
            readBoundedFile(iPath, iLimit);
        } catch (const VbError& e) {
            return std::make_pair(e.number, e.description);
        }
        return std::make_pair(0L, QString());
    };
    struct Case {
        QString path;
        qint64 limit;
        QString reason;   // "" when read
    } cases[] = {
        {fifo, kTextFileLimit, QStringLiteral("is not a regular file")},
        {zero, kTextFileLimit, QStringLiteral("is not a regular file")},
        {QStringLiteral("/dev/null"), kTextFileLimit, QStringLiteral("is not a regular file")},
        {homeFile(QStringLiteral("Full.txt")), kTextFileLimit, QString()},
        {homeFile(QStringLiteral("Over.txt")), kTextFileLimit, QStringLiteral("is larger than 1 MB")},
        {homeFile(QStringLiteral("Over.txt")), kCurveFileLimit, QString()},
    };
    for (const Case& c : cases) {
        const auto [number, text] = refusal(c.path, c.limit);
        if (c.reason.isEmpty()) {
            EXPECT_EQ(number, 0) << c.path.toStdString() << ": " << text.toStdString();
            continue;
        }
        EXPECT_EQ(number, vberr::kPathFileAccess) << c.path.toStdString();
        EXPECT_EQ(text, QStringLiteral("Path/File access error: the file '") + c.path + QStringLiteral("' ") + c.reason);
    }
    EXPECT_EQ(readBoundedFile(homeFile(QStringLiteral("Full.txt"))).size(), kTextFileLimit);
}

// A file the station writes whole holds afterwards either all the new bytes or
// exactly the old ones, whatever stops the write; the cause comes back for the
// message, and nothing half-written is left beside it.
TEST_F(TextFile, AWholeFileIsWrittenWholeOrTheOldOneStaysWithTheCause) {
    writeHomeFile(QStringLiteral("Kept.txt"), QByteArray("old bytes\r\n"));
    ASSERT_TRUE(QFile::setPermissions(homeFile(QStringLiteral("Kept.txt")),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    writeHomeFile(QStringLiteral("Target.txt"), QByteArray("linked\r\n"));
    ASSERT_TRUE(QFile::link(homeFile(QStringLiteral("Target.txt")), homeFile(QStringLiteral("Link.txt"))));
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("Folder")));
    const QByteArray fresh(200, 'n');
    struct Case {
        const char* name;
        qint64 diskRoom;      // what fits, -1 for no limit
        QString cause;        // "" when written
        QByteArray after;     // the file's bytes afterwards; empty when it is not there
    } cases[] = {
        {"New.txt", -1, QString(), fresh},
        {"Kept.txt", 50, QStringLiteral("File too large"), QByteArray("old bytes\r\n")},
        {"Kept.txt", 0, QStringLiteral("File too large"), QByteArray("old bytes\r\n")},
        {"Kept.txt", -1, QString(), fresh},
        {"Link.txt", 50, QStringLiteral("File too large"), QByteArray("linked\r\n")},
        {"Link.txt", -1, QString(), fresh},
        {"Other.txt", 50, QStringLiteral("File too large"), QByteArray()},
        {"Missing/New.txt", -1, QStringLiteral("No such file or directory"), QByteArray()},
        {"Folder", -1, QStringLiteral("it is not a regular file"), QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = homeFile(QString::fromLatin1(c.name));
        QString cause;
        {
            std::optional<FileSizeLimit> disk;
            if (c.diskRoom >= 0) disk.emplace(c.diskRoom);
            cause = writeWholeFile(path, fresh);
        }
        EXPECT_EQ(cause, c.cause);
        if (QFileInfo(path).isDir()) {
            EXPECT_TRUE(QDir(path).isEmpty());
        } else {
            EXPECT_EQ(readHomeFile(QString::fromLatin1(c.name)), c.after);
            EXPECT_EQ(QFileInfo::exists(path), !c.after.isEmpty());
        }
        EXPECT_EQ(filesStartingWith(home(), QStringLiteral(".")), QStringList());
    }
    // The replaced file keeps who may read it, and the link stays a link.
    struct stat kept = {};
    ASSERT_EQ(::stat(QFile::encodeName(homeFile(QStringLiteral("Kept.txt"))).constData(), &kept), 0);
    EXPECT_EQ(kept.st_mode & 0777, 0640u);
    EXPECT_TRUE(QFileInfo(homeFile(QStringLiteral("Link.txt"))).isSymLink());
    EXPECT_EQ(readHomeFile(QStringLiteral("Target.txt")), fresh);

    // A file made read-only (a settings file locked by the administrator) is
    // refused to a user who may not write it, though the folder would let a new
    // file take its place. Root may write any file: the write is then made as
    // an ordinary user, in a child process.
    const QString locked = homeFile(QStringLiteral("Locked.txt"));
    writeHomeFile(QStringLiteral("Locked.txt"), QByteArray("locked\r\n"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const auto refused = [&] { return writeWholeFile(locked, fresh) == QStringLiteral("Permission denied"); };
    if (::geteuid() != 0) {
        EXPECT_TRUE(refused());
    } else {
        constexpr uid_t kNobody = 65534;
        ASSERT_EQ(::chown(QFile::encodeName(home()).constData(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(QFile::encodeName(locked).constData(), kNobody, kNobody), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && refused() ? 0 : 1);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(readHomeFile(QStringLiteral("Locked.txt")), QByteArray("locked\r\n"));
    EXPECT_EQ(filesStartingWith(home(), QStringLiteral(".")), QStringList());
}
