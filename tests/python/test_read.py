"""morvik.read and the library against the command line: the same text, candidates and
output formats for the same pictures and options, from files, bytes and arrays of every
layout, on one thread or several."""

import threading
from pathlib import Path

import numpy as np
import pytest

import morvik
from conftest import PICTURES, cli, write_picture

# The options of `morvik --read` and their keywords in Python.
OPTIONS = [
    ([], {}),
    (["--chars", "0-9"], {"chars": "0-9"}),
    (["--reject", "0.7", "--polarity", "dark"], {"reject": 0.7, "polarity": "dark"}),
    (["--no-crop", "--ratio", "off", "--tally", "60"], {"crop": False, "ratio": 0, "tally": 60}),
    (["--grid", "0,0,40,40,3,2"], {"grid": (0, 0, 40, 40, 3, 2)}),
]


@pytest.mark.parametrize("args,keywords", OPTIONS)
def test_every_format_is_the_command_lines(args, keywords):
    for picture in PICTURES:
        r = morvik.read(str(picture), **keywords)
        assert r.text == cli("--read", picture, *args)
        for fmt in ("tsv", "json"):
            assert r.render(fmt) == cli("--read", "--format", fmt, picture, *args), fmt


def test_bytes_and_paths_read_alike():
    picture = PICTURES[0]
    by_path = morvik.read(Path(picture))
    by_bytes = morvik.read(memoryview(picture.read_bytes()), name=str(picture))
    assert by_bytes.render("tsv") == by_path.render("tsv")
    several = [by_path, by_bytes, morvik.read(bytearray(PICTURES[1].read_bytes()),
                                              name=str(PICTURES[1]))]
    for fmt in ("text", "tsv", "json"):
        assert morvik.render(several, fmt) == cli("--read", "--format", fmt, picture, picture,
                                                  PICTURES[1]), fmt


def test_chars_and_candidates_are_those_of_the_json():
    import json
    r = morvik.read(PICTURES[1])
    picture = json.loads(cli("--read", "--format", "json", PICTURES[1]))[0]
    chars = [c for line in r.lines for c in line.chars]
    assert len(chars) == len(picture["characters"])
    for ch, want in zip(chars, picture["characters"]):
        assert ch.box == (want["left"], want["top"], want["width"], want["height"])
        assert (ch.rejected, ch.blank, ch.space_before) == (want["rejected"], want["blank"],
                                                            want["space_before"])
        got = [(c.char or None, c.set, c.number, float(f"{c.score:.6g}")) for c in ch.candidates]
        assert got == [(b["char"], b["set"], b["no"], b["score"]) for b in want["best"]]


def layouts(rgb):
    """Arrays of one picture in every layout, and whether each is read in place."""
    grey = (rgb.astype(np.uint16).sum(axis=2) // 3).astype(np.uint8)
    rgba = np.dstack([rgb, np.linspace(0, 255, rgb.shape[1], dtype=np.uint8)[None, :]
                      .repeat(rgb.shape[0], axis=0)])
    return [
        ("rgb", rgb, True),
        ("rgb fortran", np.asfortranarray(rgb), False),
        ("rgb window", rgb[7:100, 5:400], True),
        ("rgb every other row", rgb[::2], True),
        ("rgb every other column", rgb[:, ::2], False),
        ("rgb upside down", rgb[::-1], False),
        ("rgba", rgba, True),
        ("grey", grey, True),
        ("grey fortran", np.asfortranarray(grey), False),
        ("grey H x W x 1", grey[:, :, None], True),
        ("grey window", grey[3:90, 10:300], True),
        ("bgr channels reversed", rgb[:, :, ::-1], False),
    ]


def test_arrays_of_every_layout_read_as_their_files(note, tmp_path):
    for label, pixels, in_place in layouts(note):
        assert morvik._morvik._reads_in_place(pixels) == in_place, label
        suffix = ".png" if pixels.ndim == 3 and pixels.shape[2] == 4 else ".pnm"
        file = write_picture(tmp_path / (label.replace(" ", "_") + suffix), pixels.squeeze())
        got = morvik.read(pixels, name=file).render("tsv")
        assert got == cli("--read", "--format", "tsv", file), label


def test_threads_share_one_library():
    library = morvik.Library.stock()
    alone = {p: morvik.read(p, library=library).render("tsv") for p in PICTURES}
    got, failures = [], []

    def work(k):
        try:
            for p in PICTURES[k % len(PICTURES):] + PICTURES[:k % len(PICTURES)]:
                got.append((p, morvik.read(p, library=library).render("tsv")))
        except Exception as e:  # reported below: a thread's exception is otherwise lost
            failures.append(e)

    threads = [threading.Thread(target=work, args=(k,)) for k in range(6)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not failures
    assert len(got) == 6 * len(PICTURES)
    assert all(text == alone[p] for p, text in got)


def test_sets_learned_in_python_are_the_command_lines(tmp_path):
    font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
    cli("--learn-font", font, "--chars", "0-9.:", "--save", tmp_path / "cli")
    morvik.learn_font(font, "0-9.:", save=tmp_path / "py")
    for suffix in (".PCP", ".PCT", ".charmap.txt", ".set.ini", ".detail"):
        assert (tmp_path / ("py" + suffix)).read_bytes() == \
            (tmp_path / ("cli" + suffix)).read_bytes(), suffix
    # Several sets ranked together, under one map, as --set ... --set ... --charmap does.
    cli("--learn-picture", PICTURES[0], "--chars", "07:4521.5", "--save", tmp_path / "display")
    charmap = tmp_path / "map.txt"
    charmap.write_bytes(b"".join(b"%d\t%c\r\n" % (n, c) for n, c in enumerate(b"abcdefghij", 1)))
    for names, map_file in [(str(tmp_path / "py"), None), ([tmp_path / "display", tmp_path / "py"],
                                                            None), ([tmp_path / "py.PCP"], charmap)]:
        library = morvik.Library.open(names, charmap=map_file)
        args = [a for n in ([names] if isinstance(names, str) else names) for a in ("--set", n)]
        args += ["--charmap", map_file] if map_file else []
        r = morvik.read(PICTURES[0], library=library)
        assert r.render("tsv") == cli("--read", "--format", "tsv", *args, PICTURES[0]), names
