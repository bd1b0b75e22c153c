"""Shared fixtures: the library under test and a C program that reads the
same glyphs through the C API without ctypes."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

TESTS = Path(__file__).resolve().parent
BINDING = TESTS.parent
ROOT = BINDING.parent.parent

# The tests run against the build tree's library unless told otherwise, and
# import the binding from the tree.
if not os.environ.get("KELMOR_LIBRARY"):
    built = ROOT / "build" / "libkelmor.so.1"
    if built.exists():
        os.environ["KELMOR_LIBRARY"] = str(built)
sys.path.insert(0, str(BINDING))

FONTS = Path("/usr/share/fonts")


def font_path(relative):
    path = FONTS / relative
    if not path.exists():
        pytest.skip("font %s is not installed" % relative)
    return str(path)


@pytest.fixture(scope="session")
def library_path():
    path = os.environ.get("KELMOR_LIBRARY")
    if not path or not Path(path).exists():
        pytest.skip("no libkelmor.so to test: build the tree or set KELMOR_LIBRARY")
    return path


@pytest.fixture(scope="session")
def glyph_dump(library_path, tmp_path_factory):
    """Runs glyph_dump.c, built against the same library: returns a function
    (font, pixels, charset, codes, options=0, flags=0) -> list of
    (width, height, origin_x, origin_y, advance, index, rows)."""
    cc = shutil.which("cc")
    if cc is None:
        pytest.skip("no C compiler")
    program = tmp_path_factory.mktemp("glyph_dump") / "glyph_dump"
    library = Path(library_path)
    subprocess.run(
        [cc, "-std=c99", "-I", str(ROOT / "include"), str(TESTS / "glyph_dump.c"),
         str(library), "-Wl,-rpath," + str(library.parent), "-o", str(program)],
        check=True)

    def dump(font, pixels, charset, codes, options=0, flags=0):
        out = subprocess.run(
            [str(program), font, str(pixels), str(charset), str(options), str(flags)]
            + ["%X" % c for c in codes],
            check=True, capture_output=True, text=True).stdout
        glyphs, rows = [], []
        for line in out.splitlines():
            if " " in line:
                numbers = [int(n) for n in line.split()]
                glyphs.append(tuple(numbers) + (rows,))
                rows = []
            else:
                rows.append([int(c) for c in line])
        return glyphs

    return dump
