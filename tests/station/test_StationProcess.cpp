// The station's executable as the machine meets it: started after a copy was
// killed while it made its lock, started where no lock can be made, and shut
// down by the system.
#include "common/modErrorHandler.h"
#include "platform/os/SingleInstance.h"
#include "tests/support/StationTest.h"
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTest>
#include <csignal>

namespace {
class StationProcess : public StationTest {
protected:
    void TearDown() override {
        endOfScript();
        if (station.state() != QProcess::NotRunning) {
            station.kill();
            station.waitForFinished(5000);
        }
        StationTest::TearDown();
    }
    // Starts the station on this test's program and settings folders as at
    // its first start there (no settings file yet); true once it is up (its
    // settings file made).
    bool start(const QString& iTempFolder = QString()) {
        QFile::remove(homeFile(QStringLiteral("Vexo_Sys.txt")));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VEXO_HOME"), home());
        env.insert(QStringLiteral("VEXO_SETTINGS"), settingsFolder());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_GB.UTF-8"));
        // A bug report the station sends goes to a file here.
        env.insert(QStringLiteral("VEXO_SENDMAIL"), sendmail());
        if (!iTempFolder.isEmpty()) env.insert(QStringLiteral("TMPDIR"), iTempFolder);
        station.setProcessEnvironment(env);
        station.start(QStringLiteral(VEXO_EXE_PATH), {});
        if (!station.waitForStarted(10000)) return false;
        for (int i = 0; i < 400 && station.state() == QProcess::Running; ++i) {
            if (QFile::exists(homeFile(QStringLiteral("Vexo_Sys.txt")))) return true;
            QTest::qWait(50);
        }
        return false;
    }
    // A sendmail that keeps the message in mail.txt of the program folder.
    QString sendmail() const {
        const QString path = homeFile(QStringLiteral("sendmail.sh"));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            f.write("#!/bin/sh\ncat > \"" + QFile::encodeName(homeFile(QStringLiteral("mail.txt"))) + "\"\n");
            f.close();
            f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        return path;
    }
    QString lockPath() const { return QDir::temp().filePath(SingleInstance::key() + QStringLiteral(".lock")); }
    // Everything the station stored in its per-user settings.
    QString storedSettings() const {
        QString all;
        QDirIterator it(settingsFolder(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly)) all += QString::fromUtf8(f.readAll());
        }
        return all;
    }
    QProcess station;
};
}

TEST_F(StationProcess, AnEmptyLockLeftByAKilledStartIsTakenOver) {
    QFile lock(lockPath());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
    lock.close();
    const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    lock.setFileTime(past, QFileDevice::FileModificationTime);
    lock.close();

    ASSERT_TRUE(start()) << "it ended: " << station.readAllStandardError().toStdString();
    EXPECT_EQ(station.state(), QProcess::Running);
    SingleInstance probe;
    EXPECT_FALSE(probe.acquire()) << "the lock is the station's own now";
    EXPECT_GT(QFileInfo(lockPath()).size(), 0);
}

TEST_F(StationProcess, WhereNoLockCanBeMadeItStartsAndSaysSoInTheLog) {
    // A temporary folder that is a file: nothing can be made in it.
    const QString notAFolder = homeFile(QStringLiteral("tmp-is-a-file"));
    QFile f(notAFolder);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(start(notAFolder)) << "it ended: " << station.readAllStandardError().toStdString();
    QFile log(homeFile(QStringLiteral("Vexo.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("without its guard against a second running copy"));
}

// A shutdown of the machine, Ctrl+C, a closed terminal: the main window
// closes as a user would close it, and what its unload step saves is saved.
// Also after a start that failed (the curve file is no database): the shutdown
// is no error, so it adds nothing to the error log and asks nothing.
TEST_F(StationProcess, TerminationSignalsCloseTheMainWindowAndSaveItsSettings) {
    for (const bool bStartFails : {false, true}) {
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
            SCOPED_TRACE(sig);
            SCOPED_TRACE(bStartFails ? "after a start that failed" : "after a start");
            QDir(settingsFolder()).removeRecursively();
            QDir().mkpath(settingsFolder());
            for (const char* name : {"Vexo.log", "mail.txt", "Vexo_Crv.mdb"})
                QFile::remove(homeFile(QString::fromLatin1(name)));
            if (bStartFails) writeHomeFile(QStringLiteral("Vexo_Crv.mdb"), QByteArray(200, 'x'));
            ASSERT_TRUE(start()) << "it ended: " << station.readAllStandardError().toStdString();
            if (bStartFails) {
                // Its error was logged and the bug report it offered was sent: the start is over.
                for (int i = 0; i < 400 && !QFile::exists(homeFile(QStringLiteral("mail.txt"))); ++i)
                    QTest::qWait(50);
                ASSERT_TRUE(readHomeFile(QStringLiteral("Vexo.log")).contains("frmVexo.mFormLoadDtaRefreshSet.10"));
                ASSERT_TRUE(QFile::exists(homeFile(QStringLiteral("mail.txt"))));
            }
            ASSERT_FALSE(storedSettings().contains(QStringLiteral("UserRegion")));
            const QByteArray logBefore = readHomeFile(QStringLiteral("Vexo.log"));
            station.readAllStandardError();
            ::kill(static_cast<pid_t>(station.processId()), sig);
            ASSERT_TRUE(station.waitForFinished(20000));
            EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(station.exitCode(), 0);
            EXPECT_TRUE(storedSettings().contains(QStringLiteral("UserRegion=GB"))) << storedSettings().toStdString();
            EXPECT_EQ(readHomeFile(QStringLiteral("Vexo.log")).toStdString(), logBefore.toStdString());
            // Neither an error box nor a bug-report offer was left for the shutdown to answer.
            const QByteArray said = station.readAllStandardError();
            EXPECT_FALSE(said.contains("[message box while shutting down]")) << said.toStdString();
        }
    }
}

// A lock whose process id now belongs to another program (reused after a
// restart of the machine) holds no station: it is taken over, in another
// process as in this one.
TEST_F(StationProcess, ALockNamingALiveProcessThatIsNoStationIsTakenOver) {
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(other.waitForStarted(5000));
    const auto writeLock = [&](qint64 iPid, const QString& iApp) {
        QFile lock(lockPath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(QStringLiteral("%1\n%2\n%3\n").arg(iPid).arg(iApp, QSysInfo::machineHostName()).toUtf8());
    };
    writeLock(other.processId(), QStringLiteral("Vexo"));
    ASSERT_TRUE(start()) << "it ended: " << station.readAllStandardError().toStdString();
    EXPECT_EQ(station.state(), QProcess::Running);
    station.kill();
    station.waitForFinished(5000);

    // This very process's id, in a lock it does not hold.
    writeLock(QCoreApplication::applicationPid(), QCoreApplication::applicationName());
    SingleInstance mine;
    EXPECT_TRUE(mine.acquire());
    SingleInstance second;
    EXPECT_FALSE(second.acquire()) << "a lock this process holds is no stale one";
    other.kill();
    other.waitForFinished(5000);
}
