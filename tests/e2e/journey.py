#!/usr/bin/python3
"""The typical use, end to end, with the real program on a real X display and real input
events: type text, read it aloud on the null-sink sound server, pause and resume, save a WAV,
replace the address placeholder, "Create Rss", fill the channel and two items, save the feed,
close the feed window, exit. Then check the WAV, the feed (byte layout, and as a feed reader
parses it) and that the speech window came back with its state.

    journey.py PARLORA_BINARY
Needs PARLORA_TEST_DISPLAY (scripts/with-x-server.sh) and PULSE_SERVER (with-sound-server.sh).
"""
import os
import subprocess
import sys
import tempfile
import time

import feedparser

BINARY = sys.argv[1]
DISPLAY = os.environ.get("PARLORA_TEST_DISPLAY")
TEXT = ("Welcome to Harbour Notes, the podcast of the waterfront. In this first episode we walk "
        "along the old quay at dawn, listen to the gulls and talk to the fishermen who mend "
        "their nets before the boats go out.")
PUBLIC_URL = "https://example.org/harbour/episode1.wav"
MENU_HEIGHT_GUESS = 18  # below it the client area starts; checked against the window height


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def run(*arguments, check=True):
    return subprocess.run(arguments, check=check, capture_output=True, text=True,
                          env=dict(os.environ, DISPLAY=DISPLAY)).stdout


def xdo(*arguments):
    return run("xdotool", *arguments)


def step(what):
    print("-- " + what, flush=True)


def wait_for(condition, what, seconds=20.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    fail("timed out waiting for " + what)


def visible_windows(name="^Parlora$"):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], capture_output=True,
                            text=True, env=dict(os.environ, DISPLAY=DISPLAY))
    return result.stdout.split()


def sink_inputs():
    """Corked state of each stream on the sound server."""
    listing = run("pactl", "list", "sink-inputs")
    return [line.strip().endswith("yes") for line in listing.splitlines() if line.strip().startswith("Corked:")]


def type_text(text):
    xdo("type", "--delay", "1", text)


def key(*keys):
    xdo("key", *keys)


def click(window, x, y):
    xdo("mousemove", "--window", window, str(x), str(y), "click", "1")


def px(twips):
    return twips // 15  # 96 dpi on Xvfb


def clipboard_of_focused_field():
    key("ctrl+a", "ctrl+c")
    time.sleep(0.2)  # the clipboard owner answers through the X server
    return run("xclip", "-selection", "clipboard", "-o", check=False)


def dialog_window(known):
    def find():
        fresh = [w for w in visible_windows(".") if w not in known]
        return fresh[0] if fresh else None
    return find


def answer_file_dialog(known, path):
    dialog = wait_for(dialog_window(known), "the file dialog")
    xdo("windowactivate", "--sync", dialog)
    key("ctrl+a")
    type_text(path)
    # On a busy machine the name field's completion list may still be open and take the first
    # Return for itself; the dialog itself needs one more.
    for _ in range(3):
        key("Return")
        deadline = time.monotonic() + 5.0
        while time.monotonic() < deadline and dialog in visible_windows("."):
            time.sleep(0.05)
        if dialog not in visible_windows("."):
            return
    fail("timed out waiting for the file dialog to close")


def wait_for_saved_message(known, path):
    """The message that follows a save; a progress dialog may come first and must not be taken for it."""
    before_save = set()

    def saved():
        fresh = set(visible_windows(".")) - set(known)
        # The file appears only once complete, and the message only after it: windows seen
        # while the file is missing are the progress dialog.
        if os.path.exists(path):
            return True
        before_save.update(fresh)
        return False

    wait_for(saved, "the saved file " + path, seconds=60)
    return wait_for(lambda: next((w for w in visible_windows(".") if w not in known and w not in before_save), None),
                    "the saved-file message")


def main():
    if not DISPLAY:
        fail("no test X display: run through scripts/test.sh")
    folder = tempfile.mkdtemp(prefix="parlora-journey-")
    wav = os.path.join(folder, "episode one.wav")
    feed = os.path.join(folder, "feed.xml")
    env = dict(os.environ, DISPLAY=DISPLAY)
    env.pop("QT_QPA_PLATFORM", None)
    # An American user: the voice the window selects first is flite's slt, which speaks at 16 kHz.
    env["LANG"] = "en_US.UTF-8"
    env.pop("LC_ALL", None)

    manager = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False),
             "the window manager")
    program = subprocess.Popen([BINARY], env=env)
    try:
        speech = wait_for(lambda: (visible_windows() or [None])[0], "the speech window")
        xdo("windowactivate", "--sync", speech)
        height = int(dict(line.split("=") for line in xdo("getwindowgeometry", "--shell", speech).split())["HEIGHT"])
        menu = height - px(6105)
        if abs(menu - MENU_HEIGHT_GUESS) > 12:
            fail("unexpected window height %d" % height)

        step("typing the text")
        # Type the text: the information list has the focus, Tab moves into the text box.
        key("Tab")
        type_text(TEXT)

        step("reading aloud, pausing, resuming")
        # Read it aloud, pause and resume.
        key("alt+r")
        wait_for(lambda: sink_inputs() == [False], "the reading to reach the sound server")
        pause = (px(240 + 1695 // 2), menu + px(3240 + 375 // 2))
        click(speech, *pause)
        wait_for(lambda: sink_inputs() == [True], "the reading to pause")
        click(speech, *pause)
        wait_for(lambda: sink_inputs() == [False], "the reading to resume")

        step("saving the WAV")
        # Save the speech as a WAV file through the real save dialog.
        known = visible_windows(".")
        click(speech, px(3240 + 600), menu + px(2880 + 120))
        answer_file_dialog(known, wav)
        message = wait_for_saved_message(known, wav)
        xdo("windowactivate", "--sync", message)
        key("Return")
        wait_for(lambda: message not in visible_windows("."), "the message to close")
        if not os.path.exists(wav):
            fail("no WAV file at " + wav)

        step("replacing the address")
        # Replace the address placeholder with the public address.
        click(speech, px(1800 + 1800), menu + px(3720 + 150))
        placeholder = clipboard_of_focused_field()
        if placeholder != "(Actual URL for wav file here)":
            fail("address field holds %r" % placeholder)
        type_text(PUBLIC_URL)

        step("creating the feed")
        # Create Rss: the feed window replaces the speech window.
        click(speech, px(3960 + 1455 // 2), menu + px(3240 + 375 // 2))
        feed_window = wait_for(lambda: [w for w in visible_windows() if w != speech], "the feed window")[0]
        if speech in visible_windows():
            fail("the speech window is still shown")
        xdo("windowactivate", "--sync", feed_window)
        for value in ["Harbour Notes", "Stories from the waterfront.", "Parlora Studio",
                      "https://example.org/harbour/", "The old quay", "A walk along the old quay.",
                      "https://example.org/harbour/1"]:
            type_text(value)
            key("Tab")
        key("shift+Tab", "Return")  # Enter in the item link adds the item
        key("shift+Tab", "shift+Tab")
        type_text("Gulls & nets")
        key("Tab")
        type_text("Second walk, <with> the fishermen.")
        key("Tab")
        type_text("https://example.org/harbour/2")
        key("Return")

        known = visible_windows(".")
        key("alt+s")
        answer_file_dialog(known, feed)
        wait_for(lambda: os.path.exists(feed), "the feed file")

        step("closing the feed window")
        # Close the feed window; the speech window comes back as it was.
        key("alt+F4")
        wait_for(lambda: visible_windows() == [speech], "the speech window to come back")
        xdo("windowactivate", "--sync", speech)
        click(speech, px(120 + 2000), menu + px(120 + 1000))
        if clipboard_of_focused_field() != TEXT:
            fail("the text box lost its text")
        click(speech, px(1800 + 1800), menu + px(3720 + 150))
        if clipboard_of_focused_field() != PUBLIC_URL:
            fail("the address field lost its value")

        key("ctrl+q")
        if program.wait(timeout=10) != 0:
            fail("the program ended with %d" % program.returncode)
    finally:
        if program.poll() is None:
            program.kill()
        manager.kill()

    check_wav(wav)
    check_feed(feed, os.path.getsize(wav))
    print("PASS: the journey from text to feed works end to end", flush=True)


def check_wav(path):
    seconds = float(run("soxi", "-D", path).strip())
    rate = run("soxi", "-r", path).strip()
    if rate != "16000" or seconds < 8.0:
        fail("the WAV holds %.1f s at %s Hz" % (seconds, rate))


def check_feed(path, wav_size):
    data = open(path, "rb").read()
    lines = data.split(b"\r\n")
    date = lines[10][len(b"<pubDate>"):-len(b"</pubDate>")].decode()
    header = ('<?xml version="1.0" encoding="UTF-8" ?> \r\n<rss version="2.0" '
              'xmlns:content="http://purl.org/rss/1.0/modules/content/" '
              'xmlns:dc="http://purl.org/dc/elements/1.1/" '
              'xmlns:itunes="http://www.itunes.com/dtds/podcast-1.0.dtd">\r\n<channel>\r\n')
    channel = ("<title>Harbour Notes</title>\r\n<itunes:author>Parlora Studio</itunes:author>\r\n"
               "<description>Stories from the waterfront.</description>\r\n"
               "<link>https://example.org/harbour/</link>")

    def item(title, description, link):
        return ("\r\n<item><title>%s</title>\r\n<description>%s</description>\r\n<link>%s</link>\r\n"
                "<pubDate>%s</pubDate>\r\n<dc:creator>Parlora Studio</dc:creator>\r\n"
                "<enclosure url='%s' length='%d' type='audio/wav' />\r\n</item>"
                % (title, description, link, date, PUBLIC_URL, wav_size, ))

    expected = (header + channel + item("The old quay", "A walk along the old quay.", "https://example.org/harbour/1")
                + item("Gulls &amp; nets", "Second walk, &lt;with&gt; the fishermen.", "https://example.org/harbour/2")
                + "</channel>\r\n</rss>\r\n\r\n").encode()
    if data != expected:
        fail("the feed differs from the expected layout:\n%r\n%r" % (data, expected))
    parsed = feedparser.parse(path)
    if parsed.bozo or parsed.version != "rss20" or len(parsed.entries) != 2:
        fail("a feed reader does not accept the feed: %r" % parsed.get("bozo_exception"))
    if parsed.entries[1].title != "Gulls & nets" or parsed.entries[0].enclosures[0].href != PUBLIC_URL:
        fail("the feed reader reads other values")


if __name__ == "__main__":
    main()
