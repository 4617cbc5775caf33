#!/usr/bin/env python3
"""How well traditional text survives a trip to simplified and back.

Native traditional text (Taiwan translations shipped by Debian: the
Firefox ESR language pack and the New Maintainers' Guide) is sent to
simplified and back to traditional three ways, and compared with the original
character by character:
  tables     quillon-cli convert Big5 -> GBK -> Big5
  --phrases  the same with --phrases
  OpenCC     opencc t2s, then s2tw (on UTF-8)
Counted for each: hanzi that come back different, characters that Big5 lacks
(lost on the way to Big5: a box from quillon-cli, a character outside Big5
from OpenCC), and lines whose Big5 byte length changed.

Needs the built quillon-cli, `opencc` and the New Maintainers' Guide (Debian:
apt-get install opencc maint-guide-zh-tw); the language pack is fetched with
apt-get download and unpacked in a temporary folder, since installing it
would bring the browser along.

Usage: bench/evaluate_phrases.py [--cli PATH] [FILE.html|FILE.xpi|FILE ...]
"""

import argparse
import glob
import html
import os
import re
import subprocess
import sys
import tempfile
import zipfile

LANGUAGE_PACK = 'firefox-esr-l10n-zh-tw'
GUIDE = '/usr/share/doc/maint-guide-zh-tw/html/*.zh-tw.html'

BIG5_BOX = '\u25a1'  # what the Big5 replacement A1BC reads as


def is_hanzi(ch):
    return '\u4e00' <= ch <= '\u9fff' or '\u3400' <= ch <= '\u4dbf'


def read_text(path):
    """The text of a file: HTML without its markup, the message files of a
    language pack, or plain text."""
    if path.endswith('.xpi'):
        with zipfile.ZipFile(path) as pack:
            return '\n'.join(pack.read(name).decode('utf-8', 'replace') for name in pack.namelist()
                             if name.endswith(('.ftl', '.properties', '.dtd')))
    with open(path, encoding='utf-8') as f:
        body = f.read()
    if path.endswith('.html'):
        body = re.sub(r'(?is)<(script|style)\b.*?</\1>', '', body)
        body = html.unescape(re.sub(r'<[^>]*>', '', body))
    return body


def language_pack(work, package=LANGUAGE_PACK):
    """A language pack's .xpi files, fetched and unpacked into `work`."""
    subprocess.run(['apt-get', 'download', package], cwd=work, check=True, capture_output=True)
    deb = glob.glob(os.path.join(work, package + '_*.deb'))[0]
    subprocess.run(['dpkg-deb', '-x', deb, os.path.join(work, package)], check=True)
    return glob.glob(os.path.join(work, package, '**', '*.xpi'), recursive=True)


def text_lines(paths):
    """The lines of the texts that hold hanzi, less lines that standard Big5
    cannot hold whole (they could not be a Big5 source)."""
    lines = []
    for path in paths:
        for line in read_text(path).split('\n'):
            line = line.strip()
            if not any(is_hanzi(ch) for ch in line):
                continue
            try:
                line.encode('big5')
            except UnicodeEncodeError:
                continue
            lines.append(line)
    return lines


def quillon_round_trip(cli, lines, options, work):
    source = os.path.join(work, 'source.big5')
    with open(source, 'wb') as f:
        f.write(b''.join(line.encode('big5') + b'\n' for line in lines))
    simplified = os.path.join(work, 'simplified.gbk')
    back = os.path.join(work, 'back.big5')
    # GBK in between: GB2312 would lose the characters it lacks on the way.
    for args in (['--from', 'big5', '--to', 'gbk', source, simplified],
                 ['--from', 'gbk', '--to', 'big5', simplified, back]):
        proc = subprocess.run([cli, 'convert', '--quiet'] + options + args, capture_output=True)
        if proc.returncode > 1:
            sys.exit('quillon-cli failed: ' + proc.stderr.decode(errors='replace'))
    with open(back, 'rb') as f:
        out = f.read().split(b'\r\n')[:len(lines)]
    return [decode_big5(line) for line in out]


def decode_big5(data):
    """Big5 bytes to text, one character per byte or pair whatever the pair,
    so that positions stay comparable; GB's box (sent to FB4C) reads as the
    Big5 box."""
    out = []
    pos = 0
    while pos < len(data):
        if data[pos] < 0x80:
            out.append(chr(data[pos]))
            pos += 1
            continue
        pair = data[pos:pos + 2]
        pos += 2
        if pair == b'\xfb\x4c':
            out.append(BIG5_BOX)
            continue
        for codec in ('big5', 'cp950'):
            try:
                out.append(pair.decode(codec))
                break
            except UnicodeDecodeError:
                pass
        else:
            out.append('\ufffd')
    return ''.join(out)


def opencc_round_trip(lines):
    text = '\n'.join(lines) + '\n'
    for config in ('t2s', 's2tw'):
        text = subprocess.run(['opencc', '-c', config + '.json'], input=text.encode(),
                              capture_output=True, check=True).stdout.decode()
    return text.split('\n')[:len(lines)]


def big5_length(line):
    """Bytes of the line in Big5, a character Big5 lacks counted as the box
    that would stand for it."""
    return sum(len(ch.encode('big5')) if can_be_big5(ch) else 2 for ch in line)


def can_be_big5(ch):
    try:
        ch.encode('big5')
        return True
    except UnicodeEncodeError:
        return False


def compare(original, result):
    """(hanzi, hanzi that differ, characters lost to Big5, lines whose Big5
    length changed). Lines of equal length compare position by position; a
    line whose length changed counts every original hanzi as differing."""
    hanzi = differ = lost = resized = 0
    for before, after in zip(original, result):
        count = sum(1 for ch in before if is_hanzi(ch))
        hanzi += count
        lost += sum(1 for ch in after if ch == BIG5_BOX or not can_be_big5(ch)) \
            - sum(1 for ch in before if ch == BIG5_BOX)
        if big5_length(before) != big5_length(after):
            resized += 1
        if len(before) != len(after):
            differ += count
            continue
        differ += sum(1 for a, b in zip(before, after) if is_hanzi(a) and a != b)
    return hanzi, differ, lost, resized


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--cli', default=os.path.join(here, '..', 'build', 'cli', 'quillon-cli'))
    parser.add_argument('files', nargs='*', help='HTML files of traditional text')
    args = parser.parse_args()

    print('%-24s %-10s %8s %8s %7s %6s %8s' %
          ('text', 'route', 'hanzi', 'differ', '%', 'lost', 'resized'))
    with tempfile.TemporaryDirectory() as download:
        texts = {'given files': args.files} if args.files else \
            {LANGUAGE_PACK: language_pack(download), 'maint-guide-zh-tw': sorted(glob.glob(GUIDE))}
        for name, paths in texts.items():
            evaluate(name, paths, args.cli)


def evaluate(name, paths, cli):
    if not paths:
        print('%-24s not installed' % name)
        return
    lines = text_lines(paths)
    with tempfile.TemporaryDirectory() as work:
        routes = [('tables', quillon_round_trip(cli, lines, [], work)),
                  ('--phrases', quillon_round_trip(cli, lines, ['--phrases'], work)),
                  ('OpenCC', opencc_round_trip(lines))]
    for route, result in routes:
        hanzi, differ, lost, resized = compare(lines, result)
        print('%-24s %-10s %8d %8d %6.2f%% %6d %8d' %
              (name, route, hanzi, differ, 100.0 * differ / max(hanzi, 1), lost, resized))


if __name__ == '__main__':
    main()
