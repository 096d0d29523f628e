#include "app/wx/SessionBus.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gio/gio.h>
#include <string>

#include "app/RemoteControl.h"

namespace {

const char* const kBusName = "org.rqk4712v.FrontPanel";
const char* const kObjectPath = "/org/rqk4712v/FrontPanel";
const char* const kInterface = "org.rqk4712v.FrontPanel1";
const char* const kBusyError = "org.rqk4712v.FrontPanel1.Error.Busy";
const char* const kInstrumentError = "org.rqk4712v.FrontPanel1.Error.Instrument";

// The connection facts never change once the panel runs; the group state is announced when it changes.
const char* const kIntrospection = R"(<node>
  <interface name="org.rqk4712v.FrontPanel1">
    <method name="Reset"/>
    <method name="Refresh"/>
    <property name="ResourceName" type="s" access="read">
      <annotation name="org.freedesktop.DBus.Property.EmitsChangedSignal" value="const"/>
    </property>
    <property name="Live" type="b" access="read">
      <annotation name="org.freedesktop.DBus.Property.EmitsChangedSignal" value="const"/>
    </property>
    <property name="CardNumber" type="i" access="read">
      <annotation name="org.freedesktop.DBus.Property.EmitsChangedSignal" value="const"/>
    </property>
    <property name="GroupTypes" type="ai" access="read"/>
    <property name="GroupPositions" type="ai" access="read"/>
  </interface>
</node>)";

GVariant* IntArray(const std::array<int, kGroupCount>& values) {
    static_assert(sizeof(int) == sizeof(gint32));
    return g_variant_new_fixed_array(G_VARIANT_TYPE_INT32, values.data(), values.size(), sizeof(gint32));
}

} // namespace

struct CSessionBus::Endpoint {
    CRemoteControl remote;
    bool unattended = false;
    // While the connection is being made, the cancellable carries the endpoint it is for (as its data
    // "endpoint"); Stop takes it away and cancels, so that a late answer only drops the connection.
    GCancellable* connecting = nullptr;
    GDBusConnection* connection = nullptr;
    GDBusNodeInfo* node = nullptr;
    guint registration = 0;
    guint ownership = 0;

    void Say(const std::string& why) const {
        if (unattended) {
            std::fprintf(stderr, "no session bus (%s): other programs cannot reach this panel\n",
                         why.c_str());
        }
    }

    static void Connected(GObject*, GAsyncResult* result, gpointer data) {
        auto* cancellable = static_cast<GCancellable*>(data);
        auto* self = static_cast<Endpoint*>(g_object_get_data(G_OBJECT(cancellable), "endpoint"));
        GError* error = nullptr;
        GDBusConnection* connection = g_dbus_connection_new_for_address_finish(result, &error);
        g_object_unref(cancellable);
        if (self == nullptr) {
            g_clear_object(&connection);
            g_clear_error(&error);
            return;
        }
        g_clear_object(&self->connecting);
        if (connection == nullptr) {
            self->Say(error->message);
            g_clear_error(&error);
            return;
        }
        self->Export(connection);
    }

    void Export(GDBusConnection* bus) {
        static const GDBusInterfaceVTable vtable = {
            &Endpoint::MethodCall, &Endpoint::GetProperty, nullptr, {}};
        connection = bus;
        node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        GError* error = nullptr;
        registration = g_dbus_connection_register_object(connection, kObjectPath, node->interfaces[0],
                                                         &vtable, this, nullptr, &error);
        if (registration == 0) {
            Say(error->message);
            g_clear_error(&error);
            return;
        }
        // No DO_NOT_QUEUE: a panel that finds the name taken waits in the bus's queue and becomes its
        // owner when the earlier panel goes.
        ownership = g_bus_own_name_on_connection(connection, kBusName, G_BUS_NAME_OWNER_FLAGS_NONE, nullptr,
                                                 nullptr, nullptr, nullptr);
        remote.TakeChanges(); // what the panel shows now is the state the first change is measured from
    }

    static void MethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                           GVariant*, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<Endpoint*>(data);
        const RemoteOutcome outcome =
            std::strcmp(method, "Reset") == 0 ? self->remote.Reset() : self->remote.Refresh();
        self->Publish();
        switch (outcome.kind) {
        case RemoteOutcome::Kind::Done:
            g_dbus_method_invocation_return_value(invocation, nullptr);
            break;
        case RemoteOutcome::Kind::Busy:
            g_dbus_method_invocation_return_dbus_error(
                invocation, kBusyError,
                "The panel is busy: a dialog or message box is open, or an operation runs.");
            break;
        case RemoteOutcome::Kind::Failed:
            g_dbus_method_invocation_return_dbus_error(invocation, kInstrumentError, outcome.message.c_str());
            break;
        }
    }

    static GVariant* GetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                 const gchar* name, GError**, gpointer) {
        const std::string property = name;
        if (property == "ResourceName") {
            return g_variant_new_string(CRemoteControl::ResourceName().c_str());
        }
        if (property == "Live") {
            return g_variant_new_boolean(CRemoteControl::Live());
        }
        if (property == "CardNumber") {
            return g_variant_new_int32(CRemoteControl::CardNumber());
        }
        const GroupState groups = CRemoteControl::Groups();
        return IntArray(property == "GroupTypes" ? groups.types : groups.positions);
    }

    void Publish() {
        if (registration == 0) {
            return;
        }
        const CRemoteControl::Changes changes = remote.TakeChanges();
        if (!changes.Any()) {
            return;
        }
        const GroupState groups = CRemoteControl::Groups();
        GVariantBuilder changed;
        g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
        if (changes.types) {
            g_variant_builder_add(&changed, "{sv}", "GroupTypes", IntArray(groups.types));
        }
        if (changes.positions) {
            g_variant_builder_add(&changed, "{sv}", "GroupPositions", IntArray(groups.positions));
        }
        g_dbus_connection_emit_signal(connection, nullptr, kObjectPath, "org.freedesktop.DBus.Properties",
                                      "PropertiesChanged",
                                      g_variant_new("(sa{sv}as)", kInterface, &changed, nullptr), nullptr);
    }

    void Leave() {
        if (connecting != nullptr) {
            g_object_set_data(G_OBJECT(connecting), "endpoint", nullptr);
            g_cancellable_cancel(connecting);
            g_clear_object(&connecting);
        }
        if (ownership != 0) {
            g_bus_unown_name(ownership);
            ownership = 0;
        }
        if (registration != 0) {
            g_dbus_connection_unregister_object(connection, registration);
            registration = 0;
        }
        g_clear_object(&connection);
        if (node != nullptr) {
            g_dbus_node_info_unref(node);
            node = nullptr;
        }
    }
};

CSessionBus::CSessionBus() = default;

CSessionBus::~CSessionBus() {
    Stop();
}

void CSessionBus::Start(bool unattended) {
    Stop();
    const char* wanted = std::getenv("SFP_SESSION_BUS");
    if (wanted != nullptr && std::strcmp(wanted, "0") == 0) {
        return; // asked to stay off the bus
    }
    m_endpoint = std::make_unique<Endpoint>();
    m_endpoint->unattended = unattended;
    // Only the session bus the user's session names; GLib's fall-backs (a bus started on demand) are not
    // wanted for a panel that must start the same with or without one.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address == nullptr || *address == '\0') {
        m_endpoint->Say("DBUS_SESSION_BUS_ADDRESS is not set");
        return;
    }
    m_endpoint->connecting = g_cancellable_new();
    g_object_set_data(G_OBJECT(m_endpoint->connecting), "endpoint", m_endpoint.get());
    g_dbus_connection_new_for_address(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, m_endpoint->connecting, &Endpoint::Connected, g_object_ref(m_endpoint->connecting));
}

void CSessionBus::PublishChanges() {
    if (m_endpoint) {
        m_endpoint->Publish();
    }
}

void CSessionBus::Stop() {
    if (m_endpoint) {
        m_endpoint->Leave();
        m_endpoint.reset();
    }
}
