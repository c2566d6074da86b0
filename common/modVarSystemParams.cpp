#include "common/modVarSystemParams.h"
#include "common/ErrorTrap.h"
#include "common/modFile.h"
#include "common/modStringEncryptDecrypt.h"
#include "platform/os/AppInfo.h"
#include "platform/os/TextFile.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

QString gsStationName;
QString gsPasswordEng;
QString gsPasswordSuper;
bool gbVarSysParam4 = true;
bool gbAudioPrompts = true;
int16_t gnOpTimeOut = 0;
int16_t gnDigPort = 0;
bool gbOpFailCheck = true;

namespace {
const char* kModule = "modVarSystemParams";
const QString kFile = QStringLiteral("Vexo_Sys.txt");

// The first character of a password that cannot be stored scrambled: one that
// would turn into a line break or tab in the file, or has no Windows-1252 code.
int mnPasswordRefusedAt(const QString& isPassword) {
    for (int i = 0; i < isPassword.size(); ++i) {
        const int code = ansiCode(isPassword.at(i));
        if (code < 0) return i;
        const int scrambled = code ^ 0x80;
        if (scrambled == 8 || scrambled == 9 || scrambled == 10 || scrambled == 13) return i;
    }
    return -1;
}

QString mBoolText(bool ibValue) { return ibValue ? QStringLiteral("True") : QStringLiteral("False"); }

// The values of a new station; the passwords are left as they are.
void mSetDefaults() {
    gsStationName = QStringLiteral("Pelmo Towers");
    gbVarSysParam4 = true;
    gbAudioPrompts = true;
    gbOpFailCheck = true;
    gnOpTimeOut = 0;
    gnDigPort = 0;
}
}

// The file the reader finds (in whatever letter case it was copied in), so
// that what is written is what the next start reads.
QString gsVarSystemParamsFile() { return gsFileFoundPath(kFile); }

void gVarSystemParamsRead(bool& obError) {
    ErrorTrap trap(kModule, "gVarSystemParamsRead", obError);
    // Whatever the read does not reach (a file that cannot be opened, a line
    // given up on) keeps its default: an empty station name would be stored
    // in every curve and production row.
    mSetDefaults();
    const int16_t fn = gnFileExistsOpen(kFile, QStringLiteral("Setting System defaults ..."), obError, TextEncoding::Ansi);
    if (fn != 0 && !obError) {
        struct Closer { int fn; ~Closer() { textFileClose(fn); } } closer{fn};
        QString line;
        if (!trap(20, [&] { gsStationName = textFileLineInput(fn); })) return;
        // A longer name fails every record write: cut to what they hold.
        if (gsStationName.size() > kStationNameMaxLen) {
            const QString sCut = gsStationName.left(kStationNameMaxLen);
            gMsgBox(QStringLiteral("The station name '%1' is longer than %2 characters: it is cut to '%3'.")
                        .arg(gsStationName)
                        .arg(kStationNameMaxLen)
                        .arg(sCut),
                    vbExclamation, QStringLiteral("modVarSystemParams.gVarSystemParamsRead"));
            gsStationName = sCut;
        }
        if (!trap(30, [&] { line = textFileLineInput(fn); })) return;
        if (!line.isEmpty()) line = gsStringEncryptDecrypt(line, obError);
        gsPasswordEng = line;
        line.clear();
        if (!obError && !trap(40, [&] { line = textFileLineInput(fn); })) return;
        if (!obError && !line.isEmpty()) line = gsStringEncryptDecrypt(line, obError);
        if (!obError) gsPasswordSuper = line;
        if (obError) return;
        if (!trap(50, [&] { gbVarSysParam4 = CBool(Variant(textFileLineInput(fn))); })) return;
        if (!trap(60, [&] { gbAudioPrompts = CBool(Variant(textFileLineInput(fn))); })) return;
        if (!trap(70, [&] { textFileLineInput(fn); })) return;
        if (!trap(80, [&] { gnOpTimeOut = CInt(Variant(textFileLineInput(fn))); })) return;
        if (!trap(90, [&] { textFileLineInput(fn); })) return;
        if (!trap(100, [&] { textFileLineInput(fn); })) return;
        if (!trap(110, [&] { gnDigPort = CInt(Variant(textFileLineInput(fn))); })) return;
        trap(120, [&] { gbOpFailCheck = CBool(Variant(textFileLineInput(fn))); });
        return;
    }
    // A file that exists but could not be opened is not overwritten.
    if (obError) return;
    gVarSystemParamsWrite(obError);
}

void gVarSystemParamsWrite(bool& obError) {
    ErrorTrap trap(kModule, "gVarSystemParamsWrite", obError);
    // A password that cannot be stored is refused here, before anything is
    // written: storing it as an empty line would open the station to anyone.
    // A station name that Windows-1252 cannot hold would come back changed after
    // a restart, and be stored so in every later curve and production record.
    for (const QChar c : gsStationName) {
        if (ansiCode(c) < 0) {
            gMsgBox(QStringLiteral("The station name contains the character '%1', which is not allowed." "\r\n\r\n"
                                   "The settings file was not changed.")
                        .arg(c),
                    vbExclamation, QStringLiteral("modVarSystemParams.gVarSystemParamsWrite"));
            obError = true;
            return;
        }
    }
    for (const auto& [password, which] : {std::pair{gsPasswordEng, QStringLiteral("engineer")},
                                          std::pair{gsPasswordSuper, QStringLiteral("supervisor")}}) {
        const int at = mnPasswordRefusedAt(password);
        if (at >= 0) {
            gMsgBox(QStringLiteral("The %1 password contains the character '%2', which is not allowed." "\r\n\r\n"
                                   "The settings file was not changed.")
                        .arg(which, password.at(at)),
                    vbExclamation, QStringLiteral("modVarSystemParams.gVarSystemParamsWrite"));
            obError = true;
            return;
        }
    }
    QString eng = gsPasswordEng;
    QString super = gsPasswordSuper;
    if (!eng.isEmpty()) eng = gsStringEncryptDecrypt(eng, obError);
    if (obError) return;
    if (!super.isEmpty()) super = gsStringEncryptDecrypt(super, obError);
    if (obError) return;

    const QStringList lines = {gsStationName, eng, super, mBoolText(gbVarSysParam4), mBoolText(gbAudioPrompts),
                               QString(), QString::number(gnOpTimeOut), QStringLiteral("0"), QStringLiteral(" "),
                               QString::number(gnDigPort), mBoolText(gbOpFailCheck)};
    QByteArray bytes;
    for (const QString& l : lines) bytes += toAnsi(l) + "\r\n";
    // Written whole or not at all: a full disk or a power cut never leaves half
    // a settings file, which would open the station without its passwords.
    trap(10, [&] {
        const QString sCause = writeWholeFile(gsVarSystemParamsFile(), bytes);
        if (!sCause.isEmpty())
            vbRaise(vberr::kPathFileAccess, vbErrorText(vberr::kPathFileAccess) + QStringLiteral(" (") + kFile +
                                                QStringLiteral("): ") + sCause);
    });
}
