"""A Python program converting a text in memory through the module, as bench/run
times it: the text read whole, converted CALLS times, the last result written.
Prints the CPU seconds (user + system) of the last call alone, apart from the
program's reading and writing.
  module_call.py [--str] SOURCE DESTINATION CALLS [OPTION=VALUE...]
With --str the text is read as a str (UTF-8) and converted to a str; else
bytes to bytes. Options are quillon.convert's keywords."""
import resource
import sys

import quillon


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime


def main(arguments):
    as_str = arguments[:1] == ["--str"]
    if as_str:
        arguments = arguments[1:]
    source, destination, calls = arguments[0], arguments[1], int(arguments[2])
    options = dict(option.split("=", 1) for option in arguments[3:])
    if as_str:
        with open(source, encoding="utf-8", newline="") as file:
            text = file.read()
    else:
        with open(source, "rb") as file:
            text = file.read()
    for _ in range(calls):
        result = None  # the last result's memory is free for the next call
        before = cpu_seconds()
        result = quillon.convert(text, **options)
        seconds = cpu_seconds() - before
    print(f"{seconds:.3f}")
    if as_str:
        with open(destination, "w", encoding="utf-8", newline="") as file:
            file.write(result)
    else:
        with open(destination, "wb") as file:
            file.write(result)


if __name__ == "__main__":
    main(sys.argv[1:])
