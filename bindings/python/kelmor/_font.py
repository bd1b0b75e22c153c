"""Fonts and glyphs: the binding's calls into libkelmor (see kelmor/__init__.py)."""

import contextlib
import ctypes
import operator
import os
import struct
import threading
import weakref
from typing import Any, Dict, Iterator, List, NamedTuple, Optional, Tuple, Union

from . import _library


class _CodeSpace(NamedTuple):
    charset: int          # the character-set code of kelmor.h
    title: str            # the canonical name
    codec: Optional[str]  # Python's codec for a double-byte space, as the concordance has it


_UNICODE = _CodeSpace(137, "unicode", None)
_SHIFTJIS = _CodeSpace(128, "sjis", "cp932")
_BIG5 = _CodeSpace(136, "big5", "big5")
_GB2312 = _CodeSpace(134, "gb2312", "gb2312")
_GBK = _CodeSpace(242, "gbk", "gbk")
_WANSUNG = _CodeSpace(129, "euc_kr", "cp949")
_GLYPHS = _CodeSpace(241, "glyph", None)
_NAMES = {
    "unicode": _UNICODE,
    "sjis": _SHIFTJIS,
    "shift_jis": _SHIFTJIS,
    "big5": _BIG5,
    "gb": _GB2312,
    "gb2312": _GB2312,
    "gbk": _GBK,
    "cp936": _GBK,
    "euc_kr": _WANSUNG,
    "cp949": _WANSUNG,
    "wansung": _WANSUNG,
    "glyph": _GLYPHS,
    "glyphs": _GLYPHS,
}
# Encoding names and the character sets of kelmor.h they stand for.
ENCODINGS: Dict[str, int] = {name: space.charset for name, space in _NAMES.items()}

_VERTICAL = 2  # GetBitmap's KELMOR_VERTICAL
_NO_HINTING, _FAITHFUL, _EMBEDDED_BITMAPS, _FORCE_AUTOHINT, _NO_AUTOHINT = 1, 2, 4, 8, 16
_ERROR_BAD_HANDLE, _ERROR_BAD_SIZE, _ERROR_NOT_SIZED = 1, 15, 16
_ERROR_ENCODING, _ERROR_NO_CONCORDANCE = 17, 18
_SIZE_TIMES_DPI_LIMIT = 131071  # SetPointSize's bound on points x dots per inch

Code = Union[str, bytes, bytearray, int]


class KelmorError(Exception):
    """A call the library refused; `code` is its KELMOR_ERROR_ code."""

    def __init__(self, code: int, context: str = "", text: Optional[str] = None) -> None:
        self.code = code
        if text is None:
            text = _library.load().GetFontErrorText(code).decode("ascii", "replace")
        super().__init__("%s: %s" % (context, text) if context else text)


class NoConcordanceError(KelmorError):
    """A double-byte encoding asked of a Unicode font while the library has
    no concordance for it (none is registered in its ini file)."""


def _last_error(context: str = "") -> KelmorError:
    return KelmorError(_library.load().GetLastFontError(), context)


class Glyph:
    """One rendered glyph, with its own copy of the bits.

    rows: `height` lists of `width` 0/1 values, 1 for ink, top row first;
    with depth 2, 4 or 8 (grey levels), each value is the pixel's covered
    share from 0 to 2**depth - 1.
    origin_x, origin_y: the glyph origin lies on the left edge of column
    origin_x and the top edge of row origin_y (the baseline).
    advance: to the next glyph's origin, in whole pixels (advance_64 in
    1/64 pixel).  ink_box: (left, top, width, height) of the ink pixels.
    index: the glyph number; missing: the font has no glyph for the code and
    this is its missing-glyph box (glyph 0).  numpy.asarray(glyph) gives the
    pixels as a (height, width) array of uint8, 1 for ink.
    """

    def __init__(self, code: Code, width: int, height: int, rows: List[List[int]],
                 metrics: "_library.KelmorGlyphMetrics", index: int, depth: int = 1) -> None:
        self.code = code
        self.depth = depth
        self.width = width
        self.height = height
        self.rows = rows
        self.origin_x: int = metrics.iOriginX
        self.origin_y: int = metrics.iOriginY
        self.advance: int = metrics.iAdvance
        self.advance_64: int = metrics.lAdvance
        self.ink_box: Tuple[int, int, int, int] = (
            metrics.iInkLeft, metrics.iInkTop, metrics.iInkWidth, metrics.iInkHeight)
        self.index = index
        self.missing = index == 0

    def __repr__(self) -> str:
        return "<Glyph %r index %d, %dx%d, advance %d>" % (
            self.code, self.index, self.width, self.height, self.advance)

    def __str__(self) -> str:
        half = 1 << (self.depth - 1)  # grey levels: pixels at least half covered
        return "\n".join("".join("#" if value >= half else "." for value in row) for row in self.rows)

    def __array__(self, dtype: Any = None, copy: Any = None) -> Any:
        # Called by numpy itself, so numpy is there; the binding does not
        # need it otherwise.
        import numpy

        pixels = numpy.array(self.rows, dtype=numpy.uint8).reshape(self.height, self.width)
        return pixels if dtype is None else pixels.astype(dtype)

    def to_image(self) -> Any:
        """The glyph as a Pillow image of mode "1": black ink on white; a
        glyph drawn with depth 2, 4 or 8 as mode "L" (its levels from white
        to black)."""
        from PIL import Image

        if self.depth > 1:
            full = (1 << self.depth) - 1
            image = Image.new("L", (self.width, self.height), 255)
            if self.width and self.height:
                image.putdata([255 - value * 255 // full for row in self.rows for value in row])
            return image
        image = Image.new("1", (self.width, self.height), 1)
        if self.width and self.height:
            image.putdata([1 - bit for row in self.rows for bit in row])
        return image


_INT_MAX = 0x7FFFFFFF  # the C API's int


def _whole_number(value: Any, what: str, low: int = -_INT_MAX - 1, high: int = _INT_MAX) -> int:
    """value as an int the C API can take whole: ctypes would cut a larger
    one to its low 32 bits and int() a fraction to its whole part, and the
    library would then see another number than the caller gave."""
    if isinstance(value, bool):
        raise TypeError("%s must be a whole number, not %r" % (what, value))
    if isinstance(value, float) and value.is_integer():
        value = int(value)
    try:
        number = operator.index(value)
    except TypeError:
        raise TypeError("%s must be a whole number, not %r" % (what, value)) from None
    if not low <= number <= high:
        raise ValueError("%s %d is out of range (%d to %d)" % (what, number, low, high))
    return number


def _switch(value: Any, what: str) -> bool:
    """An on/off option: True or False, not a string that would pass as true."""
    if not isinstance(value, bool):
        raise TypeError("%s is True or False, not %r" % (what, value))
    return value


def _path_bytes(path: Union[str, bytes, "os.PathLike[str]"]) -> bytes:
    """The path as the C API takes it: a NUL inside would end it early and
    open another file."""
    encoded = os.fsencode(path)
    if b"\0" in encoded:
        raise ValueError("path %r contains a NUL character" % (path,))
    return encoded


def _code_space(name: Any) -> _CodeSpace:
    if not isinstance(name, str):
        raise TypeError("encoding is a name such as 'unicode' or 'sjis', not %r" % (name,))
    space = _NAMES.get(name.lower().replace("-", "_"))
    if space is None:
        raise ValueError("unknown encoding %r; one of %s" % (name, ", ".join(sorted(_NAMES))))
    return space


def _render_options(hinting: bool, faithful: bool, embedded_bitmaps: bool,
                    autohint: Optional[bool]) -> int:
    options = 0 if _switch(hinting, "hinting") else _NO_HINTING
    options |= _FAITHFUL if _switch(faithful, "faithful") else 0
    options |= _EMBEDDED_BITMAPS if _switch(embedded_bitmaps, "embedded_bitmaps") else 0
    if autohint is not None:
        options |= _FORCE_AUTOHINT if _switch(autohint, "autohint") else _NO_AUTOHINT
    return options


# Each byte value as its 8 pixels, leftmost first, 1 for ink (a 0 bit).
_PIXELS_OF_BYTE = [tuple(((byte >> (7 - i)) & 1) ^ 1 for i in range(8)) for byte in range(256)]


def _unpack_rows(data: bytes, width: int, height: int) -> List[List[int]]:
    """GetBitmap's rows (each padded to 16 bits, most significant bit
    leftmost, ink 0) as lists of 0/1 with 1 for ink."""
    row_bytes = (width + 15) // 16 * 2
    pixels = _PIXELS_OF_BYTE
    rows = []
    for start in range(0, row_bytes * height, row_bytes):
        row = [bit for byte in data[start:start + row_bytes] for bit in pixels[byte]]
        del row[width:]
        rows.append(row)
    return rows


# The concordance paths reach the library through KelmoRegisterApp, which
# reloads library-wide settings: called once per process, on the first use
# of a double-byte encoding, one thread at a time.
_settings_lock = threading.Lock()
_settings_loaded = False


def _load_settings_once(lib: ctypes.CDLL) -> None:
    global _settings_loaded
    with _settings_lock:
        if not _settings_loaded:
            lib.KelmoRegisterApp(None)
            _settings_loaded = True


def _profile_path() -> str:
    """The user profile that may name the library's ini file (IniPath)."""
    if os.environ.get("KELMOR_PROFILE"):
        return os.environ["KELMOR_PROFILE"]
    config = os.environ.get("XDG_CONFIG_HOME") or os.path.join(os.path.expanduser("~"), ".config")
    return os.path.join(config, "kelmor", "profile.ini")


def _no_concordance(space: _CodeSpace, font_path: Any) -> NoConcordanceError:
    library = _library.loaded_path()
    text = ("no %s concordance is registered in the library's ini file (Kelmor.ini beside %s, "
            "unless IniPath in %s names another): build and register the concordances with "
            "'kelmor cob --out DIR --register INI', INI being that file"
            % (space.title, library, _profile_path()))
    return NoConcordanceError(_ERROR_NO_CONCORDANCE, str(font_path), text)


def _close_handle(lib: ctypes.CDLL, handle: int, lock: threading.Lock) -> None:
    """Closes a Font's handle once no call holds its lock."""
    with lock:
        lib.CloseTTFont(handle)


class Font:
    """A font file (face `face` of a collection) opened with OpenTTFontFace.

    Glyphs are drawn as the kelmor tool draws them: the faithful rendering
    mode (FreeType's monochrome bitmaps), the font's embedded bitmaps where
    it has them, the auto-hinter for fonts without hinting programs.
    faithful=False gives the classic mode hosts of the C API get by
    default; the other keywords are set_options'.

    `encoding` is how glyph() and render_text() read codes unless told
    otherwise: "unicode", "sjis", "big5", "gb2312", "gbk", "euc-kr", or
    "glyph" for glyph numbers.  By default it is the code space of the font's character map
    (`map_encoding`).  The binding serialises its calls on one Font: threads
    may share it, each call waiting for the one before; close() waits for a
    glyph being drawn, and later calls raise KelmorError.
    """

    def __init__(self, path: Union[str, bytes, "os.PathLike[str]"], face: int = 0, *,
                 encoding: Optional[str] = None, faithful: bool = True,
                 embedded_bitmaps: bool = True, hinting: bool = True,
                 autohint: Optional[bool] = None) -> None:
        options = _render_options(hinting, faithful, embedded_bitmaps, autohint)
        default_space = None if encoding is None else _code_space(encoding)
        self._lib = _library.load()
        self.path = path
        self.face = _whole_number(face, "face", 0)
        handle = self._lib.OpenTTFontFace(_path_bytes(path), self.face)
        if handle == 0:
            raise _last_error(str(path))
        self._handle = handle
        self._lock = threading.Lock()
        self._charset: Optional[int] = None
        self._concordance_failed: set = set()
        # The finalizer holds the lock, not the Font, so that it can still run.
        self._closer = weakref.finalize(self, _close_handle, self._lib, handle, self._lock)
        self._lib.SetRenderOptions(handle, options)
        self.map_encoding: str = self._find_encoding().title
        self.encoding: str = default_space.title if default_space else self.map_encoding
        self.size: Optional[int] = None

    # -- life

    def close(self) -> None:
        """Releases the font once a call in progress on another thread has
        finished; later calls raise KelmorError."""
        self._closer()

    def __enter__(self) -> "Font":
        return self

    def __exit__(self, *exc: Any) -> None:
        self.close()

    @property
    def closed(self) -> bool:
        return not self._closer.alive

    @contextlib.contextmanager
    def _open_font(self) -> Iterator[ctypes.CDLL]:
        """Holds the font's lock and checks, under it, that the font is
        still open: a close on another thread waits for the lock, so the
        handle cannot be released in the middle of a call."""
        with self._lock:
            if self.closed:
                raise KelmorError(_ERROR_BAD_HANDLE, "font %s is closed" % self.path)
            yield self._lib

    # -- settings

    def set_size(self, pixels: int, dpi: int = 72) -> None:
        """Glyphs `pixels` pixels per em (points at `dpi`; 72 makes them pixels)."""
        points = _whole_number(pixels, "size")
        resolution = _whole_number(dpi, "dpi")
        if points < 1:
            raise ValueError("size must be at least 1 pixel per em, not %d" % points)
        if resolution < 1:
            raise ValueError("dpi must be at least 1, not %d" % resolution)
        with self._open_font() as lib:
            # A size refused leaves the font without one, as the library has it.
            self.size = None
            if points * resolution > _SIZE_TIMES_DPI_LIMIT:
                raise KelmorError(_ERROR_BAD_SIZE, "", "size %d at %d dpi is too large: at most %d"
                                  % (points, resolution, _SIZE_TIMES_DPI_LIMIT // resolution))
            if lib.SetPointSize(self._handle, points, resolution) == 0:
                raise _last_error("size %s at %s dpi" % (pixels, dpi))
            self.size = points

    def set_options(self, *, hinting: bool = True, faithful: bool = True,
                    embedded_bitmaps: bool = True, autohint: Optional[bool] = None) -> None:
        """Hinting on or off; the faithful rendering mode (FreeType's
        bitmaps, the default) or the classic one (faithful=False); the font's
        own 1-bit images at the sizes it has them (embedded bitmaps); the
        auto-hinter: None lets the faithful mode use it for fonts without
        hinting programs, True uses it for every font, False for none."""
        options = _render_options(hinting, faithful, embedded_bitmaps, autohint)
        with self._open_font() as lib:
            lib.SetRenderOptions(self._handle, options)

    # -- codes

    def _find_encoding(self) -> _CodeSpace:
        """The code space the font's map is in: the first charset whose
        lookup the library does not refuse for this font."""
        probe = struct.pack("=I", 0x41)
        for space in (_UNICODE, _SHIFTJIS, _BIG5, _GB2312):
            self._set_charset(space)
            code = probe if space is _UNICODE else b"\x00\x41"
            self._lib.GetGlyphIndex(self._handle, code)
            if self._lib.GetLastFontError() != _ERROR_ENCODING:
                return space
        return _GLYPHS

    def _set_charset(self, space: _CodeSpace) -> None:
        if space.charset == self._charset:
            return
        if space.codec is not None:
            _load_settings_once(self._lib)
        # A double-byte code space also loads its concordance, which a font
        # with its own map of that space does not need: a failure matters
        # only for a font whose map is another (see _check_reachable).
        if self._lib.SetEncoding(self._handle, space.charset) == 0 and space.codec:
            if self._lib.GetLastFontError() == _ERROR_NO_CONCORDANCE:
                self._concordance_failed.add(space.charset)
        else:
            self._concordance_failed.discard(space.charset)
        self._charset = space.charset

    def _check_reachable(self, space: _CodeSpace, code: bytes) -> None:
        """Raises for a double-byte code (a lead byte) that could only reach
        the font through the concordance the library failed to load; single
        bytes go to the font's own map."""
        own_map = space.title == self.map_encoding or (
            space is _GBK and self.map_encoding == _GB2312.title)  # GBK includes GB 2312
        if space.charset in self._concordance_failed and not own_map and code[0] != 0:
            raise _no_concordance(space, self.path)

    def _code_bytes(self, char_or_code: Code, encoding: Optional[str]) -> Tuple[_CodeSpace, bytes]:
        """(code space, the bytes GetBitmap takes) for a character or code."""
        space = _code_space(encoding if encoding is not None else self.encoding)
        if isinstance(char_or_code, (bytes, bytearray)):
            if space.codec and len(char_or_code) in (1, 2):
                return space, bytes(char_or_code).rjust(2, b"\x00")
            raise ValueError("raw bytes are one or two bytes of a double-byte encoding")
        if isinstance(char_or_code, str):
            if len(char_or_code) != 1:
                raise ValueError("one character at a time: %r" % (char_or_code,))
            if space.codec:
                try:
                    encoded = char_or_code.encode(space.codec)
                except UnicodeEncodeError:
                    raise ValueError("%r has no %s code" % (char_or_code, space.title)) from None
                return space, encoded.rjust(2, b"\x00")
            if space is _GLYPHS:
                raise ValueError("encoding 'glyph' takes glyph numbers, not characters")
            code = ord(char_or_code)
        elif space is _UNICODE:
            code = _whole_number(char_or_code, "code", 0, 0xFFFFFFFF)
            if code > 0x10FFFF:
                raise ValueError("code %X is not a Unicode code point (0 to 10FFFF)" % code)
        elif space is _GLYPHS:
            code = _whole_number(char_or_code, "glyph number", 0, 0xFFFFFFFF)
            if code > 0xFFFF:
                raise ValueError("glyph numbers are 0 to 65535, not %d" % code)
        else:
            # Two bytes, lead byte first; a one-byte code has a zero lead.
            code = _whole_number(char_or_code, "code", 0, 0xFFFFFFFF)
            if code > 0xFFFF:
                raise ValueError("double-byte codes are 0 to FFFF, not %X" % code)
            return space, struct.pack(">H", code)
        # Code points and glyph numbers travel as 32-bit integers in host order.
        return space, struct.pack("=I", code)

    def glyph_index(self, char_or_code: Code, encoding: Optional[str] = None) -> int:
        """The glyph number the character or code maps to; 0 when the font
        does not have it (a host may then try another font)."""
        space, code = self._code_bytes(char_or_code, encoding)
        with self._open_font() as lib:
            self._set_charset(space)
            self._check_reachable(space, code)
            index = lib.GetGlyphIndex(self._handle, code)
            if index < 0:
                raise _last_error("glyph_index")
        return index

    # -- drawing

    def glyph(self, char_or_code: Code, encoding: Optional[str] = None,
              vertical: bool = False, depth: int = 1) -> Glyph:
        """Renders a character (a one-character str), a code (an int in the
        encoding: a code point, a double-byte code such as 0x889F, a glyph
        number) or the raw bytes of a double-byte code, at the font's size.
        A character the font lacks gives its missing-glyph box (glyph 0,
        `missing` set).  depth 2, 4 or 8 draws grey levels (GetGrayBitmap:
        each pixel's covered share, as FreeType's smooth renderer computes
        it; origin and ink box refer to that bitmap)."""
        if depth not in (1, 2, 4, 8) or isinstance(depth, bool):
            raise ValueError("depth must be 1, 2, 4 or 8, not %r" % (depth,))
        if depth > 1:
            return self._gray_glyph(char_or_code, encoding, vertical, depth)
        space, code = self._code_bytes(char_or_code, encoding)
        flags = _VERTICAL if _switch(vertical, "vertical") else 0
        width, height = ctypes.c_int(0), ctypes.c_int(0)
        metrics = _library.KelmorGlyphMetrics()
        with self._open_font() as lib:
            if self.size is None:
                raise KelmorError(_ERROR_NOT_SIZED, "glyph")
            self._set_charset(space)
            self._check_reachable(space, code)
            index = lib.GetGlyphIndex(self._handle, code)
            bits = lib.GetBitmap(self._handle, code, ctypes.byref(width), ctypes.byref(height), bytes([flags]))
            if not bits:
                raise _last_error("glyph %r" % (char_or_code,))
            # The bitmap belongs to the font and the next call overwrites it:
            # copy it before anything else is drawn.
            data = ctypes.string_at(bits, (width.value + 15) // 16 * 2 * height.value)
            if lib.GetGlyphMetrics(self._handle, code, ctypes.byref(metrics)) == 0:
                raise _last_error("glyph %r" % (char_or_code,))
        rows = _unpack_rows(data, width.value, height.value)
        return Glyph(char_or_code, width.value, height.value, rows, metrics, max(index, 0))

    def _gray_glyph(self, char_or_code: Code, encoding: Optional[str], vertical: bool, depth: int) -> Glyph:
        space, code = self._code_bytes(char_or_code, encoding)
        flags = _VERTICAL if _switch(vertical, "vertical") else 0
        width, height = ctypes.c_int(-1), ctypes.c_int(-1)
        metrics = _library.KelmorGlyphMetrics()
        with self._open_font() as lib:
            if self.size is None:
                raise KelmorError(_ERROR_NOT_SIZED, "glyph")
            self._set_charset(space)
            self._check_reachable(space, code)
            index = lib.GetGlyphIndex(self._handle, code)
            levels = lib.GetGrayBitmap(self._handle, code, ctypes.byref(width), ctypes.byref(height),
                                       bytes([flags]), 8, ctypes.byref(metrics))
            if width.value < 0:
                raise _last_error("glyph %r" % (char_or_code,))
            # Copied before anything else is drawn: the font owns the buffer.
            data = ctypes.string_at(levels, width.value * height.value) if levels else b""
        shift = 8 - depth
        rows = [[value >> shift for value in data[y * width.value:(y + 1) * width.value]]
                for y in range(height.value)]
        return Glyph(char_or_code, width.value, height.value, rows, metrics, max(index, 0), depth)

    def render_text(self, text: str, encoding: Optional[str] = None) -> Any:
        """One line of text as a Pillow image of mode "1" (black ink on
        white): each glyph's origin on a common baseline, the next glyph at
        its advance.  The image reaches from the leftmost ink (or the first
        origin) to the last advance, and from the highest to the lowest ink
        (or bitmap row) of the line."""
        from PIL import Image

        glyphs = [self.glyph(c, encoding) for c in text]
        # Where each glyph's bitmap goes, relative to the first origin on
        # the baseline.
        placed, pen = [], 0
        for g in glyphs:
            placed.append((g, pen - g.origin_x, -g.origin_y))
            pen += g.advance
        left = min([0] + [x for _, x, _ in placed])
        top = min([0] + [y for _, _, y in placed])
        right = max([pen] + [x + g.width for g, x, _ in placed])
        bottom = max([0] + [y + g.height for g, _, y in placed])
        image = Image.new("1", (right - left, bottom - top), 1)
        for g, x, y in placed:
            # Only the ink is drawn, so that a glyph's background never
            # covers the ink of a neighbour its bitmap overlaps.
            for row_number, row in enumerate(g.rows):
                for column, bit in enumerate(row):
                    if bit:
                        image.putpixel((x - left + column, y - top + row_number), 0)
        return image
