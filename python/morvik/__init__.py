"""Morvik reads pictures of text: whole pages, lines, grids and tables of characters, matched
against the stock library of common typefaces or against reference sets you learn.

    import morvik
    r = morvik.read("page.png")            # a path, the bytes of a file, or a uint8 array
    print(r.text)
    for line in r.lines:
        for ch in line.chars:
            print(ch.text, ch.box, ch.candidates, ch.rejected)

The answers are those of `morvik --read` for the same picture and options. A Library is
shared by any number of threads; reading releases the GIL, so threads read in parallel.
Failures raise morvik.Error, a subclass by kind, with `.kind` and `.file`.
"""

import os
from typing import Iterable, Optional, Sequence, Tuple, Union

from ._types import (Box, Candidate, Error, ErrorKind, NotFoundError, CannotReadError,
                     BadDataError, CannotWriteError, UsageError, TooLargeError, FailedError,
                     RunSummary)
from ._morvik import Char, LearnedSets, Library, Line, Reading, __version__
from . import _morvik

__all__ = [
    "read", "render", "learn_picture", "learn_font", "learn_folder", "recognize_folder",
    "recognize_batch", "Library", "Reading", "Line", "Char", "Box", "Candidate", "LearnedSets",
    "RunSummary", "Error", "ErrorKind", "NotFoundError", "CannotReadError", "BadDataError",
    "CannotWriteError", "UsageError", "TooLargeError", "FailedError", "__version__",
]

# Shown, and pickled (errors and tuples cross to Dask workers), as morvik.NAME.
for _type in (Box, Candidate, RunSummary, ErrorKind, Error, NotFoundError, CannotReadError,
              BadDataError, CannotWriteError, UsageError, TooLargeError, FailedError, Char,
              LearnedSets, Library, Line, Reading):
    _type.__module__ = __name__

Path = Union[str, "os.PathLike[str]"]
Grid = Tuple[int, int, int, int, int, int]


def read(source, *, library: Optional[Library] = None, chars: str = "", reject: float = 0.0,
         polarity: str = "auto", grid: Optional[Grid] = None, table: bool = False,
         crop: Optional[bool] = None, auto_threshold: Optional[bool] = None,
         threshold: Optional[int] = None, increment: Optional[int] = None,
         ratio: Optional[int] = None, tally: Optional[int] = None,
         name: Optional[str] = None) -> Reading:
    """Reads a picture and returns its Reading: r.text, and r.lines[k].chars[i] with text, box
    (left, top, width, height), candidates [(char, score, set, number), ...] best first,
    rejected.

    source   a path (str or os.PathLike) of a BMP, PNG or PBM/PGM/PPM file; the bytes of
             such a file (bytes, bytearray, memoryview); or a numpy array of uint8 pixels,
             H x W grey or H x W x 3 (RGB) or 4 (RGBA, composed over white), of any layout
             (read in place where each row's pixels lie side by side)
    library  the sets to read with (Library.open(...)); the stock library by default
    chars    answer only with these characters, ranges allowed: "0-9", "A-Z0-9"
    reject   a best score below it (0 to 1) rejects the character: "?" in the text
    polarity "auto", "dark" (dark characters on a light ground) or "light"
    grid     (x, y, width, height, columns, rows): a fixed grid of cells
    table    cut a ruled table cell by cell
    crop, auto_threshold, threshold, increment, ratio (0 keeps the proportions), tally:
             override the sets' stored image settings (percentages 0..100)
    name     the picture's name in rendered output (and, for bytes and arrays, in errors):
             the path, "picture" for bytes and "pixels" for an array by default

    The same answers as `morvik --read` with the same options. Raises morvik.Error (by kind:
    NotFoundError, CannotReadError, BadDataError, UsageError, TooLargeError) naming the
    file, and TypeError for an array that is not uint8.
    """
    options = dict(chars=chars, reject=reject, polarity=polarity, grid=grid, table=table,
                   crop=crop, auto_threshold=auto_threshold, threshold=threshold,
                   increment=increment, ratio=ratio, tally=tally)
    lib = Library.stock() if library is None else library
    if isinstance(source, (str, os.PathLike)):
        return _morvik._read_file(source, lib, options, name)
    if isinstance(source, (bytes, bytearray, memoryview)):
        return _morvik._read_memory(source, lib, options, "picture" if name is None else name)
    return _morvik._read_pixels(source, lib, options, "pixels" if name is None else name)


def render(readings: Iterable[Reading], format: str = "text") -> str:
    """Readings as one run of `morvik --read --format FORMAT` over their pictures prints them:
    text with "==> NAME <==" before each when there are several, TSV under one header, JSON
    as one array. One reading alone: reading.render(format)."""
    return _morvik.render(list(readings), format)


def learn_picture(picture: Path, chars: str, *, save: Optional[Path] = None,
                  polarity: str = "auto", grid: Optional[Grid] = None, table: bool = False,
                  crop: Optional[bool] = None, auto_threshold: Optional[bool] = None,
                  threshold: Optional[int] = None, increment: Optional[int] = None,
                  ratio: Optional[int] = None, tally: Optional[int] = None) -> LearnedSets:
    """Learns a set from a picture whose characters, in reading order, are chars (ranges
    such as "0-9A-Z" allowed, blanks ignored; at most 40), as `morvik --learn-picture` does.
    With save=BASE it is also saved as BASE.PCP with its sidecars; else call .save(BASE).
    Cutting and image options as for read. Raises BadDataError when the picture's
    characters are not the count chars names."""
    options = dict(polarity=polarity, grid=grid, table=table, crop=crop,
                   auto_threshold=auto_threshold, threshold=threshold, increment=increment,
                   ratio=ratio, tally=tally)
    return _saved(_morvik._learn_picture(picture, chars, options), save)


def learn_font(font: Path, chars: str, *, sizes: Sequence[int] = (40,),
               save: Optional[Path] = None, crop: Optional[bool] = None,
               auto_threshold: Optional[bool] = None, threshold: Optional[int] = None,
               increment: Optional[int] = None, ratio: Optional[int] = None,
               tally: Optional[int] = None) -> LearnedSets:
    """Learns sets from a font file (TrueType, OpenType, Type 1), the characters chars
    rendered at each cap height of sizes in pixels, 40 references to a set, as
    `morvik --learn-font` does. With save=BASE they are also saved (BASE, or BASE-1, ... with
    BASE.sets for several sets)."""
    options = dict(crop=crop, auto_threshold=auto_threshold, threshold=threshold,
                   increment=increment, ratio=ratio, tally=tally)
    return _saved(_morvik._learn_font(font, chars, list(sizes), options), save)


def learn_folder(folder: Path, *, charmap: Optional[Path] = None, save: Optional[Path] = None,
                 **image) -> LearnedSets:
    """Learns references n from the pictures <folder>/<n>.bmp (or .png, .pgm, .ppm, .pbm),
    n 1..40, under the folder runs' image settings (keywords as for recognize_folder), as
    `morvik --learn FOLDER` does; charmap names the set's characters."""
    options = _run_options(image)
    options["charmap"] = charmap
    return _saved(_morvik._learn_folder(folder, options), save)


def recognize_folder(folder: Path, *, set: Optional[Path] = None,
                     sets: Optional[Sequence[Path]] = None, charmap: Optional[Path] = None,
                     chars: Optional[str] = None, dynamic: bool = False,
                     report: Optional[Path] = None, **image) -> RunSummary:
    """The folder run of `morvik FOLDER`: recognises the pictures <row>_<column>.bmp (or
    .png, .pgm, .ppm, .pbm) of folder and writes result.txt and result.out into it, byte for
    byte as the command line does.

    set      the set BASE to recognise with; the folder's own default.pcp when None
    sets     several sets instead (library files NAME.sets too), ranked together
    charmap  a map file for every answer; chars limits the answers (needs a map)
    dynamic  rows and columns 0..10 (--dynamic); report: also a TSV line per picture there
    image    tally=75, black_characters=False, auto_threshold=True, crop=False, ratio=100 (0
             keeps the proportions), threshold=45, increment=50: the run's image settings

    Returns RunSummary(pictures, failed): a picture that cannot be read is written as a
    blank one and named in failed, and the run goes on."""
    options = _run_options(image)
    options.update(set=set, sets=sets, charmap=charmap, chars=chars, dynamic=dynamic,
                   report=report)
    return _morvik._recognize_folder(folder, options)


def recognize_batch(root: Path, *, set: Optional[Path] = None,
                    sets: Optional[Sequence[Path]] = None, charmap: Optional[Path] = None,
                    chars: Optional[str] = None, report: Optional[Path] = None,
                    **image) -> RunSummary:
    """The batch run of `morvik --batch ROOT`: the folder run for every sub-folder of root
    (rows and columns 0..10), then batchresult.out (and, against compare.txt,
    batchresult.txt). Options as for recognize_folder."""
    options = _run_options(image)
    options.update(set=set, sets=sets, charmap=charmap, chars=chars, report=report)
    return _morvik._recognize_batch(root, options)


_IMAGE_OPTIONS = ("tally", "black_characters", "auto_threshold", "crop", "ratio", "threshold",
                  "increment")


def _run_options(image: dict) -> dict:
    unknown = sorted(k for k in image if k not in _IMAGE_OPTIONS)
    if unknown:
        raise TypeError("unexpected keyword argument " + ", ".join(unknown))
    return dict(image)


def _saved(sets: LearnedSets, save: Optional[Path]) -> LearnedSets:
    if save is not None:
        sets.save(save)
    return sets
