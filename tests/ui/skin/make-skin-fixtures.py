#!/usr/bin/env python3
"""Makes the skin tests' own images and packs them with the client's packer.

    make-skin-fixtures.py PACKER OUTDIR

Writes into OUTDIR, for SkinFixtures.rc:
  noise.png            84 x 24 RGB noise: no chunk of it gets shorter when
                       compressed, the short last one neither
  palette-trns.png     4 x 2, a palette whose tRNS chunk makes one entry
                       transparent and one half transparent
  rgb-trns.png         3 x 2 RGB, whose tRNS chunk makes white transparent
and the packed pixels of each (NAME.pixels), then copies of noise.pixels whose
header says a row or a column fewer or more than the stream holds
(noise-rows-23.pixels, noise-rows-25.pixels, noise-columns-83.pixels,
noise-columns-85.pixels). The PNGs are written here byte by byte, so that what
they hold does not depend on any image tool.
"""

import random
import struct
import subprocess
import sys
import zlib
from pathlib import Path


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def write_png(path, width, height, colour_type, rows, before_pixels=b''):
    header = struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0)
    pixels = zlib.compress(b''.join(b'\0' + row for row in rows))  # filter 0 on every row
    path.write_bytes(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + before_pixels + chunk(b'IDAT', pixels) +
                     chunk(b'IEND', b''))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    packer, out = sys.argv[1], Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)

    noise = random.Random(8424)
    write_png(out / 'noise.png', 84, 24, 2, [noise.randbytes(84 * 3) for _ in range(24)])
    # Entries: red, white (transparent), blue (alpha 128), green (no tRNS
    # entry, so opaque).
    palette = chunk(b'PLTE', bytes([255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0]))
    write_png(out / 'palette-trns.png', 4, 2, 3, [bytes([0, 1, 2, 3]), bytes([3, 2, 1, 0])],
              palette + chunk(b'tRNS', bytes([255, 0, 128])))
    red, white, grey = bytes([255, 0, 0]), bytes([255, 255, 255]), bytes([10, 20, 30])
    write_png(out / 'rgb-trns.png', 3, 2, 2, [red + white + grey, white + grey + white],
              chunk(b'tRNS', struct.pack('>HHH', 255, 255, 255)))

    for name in ('noise', 'palette-trns', 'rgb-trns'):
        subprocess.run([sys.executable, packer, str(out / f'{name}.png'), str(out / f'{name}.pixels')], check=True)

    packed = (out / 'noise.pixels').read_bytes()
    for field, at, value in (('rows', 8, 23), ('rows', 8, 25), ('columns', 4, 83), ('columns', 4, 85)):
        (out / f'noise-{field}-{value}.pixels').write_bytes(packed[:at] + struct.pack('<I', value) +
                                                             packed[at + 4:])


if __name__ == '__main__':
    main()
