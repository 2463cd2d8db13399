#!/usr/bin/python3
"""The application as a screen reader sees it over AT-SPI: every control of its windows has a role and a name, and
its actions work by name alone.

Run by CTest under scripts/test-services, with the program to test as the argument. Starts the accessibility bus on
the private session bus and a stand-in for the Gemini service on the loopback address. The main window's test runs
the program with a data folder set up already, holding one failed dictation and its recording; the set-up test runs
it as a new user does, with no data at all, and walks its set-up window to a first dictation spoken into the
virtual microphone."""

import ctypes
import fcntl
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
import wave

import pyatspi

PROGRAM = sys.argv.pop(1) if len(sys.argv) > 1 else ""
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


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


INTERACTIVE = ("push button", "toggle button", "check box", "radio button", "combo box", "text", "password text",
               "list item", "page tab", "menu item", "slider", "spin button", "link")
TRANSCRIPT = "Salom, bu qayta yozilgan matn"
GOOD_KEY = "goodkey123"


class FakeGemini(http.server.BaseHTTPRequestHandler):
    """Answers every transcription with TRANSCRIPT a second later, so that a transcription can be seen under way,
    and lists one model; a key other than GOOD_KEY is refused as the service refuses it."""

    def do_GET(self):
        if self.refused():
            return
        self.reply({"models": [{"name": "models/gemini-2.5-flash"}]})

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if self.refused():
            return
        time.sleep(1.0)
        self.reply({"candidates": [{"content": {"role": "model", "parts": [{"text": TRANSCRIPT}]},
                                    "finishReason": "STOP", "index": 0}]})

    def refused(self):
        if self.headers.get("x-goog-api-key") == GOOD_KEY:
            return False
        self.reply({"error": {"code": 400, "message": "API key not valid. Please pass a valid API key.",
                              "status": "INVALID_ARGUMENT"}}, 400)
        return True

    def reply(self, body, status=200):
        data = json.dumps(body).encode()
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *arguments):
        pass


class Keyboard:
    """Keys pressed as the user's keyboard would press them, through the X server's XTEST extension; the pointer
    moves the same way, since without a window manager the X input focus follows it."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtest = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                    ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        assert self.display, "cannot open the X display"

    def close(self):
        self.x11.XCloseDisplay(self.display)

    def keys(self, names, press):
        """Presses (or releases) the keys of these X key names, in order."""
        for name in names:
            code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
            self.xtest.XTestFakeKeyEvent(self.display, code, press, 0)
        self.x11.XFlush(self.display)

    def type(self, text):
        for character in text:
            self.keys([character], True)
            self.keys([character], False)

    def point_at(self, x, y):
        self.xtest.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x11.XFlush(self.display)


class Lock:
    """One of the test services' locks that the C++ tests take too: the virtual microphone, or the keyboard."""

    def __init__(self, path):
        self.file = open(path, "a")
        fcntl.flock(self.file, fcntl.LOCK_EX)

    def release(self):
        self.file.close()


def speak_into_microphone(text, stop):
    """Plays spoken text into the virtual microphone in 20 ms chunks at the pace of a real one, then silence until
    stop is set."""
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "speech.wav")
        subprocess.run([os.path.join(ROOT, "scripts", "make-speech-wav"), path, text], check=True)
        with wave.open(path) as speech:
            samples = speech.readframes(speech.getnframes())
    chunk = 640
    with open(os.environ["KAVO_TEST_MIC_FIFO"], "wb", buffering=0) as fifo:
        start = time.monotonic()
        sent = 0
        while not stop.is_set():
            piece = samples[sent:sent + chunk] or bytes(chunk)
            fifo.write(piece.ljust(chunk, b"\0"))
            sent += chunk
            time.sleep(max(0.0, start + sent / 32000 - time.monotonic()))


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


def setUpModule():
    global LAUNCHER, GEMINI
    # In a session of its own, so that the accessibility bus and registry it starts end with it.
    LAUNCHER = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    GEMINI = http.server.ThreadingHTTPServer(("127.0.0.1", 0), FakeGemini)
    threading.Thread(target=GEMINI.serve_forever, daemon=True).start()
    time.sleep(0.5)


def tearDownModule():
    os.killpg(LAUNCHER.pid, signal.SIGTERM)
    LAUNCHER.wait(10)
    GEMINI.shutdown()
    GEMINI.server_close()


class ProgramTest(unittest.TestCase):
    """The program running with a data folder of its own, and its windows as AT-SPI shows them."""

    @classmethod
    def start(cls, prepare, **variables):
        cls.data = tempfile.TemporaryDirectory()
        prepare(cls.data.name)
        inherited = {name: value for name, value in os.environ.items() if name != "GEMINI_API_KEY"}
        cls.environment = dict(inherited, KAVO_DATA_DIR=cls.data.name, QT_QPA_PLATFORM="xcb", LANGUAGE="en",
                               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                               KAVO_GEMINI_BASE_URL="http://127.0.0.1:%d" % GEMINI.server_port, **variables)
        cls.application = subprocess.Popen([PROGRAM], env=cls.environment)

    @classmethod
    def tearDownClass(cls):
        cls.application.terminate()
        cls.application.wait(10)
        cls.data.cleanup()

    def window(self, heading=None):
        """The program's window called "Kavo Voice"; with a heading, the one that shows it."""
        def find():
            for application in pyatspi.Registry.getDesktop(0):
                if application is None or application.name != "kavo-voice":
                    continue
                for frame in application:
                    if frame and frame.name == "Kavo Voice" and (
                            heading is None or any(node.name == heading for node in showing(frame))):
                        return frame
            return None
        window = wait_for(find)
        self.assertIsNotNone(window, "the window does not show over AT-SPI")
        return window

    def controls(self, window):
        return [(node.getRoleName(), node.name) for node in showing(window)
                if node.getRoleName() in INTERACTIVE + ("heading",)]

    def assert_all_named(self, window, where):
        # Qt gives a password field no name over AT-SPI, only its description, which screen readers read out.
        unnamed = [node.getRoleName() for node in showing(window)
                   if node.getRoleName() in INTERACTIVE + ("heading",) and not node.name.strip()
                   and not (node.getRoleName() == "password text" and node.description.strip())]
        self.assertEqual(unnamed, [], "controls without a name in " + where)

    def node(self, window, name, role=None):
        return wait_for(lambda: next((node for node in showing(window)
                                      if node.name == name and role in (None, node.getRoleName())), None))

    def press(self, window, name):
        node = self.node(window, name, "push button") or self.node(window, name)
        self.assertIsNotNone(node, "no control named " + name)
        node.queryAction().doAction(0)

    def shown(self, window, name):
        return any(node.name == name for node in showing(window))

    def heading(self, window):
        return next((node.name for node in showing(window) if node.getRoleName() == "heading"), None)

    def settings(self):
        with open(os.path.join(self.data.name, "config.json"), encoding="utf-8") as file:
            return json.load(file)


class TestMainWindow(ProgramTest):
    @classmethod
    def setUpClass(cls):
        def prepare(folder):
            set_up(folder)
            keep_failed_dictation(folder)
        cls.start(prepare, GEMINI_API_KEY=GOOD_KEY)
        # The running program answers on the session bus once it is up.
        wait_for(lambda: subprocess.run([PROGRAM, "show"], env=cls.environment, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL).returncode == 0)

    def test_controls_named_and_usable(self):
        window = self.window()
        controls = self.controls(window)
        for control in [("text", "Search"), ("push button", "Try it"), ("push button", "Settings")]:
            self.assertIn(control, controls)
        names = [name for _, name in controls]
        for name in ["History", "Notes", "Vocabulary", "From phone", "Meetings, Tez kunda"]:
            self.assertIn(name, names)
        self.assert_all_named(window, "the main window")

        self.press(window, "Notes")
        self.assertEqual(wait_for(lambda: self.heading(window) == "Notes" and self.heading(window)), "Notes")
        self.press(window, "Settings")
        self.assertEqual(wait_for(lambda: self.heading(window) != "Notes" and self.heading(window)),
                         "Settings · General")
        self.press(window, "Close")
        self.assertEqual(wait_for(lambda: self.heading(window) == "Notes" and self.heading(window)), "Notes")

    def test_settings_tabs_named(self):
        window = self.window()
        self.press(window, "Settings")
        for tab in ["General", "Shortcuts", "AI and languages", "Microphone", "Advanced"]:
            self.press(window, tab)
            self.assertTrue(wait_for(lambda: self.heading(window) == "Settings · " + tab), tab)
            self.assert_all_named(window, "the settings tab " + tab)
        self.press(window, "Close")

    def test_retry_a_failed_dictation(self):
        window = self.window()
        self.press(window, "History")
        self.assertTrue(wait_for(lambda: self.shown(window, "No internet — not transcribed")))
        self.press(window, "Retry")
        self.assertTrue(wait_for(lambda: self.shown(window, "Transcribing again…"), 5))
        self.assertTrue(wait_for(lambda: self.shown(window, TRANSCRIPT)), "the transcript did not replace the audio box")
        self.assertFalse(self.shown(window, "Retry"))
        with open(os.path.join(self.data.name, "history.json"), encoding="utf-8") as file:
            history = json.load(file)
        self.assertEqual([(entry["status"], entry["text"]) for entry in history["entries"]], [("done", TRANSCRIPT)])


class TestOnboarding(ProgramTest):
    """A new user's first start: the set-up window from the first step to a first dictation."""

    @classmethod
    def setUpClass(cls):
        cls.start(lambda folder: None)

    def step(self, window, title):
        self.assertTrue(wait_for(lambda: self.heading(window) == title), "the step %r does not show" % title)
        self.assert_all_named(window, "the step " + title)

    def next(self, window):
        button = self.node(window, "Next", "push button")
        self.assertTrue(wait_for(lambda: button.getState().contains(pyatspi.STATE_ENABLED), 10), "Next stays off")
        button.queryAction().doAction(0)

    def check_key(self, window, keyboard, key):
        field = self.node(window, "Paste it here", "text")
        field.queryComponent().grabFocus()
        keyboard.keys(["Control_L", "a"], True)
        keyboard.keys(["a", "Control_L"], False)
        keyboard.type(key)
        self.press(window, "Check")
        return wait_for(lambda: next((node.name for node in showing(window)
                                      if node.name.startswith(("The key works", "Gemini returned"))), None))

    def test_walk_to_a_first_dictation(self):
        keyboard_lock = Lock(os.path.join(os.environ["KAVO_TEST_SERVICES_DIR"], "keyboard.lock"))
        microphone_lock = Lock(os.environ["KAVO_TEST_MIC_FIFO"] + ".lock")
        keyboard = Keyboard()
        try:
            window = self.window("Which languages do you speak?")
            # Without a window manager the keyboard goes to the window under the pointer.
            x, y, width, height = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            keyboard.point_at(x + width // 2, y + height // 2)

            self.step(window, "Which languages do you speak?")
            self.press(window, "English")
            self.next(window)
            self.step(window, "Microphone")
            self.assertTrue(wait_for(lambda: any(node.name.endswith(": Allowed") for node in showing(window))),
                            "the microphone is not allowed")
            self.next(window)
            self.step(window, "Keyboard access")
            self.next(window)

            self.step(window, "Gemini API key")
            self.assertIn("Gemini returned 400", self.check_key(window, keyboard, "wrongkey"))
            self.assertEqual(self.check_key(window, keyboard, GOOD_KEY), "The key works · gemini-2.5-flash")
            self.next(window)

            self.step(window, "Try it")
            area = self.node(window, "Hold the keys and talk", "text")
            stop = threading.Event()
            speaker = threading.Thread(target=speak_into_microphone, args=("Hello, this is my first dictation.", stop))
            keyboard.keys(["Control_L", "Super_L"], True)
            self.assertTrue(wait_for(lambda: self.shown(window, "Listening…"), 5), "the hotkey did not start")
            speaker.start()
            time.sleep(3.0)
            keyboard.keys(["Super_L", "Control_L"], False)
            stop.set()
            speaker.join()
            text = area.queryText()
            self.assertTrue(wait_for(lambda: TRANSCRIPT in text.getText(0, -1), 20),
                            "the first dictation did not reach the box")

            self.press(window, "Done")
            self.assertTrue(wait_for(lambda: self.settings().get("onboardingDone") is True))
            settings = self.settings()
            self.assertEqual((settings["apiKey"], settings["languageCodes"]), (GOOD_KEY, ["en-US"]))
        finally:
            keyboard.keys(["Super_L", "Control_L"], False)
            keyboard.close()
            microphone_lock.release()
            keyboard_lock.release()


if __name__ == "__main__":
    unittest.main()
