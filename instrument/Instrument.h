// The one interface through which the program reaches the module. The application object owns exactly
// one instrument object for the whole run: a CDriverInstrument over the driver library, or a
// CNonLiveInstrument that answers at once with fixed values.
//
// Failure convention: an operation that talks to the driver stores the driver's status (GetLastStatus)
// and, when it is negative, raises CUserException ("raises" below). Callers catch it, read GetLastStatus
// and hand the status to ReportDriverError (CallInstrument does all of it). An operation whose entry
// point the driver library lacks fails with kStatusNotSupported. The non-live instrument never fails,
// and its status is always 0. Text results go into the caller's buffer, of the size given below, and
// are always terminated.
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

    // Runs the module's self-test: result (kSelfTestBufferSize) gets "<code>, <message>", the 16-bit
    // result code and the module's message; it is empty when the call fails. Raises.
    // Non-live: "Self Test Passed.".
    virtual void SelfTest(char* result) = 0;
    // The operation-complete query: the module's answer. Raises. Non-live: 0.
    virtual short QueryOpc() = 0;
    // Device clear of the module; its status is neither stored nor looked at, and it never raises.
    virtual void DeviceClear() = 0;
    // Closes the driver session; its status is neither stored nor looked at, and it never raises.
    virtual void Close() = 0;
    // The module's status byte. Raises. Non-live: 0.
    virtual short ReadStatusByte() = 0;
    // Reads one entry of the module's error queue: *code (0 when the queue is empty) and message
    // (kTextBufferSize; emptied first, so a call that fails early leaves it empty). Stores the status
    // and never raises; after a time-out it clears the device and shows "Time Out !" itself.
    // Non-live: code 0, "None".
    virtual void ErrorQuery(std::int32_t* code, char* message) = 0;
    // The status of the last driver call that stored one (0 before any).
    virtual std::int32_t GetLastStatus() = 0;
    // The connection facts of the application object, read without a driver call and never raising:
    // the VXI slot (-1 when unknown); the VXI logical address, or 10000 + 100 x primary + secondary
    // over GPIB (-1 when unknown); the VISA resource name; the card the panels address; the labels file
    // to read; the VISA interface type (1 GPIB, 2 VXI, 3 GPIB-VXI). Non-live: -1, -1, "Addr Unknown",
    // card 1, "rqk4712v.lbl" whatever the command line says, interface 0.
    virtual int GetSlot() = 0;
    virtual int GetLogicalAddress() = 0;
    virtual std::string GetAddress() = 0;
    virtual short GetCardNumber() = 0;
    virtual std::string GetLabelsFileName() = 0;
    virtual short GetInterfaceType() = 0;
    // Closes or opens one channel (card x 100 + group x 10 + channel). Raises.
    virtual void CloseRoute(int channel) = 0;
    virtual void OpenRoute(int channel) = 0;
    // Sets an attenuator group of the card of the moment (GetCardNumber) to the value (position x step).
    // Raises.
    virtual void SetAttenuation(short group, short value) = 0;
    // Opens every channel of the list ("<first>:<last>"); the text is not changed. Raises.
    virtual void OpenRouteList(char* channelList) = 0;
    // The two queries the read-back of the groups is made of (switching/GroupStateReading). Each
    // stores its status but does not raise when the call fails, so that the read-back asks every group
    // and decides from the last status; it raises only when the driver lacks the entry point.
    // QueryAttenuation writes the attenuation of the card's group into *value; QueryClosedList writes
    // which channels of the list are closed, one digit each ("0,1,0,0"), into reply (kRouteReplySize
    // characters, always terminated). A failed call may leave them unwritten. Non-live: nothing is
    // written (the read-back asks a non-live instrument nothing).
    virtual void QueryAttenuation(short card, short group, short* value) = 0;
    virtual void QueryClosedList(char* channelList, char* reply) = 0;
    // Writes the card option list (six comma-separated card option names in group order) to the card.
    // Raises.
    virtual void SetCardOption(short card, const char* options) = 0;
    // Reads the card's option list into out (kOptionListBufferSize) or its type text into out
    // (kTextBufferSize); out is emptied first, so a call that fails early leaves it empty. Raises.
    // Non-live: an empty list; "QUILLON-VANTERA,K4712V,0,A.01.00" for every card.
    virtual void QueryCardOption(short card, char* out) = 0;
    virtual void QueryCardType(short card, char* out) = 0;

    std::uint32_t m_session = 0; // driver session; meaningful only when m_bLive is 1
    std::int32_t m_bLive = 0;    // 1 only for an instrument that holds an open driver session
};
