#!/usr/bin/env python3
"""Writes the seeds of the two structured fuzz targets into corpus/qmenu and
corpus/cust. Each seed is encoded the way qmenu_fuzz.cpp and cust_fuzz.cpp
decode their input, so that the fuzzer starts from a menu, a Menus folder and
a sequence of events that mean something. Run it again after changing either
decoder. (The other targets' seeds are plain files, kept as they are.)"""
import os

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'corpus')


def put(target, name, data):
    os.makedirs(os.path.join(CORPUS, target), exist_ok=True)
    with open(os.path.join(CORPUS, target, name), 'wb') as f:
        f.write(bytes(data))


class Writer:
    """The inverse of fuzz::Bytes."""

    def __init__(self):
        self.out = []

    def byte(self, v):
        self.out.append(v & 0xFF)

    def u16(self, v):
        self.byte(v)
        self.byte(v >> 8)

    def below(self, n, v):
        assert 0 <= v < n
        if n <= 256:
            self.byte(v)
        elif n <= 65536:
            self.u16(v)
        else:
            self.u16(v)
            self.byte(v >> 16)

    def bit(self, v):
        self.byte(1 if v else 0)

    def text(self, t, most):
        t = t.encode('latin-1')
        assert len(t) <= most
        self.byte(len(t))
        self.out.extend(t)

    def raw(self, values):
        for v in values:
            self.byte(v)


# ---- qmenu: metrics, records, events ------------------------------------------------

def qmenu(dpi, whole, screen, window, label_px, char_px, items, events):
    w = Writer()
    for _ in range(2):  # tppx, tppy
        w.below(385, dpi - 96)
        w.bit(whole)
    w.below(7680, screen[0] - 160)
    w.below(4320, screen[1] - 120)
    w.below(screen[0], window[0])
    w.below(screen[1], window[1])
    w.below(64, label_px - 1)
    w.below(12, char_px - 3)
    w.below(256, len(items))
    for item in items:
        if item == '-':
            w.byte(0)
        elif item == '|':
            w.byte(2)
        else:
            w.byte(4)
            w.text(item, 12)
    for arrow, op, args in events:
        w.bit(arrow == 'up')
        w.below(10, op)
        w.raw(args)
    return w.out


# Events as (arrow, operation, argument bytes). A point is a mode byte, then
# for a row of the page: the row, x at the captions (1), which y (1: middle).
def move_to_row(row):
    return (None, 0, [0, row, 1, 1])


def release_on_row(row):
    return (None, 1, [1, 0, row, 1, 1])


def arrow_press(arrow):
    return (arrow, 2, [])


def arrow_release(arrow):
    return (arrow, 3, [1, 1])


def arrow_move(arrow):
    return (arrow, 4, [0])


# 0 Esc, 1 Page Up, 2 Page Down, 3 End, 4 Home, 5 Up, 6 Down, 7 code 13
def key(index):
    return (None, 5, [index])


def char(code):
    return (None, 6, [128 + code])


def letter_of(row, upper=False):
    """The letter the row (0-based, below 64) starts with."""
    return (None, 6, [row + (64 if upper else 0)])


def tick(active, over):
    return (None, 7, [(1 if active else 0) | (8 if over else 0)])


def hide():
    return (None, 8, [])


def reopen_at(left):
    return (None, 9, [left & 0xFF, left >> 8])


def qmenu_seeds():
    two_pages = ['Notepad', 'Paint', '-', 'Calc', 'Notes', '|', 'Word', '-', '-', 'Excel']
    put('qmenu', 'two_pages_96dpi', qmenu(
        96, True, (1280, 1024), (200, 30), 13, 6, two_pages,
        [move_to_row(1), release_on_row(0), key(6), key(6), letter_of(2), key(2), key(5),
         arrow_move('down'), arrow_release('down'), arrow_press('up'), arrow_release('up'),
         tick(True, False), tick(True, True), letter_of(4, True), char(13), hide()]))

    sixty = ['Entry %d' % i for i in range(1, 61)]
    sixty[10:10] = ['-']
    put('qmenu', 'sixty_rows_small_screen', qmenu(
        120, True, (800, 600), (100, 40), 16, 7, sixty,
        [key(2), key(2), key(3), key(4), move_to_row(10), arrow_move('down'),
         arrow_press('down'), arrow_release('down'), key(6), key(5), char(ord('e')),
         char(ord('E')), char(32), char(127), tick(False, False)]))

    put('qmenu', 'empty_menu', qmenu(
        96, True, (1024, 768), (0, 0), 13, 6, [],
        [key(6), key(3), char(ord('a')), char(13), move_to_row(0), release_on_row(0),
         reopen_at(0)]))

    put('qmenu', 'breaker_runs_200dpi', qmenu(
        192, True, (2560, 1440), (2400, 1400), 32, 14,
        ['|', 'A', '|', '|', '-', 'B', '-', '|', '-', 'C', 'c2', '|'],
        [reopen_at(256), move_to_row(2), letter_of(2), letter_of(2, True), letter_of(2),
         key(0), tick(True, False)]))

    # A two-page menu opened at the right edge of a 288 dpi screen: narrowed
    # to its icon column, the window had no room left for the arrows.
    put('qmenu', 'narrow_window_arrows', qmenu(
        288, True, (1920, 1080), (1900, 20), 12, 5, ['Alpha', '|', 'Beta'],
        [arrow_release('down'), move_to_row(0)]))

    # Opened again at the right edge of a 100 dpi screen: the window, a whole
    # number of pixels, came out narrower than the captions' left edge, where
    # Enter used to release the highlighted row, so Enter ran nothing.
    put('qmenu', 'enter_in_narrow_window', qmenu(
        100, False, (1280, 1024), (300, 300), 9, 6, ['Notepad', 'Paint', 'Calc'],
        [reopen_at(18100), (None, 0, [0, 1, 0, 10, 0, 1]), key(7), char(13)]))


# ---- cust: the Menus folder, then steps ---------------------------------------------

TITLES = ["", "Notes", "A&B", "w" * 50, "L" * 64, "Menu Separator", "x y", " padded "]
PATHS = ["", "C:\\a.exe", "\\icons\\disk06.ico", "http", "MenuLineSeparator", "menubreaker",
         "New", "Button", "C:\\Missing\\gone.ico", "p" * 260, "q" * 270,
         "http:\\\\www.example.com\\x", "http://example.org", "C:\\Dir\\Shortcut to App.lnk"]


def title(w, t):
    if t in TITLES:
        w.bit(False)
        w.below(len(TITLES), TITLES.index(t))
    else:
        w.bit(True)
        w.text(t, 8)


def path(w, p):
    w.below(len(PATHS), PATHS.index(p))


def cust(menus, singles, extra, steps):
    w = Writer()
    w.below(5, len(menus))
    for menu in menus:
        title(w, menu[0])
        w.below(8, len(menu) - 1)
        for entry in menu[1:]:
            if entry == '-':
                w.below(6, 0)
            elif entry == '|':
                w.below(6, 1)
            else:
                w.below(6, 2)
                title(w, entry[0])
                path(w, entry[1])
                path(w, entry[2])
    w.below(4, len(singles))
    for single in singles:
        title(w, single[0])
        path(w, single[1])
        path(w, single[2])
    w.byte(extra)
    for step in steps:
        answers, op, args = step[0], step[1], step[2]
        w.byte(answers)
        if answers & FILE:
            w.raw(step[3])  # what the file dialog returns
        w.below(24, op)
        w.raw(args)
    return w.out


# The answers byte: the first two message boxes (0 Yes, 1 No, 2 Cancel) in
# its low bits; FILE: the file dialog returns the file choice that follows it,
# FOLDER: the folder dialog returns C:\Games.
YES, NO, CANCEL = 0, 1, 2
FILE, FOLDER = 16, 32
ONE_SHORTCUT = [0, 3]             # C:\Dir\Shortcut to App 3.lnk
THREE_FILES = [2, 0, 11, 12, 13]  # three files of C:\Dir
# Operations, as cust_fuzz.cpp numbers them. A node argument indexes the live
# node ids in order: 0 is "Menu Buttons", 1 the first menu button, 2 its first
# entry and so on, in the order the folder was read.
CLICK, RUN, KEYS, DRAG, BOXES, RENAME, MODULE, BROWSE, PICK = 0, 4, 7, 8, 10, 12, 13, 14, 15
EXPAND, TIMER, POPUP, UNDO, SAVE, CLOSE = 16, 17, 18, 19, 22, 23


def cust_seeds():
    menus = [('Tools', ('Notes', 'C:\\a.exe', 'C:\\a.exe'), '-',
              ('Web', 'http://example.org', 'http://example.org')),
             ('Games', '|', ('x y', '\\icons\\disk06.ico', 'C:\\a.exe'))]
    singles = [('Calc', 'C:\\a.exe', 'C:\\a.exe')]
    put('cust', 'edit_and_save', cust(menus, singles, 0, [
        (YES, CLICK, [1]),             # the first menu button
        (YES, EXPAND, [1, 1]),
        (YES, CLICK, [2]),             # its first entry
        (YES, BOXES, [7, 0, 1, 1, 2, 0]),  # type title, file and icon; Confirm
        (YES, RUN, [2]),               # Move Down
        (YES, 6, [4]),                 # toolbar "new"
        (YES, RUN, [12]),              # Delete, answered Yes
        (YES, UNDO, []),
        (YES, SAVE, []),
    ]))
    put('cust', 'cut_paste_drag', cust(menus, singles, 2, [
        (YES, CLICK, [2]), (YES, RUN, [9]),   # cut an entry
        (YES, CLICK, [6]), (YES, RUN, [11]),  # paste it elsewhere
        (YES, DRAG, [3, 1, 3, 6]),            # drag an entry onto another menu
        (YES, KEYS, [7, 2]),                  # Ctrl+C
        (YES, POPUP, [10]),                   # popup Paste
        (YES, RENAME, [1, 1, 0, 3]),
        (YES, SAVE, []),
    ]))
    put('cust', 'modules_and_dialogs', cust([('Tools',)], [], 0, [
        (YES, CLICK, [1]), (YES, MODULE, [1]), (YES, MODULE, [5]),
        (YES | FILE, BROWSE, [1], THREE_FILES), (YES | FOLDER, BROWSE, [0]),
        (YES | FILE, PICK, [0], ONE_SHORTCUT), (YES, PICK, [2]), (YES, PICK, [3, 2, 1]),
        (YES, TIMER, []), (NO, CLOSE, []), (YES, CLOSE, []),
    ]))
    put('cust', 'empty_folder', cust([], [], 1, [
        (YES, RUN, [3]), (YES, RUN, [5]), (YES, RUN, [7]), (YES, RUN, [8]), (YES, SAVE, [])]))
    put('cust', 'unreadable_menu', cust(menus, singles, 0xF0, [
        (YES, CLICK, [1]), (YES, SAVE, []), (CANCEL, CLOSE, [])]))


if __name__ == '__main__':
    qmenu_seeds()
    cust_seeds()
