// The "non live panel": an instrument that answers every operation at once with fixed values and never
// fails, so that every panel and command works with nothing behind it.
#pragma once

#include "instrument/Instrument.h"

// The card type every card of the non-live instrument reports.
constexpr const char* kNonLiveCardType = "QUILLON-VANTERA,K4712V,0,A.01.00";

class CNonLiveInstrument : public CInstrument {
public:
    void SelfTest(char* result) override;
    short QueryOpc() override { return 0; }
    void DeviceClear() override {}
    void Close() override {}
    short ReadStatusByte() override { return 0; }
    void ErrorQuery(std::int32_t* code, char* message) override;
    std::int32_t GetLastStatus() override { return 0; }
    int GetSlot() override { return -1; }
    int GetLogicalAddress() override { return -1; }
    std::string GetAddress() override { return "Addr Unknown"; }
    short GetCardNumber() override { return 1; }
    std::string GetLabelsFileName() override; // always the default labels file
    short GetInterfaceType() override { return 0; }
    void CloseRoute(int) override {}
    void OpenRoute(int) override {}
    void SetAttenuation(short, short) override {}
    void OpenRouteList(char*) override {}
    void QueryAttenuation(short, short, short*) override {}
    void QueryClosedList(char*, char*) override {}
    void SetCardOption(short, const char*) override {}
    void QueryCardOption(short, char* out) override;
    void QueryCardType(short, char* out) override;
};
