#!/usr/bin/python3
"""Makes the pictures of the screen-text benchmark and their expected text.

Each document is HTML written here from the text of bench/bench_texts.py, every text line in
a block of its own with white-space: pre, so the browser cannot re-wrap it and the expected
text is exact (the cells of a table row, a file-list row or a row of buttons read left to
right as one line). Headless Chromium takes the screenshots (bench/screen/shoot.py).

  make_screens.py [--full] [--seed N] WORK

writes WORK/html/*.html, WORK/pictures/*.ppm and WORK/manifest.json (for ocr_bench.py):
  paragraphs: nine families (three sans, three serif, three mono) at 13, 14 and 16 px, light,
      grey anti-aliasing, scale 1; a subset of them again in dark mode, in low contrast, with
      sub-pixel anti-aliasing and at HiDPI scale 2, so each of those compares with the same
      documents in the plain mode;
  UI pieces: package tables, file listings (terminal rows and a file manager with a selected
      row, white on blue) and dialogs (title bar, message, buttons with a white-on-blue one).
"""
import html
import os
import random
import sys
import textwrap

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, HERE)
import bench_texts  # noqa: E402
import ocr_bench  # noqa: E402
import shoot  # noqa: E402

FAMILIES = {
    "sans": ["DejaVu Sans", "Liberation Sans", "FreeSans"],
    "serif": ["DejaVu Serif", "Liberation Serif", "FreeSerif"],
    "mono": ["DejaVu Sans Mono", "Liberation Mono", "Noto Mono"],
}
MODES = {  # background, text
    "light": ("#ffffff", "#1a1a1a"),
    "dark": ("#1e1e1e", "#d4d4d4"),
    "lowcontrast": ("#ececec", "#7a7a7a"),
}

STYLE = """
body { margin: 0; padding: 14px 18px; background: %(bg)s; color: %(fg)s;
       font-family: '%(family)s'; font-size: %(size)dpx; }
.l { white-space: pre; line-height: 1.45; }
.gap { height: 0.8em; }
h1 { font-size: 1.25em; margin: 0 0 0.4em 0; white-space: pre; }
table { border-collapse: collapse; }
td, th { white-space: pre; padding: 3px 12px; text-align: left; }
th { background: %(head)s; }
tr:nth-child(even) td { background: %(stripe)s; }
.sel, .sel td { background: #3465a4 !important; color: #ffffff; }
.win { display: inline-block; border: 1px solid #9a9a9a; border-radius: 6px; overflow: hidden;
       background: %(bg)s; box-shadow: 0 2px 8px rgba(0,0,0,0.25); }
.choice { padding: 2px 8px; margin-top: 2px; }
.plain { border: none; border-radius: 0; box-shadow: none; }
.title { background: #3c3f41; color: #ffffff; padding: 6px 12px; font-weight: bold;
         white-space: pre; }
.body { padding: 14px 18px 8px 18px; }
.buttons { padding: 10px 18px 14px 18px; text-align: right; white-space: pre; }
.b { display: inline-block; padding: 5px 16px; margin-left: 10px; border: 1px solid #8c8c8c;
     border-radius: 4px; background: %(button)s; }
.primary { background: #2a6fdb; color: #ffffff; border-color: #1c56b0; }
"""


def page(body, family, size, mode="light"):
    bg, fg = MODES[mode]
    dark = mode == "dark"
    style = STYLE % {"bg": bg, "fg": fg, "family": family, "size": size,
                     "head": "#303134" if dark else "#e4e4e4",
                     "stripe": "#26272a" if dark else "#f5f5f5",
                     "button": "#3a3a3a" if dark else "#f2f2f2"}
    return ("<!doctype html><html><head><meta charset='utf-8'><style>%s</style></head>"
            "<body>%s</body></html>" % (style, body))


def lines_html(lines):
    return "".join("<div class='l'>%s</div>" % html.escape(l) if l else "<div class='gap'></div>"
                   for l in lines)


def paragraph_lines(rng, width):
    """A heading and two paragraphs, broken into lines of at most width characters."""
    title = rng.choice(["Notes from the harbour", "Before you start", "How it works",
                        "About this project", "Release notes", "Getting help"])
    lines = []
    for p in bench_texts.paragraphs(rng, 2):
        lines += textwrap.wrap(p, width) + [""]
    return title, lines[:-1]


def paragraph_doc(title, lines, family, size, mode):
    return page("<h1>%s</h1>%s" % (html.escape(title), lines_html(lines)), family, size, mode)


PACKAGES = [
    ("kelsby-tools", "1:3.6.0-7.1", "amd64", "14.3 kB", "timetable tools for small harbours"),
    ("libharbour2", "2.14.1-3+deb12u1", "amd64", "212 kB", "shared library for tide tables"),
    ("ferry-doc", "0.9.12~rc2-1", "all", "1.8 MB", "manual and examples for ferry"),
    ("python3-tern", "4.0.2-1", "all", "96.5 kB", "bird survey counts in Python"),
    ("libqt6xml6", "6.4.2+dfsg-10", "amd64", "57.1 kB", "XML module of a toolkit"),
    ("clockwork-data", "20231107-2", "all", "3.4 MB", "regulator tables for old clocks"),
    ("bread-timer", "1.2-4", "arm64", "28.0 kB", "kitchen timer with proofing stages"),
    ("chainwear", "0.3.1-1.1", "amd64", "41.9 kB", "measures bicycle chain stretch"),
    ("librail-dev", "5.11.0-2~bpo12+1", "amd64", "1.1 MB", "development files for librail"),
    ("marsh-survey", "2.0~beta3-1", "all", "640 kB", "field notes for meadow surveys"),
]


def table_doc(rng, mode, size):
    rows = [("Package", "Version", "Architecture", "Size", "Description")]
    rows += rng.sample(PACKAGES, 7)
    cells = "".join("<tr>%s</tr>" % "".join(
        "<%s>%s</%s>" % ("th" if i == 0 else "td", html.escape(c), "th" if i == 0 else "td")
        for c in row) for i, row in enumerate(rows))
    body = "<table>%s</table>" % cells
    return page(body, "DejaVu Sans", size, mode), "\n".join(" ".join(r) for r in rows)


FILES = ["harbour-notes.txt", "tide-table-2024.csv", "ferry_timetable.pdf", "survey.tar.gz",
         "build.log", "README.old", "pier-drawings.svg", "tern-counts.ods", "clock.conf",
         "backup-2023-11-07.tar.xz", "ledger_1912.png", "Makefile",
         "libharbour2_2.14.1-3+deb12u1_amd64.deb", "ferry-doc_0.9.12~rc2-1_all.deb",
         "kelsby-tools_3.6.0-7.1_amd64.deb", "release-2.14.1.tar.gz"]
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def file_rows(rng, count):
    rows = []
    for name in rng.sample(FILES, count):
        perm = rng.choice(["-rw-r--r--", "-rwxr-xr-x", "-rw-------", "drwxr-xr-x"])
        size = rng.choice([rng.randint(40, 999), rng.randint(1000, 999999)])
        when = "%s %2d %02d:%02d" % (rng.choice(MONTHS), rng.randint(1, 28), rng.randint(0, 23),
                                      rng.randint(0, 59))
        rows.append((perm, str(rng.randint(1, 3)), "marsh", "staff", str(size), when, name))
    return rows


def terminal_doc(rng, size):
    rows = file_rows(rng, 9)
    lines = ["$ ls -l ~/survey"] + ["%s %s %s %s %7s %s %s" % r for r in rows]
    return page(lines_html(lines), "DejaVu Sans Mono", size, "dark"), "\n".join(lines)


def human(n):
    return "%d bytes" % n if n < 1000 else "%.1f kB" % (n / 1000.0) if n < 10 ** 6 else \
        "%.1f MB" % (n / 1e6)


def file_manager_doc(rng, size, mode):
    rows = [("Name", "Size", "Modified")]
    for r in file_rows(rng, 8):
        rows.append((r[6], human(int(r[4])), "%s %s" % (r[5][:6].replace("  ", " "), "2024")))
    selected = rng.randrange(2, len(rows))
    out = []
    for i, row in enumerate(rows):
        tag = "th" if i == 0 else "td"
        cls = " class='sel'" if i == selected else ""
        out.append("<tr%s>%s</tr>" % (cls, "".join("<%s>%s</%s>" % (tag, html.escape(c), tag)
                                                  for c in row)))
    body = "<table>%s</table>" % "".join(out)
    return page(body, "Liberation Sans", size, mode), "\n".join(" ".join(r) for r in rows)


# Title, message lines, buttons (the last one is the default, white on blue) and a list of
# choices whose second is selected (white on blue too).
DIALOGS = [
    ("Replace file?", ["A file named \"tide-table-2024.csv\" already exists.",
                       "Replacing it will overwrite its contents."], ["Cancel", "Replace"], []),
    ("Delete 3 items?", ["The items will be moved to the wastebasket.",
                         "You can restore them until it is emptied."], ["Keep", "Delete"], []),
    ("Open with", ["Choose an application for \"survey.tar.gz\" (14.3 kB):"], ["Cancel", "Open"],
     ["Archive Manager 44.2", "Text Editor", "Image Viewer"]),
    ("Save changes?", ["Save the changes to \"harbour-notes.txt\" before closing?",
                       "Your changes will be lost if you don't save them."],
     ["Don't Save", "Cancel", "Save"], []),
    ("Updates available", ["12 updates are ready to install (48.2 MB).",
                           "The computer restarts once they are installed."],
     ["Later", "Install Now"], ["kelsby-tools 1:3.6.0-7.1", "libharbour2 2.14.1-3+deb12u1",
                                "ferry-doc 0.9.12~rc2-1"]),
    ("Connection lost", ["The server at 10.0.3.17 stopped answering.",
                         "Retrying in 30 seconds (attempt 2 of 5)."], ["Work Offline", "Retry"],
     []),
    ("Print", ["Printer: Office Laser (2nd floor)", "Pages: 1-4, 7   Copies: 2"],
     ["Preview", "Cancel", "Print"], []),
]


def dialog_doc(dialog, family, size, mode, framed):
    """A dialog window, framed with its border and shadow, or cut inside its frame."""
    title, message, buttons, choices = dialog
    spans = "".join("<span class='b%s'>%s</span>" % (" primary" if i == len(buttons) - 1
                                                      else "", html.escape(b))
                    for i, b in enumerate(buttons))
    rows = "".join("<div class='l choice%s'>%s</div>" % (" sel" if i == 1 else "", html.escape(c))
                   for i, c in enumerate(choices))
    body = ("<div class='win%s'><div class='title'>%s</div><div class='body'>%s%s</div>"
            "<div class='buttons'>%s</div></div>" % ("" if framed else " plain", html.escape(title),
                                                      lines_html(message), rows, spans))
    want = [title] + message + list(choices) + [" ".join(buttons)]
    return page(body, family, size, mode), "\n".join(want)


def documents(rng, full):
    """(name, html, expected, width, scale, subpixel, tags)"""
    docs = []
    sizes = (13, 14, 16)
    # The subset shown again in every other mode: one family of each kind per size (all in
    # the full size).
    for kind, families in FAMILIES.items():
        for fi, family in enumerate(families):
            for size in sizes:
                title, lines = paragraph_lines(rng, 88 if size < 16 else 78)
                want = "\n".join([title] + lines)
                doc = paragraph_doc(title, lines, family, size, "light")
                name = "para_%s_%d" % (family.replace(" ", ""), size)
                subset = full or fi == sizes.index(size)
                docs.append((name, doc, want, 900, 1, False,
                             ["para%d" % size, kind] + (["subset"] if subset else [])))
                if not subset:
                    continue
                for mode in ("dark", "lowcontrast"):
                    docs.append((name + "_" + mode, paragraph_doc(title, lines, family, size, mode),
                                 want, 900, 1, False, [mode]))
                docs.append((name + "_subpixel", doc, want, 900, 1, True, ["subpixel"]))
                docs.append((name + "_scale2", doc, want, 900, 2, False, ["scale2"]))
    ui = [("table_light13", table_doc(rng, "light", 13), ["table"]),
          ("table_dark14", table_doc(rng, "dark", 14), ["table"]),
          ("files_terminal14", terminal_doc(rng, 14), ["filelist"]),
          ("files_manager13", file_manager_doc(rng, 13, "light"), ["filelist"])]
    dialogs = DIALOGS if full else DIALOGS[:4]
    for i, d in enumerate(dialogs):
        family = ["DejaVu Sans", "Liberation Sans", "FreeSans"][i % 3]
        mode = "dark" if i % 4 == 3 else "light"
        ui.append(("dialog_%d" % i, dialog_doc(d, family, 13 + i % 2, mode, i % 2 == 0),
                   ["dialog"]))
    if full:
        ui += [("table_light14", table_doc(rng, "light", 14), ["table"]),
               ("table_lowcontrast13", table_doc(rng, "lowcontrast", 13), ["table"]),
               ("files_terminal13", terminal_doc(rng, 13), ["filelist"]),
               ("files_manager14dark", file_manager_doc(rng, 14, "dark"), ["filelist"])]
    for name, (doc, want), tags in ui:
        docs.append((name, doc, want, 760, 1, False, tags))
    return docs


GROUPS = [
    ["paragraphs 13 / 14 / 16 px", ["para13", "para14", "para16"]],
    ["sans / serif / mono", ["sans", "serif", "mono"]],
    ["dark mode / low contrast (same documents light)", ["dark", "lowcontrast", "subset"]],
    ["sub-pixel rendering (same documents in grey)", ["subpixel", "subset"]],
    ["HiDPI scale 2 (same documents at scale 1)", ["scale2", "subset"]],
    ["tables / file lists / dialogs", ["table", "filelist", "dialog"]],
]


def main():
    a = ocr_bench.maker_arguments(19, ("html", "pictures"))
    docs = documents(random.Random(a.seed), a.full)
    pictures = []
    for subpixel in (False, True):
        browser = shoot.Browser(subpixel)
        try:
            for name, doc, want, width, scale, sub, tags in docs:
                if sub != subpixel:
                    continue
                page_path = os.path.join(a.work, "html", name + ".html")
                with open(page_path, "w") as f:
                    f.write(doc)
                png = os.path.join(a.work, "html", name + ".png")
                browser.shoot(page_path, png, width, scale)
                ppm = os.path.join(a.work, "pictures", name + ".ppm")
                Image.open(png).convert("RGB").save(ppm)
                pictures.append({"path": ppm, "want": want, "kind": "text", "tags": tags,
                                 "speed": ["paragraphs" if name.startswith("para") else
                                           "UI pieces"]})
        finally:
            browser.close()
    ocr_bench.write_manifest(a.work, "Screen text", GROUPS, pictures)


if __name__ == "__main__":
    main()
