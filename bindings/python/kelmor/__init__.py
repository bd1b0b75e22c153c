"""Glyph bitmaps from TrueType fonts through the KELMOR rasterizer.

    import kelmor
    with kelmor.Font("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf") as font:
        font.set_size(24)                  # pixels per em
        glyph = font.glyph("日")
        print(glyph)                       # rows of '#' and '.'
        glyph.to_image().save("hi.png")    # with Pillow
        font.render_text("日本語").save("line.png")

Glyphs are drawn as the kelmor tool draws them (the faithful mode, embedded
bitmaps, the auto-hinter); Font(path, faithful=False) gives the classic mode.
The binding calls libkelmor.so through ctypes; see kelmor._library for where
it looks for the library (KELMOR_LIBRARY names it outright).
"""

from ._font import ENCODINGS, Font, Glyph, KelmorError, NoConcordanceError

__all__ = ["Font", "Glyph", "KelmorError", "NoConcordanceError", "ENCODINGS"]
