#!/usr/bin/env python3
"""Packs a skin PNG's pixels the way the client shows them, ready to use.

    pack-skin.py IMAGE.png OUT.pixels

The client decodes each skin image from its PNG on every start; the launcher's
artwork alone takes tens of milliseconds and loads the system's image codecs.
The packed form is what that decode ends with: 32-bit pixels, rows top-down,
blue-green-red-alpha, colour premultiplied by alpha (rounded: c * a / 255), in
LZNT1 chunks that the system's RtlDecompressBuffer unpacks in a few ms.

Layout (little-endian): "SKPX", width, height, flags (bit 0: the PNG has no
alpha channel and no transparent colour), all 32-bit, then the LZNT1 stream of
width * height * 4 bytes: a chunk for each 4096 of them (the last one for what
is left), compressed, or stored as it is where compressing would not make it
smaller.
Needs ImageMagick's convert to read the PNG.
"""

import struct
import subprocess
import sys

CHUNK = 4096
FLAG_OPAQUE = 1


def has_transparency(png):
    """Whether the PNG's pixels may be see-through: an alpha channel (grey +
    alpha, RGBA), or a tRNS chunk, which gives the alpha of palette entries or
    names the one grey or RGB colour that is transparent."""
    if png[25] in (4, 6):
        return True
    at = 8
    while at + 8 <= len(png):
        length, kind = struct.unpack('>I4s', png[at:at + 8])
        if kind == b'tRNS':
            return True
        if kind in (b'IDAT', b'IEND'):  # tRNS must come before the pixels
            return False
        at += 12 + length
    return False


def read_png(path):
    with open(path, 'rb') as f:
        png = f.read()
    if png[:8] != b'\x89PNG\r\n\x1a\n' or png[12:16] != b'IHDR':
        sys.exit(f'{path}: not a PNG')
    width, height = struct.unpack('>II', png[16:24])
    has_alpha = has_transparency(png)
    bgra = subprocess.run(['convert', path, '-depth', '8', 'BGRA:-'], check=True,
                          stdout=subprocess.PIPE).stdout
    if len(bgra) != width * height * 4:
        sys.exit(f'{path}: convert gave {len(bgra)} bytes for {width} x {height}')
    return width, height, has_alpha, bgra


def premultiply(bgra):
    out = bytearray(bgra)
    for i in range(3, len(out), 4):
        a = out[i]
        if a == 255:
            continue
        for k in range(i - 3, i):
            out[k] = (out[k] * a + 127) // 255
    return bytes(out)


def compress_chunk(data):
    """One LZNT1 chunk body: groups of a flag byte and eight tokens, each a
    literal byte or a two-byte back reference whose split between distance and
    length bits depends on how far into the chunk it stands."""
    n = len(data)
    out = bytearray()
    seen = {}  # three-byte prefix -> positions in the chunk
    pos = 0
    while pos < n:
        flag_at = len(out)
        out.append(0)
        for bit in range(8):
            if pos >= n:
                break
            distance_bits = 4
            while (1 << distance_bits) < pos:
                distance_bits += 1
            length_bits = 16 - distance_bits
            longest = min((1 << length_bits) + 2, n - pos)
            best_length, best_distance = 0, 0
            if longest >= 3:
                for start in reversed(seen.get(data[pos:pos + 3], [])[-32:]):
                    length = 3
                    while length < longest and data[start + length] == data[pos + length]:
                        length += 1
                    if length > best_length:
                        best_length, best_distance = length, pos - start
                        if length == longest:
                            break
            step = 1
            if best_length >= 3:
                out += struct.pack('<H', ((best_distance - 1) << length_bits) | (best_length - 3))
                out[flag_at] |= 1 << bit
                step = best_length
            else:
                out.append(data[pos])
            for p in range(pos, min(pos + step, n - 2)):
                seen.setdefault(data[p:p + 3], []).append(p)
            pos += step
    return out


def lznt1(data):
    out = bytearray()
    for at in range(0, len(data), CHUNK):
        chunk = data[at:at + CHUNK]
        body = compress_chunk(chunk)
        if len(body) < len(chunk):
            out += struct.pack('<H', 0xB000 | (len(body) - 1)) + body
        else:
            # Noise grows when compressed: stored as it is, the last chunk too,
            # which then holds only what is left (a whole chunk would unpack
            # to more than the image).
            out += struct.pack('<H', 0x3000 | (len(chunk) - 1)) + chunk
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, has_alpha, bgra = read_png(sys.argv[1])
    flags = 0 if has_alpha else FLAG_OPAQUE
    packed = struct.pack('<4sIII', b'SKPX', width, height, flags) + lznt1(premultiply(bgra))
    with open(sys.argv[2], 'wb') as f:
        f.write(packed)


if __name__ == '__main__':
    main()
