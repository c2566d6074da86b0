#include "test_editor/METestMenus.h"
#include "platform/ui/MenuTable.h"

void METestMenus::mBuildMenus(Form* iForm, const char* isVexoCaption) {
    using R = MenuRow;
    gBuildMenus(iForm, {
        R::bar(mnuFile, "mnuFile", "&File"),
        R::item(mnuFileSelect, "mnuFileSelect", "Select", "Ctrl+M"),
        R::separator("mnuFileSep1"),
        R::item(mnuFileNew, "mnuFileNew", "New", "Ctrl+N"),
        R::item(mnuFileDelete, "mnuFileDelete", "&Delete", "Ctrl+D"),
        R::item(mnuFileSave, "mnuFileSave", "&Save", "Ctrl+S"),
        R::item(mnuFileSaveAs, "mnuFileSaveAs", "Save &As", "Ctrl+A"),
        R::separator("mnuFileSep2"),
        R::item(mnuFileReset, "mnuFileReset", "Reset", "Ctrl+R").disabled(),
        R::separator("mnuFileSep3"),
        R::item(mnuFilePrint, "mnuFilePrint", "&Print", "Ctrl+P"),
        R::separator("mnuFileSep4"),
        R::item(mnuFileRun, "mnuFileRun", "R&un", "Ctrl+U"),
        R::separator("mnuFileSep5"),
        R::item(mnuFileExit, "mnuFileExit", "E&xit", "Ctrl+X"),
        R::bar(mnuWindow, "mnuWindow", "&Window"),
        R::item(mnuWindowVexo, "mnuWindowVexo", isVexoCaption, "Ctrl+K"),
        R::item(mnuWindowSequence, "mnuWindowSequence", "Se&quence", "Ctrl+Q"),
        R::item(mnuWindowSystem, "mnuWindowSystem", "S&ystem", "Ctrl+Y"),
        R::item(mnuWindowOtherTest, "mnuWindowOtherTest", "Other T&est", "Ctrl+E"),
        R::separator("mnuWindowSep1"),
        R::item(mnuWindowCloseAllEngineer, "mnuWindowCloseAllEngineer", "Close All En&gineer", "Ctrl+G"),
        R::bar(mnuHelp, "mnuHelp", "&Help"),
        R::item(mnuHelpHelp, "mnuHelpHelp", "Help", "F1"),
        R::item(mnuHelpAboutVexo, "mnuHelpAboutVexo", "&About Vexo"),
    });
}
