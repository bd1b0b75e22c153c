"""The binding against the C API: the same bits, origins and advances for the
same glyphs, the errors it raises, the images it makes, and that it installs
without a package index."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import numpy
import pytest

from conftest import BINDING, font_path

import kelmor

IPA = "opentype/ipafont-gothic/ipag.ttf"
MINGTI = "truetype/arphic-bsmi00lp/bsmi00lp.ttf"
UNDOTUM = "truetype/unfonts-core/UnDotum.ttf"
UMING = "truetype/arphic/uming.ttc"

UNICODE, GLYPHS = 137, 241
FAITHFUL, NO_HINTING, EMBEDDED_BITMAPS = 2, 1, 4


def same_as_c(font, glyph_dump, pixels, encoding, codes, options=0, vertical=False, face=0):
    """Asserts that the binding draws every code as glyph_dump.c does."""
    charset = kelmor.ENCODINGS[encoding]
    expected = glyph_dump(font.path, pixels, charset, codes, options, 2 if vertical else 0)
    assert len(expected) == len(codes)
    font.set_options(hinting=not options & NO_HINTING, faithful=bool(options & FAITHFUL),
                     embedded_bitmaps=bool(options & EMBEDDED_BITMAPS))
    font.set_size(pixels)
    for code, (width, height, origin_x, origin_y, advance, index, rows) in zip(codes, expected):
        g = font.glyph(code, encoding=encoding, vertical=vertical)
        assert (g.width, g.height) == (width, height), hex(code)
        assert (g.origin_x, g.origin_y, g.advance, g.index) == (origin_x, origin_y, advance, index), hex(code)
        assert g.rows == rows, hex(code)


# (font, pixels, encoding, codes, options, vertical)
CASES = [
    (IPA, 16, "unicode", [0x65E5, 0x672C, 0x8A9E, 0x3042, 0x41, 0x67, 0x20], 0, False),
    (IPA, 24, "unicode", [0x65E5, 0x3042, 0x30C6, 0xFF01], FAITHFUL, False),
    (IPA, 13, "unicode", [0x9B31, 0x3001, 0x3002], NO_HINTING, True),
    (UNDOTUM, 12, "unicode", [0xAC00, 0xD7A3, 0xB9D0], 0, False),
    (MINGTI, 20, "glyph", [0, 1, 100, 5000, 13000], FAITHFUL, False),
    (IPA, 16, "unicode", [0xAC00, 0x10FFFD], 0, False),  # missing: glyph 0's box
    (UMING, 12, "unicode", [0x4E2D, 0x6587, 0x9AD4], FAITHFUL | EMBEDDED_BITMAPS, False),
]


@pytest.mark.parametrize("path,pixels,encoding,codes,options,vertical", CASES)
def test_bits_origins_and_advances_match_the_c_api(glyph_dump, path, pixels, encoding, codes,
                                                    options, vertical):
    with kelmor.Font(font_path(path)) as font:
        same_as_c(font, glyph_dump, pixels, encoding, codes, options, vertical)


def test_a_missing_character_is_glyph_zero_and_says_so():
    with kelmor.Font(font_path(IPA)) as font:
        font.set_size(16)
        notdef = font.glyph(0, encoding="glyph")
        for code in ("\uac00", 0x10FFFD):
            assert font.glyph_index(code) == 0
            g = font.glyph(code)
            assert g.missing and g.index == 0
            assert g.rows == notdef.rows
        present = font.glyph("日")
        assert not present.missing and present.index == font.glyph_index(0x65E5) > 0


def test_a_glyph_keeps_its_bits_after_the_next_call():
    with kelmor.Font(font_path(IPA)) as font:
        font.set_size(20)
        first = font.glyph("日")
        kept = [row[:] for row in first.rows]
        font.glyph("本")
        font.set_size(40)
        font.glyph("語")
        assert first.rows == kept
        font.set_size(20)
        assert font.glyph("日").rows == kept


@pytest.mark.parametrize("make,code", [
    (lambda tmp: "/nonexistent/kelmor/font.ttf", 3),
    (lambda tmp: str(tmp), 5),
    (lambda tmp: _write(tmp / "text.ttf", b"no font here"), 6),
])
def test_open_failures_raise_the_librarys_reason(tmp_path, make, code):
    path = make(tmp_path)
    with pytest.raises(kelmor.KelmorError) as raised:
        kelmor.Font(path)
    assert raised.value.code == code
    assert str(path) in str(raised.value)


def _write(path, data):
    path.write_bytes(data)
    return str(path)


def test_bad_uses_raise():
    path = font_path(IPA)
    with pytest.raises(kelmor.KelmorError, match="no face of that number") as raised:
        kelmor.Font(path, face=3)
    assert raised.value.code == 7
    font = kelmor.Font(path)
    with pytest.raises(kelmor.KelmorError, match="SetPointSize first"):
        font.glyph("日")
    with pytest.raises(kelmor.KelmorError, match="size") as raised:
        font.set_size(5000)
    assert raised.value.code == 15
    font.set_size(16)
    for bad in ("日本", b"\x88\x9f\x00", "日"):
        with pytest.raises(ValueError):
            font.glyph(bad, encoding="glyph" if bad == "日" else None)
    with pytest.raises(ValueError, match="unknown encoding"):
        font.glyph("日", encoding="latin-1")
    font.close()
    assert font.closed
    with pytest.raises(kelmor.KelmorError, match="closed"):
        font.glyph("日")
    font.close()  # twice is harmless


# Numbers past the C API's 32 bits were cut to their low bits, a path with a
# NUL opened the path before it, and a number for an encoding raised
# AttributeError: each is now refused with a plain ValueError or TypeError.
@pytest.mark.parametrize("call,error,message", [
    (lambda font, path: font.set_size(2**32 + 16), ValueError, "size .* out of range"),
    (lambda font, path: font.set_size(16, dpi=2**32 + 72), ValueError, "dpi .* out of range"),
    (lambda font, path: font.set_size(16.5), TypeError, "whole number"),
    (lambda font, path: font.set_size("16"), TypeError, "whole number"),
    (lambda font, path: kelmor.Font(path, face=2**32), ValueError, "face .* out of range"),
    (lambda font, path: kelmor.Font(path + "\0.ttc"), ValueError, "NUL"),
    (lambda font, path: font.glyph("日", encoding=5), TypeError, "encoding"),
    (lambda font, path: font.glyph(2**32 + 0x41), ValueError, "code .* out of range"),
    (lambda font, path: font.glyph(65.5), TypeError, "whole number"),
])
def test_arguments_the_c_api_cannot_take_whole_are_refused(call, error, message):
    path = font_path(IPA)
    with kelmor.Font(path) as font:
        font.set_size(16)
        with pytest.raises(error, match=message):
            call(font, path)
        assert font.size == 16
        font.set_size(12.0)  # a whole float is a whole number
        assert font.size == 12


# close() on one thread while another was inside glyph() freed the font under
# the draw (a crash, or a write into freed memory).  In a child process, so
# that a crash fails this test alone.
def test_closing_a_font_another_thread_is_drawing_with_waits_for_the_draw(library_path):
    script = """
import sys, threading, time
import kelmor
outcomes = []
for round in range(30):
    font = kelmor.Font(sys.argv[1])
    font.set_size(200)
    started = threading.Event()
    def draw():
        try:
            while True:
                font.glyph("\u9b31")
                started.set()
        except kelmor.KelmorError as error:
            started.set()
            outcomes.append(str(error))
    thread = threading.Thread(target=draw)
    thread.start()
    started.wait()
    font.close()
    thread.join()
print(len(outcomes), sum("closed" in o for o in outcomes))
"""
    result = subprocess.run([sys.executable, "-c", script, font_path(IPA)], capture_output=True,
                            text=True, env=dict(os.environ, PYTHONPATH=str(BINDING),
                                                KELMOR_LIBRARY=library_path))
    assert result.returncode == 0, result.stderr
    assert result.stdout.split() == ["30", "30"]


def test_codes_reach_the_font_in_every_form():
    with kelmor.Font(font_path(IPA)) as font:
        font.set_size(16)
        assert font.encoding == "unicode"
        index = font.glyph_index("日")
        assert font.glyph_index(0x65E5) == index
        assert font.glyph(index, encoding="glyph").rows == font.glyph("日").rows


def test_images_hold_the_glyphs_ink():
    pytest.importorskip("PIL")
    with kelmor.Font(font_path(IPA)) as font:
        font.set_size(24)
        g = font.glyph("日")
        image = numpy.array(g.to_image(), dtype=numpy.uint8)
        assert image.shape == (g.height, g.width)
        assert (image == 0).tolist() == [[bool(b) for b in row] for row in g.rows]

        text = "日本"
        line = numpy.array(font.render_text(text), dtype=numpy.uint8) == 0
        glyphs = [font.glyph(c) for c in text]
        # Each glyph's ink at its place: origins on one baseline, one
        # advance apart, the image cut to the ink and the first origin.
        places, pen = [], 0
        for g in glyphs:
            places.append((pen - g.origin_x, -g.origin_y))
            pen += g.advance
        left = min([0] + [x for x, _ in places])
        top = min([0] + [y for _, y in places])
        expected = numpy.zeros_like(line)
        for g, (x, y) in zip(glyphs, places):
            x, y = x - left, y - top
            expected[y:y + g.height, x:x + g.width] |= numpy.array(g.rows, dtype=bool)
        assert line.shape[1] >= pen
        assert (line == expected).all()
        assert line.sum() == sum(numpy.array(g.rows).sum() for g in glyphs)


def _python(code, **env):
    environment = dict(os.environ)
    environment.update(env)
    return subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                          env=environment)


def test_a_library_that_is_not_there_is_named(tmp_path):
    result = _python("import kelmor; kelmor.Font('x.ttf')", PYTHONPATH=str(BINDING),
                     KELMOR_LIBRARY=str(tmp_path / "libkelmor.so.1"))
    assert result.returncode != 0
    assert "KELMOR_LIBRARY" in result.stderr and "libkelmor not found" in result.stderr


def test_installs_without_a_package_index(tmp_path, library_path):
    # pip builds in the directory it is given: a copy keeps the tree clean.
    source = tmp_path / "source"
    shutil.copytree(BINDING, source,
                    ignore=shutil.ignore_patterns("tests", "build", "*.egg-info", "__pycache__"))
    target = tmp_path / "site"
    pip = subprocess.run(
        [sys.executable, "-m", "pip", "install", "--no-index", "--no-build-isolation",
         "--quiet", "--target", str(target), str(source)],
        capture_output=True, text=True, cwd=tmp_path)
    assert pip.returncode == 0, pip.stderr
    # Run from elsewhere, so that the tree's copy cannot be the one imported.
    result = _python(
        "import kelmor; f = kelmor.Font(%r); f.set_size(12); "
        "print(kelmor.__file__); print(f.glyph('A').index)" % font_path(IPA),
        PYTHONPATH=str(target), KELMOR_LIBRARY=library_path)
    assert result.returncode == 0, result.stderr
    where, index = result.stdout.split()
    assert Path(where).is_relative_to(target) and int(index) > 0


# pip install ./bindings/python needed setuptools>=61 from a package index, and
# without one stopped at "invalid command 'bdist_wheel'" in a plain venv.  The
# command exactly as the README gives it, in a fresh venv holding nothing but
# pip, with every interpreter at hand, no index allowed.
@pytest.mark.parametrize("interpreter", sorted({sys.executable, "/usr/bin/python3",
                                                shutil.which("python3") or sys.executable}))
def test_installs_offline_in_a_plain_venv(tmp_path, library_path, interpreter):
    if not Path(interpreter).exists():
        pytest.skip("no %s" % interpreter)
    venv = tmp_path / "venv"
    made = subprocess.run([interpreter, "-m", "venv", str(venv)], capture_output=True, text=True)
    if made.returncode != 0:
        pytest.skip("%s cannot make a venv: %s" % (interpreter, made.stderr.strip()[-200:]))
    tree = tmp_path / "tree"
    shutil.copytree(BINDING, tree / "bindings" / "python",
                    ignore=shutil.ignore_patterns("tests", "__pycache__"))
    offline = dict(os.environ, PIP_NO_INDEX="1", PIP_DISABLE_PIP_VERSION_CHECK="1")
    offline.pop("PYTHONPATH", None)
    pip = subprocess.run([str(venv / "bin" / "pip"), "install", "./bindings/python"],
                         capture_output=True, text=True, cwd=tree, env=offline)
    assert pip.returncode == 0, pip.stdout + pip.stderr
    result = subprocess.run(
        [str(venv / "bin" / "python"), "-c",
         "import kelmor; f = kelmor.Font(%r); f.set_size(24); g = f.glyph('日'); "
         "print(kelmor.__file__); print(g.index)" % font_path(IPA)],
        capture_output=True, text=True, cwd=tmp_path, env=dict(offline, KELMOR_LIBRARY=library_path))
    assert result.returncode == 0, result.stderr
    where, index = result.stdout.split()
    assert Path(where).is_relative_to(venv) and int(index) > 0
    typed = list(venv.glob("lib/python*/site-packages/kelmor/py.typed"))
    assert typed, "py.typed is not installed"


# Grey levels: the levels GetGrayBitmap gives, cut to the depth asked for,
# and mode "L" images; other depths are refused before the library is called.
def test_glyph_depth_gives_grey_levels():
    font = kelmor.Font(font_path(IPA))
    font.set_size(16)
    full = font.glyph("\u3042", depth=8)
    assert full.depth == 8 and max(max(row) for row in full.rows) > 128
    assert any(0 < value < 255 for row in full.rows for value in row)
    four = font.glyph("\u3042", depth=4)
    assert four.rows == [[value >> 4 for value in row] for row in full.rows]
    assert numpy.asarray(four).max() <= 15
    assert font.glyph(" ", depth=8).width == 0
    for depth in (0, 3, 16, True):
        with pytest.raises(ValueError):
            font.glyph("\u3042", depth=depth)
    image = pytest.importorskip("PIL.Image")
    assert image and full.to_image().mode == "L"
