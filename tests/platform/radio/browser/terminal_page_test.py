"""The terminal page in a real browser: headless Chromium, driven through
WebDriver, against the real gateway (`tervo`) on the demo configuration
with its demo host.

    terminal_page_test.py --tervo PATH --demo demo/warehouse.TVO [--tls-dir DIR]
                          [--screenshot FILE] [TestClass.test_name ...]

Each test starts its own gateway with --http-port 0 and opens the address
the gateway prints.  A person's way in: the keyboard for typing, the mouse
for the menu, the screen's key buttons for F3.  --screenshot saves the page
on a phone-sized window (360 x 740) after the sign-on.
"""

import argparse
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

try:
    from selenium import webdriver
    from selenium.common.exceptions import WebDriverException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:  # the message says what to install
    webdriver = None

ARGS = None
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


class Gateway:
    """The real gateway on a copy of the demo configuration."""

    def __init__(self, keys=None, tls=False):
        self.dir = tempfile.mkdtemp(prefix="tervo-browser-")
        shutil.copy(ARGS.demo, os.path.join(self.dir, "warehouse.TVO"))
        settings = os.path.join(self.dir, "settings.ini")
        with open(settings, "w") as f:
            f.write("[QuilComm]\n")
            if keys is not None:
                path = os.path.join(self.dir, "terminal-keys")
                fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
                with os.fdopen(fd, "w") as k:
                    k.write(keys)
                f.write("Security\\KeyFile=%s\n" % path)
            if tls:
                f.write("Security\\TlsCertificate=%s\n" % os.path.join(ARGS.tls_dir, "localhost.crt"))
                f.write("Security\\TlsKey=%s\n" % os.path.join(ARGS.tls_dir, "localhost.key"))
        self.err_path = os.path.join(self.dir, "gateway.err")
        self.err = open(self.err_path, "w")
        self.log_dir = os.path.join(self.dir, "log")
        self.proc = subprocess.Popen(
            [ARGS.tervo, "--headless", "--config", os.path.join(self.dir, "warehouse"),
             "--settings", settings, "--log-folder", self.log_dir,
             "--radio-address", "127.0.0.1:0", "--http-port", "0", "--sessions", "3"],
            stdout=subprocess.PIPE, stderr=self.err, stdin=subprocess.DEVNULL, text=True)
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            line = self.proc.stdout.readline()
            if "tervo: ready" in line:
                break
            if not line and self.proc.poll() is not None:
                raise RuntimeError("the gateway did not start: " + open(self.err_path).read())
        self.url = None
        with open(self.err_path) as f:
            for line in f:
                m = re.search(r"terminal page at (\S+)", line)
                if m:
                    self.url = m.group(1)
        if not self.url:
            raise RuntimeError("the gateway did not print its page: " + open(self.err_path).read())
        self.port = int(re.search(r":(\d+)/$", self.url).group(1))

    def log_text(self):
        text = ""
        if os.path.isdir(self.log_dir):
            for name in os.listdir(self.log_dir):
                with open(os.path.join(self.log_dir, name), encoding="latin-1") as f:
                    text += f.read()
        return text

    def stop(self):
        """Stops the gateway as a service stop does; returns its exit code and
        what it wrote on standard error."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(60)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.err.close()
        with open(self.err_path, errors="replace") as f:
            err = f.read()
        shutil.rmtree(self.dir, ignore_errors=True)
        return self.proc.returncode, err


class CuttableProxy:
    """Forwards a local port to the gateway's HTTP port; cut() drops every
    connection under way, as a radio drop-out or a Wi-Fi roam does."""

    def __init__(self, target_port):
        self.target = target_port
        self.server = socket.socket()
        self.server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(16)
        self.port = self.server.getsockname()[1]
        self.open = []
        self.lock = threading.Lock()
        self.running = True
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        while self.running:
            try:
                client, _ = self.server.accept()
            except OSError:
                return
            upstream = socket.create_connection(("127.0.0.1", self.target))
            with self.lock:
                self.open += [client, upstream]
            for a, b in ((client, upstream), (upstream, client)):
                threading.Thread(target=self.pipe, args=(a, b), daemon=True).start()

    @staticmethod
    def pipe(a, b):
        try:
            while True:
                data = a.recv(65536)
                if not data:
                    break
                b.sendall(data)
        except OSError:
            pass
        for s in (a, b):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def cut(self):
        with self.lock:
            sockets, self.open = self.open, []
        # shutdown wakes the threads that wait in recv; close alone would not.
        for s in sockets:
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            s.close()

    def stop(self):
        self.running = False
        self.cut()
        self.server.close()


def browser(phone=False):
    opts = webdriver.ChromeOptions()
    opts.binary_location = CHROMIUM
    for a in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
              "--disable-background-networking", "--disable-component-update", "--disable-sync",
              "--disable-dev-shm-usage", "--user-data-dir=" + tempfile.mkdtemp(prefix="tervo-chromium-")]:
        opts.add_argument(a)
    if phone:
        opts.add_experimental_option("mobileEmulation", {
            "deviceMetrics": {"width": 360, "height": 740, "pixelRatio": 2.0, "touch": True}})
    else:
        opts.add_argument("--window-size=1100,900")
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=opts)


class PageTest(unittest.TestCase):
    keys = None

    def setUp(self):
        if webdriver is None or not os.path.exists(CHROMIUM) or not os.path.exists(CHROMEDRIVER):
            self.fail("the browser tests need chromium, chromium-driver and python3-selenium "
                      "(scripts/install-deps.sh installs them)")
        self.gateway = Gateway(keys=self.keys)
        self.browsers = []
        self.proxy = None

    def tearDown(self):
        for b in self.browsers:
            try:
                b.quit()
            except WebDriverException:
                pass
        if self.proxy:
            self.proxy.stop()
        log = self.gateway.log_text()
        code, err = self.gateway.stop()
        # The access key is a secret: never in the gateway's log.
        self.assertNotIn("warehouse-2-secret", log)
        # A clean stop, with nothing for a sanitizer to say (the tests run
        # against the sanitized build too).
        for fault in ("AddressSanitizer", "LeakSanitizer", "runtime error"):
            self.assertNotIn(fault, err)
        self.assertEqual(code, 0, err[-2000:])

    # --- helpers

    def open(self, url=None, phone=False):
        b = browser(phone)
        self.browsers.append(b)
        b.get(url or self.gateway.url)
        return b

    def wait(self, b, what, cond, seconds=15):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                if cond():
                    return
            except WebDriverException:
                pass
            time.sleep(0.05)
        self.fail("waited for %s; the page shows:\n%s\nstate: %s" % (
            what, self.screen(b), b.find_element(By.TAG_NAME, "body").get_attribute("data-state")))

    def screen(self, b):
        return b.find_element(By.ID, "screen").text

    def wait_screen(self, b, text, seconds=15):
        self.wait(b, repr(text), lambda: text in self.screen(b), seconds)

    def state(self, b):
        return b.find_element(By.TAG_NAME, "body").get_attribute("data-state")

    def sequence(self, b):
        return b.find_element(By.ID, "screen").get_attribute("data-sequence")

    def wait_next(self, b, before, text):
        """Waits for a screen after `before` that shows text."""
        self.wait(b, "a new screen with " + repr(text),
                  lambda: self.sequence(b) != before and text in self.screen(b))

    def focused_label(self, b):
        return b.switch_to.active_element.get_attribute("aria-label") or ""

    def type_slowly(self, b, text):
        """As a person types: a scanner's speed would make Enter send."""
        for ch in text:
            b.switch_to.active_element.send_keys(ch)
            time.sleep(0.09)

    def enter_id(self, b, terminal):
        self.wait(b, "the question for the terminal id",
                  lambda: b.find_element(By.ID, "setup-id").is_displayed())
        b.find_element(By.ID, "setup-id").send_keys(terminal + Keys.ENTER)

    def sign_on(self, b, terminal):
        self.enter_id(b, terminal)
        self.wait_screen(b, "Sign On", 30)
        self.wait(b, "the cursor in User", lambda: self.focused_label(b) == "User")
        self.type_slowly(b, "alice")
        b.switch_to.active_element.send_keys(Keys.TAB)
        self.assertEqual(self.focused_label(b), "Password")
        # Hidden: drawn as dots, and no password field a browser would offer
        # to keep.
        field = b.switch_to.active_element
        self.assertEqual(field.get_attribute("type"), "text")
        self.assertEqual(b.execute_script(
            "return getComputedStyle(arguments[0]).webkitTextSecurity", field), "disc")
        before = self.sequence(b)
        self.type_slowly(b, "secret")
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait_next(b, before, "Main Menu")

    def tap(self, b, text):
        for node in b.find_elements(By.CSS_SELECTOR, "#screen .prompt"):
            if text in node.text:
                node.click()
                return
        self.fail("no item %r on the screen:\n%s" % (text, self.screen(b)))

    def key(self, b, name):
        b.find_element(By.CSS_SELECTOR, '#keys [data-key="%s"]' % name).click()


class TerminalPage(PageTest):

    def test_sign_on_menu_inquiry_error_and_sign_off(self):
        b = self.open()
        self.sign_on(b, "T2")
        self.assertEqual(self.state(b), "connected")
        # The legend's F3 and F4 are labelled on their buttons.
        self.assertIn("Exit", b.find_element(By.CSS_SELECTOR, '#keys [data-key="F3"]').text)

        # A menu item by tap.
        before = self.sequence(b)
        self.tap(b, "3. Item inquiry")
        self.wait_next(b, before, "Item Inquiry")
        self.assertEqual(self.focused_label(b), "Item")

        # An item looked up with the keyboard.
        before = self.sequence(b)
        self.type_slowly(b, "100234")
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait_next(b, before, "Pallet wrap")

        # F3 on the screen's key button: back to the menu.
        before = self.sequence(b)
        self.key(b, "F3")
        self.wait_next(b, before, "Main Menu")

        # A menu item by number.
        before = self.sequence(b)
        self.type_slowly(b, "3")
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait_next(b, before, "Item Inquiry")

        # The host's error line: the error page waits for a key, then the
        # screen comes back.  (The inquiry shows the last item again: it is
        # typed over.)
        before = self.sequence(b)
        b.switch_to.active_element.send_keys(Keys.CONTROL, "a")
        self.type_slowly(b, "999999")
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait_next(b, before, "ERRO")
        self.assertIn("999999 is not on", self.screen(b).replace("\n", ""))
        self.assertTrue(b.find_element(By.ID, "wait").is_displayed())
        b.switch_to.active_element.send_keys("x")
        self.wait(b, "the screen after the error page",
                  lambda: "Item Inquiry" in self.screen(b) and "ERRO" not in self.screen(b))

        # Back to the menu on the F3 button.
        before = self.sequence(b)
        self.key(b, "F3")
        self.wait_next(b, before, "Main Menu")

        # Sign off from the menu: the session ends and the terminal starts
        # over with the sign-on screen.
        before = self.sequence(b)
        self.tap(b, "90. Sign off")
        self.wait(b, "the sign-off", lambda: self.sequence(b) != before)
        self.wait(b, "the sign-on screen again",
                  lambda: "Sign On" in self.screen(b) or b.find_element(By.ID, "wait").is_displayed(), 30)
        if b.find_element(By.ID, "wait").is_displayed():
            b.switch_to.active_element.send_keys("x")
        self.wait_screen(b, "Sign On", 30)

    def test_a_scan_sends_at_once(self):
        b = self.open()
        self.sign_on(b, "T1")
        before = self.sequence(b)
        self.type_slowly(b, "3")
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait_next(b, before, "Item Inquiry")
        # A scanner types the whole code and Enter in one burst (keyboard
        # wedge): it lands in the focused input and sends.
        before = self.sequence(b)
        b.switch_to.active_element.send_keys("200127" + Keys.ENTER)
        self.wait_next(b, before, "Hand pallet")
        # The focus goes back to the input the screen waits for after a tap
        # beside the screen (the page gives it back once the tap's own
        # focus change is done, so wait for it).
        b.find_element(By.ID, "battery").click()
        self.wait(b, "the focus back in the input",
                  lambda: (b.switch_to.active_element.get_attribute("class") or "") in
                  ("field", "prompt cursor"), 5)

    def test_second_browser_takes_over(self):
        first = self.open()
        self.sign_on(first, "T1")
        second = self.open()
        self.enter_id(second, "T1")
        self.wait(first, "the first page told it was taken over",
                  lambda: first.find_element(By.ID, "refusal").is_displayed()
                  and "TAKEN OVER" in first.find_element(By.ID, "refusal-title").text)
        self.wait_screen(second, "Sign On", 30)
        self.assertEqual(self.state(second), "connected")
        # The first page does not come back by itself.
        time.sleep(3)
        self.assertEqual(self.state(first), "refused")
        self.assertEqual(self.state(second), "connected")

    def test_an_id_not_served(self):
        b = self.open()
        self.enter_id(b, "T9")
        self.wait(b, "the refusal", lambda: b.find_element(By.ID, "refusal").is_displayed())
        self.assertEqual(b.find_element(By.ID, "refusal-title").text, "TERM ID NOT DEFINED")
        # Another id from the same page.
        b.find_element(By.ID, "refusal-change").click()
        field = b.find_element(By.ID, "setup-id")
        field.clear()
        field.send_keys("T3" + Keys.ENTER)
        self.wait_screen(b, "Sign On", 30)

    def test_a_dropped_connection_comes_back_to_the_same_screen(self):
        self.proxy = CuttableProxy(self.gateway.port)
        b = self.open("http://127.0.0.1:%d/" % self.proxy.port)
        self.sign_on(b, "T2")
        before = self.sequence(b)
        self.tap(b, "3. Item inquiry")
        self.wait_next(b, before, "Item Inquiry")
        shown = self.sequence(b)
        self.type_slowly(b, "100311")

        self.proxy.cut()
        self.wait(b, "the lost connection shown", lambda: self.state(b) == "reconnecting")
        self.assertIn("again in", b.find_element(By.ID, "state").text)
        # Enter while the connection is away sends nothing; what was typed stays.
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait(b, "the page back", lambda: self.state(b) == "connected", 30)
        self.wait(b, "the same screen", lambda: self.sequence(b) == shown and "Item Inquiry" in self.screen(b))
        value = b.find_element(By.CSS_SELECTOR, "#screen input.field").get_attribute("value")
        self.assertEqual(value, "100311")
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait_next(b, shown, "Carton, double")
        # One answer reached the gateway: none was refused as a repeat.
        time.sleep(0.5)
        self.assertNotIn("ANSWER from terminal T2 refused", self.gateway.log_text())

    def test_phone_screenshot(self):
        b = self.open(phone=True)
        self.sign_on(b, "T2")
        before = self.sequence(b)
        self.tap(b, "3. Item inquiry")
        self.wait_next(b, before, "Item Inquiry")
        before = self.sequence(b)
        self.type_slowly(b, "100234")
        b.switch_to.active_element.send_keys(Keys.ENTER)
        self.wait_next(b, before, "Pallet wrap")
        # The screen's 20 columns fit the phone's width without scrolling sideways.
        width = b.execute_script("return document.documentElement.scrollWidth")
        self.assertLessEqual(width, 360)
        if ARGS.screenshot:
            b.save_screenshot(ARGS.screenshot)


SITE_KEY = "warehouse-2-secret-0123456789"


class AccessKey(PageTest):
    # The site-wide secret of the key file is the access key a browser gives.
    keys = "# browsers\n* = %s\n" % SITE_KEY

    def test_the_key_is_asked_once_and_proved(self):
        b = self.open()
        self.enter_id(b, "T1")
        self.wait(b, "the question for the access key",
                  lambda: b.find_element(By.ID, "setup-key").is_displayed())
        b.find_element(By.ID, "setup-key").send_keys("not-the-key" + Keys.ENTER)
        self.wait(b, "the wrong key refused",
                  lambda: b.find_element(By.ID, "setup-key").is_displayed()
                  and "not accepted" in b.find_element(By.ID, "setup-message").text)
        b.find_element(By.ID, "setup-key").send_keys(SITE_KEY + Keys.ENTER)
        self.wait_screen(b, "Sign On", 30)
        # Kept on the device: a reload gets in without asking.
        b.refresh()
        self.wait(b, "the page back", lambda: self.state(b) == "connected", 30)
        self.assertFalse(b.find_element(By.ID, "setup").is_displayed())
        self.assertIn("authenticated", self.gateway.log_text())


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--tervo", required=True)
    parser.add_argument("--demo", required=True)
    parser.add_argument("--tls-dir")
    parser.add_argument("--screenshot")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
