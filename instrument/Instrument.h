// The one interface through which the program reaches the module. The application object owns exactly
// one instrument object for the whole run: a CDriverInstrument over the driver library, or a
// CNonLiveInstrument that answers at once with fixed values.
//
// Failure convention: an operation that talks to the driver stores the driver's status (GetLastStatus)
// and, when it is negative, raises CUserException. Callers catch it, read GetLastStatus and hand the
// status to ReportDriverError.
#pragma once

#include <cstdint>
#include <string>

#include "driver/rqk4712v.h"

// The driver statuses the program tells apart.
constexpr std::int32_t kStatusTimeOut = VI_ERROR_TMO;                          // VISA time-out
constexpr std::int32_t kStatusInstrumentError = RQK4712V_INSTR_ERROR_DETECTED; // error queue to read
constexpr std::int32_t kStatusNotSupported = VI_ERROR_NSUP_OPER;               // entry point missing

// Sizes of the callers' text buffers.
constexpr int kSelfTestBufferSize = 264;   // a 16-bit code, ", " and a message of up to 255 characters
constexpr int kTextBufferSize = 256;       // error messages, card types, channel lists
constexpr int kOptionListBufferSize = 100; // the card option list
constexpr int kRouteReplySize = 256;       // the reply of the closed-list query

class CInstrument {
public:
    CInstrument() = default;
    CInstrument(const CInstrument&) = delete;
    CInstrument& operator=(const CInstrument&) = delete;
    virtual ~CInstrument() = default;

    virtual void SelfTest(char* result) = 0;
    virtual short QueryOpc() = 0;
    virtual void DeviceClear() = 0;
    virtual void Close() = 0;
    virtual short ReadStatusByte() = 0;
    virtual void ErrorQuery(std::int32_t* code, char* message) = 0;
    virtual std::int32_t GetLastStatus() = 0;
    virtual int GetSlot() = 0;
    virtual int GetLogicalAddress() = 0;
    virtual std::string GetAddress() = 0;
    virtual short GetCardNumber() = 0;
    virtual std::string GetLabelsFileName() = 0;
    virtual short GetInterfaceType() = 0;
    virtual void CloseRoute(int channel) = 0;
    virtual void OpenRoute(int channel) = 0;
    virtual void SetAttenuation(short group, short value) = 0;
    virtual void OpenRouteList(char* channelList) = 0;
    // The two queries the read-back of the groups is made of (switching/GroupStateReading). Each
    // stores its status but does not raise when the call fails, so that the read-back asks every group
    // and decides from the last status; it raises only when the driver lacks the entry point.
    // QueryAttenuation writes the attenuation of the card's group into *value; QueryClosedList writes
    // which channels of the list are closed, one digit each ("0,1,0,0"), into reply (kRouteReplySize
    // characters, always terminated). A failed call may leave them unwritten.
    virtual void QueryAttenuation(short card, short group, short* value) = 0;
    virtual void QueryClosedList(char* channelList, char* reply) = 0;
    virtual void SetCardOption(short card, const char* options) = 0;
    virtual void QueryCardOption(short card, char* out) = 0;
    virtual void QueryCardType(short card, char* out) = 0;

    std::uint32_t m_session = 0; // driver session; meaningful only when m_bLive is 1
    std::int32_t m_bLive = 0;    // 1 only for an instrument that holds an open driver session
};
