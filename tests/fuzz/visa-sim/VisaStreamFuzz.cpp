// The byte stream through the simulated library's VISA interface, to a module, a generic instrument and a
// wired station's source and meter: writes in any pieces with or without END, reads of any count, with
// and without a termination character, device clears and serial polls.
// A read never gives more than asked nor touches the buffer beyond what it gives, and its status says
// truthfully why it stopped.
#include "visa.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const char* kBench = R"(state_name: stream
resources:
  - name: VXI0::112::INSTR
    module: {card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}}
  - name: GPIB0::5::INSTR
    generic:
      identity: "ACME,DMM,1,1.0"
      replies: {"MEAS?": "1.5", "CONF:VOLT": null}
  - {name: GPIB0::19::INSTR, source: {}}
  - {name: GPIB0::13::INSTR, meter: {}}
wiring:
  - [GPIB0::19::INSTR out, VXI0::112::INSTR card 1 group 0 in]
  - [VXI0::112::INSTR card 1 group 0 out, GPIB0::13::INSTR in]
)";

struct Setup {
    std::string folder;
    Setup() {
        char pattern[] = "/tmp/visa-sim-stream-XXXXXX";
        if (!mkdtemp(pattern)) {
            std::abort();
        }
        folder = pattern;
        std::ofstream(folder + "/bench.yaml") << kBench;
        setenv("VISA_SIM_BENCH", (folder + "/bench.yaml").c_str(), 1);
        setenv("VISA_SIM_STATE", folder.c_str(), 1);
    }
    ~Setup() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    Setup(const Setup&) = delete;
    Setup& operator=(const Setup&) = delete;
    // Each input starts from the bench's initial state.
    void Forget() const {
        unlink((folder + "/stream.VXI0__112__INSTR.state").c_str());
        unlink((folder + "/stream.GPIB0__19__INSTR.state").c_str());
    }
};

struct Cursor {
    const uint8_t* data;
    size_t size;
    size_t next = 0;
    bool More() const { return next < size; }
    uint8_t Byte() { return next < size ? data[next++] : 0; }
};

struct Session {
    ViSession handle = VI_NULL;
    ViUInt8 termChar = '\n';
    bool termCharEnabled = false;
};

void Read(Session& session, Cursor& in) {
    uint8_t buffer[96];
    ViUInt32 asked = in.Byte() % 80;
    std::memset(buffer, 0xA5, sizeof buffer);
    ViUInt32 count = 12345;
    ViStatus status = viRead(session.handle, buffer, asked, &count);
    if (count > asked) {
        std::abort();
    }
    for (size_t i = count; i < sizeof buffer; ++i) {
        if (buffer[i] != 0xA5) {
            std::abort();
        }
    }
    switch (status) {
    case VI_SUCCESS_MAX_CNT:
        if (count != asked) {
            std::abort();
        }
        break;
    case VI_SUCCESS_TERM_CHAR:
        if (!session.termCharEnabled || count == 0 || buffer[count - 1] != session.termChar) {
            std::abort();
        }
        break;
    case VI_SUCCESS:
    case VI_ERROR_TMO:
        break;
    default:
        std::abort();
    }
    if (status == VI_ERROR_TMO && count != 0) {
        std::abort();
    }
}

void Step(Session& session, Cursor& in) {
    uint8_t op = in.Byte();
    switch (op % 8) {
    case 0:
        session.termChar = in.Byte();
        viSetAttribute(session.handle, VI_ATTR_TERMCHAR, session.termChar);
        break;
    case 1:
        session.termCharEnabled = in.Byte() & 1;
        viSetAttribute(session.handle, VI_ATTR_TERMCHAR_EN, session.termCharEnabled ? VI_TRUE : VI_FALSE);
        break;
    case 2:
        viSetAttribute(session.handle, VI_ATTR_SEND_END_EN, in.Byte() & 1);
        break;
    case 3:
    case 4: {
        std::string bytes;
        for (size_t length = in.Byte() % 64; length > 0 && in.More(); --length) {
            bytes += static_cast<char>(in.Byte());
        }
        ViUInt32 count = 12345;
        ViStatus status = viWrite(session.handle, reinterpret_cast<ViConstBuf>(bytes.data()),
                                  static_cast<ViUInt32>(bytes.size()), &count);
        if (status == VI_SUCCESS ? count != bytes.size() : count != 0) {
            std::abort();
        }
        break;
    }
    case 5:
        Read(session, in);
        break;
    case 6:
        viClear(session.handle);
        break;
    default: {
        ViUInt16 statusByte = 0;
        viReadSTB(session.handle, &statusByte);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Setup setup;
    setup.Forget();
    ViSession rm = VI_NULL;
    if (viOpenDefaultRM(&rm) != VI_SUCCESS) {
        std::abort();
    }
    Session sessions[4];
    const char* names[4] = {"VXI0::112::INSTR", "GPIB0::5::INSTR", "GPIB0::19::INSTR", "GPIB0::13::INSTR"};
    for (int i = 0; i < 4; ++i) {
        if (viOpen(rm, names[i], VI_NULL, VI_NULL, &sessions[i].handle) != VI_SUCCESS) {
            std::abort();
        }
    }
    Cursor in{data, size};
    while (in.More()) {
        uint8_t which = in.Byte();
        Step(sessions[which & 3], in);
    }
    viClose(rm);
    return 0;
}
