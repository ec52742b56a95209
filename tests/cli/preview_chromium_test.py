#!/usr/bin/env python3
"""The preview shows the text a browser shows.

For every page of a corpus (a page with every block kind under each delivered theme, pages of
awkward texts, every delivered template, the new page), the text of `tessel-cli preview --text`
must equal, white space aside, the text chromium prints of the same page (its PDF read back by
pdftotext). Chromium runs with scripts off, as the viewer runs none: neither shows the
drop-down links that a script writes.

Run with --contact-sheet OUT.png to draw the viewer and chromium side by side instead.
"""
import base64
import concurrent.futures
import difflib
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

# gcc 12's LeakSanitizer can crash at exit ("Tracer caught signal 11") while it walks the
# dynamic TLS that ASan tracked for the viewer's Qt plugins, depending only on where things
# happen to lie in memory. Without that tracking leaks are still looked for; the dynamic TLS
# is just no longer a root, which could only add reports, never hide one.
if "ASAN_OPTIONS" in os.environ:
    os.environ["ASAN_OPTIONS"] += ":intercept_tls_get_addr=0"
CLI = os.environ.get("TESSEL_CLI", "")
CORPUS = os.environ.get("TESSEL_PREVIEW_CORPUS", "")
DATA = os.environ.get("TESSEL_SOURCE_DATA", "")
CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
PDFTOTEXT = shutil.which("pdftotext")
# Chromium labels a submit button without a VALUE "Submit"; the viewer follows Firefox (and
# the browsers of the pages' day) with "Submit Query".
BUTTON_LABELS = [("SubmitQuery", "Submit")]


def no_space(text):
    return "".join(text.split())


def run_cli(*args):
    result = subprocess.run([CLI, *args], capture_output=True, timeout=120)
    if result.returncode != 0:
        raise RuntimeError(" ".join(args) + ": " + result.stderr.decode(errors="replace"))
    return result.stdout


class TBrowser:
    """One headless chromium driven through its DevTools pipe: starting it is what is slow,
    so every page goes through the same one."""

    def __init__(self, profile):
        commands, self._commands = os.pipe()
        self._replies, replies = os.pipe()

        def pipes_as_fds_3_and_4():
            reading, writing = os.dup(commands), os.dup(replies)
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        self.process = subprocess.Popen(
            [CHROMIUM, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--hide-scrollbars", "--remote-debugging-pipe",
             "--user-data-dir=" + profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=pipes_as_fds_3_and_4, pass_fds=(3, 4))
        os.close(commands)
        os.close(replies)
        self._buffer = b""
        self._last_id = 0
        self._events = []
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self._session = self.call("Target.attachToTarget", targetId=target,
                                  flatten=True)["sessionId"]
        self.call("Page.enable", self._session)
        self.call("Emulation.setScriptExecutionDisabled", self._session, value=True)

    def call(self, method, session=None, **params):
        self._last_id += 1
        message = {"id": self._last_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self._commands, json.dumps(message).encode() + b"\0")
        while True:
            reply = self._read()
            if reply.get("id") == self._last_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply["result"]
            self._events.append(reply)

    def load(self, html):
        self._events.clear()
        self.call("Page.navigate", self._session, url="file://" + html)
        while not any(event.get("method") == "Page.loadEventFired" for event in self._events):
            self._events.append(self._read())

    def pdf(self, html):
        self.load(html)
        data = self.call("Page.printToPDF", self._session, displayHeaderFooter=False)["data"]
        return base64.b64decode(data)

    def screenshot(self, html, width, height):
        self.call("Emulation.setDeviceMetricsOverride", self._session, width=width,
                  height=height, deviceScaleFactor=1, mobile=False)
        self.load(html)
        return base64.b64decode(self.call("Page.captureScreenshot", self._session)["data"])

    def close(self):
        try:
            self.call("Browser.close")
            self.process.wait(timeout=60)
        except (RuntimeError, OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        os.close(self._commands)
        os.close(self._replies)

    def _read(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._replies, 1 << 20)
            if not chunk:
                raise RuntimeError("chromium stopped")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)


class TCorpus:
    """The corpus pages, each as a document (or template) and as the HTML View Page loads."""

    def __init__(self, folder):
        self.folder = folder
        self.home = os.path.join(folder, "home")
        shutil.copytree(os.path.join(DATA, "Upload"), os.path.join(self.home, "Upload"))
        shutil.copy(os.path.join(DATA, "Themes.dat"), self.home)
        pages = os.path.join(folder, "pages")
        made = subprocess.run([CORPUS, self.home, pages], capture_output=True, timeout=60)
        if made.returncode != 0:
            raise RuntimeError(made.stderr.decode(errors="replace"))
        for template in glob.glob(os.path.join(DATA, "Templates", "*.pgt")):
            shutil.copy(template, pages)
        self.documents = sorted(glob.glob(os.path.join(pages, "*.pg[xt]")))

    def html(self, document):
        out = os.path.splitext(document)[0] + ".preview.html"
        run_cli("html", document, "--mode", "0", "--home", self.home, "-o", out)
        return out

    def viewer_text(self, document):
        return run_cli("preview", document, "--home", self.home, "--text").decode()


def pdf_text(pdf_bytes, folder, name):
    pdf = os.path.join(folder, name + ".pdf")
    with open(pdf, "wb") as out:
        out.write(pdf_bytes)
    # In the order chromium drew it, which is the page's order.
    result = subprocess.run([PDFTOTEXT, "-raw", "-enc", "UTF-8", pdf, "-"],
                            capture_output=True, timeout=60, check=True)
    return result.stdout.decode()


@unittest.skipUnless(CHROMIUM and PDFTOTEXT,
                     "chromium or pdftotext is not installed (tools/install-deps.sh installs them)")
class PreviewMatchesChromiumTest(unittest.TestCase):
    def test_every_page_of_the_corpus_shows_chromiums_text(self):
        with tempfile.TemporaryDirectory() as folder:
            corpus = TCorpus(folder)
            self.assertGreater(len(corpus.documents), 20)
            browser = TBrowser(os.path.join(folder, "profile"))
            try:
                with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
                    pages = list(pool.map(lambda d: (d, corpus.html(d)), corpus.documents))
                    viewer = pool.map(corpus.viewer_text, corpus.documents)
                    shown = [pdf_text(browser.pdf(html), folder, os.path.basename(document))
                             for document, html in pages]
                    viewer = list(viewer)
            finally:
                browser.close()
            self.assertGreater(sum(map(len, shown)), 5000)
            for (document, _), theirs, ours in zip(pages, shown, viewer):
                with self.subTest(page=os.path.basename(document)):
                    actual = no_space(ours)
                    for label, chromiums in BUTTON_LABELS:
                        actual = actual.replace(label, chromiums)
                    if actual != no_space(theirs):
                        diff = difflib.unified_diff(theirs.split(), ours.split(), "chromium",
                                                    "viewer", lineterm="", n=2)
                        self.fail("\n".join(list(diff)[:60]))


def contact_sheet(out):
    """The viewer (left) and chromium (right) on a few corpus pages, one row each."""
    width, height = 640, 1500
    with tempfile.TemporaryDirectory() as folder:
        corpus = TCorpus(folder)
        browser = TBrowser(os.path.join(folder, "profile"))
        rows = []
        try:
            for name in ("every-block-8", "awkward-texts", "every-block-0", "eight-bit-texts"):
                document = os.path.join(folder, "pages", name + ".pgx")
                viewer = os.path.join(folder, name + "-viewer.png")
                shown = os.path.join(folder, name + "-chromium.png")
                run_cli("preview", document, "--home", corpus.home, "--width", str(width),
                        "-o", viewer)
                tall = subprocess.run(["identify", "-format", "%h", viewer], check=True,
                                      capture_output=True).stdout
                shot = min(height, int(tall) + 40)
                with open(shown, "wb") as picture:
                    picture.write(browser.screenshot(corpus.html(document), width, shot))
                subprocess.run(["convert", viewer, "-crop", "%dx%d+0+0" % (width, shot),
                                "+repage", viewer], check=True)
                rows += ["-label", name + ": the viewer", viewer,
                         "-label", name + ": chromium", shown]
        finally:
            browser.close()
        subprocess.run(["montage", *rows, "-tile", "2x", "-geometry", "+8+8", "-pointsize", "18",
                        "-background", "#D8D8D8", "-depth", "8", out], check=True)
    print(out)


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--contact-sheet":
        contact_sheet(sys.argv[2])
    else:
        unittest.main()
