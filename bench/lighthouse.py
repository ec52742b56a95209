#!/usr/bin/env python3
"""Lighthouse scores of the pages the program publishes (not run by CI).

Builds the upload copy (`tessel-cli html --mode 2`) of every delivered template and of a page
with every block kind, serves them with their pictures from loopback (python3 -m http.server)
and runs Lighthouse in its default mobile mode on each page, one at a time. The pages are
measured as their documents are: the templates have "Fit phones and today's browsers"
ticked; the page with every block kind is measured with and without it. The four scores of
each page replace the table between the markers in bench/README.md.

Usage: bench/lighthouse.py BUILD_FOLDER   (BUILD_FOLDER holds bin/tessel-cli and
bin/tessel_preview_corpus). Lighthouse 12.2.3 is looked for in $LIGHTHOUSE_DIR (default
/work/.npm-lh, made by `npm i -E lighthouse@12.2.3` there); Chromium from Debian.
"""
import glob
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIGHTHOUSE_DIR = os.environ.get("LIGHTHOUSE_DIR", "/work/.npm-lh")
LIGHTHOUSE = os.path.join(LIGHTHOUSE_DIR, "node_modules", ".bin", "lighthouse")
CATEGORIES = ("performance", "accessibility", "best-practices", "seo")
BEGIN = "<!-- lighthouse scores begin -->"
END = "<!-- lighthouse scores end -->"

FIT = b"\x1ePagePropertiesBlock.FitScreens\x09"
LANGUAGE = b"\x1cPagePropertiesBlock.Language\x06\x02en"
LAST_SETTING = b"\x1ePagePropertiesBlock.VLinkColor"
INTEGER_SIZES = {2: 1, 3: 2, 4: 4}


def with_fit(document):
    """The document's bytes with the option ticked, in English."""
    if FIT in document:
        return document
    at = document.index(LAST_SETTING) + len(LAST_SETTING)
    at += 1 + INTEGER_SIZES[document[at]]
    return document[:at] + FIT + LANGUAGE + document[at:]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def lighthouse(url, report):
    command = ["nice", LIGHTHOUSE, url, "--output=json", "--output-path=" + report,
               "--only-categories=" + ",".join(CATEGORIES), "--quiet",
               "--chrome-flags=--headless=new --no-sandbox --disable-gpu"]
    env = dict(os.environ, CHROME_PATH=shutil.which("chromium") or "/usr/bin/chromium")
    subprocess.run(command, check=True, env=env, timeout=600)
    with open(report) as f:
        result = json.load(f)
    scores = [result["categories"][c]["score"] for c in CATEGORIES]
    failed = sorted(audit["id"] for audit in result["audits"].values()
                    if audit.get("score") is not None and audit["score"] < 1 and
                    audit.get("scoreDisplayMode") in ("binary", "numeric", "metricSavings"))
    return scores, failed


def main():
    build = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        site = os.path.join(work, "site")
        for folder in ("images", "backgrounds"):
            shutil.copytree(os.path.join(ROOT, "data", "Upload", folder), site, dirs_exist_ok=True)
        corpus = os.path.join(work, "corpus")
        subprocess.run([os.path.join(build, "bin", "tessel_preview_corpus"),
                        os.path.join(ROOT, "data"), corpus], check=True)
        pages = []
        every = os.path.join(corpus, "every-block-0.pgx")
        with open(every, "rb") as f:
            plain = f.read()
        fitted = os.path.join(work, "every-block-fit.pgx")
        with open(fitted, "wb") as f:
            f.write(with_fit(plain))
        pages.append(("Every block kind, option off", every))
        pages.append(("Every block kind, option on", fitted))
        for template in sorted(glob.glob(os.path.join(ROOT, "data", "Templates", "*.pgt"))):
            pages.append(("Template " + os.path.splitext(os.path.basename(template))[0],
                          template))
        files = []
        for i, (name, document) in enumerate(pages):
            html = "page%d.html" % i
            subprocess.run([os.path.join(build, "bin", "tessel-cli"), "html", "--mode", "2",
                            document, "-o", os.path.join(site, html)], check=True)
            files.append(html)

        port = free_port()
        server = subprocess.Popen([sys.executable, "-m", "http.server", str(port), "--bind",
                                   "127.0.0.1", "--directory", site],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        rows = []
        try:
            for (name, _), html in zip(pages, files):
                scores, failed = lighthouse("http://127.0.0.1:%d/%s" % (port, html),
                                            os.path.join(work, html + ".json"))
                rows.append((name, scores, failed))
                print(name, scores, " ".join(failed), flush=True)
        finally:
            server.terminate()
            server.wait()

    table = ["| page | performance | accessibility | best practices | SEO | audits not passed |",
             "|---|---:|---:|---:|---:|---|"]
    for name, scores, failed in rows:
        table.append("| %s | %s | %s |" % (name, " | ".join("%.2f" % s for s in scores),
                                           ", ".join(failed) or "none"))
    readme = os.path.join(ROOT, "bench", "README.md")
    with open(readme) as f:
        text = f.read()
    block = BEGIN + "\n" + "\n".join(table) + "\n" + END
    if BEGIN in text:
        text = text[:text.index(BEGIN)] + block + text[text.index(END) + len(END):]
    else:
        text += "\n" + block + "\n"
    with open(readme, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
