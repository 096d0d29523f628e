#include "instrument/NonLiveInstrument.h"

#include <cstdio>

#include "app/SfpAppData.h"

#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

void CNonLiveInstrument::SelfTest(char* result) {
    std::snprintf(result, kSelfTestBufferSize, "%s", LoadString(IDS_SELF_TEST_PASSED).c_str());
}

void CNonLiveInstrument::ErrorQuery(std::int32_t* code, char* message) {
    *code = 0;
    std::snprintf(message, kTextBufferSize, "None");
}

void CNonLiveInstrument::QueryCardOption(short, char* out) {
    out[0] = '\0';
}

void CNonLiveInstrument::QueryCardType(short, char* out) {
    std::snprintf(out, kTextBufferSize, "%s", kNonLiveCardType);
}

std::string CNonLiveInstrument::GetLabelsFileName() {
    const CSfpAppData* app = TheApp();
    return app != nullptr ? app->m_defaultLabelsFileName : kDefaultLabelsFile;
}
