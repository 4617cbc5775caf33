#!/usr/bin/env python3
"""Converts every file under a folder into a mirror of it, in parallel:
    convert_folder.py SOURCE DESTINATION [--dask] [--from ENC] [--to ENC] [--form FORM]
"""
import argparse
import pathlib
import warnings

import quillon


def convert_file(source, destination, **options):
    """Converts one file; returns its path and the warnings it gave, or its error."""
    destination.parent.mkdir(parents=True, exist_ok=True)
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always", quillon.ConversionWarning)
        try:
            quillon.convert_file(source, destination, **options)
        except (quillon.Error, OSError) as error:
            return str(source), [f"error: {error}"]
    return str(source), [str(warning.message) for warning in caught]


def file_pairs(source_dir, destination_dir):
    return [(path, destination_dir / path.relative_to(source_dir))
            for path in sorted(source_dir.rglob("*")) if path.is_file()]


def convert_with_processes(pairs, **options):
    # A future per file: a worker that raises fails its file, and one that
    # dies (BrokenProcessPool) fails the files it left, rather than hang the run.
    from concurrent.futures import ProcessPoolExecutor
    with ProcessPoolExecutor() as pool:
        futures = [(source, pool.submit(convert_file, source, destination, **options))
                   for source, destination in pairs]
        return [outcome(source, future) for source, future in futures]


def outcome(source, future):
    try:
        return future.result()
    except Exception as error:
        return str(source), [f"error: {type(error).__name__}: {error}"]


def convert_with_dask(pairs, **options):
    # The same function over a Dask bag: with a dask.distributed Client, the
    # files are spread over a cluster's workers.
    import dask.bag
    return dask.bag.from_sequence(pairs).starmap(convert_file, **options).compute()


def main():
    parser = argparse.ArgumentParser(description="Converts a folder of text files with quillon.")
    parser.add_argument("source", type=pathlib.Path)
    parser.add_argument("destination", type=pathlib.Path)
    parser.add_argument("--dask", action="store_true", help="map over a Dask bag, not a process pool")
    parser.add_argument("--from", dest="from_")
    parser.add_argument("--to")
    parser.add_argument("--form")
    arguments = parser.parse_args()
    options = {"from_": arguments.from_, "to": arguments.to, "form": arguments.form}
    convert = convert_with_dask if arguments.dask else convert_with_processes
    failed = False
    for path, messages in convert(file_pairs(arguments.source, arguments.destination), **options):
        for message in messages:
            print(f"{path}: {message}")
            failed |= message.startswith("error:")
    return 1 if failed else 0


if __name__ == "__main__":
    raise SystemExit(main())
