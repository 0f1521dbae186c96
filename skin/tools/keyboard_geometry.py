"""Key sizes of the keyboard pictures in keyboard_deng.xml and keyboard_key.xml.

One key unit is KEY_UNIT pixels; a key cap is its size in units times the
unit, less a 2-pixel gap. The layouts name the cap images kb/key_<width x 100>
(with "x2" for the two-row keys of the number pad).
"""
KEY_UNIT = 21

# (width in units, height in units) of every key cap the pictures use.
_SIZES = [(1, 1), (1, 2), (1.25, 1), (1.5, 1), (1.75, 1), (2, 1), (2.25, 1), (2.75, 1), (6.25, 1)]


def key_sizes():
    return list(_SIZES)
