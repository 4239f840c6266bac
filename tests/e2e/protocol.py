"""What the tests expect on the wire and in preset files, written out independently of the
program: the block addresses in tree order, the online sequence, and a reader of preset
text that compares values as numbers."""

import math


def _channel_blocks(channel):
    base = f"/channel/{channel}"
    blocks = [f"{base}/peq/{band}" for band in range(1, 9)]
    blocks += [f"{base}/xover/hp", f"{base}/xover/lp", f"{base}/xover/gain"]
    for section in (1, 2):
        blocks += [f"{base}/deq/{section}/comp", f"{base}/deq/{section}/time", f"{base}/deq/{section}/filt"]
    blocks += [f"{base}/delay", f"{base}/limiter"]
    return blocks


# Every block of the parameter tree, in tree order: one message each.
BLOCK_ADDRESSES = ["/ampmode"] + _channel_blocks(1) + _channel_blocks(2)
assert len(BLOCK_ADDRESSES) == 39


def online_sequence(zr_family):
    """The requests of going online, in order, as (address, tags, args)."""
    sequence = [("/online", "", []), ("/gain", "", [])]
    sequence += [(address, "", []) for address in BLOCK_ADDRESSES]
    sequence += [("/preset/name", "iis", [slot, 0, "DUMMY"]) for slot in range(1, 21)]
    sequence += [("/meter", "f", [10.0])]
    if zr_family:
        sequence += [("/siggen", "", []), ("/speaker", "", [])]
    return sequence


def number(text):
    """A value of preset text as a number ("2k50" is 2500), or None for a word."""
    try:
        if "k" in text:
            whole, _, fraction = text.partition("k")
            return float(f"{whole}.{fraction or 0}") * 1000.0
        return float(text)
    except ValueError:
        return None


def read_preset(text):
    """(name line, {address: (tags, [values...])}, addresses in file order) of preset text."""
    lines = text.replace("\r\n", "\n").split("\n")
    begin = next(i for i, line in enumerate(lines) if line.strip().startswith("BEGIN_OSC_DATA"))
    end = next(i for i, line in enumerate(lines) if line.strip().startswith("END_OSC_DATA"))
    blocks, order = {}, []
    for line in lines[begin + 1:end]:
        words = line.split()
        blocks[words[0]] = (words[1], words[2:])
        order.append(words[0])
    return lines[0], blocks, order


def same_value(expected, actual):
    """Text values compare as numbers when both are numbers (within the text's rounding)."""
    a = number(expected) if isinstance(expected, str) else float(expected)
    b = number(actual) if isinstance(actual, str) else float(actual)
    if a is None or b is None:
        return str(expected) == str(actual)
    return math.isclose(a, b, rel_tol=2e-3, abs_tol=1e-3)


def differences(expected, actual):
    """Addresses whose tags or values differ between two {address: (tags, values)} maps."""
    found = []
    for address in sorted(set(expected) | set(actual)):
        e, a = expected.get(address), actual.get(address)
        if e is None or a is None or e[0] != a[0] or len(e[1]) != len(a[1]) \
                or not all(same_value(x, y) for x, y in zip(e[1], a[1])):
            found.append(f"{address}: expected {e}, got {a}")
    return found
