#!/usr/bin/env python3
# Sets up two linked mouse device profiles for the program-link scripts:
# profile2 linked to OUT/alpha, profile3 to OUT/beta, both copies of
# profile1 (with --colours: profile2's light blue, profile3's green);
# profile1 stays the user's choice.
#   tools/link-profiles-setup.py PROFILE_DIR MS_INI OUT [--colours]
import re
import sys

d, ini, out = sys.argv[1:4]
colours = "--colours" in sys.argv[4:]
data = bytearray(open(f"{d}/profile1.config", "rb").read())
for name, rgb in (("profile2", b"\x00\x00\xff"), ("profile3", b"\x00\xff\x00")):
    if colours:
        data[16 + 512 + 6:16 + 512 + 9] = rgb  # the record's light colour
    open(f"{d}/{name}.config", "wb").write(data)
text = open(ini).read()


def put(section, key, value):
    global text
    m = re.search(r"^\[%s\]\n" % section, text, re.M)
    if not m:
        text += f"\n[{section}]\n"
        m = re.search(r"^\[%s\]\n" % section, text, re.M)
    body_end = text.find("\n[", m.end())
    body_end = len(text) if body_end < 0 else body_end + 1
    body = re.sub(r"^%s=.*\n" % key, "", text[m.end():body_end], flags=re.M)
    text = text[:m.end()] + f"{key}={value}\n" + body + text[body_end:]


put("PROFILEDEVICECOUNT", "count", "3")
put("PROFILEDEVICENAME", "1", "profile2"); put("PROFILEDEVICENAME", "2", "profile3")
put("PROFILELIKEDEVICEEXE", "1", "1"); put("DEVICEPROCESS", "1", f"{out}/alpha")
put("PROFILELIKEDEVICEEXE", "2", "1"); put("DEVICEPROCESS", "2", f"{out}/beta")
put("PROFILEDEVICESELECT", "select", "0")
open(ini, "w").write(text)
