"""Command lines of the Python scripts, read the way plasma-demo reads its own:
a bad one is one line naming the option and what it accepts, exit status 2,
before the script starts or writes anything."""

import argparse
import math
import sys


class Parser(argparse.ArgumentParser):
    """argparse, with its errors as one line `<script>: <message>` and status 2
    (argparse's own would print the usage first)."""

    def error(self, message):
        print(f"{self.prog}: {message} (see --help)", file=sys.stderr)
        sys.exit(2)


def _number(text, kind):
    try:
        return kind(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not a number") from None


def count(at_least):
    """A whole number of at least `at_least`."""

    def parse(text):
        value = _number(text, int)
        if value < at_least:
            raise argparse.ArgumentTypeError(f"needs a whole number of at least {at_least}, "
                                             f"not {text}")
        return value

    return parse


def positive_seconds(text):
    """A number of seconds above zero, up to a day (not nan or inf)."""
    value = _number(text, float)
    if not math.isfinite(value) or not 0 < value <= 86400:
        raise argparse.ArgumentTypeError(f"needs seconds above 0, up to 86400, not {text}")
    return value


def milliseconds(text):
    """A whole number of milliseconds, 0 to a day (plasma-demo's own limits)."""
    value = _number(text, int)
    if not 0 <= value <= 86400000:
        raise argparse.ArgumentTypeError(f"needs milliseconds from 0 to 86400000, not {text}")
    return value
