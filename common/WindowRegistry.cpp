#include "common/WindowRegistry.h"
#include "platform/vb/VbError.h"
#include <map>

namespace {
std::map<WindowKind, WindowEntry>& entries() {
    static std::map<WindowKind, WindowEntry> s;
    return s;
}

const WindowEntry& entry(WindowKind iKind) {
    const auto it = entries().find(iKind);
    if (it == entries().end()) vbRaise(91, QStringLiteral("Object variable or With block variable not set"));
    return it->second;
}
}

void gWindowRegister(WindowKind iKind, WindowEntry iEntry) { entries()[iKind] = std::move(iEntry); }

Form& gWindowForm(WindowKind iKind) { return entry(iKind).form(); }

bool gWindowLoaded(WindowKind iKind) {
    const auto it = entries().find(iKind);
    return it != entries().end() && it->second.loaded();
}

bool gWindowUnload(WindowKind iKind) {
    if (!gWindowLoaded(iKind)) return true;
    return entry(iKind).unload();
}

void gWindowSelect(WindowKind iKind, const QString& isName) {
    const WindowEntry& found = entry(iKind);
    if (found.select) found.select(isName);
}

QString gWindowSelected(WindowKind iKind) {
    const WindowEntry& found = entry(iKind);
    return found.selected ? found.selected() : QString();
}
