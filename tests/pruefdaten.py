"""The result lines of a run for the Python tests, found as tests/Pruefdaten.h finds them for the
C++ tests: by a reference independent of the program's search and Primtest."""
import math


def primzahlsieb(bis):
    """What the program counts as prime among 0 ... bis, from a sieve of Eratosthenes: the odd
    primes and 1; never an even number, 2 included."""
    prim = [x % 2 == 1 for x in range(bis + 1)]
    for i in range(3, math.isqrt(bis) + 1, 2):
        if prim[i]:
            prim[i * i::2 * i] = [False] * len(range(i * i, bis + 1, 2 * i))
    return prim


def zeile(n, ende="\n"):
    """The line for n: the largest p <= n / 2 that counts as prime together with n - p."""
    prim = primzahlsieb(n)
    p = n // 2
    while not (prim[p] and prim[n - p]):
        p -= 1
    return f" {n} = {p} + {n - p}{ende}"
