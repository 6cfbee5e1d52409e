"""Shared by the package's tests: the command-line program to compare with, the example
pictures, and pictures as arrays (a small PNG codec, so that no imaging package is needed)."""

import os
import struct
import subprocess
import zlib
from pathlib import Path

import numpy as np
import pytest

SOURCE = Path(os.environ.get("MORVIK_SOURCE_DIR", Path(__file__).resolve().parents[2]))
MORVIK = os.path.abspath(os.environ.get("MORVIK_BINARY", SOURCE / "build" / "morvik"))
PICTURES = sorted((SOURCE / "examples" / "pictures").glob("*.png"))


def cli(*args, cwd=None) -> str:
    """What `morvik ARGS` prints; the run must succeed."""
    env = dict(os.environ, MORVIK_HOME=str(cwd or os.getcwd()))
    done = subprocess.run([MORVIK, *map(str, args)], capture_output=True, cwd=cwd, env=env)
    assert done.returncode == 0, done.stderr.decode()
    return done.stdout.decode()


def decode_png(path) -> np.ndarray:
    """An 8-bit grey, RGB or RGBA PNG without interlacing as an H x W (x C) array."""
    data = Path(path).read_bytes()
    chunks, pos = {}, 8
    while pos < len(data):
        size, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunks[kind] = chunks.get(kind, b"") + data[pos + 8:pos + 8 + size]
        pos += size + 12
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert depth == 8 and colour in (0, 2, 6)
    channels = {0: 1, 2: 3, 6: 4}[colour]
    raw = np.frombuffer(zlib.decompress(chunks[b"IDAT"]), np.uint8).reshape(height, -1)
    rows = np.zeros((height, width * channels), np.int32)
    for y in range(height):
        kind, line = raw[y, 0], raw[y, 1:].astype(np.int32)
        up = rows[y - 1] if y else np.zeros_like(line)
        rows[y] = _unfilter(kind, line, up, channels)
    return rows.astype(np.uint8).reshape(height, width, channels).squeeze()


def _unfilter(kind, line, up, bpp):
    if kind == 0:
        return line
    if kind == 2:
        return (line + up) & 0xFF
    out = np.zeros_like(line)
    for x in range(len(line)):
        left = out[x - bpp] if x >= bpp else 0
        corner = up[x - bpp] if x >= bpp else 0
        if kind == 1:
            guess = left
        elif kind == 3:
            guess = (left + up[x]) // 2
        else:
            p = left + up[x] - corner
            pa, pb, pc = abs(p - left), abs(p - up[x]), abs(p - corner)
            guess = left if pa <= pb and pa <= pc else up[x] if pb <= pc else corner
        out[x] = (line[x] + guess) & 0xFF
    return out


def write_picture(path, pixels: np.ndarray) -> str:
    """Grey or RGB pixels as PGM/PPM, RGBA as an unfiltered PNG; returns the path."""
    pixels = np.ascontiguousarray(pixels)
    height, width = pixels.shape[:2]
    if pixels.ndim == 3 and pixels.shape[2] == 4:
        rows = b"".join(b"\0" + pixels[y].tobytes() for y in range(height))
        ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
        chunk = lambda kind, body: (struct.pack(">I", len(body)) + kind + body +
                                    struct.pack(">I", zlib.crc32(kind + body)))
        Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                               chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
    else:
        magic = b"P6" if pixels.ndim == 3 else b"P5"
        Path(path).write_bytes(b"%s\n%d %d\n255\n" % (magic, width, height) + pixels.tobytes())
    return str(path)


@pytest.fixture(scope="session")
def note() -> np.ndarray:
    return decode_png(SOURCE / "examples" / "pictures" / "note.png")
