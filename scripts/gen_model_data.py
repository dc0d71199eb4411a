#!/usr/bin/env python3
"""Writes the shipped model data of Vostrel into data/.

    python3 scripts/gen_model_data.py

Produces, from the tables below:
  data/Config/devicesinfo.xml           the model catalogue
  data/Config/<MODEL>.xml               one command file per model
  data/Images/<model>.png, cat_*.png    model thumbnails and category icons
and makes sure every text identifier the catalogue and the command files use has an
entry in data/Config/lang_en.xml and data/Config/lang_cn.xml (other entries of those
files are left as they are).

The output is the same on every run. Standard library only. The build does not run
this script: its output is checked in.

How values are written in a command file:
  * lists of values (COMBOBOX, RADIOGROUP, EDITCOMBOBOX, BUTTONGROUP) hold the bare
    values the scanner accepts, "|"-separated, runs of consecutive numbers as "a-b";
    their labels belong to the page layout and are only noted in a comment before
    the command;
  * COMBOBOXCUSTOM lists are "label:value" items plus Minimum/Maximum for the custom
    entry; a list with words in its labels names a translated list through the
    langID attribute of SettingsList;
  * RADIO toggles and RANGEEDIT numbers carry Minimum/Maximum only;
  * EDIT texts carry the allowed text length as Minimum/Maximum;
  * HEXEDIT byte strings carry their length in bytes as CmdGetLen and, when every
    byte must lie in a range, two-digit byte limits as Minimum/Maximum.
"""

import math
import os
import re
import struct
import sys
import zlib
from xml.sax.saxutils import escape, quoteattr

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
CONFIG = os.path.join(ROOT, "data", "Config")
IMAGES = os.path.join(ROOT, "data", "Images")

NAME_PATTERN = re.compile(r"^[A-Z0-9]{6}$")
HEX_PATTERN = re.compile(r"^(?:[0-9A-F]{2})+$")


# ---------------------------------------------------------------------------
# Commands
# ---------------------------------------------------------------------------

class Command:
    """One Command element of a model command file."""

    def __init__(self, name, caption, control, default="", settings=None, settings_lang=None,
                 minimum=None, maximum=None, length=None, labels=None):
        self.name = name
        self.caption = caption
        self.control = control
        self.default = default
        self.settings = settings
        self.settings_lang = settings_lang
        self.minimum = minimum
        self.maximum = maximum
        self.length = length
        self.labels = labels

    def element(self):
        lines = []
        if self.labels:
            noted = ", ".join("%s %s" % (value, label) for value, label in self.labels)
            assert "--" not in noted, "%s: labels cannot stand in a comment" % self.name
            lines.append(" <!-- %s: %s -->" % (self.name, noted))
        lines.append(" <Command>")
        lines.append("  <CommandName>%s</CommandName>" % self.name)
        lines.append("  <FriendlyText>%s</FriendlyText>" % escape(self.caption))
        lines.append("  <ControlType>%s</ControlType>" % self.control)
        if self.settings is not None:
            attribute = " langID=%s" % quoteattr(self.settings_lang) if self.settings_lang else ""
            lines.append("  <SettingsList%s>%s</SettingsList>" % (attribute, escape(self.settings)))
        lines.append("  <Default>%s</Default>" % escape(self.default))
        if self.minimum is not None:
            lines.append("  <Minimum>%s</Minimum>" % self.minimum)
            lines.append("  <Maximum>%s</Maximum>" % self.maximum)
        if self.length is not None:
            lines.append("  <CmdGetLen>%d</CmdGetLen>" % self.length)
        lines.append(" </Command>")
        return "\n".join(lines)


def value_list(values):
    """Bare values joined by "|", runs of four or more consecutive numbers as "a-b"."""
    items = []
    run = []

    def flush():
        if len(run) >= 4:
            items.append("%d-%d" % (run[0], run[-1]))
        else:
            items.extend(str(v) for v in run)
        del run[:]

    for value in values:
        if isinstance(value, int) and run and value == run[-1] + 1:
            run.append(value)
            continue
        flush()
        if isinstance(value, int):
            run.append(value)
        else:
            items.append(str(value))
    flush()
    return "|".join(items)


def choice(name, caption, labelled, default, control="COMBOBOX"):
    values = [value for value, _ in labelled]
    assert default in values, "%s: default %r not offered" % (name, default)
    return Command(name, caption, control, str(default), settings=value_list(values), labels=labelled)


def radios(name, caption, labelled, default):
    return choice(name, caption, labelled, default, control="RADIOGROUP")


def buttons(name, caption, labelled, default):
    return choice(name, caption, labelled, default, control="BUTTONGROUP")


def editable(name, caption, labelled, default):
    return choice(name, caption, labelled, default, control="EDITCOMBOBOX")


def toggle(name, caption, on, control="RADIO"):
    return Command(name, caption, control, "1" if on else "0", minimum=0, maximum=1)


def number(name, caption, low, high, default):
    assert low <= default <= high, "%s: default %d outside %d-%d" % (name, default, low, high)
    return Command(name, caption, "RANGEEDIT", str(default), minimum=low, maximum=high)


# Lists whose labels are words: shown translated through the UI text table. Each is
# (English items, Chinese items), items as (label, value); both must give the same
# values in the same order.
TRANSLATED_LISTS = {
    "ID_LIST_READ_TIMEOUT": (
        [("1 s", 1000), ("3 s", 3000), ("5 s", 5000), ("10 s", 10000), ("Unlimited", 0)],
        [("1 秒", 1000), ("3 秒", 3000), ("5 秒", 5000), ("10 秒", 10000), ("无限制", 0)]),
    "ID_LIST_BEEP_TONE": (
        [("Low", 1600), ("Medium", 2700), ("High", 4000)],
        [("低音", 1600), ("中音", 2700), ("高音", 4000)]),
    "ID_LIST_BEEP_DURATION": (
        [("Short", 40), ("Normal", 80), ("Long", 150)],
        [("短", 40), ("标准", 80), ("长", 150)]),
    "ID_LIST_KEY_DELAY": (
        [("None", 0), ("Short", 5), ("Medium", 20), ("Long", 40)],
        [("无", 0), ("短", 5), ("中", 20), ("长", 40)]),
    "ID_LIST_SLEEP_TIME": (
        [("Never", 0), ("1 min", 60), ("5 min", 300), ("10 min", 600), ("30 min", 1800)],
        [("从不", 0), ("1 分钟", 60), ("5 分钟", 300), ("10 分钟", 600), ("30 分钟", 1800)]),
}


def preset_text(items):
    return "|".join("%s:%d" % (label, value) for label, value in items)


def presets(name, caption, items, low, high, default, translated=None):
    if translated:
        items = TRANSLATED_LISTS[translated][0]
    assert low <= default <= high, "%s: default outside the custom range" % name
    assert all(low <= value <= high for _, value in items), "%s: preset outside the custom range" % name
    return Command(name, caption, "COMBOBOXCUSTOM", str(default), settings=preset_text(items),
                   settings_lang=translated, minimum=low, maximum=high)


def text(name, caption, longest, default="", shortest=0):
    assert shortest <= len(default) <= longest, "%s: default length" % name
    assert not default.isdigit(), "%s: a text default must not read as a number" % name
    return Command(name, caption, "EDIT", default, minimum=shortest, maximum=longest)


def hexbytes(name, caption, length, default, low=None, high=None, control="HEXEDIT"):
    assert HEX_PATTERN.match(default), "%s: default is no byte string" % name
    assert len(default) // 2 <= length, "%s: default longer than %d bytes" % (name, length)
    if low is not None:
        assert len(low) == 2 and len(high) == 2, "%s: byte limits are two digits" % name
        assert all(low <= default[i:i + 2] <= high for i in range(0, len(default), 2)), "%s: byte limits" % name
        assert len(default) == 2, "%s: a limited byte string defaults to one byte" % name
    return Command(name, caption, control, default, minimum=low, maximum=high, length=length)


def action(name, caption, control="BUTTON", default=""):
    return Command(name, caption, control, default)


def special(name, caption, control, default="", settings=None, length=None):
    return Command(name, caption, control, default, settings=settings, length=length)


OFF_ON = [(0, "Off"), (1, "On")]
CHECK_DIGIT = [(0, "Not checked"), (1, "Checked, not sent"), (2, "Checked and sent")]
INVERSE = [(0, "Normal only"), (1, "Inverse only"), (2, "Normal and inverse")]
ADD_ON = [(0, "None"), (1, "2 digits"), (2, "5 digits"), (3, "2 or 5 digits")]
PREAMBLE = [(0, "None"), (1, "System character"), (2, "Country code and system character")]


def symbology(group, title, on, lengths=None, check=None, extra=()):
    """Enable, length limits and check digit of one symbology, then its own settings."""
    result = [toggle(group + "ENA", "Enable " + title, on)]
    if lengths:
        low, high, shortest, longest = lengths
        result.append(number(group + "MIN", title + " minimum length", low, high, shortest))
        result.append(number(group + "MAX", title + " maximum length", low, high, longest))
    if check:
        labelled, default = check
        result.append(choice(group + "CHK", title + " check digit", labelled, default))
    result.extend(extra)
    return result


# ---------------------------------------------------------------------------
# What the models share, and what each adds
# ---------------------------------------------------------------------------

BAUD_RATES = [(0, "1200"), (1, "2400"), (2, "4800"), (3, "9600"), (4, "19200"), (5, "38400"),
              (6, "57600"), (7, "115200")]
INTERFACES = {0: "RS-232", 1: "USB keyboard", 2: "USB virtual COM port", 3: "USB HID POS",
              4: "PS/2 keyboard wedge"}
KEYBOARD_COUNTRIES = ["US", "UK", "German", "French", "Italian", "Spanish", "Portuguese (Brazil)", "Swedish",
                      "Norwegian", "Danish", "Finnish", "Swiss German", "Belgian", "Dutch", "Turkish Q",
                      "Japanese", "Russian", "Czech", "Polish", "Hungarian"]
SCAN_MODES = [(0, "Trigger"), (1, "Pulse"), (2, "Continuous"), (3, "Auto sense"), (4, "Host command")]


def communication(model):
    t = model.traits
    bauds = BAUD_RATES + ([(8, "230400")] if t.get("fast_serial") else [])
    return [
        choice("232BAD", "Baud rate", bauds, t.get("baud", 3)),
        radios("232PAR", "Parity", [(0, "None"), (1, "Odd"), (2, "Even")], 0),
        radios("232DAT", "Data bits", [(7, "7 bits"), (8, "8 bits")], 8),
        radios("232STP", "Stop bits", [(1, "1 bit"), (2, "2 bits")], 1),
        choice("232FLW", "Flow control", [(0, "None"), (1, "RTS/CTS"), (2, "XON/XOFF")], 0),
        toggle("232AFL", "ACK/NAK handshake", False),
        number("232ICD", "Delay between characters (ms)", 0, 100, 0),
        choice("INTERF", "Interface", [(v, INTERFACES[v]) for v in t["interfaces"]], t["interface"]),
        choice("KBWPOR", "USB polling interval (ms)", [(1, "1"), (2, "2"), (4, "4"), (8, "8"), (16, "16")], 8),
    ]


def keyboard(model):
    result = [
        choice("KBWCTY", "Keyboard country", list(enumerate(KEYBOARD_COUNTRIES)), 0),
        presets("KBWDLY", "Delay between key strokes (ms)", None, 0, 100, 0, translated="ID_LIST_KEY_DELAY"),
        radios("KBWCAP", "Caps Lock handling", [(0, "Off"), (1, "On"), (2, "Detect")], 0),
        toggle("KBWNUM", "Digits from the numeric keypad", False),
        toggle("KBWCTL", "Control characters as Ctrl+key", False),
    ]
    if model.traits.get("full_keyboard"):
        result += [
            toggle("KBWALT", "Characters through Alt+keypad", False),
            toggle("KBWFKY", "Function key mapping", False),
        ]
    return result


def indication(model):
    result = [
        toggle("BEPENA", "Beep on good read", True),
        radios("BEPLVL", "Beeper volume", [(1, "Low"), (2, "Medium"), (3, "High")], model.traits.get("volume", 3)),
        presets("BEPTON", "Beeper tone (Hz)", None, 1000, 5000, 2700, translated="ID_LIST_BEEP_TONE"),
        presets("BEPDUR", "Beep duration (ms)", None, 20, 300, 80, translated="ID_LIST_BEEP_DURATION"),
        toggle("BEPPWR", "Beep at power-on", True),
        toggle("BEPSET", "Beep on settings barcodes", True),
        buttons("BEPTST", "Sound the beeper", [(1, "Low"), (2, "Medium"), (3, "High")], 2),
        toggle("LEDGRD", "Good-read LED", True),
        presets("LEDDUR", "Good-read LED time (ms)",
                [("100 ms", 100), ("200 ms", 200), ("500 ms", 500), ("1000 ms", 1000)], 20, 3000, 200),
        toggle("LEDPWR", "LED at power-on", True),
        choice("LEDAIM", "Aiming light", [(0, "Off"), (1, "While reading"), (2, "Always on")],
               model.traits.get("aim", 1)),
        choice("LEDILL", "Illumination", [(0, "Off"), (1, "While reading"), (2, "Always on")], 1),
    ]
    return result


def scanning(model):
    t = model.traits
    result = [
        choice("SCNMOD", "Scan mode", [m for m in SCAN_MODES if m[0] in t["scan_modes"]], t["scan_mode"]),
        presets("SCNTMO", "Read timeout", None, 0, 3600000, 3000, translated="ID_LIST_READ_TIMEOUT"),
        toggle("SCNSDE", "Same-code delay", True),
        presets("SCNSDT", "Same-code delay time (ms)",
                [("500 ms", 500), ("1000 ms", 1000), ("2000 ms", 2000), ("3000 ms", 3000)], 0, 60000,
                t.get("same_code_delay", 1000)),
        number("SCNITV", "Pause between reads in continuous mode (ms)", 0, 10000, 500),
        number("SCNSNS", "Auto-sense sensitivity", 1, 20, t.get("sensitivity", 10)),
        hexbytes("SCNTCT", "Serial command that starts a read", 8, "16540D"),
        hexbytes("SCNTCP", "Serial command that stops a read", 8, "16550D"),
        toggle("SCNCEN", "Decode only the code under the aimer", False),
        toggle("SCNMLT", "Read several codes at once", False),
    ]
    return result


def symbologies_1d():
    return (
        symbology("128", "Code 128", True, (1, 80, 1, 48), None,
                  [toggle("128UCC", "GS1-128 (UCC/EAN-128)", True)])
        + symbology("E13", "EAN-13", True, None, None, [
            toggle("E13CHK", "Send EAN-13 check digit", True),
            choice("E13ADD", "EAN-13 add-on code", ADD_ON, 0),
            toggle("E13ISB", "Convert EAN-13 to ISBN", False)])
        + symbology("E08", "EAN-8", True, None, None, [
            toggle("E08CHK", "Send EAN-8 check digit", True),
            toggle("E08EXP", "Expand EAN-8 to EAN-13", False)])
        + symbology("UPA", "UPC-A", True, None, None, [
            toggle("UPACHK", "Send UPC-A check digit", True),
            choice("UPAPRE", "UPC-A preamble", PREAMBLE, 1),
            choice("UPAADD", "UPC-A add-on code", ADD_ON, 0)])
        + symbology("UPE", "UPC-E", True, None, None, [
            toggle("UPECHK", "Send UPC-E check digit", True),
            choice("UPEPRE", "UPC-E preamble", PREAMBLE, 1),
            toggle("UPEEXP", "Expand UPC-E to UPC-A", False),
            toggle("UP1ENA", "Enable UPC-E1", False)])
        + symbology("C39", "Code 39", True, (1, 80, 1, 48), (CHECK_DIGIT, 0), [
            toggle("C39ASC", "Code 39 full ASCII", False),
            toggle("C39STS", "Send Code 39 start and stop characters", False),
            toggle("C32ENA", "Enable Code 32 (Italian pharmacy)", False)])
        + symbology("C93", "Code 93", True, (1, 80, 1, 48), None,
                    [toggle("C93CHK", "Send Code 93 check digits", False)])
        + symbology("CBA", "Codabar", True, (2, 60, 2, 60), (CHECK_DIGIT, 0), [
            choice("CBASTS", "Codabar start and stop characters",
                   [(0, "Not sent"), (1, "ABCD"), (2, "abcd"), (3, "DC1 to DC4")], 0)])
        + symbology("I25", "Interleaved 2 of 5", True, (4, 80, 6, 80), (CHECK_DIGIT, 0),
                    [toggle("I14ENA", "Enable ITF-14", False)])
        + symbology("M25", "Matrix 2 of 5", False, (4, 80, 4, 80), (CHECK_DIGIT, 0))
        + symbology("C11", "Code 11", False, (4, 80, 4, 80),
                    ([(0, "None"), (1, "One digit"), (2, "Two digits"), (3, "One or two digits")], 1),
                    [toggle("C11TCK", "Send Code 11 check digits", False)])
        + symbology("MSI", "MSI", False, (4, 48, 4, 48),
                    ([(0, "Mod 10"), (1, "Mod 10 and mod 10"), (2, "Mod 11 and mod 10")], 0),
                    [toggle("MSITCK", "Send MSI check digits", False)])
        + symbology("RSS", "GS1 DataBar", True, None, None,
                    [toggle("RSSAIT", "Send GS1 DataBar application identifier", True)])
        + symbology("RSL", "GS1 DataBar Limited", True)
        + symbology("RSE", "GS1 DataBar Expanded", True)
    )


def symbologies_2d():
    return (
        symbology("QRC", "QR Code", True, (1, 7089, 1, 7089), None, [
            toggle("QRCMIC", "Enable Micro QR", True),
            choice("QRCINV", "QR Code polarity", INVERSE, 0)])
        + symbology("DMC", "Data Matrix", True, (1, 3116, 1, 3116), None, [
            toggle("DMCREC", "Rectangular Data Matrix", True),
            choice("DMCINV", "Data Matrix polarity", INVERSE, 0)])
        + symbology("PDF", "PDF417", True, (1, 2710, 1, 2710), None,
                    [toggle("PDFMIC", "Enable MicroPDF417", False)])
        + symbology("AZT", "Aztec", True, (1, 3832, 1, 3832))
        + symbology("MXC", "MaxiCode", False)
        + symbology("HXC", "Han Xin", False, (1, 7827, 1, 7827))
    )


def output(model):
    dfm = model.traits["data_format"]
    result = [
        toggle("CPRENA", "Custom prefix", False),
        text("CPRSET", "Custom prefix text", 10),
        toggle("CSUENA", "Custom suffix", False),
        text("CSUSET", "Custom suffix text", 10),
        toggle("AIDENA", "AIM ID prefix", False),
        toggle("CIDENA", "Code ID prefix", False),
        choice("PREORD", "Prefix order", [(0, "Code ID, AIM ID, custom"), (1, "Custom, Code ID, AIM ID")], 0),
        toggle("TRMENA", "Terminator", True),
        choice("TRMSEL", "Terminator", [(0, "CR"), (1, "CR LF"), (2, "Tab"), (3, "LF"), (4, "Custom")],
               model.traits.get("terminator", 0)),
        hexbytes("TRMHEX", "Custom terminator", 2, "0D0A"),
        radios("OUTCAS", "Case conversion", [(0, "None"), (1, "Upper case"), (2, "Lower case"), (3, "Swap case")], 0),
        number("OUTCLD", "Characters cut from the start", 0, 15, 0),
        number("OUTCTR", "Characters cut from the end", 0, 15, 0),
        toggle("NGRENA", "Message on a failed read", False),
        hexbytes("NGRSET", "Failed-read message", 7, "4E52"),
        choice("DFMENA", "Data formatting", [(0, "Off"), (1, "On, a format must match"), (2, "On, optional")], 0),
        special(dfm, "Data formats", "DATAFORMAT", length=50),
        action("DFMCAL", "Clear all data formats"),
        action("DFMDEF", "Restore the factory data formats"),
        action("DFMQCU", "Show the data formats", control="BUTTONGETTEXT"),
        action("DFMQFA", "Show the factory data formats", control="BUTTONGETTEXT"),
    ]
    return result


def system(model):
    setup = model.traits.get("setup", "SETUPE")
    result = [toggle(setup, "Read settings barcodes", True)]
    if model.traits.get("sleeps"):
        result.append(presets("SYSSLP", "Sleep after", None, 0, 3600, 300, translated="ID_LIST_SLEEP_TIME"))
    result += [
        toggle("SYSDEM", "Demonstration mode until power-off", False, control="RADIO#"),
        action("CUSSAV", "Save as user defaults"),
        action("CUSDEF", "Load user defaults"),
        action("FACDEF", "Restore factory defaults"),
    ]
    return result


def common(model):
    return (communication(model) + keyboard(model) + indication(model) + scanning(model)
            + symbologies_1d() + symbologies_2d() + output(model) + system(model))


def wireless():
    return [
        choice("WLSMOD", "Radio link", [(0, "Base station"), (1, "Bluetooth HID"), (2, "Bluetooth SPP"),
                                        (3, "Bluetooth LE")], 0),
        radios("WLSPWR", "Radio power", [(0, "Low"), (1, "Medium"), (2, "High")], 2),
        number("WLSCHN", "Base station channel", 1, 16, 1),
        text("WLSNAM", "Bluetooth name", 20, "HBS-HS620W", shortest=1),
        toggle("WLSOOR", "Beep when out of range", True),
        choice("WLSBAT", "Batch mode", [(0, "Off"), (1, "When out of range"), (2, "Always")], 0),
        action("WLSSBT", "Send the stored codes"),
        action("WLSCLR", "Clear the stored codes"),
        action("WLSCNT", "Number of stored codes", control="BUTTONGETTEXT", default="0"),
        action("WLSBLV", "Battery level (%)", control="BUTTONGETTEXT", default="100"),
        special("RTCDAT", "Clock date for stored codes", "DATATIME", default="2024-01-01"),
        toggle("OUTTMS", "Add the time to stored codes", False),
    ]


def fixed_mount_io():
    return [
        choice("IOIMOD", "Trigger input", [(0, "Off"), (1, "Active high"), (2, "Active low")], 0),
        number("IOIDEB", "Trigger input debounce (ms)", 0, 200, 10),
        choice("IOOGRD", "Output 1", [(0, "Off"), (1, "Pulse on good read"), (2, "Pulse on failed read"),
                                      (3, "On while reading")], 1),
        choice("IOONGR", "Output 2", [(0, "Off"), (1, "Pulse on good read"), (2, "Pulse on failed read"),
                                      (3, "On while reading")], 2),
        number("IOOPUL", "Output pulse width (ms)", 10, 2000, 100),
        toggle("IOOINV", "Invert outputs", False),
        number("SCNPRX", "Presentation mode hold time (ms)", 0, 10000, 1500),
        toggle("SCNIDL", "Dim the illumination when idle", True),
    ]


# The HI880: an industrial imager with image capture, decode areas and the wider
# symbology set.

CODE_IDS = [("128", "Code 128", "j"), ("E13", "EAN-13", "d"), ("E08", "EAN-8", "D"), ("UPA", "UPC-A", "c"),
            ("UPE", "UPC-E", "E"), ("C39", "Code 39", "b"), ("C93", "Code 93", "i"), ("CBA", "Codabar", "a"),
            ("I25", "Interleaved 2 of 5", "e"), ("M25", "Matrix 2 of 5", "m"), ("C11", "Code 11", "h"),
            ("MSI", "MSI", "g"), ("RSS", "GS1 DataBar", "R"), ("QRC", "QR Code", "Q"), ("DMC", "Data Matrix", "u"),
            ("PDF", "PDF417", "r"), ("AZT", "Aztec", "z"), ("MXC", "MaxiCode", "x"), ("HXC", "Han Xin", "H"),
            ("ISB", "ISBT 128", "J"), ("D25", "Industrial 2 of 5", "f"), ("S25", "Standard 2 of 5", "s"),
            ("CPT", "China Post 25", "t"), ("DOT", "DotCode", "o"), ("GRD", "Grid Matrix", "G")]


def imaging():
    return [
        choice("EXPMOD", "Exposure", [(0, "Automatic"), (1, "Fixed")], 0),
        number("EXPEMN", "Shortest exposure (10 us)", 1, 10000, 10),
        number("EXPEMX", "Longest exposure (10 us)", 1, 10000, 8000),
        number("EXPGMN", "Lowest gain", 0, 255, 0),
        number("EXPGMX", "Highest gain", 0, 255, 255),
        number("EXPTGT", "Target brightness", 0, 255, 120),
        number("EXPFIX", "Fixed exposure (10 us)", 1, 10000, 300),
        choice("CADENA", "Decode area", [(0, "Whole image"), (1, "Percent of the image"), (5, "Pixels"),
                                         (6, "Around the aiming point")], 0),
        number("CADTOP", "Decode area top (%)", 0, 100, 30),
        number("CADBOT", "Decode area bottom (%)", 0, 100, 70),
        number("CADLEF", "Decode area left (%)", 0, 100, 30),
        number("CADRIG", "Decode area right (%)", 0, 100, 70),
        number("CADDTP", "Decode area top (pixels)", 0, 799, 240),
        number("CADDBT", "Decode area bottom (pixels)", 0, 799, 560),
        number("CADDLF", "Decode area left (pixels)", 0, 1279, 384),
        number("CADDRG", "Decode area right (pixels)", 0, 1279, 896),
        number("CADATP", "Decode area above the aiming point (pixels)", 0, 799, 120),
        number("CADABT", "Decode area below the aiming point (pixels)", 0, 799, 120),
        number("CADALF", "Decode area left of the aiming point (pixels)", 0, 1279, 200),
        number("CADARG", "Decode area right of the aiming point (pixels)", 0, 1279, 200),
        action("AMLQRY", "Aiming point", control="BUTTONGETTEXT", default="640W400H"),
        text("AMLADJ", "Aiming point adjustment", 23, "0T0B0L0R"),
        choice("AIMPAT", "Aiming pattern", [(0, "Dot"), (1, "Cross"), (2, "Frame")], 1),
        number("ILLBRT", "Illumination brightness (%)", 0, 100, 80),
        choice("ILLCOL", "Illumination colour", [(0, "White"), (1, "Red")], 0),
        toggle("IMGMIR", "Mirror the image", False),
        special("IMGGET", "Image capture", "IMAGE", default="0-1T0-2R0-3F0-3Q", settings="0-1T0-2R0-3F0-3Q"),
        special("IMGBGT", "Barcode area image", "EDIT_READONLY", default="1-2F0-3Q", settings="1-2F0-3Q"),
        special("IMGGWH", "Image size", "EDIT_READONLY", default="1280W800H"),
        action("IMGGBD", "Image depth (bits)", control="BUTTONGETTEXT", default="8"),
    ]


def decoding():
    return [
        choice("DECMOD", "Decoder", [(0, "Standard"), (1, "Fast"), (2, "Damaged codes")], 0),
        toggle("DECDPM", "Direct part marks", False),
        toggle("DECMIR", "Mirrored codes", False),
        number("DECRED", "Reads that must agree", 1, 5, 1),
        choice("DECSEC", "Decode security", [(0, "Lowest"), (1, "Low"), (2, "Normal"), (3, "High")], 2),
        number("DECTMO", "Decode time per image (ms)", 10, 1000, 100),
        toggle("DECLQC", "Low-quality 1D codes", False),
    ]


def code_ids():
    result = [text("CID" + group, title + " code ID", 2, ident, shortest=1) for group, title, ident in CODE_IDS]
    result.append(action("CIDDEF", "Restore the default code IDs"))
    return result


def more_symbologies():
    postal = [("PST", "USPS Postnet"), ("PLN", "USPS Planet"), ("IMB", "USPS Intelligent Mail"),
              ("RML", "Royal Mail"), ("KIX", "KIX Code"), ("AUS", "Australia Post"), ("JPP", "Japan Post")]
    result = (
        symbology("ISB", "ISBT 128", False, None, None,
                  [toggle("ISBCON", "Join ISBT 128 pairs", False)])
        + symbology("D25", "Industrial 2 of 5", False, (4, 80, 6, 80), (CHECK_DIGIT, 0))
        + symbology("S25", "Standard 2 of 5", False, (4, 80, 6, 80), (CHECK_DIGIT, 0))
        + symbology("CPT", "China Post 25", False, (4, 80, 11, 11), None)
        + symbology("PLS", "UK Plessey", False, (4, 48, 4, 48), None,
                    [toggle("PLSTCK", "Send UK Plessey check digits", False)])
        + symbology("TLP", "Telepen", False, (1, 60, 1, 60), None,
                    [toggle("TLPASC", "Telepen full ASCII", True)])
        + symbology("CBF", "Codablock F", False, (1, 2048, 1, 2048))
        + symbology("C16", "Code 16K", False)
        + symbology("C49", "Code 49", False)
        + symbology("COM", "GS1 Composite", False, None, None,
                    [toggle("COMUPC", "GS1 Composite with UPC/EAN", False)])
        + symbology("DOT", "DotCode", False, (1, 2400, 1, 2400))
        + symbology("GRD", "Grid Matrix", False, (1, 2751, 1, 2751))
        + symbology("MPD", "MicroPDF417", False, (1, 366, 1, 366))
        + symbology("UPC", "UPC/EAN coupon codes", False)
        + [toggle("E13ISS", "Convert EAN-13 to ISSN", False),
           toggle("E13ADR", "EAN-13 add-on required", False),
           toggle("UPAADR", "UPC-A add-on required", False),
           number("UPAADT", "Time to wait for an add-on (ms)", 0, 1000, 200),
           toggle("PDFMAC", "Join Macro PDF417 parts", False),
           toggle("QRCECI", "QR Code ECI output", False),
           toggle("DMCECI", "Data Matrix ECI output", False),
           choice("AZTINV", "Aztec polarity", INVERSE, 0),
           choice("HXCINV", "Han Xin polarity", INVERSE, 0),
           choice("MXCMOD", "MaxiCode modes", [(0, "All"), (1, "Modes 2 and 3 only")], 0),
           toggle("128FNC", "Code 128 FNC4 characters", True),
           toggle("C39DIG", "Code 39 leading digit removed", False)]
    )
    for group, title in postal:
        result.append(toggle(group + "ENA", "Enable " + title, False))
        if group in ("PST", "PLN"):
            result.append(toggle(group + "TCK", "Send %s check digit" % title, False))
    for group, title in [("128", "Code 128"), ("C39", "Code 39"), ("I25", "Interleaved 2 of 5"), ("CBA", "Codabar"),
                         ("C93", "Code 93"), ("M25", "Matrix 2 of 5"), ("C11", "Code 11"), ("MSI", "MSI")]:
        result.append(number(group + "RED", title + " reads that must agree", 1, 5, 1))
    return result


def output_more():
    return [
        editable("OUTCDP", "Output code page",
                 [(437, "437 US"), (850, "850 Latin 1"), (852, "852 Latin 2"), (866, "866 Cyrillic"),
                  (932, "932 Japanese"), (936, "936 Simplified Chinese"), (1250, "1250 Central European"),
                  (1251, "1251 Cyrillic"), (1252, "1252 Western")], 1252),
        toggle("OUTUNI", "Unicode key strokes", False),
        number("OUTIMD", "Delay between messages (ms)", 0, 5000, 0),
        number("OUTBLK", "Block size for serial output (bytes)", 0, 1024, 0),
        hexbytes("OUTSEP", "Separator between several codes", 1, "2C", low="20", high="7E"),
        hexbytes("KBWEND", "Keys sent after the data", 4, "28", control="HEXEDITKEYBOARD"),
        toggle("FLTENA", "Only pass codes that start as listed", False),
        special("FLTLST", "Accepted code starts", "MULVALUE"),
        toggle("DLPENA", "Driver licence parsing", False),
        special("DLPSET", "Driver licence fields", "LICENSECODE", default="00045d005e00"),
        action("DLPCLR", "Clear the driver licence fields"),
        special("RTCDAT", "Clock date", "DATATIME", default="2024-01-01"),
        toggle("OUTTMS", "Add the time to every code", False),
        text("SYSNAM", "Scanner name", 16, "HBS-HI880", shortest=1),
        toggle("VIBENA", "Vibrate on good read", True),
        number("VIBDUR", "Vibration time (ms)", 20, 1000, 120),
        toggle("SCNSTB", "Presentation mode in the stand", True),
        toggle("SCNRDY", "Ready beep after power-up", False),
    ]


def handling():
    return [
        toggle("TRGDBL", "Aim on the first trigger press, read on the second", False),
        number("TRGHLD", "Trigger hold time before continuous reading (ms)", 0, 5000, 0),
        number("SCNFRD", "Delay before the first read (ms)", 0, 2000, 0),
        toggle("SCNMOT", "Wake up on motion", True),
        number("SCNMSN", "Motion sensitivity", 1, 10, 5),
        choice("LEDGRC", "Good-read LED colour", [(0, "Green"), (1, "Blue"), (2, "White")], 0),
        choice("ILLPWR", "Illumination while aiming", [(0, "Off"), (1, "Low"), (2, "Full")], 1),
        toggle("BEPNRD", "Beep on a failed read", False),
        toggle("KBWFST", "Fast USB keyboard", False),
        toggle("OUTNPC", "Show non-printable characters as hex", False),
        hexbytes("OUTFNC", "Character sent for FNC1", 1, "1D", low="00", high="7F"),
        choice("OUTPKT", "Serial message framing", [(0, "None"), (1, "STX and ETX"), (2, "Length first")], 0),
        number("OUTACK", "Wait for the host's ACK (ms)", 0, 5000, 0),
        choice("GS1PAR", "GS1 data output",
               [(0, "As read"), (1, "AIs in parentheses"), (2, "Fields separated by GS")], 0),
        toggle("QRCLNK", "Join linked QR Codes", False),
        toggle("DMCLNK", "Join Data Matrix structured append", False),
        toggle("AZTRUN", "Aztec rune codes", False),
        choice("DECINV", "1D code polarity", INVERSE, 0),
        number("IMGQLT", "Snapshot JPEG quality (%)", 10, 100, 80),
        action("IMGSNP", "Take a snapshot at the next trigger press"),
        action("SYSHRS", "Operating hours", control="BUTTONGETTEXT", default="0"),
    ]


def hi880(model):
    return (common(model) + imaging() + decoding() + code_ids() + more_symbologies() + output_more()
            + handling())


# ---------------------------------------------------------------------------
# Models and the catalogue
# ---------------------------------------------------------------------------

class Model:
    def __init__(self, key, name, lang, file, picture, commands, traits, category, lua="", setup=None,
                 barcode="1", caption=("", "")):
        self.key = key
        self.name = name
        self.lang = lang
        self.file = file
        self.picture = picture
        self.commands = commands
        self.traits = dict(traits)
        if setup:
            self.traits["setup"] = setup
        self.setup = setup
        self.category = category
        self.lua = lua
        self.barcode = barcode
        self.caption = caption

    def command_list(self):
        return self.commands(self)


HANDHELD_TRAITS = {"interfaces": [0, 1, 2, 3, 4], "interface": 1, "scan_modes": [0, 1, 2, 3, 4], "scan_mode": 0,
                   "full_keyboard": True, "sleeps": True, "data_format": "DFMSET"}

MODELS = [
    Model("HBS-HS620", "HBS-HS620", "ID_DEVICE_HS620", "HS620.xml", "hs620.png", common,
          HANDHELD_TRAITS, "handheld", caption=("HS620 hand-held 2D scanner", "HS620 手持式二维扫描器")),
    Model("HBS-HS620W", "HBS-HS620W", "ID_DEVICE_HS620W", "HS620W.xml", "hs620w.png",
          lambda m: common(m) + wireless(),
          dict(HANDHELD_TRAITS, interfaces=[0, 1, 2, 3]), "handheld",
          caption=("HS620W cordless 2D scanner", "HS620W 无线二维扫描器")),
    Model("HBS-HI880", "HBS-HI880", "ID_DEVICE_HI880", "HI880.xml", "hi880.png", hi880,
          dict(HANDHELD_TRAITS, fast_serial=True), "handheld", lua="HI880.lua",
          caption=("HI880 industrial 2D scanner", "HI880 工业级二维扫描器")),
    Model("HBS-FM300", "HBS-FM300", "ID_DEVICE_FM300", "FM300.xml", "fm300.png", common,
          {"interfaces": [0, 1, 2, 3], "interface": 2, "scan_modes": [0, 2, 3, 4], "scan_mode": 3,
           "data_format": "DFMADD", "sensitivity": 12, "same_code_delay": 2000, "aim": 0},
          "fixed", caption=("FM300 presentation scanner", "FM300 桌面式扫描器")),
    Model("HBS-FM450", "HBS-FM450", "ID_DEVICE_FM450", "FM450.xml", "fm450.png",
          lambda m: common(m) + fixed_mount_io(),
          {"interfaces": [0, 1, 2, 3], "interface": 0, "scan_modes": [0, 2, 3, 4], "scan_mode": 4,
           "data_format": "DFMSET", "baud": 7, "fast_serial": True, "aim": 0, "terminator": 1, "volume": 2},
          "fixed", setup="SETUPN", caption=("FM450 fixed-mount scanner", "FM450 固定式扫描器")),
    Model("HBS-EM20", "HBS-EM20", "ID_DEVICE_EM20", "EM20.xml", "em20.png", common,
          {"interfaces": [0, 1, 2], "interface": 0, "scan_modes": [0, 1, 2, 3, 4], "scan_mode": 4,
           "data_format": "DFMADD", "sleeps": True, "volume": 2},
          "fixed", barcode="17", caption=("EM20 embedded scan engine", "EM20 嵌入式扫描模块")),
]

CATEGORIES = [
    ("handheld", "Hand-held scanners", "ID_CATEGORY_HANDHELD", "cat_handheld.png", "HANDHELD",
     ("Hand-held scanners", "手持式扫描器")),
    ("fixed", "Fixed-mount and embedded scanners", "ID_CATEGORY_FIXED", "cat_fixed.png", "FIXED",
     ("Fixed-mount and embedded scanners", "固定式与嵌入式扫描器")),
]


def check_commands(model, commands):
    names = [c.name for c in commands]
    for name in names:
        assert NAME_PATTERN.match(name), "%s: bad command name %r" % (model.key, name)
    duplicates = sorted({n for n in names if names.count(n) > 1})
    assert not duplicates, "%s: commands named twice: %s" % (model.key, duplicates)
    setup = model.setup or "SETUPE"
    assert setup in names, "%s: its setup command %s is missing" % (model.key, setup)
    for command in commands:
        if command.settings:
            for item in command.settings.split("|"):
                assert item, "%s: empty item in %s" % (model.key, command.name)


def command_file(commands):
    body = "\n".join(c.element() for c in commands)
    return '<?xml version="1.0" encoding="UTF-8"?>\n<DeviceConfiguration>\n%s\n</DeviceConfiguration>\n' % body


def catalogue_file():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<Devices>"]
    for cid, name, lang, icon, key, _ in CATEGORIES:
        lines.append(" <Category name=%s langID=%s icon=%s key=%s>" % (
            quoteattr(name), quoteattr(lang), quoteattr(icon), quoteattr(key)))
        for m in MODELS:
            if m.category != cid:
                continue
            attributes = [("name", m.name), ("langID", m.lang), ("key", m.key), ("barcode", m.barcode),
                          ("filename", m.picture), ("link", m.file)]
            if m.lua:
                attributes.append(("lua", m.lua))
            attributes.append(("ctrllink", ""))
            if m.setup:
                attributes.append(("SET", m.setup))
            lines.append("  <Device %s/>" % " ".join("%s=%s" % (a, quoteattr(v)) for a, v in attributes))
        lines.append(" </Category>")
    lines.append("</Devices>")
    return "\n".join(lines) + "\n"


def language_texts():
    """Identifier -> (English, Chinese) for every identifier the data above uses."""
    texts = {}
    for _, _, lang, _, _, caption in CATEGORIES:
        texts[lang] = caption
    for m in MODELS:
        texts[m.lang] = m.caption
    for lang, (english, chinese) in TRANSLATED_LISTS.items():
        assert [v for _, v in english] == [v for _, v in chinese], "%s: translations differ in values" % lang
        texts[lang] = (preset_text(english), preset_text(chinese))
    return texts


def update_language_file(path, texts):
    """Puts each identifier's text into the file: replaced where present, else appended."""
    with open(path, encoding="utf-8") as f:
        content = f.read()
    for identifier, value in texts.items():
        line = ' <property name="%s">%s</property>' % (identifier, escape(value))
        pattern = re.compile(r'^ *<property name="%s">.*?</property>$' % re.escape(identifier), re.M)
        if pattern.search(content):
            content = pattern.sub(lambda _: line, content, count=1)
        else:
            content = content.replace("</language>", line + "\n</language>", 1)
    write_text(path, content)


# ---------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------

class Canvas:
    """RGBA picture with shapes filled at 4x4 samples per pixel."""

    SAMPLES = 4

    def __init__(self, size):
        self.size = size
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, shape, colour):
        r, g, b = colour[:3]
        a = colour[3] / 255.0 if len(colour) > 3 else 1.0
        x0, y0, x1, y1 = shape.bbox()
        n = self.SAMPLES
        offsets = [(i + 0.5) / n for i in range(n)]
        for py in range(max(0, int(y0) - 1), min(self.size, int(y1) + 2)):
            for px in range(max(0, int(x0) - 1), min(self.size, int(x1) + 2)):
                inside = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape.contains(px + ox, py + oy):
                            inside += 1
                if not inside:
                    continue
                alpha = a * inside / (n * n)
                pixel = self.pixels[py * self.size + px]
                out = alpha + pixel[3] * (1 - alpha)
                for c, value in enumerate((r, g, b)):
                    pixel[c] = (value * alpha + pixel[c] * pixel[3] * (1 - alpha)) / out
                pixel[3] = out

    def png(self):
        rows = bytearray()
        for y in range(self.size):
            rows.append(0)
            for x in range(self.size):
                p = self.pixels[y * self.size + x]
                rows.extend(int(round(v)) if i < 3 else int(round(v * 255)) for i, v in enumerate(p))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
                + chunk(b"IEND", b""))


class RoundRect:
    def __init__(self, x0, y0, x1, y1, radius, angle=0.0):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, radius
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.cos, self.sin = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        half = math.hypot(x1 - x0, y1 - y0) / 2
        self.box = (self.cx - half, self.cy - half, self.cx + half, self.cy + half) if angle else (x0, y0, x1, y1)

    def bbox(self):
        return self.box

    def contains(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        x, y = self.cx + dx * self.cos + dy * self.sin, self.cy - dx * self.sin + dy * self.cos
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        nx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        ny = min(max(y, self.y0 + self.r), self.y1 - self.r)
        return (x - nx) ** 2 + (y - ny) ** 2 <= self.r ** 2


class Ellipse:
    def __init__(self, cx, cy, rx, ry=None):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry if ry is not None else rx

    def bbox(self):
        return (self.cx - self.rx, self.cy - self.ry, self.cx + self.rx, self.cy + self.ry)

    def contains(self, x, y):
        return ((x - self.cx) / self.rx) ** 2 + ((y - self.cy) / self.ry) ** 2 <= 1.0


class Arc:
    """A ring segment from angle a0 to a1 (degrees, 0 = right, counter-clockwise)."""

    def __init__(self, cx, cy, inner, outer, a0, a1):
        self.cx, self.cy, self.inner, self.outer, self.a0, self.a1 = cx, cy, inner, outer, a0, a1

    def bbox(self):
        return (self.cx - self.outer, self.cy - self.outer, self.cx + self.outer, self.cy + self.outer)

    def contains(self, x, y):
        dx, dy = x - self.cx, self.cy - y
        if not (self.inner ** 2 <= dx * dx + dy * dy <= self.outer ** 2):
            return False
        angle = math.degrees(math.atan2(dy, dx)) % 360
        return self.a0 <= angle <= self.a1


class Polygon:
    def __init__(self, points):
        self.points = points

    def bbox(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return (min(xs), min(ys), max(xs), max(ys))

    def contains(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside


class Scaled:
    """Draws in a 160-unit space onto a canvas of any size."""

    def __init__(self, canvas, dx=0.0, dy=0.0):
        self.canvas = canvas
        self.k = canvas.size / 160.0
        self.dx, self.dy = dx, dy

    def _x(self, v):
        return (v + self.dx) * self.k

    def _y(self, v):
        return (v + self.dy) * self.k

    def rect(self, x0, y0, x1, y1, r, colour, angle=0.0):
        self.canvas.fill(RoundRect(self._x(x0), self._y(y0), self._x(x1), self._y(y1), r * self.k, angle), colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.canvas.fill(Ellipse(self._x(cx), self._y(cy), rx * self.k, ry * self.k), colour)

    def arc(self, cx, cy, inner, outer, a0, a1, colour):
        self.canvas.fill(Arc(self._x(cx), self._y(cy), inner * self.k, outer * self.k, a0, a1), colour)

    def poly(self, points, colour):
        self.canvas.fill(Polygon([(self._x(x), self._y(y)) for x, y in points]), colour)


SHADOW = (0, 0, 0, 45)
GLASS = (120, 200, 240)


def draw_gun(d, body, accent, rugged=False, details=True):
    """A pistol-grip scanner, nose to the left."""
    d.ellipse(84, 146, 46, 6, SHADOW)
    grip_w = 17 if rugged else 14
    d.rect(96 - grip_w, 64, 96 + grip_w, 138, 12, body, angle=-18)
    if rugged:
        # A rubber boot on the end of the grip, turned with it.
        tilt = math.radians(-18)
        bx, by = 96 - 30 * math.sin(tilt), 101 + 30 * math.cos(tilt)
        d.rect(bx - grip_w - 2, by - 9, bx + grip_w + 2, by + 9, 8, accent, angle=-18)
    d.rect(24, 34, 136, 82, 20 if not rugged else 16, body)
    d.rect(24, 40, 44, 76, 8, accent)
    d.rect(20, 44, 30, 72, 4, GLASS)
    if rugged:
        d.rect(124, 38, 140, 78, 8, accent)
    if details:
        d.rect(62, 80, 74, 104, 5, accent, angle=-12)
        d.rect(56, 40, 118, 46, 3, (255, 255, 255, 60))
        d.ellipse(108, 58, 4, 4, (90, 220, 110))


def model_hs620(d):
    draw_gun(d, (52, 60, 72), (40, 120, 205))


def model_hs620w(d):
    d.dy = -6
    draw_gun(d, (70, 74, 82), (50, 170, 110))
    d.dy = 0
    d.poly([(46, 146), (134, 146), (124, 128), (56, 128)], (90, 96, 106))
    d.rect(60, 130, 120, 136, 3, (50, 170, 110))
    for radius in (10, 18, 26):
        d.arc(136, 30, radius, radius + 4, 100, 170, (50, 170, 110))


def model_hi880(d):
    draw_gun(d, (45, 48, 52), (240, 140, 30), rugged=True)


def model_fm300(d):
    d.ellipse(80, 144, 50, 8, SHADOW)
    d.ellipse(80, 138, 44, 9, (70, 76, 86))
    d.rect(70, 110, 90, 136, 4, (70, 76, 86))
    d.rect(32, 22, 128, 120, 24, (70, 76, 86))
    d.rect(36, 26, 124, 116, 21, (228, 231, 235))
    d.rect(48, 36, 112, 100, 14, (40, 52, 66))
    d.poly([(56, 44), (80, 44), (60, 86), (52, 86)], (255, 255, 255, 50))
    d.ellipse(80, 108, 3, 3, (90, 220, 110))


def model_fm450(d):
    d.ellipse(80, 144, 56, 6, SHADOW)
    d.rect(30, 126, 130, 138, 3, (150, 156, 164))
    for x in (40, 120):
        d.ellipse(x, 132, 3, 3, (60, 64, 70))
    d.rect(50, 112, 110, 128, 2, (150, 156, 164))
    d.rect(22, 42, 138, 116, 10, (40, 66, 98))
    d.rect(132, 66, 146, 92, 3, (30, 34, 40))
    d.ellipse(80, 79, 28, 28, (25, 28, 34))
    for i in range(12):
        angle = math.radians(i * 30)
        d.ellipse(80 + 22 * math.cos(angle), 79 + 22 * math.sin(angle), 3, 3, (250, 170, 60))
    d.ellipse(80, 79, 13, 13, (60, 120, 170))
    d.ellipse(76, 75, 4, 4, (255, 255, 255, 110))
    d.rect(28, 48, 60, 52, 2, (255, 255, 255, 60))


def model_em20(d):
    d.ellipse(80, 146, 48, 5, SHADOW)
    d.rect(72, 108, 88, 146, 2, (205, 140, 50))
    for x in (75, 79, 83):
        d.rect(x, 124, x + 2, 146, 1, (240, 200, 120))
    d.rect(30, 36, 130, 112, 6, (30, 110, 70))
    for x, y in ((36, 42), (124, 42), (36, 106), (124, 106)):
        d.ellipse(x, y, 3, 3, (200, 200, 190))
    d.rect(52, 46, 108, 102, 5, (28, 30, 34))
    d.ellipse(80, 74, 17, 17, (70, 76, 86))
    d.ellipse(80, 74, 11, 11, (60, 120, 170))
    d.ellipse(77, 71, 3, 3, (255, 255, 255, 120))
    d.ellipse(60, 54, 4, 4, (250, 230, 160))
    d.ellipse(100, 54, 4, 4, (250, 230, 160))


def icon_handheld(d):
    draw_gun(d, (52, 60, 72), (40, 120, 205), details=False)


def icon_fixed(d):
    d.rect(22, 30, 138, 128, 18, (40, 66, 98))
    d.ellipse(80, 79, 34, 34, (25, 28, 34))
    d.ellipse(80, 79, 18, 18, (60, 120, 170))


PICTURES = [("hs620.png", 160, model_hs620), ("hs620w.png", 160, model_hs620w), ("hi880.png", 160, model_hi880),
            ("fm300.png", 160, model_fm300), ("fm450.png", 160, model_fm450), ("em20.png", 160, model_em20),
            ("cat_handheld.png", 48, icon_handheld), ("cat_fixed.png", 48, icon_fixed)]


# ---------------------------------------------------------------------------

def write_text(path, content):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(content)


def main():
    counts = []
    for m in MODELS:
        commands = m.command_list()
        check_commands(m, commands)
        write_text(os.path.join(CONFIG, m.file), command_file(commands))
        counts.append("%s %d" % (m.file, len(commands)))
    write_text(os.path.join(CONFIG, "devicesinfo.xml"), catalogue_file())

    texts = language_texts()
    update_language_file(os.path.join(CONFIG, "lang_en.xml"), {k: v[0] for k, v in texts.items()})
    update_language_file(os.path.join(CONFIG, "lang_cn.xml"), {k: v[1] for k, v in texts.items()})

    pictured = {m.picture for m in MODELS} | {c[3] for c in CATEGORIES}
    assert pictured == {p[0] for p in PICTURES}, "every model and category needs a picture"
    for name, size, draw in PICTURES:
        canvas = Canvas(size)
        draw(Scaled(canvas))
        with open(os.path.join(IMAGES, name), "wb") as f:
            f.write(canvas.png())
    print("commands: " + ", ".join(counts))
    return 0


if __name__ == "__main__":
    sys.exit(main())
