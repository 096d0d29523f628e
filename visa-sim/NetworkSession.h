// Sessions on instruments on the network: TCPIP INSTR resources reached over VXI-11 (ONC RPC over TCP),
// with the RPC core and transport of lan/.
#pragma once

#include "ResourceName.h"
#include "Session.h"

#include <memory>

namespace visasim {

// Opens a session on the VXI-11 device `address` (a TCPIP name) names: the portmapper's GETPORT on port
// 111, then create_link on the core channel, all of it within one open time-out (kOpenTimeoutMs, and for
// an exclusive lock also `openTimeout`, the time the lock is waited for). VI_ERROR_RSRC_NFOUND for a host
// that cannot be found or reached or serves no VXI-11 device of that name, VI_ERROR_TMO when the time
// ran out.
ViStatus OpenNetworkSession(ViSession rm, const ResourceAddress& address, ViAccessMode mode,
                            ViUInt32 openTimeout, std::shared_ptr<Session>* session);

constexpr ViUInt32 kOpenTimeoutMs = 2000;

} // namespace visasim
