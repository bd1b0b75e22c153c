"""Finding libkelmor and declaring the C functions the binding calls.

The library is looked for, in this order:
  1. the file named by the KELMOR_LIBRARY environment variable;
  2. libkelmor.so.1 where the dynamic loader finds it (LD_LIBRARY_PATH, the
     ldconfig cache), then in the lib directory of this Python's prefix and
     of /usr/local (an install there before ldconfig has run);
  3. build/libkelmor.so.1 of the KELMOR source tree this package sits in,
     when it is used from the tree.
"""

import ctypes
import os
import sys
from pathlib import Path

SONAME = "libkelmor.so.1"


class KelmorGlyphMetrics(ctypes.Structure):
    """The record GetGlyphMetrics fills (kelmor.h)."""

    _fields_ = [
        ("iAdvance", ctypes.c_int32),
        ("lAdvance", ctypes.c_int32),
        ("iOriginX", ctypes.c_int32),
        ("iOriginY", ctypes.c_int32),
        ("iInkLeft", ctypes.c_int32),
        ("iInkTop", ctypes.c_int32),
        ("iInkWidth", ctypes.c_int32),
        ("iInkHeight", ctypes.c_int32),
    ]


_int = ctypes.c_int
_i32 = ctypes.c_int32
_PROTOTYPES = {
    "OpenTTFontFace": (_i32, [ctypes.c_char_p, _int]),
    "CloseTTFont": (_i32, [_i32]),
    "SetPointSize": (_i32, [_i32, _int, _int]),
    "SetEncoding": (_i32, [_i32, _int]),
    "GetBitmap": (
        ctypes.POINTER(ctypes.c_ubyte),
        [_i32, ctypes.c_char_p, ctypes.POINTER(_int), ctypes.POINTER(_int), ctypes.c_char],
    ),
    "GetGlyphMetrics": (_i32, [_i32, ctypes.c_char_p, ctypes.POINTER(KelmorGlyphMetrics)]),
    "GetGrayBitmap": (
        ctypes.POINTER(ctypes.c_ubyte),
        [_i32, ctypes.c_char_p, ctypes.POINTER(_int), ctypes.POINTER(_int), ctypes.c_char, _int,
         ctypes.POINTER(KelmorGlyphMetrics)],
    ),
    "GetGlyphIndex": (_i32, [_i32, ctypes.c_char_p]),
    "SetRenderOptions": (_i32, [_i32, _int]),
    "GetLastFontError": (_i32, []),
    "GetFontErrorText": (ctypes.c_char_p, [_int]),
    "KelmoRegisterApp": (ctypes.c_void_p, [ctypes.c_void_p]),
}


def _source_tree_library():
    """build/libkelmor.so.1 of the source tree above this file, if any."""
    for directory in Path(__file__).resolve().parents:
        if (directory / "include" / "kelmor.h").is_file() and (directory / "CMakeLists.txt").is_file():
            return directory / "build" / SONAME
    return None


def _candidates():
    """(description, path or name) in the order they are tried."""
    named = os.environ.get("KELMOR_LIBRARY")
    if named:
        # Named explicitly: that file or nothing.
        return [("KELMOR_LIBRARY", named)]
    found = [("the dynamic loader's search path", SONAME)]
    for prefix in dict.fromkeys([sys.prefix, sys.base_prefix, "/usr/local"]):
        found.append((prefix, str(Path(prefix) / "lib" / SONAME)))
    tree = _source_tree_library()
    if tree is not None:
        found.append(("the source tree", str(tree)))
    return found


def _declare(library, path):
    for name, (restype, argtypes) in _PROTOTYPES.items():
        try:
            function = getattr(library, name)
        except AttributeError:
            raise OSError(
                "%s has no %s: it is older than this binding; point KELMOR_LIBRARY at a newer "
                "libkelmor.so" % (path, name)
            ) from None
        function.restype = restype
        function.argtypes = argtypes
    return library


_loaded = None
_loaded_path = None


def loaded_path():
    """Where the loaded library came from: a path, or the soname the dynamic
    loader resolved (None before load())."""
    return _loaded_path


def load():
    """The loaded library (loaded on the first call), or OSError saying where it looked."""
    global _loaded, _loaded_path
    if _loaded is not None:
        return _loaded
    tried = []
    for where, path in _candidates():
        try:
            library = ctypes.CDLL(path)
        except OSError as error:
            tried.append("%s (%s): %s" % (path, where, error))
            continue
        _loaded = _declare(library, path)
        _loaded_path = path
        return _loaded
    raise OSError(
        "libkelmor not found; set KELMOR_LIBRARY to the path of libkelmor.so. Tried:\n  "
        + "\n  ".join(tried)
    )
