// The central error handler as a routine's user meets it: the box, the log
// entry, the three answers and the bug-report offer.
#include "common/ErrorTrap.h"
#include <vector>
#include "common/modErrorHandler.h"
#include "common/modGeneral.h"
#include "platform/os/Settings.h"
#include "platform/vb/Conversions.h"
#include "tests/support/StationTest.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <stdexcept>

namespace {
class ErrorHandlerTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsOSVersion = QStringLiteral("Linux v6.1 Build 0 Debian GNU/Linux 12 (bookworm)");
        gsUserRegionCode = QStringLiteral("GB");
        gsErrorContext.clear();
        setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 58, 46)));
    }
    QByteArray log() const { return readHomeFile(QStringLiteral("Vexo.log")); }

    // A routine with three numbered steps; step 20 fails while `failures` lasts.
    int runRoutine(int failures, bool& obError, int* ranStep30 = nullptr) {
        ErrorTrap trap("modTest", "gTestRoutine", obError);
        int attempts = 0;
        if (!trap(10, [&] {})) return attempts;
        if (!trap(20, [&] { ++attempts; if (failures-- > 0) CInt(40000.0); })) return attempts;
        if (!trap(30, [&] { if (ranStep30) ++*ranStep30; })) return attempts;
        return attempts;
    }
};

TEST_F(ErrorHandlerTest, LogEntryHasThreeLinesAndTheBoxNamesTheSource) {
    bool err = false;
    answer({vbIgnore});
    runRoutine(1, err);
    EXPECT_FALSE(err);
    EXPECT_EQ(log(), QByteArray("\"07/12/2026 10:58:46  Linux v6.1 Build 0 Debian GNU/Linux 12 (bookworm)  Locale: GB\r\n"
                                "Vexo v1.000  modTest.gTestRoutine.20\r\n"
                                "DllError: 0  ErrNo: 6  Overflow\r\n"
                                "\"\r\n"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Error!");
    EXPECT_EQ(boxes()[0].prompt, "Source: modTest.gTestRoutine.20\r\n\r\nOverflow");
    EXPECT_EQ(boxes()[0].answers, (QList<int>{vbAbort, vbRetry, vbIgnore}));
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_EQ(boxes()[0].defaultAnswer, vbRetry);
}

TEST_F(ErrorHandlerTest, ContextAddsAFourthLineToEveryLaterEntry) {
    gsErrorContext = QStringLiteral("Wave out: jig; Mixer: jig");
    bool err = false;
    answer({vbIgnore, vbIgnore});
    runRoutine(1, err);
    runRoutine(1, err);
    const QByteArray entry4 = "DllError: 0  ErrNo: 6  Overflow\r\nWave out: jig; Mixer: jig\r\n\"\r\n";
    EXPECT_EQ(log().count(entry4), 2);
}

TEST_F(ErrorHandlerTest, DefaultButtonIsIgnoreOnlyForTheStationsOwnErrorNumber) {
    bool err = false;
    answer({vbIgnore, vbIgnore, vbIgnore});
    for (long number : {vberr::kUserBase, vberr::kUserBase + 1, 5L}) {
        ErrorTrap trap("modTest", "gRaise", err);
        trap(10, [&] { vbRaise(number, QStringLiteral("own")); });
    }
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_EQ(boxes()[0].defaultAnswer, vbIgnore);
    EXPECT_EQ(boxes()[1].defaultAnswer, vbRetry);
    EXPECT_EQ(boxes()[2].defaultAnswer, vbRetry);
    EXPECT_TRUE(log().contains("ErrNo: -2147221504  own"));
}

TEST_F(ErrorHandlerTest, ForeignExceptionsAreReportedAsInternalErrors) {
    bool err = false;
    saveUserSetting(QStringLiteral("SendBugReports"), QStringLiteral("0"));
    answer({vbIgnore, vbIgnore, vbAbort});
    {
        ErrorTrap trap("modTest", "gLibrary", err);
        EXPECT_TRUE(trap(10, [] { throw std::runtime_error("map::at"); }));
        // An index past a list's end, in the library's words, is told as the station's own error.
        EXPECT_TRUE(trap(15, [] { (void)std::vector<int>(3).at(17); }));
    }
    EXPECT_FALSE(err);
    {
        ErrorTrap trap("modTest", "gForeign", err);
        EXPECT_FALSE(trap(20, [] { throw 42; }));
    }
    EXPECT_TRUE(err);
    ASSERT_EQ(boxes().size(), 3);
    // No library text reaches a box.
    EXPECT_EQ(boxes()[0].prompt, "Source: modTest.gLibrary.10\r\n\r\nInternal error");
    EXPECT_EQ(boxes()[1].prompt, "Source: modTest.gLibrary.15\r\n\r\nSubscript out of range");
    EXPECT_EQ(boxes()[2].prompt, "Source: modTest.gForeign.20\r\n\r\nInternal error");
    EXPECT_TRUE(log().contains("ErrNo: 51  Internal error"));
    EXPECT_TRUE(log().contains("ErrNo: 9  Subscript out of range"));
}

TEST_F(ErrorHandlerTest, RetryRunsTheStepAgainIgnoreGoesOnAbortStops) {
    bool err = false;
    int ran30 = 0;
    answer({vbRetry, vbRetry});          // fails twice, then succeeds
    EXPECT_EQ(runRoutine(2, err, &ran30), 3);
    EXPECT_FALSE(err);
    EXPECT_EQ(ran30, 1);
    EXPECT_EQ(log().count("modTest.gTestRoutine.20"), 2);

    ran30 = 0;
    answer({vbIgnore});
    EXPECT_EQ(runRoutine(1, err, &ran30), 1);
    EXPECT_FALSE(err);
    EXPECT_EQ(ran30, 1);

    ran30 = 0;
    saveUserSetting(QStringLiteral("SendBugReports"), QStringLiteral("0"));
    answer({vbAbort});
    runRoutine(1, err, &ran30);
    EXPECT_TRUE(err);
    EXPECT_EQ(ran30, 0);
}

TEST_F(ErrorHandlerTest, AbortTravelsUpTheCallersWithoutFurtherBoxes) {
    saveUserSetting(QStringLiteral("SendBugReports"), QStringLiteral("0"));
    auto inner = [&](bool& obError) { runRoutine(1, obError); };
    auto outer = [&](bool& obError, int& afterInner) {
        inner(obError);
        if (obError) return;
        ++afterInner;
    };
    bool err = false;
    int after = 0;
    answer({vbAbort});
    outer(err, after);
    EXPECT_TRUE(err);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(ErrorHandlerTest, BugReportOfferAfterAbortSendsTheLogTail) {
    // A capture script stands in for the system's mail program.
    const QString capture = homeFile(QStringLiteral("mail.out"));
    writeHomeFile(QStringLiteral("sendmail"), QStringLiteral("#!/bin/sh\ncat > '%1'\n").arg(capture).toUtf8());
    QFile::setPermissions(homeFile(QStringLiteral("sendmail")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("VEXO_SENDMAIL", homeFile(QStringLiteral("sendmail")).toLocal8Bit());

    // A log of 200 lines: lines 150 to 200 are sent.
    QByteArray lines;
    for (int i = 1; i <= 200; ++i) lines += "line " + QByteArray::number(i) + "\r\n";
    writeHomeFile(QStringLiteral("Vexo.log"), lines);
    ErrObject& e = Err();
    e.Number = 6;
    e.Description = QStringLiteral("Overflow");
    answer({vbAbort, vbYes});
    EXPECT_EQ(gnErrorHandler(QStringLiteral("modTest"), QStringLiteral("gX"), 10), vbAbort);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[1].prompt, "Would you like to email Pelmo a bug report?");
    EXPECT_EQ(boxes()[1].title, "EMail bug report?");
    EXPECT_EQ(boxes()[1].answers, (QList<int>{vbYes, vbNo}));
    EXPECT_EQ(boxes()[1].icon, vbQuestion);
    QFile f(capture);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray mail = f.readAll();
    EXPECT_TRUE(mail.contains("Subject: Bug Report Vexo v1.000\n"));
    // The log has 200 lines plus the new 4-line entry: the last 51 lines go.
    EXPECT_FALSE(mail.contains("line 153\n"));
    EXPECT_TRUE(mail.contains("line 154\nline 155\n"));
    EXPECT_TRUE(mail.contains("DllError: 0  ErrNo: 6  Overflow\n"));
    f.close();

    // A log grown past 16 MB: its end is still sent.
    QByteArray big(17 << 20, 'x');
    for (qsizetype i = 99; i < big.size(); i += 100) big[i] = '\n';
    big += "\r\n" + lines;
    writeHomeFile(QStringLiteral("Vexo.log"), big);
    QFile::remove(capture);
    answer({vbAbort, vbYes});
    EXPECT_EQ(gnErrorHandler(QStringLiteral("modTest"), QStringLiteral("gX"), 20), vbAbort);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bigMail = f.readAll();
    EXPECT_TRUE(bigMail.contains("line 154\nline 155\n")) << bigMail.left(300).toStdString();
    EXPECT_TRUE(bigMail.contains("modTest.gX.20"));
    qunsetenv("VEXO_SENDMAIL");
}

TEST_F(ErrorHandlerTest, ShortLogIsSentWholeAndTheOfferFollowsOnlyAbort) {
    const QString capture = homeFile(QStringLiteral("mail.out"));
    writeHomeFile(QStringLiteral("sendmail"), QStringLiteral("#!/bin/sh\ncat > '%1'\n").arg(capture).toUtf8());
    QFile::setPermissions(homeFile(QStringLiteral("sendmail")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("VEXO_SENDMAIL", homeFile(QStringLiteral("sendmail")).toLocal8Bit());
    QByteArray lines;
    for (int i = 1; i <= 26; ++i) lines += "line " + QByteArray::number(i) + "\r\n";
    writeHomeFile(QStringLiteral("Vexo.log"), lines);   // 26 + 4 = 30 lines after the entry

    Err().Number = 13;
    Err().Description = QStringLiteral("Type mismatch");
    answer({vbRetry, vbIgnore});
    gnErrorHandler(QStringLiteral("m"), QStringLiteral("r"), 1);
    gnErrorHandler(QStringLiteral("m"), QStringLiteral("r"), 1);
    EXPECT_EQ(boxes().size(), 2);   // no offer after Retry or Ignore

    writeHomeFile(QStringLiteral("Vexo.log"), lines);
    answer({vbAbort, vbYes});
    gnErrorHandler(QStringLiteral("m"), QStringLiteral("r"), 1);
    QFile f(capture);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray mail = f.readAll();
    EXPECT_TRUE(mail.contains("\nline 1\nline 2\n"));
    EXPECT_TRUE(mail.contains("Type mismatch\n\"\n"));
    qunsetenv("VEXO_SENDMAIL");
}

TEST_F(ErrorHandlerTest, NoSendmailShowsTheFailureOnceAndCarriesOn) {
    qputenv("VEXO_SENDMAIL", homeFile(QStringLiteral("no-such-program")).toLocal8Bit());
    gsMainCaption = QStringLiteral("Vexo v1.000");
    Err().Number = 6;
    Err().Description = QStringLiteral("Overflow");
    answer({vbAbort, vbYes, vbOK});
    EXPECT_EQ(gnErrorHandler(QStringLiteral("m"), QStringLiteral("r"), 1), vbAbort);
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_EQ(boxes()[2].prompt, "Error occurred sending email");
    EXPECT_EQ(boxes()[2].title, "Vexo v1.000");
    EXPECT_EQ(boxes()[2].icon, vbExclamation);
    qunsetenv("VEXO_SENDMAIL");
}

TEST_F(ErrorHandlerTest, AnUnwritableLogStillShowsTheErrorAndAnswers) {
    // A folder where the log should be: the log cannot be opened for appending.
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("Vexo.log")));
    Err().Number = 6;
    Err().Description = QStringLiteral("Overflow");
    answer({vbIgnore});
    EXPECT_EQ(gnErrorHandler(QStringLiteral("m"), QStringLiteral("r"), 7), vbIgnore);
    EXPECT_EQ(boxes().size(), 1);
}

TEST(VersionText, MajorAndRevisionWithThreeDigits) {
    EXPECT_EQ(gsVersion(), "v1.000");
}
}
