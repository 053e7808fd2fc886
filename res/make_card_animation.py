#!/usr/bin/env python3
"""Writes card_animation.avi, the animation the card dialogs play (resource 132): a PC card
sliding into its slot, 16 x 16 pixels, 8 frames at 8 frames a second, uncompressed 8-bit
colour, as the animation control plays without a codec. The file is checked in; run this
again only to change the picture:  python3 res/make_card_animation.py res/card_animation.avi
"""
import struct
import sys

WIDTH, HEIGHT, FRAMES = 16, 16, 8
# Colour 0 is the first pixel's and so the transparent one; then the card, its contacts, the slot.
PALETTE = [(255, 0, 255), (132, 4, 0), (0, 200, 255), (64, 64, 64)]  # (blue, green, red)


def frame(k):
    """Rows bottom-up as the bitmap stores them; the card's top edge moves down k pixels."""
    pixels = [[0] * WIDTH for _ in range(HEIGHT)]
    for x in range(1, 15):  # the slot at the bottom
        pixels[14][x] = 3
    top = 1 + k
    for y in range(top, min(top + 9, 14)):
        for x in range(4, 12):
            pixels[y][x] = 1
    for x in range(5, 11, 2):  # contacts on the card's leading edge
        if top + 8 < 14:
            pixels[top + 8][x] = 2
    return bytes(b for row in reversed(pixels) for b in row)


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def lst(kind, *chunks):
    return chunk(b"LIST", kind + b"".join(chunks))


def main(path):
    size = WIDTH * HEIGHT
    avih = struct.pack("<14I", 125000, size * 8, 0, 0x10, FRAMES, 0, 1, size, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b"vids" + b"DIB " + struct.pack("<IHHIIIIIIII4h", 0, 0, 0, 0, 1, 8, 0, FRAMES, size,
                                           0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    bih = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, size, 0, 0, len(PALETTE), 0)
    strf = bih + b"".join(struct.pack("<4B", b, g, r, 0) for b, g, r in PALETTE)
    hdrl = lst(b"hdrl", chunk(b"avih", avih), lst(b"strl", chunk(b"strh", strh), chunk(b"strf", strf)))
    frames = [chunk(b"00db", frame(k)) for k in range(FRAMES)]
    movi = lst(b"movi", *frames)
    # Offsets in the index count from the "movi" type field.
    index, offset = b"", 4
    for data in frames:
        index += b"00db" + struct.pack("<III", 0x10, offset, size)
        offset += len(data)
    riff = chunk(b"RIFF", b"AVI " + hdrl + movi + chunk(b"idx1", index))
    with open(path, "wb") as out:
        out.write(riff)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "card_animation.avi")
