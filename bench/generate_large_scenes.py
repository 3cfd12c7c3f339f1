#!/usr/bin/env python3
"""Writes the large single-file scenes the union hierarchy is measured on: one union of n
random small spheres, and one union of n boxes on a grid, in front of the start camera.

usage: generate_large_scenes.py DIRECTORY [N ...]   (default N: 100 1000 10000 100000)
writes DIRECTORY/spheres_N.pov and DIRECTORY/boxes_N.pov with literal numbers only.
"""
import math
import os
import random
import sys

# The region the start camera looks into: 6 wide, 4.5 high, 4 deep, centred about six
# units ahead of it.
CENTRE = (1.72, 1.44, -0.88)
SIZE = (6.0, 4.5, 4.0)
# Small enough that the 10,000 spheres leave most of the picture free; the 100,000 ones
# cover most of it.
RADIUS = 0.02

TEXTURES = [
    "texture { pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.1 diffuse 0.8 phong 0.5 phong_size 30 } }",
    "texture { pigment { color rgb <0.2, 0.7, 0.9> } finish { ambient 0.1 diffuse 0.8 } }",
    "texture { pigment { color rgb <0.9, 0.9, 0.3> } finish { ambient 0.1 diffuse 0.7 specular 0.3 } }",
]


def lower_corner():
    return [c - s / 2 for c, s in zip(CENTRE, SIZE)]


def spheres(n, rng):
    radius = RADIUS
    low = lower_corner()
    lines = ["union {"]
    for i in range(n):
        x, y, z = (lo + rng.random() * s for lo, s in zip(low, SIZE))
        lines.append(f"  sphere {{ <{x:.6f}, {y:.6f}, {z:.6f}>, {radius:.6f} {TEXTURES[i % 3]} }}")
    lines.append("}")
    return "\n".join(lines) + "\n"


def boxes(n):
    # As near a cube of cells as the count allows, every cell holding one box half its size.
    across = max(2, round(n ** (1 / 3)))
    up = across
    deep = math.ceil(n / (across * up))
    low = lower_corner()
    pitch = (SIZE[0] / across, SIZE[1] / up, SIZE[2] / deep)
    lines = ["union {"]
    for i in range(n):
        cell = (i % across, (i // across) % up, i // (across * up))
        a = [lo + (k + 0.25) * p for lo, k, p in zip(low, cell, pitch)]
        b = [lo + (k + 0.75) * p for lo, k, p in zip(low, cell, pitch)]
        lines.append(
            f"  box {{ <{a[0]:.6f}, {a[1]:.6f}, {a[2]:.6f}>, <{b[0]:.6f}, {b[1]:.6f}, {b[2]:.6f}> {TEXTURES[i % 3]} }}"
        )
    lines.append("}")
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    directory = sys.argv[1]
    counts = [int(a) for a in sys.argv[2:]] or [100, 1000, 10000, 100000]
    os.makedirs(directory, exist_ok=True)
    for n in counts:
        rng = random.Random(n)
        with open(os.path.join(directory, f"spheres_{n}.pov"), "w") as f:
            f.write(spheres(n, rng))
        with open(os.path.join(directory, f"boxes_{n}.pov"), "w") as f:
            f.write(boxes(n))


if __name__ == "__main__":
    main()
