#!/usr/bin/python3
"""The application as a screen reader sees it over AT-SPI: every control of the main window has a role and a name,
and its actions work by name alone.

Run by CTest under scripts/test-services, with the program to test as the argument. Starts the accessibility bus on
the private session bus, then the program with a fresh data folder (a first start, which opens the main window)."""

import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

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


class TestAccessibility(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # In a session of its own, so that the accessibility bus and registry it starts end with it.
        cls.launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                        start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.data = tempfile.TemporaryDirectory()
        environment = dict(os.environ, KAVO_DATA_DIR=cls.data.name, QT_QPA_PLATFORM="xcb", LANGUAGE="en",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", KAVO_GEMINI_BASE_URL="http://127.0.0.1:9")
        time.sleep(0.5)
        cls.application = subprocess.Popen([PROGRAM], env=environment)

    @classmethod
    def tearDownClass(cls):
        cls.application.terminate()
        cls.application.wait(10)
        os.killpg(cls.launcher.pid, signal.SIGTERM)
        cls.launcher.wait(10)
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


if __name__ == "__main__":
    unittest.main()
