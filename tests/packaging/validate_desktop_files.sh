#!/usr/bin/env bash
# Validates the desktop entry (desktop-file-validate) or the AppStream
# metadata (appstreamcli validate). Exit 77 (skipped) when the tool is
# missing (tools/install-deps.sh installs both).
#   validate_desktop_files.sh desktop|metainfo <file>
set -euo pipefail
case $1 in
  desktop)
    command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate missing: skipped"; exit 77; }
    out=$(desktop-file-validate "$2" 2>&1) || { echo "$out"; exit 1; }
    [ -z "$out" ] || { echo "$out"; exit 1; }  # hints count as failures too
    ;;
  metainfo)
    command -v appstreamcli >/dev/null || { echo "appstreamcli missing: skipped"; exit 77; }
    appstreamcli validate --no-net --pedantic "$2"
    ;;
  *) exit 2 ;;
esac
