#include "resources/StringTable.h"

#include "resources/ResourceIds.h"

const std::vector<std::pair<int, const char*>>& StringTableEntries() {
    static const std::vector<std::pair<int, const char*>> entries = {
        {IDS_SELF_TEST_PASSED, "Self Test Passed."},
        {IDS_STATUS_PANEL, "Status Panel"},
        {IDS_MAIN_PANEL, "Main Panel"},
        {IDS_TIME_OUT, "Time Out !"},
        {IDS_INSTRUMENT_ERROR, "Instrument reports error: %ld  %s"},
        {IDS_API_FAILURE, "API failure."},
        {IDS_SWITCHBOX_ID, "QUILLON-VANTERA,SWITCHBOX"},
        {IDS_CARD_ID, "QUILLON-VANTERA,K4712"},
        {IDS_NO_DRIVER, "Could not find the instrument driver dll.  Creating non live panel."},
        {IDS_NO_VISA, "Could not find VISA.DLL.  Creating non live panel."},
        {IDS_NO_DEFAULT_RM, "Open of default RM failed, creating non live panel."},
        {IDS_NO_INSTRUMENT, "Did not find instrument.  Creating non live panel."},
        {IDS_CANCEL_NON_LIVE, "Cancel will create non live panel."},
        {IDS_INIT_FAILED, "Instrument  _init failed!  Creating non live panel."},
        {IDS_LABELS_NOT_READ, "Could not read the labels file %s: %s.  Showing the default labels."},
        {IDS_WINDOW_TITLE, "RQK4712V"},
        {IDS_APP_NAME, "RQK4712V SFP"},
    };
    return entries;
}

std::string LoadString(int id) {
    for (const auto& [number, text] : StringTableEntries()) {
        if (number == id) {
            return text;
        }
    }
    return {};
}
