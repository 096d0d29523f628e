#include "BenchSession.h"

#include "CardInstrument.h"
#include "MeterInstrument.h"
#include "SharedState.h"
#include "StateStore.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace visasim {
namespace {

// The longest message an instrument takes; a longer one is refused before it is buffered.
constexpr size_t kMaxMessageSize = size_t{16} << 20;

std::string StateNameFor(const Bench& bench, const std::string& path) {
    if (!bench.stateName.empty()) {
        return bench.stateName;
    }
    char resolved[PATH_MAX];
    std::string full = realpath(path.c_str(), resolved) ? resolved : path;
    size_t slash = full.rfind('/');
    std::string stem = full.substr(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        stem.erase(dot);
    }
    for (char& c : stem) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_')) {
            c = '_';
        }
    }
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", StateChecksum(full));
    return stem + "-" + hash;
}

unsigned BudgetFor(ViUInt32 timeout) {
    return timeout == VI_TMO_INFINITE ? StateStore::kWaitForever : timeout;
}

// A session on an instrument of the simulated bench.
class BenchSession final : public Session {
public:
    BenchSession(ViSession rm, std::shared_ptr<LoadedBench> bench, size_t resource)
        : Session(rm), m_bench(std::move(bench)), m_resource(resource),
          m_device(*m_bench->devices[resource]) {
        std::lock_guard lock(m_device.sessionsMutex);
        m_device.sessions.push_back(this);
    }
    ~BenchSession() override { Close(); }

    ViStatus Write(ViConstBuf buf, ViUInt32 count, ViUInt32* written) override {
        if (!buf && count > 0) {
            return VI_ERROR_USER_BUF;
        }
        if (count > kMaxMessageSize) {
            return Refuse(count);
        }
        SessionSettings settings = Settings();
        // A device slower than the session's time-out is given up on when the time-out has passed; the
        // message never reaches it. What remains of the time-out bounds the rest of the call.
        unsigned latency = Resource().faults.latencyMs;
        bool tooSlow = settings.timeout != VI_TMO_INFINITE && latency > settings.timeout;
        if (latency > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(tooSlow ? settings.timeout : latency));
            if (IsClosed()) {
                return VI_ERROR_INV_OBJECT;
            }
        }
        if (tooSlow) {
            return VI_ERROR_TMO;
        }
        unsigned budgetMs =
            settings.timeout == VI_TMO_INFINITE ? StateStore::kWaitForever : settings.timeout - latency;
        return WithInstrument(budgetMs, [&](WaitBudgetScope&) -> ViStatus {
            if (m_input.size() + count > kMaxMessageSize) {
                size_t total = m_input.size() + count;
                m_input.clear();
                return Refuse(total);
            }
            m_input.append(reinterpret_cast<const char*>(buf), count);
            // Without END the instrument waits for the rest of the message, unless it ends with a line feed.
            if (!settings.sendEnd && (m_input.empty() || m_input.back() != '\n')) {
                *written = count;
                return VI_SUCCESS;
            }
            std::string message = std::move(m_input);
            m_input.clear();
            Instrument::Outcome outcome = Simulated().Write(message, UnspentBudgetMs());
            NoteServiceRequest();
            if (outcome != Instrument::Outcome::Done) {
                return outcome == Instrument::Outcome::TimedOut ? VI_ERROR_TMO : VI_ERROR_IO;
            }
            *written = count;
            return VI_SUCCESS;
        });
    }

    ViStatus Read(ViBuf buf, ViUInt32 count, ViUInt32* read) override {
        if (!buf && count > 0) {
            return VI_ERROR_USER_BUF;
        }
        SessionSettings settings = Settings();
        return WithInstrument(BudgetFor(settings.timeout), [&](WaitBudgetScope&) -> ViStatus {
            Instrument& instrument = Simulated();
            const std::string& pending = instrument.Pending();
            if (pending.empty()) {
                instrument.NoteEmptyRead();
                NoteServiceRequest();
                return VI_ERROR_TMO;
            }
            size_t taken = std::min<size_t>(count, pending.size());
            ViStatus status = taken < pending.size() ? VI_SUCCESS_MAX_CNT : VI_SUCCESS;
            if (settings.termCharEnabled) {
                const void* at = std::memchr(pending.data(), settings.termChar, taken);
                if (at) {
                    taken = static_cast<size_t>(static_cast<const char*>(at) - pending.data()) + 1;
                    status = VI_SUCCESS_TERM_CHAR;
                }
            }
            if (taken > 0) {
                std::memcpy(buf, pending.data(), taken);
            }
            instrument.Consume(taken);
            NoteServiceRequest();
            *read = static_cast<ViUInt32>(taken);
            return status;
        });
    }

    ViStatus ReadStatusByte(ViUInt16* status) override {
        if (!status) {
            return VI_ERROR_USER_BUF;
        }
        return WithInstrument(BudgetFor(Settings().timeout), [&](WaitBudgetScope&) {
            *status = Simulated().StatusByte();
            return VI_SUCCESS;
        });
    }

    ViStatus Clear() override {
        return WithInstrument(BudgetFor(Settings().timeout), [&](WaitBudgetScope&) {
            m_input.clear();
            Simulated().DeviceClear();
            NoteServiceRequest();
            return VI_SUCCESS;
        });
    }

    ViStatus AssertTrigger() override {
        // A measurement reads the state of the instruments wired to it, within the session's time-out.
        return WithInstrument(BudgetFor(Settings().timeout), [&](WaitBudgetScope& budget) {
            Simulated().DeviceTrigger();
            NoteServiceRequest();
            return budget.RanOut() ? VI_ERROR_TMO : budget.Failed() ? VI_ERROR_IO : VI_SUCCESS;
        });
    }

    // A simulated instrument has no other clients to keep out: every lock is granted at once.
    ViStatus Lock(ViAccessMode, ViUInt32, ViConstKeyId requestedKey, ViChar accessKey[]) override {
        CopyText(accessKey, requestedKey ? requestedKey : "visa-sim");
        return VI_SUCCESS;
    }
    ViStatus Unlock() override { return VI_SUCCESS; }

protected:
    ViStatus ResourceAttribute(ViAttr attribute, void* value) const override;

    void Closed() override {
        std::lock_guard lock(m_device.sessionsMutex);
        auto& sessions = m_device.sessions;
        sessions.erase(std::remove(sessions.begin(), sessions.end(), this), sessions.end());
    }

private:
    Instrument& Simulated() const { return m_device.instrument; }

    // Runs `work` under the instrument's mutex, taken within a budget of budgetMs for the whole call
    // (VI_ERROR_TMO when it cannot be taken in time).
    template <typename Work>
    ViStatus WithInstrument(unsigned budgetMs, Work work) {
        WaitBudgetScope budget(budgetMs);
        std::unique_lock lock(Simulated().Mutex(), std::defer_lock);
        if (!LockWithinBudget(lock)) {
            return VI_ERROR_TMO;
        }
        return work(budget);
    }
    const ResourceSpec& Resource() const { return m_bench->bench.resources[m_resource]; }

    ViStatus Refuse(size_t size) const {
        std::fprintf(stderr, "visa-sim: a message of %zu bytes to %s is refused: the longest is %zu bytes\n",
                     size, Resource().name.c_str(), kMaxMessageSize);
        return VI_ERROR_IO;
    }

    // Queues the service requests the instrument raised since the last look (each time its status
    // byte's request-service bit became set) for every session of it that asked for them. Called under
    // the instrument's mutex.
    void NoteServiceRequest() {
        unsigned raised = Simulated().ServiceRequests() - m_device.serviceRequests;
        if (raised == 0) {
            return;
        }
        m_device.serviceRequests += raised;
        std::lock_guard lock(m_device.sessionsMutex);
        for (Session* session : m_device.sessions) {
            session->DeliverServiceRequests(raised);
        }
    }

    const std::shared_ptr<LoadedBench> m_bench;
    const size_t m_resource;
    Device& m_device;
    std::string m_input; // bytes written without END, waiting for the rest of the message; under the
                         // instrument's mutex
};

ViStatus BenchSession::ResourceAttribute(ViAttr attribute, void* value) const {
    const ResourceSpec& resourceSpec = Resource();
    const ResourceAddress& address = resourceSpec.address;
    bool gpib = address.type == InterfaceType::Gpib;
    switch (attribute) {
    case VI_ATTR_INTF_TYPE:
        return Put<ViUInt16>(value, static_cast<ViUInt16>(address.type));
    case VI_ATTR_INTF_NUM:
        return Put<ViUInt16>(value, address.board);
    case VI_ATTR_RSRC_NAME:
        return PutText(value, resourceSpec.name);
    case VI_ATTR_RSRC_CLASS:
        return PutText(value, "INSTR");
    case VI_ATTR_GPIB_PRIMARY_ADDR:
        return gpib ? Put<ViUInt16>(value, static_cast<ViUInt16>(address.primary)) : VI_ERROR_NSUP_ATTR;
    case VI_ATTR_GPIB_SECONDARY_ADDR:
        if (!gpib) {
            return VI_ERROR_NSUP_ATTR;
        }
        return Put<ViUInt16>(value, address.secondary < 0 ? VI_NO_SEC_ADDR
                                                          : static_cast<ViUInt16>(address.secondary));
    case VI_ATTR_SLOT:
        return gpib ? VI_ERROR_NSUP_ATTR : Put<ViInt16>(value, static_cast<ViInt16>(resourceSpec.slot));
    case VI_ATTR_VXI_LA:
        return gpib ? VI_ERROR_NSUP_ATTR : Put<ViInt16>(value, static_cast<ViInt16>(address.logicalAddress));
    case VI_ATTR_MANF_ID:
        return gpib ? VI_ERROR_NSUP_ATTR
                    : Put<ViUInt16>(value, static_cast<ViUInt16>(resourceSpec.manufacturerId));
    case VI_ATTR_MODEL_CODE:
        return gpib ? VI_ERROR_NSUP_ATTR
                    : Put<ViUInt16>(value, static_cast<ViUInt16>(resourceSpec.modelCode));
    default:
        return LibraryAttribute(attribute, value);
    }
}

} // namespace

int ResourceIndex(const Bench& bench, const ResourceAddress& given) {
    const auto& resources = bench.resources;
    for (size_t i = 0; i < resources.size(); ++i) {
        const ResourceAddress& a = resources[i].address;
        if (a.type == given.type && a.board == given.board && a.primary == given.primary &&
            a.secondary == given.secondary && a.logicalAddress == given.logicalAddress &&
            a.host == given.host && a.device == given.device) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        if (NameDesignates(given, resources[i].address)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A name of a resource this library does not offer (another interface, or another resource class of a

std::shared_ptr<Session> OpenBenchSession(ViSession rm, std::shared_ptr<LoadedBench> bench, size_t resource) {
    return std::make_shared<BenchSession>(rm, std::move(bench), resource);
}

ViStatus LoadBench(std::shared_ptr<LoadedBench>* result) {
    const char* path = std::getenv("VISA_SIM_BENCH");
    auto loaded = std::make_shared<LoadedBench>();
    Bench& bench = loaded->bench;
    std::string stateName;
    if (path && *path) {
        std::string error;
        auto read = LoadBenchFile(path, &error);
        if (!read) {
            std::fprintf(stderr, "visa-sim: bench file refused: %s\n", error.c_str());
            return VI_ERROR_SYSTEM_ERROR;
        }
        bench = std::move(*read);
        stateName = StateNameFor(bench, path);
    } else {
        bench = DefaultBench();
        stateName = bench.stateName;
    }
    std::string problem;
    std::string folder = StateStore::StateFolder(&problem);
    std::string refusal;
    if (folder.empty()) {
        // A folder that is named but cannot be used still has its files read; nothing is written there.
        folder = StateStore::NamedStateFolder();
        std::fprintf(stderr, "visa-sim: %s; %s\n", problem.c_str(),
                     folder.empty() ? "instrument state is not kept between runs"
                                    : "commands that change instrument state fail");
        refusal = problem;
    }
    for (const ResourceSpec& resourceSpec : bench.resources) {
        loaded->instruments.push_back(CreateInstrument(resourceSpec, folder, stateName, refusal));
        loaded->devices.push_back(std::make_unique<Device>(*loaded->instruments.back()));
    }
    ConnectStation(bench, loaded->instruments);
    *result = std::move(loaded);
    return VI_SUCCESS;
}

} // namespace visasim
