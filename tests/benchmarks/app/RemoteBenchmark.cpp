// What joining the session bus costs the user-interface thread, and what a Refresh asked over the bus
// costs beyond the operation itself: the same Refresh run directly and through the bus from a client
// connection in this process, and a property read through the bus (the round trip alone). The
// operation is kept cheap and steady (a scripted instrument, no panel window to redraw), so that what
// the bus adds is not lost in the noise of painting; each Refresh changes a position, so that every call
// over the bus also announces the change. The CPU column is the user-interface thread's (the client's
// side of each call runs on it too). Needs a session bus and, for wxWidgets, an X display:
// dbus-run-session -- tests/support/own-display build/default/benchmarks/app_benchmarks
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <gio/gio.h>
#include <string>

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "app/wx/SessionBus.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

// The application state of a module with all six groups known, and the panel on the bus.
struct CRemoteSetting {
    CRemoteSetting() {
        auto scripted = std::make_unique<CScriptedInstrument>();
        instrument = scripted.get();
        scripted->m_cardOptions = "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01";
        scripted->m_readPositions = {0, 60, 0, 2, -1, -1}; // attenuations and closed channels
        scripted->m_labelsFileName = (std::filesystem::temp_directory_path() / "no-such-labels.lbl").string();
        app.m_pInstrument = std::move(scripted);
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        panel = FindMainPanel();

        const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (address == nullptr) {
            return;
        }
        client = g_dbus_connection_new_for_address_sync(
            address,
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        ready = client != nullptr && Join();
    }

    // Starts the endpoint and runs the main loop until the bus names a new owner of the panel's name.
    bool Join() {
        bus.Start(false);
        struct Watch {
            std::string previous;
            std::string owner;
        } watch{lastOwner, {}};
        const guint id = g_bus_watch_name_on_connection(
            client, "org.rqk4712v.FrontPanel", G_BUS_NAME_WATCHER_FLAGS_NONE,
            [](GDBusConnection*, const gchar*, const gchar* owner, gpointer data) {
                auto* seen = static_cast<Watch*>(data);
                if (seen->previous != owner) {
                    seen->owner = owner;
                }
            },
            nullptr, &watch, nullptr);
        for (int i = 0; i < 100000 && watch.owner.empty(); ++i) {
            g_main_context_iteration(nullptr, TRUE);
        }
        g_bus_unwatch_name(id);
        lastOwner = watch.owner;
        return !watch.owner.empty();
    }
    ~CRemoteSetting() {
        bus.Stop();
        if (client != nullptr) {
            g_object_unref(client);
        }
    }

    // Calls the method on the panel and runs the main loop (which serves the call) until the answer.
    bool Call(const char* interface, const char* method, GVariant* parameters) {
        struct Answer {
            bool done = false;
            bool ok = false;
        } answer;
        g_dbus_connection_call(
            client, "org.rqk4712v.FrontPanel", "/org/rqk4712v/FrontPanel", interface, method, parameters,
            nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
            [](GObject* source, GAsyncResult* result, gpointer data) {
                auto* received = static_cast<Answer*>(data);
                GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
                received->ok = reply != nullptr;
                if (reply != nullptr) {
                    g_variant_unref(reply);
                }
                received->done = true;
            },
            &answer);
        while (!answer.done) {
            g_main_context_iteration(nullptr, TRUE);
        }
        return answer.ok;
    }

    CRecordingFacade facade;
    CSfpAppData app;
    CScriptedInstrument* instrument = nullptr;
    CPan1Obj* panel = nullptr;
    CSessionBus bus;
    GDBusConnection* client = nullptr;
    std::string lastOwner;
    bool ready = false;
};

void RefreshDirectly(benchmark::State& state) {
    CRemoteSetting setting;
    for (auto _ : state) {
        setting.panel->m_nGroupPos[0] = 99;
        OnRefresh();
        setting.instrument->m_calls.clear();
    }
}

void RefreshOverTheBus(benchmark::State& state) {
    CRemoteSetting setting;
    if (!setting.ready) {
        state.SkipWithError("no session bus: run under dbus-run-session");
        return;
    }
    for (auto _ : state) {
        setting.panel->m_nGroupPos[0] = 99;
        if (!setting.Call("org.rqk4712v.FrontPanel1", "Refresh", nullptr)) {
            state.SkipWithError("Refresh failed");
            break;
        }
        setting.instrument->m_calls.clear();
    }
}

void PropertyOverTheBus(benchmark::State& state) {
    CRemoteSetting setting;
    if (!setting.ready) {
        state.SkipWithError("no session bus: run under dbus-run-session");
        return;
    }
    for (auto _ : state) {
        if (!setting.Call("org.freedesktop.DBus.Properties", "Get",
                          g_variant_new("(ss)", "org.rqk4712v.FrontPanel1", "GroupPositions"))) {
            state.SkipWithError("Get failed");
            break;
        }
    }
}

// Joining the bus as start-up does, until the bus names the panel the owner of its name (the
// connection, its authentication and the name request included). The CPU time is that of this, the
// user-interface thread: the part that can hold up start-up, as the connection itself is made on GLib's
// own thread.
void JoinTheBus(benchmark::State& state) {
    CRemoteSetting setting;
    if (!setting.ready) {
        state.SkipWithError("no session bus: run under dbus-run-session");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        setting.bus.Stop();
        state.ResumeTiming();
        if (!setting.Join()) {
            state.SkipWithError("the panel did not get its name");
            break;
        }
    }
}

} // namespace

BENCHMARK(JoinTheBus)->Unit(benchmark::kMicrosecond);
BENCHMARK(RefreshDirectly)->Unit(benchmark::kMicrosecond);
BENCHMARK(RefreshOverTheBus)->Unit(benchmark::kMicrosecond);
BENCHMARK(PropertyOverTheBus)->Unit(benchmark::kMicrosecond);
