#pragma once
#include "platform/ui/Menu.h"

class Form;

// The File, Window and Help menus the test editor and its four type windows
// share, built from one table; only the main window's item in the Window
// menu is captioned differently ("&Vexo" in the editor, "Vexo" beside it).
class METestMenus {
public:
    Menu* mnuFile = nullptr;
    Menu* mnuFileSelect = nullptr;
    Menu* mnuFileNew = nullptr;
    Menu* mnuFileDelete = nullptr;
    Menu* mnuFileSave = nullptr;
    Menu* mnuFileSaveAs = nullptr;
    Menu* mnuFileReset = nullptr;   // enabled when an edit is not saved yet
    Menu* mnuFilePrint = nullptr;
    Menu* mnuFileRun = nullptr;
    Menu* mnuFileExit = nullptr;
    Menu* mnuWindow = nullptr;
    Menu* mnuWindowVexo = nullptr;
    Menu* mnuWindowSequence = nullptr;
    Menu* mnuWindowSystem = nullptr;
    Menu* mnuWindowOtherTest = nullptr;
    Menu* mnuWindowCloseAllEngineer = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpHelp = nullptr;
    Menu* mnuHelpAboutVexo = nullptr;

protected:
    void mBuildMenus(Form* iForm, const char* isVexoCaption);
};
