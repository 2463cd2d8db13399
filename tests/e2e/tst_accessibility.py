#!/usr/bin/python3
"""The application as a screen reader sees it over AT-SPI: every control of the main window has a role and a name,
and its actions work by name alone.

Run by CTest under scripts/test-services, with the program to test as the argument. Starts the accessibility bus on
the private session bus, a stand-in for the Gemini service on the loopback address, then the program with a data
folder of its own, set up already and holding one failed dictation and its recording, and asks it to show its
main window."""

import http.server
import json
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import uuid

import pyatspi

PROGRAM = sys.argv.pop(1) if len(sys.argv) > 1 else ""


def wait_for(find, seconds=15.0):
    """The first non-empty result of find() within the time, else None."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    return None


def showing(node, depth=0):
    """The accessible objects under node that are on screen, depth first."""
    for child in node:
        if child is None or depth > 20:
            continue
        if child.getState().contains(pyatspi.STATE_SHOWING):
            yield child
            yield from showing(child, depth + 1)


TRANSCRIPT = "Salom, bu qayta yozilgan matn"


class FakeGemini(http.server.BaseHTTPRequestHandler):
    """Answers every transcription with TRANSCRIPT a second later, so that the retry can be seen under way, and lists
    one model."""

    def do_GET(self):
        self.reply({"models": [{"name": "models/gemini-2.5-flash"}]})

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        time.sleep(1.0)
        self.reply({"candidates": [{"content": {"role": "model", "parts": [{"text": TRANSCRIPT}]},
                                    "finishReason": "STOP", "index": 0}]})

    def reply(self, body):
        data = json.dumps(body).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *arguments):
        pass


def set_up(folder):
    """Settings of a finished set-up, so that the program starts without its set-up window."""
    with open(os.path.join(folder, "config.json"), "w", encoding="utf-8") as file:
        json.dump({"onboardingDone": True}, file)


def keep_failed_dictation(folder):
    """A History with one dictation that failed offline, its spoken recording kept in the audio folder."""
    entry_id = str(uuid.uuid4()).upper()
    os.makedirs(os.path.join(folder, "audio"))
    subprocess.run(["espeak-ng", "-v", "en", "-w", os.path.join(folder, "audio", entry_id + ".wav"),
                    "Hello, this recording waits to be transcribed again."], check=True)
    entry = {"id": entry_id, "date": time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime()), "text": "", "duration": 3.1,
             "model": "gemini-2.5-flash", "source": "mac", "appName": "Firefox", "appID": "firefox",
             "status": "failed", "audioFile": entry_id + ".wav", "error": "No internet connection.", "offline": True}
    with open(os.path.join(folder, "history.json"), "w", encoding="utf-8") as file:
        json.dump({"entries": [entry]}, file)


class TestAccessibility(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # In a session of its own, so that the accessibility bus and registry it starts end with it.
        cls.launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                        start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.gemini = http.server.ThreadingHTTPServer(("127.0.0.1", 0), FakeGemini)
        threading.Thread(target=cls.gemini.serve_forever, daemon=True).start()
        cls.data = tempfile.TemporaryDirectory()
        set_up(cls.data.name)
        keep_failed_dictation(cls.data.name)
        environment = dict(os.environ, KAVO_DATA_DIR=cls.data.name, QT_QPA_PLATFORM="xcb", LANGUAGE="en",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", GEMINI_API_KEY="test-key",
                           KAVO_GEMINI_BASE_URL="http://127.0.0.1:%d" % cls.gemini.server_port)
        time.sleep(0.5)
        cls.application = subprocess.Popen([PROGRAM], env=environment)
        # The running program answers on the session bus once it is up.
        wait_for(lambda: subprocess.run([PROGRAM, "show"], env=environment, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL).returncode == 0)

    @classmethod
    def tearDownClass(cls):
        cls.application.terminate()
        cls.application.wait(10)
        os.killpg(cls.launcher.pid, signal.SIGTERM)
        cls.launcher.wait(10)
        cls.gemini.shutdown()
        cls.gemini.server_close()
        cls.data.cleanup()

    def window(self):
        def find():
            for application in pyatspi.Registry.getDesktop(0):
                if application is not None and application.name == "kavo-voice":
                    return next((frame for frame in application if frame and frame.name == "Kavo Voice"), None)
            return None
        window = wait_for(find)
        self.assertIsNotNone(window, "the main window does not show over AT-SPI")
        return window

    def controls(self):
        return [(node.getRoleName(), node.name) for node in showing(self.window())
                if node.getRoleName() in ("push button", "text", "list item", "page tab", "heading")]

    def press(self, name):
        node = next(node for node in showing(self.window()) if node.name == name)
        node.queryAction().doAction(0)

    def shown(self, name):
        return any(node.name == name for node in showing(self.window()))

    def heading(self):
        return next((node.name for node in showing(self.window()) if node.getRoleName() == "heading"), None)

    def test_controls_named_and_usable(self):
        controls = self.controls()
        for control in [("text", "Search"), ("push button", "Try it"), ("push button", "Settings")]:
            self.assertIn(control, controls)
        names = [name for _, name in controls]
        for name in ["History", "Notes", "Vocabulary", "From phone", "Meetings, Tez kunda"]:
            self.assertIn(name, names)
        self.assertNotIn("", names, "a control without a name")

        self.press("Notes")
        self.assertEqual(wait_for(lambda: self.heading() == "Notes" and self.heading()), "Notes")
        self.press("Settings")
        self.assertEqual(wait_for(lambda: self.heading() != "Notes" and self.heading()), "Settings · General")
        self.press("Close")
        self.assertEqual(wait_for(lambda: self.heading() == "Notes" and self.heading()), "Notes")

    def test_retry_a_failed_dictation(self):
        self.press("History")
        self.assertTrue(wait_for(lambda: self.shown("No internet — not transcribed")))
        self.press("Retry")
        self.assertTrue(wait_for(lambda: self.shown("Transcribing again…"), 5))
        self.assertTrue(wait_for(lambda: self.shown(TRANSCRIPT)), "the transcript did not replace the audio box")
        self.assertFalse(self.shown("Retry"))
        with open(os.path.join(self.data.name, "history.json"), encoding="utf-8") as file:
            history = json.load(file)
        self.assertEqual([(entry["status"], entry["text"]) for entry in history["entries"]], [("done", TRANSCRIPT)])


if __name__ == "__main__":
    unittest.main()
