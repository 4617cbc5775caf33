"""Writing a generated file, or checking that the committed one is what its
generator makes now."""

import sys


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
