// The station settings file as a new station, an engineer and a damaged file meet it.
#include "common/modVarSystemParams.h"
#include "tests/support/StationTest.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
class SystemParamsTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsStationName.clear();
        gsPasswordEng.clear();
        gsPasswordSuper.clear();
        gbVarSysParam4 = gbAudioPrompts = gbOpFailCheck = false;
        gnOpTimeOut = gnDigPort = 7;
    }
};

TEST_F(SystemParamsTest, NewStationGetsOneMessageDefaultsAndTheFile) {
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("Vexo_Sys.txt"))));   // a new station has none yet
    bool err = false;
    answer({vbOK});
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "File 'Vexo_Sys.txt' does not exist ");
    EXPECT_EQ(boxes()[0].title, "Setting System defaults ...");
    EXPECT_EQ(readHomeFile(QStringLiteral("Vexo_Sys.txt")),
              QByteArray("Pelmo Towers\r\n\r\n\r\nTrue\r\nTrue\r\n\r\n0\r\n0\r\n \r\n0\r\nTrue\r\n"));
    EXPECT_EQ(gsStationName, "Pelmo Towers");
    EXPECT_TRUE(gbAudioPrompts && gbOpFailCheck && gbVarSysParam4);
    EXPECT_EQ(gnOpTimeOut, 0);
    EXPECT_EQ(gnDigPort, 0);
}

// A new station in a full folder: the settings file that cannot be written is
// reported, naming it and the cause, and not left behind empty (which every
// later start would read past its end, with the passwords gone); the next
// start with room writes it.
TEST_F(SystemParamsTest, ANewStationInAFullFolderLeavesNoEmptyFileAndSaysWhy) {
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("Vexo_Sys.txt"))));   // a new station has none yet
    bool err = false;
    answer({vbOK, vbAbort});   // the missing file's notice, then the write's error
    {
        FileSizeLimit disk(0);
        gVarSystemParamsRead(err);
    }
    EXPECT_TRUE(err);
    QStringList prompts;
    for (const MsgBoxCall& b : boxes()) prompts << b.prompt;
    EXPECT_EQ(prompts, (QStringList{"File 'Vexo_Sys.txt' does not exist ",
                                    "Source: modVarSystemParams.gVarSystemParamsWrite.10\r\n\r\n"
                                    "Path/File access error (Vexo_Sys.txt): File too large"}));
    EXPECT_FALSE(QFileInfo::exists(homeFile(QStringLiteral("Vexo_Sys.txt"))));
    EXPECT_EQ(filesStartingWith(home(), QStringLiteral(".Vexo_Sys")), QStringList());
    EXPECT_EQ(gsStationName, "Pelmo Towers");

    clearBoxes();
    err = false;
    answer({vbOK});
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "File 'Vexo_Sys.txt' does not exist ");
    EXPECT_EQ(readHomeFile(QStringLiteral("Vexo_Sys.txt")),
              QByteArray("Pelmo Towers\r\n\r\n\r\nTrue\r\nTrue\r\n\r\n0\r\n0\r\n \r\n0\r\nTrue\r\n"));
}

TEST_F(SystemParamsTest, ValuesAndScrambledPasswordsRoundTrip) {
    gsStationName = QString::fromUtf8("Line 3 \xe2\x82\xac");
    gsPasswordEng = QStringLiteral("Woofer!");
    gsPasswordSuper = QString::fromUtf8("s\xc3\xa9" "cret");
    gbVarSysParam4 = false;
    gbAudioPrompts = false;
    gnOpTimeOut = 15;
    gnDigPort = 2;
    gbOpFailCheck = false;
    bool err = false;
    gVarSystemParamsWrite(err);
    ASSERT_FALSE(err);
    const QByteArray bytes = readHomeFile(QStringLiteral("Vexo_Sys.txt"));
    // Passwords are stored with bit 7 toggled, byte by byte in Windows-1252.
    EXPECT_TRUE(bytes.startsWith("Line 3 \x80\r\n\xd7\xef\xef\xe6\xe5\xf2\xa1\r\n\xf3\x69\xe3\xf2\xe5\xf4\r\nFalse\r\nFalse\r\n\r\n15\r\n0\r\n \r\n2\r\nFalse\r\n"));

    gsStationName.clear();
    gsPasswordEng.clear();
    gsPasswordSuper.clear();
    gnOpTimeOut = 0;
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(gsStationName, QString::fromUtf8("Line 3 \xe2\x82\xac"));
    EXPECT_EQ(gsPasswordEng, "Woofer!");
    EXPECT_EQ(gsPasswordSuper, QString::fromUtf8("s\xc3\xa9" "cret"));
    EXPECT_EQ(gnOpTimeOut, 15);
    EXPECT_EQ(gnDigPort, 2);
    EXPECT_FALSE(gbOpFailCheck);
    // Writing what was read gives the same bytes.
    gVarSystemParamsWrite(err);
    EXPECT_EQ(readHomeFile(QStringLiteral("Vexo_Sys.txt")), bytes);
}

TEST_F(SystemParamsTest, ExtraLinesAreIgnoredAndEmptyPasswordsStayEmpty) {
    writeHomeFile(QStringLiteral("Vexo_Sys.txt"), "Bench 1\r\n\r\n\r\nTrue\r\nFalse\r\n\r\n5\r\n0\r\n \r\n1\r\nTrue\r\nextra\r\nmore\r\n");
    gsPasswordEng = QStringLiteral("stale");
    bool err = false;
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    EXPECT_EQ(gsStationName, "Bench 1");
    EXPECT_EQ(gsPasswordEng, "");
    EXPECT_FALSE(gbAudioPrompts);
    EXPECT_EQ(gnOpTimeOut, 5);
    EXPECT_EQ(gnDigPort, 1);
}

TEST_F(SystemParamsTest, ShortOrDamagedFileIsATrappedError) {
    writeHomeFile(QStringLiteral("Vexo_Sys.txt"), "Bench 1\r\n\r\n\r\nTrue\r\nTrue\r\n\r\n");
    bool err = false;
    answer({vbAbort, vbNo});
    gVarSystemParamsRead(err);
    EXPECT_TRUE(err);
    ASSERT_GE(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Error!");
    EXPECT_EQ(boxes()[0].prompt, "Source: modVarSystemParams.gVarSystemParamsRead.80\r\n\r\nInput past end of file");
    EXPECT_EQ(gsStationName, "Bench 1");
    EXPECT_EQ(gnOpTimeOut, 0);   // not reached: the default, as for a missing file
    EXPECT_EQ(gnDigPort, 0);
    EXPECT_TRUE(gbOpFailCheck);

    // A line that does not convert: Ignore goes on with the next line.
    writeHomeFile(QStringLiteral("Vexo_Sys.txt"), "B\r\n\r\n\r\nTrue\r\nTrue\r\n\r\nseven\r\n0\r\n \r\n2\r\nFalse\r\n");
    err = false;
    clearBoxes();
    answer({vbIgnore});
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.endsWith("Type mismatch"));
    EXPECT_EQ(gnDigPort, 2);
    EXPECT_FALSE(gbOpFailCheck);
}

TEST_F(SystemParamsTest, APasswordThatCannotBeStoredIsRefusedAndTheOldFileKept) {
    bool err = false;
    gsPasswordEng = QStringLiteral("good");
    gVarSystemParamsWrite(err);
    const QByteArray before = readHomeFile(QStringLiteral("Vexo_Sys.txt"));

    gsPasswordEng = QString::fromUtf8("bad\xc5\xa0");   // Š is 138 in 1252: scrambles to a line feed
    answer({vbOK});
    gVarSystemParamsWrite(err);
    EXPECT_TRUE(err);
    EXPECT_EQ(readHomeFile(QStringLiteral("Vexo_Sys.txt")), before);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.contains(QString::fromUtf8("'\xc5\xa0'")));
    EXPECT_EQ(boxes()[0].icon, vbExclamation);

    // A character with no Windows-1252 code at all is refused the same way.
    err = false;
    gsPasswordEng = QString::fromUtf8("\xe6\x97\xa5");
    answer({vbOK});
    gVarSystemParamsWrite(err);
    EXPECT_TRUE(err);
    EXPECT_EQ(readHomeFile(QStringLiteral("Vexo_Sys.txt")), before);
}

TEST_F(SystemParamsTest, AFileCopiedInAnotherLetterCaseIsTheOneWrittenBack) {
    // The station's file is the one copied in.
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("Vexo_Sys.txt"))));
    writeHomeFile(QStringLiteral("VEXO_SYS.TXT"), "Line 1\r\n\r\n\r\nTrue\r\nTrue\r\n\r\n0\r\n0\r\n \r\n0\r\nTrue\r\n");
    bool err = false;
    gVarSystemParamsRead(err);
    EXPECT_EQ(gsStationName, "Line 1");
    gsStationName = QStringLiteral("Line 7");
    gVarSystemParamsWrite(err);
    gsStationName.clear();
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    EXPECT_EQ(gsStationName, "Line 7");
    EXPECT_EQ(QDir(home()).entryList({QStringLiteral("vexo_sys.txt")}, QDir::Files), QStringList{"VEXO_SYS.TXT"});
}

TEST_F(SystemParamsTest, AStationNameTheFileCannotHoldIsRefused) {
    bool err = false;
    gsStationName = QStringLiteral("Line 1");
    gVarSystemParamsWrite(err);
    const QByteArray before = readHomeFile(QStringLiteral("Vexo_Sys.txt"));
    gsStationName = QString::fromUtf8("\xc5\x81\xc3\xb3" "d\xc5\xba 2");
    answer({vbOK});
    gVarSystemParamsWrite(err);
    EXPECT_TRUE(err);
    EXPECT_EQ(readHomeFile(QStringLiteral("Vexo_Sys.txt")), before);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith(QString::fromUtf8("The station name contains the character '\xc5\x81'")));
}

TEST_F(SystemParamsTest, AStoredLineThatUnscramblesBadlyReadsAsEmptyWithTheRoutinesMessage) {
    writeHomeFile(QStringLiteral("Vexo_Sys.txt"), "B\r\n\x88x\r\n\r\nTrue\r\nTrue\r\n\r\n0\r\n0\r\n \r\n0\r\nTrue\r\n");
    bool err = false;
    answer({vbOK});
    gVarSystemParamsRead(err);
    EXPECT_FALSE(err);
    EXPECT_EQ(gsPasswordEng, "");
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Invalid character ASCII(8) in input string!");
    EXPECT_EQ(boxes()[0].title, "modStringEncryptDecrypt.gsStringEncryptDecrypt");
}

// A settings file that is there but cannot be opened, given up on: the
// station goes on with the defaults (never an empty station name) and the
// file is left as it is.
TEST_F(SystemParamsTest, AFileThatCannotBeOpenedLeavesTheDefaults) {
    // Unreadable to its user; the administrator reads any file, but not a
    // write-only kernel attribute.
    const QString path = QDir(home()).filePath(QStringLiteral("Vexo_Sys.txt"));
    writeHomeFile(QStringLiteral("Vexo_Sys.txt"), "Bench 1\r\n");
    QFile::setPermissions(path, QFileDevice::Permissions());
    if (QFile(path).open(QIODevice::ReadOnly)) {
        QFile::remove(path);
        QFile::link(QStringLiteral("/sys/bus/pci/drivers_probe"), path);
    }
    if (!QFileInfo(path).isFile() || QFile(path).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no file here that cannot be opened";
    bool err = false;
    answer({vbAbort, vbNo});
    gVarSystemParamsRead(err);
    EXPECT_TRUE(err);
    ASSERT_GE(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Error!");
    EXPECT_EQ(gsStationName, "Pelmo Towers");
    EXPECT_TRUE(gbAudioPrompts && gbOpFailCheck && gbVarSysParam4);
    EXPECT_EQ(gnOpTimeOut, 0);
    EXPECT_EQ(gnDigPort, 0);
    EXPECT_TRUE(boxes()[0].prompt.contains("Path/File access error")) << boxes()[0].prompt.toStdString();
}
}
