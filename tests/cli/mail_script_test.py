#!/usr/bin/python3
"""The mail script of a page, on a web server as a host runs it.

A page with a form of every field kind is written by tessel-cli, uploaded by tessel-cli to an
FTP server on loopback whose folder Apache with PHP serves; PHP mails through msmtp to an SMTP
server of our own on loopback that keeps every message. The form is then filled in as a
browser fills it in, and attacked.
"""
import email
import email.policy
import html.parser
import http.client
import json
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import time
import unittest
import urllib.parse

CLI = os.environ["TESSEL_CLI"]
PYFTPD = os.environ["TESSEL_PYFTPD"]
APACHE_MODULES = "/usr/lib/apache2/modules"

OWNER = "owner@club.example"
# Quotes, backslashes, the end of PHP code and a template token: none may escape its literal.
SUBJECT = "Caf\u00e9 \"order\" it's \\' ?> <?php mail('x@y.example','x','x'); @@REDIRECT@@ \\"


# --- documents, written in the component stream format ---------------------------------

def short(text):
    data = text.encode("utf-8")
    return bytes([len(data)]) + data


def text_value(text):
    data = text.encode("utf-8")
    if len(data) <= 255:
        return b"\x06" + bytes([len(data)]) + data
    return b"\x0c" + struct.pack("<i", len(data)) + data


def ident(name):
    return b"\x07" + short(name)


def boolean(value):
    return b"\x09" if value else b"\x08"


def record(name, value):
    return short(name) + value


def collection(items):
    return b"\x0e" + b"".join(b"\x01" + b"".join(item) + b"\x00" for item in items) + b"\x00"


def field(kind, name, label, lines=()):
    item = [record("FieldKind", ident(kind)), record("Name", text_value(name))]
    if lines:
        item.append(record("Strings.Strings", b"\x01" + b"".join(text_value(l) for l in lines) + b"\x00"))
    item.append(record("Text", text_value(label)))
    return item


FIELDS = [
    field("fkText", "Name", "Your name", ["Size=30", "Maxlength=100"]),
    field("fkText", "E-Mail", "Your e-mail address", ["Size=30"]),
    field("fkText", "Caf\u00e9 pr\u00e9f\u00e9r\u00e9", "Favourite caf\u00e9", ["Size=20"]),
    field("fkText", "Subject", "What about", ["Size=30"]),
    field("fkTextArea", "Comments", "Comments", ["Cols=30", "Rows=5"]),
    field("fkRadio", "Boat", "Boat", ["s|Sculls|No", "e|Eights|Yes"]),
    field("fkCheckBox", "Extras", "Extras", ["c|Coaching|Yes", "k|Kit hire|No"]),
    field("fkDropDown", "Day", "Day", ["sa|Saturday", "su|Sunday"]),
    field("fkButton", "Send Now", "Send"),
]


def document(subject, redirect="", sort=False, blank=False, service="script"):
    settings = [record("BlockType", ident("btPageProperties")), record("BlockAlign", ident("baNone")),
                record("BlockOnNewLine", boolean(False)),
                record("PagePropertiesBlock.PageTitle", text_value("Club contact")),
                record("PagePropertiesBlock.IndentMargin", text_value("0"))]
    forms = [record("BlockType", ident("btForms")), record("BlockAlign", ident("baLeft")),
             record("BlockOnNewLine", boolean(True))]
    options = [record("AlphaSort", boolean(sort)), record("BlankFields", boolean(blank)),
               record("BrowserUsed", boolean(True)), record("EmailSubject", boolean(True)),
               record("EnvReport", boolean(True)), record("Email", text_value(OWNER)),
               record("Subject", text_value(subject))]
    if redirect:
        options.append(record("Redirect", text_value(redirect)))
    if service:
        options.append(record("FormService", text_value(service)))
    return (b"TPF0" + short("TPagelette") + b"\x00" + record("Page", collection([settings, forms]))
            + record("WebForm", collection(FIELDS)) + b"".join(options) + b"\x00\x00")


# --- the page's form, read as a browser reads it ------------------------------------------

class FormReader(html.parser.HTMLParser):
    """The FORM's attributes and its controls in page order."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.form = {}
        self.controls = []  # [kind, name, value, checked, options]
        self.select = None
        self.option = None
        self.textarea = None

    def handle_starttag(self, tag, attrs):
        a = {k: (v or "") for k, v in attrs}
        if tag == "form":
            self.form = a
        elif tag == "input":
            self.controls.append([a.get("type", "text").lower(), a.get("name", ""), a.get("value", ""),
                                  "checked" in a, None])
        elif tag == "select":
            self.select = ["select", a.get("name", ""), "", False, []]
            self.controls.append(self.select)
        elif tag == "option" and self.select is not None:
            self.option = [a.get("value", ""), ""]
            self.select[4].append(self.option)
        elif tag == "textarea":
            self.textarea = ["textarea", a.get("name", ""), "", False, None]
            self.controls.append(self.textarea)

    def handle_data(self, data):
        if self.textarea is not None:
            self.textarea[2] += data
        elif self.option is not None:
            self.option[1] += data.strip()

    def handle_endtag(self, tag):
        if tag == "select":
            self.select = self.option = None
        elif tag == "textarea":
            self.textarea = None


def browser_post(page_html, answers, ticks=None):
    """The pairs a browser sends: text answers by name, radio and drop-down picks by name,
    the check boxes named in `ticks` ticked (None: as the page ticks them), and every other
    control with the value the page gives it."""
    reader = FormReader()
    reader.feed(page_html)
    pairs = []
    for kind, name, value, checked, options in reader.controls:
        if not name or kind in ("submit", "reset", "button"):
            continue
        if kind == "radio":
            if answers.get(name) == value:
                pairs.append((name, value))
        elif kind == "checkbox":
            if (checked if ticks is None else name in ticks):
                pairs.append((name, value))
        elif kind == "select":
            offered = [v for v, _ in options]
            assert answers[name] in offered, (name, offered)
            pairs.append((name, answers[name]))
        else:
            pairs.append((name, answers.get(name, value)))
    return reader.form, pairs


def encode(pairs):
    return urllib.parse.urlencode(pairs, encoding="utf-8").encode("ascii")


# --- the servers -----------------------------------------------------------------------

def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, process, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if process.poll() is not None:
            return False
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return True
        except OSError:
            time.sleep(0.05)
    return False


class Sink:
    """An SMTP server that keeps every message with its envelope."""

    def __init__(self):
        self.messages = []

    async def handle_DATA(self, server, session, envelope):
        self.messages.append((envelope.mail_from, list(envelope.rcpt_tos),
                              email.message_from_bytes(envelope.original_content,
                                                       policy=email.policy.default)))
        return "250 Kept"


SERVERS = {}


def skip(reason):
    tearDownModule()
    raise unittest.SkipTest(reason)


def setUpModule():
    try:
        start_servers()
    except unittest.SkipTest:
        raise
    except BaseException:
        tearDownModule()
        raise


def start_servers():
    if not os.path.exists(os.path.join(APACHE_MODULES, "mod_mpm_prefork.so")) or not shutil.which("apache2"):
        raise unittest.SkipTest("apache2 is not installed (Debian: apache2 libapache2-mod-php)")
    php = sorted(n for n in os.listdir(APACHE_MODULES) if n.startswith("libphp"))
    if not php or not shutil.which("msmtp"):
        raise unittest.SkipTest("mod_php or msmtp is not installed (Debian: libapache2-mod-php msmtp)")
    try:
        from aiosmtpd.controller import Controller
    except ImportError:
        raise unittest.SkipTest("python3-aiosmtpd is not installed")

    folder = tempfile.mkdtemp(prefix="tessel-mail-")
    SERVERS["folder"] = folder
    web = os.path.join(folder, "ftp", "www")
    os.makedirs(os.path.join(web, "broken"))
    for path in (folder, os.path.join(folder, "ftp"), web, os.path.join(web, "broken")):
        os.chmod(path, 0o755)  # Apache's children read it as another user
    SERVERS["web"] = web

    sink = Sink()
    smtp_port = free_port()
    controller = Controller(sink, hostname="127.0.0.1", port=smtp_port)
    controller.start()
    SERVERS["smtp"] = controller
    SERVERS["sink"] = sink

    msmtprc = os.path.join(folder, "msmtprc")
    with open(msmtprc, "w") as f:
        f.write("defaults\nauth off\ntls off\naccount default\nhost 127.0.0.1\n"
                "port %d\nfrom web@club.example\n" % smtp_port)
    os.chmod(msmtprc, 0o644)

    port = free_port()
    user = "User nobody\nGroup nogroup\n" if os.geteuid() == 0 else ""
    with open(os.path.join(folder, "httpd.conf"), "w") as f:
        f.write(f"""ServerRoot "{folder}"
ServerName 127.0.0.1
Listen 127.0.0.1:{port}
PidFile {folder}/httpd.pid
ErrorLog {folder}/error.log
DefaultRuntimeDir {folder}
Mutex file:{folder}
LoadModule mpm_prefork_module {APACHE_MODULES}/mod_mpm_prefork.so
LoadModule authz_core_module {APACHE_MODULES}/mod_authz_core.so
LoadModule php_module {APACHE_MODULES}/{php[-1]}
{user}StartServers 1
MinSpareServers 1
MaxSpareServers 3
DocumentRoot "{web}"
<Directory "{web}">
  Require all granted
</Directory>
<FilesMatch "\\.php$">
  SetHandler application/x-httpd-php
</FilesMatch>
php_admin_value sendmail_path "/usr/bin/msmtp -C {msmtprc} -t"
<Directory "{web}/broken">
  php_admin_value sendmail_path /bin/false
</Directory>
""")
    apache = subprocess.Popen(["apache2", "-f", os.path.join(folder, "httpd.conf"), "-DFOREGROUND"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                              # Apache signals its whole process group when it stops.
                              start_new_session=True)
    SERVERS["apache"] = apache
    if not wait_for_port(port, apache):
        skip("apache2 could not start: " + apache.stderr.read1(4000).decode(errors="replace")
             if apache.poll() is not None else "apache2 did not listen in time")
    SERVERS["port"] = port

    ftp = subprocess.Popen(["/usr/bin/python3", PYFTPD, os.path.join(folder, "ftp"), "alice", "secret"],
                           stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           text=True)
    SERVERS["ftp"] = ftp
    line = ftp.stdout.readline()
    if not line.startswith("PORT "):
        skip("pyftpdlib could not start")
    SERVERS["ftp_port"] = int(line.split()[1])


def tearDownModule():
    apache = SERVERS.pop("apache", None)
    if apache is not None:
        apache.terminate()
        apache.wait(timeout=30)
        apache.stderr.close()
    ftp = SERVERS.pop("ftp", None)
    if ftp is not None:
        ftp.stdin.close()
        ftp.wait(timeout=30)
        ftp.stdout.close()
    smtp = SERVERS.pop("smtp", None)
    if smtp is not None:
        smtp.stop()
    folder = SERVERS.pop("folder", None)
    if folder:
        shutil.rmtree(folder, ignore_errors=True)


def cli(*args):
    result = subprocess.run([CLI, *args], capture_output=True, timeout=120,
                            env=dict(os.environ, FTP_PASSWORD="secret"))
    if result.returncode != 0:
        raise AssertionError("tessel-cli %s: %s" % (" ".join(args), result.stderr.decode(errors="replace")))
    return result


def publish(name, data, folder="www"):
    """Writes the document, its server copy and the script, and uploads both by FTP."""
    stage = tempfile.mkdtemp(prefix="stage-", dir=SERVERS["folder"])
    source = os.path.join(stage, name + ".pgx")
    with open(source, "wb") as f:
        f.write(data)
    page = os.path.join(stage, name + ".html")
    cli("html", source, "--mode", "2", "-o", page)
    script = os.path.join(stage, name + "-mail.php")
    files = [page, script] if os.path.exists(script) else [page]
    cli("upload", "--host", "127.0.0.1", "--port", str(SERVERS["ftp_port"]), "--user", "alice",
        "--password-env", "FTP_PASSWORD", "--dir", folder, *files)
    return [os.path.basename(f) for f in files]


def request(method, path, body=None, headers=None):
    connection = http.client.HTTPConnection("127.0.0.1", SERVERS["port"], timeout=60)
    try:
        connection.request(method, path, body=body, headers=headers or {})
        response = connection.getresponse()
        return response.status, dict(response.getheaders()), response.read().decode("utf-8", "replace")
    finally:
        connection.close()


def post(path, body, content_type="application/x-www-form-urlencoded"):
    return request("POST", path, body, {"Content-Type": content_type})


ANSWERS = {
    "name": "Ren\u00e9e O'Brien",
    "e-mail": "renee@home.example",
    "caf\u00e9_pr\u00e9f\u00e9r\u00e9": "Le Pr\u00e9 \u00e0 c\u00f4t\u00e9",
    "subject": "Hi\r\nBcc: victim@elsewhere.example",
    "comments": "Line one \u00e9\r\nLine two & <three>",
    "boat": "s",
    "day": "su",
}


class MailScriptTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.uploaded = publish("Club", document(SUBJECT))
        cls.page = request("GET", "/Club.html")

    def setUp(self):
        self.sink = SERVERS["sink"]
        self.before = len(self.sink.messages)

    def new_messages(self):
        return self.sink.messages[self.before:]

    def filled_in(self, answers=ANSWERS, ticks=("extras_kit_hire",)):
        status, _, page_html = self.page
        self.assertEqual(status, 200)
        form, pairs = browser_post(page_html, answers, ticks)
        self.assertEqual(form.get("method", "").upper(), "POST")
        self.assertEqual(form.get("accept-charset", "").upper(), "UTF-8")
        return form["action"], pairs

    def test_the_script_goes_up_with_the_page_and_the_form_posts_to_it(self):
        self.assertEqual(self.uploaded, ["Club.html", "Club-mail.php"])
        action, pairs = self.filled_in()
        self.assertEqual(action, "Club-mail.php")
        names = [name for name, _ in pairs]
        # FormMail's hidden fields stay off a page whose script knows its settings.
        for hidden in ("recipient", "redirect", "env_report", "print_config"):
            self.assertNotIn(hidden, names)
        self.assertNotIn(OWNER, self.page[2])
        self.assertIn("website_url", names)

    def test_a_filled_in_form_reaches_its_owner_with_every_field(self):
        action, pairs = self.filled_in()
        status, _, answer = post("/" + action, encode(pairs))
        self.assertEqual(status, 200, answer)
        self.assertIn("Your message has been sent.", answer)
        self.assertIn('href="Club.html"', answer)

        messages = self.new_messages()
        self.assertEqual(len(messages), 1)
        _, recipients, mail = messages[0]
        self.assertEqual(recipients, [OWNER])
        self.assertEqual(mail["To"], OWNER)
        self.assertEqual(str(mail["Subject"]), SUBJECT)
        self.assertEqual(mail["Reply-To"], "renee@home.example")
        self.assertIsNone(mail["Bcc"])
        self.assertIsNone(mail["Cc"])
        self.assertEqual(mail.get_content_type(), "text/plain")
        self.assertEqual(mail.get_content_charset(), "utf-8")
        body = mail.get_content().replace("\r\n", "\n")
        fields = body.split("\n\n")[2]
        self.assertEqual(fields.split("\n"), [
            "Name: Ren\u00e9e O'Brien",
            "E-Mail: renee@home.example",
            "Caf\u00e9 pr\u00e9f\u00e9r\u00e9: Le Pr\u00e9 \u00e0 c\u00f4t\u00e9",
            "Subject: Hi",
            "Bcc: victim@elsewhere.example",
            "Comments: Line one \u00e9",
            "Line two & <three>",
            "Boat: s",
            "Extras: k",
            "Day: su",
        ])
        self.assertIn("Subject: " + SUBJECT, body)
        self.assertIn("IP address: 127.0.0.1", body)
        self.assertIn("Browser: ", body)

    def test_no_post_picks_a_recipient_adds_a_header_or_passes_the_checks(self):
        action, pairs = self.filled_in()
        path = "/" + action
        hostile = {
            "recipient field": (post(path, encode(pairs + [("recipient", "victim@elsewhere.example")])),
                                400, "does not have"),
            "redirect field": (post(path, encode(pairs + [("redirect", "http://127.0.0.2:9/")])),
                               400, "does not have"),
            "CR LF in the e-mail field": (
                post(path, encode([(n, "renee@home.example\r\nBcc: victim@elsewhere.example"
                                    if n == "e-mail" else v) for n, v in pairs])),
                400, "check your e-mail address"),
            "a line feed after the e-mail address": (
                post(path, encode([(n, "renee@home.example\n" if n == "e-mail" else v) for n, v in pairs])),
                400, "check your e-mail address"),
            "two addresses in the e-mail field": (
                post(path, encode([(n, "renee@home.example, victim@elsewhere.example"
                                    if n == "e-mail" else v) for n, v in pairs])),
                400, "check your e-mail address"),
            "a megabyte": (post(path, encode(pairs + [("comments", "x" * (1 << 20))])), 413, "longer than"),
            "filled honeypot": (post(path, encode([(n, "http://127.0.0.2/" if n == "website_url" else v)
                                                   for n, v in pairs])), 400, "never see"),
            "GET": (request("GET", path + "?" + encode(pairs).decode()), 405, "only receives"),
            "multipart": (post(path, b"--x\r\n\r\n--x--\r\n", "multipart/form-data; boundary=x"),
                          415, "nothing was sent"),
        }
        for case, ((status, headers, answer), expected, words) in hostile.items():
            with self.subTest(case):
                self.assertEqual(status, expected, answer)
                self.assertIn(words, answer)
                self.assertIn("<h1>", answer)
        self.assertEqual(hostile["GET"][0][1].get("Allow"), "POST")
        self.assertEqual(self.new_messages(), [])

    def test_a_post_without_an_address_is_sent_without_reply_to(self):
        action, pairs = self.filled_in(dict(ANSWERS, **{"e-mail": ""}), ticks=())
        status, _, answer = post("/" + action, encode(pairs))
        self.assertEqual(status, 200, answer)
        (_, recipients, mail), = self.new_messages()
        self.assertEqual(recipients, [OWNER])
        self.assertIsNone(mail["Reply-To"])
        self.assertNotIn("Extras:", mail.get_content())  # nothing ticked, blank fields left out


class MailScriptOptionsTest(unittest.TestCase):
    def test_sorted_with_blank_fields_and_a_redirect(self):
        self.assertEqual(publish("Sorted", document("Sorted", redirect="thanks.html", sort=True, blank=True)),
                         ["Sorted.html", "Sorted-mail.php"])
        _, _, page_html = request("GET", "/Sorted.html")
        form, pairs = browser_post(page_html, {"name": "Jo", "boat": "e", "day": "sa"})
        before = len(SERVERS["sink"].messages)
        status, headers, _ = post("/" + form["action"], encode(pairs))
        self.assertEqual(status, 303)
        self.assertEqual(headers.get("Location"), "thanks.html")
        (_, _, mail), = SERVERS["sink"].messages[before:]
        self.assertEqual(str(mail["Subject"]), "Sorted")
        labels = [line.split(":")[0] for line in mail.get_content().replace("\r\n", "\n").split("\n\n")[2].split("\n")]
        self.assertEqual(labels, sorted(labels, key=str.lower))
        self.assertIn("Comments", labels)  # left blank, still listed
        self.assertIn("Extras: c", mail.get_content())  # ticked on the page

    def test_a_mail_the_server_cannot_send_is_not_reported_as_sent(self):
        publish("Broken", document("Broken"), folder="www/broken")
        _, _, page_html = request("GET", "/broken/Broken.html")
        form, pairs = browser_post(page_html, {"boat": "e", "day": "sa"})
        before = len(SERVERS["sink"].messages)
        status, _, answer = post("/broken/" + form["action"], encode(pairs))
        self.assertEqual(status, 500, answer)
        self.assertIn("could not send your message", answer)
        self.assertNotIn("Thank you", answer)
        self.assertEqual(SERVERS["sink"].messages[before:], [])

    def test_a_page_that_does_not_use_the_script_has_none(self):
        self.assertEqual(publish("Plain", document("Plain", service="")), ["Plain.html"])
        _, _, page_html = request("GET", "/Plain.html")
        form, pairs = browser_post(page_html, {"boat": "e", "day": "sa"})
        self.assertEqual(form["action"], "/cgi-bin/FormMail.pl")
        self.assertIn(("recipient", OWNER), pairs)


if __name__ == "__main__":
    unittest.main()
