// Reports the process id of the active window to TRX770 over D-Bus
// (org.trx770.Foreground.ActiveProcess, the pid as a decimal string; "0"
// when no window is active). KWin 6 names the signal windowActivated,
// KWin 5 clientActivated.
function report(window) {
    var pid = (window && window.pid) ? window.pid : 0;
    callDBus("org.trx770.Foreground", "/org/trx770/Foreground", "org.trx770.Foreground",
             "ActiveProcess", String(pid));
}
if (workspace.windowActivated) {
    workspace.windowActivated.connect(report);
    report(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(report);
    report(workspace.activeClient);
}
