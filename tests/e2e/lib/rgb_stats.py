"""Summarises a raw 8-bit RGB screenshot (ImageMagick's rgb: format) for the window tests.

    rgb_stats.py FILE  ->  "NONBLACK MIDTONE WHITE", each the fraction of all pixels that is
                           not black, neither black nor white, and pure white
"""
import sys


def main():
    data = open(sys.argv[1], "rb").read()
    pixels = len(data) // 3
    if pixels == 0:
        sys.exit("empty screenshot")
    black = white = 0
    for i in range(0, pixels * 3, 3):
        r, g, b = data[i], data[i + 1], data[i + 2]
        if r == g == b:
            if r == 0:
                black += 1
            elif r == 255:
                white += 1
    nonblack = pixels - black
    print(f"{nonblack / pixels:.4f} {(nonblack - white) / pixels:.4f} {white / pixels:.4f}")


if __name__ == "__main__":
    main()
