#include "app/wx/SessionBus.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gio/gio.h>
#include <memory>
#include <string>
#include <thread>
#include <wx/app.h>

#include "app/RemoteControl.h"

namespace {

const char* const kBusName = "org.rqk4712v.FrontPanel";
const char* const kObjectPath = "/org/rqk4712v/FrontPanel";
const char* const kInterface = "org.rqk4712v.FrontPanel1";
const char* const kBusyError = "org.rqk4712v.FrontPanel1.Error.Busy";
const char* const kBusyText =
    "The panel is busy: it is starting, a dialog or message box is open, or an operation runs.";
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

// Runs on GDBus's own worker thread for every incoming message: a Properties call to the panel's object
// whose arguments do not fit its signature is answered InvalidArgs here, as for the panel's own methods
// (GDBus itself would answer that the interface is unknown).
GDBusMessage* RefuseWrongPropertyArguments(GDBusConnection* connection, GDBusMessage* message,
                                           gboolean incoming, gpointer) {
    if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL ||
        g_strcmp0(g_dbus_message_get_path(message), kObjectPath) != 0 ||
        g_strcmp0(g_dbus_message_get_interface(message), "org.freedesktop.DBus.Properties") != 0) {
        return message;
    }
    static const struct {
        const char* member;
        const char* signature;
    } kSignatures[] = {{"Get", "ss"}, {"GetAll", "s"}, {"Set", "ssv"}};
    const char* member = g_dbus_message_get_member(message);
    const char* signature = g_dbus_message_get_signature(message);
    for (const auto& expected : kSignatures) {
        if (g_strcmp0(member, expected.member) == 0) {
            if (g_strcmp0(signature, expected.signature) == 0) {
                return message;
            }
            GDBusMessage* reply = g_dbus_message_new_method_error(
                message, "org.freedesktop.DBus.Error.InvalidArgs",
                "Type of message, \u201c(%s)\u201d, does not match expected type \u201c(%s)\u201d", signature,
                expected.signature);
            g_dbus_connection_send_message(connection, reply, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr,
                                           nullptr);
            g_object_unref(reply);
            g_object_unref(message);
            return nullptr;
        }
    }
    return message;
}

} // namespace

// An invocation the endpoint still has to answer; the reference is dropped when no answer was given.
using Invocation = std::shared_ptr<GDBusMethodInvocation>;

struct CSessionBus::Endpoint : std::enable_shared_from_this<Endpoint> {
    CRemoteControl remote;
    bool unattended = false;
    // The bus's own thread runs this context: the connection, the object and the name live there, so
    // that a request is answered at once however long the user-interface thread is busy.
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    std::thread thread;
    std::atomic<bool> stopped = false;
    // Cancelled by Stop while the connection is being made.
    GCancellable* connecting = nullptr;
    // The bus thread's own.
    GDBusConnection* connection = nullptr;
    GDBusNodeInfo* node = nullptr;
    guint registration = 0;
    guint ownership = 0;

    ~Endpoint() {
        g_clear_object(&connecting);
        if (loop != nullptr) {
            g_main_loop_unref(loop);
        }
        if (context != nullptr) {
            g_main_context_unref(context);
        }
    }

    void Say(const std::string& why) const {
        if (unattended) {
            std::fprintf(stderr, "no session bus (%s): other programs cannot reach this panel\n",
                         why.c_str());
        }
    }

    // Runs work on the bus thread (from the user-interface thread); work not run by the time the bus
    // thread ends is dropped.
    void OnBus(std::function<void()> work) {
        g_main_context_invoke_full(
            context, G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                (*static_cast<std::function<void()>*>(data))();
                return G_SOURCE_REMOVE;
            },
            new std::function<void()>(std::move(work)),
            [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    }

    // The bus thread: connects (on this thread alone, so that nothing of the connection outlives Stop),
    // then serves until Stop quits its loop, and leaves the bus.
    void Serve(const std::string& address) {
        g_main_context_push_thread_default(context);
        GError* error = nullptr;
        GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, connecting, &error);
        if (bus != nullptr) {
            Export(bus);
        } else if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
            Say(error->message);
        }
        g_clear_error(&error);
        // Stop raises the flag before it asks the loop to quit, so a loop started here always sees that.
        if (!stopped) {
            g_main_loop_run(loop);
        }
        Leave();
        g_main_context_pop_thread_default(context);
    }

    void Export(GDBusConnection* bus) {
        // No property handlers: GDBus then hands Properties calls to MethodCall, so that they too can be
        // answered Busy before the panel is shown.
        static const GDBusInterfaceVTable vtable = {&Endpoint::MethodCall, nullptr, nullptr, {}};
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
        g_dbus_connection_add_filter(connection, &RefuseWrongPropertyArguments, nullptr, nullptr);
        // No DO_NOT_QUEUE: a panel that finds the name taken waits in the bus's queue and becomes its
        // owner when the earlier panel goes.
        ownership = g_bus_own_name_on_connection(connection, kBusName, G_BUS_NAME_OWNER_FLAGS_NONE, nullptr,
                                                 nullptr, nullptr, nullptr);
    }

    // The bus thread: properties are answered here; a claimed operation goes to the user-interface thread;
    // anything else is refused here and now.
    static void MethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar* interface,
                           const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                           gpointer data) {
        auto* self = static_cast<Endpoint*>(data);
        if (std::strcmp(interface, "org.freedesktop.DBus.Properties") == 0) {
            self->AnswerProperties(method, parameters, invocation);
            return;
        }
        if (!self->remote.Claim()) {
            g_dbus_method_invocation_return_dbus_error(invocation, kBusyError, kBusyText);
            return;
        }
        const CRemoteControl::Operation operation = std::strcmp(method, "Reset") == 0
                                                        ? CRemoteControl::Operation::Reset
                                                        : CRemoteControl::Operation::Refresh;
        const Invocation call(invocation, g_object_unref);
        std::shared_ptr<Endpoint> endpoint = self->shared_from_this();
        wxTheApp->CallAfter([endpoint, operation, call] {
            if (endpoint->stopped) {
                return;
            }
            endpoint->remote.Run(operation, [endpoint, call](const RemoteOutcome& outcome) {
                endpoint->Answer(call, outcome);
            });
        });
    }

    // From the user-interface thread: announces what the operation changed, then answers its caller.
    void Answer(const Invocation& call, const RemoteOutcome& outcome) {
        RemoteProperties properties;
        remote.Properties(properties);
        OnBus([this, call, outcome, properties] {
            Announce(outcome.changes, properties.groups);
            auto* invocation = static_cast<GDBusMethodInvocation*>(g_object_ref(call.get()));
            switch (outcome.kind) {
            case RemoteOutcome::Kind::Done:
                g_dbus_method_invocation_return_value(invocation, nullptr);
                break;
            case RemoteOutcome::Kind::Busy:
                g_dbus_method_invocation_return_dbus_error(invocation, kBusyError, kBusyText);
                break;
            case RemoteOutcome::Kind::Failed:
                g_dbus_method_invocation_return_dbus_error(invocation, kInstrumentError,
                                                           outcome.message.c_str());
                break;
            }
        });
    }

    // The bus thread: Properties.Get and GetAll (GDBus has checked the interface and the property name),
    // answered from the state last taken.
    void AnswerProperties(const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation) {
        RemoteProperties properties;
        if (!remote.Properties(properties)) {
            g_dbus_method_invocation_return_dbus_error(invocation, kBusyError, kBusyText);
            return;
        }
        const auto value = [&properties](const std::string& property) -> GVariant* {
            if (property == "ResourceName") {
                return g_variant_new_string(properties.resourceName.c_str());
            }
            if (property == "Live") {
                return g_variant_new_boolean(properties.live);
            }
            if (property == "CardNumber") {
                return g_variant_new_int32(properties.cardNumber);
            }
            return IntArray(property == "GroupTypes" ? properties.groups.types : properties.groups.positions);
        };
        if (std::strcmp(method, "Get") == 0) {
            const gchar* name = nullptr;
            g_variant_get(parameters, "(&s&s)", nullptr, &name);
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(v)", value(name)));
            return;
        }
        if (std::strcmp(method, "GetAll") == 0) {
            GVariantBuilder all;
            g_variant_builder_init(&all, G_VARIANT_TYPE("a{sv}"));
            for (GDBusPropertyInfo** property = node->interfaces[0]->properties; *property != nullptr;
                 ++property) {
                g_variant_builder_add(&all, "{sv}", (*property)->name, value((*property)->name));
            }
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(a{sv})", &all));
            return;
        }
        g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.PropertyReadOnly",
                                                   "The properties of the panel are read-only.");
    }

    // The user-interface thread, when its events are handled: announces a change made by a click or a
    // command of the operator.
    void Publish() {
        const GroupChanges changes = remote.TakeChanges();
        if (!changes.Any()) {
            return;
        }
        RemoteProperties properties;
        remote.Properties(properties);
        OnBus([this, changes, properties] { Announce(changes, properties.groups); });
    }

    // The bus thread: org.freedesktop.DBus.Properties.PropertiesChanged for the changed group state.
    void Announce(const GroupChanges& changes, const GroupState& groups) {
        if (registration == 0 || !changes.Any()) {
            return;
        }
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

    // The bus thread, once its loop has ended.
    void Leave() {
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
    m_endpoint = std::make_shared<Endpoint>();
    m_endpoint->unattended = unattended;
    // Only the session bus the user's session names; GLib's fall-backs (a bus started on demand) are not
    // wanted for a panel that must start the same with or without one.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address == nullptr || *address == '\0') {
        m_endpoint->Say("DBUS_SESSION_BUS_ADDRESS is not set");
        return;
    }
    m_endpoint->context = g_main_context_new();
    m_endpoint->loop = g_main_loop_new(m_endpoint->context, FALSE);
    m_endpoint->connecting = g_cancellable_new();
    m_endpoint->thread = std::thread(&Endpoint::Serve, m_endpoint.get(), std::string(address));
}

void CSessionBus::SetReady() {
    if (m_endpoint) {
        m_endpoint->remote.SetReady(true);
    }
}

void CSessionBus::PublishChanges() {
    if (m_endpoint) {
        m_endpoint->Publish();
    }
}

void CSessionBus::Stop() {
    if (!m_endpoint) {
        return;
    }
    m_endpoint->stopped = true;
    m_endpoint->remote.SetReady(false);
    if (m_endpoint->thread.joinable()) {
        g_cancellable_cancel(m_endpoint->connecting);
        Endpoint* endpoint = m_endpoint.get();
        m_endpoint->OnBus([endpoint] { g_main_loop_quit(endpoint->loop); });
        m_endpoint->thread.join();
    }
    m_endpoint.reset(); // operations still queued for the user-interface thread hold it until dropped
}
