"""End-to-end tests of the settings dialog ("Setup") and the pop-up size
window ("Test Window") on the real program."""

import time

from cases import TITLE, VK_CONTROL, VK_MENU, VK_Q, LBL_HOTKEY, hotkey_windows, no_hotkey_then_hotkey

SETUP, TEST_WINDOW = "Setup", "Test Window"
CMD_SETUP = 111
# Controls of the settings dialog.
CHECK1, TXT_LETTER, CHECK2, COMMAND4, LABEL4, LABEL5, CANCEL, APPLY = 104, 112, 117, 118, 122, 123, 130, 131
# Controls of the pop-up size window.
SIZE_CANCEL, SIZE_APPLY = 101, 102
VK_TAB, VK_END, VK_BACK, VK_5, VK_K = 9, 35, 8, 0x35, 0x4B


def open_setup(c):
    c.probe("click", TITLE, CMD_SETUP)
    c.require(c.probe("visible", SETUP, 10000)[0] == 0, "Setup opens the settings dialog")


def focused(c, title):
    rc, r = c.probe("focused", title)
    return int(r["id"][0]) if rc == 0 and "id" in r else None


def t_setup_hotkey_letter(c):
    hwnd, acted, kept, other = hotkey_windows(c)
    open_setup(c)
    c.equal("one settings dialog", 1, len(c.windows(SETUP)))
    c.check(c.wait_for(lambda: focused(c, SETUP) == APPLY, 3), "the keyboard focus starts on Apply", APPLY,
            focused(c, SETUP))
    # Tab goes Apply, Cancel, then the start-up box.
    c.probe("key", "tap", VK_TAB)
    c.check(c.wait_for(lambda: focused(c, SETUP) == CANCEL, 3), "Tab: Cancel next", CANCEL, focused(c, SETUP))
    c.probe("key", "tap", VK_TAB)
    c.check(c.wait_for(lambda: focused(c, SETUP) == CHECK1, 3), "Tab: then the start-up box", CHECK1,
            focused(c, SETUP))
    c.equal("the letter box shows the stored letter", b"Q", c.ctl_of(SETUP, TXT_LETTER).get("text"))

    # Typed for real: a digit empties the box, a small letter shows as a capital.
    c.probe("press", SETUP, TXT_LETTER)
    c.probe("key", "tap", VK_END)
    c.probe("key", "tap", VK_BACK)
    c.probe("key", "tap", VK_5)
    c.check(c.wait_for(lambda: c.ctl_of(SETUP, TXT_LETTER).get("text") == b"", 3), "a typed 5 empties the box",
            b"", c.ctl_of(SETUP, TXT_LETTER).get("text"))
    c.probe("key", "tap", VK_K)
    c.check(c.wait_for(lambda: c.ctl_of(SETUP, TXT_LETTER).get("text") == b"K", 3),
            "a typed k shows as K", b"K", c.ctl_of(SETUP, TXT_LETTER).get("text"))

    c.probe("click", SETUP, APPLY)
    c.check(c.wait_for(lambda: c.probe("find", SETUP)[0] != 0, 5), "Apply closes the dialog")
    c.equal("hotkey.cfg holds the new letter", b"K\r\n", c.read("hotkey.cfg"))
    c.equal("the main window shows the new hotkey", b"Hotkey: Ctrl+Alt+K", c.text(LBL_HOTKEY))

    c.probe("foreground", TITLE)
    no_hotkey_then_hotkey(c, acted, kept, (VK_CONTROL, VK_MENU, VK_Q), (VK_CONTROL, VK_MENU, VK_K),
                          "Ctrl+Alt+Q, no longer the hotkey,", "Ctrl+Alt+K")
    c.exit_by_button()


def t_popup_size_window(c):
    c.write("popup.cfg", b"enabled\r\n 640 \r\n 480 \r\nclose\r\n")
    c.start_and_wait()
    open_setup(c)
    c.equal("pop-up action ticked from popup.cfg", 1, c.ctl_of(SETUP, CHECK2).get("check"))
    c.equal("the dialog shows the stored width", b"Width:  640", c.ctl_of(SETUP, LABEL4).get("text"))
    c.probe("click", SETUP, COMMAND4)
    c.require(c.probe("visible", TEST_WINDOW, 10000)[0] == 0, "Settings opens the test window")
    w = c.wait_for(lambda: (c.windows(TEST_WINDOW) or [{}])[0].get("rect") == "200,150,840,630", 5)
    c.check(w, "the test window opens at 200,150 with the stored outer size 640 x 480", "200,150,840,630",
            c.windows(TEST_WINDOW))

    # Resized from outside, as a user's drag does, then Apply.
    c.probe("move", TEST_WINDOW, 250, 200, 455, 333)
    time.sleep(0.3)
    c.probe("click", TEST_WINDOW, SIZE_APPLY)
    c.check(c.wait_for(lambda: c.probe("find", TEST_WINDOW)[0] != 0, 5), "Apply closes the test window")
    c.equal("the dialog shows the new width", b"Width:  455", c.ctl_of(SETUP, LABEL4).get("text"))
    c.equal("the dialog shows the new height", b"Height: 333", c.ctl_of(SETUP, LABEL5).get("text"))
    c.equal("nothing stored before the dialog's Apply", b"enabled\r\n 640 \r\n 480 \r\nclose\r\n", c.read("popup.cfg"))
    c.probe("click", SETUP, APPLY)
    c.check(c.wait_for(lambda: c.read("popup.cfg") == b"enabled\r\n 455 \r\n 333 \r\nclose\r\n", 5),
            "the dialog's Apply stores the new size", b"enabled\r\n 455 \r\n 333 \r\nclose\r\n", c.read("popup.cfg"))

    # Switched off, the Settings button cannot be pressed.
    open_setup(c)
    c.probe("click", SETUP, CHECK2)
    c.check(c.wait_for(lambda: c.ctl_of(SETUP, COMMAND4).get("enabled") == 0, 3),
            "clearing the pop-up action greys Settings", 0, c.ctl_of(SETUP, COMMAND4).get("enabled"))
    c.probe("click", SETUP, CANCEL)
    c.check(c.wait_for(lambda: c.probe("find", SETUP)[0] != 0, 5), "Cancel closes the dialog")
    c.equal("Cancel stores nothing", b"enabled\r\n 455 \r\n 333 \r\nclose\r\n", c.read("popup.cfg"))
    c.exit_by_button()


TESTS = {
    "setup_hotkey_letter": t_setup_hotkey_letter,
    "popup_size_window": t_popup_size_window,
}
LIMITS = {"setup_hotkey_letter": 120}
