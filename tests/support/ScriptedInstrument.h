// A test instrument that records every call as one line of text, answers from settable values, and can
// make any operation fail with a given status (it stores the status and raises CUserException, as the
// driver-backed instrument does; the two read-back queries store it only, and a failing one answers
// nothing; an error query that times out shows "Time Out !" as the driver-backed one does). It stands
// for an instrument with a module behind it (m_bLive 1).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "instrument/Instrument.h"

class CScriptedInstrument : public CInstrument {
public:
    // Makes the n-th next call (1 = the next one) of the operation fail with the status; the operation
    // name is the one of the log lines ("CloseRoute", "SetAttenuation", ...).
    void FailOn(const std::string& operation, std::int32_t status, int nth = 1);

    void SelfTest(char* result) override;
    short QueryOpc() override;
    void DeviceClear() override;
    void Close() override;
    short ReadStatusByte() override;
    void ErrorQuery(std::int32_t* code, char* message) override;
    std::int32_t GetLastStatus() override { return m_lastStatus; }
    int GetSlot() override { return m_slot; }
    int GetLogicalAddress() override { return m_logicalAddress; }
    std::string GetAddress() override { return m_address; }
    short GetCardNumber() override { return m_card; }
    std::string GetLabelsFileName() override { return m_labelsFileName; }
    short GetInterfaceType() override { return m_interfaceType; }
    void CloseRoute(int channel) override;
    void OpenRoute(int channel) override;
    void SetAttenuation(short group, short value) override;
    void OpenRouteList(char* channelList) override;
    void QueryAttenuation(short card, short group, short* value) override;
    void QueryClosedList(char* channelList, char* reply) override;
    void SetCardOption(short card, const char* options) override;
    void QueryCardOption(short card, char* out) override;
    void QueryCardType(short card, char* out) override;

    // Answers.
    int m_slot = -1;
    int m_logicalAddress = -1;
    std::string m_address = "Addr Unknown";
    short m_card = 1;
    std::string m_labelsFileName = "rqk4712v.lbl";
    short m_interfaceType = 0;
    std::string m_cardType = "QUILLON-VANTERA,K4712V,0,A.01.00";
    std::map<int, std::string> m_cardTypes; // per card; cards not listed answer m_cardType
    std::string m_cardOptions;
    std::string m_selfTest = "0, Self test passed";
    short m_opc = 1;
    short m_statusByte = 0;
    // Error-queue entries returned one per ErrorQuery; code 0 "No error" when empty.
    std::deque<std::pair<std::int32_t, std::string>> m_errors;
    // What the module holds, by group, when set: QueryAttenuation answers the entry as the attenuation
    // (logged "QueryAttenuation 1 0"), QueryClosedList a reply with that channel of the group's list
    // closed, none when it is negative ("QueryClosedList 130:133").
    std::vector<int> m_readPositions;

    std::vector<std::string> m_calls; // every call, e.g. "CloseRoute 123", "OpenRouteList 120:123"
    std::int32_t m_lastStatus = 0;

    CScriptedInstrument() { m_bLive = 1; }

private:
    // Logs the call and stores its status (0 or the scripted failure); Call also raises on failure.
    void Record(const std::string& operation, const std::string& arguments = {});
    void Call(const std::string& operation, const std::string& arguments = {});
    std::map<std::string, std::deque<std::pair<int, std::int32_t>>> m_failures;
    std::map<std::string, int> m_counts;
};
