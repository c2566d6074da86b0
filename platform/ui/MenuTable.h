#pragma once
#include <functional>
#include <initializer_list>

class Form;
class Menu;

// One row of a window's menu table: a menu on the menu bar, an item of the
// last bar menu above it, or a separator ("-") there. Names, captions and
// shortcuts as the Menu constructor takes them.
struct MenuRow {
    static MenuRow bar(Menu*& oMenu, const char* iName, const char* iCaption);
    static MenuRow item(Menu*& oMenu, const char* iName, const char* iCaption, const char* iShortcut = "",
                        std::function<void()> iClick = {});
    static MenuRow separator(const char* iName);
    static MenuRow separator(Menu*& oMenu, const char* iName);
    // The item starts greyed until the window enables it.
    MenuRow disabled() &&;

    Menu** menu = nullptr;   // the window's member the row fills, if it keeps one
    const char* name = "";
    const char* caption = "";
    const char* shortcut = "";
    std::function<void()> click{};
    bool onBar = false;
    bool enabled = true;
};

// Builds a window's menus in the table's order, with their shortcuts,
// handlers and the items that start disabled.
void gBuildMenus(Form* iForm, std::initializer_list<MenuRow> iTable);
