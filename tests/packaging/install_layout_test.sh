#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the layout, and starts
# the installed program (offscreen, simulated devices) from there and from a
# relocated copy of the prefix: it must find its skin and default profiles.
#   install_layout_test.sh <build dir>
set -euo pipefail
BUILD=$1
WORK=$(mktemp -d /tmp/trx770-install-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
PREFIX=$WORK/usr
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in \
  bin/trx770 \
  share/trx770/skin/res.xml share/trx770/skin/main.xml share/trx770/skin/lan_cn.xml share/trx770/skin/lan_en.xml \
  share/trx770/msdevicedefault.config share/trx770/kbkeydefault.pro share/trx770/70-trx770.rules \
  share/trx770/name_1.cur share/trx770/name_4.cur \
  share/applications/trx770.desktop share/metainfo/org.trx770.trx770.metainfo.xml \
  share/icons/hicolor/scalable/apps/trx770.svg share/icons/hicolor/48x48/apps/trx770.png \
  share/icons/hicolor/256x256/apps/trx770.png \
  share/man/man1/trx770.1.gz share/man/man1/trx770ctl.1.gz share/doc/trx770/copyright \
  share/gnome-shell/extensions/trx770-foreground@trx770.org/extension.js \
  lib/udev/rules.d/70-trx770.rules; do
  [ -f "$PREFIX/$f" ] || fail "$f is not installed"
done
# Nothing data-like beside the program, nothing from the build's tools.
[ ! -e "$PREFIX/bin/skin" ] || fail "the skin is installed into bin/"
extra=$(ls "$PREFIX/bin" | grep -v -x -e trx770 -e trx770ctl || true)
[ -z "$extra" ] || fail "unexpected programs in bin/: $extra"
[ ! -d "$PREFIX/share/trx770/skin/tools" ] || fail "skin/tools is installed"

# Starts the installed program for a moment; its first paint ("windowinit")
# needs the skin, and the simulated mouse's connection reads the defaults.
start() {
  local prefix=$1 home=$WORK/home-$2 out
  mkdir -p "$home/run" && chmod 700 "$home/run"
  out=$(cd / && HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=offscreen \
        TRX770_DEBUG=1 timeout -s TERM 3 "$prefix/bin/trx770" --simulate 2>&1 || true)
  grep -q windowinit <<<"$out" || { echo "$out" | tail -20; fail "$prefix/bin/trx770 did not paint its window"; }
  ! grep -q "could not be created" <<<"$out" || fail "$prefix/bin/trx770: $out"
}
start "$PREFIX" usr
mkdir -p "$WORK/opt"
mv "$PREFIX" "$WORK/opt/trx770"
start "$WORK/opt/trx770" opt
echo "install layout and relocated start: ok"
