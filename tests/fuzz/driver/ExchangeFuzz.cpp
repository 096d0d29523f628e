// The driver's message exchange against a VISA library that answers anything: replies in pieces, counts
// larger than asked, no end, time-outs. Every entry point must give a terminated text within its buffer
// or a failure, never read or write outside its buffers, and pass on only replies of the expected form.
#include "ScriptedVisa.h"
#include "rqk4712v.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A buffer of exactly the size the driver is told, so that a write past its end is caught.
struct Text {
    explicit Text(size_t bytes) : size(bytes), data(new char[bytes]) { std::memset(data.get(), 'x', size); }
    void CheckTerminated() const {
        if (std::memchr(data.get(), '\0', size) == nullptr) {
            std::abort();
        }
    }
    size_t size;
    std::unique_ptr<char[]> data;
};

bool IsRouteStates(const char* text) {
    size_t length = std::strlen(text);
    for (size_t i = 0; i < length; ++i) {
        if (i % 2 == 0 ? (text[i] != '0' && text[i] != '1') : text[i] != ',') {
            return false;
        }
    }
    return length % 2 == 1;
}

void RunOne(ViSession session, uint8_t op) {
    char channels[] = "(@130:133)";
    switch (op % 10) {
    case 0: {
        Text reply(RQK4712V_TEXT_SIZE);
        ViStatus status = rqk4712v_routClosList_Q(session, channels, reply.data.get());
        reply.CheckTerminated();
        if (status == VI_SUCCESS && !IsRouteStates(reply.data.get())) {
            std::abort();
        }
        break;
    }
    case 1: {
        ViInt16 value = 0;
        rqk4712v_atten_Q(session, 1, 0, &value);
        break;
    }
    case 2: {
        Text options(RQK4712V_OPTION_LIST_SIZE);
        rqk4712v_systCopt_Q(session, 1, options.data.get());
        options.CheckTerminated();
        break;
    }
    case 3: {
        Text type(RQK4712V_TEXT_SIZE);
        rqk4712v_systCtyp_Q(session, 1, type.data.get());
        type.CheckTerminated();
        break;
    }
    case 4: {
        ViInt32 code = 0;
        Text message(RQK4712V_TEXT_SIZE);
        rqk4712v_error_query(session, &code, message.data.get());
        message.CheckTerminated();
        break;
    }
    case 5: {
        ViInt16 result = 0;
        Text message(RQK4712V_TEXT_SIZE);
        rqk4712v_self_test(session, &result, message.data.get());
        message.CheckTerminated();
        break;
    }
    case 6: {
        ViInt16 statusByte = 0;
        rqk4712v_readStatusByte_Q(session, &statusByte);
        if (statusByte < 0 || statusByte > 255) {
            std::abort();
        }
        break;
    }
    case 7: {
        ViInt16 value = 0;
        rqk4712v_opc_Q(session, &value);
        break;
    }
    case 8: {
        Text driver(RQK4712V_TEXT_SIZE);
        Text firmware(RQK4712V_TEXT_SIZE);
        rqk4712v_revision_query(session, driver.data.get(), firmware.data.get());
        driver.CheckTerminated();
        firmware.CheckTerminated();
        break;
    }
    default:
        rqk4712v_routClos(session, 132);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] { return setenv("RQK4712V_VISA_LIBRARY", SCRIPTED_VISA_PATH, 1) == 0; }();
    if (!ready) {
        std::abort();
    }
    ScriptedVisaStart(data, size);
    uint8_t flags = 0;
    ScriptedVisaNext(&flags);
    ViSession session = VI_NULL;
    char resource[] = "VXI0::112::INSTR";
    if (rqk4712v_init(resource, flags & 1, (flags >> 1) & 1, &session) < 0) {
        return 0;
    }
    rqk4712v_errorQueryDetect(session, (flags >> 2) & 1);
    uint8_t op = 0;
    while (ScriptedVisaNext(&op)) {
        RunOne(session, op);
    }
    if (rqk4712v_close(session) != VI_SUCCESS) {
        std::abort();
    }
    return 0;
}
