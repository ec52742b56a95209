#!/usr/bin/env python3
"""Screenshots of pages with and without "Fit phones and today's browsers".

Every delivered template and a page with every block kind are written by tessel-cli as the
web server gets them (mode 2), once with the option and once without, and photographed by
chromium and Firefox at 1280 and at 390 pixels. Prints how many pixels differ at each width
and draws every pair side by side on contact sheets.

Usage: tools/fit-screens.py BUILD_FOLDER OUTPUT_FOLDER   (BUILD_FOLDER holds bin/tessel-cli
and bin/tessel_preview_corpus; needs chromium, firefox-esr and ImageMagick)
"""
import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WIDTHS = (1280, 390)
HEIGHT = 2600

FIT = b"\x1ePagePropertiesBlock.FitScreens\x09"
LANGUAGE = b"\x1cPagePropertiesBlock.Language\x06\x02en"
LAST_SETTING = b"\x1ePagePropertiesBlock.VLinkColor"
INTEGER_SIZES = {2: 1, 3: 2, 4: 4}


def with_fit(document, on):
    """The document's bytes with the option ticked (and English) or not ticked."""
    document = document.replace(FIT, b"").replace(LANGUAGE, b"")
    if not on:
        return document
    at = document.index(LAST_SETTING) + len(LAST_SETTING)
    at += 1 + INTEGER_SIZES[document[at]]
    return document[:at] + FIT + LANGUAGE + document[at:]


def run(*command, **options):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=180, **options)


def chromium(url, width, out):
    with tempfile.TemporaryDirectory() as profile:
        run("chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
            "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, HEIGHT),
            "--screenshot=" + out, url)


def firefox(url, width, out):
    with tempfile.TemporaryDirectory() as profile:
        run("firefox-esr", "--headless", "--no-remote", "--profile", profile,
            "--window-size=%d,%d" % (width, HEIGHT), "--screenshot", out, url,
            env=dict(os.environ, MOZ_HEADLESS="1"))


def differing_pixels(a, b):
    result = subprocess.run(["compare", "-metric", "AE", a, b, "null:"],
                            capture_output=True, text=True, timeout=120)
    return int(float(result.stderr.split()[0]))


def main():
    build, out = sys.argv[1], os.path.abspath(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        site = os.path.join(work, "site")
        for folder in ("images", "backgrounds"):
            shutil.copytree(os.path.join(ROOT, "data", "Upload", folder), site, dirs_exist_ok=True)
        # The corpus page names a picture that is missing on purpose; here it is there, so
        # that the shots compare the layout of pictures that load.
        shutil.copy(os.path.join(site, "sample-summer.jpg"), os.path.join(site, "no-such-picture.jpg"))
        corpus = os.path.join(work, "corpus")
        run(os.path.join(build, "bin", "tessel_preview_corpus"), os.path.join(ROOT, "data"),
            corpus)
        documents = {"Every block": os.path.join(corpus, "every-block-0.pgx")}
        for template in sorted(glob.glob(os.path.join(ROOT, "data", "Templates", "*.pgt"))):
            documents[os.path.splitext(os.path.basename(template))[0]] = template
        rows = []
        for name, path in documents.items():
            with open(path, "rb") as f:
                original = f.read()
            shots = {}
            for on in (False, True):
                document = os.path.join(work, "%s-%d.pgx" % (name, on))
                with open(document, "wb") as f:
                    f.write(with_fit(original, on))
                html = os.path.join(site, "%s-%d.html" % (name.replace(" ", ""), on))
                run(os.path.join(build, "bin", "tessel-cli"), "html", "--mode", "2", document,
                    "-o", html)
                for browser, shoot in (("chromium", chromium), ("firefox", firefox)):
                    for width in WIDTHS:
                        png = os.path.join(work, "%s-%s-%d-%d.png" % (name, browser, width, on))
                        shoot("file://" + html, width, png)
                        shots[browser, width, on] = png
            for browser in ("chromium", "firefox"):
                for width in WIDTHS:
                    before, after = shots[browser, width, False], shots[browser, width, True]
                    print("%-16s %-8s %4d px: %7d pixels differ" %
                          (name, browser, width, differing_pixels(before, after)), flush=True)
                    rows.append((name, browser, width, before, after))
        for width in WIDTHS:
            tiles = []
            for name, browser, w, before, after in rows:
                if w != width:
                    continue
                for png, label in ((before, "without"), (after, "with")):
                    tile = os.path.join(work, "tile-%d.png" % len(tiles))
                    crop = "%dx1400+0+0" % width
                    run("convert", png, "-crop", crop, "+repage", "-resize",
                        "%dx" % (320 if width > 400 else 195), tile)
                    tiles += ["-label", "%s, %s, %s the option" % (name, browser, label), tile]
            sheet = os.path.join(out, "fit-screens-%d.png" % width)
            run("montage", *tiles, "-tile", "4x", "-geometry", "+6+6", "-pointsize", "11",
                sheet)
            print(sheet)


if __name__ == "__main__":
    main()
