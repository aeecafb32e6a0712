#!/usr/bin/env python3
"""The checks of tools/reference.py on made-up blocks, registrations,
headers and pages: each kind of drift must be reported, and a reference in
order must pass.    reference_test.py"""
import importlib.util
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
generator = importlib.util.spec_from_file_location(
    "reference", os.path.join(HERE, "..", "..", "tools", "reference.py"))
reference = importlib.util.module_from_spec(generator)
generator.loader.exec_module(reference)


def block(*lines, first=10):
    """A block as read from a file: numbered lines without the "/// "."""
    return [(first + i, line) for i, line in enumerate(lines)]


def entry(signature, family="F"):
    problems = []
    e = reference.parse_block(block(signature, "Prose.", "Example:", "    println(1);"),
                              family, "lib/x.cpp", problems)
    assert not problems, problems
    return e


class Blocks(unittest.TestCase):
    def test_parts_and_family_override(self):
        problems = []
        e = reference.parse_block(
            block("olsc(y, x, &b [, &ixx])", "Least squares.", "Family: Regression",
                  "Returns 1.", "Example:", "    decl b;", "", "    print(b);", ""),
            "Statistics", "lib/s.cpp", problems)
        self.assertEqual(problems, [])
        self.assertEqual((e.name, e.family, e.where), ("olsc", "Regression", "lib/s.cpp:10"))
        self.assertEqual(e.prose, ["Least squares.", "Returns 1."])
        self.assertEqual(e.example, ["decl b;", "", "print(b);"])

    def test_faulty_blocks_are_reported(self):
        cases = {
            "not a signature": block("olsc takes y", "Prose.", "Example:", "    x;"),
            "indented by four": block("f(a)", "Prose.", "Example:", "  x;"),
            "no family": block("f(a)", "Prose.", "Example:", "    x;"),
            "has no example": block("f(a)", "Prose."),
            "has no prose": block("f(a)", "Example:", "    x;"),
        }
        for expected, lines in cases.items():
            problems = []
            family = None if expected == "no family" else "F"
            reference.parse_block(lines, family, "lib/x.cpp", problems)
            self.assertTrue(any(expected in p for p in problems), (expected, problems))

    def test_file_with_family_line_and_several_blocks(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "x.cpp")
            with open(path, "w") as f:
                f.write("// A file.\n/// @family Strings\n"
                        "/// strlwr(s)\n/// Lower case.\n/// Example:\n///     println(1);\n"
                        "void FnStrlwr();\n"
                        "/// gauss::cols(x)\n/// Columns.\n/// Family: Gauss compatibility\n"
                        "/// Example:\n///     print cols(1);\n"
                        "void FnCols();\n")
            problems = []
            entries = reference.read_blocks(problems, [path])
        self.assertEqual(problems, [])
        self.assertEqual([(e.name, e.family) for e in entries],
                         [("strlwr", "Strings"), ("gauss::cols", "Gauss compatibility")])

    def test_index_line_is_the_first_sentence(self):
        e = entry("arma0(x)")
        e.prose = ["The residuals e[t] = x[t] - a1 x[t-1] - ... - ap x[t-p], for", "t >= start. More."]
        self.assertEqual(reference.first_sentence(e),
                         "The residuals e[t] = x[t] - a1 x[t-1] - ... - ap x[t-p], for t >= start.")

    def test_a_second_family_line_is_reported(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "x.cpp")
            with open(path, "w") as f:
                f.write("/// @family Strings\n\nint a;\n/// @family Dates\n")
            problems = []
            reference.read_blocks(problems, [path])
        self.assertEqual(len(problems), 1)
        self.assertIn("x.cpp:4: a second @family line", problems[0])

    def test_arguments_of_the_header_declaration(self):
        cases = {
            "olsc(y, x, &b [, &ixx [, &xtx]])": ["y", "x", "b", "..."],
            "print(a, ...)": ["a", "..."],
            "date()": [],
            "zeros(r [, c])": ["r", "..."],
            "range(first, last [, step])": ["first", "last", "..."],
        }
        for signature, arguments in cases.items():
            self.assertEqual(entry(signature).header_arguments(), arguments, signature)


class Names(unittest.TestCase):
    def check(self, signatures, registered, pending=()):
        problems = []
        reference.check_names([entry(s) for s in signatures], registered, list(pending), problems)
        return problems

    def test_a_reference_in_order_passes(self):
        self.assertEqual(self.check(["olsc(y, x, &b [, &ixx])", "date()"],
                                    {"olsc": -3, "date": 0, "rann": 2}, ["rann"]), [])

    def test_each_kind_of_drift_is_reported(self):
        cases = [
            (["date()"], {"date": 0, "time": 0}, [], "time is registered but has no reference block"),
            (["date()", "nosuch(a)"], {"date": 0}, [], "nosuch has a block but is not registered"),
            (["date()"], {"date": 0}, ["date"], "date is in tools/reference_pending.txt but has a block"),
            (["date()"], {"date": 0}, ["gone"], "gone is in tools/reference_pending.txt but is not registered"),
            (["olsc(y, x)"], {"olsc": -3}, [], "takes 3 or more arguments"),
            (["olsc(y, x, &b [, &ixx])"], {"olsc": 3}, [], "takes 3 arguments"),
            (["date()", "date()"], {"date": 0}, [], "a second block for date"),
        ]
        for signatures, registered, pending, expected in cases:
            problems = self.check(signatures, registered, pending)
            self.assertTrue(any(expected in p for p in problems), (expected, problems))


class Files(unittest.TestCase):
    def test_header_declarations_take_the_signature_names(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "zustd.h")
            with open(path, "w") as f:
                f.write("// header\nolsc(a, b, c, ...);\nsumc(m);\nrann(a, b);  // note\nconst decl X = 1;\n")
            by_name = {"olsc": entry("olsc(y, x, &b [, &ixx])"), "sumc": entry("sumc(m)"),
                       "rann": entry("rann(r, c)")}
            problems = []
            text = reference.rewritten_header(path, by_name, problems)
        self.assertEqual(text, "// header\nolsc(y, x, b, ...);\nsumc(m);\nrann(r, c);  // note\n"
                               "const decl X = 1;\n")
        self.assertEqual(len(problems), 2)
        self.assertIn("'olsc(a, b, c, ...);' should be 'olsc(y, x, b, ...);'", problems[0])

    def test_stale_missing_and_stray_pages_are_reported(self):
        with tempfile.TemporaryDirectory() as folder:
            pages = os.path.join(folder, "reference")
            os.makedirs(pages)
            old_page = '<a id="strlwr"></a>\nsame\n<a id="strupr"></a>\nold\n'
            new_page = '<a id="strlwr"></a>\nsame\n<a id="strupr"></a>\nnew\n'
            for name, text in {"index.md": "index\n", "strings.md": old_page, "stray.md": "x\n"}.items():
                with open(os.path.join(pages, name), "w") as f:
                    f.write(text)
            header = os.path.join(folder, "zustd.h")
            wanted = {os.path.join(pages, "index.md"): "index\n",
                      os.path.join(pages, "strings.md"): new_page,
                      os.path.join(pages, "dates.md"): "dates\n",
                      header: "never compared here\n"}
            problems = reference.compare_with_disk(wanted, {header})
            os.remove(os.path.join(pages, "stray.md"))
            in_order = {os.path.join(pages, "index.md"): "index\n",
                        os.path.join(pages, "strings.md"): old_page}
            self.assertEqual(reference.compare_with_disk(in_order, set()), [])
        self.assertEqual(len(problems), 3, problems)
        self.assertTrue(any("stray.md is not written" in p for p in problems))
        self.assertTrue(any("dates.md is missing" in p for p in problems))
        self.assertTrue(any("strings.md is stale (entries that differ: strupr)" in p and "-old" in p
                            and "+new" in p for p in problems), problems)


if __name__ == "__main__":
    unittest.main()
