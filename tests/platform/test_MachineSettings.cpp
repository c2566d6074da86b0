// The machine-wide settings store as an administrator writes it and the
// station reads it.
#include "platform/os/MachineSettings.h"
#include "tests/support/StationTest.h"
#include <QDir>
#include <QFile>

namespace {
class MachineSettingsTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        qputenv("VEXO_MACHINE_SETTINGS", homeFile(QStringLiteral("machine.ini")).toLocal8Bit());
    }
    void TearDown() override {
        endOfScript();
        qunsetenv("VEXO_MACHINE_SETTINGS");
        StationTest::TearDown();
    }
    QString read(const QString& iKey, const QString& iName, bool& oFound) {
        QString value = QStringLiteral("stale");
        oFound = machinesettings::readValue(iKey, iName, value);
        return value;
    }
};

TEST_F(MachineSettingsTest, KeyPathsAndValueNamesMatchWithoutRegardToCase) {
    writeHomeFile(QStringLiteral("machine.ini"),
                  "; where the tools are\r\n"
                  "[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                  "PATH = /usr/bin/hardinfo \r\n"
                  "[SOFTWARE/Microsoft/Shared Tools Location]\r\n"
                  "MSINFO=\" /opt/tools \"\r\n");
    bool found = false;
    EXPECT_EQ(read(QStringLiteral("software\\microsoft\\shared tools\\msinfo"), QStringLiteral("path"), found),
              "/usr/bin/hardinfo");
    EXPECT_TRUE(found);
    // "/" and "\" are one separator; quotes keep the blanks.
    EXPECT_EQ(read(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"), found),
              " /opt/tools ");
    EXPECT_TRUE(found);
    // A value of another key is not found, nor one under a key that is not there.
    EXPECT_EQ(read(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("PATH"), found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(read(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools"), QStringLiteral("PATH"), found), "");
    EXPECT_FALSE(found);
}

TEST_F(MachineSettingsTest, NoFileIsNothingFoundLongValuesAreCutAndAnUnreadableFileIsAnError) {
    bool found = true;
    EXPECT_EQ(read(QStringLiteral("SOFTWARE"), QStringLiteral("X"), found), "");
    EXPECT_FALSE(found);

    writeHomeFile(QStringLiteral("machine.ini"), "[K]\nV=" + QByteArray(1500, 'a') + "\n");
    QString value;
    ASSERT_TRUE(machinesettings::readValue(QStringLiteral("K"), QStringLiteral("V"), value));
    EXPECT_EQ(value, QString(1024, QLatin1Char('a')));

    // Something there that cannot be read as a file.
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("machine.ini"))));
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("machine.ini")));
    EXPECT_EQ(errorOf([&] { machinesettings::readValue(QStringLiteral("K"), QStringLiteral("V"), value); }), 75);
}
}
