// The system's command numbers and the wx ids that stand for them. wx refuses menu and control ids of
// 0x7FFF and above, and most of the system's commands (32771 to 32779, 57666) are above it, so the
// system's numbers stay the public ones everywhere and are mapped here, in this one place, to wx ids.
// The standard dialog commands 1 (OK) and 2 (Cancel) map to wx's own OK and Cancel ids so that the
// dialogs' standard Enter and Escape handling works; every other number maps to itself.
#pragma once

// The first wx id used for the system's commands; far above wx's own ids (wxID_HIGHEST is 5999) and
// below 0x7FFF.
constexpr int kWxCommandIdBase = 20000;

// The wx id of a system command or control number.
int WxId(int systemNumber);
// The system number of a wx id (the inverse of WxId); the id itself when it stands for no system number.
int SystemNumber(int wxId);
