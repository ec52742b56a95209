<?php
// The mail script of a page made with Brindle HTML Tessel: it mails what the page's e-mail
// form sends to the page's owner. Who gets the mail, its subject and where the browser goes
// afterwards were written in here when the page was saved; nothing a visitor sends can change
// them. Runs on PHP 7.4 and later with the extensions every PHP has.

const FORM_RECIPIENTS = @@RECIPIENTS@@;
const FORM_SUBJECT = @@SUBJECT@@;
const FORM_REDIRECT = @@REDIRECT@@;
const FORM_PAGE = @@PAGE@@;
// Label and the names its controls submit, in the form's order.
const FORM_FIELDS = @@FIELDS@@;
// The submitted name of the visitor's own e-mail address; empty when the form has none.
const FORM_EMAIL_FIELD = @@EMAIL_FIELD@@;
// A field hidden from people: only programs that fill in every field fill it in.
const FORM_HONEYPOT = @@HONEYPOT@@;
const FORM_SORT = @@SORT@@;
const FORM_BLANK_FIELDS = @@BLANK_FIELDS@@;
const FORM_PRINT_EMAIL = @@PRINT_EMAIL@@;
const FORM_PRINT_SUBJECT = @@PRINT_SUBJECT@@;
const FORM_REPORT_BROWSER = @@REPORT_BROWSER@@;
const FORM_REPORT_HOST = @@REPORT_HOST@@;
const FORM_REPORT_ADDRESS = @@REPORT_ADDRESS@@;

// Far more than any filled-in form; a bigger post is refused before it is read.
const MAX_POST_BYTES = 65536;

// Warnings go to the server's log, never into the answer.
ini_set('display_errors', '0');
error_reporting(E_ALL);

function h(string $text): string
{
    return htmlspecialchars($text, ENT_QUOTES | ENT_SUBSTITUTE, 'UTF-8');
}

// The form asks for UTF-8, but a browser may still send its own code page (read as Latin-1).
function utf8(string $text): string
{
    if (preg_match('//u', $text) === 1) {
        return $text;
    }
    $out = '';
    for ($i = 0, $n = strlen($text); $i < $n; ++$i) {
        $byte = ord($text[$i]);
        $out .= $byte < 0x80 ? $text[$i] : chr(0xC0 | ($byte >> 6)) . chr(0x80 | ($byte & 0x3F));
    }
    return $out;
}

// One line of text for the answer page, cut when long.
function short(string $text): string
{
    $text = preg_replace('/[\x00-\x1F\x7F]/', ' ', $text);
    return preg_match('/\A.{61}/us', $text) === 1 ? preg_replace('/\A(.{60}).*\z/us', '$1', $text) . '...' : $text;
}

// A text that goes into a mail header as one line: control characters become spaces.
function one_line(string $text): string
{
    return trim(preg_replace('/[\x00-\x1F\x7F]+/', ' ', utf8($text)));
}

// One plain address (name@host.domain), nothing else: no display name, no second address,
// no line break.
function is_address(string $text): bool
{
    return strlen($text) <= 254 && preg_match(
        '/\A[A-Za-z0-9!#$%&\'*+\/=?^_`{|}~-]+(?:\.[A-Za-z0-9!#$%&\'*+\/=?^_`{|}~-]+)*'
        . '@(?:[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?\.)+[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?\z/',
        $text
    ) === 1;
}

// A header text in RFC 2047 encoded words when it is not plain ASCII. The words are cut
// between characters, each at most 75 characters long.
function header_text(string $text): string
{
    if (preg_match('/[^\x20-\x7E]/', $text) !== 1) {
        return $text;
    }
    $words = [];
    $chunk = '';
    foreach (preg_split('//u', $text, -1, PREG_SPLIT_NO_EMPTY) as $character) {
        if (strlen($chunk) + strlen($character) > 45) {
            $words[] = $chunk;
            $chunk = '';
        }
        $chunk .= $character;
    }
    if ($chunk !== '') {
        $words[] = $chunk;
    }
    return implode(' ', array_map(function (string $word): string {
        return '=?UTF-8?B?' . base64_encode($word) . '?=';
    }, $words));
}

// A visitor's answer for the body of the mail: its line breaks as mail has them, no other
// control characters.
function body_text(string $text): string
{
    $text = preg_replace('/[\x00-\x08\x0B\x0C\x0E-\x1F\x7F]/', '', utf8($text));
    return preg_replace('/\r\n|\r|\n/', "\r\n", $text);
}

// Answers the browser with a short page and stops.
function answer(int $status, string $title, string $message): void
{
    http_response_code($status);
    header('Content-Type: text/html; charset=UTF-8');
    header('Cache-Control: no-store');
    header('X-Content-Type-Options: nosniff');
    $back = FORM_PAGE === '' ? '' : '<p><a href="' . h(rawurlencode(FORM_PAGE)) . '">Back to the page</a></p>' . "\n";
    echo "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n",
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n",
        '<title>', h($title), "</title>\n</head>\n<body>\n<h1>", h($title), "</h1>\n<p>",
        h($message), "</p>\n", $back, "</body>\n</html>\n";
    exit;
}

if (($_SERVER['REQUEST_METHOD'] ?? '') !== 'POST') {
    header('Allow: POST');
    answer(405, 'Please use the form', 'This address only receives the e-mail form of the page. '
        . 'Please fill in the form there and press its send button.');
}
$type = strtolower(trim(explode(';', (string)($_SERVER['CONTENT_TYPE'] ?? ''))[0]));
if ($type !== 'application/x-www-form-urlencoded') {
    answer(415, 'Not sent', 'The form arrived in a shape this page does not take, so nothing was sent.');
}
$tooLong = 'What was sent is longer than this form takes (' . (MAX_POST_BYTES / 1024)
    . ' KB), so nothing was sent. Please shorten your message and send it again.';
$declared = (string)($_SERVER['CONTENT_LENGTH'] ?? '');
if ($declared !== '' && (preg_match('/\A[0-9]{1,15}\z/', $declared) !== 1 || (int)$declared > MAX_POST_BYTES)) {
    answer(413, 'Not sent', $tooLong);
}
$body = file_get_contents('php://input', false, null, 0, MAX_POST_BYTES + 1);
if ($body === false || strlen($body) > MAX_POST_BYTES) {
    answer(413, 'Not sent', $tooLong);
}

// The post is read here rather than from $_POST, which renames fields with dots or spaces in
// their names and makes arrays of names with brackets.
$known = [FORM_HONEYPOT => true];
foreach (FORM_FIELDS as [$label, $names]) {
    foreach ($names as $name) {
        $known[$name] = true;
    }
}
$posted = [];
foreach (explode('&', $body) as $pair) {
    if ($pair === '') {
        continue;
    }
    $parts = explode('=', $pair, 2);
    $name = urldecode($parts[0]);
    if (!isset($known[$name])) {
        answer(400, 'Not sent', 'The form sent a field this page does not have ("' . short(utf8($name))
            . '"), so nothing was sent. If the page has changed since you opened it, please reload it '
            . 'and fill in the form again.');
    }
    $posted[$name][] = urldecode($parts[1] ?? '');
}
if (implode('', $posted[FORM_HONEYPOT] ?? []) !== '') {
    answer(400, 'Not sent', 'A field that people never see was filled in, as programs that send junk '
        . 'mail do, so nothing was sent.');
}

$to = [];
foreach (explode(',', FORM_RECIPIENTS) as $address) {
    $address = trim($address, " \t");
    if ($address !== '' && !is_address($address)) {
        $to = [];
        break;
    }
    if ($address !== '') {
        $to[] = $address;
    }
}
if (!$to) {
    answer(500, 'Not sent', 'This form has no valid address to send to, so nothing was sent. '
        . 'Please let the owner of the page know.');
}

$replyTo = '';
if (FORM_EMAIL_FIELD !== '') {
    $given = trim(utf8($posted[FORM_EMAIL_FIELD][0] ?? ''), " \t");
    if ($given !== '' && !is_address($given)) {
        answer(400, 'Please check your e-mail address', 'The e-mail address you typed ("' . short($given)
            . '") is not one address a reply could go to, so nothing was sent. Please go back, '
            . 'correct it and send the form again.');
    }
    $replyTo = $given;
}

$subject = one_line(FORM_SUBJECT);
if ($subject === '') {
    $subject = 'Form sent from ' . one_line(FORM_PAGE);
}

$entries = [];
foreach (FORM_FIELDS as [$label, $names]) {
    $values = [];
    foreach ($names as $name) {
        foreach ($posted[$name] ?? [] as $value) {
            $value = body_text($value);
            if ($value !== '') {
                $values[] = $value;
            }
        }
    }
    if ($values || FORM_BLANK_FIELDS) {
        $entries[] = [$label, implode(', ', $values)];
    }
}
if (FORM_SORT) {
    usort($entries, function (array $a, array $b): int {
        return strcasecmp($a[0], $b[0]);
    });
}

$lines = ['This was sent with the e-mail form of your page ' . one_line(FORM_PAGE) . '.', ''];
if (FORM_PRINT_SUBJECT) {
    $lines[] = 'Subject: ' . $subject;
}
if (FORM_PRINT_EMAIL) {
    $lines[] = 'E-mail: ' . $replyTo;
}
if (FORM_PRINT_SUBJECT || FORM_PRINT_EMAIL) {
    $lines[] = '';
}
foreach ($entries as [$label, $value]) {
    $lines[] = $label . ': ' . $value;
}
$report = [];
$remoteAddress = (string)($_SERVER['REMOTE_ADDR'] ?? '');
if (FORM_REPORT_ADDRESS) {
    $report[] = 'IP address: ' . one_line($remoteAddress);
}
if (FORM_REPORT_HOST) {
    $host = (string)($_SERVER['REMOTE_HOST'] ?? '');
    if ($host === '' && $remoteAddress !== '') {
        $host = (string)@gethostbyaddr($remoteAddress);
    }
    $report[] = 'Host name: ' . one_line($host);
}
if (FORM_REPORT_BROWSER) {
    $report[] = 'Browser: ' . one_line(substr((string)($_SERVER['HTTP_USER_AGENT'] ?? ''), 0, 500));
}
if ($report) {
    $lines[] = '';
    array_push($lines, ...$report);
}

$headers = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
    . 'Content-Transfer-Encoding: quoted-printable';
if ($replyTo !== '') {
    $headers .= "\r\nReply-To: " . $replyTo;
}
$body = quoted_printable_encode(implode("\r\n", $lines) . "\r\n");
if (!mail(implode(', ', $to), header_text($subject), $body, $headers)) {
    answer(500, 'Not sent', 'The web server could not send your message just now, so nothing was sent. '
        . 'Please try again later.');
}

$redirect = trim(FORM_REDIRECT);
if ($redirect !== '' && preg_match('/[\x00-\x20\x7F]/', $redirect) !== 1) {
    header('Location: ' . $redirect, true, 303);
    exit;
}
answer(200, 'Thank you', 'Your message has been sent.');
