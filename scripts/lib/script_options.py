"""Command lines of the Python scripts, read the way plasma-demo reads its own:
a bad one is one line naming the option and what it accepts, exit status 2,
before the script starts or writes anything."""

import argparse
import math
import sys


class Parser(argparse.ArgumentParser):
    """argparse, with its errors as one line `<script>: <message>` and status 2
    (argparse's own would print the usage first). An option is taken by its
    whole name only, as plasma-demo takes them: a prefix of one is not it."""

    def __init__(self, **options):
        options.setdefault("allow_abbrev", False)
        super().__init__(**options)

    def error(self, message):
        print(f"{self.prog}: {message} (see --help)", file=sys.stderr)
        sys.exit(2)


def _checked(text, kind, accepted, accepts):
    """`text` as a `kind`, when `accepts` it; otherwise an error that says
    what the option accepts."""
    try:
        value = kind(text)
    except ValueError:
        value = None
    if value is None or not accepts(value):
        raise argparse.ArgumentTypeError(f"needs {accepted}, not '{text}'")
    return value


def count(at_least):
    """A whole number of at least `at_least`."""
    return lambda text: _checked(text, int, f"a whole number of at least {at_least}",
                                 lambda value: value >= at_least)


def positive_seconds(text):
    """A number of seconds above zero, up to a day (not nan or inf)."""
    return _checked(text, float, "seconds above 0, up to 86400",
                    lambda value: math.isfinite(value) and 0 < value <= 86400)


def milliseconds(text):
    """A whole number of milliseconds, 0 to a day (plasma-demo's own limits)."""
    return _checked(text, int, "milliseconds from 0 to 86400000",
                    lambda value: 0 <= value <= 86400000)
