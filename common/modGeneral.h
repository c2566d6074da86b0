#pragma once
#include <QString>
#include <cstdint>

// Start-up services, locale and the small text helpers every window uses.
extern QString gsOSVersion;            // operating-system text, set at start-up
extern QString gsMainCaption;          // product name and version: captions, titles, bylines
extern QString gsUserRegionCode;       // the user locale's region code
extern bool gbUserRegionChanged;       // region differs from the one saved at the last shutdown
extern QString gsProductNameVersion;   // product name, a blank, gsVersion (set by the splash)

void gActivatePrevInstance(bool& obError);
void gGStartUpSetStuff(bool& obError);
QString gsGGetOSVersion(bool& obError);
bool gbGetLocaleInfoUserRegionChanged(bool& obError);
void gGetLocaleInfoSaveUserRegion(bool& obError);
QString gsGetLocaleInfoUserDecimalChar(bool& obError);
QString msGetLocaleInfoUserRegionCode(bool& obError);
QString msGetLocaleInfoUser(int16_t inItem, bool& obError);   // 14 decimal character, 5 region code

QString gsGGetSettingValidNumber(const QString& isKey, float ifDefault, bool& obError);
QString gsGCheckUpdateDecimalChar(const QString& isNumber, bool& obError);
void gGShowHelp(int32_t ilHwnd, bool& obError);
void gGPause(int16_t inMilliseconds, bool& obError);

QString gsGTrim(const QString& isText, bool& obError);
QString gsGStringLeftStrip(const QString& isText, const QString& isChar, bool& obError);
bool gbGLenTrim(const QString& isText, bool& obError);
int16_t gnGAscii(const QString& isText, bool& obError);
bool gbGTextValidSingle(const QString& isText, bool& obError);
