#!/usr/bin/env python3
"""Writes the seed files of the image fuzz targets (tests/fixtures/fuzz/image_<format>/), which the
image file tests also read as fixtures.

Every picture shows the same pattern (see Pattern below and PatternPixel in imagefile_support.h), so
a test can check a decoded file pixel by pixel. Files come from small writers here (BMP, PNG, GIF,
ICO byte layouts are short), from the `ffmpeg` tool (JPEG, TIFF, more PNG and GIF flavours) and from a
throw-away libjpeg program (progressive and CMYK JPEG, which ffmpeg does not write). Truncated and
corrupt copies sit beside the good ones.

Run from anywhere: python3 tests/platform/gdi/imagefile/make_corpus.py
"""

import os
import struct
import subprocess
import tempfile
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "..", ".."))
FUZZ = os.path.join(ROOT, "tests", "fixtures", "fuzz")


def Pattern(X, Y):
    """Blue, green, red, alpha of the test pattern at (X, Y)."""
    return ((37 * X + 11 * Y) & 0xFF, (53 * Y + 7 * X + 40) & 0xFF, (200 - 23 * X + 31 * Y) & 0xFF,
            (255 - 17 * (X + Y)) & 0xFF)


def Save(Folder, Name, Data):
    Path = os.path.join(FUZZ, Folder)
    os.makedirs(Path, exist_ok=True)
    with open(os.path.join(Path, Name), "wb") as File:
        File.write(Data)


def RawBgra(W, H):
    return b"".join(bytes(Pattern(X, Y)) for Y in range(H) for X in range(W))


def Ffmpeg(W, H, Args, Suffix, Alpha=True):
    """Runs ffmpeg on the pattern given as raw BGRA rows and returns the bytes it writes."""
    with tempfile.TemporaryDirectory() as Folder:
        Raw = os.path.join(Folder, "in.raw")
        Out = os.path.join(Folder, "out" + Suffix)
        Data = RawBgra(W, H)
        if not Alpha:
            Data = b"".join(Data[I:I + 3] + b"\xff" for I in range(0, len(Data), 4))
        with open(Raw, "wb") as File:
            File.write(Data)
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "bgra", "-s", f"{W}x{H}",
                        "-i", Raw, "-frames:v", "1"] + Args + [Out], check=True)
        with open(Out, "rb") as File:
            return File.read()


# ---- BMP ----

def DibRows(W, H, Bits, Pixel):
    """Bottom-up rows of Bits-per-pixel values Pixel(X, Y) -> int, each padded to 4 bytes."""
    Stride = ((W * Bits + 31) // 32) * 4
    Out = b""
    for Y in reversed(range(H)):
        Row = bytearray(Stride)
        for X in range(W):
            Value = Pixel(X, Y)
            if Bits >= 8:
                Row[X * Bits // 8:X * Bits // 8 + Bits // 8] = Value.to_bytes(Bits // 8, "little")
            else:
                Shift = 8 - Bits * (X % (8 // Bits) + 1)
                Row[X * Bits // 8] |= Value << Shift
        Out += bytes(Row)
    return Out


def InfoHeader(W, H, Bits, Compression=0, ImageSize=0, Colors=0):
    return struct.pack("<IiiHHIIiiII", 40, W, H, 1, Bits, Compression, ImageSize, 0, 0, Colors, 0)


def BmpFile(Dib, PixelOffset):
    return b"BM" + struct.pack("<IHHI", 14 + len(Dib), 0, 0, PixelOffset) + Dib


def Palette(Colors):
    return b"".join(bytes((B, G, R, 0)) for (B, G, R) in Colors)


# Four colours the palette pictures index with (X + 2 * Y) mod 4.
FOUR = [(0, 0, 0), (255, 255, 255), (0, 0, 255), (255, 0, 0)]


def WriteBmp():
    W, H = 5, 3
    Rgb24 = BmpFile(InfoHeader(W, H, 24) + DibRows(W, H, 24, lambda X, Y: int.from_bytes(bytes(Pattern(X, Y)[:3]), "little")), 54)
    Save("image_bmp", "rgb24_5x3.bmp", Rgb24)
    Save("image_bmp", "rgb24_truncated.bmp", Rgb24[:60])
    Save("image_bmp", "bad_header_size.bmp", Rgb24[:14] + b"\x07" + Rgb24[15:])
    # Top-down 32-bit with a version 5 header and an alpha mask.
    V5 = struct.pack("<IiiHHIIiiII", 124, W, -H, 1, 32, 3, 0, 0, 0, 0, 0) + struct.pack(
        "<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000) + b"\0" * (124 - 56)
    Rows = b"".join(bytes(Pattern(X, Y)) for Y in range(H) for X in range(W))
    Save("image_bmp", "v5_alpha_topdown.bmp", BmpFile(V5 + Rows, 14 + 124))
    # 16 bits, 5-6-5 bit fields after a plain info header.
    Masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    def To565(X, Y):
        B, G, R, _ = Pattern(X, Y)
        return (R >> 3) << 11 | (G >> 2) << 5 | (B >> 3)
    Save("image_bmp", "rgb565.bmp", BmpFile(InfoHeader(W, H, 16, 3) + Masks + DibRows(W, H, 16, To565), 14 + 40 + 12))
    # Palette pictures at 1, 4 and 8 bits.
    Save("image_bmp", "pal1.bmp", BmpFile(InfoHeader(9, 2, 1, Colors=2) + Palette(FOUR[:2]) +
                                          DibRows(9, 2, 1, lambda X, Y: (X + Y) % 2), 14 + 40 + 8))
    Save("image_bmp", "pal4.bmp", BmpFile(InfoHeader(W, H, 4, Colors=4) + Palette(FOUR) +
                                          DibRows(W, H, 4, lambda X, Y: (X + 2 * Y) % 4), 14 + 40 + 16))
    Save("image_bmp", "pal8.bmp", BmpFile(InfoHeader(W, H, 8, Colors=4) + Palette(FOUR) +
                                          DibRows(W, H, 8, lambda X, Y: (X + 2 * Y) % 4), 14 + 40 + 16))
    # Run-length encoded: a run, an absolute run, a delta and the end markers.
    # Rows bottom-up: 1 1 2 3 0 / 0 2 2 0 0 (after a delta) / 3 3 3 3 3.
    Rle8 = bytes([2, 1, 0, 3, 2, 3, 0, 0, 0, 0, 0, 2, 1, 0, 2, 2, 0, 0, 5, 3, 0, 1])
    Save("image_bmp", "rle8.bmp", BmpFile(InfoHeader(W, H, 8, 1, len(Rle8), 4) + Palette(FOUR) + Rle8, 14 + 40 + 16))
    # Rows bottom-up: 1 2 1 2 1 / 3 2 1 0 0 / 3 3 3 3 0.
    Rle4 = bytes([5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 0, 4, 0x33, 0, 1])
    Save("image_bmp", "rle4.bmp", BmpFile(InfoHeader(W, H, 4, 2, len(Rle4), 4) + Palette(FOUR) + Rle4, 14 + 40 + 16))
    Save("image_bmp", "rle8_truncated.bmp", BmpFile(InfoHeader(W, H, 8, 1, 4, 4) + Palette(FOUR) + Rle8[:4], 14 + 40 + 16))
    # The old core header with three-byte palette entries.
    Core = struct.pack("<IHHHH", 12, W, H, 1, 8) + b"".join(bytes(C) for C in FOUR) + b"\0" * (3 * 252)
    Save("image_bmp", "core8.bmp", BmpFile(Core + DibRows(W, H, 8, lambda X, Y: (X + 2 * Y) % 4), 14 + 12 + 768))


# ---- PNG ----

def PngChunk(Kind, Data):
    return struct.pack(">I", len(Data)) + Kind + Data + struct.pack(">I", zlib.crc32(Kind + Data) & 0xFFFFFFFF)


def PngFile(W, H, ColorType, Rows, Extra=b"", Interlace=0, Depth=8):
    """Rows: callable (X, Y) -> bytes of one pixel at 8 bits (or a whole sample tuple)."""

    def Scanlines(Xs, Ys):
        return b"".join(b"\0" + b"".join(Rows(X, Y) for X in Xs) for Y in Ys)

    if Interlace:
        Passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
        Raw = b""
        for X0, Y0, DX, DY in Passes:
            Xs, Ys = list(range(X0, W, DX)), list(range(Y0, H, DY))
            if Xs and Ys:
                Raw += Scanlines(Xs, Ys)
    else:
        Raw = Scanlines(range(W), range(H))
    Header = struct.pack(">IIBBBBB", W, H, Depth, ColorType, 0, 0, Interlace)
    return (b"\x89PNG\r\n\x1a\n" + PngChunk(b"IHDR", Header) + Extra + PngChunk(b"IDAT", zlib.compress(Raw)) +
            PngChunk(b"IEND", b""))


def Rgba(X, Y):
    B, G, R, A = Pattern(X, Y)
    return bytes((R, G, B, A))


def WritePng():
    W, H = 5, 3
    Alpha = PngFile(W, H, 6, Rgba)
    Save("image_png", "rgba_5x3.png", Alpha)
    Save("image_png", "rgba_truncated.png", Alpha[:len(Alpha) - 20])
    Save("image_png", "bad_crc.png", Alpha[:20] + bytes([Alpha[20] ^ 0xFF]) + Alpha[21:])
    Save("image_png", "rgba_interlaced.png", PngFile(W, H, 6, Rgba, Interlace=1))
    # A palette with a transparent first entry.
    Plte = PngChunk(b"PLTE", b"".join(bytes((R, G, B)) for (B, G, R) in FOUR))
    Trns = PngChunk(b"tRNS", bytes([0, 255, 128, 255]))
    Save("image_png", "pal_trns.png", PngFile(W, H, 3, lambda X, Y: bytes([(X + 2 * Y) % 4]), Plte + Trns))
    Save("image_png", "gray16.png", Ffmpeg(W, H, ["-pix_fmt", "gray16be"], ".png"))
    Save("image_png", "rgb24_ffmpeg.png", Ffmpeg(W, H, ["-pix_fmt", "rgb24"], ".png", Alpha=False))


# ---- GIF ----

def LzwLiterals(Indexes, MinimumSize):
    """An LZW stream that sends every index as a literal, clearing the table before it would grow."""
    Clear, End = 1 << MinimumSize, (1 << MinimumSize) + 1
    Width = MinimumSize + 1
    Codes = [Clear]
    Since = 0
    for Index in Indexes:
        if Since == (1 << MinimumSize) - 2:
            Codes.append(Clear)
            Since = 0
        Codes.append(Index)
        Since += 1
    Codes.append(End)
    Bits, Count, Out = 0, 0, bytearray()
    for Code in Codes:
        Bits |= Code << Count
        Count += Width
        while Count >= 8:
            Out.append(Bits & 0xFF)
            Bits >>= 8
            Count -= 8
    if Count:
        Out.append(Bits & 0xFF)
    Blocks = b"".join(bytes([len(Out[I:I + 255])]) + bytes(Out[I:I + 255]) for I in range(0, len(Out), 255))
    return bytes([MinimumSize]) + Blocks + b"\0"


def GifFile(SW, SH, Left, Top, W, H, Pixel, Transparent=None, Interlace=False):
    Table = b"".join(bytes((R, G, B)) for (B, G, R) in FOUR)
    Out = b"GIF89a" + struct.pack("<HHBBB", SW, SH, 0x80 | 0x01, 0, 0) + Table
    if Transparent is not None:
        Out += b"\x21\xf9\x04" + bytes([1, 0, 0, Transparent, 0])
    Out += b"\x2c" + struct.pack("<HHHHB", Left, Top, W, H, 0x40 if Interlace else 0)
    Order = list(range(H))
    if Interlace:
        Order = list(range(0, H, 8)) + list(range(4, H, 8)) + list(range(2, H, 4)) + list(range(1, H, 2))
    Out += LzwLiterals([Pixel(X, Y) for Y in Order for X in range(W)], 2)
    return Out + b"\x3b"


def WriteGif():
    Index = lambda X, Y: (X + 2 * Y) % 4
    Plain = GifFile(5, 3, 0, 0, 5, 3, Index)
    Save("image_gif", "pal4_5x3.gif", Plain)
    Save("image_gif", "pal4_truncated.gif", Plain[:len(Plain) - 8])
    # A 6 x 9 interlaced picture, offset by (1, 1) on an 8 x 10 screen, colour 0 transparent.
    Save("image_gif", "interlaced_offset_transparent.gif", GifFile(8, 10, 1, 1, 6, 9, Index, Transparent=0, Interlace=True))
    Save("image_gif", "ffmpeg.gif", Ffmpeg(8, 6, [], ".gif", Alpha=False))


# ---- TIFF ----

def WriteTiff():
    W, H = 5, 3
    Save("image_tiff", "rgb24_raw.tif", Ffmpeg(W, H, ["-pix_fmt", "rgb24", "-compression_algo", "raw"], ".tif", Alpha=False))
    Save("image_tiff", "rgba_deflate.tif", Ffmpeg(W, H, ["-pix_fmt", "rgba", "-compression_algo", "deflate"], ".tif"))
    Save("image_tiff", "gray_lzw.tif", Ffmpeg(W, H, ["-pix_fmt", "gray", "-compression_algo", "lzw"], ".tif"))
    Save("image_tiff", "monob_packbits.tif", Ffmpeg(9, 2, ["-pix_fmt", "monob"], ".tif"))
    Good = Ffmpeg(W, H, ["-pix_fmt", "rgb24", "-compression_algo", "lzw"], ".tif", Alpha=False)
    Save("image_tiff", "rgb24_lzw.tif", Good)
    Save("image_tiff", "rgb24_truncated.tif", Good[:len(Good) // 2])


# ---- JPEG ----

LIBJPEG_HELPER = r"""
#include <stdio.h>
#include <stdlib.h>
#include <jpeglib.h>
/* argv: output, mode (progressive | cmyk | gray), width, height */
int main(int argc, char** argv) {
  struct jpeg_compress_struct c; struct jpeg_error_mgr e;
  int w = atoi(argv[3]), h = atoi(argv[4]), cmyk = argv[2][0] == 'c', gray = argv[2][0] == 'g', x, y;
  FILE* f = fopen(argv[1], "wb");
  unsigned char* row = malloc(w * 4);
  c.err = jpeg_std_error(&e); jpeg_create_compress(&c); jpeg_stdio_dest(&c, f);
  c.image_width = w; c.image_height = h;
  c.input_components = cmyk ? 4 : gray ? 1 : 3;
  c.in_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&c); jpeg_set_quality(&c, 100, TRUE);
  /* Full-resolution colour at quality 100 keeps the decoded picture within a few levels of the
     pattern, so a test can check the decoder pixel by pixel. */
  c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;
  if (argv[2][0] == 'p') jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  for (y = 0; y < h; y++) {
    for (x = 0; x < w; x++) {
      /* The pattern; for the cmyk file as inverted CMYK without black ink (255 is no ink), the
         convention of files with an Adobe marker, which libjpeg writes for CMYK. */
      int b = (37 * x + 11 * y) & 255, g = (53 * y + 7 * x + 40) & 255, r = (200 - 23 * x + 31 * y) & 255;
      if (gray) row[x] = g;
      else if (cmyk) { row[4*x] = r; row[4*x+1] = g; row[4*x+2] = b; row[4*x+3] = 255; }
      else { row[3*x] = b; row[3*x+1] = g; row[3*x+2] = r; }
    }
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c); jpeg_destroy_compress(&c); fclose(f); free(row); return 0;
}
"""


def LibjpegFile(Mode, W, H):
    with tempfile.TemporaryDirectory() as Folder:
        Source, Program, Out = (os.path.join(Folder, N) for N in ("helper.c", "helper", "out.jpg"))
        with open(Source, "w") as File:
            File.write(LIBJPEG_HELPER)
        subprocess.run(["cc", "-O1", "-o", Program, Source, "-ljpeg"], check=True)
        subprocess.run([Program, Out, Mode, str(W), str(H)], check=True)
        with open(Out, "rb") as File:
            return File.read()


def WriteJpeg():
    Colour = Ffmpeg(16, 8, ["-pix_fmt", "yuvj420p", "-q:v", "2"], ".jpg", Alpha=False)
    Save("image_jpeg", "yuv420_16x8.jpg", Colour)
    Save("image_jpeg", "yuv420_truncated.jpg", Colour[:len(Colour) * 2 // 3])
    Save("image_jpeg", "not_a_jpeg.jpg", b"\xff\xd8\xff\xe0" + b"\x00" * 40)
    Save("image_jpeg", "gray_8x8.jpg", LibjpegFile("gray", 8, 8))
    Save("image_jpeg", "progressive_5x3.jpg", LibjpegFile("progressive", 5, 3))
    Save("image_jpeg", "cmyk_5x3.jpg", LibjpegFile("cmyk", 5, 3))


# ---- ICO ----

def IconDib(W, H, Bits, Pixel, Mask, Colors=b""):
    Header = InfoHeader(W, 2 * H, Bits, Colors=len(Colors) // 4)
    return Header + Colors + DibRows(W, H, Bits, Pixel) + DibRows(W, H, 1, Mask)


def IcoFile(Entries):
    """Entries: (width, height, bits, data)."""
    Out = struct.pack("<HHH", 0, 1, len(Entries))
    Offset = 6 + 16 * len(Entries)
    Body = b""
    for (W, H, Bits, Data) in Entries:
        Out += struct.pack("<BBBBHHII", W % 256, H % 256, 0, 0, 1, Bits, len(Data), Offset + len(Body))
        Body += Data
    return Out + Body


def WriteIco():
    Index = lambda X, Y: (X + 2 * Y) % 4
    # 8-bit colours with a mask that hides the left column, 32-bit with alpha, and a PNG entry.
    Masked = IconDib(4, 4, 8, Index, lambda X, Y: 1 if X == 0 else 0, Palette(FOUR))
    Alpha = IconDib(5, 3, 32, lambda X, Y: int.from_bytes(bytes(Pattern(X, Y)), "little"), lambda X, Y: 0)
    Png = PngFile(6, 6, 6, Rgba)
    Save("image_ico", "three_entries.ico", IcoFile([(4, 4, 8, Masked), (5, 3, 32, Alpha), (6, 6, 32, Png)]))
    Save("image_ico", "masked8.ico", IcoFile([(4, 4, 8, Masked)]))
    Whole = IcoFile([(5, 3, 32, Alpha)])
    Save("image_ico", "alpha32.ico", Whole)
    Save("image_ico", "alpha32_truncated.ico", Whole[:len(Whole) - 30])
    Save("image_ico", "ffmpeg_png.ico", Ffmpeg(8, 8, ["-c:v", "png", "-pix_fmt", "rgba"], ".ico"))


if __name__ == "__main__":
    WriteBmp()
    WritePng()
    WriteGif()
    WriteTiff()
    WriteJpeg()
    WriteIco()
