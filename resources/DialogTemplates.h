// The program's dialog templates and its menu, as tables. Places and sizes are in dialog units of the
// template's font (8-point); the window layer converts them to pixels and builds the controls in
// template order, which is also the tab order.
#pragma once

#include <string>
#include <vector>

enum class ItemKind {
    Text,          // static text
    BlackFrame,    // static black frame, taken over by a display field or a bitmap
    Icon,          // static icon (the text holds nothing; the icon is the program icon)
    PushButton,    // push button
    DefPushButton, // default push button
    OwnerDraw,     // owner-drawn button
    ComboList,     // drop-down list combo box, no typing, not sorted
    GroupBox,      // group box
    Radio,         // automatic radio button
};

// Item style flags.
enum : unsigned {
    kTabStop = 1u << 0,  // the item is a tab stop
    kGroup = 1u << 1,    // the item starts a control group
    kCentre = 1u << 2,   // static text centred in its rectangle
    kVScroll = 1u << 3,  // vertical scroll bar (combo box list)
    kDisabled = 1u << 4, // created disabled
};

struct DialogItem {
    int id;
    ItemKind kind;
    std::string text;
    int x, y, cx, cy;
    unsigned style;
};

// Dialog styles.
enum class DialogKind {
    Child, // a child window without caption or border (the panels)
    Popup, // a modal pop-up with caption
};

struct DialogTemplate {
    int id;
    DialogKind kind;
    std::string caption;
    int x, y, cx, cy;
    bool systemMenu;
    std::string fontName;
    int pointSize;
    std::vector<DialogItem> items;
};

// The template of the given number; null when the program has none of that number.
const DialogTemplate* FindDialogTemplate(int id);

// One entry of the menu bar: a top-level menu (command 0, not a separator) or an item of the menu above
// it. Texts carry "&" before the access key.
struct MenuEntry {
    bool topLevel;
    bool separator;
    std::string text;
    int command;
};

// The main window's menu, resource 102, in order.
const std::vector<MenuEntry>& MainMenu();
