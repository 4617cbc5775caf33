#!/usr/bin/env python3
"""Quillon's format on a novel-like UTF-8 text of today.

Builds a text of about 200 KB from prose that Debian packages: the sayings
and tips of fortunes-zh (chinese) and the paragraphs of the Debian reference
and the New Maintainers' Guide in mainland Chinese (debian-reference-zh-cn,
maint-guide-zh-cn), which bring Latin words, numbers, commands, URLs and
paths. It is laid out as a novel: a prologue, forty chapters headed
第X章　TITLE (the titles are the reference's section titles, some long, some
with commas), an epilogue; paragraphs indented by two full-width blanks and
hard-wrapped at 28 to 36 characters, some on one line, and some chapters of
unindented paragraphs between empty lines. One early paragraph leaves a quote
open, and one quotation runs over three paragraphs, opened in each and
closed in the last. A hard-wrapped line never ends a paragraph's text early
on a sentence's end, which the default paragraph rule reads as the
paragraph's end, nor inside a Latin word, nor starts with closing
punctuation.

The text's own structure is the truth. `quillon-cli format --chars-per-line
30` with the defaults of a UTF-8 run formats it, and the output, read as
blocks between empty lines, is measured against it:
  headings found     a block of one line whose text is the heading's, or,
                     for a heading wider than a line, a block of its text
                     alone on as many lines as it needs;
  paragraphs found   a block whose text is the paragraph's (blanks left out,
                     full-width forms and quotes taken as their plain kin);
  closing starts     lines that start with closing punctuation (，。、；：？！）」』”
                     and their kin, ASCII , ; : ? ! ) too);
  opening ends       lines that end with opening punctuation (（「『“《 and kin);
                     shown, with no aim of its own here;
  Latin changed      Latin words (URLs and paths among them) and numbers of
                     the text missing from the output as they were: changed,
                     joined to a neighbour, or broken over a line end (a line
                     end reads as a blank), except that a word longer than a
                     line, 30 characters, may break at the width.
Aim: every heading and paragraph found, no closing start, no Latin word or
number changed. Exits 1 when an aim is missed, 2 when a package is missing
(Debian: apt-get install fortunes-zh debian-reference-zh-cn
maint-guide-zh-cn).

Usage: bench/evaluate_format.py [--cli PATH] [--keep DIR]
"""

import argparse
import collections
import glob
import html
import os
import random
import re
import subprocess
import sys
import tempfile
import unicodedata

FORTUNES = '/usr/share/games/fortunes/chinese'
REFERENCE = '/usr/share/debian-reference/*.zh-cn.html'
GUIDE = '/usr/share/doc/maint-guide-zh-cn/html/*.zh-cn.html'
CHARS_PER_LINE = 30
CHAPTERS = 40
TARGET_BYTES = 200_000

SENTENCE_ENDS = set('。！？…!?.')
CLOSING_QUOTES = set('”’」』')
CLOSING = set('，。、；：？！）」』”’》〉】〕｝…,;:?!)]}')
OPENING = set('（「『“‘《〈【〔｛([{')
SEPARATOR_MARKS = set('*#$-_=＊＃＄－＿＝')
# A Latin word or number: letters and digits, with the marks that URLs,
# paths, options, versions, times and dates hold inside them.
LATIN = re.compile(r'[-/~.]*[A-Za-z0-9](?:[A-Za-z0-9._:/%+@~#=?&-]*[A-Za-z0-9/%])?')
ESCAPES = re.compile(r'\x1b\[[0-9;]*m')
NUMBERED = re.compile(r'^\s*\d+(\.\d+)*\.?\s')


def is_wide(ch):
    return ord(ch) >= 0x80


def columns(text):
    """The text's width: a wide character takes two columns."""
    return sum(2 if is_wide(ch) else 1 for ch in text)


def join_lines(lines):
    """Lines of one paragraph as one: a blank where a line end stood between
    two Latin characters, nothing between Chinese ones."""
    text = ''
    for line in (line.strip() for line in lines):
        if not line:
            continue
        if text and not is_wide(text[-1]) and not is_wide(line[0]):
            text += ' '
        text += line
    return re.sub(r'[ \t\u00a0]+', ' ', text)


def ends_sentence(text):
    text = text.rstrip()
    while text and text[-1] in CLOSING_QUOTES:
        text = text[:-1]
    return bool(text) and text[-1] in SENTENCE_ENDS


def simplified(text):
    """Whether the text is mainland writing: GB2312 holds all of it."""
    try:
        text.encode('gb2312')
    except UnicodeEncodeError:
        return False
    return True


def usable(paragraph):
    """Prose of a novel's kind: simplified Chinese of a paragraph's length
    that ends a sentence, rather than a list item or a table row."""
    hanzi = sum(1 for ch in paragraph if '\u4e00' <= ch <= '\u9fff')
    return (20 <= len(paragraph) <= 400 and hanzi >= len(paragraph) // 3 and ends_sentence(paragraph)
            and simplified(paragraph) and paragraph[0] not in SEPARATOR_MARKS)


def fortune_paragraphs():
    with open(FORTUNES, encoding='utf-8') as f:
        text = ESCAPES.sub('', f.read())
    for fortune in text.split('\n%\n'):
        for block in re.split(r'\n\s*\n', fortune):
            lines = [line for line in block.split('\n')
                     if line.strip() and not line.strip().startswith(('--', '[')) and not NUMBERED.match(line)]
            paragraph = join_lines(lines)
            if usable(paragraph):
                yield paragraph


def html_text(fragment):
    return html.unescape(re.sub(r'<[^>]*>', '', fragment))


def reference_paragraphs_and_titles():
    paragraphs, titles = [], []
    for path in sorted(glob.glob(REFERENCE)) + sorted(glob.glob(GUIDE)):
        with open(path, encoding='utf-8') as f:
            page = f.read()
        for fragment in re.findall(r'(?s)<p\b[^>]*>(.*?)</p>', page):
            paragraph = join_lines(html_text(fragment).split('\n'))
            if usable(paragraph):
                paragraphs.append(paragraph)
        for fragment in re.findall(r'(?s)<h[23] class="title"[^>]*>(.*?)</h[23]>', page):
            title = join_lines(html_text(fragment).split('\n'))
            title = re.sub(r'^[\dA-Z]+(\.\d+)*\.\s*', '', title).strip()
            if any('\u4e00' <= ch <= '\u9fff' for ch in title) and not ends_sentence(title) and simplified(title):
                titles.append(title)
    return paragraphs, titles


def chinese_number(n):
    digits = '零一二三四五六七八九'
    tens, ones = divmod(n, 10)
    return ('' if tens == 0 else ('' if tens == 1 else digits[tens]) + '十') + (digits[ones] if ones else '')


def choose_titles(titles, rng):
    """Forty titles: some long (past the heading length of the old rule),
    some with a comma or an enumeration comma, the rest as they come."""
    titles = list(dict.fromkeys(titles))
    long = [t for t in titles if len(t) > 16]
    commas = [t for t in titles if ('，' in t or '、' in t) and t not in long]
    others = [t for t in titles if t not in long and t not in commas]
    chosen = rng.sample(long, min(6, len(long))) + rng.sample(commas, min(6, len(commas)))
    chosen += rng.sample(others, CHAPTERS - len(chosen))
    rng.shuffle(chosen)
    return chosen


def atoms(paragraph):
    """The paragraph's pieces that a line end may fall between: each wide
    character, and each Latin run with whether a blank stood before it."""
    out = []
    for match in re.finditer(r'[^\x00-\x7f]|[\x21-\x7e]+| +', paragraph):
        piece = match.group()
        if piece.startswith(' '):
            if out:
                out[-1] = (out[-1][0], out[-1][1], True)
            continue
        out.append((piece, 2 * len(piece) if is_wide(piece[0]) else len(piece), False))
    return out


def wrap(paragraph, width, indent):
    """Hard-wrapped lines of at most `width` columns (a wide character takes
    two), the first after `indent`: a line end takes the place of a blank,
    never falls inside a Latin run or before closing punctuation, and never
    follows a sentence's end while the paragraph goes on."""
    lines, line, used = [], indent, 2 * len(indent)
    pieces = atoms(paragraph)
    for i, (piece, size, blank_after) in enumerate(pieces):
        if used + size > width and line.strip() and not ends_sentence(line) and piece[0] not in CLOSING:
            lines.append(line)
            line, used = '', 0
        line += piece
        used += size
        if blank_after and i + 1 < len(pieces):
            line += ' '
            used += 1
    lines.append(line)
    return [l.rstrip(' ') for l in lines]


class Novel:
    """The text and its truth: headings and paragraphs in order."""

    def __init__(self):
        self.lines = []
        self.headings = []
        self.paragraphs = []

    def heading(self, text):
        if self.lines and self.lines[-1] != '':
            self.lines.append('')
        self.lines += [text, '']
        self.headings.append(text)

    def paragraph(self, text, layout, width):
        if layout == 'one-line':
            self.lines.append('\u3000\u3000' + text)
        elif layout == 'blank-line':
            if self.lines and self.lines[-1] != '':
                self.lines.append('')
            self.lines += wrap(text, width, '') + ['']
        else:
            self.lines += wrap(text, width, '\u3000\u3000')
        self.paragraphs.append(text)

    def text(self):
        return '\n'.join(self.lines).rstrip('\n') + '\n'


LATIN_SAMPLE = ('版本 2.100 发布于 2023-02-04 11:59:01 UTC，参见 www.debian.org 网站。'
                'He said "hello world" to me.')


def build_novel(rng):
    prose = [p for p in fortune_paragraphs() if '“' not in p and '”' not in p]
    fortunes = list(dict.fromkeys(fortune_paragraphs()))
    reference, titles = reference_paragraphs_and_titles()
    reference = list(dict.fromkeys(reference))
    rng.shuffle(fortunes)
    rng.shuffle(reference)
    quiet = [p for p in dict.fromkeys(prose) if len(p) < 120]
    novel = Novel()
    per_chapter = TARGET_BYTES // (CHAPTERS + 2)
    source = iter(fortunes)
    technical = iter(reference)

    def chapter(heading, number):
        novel.heading(heading)
        width = 2 * rng.randrange(28, 37)
        blank_lines = number % 5 == 4
        size = 0
        if number == 1:
            # A stray quote, left open where its sentence ends.
            stray = '他说：“' + rng.choice(quiet)
            novel.paragraph(stray, 'indented', width)
            size += len(stray.encode())
        if number == 2:
            novel.paragraph(LATIN_SAMPLE, 'one-line', width)
        if number == 7:
            # A quotation over three paragraphs, opened in each.
            parts = rng.sample(quiet, 3)
            for i, part in enumerate(parts):
                novel.paragraph('“' + part + ('”' if i == 2 else ''), 'indented', width)
        while size < per_chapter:
            text = next(technical) if rng.random() < 0.35 else next(source)
            layout = 'blank-line' if blank_lines else 'one-line' if rng.random() < 0.15 else 'indented'
            novel.paragraph(text, layout, width)
            size += len(text.encode())

    chapter('楔子', 0)
    for number, title in enumerate(choose_titles(titles, rng), 1):
        chapter('第%s章\u3000%s' % (chinese_number(number), title), number)
    chapter('后记', CHAPTERS + 1)
    return novel


def normalized(text):
    text = unicodedata.normalize('NFKC', text).replace('。', '.')
    text = re.sub('[“”‘’「」『』"\']', '"', text).replace('【', '[').replace('】', ']')
    return re.sub(r'\s+', '', text)


def blocks_of(output):
    """The output's blocks between empty lines, each a list of lines."""
    blocks, block = [], []
    for line in output.split('\n'):
        if line.strip():
            block.append(line)
        elif block:
            blocks.append(block)
            block = []
    if block:
        blocks.append(block)
    return blocks


def found(truths, candidates):
    """How many of `truths` some candidate matches, each candidate once."""
    available = collections.Counter(candidates)
    count = 0
    for truth in truths:
        if available[truth] > 0:
            available[truth] -= 1
            count += 1
    return count


def latin_changed(source, output):
    """(words, numbers) of the source's Latin runs missing from the output."""
    strict = ' '.join(line.strip() for line in output.split('\n'))
    loose = ''.join(line.strip() for line in output.split('\n'))
    have = collections.Counter(LATIN.findall(strict))
    words = numbers = 0
    for token, count in collections.Counter(LATIN.findall(source)).items():
        if len(token) > CHARS_PER_LINE and token in loose:
            continue
        missing = max(0, count - have[token])
        if re.search('[A-Za-z]', token):
            words += missing
        else:
            numbers += missing
    return words, numbers


def starts_with_closing(line):
    line = line.strip()
    if not line or line[0] not in CLOSING:
        return False
    # A period before a letter or digit starts a name (.bashrc), not a close.
    return line[0] != '.' or len(line) == 1 or not line[1].isalnum()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--cli', default=os.path.join(here, '..', 'build', 'cli', 'quillon-cli'))
    parser.add_argument('--keep', help='write the text and its formatted output into this folder')
    args = parser.parse_args()
    missing = [p for p in (FORTUNES, REFERENCE, GUIDE) if not glob.glob(p)]
    if missing:
        print('missing: %s (apt-get install fortunes-zh debian-reference-zh-cn maint-guide-zh-cn)'
              % ', '.join(missing), file=sys.stderr)
        return 2
    novel = build_novel(random.Random(36))
    source_text = novel.text()
    with tempfile.TemporaryDirectory() as work:
        folder = args.keep or work
        os.makedirs(folder, exist_ok=True)
        source = os.path.join(folder, 'novel.txt')
        target = os.path.join(folder, 'novel-formatted.txt')
        with open(source, 'w', encoding='utf-8') as f:
            f.write(source_text)
        subprocess.run([args.cli, 'format', '--quiet', '--chars-per-line', str(CHARS_PER_LINE), source, target],
                       check=True, stderr=subprocess.DEVNULL)
        with open(target, encoding='utf-8') as f:
            output = f.read()

    blocks = blocks_of(output)
    block_texts = [normalized(''.join(block)) for block in blocks]
    one_liners = [normalized(block[0]) for block in blocks if len(block) == 1]
    fitting = [h for h in novel.headings if columns(h) <= 2 * CHARS_PER_LINE]
    wider = [h for h in novel.headings if columns(h) > 2 * CHARS_PER_LINE]
    headings = (found([normalized(h) for h in fitting], one_liners) +
                found([normalized(h) for h in wider], block_texts))
    paragraphs = found([normalized(p) for p in novel.paragraphs], block_texts)
    lines = output.split('\n')
    closing = sum(1 for line in lines if starts_with_closing(line))
    opening = sum(1 for line in lines if line.strip() and line.rstrip()[-1] in OPENING)
    words, numbers = latin_changed(source_text, output)
    largest = max((len(''.join(block)) for block in blocks), default=0)

    print('text: %d bytes, %d lines, %d headings, %d paragraphs; output: %d blocks, the largest of %d characters'
          % (len(source_text.encode()), source_text.count('\n'), len(novel.headings), len(novel.paragraphs),
             len(blocks), largest))
    print()
    print('| measure | found | aim |')
    print('|---|---:|---:|')
    rows = [
        ('headings found', '%d of %d' % (headings, len(novel.headings)), 'all', headings == len(novel.headings)),
        ('paragraphs found', '%d of %d' % (paragraphs, len(novel.paragraphs)), 'all',
         paragraphs == len(novel.paragraphs)),
        ('lines starting with closing punctuation', str(closing), '0', closing == 0),
        ('lines ending with opening punctuation', str(opening), '-', True),
        ('Latin words and numbers changed', '%d (%d words, %d numbers)' % (words + numbers, words, numbers), '0',
         words + numbers == 0),
    ]
    for name, value, aim, _ in rows:
        print('| %s | %s | %s |' % (name, value, aim))
    return 0 if all(met for *_, met in rows) else 1


if __name__ == '__main__':
    sys.exit(main())
