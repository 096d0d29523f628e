// Loads build/bin/libvisa-sim.so the way a VISA client does (dlopen, functions looked up by name) and
// gives the tests a temporary state folder and bench file of their own.
#pragma once

#include "visa.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

struct VisaSim {
    void* handle = nullptr;
    decltype(&viOpenDefaultRM) OpenDefaultRM = nullptr;
    decltype(&viFindRsrc) FindRsrc = nullptr;
    decltype(&viFindNext) FindNext = nullptr;
    decltype(&viParseRsrc) ParseRsrc = nullptr;
    decltype(&viParseRsrcEx) ParseRsrcEx = nullptr;
    decltype(&viOpen) Open = nullptr;
    decltype(&viClose) Close = nullptr;
    decltype(&viGetAttribute) GetAttribute = nullptr;
    decltype(&viSetAttribute) SetAttribute = nullptr;
    decltype(&viStatusDesc) StatusDesc = nullptr;
    decltype(&viWrite) Write = nullptr;
    decltype(&viRead) Read = nullptr;
    decltype(&viReadSTB) ReadSTB = nullptr;
    decltype(&viClear) Clear = nullptr;
    decltype(&viDisableEvent) DisableEvent = nullptr;
    decltype(&viDiscardEvents) DiscardEvents = nullptr;
    decltype(&viLock) Lock = nullptr;
    decltype(&viUnlock) Unlock = nullptr;
    decltype(&viEnableEvent) EnableEvent = nullptr;
    decltype(&viWaitOnEvent) WaitOnEvent = nullptr;
    decltype(&viAssertTrigger) AssertTrigger = nullptr;

    static std::string LibraryPath() {
        const char* bin = std::getenv("SFP_BIN_DIR");
        return std::string(bin ? bin : ".") + "/libvisa-sim.so";
    }

    // False (with the reason in *error) when the library or one of its functions is missing.
    bool Load(std::string* error) {
        handle = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            *error = dlerror();
            return false;
        }
        bool all = true;
        auto get = [&](auto& target, const char* name) {
            target = reinterpret_cast<std::remove_reference_t<decltype(target)>>(dlsym(handle, name));
            if (!target) {
                *error += std::string(name) + " missing; ";
                all = false;
            }
        };
        get(OpenDefaultRM, "viOpenDefaultRM");
        get(FindRsrc, "viFindRsrc");
        get(FindNext, "viFindNext");
        get(ParseRsrc, "viParseRsrc");
        get(ParseRsrcEx, "viParseRsrcEx");
        get(Open, "viOpen");
        get(Close, "viClose");
        get(GetAttribute, "viGetAttribute");
        get(SetAttribute, "viSetAttribute");
        get(StatusDesc, "viStatusDesc");
        get(Write, "viWrite");
        get(Read, "viRead");
        get(ReadSTB, "viReadSTB");
        get(Clear, "viClear");
        get(DisableEvent, "viDisableEvent");
        get(DiscardEvents, "viDiscardEvents");
        get(Lock, "viLock");
        get(Unlock, "viUnlock");
        get(EnableEvent, "viEnableEvent");
        get(WaitOnEvent, "viWaitOnEvent");
        get(AssertTrigger, "viAssertTrigger");
        return all;
    }

    // Writes the text and reads the whole reply; "<status>" on a failure.
    std::string Query(ViSession session, const std::string& text) {
        ViUInt32 count = 0;
        ViStatus status = Write(session, reinterpret_cast<ViConstBuf>(text.data()),
                                static_cast<ViUInt32>(text.size()), &count);
        if (status != VI_SUCCESS)
            return "<write " + std::to_string(status) + ">";
        std::string reply;
        char buffer[256];
        do {
            status = Read(session, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &count);
            if (status < 0)
                return "<read " + std::to_string(status) + ">";
            reply.append(buffer, count);
        } while (status == VI_SUCCESS_MAX_CNT);
        return reply;
    }

    ViStatus Send(ViSession session, const std::string& text) {
        ViUInt32 count = 0;
        return Write(session, reinterpret_cast<ViConstBuf>(text.data()), static_cast<ViUInt32>(text.size()),
                     &count);
    }
};

// Waits (at most 10 s) until the thread sleeps in a blocking call, as the kernel reports its state.
inline bool WaitUntilAsleep(pid_t thread) {
    std::string path = "/proc/self/task/" + std::to_string(thread) + "/stat";
    for (int i = 0; i < 10000; ++i) {
        std::ifstream in(path);
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t end = stat.rfind(')');
        if (end != std::string::npos && end + 2 < stat.size() && stat[end + 2] == 'S')
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// A temporary folder for state files and benches; VISA_SIM_STATE and VISA_SIM_BENCH point into it.
class TemporaryBench {
public:
    TemporaryBench() {
        char pattern[] = "/tmp/visa-sim-test-XXXXXX";
        if (mkdtemp(pattern))
            m_folder = pattern;
        setenv("VISA_SIM_STATE", (m_folder + "/state").c_str(), 1);
    }
    ~TemporaryBench() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        unsetenv("VISA_SIM_BENCH");
        unsetenv("VISA_SIM_STATE");
    }
    // Writes the bench file and points VISA_SIM_BENCH at it; returns its path.
    std::string Use(const std::string& yaml, const std::string& name = "bench.yaml") {
        std::string path = m_folder + "/" + name;
        std::ofstream(path) << yaml;
        setenv("VISA_SIM_BENCH", path.c_str(), 1);
        return path;
    }
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};

inline const char* kMixedBench = R"(
resources:
  - name: VXI0::112::INSTR
    slot: 3
    module:
      card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}
  - name: GPIB-VXI0::24::INSTR
    slot: 5
    manufacturer_id: 0xFFF
    model_code: 0x12D3
    module:
      card: {options: "QZSWTB01,QZSWTB01,,,,"}
  - name: GPIB0::9::INSTR
    switchbox:
      cards:
        - {number: 1, type: "QUILLON-VANTERA,RELAY16,0,A.01.00"}
        - {number: 2, type: "QUILLON-VANTERA,MATRIX8,0,A.01.00"}
        - {number: 3, options: "QZSWTA01,QZATNB01,,,,"}
  - name: GPIB0::9::14::INSTR
    generic:
      identity: "ACME,COUNTER,5,2.0"
  - name: GPIB0::5::INSTR
    generic:
      identity: "ACME,DMM,1,1.0"
    faults:
      open_fails: true
)";
