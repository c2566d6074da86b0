#include "platform/ui/MenuTable.h"
#include "platform/ui/Menu.h"
#include <utility>

MenuRow MenuRow::bar(Menu*& oMenu, const char* iName, const char* iCaption) {
    MenuRow row;
    row.menu = &oMenu;
    row.name = iName;
    row.caption = iCaption;
    row.onBar = true;
    return row;
}

MenuRow MenuRow::item(Menu*& oMenu, const char* iName, const char* iCaption, const char* iShortcut,
                      std::function<void()> iClick) {
    MenuRow row;
    row.menu = &oMenu;
    row.name = iName;
    row.caption = iCaption;
    row.shortcut = iShortcut;
    row.click = std::move(iClick);
    return row;
}

MenuRow MenuRow::separator(const char* iName) {
    MenuRow row;
    row.name = iName;
    row.caption = "-";
    return row;
}

MenuRow MenuRow::separator(Menu*& oMenu, const char* iName) {
    MenuRow row = separator(iName);
    row.menu = &oMenu;
    return row;
}

MenuRow MenuRow::disabled() && {
    enabled = false;
    return std::move(*this);
}

void gBuildMenus(Form* iForm, std::initializer_list<MenuRow> iTable) {
    Menu* barMenu = nullptr;
    for (const MenuRow& row : iTable) {
        Menu* menu = new Menu(iForm, QString::fromUtf8(row.name), QString::fromUtf8(row.caption),
                              row.onBar ? nullptr : barMenu, QString::fromUtf8(row.shortcut));
        if (row.onBar) barMenu = menu;
        if (row.menu) *row.menu = menu;
        if (row.click) menu->Click = row.click;
        if (!row.enabled) menu->setEnabled(false);
    }
}
