"""Glyph bitmaps from TrueType fonts through the KELMOR rasterizer.

    import kelmor
    with kelmor.Font("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf") as font:
        font.set_size(24)                  # pixels per em
        glyph = font.glyph("日")
        print(glyph)                       # rows of '#' and '.'
        glyph.to_image().save("hi.png")    # with Pillow
        font.render_text("日本語").save("line.png")

The binding calls libkelmor.so through ctypes; see kelmor._library for where
it looks for the library (KELMOR_LIBRARY names it outright).
"""

import contextlib
import ctypes
import operator
import os
import struct
import threading
import weakref

from . import _library

__all__ = ["Font", "Glyph", "KelmorError", "ENCODINGS"]

# Encoding names and the character sets of kelmor.h they stand for.
_UNICODE, _SHIFTJIS, _GB2312, _BIG5, _GLYPHS = 137, 128, 134, 136, 241
ENCODINGS = {
    "unicode": _UNICODE,
    "sjis": _SHIFTJIS,
    "shift_jis": _SHIFTJIS,
    "big5": _BIG5,
    "gb": _GB2312,
    "gb2312": _GB2312,
    "glyph": _GLYPHS,
    "glyphs": _GLYPHS,
}
# Python's codecs for the double-byte code spaces, as the library's
# concordances have them.
_CODECS = {_SHIFTJIS: "cp932", _BIG5: "big5", _GB2312: "gb2312"}
_CANONICAL = {_UNICODE: "unicode", _SHIFTJIS: "sjis", _BIG5: "big5", _GB2312: "gb2312", _GLYPHS: "glyph"}

_VERTICAL = 2  # GetBitmap's KELMOR_VERTICAL
_NO_HINTING, _FAITHFUL, _EMBEDDED_BITMAPS = 1, 2, 4
_ERROR_NOT_MAPPED = 19
_ERROR_ENCODING = 17


class KelmorError(Exception):
    """A call the library refused; `code` is its KELMOR_ERROR_ code."""

    def __init__(self, code, context=""):
        self.code = code
        text = _library.load().GetFontErrorText(code).decode("ascii", "replace")
        super().__init__("%s: %s" % (context, text) if context else text)


def _last_error(context=""):
    return KelmorError(_library.load().GetLastFontError(), context)


class Glyph:
    """One rendered glyph, with its own copy of the bits.

    rows: `height` lists of `width` 0/1 values, 1 for ink, top row first.
    origin_x, origin_y: the glyph origin lies on the left edge of column
    origin_x and the top edge of row origin_y (the baseline).
    advance: to the next glyph's origin, in whole pixels (advance_64 in
    1/64 pixel).  ink_box: (left, top, width, height) of the ink pixels.
    index: the glyph number; missing: the font has no glyph for the code and
    this is its missing-glyph box (glyph 0).
    """

    def __init__(self, code, width, height, rows, metrics, index):
        self.code = code
        self.width = width
        self.height = height
        self.rows = rows
        self.origin_x = metrics.iOriginX
        self.origin_y = metrics.iOriginY
        self.advance = metrics.iAdvance
        self.advance_64 = metrics.lAdvance
        self.ink_box = (metrics.iInkLeft, metrics.iInkTop, metrics.iInkWidth, metrics.iInkHeight)
        self.index = index
        self.missing = index == 0

    def __repr__(self):
        return "<Glyph %r index %d, %dx%d, advance %d>" % (
            self.code, self.index, self.width, self.height, self.advance)

    def __str__(self):
        return "\n".join("".join("#" if bit else "." for bit in row) for row in self.rows)

    def to_image(self):
        """The glyph as a Pillow image of mode "1": black ink on white."""
        from PIL import Image

        image = Image.new("1", (self.width, self.height), 1)
        if self.width and self.height:
            image.putdata([1 - bit for row in self.rows for bit in row])
        return image


_INT_MAX = 0x7FFFFFFF  # the C API's int


def _whole_number(value, what, low=-_INT_MAX - 1, high=_INT_MAX):
    """value as an int the C API can take whole: ctypes would cut a larger
    one to its low 32 bits and int() a fraction to its whole part, and the
    library would then see another number than the caller gave."""
    if isinstance(value, float) and value.is_integer():
        value = int(value)
    try:
        number = operator.index(value)
    except TypeError:
        raise TypeError("%s must be a whole number, not %r" % (what, value)) from None
    if not low <= number <= high:
        raise ValueError("%s %d is out of range (%d to %d)" % (what, number, low, high))
    return number


def _path_bytes(path):
    """The path as the C API takes it: a NUL inside would end it early and
    open another file."""
    encoded = os.fsencode(path)
    if b"\0" in encoded:
        raise ValueError("path %r contains a NUL character" % (path,))
    return encoded


# Each byte value as its 8 pixels, leftmost first, 1 for ink (a 0 bit).
_PIXELS_OF_BYTE = [tuple(((byte >> (7 - i)) & 1) ^ 1 for i in range(8)) for byte in range(256)]


def _unpack_rows(data, width, height):
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


def _close_handle(lib, handle, lock):
    """Closes a Font's handle once no call holds its lock."""
    with lock:
        lib.CloseTTFont(handle)


class Font:
    """A font file (face `face` of a collection) opened with OpenTTFontFace.

    `encoding` is the code space the font's character map is in: "unicode",
    "sjis", "big5", "gb2312", or "glyph" for a font reachable by glyph
    numbers only.  The binding serialises its calls on one Font: threads
    may share it, each call waiting for the one before; close() waits for
    a glyph being drawn, and later calls raise KelmorError.
    """

    def __init__(self, path, face=0):
        self._lib = _library.load()
        self.path = path
        self.face = _whole_number(face, "face")
        handle = self._lib.OpenTTFontFace(_path_bytes(path), self.face)
        if handle == 0:
            raise _last_error(str(path))
        self._handle = handle
        self._lock = threading.Lock()
        self._charset = None
        # The finalizer holds the lock, not the Font, so that it can still run.
        self._closer = weakref.finalize(self, _close_handle, self._lib, handle, self._lock)
        self.encoding = self._find_encoding()
        self.size = None

    # -- life

    def close(self):
        """Releases the font once a call in progress on another thread has
        finished; later calls raise KelmorError."""
        self._closer()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    @property
    def closed(self):
        return not self._closer.alive

    @contextlib.contextmanager
    def _open_font(self):
        """Holds the font's lock and checks, under it, that the font is
        still open: a close on another thread waits for the lock, so the
        handle cannot be released in the middle of a call."""
        with self._lock:
            if self.closed:
                raise KelmorError(1, "font %s is closed" % self.path)
            yield self._lib

    # -- settings

    def set_size(self, pixels, dpi=72):
        """Glyphs `pixels` pixels per em (points at `dpi`; 72 makes them pixels)."""
        points = _whole_number(pixels, "size")
        resolution = _whole_number(dpi, "dpi")
        with self._open_font() as lib:
            # A size refused leaves the font without one, as the library has it.
            self.size = None
            if lib.SetPointSize(self._handle, points, resolution) == 0:
                raise _last_error("size %s at %s dpi" % (pixels, dpi))
            self.size = points

    def set_options(self, hinting=True, faithful=False, embedded_bitmaps=False):
        """Hinting on or off; the faithful rendering mode (FreeType-like) or
        the classic one hosts get by default; the font's own 1-bit images at
        the sizes it has them (embedded bitmaps)."""
        options = ((0 if hinting else _NO_HINTING) | (_FAITHFUL if faithful else 0)
                   | (_EMBEDDED_BITMAPS if embedded_bitmaps else 0))
        with self._open_font() as lib:
            lib.SetRenderOptions(self._handle, options)

    # -- codes

    def _find_encoding(self):
        """The code space the font's map is in: the first charset whose
        lookup the library does not refuse for this font."""
        probe = struct.pack("=I", 0x41)
        for charset in (_UNICODE, _SHIFTJIS, _BIG5, _GB2312):
            self._set_charset(charset)
            code = probe if charset == _UNICODE else b"\x00\x41"
            self._lib.GetGlyphIndex(self._handle, code)
            if self._lib.GetLastFontError() != _ERROR_ENCODING:
                return _CANONICAL[charset]
        return "glyph"

    def _set_charset(self, charset):
        if charset != self._charset:
            # A double-byte code space also loads its concordance, which a
            # font with its own map of that space does not need: the result
            # says nothing about the font.
            self._lib.SetEncoding(self._handle, charset)
            self._charset = charset

    def _code_bytes(self, char_or_code, encoding):
        """(charset, the bytes GetBitmap takes) for a character or code."""
        name = encoding or self.encoding
        if not isinstance(name, str):
            raise TypeError("encoding is a name such as 'unicode' or 'sjis', not %r" % (name,))
        name = name.lower().replace("-", "_")
        if name not in ENCODINGS:
            raise ValueError("unknown encoding %r; one of %s" % (encoding, ", ".join(sorted(ENCODINGS))))
        charset = ENCODINGS[name]
        if isinstance(char_or_code, (bytes, bytearray)):
            if charset in _CODECS and len(char_or_code) in (1, 2):
                return charset, bytes(char_or_code).rjust(2, b"\x00")
            raise ValueError("raw bytes are one or two bytes of a double-byte encoding")
        if isinstance(char_or_code, str):
            if len(char_or_code) != 1:
                raise ValueError("one character at a time: %r" % (char_or_code,))
            if charset in _CODECS:
                try:
                    encoded = char_or_code.encode(_CODECS[charset])
                except UnicodeEncodeError:
                    raise ValueError("%r has no %s code" % (char_or_code, _CANONICAL[charset])) from None
                return charset, encoded.rjust(2, b"\x00")
            if charset == _GLYPHS:
                raise ValueError("encoding 'glyph' takes glyph numbers, not characters")
            code = ord(char_or_code)
        else:
            code = _whole_number(char_or_code, "code", 0, 0xFFFFFFFF)
        if charset in _CODECS:
            # Two bytes, lead byte first; a one-byte code has a zero lead.
            if not 0 <= code <= 0xFFFF:
                raise ValueError("double-byte codes are 0 to FFFF, not %X" % code)
            return charset, struct.pack(">H", code)
        # Code points and glyph numbers travel as 32-bit integers in host order.
        return charset, struct.pack("=I", code)

    def glyph_index(self, char_or_code, encoding=None):
        """The glyph number the character or code maps to; 0 when the font
        does not have it (a host may then try another font)."""
        charset, code = self._code_bytes(char_or_code, encoding)
        with self._open_font() as lib:
            self._set_charset(charset)
            index = lib.GetGlyphIndex(self._handle, code)
            if index < 0:
                raise _last_error("glyph_index")
        return index

    # -- drawing

    def glyph(self, char_or_code, encoding=None, vertical=False):
        """Renders a character (a one-character str), a code (an int in the
        encoding: a code point, a double-byte code such as 0x889F, a glyph
        number) or the raw bytes of a double-byte code, at the font's size.
        A character the font lacks gives its missing-glyph box (glyph 0,
        `missing` set)."""
        charset, code = self._code_bytes(char_or_code, encoding)
        width, height = ctypes.c_int(0), ctypes.c_int(0)
        metrics = _library.KelmorGlyphMetrics()
        with self._open_font() as lib:
            if self.size is None:
                raise KelmorError(16, "glyph")
            self._set_charset(charset)
            index = lib.GetGlyphIndex(self._handle, code)
            flags = _VERTICAL if vertical else 0
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

    def render_text(self, text, encoding=None):
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
