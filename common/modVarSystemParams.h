#pragma once
#include <QString>
#include <cstdint>

// The station settings file Vexo_Sys.txt: eleven lines, Windows-1252, CR LF.
extern QString gsStationName;
extern QString gsPasswordEng;       // plain text while the program runs
extern QString gsPasswordSuper;
extern bool gbVarSysParam4;         // only read and written back
extern bool gbAudioPrompts;
extern int16_t gnOpTimeOut;         // minutes
extern int16_t gnDigPort;           // 0 = no digital output board
extern bool gbOpFailCheck;

// The longest station name the curve and production records hold.
constexpr int kStationNameMaxLen = 50;

void gVarSystemParamsRead(bool& obError);
void gVarSystemParamsWrite(bool& obError);

// The settings file's name and its full path in the program folder.
QString gsVarSystemParamsFile();
