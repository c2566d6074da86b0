// The demo station on the jig, started, used and closed as an operator does.
#include "audio/modAudio.h"
#include "audio/modMixer.h"
#include "audio/modWaveResponse.h"
#include "common/frmListGet.h"
#include "common/frmSplash.h"
#include "platform/os/Settings.h"
#include "platform/sound/JigUnits.h"
#include "platform/ui/Color.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETest.h"
#include "test_editor/frmMETestResponse.h"
#include "tests/support/MainWindowRig.h"
#include <QDir>
#include <QHash>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <sys/resource.h>

namespace {
// WCAG contrast of two colours: relative luminances, lighter over darker.
double luminance(QColor iColour) {
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(iColour.redF()) + 0.7152 * channel(iColour.greenF()) + 0.0722 * channel(iColour.blueF());
}
double contrast(QColor iA, QColor iB) {
    const double a = luminance(iA), b = luminance(iB);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}
// The colours a picture shows with their pixel counts, the background first.
QList<QPair<QRgb, int>> coloursOf(const QImage& iImage) {
    QHash<QRgb, int> n;
    for (int y = 0; y < iImage.height(); ++y)
        for (int x = 0; x < iImage.width(); ++x) ++n[iImage.pixel(x, y) & 0xFFFFFF];
    QList<QPair<QRgb, int>> out;
    for (auto it = n.cbegin(); it != n.cend(); ++it) out << qMakePair(it.key(), it.value());
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    return out;
}

class DemoStationTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        // The demo is made where nothing is yet: the station settings file and
        // the drive calibration are its own.
        QFile::remove(homeFile(QStringLiteral("Vexo_Sys.txt")));
        for (const char* key : {"gfVOutSoundboard", "gfVOutAmp", "gbVOutPositivePolarity"})
            deleteUserSetting(QString::fromLatin1(key));
        demostation::build(home());
        // The demo's label goes to the recording, not to a printer.
        Printer.setRecording(true);
    }
    // The demo response test's sweep on the unit in the jig, at a fixed microphone level.
    ResponseCurve sweep(frmVexo& f, const sound::UnitModel& iUnit) {
        jig().setUnit(iUnit);
        ResponseCurve level(101), corrected(101);
        bool e = false;
        gMixerInMicSetVolume(20000, e);
        gWaveResponse(f, 20, 20000, 100, 0.0f, 2.83f, false, 20000, 0, false, 0xFFFFFF, 0, level, corrected, e);
        EXPECT_FALSE(e);
        return level;
    }
    // The largest excess of a layer's worst block over its limit, for a curve
    // against a reference; blocks of the layer's size start at every point of its band.
    static double worstExcess(const TestRecord& iTest, const ResponseCurve& iCurve, const ResponseCurve& iRef) {
        double worst = -100;
        for (int n = 1; n <= 6; ++n) {
            const ResponseLayer l = iTest.Layer(n);
            if (!l.On) continue;
            bool e = false;
            const int lo = gnAudioFreq2Point(20, 20000, 100, l.fLo, e);
            const int hi = gnAudioFreq2Point(20, 20000, 100, l.fHi, e);
            for (int s = lo; s + l.Pt - 1 <= hi; ++s) {
                double sum = 0;
                for (int p = s; p < s + l.Pt; ++p) sum += std::pow(10.0, std::abs(iCurve[p] - iRef[p]) / 20.0);
                worst = std::max(worst, 20 * std::log10(sum / l.Pt) - l.Lim);
            }
        }
        return worst;
    }
    // Test on the due demo calibrates it on the standard unit; the next Test
    // shows the prompt file, which the operator reads and closes.
    void calibrateAndReadPrompt(frmVexo& f) {
        answer({vbYes, vbYes});
        drive::click(f.cmdTest);
        clearBoxes();
        expectModal<frmListGet>([](frmListGet& w) { drive::click(w.cmdOK); });
    }
    // The jig as `./vexo run` makes it, from the environment.
    void jigFromEnvironment(const char* iUnit) {
        qputenv("VEXO_SOUND", "jig");
        qputenv("VEXO_JIG_UNIT", iUnit);
        sound::setBackend(nullptr);
    }
    void TearDown() override {
        endOfScript();
        qunsetenv("VEXO_JIG_UNIT");
        qunsetenv("VEXO_SOUND");
        Printer.setRecording(false);
        MainWindowRig::TearDown();
    }
    int32_t master() { return jig().cardMixer().controlByRole(sound::MixerRole::MasterVolume)->values[0]; }
    // The record-source items that are selected, by component type.
    std::vector<uint32_t> recordSources() {
        std::vector<uint32_t> on;
        const sound::MixerControlModel* s = jig().cardMixer().controlByRole(sound::MixerRole::RecordSelect);
        for (size_t i = 0; i < s->items.size(); ++i)
            if (s->values[i] != 0) on.push_back(s->items[i].dwParam2);
        return on;
    }
};

TEST_F(DemoStationTest, AFirstStartShowsTheDemoSequenceReadyOnTheJig) {
    installJig();
    frmVexo& f = start();
    EXPECT_TRUE(boxes().isEmpty()) << boxes().value(0).prompt.toStdString();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.dcboOperator->Text(), "Demo Operator");
    // No sequence "Small System" here: the box shows the row the station uses.
    EXPECT_EQ(f.dcboSeq->Text(), "Demo");
    EXPECT_EQ(f.lblSeq->Caption(), "Demo");
    EXPECT_EQ(f.lblCard->Caption(), "Vexo Test Jig");
    EXPECT_TRUE(f.lblCard->Visible());
    EXPECT_EQ(master(), 65535);
    EXPECT_EQ(recordSources(), std::vector<uint32_t>{MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE});
    // The compact view, Test ready.
    EXPECT_EQ(f.cmdMoreStuff->Caption(), "More St&uff");
    EXPECT_FALSE(f.cmdEngineer->Visible());
    EXPECT_TRUE(f.cmdTest->Enabled());
    EXPECT_TRUE(f.cmdTest->HasFocus());
    EXPECT_TRUE(f.cmdCali->Visible());
    EXPECT_FALSE(f.tmrFlash->running());
    // The polarity grid with the sequence's polarity test named in black.
    const auto names = texts(*f.picPolarity);
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), qMakePair(demostation::kPolarityTest, int32_t{0}));
    bool lines = false;
    for (const DrawOp& op : f.picPolarity->ops()) lines = lines || op.kind == DrawOpKind::Line;
    EXPECT_TRUE(lines);
    EXPECT_EQ(f.picPolarity->Left(), 360);
    EXPECT_EQ(f.picPolarity->Width(), 3325);
    EXPECT_FALSE(isLoaded<frmSplash>());
}

TEST_F(DemoStationTest, WithoutASoundInputTestingAndCalibrationAreRefused) {
    sound::JigConfig c = sound::JigConfig::standard();
    c.inputs.clear();
    installJig(c);
    answer({vbOK});   // "Wave input device not found or error"
    frmVexo& f = start();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.cmdTest->Enabled());
    EXPECT_FALSE(f.cmdCali->Enabled());
    EXPECT_EQ(f.lblCard->Caption(), "Wave device not found");
    EXPECT_EQ(f.lblCard->ForeColor(), 255);
    EXPECT_TRUE(f.lblCard->Visible());
    EXPECT_TRUE(f.tmrFlash->running());
    EXPECT_EQ(f.cmdMoreStuff->Caption(), "More St&uff");
    // The check's own message only: a failed check is not an error.
    for (const MsgBoxCall& b : boxes()) EXPECT_NE(b.title, "Error!") << b.prompt.toStdString();
    // The sequence is still chosen, and the red label stays through both views.
    EXPECT_EQ(f.dcboSeq->Text(), "Demo");
    drive::click(f.cmdMoreStuff);
    drive::click(f.cmdMoreStuff);
    EXPECT_TRUE(f.lblCard->Visible());
    // Nor is closing such a station.
    closeWindow();
    for (const MsgBoxCall& b : boxes()) EXPECT_NE(b.title, "Error!") << b.prompt.toStdString();
    EXPECT_EQ(userSetting(QStringLiteral("dcboSeq")), "Demo");
}

TEST_F(DemoStationTest, ChoicesAndViewSurviveARestartAndTheMixerIsPutBack) {
    installJig();
    addSequence(QStringLiteral("Tweeter"), {demostation::kPolarityTest});
    const std::vector<int32_t> found = mixerValues();
    frmVexo& f = start();
    ASSERT_NE(mixerValues(), found);   // start-up set the master and the microphone

    choose(f.dcboSeq, QStringLiteral("Tweeter"));
    EXPECT_EQ(f.lblSeq->Caption(), "Tweeter");
    EXPECT_FALSE(f.cmdCali->Visible());
    choose(f.dcboOperator, demostation::kOperator);
    drive::click(f.cmdMoreStuff);
    closeWindow();

    EXPECT_EQ(userSetting(QStringLiteral("dcboSeq")), "Tweeter");
    EXPECT_EQ(userSetting(QStringLiteral("dcboOperator")), demostation::kOperator);
    EXPECT_EQ(userSetting(QStringLiteral("cmdMoreStuff.Caption")), "Less St&uff");
    EXPECT_EQ(mixerValues(), found);

    // The second sequence's row is the one the station uses after a restart.
    frmVexo& again = start();
    EXPECT_EQ(again.dcboSeq->Text(), "Tweeter");
    EXPECT_EQ(again.lblSeq->Caption(), "Tweeter");
    EXPECT_EQ(again.dcboOperator->Text(), demostation::kOperator);
    EXPECT_EQ(again.cmdMoreStuff->Caption(), "Less St&uff");
    EXPECT_TRUE(again.cmdEngineer->Visible());
    EXPECT_EQ(again.lblStation->Caption(), "Station:  Demo Station");
    EXPECT_TRUE(boxes().isEmpty());
    closeWindow();

    // A saved sequence that was deleted meanwhile: the box shows the row in use.
    saveUserSetting(QStringLiteral("dcboSeq"), QStringLiteral("Gone"));
    frmVexo& third = start();
    EXPECT_EQ(third.dcboSeq->Text(), "Demo");
    EXPECT_EQ(third.lblSeq->Caption(), "Demo");
}

TEST_F(DemoStationTest, TheDemoLayersPassTheStandardUnitAndFailOneWithAHigherPeak) {
    installJig();
    frmVexo& f = start();
    const ResponseCurve reference = sweep(f, sound::UnitModel::standard());
    const ResponseCurve good = sweep(f, sound::UnitModel::standard());
    const ResponseCurve peaky = sweep(f, sound::UnitModel::peakPlus3dB());
    auto rs = OpenDatabase(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"));
    rs->FindFirst(QStringLiteral("Test_Name = ?"), Variant(demostation::kResponseTest));
    ASSERT_FALSE(rs->NoMatch());
    const TestRecord test(*rs);
    EXPECT_LT(worstExcess(test, good, reference), 0.0);
    EXPECT_GT(worstExcess(test, peaky, reference), 0.5);
}

TEST_F(DemoStationTest, TheDemoFolderHoldsWhatTheStationReads) {
    const Database seq = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
    auto rs = seq.OpenRecordset(QStringLiteral("vexo_seq"));
    ASSERT_EQ(rs->RecordCount(), 1);
    const SequenceRecord s(*rs);
    EXPECT_EQ(s.Seq_Name(), "Demo");
    EXPECT_EQ(s.Last_Cali(), 0.0);
    for (const QString& file : {s.Prompt_File(), s.Target_File(), s.Script_File()})
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    for (int slot = 1; slot <= 16; ++slot) {
        auto cal = seq.OpenRecordset(QStringLiteral("vexo_seq_cal%1").arg(slot, 2, 10, QLatin1Char('0')));
        ASSERT_EQ(cal->RecordCount(), 1);
        const CalibrationRecord c(*cal);
        EXPECT_EQ(c.Seq_Name(), "Demo");
        EXPECT_EQ(CStr(cal->field(QStringLiteral("Test_Name"))), " ");
        EXPECT_EQ(c.AttIn(), 0);
        EXPECT_FALSE(c.hasReference());
    }
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutSoundboard")), "2");
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutAmp")), "40");
    // Made again over itself it adds nothing and keeps a calibration set since.
    saveUserSetting(QStringLiteral("gfVOutAmp"), QStringLiteral("38.5"));
    EXPECT_FALSE(demostation::missing(home()));
    demostation::build(home());
    EXPECT_EQ(seq.OpenRecordset(QStringLiteral("vexo_seq"))->RecordCount(), 1);
    EXPECT_EQ(OpenDatabase(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"))->RecordCount(), 3);
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutAmp")), "38.5");
}

// Made again on a full disk: a file it made before, here the prompt as the
// engineer has edited it since, stays as it was, and the error (which the demo
// maker says on standard error) names the file and the cause. The databases are
// held open meanwhile, so that only the demo's own files meet the full disk.
TEST_F(DemoStationTest, MadeAgainOnAFullDiskItKeepsItsFilesAndSaysWhy) {
    const QByteArray edited = ".Demo sequence\r\nPlace the unit and press OK.\r\n";
    writeHomeFile(QStringLiteral("Prompts/Demo.txt"), edited);
    std::vector<Database> open;
    for (const char* name : {"Vexo_Op.mdb", "Vexo_Tst.mdb", "Vexo_Prod.mdb", "Vexo_Crv.mdb", "Vexo_Seq.mdb"})
        open.push_back(OpenDatabase(QString::fromLatin1(name)));
    VbError said(0, QString());
    {
        FileSizeLimit disk(32);
        try {
            demostation::build(home());
        } catch (const VbError& e) {
            said = e;
        }
    }
    EXPECT_EQ(said.number, 75);
    EXPECT_EQ(said.description, QStringLiteral("Path/File access error: ") +
                                    homeFile(QStringLiteral("Prompts/Demo.txt")) + QStringLiteral(": File too large"));
    EXPECT_EQ(readHomeFile(QStringLiteral("Prompts/Demo.txt")), edited);
    EXPECT_EQ(filesStartingWith(homeFile(QStringLiteral("Prompts")), QStringLiteral(".")), QStringList());
}

TEST_F(DemoStationTest, TheFirstUnitIsBookedAndLabelledUnderTheDemoOperator) {
    installJig();
    frmVexo& f = start();
    ASSERT_EQ(f.dcboOperator->Text(), demostation::kOperator);
    calibrateAndReadPrompt(f);
    drive::click(f.cmdTest);
    ASSERT_EQ(f.lblPassFail->Caption(), "PASS");
    auto rs = OpenDatabase(QStringLiteral("Vexo_Prod.mdb")).OpenRecordset(QStringLiteral("vexo_prod"));
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(CStr(rs->field(1)), demostation::kOperator);
    QByteArray label;
    for (const RawPrintJob& job : Printer.rawJobs()) label += job.bytes;
    EXPECT_TRUE(label.contains("Demo Operator")) << label.toStdString();
    EXPECT_FALSE(label.contains("Unknown"));
}

TEST_F(DemoStationTest, WithVexoJigUnitPeakTheUnitFailsWithItsWorstBoxAfterACalibrationOnTheStandard) {
    jigFromEnvironment("peak");
    frmVexo& f = start();
    calibrateAndReadPrompt(f);
    answer({vbNo});   // no re-test
    drive::click(f.cmdTest);
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_TRUE(f.lblPassFail->Visible());
    // The failing layer's boxes are drawn again in red.
    int redBoxes = 0;
    for (const DrawOp& op : f.picResponse->ops()) redBoxes += op.kind == DrawOpKind::Box && op.color == 255;
    EXPECT_GT(redBoxes, 0);
    // A re-calibration measures the standard unit again, whatever was tested last.
    EXPECT_EQ(sound::JigBackend::active()->config().unit.name, sound::UnitModel::peakPlus3dB().name);
    answer({vbYes, vbYes});
    drive::click(f.cmdCali);
    EXPECT_EQ(sound::JigBackend::active()->config().unit.name, sound::UnitModel::standard().name);
}

TEST_F(DemoStationTest, TheMixFailsEveryFifthUnitInAFixedOrder) {
    QStringList fails;
    for (int n = 1; n <= 30; ++n) {
        const QString unit = jigunits::unitTested(QStringLiteral("mix"), n).name;
        if (unit != sound::UnitModel::standard().name) fails << QString::number(n) + QLatin1Char(' ') + unit;
    }
    EXPECT_EQ(fails, QStringList({QStringLiteral("5 ") + sound::UnitModel::peakPlus3dB().name,
                                  QStringLiteral("10 ") + sound::UnitModel::reversedPolarity().name,
                                  QStringLiteral("15 ") + sound::UnitModel::deadUnit().name,
                                  QStringLiteral("20 ") + sound::UnitModel::peakPlus3dB().name,
                                  QStringLiteral("25 ") + sound::UnitModel::reversedPolarity().name,
                                  QStringLiteral("30 ") + sound::UnitModel::deadUnit().name}));
}

// A setting of the environment the station cannot start with is said on
// standard error, and the program ends at once: on a platform where a box
// would wait for somebody (as under xvfb-run, where nobody sees it) too.
// Every folder refused here is refused to root as well.
TEST_F(DemoStationTest, AnUnknownJigUnitStopsTheStartNamingTheKnownOnes) {
    writeHomeFile(QStringLiteral("a-file"), "not a folder");
    // The program installed alone in a folder of its own, started without VEXO_HOME.
    const QString installed = homeFile(QStringLiteral("installed"));
    ASSERT_TRUE(QDir().mkpath(installed));
    const QString copy = QDir(installed).filePath(QStringLiteral("Vexo"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VEXO_EXE_PATH), copy));
    const struct {
        QList<QPair<const char*, QString>> settings;   // a null value unsets the variable
        QStringList said;
        QString program = QStringLiteral(VEXO_EXE_PATH);
        bool diskFull = false;   // no file may grow: every write fails as on a full disk
        // A start killed while it checked the folder left its check file, under
        // the process id this start gets.
        bool checkFileLeft = false;
    } cases[] = {
        {{{"VEXO_JIG_UNIT", QStringLiteral("wobbly")}},
         {QStringLiteral("\"wobbly\""), QStringLiteral("standard, peak, reversed, dead, mix")}},
        {{{"VEXO_SOUND", QStringLiteral("jgi")}}, {QStringLiteral("VEXO_SOUND \"jgi\""), QStringLiteral("\"jig\"")}},
        // The jig's name is read as its unit's is: spaces around it and letter case do not matter.
        {{{"VEXO_SOUND", QStringLiteral(" Jig ")}, {"VEXO_JIG_UNIT", QStringLiteral(" Wobbly ")}},
         {QStringLiteral("VEXO_JIG_UNIT \" Wobbly \" names no unit")}},
        {{{"VEXO_HOME", homeFile(QStringLiteral("no-such-folder"))}}, {QStringLiteral("names no folder")}},
        {{{"VEXO_HOME", homeFile(QStringLiteral("a-file"))}}, {QStringLiteral("names no folder")}},
        // A folder whose permissions let root write, where no file can be made.
        {{{"VEXO_HOME", QStringLiteral("/proc")}},
         {QStringLiteral("VEXO_HOME \"/proc\""), QStringLiteral("creating a file in it failed ("),
          QStringLiteral("set VEXO_HOME to a folder you can write")}},
        {{{"VEXO_HOME", QString()}},
         {QStringLiteral("The program's folder \"") + QFileInfo(installed).canonicalFilePath() + QLatin1Char('"'),
          QStringLiteral("writing a file in it failed (File too large)"),
          QStringLiteral("set VEXO_HOME to a folder you can write")},
         copy, true},
        // The folder is checked afresh: the leftover is no reason to refuse it.
        {{{"VEXO_HOME", QString()}, {"VEXO_JIG_UNIT", QStringLiteral("wobbly")}},
         {QStringLiteral("VEXO_JIG_UNIT \"wobbly\" names no unit")},
         copy, false, true},
        // A value is shown with what a terminal would act on written out, and cut when long.
        {{{"VEXO_JIG_UNIT", QStringLiteral("wobbly\nVexo: ready\x1b[2J")}},
         {QStringLiteral("VEXO_JIG_UNIT \"wobbly\\nVexo: ready\\x1B[2J\" names no unit")}},
        {{{"VEXO_HOME", homeFile(QStringLiteral("gone\r\x1b]0;Vexo\x07"))}},
         {QStringLiteral("/gone\\r\\x1B]0;Vexo\\x07\" names no folder")}},
        {{{"VEXO_SOUND", QStringLiteral("jgi\t\u009b31m")}},
         {QStringLiteral("VEXO_SOUND \"jgi\\t\\x9B31m\" names no sound")}},
        {{{"VEXO_JIG_UNIT", QString(130000, QLatin1Char('x'))}},
         {QStringLiteral("VEXO_JIG_UNIT \"") + QString(200, QLatin1Char('x')) +
          QStringLiteral("\"... (130000 characters, cut after 200) names no unit")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.first().first);
        QProcess station;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VEXO_HOME"), home());
        env.insert(QStringLiteral("VEXO_SETTINGS"), settingsFolder());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("minimal"));
        env.insert(QStringLiteral("VEXO_SOUND"), QStringLiteral("jig"));
        for (const auto& [variable, value] : c.settings) {
            if (value.isNull()) env.remove(QString::fromLatin1(variable));
            else env.insert(QString::fromLatin1(variable), value);
        }
        station.setProcessEnvironment(env);
        if (c.diskFull)
            station.setChildProcessModifier([] {
                rlimit limit{};
                getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = 0;
                setrlimit(RLIMIT_FSIZE, &limit);
                signal(SIGXFSZ, SIG_IGN);
            });
        if (c.checkFileLeft)
            station.setChildProcessModifier([left = QFile::encodeName(installed + "/.vexo-folder-check-")] {
                // Between fork and exec, on the child's small stack: the name
                // built by hand in static memory, the file made by a bare open().
                static char path[4096];
                const size_t n = std::min(static_cast<size_t>(left.size()), sizeof(path) - 16);
                std::memcpy(path, left.constData(), n);
                static char digits[16];
                int d = 0;
                for (long pid = ::getpid(); pid > 0 && d < 15; pid /= 10) digits[d++] = char('0' + pid % 10);
                size_t at = n;
                while (d > 0) path[at++] = digits[--d];
                path[at] = '\0';
                const int fd = ::open(path, O_WRONLY | O_CREAT, 0644);
                if (fd >= 0) ::close(fd);
            });
        station.start(c.program, {});
        if (!station.waitForFinished(20000)) {
            station.kill();
            station.waitForFinished();
            const QString value = c.settings.first().second;
            ADD_FAILURE() << "the station waited with " << c.settings.first().first << "="
                          << (value.isNull() ? std::string("(unset)") : value.toStdString());
            continue;
        }
        EXPECT_EQ(station.exitCode(), 1);
        const QString said = QString::fromUtf8(station.readAllStandardError());
        for (const QString& part : c.said) EXPECT_TRUE(said.contains(part)) << said.toStdString();
        // One line of the station's own, whatever the value holds: nothing
        // forges a second line, reaches the terminal as a control or runs on.
        EXPECT_EQ(said.count(QLatin1Char('\n')), 1) << said.toStdString();
        EXPECT_TRUE(said.startsWith(QStringLiteral("Vexo: "))) << said.toStdString();
        const auto control = [](QChar ch) { return ch.category() == QChar::Other_Control; };
        EXPECT_FALSE(std::any_of(said.cbegin(), said.cend() - 1, control)) << said.toStdString();
        EXPECT_LT(said.size(), 1000);
    }
}

// What the operator sees after a passed and a failed unit, drawn by the station
// on the jig: every colour on the graphs against the graph's background, and the
// README's pictures (kept when VEXO_DOCS_DIR names the docs folder).
TEST_F(DemoStationTest, ResultsStandOutOnTheGraphsAndTheReadmePicturesAreTheStationsOwn) {
    jigFromEnvironment("mix");
    frmVexo& f = start();
    calibrateAndReadPrompt(f);
    const QString docs = qEnvironmentVariable("VEXO_DOCS_DIR");
    auto keep = [&](QWidget& iWindow, const QString& iName) {
        const QImage shot = iWindow.grab().toImage();
        ASSERT_FALSE(shot.isNull());
        ASSERT_TRUE(shot.save(homeFile(iName)));
        if (docs.isEmpty()) return;
        QFile::remove(QDir(docs).filePath(iName));
        EXPECT_TRUE(QFile::copy(homeFile(iName), QDir(docs).filePath(iName)));
    };
    // What each colour drawn on a graph reaches against its background.
    auto expectContrast = [](const DrawSurface& iGraph, const char* iWhich) {
        const QList<QPair<QRgb, int>> colours = coloursOf(iGraph.image());
        ASSERT_GT(colours.size(), 2);
        const QColor back = QColor::fromRgb(colours.first().first);
        EXPECT_EQ(back, vbcolor::toQColor(vbcolor::vbGraphPaper)) << iWhich;
        for (const auto& c : colours.mid(1)) {
            const QColor colour = QColor::fromRgb(c.first);
            const double ratio = contrast(colour, back);
            std::printf("%s %s %d px %.2f:1\n", iWhich, qPrintable(colour.name()), c.second, ratio);
            // Blue, the first layer's colour, is the one colour that cannot reach 3:1 on
            // a background that keeps the white curve at 3:1 or better.
            EXPECT_GE(ratio, colour == QColor(0, 0, 255) ? 2.4 : 3.0) << iWhich << " " << colour.name().toStdString();
        }
    };

    // Units 1 to 4 of the mix pass.
    drive::click(f.cmdTest);
    ASSERT_EQ(f.lblPassFail->Caption(), "PASS");
    expectContrast(*f.picResponse, "picResponse (PASS)");
    expectContrast(*f.picPolarity, "picPolarity (PASS)");
    // The white curve is drawn, in many pixels.
    int white = 0;
    for (const auto& c : coloursOf(f.picResponse->image())) white += c.first == 0xFFFFFF ? c.second : 0;
    EXPECT_GT(white, 100);
    keep(f, QStringLiteral("main-window-pass.png"));
    for (int n = 2; n <= 4; ++n) drive::click(f.cmdTest);
    // Unit 5 has the higher peak: FAIL with the failing layer's boxes in red.
    answer({vbNo});
    drive::click(f.cmdTest);
    ASSERT_EQ(f.lblPassFail->Caption(), "FAIL");
    expectContrast(*f.picResponse, "picResponse (FAIL)");
    keep(f, QStringLiteral("main-window-fail.png"));

    // The test editor's response window with its layers and a try-out's trace.
    frmMETest& t = form<frmMETest>();
    ASSERT_TRUE(drive::showActive(t));
    choose(t.dcboTest, demostation::kResponseTest);
    frmMETestResponse& r = form<frmMETestResponse>();
    drive::click(t.cmdRun);
    expectContrast(*r.picResponse, "frmMETestResponse.picResponse");
    keep(r, QStringLiteral("test-editor-response.png"));
    unload<frmMETestResponse>();
    unload<frmMETest>();
}
}
