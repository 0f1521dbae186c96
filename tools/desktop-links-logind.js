// A stand-in for systemd-logind on the private system bus of
// tools/desktop-links-check.sh: GNOME Shell will not start without one.
// Run with gjs.
const {Gio, GLib} = imports.gi;
const ManagerIface = `<node><interface name="org.freedesktop.login1.Manager">
<method name="GetSession"><arg type="s" direction="in"/><arg type="o" direction="out"/></method>
<method name="GetSessionByPID"><arg type="u" direction="in"/><arg type="o" direction="out"/></method>
<method name="ListSessions"><arg type="a(susso)" direction="out"/></method>
<method name="CanSuspend"><arg type="s" direction="out"/></method>
<method name="CanRebootToBootLoaderMenu"><arg type="s" direction="out"/></method>
<signal name="PrepareForSleep"><arg type="b"/></signal>
</interface></node>`;
const SessionIface = `<node><interface name="org.freedesktop.login1.Session">
<property name="Id" type="s" access="read"/><property name="Active" type="b" access="read"/>
<property name="Remote" type="b" access="read"/><property name="Class" type="s" access="read"/>
<property name="Type" type="s" access="read"/><property name="State" type="s" access="read"/>
<property name="LockedHint" type="b" access="read"/>
<method name="SetLockedHint"><arg type="b" direction="in"/></method>
<signal name="Lock"/><signal name="Unlock"/>
</interface></node>`;
const SESSION = '/org/freedesktop/login1/session/c1';
const manager = {
    GetSession() { return SESSION; },
    GetSessionByPID() { return SESSION; },
    ListSessions() { return [['c1', 0, 'root', 'seat0', SESSION]]; },
    CanSuspend() { return 'no'; },
    CanRebootToBootLoaderMenu() { return 'no'; },
};
const session = {Id: 'c1', Active: true, Remote: false, Class: 'user', Type: 'wayland', State: 'active', LockedHint: false,
    SetLockedHint() {}};
const m = Gio.DBusExportedObject.wrapJSObject(ManagerIface, manager);
const s = Gio.DBusExportedObject.wrapJSObject(SessionIface, session);
const bus = Gio.DBus.system;
m.export(bus, '/org/freedesktop/login1');
s.export(bus, SESSION);
Gio.bus_own_name_on_connection(bus, 'org.freedesktop.login1', Gio.BusNameOwnerFlags.NONE, null, null);
new GLib.MainLoop(null, false).run();
