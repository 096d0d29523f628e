// The instrument over the module's instrument driver library: every operation calls one driver entry
// point on the open driver session, stores the driver's status and raises CUserException when it is
// negative (see CInstrument). The connection facts come from the application object.
#pragma once

#include <cstdint>

#include "driver/rqk4712v.h"
#include "instrument/Instrument.h"
#include "platform/DynamicLibrary.h"

// The driver library's entry points that the program calls, typed by the driver's own header (the
// program never links the library: it looks the entry points up at run time).
using DriverSession = ViSession;
using DriverStatus = ViStatus;
using DriverInitFn = decltype(&rqk4712v_init);
using DriverTimeOutFn = decltype(&rqk4712v_timeOut);
using DriverErrorQueryDetectFn = decltype(&rqk4712v_errorQueryDetect);
using DriverChannelFn = decltype(&rqk4712v_routClos);
using DriverListFn = decltype(&rqk4712v_routOpenList);
using DriverListQueryFn = decltype(&rqk4712v_routClosList_Q);
using DriverCardTextFn = decltype(&rqk4712v_systCopt_Q);
using DriverErrorQueryFn = decltype(&rqk4712v_error_query);
using DriverSelfTestFn = decltype(&rqk4712v_self_test);
using DriverShortQueryFn = decltype(&rqk4712v_opc_Q);
using DriverSessionFn = decltype(&rqk4712v_close);
using DriverAttenFn = decltype(&rqk4712v_atten);
using DriverAttenQueryFn = decltype(&rqk4712v_atten_Q);

class CDriverInstrument : public CInstrument {
public:
    // Takes over the session that rqk4712v_init opened and looks up the driver's entry points.
    CDriverInstrument(DriverSession session, const CDynamicLibrary& library);
    // Closes the session.
    ~CDriverInstrument() override;

    void SelfTest(char* result) override;
    short QueryOpc() override;
    void DeviceClear() override;
    void Close() override;
    short ReadStatusByte() override;
    void ErrorQuery(std::int32_t* code, char* message) override;
    std::int32_t GetLastStatus() override { return m_lastStatus; }
    int GetSlot() override;
    int GetLogicalAddress() override;
    std::string GetAddress() override;
    short GetCardNumber() override;
    std::string GetLabelsFileName() override;
    short GetInterfaceType() override;
    void CloseRoute(int channel) override;
    void OpenRoute(int channel) override;
    void SetAttenuation(short group, short value) override;
    void OpenRouteList(char* channelList) override;
    void QueryAttenuation(short card, short group, short* value) override;
    void QueryClosedList(char* channelList, char* reply) override;
    void SetCardOption(short card, const char* options) override;
    void QueryCardOption(short card, char* out) override;
    void QueryCardType(short card, char* out) override;

private:
    // Stores the status and raises CUserException when it is negative.
    void Check(DriverStatus status);
    // Stores "not supported" and raises: the library lacks the entry point.
    [[noreturn]] void Unsupported();

    DriverChannelFn m_routClos;
    DriverChannelFn m_routOpen;
    DriverListFn m_routOpenList;
    DriverListQueryFn m_routClosListQ;
    DriverCardTextFn m_systCopt;
    DriverCardTextFn m_systCoptQ;
    DriverCardTextFn m_systCtypQ;
    DriverErrorQueryFn m_errorQuery;
    DriverSelfTestFn m_selfTest;
    DriverShortQueryFn m_readStatusByteQ;
    DriverShortQueryFn m_opcQ;
    DriverSessionFn m_dcl;
    DriverSessionFn m_close;
    DriverAttenFn m_atten;
    DriverAttenQueryFn m_attenQ;
    std::int32_t m_lastStatus = 0;
};
