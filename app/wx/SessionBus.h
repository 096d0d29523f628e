// The panel on the user's session D-Bus, so that other programs can reset and refresh it and read its
// group state. The connection is made and served on a thread of its own, started before the panels
// are set up: start-up never waits for the bus, the name is taken while the module is searched for, and
// requests are answered Busy until the panel is shown. Once connected, the object /org/rqk4712v/FrontPanel
// (interface org.rqk4712v.FrontPanel1) answers on the connection's unique name, and the well-known name
// org.rqk4712v.FrontPanel is requested, queueing behind a panel that holds it already, so that the next
// running panel takes the name over when the first one exits. Without a session bus the program runs as it
// would otherwise; an unattended run says so in one line on standard error. The system bus is never used.
//
// The decisions (refusing while busy, property values, when the group state changed) are
// CRemoteControl's; this class only carries them over the bus. Its bus callbacks run on the bus
// thread; a claimed Reset or Refresh runs on the user-interface thread, and its answer goes back as soon
// as its outcome is known, before the operator has closed the error report's message boxes.
#pragma once

#include <memory>

class CSessionBus {
public:
    CSessionBus();
    ~CSessionBus();
    CSessionBus(const CSessionBus&) = delete;
    CSessionBus& operator=(const CSessionBus&) = delete;

    // Begins connecting to the bus named by DBUS_SESSION_BUS_ADDRESS and returns at once; does nothing
    // when SFP_SESSION_BUS is 0.
    void Start(bool unattended);
    // The panel is shown: requests may start from now on.
    void SetReady();
    // Emits org.freedesktop.DBus.Properties.PropertiesChanged when the group state has changed since it
    // was last published. The application calls it whenever it has handled its pending events.
    void PublishChanges();
    // Leaves the bus (releasing the name) or gives up a connection still being made.
    void Stop();

    struct Endpoint;

private:
    std::shared_ptr<Endpoint> m_endpoint;
};
