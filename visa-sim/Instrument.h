// A simulated message-based instrument: IEEE 488.2 status reporting, error queue and common commands,
// the SCPI message exchange (one message in, the replies of its queries out), and the faults its bench
// entry asks for. Concrete instruments add their own commands.
#pragma once

#include "Bench.h"
#include "ScpiParser.h"
#include "StateStore.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace visasim {

// The standard text of an SCPI error code ("Undefined header" for -113); empty when unknown.
std::string_view ScpiErrorText(int code);

class Instrument {
public:
    explicit Instrument(const ResourceSpec& resourceSpec);
    virtual ~Instrument();
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    const ResourceSpec& Description() const { return m_spec; }

    // Held by whoever works on the instrument: a VISA call on one of its sessions, or a meter reading
    // through it (LockWithinBudget takes it within the call's time-out).
    std::timed_mutex& Mutex() { return m_mutex; }

    // Takes one program message, which may take at most timeoutMs (no bound by default), waits for
    // shared state included. Done; TimedOut when the instrument timed out on it (a time-out fault on a
    // command, the shared state held elsewhere for too long, or the time used up); Failed when a command
    // needed a state that could not be read or saved. Short of Done, nothing of the message is executed
    // from that command on and no reply is produced.
    enum class Outcome { Done, TimedOut, Failed };
    Outcome Write(std::string_view message, unsigned timeoutMs = StateStore::kWaitForever);

    // The reply waiting to be read; the reader removes what it took with Consume.
    const std::string& Pending() const { return m_output; }
    void Consume(size_t count);
    // A read found nothing to read: the instrument notes the unterminated query.
    void NoteEmptyRead();

    // The status byte as a serial poll reads it.
    uint8_t StatusByte() const;
    // How many times the status byte's request-service bit has become set: each time is a service request.
    unsigned ServiceRequests() const { return m_serviceRequests; }
    // Device clear: empties the input and output buffers; registers and errors stay.
    void DeviceClear();

    // A device trigger (GPIB GET, viAssertTrigger): what *TRG does. Most instruments ignore it.
    virtual void DeviceTrigger() {}

    void PushError(int code, std::string text = {});
    size_t ErrorCount() const { return m_errors.size(); }

protected:
    using Handler = std::function<void(const ScpiCommand&, std::string& reply)>;

    // Adds a command: the header pattern ("ROUTe:CLOSe"), whether it is the query form, and what it does.
    // A handler that changes state that other programs may share says so (`changes`).
    void AddCommand(std::string_view pattern, bool query, Handler handler);

    // A hook for instruments that answer whole commands from a table before the command set is searched.
    virtual bool AnswerFromTable(const ScpiCommand&, std::string&) { return false; }
    // *RST beyond the registers: the instrument's own settings.
    virtual void ResetDevice() {}

    // Parameter helpers; each queues the SCPI error and returns false when the parameters do not fit.
    bool ExpectCount(const ScpiCommand& command, size_t count);
    bool IntegerAt(const ScpiCommand& command, size_t index, long* value);

private:
    struct Entry {
        HeaderPattern pattern;
        bool query;
        Handler handler;
        std::string canonical; // short form with '?' for a query, as fault headers are compared
    };
    const Entry* Find(const std::vector<std::string>& nodes, bool query) const;
    // The fault that applies to this command now, if any (counts the occurrence).
    const CommandFault* FaultFor(const std::string& written, const std::string& canonical);
    void AddCommonCommands();
    uint8_t SummaryByte(bool messageAvailable) const;
    void WatchServiceRequest(bool messageAvailable);

    std::timed_mutex m_mutex;
    ResourceSpec m_spec;
    std::vector<Entry> m_entries;
    std::vector<int> m_faultCounts;
    std::deque<std::pair<int, std::string>> m_errors;
    std::string m_output;
    std::string m_replyInProgress;
    uint8_t m_esr = 0x80; // power on
    uint8_t m_ese = 0;
    uint8_t m_sre = 0;
    bool m_selfTestRun = false;
    bool m_hungQuery = false; // a query timed out: the read that waits for it is no query error
    bool m_requestingService = false;
    unsigned m_serviceRequests = 0;
};

// Makes the instrument a bench entry describes. Module, switchbox and source keep their state in a file
// of `stateFolder` (none when empty) named after the bench's state name and the resource; `refusal` says
// why the folder cannot be written, when it cannot.
std::unique_ptr<Instrument> CreateInstrument(const ResourceSpec& resourceSpec, const std::string& stateFolder,
                                             const std::string& stateName, const std::string& refusal = {});

} // namespace visasim
