// Sessions on the instruments of the simulated bench, and the bench they share.
#pragma once

#include "Bench.h"
#include "Instrument.h"
#include "ResourceName.h"
#include "Session.h"

#include <memory>
#include <mutex>
#include <vector>

namespace visasim {

// An instrument of the bench and the sessions open on it.
struct Device {
    explicit Device(Instrument& device) : instrument(device) {}
    Instrument& instrument;
    unsigned serviceRequests = 0; // those already queued; under the instrument's mutex
    std::mutex sessionsMutex;
    std::vector<Session*> sessions; // the open sessions, which its service requests visit
};

// The bench in use and its instruments. Its sessions share it, so that a call still running when the
// last resource manager is closed (and the next one loads the bench afresh) keeps what it works on.
struct LoadedBench {
    Bench bench;
    std::vector<std::unique_ptr<Instrument>> instruments;
    std::vector<std::unique_ptr<Device>> devices; // one per instrument, in bench order
};

// Loads the bench named by VISA_SIM_BENCH (or the default) and makes its instruments.
ViStatus LoadBench(std::shared_ptr<LoadedBench>* loaded);

// A session on resource `resource` (an index into the bench's resources) of the bench.
std::shared_ptr<Session> OpenBenchSession(ViSession rm, std::shared_ptr<LoadedBench> bench, size_t resource);

// The bench resource a client's name designates: an exact address first, then the lenient spellings.
int ResourceIndex(const Bench& bench, const ResourceAddress& given);

// A name of a resource this library does not offer (another interface, or another resource class of a

} // namespace visasim
