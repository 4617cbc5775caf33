#!/usr/bin/env python3
"""Quillon's conversion of Unicode text against Debian's OpenCC.

Texts that ship in Debian packages, in UTF-8, each measured on its own:
  simplified   fortunes-zh's sayings (chinese) and its Tang and Song poems
               (tang300, song100); the messages of the mainland translations
               under /usr/share/locale/zh_CN (msgunfmt of each catalogue);
               the Firefox ESR and Thunderbird language packs for China;
  traditional  the messages of the Taiwan translations under
               /usr/share/locale/zh_TW; the Firefox ESR and Thunderbird
               language packs for Taiwan; the New Maintainers' Guide in Taiwan
               Chinese (maint-guide-zh-tw, its HTML without markup).
The language packs (firefox-esr-l10n-zh-cn and the like) are fetched with
apt-get download as bench/evaluate_phrases.py does. The guide's Taiwan text
is made from its mainland translation with OpenCC (its title page credits the
conversion, its changelog names OpenCC), so it holds OpenCC's own forms
(爲 裏 着 啓), which a round trip to Taiwan's standard writes as 為 裡 著 啟.
Not being native traditional text, it is measured but not held to the aim.
For each of s2tw, t2s, s2twp and tw2sp (run on the texts of the matching
form) it counts:
  hanzi differing  hanzi where `quillon-cli convert --opencc NAME` differs
                   from `opencc -c NAME`;
  others changed   characters other than hanzi that changed from the source
                   (Quillon / OpenCC);
and, for each traditional text, the hanzi that come back different from a
round trip to simplified and back (t2s, then s2tw), Quillon against OpenCC.
The aim, checked by the exit status: Quillon is wrong on fewer hanzi than
OpenCC on every native traditional text.

Needs the built quillon-cli, `opencc`, `msgunfmt`, fortunes-zh and
maint-guide-zh-tw (Debian: apt-get install opencc gettext fortunes-zh
maint-guide-zh-tw); a text whose package is missing is left out.

Usage: bench/evaluate_opencc.py [--cli PATH]
"""

import argparse
import difflib
import glob
import os
import subprocess
import sys
import tempfile

from evaluate_phrases import language_pack, read_text

FORTUNES = '/usr/share/games/fortunes/'
CATALOGUES = '/usr/share/locale/%s/LC_MESSAGES/*.mo'
GUIDE = '/usr/share/doc/maint-guide-zh-tw/html/*.zh-tw.html'
# Traditional texts that OpenCC itself wrote: a round trip measures how far
# another converter strays from OpenCC's forms, not from native usage.
MADE_BY_OPENCC = {'maint-guide-zh-tw'}
CONFIGURATIONS = ['s2tw', 't2s', 's2twp', 'tw2sp']
LANGUAGE_PACKS = [('firefox-esr-l10n-zh-cn', 'simplified'), ('thunderbird-l10n-zh-cn', 'simplified'),
                  ('firefox-esr-l10n-zh-tw', 'traditional'), ('thunderbird-l10n-zh-tw', 'traditional')]


def is_hanzi(ch):
    c = ord(ch)
    return 0x3400 <= c <= 0x9FFF or 0xF900 <= c <= 0xFAFF or 0x20000 <= c <= 0x3FFFF


def catalogue_messages(locale):
    """The translations of every installed catalogue of a locale, one a line."""
    lines = []
    for catalogue in sorted(glob.glob(CATALOGUES % locale)):
        po = subprocess.run(['msgunfmt', catalogue], capture_output=True, text=True).stdout
        message = None
        for line in po.splitlines() + ['']:
            if line.startswith('msgstr') and '"' in line:
                message = line.split('"', 1)[1][:-1]
            elif message is not None and line.startswith('"'):
                message += line[1:-1]
            elif message is not None:
                lines.append(message)
                message = None
    return '\n'.join(line for line in lines if any(is_hanzi(ch) for ch in line)) + '\n'


def files_text(paths):
    return ''.join(read_text(path) for path in paths)


def texts(download):
    """(name, form, text) of each text that is installed; the language packs
    are fetched into the folder `download`."""
    candidates = [
        ('fortunes-zh chinese', 'simplified', lambda: files_text([FORTUNES + 'chinese'])),
        ('fortunes-zh tang300+song100', 'simplified',
         lambda: files_text([FORTUNES + 'tang300', FORTUNES + 'song100'])),
        ('zh_CN catalogues', 'simplified', lambda: catalogue_messages('zh_CN')),
        ('zh_TW catalogues', 'traditional', lambda: catalogue_messages('zh_TW')),
        ('maint-guide-zh-tw', 'traditional', lambda: files_text(sorted(glob.glob(GUIDE)))),
    ] + [(pack, form, lambda pack=pack: files_text(language_pack(download, pack)))
         for pack, form in LANGUAGE_PACKS]
    for name, form, read in candidates:
        try:
            text = read()
        except (OSError, subprocess.CalledProcessError):
            text = ''
        if any(is_hanzi(ch) for ch in text):
            yield name, form, text
        else:
            print('(%s: not installed)' % name, file=sys.stderr)


def quillon(cli, config, text, work):
    source = os.path.join(work, 'in.txt')
    target = os.path.join(work, 'out.txt')
    with open(source, 'w', encoding='utf-8') as f:
        f.write(text)
    subprocess.run([cli, 'convert', '--quiet', '--from', 'utf-8', '--to', 'utf-8', '--opencc', config,
                    source, target], check=True, stderr=subprocess.DEVNULL)
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
    with tempfile.TemporaryDirectory() as download:
        found = list(texts(download))
    print('| configuration | text | hanzi | hanzi differing from opencc | others changed (Quillon / OpenCC) |')
    print('|---|---|---:|---:|---:|')
    with tempfile.TemporaryDirectory() as work:
        for config in CONFIGURATIONS:
            form = 'simplified' if config.startswith('s2') else 'traditional'
            for name, _, source in (t for t in found if t[1] == form):
                ours = quillon(args.cli, config, source, work)
                theirs = opencc(config, source)
                print('| %s | %s | %d | %d | %d / %d |' % (
                    config, name, sum(map(is_hanzi, source)), hanzi_differing(ours, theirs),
                    others_changed(source, ours), others_changed(source, theirs)))
        print()
        print('| round trip t2s, s2tw | hanzi | wrong: Quillon | wrong: OpenCC | Quillon fewer |')
        print('|---|---:|---:|---:|---|')
        failed = False
        for name, _, source in (t for t in found if t[1] == 'traditional'):
            native = name not in MADE_BY_OPENCC
            ours = quillon(args.cli, 's2tw', quillon(args.cli, 't2s', source, work), work)
            theirs = opencc('s2tw', opencc('t2s', source))
            wrong, wrong_opencc = hanzi_differing(source, ours), hanzi_differing(source, theirs)
            failed |= native and wrong >= wrong_opencc
            verdict = 'no' if wrong >= wrong_opencc else 'yes'
            print('| %s | %d | %d | %d | %s |' % (name, sum(map(is_hanzi, source)), wrong, wrong_opencc,
                                                 verdict if native else verdict + ' (made by OpenCC, not counted)'))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
