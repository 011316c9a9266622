#!/usr/bin/env python3
"""The local service's safety, point by point, with raw clients.

security_test.py --emulator "wine-run|--arch=win64" --service pagewell-service.exe
                 --press-button press_button.exe --window-state window_state.exe

Runs the service under Wine twice: with --no-prompt, --minimized and one
allowed origin (Host and Origin checks, CORS, the session rules, broken
clients, the window kept out of the way until a page uses it), then asking
the user (the consent window, answered through the window as a person
would, and the machine policy in the registry).
"""
import argparse
import json
import sys
import threading
import unittest

from service_client import Service, WebSocket, WineSession, http_exchange, request

ARGS = None
ALLOWED = "http://shop.test:8000"
CONSENT_TITLE = "Pagewell: allow this website?"


def service_window_state():
    """How the service's own window is shown: "minimized", "normal" or "hidden"."""
    return SESSION.run(ARGS.window_state, "PagewellService").stdout.strip()


class WithoutPrompt(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.service = Service(SESSION, ARGS.service, "--no-prompt", "--allow-origin", ALLOWED, "--idle-seconds", "3",
                              "--minimized")
        cls.service.__enter__()
        cls.port = cls.service.port
        cls.window_at_start = service_window_state()  # before any test has opened a session

    @classmethod
    def tearDownClass(cls):
        cls.service.__exit__(None, None, None)

    def assert_refused(self, status, fields):
        self.assertEqual(status, 403)
        self.assertNotIn("access-control-allow-origin", fields)

    def test_requests_refused_before_anything_else(self):
        port = self.port
        good_host = "127.0.0.1:%d" % port
        cases = [
            ("wrong Host (DNS rebinding)", [("Host", "shop.test:%d" % port), ("Origin", ALLOWED)]),
            ("Host without the port", [("Host", "localhost"), ("Origin", ALLOWED)]),
            ("missing Origin", [("Host", good_host)]),
            ("null Origin", [("Host", good_host), ("Origin", "null")]),
            ("forged Origin", [("Host", good_host), ("Origin", "http://evil.test")]),
            ("look-alike Origin", [("Host", good_host), ("Origin", ALLOWED + ".evil.test")]),
        ]
        upgrade = [("Upgrade", "websocket"), ("Connection", "Upgrade"), ("Sec-WebSocket-Version", "13"),
                   ("Sec-WebSocket-Key", "dGhlIHNhbXBsZSBub25jZQ==")]
        for what, fields in cases:
            for method, extra in (("GET", upgrade), ("GET", []), ("OPTIONS", [])):
                with self.subTest(what=what, method=method, upgrade=bool(extra)):
                    self.assert_refused(*http_exchange(port, request(method, "/control" if extra else "/status",
                                                                     fields + extra))[:2])

    def test_a_simple_cross_site_post_changes_nothing(self):
        ws = WebSocket(self.port, ALLOWED)
        ws.ask("put", name="CustomText1", value="before")
        body = b'{"id":1,"op":"put","name":"CustomText1","value":"after"}'
        for origin, status in (("http://evil.test", 403), (ALLOWED, 405)):
            with self.subTest(origin=origin):
                answer = http_exchange(self.port, request("POST", "/control", [
                    ("Host", "127.0.0.1:%d" % self.port), ("Origin", origin), ("Content-Type", "text/plain"),
                    ("Content-Length", str(len(body)))], body))
                self.assertEqual(answer[0], status)
        self.assertEqual(ws.ask("get", name="CustomText1"), {"id": 2, "result": "before"})
        ws.close()

    def test_cors_names_the_origin_and_answers_private_network_preflights(self):
        host = ("Host", "localhost:%d" % self.port)
        status, fields, _ = http_exchange(self.port, request("OPTIONS", "/status", [
            host, ("Origin", ALLOWED), ("Access-Control-Request-Method", "GET"),
            ("Access-Control-Request-Private-Network", "true")]))
        self.assertEqual(status, 204)
        self.assertEqual(fields["access-control-allow-origin"], [ALLOWED])
        self.assertEqual(fields["access-control-allow-private-network"], ["true"])
        self.assertEqual(fields["access-control-allow-methods"], ["GET"])
        status, fields, body = http_exchange(self.port, request("GET", "/status", [host, ("Origin", ALLOWED)]))
        self.assertEqual(status, 200)
        self.assertEqual(fields["access-control-allow-origin"], [ALLOWED])
        self.assertEqual(json.loads(body)["service"], "Pagewell")

    def test_every_loopback_name_of_the_service(self):
        for host in ("127.0.0.1:%d", "localhost:%d", "[::1]:%d", "LOCALHOST:%d"):
            with self.subTest(host=host):
                status = http_exchange(self.port, request("GET", "/status", [("Host", host % self.port),
                                                                              ("Origin", ALLOWED)]))[0]
                self.assertEqual(status, 200)

    def test_members_by_name_from_the_type_library(self):
        ws = WebSocket(self.port, ALLOWED)
        self.assertEqual(ws.status, 101)
        members = ws.ask("members")["result"]
        self.assertEqual(members["properties"]["ImageCount"], "r")
        self.assertEqual(members["properties"]["Resolution"], "rw")
        self.assertEqual(members["methods"]["SetThumbnails"], 3)
        self.assertIn("OnAcquire", members["events"])
        self.assertEqual(ws.ask("get", name="ImageCount")["result"], 0)
        self.assertEqual(ws.ask("put", name="ThumbRows", value=2), {"id": 3, "result": None})
        self.assertEqual(ws.ask("get", name="ThumbRows")["result"], 2)
        self.assertEqual(ws.ask("call", name="SetThumbnails", args=[80, 100, 1]), {"id": 5, "result": None})
        self.assertIsInstance(ws.ask("call", name="HideElement", args=["NoSuchElement"])["result"], int)
        self.assertEqual(ws.ask("put", name="CustomText2", value="Grüße ✓")["result"], None)
        self.assertEqual(ws.ask("get", name="CustomText2")["result"], "Grüße ✓")
        errors = [ws.ask("get", name="NoSuchMember"), ws.ask("put", name="ImageCount", value=3),
                  ws.ask("call", name="SetThumbnails", args=[1]), ws.ask("call", name="Clear", args=[[1]])]
        for answer in errors:
            self.assertIn("error", answer)
        ws.close()

    def test_one_page_at_a_time(self):
        first = WebSocket(self.port, ALLOWED)
        first.ask("put", name="CustomText3", value="first page's")
        second = WebSocket(self.port, ALLOWED)
        self.assertEqual(second.status, 101)
        busy = second.receive_json()
        self.assertTrue(busy["busy"])
        self.assertIn("busy", busy["error"])
        self.assertEqual(second.close_code(), 1013)
        second.socket.close()
        self.assertEqual(first.ask("get", name="CustomText3")["result"], "first page's")
        first.close()
        third = WebSocket(self.port, ALLOWED)
        self.assertEqual(third.ask("get", name="ImageCount")["result"], 0)
        third.close()

    def test_broken_clients_end_only_their_own_connection(self):
        cases = [
            ("oversized frame", lambda ws: ws.send_frame(1, b" " * (64 * 1024 + 1)), 1009),
            ("malformed JSON", lambda ws: ws.send_frame(1, b'{"id":1,"op":'), 1007),
            ("unknown op", lambda ws: ws.send_json({"id": 1, "op": "eval", "name": "x"}), 1007),
            ("not UTF-8", lambda ws: ws.send_frame(1, b'"\xff"'), 1007),
            ("unmasked frame", lambda ws: ws.socket.sendall(b"\x81\x02{}"), 1002),
            ("binary from the page", lambda ws: ws.send_frame(2, b"\x00"), 1008),
        ]
        for what, breakage, code in cases:
            with self.subTest(what=what):
                ws = WebSocket(self.port, ALLOWED)
                breakage(ws)
                self.assertEqual(ws.close_code(), code)
                ws.socket.close()
                again = WebSocket(self.port, ALLOWED)
                self.assertEqual(again.ask("get", name="ImageCount")["result"], 0)
                again.close()

    def test_connection_lost_during_a_scan(self):
        ws = WebSocket(self.port, ALLOWED)
        ws.ask("put", name="DeviceName", value="Pagewell Virtual Feeder")
        ws.ask("put", name="UseInterface", value=False)
        ws.send_json({"id": 99, "op": "acquire"})
        self.assertEqual(ws.receive_json()["event"], "OnAcquire")  # the scan is under way
        ws.socket.close()
        # The next page waits for the scan to end, then starts empty, and
        # can scan again.
        again = WebSocket(self.port, ALLOWED)
        self.assertEqual(again.ask("get", name="DeviceName")["result"], "Pagewell Virtual Feeder")
        self.assertEqual(again.ask("get", name="ImageCount")["result"], 0)
        self.assertEqual(again.ask("acquire")["result"], True)
        self.assertEqual([e["event"] for e in again.events].count("OnAcquire"), 3)
        self.assertEqual(again.ask("get", name="ImageCount")["result"], 3)
        again.close()

    def test_minimized_window_comes_forward_with_a_session(self):
        self.assertEqual(self.window_at_start, "minimized")
        ws = WebSocket(self.port, ALLOWED)
        # Answered after the session's start has reached the window.
        self.assertEqual(ws.ask("get", name="ImageCount")["result"], 0)
        self.assertEqual(service_window_state(), "normal")
        ws.close()

    def test_idle_sessions_are_closed(self):
        ws = WebSocket(self.port, ALLOWED)
        self.assertEqual(ws.close_code(), 1001)  # after --idle-seconds 3 without a message
        ws.socket.close()


class AskingTheUser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        SESSION.run("reg", "delete", "HKCU\\Software\\Pagewell", "/f")
        SESSION.run("reg", "add", "HKLM\\SOFTWARE\\Pagewell", "/v", "AllowedOrigins", "/t", "REG_MULTI_SZ",
                    "/d", "https://other.test https://*.policy.test", "/f")
        cls.service = Service(SESSION, ARGS.service)
        cls.service.__enter__()
        cls.window_at_start = service_window_state()

    @classmethod
    def tearDownClass(cls):
        cls.service.__exit__(None, None, None)
        SESSION.run("reg", "delete", "HKCU\\Software\\Pagewell", "/f")
        SESSION.run("reg", "delete", "HKLM\\SOFTWARE\\Pagewell", "/f")

    def connect_answering(self, origin, button):
        """Connects while the test presses `button` in the consent window;
        returns (the WebSocket's status, the origin the window showed)."""
        result = {}
        thread = threading.Thread(target=lambda: result.update(ws=WebSocket(self.service.port, origin)))
        thread.start()
        pressed = SESSION.run(ARGS.press_button, CONSENT_TITLE, button, "30")
        thread.join(60)
        self.assertEqual(pressed.returncode, 0, pressed.stderr)
        ws = result["ws"]
        status = ws.status
        ws.close()
        return status, pressed.stdout.strip().splitlines()[-1]

    def no_window_comes(self):
        return SESSION.run(ARGS.press_button, CONSENT_TITLE, "Deny", "1").returncode == 1

    def test_consent_window_answered_each_way(self):
        denied = "http://pester.test"
        self.assertEqual(self.connect_answering(denied, "Deny"), (403, denied))
        # Denied stays denied for the run, without asking again.
        again = WebSocket(self.service.port, denied)
        self.assertEqual(again.status, 403)
        again.socket.close()
        self.assertTrue(self.no_window_comes())
        origin = "http://ask.test:8123"
        self.assertEqual(self.connect_answering(origin, "Allow once"), (101, origin))
        # Once means once: the next connection asks again.
        self.assertEqual(self.connect_answering(origin, "Always allow"), (101, origin))
        # Always is remembered for the user, without a window.
        ws = WebSocket(self.service.port, origin)
        self.assertEqual(ws.status, 101)
        ws.close()
        self.assertTrue(self.no_window_comes())

    def test_window_shown_at_start_without_minimized(self):
        self.assertEqual(self.window_at_start, "normal")

    def test_machine_policy_admits_its_subdomains_without_asking(self):
        # As the installer writes it: one string, origins separated by spaces.
        ws = WebSocket(self.service.port, "https://scan.policy.test")
        self.assertEqual(ws.status, 101)
        # The control's own site lock, under the same policy, lets the
        # service drive it.
        self.assertEqual(ws.ask("get", name="ImageCount")["result"], 0)
        ws.close()


def main():
    global ARGS, SESSION
    parser = argparse.ArgumentParser()
    parser.add_argument("--emulator", required=True, help="the cross-compiling emulator, words joined by |")
    parser.add_argument("--service", required=True)
    parser.add_argument("--press-button", required=True)
    parser.add_argument("--window-state", required=True)
    ARGS, rest = parser.parse_known_args()
    with WineSession(ARGS.emulator.split("|")) as SESSION:
        unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
