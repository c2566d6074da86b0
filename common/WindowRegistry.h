#pragma once
#include "platform/ui/FormRegistry.h"
#include <QString>
#include <functional>

// The windows one subsystem opens in another, by kind. Each subsystem enters
// its own windows at start, so that the main window's commands, the engineer
// windows' Window menus and the engineer-window management open, find and
// close them without including their headers.
enum class WindowKind { Main, SequenceEditor, TestEditor, SystemWindow, Supervisor, PairMatch, Typical };

struct WindowEntry {
    std::function<Form&()> form;      // the default instance, made and loaded on first use
    std::function<bool()> loaded;     // whether it is loaded
    std::function<bool()> unload;     // unloads it; false when it refused to close
    // Puts the named record in front, and names the one in front (the sequence
    // editor's sequence); empty for a window that has no such choice.
    std::function<void(const QString&)> select = {};
    std::function<QString()> selected = {};
};

void gWindowRegister(WindowKind iKind, WindowEntry iEntry);
// The entry for a window type reached through its default instance.
template <class T>
void gWindowRegister(WindowKind iKind, std::function<void(const QString&)> iSelect = {},
                     std::function<QString()> iSelected = {}) {
    gWindowRegister(iKind, WindowEntry{[]() -> Form& { return form<T>(); }, [] { return isLoaded<T>(); },
                                       [] { return unload<T>(); }, std::move(iSelect), std::move(iSelected)});
}

// The window of the kind, made on first use. A kind no subsystem entered
// raises 91, as an unset object would.
Form& gWindowForm(WindowKind iKind);
bool gWindowLoaded(WindowKind iKind);
// Unloads the window when it is loaded; false when it refused to close.
bool gWindowUnload(WindowKind iKind);
// Puts the named record in front on the window of the kind.
void gWindowSelect(WindowKind iKind, const QString& isName);
// The name of the record in front on the window of the kind; empty when it has
// no such choice.
QString gWindowSelected(WindowKind iKind);
