#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz target (tests/fuzz/corpus/): every
command word of the help file, each action with each target word, the
launchers with registry entries, and long command lines, each on a client
like the unit tests' (a contact list, a container, consoles of every medium
that open the send dialog when commanded, private windows, channels, a note,
the main window, the player and a window of another thread). The encoding is
the one described at the top of fuzz_entry.cpp.

    python3 tests/fuzz/make_corpus.py      # rewrites tests/fuzz/corpus/
"""
import hashlib
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))

# Text bytes naming the client's texts (fuzz_entry.cpp, kNamed): 1 to 30,
# then from 0xF5 on, bytes that begin no UTF-8 text.
MAIN_CLASS, MAIN_TITLE, ICON_HOLDER, LIST_CLASS, DISPLAY, CONSOLE, SEND_TITLE, \
    EDIT, BUTTON, OK, PLAYER, AIM, ICQ, IRC, MSN, YAHOO, WORK, DIALOG, CURRENT, \
    LONG399, LONG400, LONG1000, WORK_CYRILLIC, WORK_SMALL, AIM_CYRILLIC, EMOJI, LONE, \
    PAIR_AT_399, PAIR_AT_60, CYRILLIC_AT_399 = range(1, 31)
IME_CLASS, TEXT_SERVICES_CLASS, GDIPLUS_CLASS, COM_CLASS = range(0xF5, 0xF9)
NAMED = 30
ESCAPE = 31
HIGH_NAMED = range(0xF5, COM_CLASS + 1)


def text(t):
    """A text field: a named text (an int) or a literal (str or bytes)."""
    if isinstance(t, int):
        return bytes([t])
    b = t.encode("utf-8", "surrogatepass") if isinstance(t, str) else t
    if not b:
        return b"\0"
    if b[0] <= NAMED or b[0] == ESCAPE or b[0] in HIGH_NAMED:
        b = bytes([ESCAPE]) + b
    return b + b"\0"


def top(cls, title, thread=0, style=0):
    return bytes([0, thread]) + text(cls) + text(title) + bytes([style])


def child(parent, cls, title="", style=0):
    return bytes([1, parent]) + text(cls) + text(title) + bytes([style])


OPEN_SEND_DIALOG = bytes([4])


def behaviour(window, filter_, reply, action):
    return bytes([2, window, filter_, reply]) + action


def registry(kind, value, ending=0):
    return bytes([kind]) + text(value) + bytes([0, 0, 0]) + text("") + bytes([ending])


NO_REGISTRY = b"\0\0"
REGISTRY = (registry(1, "C:\\Program Files\\Quenvale\\quenvale.exe /uninstal") +
            registry(1, '"C:\\Program Files\\Winamp\\UninstWA.exe" /x'))


# Registry kinds (fuzz_entry.cpp): the type's row plus 8 for the current
# user's place, 16 for the machine's 64-bit view.
EXPAND, AT_USER, AT_MACHINE64 = 1, 8, 16

# Standard output (fuzz_entry.cpp, process byte).
NO_OUTPUT, CONSOLE, FILE, PIPE = range(4)
HELP_HERE = 4  # a dowtrane.txt in the current folder
# The shortcuts and keyboard of /bind (fuzz_entry.cpp, process byte).
SHORTCUTS, HELD_KEYS, ALTGR, NO_COM = 8, 16, 32, 64
NO_START, NO_START_UNKNOWN = 128, 192  # the shell starts nothing (an error with text, without)
PROGRAM = "C:\\Program Files\\Dowtrane\\dowtrane.exe"


def settings(flags=0, oom=0, answers=(), reg=REGISTRY, process=NO_OUTPUT, output_limit=0,
             program=PROGRAM):
    return (bytes([flags, oom, 0, 0, len(answers)] + list(answers)) + reg +
            bytes([process, output_limit & 0xFF, output_limit >> 8]) + text(program))


# The client, top of the Z order first (indices are window numbers).
CLIENT = b"".join([
    top("frame", "Buddies"),                  # 0 contact list
    child(0, ICON_HOLDER),                    # 1
    child(0, LIST_CLASS, "", 2),              # 2 list control, accepts files
    top("frame", WORK),                       # 3 container
    child(3, "x", YAHOO),                     # 4
    child(3, "x", "Ann"),                     # 5 private inside
    child(5, DISPLAY),                        # 6
    child(3, "x", "#work"),                   # 7 channel inside
    child(7, LIST_CLASS),                     # 8
    top("x", AIM),                            # 9
    top("x", ICQ),                            # 10
    top("x", IRC),                            # 11
    top("x", MSN),                            # 12
    top("x", "Bob"),                          # 13 private
    child(13, DISPLAY),                       # 14
    top("x", "#chan"),                        # 15 channel
    child(15, LIST_CLASS),                    # 16
    top("x", "Notes"),                        # 17 plain
    top(MAIN_CLASS, MAIN_TITLE),              # 18 main window
    top(PLAYER, "Winamp", 1),                 # 19 player, thread 2
    top("x", "Elsewhere", 2),                 # 20 thread 3
] + [behaviour(w, 1 | 4, 0, OPEN_SEND_DIALOG) for w in (4, 9, 10, 11, 12)])

# Events (fuzz_entry.cpp, record 3) and their actions: kind 6 sets the
# calendar clock, kind 7 hangs a thread or has a window stall. A call is
# named by its tag (fuzz_entry.cpp, kCalls).
EVERY_CALL = 0
TICKS = ord("k")  # GetTickCount64


def event(call, nth, action):
    return bytes([3, call, nth]) + action


def jump(seconds):
    return bytes([6]) + (seconds & 0xFFFFFFFF).to_bytes(4, "little")


def hang(thread_byte):
    return bytes([7, 1, thread_byte])


STALL_WHATS = ["", "command", "char", "lbutton", "show", "exstyle"]


def stall(window, what, ms, reading=False):
    return bytes([7, 3 if reading else 2, window, STALL_WHATS.index(what)]) + \
        (ms // 2).to_bytes(2, "little")


NAME = "dowtrane.exe "
# Every seed's command word is the first word of a line of ACTIONS, WORDS or
# NO_COMMAND (seed() makes sure): the unit test
# CommandTable.TheFilesBesideTheTableUseItsWords finds a row of the program's
# table (app::kCommandWords) for each of the first two and none for the third.
ACTIONS = ["show", "restore", "hide", "minimize", "clickthrough", "timestamp", "trans",
           "attach", "multiim"]
TARGETS = ["", "contact", "buddy", "container", "container work", "container current",
           "container nope", "console", "private", "channel", "all", "current", "bogus"]


def action_lines():
    for action in ACTIONS:
        for target in TARGETS:
            words = target.split()
            if action in ("timestamp", "trans", "attach") and words:
                argument = {"timestamp": "on", "trans": "5", "attach": "2"}[action]
                # A container's name comes third for timestamps and levels.
                if action != "attach" and len(words) == 2:
                    words = [words[0], argument, words[1]]
                else:
                    words.insert(1, argument)
            yield " ".join([action] + words)


WORDS = [
    "away+", "awayedit", "away", "preferences", "pref", "connection manager", "conn",
    "reconnect", "recon", "disconnect", "discon", "exit", "exit 3", "exit soon", "exit 0",
    "sound", "showbuddy", "top", "log", "info", "togglebuddy", "offline contacts", "off",
    "dock", "dock top", "dock bottom", "dock left", "dock right", "launch", "winamp",
    "sendmessage aim Bob", 'sendmessage icq "John Smith"', "sendmessage irc x",
    "sendmessage msn x", "sendmessage yahoo x", "sendmessage jabber bob", "sendmessage",
    "timestamp all off", "timestamp all toggle", "trans all", "trans all x", "attach all",
    "attach all 4294967297", "SHOW ALL", "clic console", "/windows", "/WINDOWS x",
    "/?", "/? x", "/bind", "/bind Ctrl+Alt+B togglebuddy", "/bind ctrl+alt+d top",
    "/bind shift+alt+ctrl+home hide all", "/bind F5 exit 3", "/bind Ctrl+Shift+F12 launch",
    '/bind Ctrl+Alt+E sendmessage icq "John Smith"', "/bind Ctrl+Alt+H top",
    "/bind Ctrl+B top", "/bind Ctrl+Alt+B nothing", "/bind Ctrl+Alt+B", "/bind Ctrl+Alt+Num7 /windows",
    "/unbind Ctrl+Alt+B", "/unbind alt+ctrl+x", "/unbind", "/UNBIND F99",
]
# No word, a word of no command, /windows one letter short.
NO_COMMAND = ["", "nothing", "/window"]

LONG = [
    "hide container " + "n" * 500,
    "sendmessage " + "j" * 600,
    "sendmessage aim " + "c" * 420,
    'sendmessage a "' + "x" + "\u30a2" * 250 + '"',
    "timestamp container on " + "w" * 398,
    "exit 2147483647",
    "hide " + "x" * (32767 - len(NAME) - 5),
    "top\t" + "\t " * 200 + "x",
]


def first_word(line):
    return (line.split() or [""])[0]


CHECKED_WORDS = {first_word(line) for line in ACTIONS + WORDS + NO_COMMAND}


def seed(line, scene=CLIENT, **kw):
    # The program's name, quoted or up to the first blank, then the tail.
    tail = line.split('"', 2)[2] if line.startswith('"') else line.partition(" ")[2]
    if first_word(tail) not in CHECKED_WORDS:
        raise SystemExit(f"{line!r}: the command word is in none of ACTIONS, WORDS, NO_COMMAND")
    return line.encode("utf-8", "surrogatepass") + b"\0" + settings(**kw) + scene


def main():
    out = os.path.join(HERE, "corpus")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    seeds = []
    for line in WORDS + NO_COMMAND + list(action_lines()) + LONG:
        seeds.append(seed(NAME + line))
    # Without the client, with other program names, scripts and failures.
    for line in ("top", "launch", "winamp", "hide all"):
        seeds.append(seed(NAME + line, b""))
        seeds.append(seed(NAME + line, b"", reg=NO_REGISTRY))
    seeds.append(seed('"C:\\My Tools\\dowtrane.exe" hide all'))
    seeds.append(seed('"C:\\My Tools\\dowtrane.exe"top'))
    seeds.append(seed(NAME + "multiim all", answers=(1,)))
    seeds.append(seed(NAME + "multiim all", answers=(2,)))
    seeds.append(seed(NAME + "hide all", oom=5))
    seeds.append(seed(NAME + "hide all", oom=1))
    seeds.append(seed(NAME + 'sendmessage aim "\u30bd\u3042"'))
    seeds.append(seed(NAME + 'sendmessage aim "\u0414\u043c\u0438\u0442\u0440\u0438\u0439"'))
    seeds.append(seed(NAME + 'sendmessage aim "J\U0001F600e \ud800x"'))
    # Containers named outside ASCII, told apart by name; titles with pairs
    # and unpaired surrogates.
    unicode_client = CLIENT + b"".join([
        top("frame", "\u0417\u0430\u0434\u0430\u0447\u0438"),  # 21 container
        child(21, "x", AIM_CYRILLIC),
        top("frame", WORK_CYRILLIC),                # 23 container
        child(23, "x", MSN),
        top("x", LONE), top("x", PAIR_AT_60), top("x", PAIR_AT_399), top("x", CYRILLIC_AT_399),
        top("x", EMOJI),
    ])
    for line in ("trans container 9 \u0420\u0430\u0431\u043e\u0442\u0430",
                 "hide container \u0440\u0430\u0431\u043e\u0442\u0430", "/windows",
                 "sendmessage aim \u0414\u043c\u0438\u0442\u0440\u0438\u0439"):
        seeds.append(seed(NAME + line, unicode_client))
    seeds.append(seed(NAME + "/windows", unicode_client, process=FILE))
    seeds.append(seed(NAME + "launch", b"", reg=registry(1, "C:\\\u0414\\q.exe /uninstal") +
                      registry(1, "C:\\\U0001F600\\u.exe")))
    seeds.append(seed(NAME + "/?", b"", program="C:\\Users\\\u0414\u043c\\dowtrane.exe"))
    # Entries of the current user and of the 64-bit view, with variables;
    # a shell that cannot start what they name.
    places = (registry(EXPAND + AT_USER, "%ProgramFiles%\\Quenvale\\quenvale.exe /uninstal") +
              registry(EXPAND + AT_MACHINE64, "%Long%\\Winamp\\UninstWA.exe"))
    for line in ("launch", "winamp"):
        seeds.append(seed(NAME + line, b"", reg=places))
        seeds.append(seed(NAME + line, b"", reg=places, process=NO_START))
        seeds.append(seed(NAME + line, b"", process=NO_START_UNKNOWN))
    seeds.append(seed(NAME + "sendmessage aim bob", flags=1))
    # The window list to a file, a pipe that fills, a console; the help file
    # here, beside a program whose path needs quotes, or by its bare name.
    seeds.append(seed(NAME + "/windows", process=FILE))
    seeds.append(seed(NAME + "/windows", process=PIPE, output_limit=300))
    seeds.append(seed(NAME + "/windows", process=CONSOLE))
    seeds.append(seed(NAME + "/windows", CLIENT * 3, process=FILE))
    seeds.append(seed(NAME + "/?", process=HELP_HERE))
    seeds.append(seed(NAME + "/?", b"", program="C:\\Tools,x\\dowtrane.exe"))
    seeds.append(seed(NAME + "/?", b"", program="C:\\" + "p" * 395 + "\\dowtrane.exe"))
    seeds.append(seed("dowtrane.exe", b"", program=""))
    # Hotkeys: a binding of the program's own, shortcuts of others, keys a
    # program holds, a layout that types with Ctrl+Alt, COM that fails; the
    # list and the messages to a file or a pipe.
    for line in ("/bind Ctrl+Alt+B togglebuddy", "/bind ctrl+alt+d top", "/bind Ctrl+Alt+H top",
                 "/bind Ctrl+Alt+E top", "/bind", "/unbind Ctrl+Alt+B", "/unbind Ctrl+Alt+D"):
        seeds.append(seed(NAME + line, b"", process=SHORTCUTS | HELD_KEYS | ALTGR))
    seeds.append(seed(NAME + "/bind", b"", process=SHORTCUTS | FILE))
    seeds.append(seed(NAME + "/bind", b"", process=SHORTCUTS | PIPE, output_limit=10))
    seeds.append(seed(NAME + "/bind Ctrl+Alt+E top", b"", process=ALTGR | FILE))
    seeds.append(seed(NAME + "/bind Ctrl+Alt+B top", b"", process=NO_COM))
    seeds.append(seed(NAME + "/bind", b"", process=SHORTCUTS, oom=1))
    seeds.append(seed(NAME + "/bind F2 top", b"", program=""))
    # Threads that hang or stall (late answers, busy, not answering) and
    # calendar jumps, at the first call or at a reading of the tick count.
    for line, scene in (("top", event(EVERY_CALL, 1, hang(0))),
                        ("togglebuddy", event(EVERY_CALL, 1, hang(2))),
                        ("winamp", event(EVERY_CALL, 1, stall(19, "command", 25000, True))),
                        ("winamp", event(EVERY_CALL, 1, hang(1))),
                        ("hide all", event(EVERY_CALL, 1, stall(3, "show", 25000))),
                        ("timestamp all on", event(EVERY_CALL, 1, stall(5, "command", 2000))),
                        ("dock left", event(EVERY_CALL, 1, stall(2, "", 1500, True))),
                        ("exit 3", event(TICKS, 2, jump(-3600)) + event(TICKS, 5, jump(7200))),
                        ("hide all", event(TICKS, 1, jump(-86400)) +
                         event(EVERY_CALL, 1, stall(0, "show", 3000)))):
        seeds.append(seed(NAME + line, CLIENT + scene))
    for s in seeds:
        name = hashlib.sha1(s).hexdigest()
        with open(os.path.join(out, name), "wb") as f:
            f.write(s)
    print(f"{len(seeds)} seeds in {out}")


if __name__ == "__main__":
    main()
