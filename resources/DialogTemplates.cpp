#include "resources/DialogTemplates.h"

#include "resources/ResourceIds.h"

namespace {

const char* const kFont = "MS Sans Serif";

DialogTemplate AboutTemplate() {
    // clang-format off
    return {IDD_ABOUTBOX, DialogKind::Popup, "About rqk4712v Sfp", 34, 22, 232, 92, true, kFont, 8, {
        {IDC_STATIC, ItemKind::Icon,          "", 4, 4, 20, 20, 0},
        {IDC_STATIC, ItemKind::Text,          "rqk4712v soft front panel (WIN95/NT)", 32, 4, 160, 8, kCentre},
        {IDOK,       ItemKind::DefPushButton, "OK", 196, 4, 32, 14, kTabStop | kGroup},
        {IDC_STATIC, ItemKind::Text,          "VERSION: A.01.00", 4, 36, 224, 8, kCentre},
        {IDC_STATIC, ItemKind::Text,          "VXI Plug && Play Driver revision required: A.01.00 or greater", 4, 52, 224, 8, kCentre},
        {IDC_STATIC, ItemKind::Text,          "RQK4712V firmware revision required: A.11.01 or greater", 4, 64, 224, 8, kCentre},
        {IDC_STATIC, ItemKind::Text,          "VISA version required: 1.0 or greater", 4, 76, 224, 8, kCentre},
    }};
    // clang-format on
}

DialogTemplate MainPanelTemplate() {
    // clang-format off
    return {IDD_MAIN_PANEL, DialogKind::Child, "", 0, 0, 177, 193, false, kFont, 8, {
        {IDC_HEADER,     ItemKind::BlackFrame, "",        4,   0,   168, 28,  0},
        {IDC_BODY,       ItemKind::BlackFrame, "",        4,   30,  168, 158, 0},
        {IDC_INFO_STRIP, ItemKind::BlackFrame, "",        12,  32,  152, 18,  0},
        {IDC_LOGO,       ItemKind::BlackFrame, "",        12,  5,   62,  17,  kTabStop},
        {IDC_PNP_LOGO,   ItemKind::BlackFrame, "",        117, 2,   50,  24,  0},
        {IDC_SLOT,       ItemKind::BlackFrame, "",        14,  35,  34,  12,  0},
        {IDC_ADDRESS,    ItemKind::BlackFrame, "",        51,  35,  66,  12,  0},
        {IDC_LAMP,       ItemKind::OwnerDraw,  "",        143, 35,  16,  12,  0},
        {IDC_STATIC,     ItemKind::Text,       "Active",  118, 37,  24,  8,   kCentre | kGroup},
        {IDC_GROUP1,     ItemKind::OwnerDraw,  "Button1", 11,  97,  75,  43,  kTabStop},
        {IDC_GROUP0,     ItemKind::OwnerDraw,  "Button0", 11,  52,  75,  43,  kTabStop},
        {IDC_GROUP2,     ItemKind::OwnerDraw,  "Button2", 11,  142, 75,  43,  kTabStop},
        {IDC_GROUP4,     ItemKind::OwnerDraw,  "Button4", 89,  97,  75,  43,  kTabStop},
        {IDC_GROUP5,     ItemKind::OwnerDraw,  "Button5", 89,  52,  75,  43,  kTabStop},
        {IDC_GROUP3,     ItemKind::OwnerDraw,  "Button3", 89,  142, 75,  43,  kTabStop},
    }};
    // clang-format on
}

DialogTemplate StatusPanelTemplate() {
    // clang-format off
    return {IDD_STATUS_PANEL, DialogKind::Child, "", 0, 0, 177, 177, false, kFont, 8, {
        {IDC_STATUS_TITLE,     ItemKind::BlackFrame, "",                 8,   4,   160, 12,  0},
        {IDC_ERROR_BOX,        ItemKind::BlackFrame, "",                 8,   20,  160, 36,  0},
        {IDC_LOWER_BOX,        ItemKind::BlackFrame, "",                 8,   59,  160, 113, 0},
        {IDC_STATIC,           ItemKind::Text,       "Error",            12,  32,  28,  7,   kCentre | kGroup},
        {IDC_READ_ERROR_QUEUE, ItemKind::PushButton, "Read Error Queue", 44,  23,  63,  12,  kTabStop},
        {IDC_STATIC,           ItemKind::Text,       "Number",           108, 26,  28,  8,   kGroup},
        {IDC_ERROR_NUMBER,     ItemKind::BlackFrame, "",                 136, 24,  28,  12,  0},
        {IDC_STATIC,           ItemKind::Text,       "Message",          12,  42,  30,  8,   kGroup},
        {IDC_ERROR_MESSAGE,    ItemKind::BlackFrame, "",                 44,  40,  120, 12,  0},
        {IDC_STATIC,           ItemKind::Text,       "Status Byte",      12,  146, 25,  9,   kGroup},
        {IDC_OPC,              ItemKind::PushButton, "OPC?",             108, 144, 34,  14,  kTabStop},
        {IDC_STATUS_BYTE,      ItemKind::OwnerDraw,  "Button1",          41,  144, 50,  14,  kTabStop},
    }};
    // clang-format on
}

DialogTemplate SelectInstrumentTemplate() {
    // clang-format off
    return {IDD_SELECT_INSTRUMENT, DialogKind::Popup, "Select Instrument", 0, 0, 186, 92, false, kFont, 8, {
        {IDC_INSTRUMENT_LIST, ItemKind::ComboList,     "",       24,  24, 140, 60, kVScroll | kTabStop},
        {IDOK,                ItemKind::DefPushButton, "OK",     28,  68, 50,  14, kTabStop},
        {IDCANCEL,            ItemKind::PushButton,    "Cancel", 100, 68, 50,  14, kTabStop},
    }};
    // clang-format on
}

// The Configuration dialog: six group boxes, each with an "Attenuator" label, three attenuator buttons,
// a "Switch" label and two switch buttons. Group 0's box stands at (13, 15); the other groups repeat its
// layout within their own boxes. The five buttons of a group come first in template order (the first
// one starts a control group) and its two labels follow, each starting a control group, so the five
// buttons form one radio group.
DialogTemplate ConfigTemplate() {
    static const int boxX[6] = {13, 90, 167, 13, 91, 167};
    static const int boxY[6] = {15, 14, 14, 103, 102, 102};
    static const char* const names[5] = {"QZATNA01", "QZATNB01", "QZATNC01", "QZSWTA01", "QZSWTB01"};
    static const int buttonY[5] = {33, 43, 52, 71, 81};
    DialogTemplate t{IDD_CONFIG, DialogKind::Popup, "Configuration", 0, 0, 306, 206, true, kFont, 8, {}};
    for (int g = 0; g < 6; ++g) {
        const int dx = boxX[g] - boxX[0];
        const int dy = boxY[g] - boxY[0];
        t.items.push_back(
            {IDC_STATIC, ItemKind::GroupBox, "Group " + std::to_string(g), boxX[g], boxY[g], 70, 79, 0});
        for (int k = 0; k < 5; ++k) {
            const unsigned style = kTabStop | (k == 0 ? kGroup : 0u);
            t.items.push_back({IDC_CONFIG_RADIO_FIRST[g] + k, ItemKind::Radio, names[k], 21 + dx,
                               buttonY[k] + dy, 58, 8, style});
        }
        t.items.push_back(
            {IDC_CONFIG_ATTEN_LABEL[g], ItemKind::Text, "Attenuator", 18 + dx, 23 + dy, 50, 8, kGroup});
        t.items.push_back(
            {IDC_CONFIG_SWITCH_LABEL[g], ItemKind::Text, "Switch", 16 + dx, 61 + dy, 50, 8, kGroup});
    }
    t.items.push_back({IDOK, ItemKind::DefPushButton, "OK", 249, 19, 42, 14, kTabStop | kGroup});
    t.items.push_back({IDCANCEL, ItemKind::PushButton, "Cancel", 250, 74, 43, 14, kTabStop});
    return t;
}

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    static const std::vector<DialogTemplate> templates = {AboutTemplate(), MainPanelTemplate(),
                                                          StatusPanelTemplate(), SelectInstrumentTemplate(),
                                                          ConfigTemplate()};
    for (const auto& t : templates) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

const std::vector<MenuEntry>& MainMenu() {
    static const std::vector<MenuEntry> menu = {
        {true, false, "&System", 0},
        {false, false, "&Reset", ID_RESET},
        // Refresh has an item of its own, so that the module can be read back with the pointer alone.
        {false, false, "Re&fresh\tF5", ID_REFRESH},
        {false, false, "Self &Test", ID_SELF_TEST},
        {false, false, "&Config", ID_CONFIG},
        {false, false, "E&xit", ID_EXIT},
        {true, false, "&Panels", 0},
        {false, false, "&Main Panel", ID_MAIN_PANEL},
        {false, false, "&Status ", ID_STATUS_PANEL},
        {true, false, "&Help", 0},
        {false, false, "&Help Contents", ID_HELP_CONTENTS},
        {false, true, "", 0},
        {false, false, "&About...", ID_ABOUT},
    };
    return menu;
}
