// Reports the process id of the focused window to TRX770 over D-Bus
// (org.trx770.Foreground.ActiveProcess, the pid as a decimal string; "0"
// when no window has the focus). Nothing is sent while TRX770 is not
// running: the call is made only when the name has an owner.
// The form GNOME Shell 43 and 44 load: the old imports and init(); the
// body is the same as the GNOME 45 form's (../gnome-shell/).
const {Gio, GLib} = imports.gi;

const BUS_NAME = 'org.trx770.Foreground';
const OBJECT_PATH = '/org/trx770/Foreground';

class Trx770Foreground {
    enable() {
        this._owned = false;
        this._watch = Gio.bus_watch_name(Gio.BusType.SESSION, BUS_NAME, Gio.BusNameWatcherFlags.NONE,
            () => { this._owned = true; this._report(); },
            () => { this._owned = false; });
        this._focus = global.display.connect('notify::focus-window', () => this._report());
    }

    disable() {
        global.display.disconnect(this._focus);
        Gio.bus_unwatch_name(this._watch);
        this._focus = null;
        this._watch = 0;
    }

    _report() {
        if (!this._owned)
            return;
        const window = global.display.focus_window;
        const pid = window ? window.get_pid() : 0;
        Gio.DBus.session.call(BUS_NAME, OBJECT_PATH, BUS_NAME, 'ActiveProcess',
            new GLib.Variant('(s)', [String(pid > 0 ? pid : 0)]), null, Gio.DBusCallFlags.NO_AUTO_START,
            -1, null, null);
    }
}

function init() {
    return new Trx770Foreground();
}
