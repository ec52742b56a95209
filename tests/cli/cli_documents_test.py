#!/usr/bin/env python3
"""tessel-cli's document commands, run as a user runs them."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

CLI = os.environ["TESSEL_CLI"]
NOT_A_DOCUMENT = "The selected file is not a valid .PGX or .PGT document."

NEW_PAGE_MODE_2 = [
    "<!-- Created with Brindle HTML Tessel 4.0 -->",
    "<!--        http://www.brindle-software.example/         -->",
    "<HTML>",
    "<HEAD>",
    "     <TITLE></TITLE>",
    "</HEAD>",
    "",
    '<BODY BGCOLOR="#FFFFFF" TEXT="#000000" LINK="#0000FF" ALINK="#FF0000" VLINK="#990099">',
    '<IMG SRC="" BORDER=0 ALT="" HEIGHT="" WIDTH=""><P>',
    '<A HREF=""></A><P>',
    "<P>",
    "</BODY></HTML>",
]


def short(text):
    return bytes([len(text)]) + text.encode("latin-1")


def plain_theme_file():
    """The theme file holding one theme named Plain, made by hand."""
    return (b"TPF0" + short("TWebTheme") + b"\x00" + short("Items") + b"\x0e\x01"
            + short("ThemeName") + b"\x06" + short("Plain")
            + short("LeftMargin") + b"\x06" + short("0")
            + short("BGColor") + b"\x04\xff\xff\xff\x00"
            + short("TextColor") + b"\x02\x00"
            + short("LinkColor") + b"\x04\x00\x00\xff\x00"
            + short("ALinkColor") + b"\x03\xff\x00"
            + short("VLinkColor") + b"\x04\x80\x00\x80\x00"
            + b"\x00\x00\x00\x00")


def run(*args):
    return subprocess.run([CLI, *args], capture_output=True, timeout=60)


class CliTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.dir = self.folder.name

    def tearDown(self):
        self.folder.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def new_page(self):
        result = run("new", self.path("page.pgx"))
        self.assertEqual(result.returncode, 0, result.stderr)
        return self.path("page.pgx")


class ArgumentsTest(CliTest):
    def test_help_and_bad_arguments(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        for command in (b"new FILE", b"html FILE", b"dump FILE", b"resave IN OUT", b"upload"):
            self.assertIn(command, result.stdout)
        page = self.new_page()
        for args in ([], ["frobnicate"], ["new"], ["new", "a", "b"], ["html"], ["html", page, "--mode", "3"],
                     ["html", page, "--mode"], ["html", page, "--colour"], ["html", page, page],
                     ["html", page, "-o"], ["dump"], ["resave", page]):
            result = run(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertTrue(result.stderr, args)


class HtmlTest(CliTest):
    def test_new_page_in_modes_2_and_1(self):
        page = self.new_page()
        result = run("html", page, "--mode", "2")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, ("\r\n".join(NEW_PAGE_MODE_2) + "\r\n").encode())

        result = run("html", page, "--mode", "1", "-o", self.path("local.html"))
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = self.read("local.html").decode().split("\r\n")
        self.assertEqual(lines[-1], "")
        expected = list(NEW_PAGE_MODE_2)
        expected[8] = '<IMG SRC="../Upload/images/" BORDER=0 ALT="" HEIGHT="" WIDTH=""><P>'
        self.assertEqual(lines[:-1], expected)

    def test_preview_mode_addresses_pictures_under_the_home_folder(self):
        page = self.new_page()
        result = run("html", page, "--mode", "0", "--home", "/opt/tessel")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b'<IMG SRC="/opt/tessel/Upload/images/" BORDER=0', result.stdout)

    def test_banner(self):
        result = run("html", self.new_page(), "--banner")
        self.assertIn(b"Created with Brindle HTML Tessel 4.0</A></FONT></CENTER>", result.stdout)

    def test_a_margin_that_is_no_number_fails_with_the_conversion_message(self):
        page = self.read(os.path.basename(self.new_page()))
        broken = page.replace(short("PagePropertiesBlock.IndentMargin") + b"\x06" + short("0"),
                              short("PagePropertiesBlock.IndentMargin") + b"\x06" + short("2O"))
        self.assertNotEqual(broken, page)
        result = run("html", self.write("margin.pgx", broken))
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"'2O' is not a valid integer value", result.stderr)

    def test_a_page_beyond_ascii_states_its_character_set(self):
        page = self.read(os.path.basename(self.new_page()))
        theme = short("PagePropertiesBlock.ThemeName") + b"\x06" + short("Default")
        self.assertIn(theme, page)
        for title, charset in ((b'Caf\xc3\xa9 "cr\xc3\xa8me"', b"UTF-8"),
                               (b'Caf\xe9 "cr\xe8me"', b"windows-1252")):
            record = (bytes([len("PagePropertiesBlock.PageTitle")]) + b"PagePropertiesBlock.PageTitle"
                      + b"\x06" + bytes([len(title)]) + title)
            source = self.write("accents.pgx", page.replace(theme, record))
            for mode in ("0", "1", "2"):
                result = run("html", source, "--mode", mode, "--home", "/opt/tessel")
                self.assertEqual(result.returncode, 0, result.stderr)
                lines = result.stdout.split(b"\r\n")
                self.assertEqual(lines[3:6], [
                    b"<HEAD>",
                    b'     <META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=' + charset + b'">',
                    b"     <TITLE>" + title + b"</TITLE>"], mode)


class ResaveAndDumpTest(CliTest):
    def test_hand_made_theme_file_resaves_unchanged(self):
        source = self.write("Themes.dat", plain_theme_file())
        result = run("resave", source, self.path("again.dat"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read("again.dat"), plain_theme_file())

    def test_document_resaves_unchanged(self):
        page = self.new_page()
        result = run("resave", page, self.path("copy.pgx"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read("copy.pgx"), self.read("page.pgx"))

    def test_pages_saved_by_earlier_versions_keep_their_bytes_and_their_html(self):
        old = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "old-pages")
        for name in ("every-block.pgx", "contact-page.pgt"):
            source = os.path.join(old, name)
            with open(source, "rb") as f:
                original = f.read()
            result = run("resave", source, self.path(name))
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(self.read(name), original, name)
            for mode in "012":
                result = run("html", "--mode", mode, "--home", "/prog", self.path(name))
                self.assertEqual(result.returncode, 0, result.stderr)
                golden = os.path.join(old, "%s.mode%s.html" % (name.split(".")[0], mode))
                with open(golden, "rb") as f:
                    self.assertEqual(result.stdout, f.read(), (name, mode))

    def test_dump_of_the_theme_file(self):
        result = run("dump", self.write("Themes.dat", plain_theme_file()))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.decode(), "\n".join([
            'object TWebTheme ""',
            "  Items = collection",
            "    item",
            '      ThemeName = string "Plain"',
            '      LeftMargin = string "0"',
            "      BGColor = int32 16777215",
            "      TextColor = int8 0",
            "      LinkColor = int32 16711680",
            "      ALinkColor = int16 255",
            "      VLinkColor = int32 8388736",
            "    end",
            "  end",
            "end",
        ]) + "\n")

    def test_dump_escapes_line_ends_and_odd_bytes(self):
        data = (b"TPF0" + short("TPagelette") + b"\x00" + short("Subject") + b"\x06"
                + short('a"b\r\n\t\\') + short("FormTitle") + b"\x06" + bytes([4, 0xE9, 0x01, 0x7F, 0x7E]) + b"\x00\x00")
        result = run("dump", self.write("odd.pgx", data))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b'Subject = string "a\\"b\\r\\n\\t\\\\"', result.stdout)
        self.assertIn(b'FormTitle = string "\\xE9\\x01\\x7F~"', result.stdout)


class BrokenFilesTest(CliTest):
    """Every broken or hostile file ends in the program's message and exit code 1."""

    def broken_files(self):
        page = self.read(os.path.basename(self.new_page()))
        return {
            "empty.pgx": b"",
            "signature.pgx": b"TPF1" + page[4:],
            "truncated.pgx": page[: len(page) // 2],
            "unknown-class.pgx": b"TPF0" + short("TForm1") + b"\x00\x00\x00",
            "unknown-property.pgx": b"TPF0" + short("TPagelette") + b"\x00" + short("Colour") + b"\x08\x00\x00",
            "huge-length.pgx": b"TPF0" + short("TPagelette") + b"\x00" + short("Email") + b"\x0c\xff\xff\xff\x7fabc",
            "garbage.pgx": bytes(range(256)) * 4,
            "deep-lists.pgx": b"TPF0" + short("TPagelette") + b"\x00" + short("X") + b"\x01" * 100000,
        }

    def test_html_dump_and_resave_reject_each_file(self):
        for name, data in self.broken_files().items():
            path = self.write(name, data)
            for args in (["html", path], ["dump", path], ["resave", path, self.path("out.pgx")]):
                if args[0] == "dump" and name == "unknown-property.pgx":
                    continue  # the dump needs no classes: it shows any well-formed stream
                if args[0] == "dump" and name == "unknown-class.pgx":
                    continue
                result = run(*args)
                self.assertEqual(result.returncode, 1, (name, args, result.stderr))
                self.assertTrue(result.stderr.startswith(NOT_A_DOCUMENT.encode()), (name, args, result.stderr))
                self.assertGreater(len(result.stderr.splitlines()), 1, (name, args))
            self.assertFalse(os.path.exists(self.path("out.pgx")))

    def test_a_file_far_larger_than_any_page_is_refused_unread(self):
        path = self.write("huge.pgx", b"TPF0" + short("TPagelette") + b"\x00")
        os.truncate(path, 129 << 20)  # sparse: costs no disk
        result = run("html", path)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"larger than 128 MB", result.stderr)

    def test_missing_file_directory_and_theme_file(self):
        for path in (self.path("missing.pgx"), self.dir, self.write("Themes.dat", plain_theme_file())):
            result = run("html", path)
            self.assertEqual(result.returncode, 1, path)
            self.assertTrue(result.stderr.startswith(NOT_A_DOCUMENT.encode()), result.stderr)


def without_display():
    """The environment of a terminal on a machine without any window system."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return env


def png_size(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", data[:8]
    return struct.unpack(">II", data[16:24])


class PreviewTest(CliTest):
    def test_every_command_runs_without_a_display_the_preview_draws_offscreen(self):
        env = without_display()
        page = self.path("page.pgx")
        for args in (["new", page], ["html", page], ["dump", page],
                     ["preview", page, "--home", self.dir, "--width", "500",
                      "-o", self.path("page.png")]):
            result = subprocess.run([CLI, *args], capture_output=True, timeout=120, env=env)
            self.assertEqual(result.returncode, 0, (args, result.stderr))
        width, height = png_size(self.read("page.png"))
        self.assertEqual(width, 500)
        self.assertGreater(height, 10)
        self.assertIn(b"preview FILE", run("--help").stdout)

    def test_text_of_an_html_file_with_its_pictures_beside_it(self):
        self.write("page.html", b'<BODY BGCOLOR="#000000" TEXT="#FFFFFF">Open 8 < 10.\r\n'
                                b"The next line &amp; more.<BR>"
                                b'<IMG SRC="missing.gif" ALT="Our logo">'
                                b'<FORM><INPUT TYPE="SUBMIT"> <INPUT TYPE="RESET"></FORM></BODY>')
        result = run("preview", self.path("page.html"), "--text", "-o", self.path("page.png"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.split(),
                         b"Open 8 < 10. The next line & more. Our logo Submit Query Reset".split())
        width, _ = png_size(self.read("page.png"))
        self.assertEqual(width, 800)

    def test_bad_arguments_and_files(self):
        page = self.new_page()
        for args in (["preview"], ["preview", page], ["preview", page, "--width", "5", "--text"],
                     ["preview", page, "--width"], ["preview", page, "-o"],
                     ["preview", page, page, "--text"], ["preview", page, "--wide", "--text"]):
            result = run(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertTrue(result.stderr, args)
        result = run("preview", self.write("bad.pgx", b"not a page"), "--text")
        self.assertEqual(result.returncode, 1)
        self.assertTrue(result.stderr.startswith(NOT_A_DOCUMENT.encode()), result.stderr)
        result = run("preview", self.path("gone.html"), "--text")
        self.assertEqual(result.returncode, 1)
        self.assertTrue(result.stderr)
        result = run("preview", page, "--home", self.dir, "-o", self.path("no/such/dir/x.png"))
        self.assertEqual(result.returncode, 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
