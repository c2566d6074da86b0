#pragma once
#include <QString>

// The per-user settings store: application, section and key, as the station's
// routines name them. Kept as one INI file per application in the user's
// configuration folder (or the folder a test chooses).
// A file that cannot be read holds no settings for GetSetting. SaveSetting and
// DeleteSetting write the file whole or leave it as it was; one that cannot be
// written (a full disk) or read for the change raises 75 "Path/File access
// error: the settings file '…' could not be written: <cause>".
QString GetSetting(const QString& iApp, const QString& iSection, const QString& iKey,
                   const QString& iDefault = QString());
void SaveSetting(const QString& iApp, const QString& iSection, const QString& iKey, const QString& iValue);
// An empty key deletes the whole section.
void DeleteSetting(const QString& iApp, const QString& iSection, const QString& iKey = QString());

namespace settingsstore {
// Where the INI files live: VEXO_SETTINGS when set, else the user's configuration folder.
QString folder();
void setFolder(const QString& iFolder);   // tests
}

// The station's own section: application "Pelmo", section the application title.
QString userSetting(const QString& iKey, const QString& iDefault = QString());
void saveUserSetting(const QString& iKey, const QString& iValue);
void deleteUserSetting(const QString& iKey);
