#!/usr/bin/python3
"""The desktop's settings portal, stood in for on a private session bus: Read answers what it
holds; Set (its own) changes a setting and announces it with SettingChanged, as the portal does."""
import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

SETTINGS = "org.freedesktop.portal.Settings"


class Portal(dbus.service.Object):
    values = {}

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def Read(self, namespace, key):
        if (namespace, key) not in self.values:
            raise dbus.exceptions.DBusException(name="org.freedesktop.portal.Error.NotFound")
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
session = dbus.SessionBus()  # ends the script when the bus ends
portal = Portal(session, "/org/freedesktop/portal/desktop")
name = dbus.service.BusName("org.freedesktop.portal.Desktop", session)
GLib.MainLoop().run()
