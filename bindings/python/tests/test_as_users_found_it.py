"""Faults Python users met: glyphs unlike the tool's, double-byte encodings
that drew boxes, arguments passed on silently, a namespace full of the
binding's imports and README examples that raised."""

import os
import re
import subprocess
import sys
from pathlib import Path

import numpy
import pytest

from conftest import BINDING, font_path

import kelmor

IPA = "opentype/ipafont-gothic/ipag.ttf"
UMING = "truetype/arphic/uming.ttc"
UNDOTUM = "truetype/unfonts-core/UnDotum.ttf"
FAITHFUL, EMBEDDED_BITMAPS = 2, 4


def tool_path(library_path):
    tool = Path(library_path).parent / "kelmor"
    if not tool.exists():
        pytest.skip("no kelmor tool beside %s" % library_path)
    return str(tool)


# The binding drew with the library's host defaults (the classic mode's
# padded cells, no strikes): 日 at 24 px was 35x29 and UMing lost strokes
# that its strikes have.  A Font now draws what the tool draws.
@pytest.mark.parametrize("path,pixels,codes", [
    (IPA, 24, [0x65E5, 0x672C, 0x3042, 0x41]),
    (UMING, 12, [0x4E2D, 0x6587, 0x9AD4]),      # embedded strikes
    (UMING, 20, [0x4E2D, 0x6587]),              # outlines, auto-hinted
])
def test_default_glyphs_are_the_tools_not_the_classic_cells(glyph_dump, path, pixels, codes):
    expected = glyph_dump(font_path(path), pixels, 137, codes, FAITHFUL | EMBEDDED_BITMAPS)
    classic = glyph_dump(font_path(path), pixels, 137, codes, 0)
    with kelmor.Font(font_path(path)) as font, \
            kelmor.Font(font_path(path), faithful=False, embedded_bitmaps=False) as old:
        font.set_size(pixels)
        old.set_size(pixels)
        for code, want, cell in zip(codes, expected, classic):
            g = font.glyph(code)
            assert (g.width, g.height, g.origin_x, g.origin_y, g.advance, g.index, g.rows) == want
            c = old.glyph(code)
            assert (c.width, c.height, c.rows) == (cell[0], cell[1], cell[6])


def test_the_tools_image_and_the_bindings_line_agree(library_path, tmp_path):
    pytest.importorskip("PIL")
    from PIL import Image

    png = tmp_path / "line.png"
    subprocess.run([tool_path(library_path), "render", font_path(IPA), "日本語", "--size", "24",
                    "--png", str(png)], check=True, capture_output=True)
    tool = numpy.array(Image.open(png).convert("L")) < 128
    with kelmor.Font(font_path(IPA)) as font:
        font.set_size(24)
        ours = numpy.array(font.render_text("日本語"), dtype=numpy.uint8) == 0
    # The tool may frame the line with margins: compare the ink alone.
    def ink(image):
        rows, columns = numpy.nonzero(image)
        return image[rows.min():rows.max() + 1, columns.min():columns.max() + 1]
    assert (ink(tool).shape == ink(ours).shape) and (ink(tool) == ink(ours)).all()


def _run_python(code, library_path, **env):
    environment = dict(os.environ, PYTHONPATH=str(BINDING), KELMOR_LIBRARY=library_path)
    environment.update(env)
    return subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                          env=environment)


@pytest.fixture(scope="module")
def registered_profile(library_path, tmp_path_factory):
    """A profile whose ini file lists concordances built by kelmor cob."""
    where = tmp_path_factory.mktemp("concordances")
    profile = where / "profile.ini"
    profile.write_text("[Kelmor Type Font Interface 1.0]\nIniPath=%s\n" % (where / "Kelmor.ini"))
    subprocess.run([tool_path(library_path), "cob", "--out", str(where), "--register",
                    str(where / "Kelmor.ini")], check=True, capture_output=True,
                   env=dict(os.environ, KELMOR_PROFILE=str(profile)))
    return str(profile)


# The binding never called KelmoRegisterApp, so the library knew no
# concordance: font.glyph(b'\x93\xfa', encoding='sjis') gave the missing
# glyph and render_text(..., encoding='sjis') drew a box for every kanji.
# (font, encoding, text) — each text drawn through the encoding must equal
# its drawing as Unicode.
DOUBLE_BYTE_TEXTS = [
    (IPA, "sjis", "日本語のテキストｶﾀｶﾅ A1"),
    (UMING, "big5", "中文字體測試"),
    (UMING, "gb2312", "中文字体测试"),
    (UMING, "gbk", "中文字体测试丂"),       # 丂 is 8140, outside GB 2312
    (UNDOTUM, "euc-kr", "한국어 텍스트똠"),  # 똠 is 8C63, code page 949 only
]


@pytest.mark.parametrize("path,encoding,text", DOUBLE_BYTE_TEXTS)
def test_double_byte_text_draws_as_its_unicode_once_concordances_are_registered(
        library_path, registered_profile, path, encoding, text):
    pytest.importorskip("PIL")
    code = """
import sys, kelmor
with kelmor.Font(sys.argv[1]) as font:
    font.set_size(20)
    through = font.render_text(sys.argv[3], encoding=sys.argv[2])
    direct = font.render_text(sys.argv[3])
    missing = [c for c in sys.argv[3] if font.glyph(c, encoding=sys.argv[2]).missing]
    print(through.tobytes() == direct.tobytes() and through.size == direct.size, missing)
    if sys.argv[2] == "sjis":
        print(font.glyph(b"\\x93\\xfa", encoding="sjis").rows == font.glyph("日").rows)
"""
    environment = dict(os.environ, PYTHONPATH=str(BINDING), KELMOR_LIBRARY=library_path,
                       KELMOR_PROFILE=registered_profile)
    result = subprocess.run([sys.executable, "-c", code, font_path(path), encoding, text],
                            capture_output=True, text=True, env=environment)
    assert result.returncode == 0, result.stderr
    lines = result.stdout.split("\n")
    assert lines[0] == "True []"
    if encoding == "sjis":
        assert lines[1] == "True"


def test_a_double_byte_encoding_without_concordances_raises_naming_the_ini_and_kelmor_cob(
        library_path, tmp_path):
    profile = tmp_path / "profile.ini"
    profile.write_text("[Kelmor Type Font Interface 1.0]\nIniPath=%s\n" % (tmp_path / "Kelmor.ini"))
    code = """
import sys, kelmor
font = kelmor.Font(sys.argv[1])
font.set_size(16)
print(font.glyph("A").missing)
try:
    font.glyph(b"\\x93\\xfa", encoding="sjis")
except kelmor.NoConcordanceError as error:
    print(error.code, isinstance(error, kelmor.KelmorError))
    print(error)
"""
    result = subprocess.run([sys.executable, "-c", code, font_path(IPA)], capture_output=True,
                            text=True, env=dict(os.environ, PYTHONPATH=str(BINDING),
                                                KELMOR_LIBRARY=library_path,
                                                KELMOR_PROFILE=str(profile)))
    assert result.returncode == 0, result.stderr
    missing, kind, message = result.stdout.split("\n", 2)
    assert missing == "False" and kind == "18 True"
    assert "sjis" in message and "kelmor cob" in message and str(profile) in message


# Each of these passed silently, drew something else than asked, or quoted
# the library's 131071 instead of saying what was wrong.
@pytest.mark.parametrize("call,error,message", [
    (lambda font: font.set_size(0), ValueError, "at least 1 pixel"),
    (lambda font: font.set_size(-3), ValueError, "at least 1 pixel"),
    (lambda font: font.set_size(16, dpi=0), ValueError, "dpi must be at least 1"),
    (lambda font: font.set_size(12.5), TypeError, "whole number"),
    (lambda font: font.set_size(True), TypeError, "whole number"),
    (lambda font: font.glyph(3.5), TypeError, "whole number"),
    (lambda font: font.glyph(0x110000), ValueError, "not a Unicode code point"),
    (lambda font: font.glyph(70000, encoding="glyph"), ValueError, "glyph numbers are 0 to 65535"),
    (lambda font: font.glyph("日", vertical="yes"), TypeError, "vertical is True or False"),
    (lambda font: font.set_options(hinting="no"), TypeError, "hinting is True or False"),
    (lambda font: font.set_options(autohint=1), TypeError, "autohint is True or False"),
    (lambda font: font.set_options(True), TypeError, "positional"),
    (lambda font: kelmor.Font(font.path, faithful="yes"), TypeError, "faithful is True or False"),
    (lambda font: kelmor.Font(font.path, encoding="latin-1"), ValueError, "unknown encoding"),
    (lambda font: kelmor.Font(font.path, face=-1), ValueError, "face -1 is out of range"),
])
def test_arguments_that_passed_silently_are_refused_with_a_plain_message(call, error, message):
    with kelmor.Font(font_path(IPA)) as font:
        font.set_size(16)
        with pytest.raises(error, match=message):
            call(font)
        assert font.size == 16


def test_a_size_too_large_says_the_largest_without_the_librarys_product():
    with kelmor.Font(font_path(IPA)) as font:
        with pytest.raises(kelmor.KelmorError, match="at most 1820") as raised:
            font.set_size(5000)
        assert raised.value.code == 15 and "131071" not in str(raised.value)


def test_the_module_namespace_holds_the_binding_alone():
    public = {name for name in dir(kelmor) if not name.startswith("_")}
    assert public == {"Font", "Glyph", "KelmorError", "NoConcordanceError", "ENCODINGS"}
    assert (Path(kelmor.__file__).parent / "py.typed").is_file()
    assert kelmor.Font.glyph.__annotations__["return"] is not None


def test_numpy_reads_a_glyph_as_its_pixels():
    with kelmor.Font(font_path(IPA)) as font:
        font.set_size(20)
        for code in ("日", " "):
            g = font.glyph(code)
            pixels = numpy.asarray(g)
            assert pixels.dtype == numpy.uint8 and pixels.shape == (g.height, g.width)
            assert pixels.tolist() == g.rows
        assert numpy.asarray(g, dtype=bool).dtype == numpy.bool_


def test_encoding_given_to_font_is_the_default_for_its_codes():
    with kelmor.Font(font_path(IPA), encoding="glyph") as font:
        font.set_size(16)
        assert font.encoding == "glyph" and font.map_encoding == "unicode"
        index = font.glyph_index("日", encoding="unicode")
        assert font.glyph(index).rows == font.glyph("日", encoding="unicode").rows


def _python_blocks(markdown):
    """The indented code blocks of a README that import kelmor."""
    blocks, current = [], []
    for line in markdown.splitlines() + [""]:
        if line.startswith("    "):
            current.append(line[4:])
        elif line.strip() == "" and current:
            current.append("")
        else:
            if any("import kelmor" in l for l in current):
                blocks.append("\n".join(current))
            current = []
    if any("import kelmor" in l for l in current):
        blocks.append("\n".join(current))
    return blocks


# The binding's README showed Font(path, encoding=...), which raised.
def test_the_readme_examples_run_as_written(library_path, tmp_path):
    pytest.importorskip("PIL")
    font_path(IPA)
    blocks = _python_blocks((BINDING / "README.md").read_text(encoding="utf-8"))
    assert blocks
    for block in blocks:
        result = subprocess.run([sys.executable, "-c", block], cwd=tmp_path, capture_output=True,
                                text=True, env=dict(os.environ, PYTHONPATH=str(BINDING),
                                                    KELMOR_LIBRARY=library_path))
        assert result.returncode == 0, block + "\n" + result.stderr
