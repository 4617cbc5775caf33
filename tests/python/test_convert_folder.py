"""examples/convert_folder.py, as the README shows it, converts a small folder
with a process pool and with a Dask bag alike."""
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

EXAMPLES = pathlib.Path(os.environ["QUILLON_EXAMPLES"])
EXAMPLE = EXAMPLES / "convert_folder.py"

# name, source bytes, converted bytes (None: refused, nothing written)
FILES = [
    ("a.txt", "中文\r\n".encode("gb2312"), b"\xa4\xa4\xa4\xe5\r\n"),
    ("part/b.txt", "头发\r\n".encode("gb2312"), "頭發\r\n".encode("big5")),  # legacy: character by character
    ("part/deeper/c.txt", "é中\n".encode("utf-8"), b"\xa1\xbc\xa4\xa4\r\n"),
    ("d.bin", b"\x00\x01", None),
]


class ConvertFolder(unittest.TestCase):
    def test_readme_shows_the_example(self):
        self.assertIn(EXAMPLE.read_text(), (EXAMPLES.parent / "README.md").read_text())

    def test_converts_every_file(self):
        for mode in ([], ["--dask"]):
            with self.subTest(mode=mode), tempfile.TemporaryDirectory() as work:
                source, destination = pathlib.Path(work, "source"), pathlib.Path(work, "destination")
                for name, text, _ in FILES:
                    (source / name).parent.mkdir(parents=True, exist_ok=True)
                    (source / name).write_bytes(text)
                run = subprocess.run([sys.executable, EXAMPLE, source, destination, "--to", "big5", *mode],
                                     capture_output=True, text=True, check=False)
                self.assertEqual(run.returncode, 1, run.stderr)
                converted = {str(path.relative_to(destination)): path.read_bytes()
                             for path in destination.rglob("*") if path.is_file()}
                self.assertEqual(converted, {name: output for name, _, output in FILES if output is not None})
                # The messages are the library's; each names its file.
                reported = [line.split(": ", 2)[:2] for line in run.stdout.splitlines()]
                self.assertEqual(reported, [[f"{source}/d.bin", "error"], [f"{source}/part/deeper/c.txt", "Warning"]])

    def test_a_worker_that_fails_or_dies_fails_its_file_by_name(self):
        # Each worker process starts with a sitecustomize that makes it raise
        # on, or die at, one file; a run with a dead worker must end, not hang.
        # A worker that raises keeps converting; files waiting when one died
        # may fail with it.
        cases = [
            ("raise RuntimeError('no luck')", "error: RuntimeError: no luck", True),
            ("os._exit(3)", "error: BrokenProcessPool: ", False),
        ]
        for fault, message, others_converted in cases:
            with self.subTest(fault=fault), tempfile.TemporaryDirectory() as work:
                source, destination = pathlib.Path(work, "source"), pathlib.Path(work, "destination")
                source.mkdir()
                (source / "a.txt").write_bytes("中文\r\n".encode("gb2312"))
                (source / "bad.txt").write_bytes("中文\r\n".encode("gb2312"))
                hooks = pathlib.Path(work, "hooks")
                hooks.mkdir()
                (hooks / "sitecustomize.py").write_text(
                    "import os, quillon\n"
                    "original = quillon.convert_file\n"
                    "def convert_file(source, destination, **options):\n"
                    "    if source.name == 'bad.txt':\n"
                    f"        {fault}\n"
                    "    return original(source, destination, **options)\n"
                    "quillon.convert_file = convert_file\n")
                environment = dict(os.environ, PYTHONPATH=f"{hooks}{os.pathsep}{os.environ.get('PYTHONPATH', '')}")
                run = subprocess.run([sys.executable, EXAMPLE, source, destination, "--to", "big5"],
                                     capture_output=True, text=True, check=False, env=environment, timeout=120)
                self.assertEqual(run.returncode, 1, run.stderr)
                self.assertIn(f"{source}/bad.txt: {message}", run.stdout)
                if others_converted:
                    self.assertEqual((destination / "a.txt").read_bytes(), b"\xa4\xa4\xa4\xe5\r\n")


if __name__ == "__main__":
    unittest.main()
