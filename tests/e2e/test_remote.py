"""The phone remote in a real browser: the program started with --remote, connected to a
simulated ZR440 on the virtual LAN, and pages of Debian's chromium opening the address it
prints.  What a page changes reaches the amplifier as the desktop would send it and shows on
the desktop; what the desktop changes shows on every page; a page without the right code
gets nothing."""

import os
import re
import shutil
import time
import unittest

import harness
import layout
import phone
import test_peq
from phone import attribute_of, labelled, text_of, value_of

PORT = 8080
URL_LINE = re.compile(r"Remote control: (http://192\.0\.2\.1:8080/#k=([0-9a-f]{32}))")
DOCS_SHOT = os.path.join(harness.ROOT, "docs", "remote-phone.png")

# The desktop's Parametric EQ page: band k's button on channel A's tab (the channel tabs at
# (0, 176) with a 30-pixel bar, the buttons at (84 + 80 k, 4, 68, 24) on the tab).
def filter_button(k):
    return layout.on_page(84 + 80 * k + 34, 176 + 30 + 4 + 12)


class RemoteTest(harness.ProgramTestCase):
    def setUp(self):
        super().setUp()
        missing = phone.missing_parts()
        if missing:
            self.fail("the browser test needs " + ", ".join(missing))
        self.program_args = [f"--remote={PORT}"]
        self.amplifier = self.start_connected_amplifier(preset=test_peq.PRESET, extra=("--moving",))
        self.browser = phone.Browser(self.home)
        self.addCleanup(self.browser.close)

        printed = harness.wait_for(lambda: URL_LINE.search(self.programs[-1].output()), 10.0)
        self.assertTrue(printed, "the program printed no address on the LAN:\n" + self.programs[-1].output())
        self.url, self.token = printed.group(1), printed.group(2)

    # --- pages ------------------------------------------------------------------------------
    def open_page(self, page):
        self.browser.open(page, self.url)
        welcomed = harness.wait_for(lambda: self.browser.eval(page, text_of("Amplifier name")) == "Stage Left", 10.0)
        self.assertTrue(welcomed, f"page {page} shows no amplifier: "
                                  f"{self.browser.eval(page, 'document.body.innerText')!r}")

    def wait_page(self, page, js, expected, what, timeout=5.0):
        value = harness.wait_for(lambda: self.browser.eval(page, js) == expected, timeout)
        self.assertTrue(value, f"{what}: page {page} shows {self.browser.eval(page, js)!r}, not {expected!r}")

    def heard_last(self, since, address, check, timeout=5.0):
        """Waits until the amplifier's last message to `address` since `since` passes `check`."""
        def last():
            heard = self.amplifier.heard(since, address=address)
            return heard[-1] if heard and check(heard[-1]) else None

        found = harness.wait_for(last, timeout)
        heard = self.amplifier.heard(since, address=address)
        self.assertTrue(found, f"the amplifier heard {heard[-3:]!r} on {address}")
        return found

    # --- the desktop ----------------------------------------------------------------------------
    def handle_column(self, shot, freq):
        """The column of the dotted line of a handle at `freq`, one pixel either side, or None."""
        for x in (test_peq.column_of(freq), test_peq.column_of(freq) - 1, test_peq.column_of(freq) + 1):
            dots = {shot.panel((x, test_peq.GRAPH[1] + y))
                    for y in range(test_peq.LINE_TOP, test_peq.LINE_TOP + 40, 2)}
            if len(dots) == 1 and dots <= {test_peq.GREY, test_peq.WHITE}:
                return x
        return None

    # ----------------------------------------------------------------------------------------------
    def test_pages_show_and_change_the_amplifier_as_the_desktop_does(self):
        self.open_page("p1")
        self.assertEqual(self.browser.eval("p1", text_of("Amplifier model")), "ZR440")
        self.assertEqual(self.browser.eval("p1", text_of("Amplifier connection")), "connected")

        # Moving meters, 20 frames a second or more.
        first = self.browser.frames("p1").get("meters", 0)
        levels = set()
        started = time.monotonic()
        while time.monotonic() - started < 2.0:
            levels.add(self.browser.eval("p1", attribute_of("Output meter A", "aria-valuenow")))
            time.sleep(0.1)
        rate = (self.browser.frames("p1").get("meters", 0) - first) / (time.monotonic() - started)
        self.assertGreaterEqual(rate, 20.0, "meter frames a second")
        self.assertGreaterEqual(len(levels), 3, f"the output meter A stood still: {levels}")

        shot = os.path.join(self.home, "remote-phone.png")
        self.browser.screenshot("p1", shot)
        if os.environ.get("ZR_REMOTE_DOCS") == "1":
            shutil.copyfile(shot, DOCS_SHOT)

        # A fader moved on the page reaches the amplifier as "/gain".
        since = self.amplifier.mark()
        self.browser.set_range("p1", labelled("Input gain A"), -20)
        self.heard_last(since, "/gain", lambda r: r.tags == "ffii" and r.args[0] == -20.0)

        # A second page shows the same, and what it changes shows on the first.
        self.open_page("p2")
        self.wait_page("p2", value_of("Input gain A"), -20, "gain A on the second page")
        since = self.amplifier.mark()
        self.browser.click("p2", labelled("Mute B"))
        self.heard_last(since, "/gain", lambda r: r.args[3] == 1)
        self.wait_page("p1", attribute_of("Mute B", "aria-pressed"), "true", "mute B on the first page")

        # A band's gain changed on the page reaches the amplifier as that band's block.
        self.browser.click("p1", "#tabEq")
        since = self.amplifier.mark()
        self.browser.set_range("p1", labelled("Band 3 gain A"), 4.5)
        self.heard_last(since, "/channel/1/peq/3", lambda r: r.tags == "sfff" and r.args[2] == 4.5)

        # Its frequency moves the desktop's handle: from 250 Hz to step 400, 2k00.
        self.click(test_peq.PEQ_TAB)
        self.park_mouse()
        self.assertIsNotNone(self.handle_column(self.screenshot("handle-before"), 250.0), "handle 3 is not at 250 Hz")
        since = self.amplifier.mark()
        self.browser.set_range("p1", labelled("Band 3 frequency A"), 400)
        sent = self.heard_last(since, "/channel/1/peq/3", lambda r: abs(r.args[1] - 2000.0) < 1.0)
        self.assertEqual(self.amplifier.heard(since, address="/channel/2/peq/3"), [], "channel B untouched")
        time.sleep(0.3)
        after = self.screenshot("handle-after")
        self.assertIsNotNone(self.handle_column(after, sent.args[1]), f"handle 3 is not at {sent.args[1]} Hz")
        self.assertIsNone(self.handle_column(after, 250.0), "handle 3 is still at 250 Hz")
        self.wait_page("p1", text_of("Band 3 frequency A value"), "2k00 Hz", "band 3's frequency")
        self.browser.screenshot("p1", os.path.join(self.home, "remote-phone-eq.png"))

        # A desktop edit shows on both pages: band 8's button clicked off on the desktop.
        self.assertEqual(self.browser.eval("p1", attribute_of("Band 8 on A", "aria-pressed")), "true")
        since = self.amplifier.mark()
        self.click(filter_button(7))
        self.park_mouse()
        self.heard_last(since, "/channel/1/peq/8", lambda r: r.args[0] == "OFF")
        self.wait_page("p1", attribute_of("Band 8 on A", "aria-pressed"), "false", "band 8 after the desktop's click")
        self.wait_page("p2", attribute_of("Band 8 on A", "aria-pressed"), "false", "band 8 on the second page")

        # A recall, confirmed on the page.
        self.browser.click("p2", "#tabPresets")
        self.browser.click("p2", labelled("Recall slot 2"))
        self.wait_page("p2", "document.getElementById('confirm').hidden", False, "the question")
        since = self.amplifier.mark()
        self.browser.click("p2", "#confirmYes")
        self.heard_last(since, "/preset/load", lambda r: r.args[0] == 2)

        self.assertEqual(self.browser.call("errors", id="p1") + self.browser.call("errors", id="p2"), [],
                         "script errors on the pages")

    def test_undo_and_redo_on_the_page_take_back_an_edit_on_every_page(self):
        self.open_page("p1")
        self.open_page("p2")
        undo_disabled = "document.getElementById('undo').disabled"
        redo_disabled = "document.getElementById('redo').disabled"
        self.wait_page("p1", undo_disabled, True, "Undo with nothing to take back")
        self.assertTrue(self.browser.eval("p1", redo_disabled))

        old = self.browser.eval("p1", value_of("Input gain A"))
        new = -20 if old != -20 else -30
        since = self.amplifier.mark()
        self.browser.set_range("p1", labelled("Input gain A"), new)
        self.heard_last(since, "/gain", lambda r: r.args[0] == new)
        # The step ends once the edit has been still for a moment; both pages may undo it.
        self.wait_page("p1", undo_disabled, False, "Undo after the edit")
        self.wait_page("p2", undo_disabled, False, "Undo on the second page")
        self.wait_page("p1", "document.getElementById('undo').title", "Undo: Input gain A", "Undo's tip")

        since = self.amplifier.mark()
        self.browser.click("p2", labelled("Undo"))
        self.heard_last(since, "/gain", lambda r: r.args[0] == old)
        self.wait_page("p1", value_of("Input gain A"), old, "gain A after the undo")
        for page in ("p1", "p2"):
            self.wait_page(page, undo_disabled, True, "Undo after the undo")
            self.wait_page(page, redo_disabled, False, "Redo after the undo")

        since = self.amplifier.mark()
        self.browser.click("p1", labelled("Redo"))
        self.heard_last(since, "/gain", lambda r: r.args[0] == new)
        self.wait_page("p2", redo_disabled, True, "Redo after the redo")

        # A/B: the other memory holds the gain from before the edit.
        since = self.amplifier.mark()
        self.browser.click("p1", labelled("A/B compare"))
        self.heard_last(since, "/gain", lambda r: r.args[0] == old)
        self.wait_page("p2", "document.getElementById('compare').dataset.memory", "B", "the memory in use")
        self.assertEqual(self.browser.eval("p2", attribute_of("Copy B onto A", "title")), "Copy B onto A")

        self.assertEqual(self.browser.call("errors", id="p1") + self.browser.call("errors", id="p2"), [],
                         "script errors on the pages")

    def test_a_page_with_a_wrong_code_gets_no_amplifier_data(self):
        wrong = self.url.replace(self.token, "0" * 32 if self.token != "0" * 32 else "1" * 32)
        self.browser.open("stranger", wrong)
        self.wait_page("stranger", "document.getElementById('gone').hidden", False, "the message")
        time.sleep(1.0)
        self.assertTrue(self.browser.eval("stranger", "document.getElementById('app').hidden"))
        self.assertEqual(self.browser.eval("stranger", text_of("Amplifier name")), "")
        self.assertNotIn("Stage Left", self.browser.eval("stranger", "document.body.innerText"))
        self.assertEqual(self.browser.frames("stranger"), {"bye": 1}, "frames the stranger received")

        # Without a code in the address at all, the page does not even connect.
        self.browser.open("nocode", self.url.split("#")[0])
        self.wait_page("nocode", "document.getElementById('gone').hidden", False, "the message")
        self.assertEqual(self.browser.frames("nocode"), {})


if __name__ == "__main__":
    unittest.main()
