#!/usr/bin/python3
"""A stand-in for the desktop's settings portal on a private session bus. It answers Read for
the settings it holds and, told through its own Set method, changes one and announces it with
SettingChanged, as the real portal does. It ends when its bus ends."""
import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

SETTINGS = "org.freedesktop.portal.Settings"


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.values = {}

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def Read(self, namespace, key):
        if (namespace, key) not in self.values:
            raise dbus.exceptions.DBusException(
                "Requested setting not found", name="org.freedesktop.portal.Error.NotFound")
        value = self.values[(namespace, key)]
        return type(value)(value, variant_level=2)  # the portal's Read wraps it twice

    @dbus.service.signal(SETTINGS, signature="ssv")
    def SettingChanged(self, namespace, key, value):
        pass

    @dbus.service.method("jp.tamahiroi.test.FakePortal", in_signature="ssv")
    def Set(self, namespace, key, value):
        self.values[(namespace, key)] = value
        self.SettingChanged(namespace, key, value)


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
session = dbus.SessionBus()
portal = Portal(session)
name = dbus.service.BusName("org.freedesktop.portal.Desktop", session)
GLib.MainLoop().run()
