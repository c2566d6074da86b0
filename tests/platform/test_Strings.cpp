#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"
#include <QSet>
#include "tests/support/StationTest.h"
#include <gtest/gtest.h>

TEST(Strings, PositionsCountFromOne) {
    const QString s = QStringLiteral("abcdef");
    EXPECT_EQ(Left(s, 0), QString());
    EXPECT_EQ(Left(s, 2), QStringLiteral("ab"));
    EXPECT_EQ(Left(s, 99), s);
    EXPECT_EQ(Right(s, 2), QStringLiteral("ef"));
    EXPECT_EQ(Right(s, 99), s);
    EXPECT_EQ(Mid(s, 1), s);
    EXPECT_EQ(Mid(s, 2, 3), QStringLiteral("bcd"));
    EXPECT_EQ(Mid(s, 5, 10), QStringLiteral("ef"));
    EXPECT_EQ(Mid(s, 7), QString());
    EXPECT_EQ(Mid(s, 3, 0), QString());
    EXPECT_EQ(InStr(s, QStringLiteral("c")), 3);
    EXPECT_EQ(InStr(QStringLiteral("abcabc"), QStringLiteral("bc")), 2);
    EXPECT_EQ(InStr(4, QStringLiteral("abcabc"), QStringLiteral("bc")), 5);
    EXPECT_EQ(InStr(s, QStringLiteral("x")), 0);
    EXPECT_EQ(InStr(s, QStringLiteral("C")), 0);   // exact comparison
    EXPECT_EQ(InStr(s, QString()), 1);
    EXPECT_EQ(InStr(3, s, QString()), 3);
    EXPECT_EQ(InStr(QString(), QString()), 0);
    EXPECT_EQ(InStr(10, s, QStringLiteral("a")), 0);
    EXPECT_EQ(InStrRev(QStringLiteral("a.b.c"), QStringLiteral(".")), 4);
    EXPECT_EQ(InStrRev(QStringLiteral("abc"), QStringLiteral(".")), 0);
    EXPECT_EQ(Len(s), 6);
}

TEST(Strings, PositionsBelowOneAreInvalidCalls) {
    const QString s = QStringLiteral("abc");
    EXPECT_EQ(errorOf([&] { Left(s, -1); }), vberr::kInvalidCall);
    EXPECT_EQ(errorOf([&] { Right(s, -1); }), vberr::kInvalidCall);
    EXPECT_EQ(errorOf([&] { Mid(s, 0); }), vberr::kInvalidCall);
    EXPECT_EQ(errorOf([&] { Mid(s, 1, -2); }), vberr::kInvalidCall);
    EXPECT_EQ(errorOf([&] { InStr(0, s, QStringLiteral("a")); }), vberr::kInvalidCall);
    EXPECT_EQ(errorOf([&] { Space(-1); }), vberr::kInvalidCall);
}

TEST(Strings, TrimRemovesSpacesOnly) {
    EXPECT_EQ(Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(Trim(QStringLiteral("\t a \r\n")), QStringLiteral("\t a \r\n"));
    EXPECT_EQ(LTrim(QStringLiteral("  a ")), QStringLiteral("a "));
    EXPECT_EQ(RTrim(QStringLiteral("  a ")), QStringLiteral("  a"));
    EXPECT_EQ(Trim(QStringLiteral("   ")), QString());
    EXPECT_EQ(Space(3), QStringLiteral("   "));
    EXPECT_EQ(UCase(QStringLiteral("aBc1é")), QStringLiteral("ABC1É"));
    EXPECT_EQ(LCase(QStringLiteral("aBc1É")), QStringLiteral("abc1é"));
}

TEST(Strings, Windows1252RoundTripsEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString text = fromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toAnsi(text), all);
    EXPECT_TRUE(isAnsiEncodable(text));
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(Chr(b), text.mid(b, 1)) << b;
        EXPECT_EQ(Asc(Chr(b)), b) << b;
    }
    // The 256 bytes are 256 different characters.
    QSet<QChar> distinct(text.begin(), text.end());
    EXPECT_EQ(distinct.size(), 256);
}

TEST(Strings, Windows1252CharactersAndOutsiders) {
    EXPECT_EQ(Chr(128), QStringLiteral("€"));
    EXPECT_EQ(Asc(QStringLiteral("€")), 128);
    EXPECT_EQ(Chr(0x9F), QStringLiteral("Ÿ"));
    EXPECT_EQ(Chr(0xE9), QStringLiteral("é"));
    EXPECT_EQ(Asc(QStringLiteral("Abc")), 65);
    EXPECT_EQ(fromAnsi(QByteArray("\x93ok\x94")), QStringLiteral("“ok”"));
    EXPECT_EQ(toAnsi(QStringLiteral("a日b")), QByteArray("a?b"));
    EXPECT_EQ(Asc(QStringLiteral("日")), '?');
    EXPECT_EQ(ansiCode(QChar(0x65E5)), -1);
    EXPECT_FALSE(isAnsiEncodable(QStringLiteral("Ω")));
    EXPECT_EQ(errorOf([] { Chr(256); }), vberr::kInvalidCall);
    EXPECT_EQ(errorOf([] { Chr(-1); }), vberr::kInvalidCall);
    EXPECT_EQ(errorOf([] { Asc(QString()); }), vberr::kInvalidCall);
}
