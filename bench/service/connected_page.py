"""The page the service benchmarks measure from: examples/browser.html at
http://shop.test:PORT in headless Chromium, connected through pagewell.js
to the service under Wine (the global `pw` is ready when this yields)."""
import contextlib
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "service"))

from browser_test import headless_chromium  # noqa: E402
from service_client import Service, WineSession  # noqa: E402
from shop_server import start_shop  # noqa: E402


@contextlib.contextmanager
def connected_page(arch, service_exe, script_timeout):
    emulator = [os.path.join(ROOT, "scripts", "wine-run"), "--arch=" + arch]
    with tempfile.TemporaryDirectory() as temporary, WineSession(emulator) as session:
        shop, shop_port = start_shop(os.path.join(temporary, "uploads"))
        origin = "http://shop.test:%d" % shop_port
        try:
            with Service(session, service_exe, "--no-prompt", "--allow-origin", origin) as service:
                browser = headless_chromium(os.path.join(temporary, "profile"))
                try:
                    browser.get("%s/examples/browser.html?service=%d" % (origin, service.port))
                    browser.set_script_timeout(script_timeout)
                    browser.execute_async_script("var done = arguments[0];"
                                                 "(function wait() { pw ? done() : setTimeout(wait, 50); })();")
                    yield browser
                finally:
                    browser.quit()
        finally:
            shop.shutdown()
