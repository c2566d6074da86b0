// The station's start: one copy only, the main window with its clock, and a
// clean shutdown.
#include "common/modGeneral.h"
#include "common/modVarSystemParams.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/os/SingleInstance.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include "common/StationRecords.h"
#include "platform/ui/Printer.h"
#include "common/frmInputNumber.h"
#include "common/frmListGet.h"
#include "common/modErrorHandler.h"
#include "platform/data/Database.h"
#include "platform/vb/Conversions.h"
#include "station/StationProgram.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/StationTest.h"
#include "tests/support/StoredRecords.h"
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {
using StartTest = StationTest;

// Every file of the per-user settings store with its contents.
QString storedSettings(const QString& iFolder) {
    QString all;
    QDirIterator it(iFolder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        all += f.fileName() + QLatin1Char('\n');
        if (f.open(QIODevice::ReadOnly)) all += QString::fromUtf8(f.readAll());
    }
    return all;
}

TEST_F(StartTest, MainWindowStartsWithItsClockAndShutsDownCleanly) {
    jigbench::installJig();
    // A new station: no settings file yet, which it says.
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("Vexo_Sys.txt"))));
    answer({vbOK});
    frmVexo& f = form<frmVexo>();
    ASSERT_TRUE(isLoaded<frmVexo>());
    ASSERT_FALSE(Form::programEnding());
    f.Show();
    EXPECT_EQ(f.windowTitle(), "Vexo v1.000");
    auto* clock = f.findChild<QLabel*>(QStringLiteral("lblTimeDate"));
    ASSERT_NE(clock, nullptr);
    // The clock's first tick comes at once, on the station's clock.
    EXPECT_EQ(clock->text(), "");
    vclock::advance(1);
    EXPECT_EQ(clock->text(), "10:00 Mon 07-Dec-26");
    EXPECT_TRUE(f.tmrClock->running());
    EXPECT_EQ(f.tmrClock->Interval(), 59999);
    // Then it turns over with the minute.
    vclock::advance(59998);
    EXPECT_EQ(clock->text(), "10:00 Mon 07-Dec-26");
    vclock::advance(1);
    EXPECT_EQ(clock->text(), "10:01 Mon 07-Dec-26");
    vclock::advance(14 * 60000);
    EXPECT_EQ(clock->text(), "10:15 Mon 07-Dec-26");
    // A new station: the settings file was created with its defaults.
    EXPECT_EQ(gsStationName, "Pelmo Towers");
    EXPECT_TRUE(QFile::exists(homeFile(QStringLiteral("Vexo_Sys.txt"))));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "File 'Vexo_Sys.txt' does not exist ");

    f.close();
    unload<frmVexo>();
    EXPECT_FALSE(isLoaded<frmVexo>());
    EXPECT_EQ(userSetting(QStringLiteral("UserRegion")), "GB");
    sound::setBackend(nullptr);
}

TEST_F(StartTest, ASecondCopyBringsTheFirstForwardAndEndsWithoutTouchingAnything) {
    // This process plays the running station.
    SingleInstance first;
    ASSERT_TRUE(first.acquire());
    QSignalSpy activated(&first, &SingleInstance::activateRequested);
    const QByteArray settingsFile = readHomeFile(QStringLiteral("Vexo_Sys.txt"));
    const QString userSettings = storedSettings(settingsFolder());

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEXO_HOME"), home());
    env.insert(QStringLiteral("VEXO_SETTINGS"), settingsFolder());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(VEXO_EXE_PATH), {});
    ASSERT_TRUE(second.waitForStarted(10000));
    // Keep this copy's event loop turning so it can answer.
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(activated.count(), 1);
    EXPECT_EQ(readHomeFile(QStringLiteral("Vexo_Sys.txt")), settingsFile);
    EXPECT_EQ(storedSettings(settingsFolder()), userSettings);
}

TEST_F(StartTest, ACopyWithoutARunningOneStartsNormally) {
    // Its first start here: the settings file it writes says it is up.
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("Vexo_Sys.txt"))));
    QProcess only;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEXO_HOME"), home());
    env.insert(QStringLiteral("VEXO_SETTINGS"), settingsFolder());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    only.setProcessEnvironment(env);
    only.start(QStringLiteral(VEXO_EXE_PATH), {});
    ASSERT_TRUE(only.waitForStarted(10000));
    // It runs until told to stop, and holds the lock meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(homeFile(QStringLiteral("Vexo_Sys.txt"))), 20000);
    EXPECT_EQ(only.state(), QProcess::Running);
    SingleInstance probe;
    EXPECT_FALSE(probe.acquire());
    only.kill();
    only.waitForFinished(5000);
}

using SecondCopyTest = MainWindowRig;

TEST_F(SecondCopyTest, ASecondCopyInThisProcessTouchesNoSettingAndNoMixer) {
    installJig();
    demostation::build(home());
    const QStringList settingsBefore = QDir(settingsFolder()).entryList(QDir::Files);
    const std::vector<int32_t> mixer = mixerValues();
    SingleInstance first;
    ASSERT_TRUE(first.acquire());

    // The first copy, in this same thread, cannot answer while the second
    // waits for it: the second says it found none (two processes answer).
    answer({vbOK});
    form<frmVexo>();
    EXPECT_TRUE(Form::programEnding());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "No previous instance found in gActivatePrevInstance!");
    unload<frmVexo>();
    EXPECT_EQ(mixerValues(), mixer);
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::Files), settingsBefore);
    EXPECT_EQ(userSetting(QStringLiteral("dcboSeq")), "");
    EXPECT_EQ(userSetting(QStringLiteral("cmdMoreStuff.Caption")), "");
    EXPECT_EQ(userSetting(QStringLiteral("UserRegion")), "");
}

using StartUpOnJigTest = MainWindowRig;

TEST_F(StartUpOnJigTest, PrintNeedsAPrinterAndAnEmptySavedOperatorIsUnknown) {
    installJig();
    saveUserSetting(QStringLiteral("dcboOperator"), QString());
    Printer.setRecording(true, QString());   // no default printer
    frmVexo& f = start();
    EXPECT_FALSE(f.mnuFilePrint->Enabled());
    EXPECT_EQ(f.dcboOperator->Text(), "Unknown");
    closeWindow();
    Printer.setRecording(true, QStringLiteral("Label printer"));
    EXPECT_TRUE(start().mnuFilePrint->Enabled());
    Printer.setRecording(false);
}
}

namespace {
QStringList entries(const ComboBox& iBox) {
    QStringList r;
    for (int32_t i = 0; i < iBox.ListCount(); ++i) r << iBox.List(i);
    return r;
}

// A station folder as the engineer leaves it: the main window offers its
// sequences and operators and reads the tests as they were written.
TEST_F(MainWindowRig, TheMainWindowOffersTheSeededSequencesAndOperatorsOnTheJig) {
    seed::add(seed::ResponseTest{.name = "Sweep", .fLo = 151, .fHi = 12500, .points = 43,
                                 .layers = {{.fLo = 200, .fHi = 5000, .pt = 3, .lim = 1.5f},
                                            {.fLo = 151, .fHi = 12500, .fMLo = 1000, .fMHi = 2000, .lim = 3.0f}}});
    seed::add(seed::PolarityTest{.name = "Phase", .negative = true});
    seed::add(seed::SineTest{.name = "Rub", .fLo = 50, .fHi = 500, .sweep = "Log Up"});
    seed::add(seed::Sequence{.name = "Woofer 8", .tests = {"Sweep", "Phase", "Rub"}, .calInterval = 1.0, .refLim = 2.0f});
    seed::add(seed::Sequence{.name = "Tweeter", .tests = {"Sweep"}});
    seed::addOperator("Anne");
    seed::addOperator("Bob");
    installJig(sound::UnitModel::reversedPolarity());
    frmVexo& f = start();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(entries(*f.dcboSeq), (QStringList{"Woofer 8", "Tweeter"}));
    EXPECT_EQ(entries(*f.dcboOperator), (QStringList{"Anne", "Bob"}));
    EXPECT_FALSE(jig().config().unit.positivePolarity);

    SequenceRecord seq(f.dtaSeq.Recordset());
    EXPECT_EQ(seq.TestName(2), "Phase");
    EXPECT_EQ(seq.Cali_ETime(), 1.0);
    EXPECT_EQ(seq.Last_Cali(), 0.0);
    EXPECT_EQ(seq.Ref_Lim(), 2.0f);
    TestRecord test(f.dtaTest.Recordset());
    ASSERT_EQ(test.Test_Name(), "Sweep");
    EXPECT_EQ(test.Swp_Point(), 43);
    const ResponseLayer hole = test.Layer(2);
    EXPECT_TRUE(hole.On && hole.hasHole());
    EXPECT_EQ(hole.fMHi, 2000);
    EXPECT_EQ(test.Layer(1).Pt, 3);
    EXPECT_FALSE(test.Layer(3).On);
}
}

// The program's life on the demo station: it ends when its main window unloads,
// whichever way, and a shutdown of the machine in the middle of a command ends
// the command as Abort at an error would, but without an error, then the
// program, with its settings saved.
namespace {
class ProgramLifeTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
        installJig();
        saveUserSetting(QStringLiteral("dcboOperator"), demostation::kOperator);
        saveUserSetting(QStringLiteral("dcboSeq"), demostation::kSequence);
        Printer.setRecording(true);
    }
    void TearDown() override {
        endOfScript();
        Printer.setRecording(false);
        MainWindowRig::TearDown();
    }
    // Runs the program as main() does; iAct runs once its window is shown. The
    // program's exit status, or -1 when it had to be ended here.
    int run(std::function<void(frmVexo&)> iAct) {
        // The operator acts once the station is up: the window shown, its load over.
        auto act = std::make_shared<std::function<void()>>();
        *act = [act, iAct] {
            if (!isLoaded<frmVexo>() || !form<frmVexo>().isVisible() || QApplication::activeModalWidget()) {
                QTimer::singleShot(10, *act);
                return;
            }
            iAct(form<frmVexo>());
        };
        QTimer::singleShot(0, *act);
        // Boxes a shutdown answers reach no script: the station says them on
        // standard error, kept here to be read.
        std::fflush(stderr);
        const int kept = ::dup(STDERR_FILENO);
        const QByteArray path = QFile::encodeName(homeFile(QStringLiteral("stderr.txt")));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
        const int rc = runStationProgram();
        std::fflush(stderr);
        ::dup2(kept, STDERR_FILENO);
        ::close(kept);
        mStderr = readHomeFile(QStringLiteral("stderr.txt"));
        return rc;
    }
    // The boxes the shutdown answered (with nobody there to answer them), in order.
    QStringList answeredWhileShuttingDown() const {
        QStringList out;
        for (const QByteArray& line : mStderr.split('\n'))
            if (line.startsWith("[message box while shutting down] ")) out << QString::fromUtf8(line.mid(34));
        return out;
    }
    // A shutdown of the machine (SIGTERM) iMs into the station's next wait.
    static void shutdownAfter(int64_t iMs) {
        static int sId = 0;
        sId = vclock::addTimer(iMs, [] {
            vclock::removeTimer(sId);
            ::raise(SIGTERM);
        });
    }
    static double lastCali() { return stored::lastCali(demostation::kSequence); }
    // The window's unload step ran: it saved the operator's choices.
    void expectUnloadedWithSettingsSaved() {
        EXPECT_FALSE(isLoaded<frmVexo>());
        EXPECT_EQ(userSetting(QStringLiteral("UserRegion")), "GB");
        EXPECT_EQ(userSetting(QStringLiteral("dcboSeq")), demostation::kSequence);
        EXPECT_EQ(userSetting(QStringLiteral("dcboOperator")), demostation::kOperator);
    }
    QByteArray log() const {
        QFile f(errorLogPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Where each error in the log came from ("frmVexo.mReadSerial.20"), in order.
    QStringList loggedSources() const {
        QStringList out;
        for (const QString& line : QString::fromUtf8(log()).split(QStringLiteral("\r\n")))
            if (line.startsWith(QStringLiteral("Vexo v1.000  "))) out << line.mid(13);
        return out;
    }
    // A shutdown the user asked for is no fault: nothing in the error log, and
    // neither an error box nor a bug-report offer for the shutdown to answer.
    void expectNothingLoggedOrOffered() {
        EXPECT_EQ(log().toStdString(), "");
        EXPECT_EQ(answeredWhileShuttingDown(), QStringList());
    }

private:
    QByteArray mStderr;
};
}   // namespace

TEST_F(ProgramLifeTest, ExitAndTheCloseBoxEndTheProgram) {
    const std::function<void(frmVexo&)> ways[] = {
        [](frmVexo& f) {
            f.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, Qt::Key_X,
                            Qt::ControlModifier);
        },
        [](frmVexo& f) { f.close(); },
    };
    for (const auto& way : ways) {
        deleteUserSetting(QStringLiteral("UserRegion"));
        EXPECT_EQ(run(way), 0);
        expectUnloadedWithSettingsSaved();
    }
}

// After a start that failed (the curve file is no database) File > Exit ends
// the program with the start's error alone in the log: with no unit counted
// there is no production row to write.
TEST_F(ProgramLifeTest, ExitAfterAStartThatFailedLogsNothingMore) {
    writeHomeFile(QStringLiteral("Vexo_Crv.mdb"), QByteArray(200, 'x'));
    allowErrors({QStringLiteral("Unrecognized database format")});
    EXPECT_EQ(run([](frmVexo& f) {
                  f.activateWindow();
                  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
                  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, Qt::Key_X,
                                  Qt::ControlModifier);
              }),
              0);
    EXPECT_EQ(loggedSources(), QStringList{QStringLiteral("frmVexo.mFormLoadDtaRefreshSet.10")});
    // The operator's choices the start never showed are kept for the next start.
    expectUnloadedWithSettingsSaved();
}

TEST_F(ProgramLifeTest, AShutdownWhileIdleEndsTheProgram) {
    EXPECT_EQ(run([](frmVexo&) { ::raise(SIGTERM); }), 0);
    expectUnloadedWithSettingsSaved();
}

TEST_F(ProgramLifeTest, AShutdownDuringTheFirstTestsCalibrationLeavesTheSequenceUncalibrated) {
    answer({vbYes});   // the standard unit is in the jig
    EXPECT_EQ(run([this](frmVexo& f) {
                  shutdownAfter(500);
                  drive::click(f.cmdTest);
              }),
              0);
    expectUnloadedWithSettingsSaved();
    EXPECT_EQ(lastCali(), 0.0);
    expectNothingLoggedOrOffered();
}

// A shutdown mid-unit, whether it comes at a measurement's poll or while the
// prompt file is on the screen (the unit then ends at the pause before its
// first sweep): the unit is abandoned uncounted, without its curve or label.
TEST_F(ProgramLifeTest, AShutdownDuringAUnitAbandonsItUncountedAndWithoutItsLabel) {
    const struct {
        const char* when;
        std::function<void(frmListGet&)> atPrompt;
        int64_t afterMs;   // into the unit's next wait; 0: at the prompt
    } moments[] = {
        {"mid-measurement", [](frmListGet& w) { drive::click(w.cmdOK); }, 500},
        {"at the prompt file",
         [](frmListGet& w) {
             ::raise(SIGTERM);
             drive::click(w.cmdOK);
         },
         0},
    };
    for (const auto& m : moments) {
        SCOPED_TRACE(m.when);
        stored::setSequenceField(demostation::kSequence, QStringLiteral("Last_Cali"), Variant(0.0));
        EXPECT_EQ(run([&](frmVexo& f) {
                      answer({vbYes, vbYes});   // the calibration on the standard unit
                      drive::click(f.cmdTest);
                      ASSERT_GT(lastCali(), 0.0);
                      expectModal<frmListGet>(m.atPrompt);   // the prompt file
                      if (m.afterMs > 0) shutdownAfter(m.afterMs);
                      drive::click(f.cmdTest);
                  }),
                  0);
        expectUnloadedWithSettingsSaved();
        EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Prod.mdb"), QStringLiteral("vexo_prod")), 0);
        EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Crv.mdb"), QStringLiteral("vexo_crv")), 0);
        EXPECT_TRUE(Printer.rawJobs().isEmpty());
        expectNothingLoggedOrOffered();
    }
}

// A shutdown while the serial number is asked: the unit was counted, so it
// keeps its production row; no serial number was typed, so it gets no label.
TEST_F(ProgramLifeTest, AShutdownWhileTheSerialNumberIsAskedKeepsTheCountedUnitsRow) {
    stored::setSequenceField(demostation::kSequence, QStringLiteral("Serial_Flag"), Variant(QStringLiteral("Both")));
    EXPECT_EQ(run([this](frmVexo& f) {
                  answer({vbYes, vbYes});
                  drive::click(f.cmdTest);
                  expectModal<frmListGet>([](frmListGet& w) { drive::click(w.cmdOK); });
                  expectModal<frmInputNumber>([](frmInputNumber&) { ::raise(SIGTERM); });
                  drive::click(f.cmdTest);
              }),
              0);
    expectUnloadedWithSettingsSaved();
    EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Prod.mdb"), QStringLiteral("vexo_prod")), 1);
    EXPECT_TRUE(Printer.rawJobs().isEmpty());
    expectNothingLoggedOrOffered();
}
