#!/usr/bin/env python3
"""Writes the shipped model data of Vostrel into data/.

    python3 scripts/gen_model_data.py

Produces, from the tables below:
  data/Config/devicesinfo.xml           the model catalogue
  data/Config/<MODEL>.xml               one command file per model
  data/Config/pageinfo.xml              the settings pages over the commands of all models
  data/Config/maincfg.xml               the tab tree over those pages
  data/Images/<model>.png, cat_*.png    model thumbnails and category icons
  data/Images/tab_*.png                 top-level tab icons, plain and selected
and makes sure every text identifier the catalogue, the command files, the pages and
the tabs use has an entry in data/Config/lang_en.xml and data/Config/lang_cn.xml
(other entries of those files are left as they are).

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
    byte must lie in a range, two-digit byte limits as Minimum/Maximum; a read-only
    length command reports the same length to a connected tool.

How the pages are written:
  * every command of every model file is on exactly one page, with the keyword of
    its command file; the pages add the program's own commands (terminal,
    comparisons, settings barcodes, stored data) and tool-only rows (DEFCMD, MNUCMD,
    GROUPNAME) that repeat the name of a setting listed before them in their group;
  * lists carry their labels, "value:label" (label first and closed by "|" for
    COMBOBOXCUSTOM); labels with words are translated through a list identifier;
  * a page whose settings a model lacks is dropped with its tab when that model is
    opened, so every row of tabs holds one page that every model has.
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
LUA = os.path.join(ROOT, "data", "lua")

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


def length_query(name, caption, length):
    """A read-only setting whose value is the length another setting may take: online
    the page names it as that setting's CmdGetLen, so the scanner is asked for it."""
    return Command(name, caption, "EDIT_READONLY", str(length), minimum=length, maximum=length)


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
# Lengths of the byte-string settings; each has a length query of the same value.
SERIAL_COMMAND_BYTES = 8
TERMINATOR_BYTES = 2
FAILED_READ_BYTES = 7
DATA_FORMAT_LENGTH = 50
# Keys a keyboard wedge types after the data: up to four, each written as two bytes,
# the modifier byte and the key's USB usage code ("0028" is Enter).
END_KEY_BYTES = 8

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
        hexbytes("SCNTCT", "Serial command that starts a read", SERIAL_COMMAND_BYTES, "16540D"),
        hexbytes("SCNTCP", "Serial command that stops a read", SERIAL_COMMAND_BYTES, "16550D"),
        length_query("SCNTCL", "Longest serial read command (bytes)", SERIAL_COMMAND_BYTES),
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
        hexbytes("TRMHEX", "Custom terminator", TERMINATOR_BYTES, "0D0A"),
        length_query("TRMLEN", "Longest custom terminator (bytes)", TERMINATOR_BYTES),
        radios("OUTCAS", "Case conversion", [(0, "None"), (1, "Upper case"), (2, "Lower case"), (3, "Swap case")], 0),
        number("OUTCLD", "Characters cut from the start", 0, 15, 0),
        number("OUTCTR", "Characters cut from the end", 0, 15, 0),
        toggle("NGRENA", "Message on a failed read", False),
        hexbytes("NGRSET", "Failed-read message", FAILED_READ_BYTES, "4E52"),
        length_query("NGRLEN", "Longest failed-read message (bytes)", FAILED_READ_BYTES),
        choice("DFMENA", "Data formatting", [(0, "Off"), (1, "On, a format must match"), (2, "On, optional")], 0),
        special(dfm, "Data formats", "DATAFORMAT", length=DATA_FORMAT_LENGTH),
        length_query("DFMLEN", "Longest data format (characters)", DATA_FORMAT_LENGTH),
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
        toggle("OCRENA", "Enable OCR", False),
        special("OCRTPL", "OCR template files", "MULFILESELECT"),
    ]


def code_ids():
    result = [text("CID" + group, title + " code ID", 2, ident, shortest=1) for group, title, ident in CODE_IDS]
    result.append(action("CIDDEF", "Restore the default code IDs"))
    # The whole table at once, one row per symbology: the list holds the code IDs
    # the table may show, the limits the length of the saved table text.
    result.append(Command("CIDTAB", "Code ID table", "CODEID", "",
                          settings="|".join(ident for _, _, ident in CODE_IDS), minimum=0, maximum=2 * len(CODE_IDS)))
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
        length_query("OUTCLN", "Length of single-character settings (bytes)", 1),
        hexbytes("KBWEND", "Keys sent after the data", END_KEY_BYTES, "0028", control="HEXEDITKEYBOARD"),
        length_query("KBWELN", "Longest key sequence after the data (bytes)", END_KEY_BYTES),
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
        special("BEPWAV", "Good-read sound file", "FILESELECT"),
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
        # Every model has a hook script named after its command file unless told otherwise.
        self.lua = lua or os.path.splitext(file)[0] + ".lua"
        self.barcode = barcode
        self.caption = caption

    def command_list(self):
        return self.commands(self) + tool_commands()


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
          dict(HANDHELD_TRAITS, fast_serial=True), "handheld",
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
    own = {p[0] for p in PSEUDO_COMMANDS}
    for name in names:
        assert name in own or NAME_PATTERN.match(name), "%s: bad command name %r" % (model.key, name)
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


# The work of every model's hook script; each model's own script only names its model.
LUA_HOOK_LIBRARY = r"""-- Shared by the models' hook scripts, which the tool runs after every configuration
-- file it writes (a file saved by the user, and the history snapshot after a write to
-- the scanner).
--
-- The function returned here makes a model's func_set(path). It appends one line to
-- "vostrel-hooks.log" in the file's folder: the time, the model the file was written
-- for, how many settings it holds and the file's name, so that a folder of
-- configurations keeps its own record of what was written. It returns the number of
-- settings, or 0 (and writes nothing) when the file cannot be read, is no
-- configuration file, or was written for another model. The configuration file itself
-- is only read.

local LOG_NAME = "vostrel-hooks.log"

local function read_file(path)
  local file = io.open(path, "rb")
  if not file then
    return nil
  end
  local content = file:read("*a")
  file:close()
  return content
end

-- The opening tag of the configuration root ("Vastrel" is an older spelling).
local function root_tag(content)
  return string.match(content, "<Vostrel[%s>/][^>]*>") or string.match(content, "<Vastrel[%s>/][^>]*>")
end

local function count_settings(content)
  local count = 0
  for name in string.gmatch(content, "<Command%s[^>]*CommandName=\"([%w]+)\"") do
    if string.len(name) == 6 then
      count = count + 1
    end
  end
  return count
end

local function folder_of(path)
  return string.match(path, "^(.*[/\\])") or ""
end

local function name_of(path)
  return string.match(path, "([^/\\]*)$")
end

return function(model)
  return function(path)
    if type(path) ~= "string" or path == "" then
      return 0
    end
    local content = read_file(path)
    local root = content and root_tag(content)
    if not root then
      return 0
    end
    local device = string.match(root, "DeviceType=\"([^\"]*)\"") or ""
    if not string.find(string.upper(device), model, 1, true) then
      return 0
    end
    local count = count_settings(content)
    local log = io.open(folder_of(path) .. LOG_NAME, "a")
    if log then
      log:write(string.format("%s %s %d %s\n", os.date("%Y-%m-%d %H:%M:%S"), device, count, name_of(path)))
      log:close()
    end
    return count
  end
end
"""

LUA_HOOK = r"""-- %(key)s: hook run after every configuration file the tool writes for this model.
-- It logs the file beside it; the work is shared by every model (hooklog.lua here).
local folder = string.match(debug.getinfo(1, "S").source, "^@(.*[/\\])") or ""
func_set = dofile(folder .. "hooklog.lua")("%(short)s")
"""


def lua_hook(model):
    short = model.key[4:] if model.key.startswith("HBS-") else model.key
    return LUA_HOOK % {"key": model.key, "short": short.upper()}


def language_texts():
    """Identifier -> (English, Chinese) for every identifier the data above uses."""
    texts = {}
    for _, _, lang, _, _, caption in CATEGORIES:
        texts[lang] = caption
    for m in MODELS:
        texts[m.lang] = m.caption
    for lang, (english, chinese) in TRANSLATED_LISTS.items():
        assert [v for _, v in english] == [v for _, v in chinese], "%s: translations differ in values" % lang
        # Pages look a label up as far as the next "|": the last one needs a bar as well.
        texts[lang] = (preset_text(english) + "|", preset_text(chinese) + "|")
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
# Settings pages (pageinfo.xml) and the tab tree over them (maincfg.xml)
# ---------------------------------------------------------------------------

# The program's own commands. The tool enters them into the command map of every
# connected scanner, so the pages of its embedded panels are kept online. Every model
# file lists them too, so that a model opened without a scanner keeps these pages
# (terminal, comparisons, settings barcodes, stored data); no scanner reports them.
PSEUDO_COMMANDS = [
    ("CMDCTR", "COMMANDCENTER", "Command terminal", "命令终端"),
    ("DFTVSCRT", "COMPAREDEFAULT", "Compare with the defaults", "与默认值比较"),
    ("XMLVSCRT", "COMPAREXML", "Compare with a configuration file", "与配置文件比较"),
    ("SETCOD", "CREATEBARCODE", "Settings barcodes", "设置码"),
    ("BATCHDATA", "BATCHDATADLG", "Stored codes", "存储的条码"),
]

def tool_commands():
    """The program's own commands as a model file lists them: no default, no range."""
    return [Command(name, english, keyword) for name, keyword, english, _ in PSEUDO_COMMANDS]


# Keywords of rows that only act inside the tool. Such a row rides on a setting of
# its group, listed after that setting, so that it is shown exactly when the model
# has the setting and a search by name still finds the setting first.
UI_ROW_KEYWORDS = ("DEFCMD", "MNUCMD", "GROUPNAME")

VALUE_FIRST_LISTS = ("COMBOBOX", "EDITCOMBOBOX", "RADIOGROUP", "BUTTONGROUP")
TOGGLES = ("RADIO", "RADIO#")
TOGGLE_LIST = "0:Off|1:On"

# Captions that read better on a page than the command files' own.
PAGE_CAPTIONS = {
    "RTCDAT": "Clock date",
    "OUTTMS": "Add the time to each code",
    "TRMENA": "Send a terminator",
}

# Byte strings and texts whose length a scanner reports through another command.
LENGTH_QUERIES = {"SCNTCT": "SCNTCL", "SCNTCP": "SCNTCL", "TRMHEX": "TRMLEN", "NGRSET": "NGRLEN",
                  "DFMSET": "DFMLEN", "DFMADD": "DFMLEN", "OUTSEP": "OUTCLN", "OUTFNC": "OUTCLN",
                  "KBWEND": "KBWELN"}

# Choices only shown while a scanner is set to them: legacy rates and the PS/2 wedge.
UNSUPPORTED_CHOICES = {"232BAD": [0], "INTERF": [4]}

# File types of the file settings; the label of each item is the extension.
FILE_TYPES = {"BEPWAV": ["wav"], "OCRTPL": ["otp", "xml"]}

# Texts every settings row shows beside its control: the hint with default, range and
# length, and the labels of the default button, the custom entry and the file button.
ROW_TEXTS = {
    "ID_DEFAULT": ("Default", "默认值"),
    "ID_DEFAULTNAK": ("Not set", "未设置"),
    "ID_RANGE": ("Range", "范围"),
    "ID_RANGE_LEN": ("Length", "字符长度"),
    "ID_CUSTOM": ("Custom", "自定义"),
    "ID_BROWSE": ("Browse...", "浏览..."),
}

# Names of list texts that several settings share.
SHARED_LISTS = {"ID_LIST_OFF_ON": OFF_ON, "ID_LIST_CHECK_DIGIT": CHECK_DIGIT, "ID_LIST_POLARITY": INVERSE,
                "ID_LIST_ADD_ON": ADD_ON, "ID_LIST_PREAMBLE": PREAMBLE}


class Ui:
    """A row that acts in the tool only, riding on the setting `name`."""

    def __init__(self, keyword, name, caption, lang):
        assert keyword in UI_ROW_KEYWORDS
        self.keyword, self.name, self.caption, self.lang = keyword, name, caption, lang


def defaults_button(name):
    return Ui("DEFCMD", name, "Defaults of this group", "ID_CMD_GROUP_DEFAULTS")


def symbology_rows(known, prefix, *extra):
    """Enable, lengths and check digits of one symbology if any model has them, then its
    own settings, then the number of reads that must agree."""
    rows = [prefix + item for item in ("ENA", "MIN", "MAX", "CHK", "TCK") if prefix + item in known]
    rows += list(extra)
    if prefix + "RED" in known:
        rows.append(prefix + "RED")
    return rows


def page_layout(known):
    """(page name, [(group caption, [row])]); a row is a command name or a Ui row."""
    sym = lambda prefix, *extra: symbology_rows(known, prefix, *extra)  # noqa: E731
    return [
        ("Interface", [
            ("Interface", ["INTERF", "KBWPOR"]),
            ("Serial port", ["232BAD", "232PAR", "232DAT", "232STP", "232FLW", "232AFL", "232ICD", "OUTBLK",
                             "OUTPKT", "OUTACK"]),
        ]),
        ("Keyboard", [
            ("Keyboard layout", ["KBWCTY", "KBWCAP", "KBWNUM", "KBWCTL", "KBWALT", "KBWFKY", "OUTUNI", "OUTCDP",
                                 defaults_button("KBWCTY")]),
            ("Key strokes", ["KBWDLY", "KBWFST", "KBWEND", "KBWELN"]),
        ]),
        ("Wireless", [
            ("Radio link", ["WLSMOD", "WLSPWR", "WLSCHN", "WLSNAM", "WLSOOR"]),
            ("Battery", ["WLSBLV"]),
        ]),
        ("Inputs and outputs", [
            ("Trigger input", ["IOIMOD", "IOIDEB"]),
            ("Outputs", ["IOOGRD", "IOONGR", "IOOPUL", "IOOINV"]),
            ("Presentation mode", ["SCNPRX", "SCNIDL"]),
        ]),
        ("Scanning", [
            ("Scan mode", ["SCNMOD", "SCNTMO", "SCNITV", "SCNSNS", "SCNFRD", "SCNSTB", "SCNCEN", "SCNMLT"]),
            ("Same-code delay", ["SCNSDE", "SCNSDT"]),
            ("Trigger", ["TRGDBL", "TRGHLD", "SCNTCT", "SCNTCP", "SCNTCL"]),
            ("Motion", ["SCNMOT", "SCNMSN"]),
        ]),
        ("Beeper and LEDs", [
            ("Beeper", ["BEPENA", "BEPLVL", "BEPTON", "BEPDUR", "BEPPWR", "BEPSET", "BEPNRD", "SCNRDY", "BEPWAV",
                        "BEPTST", defaults_button("BEPENA")]),
            ("Good-read LED", ["LEDGRD", "LEDDUR", "LEDGRC", "LEDPWR", defaults_button("LEDGRD")]),
            ("Aiming and illumination", ["LEDAIM", "LEDILL", "ILLPWR"]),
            ("Vibration", ["VIBENA", "VIBDUR"]),
        ]),
        ("Decoding", [
            ("Decoder", ["DECMOD", "DECSEC", "DECTMO", "DECRED", "DECINV", "DECDPM", "DECMIR", "DECLQC"]),
            ("OCR", ["OCRENA", "OCRTPL"]),
        ]),
        ("1D codes", [
            ("Code 128", sym("128", "128UCC", "128FNC")),
            ("EAN-13", sym("E13", "E13ADD", "E13ADR", "E13ISB", "E13ISS")),
            ("EAN-8", sym("E08", "E08EXP")),
            ("UPC-A", sym("UPA", "UPAPRE", "UPAADD", "UPAADR", "UPAADT")),
            ("UPC-E", sym("UPE", "UPEPRE", "UPEEXP", "UP1ENA")),
            ("Code 39", sym("C39", "C39ASC", "C39STS", "C39DIG", "C32ENA")),
            ("Code 93", sym("C93")),
            ("Codabar", sym("CBA", "CBASTS")),
            ("Interleaved 2 of 5", sym("I25", "I14ENA")),
            ("Matrix 2 of 5", sym("M25")),
            ("Code 11", sym("C11")),
            ("MSI", sym("MSI")),
            ("GS1 DataBar", sym("RSS", "RSSAIT", "RSLENA", "RSEENA")),
        ]),
        ("2D codes", [
            ("QR Code", sym("QRC", "QRCMIC", "QRCINV", "QRCECI", "QRCLNK")),
            ("Data Matrix", sym("DMC", "DMCREC", "DMCINV", "DMCECI", "DMCLNK")),
            ("PDF417", sym("PDF", "PDFMIC", "PDFMAC")),
            ("Aztec", sym("AZT", "AZTINV", "AZTRUN")),
            ("MaxiCode", sym("MXC", "MXCMOD")),
            ("Han Xin", sym("HXC", "HXCINV")),
        ]),
        ("More codes", [
            ("ISBT 128", sym("ISB", "ISBCON")),
            ("Industrial 2 of 5", sym("D25")),
            ("Standard 2 of 5", sym("S25")),
            ("China Post 25", sym("CPT")),
            ("UK Plessey", sym("PLS")),
            ("Telepen", sym("TLP", "TLPASC")),
            ("Codablock F", sym("CBF")),
            ("Stacked codes", ["C16ENA", "C49ENA"]),
            ("GS1 Composite", sym("COM", "COMUPC")),
            ("DotCode", sym("DOT")),
            ("Grid Matrix", sym("GRD")),
            ("MicroPDF417", sym("MPD")),
            ("Coupon codes", ["UPCENA"]),
        ]),
        ("Postal codes", [
            ("US postal codes", sym("PST") + sym("PLN") + ["IMBENA"]),
            ("Other postal codes", ["RMLENA", "KIXENA", "AUSENA", "JPPENA"]),
        ]),
        ("Imaging", [
            ("Image capture", ["IMGGET", "IMGGWH", "IMGBGT", "IMGGBD", "IMGQLT", "IMGSNP", "IMGMIR"]),
            ("Exposure", ["EXPMOD", "EXPEMN", "EXPEMX", "EXPGMN", "EXPGMX", "EXPTGT", "EXPFIX"]),
            ("Decode area", [
                "CADENA",
                Ui("GROUPNAME", "CADENA", "Percent of the image", "ID_CMD_CADENA_PERCENT"),
                "CADTOP", "CADBOT", "CADLEF", "CADRIG",
                Ui("GROUPNAME", "CADENA", "Pixels", "ID_CMD_CADENA_PIXELS"),
                "CADDTP", "CADDBT", "CADDLF", "CADDRG",
                Ui("GROUPNAME", "CADENA", "Around the aiming point", "ID_CMD_CADENA_AIMING"),
                "CADATP", "CADABT", "CADALF", "CADARG"]),
            ("Aiming", ["AMLQRY", "AMLADJ", "AIMPAT"]),
            ("Illumination", ["ILLBRT", "ILLCOL"]),
        ]),
        ("Prefix and suffix", [
            ("Prefix", ["CPRENA", "CPRSET", "AIDENA", "CIDENA", "PREORD", defaults_button("CPRENA")]),
            ("Suffix", ["CSUENA", "CSUSET"]),
            ("Terminator", ["TRMENA", "TRMSEL", "TRMHEX", "TRMLEN"]),
        ]),
        ("Output", [
            ("Text", ["OUTCAS", "OUTCLD", "OUTCTR", "OUTNPC", "OUTFNC", "OUTCLN", "GS1PAR"]),
            ("Failed read", ["NGRENA", "NGRSET", "NGRLEN"]),
            ("Several codes", ["OUTSEP", "OUTIMD"]),
            ("Code filter", ["FLTENA", "FLTLST"]),
            ("Time stamp", ["RTCDAT", "OUTTMS"]),
        ]),
        ("Data formatter", [
            ("Data formatting", ["DFMENA", "DFMSET", "DFMADD", "DFMLEN"]),
            ("Stored formats", ["DFMCAL", "DFMDEF", "DFMQCU", "DFMQFA"]),
        ]),
        ("Code ID", [
            ("Code ID table", ["CIDTAB"]),
            ("Code ID per symbology", ["CID" + group for group, _, _ in CODE_IDS] + ["CIDDEF"]),
        ]),
        ("Driver licence", [
            ("Driver licence parsing", ["DLPENA"]),
            ("Output fields", ["DLPSET", "DLPCLR"]),
        ]),
        ("System", [
            ("Settings barcodes", ["SETUPE", "SETUPN"]),
            ("Power", ["SYSSLP", "SYSDEM"]),
            ("Scanner", ["SYSNAM", "SYSHRS"]),
            ("User and factory defaults", ["CUSSAV", "CUSDEF", "FACDEF"]),
        ]),
        ("Stored data", [
            ("Batch mode", ["WLSBAT", "WLSCNT", "WLSSBT", "WLSCLR"]),
            ("Stored codes", ["BATCHDATA"]),
        ]),
        ("Comparison", [
            ("Compare with the defaults", ["DFTVSCRT"]),
            ("Compare with a file", ["XMLVSCRT"]),
        ]),
        # The configuration window looks this page up by its name.
        ("Settings Code", [
            ("Settings barcodes", ["SETCOD", Ui("MNUCMD", "SETCOD", "Sheet layout", "ID_CMD_SETCOD_SHEET")]),
        ]),
        ("Command center", [
            ("Command terminal", ["CMDCTR"]),
        ]),
    ]


# The tab tree: top-level tabs (name, English, Chinese, icon stem, leaf page or row of
# pages). "4.IMAGING" is a leaf: the configuration window tells image capture by it.
TABS = [
    ("1.COMMUNICATION", "Communication", "通讯", "comm", ["Interface", "Keyboard", "Wireless", "Inputs and outputs"]),
    ("2.SCANNING", "Scanning", "扫描", "scan", ["Scanning", "Beeper and LEDs", "Decoding"]),
    ("3.SYMBOLOGIES", "Symbologies", "条码类型", "symb", ["1D codes", "2D codes", "More codes", "Postal codes"]),
    ("4.IMAGING", "Imaging", "成像", "imag", "Imaging"),
    ("5.DATA", "Data", "数据", "data", ["Prefix and suffix", "Output", "Data formatter", "Code ID", "Driver licence"]),
    ("6.TOOLS", "Tools", "工具", "tool", ["System", "Stored data", "Comparison", "Settings Code", "Command center"]),
]
TOP_ROW_HEIGHT = 36
INNER_ROW_HEIGHT = 28

PAGE_CN = {
    "Interface": "接口", "Keyboard": "键盘", "Wireless": "无线", "Inputs and outputs": "输入输出",
    "Scanning": "扫描", "Beeper and LEDs": "提示音与指示灯", "Decoding": "解码", "1D codes": "一维码",
    "2D codes": "二维码", "More codes": "其他条码", "Postal codes": "邮政码", "Imaging": "成像",
    "Prefix and suffix": "前缀与后缀", "Output": "输出", "Data formatter": "数据格式", "Code ID": "识别码",
    "Driver licence": "驾照解析", "System": "系统", "Stored data": "批量数据", "Comparison": "配置比较",
    "Settings Code": "设置码", "Command center": "命令中心",
}

GROUP_CN = {
    "Interface": "接口", "Serial port": "串口", "Keyboard layout": "键盘布局", "Key strokes": "按键输出",
    "Radio link": "无线连接", "Battery": "电池", "Trigger input": "触发输入", "Outputs": "输出信号",
    "Presentation mode": "感应模式", "Scan mode": "扫描模式", "Same-code delay": "相同条码延时",
    "Trigger": "触发", "Motion": "移动感应", "Beeper": "蜂鸣器", "Good-read LED": "读码成功指示灯",
    "Aiming and illumination": "瞄准与照明", "Vibration": "振动", "Decoder": "解码器", "OCR": "OCR",
    "Stacked codes": "堆叠码", "Coupon codes": "优惠券码", "US postal codes": "美国邮政码",
    "Other postal codes": "其他邮政码", "Image capture": "图像采集", "Exposure": "曝光",
    "Decode area": "解码区域", "Aiming": "瞄准", "Illumination": "照明", "Prefix": "前缀", "Suffix": "后缀",
    "Terminator": "结束符", "Text": "文本处理", "Failed read": "读码失败", "Several codes": "多个条码",
    "Code filter": "条码过滤", "Time stamp": "时间戳", "Data formatting": "数据格式化",
    "Stored formats": "已存储的格式", "Code ID table": "识别码表", "Code ID per symbology": "各码制识别码",
    "Driver licence parsing": "驾照解析", "Output fields": "输出字段", "Settings barcodes": "设置码",
    "Power": "电源", "Scanner": "扫描器", "User and factory defaults": "用户默认与出厂设置",
    "Batch mode": "批量模式", "Stored codes": "存储的条码", "Compare with the defaults": "与默认值比较",
    "Compare with a file": "与文件比较", "Command terminal": "命令终端",
}

# Symbology names as Chinese texts show them.
SYMBOLOGY_CN = {
    "Code 128": "Code 128", "EAN-13": "EAN-13", "EAN-8": "EAN-8", "UPC-A": "UPC-A", "UPC-E": "UPC-E",
    "UPC-E1": "UPC-E1", "Code 39": "Code 39", "Code 32 (Italian pharmacy)": "Code 32（意大利药品码）",
    "Code 93": "Code 93", "Codabar": "Codabar", "Interleaved 2 of 5": "交叉25码", "ITF-14": "ITF-14",
    "Matrix 2 of 5": "矩阵25码", "Code 11": "Code 11", "MSI": "MSI", "GS1 DataBar": "GS1 DataBar",
    "GS1 DataBar Limited": "GS1 DataBar 限定式", "GS1 DataBar Expanded": "GS1 DataBar 扩展式",
    "QR Code": "QR码", "Micro QR": "Micro QR", "Data Matrix": "Data Matrix", "PDF417": "PDF417",
    "MicroPDF417": "MicroPDF417", "Aztec": "Aztec", "MaxiCode": "MaxiCode", "Han Xin": "汉信码",
    "ISBT 128": "ISBT 128", "Industrial 2 of 5": "工业25码", "Standard 2 of 5": "标准25码",
    "China Post 25": "中国邮政25码", "UK Plessey": "UK Plessey", "Telepen": "Telepen",
    "Codablock F": "Codablock F", "Code 16K": "Code 16K", "Code 49": "Code 49", "GS1 Composite": "GS1 复合码",
    "DotCode": "DotCode", "Grid Matrix": "网格码", "UPC/EAN coupon codes": "UPC/EAN 优惠券码",
    "USPS Postnet": "USPS Postnet", "USPS Planet": "USPS Planet", "USPS Intelligent Mail": "USPS 智能邮件码",
    "Royal Mail": "英国皇家邮政码", "KIX Code": "KIX 码", "Australia Post": "澳大利亚邮政码",
    "Japan Post": "日本邮政码", "ISBN": "ISBN", "ISSN": "ISSN", "OCR": "OCR", "1D code": "一维码",
}

# Captions built the same way for every symbology: English pattern, Chinese form.
CAPTION_PATTERNS = [
    (r"^Enable (.+)$", "启用{0}"),
    (r"^(.+) minimum length$", "{0}最小长度"),
    (r"^(.+) maximum length$", "{0}最大长度"),
    (r"^Send (.+) check digits?$", "发送{0}校验位"),
    (r"^(.+) check digit$", "{0}校验位"),
    (r"^(.+) code ID$", "{0}识别码"),
    (r"^(.+) reads that must agree$", "{0}一致读取次数"),
    (r"^(.+) polarity$", "{0}极性"),
    (r"^(.+) add-on code$", "{0}附加码"),
    (r"^(.+) add-on required$", "{0}必须带附加码"),
    (r"^(.+) preamble$", "{0}前导符"),
    (r"^Send (.+) start and stop characters$", "发送{0}起始符和终止符"),
    (r"^(.+) start and stop characters$", "{0}起始符和终止符"),
    (r"^(.+) full ASCII$", "{0}全 ASCII"),
    (r"^(.+) ECI output$", "{0} ECI 输出"),
    (r"^Convert (.+) to (.+)$", "{0}转换为{1}"),
    (r"^Expand (.+) to (.+)$", "{0}扩展为{1}"),
]

CAPTION_CN = {
    "Baud rate": "波特率", "Parity": "奇偶校验", "Data bits": "数据位", "Stop bits": "停止位",
    "Flow control": "流控制", "ACK/NAK handshake": "ACK/NAK 握手", "Delay between characters (ms)": "字符间延时（毫秒）",
    "Interface": "接口类型", "USB polling interval (ms)": "USB 轮询间隔（毫秒）", "Keyboard country": "键盘语言",
    "Delay between key strokes (ms)": "按键间延时（毫秒）", "Caps Lock handling": "大写锁定处理",
    "Digits from the numeric keypad": "数字用小键盘输出", "Control characters as Ctrl+key": "控制字符以 Ctrl+键 输出",
    "Characters through Alt+keypad": "字符以 Alt+小键盘 输出", "Function key mapping": "功能键映射",
    "Beep on good read": "读码成功提示音", "Beeper volume": "蜂鸣器音量", "Beeper tone (Hz)": "蜂鸣器音调（赫兹）",
    "Beep duration (ms)": "提示音时长（毫秒）", "Beep at power-on": "上电提示音", "Beep on settings barcodes": "读设置码提示音",
    "Sound the beeper": "蜂鸣器试音", "Good-read LED": "读码成功指示灯", "Good-read LED time (ms)": "读码成功指示灯时长（毫秒）",
    "LED at power-on": "上电指示灯", "Aiming light": "瞄准灯", "Illumination": "照明灯", "Scan mode": "扫描模式",
    "Read timeout": "单次读码时长", "Same-code delay": "相同条码延时", "Same-code delay time (ms)": "相同条码延时时间（毫秒）",
    "Pause between reads in continuous mode (ms)": "连续模式读码间隔（毫秒）", "Auto-sense sensitivity": "自动感应灵敏度",
    "Serial command that starts a read": "串口开始读码命令", "Serial command that stops a read": "串口停止读码命令",
    "Longest serial read command (bytes)": "串口读码命令最大长度（字节）",
    "Decode only the code under the aimer": "只读瞄准中心的条码", "Read several codes at once": "一次读取多个条码",
    "GS1-128 (UCC/EAN-128)": "GS1-128（UCC/EAN-128）",
    "Send GS1 DataBar application identifier": "发送 GS1 DataBar 应用标识符", "Rectangular Data Matrix": "长方形 Data Matrix",
    "Custom prefix": "自定义前缀", "Custom prefix text": "自定义前缀内容", "Custom suffix": "自定义后缀",
    "Custom suffix text": "自定义后缀内容", "AIM ID prefix": "AIM ID 前缀", "Code ID prefix": "识别码前缀",
    "Prefix order": "前缀顺序", "Send a terminator": "发送结束符", "Terminator": "结束符",
    "Custom terminator": "自定义结束符", "Longest custom terminator (bytes)": "自定义结束符最大长度（字节）",
    "Case conversion": "大小写转换", "Characters cut from the start": "删除开头字符数",
    "Characters cut from the end": "删除末尾字符数", "Message on a failed read": "读码失败时输出信息",
    "Failed-read message": "读码失败信息", "Longest failed-read message (bytes)": "读码失败信息最大长度（字节）",
    "Data formatting": "数据格式化", "Data formats": "数据格式", "Longest data format (characters)": "数据格式最大长度（字符）",
    "Clear all data formats": "清除全部数据格式", "Restore the factory data formats": "恢复出厂数据格式",
    "Show the data formats": "查看数据格式", "Show the factory data formats": "查看出厂数据格式",
    "Read settings barcodes": "读取设置码", "Sleep after": "休眠时间",
    "Demonstration mode until power-off": "演示模式（断电前有效）", "Save as user defaults": "保存为用户默认",
    "Load user defaults": "加载用户默认", "Restore factory defaults": "恢复出厂设置", "Radio link": "无线连接方式",
    "Radio power": "无线发射功率", "Base station channel": "基座信道", "Bluetooth name": "蓝牙名称",
    "Beep when out of range": "超出范围时提示", "Batch mode": "批量模式", "Send the stored codes": "上传存储的条码",
    "Clear the stored codes": "清除存储的条码", "Number of stored codes": "已存储条码数",
    "Battery level (%)": "电池电量（%）", "Clock date": "时钟日期", "Add the time to each code": "条码附加时间",
    "Exposure": "曝光方式", "Shortest exposure (10 us)": "最短曝光时间（10 微秒）",
    "Longest exposure (10 us)": "最长曝光时间（10 微秒）", "Lowest gain": "最低增益", "Highest gain": "最高增益",
    "Target brightness": "目标亮度", "Fixed exposure (10 us)": "固定曝光时间（10 微秒）", "Decode area": "解码区域",
    "Decode area top (%)": "解码区域上边界（%）", "Decode area bottom (%)": "解码区域下边界（%）",
    "Decode area left (%)": "解码区域左边界（%）", "Decode area right (%)": "解码区域右边界（%）",
    "Decode area top (pixels)": "解码区域上边界（像素）", "Decode area bottom (pixels)": "解码区域下边界（像素）",
    "Decode area left (pixels)": "解码区域左边界（像素）", "Decode area right (pixels)": "解码区域右边界（像素）",
    "Decode area above the aiming point (pixels)": "瞄准点上方解码范围（像素）",
    "Decode area below the aiming point (pixels)": "瞄准点下方解码范围（像素）",
    "Decode area left of the aiming point (pixels)": "瞄准点左侧解码范围（像素）",
    "Decode area right of the aiming point (pixels)": "瞄准点右侧解码范围（像素）",
    "Aiming point": "瞄准点", "Aiming point adjustment": "瞄准点校正", "Aiming pattern": "瞄准图案",
    "Illumination brightness (%)": "照明亮度（%）", "Illumination colour": "照明颜色", "Mirror the image": "图像镜像",
    "Image capture": "图像采集", "Barcode area image": "条码区域图像", "Image size": "图像尺寸",
    "Image depth (bits)": "图像位深（位）", "Decoder": "解码器", "Direct part marks": "直接零件标识（DPM）",
    "Mirrored codes": "镜像条码", "Reads that must agree": "一致读取次数", "Decode security": "解码安全级别",
    "Decode time per image (ms)": "单幅图像解码时间（毫秒）", "Low-quality 1D codes": "低质量一维码",
    "OCR template files": "OCR 模板文件", "Restore the default code IDs": "恢复默认识别码",
    "Code ID table": "识别码表", "Join ISBT 128 pairs": "拼接 ISBT 128 码对",
    "GS1 Composite with UPC/EAN": "GS1 复合码与 UPC/EAN 组合", "Time to wait for an add-on (ms)": "附加码等待时间（毫秒）",
    "Join Macro PDF417 parts": "拼接 Macro PDF417 分段", "MaxiCode modes": "MaxiCode 模式",
    "Code 128 FNC4 characters": "Code 128 FNC4 字符", "Code 39 leading digit removed": "Code 39 删除首位数字",
    "Output code page": "输出代码页", "Unicode key strokes": "Unicode 按键输出",
    "Delay between messages (ms)": "信息间延时（毫秒）", "Block size for serial output (bytes)": "串口输出分块大小（字节）",
    "Separator between several codes": "多个条码之间的分隔符",
    "Length of single-character settings (bytes)": "单字符设置长度（字节）",
    "Keys sent after the data": "数据后发送的按键", "Longest key sequence after the data (bytes)": "数据后按键序列最大长度(字节)",
    "Only pass codes that start as listed": "只输出以列表内容开头的条码", "Accepted code starts": "允许的条码开头",
    "Driver licence parsing": "驾照解析", "Driver licence fields": "驾照输出字段",
    "Clear the driver licence fields": "清除驾照字段", "Scanner name": "扫描器名称",
    "Vibrate on good read": "读码成功振动", "Vibration time (ms)": "振动时长（毫秒）",
    "Presentation mode in the stand": "放入支架时切换为感应模式", "Ready beep after power-up": "上电就绪提示音",
    "Aim on the first trigger press, read on the second": "第一次按键瞄准，第二次按键读码",
    "Trigger hold time before continuous reading (ms)": "长按进入连续读码的时间（毫秒）",
    "Delay before the first read (ms)": "首次读码前延时（毫秒）", "Wake up on motion": "移动唤醒",
    "Motion sensitivity": "移动感应灵敏度", "Good-read LED colour": "读码成功指示灯颜色",
    "Illumination while aiming": "瞄准时照明", "Beep on a failed read": "读码失败提示音",
    "Good-read sound file": "读码成功声音文件", "Fast USB keyboard": "高速 USB 键盘",
    "Show non-printable characters as hex": "不可打印字符以十六进制显示", "Character sent for FNC1": "FNC1 输出字符",
    "Serial message framing": "串口信息封装", "Wait for the host's ACK (ms)": "等待主机 ACK 时间（毫秒）",
    "GS1 data output": "GS1 数据输出", "Join linked QR Codes": "拼接关联 QR 码",
    "Join Data Matrix structured append": "拼接 Data Matrix 结构追加码", "Aztec rune codes": "Aztec 符文码",
    "Snapshot JPEG quality (%)": "快照 JPEG 质量（%）", "Take a snapshot at the next trigger press": "下次按键时拍摄快照",
    "Operating hours": "累计工作时间（小时）", "Trigger input": "触发输入", "Trigger input debounce (ms)": "触发输入去抖时间（毫秒）",
    "Output 1": "输出 1", "Output 2": "输出 2", "Output pulse width (ms)": "输出脉冲宽度（毫秒）",
    "Invert outputs": "输出反相", "Presentation mode hold time (ms)": "感应模式保持时间（毫秒）",
    "Dim the illumination when idle": "空闲时调暗照明", "Defaults of this group": "本组恢复默认",
    "Percent of the image": "按图像百分比", "Pixels": "按像素", "Around the aiming point": "瞄准点周围",
    "Sheet layout": "设置码页面布局",
}

LABEL_CN = {
    "Off": "关闭", "On": "开启", "None": "无", "Low": "低", "Medium": "中", "High": "高", "Lowest": "最低",
    "Normal": "标准", "Standard": "标准", "Fast": "快速", "Damaged codes": "破损条码", "Odd": "奇校验",
    "Even": "偶校验", "1 bit": "1 位", "2 bits": "2 位", "7 bits": "7 位", "8 bits": "8 位",
    "2 digits": "2 位", "5 digits": "5 位", "2 or 5 digits": "2 位或 5 位", "RTS/CTS": "RTS/CTS",
    "XON/XOFF": "XON/XOFF", "RS-232": "RS-232", "USB keyboard": "USB 键盘", "USB virtual COM port": "USB 虚拟串口",
    "USB HID POS": "USB HID POS", "PS/2 keyboard wedge": "PS/2 键盘", "US": "美式", "UK": "英式",
    "German": "德语", "French": "法语", "Italian": "意大利语", "Spanish": "西班牙语",
    "Portuguese (Brazil)": "葡萄牙语（巴西）", "Swedish": "瑞典语", "Norwegian": "挪威语", "Danish": "丹麦语",
    "Finnish": "芬兰语", "Swiss German": "瑞士德语", "Belgian": "比利时语", "Dutch": "荷兰语",
    "Turkish Q": "土耳其语 Q", "Japanese": "日语", "Russian": "俄语", "Czech": "捷克语", "Polish": "波兰语",
    "Hungarian": "匈牙利语", "Detect": "自动检测", "While reading": "读码时", "Always on": "常亮",
    "Trigger": "按键触发", "Pulse": "脉冲", "Continuous": "连续", "Auto sense": "自动感应",
    "Host command": "主机命令", "Not checked": "不校验", "Checked, not sent": "校验不发送",
    "Checked and sent": "校验并发送", "Normal only": "仅正色", "Inverse only": "仅反色",
    "Normal and inverse": "正色和反色", "System character": "系统字符",
    "Country code and system character": "国家代码和系统字符", "Not sent": "不发送", "ABCD": "ABCD",
    "abcd": "abcd", "DC1 to DC4": "DC1 至 DC4", "One digit": "一位", "Two digits": "两位",
    "One or two digits": "一位或两位", "Mod 10": "Mod 10", "Mod 10 and mod 10": "Mod 10 加 Mod 10",
    "Mod 11 and mod 10": "Mod 11 加 Mod 10", "Code ID, AIM ID, custom": "识别码、AIM ID、自定义",
    "Custom, Code ID, AIM ID": "自定义、识别码、AIM ID", "CR": "CR", "CR LF": "CR LF", "Tab": "Tab", "LF": "LF",
    "Custom": "自定义", "Upper case": "大写", "Lower case": "小写", "Swap case": "大小写互换",
    "On, a format must match": "开启，必须匹配格式", "On, optional": "开启，可选", "Base station": "基座",
    "Bluetooth HID": "蓝牙 HID", "Bluetooth SPP": "蓝牙 SPP", "Bluetooth LE": "低功耗蓝牙",
    "When out of range": "超出范围时", "Always": "始终", "Automatic": "自动", "Fixed": "固定",
    "Whole image": "整幅图像", "Percent of the image": "图像百分比", "Pixels": "像素",
    "Around the aiming point": "瞄准点周围", "Dot": "点", "Cross": "十字", "Frame": "方框", "White": "白色",
    "Red": "红色", "Green": "绿色", "Blue": "蓝色", "Full": "全亮", "STX and ETX": "STX 和 ETX",
    "Length first": "长度前置", "As read": "原样输出", "AIs in parentheses": "AI 加括号",
    "Fields separated by GS": "以 GS 分隔字段", "All": "全部", "Modes 2 and 3 only": "仅模式 2 和 3",
    "Active high": "高电平有效", "Active low": "低电平有效", "Pulse on good read": "读码成功时输出脉冲",
    "Pulse on failed read": "读码失败时输出脉冲", "On while reading": "读码时导通", "437 US": "437 美国",
    "850 Latin 1": "850 拉丁文 1", "852 Latin 2": "852 拉丁文 2", "866 Cyrillic": "866 西里尔文",
    "932 Japanese": "932 日文", "936 Simplified Chinese": "936 简体中文", "1250 Central European": "1250 中欧",
    "1251 Cyrillic": "1251 西里尔文", "1252 Western": "1252 西欧",
}

TAB_CN = dict(PAGE_CN)


def caption_cn(caption):
    if caption in CAPTION_CN:
        return CAPTION_CN[caption]
    for pattern, form in CAPTION_PATTERNS:
        match = re.match(pattern, caption)
        if match and all(part in SYMBOLOGY_CN for part in match.groups()):
            return form.format(*(SYMBOLOGY_CN[part] for part in match.groups()))
    raise AssertionError("no Chinese caption for %r" % caption)


def label_cn(label):
    if label in LABEL_CN:
        return LABEL_CN[label]
    assert not re.search(r"[A-Za-z]", label), "no Chinese label for %r" % label
    return label


def identifier_part(text):
    return re.sub(r"[^A-Z0-9]+", "_", text.upper()).strip("_")


def labelled_text(labelled, translate=None):
    return "|".join("%s:%s" % (value, translate(label) if translate else label) for value, label in labelled)


class Row:
    """One Command element of pageinfo.xml."""

    def __init__(self, name, control, caption, lang, settings=None, settings_lang=None, unsupported=None,
                 get_len=None):
        self.name, self.control, self.caption, self.lang = name, control, caption, lang
        self.settings, self.settings_lang = settings, settings_lang
        self.unsupported, self.get_len = unsupported, get_len

    def element(self):
        lines = ["   <Command>",
                 "    <CommandName>%s</CommandName>" % self.name,
                 "    <FriendlyText>%s</FriendlyText>" % escape(self.caption),
                 "    <ControlType>%s</ControlType>" % self.control]
        if self.settings is not None:
            attribute = " langID=%s" % quoteattr(self.settings_lang) if self.settings_lang else ""
            lines.append("    <SettingsList%s>%s</SettingsList>" % (attribute, escape(self.settings)))
        if self.unsupported:
            lines.append("    <UnSupportSettingsList>%s</UnSupportSettingsList>" % self.unsupported)
        if self.get_len:
            lines.append("    <CmdGetLen>%s</CmdGetLen>" % self.get_len)
        lines.append("    <langID>%s</langID>" % self.lang)
        lines.append("   </Command>")
        return "\n".join(lines)


class KnownCommand:
    """A command as the model files give it together: the first definition, the labels
    of its values over all models and the files that list it."""

    def __init__(self, command):
        self.command = command
        self.labels = {}
        self.files = []


def known_commands():
    known = {}
    for m in MODELS:
        for c in m.command_list():
            entry = known.get(c.name)
            if entry is None:
                entry = known[c.name] = KnownCommand(c)
            first = entry.command
            assert first.control == c.control, "%s: %s here, %s in %s" % (c.name, c.control, first.control, m.file)
            assert first.settings_lang == c.settings_lang, "%s: lists differ between models" % c.name
            if c.control == "COMBOBOXCUSTOM":
                assert first.settings == c.settings, "%s: presets differ between models" % c.name
            for value, label in c.labels or ():
                assert entry.labels.setdefault(value, label) == label, "%s: %s has two labels" % (c.name, value)
            entry.files.append(m.file)
    return known


class PageBuilder:
    """Turns the layout into rows and collects every text identifier with its texts."""

    def __init__(self):
        self.known = known_commands()
        self.texts = dict(ROW_TEXTS)
        self.lists = {}  # list text -> its identifier

    def text(self, identifier, english, chinese):
        known = self.texts.setdefault(identifier, (english, chinese))
        assert known == (english, chinese), "%s: two texts %r and %r" % (identifier, known, (english, chinese))
        return identifier

    def list_identifier(self, labelled, first_user):
        english = labelled_text(labelled)
        chinese = labelled_text(labelled, label_cn)
        if chinese == english:
            return None  # numbers only: nothing to translate
        if english not in self.lists:
            shared = [name for name, items in SHARED_LISTS.items() if labelled_text(items) == english]
            self.lists[english] = shared[0] if shared else "ID_LIST_" + first_user
        return self.text(self.lists[english], english, chinese)

    def pseudo_row(self, name):
        _, keyword, english, chinese = [p for p in PSEUDO_COMMANDS if p[0] == name][0]
        return Row(name, keyword, english, self.text("ID_CMD_" + name, english, chinese))

    def ui_row(self, ui, previous):
        assert ui.name in previous, "%s row on %s must follow that setting in its group" % (ui.keyword, ui.name)
        return Row(ui.name, ui.keyword, ui.caption, self.text(ui.lang, ui.caption, caption_cn(ui.caption)))

    def setting_row(self, name):
        entry = self.known.get(name)
        assert entry, "%s is in no model file" % name
        c = entry.command
        caption = PAGE_CAPTIONS.get(name, c.caption)
        row = Row(name, c.control, caption, self.text("ID_CMD_" + name, caption, caption_cn(caption)))
        if c.control in VALUE_FIRST_LISTS:
            labelled = sorted(entry.labels.items())
            row.settings = labelled_text(labelled)
            row.settings_lang = self.list_identifier(labelled, name)
        elif c.control in TOGGLES:
            row.settings = TOGGLE_LIST
            row.settings_lang = self.list_identifier(OFF_ON, name)
        elif c.control == "COMBOBOXCUSTOM":
            # Labels are looked up up to the next "|", so the last item needs one too.
            row.settings = c.settings + "|"
            row.settings_lang = c.settings_lang
        elif c.control in ("FILESELECT", "MULFILESELECT"):
            row.settings = labelled_text(enumerate(FILE_TYPES[name]))
        elif c.control == "CODEID":
            row.settings = labelled_text((ident, title) for _, title, ident in CODE_IDS)
            assert [v for v in c.settings.split("|")] == [i for _, _, i in CODE_IDS], "CIDTAB list"
        if name in UNSUPPORTED_CHOICES:
            assert all(v in entry.labels for v in UNSUPPORTED_CHOICES[name]), "%s: hidden choice not offered" % name
            row.unsupported = "|".join(str(v) for v in UNSUPPORTED_CHOICES[name])
        if name in LENGTH_QUERIES:
            row.get_len = self.check_length_query(name, LENGTH_QUERIES[name])
        return row

    def check_length_query(self, name, query):
        """Online the page's CmdGetLen is sent to the scanner as a query; offline the
        model file's length is used. Both must agree on every model."""
        for m in MODELS:
            commands = {c.name: c for c in m.command_list()}
            if name in commands:
                assert query in commands, "%s: %s lacks %s" % (m.file, name, query)
                assert commands[query].default == str(commands[name].length), "%s: %s length" % (m.file, name)
        return query

    def pages(self):
        layout = page_layout(self.known)
        pseudo = {p[0] for p in PSEUDO_COMMANDS}
        result = []
        seen = set()
        for page_name, groups in layout:
            assert page_name in PAGE_CN, page_name
            page = []
            for caption, entries in groups:
                chinese = GROUP_CN[caption] if caption in GROUP_CN else SYMBOLOGY_CN[caption]
                lang = self.text("ID_GROUP_" + identifier_part(caption), caption, chinese)
                rows = []
                for entry in entries:
                    if isinstance(entry, Ui):
                        rows.append(self.ui_row(entry, [r.name for r in rows]))
                        continue
                    assert entry not in seen, "%s is on two pages" % entry
                    seen.add(entry)
                    rows.append(self.pseudo_row(entry) if entry in pseudo else self.setting_row(entry))
                assert rows, "%s: empty group %s" % (page_name, caption)
                page.append((caption, lang, rows))
            result.append((page_name, page))
        missing = sorted(set(self.known) - seen)
        assert not missing, "commands on no page: %s" % missing
        assert pseudo <= seen, "pseudo-commands on no page: %s" % sorted(pseudo - seen)
        return result


def page_file(pages):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<Pages>"]
    for name, groups in pages:
        lines.append(" <Page>")
        lines.append("  <Value>%s</Value>" % escape(name))
        for caption, lang, rows in groups:
            lines.append("  <GroupName>")
            lines.append("   <Value>%s</Value>" % escape(caption))
            lines.append("   <langID>%s</langID>" % lang)
            lines.extend(row.element() for row in rows)
            lines.append("  </GroupName>")
        lines.append(" </Page>")
    lines.append("</Pages>")
    return "\n".join(lines) + "\n"


def tab_icons(stem):
    return "tab_%s.png" % stem, "tab_%s_on.png" % stem


def tab_file(builder, page_names):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<MainCfg>", ' <property height="%d"/>' % TOP_ROW_HEIGHT]
    used = []

    def leaf(indent, tab_name, page, key, extra=""):
        lang = builder.text("ID_TAB_" + identifier_part(page), page, TAB_CN[page])
        lines.append('%s<TabNode name=%s langID="%s" key="%s"%s>' % (indent, quoteattr(tab_name), lang, key, extra))
        lines.append('%s <Page name=%s/>' % (indent, quoteattr(page)))
        lines.append("%s</TabNode>" % indent)
        used.append(page)

    for name, english, chinese, stem, content in TABS:
        icon, icons = tab_icons(stem)
        extra = ' icon="%s" icons="%s"' % (icon, icons)
        if isinstance(content, str):
            TAB_CN.setdefault(content, chinese)
            leaf(" ", name, content, identifier_part(english), extra)
            continue
        lang = builder.text("ID_TAB_" + identifier_part(english), english, chinese)
        lines.append(' <TabNode name=%s langID="%s" key="%s"%s>' % (quoteattr(name), lang, identifier_part(english),
                                                                    extra))
        lines.append('  <property height="%d"/>' % INNER_ROW_HEIGHT)
        for page in content:
            leaf("  ", page, page, identifier_part(page))
        lines.append(" </TabNode>")
    lines.append("</MainCfg>")
    assert sorted(used) == sorted(page_names), "every page needs exactly one tab"
    return "\n".join(lines) + "\n"


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


# Tab icons: a plain one and one for the selected tab, 32 pixels square.
TAB_ICON_SIZE = 32
TAB_PLAIN = (92, 102, 118)
TAB_SELECTED = (36, 116, 204)


def tab_comm(d, colour):
    d.rect(46, 62, 114, 112, 12, colour)
    d.rect(60, 26, 72, 64, 3, colour)
    d.rect(88, 26, 100, 64, 3, colour)
    d.rect(72, 110, 88, 140, 4, colour)


def tab_scan(d, colour):
    for x0, y0, sx, sy in ((22, 28, 1, 1), (138, 28, -1, 1), (22, 132, 1, -1), (138, 132, -1, -1)):
        d.rect(min(x0, x0 + 34 * sx), min(y0, y0 + 9 * sy), max(x0, x0 + 34 * sx), max(y0, y0 + 9 * sy), 3, colour)
        d.rect(min(x0, x0 + 9 * sx), min(y0, y0 + 34 * sy), max(x0, x0 + 9 * sx), max(y0, y0 + 34 * sy), 3, colour)
    d.rect(30, 74, 130, 86, 5, (222, 56, 48))


def tab_symb(d, colour):
    x = 24
    for width in (8, 4, 12, 4, 8, 16, 4, 8, 4, 12):
        d.rect(x, 30, x + width, 130, 1, colour)
        x += width + 6


def tab_imag(d, colour):
    d.rect(56, 34, 104, 54, 6, colour)
    d.rect(20, 46, 140, 128, 14, colour)
    d.ellipse(80, 88, 30, 30, (255, 255, 255))
    d.ellipse(80, 88, 20, 20, colour)


def tab_data(d, colour):
    d.poly([(34, 18), (104, 18), (128, 42), (128, 142), (34, 142)], colour)
    d.poly([(104, 18), (128, 42), (104, 42)], (255, 255, 255, 140))
    for y in (60, 80, 100, 120):
        d.rect(50, y, 112 if y != 120 else 90, y + 8, 3, (255, 255, 255))


def tab_tool(d, colour):
    d.arc(104, 56, 14, 34, 75, 375, colour)
    d.rect(18, 84, 98, 108, 10, colour, angle=-45)


TAB_DRAWINGS = {"comm": tab_comm, "scan": tab_scan, "symb": tab_symb, "imag": tab_imag, "data": tab_data,
                "tool": tab_tool}


def tab_pictures():
    pictures = []
    for _, _, _, stem, _ in TABS:
        plain, selected = tab_icons(stem)
        draw = TAB_DRAWINGS[stem]
        pictures.append((plain, TAB_ICON_SIZE, lambda d, draw=draw: draw(d, TAB_PLAIN)))
        pictures.append((selected, TAB_ICON_SIZE, lambda d, draw=draw: draw(d, TAB_SELECTED)))
    return pictures


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
        write_text(os.path.join(LUA, m.lua), lua_hook(m))
    write_text(os.path.join(CONFIG, "devicesinfo.xml"), catalogue_file())
    write_text(os.path.join(LUA, "hooklog.lua"), LUA_HOOK_LIBRARY)

    builder = PageBuilder()
    pages = builder.pages()
    write_text(os.path.join(CONFIG, "pageinfo.xml"), page_file(pages))
    write_text(os.path.join(CONFIG, "maincfg.xml"), tab_file(builder, [name for name, _ in pages]))

    texts = language_texts()
    for identifier, pair in builder.texts.items():
        assert texts.setdefault(identifier, pair) == pair, "%s: two texts" % identifier
    update_language_file(os.path.join(CONFIG, "lang_en.xml"), {k: v[0] for k, v in texts.items()})
    update_language_file(os.path.join(CONFIG, "lang_cn.xml"), {k: v[1] for k, v in texts.items()})

    pictured = {m.picture for m in MODELS} | {c[3] for c in CATEGORIES}
    assert pictured == {p[0] for p in PICTURES}, "every model and category needs a picture"
    for name, size, draw in PICTURES + tab_pictures():
        canvas = Canvas(size)
        draw(Scaled(canvas))
        with open(os.path.join(IMAGES, name), "wb") as f:
            f.write(canvas.png())
    print("commands: " + ", ".join(counts))
    print("pages: %d, groups: %d, rows: %d" % (len(pages), sum(len(g) for _, g in pages),
                                               sum(len(r) for _, g in pages for _, _, r in g)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
