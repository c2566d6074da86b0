// Reading hand-written dot-comment files and the file checks before opening.
#include "common/modFile.h"
#include "tests/support/StationTest.h"
#include <QDir>

namespace {
class DotFileTest : public StationTest {
protected:
    QStringList read(const QByteArray& iBytes, bool iBlankAsSpace, QString& ioTitle) {
        writeHomeFile(QStringLiteral("prompt.txt"), iBytes);
        QStringList lines;
        gFileReadDotArray(homeFile(QStringLiteral("prompt.txt")), iBlankAsSpace, lines, ioTitle);
        return lines;
    }
};

TEST_F(DotFileTest, CommentsTitleEscapesAndBlankModesWithEveryLineEnding) {
    for (const char* eol : {"\r\n", "\r", "\n"}) {
        const QByteArray e(eol);
        const QByteArray file = ".Title" + e + "a" + e + ".a remark" + e + "..b" + e + e + "c" + e;
        QString title = QStringLiteral("unchanged");
        EXPECT_EQ(read(file, false, title), (QStringList{"", "a", ".b", "c"})) << "eol " << int(eol[0]);
        EXPECT_EQ(title, "Title");
        EXPECT_EQ(read(file, true, title), (QStringList{"", "a", ".b", " ", "c"}));
    }
    // Mixed endings in one file, and a last line without any ending.
    QString title;
    EXPECT_EQ(read("a\r\nb\rc\nd", false, title), (QStringList{"", "a", "b", "c", "d"}));
}

TEST_F(DotFileTest, TitleOnlyMissingFileAndBlankFirstLine) {
    QString title = QStringLiteral("kept");
    EXPECT_EQ(read(".Only a title\r\n", false, title), QStringList{""});
    EXPECT_EQ(title, "Only a title");

    title = QStringLiteral("kept");
    QStringList lines{"junk"};
    gFileReadDotArray(homeFile(QStringLiteral("missing.txt")), true, lines, title);
    EXPECT_EQ(lines, QStringList{""});
    EXPECT_EQ(title, "kept");

    for (bool blankAsSpace : {false, true}) {
        EXPECT_EQ(read("\r\nx\r\n", blankAsSpace, title), (QStringList{"", "", "x"}));
    }
    // A first line "..x" is a title beginning with a dot.
    read("..dotted\r\ny\r\n", false, title);
    EXPECT_EQ(title, ".dotted");
    // A file ending in comments adds nothing for them.
    EXPECT_EQ(read("a\r\n.one\r\n.two\r\n", false, title), (QStringList{"", "a"}));
}

TEST_F(DotFileTest, HandWrittenTextDecodesAsUtf8OrWindows1252) {
    QString title;
    EXPECT_EQ(read("Lautsprecher f\xc3\xbcr Test\r\n", false, title).at(1), QString::fromUtf8("Lautsprecher f\xc3\xbcr Test"));
    EXPECT_EQ(read("Lautsprecher f\xfcr Test\r\n", false, title).at(1), QString::fromUtf8("Lautsprecher f\xc3\xbcr Test"));
}

TEST_F(DotFileTest, FileChecksReportOnlyWhenATitleIsGiven) {
    bool err = false;
    EXPECT_EQ(gnFileExistsOpen(QStringLiteral("Scripts/none.txt"), QStringLiteral("   "), err), 0);
    EXPECT_TRUE(boxes().isEmpty());

    answer({vbOK});
    EXPECT_FALSE(gbFileExistsReportIfNot(QStringLiteral("none.txt"), QStringLiteral("Label script"), err));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "File 'none.txt' does not exist ");
    EXPECT_EQ(boxes()[0].title, "Label script");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_FALSE(err);

    writeHomeFile(QStringLiteral("Model A.txt"), "one\r\ntwo\r\n");
    EXPECT_TRUE(gbFileExists(QStringLiteral("Model*.txt"), err));
    EXPECT_TRUE(gbFileExists(QStringLiteral("model a.TXT"), err));   // names as the folder search matches them
    QDir(home()).mkdir(QStringLiteral("Folder.txt"));
    EXPECT_FALSE(gbFileExists(QStringLiteral("Folder.txt"), err));
    writeHomeFile(QStringLiteral(".hidden.txt"), "x");
    EXPECT_FALSE(gbFileExists(QStringLiteral(".hidden.txt"), err));

    // Brackets in a name stand for themselves: never another sequence's file.
    writeHomeFile(QStringLiteral("Woofer1.txt"), "other\r\n");
    EXPECT_EQ(gnFileExistsOpen(QStringLiteral("Woofer[1].txt"), QString(), err), 0);
    writeHomeFile(QStringLiteral("Woofer [8in].txt"), "mine\r\n");
    EXPECT_TRUE(gbFileExists(QStringLiteral("Woofer [8in].txt"), err));

    const int fn = gnFileExistsOpen(QStringLiteral("model a.txt"), QStringLiteral("t"), err);
    ASSERT_GT(fn, 0);
    EXPECT_EQ(textFileLineInput(fn), "one");
    EXPECT_EQ(textFileLineInput(fn), "two");
    EXPECT_TRUE(textFileEOF(fn));
    textFileClose(fn);
    EXPECT_FALSE(err);
}
}
