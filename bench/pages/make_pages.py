#!/usr/bin/python3
"""Makes the pictures of the printed-page benchmark and their expected text.

Documents are typeset by groff (plain troff requests, PostScript device, A4) from the text of
bench/bench_texts.py and rasterised by Ghostscript; the expected text of each page is read
back from groff's own intermediate output of the same source (its words, glyphs and line
ends), so it holds the lines exactly as they were filled, justified and hyphenated.

  make_pages.py [--full] [--seed N] WORK

writes WORK/pictures/*.pgm and WORK/manifest.json (what ocr_bench.py reads):
  pages: A4 pages in several families (prose with bold and italic runs, two columns, code
         and signs), each clean at 300 and 150 dpi, at 100 dpi, and degraded from a 200 dpi
         render: blurred, salt-and-pepper noise, rotated 0.5-1.5 degrees, and scan-like
         (rotation, blur, low contrast and grain);
  lines: single lines cut out of 300 dpi pages: roman, bold, italic, monospaced, signs and
         ligature words;
  digit cells: 0-9 of twelve typefaces (FreeType through PIL), regular and bold, cropped to
         the ink, read with each program's digit filter.
Degradations draw from random.Random seeded by the picture's name, so runs repeat exactly.
"""
import os
import random
import re
import subprocess
import sys

import numpy
from PIL import Image, ImageFilter, ImageFont, ImageDraw

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import bench_texts  # noqa: E402
import ocr_bench  # noqa: E402

# groff's PostScript families: roman, bold, italic, bold italic.
FAMILIES = {
    "times": ("TR", "TB", "TI", "TBI"),
    "helvetica": ("HR", "HB", "HI", "HBI"),
    "palatino": ("PR", "PB", "PI", "PBI"),
    "schoolbook": ("NR", "NB", "NI", "NBI"),
    "bookman": ("BMR", "BMB", "BMI", "BMBI"),
    "courier": ("CR", "CB", "CI", "CBI"),
}

# Glyphs that groff names, as the letters a reader should give back.
GLYPHS = {"hy": "-", "aq": "'", "cq": "'", "oq": "`", "ti": "~", "ha": "^", "ga": "`",
          "dq": '"', "rs": "\\", "mi": "-", "en": "-", "lq": '"', "rq": '"', "fi": "fi",
          "fl": "fl", "ff": "ff", "Fi": "ffi", "Fl": "ffl", "sl": "/", "at": "@", "sh": "#",
          "Do": "$", "lB": "[", "rB": "]", "lC": "{", "rC": "}", "ba": "|", "or": "|",
          "ul": "_", "pl": "+", "eq": "=", "ct": "c"}

PREAMBLE = """.pl 29.7c
.po 2.5c
.ll 16c
.ps %(size)s
.vs %(lead)sp
.ft %(roman)s
.ad b
.hy 1
.sp 1.5c
"""


def escape(text):
    """Troff input that prints text as it stands, signs included."""
    signs = {"\\": "\\e", "'": "\\(aq", "`": "\\(ga", "~": "\\(ti", "^": "\\(ha"}
    s = "".join(signs.get(ch, ch) for ch in text)
    return "\\&" + s if s[:1] in ".'" else s


def styled(text, fonts, rng):
    """A paragraph with one run of bold and one of italic words."""
    words = text.split(" ")
    out = [escape(w) for w in words]
    for font in (fonts[1], fonts[2]):
        n = rng.randint(2, 5)
        start = rng.randrange(0, max(1, len(words) - n))
        out[start] = "\\f[%s]" % font + out[start]
        out[start + n - 1] += "\\f[%s]" % fonts[0]
    return " ".join(out)


def prose_page(rng, family, count=9):
    fonts = FAMILIES[family]
    body = [PREAMBLE % {"size": 11, "lead": 14, "roman": fonts[0]}]
    for p in bench_texts.paragraphs(rng, count):
        body.append(styled(p, fonts, rng) + "\n.sp 0.6v\n")
    return "".join(body)


def two_column_page(rng, family):
    fonts = FAMILIES[family]
    body = [PREAMBLE % {"size": 10, "lead": 12, "roman": fonts[0]}, ".mk a\n.ll 7.6c\n"]
    paras = bench_texts.paragraphs(rng, 8)
    for i, p in enumerate(paras):
        if i == 4:
            body.append(".rt \\nau\n.po +8.4c\n")
        body.append(styled(p, fonts, rng) + "\n.sp 0.6v\n")
    return "".join(body)


def code_page(rng, text_font="TR"):
    """Code in Courier, then signs and ligature words in text_font."""
    body = [PREAMBLE % {"size": 10, "lead": 13, "roman": "CR"}, ".nf\n"]
    for line in rng.sample(bench_texts.CODE, len(bench_texts.CODE)):
        body.append(escape(line) + "\n")
    body.append(".sp\n.ft %s\n.ps 11\n" % text_font)
    for line in bench_texts.SIGN_LINES:
        body.append(escape(line) + "\n")
    body.append(".sp\n.fi\n")
    for line in bench_texts.ligature_sentences(rng, 6):
        body.append(escape(line) + "\n")
    return "".join(body)


def lines_document(lines):
    """One line per page, each with its own font, cut out later."""
    body = [PREAMBLE % {"size": 12, "lead": 14, "roman": "TR"}, ".nf\n"]
    for i, (font, text) in enumerate(lines):
        if i:
            body.append(".bp\n")
        body.append(".ft %s\n%s\n" % (font, escape(text)))
    return "".join(body)


def grout_pages(source):
    """The text of each page from groff's intermediate output: words, glyphs, line ends."""
    out = subprocess.run(["groff", "-Tps", "-dpaper=a4", "-Z"], input=source.encode(),
                         stdout=subprocess.PIPE, check=True).stdout.decode("latin-1")
    pages, line = [], []
    for raw in out.split("\n"):
        i = 0
        while i < len(raw):
            c = raw[i]
            if c in "xDF#m":
                break
            if c in "tu":
                text = raw[i + 1:] if c == "t" else raw[i + 1:].split(" ", 1)[1]
                line.append(text)
                break
            if c == "C":
                name = raw[i + 1:].split()[0]
                if name not in GLYPHS:
                    raise SystemExit("make_pages: groff glyph %r has no letters here" % name)
                line.append(GLYPHS[name])
                i += 1 + len(name)
            elif c == "c":
                line.append(raw[i + 1])
                i += 2
            elif c == "w":
                line.append(" ")
                i += 1
            elif c == "n":
                pages[-1].append("".join(line).strip())
                line = []
                break
            elif c == "p":
                pages.append([])
                break
            elif c in "hHvVsfN":
                m = re.match(r"-?\d+", raw[i + 1:])
                i += 1 + len(m.group(0))
            elif c.isspace():
                i += 1
            else:
                raise SystemExit("make_pages: unexpected groff output %r" % raw)
    return ["\n".join(l for l in p if l) for p in pages]


def ghostscript(source, dpi, prefix):
    """Rasterises every page; returns the PNG files."""
    ps = subprocess.run(["groff", "-Tps", "-dpaper=a4", "-P-pa4"], input=source.encode(),
                        stdout=subprocess.PIPE, check=True).stdout
    subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pnggray",
                    "-r%d" % dpi, "-dTextAlphaBits=4", "-dGraphicsAlphaBits=4",
                    "-sPAPERSIZE=a4", "-sOutputFile=%s-%%03d.png" % prefix, "-"],
                   input=ps, check=True)
    folder, base = os.path.split(prefix)
    return sorted(os.path.join(folder, f) for f in os.listdir(folder)
                  if f.startswith(base + "-") and f.endswith(".png"))


def seeded(name):
    """A generator seeded by the picture's name, so each picture degrades the same way."""
    return numpy.random.default_rng(sum(ord(c) * (i + 1) for i, c in enumerate(name)))


def salt_and_pepper(pixels, rng, share):
    hit = rng.random(pixels.shape) < share
    pixels[hit] = numpy.where(rng.random(pixels.shape) < 0.5, 0, 255)[hit]
    return pixels


def rotate(img, rng):
    angle = rng.uniform(0.5, 1.5) * rng.choice((-1, 1))
    return img.rotate(angle, resample=Image.BICUBIC, expand=True, fillcolor=255)


def scan_like(img, rng):
    """Rotated, a little soft, grey ink on grey paper, grain and a few specks."""
    img = rotate(img, rng).filter(ImageFilter.GaussianBlur(0.8))
    low, high = 70, 215
    pixels = low + numpy.asarray(img, dtype=numpy.float64) * (high - low) / 255
    pixels += rng.normal(0, 10, pixels.shape)
    return salt_and_pepper(numpy.clip(pixels, 0, 255).astype(numpy.uint8), rng, 0.001)


def degrade(img, condition, name):
    rng = seeded(name)
    if condition == "blurred":
        return img.filter(ImageFilter.GaussianBlur(1.2))
    if condition == "rotated":
        return rotate(img, rng)
    if condition == "noisy":
        pixels = salt_and_pepper(numpy.array(img, dtype=numpy.uint8), rng, 0.01)
    else:
        pixels = scan_like(img, rng)
    return Image.fromarray(pixels, "L")


def save(img, path):
    img.convert("L").save(path)  # PGM: every program reads it
    return path


def crop_to_ink(img, margin, level=250):
    box = img.point(lambda v: 255 if v < level else 0).getbbox()
    if box is None:
        return img
    l, t, r, b = box
    w, h = img.size
    return img.crop((max(0, l - margin), max(0, t - margin), min(w, r + margin),
                     min(h, b + margin)))


def make_pages(work, full, rng):
    docs = [("times_prose", prose_page(rng, "times")),
            ("helvetica_columns", two_column_page(rng, "helvetica")),
            ("palatino_prose", prose_page(rng, "palatino")),
            ("courier_code", code_page(rng))]
    if full:
        docs += [("schoolbook_prose", prose_page(rng, "schoolbook", 8)),
                 ("bookman_prose", prose_page(rng, "bookman", 7)),
                 ("times_columns", two_column_page(rng, "times")),
                 ("helvetica_prose", prose_page(rng, "helvetica", 10)),
                 ("courier_code_palatino", code_page(rng, "PR")),
                 ("schoolbook_columns", two_column_page(rng, "schoolbook"))]
    pictures = []
    tmp = os.path.join(work, "render")
    for name, source in docs:
        texts = grout_pages(source)
        with open(os.path.join(tmp, name + ".tr"), "w") as f:
            f.write(source)
        renders = {dpi: ghostscript(source, dpi, os.path.join(tmp, "%s_%d" % (name, dpi)))
                   for dpi in (300, 200, 150, 100)}
        for page, want in enumerate(texts):
            for tag, dpi in (("clean300", 300), ("clean150", 150), ("dpi100", 100)):
                pic = "page_%s_%d_%s" % (name, page + 1, tag)
                path = save(Image.open(renders[dpi][page]), os.path.join(work, "pictures",
                                                                         pic + ".pgm"))
                pictures.append({"path": path, "want": want, "kind": "text", "tags": [tag],
                                 "speed": ["pages"]})
            for tag in ("blurred", "noisy", "rotated", "scanlike"):
                pic = "page_%s_%d_%s" % (name, page + 1, tag)
                img = degrade(Image.open(renders[200][page]).convert("L"), tag, pic)
                path = save(img, os.path.join(work, "pictures", pic + ".pgm"))
                pictures.append({"path": path, "want": want, "kind": "text", "tags": [tag],
                                 "speed": ["pages"]})
    return pictures


def make_lines(work, full, rng):
    families = ["times", "helvetica", "palatino"] + (["schoolbook", "bookman"] if full else [])
    per = 3 if full else 2
    lines = []
    for family in families:
        for style, font in zip(("roman", "bold", "italic"), FAMILIES[family][:3]):
            for _ in range(per):
                lines.append((style, font, bench_texts.sentence(rng)))
    for text in rng.sample(bench_texts.CODE, 6 if full else 3):
        lines.append(("mono", rng.choice(("CR", "CB")), text))
    for text in bench_texts.SIGN_LINES[:5 if full else 3]:
        lines.append(("signs", rng.choice(("TR", "HR", "CR")), text))
    for text in bench_texts.ligature_sentences(rng, 6 if full else 3):
        lines.append(("ligatures", rng.choice(("TR", "PR", "NR", "TI")), text))
    # Drawn last, so the lines above stay the draws they were before bold italic was added.
    for family in families:
        for _ in range(per):
            lines.append(("bolditalic", FAMILIES[family][3], bench_texts.sentence(rng)))
    source = lines_document([(font, text) for _, font, text in lines])
    texts = grout_pages(source)
    renders = ghostscript(source, 300, os.path.join(work, "render", "lines"))
    pictures = []
    for i, ((style, font, _), want, png) in enumerate(zip(lines, texts, renders)):
        pic = "line_%03d_%s_%s" % (i, style, font)
        img = crop_to_ink(Image.open(png).convert("L"), 24)
        path = save(img, os.path.join(work, "pictures", pic + ".pgm"))
        pictures.append({"path": path, "want": want, "kind": "text", "tags": ["line_" + style],
                         "speed": ["lines"]})
    return pictures


DIGIT_FACES = [
    ("truetype/dejavu/DejaVuSans.ttf", "truetype/dejavu/DejaVuSans-Bold.ttf"),
    ("truetype/dejavu/DejaVuSerif.ttf", "truetype/dejavu/DejaVuSerif-Bold.ttf"),
    ("truetype/dejavu/DejaVuSansMono.ttf", "truetype/dejavu/DejaVuSansMono-Bold.ttf"),
    ("truetype/liberation/LiberationSans-Regular.ttf",
     "truetype/liberation/LiberationSans-Bold.ttf"),
    ("truetype/liberation/LiberationSerif-Regular.ttf",
     "truetype/liberation/LiberationSerif-Bold.ttf"),
    ("truetype/liberation/LiberationMono-Regular.ttf",
     "truetype/liberation/LiberationMono-Bold.ttf"),
    ("truetype/freefont/FreeSans.ttf", "truetype/freefont/FreeSansBold.ttf"),
    ("truetype/freefont/FreeSerif.ttf", "truetype/freefont/FreeSerifBold.ttf"),
    ("truetype/freefont/FreeMono.ttf", "truetype/freefont/FreeMonoBold.ttf"),
    ("opentype/urw-base35/NimbusSans-Regular.otf", "opentype/urw-base35/NimbusSans-Bold.otf"),
    ("opentype/urw-base35/C059-Roman.otf", "opentype/urw-base35/C059-Bold.otf"),
    ("opentype/urw-base35/URWBookman-Light.otf", "opentype/urw-base35/URWBookman-Demi.otf"),
]


def digit_cell(font_path, digit, height):
    """The digit drawn so its ink is height pixels tall, cropped to the ink."""
    probe = ImageFont.truetype(font_path, 200)
    l, t, r, b = probe.getbbox("0123456789")
    font = ImageFont.truetype(font_path, max(4, round(200 * height / (b - t))))
    l, t, r, b = font.getbbox(digit)
    img = Image.new("L", (r - l + 20, b - t + 20), 255)
    ImageDraw.Draw(img).text((10 - l, 10 - t), digit, font=font, fill=0)
    return crop_to_ink(img, 0)


def make_digits(work, full):
    """Every height for every face with --full; else two heights per face and weight, taken
    in turn so that each height appears as often."""
    heights = (24, 32, 40, 48, 56, 64)
    pictures = []
    for fi, faces in enumerate(DIGIT_FACES):
        for wi, (weight, rel) in enumerate(zip(("regular", "bold"), faces)):
            k = 2 * fi + wi
            chosen = heights if full else (heights[k % 6], heights[(k + 3) % 6])
            path = os.path.join("/usr/share/fonts", rel)
            if not os.path.exists(path):
                print("make_pages: %s missing, left out" % path, file=sys.stderr)
                continue
            face = os.path.splitext(os.path.basename(rel))[0]
            for h in chosen:
                for d in "0123456789":
                    pic = "digit_%s_%d_%s" % (face, h, d)
                    out = save(digit_cell(path, d, h), os.path.join(work, "pictures",
                                                                    pic + ".pgm"))
                    pictures.append({"path": out, "want": d, "kind": "digit",
                                     "tags": ["digits_" + weight], "speed": ["digit cells"]})
    return pictures


GROUPS = [
    ["clean pages, 300 dpi", ["clean300"]],
    ["clean pages, 150 dpi", ["clean150"]],
    ["pages at 100 dpi", ["dpi100"]],
    ["blurred pages (200 dpi)", ["blurred"]],
    ["noisy pages (200 dpi)", ["noisy"]],
    ["pages rotated 0.5-1.5 degrees (200 dpi)", ["rotated"]],
    ["scan-like pages (200 dpi)", ["scanlike"]],
    ["clean lines: roman / bold / italic / bold italic",
     ["line_roman", "line_bold", "line_italic", "line_bolditalic"]],
    ["clean lines: mono / signs / ligatures", ["line_mono", "line_signs", "line_ligatures"]],
    ["digit cells: regular / bold", ["digits_regular", "digits_bold"]],
]


def main():
    a = ocr_bench.maker_arguments(15, ("pictures", "render"))
    rng = random.Random(a.seed)
    pictures = make_pages(a.work, a.full, rng) + make_lines(a.work, a.full, rng) + \
        make_digits(a.work, a.full)
    ocr_bench.write_manifest(a.work, "Printed pages", GROUPS, pictures)


if __name__ == "__main__":
    main()
