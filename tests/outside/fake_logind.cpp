// A stand-in login manager for the shut-down tests: on the bus at argv[1] it
// takes the name org.freedesktop.login1, answers one PowerOff call (argv[2]
// "accept" or "refuse"), writes what it was asked to argv[3] and ends.
// It prints "ready" once the name is its own.
#include <gio/gio.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kIntrospection =
    "<node><interface name='org.freedesktop.login1.Manager'>"
    "<method name='PowerOff'><arg type='b' name='interactive' direction='in'/></method>"
    "</interface></node>";

struct Service {
  bool accept = false;
  const char* reportPath = nullptr;
  GMainLoop* loop = nullptr;
};

void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
            GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  auto* service = static_cast<Service*>(data);
  gboolean interactive = TRUE;
  g_variant_get(parameters, "(b)", &interactive);
  if (FILE* report = std::fopen(service->reportPath, "w")) {
    std::fprintf(report, "%s interactive=%s\n", method, interactive ? "true" : "false");
    std::fclose(report);
  }
  if (service->accept)
    g_dbus_method_invocation_return_value(invocation, nullptr);
  else
    g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.AccessDenied",
                                               "Permission denied by the test");
  g_main_loop_quit(service->loop);
}

void OnNameAcquired(GDBusConnection*, const gchar*, gpointer) {
  std::printf("ready\n");
  std::fflush(stdout);
}

void OnNameLost(GDBusConnection*, const gchar*, gpointer data) {
  g_main_loop_quit(static_cast<Service*>(data)->loop);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  Service service;
  service.accept = std::strcmp(argv[2], "accept") == 0;
  service.reportPath = argv[3];
  GError* error = nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      argv[1],
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (!bus) return 3;
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  const GDBusInterfaceVTable vtable{OnCall, nullptr, nullptr, {}};
  g_dbus_connection_register_object(bus, "/org/freedesktop/login1", node->interfaces[0], &vtable,
                                    &service, nullptr, nullptr);
  service.loop = g_main_loop_new(nullptr, FALSE);
  const guint owner = g_bus_own_name_on_connection(bus, "org.freedesktop.login1",
                                                   G_BUS_NAME_OWNER_FLAGS_NONE, OnNameAcquired,
                                                   OnNameLost, &service, nullptr);
  g_main_loop_run(service.loop);
  g_dbus_connection_flush_sync(bus, nullptr, nullptr);
  g_bus_unown_name(owner);
  g_main_loop_unref(service.loop);
  g_dbus_node_info_unref(node);
  g_object_unref(bus);
  return 0;
}
