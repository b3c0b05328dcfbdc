#!/usr/bin/env python3
"""Reference values for random_test.cpp: RANROT-W written straight from its
description (17 entries of two words, lag 10, rotations by 19 and 27 bits, 31
warm-up steps) with unbounded integers, sharing nothing with the C++ code."""
M32 = 0xFFFFFFFF


def rotl(x, r):
    return ((x << r) | (x >> (32 - r))) & M32


def draws(seed, n, count=8):
    words, x = [], seed
    for _ in range(34):
        x = (x * 2891336453 + 1) & M32
        words.append(x)
    p1, p2, out = 0, 10, []
    for step in range(31 + count):
        z = (rotl(words[2 * p1], 19) + words[2 * p2]) & M32
        y = (rotl(words[2 * p1 + 1], 27) + words[2 * p2 + 1]) & M32
        words[2 * p1], words[2 * p1 + 1] = y, z
        p1, p2 = (p1 - 1) % 17, (p2 - 1) % 17
        if step >= 31:
            out.append(((z << 32 | y) * (n + 1)) >> 64)
    return out


for seed, n in [(0, 100), (0xFFFFFFFF, 100), (2024, 0x7FFFFFFF), (77, 1)]:
    print(f"{{{seed:#x}u, {n}, {{{', '.join(map(str, draws(seed, n)))}}}}},")
