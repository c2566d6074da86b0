#include "test_editor/METestMenus.h"

void METestMenus::mBuildMenus(Form* iForm, const char* isVexoCaption) {
    auto item = [iForm](Menu*& oItem, const char* iName, const char* iCaption, Menu* iParent, const char* iShortcut) {
        oItem = new Menu(iForm, QString::fromLatin1(iName), QString::fromLatin1(iCaption), iParent,
                         QString::fromLatin1(iShortcut));
    };
    auto separator = [iForm](const char* iName, Menu* iParent) {
        new Menu(iForm, QString::fromLatin1(iName), QStringLiteral("-"), iParent);
    };
    mnuFile = new Menu(iForm, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    item(mnuFileSelect, "mnuFileSelect", "Select", mnuFile, "Ctrl+M");
    separator("mnuFileSep1", mnuFile);
    item(mnuFileNew, "mnuFileNew", "New", mnuFile, "Ctrl+N");
    item(mnuFileDelete, "mnuFileDelete", "&Delete", mnuFile, "Ctrl+D");
    item(mnuFileSave, "mnuFileSave", "&Save", mnuFile, "Ctrl+S");
    item(mnuFileSaveAs, "mnuFileSaveAs", "Save &As", mnuFile, "Ctrl+A");
    separator("mnuFileSep2", mnuFile);
    item(mnuFileReset, "mnuFileReset", "Reset", mnuFile, "Ctrl+R");
    separator("mnuFileSep3", mnuFile);
    item(mnuFilePrint, "mnuFilePrint", "&Print", mnuFile, "Ctrl+P");
    separator("mnuFileSep4", mnuFile);
    item(mnuFileRun, "mnuFileRun", "R&un", mnuFile, "Ctrl+U");
    separator("mnuFileSep5", mnuFile);
    item(mnuFileExit, "mnuFileExit", "E&xit", mnuFile, "Ctrl+X");
    mnuWindow = new Menu(iForm, QStringLiteral("mnuWindow"), QStringLiteral("&Window"));
    item(mnuWindowVexo, "mnuWindowVexo", isVexoCaption, mnuWindow, "Ctrl+K");
    item(mnuWindowSequence, "mnuWindowSequence", "Se&quence", mnuWindow, "Ctrl+Q");
    item(mnuWindowSystem, "mnuWindowSystem", "S&ystem", mnuWindow, "Ctrl+Y");
    item(mnuWindowOtherTest, "mnuWindowOtherTest", "Other T&est", mnuWindow, "Ctrl+E");
    separator("mnuWindowSep1", mnuWindow);
    item(mnuWindowCloseAllEngineer, "mnuWindowCloseAllEngineer", "Close All En&gineer", mnuWindow, "Ctrl+G");
    mnuHelp = new Menu(iForm, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    item(mnuHelpHelp, "mnuHelpHelp", "Help", mnuHelp, "F1");
    item(mnuHelpAboutVexo, "mnuHelpAboutVexo", "&About Vexo", mnuHelp, "");
    mnuFileReset->setEnabled(false);
}
