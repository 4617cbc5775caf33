#!/usr/bin/env python3
"""Quillon's conversion of Unicode text against Debian's OpenCC.

Texts that ship in Debian packages, in UTF-8:
  simplified   the Chinese fortunes of fortunes-zh;
  traditional  the messages of the Taiwan translations installed under
               /usr/share/locale/zh_TW (msgunfmt of each catalogue).
For each of s2tw, t2s, s2twp and tw2sp (run on the text of the matching
form) it counts:
  hanzi differing  hanzi where quillon-cli's output differs from `opencc`'s
                   with the same configuration;
  others changed   characters other than hanzi that either changed from the
                   source (Quillon / OpenCC);
and, for the traditional text, hanzi that come back different from a round
trip to simplified and back (t2s, then s2tw), Quillon against OpenCC.

Needs the built quillon-cli, `opencc`, `msgunfmt` and fortunes-zh (Debian:
apt-get install opencc gettext fortunes-zh).

Usage: bench/evaluate_opencc.py [--cli PATH]
"""

import argparse
import difflib
import glob
import os
import subprocess
import sys
import tempfile

FORTUNES = ['/usr/share/games/fortunes/%s' % n for n in ('chinese', 'tang300', 'song100')]
CATALOGUES = '/usr/share/locale/zh_TW/LC_MESSAGES/*.mo'
# quillon-cli's options for each OpenCC configuration, by the output form.
OPTIONS = {
    's2tw': ['--form', 'traditional'],
    't2s': ['--form', 'simplified'],
    's2twp': ['--form', 'traditional', '--regional-words'],
    'tw2sp': ['--form', 'simplified', '--regional-words'],
}


def is_hanzi(ch):
    c = ord(ch)
    return 0x3400 <= c <= 0x9FFF or 0xF900 <= c <= 0xFAFF or 0x20000 <= c <= 0x3FFFF


def traditional_text():
    lines = []
    for catalogue in sorted(glob.glob(CATALOGUES)):
        po = subprocess.run(['msgunfmt', catalogue], capture_output=True, text=True).stdout
        lines += [line.split('"', 1)[1].rstrip('"') for line in po.splitlines()
                  if line.startswith('msgstr') and '"' in line]
    return '\n'.join(line for line in lines if any(is_hanzi(ch) for ch in line)) + '\n'


def simplified_text():
    text = ''
    for path in FORTUNES:
        with open(path, encoding='utf-8', errors='replace') as f:
            text += f.read()
    return text


def quillon(cli, config, text, work):
    source = os.path.join(work, 'in.txt')
    target = os.path.join(work, 'out.txt')
    with open(source, 'w', encoding='utf-8') as f:
        f.write(text)
    subprocess.run([cli, 'convert', '--quiet', '--from', 'utf-8', '--to', 'utf-8'] + OPTIONS[config]
                   + [source, target], check=True, stderr=subprocess.DEVNULL)
    with open(target, encoding='utf-8') as f:
        return f.read()


def opencc(config, text):
    return subprocess.run(['opencc', '-c', config], input=text, capture_output=True, text=True,
                          check=True).stdout


def differing(a, b, keep):
    """Characters `keep` takes that differ from text a to text b, line by line."""
    count = 0
    for x, y in zip(a.split('\n'), b.split('\n')):
        x = ''.join(ch for ch in x if keep(ch))
        y = ''.join(ch for ch in y if keep(ch))
        if x == y:
            continue
        for op, i1, i2, j1, j2 in difflib.SequenceMatcher(None, x, y, autojunk=False).get_opcodes():
            count += 0 if op == 'equal' else max(i2 - i1, j2 - j1)
    return count


def hanzi_differing(a, b):
    return differing(a, b, is_hanzi)


def others_changed(a, b):
    return differing(a, b, lambda ch: not is_hanzi(ch))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--cli', default=os.path.join(here, '..', 'build', 'cli', 'quillon-cli'))
    args = parser.parse_args()
    texts = {'simplified': simplified_text(), 'traditional': traditional_text()}
    print('| configuration | text | hanzi differing from opencc | others changed (Quillon / OpenCC) |')
    print('|---|---|---|---|')
    with tempfile.TemporaryDirectory() as work:
        for config in OPTIONS:
            name = 'simplified' if config.startswith('s2') else 'traditional'
            source = texts[name]
            ours = quillon(args.cli, config, source, work)
            theirs = opencc(config, source)
            print('| %s | %s | %d | %d / %d |' % (config, name, hanzi_differing(ours, theirs),
                                                  others_changed(source, ours),
                                                  others_changed(source, theirs)))
        source = texts['traditional']
        ours = quillon(args.cli, 's2tw', quillon(args.cli, 't2s', source, work), work)
        theirs = opencc('s2tw', opencc('t2s', source))
        print()
        print('Round trip t2s, s2tw of the traditional text, hanzi wrong: Quillon %d, OpenCC %d'
              % (hanzi_differing(source, ours), hanzi_differing(source, theirs)))


if __name__ == '__main__':
    sys.exit(main())
