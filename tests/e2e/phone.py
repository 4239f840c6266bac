"""Pages of the phone remote in Debian's chromium, driven by puppeteer-core through
tests/browser/phone-driver.mjs: one JSON request per line, one answer per line, each wait
bounded."""

import json
import os
import select
import shutil
import subprocess
import time

import harness

BROWSER_DIR = os.path.join(harness.ROOT, "tests", "browser")
DRIVER = os.path.join(BROWSER_DIR, "phone-driver.mjs")
CHROMIUM = "/usr/bin/chromium"


def missing_parts():
    """What the browser tests need and this machine lacks, in words (empty when nothing)."""
    missing = []
    if not shutil.which("node"):
        missing.append("node (Debian's nodejs)")
    if not os.path.exists(CHROMIUM):
        missing.append("chromium")
    if not os.path.isdir(os.path.join(BROWSER_DIR, "node_modules", "puppeteer-core")):
        missing.append("puppeteer-core (npm ci --prefix tests/browser)")
    return missing


class Browser:
    """One chromium with any number of pages, each named by an id."""

    def __init__(self, folder):
        self.log = open(os.path.join(folder, "browser.log"), "ab")
        env = {**os.environ, "HOME": folder}
        self.process = subprocess.Popen(["node", DRIVER], cwd=BROWSER_DIR, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self.log)
        self.buffer = b""
        ready = self._answer(60.0)
        if ready.get("value") != "ready":
            raise RuntimeError(f"the browser did not start: {ready}")

    def _answer(self, timeout):
        end = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = end - time.monotonic()
            if left <= 0:
                raise TimeoutError("no answer from the browser driver")
            readable, _, _ = select.select([self.process.stdout], [], [], left)
            if readable:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                if not chunk:
                    raise RuntimeError("the browser driver ended")
                self.buffer += chunk
        line, _, self.buffer = self.buffer.partition(b"\n")
        return json.loads(line)

    def call(self, op, timeout=30.0, **arguments):
        self.process.stdin.write((json.dumps({"op": op, **arguments}) + "\n").encode())
        self.process.stdin.flush()
        answer = self._answer(timeout)
        if not answer.get("ok"):
            raise RuntimeError(f"browser {op} failed: {answer.get('error')}")
        return answer.get("value")

    def open(self, page, url, width=390, height=844):
        self.call("open", id=page, url=url, width=width, height=height)

    def eval(self, page, js):
        return self.call("eval", id=page, js=js)

    def click(self, page, selector):
        self.call("click", id=page, sel=selector)

    def set_range(self, page, selector, value):
        self.call("setRange", id=page, sel=selector, value=value)

    def frames(self, page):
        return self.call("frames", id=page)

    def screenshot(self, page, path):
        self.call("screenshot", id=page, path=path)

    def close(self):
        if self.process.poll() is None:
            try:
                self.call("close", timeout=15.0)
            except (OSError, RuntimeError, TimeoutError):
                pass
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)
        self.process.stdin.close()
        self.process.stdout.close()
        self.log.close()


def labelled(label):
    """The CSS selector of the control or readout whose accessible name is `label`."""
    return f'[aria-label="{label}"]'


def text_of(label):
    """JavaScript that reads the text of the element named `label` ("" when there is none)."""
    return f"(document.querySelector({json.dumps(labelled(label))}) || {{textContent: ''}}).textContent"


def attribute_of(label, name):
    return f"(document.querySelector({json.dumps(labelled(label))}) || {{getAttribute: () => null}}).getAttribute({json.dumps(name)})"


def value_of(label):
    return f"Number(document.querySelector({json.dumps(labelled(label))}).value)"
