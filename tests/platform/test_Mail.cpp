#include "platform/os/Mail.h"
#include "tests/support/StationTest.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {
QString header(const QByteArray& iMessage, const QString& iName) {
    const QString text = QString::fromUtf8(iMessage.left(iMessage.indexOf("\n\n")));
    const QRegularExpression re(QStringLiteral("^%1: (.*(?:\\n .*)*)$").arg(iName),
                                QRegularExpression::MultilineOption);
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(1) : QString();
}

QByteArray body(const QByteArray& iMessage) { return iMessage.mid(iMessage.indexOf("\n\n") + 2); }

// Decodes the RFC 2047 words of a header value.
QString decodeWords(const QString& iValue) {
    QString out;
    const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]*)\\?="));
    QByteArray bytes;
    for (auto it = word.globalMatch(iValue); it.hasNext();)
        bytes += QByteArray::fromBase64(it.next().captured(1).toLatin1());
    return QString::fromUtf8(bytes);
}
}

class Mail : public StationTest {
protected:
    void TearDown() override {
        endOfScript();
        qunsetenv("VEXO_SENDMAIL");
        StationTest::TearDown();
    }
    // A stand-in sendmail that keeps its input and arguments in the program folder.
    QString script(int iExitCode) {
        const QString path = homeFile(QStringLiteral("sendmail.sh"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\ncat > '%1'\necho \"$@\" > '%2'\nexit %3\n")
                    .arg(homeFile(QStringLiteral("mail.out")), homeFile(QStringLiteral("args.out")))
                    .arg(iExitCode)
                    .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
};

TEST_F(Mail, MessageHasHeadersAndANormalisedBody) {
    const QByteArray m = composeMailMessage(QStringLiteral("line@example.com"), QStringLiteral("Unit 42 FAIL"),
                                            QStringLiteral("first\r\nsecond\rthird\n.\n..\nend"));
    EXPECT_EQ(header(m, "To"), QStringLiteral("line@example.com"));
    EXPECT_EQ(header(m, "Subject"), QStringLiteral("Unit 42 FAIL"));
    EXPECT_EQ(header(m, "Content-Type"), QStringLiteral("text/plain; charset=UTF-8"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^(\\w{3}, )?\\d{2} \\w{3} \\d{4} \\d{2}:\\d{2}:\\d{2} [+-]\\d{4}$"))
                    .match(header(m, "Date")).hasMatch())
        << header(m, "Date").toStdString();
    EXPECT_FALSE(m.contains('\r'));
    EXPECT_EQ(body(m), QByteArray("first\nsecond\nthird\n.\n..\nend\n"));
}

TEST_F(Mail, NonAsciiSubjectIsEncoded) {
    const QString subject = QStringLiteral("Prüfung fehlgeschlagen – Linie 3");
    const QByteArray m = composeMailMessage(QStringLiteral("a@b.c"), subject, QStringLiteral("Grüße"));
    const QString value = header(m, "Subject");
    EXPECT_TRUE(value.startsWith(QStringLiteral("=?UTF-8?B?")));
    EXPECT_EQ(decodeWords(value), subject);
    EXPECT_TRUE(body(m).startsWith("Gr\xC3\xBC\xC3\x9F" "e"));
    for (const QByteArray& line : m.split('\n')) EXPECT_TRUE(line.size() <= 998);
}

TEST_F(Mail, LongSubjectIsFoldedIntoShortWords) {
    QString subject;
    for (int i = 0; i < 40; ++i) subject += QStringLiteral("Ü€ ");
    subject += QStringLiteral("😀 end");
    const QString value = header(composeMailMessage(QStringLiteral("a@b.c"), subject, QString()), "Subject");
    const QRegularExpression word(QStringLiteral("=\\?[^?]*\\?B\\?[^?]*\\?="));
    int words = 0;
    for (auto it = word.globalMatch(value); it.hasNext(); ++words) EXPECT_LE(it.next().capturedLength(), 75);
    EXPECT_GT(words, 1);
    EXPECT_EQ(decodeWords(value), subject);
}

TEST_F(Mail, HeaderValuesCannotAddHeaders) {
    const QByteArray m = composeMailMessage(QStringLiteral("a@b.c\r\nBcc: evil@example.com"),
                                            QStringLiteral("x\nBcc: evil@example.com"), QStringLiteral("body"));
    EXPECT_EQ(header(m, "Bcc"), QString());
    EXPECT_FALSE(m.left(m.indexOf("\n\n")).contains("\nBcc:"));
}

TEST_F(Mail, DeliveredThroughSendmail) {
    qputenv("VEXO_SENDMAIL", script(0).toLocal8Bit());
    QString reason;
    ASSERT_TRUE(sendMailMessage(QStringLiteral("qa@example.com"), QStringLiteral("Daily report"),
                                QStringLiteral("Tested 120\r\nFailed 3"), reason))
        << reason.toStdString();
    const QByteArray sent = readHomeFile(QStringLiteral("mail.out"));
    EXPECT_EQ(header(sent, "To"), QStringLiteral("qa@example.com"));
    EXPECT_EQ(header(sent, "Subject"), QStringLiteral("Daily report"));
    EXPECT_EQ(body(sent), QByteArray("Tested 120\nFailed 3\n"));
    EXPECT_EQ(readHomeFile(QStringLiteral("args.out")), QByteArray("-t -i\n"));
}

TEST_F(Mail, FailuresAreReportedAsFailures) {
    QString reason;
    qputenv("VEXO_SENDMAIL", script(1).toLocal8Bit());
    EXPECT_FALSE(sendMailMessage(QStringLiteral("a@b.c"), QStringLiteral("s"), QStringLiteral("b"), reason));
    EXPECT_FALSE(reason.isEmpty());

    reason.clear();
    qputenv("VEXO_SENDMAIL", homeFile(QStringLiteral("no-such-sendmail")).toLocal8Bit());
    EXPECT_FALSE(sendMailMessage(QStringLiteral("a@b.c"), QStringLiteral("s"), QStringLiteral("b"), reason));
    EXPECT_FALSE(reason.isEmpty());

    reason.clear();
    writeHomeFile(QStringLiteral("not-executable"), QByteArray("#!/bin/sh\nexit 0\n"));
    qputenv("VEXO_SENDMAIL", homeFile(QStringLiteral("not-executable")).toLocal8Bit());
    EXPECT_FALSE(sendMailMessage(QStringLiteral("a@b.c"), QStringLiteral("s"), QStringLiteral("b"), reason));
    EXPECT_FALSE(reason.isEmpty());
}
