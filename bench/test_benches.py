"""Tests of the page and screen benchmarks' own machinery: the scoring, the expected text read
back from groff, the digit cells and the reproducible degradations. A wrong figure here would
mislead every decision taken from the benchmarks. Tests needing python3-numpy, python3-pil or
groff are skipped where those are missing.

  python3 -m unittest discover -s bench -p 'test_benches.py'
"""
import contextlib
import html.parser
import io
import os
import random
import shutil
import stat
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "pages"))
sys.path.insert(0, os.path.join(HERE, "screen"))
try:
    import numpy  # noqa: F401
    from PIL import Image
    import ocr_bench
    import make_pages
    import make_screens
    import shoot
    import bench_texts
    import ocr_compare  # the plain recurrence, as reference
except ImportError:
    ocr_bench = None

needs_modules = unittest.skipIf(ocr_bench is None, "python3-numpy or python3-pil missing")
needs_chromium = unittest.skipIf(ocr_bench is None or not shutil.which("chromium"),
                                 "chromium missing")
needs_groff = unittest.skipIf(ocr_bench is None or not shutil.which("groff"), "groff missing")


@needs_modules
class Scoring(unittest.TestCase):
    def test_distance_matches_the_plain_recurrence(self):
        rng = random.Random(7)
        cases = [("", ""), ("", "abc"), ("abc", ""), ("kitten", "sitting"), ("a\nb", "a b"),
                 ("fi", "ﬁ"), ("aaaa", "aa")]
        cases += [("".join(rng.choice("ab \n") for _ in range(rng.randint(0, 30))),
                   "".join(rng.choice("abc\n") for _ in range(rng.randint(0, 30))))
                  for _ in range(200)]
        for a, b in cases:
            self.assertEqual(ocr_bench.distance(a, b), ocr_compare.distance(a, b), (a, b))

    def test_normalise_treats_every_program_alike(self):
        for raw, want in [("a b\r\nc\r\n", "a b\nc"), ("  a   b  \n\n\n c\t\td \n", "a b\nc d"),
                          ("page one\fpage two\f", "page one\npage two"), ("\n \n", "")]:
            self.assertEqual(ocr_bench.normalise(raw), want, repr(raw))

    def test_a_run_past_its_limit_is_killed(self):
        with tempfile.TemporaryDirectory() as work:
            text, seconds, status = ocr_bench.run_one(["sleep", "30"], work + "/out", limit=0.2)
            self.assertEqual((text, status), ("", -9))

    def test_measure_scores_and_times_each_answer(self):
        with tempfile.TemporaryDirectory() as work:
            # A stand-in reader: prints the picture file's own text, or fails on "bad".
            fake = os.path.join(work, "reader")
            with open(fake, "w") as f:
                f.write("#!/bin/sh\nfor a; do p=$a; done\ncase $p in *bad*) exit 3;; esac\n"
                        "cat \"$p\"\n")
            os.chmod(fake, stat.S_IRWXU)
            pictures = []
            for name, text, want in [("good", "The ferry\nleaves at 08:07", "The ferry\n"
                                      "leaves at 08:07"), ("wrong", "The fery", "The ferry"),
                                     ("bad", "", "x"), ("noise", "#%&" * 9, "ab")]:
                path = os.path.join(work, name + ".pgm")
                with open(path, "w") as f:
                    f.write(text)
                pictures.append({"path": path, "want": want, "kind": "text", "tags": [name],
                                 "speed": ["all"]})
            rows = ocr_bench.measure(pictures, ["morvik"], fake, os.path.join(work, "out"), 2)
            got = {os.path.basename(r["picture"]["path"]): r for r in rows}
            self.assertEqual((got["good.pgm"]["errors"], got["good.pgm"]["status"]), (0, 0))
            self.assertEqual(got["wrong.pgm"]["errors"], 1)
            self.assertEqual((got["bad.pgm"]["errors"], got["bad.pgm"]["status"]), (1, 3))
            self.assertEqual((got["noise.pgm"]["errors"], got["noise.pgm"]["distance"]), (2, 27))
            self.assertAlmostEqual(ocr_bench.accuracy(rows), 100.0 * (1 - 4 / (25 + 9 + 1 + 2)))
            self.assertTrue(all(r["seconds"] >= 0 for r in rows))
            tsv = os.path.join(work, "results.tsv")
            with open(os.devnull, "w") as quiet:
                stdout, sys.stdout = sys.stdout, quiet
                try:
                    ocr_bench.report(rows, ["morvik"], [["t", ["good"]]], tsv, "test")
                finally:
                    sys.stdout = stdout
            with open(tsv) as f:
                lines = f.read().splitlines()
            self.assertEqual(len(lines), 5)
            wrong = [l.split("\t") for l in lines if l.startswith("wrong.pgm")]
            self.assertEqual(wrong[0][:6], ["wrong.pgm", "wrong", "morvik", "9", "1", "1"])

    def test_report_shows_conditions_side_by_side_and_speed_per_kind(self):
        def row(program, tag, chars, errors, seconds):
            return {"program": program, "chars": chars, "errors": errors, "distance": errors,
                    "seconds": seconds, "status": 0,
                    "picture": {"path": "/x/%s.pgm" % tag, "tags": [tag], "speed": ["pages"]}}
        rows = [row("morvik", "a", 10, 5, 0.5), row("morvik", "b", 30, 0, 1.5),
                row("gocr", "a", 10, 1, 1.0), row("gocr", "b", 30, 3, 3.0)]
        out = io.StringIO()
        with tempfile.TemporaryDirectory() as work, contextlib.redirect_stdout(out):
            ocr_bench.report(rows, ["morvik", "gocr"], [["a / b", ["a", "b"]]],
                             os.path.join(work, "r.tsv"), "T")
        lines = out.getvalue().splitlines()
        self.assertIn("| a / b | 1 / 1 | 50.0 / 100.0 | 90.0 / 90.0 |", lines)
        self.assertIn("| all pictures | 2 | 87.5 | 90.0 |", lines)
        self.assertIn("| pages | 2 | 1.00 | 0.50 |", lines)


class LineBlocks(html.parser.HTMLParser):
    """The text lines of a benchmark page as a reader sees them: each heading, line block,
    title bar, table row and row of buttons is one line; cells and buttons join with a blank."""
    def __init__(self):
        super().__init__()
        self.lines, self.pieces, self.depth = [], None, 0

    def handle_starttag(self, tag, attrs):
        classes = (dict(attrs).get("class") or "").split()
        if self.pieces is not None:
            self.depth += 1
            if tag in ("td", "th", "span"):
                self.pieces.append("")
        elif tag in ("h1", "tr") or {"l", "title", "buttons"} & set(classes):
            self.pieces, self.depth = [""], 0

    def handle_endtag(self, tag):
        if self.pieces is None:
            return
        if self.depth:
            self.depth -= 1
            return
        self.lines.append(" ".join(p for p in self.pieces if p))
        self.pieces = None

    def handle_data(self, data):
        if self.pieces is not None:
            self.pieces[-1] += data


@needs_modules
class ScreenDocuments(unittest.TestCase):
    def test_expected_text_is_the_pages_own_lines_in_order(self):
        for name, doc, want, *_ in make_screens.documents(random.Random(19), True):
            parser = LineBlocks()
            parser.feed(doc)
            self.assertEqual(parser.lines, [l for l in want.split("\n") if l], name)

    @needs_chromium
    def test_screenshots_follow_width_scale_and_anti_aliasing(self):
        with tempfile.TemporaryDirectory() as work:
            page = os.path.join(work, "p.html")
            with open(page, "w") as f:
                f.write(make_screens.page(make_screens.lines_html(["The ferry 1:3.6.0-7.1"] * 3),
                                          "DejaVu Sans", 14))
            for subpixel in (False, True):
                browser = shoot.Browser(subpixel)
                try:
                    for scale in (1, 2):
                        png = os.path.join(work, "%d%d.png" % (subpixel, scale))
                        browser.shoot(page, png, 300, scale)
                        img = numpy.asarray(Image.open(png).convert("RGB"), dtype=int)
                        self.assertEqual(img.shape[1], 300 * scale)
                        self.assertTrue(40 * scale < img.shape[0] < 120 * scale, img.shape)
                        fringe = (img.max(axis=2) - img.min(axis=2) > 30).sum()
                        self.assertEqual(fringe > 0, subpixel, (subpixel, scale, fringe))
                finally:
                    browser.close()


@needs_groff
class ExpectedText(unittest.TestCase):
    def typeset(self, lines, fonts=("TR", "CR", "HB", "PI")):
        body = [make_pages.PREAMBLE % {"size": 11, "lead": 13, "roman": "TR"}, ".nf\n"]
        for i, line in enumerate(lines):
            body.append(".ft %s\n%s\n" % (fonts[i % len(fonts)], make_pages.escape(line)))
        return make_pages.grout_pages("".join(body))

    def test_signs_code_and_ligatures_come_back_exactly(self):
        lines = bench_texts.SIGN_LINES + bench_texts.CODE + [
            ".starts with a dot", "'starts with a quote", "office affluent baffled flight",
            "a\\b \\\\ c"]
        pages = self.typeset(lines)
        self.assertEqual(len(pages), 1)
        got = pages[0].split("\n")
        want = [" ".join(l.split()) for l in lines]
        self.assertEqual([" ".join(l.split()) for l in got], want)

    def test_filled_text_keeps_its_words_and_hyphens(self):
        rng = random.Random(3)
        source = make_pages.prose_page(rng, "times", 6)
        text = make_pages.grout_pages(source)[0]
        words = " ".join(bench_texts.paragraphs(random.Random(3), 6)).split()
        # Undoing the line ends (and the hyphens groff added there) gives the words back;
        # words with a hyphen of their own may break at it, so hyphens are left out.
        joined = text.replace("-\n", "").replace("\n", " ").replace("-", "").split()
        self.assertEqual(joined, [w.replace("-", "") for w in words])
        lines = text.split("\n")
        self.assertGreater(len(lines), 20)
        self.assertTrue(all(len(line) < 120 for line in lines))

    def test_two_columns_read_column_by_column(self):
        rng = random.Random(5)
        source = make_pages.two_column_page(rng, "helvetica")
        paras = bench_texts.paragraphs(random.Random(5), 8)
        text = make_pages.grout_pages(source)[0].replace("-\n", "").replace("\n", " ")
        starts = [text.find(" ".join(p.split()[:4])) for p in paras]
        self.assertNotIn(-1, starts)
        self.assertEqual(starts, sorted(starts))


@needs_modules
class Pictures(unittest.TestCase):
    def test_digit_cells_are_cropped_to_the_ink_at_the_asked_height(self):
        for rel in (make_pages.DIGIT_FACES[0][1], make_pages.DIGIT_FACES[7][0]):
            path = os.path.join("/usr/share/fonts", rel)
            if not os.path.exists(path):
                continue
            for digit, height in (("1", 24), ("8", 64), ("0", 44)):
                cell = numpy.asarray(make_pages.digit_cell(path, digit, height))
                self.assertLessEqual(abs(cell.shape[0] - height), 2, (rel, digit))
                for border in (cell[0], cell[-1], cell[:, 0], cell[:, -1]):
                    self.assertLess(border.min(), 250, (rel, digit, height))

    def test_degradations_repeat_for_a_name_and_differ_between_names(self):
        page = Image.new("L", (300, 200), 255)
        page.paste(0, (40, 60, 260, 80))
        for condition in ("noisy", "rotated", "scanlike", "blurred"):
            a = make_pages.degrade(page, condition, "page_a")
            self.assertEqual(a.tobytes(), make_pages.degrade(page, condition, "page_a").tobytes())
            if condition != "blurred":
                b = make_pages.degrade(page, condition, "page_b")
                self.assertNotEqual(a.tobytes(), b.tobytes(), condition)

    def test_rotation_stays_within_the_range(self):
        page = Image.new("L", (1000, 10), 0)
        for name in ("p%d" % i for i in range(20)):
            h = make_pages.degrade(page, "rotated", name).size[1]
            # A 1000 x 10 bar turned by t degrees grows to about 1000 sin t + 10 high.
            self.assertTrue(1000 * 0.0087 + 8 <= h <= 1000 * 0.0262 + 14, (name, h))


if __name__ == "__main__":
    unittest.main()
