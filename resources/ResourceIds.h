// Numbers of the program's resources: dialog templates, menu, commands, controls, bitmaps, icon and
// string-table entries. The numbers are fixed; code refers to resources only through these names.
#pragma once

// Dialog templates
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_MAIN_PANEL = 103;
constexpr int IDD_STATUS_PANEL = 106;
constexpr int IDD_SELECT_INSTRUMENT = 107;
constexpr int IDD_CONFIG = 109;

// Menu, bitmaps, icon
constexpr int IDR_MAINMENU = 102;
constexpr int IDB_LOGO = 104;
constexpr int IDB_PNP_LOGO = 105;
constexpr int IDI_PROGRAM = 2;

// Menu and window commands
constexpr int ID_SELF_TEST = 32771;
constexpr int ID_REFRESH = 32772;
constexpr int ID_EXIT = 32773;
constexpr int ID_RESET = 32774;
constexpr int ID_HELP_CONTENTS = 32775;
constexpr int ID_ABOUT = 32776;
constexpr int ID_MAIN_PANEL = 32777;
constexpr int ID_STATUS_PANEL = 32778;
constexpr int ID_CONFIG = 32779;
constexpr int ID_HELP_INDEX = 57666;

// The window message that runs Reset (WM_USER + 0x66).
constexpr int WM_USER_RESET = 0x466;

// Standard dialog commands
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_STATIC = -1;

// Main panel, template 103
constexpr int IDC_HEADER = 1000;
constexpr int IDC_PNP_LOGO = 1001;
constexpr int IDC_LOGO = 1002;
constexpr int IDC_LAMP = 1004;
constexpr int IDC_INFO_STRIP = 1006;
constexpr int IDC_SLOT = 1010;
constexpr int IDC_ADDRESS = 1011;
constexpr int IDC_BODY = 1012;
constexpr int IDC_GROUP1 = 1044;
constexpr int IDC_GROUP0 = 1045;
constexpr int IDC_GROUP2 = 1046;
constexpr int IDC_GROUP4 = 1050;
constexpr int IDC_GROUP5 = 1051;
constexpr int IDC_GROUP3 = 1052;

// Status panel, template 106
constexpr int IDC_READ_ERROR_QUEUE = 1015;
constexpr int IDC_ERROR_NUMBER = 1016;
constexpr int IDC_ERROR_MESSAGE = 1017;
constexpr int IDC_STATUS_TITLE = 1018;
constexpr int IDC_STATUS_BYTE = 1022;
constexpr int IDC_OPC = 1023;
constexpr int IDC_LOWER_BOX = 1024;
constexpr int IDC_ERROR_BOX = 1026;

// Select Instrument dialog, template 107
constexpr int IDC_INSTRUMENT_LIST = 1042;

// Configuration dialog, template 109: the first radio button of each group (five in code order follow
// it), and the "Attenuator" and "Switch" labels of each group.
constexpr int IDC_CONFIG_RADIO_FIRST[6] = {1049, 1054, 1059, 1079, 1084, 1089};
constexpr int IDC_CONFIG_ATTEN_LABEL[6] = {1064, 1066, 1068, 1070, 1072, 1074};
constexpr int IDC_CONFIG_SWITCH_LABEL[6] = {1065, 1067, 1069, 1071, 1073, 1075};

// String-table entries
constexpr int IDS_SELF_TEST_PASSED = 3;
constexpr int IDS_STATUS_PANEL = 6;
constexpr int IDS_MAIN_PANEL = 7;
constexpr int IDS_TIME_OUT = 8;
constexpr int IDS_INSTRUMENT_ERROR = 9;
constexpr int IDS_API_FAILURE = 10;
constexpr int IDS_SWITCHBOX_ID = 12;
constexpr int IDS_CARD_ID = 14;
constexpr int IDS_NO_DRIVER = 1064;
constexpr int IDS_NO_VISA = 1065;
constexpr int IDS_NO_DEFAULT_RM = 1066;
constexpr int IDS_NO_INSTRUMENT = 1067;
constexpr int IDS_CANCEL_NON_LIVE = 1068;
constexpr int IDS_INIT_FAILED = 1069;
constexpr int IDS_LABELS_NOT_READ = 1070;
constexpr int IDS_WINDOW_TITLE = 32760;
constexpr int IDS_APP_NAME = 57344;
