"""Plain values and exceptions of the morvik package, made by the extension _morvik.

A box and a candidate are named tuples, so that they compare and unpack as the plain tuples
the documentation shows. Every failure of the engine is raised as a subclass of Error chosen
by its kind; the subclasses also derive from the built-in exception a Python program would
catch for the same trouble (a missing file is a FileNotFoundError, a bad value a ValueError).
"""

import enum
from typing import List, NamedTuple, Optional


class Box(NamedTuple):
    """A character's box in picture pixels."""

    left: int
    top: int
    width: int
    height: int


class Candidate(NamedTuple):
    """One of the best references for a character: its character ("" where its set's map
    names none), its score 0..1, its set's base name and its number 1..40 in that set."""

    char: str
    score: float
    set: str
    number: int


class ErrorKind(str, enum.Enum):
    """What went wrong, without parsing the message."""

    NOT_FOUND = "not_found"  # a file or folder that is not there
    CANNOT_READ = "cannot_read"  # there, but it cannot be opened or read
    BAD_DATA = "bad_data"  # read, but not what it claims to be (a damaged picture, set, map)
    CANNOT_WRITE = "cannot_write"  # an output that cannot be written or may not be replaced
    USAGE = "usage"  # a call that cannot run as made: a bad value or combination
    TOO_LARGE = "too_large"  # beyond a documented limit (picture size, characters)
    FAILED = "failed"  # the work could not be done for another reason


class Error(Exception):
    """A failure of morvik: `kind` says what went wrong, `file` names the file or folder it
    concerns (None where there is none); the message names both."""

    kind: ErrorKind = ErrorKind.FAILED
    file: Optional[str] = None

    def __str__(self) -> str:
        # The message alone: OSError would otherwise show its errno and filename fields.
        return str(self.args[0]) if self.args else ""


class NotFoundError(Error, FileNotFoundError):
    kind = ErrorKind.NOT_FOUND


class CannotReadError(Error, OSError):
    kind = ErrorKind.CANNOT_READ


class BadDataError(Error, ValueError):
    kind = ErrorKind.BAD_DATA


class CannotWriteError(Error, OSError):
    kind = ErrorKind.CANNOT_WRITE


class UsageError(Error, ValueError):
    kind = ErrorKind.USAGE


class TooLargeError(Error, ValueError):
    kind = ErrorKind.TOO_LARGE


class FailedError(Error):
    kind = ErrorKind.FAILED


# In the order of morvik::ErrorKind, whose number the extension passes to make_error.
ERRORS = (NotFoundError, CannotReadError, BadDataError, CannotWriteError, UsageError,
          TooLargeError, FailedError)


def make_error(kind_index: int, message: str, file: str) -> Error:
    """The exception for an engine error of the kind numbered as morvik::ErrorKind."""
    cls = ERRORS[kind_index] if 0 <= kind_index < len(ERRORS) else FailedError
    error = cls(message)
    error.file = file or None
    if isinstance(error, OSError):
        error.filename = error.file
    return error


class RunSummary(NamedTuple):
    """What a folder or batch run did: the pictures it found, read or not, and a message
    naming each one that could not be read (written as a blank one; the run went on, as the
    command line's does before it exits 1)."""

    pictures: int
    failed: List[str]
