"""The Python module over libquillon: types in and out, keyword options,
warnings and errors as Python has them, and the GIL released while it works."""
import errno
import os
import pathlib
import sys
import tempfile
import threading
import time
import unittest
import warnings

import quillon

GB = "中文".encode("gb2312")  # D6D0 CEC4
BIG5_LINE = b"\xa4\xa4\xa4\xe5\r\n"


class Runs(unittest.TestCase):
    def test_text_types_and_keywords(self):
        cases = [
            # call, text, options, output
            (quillon.convert, GB, {"to": "big5"}, BIG5_LINE),
            (quillon.convert, bytearray(GB), {"to": "big5"}, BIG5_LINE),
            (quillon.convert, memoryview(GB), {"from_": "gb", "to": "big5"}, BIG5_LINE),
            (quillon.convert, GB, {"to": "big5", "line_ends": "lf"}, b"\xa4\xa4\xa4\xe5\n"),
            (quillon.convert, "头发", {}, "頭髮"),
            (quillon.convert, "头发", {"phrases": False}, "頭發"),
            (quillon.convert, "头发", {"form": "simplified"}, "头发"),
            (quillon.convert, "内存", {"regional_words": True}, "記憶體"),
            (quillon.convert, "内存", {"regional_words": None}, "內存"),
            (quillon.convert, "", {}, ""),
            (quillon.convert, "头发\n", {}, "頭髮\n"),
            (quillon.format, "这是一个段落。", {"chars_per_line": 4, "lead_spaces": 0}, "这是一个\n段落。\n\n"),
            (quillon.convert, "“头发”", {"quotes": "corner"}, "「頭髮」"),
            (quillon.format, "版本 2.100。", {"lead_spaces": 0, "mixed_text": False}, "版本2。100。\n\n"),
        ]
        for call, text, options, output in cases:
            with self.subTest(call=call.__name__, text=text, options=options):
                self.assertEqual(call(text, **options), output)

    def test_str_of_every_width(self):
        # Python keeps a str in 1, 2 or 4 bytes a character, by its widest;
        # a result equal to the expected str is in the same width.
        cases = [
            ("abc\n", "abc\n"),
            ("café \x80\xff\n", "café \x80\xff\n"),
            ("\u0100头发\n", "\u0100頭髮\n"),
            ("\uffff头发 \u07ff\n", "\uffff頭髮 \u07ff\n"),
            ("𠀀头发\U0010ffff\n", "𠀀頭髮\U0010ffff\n"),
            ("é" * 5000 + "头发" * 5000, "é" * 5000 + "頭髮" * 5000),
        ]
        # Long texts are read eight ASCII bytes at a time: the widest
        # character first, last, and past the last whole word.
        for widest in ["é", "发", "𠀀"]:
            for text in [widest + "a" * 4100, "a" * 2039 + widest, "a" * 4083 + widest + "a" * 5, widest * 17]:
                cases.append((text, text.replace("发", "發")))
        for text, output in cases:
            with self.subTest(text=text[:8], length=len(text)):
                converted = quillon.convert(text)
                self.assertEqual(converted, output)
                self.assertEqual(hash(converted), hash(output))

    def test_str_result_wider_or_narrower_than_its_text(self):
        # The result is made in its text's width as the run writes it, and
        # ends in the width of its own widest character.
        with tempfile.TemporaryDirectory() as work:
            words = pathlib.Path(work) / "words.txt"
            words.write_text("abc\t头\n𠀀\t中\né\te\n", encoding="utf-8")
            own = {"dictionaries": [str(words)]}
            cases = [
                # call, text, options, output
                (quillon.convert, "xabcx é", own, "x头x e"),
                (quillon.convert, "é" * 300000 + "abc", own, "e" * 300000 + "头"),
                (quillon.convert, "xé 𠀀 é", own, "xe 中 e"),
                (quillon.convert, "𠀀", own, "中"),
                (quillon.convert, "é" * 3, own, "eee"),
                (quillon.convert, "", {}, ""),
                (quillon.format, "é abc def\n", {}, "\u3000" * 16 + "é abc def\n\n"),
            ]
            for call, text, options, output in cases:
                with self.subTest(text=text[:8], length=len(text)):
                    converted = call(text, **options)
                    self.assertEqual(converted, output)
                    self.assertEqual((hash(converted), converted.isascii()), (hash(output), output.isascii()))

    def test_str_keeps_no_utf8(self):
        # Python would keep the UTF-8 it made of a str with the str.
        text = "头发" * 1000
        size = sys.getsizeof(text)
        quillon.convert(text)
        self.assertEqual(sys.getsizeof(text), size)

    def test_own_word_lists(self):
        with tempfile.TemporaryDirectory() as work:
            words = pathlib.Path(work) / "words.txt"
            words.write_text("鼠标\t滑鼠\n", encoding="utf-8")
            self.assertEqual(quillon.convert("鼠标", dictionaries=[str(words)]), "滑鼠")
            with self.assertRaises(TypeError) as raised:
                quillon.convert("鼠标", dictionaries=str(words))
            self.assertEqual(str(raised.exception), "dictionaries takes a list of str, not str")

    def test_detect(self):
        cases = [
            (GB, ("GB", "none", "none")),
            ("\ufeff中文\r\n".encode("utf-16-le"), ("UTF-16LE", "none", "CRLF")),
            (bytearray(b"abc\n"), ("PureASC", "none", "LF")),
        ]
        for data, (encoding, form, line_ends) in cases:
            with self.subTest(data=data):
                detection = quillon.detect(data)
                self.assertEqual((detection.encoding, detection.form, detection.line_ends), (encoding, form, line_ends))


class FileRuns(unittest.TestCase):
    def test_file_to_file(self):
        with tempfile.TemporaryDirectory() as work:
            folder = pathlib.Path(work)
            (folder / "gb.txt").write_bytes(GB)
            cases = [
                # call, source, destination, options, output or (errno, the path the error names)
                (quillon.convert_file, folder / "gb.txt", folder / "big5.txt", {"to": "big5"}, BIG5_LINE),
                (quillon.format_file, str(folder / "gb.txt"), bytes(folder / "formatted.txt"),
                 {"chars_per_line": 1, "lead_spaces": 0}, b"\xd6\xd0\r\n\xce\xc4\r\n\r\n"),
                (quillon.convert_file, folder / "missing.txt", folder / "out.txt", {},
                 (errno.ENOENT, folder / "missing.txt")),
                (quillon.convert_file, folder / "gb.txt", folder / "missing" / "out.txt", {},
                 (errno.ENOENT, folder / "missing" / "out.txt")),
            ]
            for call, source, destination, options, output in cases:
                with self.subTest(call=call.__name__, source=source, destination=destination):
                    if isinstance(output, tuple):
                        with self.assertRaises(OSError) as raised:
                            call(source, destination, **options)
                        self.assertEqual(raised.exception.errno, output[0])
                        self.assertIn(str(output[1]), str(raised.exception))
                    else:
                        self.assertIsNone(call(source, destination, **options))
                        self.assertEqual(pathlib.Path(os.fsdecode(destination)).read_bytes(), output)


class InMemory(unittest.TestCase):
    def test_same_bytes_as_from_file_to_file(self):
        mixed = "ab 头发 cd\n" * 5000
        cases = [
            # call, text, options
            (quillon.convert, mixed.encode("utf-8"), {"to": "utf-16le"}),
            (quillon.convert, ("中文" * 3000 + "\r\n").encode("gb2312"), {"from_": "gb", "to": "utf-8"}),
            (quillon.convert, mixed.encode("gb2312"), {"from_": "gb", "to": "big5"}),
            (quillon.convert, mixed.encode("gb2312"), {}),
            (quillon.convert, mixed.encode("gb2312"), {"from_": "gb", "line_ends": "lf"}),
            # More than twice the text grows the result as the run goes.
            (quillon.format, ("中\n" * 5000).encode("utf-8"), {"paragraph": "one-line"}),
            (quillon.format, mixed.encode("utf-8"), {"chars_per_line": 8}),
            (quillon.convert, mixed, {}),
            # A str written in many pieces, and one that grows past its text.
            (quillon.convert, mixed.replace("cd", "𠀀") * 8, {}),
            (quillon.format, "中\n" * 5000, {"paragraph": "one-line"}),
        ]
        with tempfile.TemporaryDirectory() as work:
            source, destination = pathlib.Path(work) / "in.txt", pathlib.Path(work) / "out.txt"
            for call, text, options in cases:
                with self.subTest(call=call.__name__, options=options, str=isinstance(text, str)):
                    is_str = isinstance(text, str)
                    source.write_bytes(text.encode("utf-8") if is_str else text)
                    by_file = dict(options, from_="utf-8", to="utf-8") if is_str else options
                    getattr(quillon, call.__name__ + "_file")(source, destination, **by_file)
                    expected = destination.read_bytes()
                    self.assertEqual(call(text, **options), expected.decode("utf-8") if is_str else expected)


class Refusals(unittest.TestCase):
    def test_wrong_arguments(self):
        cases = [
            (quillon.convert, (GB,), {"chars_per_line": 3}, TypeError,
             "convert() got an unexpected keyword argument 'chars_per_line' (it is for format only)"),
            (quillon.format, (GB,), {"colour": "red"}, TypeError,
             "format() got an unexpected keyword argument 'colour'"),
            (quillon.convert, (GB,), {"html": 1}, TypeError, "html takes True or False, not int"),
            (quillon.convert, (GB,), {"to": b"big5"}, TypeError, "to takes a str, not bytes"),
            (quillon.format, (GB,), {"line_spacing": True}, TypeError, "line_spacing takes an int, not bool"),
            (quillon.format, (GB,), {"chars_per_line": 2**40}, ValueError,
             "chars_per_line is out of range: 1099511627776"),
            (quillon.convert, (42,), {}, TypeError, "convert() takes str or a bytes-like object, not int"),
            (quillon.detect, ("中文",), {}, TypeError, "detect() takes bytes: a str has no encoding left to tell"),
        ]
        for call, args, options, error, message in cases:
            with self.subTest(call=call.__name__, args=args, options=options):
                with self.assertRaises(error) as raised:
                    call(*args, **options)
                self.assertEqual(str(raised.exception), message)

    def test_refused_texts_and_options(self):
        cases = [
            (quillon.convert, "中文", {"to": "big5"}, "bad-option",
             "a str is converted to a str and takes no from_ or to: pass bytes to name encodings"),
            (quillon.convert, GB, {"to": "ebcdic"}, "bad-option", "'ebcdic' is not a value of '--to'"),
            (quillon.convert, b"a\x00b", {}, "not-text", None),
            (quillon.format, b"abc", {}, "plain-ascii", None),
        ]
        for call, text, options, kind, message in cases:
            with self.subTest(call=call.__name__, text=text, options=options):
                with self.assertRaises(quillon.Error) as raised:
                    call(text, **options)
                self.assertIsInstance(raised.exception, ValueError)
                self.assertEqual(raised.exception.kind, kind)
                if message is not None:
                    self.assertTrue(str(raised.exception).startswith(message), str(raised.exception))

    def test_unencodable_str(self):
        # A lone surrogate in a str of each width, where it comes first and last.
        for text in ["\ud800", "中文\ud800", "\udfff𠀀", "𠀀中\ud800"]:
            with self.subTest(text=ascii(text)):
                with self.assertRaises(UnicodeEncodeError):
                    quillon.convert(text)


class Warnings(unittest.TestCase):
    cases = [
        # text, options, kind, output, (count, line, column, text)
        ("é中\n".encode("utf-8"), {"to": "big5"}, "unmappable", b"\xa1\xbc\xa4\xa4\r\n", (1, 1, 1, "é")),
        (b"\xd6\xd0\xff\xff\r\n", {"from_": "gb", "to": "big5"}, "invalid-code", b"\xa4\xa4\xa1\xbc\r\n",
         (1, 1, 2, "FF FF")),
    ]

    def test_issued_at_the_caller(self):
        for text, options, kind, output, place in self.cases:
            with self.subTest(kind=kind), warnings.catch_warnings(record=True) as caught:
                warnings.simplefilter("always")
                self.assertEqual(quillon.convert(text, **options), output)
                self.assertEqual([(w.category, w.message.kind, w.filename) for w in caught],
                                 [(quillon.ConversionWarning, kind, __file__)])
                issued = caught[0].message
                self.assertEqual((issued.count, issued.line, issued.column, issued.text), place)

    def test_raised_when_filtered_as_errors(self):
        for text, options, kind, _, _ in self.cases:
            with self.subTest(kind=kind), warnings.catch_warnings():
                warnings.simplefilter("error", quillon.ConversionWarning)
                with self.assertRaises(quillon.ConversionWarning) as raised:
                    quillon.convert(text, **options)
                self.assertEqual(raised.exception.kind, kind)


class Threads(unittest.TestCase):
    def test_gil_released_while_converting(self):
        # Held, the GIL would stop this thread for the whole conversion;
        # released, this thread keeps waking while the other converts.
        text = "头发和内存。".encode("utf-8") * 2_000_000
        span, wakes = [], []

        def work():
            span.append(time.monotonic())
            quillon.convert(text)
            span.append(time.monotonic())

        worker = threading.Thread(target=work)
        worker.start()
        while worker.is_alive():
            wakes.append(time.monotonic())
            time.sleep(0.001)
        worker.join()
        begin, end = span
        inside = [begin, *(wake for wake in wakes if begin < wake < end), end]
        longest = max(later - earlier for earlier, later in zip(inside, inside[1:]))
        self.assertLess(longest, (end - begin) / 2, f"{end - begin:.3f} s converting")


if __name__ == "__main__":
    unittest.main()
