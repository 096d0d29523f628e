#include "instrument/DriverInstrument.h"

#include <cstdio>

#include "app/SfpAppData.h"
#include "platform/Facade.h"
#include "platform/UserException.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

CDriverInstrument::CDriverInstrument(DriverSession session, const CDynamicLibrary& library)
    : m_routClos(library.Function<DriverChannelFn>("rqk4712v_routClos")),
      m_routOpen(library.Function<DriverChannelFn>("rqk4712v_routOpen")),
      m_routOpenList(library.Function<DriverListFn>("rqk4712v_routOpenList")),
      m_routClosListQ(library.Function<DriverListQueryFn>("rqk4712v_routClosList_Q")),
      m_systCopt(library.Function<DriverCardTextFn>("rqk4712v_systCopt")),
      m_systCoptQ(library.Function<DriverCardTextFn>("rqk4712v_systCopt_Q")),
      m_systCtypQ(library.Function<DriverCardTextFn>("rqk4712v_systCtyp_Q")),
      m_errorQuery(library.Function<DriverErrorQueryFn>("rqk4712v_error_query")),
      m_selfTest(library.Function<DriverSelfTestFn>("rqk4712v_self_test")),
      m_readStatusByteQ(library.Function<DriverShortQueryFn>("rqk4712v_readStatusByte_Q")),
      m_opcQ(library.Function<DriverShortQueryFn>("rqk4712v_opc_Q")),
      m_dcl(library.Function<DriverSessionFn>("rqk4712v2_dcl")),
      m_close(library.Function<DriverSessionFn>("rqk4712v_close")),
      m_atten(library.Function<DriverAttenFn>("rqk4712v_atten")),
      m_attenQ(library.Function<DriverAttenQueryFn>("rqk4712v_atten_Q")) {
    m_session = session;
    m_bLive = 1;
}

CDriverInstrument::~CDriverInstrument() {
    Close();
}

void CDriverInstrument::Check(DriverStatus status) {
    m_lastStatus = status;
    if (status < 0) {
        AfxThrowUserException();
    }
}

void CDriverInstrument::Unsupported() {
    m_lastStatus = kStatusNotSupported;
    AfxThrowUserException();
}

void CDriverInstrument::SelfTest(char* result) {
    result[0] = '\0';
    if (m_selfTest == nullptr) {
        Unsupported();
    }
    std::int16_t code = 0;
    char message[kTextBufferSize] = "";
    Check(m_selfTest(m_session, &code, message));
    message[kTextBufferSize - 1] = '\0';
    std::snprintf(result, kSelfTestBufferSize, "%d, %s", code, message);
}

short CDriverInstrument::QueryOpc() {
    if (m_opcQ == nullptr) {
        Unsupported();
    }
    std::int16_t value = 0;
    Check(m_opcQ(m_session, &value));
    return value;
}

void CDriverInstrument::DeviceClear() {
    if (m_dcl != nullptr) {
        m_dcl(m_session);
    }
}

void CDriverInstrument::Close() {
    if (m_close != nullptr) {
        m_close(m_session);
    }
}

short CDriverInstrument::ReadStatusByte() {
    if (m_readStatusByteQ == nullptr) {
        Unsupported();
    }
    std::int16_t value = 0;
    Check(m_readStatusByteQ(m_session, &value));
    return value;
}

void CDriverInstrument::ErrorQuery(std::int32_t* code, char* message) {
    message[0] = '\0';
    if (m_errorQuery == nullptr) {
        m_lastStatus = kStatusNotSupported;
        return;
    }
    m_lastStatus = m_errorQuery(m_session, code, message);
    message[kTextBufferSize - 1] = '\0';
    if (m_lastStatus == kStatusTimeOut) {
        DeviceClear();
        Facade().MessageBox(LoadString(IDS_TIME_OUT));
    }
}

int CDriverInstrument::GetSlot() {
    return TheApp()->m_slot;
}
int CDriverInstrument::GetLogicalAddress() {
    return TheApp()->m_logicalAddress;
}
std::string CDriverInstrument::GetAddress() {
    return TheApp()->m_resourceName;
}
short CDriverInstrument::GetCardNumber() {
    return TheApp()->m_cardNumber;
}
std::string CDriverInstrument::GetLabelsFileName() {
    return TheApp()->m_labelsFileName;
}
short CDriverInstrument::GetInterfaceType() {
    return static_cast<short>(TheApp()->m_interfaceType);
}

void CDriverInstrument::CloseRoute(int channel) {
    if (m_routClos == nullptr) {
        Unsupported();
    }
    Check(m_routClos(m_session, channel));
}

void CDriverInstrument::OpenRoute(int channel) {
    if (m_routOpen == nullptr) {
        Unsupported();
    }
    Check(m_routOpen(m_session, channel));
}

void CDriverInstrument::SetAttenuation(short group, short value) {
    if (m_atten == nullptr) {
        Unsupported();
    }
    Check(m_atten(m_session, GetCardNumber(), group, value));
}

void CDriverInstrument::OpenRouteList(char* channelList) {
    if (m_routOpenList == nullptr) {
        Unsupported();
    }
    Check(m_routOpenList(m_session, channelList));
}

void CDriverInstrument::SetCardOption(short card, const char* options) {
    if (m_systCopt == nullptr) {
        Unsupported();
    }
    // The driver takes a writable text; give it a copy so the caller's stays as it is.
    char list[kTextBufferSize];
    std::snprintf(list, sizeof(list), "%s", options);
    Check(m_systCopt(m_session, card, list));
}

void CDriverInstrument::QueryCardOption(short card, char* out) {
    out[0] = '\0';
    if (m_systCoptQ == nullptr) {
        Unsupported();
    }
    const DriverStatus status = m_systCoptQ(m_session, card, out);
    out[kOptionListBufferSize - 1] = '\0';
    Check(status);
}

void CDriverInstrument::QueryCardType(short card, char* out) {
    out[0] = '\0';
    if (m_systCtypQ == nullptr) {
        Unsupported();
    }
    const DriverStatus status = m_systCtypQ(m_session, card, out);
    out[kTextBufferSize - 1] = '\0';
    Check(status);
}

void CDriverInstrument::QueryAttenuation(short card, short group, short* value) {
    if (m_attenQ == nullptr) {
        Unsupported();
    }
    m_lastStatus = m_attenQ(m_session, card, group, value);
}

void CDriverInstrument::QueryClosedList(char* channelList, char* reply) {
    if (m_routClosListQ == nullptr) {
        Unsupported();
    }
    m_lastStatus = m_routClosListQ(m_session, channelList, reply);
    reply[kRouteReplySize - 1] = '\0';
}
