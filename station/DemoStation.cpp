#include "station/DemoStation.h"
#include "common/StationRecords.h"
#include "audio/modAudio.h"
#include "common/modDatabaseSchema.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Settings.h"
#include "platform/os/TextFile.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <QDir>
#include <QFile>

namespace demostation {
namespace {
constexpr int32_t kLo = 20;
constexpr int32_t kHi = 20000;
constexpr int16_t kPoints = 100;

// The sweep-point frequency nearest a wanted one: layer ends must lie on points.
int32_t pointFreq(int32_t ilWanted) {
    bool e = false;
    const int16_t p = gnAudioFreq2Point(kLo, kHi, kPoints, ilWanted, e);
    const float f = gfAudioPoint2Freq(kLo, kHi, kPoints, p, e);
    if (e) vbRaise(vberr::kInvalidCall, QStringLiteral("No sweep point near %1 Hz").arg(ilWanted));
    return CLng(Variant(f));
}

// A prompt, target or label file made before (and perhaps edited since) stays
// as it was when the new one cannot be written whole.
void writeText(const QString& isPath, const QString& isText) {
    QDir().mkpath(QFileInfo(isPath).absolutePath());
    QString text = isText;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QString sCause = writeWholeFile(isPath, text.toUtf8());
    if (!sCause.isEmpty())
        vbRaise(75, QStringLiteral("Path/File access error: ") + isPath + QStringLiteral(": ") + sCause);
}

bool hasRow(Recordset& ioRs, const QString& isField, const QString& isValue) {
    ioRs.FindFirst(isField + QStringLiteral(" = ?"), Variant(isValue));
    return !ioRs.NoMatch();
}

void addOperator(const Database& iDb) {
    auto rs = iDb.OpenRecordset(QStringLiteral("vexo_op"));
    if (hasRow(*rs, QStringLiteral("Operator"), kOperator)) return;
    rs->AddNew();
    rs->setField(QStringLiteral("Operator"), kOperator);
    rs->setField(QStringLiteral("User_Level"), QStringLiteral("Starter"));
    rs->Update();
}

void setCommon(Recordset& ioRs, const QString& isName, const QString& isType, float ifVolts) {
    ioRs.setField(QStringLiteral("Test_Name"), isName);
    ioRs.setField(QStringLiteral("Test_Type"), isType);
    ioRs.setField(QStringLiteral("Delay_s"), 0.0f);
    ioRs.setField(QStringLiteral("Drive_V"), ifVolts);
    ioRs.setField(QStringLiteral("Active_Flag"), false);   // volts at the amplifier's output
    ioRs.setField(QStringLiteral("Exit_Flag"), false);
    ioRs.setField(QStringLiteral("Op_Decide"), false);
    ioRs.setField(QStringLiteral("Op_DecideY"), false);
    ioRs.setField(QStringLiteral("PC_Decide"), false);
    ioRs.setField(QStringLiteral("Pulse_LF"), false);
    ioRs.setField(QStringLiteral("P_Neg_Flag"), false);
    ioRs.setField(QStringLiteral("Op_Prompt"), QString());
}

void setLayer(Recordset& ioRs, int iLayer, int32_t ilLo, int32_t ilHi, int16_t inBlock, float ifLim) {
    ioRs.setField(layerField(iLayer, "On"), int16_t{1});
    ioRs.setField(layerField(iLayer, "fLo"), pointFreq(ilLo));
    ioRs.setField(layerField(iLayer, "fHi"), pointFreq(ilHi));
    ioRs.setField(layerField(iLayer, "fMLo"), int32_t{0});
    ioRs.setField(layerField(iLayer, "fMHi"), int32_t{0});
    ioRs.setField(layerField(iLayer, "Pt#"), inBlock);
    ioRs.setField(layerField(iLayer, "Lim"), ifLim);
}

void addTests(const Database& iDb) {
    auto rs = iDb.OpenRecordset(QStringLiteral("vexo_tst"));
    if (!hasRow(*rs, QStringLiteral("Test_Name"), kResponseTest)) {
        rs->AddNew();
        setCommon(*rs, kResponseTest, QStringLiteral("Response"), 2.83f);
        rs->setField(QStringLiteral("fLo_Hz"), kLo);
        rs->setField(QStringLiteral("fHi_Hz"), kHi);
        rs->setField(QStringLiteral("Swp_Point"), kPoints);
        rs->setField(QStringLiteral("Swp_Type"), QStringLiteral("Log Up"));
        rs->setField(QStringLiteral("SwpDur_s"), 0.0f);
        // The whole useful band loosely, the cone break-up region tightly: the
        // standard unit passes, one whose break-up peak is 3 dB higher fails.
        setLayer(*rs, 1, 50, 15000, 4, 2.0f);
        setLayer(*rs, 2, 2000, 6000, 2, 1.0f);
        rs->Update();
    }
    if (!hasRow(*rs, QStringLiteral("Test_Name"), kPolarityTest)) {
        rs->AddNew();
        // The low pulse decides on the jig's standard unit only at the board's full 2 V.
        setCommon(*rs, kPolarityTest, QStringLiteral("Polarity"), 2.0f);
        rs->setField(QStringLiteral("Active_Flag"), true);
        rs->setField(QStringLiteral("Pulse_LF"), true);
        rs->setField(QStringLiteral("fLo_Hz"), int32_t{100});
        rs->setField(QStringLiteral("fHi_Hz"), int32_t{100});
        rs->setField(QStringLiteral("Swp_Type"), QStringLiteral("No Sweep"));
        rs->Update();
    }
    if (!hasRow(*rs, QStringLiteral("Test_Name"), kSineTest)) {
        rs->AddNew();
        setCommon(*rs, kSineTest, QStringLiteral("Sine"), 2.83f);
        rs->setField(QStringLiteral("PC_Decide"), true);   // the station measures the level
        rs->setField(QStringLiteral("fLo_Hz"), int32_t{1000});
        rs->setField(QStringLiteral("fHi_Hz"), int32_t{1000});
        rs->setField(QStringLiteral("Swp_Type"), QStringLiteral("No Sweep"));
        rs->setField(QStringLiteral("SwpDur_s"), 1.0f);
        rs->setField(QStringLiteral("fLo_Lim"), -60.0f);
        rs->setField(QStringLiteral("fHi_Lim"), 0.0f);
        rs->Update();
    }
}

void addSequence(const Database& iDb, const QString& isFolder) {
    auto seq = iDb.OpenRecordset(QStringLiteral("vexo_seq"));
    if (hasRow(*seq, QStringLiteral("Seq_Name"), kSequence)) return;
    seq->AddNew();
    seq->setField(QStringLiteral("Seq_Name"), kSequence);
    seq->setField(QStringLiteral("Test_No"), int16_t{3});
    seq->setField(QStringLiteral("Test_01"), kResponseTest);
    seq->setField(QStringLiteral("Test_02"), kPolarityTest);
    seq->setField(QStringLiteral("Test_03"), kSineTest);
    seq->setField(QStringLiteral("Main_Resp"), kResponseTest);
    seq->setField(QStringLiteral("Cali_ETime"), 1.0);   // a day
    seq->setField(QStringLiteral("Last_Cali"), Variant::date(0.0));
    seq->setField(QStringLiteral("Prompt_File"), QDir(isFolder).filePath(QStringLiteral("Prompts/Demo.txt")));
    seq->setField(QStringLiteral("Target_File"), QDir(isFolder).filePath(QStringLiteral("TARGETS/Demo.txt")));
    seq->setField(QStringLiteral("Script_File"), QDir(isFolder).filePath(QStringLiteral("Scripts/Demo.txt")));
    seq->setField(QStringLiteral("Serial_Flag"), QStringLiteral("None"));
    seq->setField(QStringLiteral("Log_Disc"), QStringLiteral("None"));
    seq->setField(QStringLiteral("Ref_Lim"), 0.0f);
    seq->setField(QStringLiteral("Sel_Lim"), 0.0f);
    seq->setField(QStringLiteral("Serial_No"), int32_t{0});
    seq->Update();
    // One calibration row per slot, as the sequence editor makes them.
    for (int slot = 1; slot <= 16; ++slot) {
        auto cal = iDb.OpenRecordset(QStringLiteral("vexo_seq_cal%1").arg(slot, 2, 10, QLatin1Char('0')));
        cal->AddNew();
        cal->setField(QStringLiteral("Seq_Name"), kSequence);
        cal->setField(QStringLiteral("Test_Name"), QStringLiteral(" "));
        cal->setField(QStringLiteral("AttIn"), int32_t{0});
        cal->Update();
    }
}

void writeFiles(const QString& isFolder) {
    const QDir dir(isFolder);
    writeText(dir.filePath(QStringLiteral("Prompts/Demo.txt")),
              QStringLiteral(".Demo sequence\n"
                             "The sequence is calibrated.\n"
                             "Place the unit to test in the fixture\n"
                             "and press OK. From now on\n"
                             "every Test tests one unit.\n"));
    writeText(dir.filePath(QStringLiteral("TARGETS/Demo.txt")),
              QStringLiteral(".Demo target: flat from 100 Hz to 8 kHz\n"
                             "20,-12\n100,0\n1000,0\n8000,0\n20000,-12\n"));
    writeText(dir.filePath(QStringLiteral("Scripts/Demo.txt")),
              QStringLiteral(".Demo label\n"
                             "..MODEL\n..CR\n"
                             "Operator \n..OPERATOR\n..CR\n"
                             "..DATE\n..CR\n"));
}

// The jig's voltmeter readings, where no calibration is stored yet, and the
// demo's operator as the one the main window restores at its first start.
void seedUserSettings() {
    if (userSetting(QStringLiteral("dcboOperator")).isEmpty()) saveUserSetting(QStringLiteral("dcboOperator"), kOperator);
    if (userSetting(QStringLiteral("gfVOutSoundboard")).isEmpty())
        saveUserSetting(QStringLiteral("gfVOutSoundboard"), QStringLiteral("2"));
    if (userSetting(QStringLiteral("gfVOutAmp")).isEmpty())
        saveUserSetting(QStringLiteral("gfVOutAmp"), QStringLiteral("40"));
    if (userSetting(QStringLiteral("gbVOutPositivePolarity")).isEmpty())
        saveUserSetting(QStringLiteral("gbVOutPositivePolarity"), QStringLiteral("-1"));
}

void writeStationSettings() {
    if (QFile::exists(gsVarSystemParamsFile())) return;
    gsStationName = QStringLiteral("Demo Station");
    gsPasswordEng.clear();
    gsPasswordSuper.clear();
    gbVarSysParam4 = true;
    gbAudioPrompts = true;
    gnOpTimeOut = 0;
    gnDigPort = 0;
    gbOpFailCheck = true;
    bool e = false;
    gVarSystemParamsWrite(e);
    if (e) vbRaise(75, QStringLiteral("Path/File access error: ") + gsVarSystemParamsFile());
}
}

bool missing(const QString& isFolder) { return !QFile::exists(QDir(isFolder).filePath(QStringLiteral("Vexo_Seq.mdb"))); }

void build(const QString& isFolder) {
    QDir().mkpath(isFolder);
    gDatabaseSchemaRegister();
    const QDir dir(isFolder);
    addOperator(OpenDatabase(dir.filePath(QStringLiteral("Vexo_Op.mdb"))));
    addTests(OpenDatabase(dir.filePath(QStringLiteral("Vexo_Tst.mdb"))));
    OpenDatabase(dir.filePath(QStringLiteral("Vexo_Prod.mdb")));
    OpenDatabase(dir.filePath(QStringLiteral("Vexo_Crv.mdb")));
    writeFiles(isFolder);
    // The sequence file last: its presence says the folder is complete.
    addSequence(OpenDatabase(dir.filePath(QStringLiteral("Vexo_Seq.mdb"))), isFolder);
    writeStationSettings();
    seedUserSettings();
}

}
