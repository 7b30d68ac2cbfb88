"""Sample image files for the image library tests, made with ImageMagick and by hand."""
import os
import struct
import subprocess

PLASMA = ["-seed", "7", "-size", "64x64", "plasma:fractal"]


def dds_bytes(width, height, fourcc, levels, mip_count=None, flags_extra=0):
    """A DDS header followed by the given level blocks."""
    header = bytearray(128)
    header[0:4] = b"DDS "
    count = len(levels) if mip_count is None else mip_count
    flags = 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000 | (0x20000 if count > 1 else 0) | flags_extra
    struct.pack_into("<IIIIIII", header, 4, 124, flags, height, width, len(levels[0]), 0, count)
    struct.pack_into("<II4s", header, 76, 32, 4, fourcc)
    struct.pack_into("<I", header, 108, 0x1000 | (0x400008 if count > 1 else 0))
    return bytes(header) + b"".join(levels)


def dxt3_chain(width, height):
    """A full DXT3 mip chain with varied blocks (alpha nibbles and both colour orders)."""
    levels, w, h, seed = [], width, height, 1
    while True:
        blocks = bytearray()
        for _ in range(((w + 3) // 4) * ((h + 3) // 4)):
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            alpha = (seed * 2654435761 & 0xFFFFFFFFFFFFFFFF).to_bytes(8, "little")
            c0, c1 = seed & 0xFFFF, (seed >> 15) & 0xFFFF
            blocks += alpha + struct.pack("<HHI", c0, c1, (seed * 69069) & 0xFFFFFFFF)
        levels.append(bytes(blocks))
        if w == 1 and h == 1:
            return levels
        w, h = max(w // 2, 1), max(h // 2, 1)


def tga_bytes(width, height, pixels, bits, top_left, image_type=2):
    """An uncompressed TGA; pixels are the stored bytes, rows in stored order."""
    descriptor = (0x20 if top_left else 0) | (8 if bits == 32 else 0)
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, width, height, bits,
                         descriptor)
    return header + bytes(pixels)


def make_all(out_dir):
    """Write every sample; returns {name: path}. Names say what each covers."""
    files = {}

    def im(name, *args):
        target = os.path.join(out_dir, name)
        *opts, last = args
        subprocess.run(["convert", *opts, f"{last}:{target}" if last else target], check=True)
        files[name] = target

    def raw(name, data):
        target = os.path.join(out_dir, name)
        with open(target, "wb") as out:
            out.write(data)
        files[name] = target

    im("rgba.png", *PLASMA, "-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel", "PNG32")
    im("rgb.png", *PLASMA, "PNG24")
    im("rgb16.png", *PLASMA, "-depth", "16", "PNG48")
    im("grey16.png", *PLASMA, "-colorspace", "gray", "PNG")
    im("greyalpha16.png", *PLASMA, "-colorspace", "gray", "-alpha", "set", "-channel", "A",
       "-fx", "j/h", "+channel", "PNG")
    im("palette_grey.png", *PLASMA, "-colorspace", "gray", "-colors", "16", "PNG8")
    im("palette_colour.png", *PLASMA, "-colors", "16", "PNG8")
    im("palette_4bit.png", *PLASMA, "-colors", "8", "-define", "png:bit-depth=4", "PNG8")
    im("palette_interlaced.png", *PLASMA, "-colors", "8", "-interlace", "PNG", "PNG8")
    im("interlaced.png", *PLASMA, "-interlace", "PNG", "PNG24")
    im("bilevel.png", *PLASMA, "-colorspace", "gray", "-threshold", "50%", "-depth", "1", "PNG")
    im("rgb.tga", *PLASMA, "")
    im("rgba.tga", *PLASMA, "-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel", "")
    im("rle.tga", *PLASMA, "-compress", "RLE", "")
    im("grey.tga", *PLASMA, "-colorspace", "gray", "")
    im("colourmap.tga", *PLASMA, "-type", "Palette", "-colors", "16", "")
    # Three rows of distinct colours, once bottom-left and once top-left origin.
    rows = [[10, 20, 30] * 2, [40, 50, 60] * 2, [70, 80, 90] * 2]
    raw("bottom_left.tga", tga_bytes(2, 3, sum(rows, []), 24, False))
    raw("top_left.tga", tga_bytes(2, 3, sum(rows, []), 24, True))
    im("rgb.bmp", files["rgb.png"], "-type", "TrueColor", "bmp3")
    im("odd_width.bmp", "-seed", "3", "-size", "5x3", "plasma:fractal", "-type", "TrueColor", "bmp3")
    im("palette_4bit.bmp", *PLASMA, "-type", "Palette", "-colors", "16", "bmp3")
    im("v5_header.bmp", "-seed", "3", "-size", "5x3", "plasma:fractal", "bmp")
    im("rgb.jpg", *PLASMA, "-quality", "90", "")
    im("grey.jpg", *PLASMA, "-colorspace", "gray", "-quality", "90", "")
    im("dxt1.dds", *PLASMA, "-define", "dds:compression=dxt1", "-define", "dds:mipmaps=6", "")
    im("dxt5.dds", *PLASMA, "-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel",
       "-define", "dds:compression=dxt5", "-define", "dds:mipmaps=6", "")
    raw("dxt3.dds", dds_bytes(32, 16, b"DXT3", dxt3_chain(32, 16)))
    im("palette.gif", *PLASMA, "-colors", "16", "")

    # Failures.
    files["missing.png"] = os.path.join(out_dir, "missing.png")
    raw("empty.png", b"")
    raw("text.png", b"not an image at all\n")
    raw("text.dat", b"not an image at all\n")
    with open(files["rgb.png"], "rb") as f:
        png = f.read()
    raw("truncated_header.png", png[:20])
    raw("truncated_data.png", png[:300])
    with open(files["dxt1.dds"], "rb") as f:
        dds = f.read()
    raw("truncated_mips.dds", dds[:128 + 2048 + 512 + 20])
    raw("truncated_base.dds", dds[:128 + 1000])
    # 65536 x 65536 DXT5: 4 GiB of blocks declared, 16 bytes present.
    raw("huge.dds", dds_bytes(65536, 65536, b"DXT5", [b"\0" * 16]))
    huge_bmp = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 70, 0, 0, 54, 40, 0x7FFFFFFF, 0x7FFFFFFF,
                           1, 32, 0, 0, 0, 0, 0, 0)
    raw("huge.bmp", huge_bmp + b"\0" * 16)
    raw("huge.tga", tga_bytes(65535, 65535, b"\0" * 12, 32, True))
    return files
