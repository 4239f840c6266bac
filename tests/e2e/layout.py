"""Where things are on the main panel (912 x 516 content), in panel pixels.

The panel and its pages are laid out at fixed pixel positions; the tests click and read
pixels there.  Setup page widgets are given in page coordinates and moved by the page's
place in the tab area.
"""

PANEL_WIDTH = 912
PANEL_HEIGHT = 516

# The tabbed area sits at (8, 8) with a 30-pixel tab bar and no outline.
PAGE_ORIGIN = (8, 38)


def on_page(x, y):
    return PAGE_ORIGIN[0] + x, PAGE_ORIGIN[1] + y


def centre_on_page(x, y, width, height):
    return on_page(x + width // 2, y + height // 2)


# Setup page, "Amp Connection" area.
SEARCH = centre_on_page(24, 30, 64, 24)
CONNECT = centre_on_page(172, 358, 124, 24)

# Device table at (15, 75, 290, 280) on the page: a 28-pixel header, then 22-pixel rows
# (row 0 is the USB entry, network devices follow in the order they answered).
TABLE_LEFT, TABLE_RIGHT = on_page(15, 0)[0], on_page(15 + 290, 0)[0]
ROWS_TOP = on_page(0, 75 + 28)[1]
ROW_HEIGHT = 22


def device_row(row):
    """A point inside a device table row, in the "Amp Model" column right of its text."""
    return on_page(107, 0)[0], ROWS_TOP + ROW_HEIGHT * row + ROW_HEIGHT // 2


def device_row_band(row):
    """(left, top, right, bottom) of a row, without its first and last pixel lines."""
    top = ROWS_TOP + ROW_HEIGHT * row
    return TABLE_LEFT + 1, top + 1, TABLE_RIGHT - 2, top + ROW_HEIGHT - 2


# The message over the foot of the device table while another program holds the port:
# a point of its background, clear of the text, and the colours there.
PORT_MESSAGE = on_page(20, 306)
PORT_MESSAGE_BACKGROUND = (0x33, 0x33, 0x33)


# "PC Presets" and "Amp Presets" areas.
LOAD = centre_on_page(336, 30, 56, 24)
SAVE = centre_on_page(336, 62, 56, 24)
FILE_NAME = centre_on_page(412, 30, 160, 24)
RECALL = centre_on_page(336, 126, 56, 24)
STORE = centre_on_page(336, 158, 56, 24)


def slot_toggle(slot):
    """The tick box of amplifier preset slot 1..20."""
    x = 334 if slot <= 10 else 526
    return on_page(x, 202 + 24 * ((slot - 1) % 10) + 10)


# Right column: gain faders (-60..0 dB, top is 0), mute buttons, meters.
GAIN_A_X = 745 + 20
GAIN_TOP, GAIN_BOTTOM = 240, 240 + 140
MUTE_A = (748 + 24, 412 + 12)
MUTE_B = (848 + 24, 412 + 12)
# Inside the gain A fader's dark background but beside its track: painted only while the
# gain controls are shown (ZR family).
FADER_BACKGROUND = (755, 300)
# A point on mute A's face away from its text.
MUTE_A_FACE = (752, 416)

# Meters: 21 segments of 3 pixels every 5 pixels, segment 0 at the top (0 dB) and segment
# i standing for -3 i dB; a segment is lit when its level is below the meter's level.
INPUT_METER_A = (790, 266)
OUTPUT_METER_A = (790, 90)


def meter_segment(meter, index):
    """The centre pixel of a meter segment (0 at the top)."""
    return meter[0] + 7, meter[1] + 5 * index + 1


# Colours, as (r, g, b).
BLACK = (0, 0, 0)
COLUMN_GREY = (0x33, 0x33, 0x33)
CONNECTED_ROW = (0xfd, 0xbb, 0x30)
OFFLINE_ROW = (0xa8, 0xa8, 0xa8)
METER_LIT = (0xfd, 0xbb, 0x30)


def is_mute_red(colour):
    """The mute buttons' on-colour, pure red, as the look and feel draws it (slightly paler)."""
    r, g, b = colour
    return r >= 240 and g <= 60 and b <= 60

# The connect question ("Select active Device"): its "Cancel" button, from the middle of the
# box's bottom edge.
SELECT_DEVICE_CANCEL = (57, -38)

# JUCE's own file chooser is a 600 x 500 window; its file name box runs along the bottom.
FILE_CHOOSER_NAME_BOX = (300, 437)
