#!/usr/bin/env python3
"""The service's main path in a real browser: headless Chromium opens
examples/browser.html at http://shop.test:PORT, which connects through
pagewell.js, scans the virtual feeder's three pages, shows their thumbnails
and uploads all pages as one PDF with fetch; then the page loses its
connection and reconnects.

browser_test.py --emulator "wine-run|--arch=win64" --service pagewell-service.exe
                [--artifacts FOLDER]
"""
import argparse
import os
import socket
import sys
import tempfile
import threading
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as DriverService
from selenium.webdriver.support.ui import WebDriverWait

from service_client import Service, WineSession
from shop_server import start_shop

ARGS = None


def headless_chromium(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--no-first-run",
                     "--window-size=1000,800", "--user-data-dir=" + profile,
                     "--host-resolver-rules=MAP shop.test 127.0.0.1"):
        options.add_argument(argument)
    return webdriver.Chrome(service=DriverService("/usr/bin/chromedriver"), options=options)


class BrowserPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temporary = tempfile.TemporaryDirectory()
        cls.uploads = os.path.join(cls.temporary.name, "uploads")
        cls.shop, cls.shop_port = start_shop(cls.uploads)
        cls.origin = "http://shop.test:%d" % cls.shop_port
        cls.service = Service(SESSION, ARGS.service, "--no-prompt", "--allow-origin", cls.origin)
        cls.service.__enter__()
        cls.browser = headless_chromium(os.path.join(cls.temporary.name, "profile"))

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.service.__exit__(None, None, None)
        cls.shop.shutdown()
        cls.temporary.cleanup()

    def test_scans_shows_and_uploads_then_survives_a_lost_connection(self):
        self.browser.get("%s/examples/browser.html?service=%d&auto=1" % (self.origin, self.service.port))
        WebDriverWait(self.browser, 120).until(lambda b: b.title == "done" or b.title.startswith("failed"))
        self.assertEqual(self.browser.title, "done", self.browser.find_element("id", "log").text)
        result = self.browser.execute_script("return window.demoResult")
        self.assertEqual(result["pages"], 3)
        self.assertEqual(result["events"], 3)  # OnAcquire, once per page, through pw.OnAcquire
        with open(os.path.join(self.uploads, "pages.pdf"), "rb") as received:
            pdf = received.read()
        self.assertEqual(len(pdf), result["uploaded"])
        self.assertTrue(pdf.startswith(b"%PDF-"))
        widths = self.browser.execute_script(
            "return Array.from(document.querySelectorAll('#thumbnails img')).map(i => i.naturalWidth)")
        self.assertEqual(widths, [160, 160, 160])
        if ARGS.artifacts:
            os.makedirs(ARGS.artifacts, exist_ok=True)
            self.browser.save_screenshot(os.path.join(ARGS.artifacts, "browser.png"))

        # The same library as an ES module.
        module = self.browser.execute_async_script("""
            var done = arguments[arguments.length - 1];
            import("/web/pagewell.mjs").then(function (m) {
              done(m.default === window.Pagewell && m.connect === window.Pagewell.connect);
            }, function (e) { done(e.message); });
        """)
        self.assertIs(module, True)

        lost = self.browser.execute_async_script("""
            var done = arguments[arguments.length - 1];
            var pending = pw.ImageCount;       // asked, then the connection goes
            pw.close();
            pending.then(function () { return "answered"; }, function (e) { return e.code; })
              .then(function (first) {
                return pw.ImageCount.then(function () { return [first, "answered"]; },
                                          function (e) { return [first, e.code]; });
              })
              .then(function (codes) {
                return pw.reconnect().then(function () { return pw.ImageCount; })
                  .then(function (count) { done(codes.concat([count])); });
              }).catch(function (e) { done(["error", e.message]); });
        """)
        # What was pending either got its answer first or was rejected
        # clearly; afterwards reads reject until reconnect, and the new
        # session starts empty.
        self.assertIn(lost[0], ("answered", "PAGEWELL_DISCONNECTED"))
        self.assertEqual(lost[1:], ["PAGEWELL_DISCONNECTED", 0])


class AnotherUsersServiceFirst(unittest.TestCase):
    """A terminal server: the default port is another user's service, which
    hangs up on this user's browser; connect() goes on to the next port."""

    DEFAULT_PORT = 47115

    @classmethod
    def setUpClass(cls):
        cls.temporary = tempfile.TemporaryDirectory()
        cls.shop, cls.shop_port = start_shop(os.path.join(cls.temporary.name, "uploads"))
        cls.origin = "http://shop.test:%d" % cls.shop_port
        cls.other_user = socket.socket()
        try:
            cls.other_user.bind(("127.0.0.1", cls.DEFAULT_PORT))
        except OSError:
            cls.other_user.close()
            cls.shop.shutdown()
            raise unittest.SkipTest("port %d is taken on this machine" % cls.DEFAULT_PORT)
        cls.other_user.listen(8)
        threading.Thread(target=cls.hang_up_on_everyone, daemon=True).start()
        cls.service = Service(SESSION, ARGS.service, "--no-prompt", "--allow-origin", cls.origin,
                              port=cls.DEFAULT_PORT + 1)
        cls.service.__enter__()
        cls.browser = headless_chromium(os.path.join(cls.temporary.name, "profile"))

    @classmethod
    def hang_up_on_everyone(cls):
        while True:
            try:
                connection, _ = cls.other_user.accept()
            except OSError:
                return
            connection.close()

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.service.__exit__(None, None, None)
        cls.other_user.close()
        cls.shop.shutdown()
        cls.temporary.cleanup()

    def test_connect_tries_the_session_ports_in_order(self):
        # The page connects with Pagewell.connect() and no port.
        self.browser.get("%s/examples/browser.html" % self.origin)
        WebDriverWait(self.browser, 60).until(
            lambda b: b.execute_script("return window.pw !== null") or b.title.startswith("failed"))
        self.assertFalse(self.browser.title.startswith("failed"), self.browser.title)
        answer = self.browser.execute_async_script("""
            var done = arguments[arguments.length - 1];
            pw.ImageCount.then(function (count) { done(["connected", count]); },
                               function (e) { done(["failed", e.code, e.message]); });
        """)
        self.assertEqual(answer, ["connected", 0])


def main():
    global ARGS, SESSION
    parser = argparse.ArgumentParser()
    parser.add_argument("--emulator", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--artifacts")
    ARGS, rest = parser.parse_known_args()
    with WineSession(ARGS.emulator.split("|")) as SESSION:
        unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
