// The due rule and the text that says when a calibration falls due, in an
// English and a German locale.
#include "platform/vb/DateTime.h"
#include "station/CalibrationDue.h"
#include "tests/support/StationTest.h"

namespace {
// Monday 7 December 2026, 09:00.
const double kNow = vbDateSerial(2026, 12, 7) + vbTimeSerial(9, 0, 0);
const double kSecond = 1.0 / 86400.0;

class CalibrationDueTest : public StationTest {};

TEST_F(CalibrationDueTest, DueWhenNeverCalibratedOrStrictlyPastTheInterval) {
    const double yesterday8 = vbDateSerial(2026, 12, 6) + vbTimeSerial(8, 0, 0);
    struct Case {
        const char* what;
        double last;
        double eTime;
        double now;
        bool due;
    } cases[] = {
        {"never calibrated", 0.0, 1.0, kNow, true},
        {"never calibrated, never expires", 0.0, 0.0, kNow, true},
        {"interval 0 never expires", vbDateSerial(2020, 1, 1), 0.0, kNow, false},
        {"negative interval never expires", vbDateSerial(2020, 1, 1), -2.0, kNow, false},
        {"within the interval", yesterday8, 1.5, kNow, false},
        {"due date is now", yesterday8, 1.0, yesterday8 + 1.0, false},
        {"due date built from hours is now", yesterday8, 1.5, vbDateSerial(2026, 12, 7) + vbTimeSerial(20, 0, 0), false},
        {"one second past", yesterday8, 1.5, vbDateSerial(2026, 12, 7) + vbTimeSerial(20, 0, 1), true},
        {"a day past", yesterday8, 0.5, kNow, true},
    };
    for (const Case& c : cases) EXPECT_EQ(caliDue(c.last, c.eTime, c.now), c.due) << c.what;
}

TEST_F(CalibrationDueTest, TheDueDateReadsAsTimeWeekdayTomorrowOrDate) {
    const double yesterday8 = vbDateSerial(2026, 12, 6) + vbTimeSerial(8, 0, 0);
    struct Case {
        const char* what;
        double last;
        double eTime;
        const char* english;
        const char* german;
    } cases[] = {
        {"today", yesterday8, 1.5, "Calibration due 20:00", "Calibration due 20:00"},
        {"today, one second ahead", kNow - 1.0, 1.0 + kSecond, "Calibration due 09:00", "Calibration due 09:00"},
        {"tomorrow early", kNow, 15.0 / 24.0 + 0.5 / 24.0, "Calibration due tomorrow", "Calibration due tomorrow"},
        {"tomorrow", kNow, 1.0, "Calibration due tomorrow", "Calibration due tomorrow"},
        {"two days ahead", kNow, 2.0, "Calibration due Wednesday", "Calibration due Mittwoch"},
        {"day starts 7 days 15 hours ahead", kNow, 8.0, "Calibration due Tuesday", "Calibration due Dienstag"},
        {"day starts 8 days 15 hours ahead", kNow, 9.0, "Calibration due 16 Dec", "Calibration due 16 Dez."},
        {"twenty days ahead", kNow, 20.0, "Calibration due 27 Dec", "Calibration due 27 Dez."},
        {"next year", kNow, 40.0, "Calibration due 16 Jan", "Calibration due 16 Jan."},
    };
    for (const Case& c : cases) {
        setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
        EXPECT_EQ(caliDueWhenText(c.last, c.eTime, kNow), QString::fromUtf8(c.english)) << c.what;
        setLocale(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(caliDueWhenText(c.last, c.eTime, kNow), QString::fromUtf8(c.german)) << c.what;
    }
}
}   // namespace
