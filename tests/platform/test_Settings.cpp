#include "platform/os/AppInfo.h"
#include "platform/os/Settings.h"
#include "tests/support/StationTest.h"
#include <QDir>
#include <QFile>
#include <QSettings>
#include <sys/wait.h>
#include <unistd.h>

class Settings : public StationTest {
protected:
    const QString mApp = QStringLiteral("Pelmo");
    const QString mSection = QStringLiteral("Vexo");

    QString iniText() const {
        QFile f(QDir(settingsstore::folder()).filePath(mApp + QStringLiteral(".ini")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void writeSettingsFile(const QByteArray& iText) const {
        QDir().mkpath(settingsstore::folder());
        QFile f(QDir(settingsstore::folder()).filePath(mApp + QStringLiteral(".ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(iText);
    }
};

TEST_F(Settings, MissingSettingsGiveTheDefault) {
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("Nothing")), QString());
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("Nothing"), QStringLiteral("7")), QStringLiteral("7"));
    // An empty value is a value, not a missing one.
    SaveSetting(mApp, mSection, QStringLiteral("Blank"), QString());
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("Blank"), QStringLiteral("7")), QString());
}

TEST_F(Settings, ValuesRoundTripExactly) {
    const QStringList values = {
        QStringLiteral("1,5"), QStringLiteral("a,b,c"), QStringLiteral(" a, b "), QStringLiteral("say \"hi\""),
        QStringLiteral("C:\\Vexo\\Seq"), QStringLiteral("Prüfung 5 €"), QStringLiteral("@Invalid()"),
        QStringLiteral("true"), QStringLiteral("x=1;y=2"), QStringLiteral("#hash")};
    for (qsizetype i = 0; i < values.size(); ++i)
        SaveSetting(mApp, mSection, QStringLiteral("Key%1").arg(i), values.at(i));
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("Key%1").arg(i)), values.at(i)) << i;
}

TEST_F(Settings, KeysWithDotsAndOverwrites) {
    SaveSetting(mApp, mSection, QStringLiteral("frmMESeq.Left"), QStringLiteral("1200"));
    SaveSetting(mApp, mSection, QStringLiteral("frmMESeq.Top"), QStringLiteral("900"));
    SaveSetting(mApp, mSection, QStringLiteral("frmMESeq.Left"), QStringLiteral("1500"));
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("frmMESeq.Left")), QStringLiteral("1500"));
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("frmMESeq.Top")), QStringLiteral("900"));
    // Names match without regard to case, one setting under the first spelling.
    EXPECT_EQ(GetSetting(mApp, QStringLiteral("VEXO"), QStringLiteral("frmmeseq.left")), QStringLiteral("1500"));
    SaveSetting(mApp, QStringLiteral("vexo"), QStringLiteral("FRMMESEQ.LEFT"), QStringLiteral("1800"));
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("frmMESeq.Left")), QStringLiteral("1800"));
    const QString ini = iniText();
    EXPECT_EQ(ini.count(QStringLiteral("frmMESeq.Left"), Qt::CaseInsensitive), 1) << ini.toStdString();
    EXPECT_FALSE(ini.contains(QStringLiteral("[vexo]")));
}

TEST_F(Settings, DeleteKeyOrWholeSection) {
    SaveSetting(mApp, mSection, QStringLiteral("A"), QStringLiteral("1"));
    SaveSetting(mApp, mSection, QStringLiteral("B"), QStringLiteral("2"));
    SaveSetting(mApp, QStringLiteral("Other"), QStringLiteral("A"), QStringLiteral("3"));
    DeleteSetting(mApp, mSection, QStringLiteral("a"));
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("A"), QStringLiteral("gone")), QStringLiteral("gone"));
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("B")), QStringLiteral("2"));
    DeleteSetting(mApp, mSection);
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("B"), QStringLiteral("gone")), QStringLiteral("gone"));
    EXPECT_EQ(GetSetting(mApp, QStringLiteral("Other"), QStringLiteral("A")), QStringLiteral("3"));
    // Deleting what is not there is harmless.
    DeleteSetting(mApp, QStringLiteral("Never"), QStringLiteral("Key"));
    DeleteSetting(mApp, QStringLiteral("Never"));
}

TEST_F(Settings, ApplicationsAndTheStationsOwnSection) {
    SaveSetting(QStringLiteral("Other App"), mSection, QStringLiteral("K"), QStringLiteral("other"));
    saveUserSetting(QStringLiteral("K"), QStringLiteral("mine"));
    EXPECT_EQ(GetSetting(mApp, appinfo::title(), QStringLiteral("K")), QStringLiteral("mine"));
    EXPECT_EQ(userSetting(QStringLiteral("K")), QStringLiteral("mine"));
    EXPECT_EQ(GetSetting(QStringLiteral("Other App"), mSection, QStringLiteral("K")), QStringLiteral("other"));
    deleteUserSetting(QStringLiteral("K"));
    EXPECT_EQ(userSetting(QStringLiteral("K"), QStringLiteral("none")), QStringLiteral("none"));
    // Separators in names do not open sub-sections.
    SaveSetting(mApp, QStringLiteral("A/B"), QStringLiteral("x\\y"), QStringLiteral("1"));
    EXPECT_EQ(GetSetting(mApp, QStringLiteral("A/B"), QStringLiteral("x\\y")), QStringLiteral("1"));
    EXPECT_EQ(GetSetting(mApp, QStringLiteral("A"), QStringLiteral("B/x")), QString());
}

TEST_F(Settings, AHandWrittenListComesBackAsText) {
    QDir().mkpath(settingsstore::folder());
    QFile f(QDir(settingsstore::folder()).filePath(QStringLiteral("Pelmo.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Vexo]\nList=a,b,c\nPlain=12\n");
    f.close();
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("List")), QStringLiteral("a,b,c"));
    EXPECT_EQ(GetSetting(mApp, mSection, QStringLiteral("Plain")), QStringLiteral("12"));
}

// The files stay the INI text they have always been: what was stored before
// reads the same, and what is stored now reads the same to any reader of that
// text (here Qt's own), names and values of every kind.
TEST_F(Settings, StoredTextReadsTheSameBeforeAndAfter) {
    const QStringList values = {
        QString(), QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("1,5"), QStringLiteral("a;b"),
        QStringLiteral("x=1"), QStringLiteral("say \"hi\""), QStringLiteral("C:\\Vexo\\Seq"),
        QStringLiteral("tab\there"),
        QStringLiteral("two\r\nlines"), QStringLiteral("\x01" "a\x1f" "F"), QStringLiteral("@Invalid()"),
        QStringLiteral("@@two"), QStringLiteral("Prüfung 5 €"), QStringLiteral("\U0001D11E clef"),
        QStringLiteral("#hash"),
        QStringLiteral(";semi"), QStringLiteral("\"quoted\""), QStringLiteral("a, b ,c")};
    const QStringList keys = {QStringLiteral("frmMESeq.Left"), QStringLiteral("Prüf ung"), QStringLiteral("a%b"),
                              QStringLiteral("Sym€"), QStringLiteral("x-y_z")};
    const QString folder = settingsstore::folder();
    QDir().mkpath(folder);
    {
        QSettings before(QDir(folder).filePath(QStringLiteral("Before.ini")), QSettings::IniFormat);
        for (qsizetype i = 0; i < values.size(); ++i)
            before.setValue(QStringLiteral("Vexo/Value%1").arg(i), values.at(i));
        for (const QString& k : keys) before.setValue(QStringLiteral("Other App/") + k, k);
        before.sync();
        ASSERT_EQ(before.status(), QSettings::NoError);
    }
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(GetSetting(QStringLiteral("Before"), mSection, QStringLiteral("Value%1").arg(i)), values.at(i)) << i;
    for (const QString& k : keys) EXPECT_EQ(GetSetting(QStringLiteral("Before"), QStringLiteral("Other App"), k), k);

    for (qsizetype i = 0; i < values.size(); ++i)
        SaveSetting(QStringLiteral("After"), mSection, QStringLiteral("Value%1").arg(i), values.at(i));
    for (const QString& k : keys) SaveSetting(QStringLiteral("After"), QStringLiteral("Other App"), k, k);
    QSettings after(QDir(folder).filePath(QStringLiteral("After.ini")), QSettings::IniFormat);
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(after.value(QStringLiteral("Vexo/Value%1").arg(i)).toString(), values.at(i)) << i;
    for (const QString& k : keys) EXPECT_EQ(after.value(QStringLiteral("Other App/") + k).toString(), k);
}

// A save changes the lines of its key and nothing else: comments, other
// sections and the way a hand has written them stay.
TEST_F(Settings, ASaveOrDeleteTouchesItsOwnLinesOnly) {
    writeSettingsFile("; the station's settings\n[Vexo]\nA = 1 ; first\nB=2\n\n[Other]\nC=3");
    SaveSetting(mApp, mSection, QStringLiteral("a"), QStringLiteral("9"));
    EXPECT_EQ(iniText().toStdString(), "; the station's settings\n[Vexo]\nA=9 ; first\nB=2\n\n[Other]\nC=3");
    SaveSetting(mApp, mSection, QStringLiteral("New"), QStringLiteral("n"));
    SaveSetting(mApp, QStringLiteral("Other"), QStringLiteral("D"), QStringLiteral("4"));
    EXPECT_EQ(iniText().toStdString(),
              "; the station's settings\n[Vexo]\nA=9 ; first\nB=2\nNew=n\n\n[Other]\nC=3\nD=4\n");
    SaveSetting(mApp, QStringLiteral("Third"), QStringLiteral("E"), QStringLiteral("5"));
    DeleteSetting(mApp, mSection, QStringLiteral("B"));
    DeleteSetting(mApp, QStringLiteral("Other"));
    EXPECT_EQ(iniText().toStdString(), "; the station's settings\n[Vexo]\nA=9 ; first\nNew=n\n\n[Third]\nE=5\n");
}

// Two copies of the station on other station folders share the per-user file:
// saves made at the same time, each of its own keys, all stay.
TEST_F(Settings, SavesOfTwoCopiesAtOnceAllStay) {
    constexpr int kCopies = 2;
    constexpr int kKeys = 100;
    pid_t copies[kCopies] = {};
    for (int c = 0; c < kCopies; ++c) {
        copies[c] = ::fork();
        ASSERT_GE(copies[c], 0);
        if (copies[c] == 0) {
            int failed = 0;
            for (int k = 0; k < kKeys; ++k) {
                try {
                    SaveSetting(mApp, mSection, QStringLiteral("Copy%1Key%2").arg(c).arg(k), QStringLiteral("v"));
                } catch (const VbError&) {
                    ++failed;
                }
            }
            ::_exit(failed == 0 ? 0 : 1);
        }
    }
    for (pid_t copy : copies) {
        int status = 0;
        ASSERT_EQ(::waitpid(copy, &status, 0), copy);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save of a copy failed";
    }
    int kept = 0;
    for (int c = 0; c < kCopies; ++c)
        for (int k = 0; k < kKeys; ++k)
            kept += GetSetting(mApp, mSection, QStringLiteral("Copy%1Key%2").arg(c).arg(k)) == QLatin1String("v");
    EXPECT_EQ(kept, kCopies * kKeys);
}

class AppInfo : public StationTest {};

TEST_F(AppInfo, ProgramFolderAndNames) {
    EXPECT_EQ(appinfo::programFolder(), QDir(home()).absolutePath());
    EXPECT_EQ(appinfo::programPath(QStringLiteral("Vexo_Seq.mdb")), QDir(home()).filePath(QStringLiteral("Vexo_Seq.mdb")));
    EXPECT_EQ(appinfo::programPath(QStringLiteral("Labels\\Unit.txt")),
              QDir(home()).filePath(QStringLiteral("Labels/Unit.txt")));
    EXPECT_EQ(appinfo::programPath(QStringLiteral("/tmp/x.txt")), QStringLiteral("/tmp/x.txt"));
    EXPECT_EQ(appinfo::title(), QStringLiteral("Vexo"));
    EXPECT_EQ(appinfo::companyName(), QStringLiteral("Pelmo"));
    EXPECT_EQ(appinfo::exeName(), QStringLiteral("Vexo"));
    EXPECT_GE(appinfo::versionMajor(), 1);
}
