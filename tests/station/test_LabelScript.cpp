// The control codes of a label script: what each one prints for a unit, in
// either letter case, in an English and a German locale, and the counts and
// serial numbers that cannot be printed.
#include "platform/vb/DateTime.h"
#include "platform/vb/Locale.h"
#include "platform/vb/VbError.h"
#include "station/LabelScript.h"
#include "tests/support/StationTest.h"
#include <gtest/gtest.h>

namespace {
class LabelScriptCodes : public StationTest {
protected:
    static LabelUnit unit(const Variant& iSerial = Variant(int32_t{7})) {
        LabelUnit u;
        u.sSeqName = QStringLiteral("Bookshelf");
        u.vSerialNo = iSerial;
        u.sOperator = QStringLiteral("Alice");
        u.sCard = QStringLiteral("ES1371 AudioPCI");
        u.dNow = vbDateSerial(2026, 12, 6) + vbTimeSerial(9, 5, 7);
        return u;
    }
    static QString text(const QString& iCommand, const LabelUnit& iUnit = unit()) {
        return labelCodeText(iCommand, iUnit).sText;
    }
};

TEST_F(LabelScriptCodes, EachCodePrintsItsText) {
    struct Case {
        const char* command;
        QString printed;
    } cases[] = {
        {"SPACE3", "   "}, {"space3", "   "}, {"SPACE0", ""}, {"SPACE300", ""}, {"SPACE255", QString(255, ' ')},
        {"SPACE", ""},                        // no count: nothing
        {"CR2", "\r\n\r\n"}, {"CR0", "\r\n"}, {"CR-1", ""},
        {"CR", "\r\n"},                       // no count: one line end
        {"cr", "\r\n"},
        {"DATE", "6 December 2026"}, {"DATE dd mmm", "06 Dec"}, {"date DD MMM YY", "06 Dec 26"},
        {"DATE dddd", "Sunday"}, {"DATE d/m/yyyy", "6/12/2026"},
        {"DATE hh:mm", "09:05"},               // m after h: minutes
        {"DATE mm:ss", "12:07"},               // m before s: still the month
        {"DATE hh:nn:ss", "09:05:07"},
        {"TIME", "09:05"}, {"time", "09:05"},
        {"ID", "ES13"}, {"MODEL", "Bookshelf"}, {"OPERATOR", "Alice"}, {"operator", "Alice"},
        {"SERIAL", "7"}, {"PARTNER", "8"},
        {".", "."}, {"PLOT", ""}, {"FOO", ""}, {"IDX", ""}, {"SERIAL2", ""}, {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(text(QString::fromLatin1(c.command)), c.printed) << c.command;

    // Only PLOT beeps.
    EXPECT_TRUE(labelCodeText(QStringLiteral("PLOT"), unit()).bBeep);
    EXPECT_TRUE(labelCodeText(QStringLiteral("plot now"), unit()).bBeep);
    EXPECT_FALSE(labelCodeText(QStringLiteral("SERIAL"), unit()).bBeep);
    EXPECT_FALSE(labelCodeText(QStringLiteral("FOO"), unit()).bBeep);
}

TEST_F(LabelScriptCodes, ThePartnerIsTheOtherUnitOfThePair) {
    struct Case {
        int32_t serial;
        QString partner;
    } cases[] = {{7, "8"}, {8, "7"}, {0, "-1"}, {1, "2"}, {-3, "-2"}, {2147483646, "2147483645"}};
    for (const Case& c : cases) {
        EXPECT_EQ(text(QStringLiteral("PARTNER"), unit(Variant(c.serial))), c.partner) << c.serial;
        EXPECT_EQ(text(QStringLiteral("SERIAL"), unit(Variant(c.serial))), QString::number(c.serial));
    }
}

TEST_F(LabelScriptCodes, NamesFollowTheUsersLocale) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(text(QStringLiteral("DATE")), "6 Dezember 2026");
    EXPECT_EQ(text(QStringLiteral("DATE DDDD, D. MMMM")), "Sonntag, 6. Dezember");
    EXPECT_EQ(text(QStringLiteral("DATE dd/mm/yy")), "06.12.26");
    EXPECT_EQ(text(QStringLiteral("TIME")), "09:05");
}

TEST_F(LabelScriptCodes, CountsAndSerialNumbersThatCannotBePrintedRaise) {
    struct Case {
        QString command;
        Variant serial;
        long error;
    } cases[] = {
        {"SPACEX", Variant(int32_t{7}), vberr::kTypeMismatch},
        {"CR2X", Variant(int32_t{7}), vberr::kTypeMismatch},
        {"CR40000", Variant(int32_t{7}), vberr::kOverflow},
        {"SERIAL", Variant::null(), vberr::kInvalidUseOfNull},
        {"PARTNER", Variant::null(), vberr::kInvalidUseOfNull},
        {"PARTNER", Variant(int32_t{2147483647}), vberr::kOverflow},
    };
    for (const Case& c : cases) {
        try {
            labelCodeText(c.command, unit(c.serial));
            ADD_FAILURE() << c.command.toStdString() << " printed";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number, c.error) << c.command.toStdString();
        }
    }
}
}   // namespace
