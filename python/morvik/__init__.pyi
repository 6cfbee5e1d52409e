# Type stubs of the morvik package (the extension's classes and the package's calls).
import enum
import os
from typing import Iterable, List, NamedTuple, Optional, Sequence, Tuple, Union

import numpy

Path = Union[str, os.PathLike[str]]
Grid = Tuple[int, int, int, int, int, int]
Source = Union[Path, bytes, bytearray, memoryview, numpy.ndarray]

__version__: str

class Box(NamedTuple):
    left: int
    top: int
    width: int
    height: int

class Candidate(NamedTuple):
    char: str
    score: float
    set: str
    number: int

class RunSummary(NamedTuple):
    pictures: int
    failed: List[str]

class ErrorKind(str, enum.Enum):
    NOT_FOUND = "not_found"
    CANNOT_READ = "cannot_read"
    BAD_DATA = "bad_data"
    CANNOT_WRITE = "cannot_write"
    USAGE = "usage"
    TOO_LARGE = "too_large"
    FAILED = "failed"

class Error(Exception):
    kind: ErrorKind
    file: Optional[str]

class NotFoundError(Error, FileNotFoundError): ...
class CannotReadError(Error, OSError): ...
class BadDataError(Error, ValueError): ...
class CannotWriteError(Error, OSError): ...
class UsageError(Error, ValueError): ...
class TooLargeError(Error, ValueError): ...
class FailedError(Error): ...

class Char:
    @property
    def text(self) -> str: ...
    @property
    def box(self) -> Box: ...
    @property
    def candidates(self) -> List[Candidate]: ...
    @property
    def rejected(self) -> bool: ...
    @property
    def blank(self) -> bool: ...
    @property
    def space_before(self) -> bool: ...

class Line:
    @property
    def text(self) -> str: ...
    @property
    def chars(self) -> List[Char]: ...

class Reading:
    @property
    def text(self) -> str: ...
    @property
    def lines(self) -> List[Line]: ...
    @property
    def name(self) -> str: ...
    def render(self, format: str = "text", name: Optional[Path] = None) -> str: ...

class Library:
    @staticmethod
    def open(names: Union[Path, Sequence[Path]], *, charmap: Optional[Path] = None) -> Library: ...
    @staticmethod
    def stock() -> Library: ...
    @property
    def set_names(self) -> List[str]: ...

class LearnedSets:
    @property
    def references(self) -> int: ...
    @property
    def set_count(self) -> int: ...
    def save(self, base: Path) -> str: ...

def read(source: Source, *, library: Optional[Library] = None, chars: str = "",
         reject: float = 0.0, polarity: str = "auto", grid: Optional[Grid] = None,
         table: bool = False, crop: Optional[bool] = None,
         auto_threshold: Optional[bool] = None, threshold: Optional[int] = None,
         increment: Optional[int] = None, ratio: Optional[int] = None,
         tally: Optional[int] = None, name: Optional[str] = None) -> Reading: ...
def render(readings: Iterable[Reading], format: str = "text") -> str: ...
def learn_picture(picture: Path, chars: str, *, save: Optional[Path] = None,
                  polarity: str = "auto", grid: Optional[Grid] = None, table: bool = False,
                  crop: Optional[bool] = None, auto_threshold: Optional[bool] = None,
                  threshold: Optional[int] = None, increment: Optional[int] = None,
                  ratio: Optional[int] = None, tally: Optional[int] = None) -> LearnedSets: ...
def learn_font(font: Path, chars: str, *, sizes: Sequence[int] = (40,),
               save: Optional[Path] = None, crop: Optional[bool] = None,
               auto_threshold: Optional[bool] = None, threshold: Optional[int] = None,
               increment: Optional[int] = None, ratio: Optional[int] = None,
               tally: Optional[int] = None) -> LearnedSets: ...
def learn_folder(folder: Path, *, charmap: Optional[Path] = None, save: Optional[Path] = None,
                 tally: int = 75, black_characters: bool = False, auto_threshold: bool = True,
                 crop: bool = False, ratio: int = 100, threshold: int = 45,
                 increment: int = 50) -> LearnedSets: ...
def recognize_folder(folder: Path, *, set: Optional[Path] = None,
                     sets: Optional[Sequence[Path]] = None, charmap: Optional[Path] = None,
                     chars: Optional[str] = None, dynamic: bool = False,
                     report: Optional[Path] = None, tally: int = 75,
                     black_characters: bool = False, auto_threshold: bool = True,
                     crop: bool = False, ratio: int = 100, threshold: int = 45,
                     increment: int = 50) -> RunSummary: ...
def recognize_batch(root: Path, *, set: Optional[Path] = None,
                    sets: Optional[Sequence[Path]] = None, charmap: Optional[Path] = None,
                    chars: Optional[str] = None, report: Optional[Path] = None,
                    tally: int = 75, black_characters: bool = False,
                    auto_threshold: bool = True, crop: bool = False, ratio: int = 100,
                    threshold: int = 45, increment: int = 50) -> RunSummary: ...
