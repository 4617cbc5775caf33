#!/usr/bin/env python3
"""Generate engine/code_tables.cpp: the GBK-to-Big5 and Big5-to-GB tables.

Route, per two-byte code:
  legacy code --iconv--> Unicode --OpenCC character dictionaries--> Unicode
  --iconv--> target code, with 0 where nothing maps, then a short list of
  hand-checked overrides. A GB2312 hanzi that Big5 lacks in every form the
  dictionaries give maps to a variant form that Big5 has, where Unihan or
  OpenCC name one (see variant_candidates).

Needs Python 3, the command-line tools `iconv` (glibc) and `opencc_dict`,
OpenCC's dictionaries and the Unihan database (Debian: apt-get install opencc
libopencc-data unicode-data).

Usage: python3 tools/generate_code_tables.py [--opencc-dir DIR] [--unihan FILE]
                                             [--output FILE]
"""

import argparse
import bz2
import collections
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

# Index formula shared with engine/code_tables.h.
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFE
ROW_SIZE = TRAIL_LAST - TRAIL_FIRST + 1  # 191

GBK_LEAD_BASE = 0x81
GBK_LAST_CODE = 0xFE50  # the table stops here; nothing mapped beyond it
BIG5_LEAD_BASE, BIG5_LEAD_LAST = 0xA1, 0xF9

GBK_ENTRIES = (GBK_LAST_CODE >> 8) * ROW_SIZE + (GBK_LAST_CODE & 0xFF) \
    - GBK_LEAD_BASE * ROW_SIZE - TRAIL_FIRST + 1
BIG5_ENTRIES = (BIG5_LEAD_LAST - BIG5_LEAD_BASE + 1) * ROW_SIZE
assert GBK_ENTRIES == 23892 and BIG5_ENTRIES == 16999

# Hand-checked entries the automatic route cannot produce.
GBK_TO_BIG5_OVERRIDES = {
    # Established GB-to-Big5 tables send these full-width marks to Big5's
    # small forms; converted text should agree with what is already out there.
    0xA3AC: 0xA14D,  # ，  -> ﹐
    0xA3BF: 0xA153,  # ？  -> ﹖
    0xA3A1: 0xA154,  # ！  -> ﹗
    0xA1A2: 0xA14E,  # 、  -> ﹑
    # No standard Big5 code (□ is left to A1BC's own rule below); the
    # established tables give these user-defined codes, which readers know.
    0xA1F5: 0xFB4C,  # □ (GB's square)
    0xD8AD: 0xFB7D,  # 亍
    0xD8E9: 0xC8E0,  # 氽
    # The financial numeral three: Big5 text writes it 參. The variant data
    # offer only 叄, which Big5 lacks, and the plain 三, which would undo the
    # point of a financial numeral.
    0xC8FE: 0xB0D1,  # 叁  -> 參
}
BIG5_TO_GB_OVERRIDES = {
    # iconv reads A1BC as □ U+25A1; established tables leave it unmapped and
    # pair GB's □ with a user-defined code instead (see above), so do we.
    0xA1BC: 0,
    # Big5 symbols without a GBK code, sent to the obvious look-alike.
    0xA145: 0xA1A4,  # ‧ hyphenation point -> · middle dot
    0xA1C2: 0xA1A5,  # ¯ macron            -> ˉ modifier macron
    0xA15A: 0xA3DF,  # ╴ light left        -> ＿ full-width low line
    0xA1C5: 0xA3DF,  # ˍ modifier low line -> ＿ full-width low line
}


def both_bytes_high(code):
    """True inside the GB2312 byte range: lead and trail both A1..FE."""
    return 0xA1 <= code >> 8 <= 0xFE and 0xA1 <= code & 0xFF <= 0xFE


def big5_is_standard(code):
    """Standard Big5 has no euro sign and no rows C6A1..C8FE; glibc's chart
    adds both (the latter as private-use), but text in the wild does not."""
    return code != 0xA3E1 and not 0xC6A1 <= code <= 0xC8FE


def gbk_codes():
    for index in range(GBK_ENTRIES):
        yield (GBK_LEAD_BASE + index // ROW_SIZE) << 8 | (TRAIL_FIRST + index % ROW_SIZE)


def big5_codes():
    for index in range(BIG5_ENTRIES):
        yield (BIG5_LEAD_BASE + index // ROW_SIZE) << 8 | (TRAIL_FIRST + index % ROW_SIZE)


def run(args, data=None):
    return subprocess.run(args, input=data, capture_output=True, check=False)


# ---------------------------------------------------------------- iconv

MARK = re.compile(rb'@([0-9A-F]{6})@')


def _framed_iconv(items, encode_item, from_cs, to_cs):
    """Convert many small items in one iconv run.

    Each item travels between ASCII markers with newline padding, and -c drops
    what does not convert.  A multibyte decoder that gives up on a bad lead
    byte may swallow a byte or two after it; the padding absorbs that, and
    the caller rechecks anything doubtful one item at a time."""
    chunks = []
    for number, item in enumerate(items):
        chunks.append(b'@%06X@' % number + encode_item(item) + b'\n\n\n')
    out = run(['iconv', '-c', '-f', from_cs, '-t', to_cs], b''.join(chunks)).stdout
    pieces = {}
    parts = MARK.split(out)
    for i in range(1, len(parts), 2):
        pieces[int(parts[i], 16)] = parts[i + 1].rstrip(b'\n')
    return pieces


def decode_codes(charset, codes):
    """Two-byte code -> single Unicode character, for codes the chart maps."""
    codes = list(codes)
    pieces = _framed_iconv(codes, lambda c: bytes([c >> 8, c & 0xFF]), charset, 'UTF-8')
    result = {}
    for number, code in enumerate(codes):
        text = pieces.get(number, b'').decode('utf-8', 'replace')
        if len(text) == 1 and ord(text) >= 0xA0:
            result[code] = text
        elif text:
            # Doubtful: perhaps a lead byte dropped and its trail read on its
            # own (as ASCII, or as a C1 control when the trail is 0x80).  Ask
            # iconv strictly about this code alone.
            alone = run(['iconv', '-f', charset, '-t', 'UTF-8'], bytes([code >> 8, code & 0xFF]))
            text = alone.stdout.decode('utf-8', 'replace')
            if alone.returncode == 0 and len(text) == 1 and ord(text) >= 0xA0:
                result[code] = text
    return result


def encode_chars(charset, chars):
    """Unicode character -> two-byte code in charset, where there is one."""
    chars = sorted(set(chars))
    pieces = _framed_iconv(chars, lambda ch: ch.encode('utf-8'), 'UTF-8', charset)
    result = {}
    for number, ch in enumerate(chars):
        raw = pieces.get(number, b'')
        if len(raw) == 2 and raw[0] >= 0x81:
            result[ch] = raw[0] << 8 | raw[1]
    return result


# ---------------------------------------------------------------- OpenCC

def opencc_entries(directory, name, workdir):
    """An OpenCC dictionary as text, a key and its candidates per line."""
    source = os.path.join(directory, name + '.ocd2')
    target = os.path.join(workdir, name + '.txt')
    proc = run(['opencc_dict', '-i', source, '-o', target, '-f', 'ocd2', '-t', 'text'])
    if proc.returncode != 0 or not os.path.exists(target):
        sys.exit('opencc_dict failed on %s: %s' % (source, proc.stderr.decode(errors='replace')))
    with open(target, encoding='utf-8') as f:
        return f.read().splitlines()


def load_opencc_candidates(directory, name, workdir):
    """Single-character entries of an OpenCC dictionary: key -> candidates."""
    table = {}
    for line in opencc_entries(directory, name, workdir):
        key, _, values = line.partition('\t')
        candidates = [v for v in values.split(' ') if len(v) == 1]
        if len(key) == 1 and candidates:
            table[key] = candidates
    return table


def load_opencc(directory, name, workdir):
    """Single-character entries of an OpenCC dictionary: key -> first candidate."""
    return {key: values[0]
            for key, values in load_opencc_candidates(directory, name, workdir).items()}


# ---------------------------------------------------------------- variants

def load_unihan_variants(path):
    """Unihan's variant fields: (field, character) -> variants. Semantic and
    Z variants are made symmetric, since Unihan lists some pairs one way."""
    variants = collections.defaultdict(list)
    with bz2.open(path, 'rt', encoding='utf-8') as f:
        for line in f:
            if line.startswith('#') or not line.strip():
                continue
            code, field, values = line.rstrip('\n').split('\t')
            if field not in ('kSemanticVariant', 'kZVariant', 'kTraditionalVariant'):
                continue
            ch = chr(int(code[2:], 16))
            for value in values.split():
                other = chr(int(value.split('<')[0][2:], 16))
                if other == ch:
                    continue
                variants[field, ch].append(other)
                if field != 'kTraditionalVariant':
                    variants[field, other].append(ch)
    return variants


def variant_candidates(ch, st_all, tw, ts_all, tw_phrases, unihan):
    """Forms of a simplified character to try when Big5 lacks its own: first
    its traditional forms (every STCharacters candidate through TWVariants,
    the characters TSCharacters simplifies to it, Unihan's traditional
    variants, and TWPhrases' one-character Taiwan forms of any of these or of
    the character itself, such as the names of elements), then their
    semantic and Z variants, then the character's own."""
    traditional = []
    for t in st_all.get(ch, []):
        traditional += [tw.get(t, t), t]
    traditional += [t for t, simple in ts_all.items() if ch in simple]
    traditional += unihan.get(('kTraditionalVariant', ch), [])
    traditional += [tw_phrases[t] for t in [ch] + traditional if t in tw_phrases]
    similar = lambda c: (unihan.get(('kSemanticVariant', c), [])
                         + unihan.get(('kZVariant', c), []))
    ordered = traditional + [v for t in traditional for v in similar(t)] + similar(ch)
    return [c for c in dict.fromkeys(ordered) if c != ch]


def unihan_version():
    data = run(['dpkg-query', '-W', '-f', '${Version}', 'unicode-data'])
    if data.returncode == 0 and data.stdout.strip():
        return 'Debian unicode-data ' + data.stdout.decode().strip()
    return 'unknown origin'


def tool_versions():
    iconv = run(['iconv', '--version']).stdout.decode().splitlines()[0].strip()
    opencc = 'unknown'
    for line in run(['opencc_dict', '--version']).stdout.decode().splitlines():
        if line.startswith('Version:'):
            opencc = line.split(':', 1)[1].strip()
    # opencc_dict reports its upstream version; the dictionaries come with the
    # distribution's data package, whose version can differ, so name it too.
    try:
        data = run(['dpkg-query', '-W', '-f', '${Version}', 'libopencc-data'])
        if data.returncode == 0 and data.stdout.strip():
            opencc += ', data package libopencc-data ' + data.stdout.decode().strip()
    except OSError:
        pass
    return iconv, opencc


# ---------------------------------------------------------------- building

def to_fullwidth(text):
    """NFKC turns Big5's small and vertical punctuation into ASCII; GB writes
    the same marks in their full-width forms."""
    if len(text) == 1 and 0x21 <= ord(text) <= 0x7E:
        return chr(ord(text) + 0xFEE0)
    return text


def is_gb2312_hanzi(code):
    return 0xB0 <= code >> 8 <= 0xF7 and 0xA1 <= code & 0xFF <= 0xFE \
        and not 0xD7FA <= code <= 0xD7FE


def build_gbk_to_big5(gbk_chars, big5_of, st, tw, variants_of):
    """variants_of(ch) gives the further forms to try for a GB2312 hanzi."""
    table = [0] * GBK_ENTRIES
    filled = []
    for index, code in enumerate(gbk_codes()):
        ch = gbk_chars.get(code)
        if ch is None:
            continue
        candidates = [ch]
        if both_bytes_high(code):
            converted = st.get(ch, ch)
            converted = tw.get(converted, converted)
            candidates.insert(0, converted)
        found = first_in_big5(candidates, big5_of)
        if not found and is_gb2312_hanzi(code):
            found = first_in_big5(variants_of(ch), big5_of)
            if found:
                filled.append(code)
        table[index] = found
    return table, filled


def first_in_big5(candidates, big5_of):
    for cand in candidates:
        target = big5_of.get(cand)
        if target and big5_is_standard(target):
            return target
    return 0


def build_big5_to_gb(big5_chars, gbk_of, gb2312_codes, tw_rev, ts):
    table = [0] * BIG5_ENTRIES
    for index, code in enumerate(big5_codes()):
        ch = big5_chars.get(code)
        if ch is None or not big5_is_standard(code):
            continue
        converted = tw_rev.get(ch, ch)
        converted = ts.get(converted, converted)
        candidates = list(dict.fromkeys([converted, ch]))
        folded = [to_fullwidth(unicodedata.normalize('NFKC', c)) for c in candidates]
        codes = [gbk_of[c] for c in candidates if c in gbk_of]
        folded_codes = [gbk_of[c] for c in folded if c in gbk_of]
        # GB2312 first, even through a fold: output should stay inside
        # GB2312 where it can, so GBK's own small forms (row A9) come last.
        ranked = ([c for c in codes if c in gb2312_codes]
                  + [c for c in folded_codes if c in gb2312_codes]
                  + codes + folded_codes)
        if ranked:
            table[index] = ranked[0]
    return table


def code_index(code, lead_base):
    return ((code >> 8) - lead_base) * ROW_SIZE + (code & 0xFF) - TRAIL_FIRST


def apply_overrides(table, overrides, lead_base):
    for source, target in overrides.items():
        table[code_index(source, lead_base)] = target


# ---------------------------------------------------------------- output

def format_table(ctype_name, size_name, table, lead_base, per_line=16):
    lines = ['const std::uint16_t %s[%s] = {' % (ctype_name, size_name)]
    for row_start in range(0, len(table), ROW_SIZE):
        lead = lead_base + row_start // ROW_SIZE
        row = table[row_start:row_start + ROW_SIZE]
        lines.append('    // lead 0x%02X, trail 0x40..0x%02X' % (lead, TRAIL_FIRST + len(row) - 1))
        for i in range(0, len(row), per_line):
            lines.append('    ' + ' '.join('0x%04X,' % v for v in row[i:i + per_line]))
    lines.append('};')
    return '\n'.join(lines)


def render(gbk_table, big5_table, iconv_version, opencc_version, opencc_dir, unihan_version,
           filled):
    header = f"""\
// Generated by tools/generate_code_tables.py; do not edit by hand.
// Regenerate with: python3 tools/generate_code_tables.py
//
// Made with:
//   {iconv_version}, charts GBK and BIG5;
//   OpenCC {opencc_version};
//   dictionaries STCharacters, TWVariants, TWVariantsRev, TSCharacters and
//   TWPhrases from {opencc_dir};
//   Unihan_Variants.txt of {unihan_version}.
// Route:
//   GbkToBig5Table: GB2312 codes go through STCharacters then TWVariants,
//                   GBK additions keep their character; a GB2312 hanzi
//                   that Big5 lacks takes a variant form Big5 has, where
//                   OpenCC's candidates or Unihan's semantic and Z variants
//                   name one ({filled} such);
//   Big5ToGbTable:  TWVariantsRev then TSCharacters, GB2312 code preferred
//                   over GBK, Big5 compatibility punctuation folded by NFKC.
// First candidate of each dictionary entry; 0 where nothing maps. A few
// hand-checked overrides are listed in the generator.
"""
    return '\n'.join([
        header,
        '#include "code_tables.h"',
        '',
        'namespace quillon {',
        '',
        format_table('GbkToBig5Table', 'kGbkToBig5Entries', gbk_table, GBK_LEAD_BASE),
        '',
        format_table('Big5ToGbTable', 'kBig5ToGbEntries', big5_table, BIG5_LEAD_BASE),
        '',
        '}  // namespace quillon',
        '',
    ])


# ---------------------------------------------------------------- statistics

def statistics(gbk_table, big5_table, gbk_chars, big5_chars):
    gbk_pairs = list(zip(gbk_codes(), gbk_table))
    in_range = [(c, v) for c, v in gbk_pairs if both_bytes_high(c)]
    outside = [(c, v) for c, v in gbk_pairs if not both_bytes_high(c)]
    hanzi = [(c, v) for c, v in in_range
             if 0xB0 <= c >> 8 <= 0xF7 and not 0xD7FA <= c <= 0xD7FE]
    same = sum(1 for c, v in hanzi if v and big5_chars.get(v) == gbk_chars.get(c))
    private = sum(1 for c, v in hanzi if v and (v >> 8 >= 0xFA or v >> 8 == 0xC8))
    changed_form = sum(1 for c, v in hanzi if v and v >> 8 < 0xFA and v >> 8 != 0xC8
                       and big5_chars.get(v) != gbk_chars.get(c))
    nonzero = lambda pairs: sum(1 for _, v in pairs if v)

    big5_pairs = list(zip(big5_codes(), big5_table))
    big5_changed = sum(1 for c, v in big5_pairs if v and gbk_chars.get(v) != big5_chars.get(c))
    rows = [
        ('GbkToBig5: entries in GB2312 byte range', len(in_range), 8742),
        ('  non-zero', nonzero(in_range), 7478),
        ('GbkToBig5: other entries', len(outside), 15150),
        ('  non-zero', nonzero(outside), 8829),
        ('GB2312 hanzi', len(hanzi), 6763),
        ('  same character', same, 4283),
        ('  traditional form', changed_form, 2197),
        ('  user-defined rows FA-FE/C8', private, 283),
        ('  zero', sum(1 for _, v in hanzi if not v), 0),
        ('Big5ToGb: non-zero', nonzero(big5_pairs), 13501),
        ('  outside GB2312 byte range', sum(1 for _, v in big5_pairs if v and not both_bytes_high(v)), 5854),
        ('  changed form', big5_changed, 3000),
    ]
    out = ['%-45s %8s %10s' % ('', 'ours', 'reference')]
    for label, ours, ref in rows:
        out.append('%-45s %8d %10s' % (label, ours, ('~%d' if label.endswith('changed form') else '%d') % ref))
    return '\n'.join(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--opencc-dir', default='/usr/share/opencc')
    parser.add_argument('--unihan', default='/usr/share/unicode/Unihan_Variants.txt.bz2')
    parser.add_argument('--output', default=os.path.join(here, '..', 'engine', 'code_tables.cpp'))
    args = parser.parse_args()

    iconv_version, opencc_version = tool_versions()
    with tempfile.TemporaryDirectory() as work:
        st_all = load_opencc_candidates(args.opencc_dir, 'STCharacters', work)
        ts_all = load_opencc_candidates(args.opencc_dir, 'TSCharacters', work)
        tw = load_opencc(args.opencc_dir, 'TWVariants', work)
        tw_rev = load_opencc(args.opencc_dir, 'TWVariantsRev', work)
        tw_phrases = load_opencc(args.opencc_dir, 'TWPhrases', work)
    st = {key: values[0] for key, values in st_all.items()}
    ts = {key: values[0] for key, values in ts_all.items()}
    unihan = load_unihan_variants(args.unihan)
    variants_of = lambda ch: variant_candidates(ch, st_all, tw, ts_all, tw_phrases, unihan)

    gbk_chars = decode_codes('GBK', gbk_codes())
    big5_chars = decode_codes('BIG5', big5_codes())
    # Which codes GB2312 itself defines; GBK also fills parts of that byte
    # range (small forms in row A9, user-defined rows).
    gb2312_codes = set(decode_codes('GB2312', (c for c in gbk_codes() if both_bytes_high(c))))

    wanted_big5 = set(gbk_chars.values()) | set(st.values()) | set(tw.values())
    wanted_big5 |= {c for ch in gbk_chars.values() for c in variants_of(ch)}
    big5_of = encode_chars('BIG5', wanted_big5)
    wanted_gbk = set(big5_chars.values()) | set(tw_rev.values()) | set(ts.values())
    wanted_gbk |= {to_fullwidth(unicodedata.normalize('NFKC', c)) for c in list(wanted_gbk)}
    gbk_of = encode_chars('GBK', {c for c in wanted_gbk if len(c) == 1})

    gbk_table, filled = build_gbk_to_big5(gbk_chars, big5_of, st, tw, variants_of)
    big5_table = build_big5_to_gb(big5_chars, gbk_of, gb2312_codes, tw_rev, ts)
    apply_overrides(gbk_table, GBK_TO_BIG5_OVERRIDES, GBK_LEAD_BASE)
    apply_overrides(big5_table, BIG5_TO_GB_OVERRIDES, BIG5_LEAD_BASE)

    filled = [c for c in filled if c not in GBK_TO_BIG5_OVERRIDES]
    text = render(gbk_table, big5_table, iconv_version, opencc_version, args.opencc_dir,
                  unihan_version(), len(filled))
    with open(args.output, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    print('wrote %s' % os.path.normpath(args.output))
    print(statistics(gbk_table, big5_table, gbk_chars, big5_chars))
    big5_chars_of = {v: k for k, v in big5_of.items()}
    print('GB2312 hanzi mapped to a variant form: %d' % len(filled))
    print(' '.join('%s->%s' % (gbk_chars[c], big5_chars_of.get(gbk_table[code_index(c, GBK_LEAD_BASE)], '?'))
                   for c in filled))


if __name__ == '__main__':
    main()
