"""What a Python script starts, it ends: on success, on failure, on Ctrl-C and
on SIGTERM alike.

SIGTERM (and SIGHUP) become an exception, as SIGINT already is, so that every
`finally` runs; `run(main)` turns either into the shell's status for a death
by that signal (128 + its number) without a traceback. `Processes` ends the
processes started through it as the script leaves its `with` block."""

import signal
import subprocess
import sys


class Stopped(BaseException):
    """The script was asked to stop by a signal."""

    def __init__(self, number):
        super().__init__(number)
        self.number = number


def raise_stopped(number, frame):
    """The handler `run` sets for SIGTERM and SIGHUP."""
    raise Stopped(number)


def run(main):
    """Runs main() and exits with its status; a stop signal ends it through
    the `finally` blocks, with status 128 + the signal's number."""
    for number in (signal.SIGTERM, signal.SIGHUP):
        if signal.getsignal(number) != signal.SIG_IGN:
            signal.signal(number, raise_stopped)
    try:
        status = main()
    except KeyboardInterrupt:
        status = 128 + signal.SIGINT
    except Stopped as stop:
        status = 128 + stop.number
    sys.exit(status)


class Processes:
    """Processes the script starts, each ended (SIGTERM, then SIGKILL after
    `grace` seconds) and reaped as the `with` block is left, however it is
    left; a second signal does not cut that short."""

    def __init__(self, grace=5.0):
        self._started = []
        self._grace = grace

    def start(self, command, **options):
        process = subprocess.Popen(command, **options)
        self._started.append(process)
        return process

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        held = {number: signal.signal(number, signal.SIG_IGN)
                for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)}
        try:
            for process in reversed(self._started):
                end(process, self._grace)
        finally:
            for number, handler in held.items():
                signal.signal(number, handler)
        return False


def end(process, grace=5.0):
    """Ends one process (SIGTERM, then SIGKILL) and reaps it."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
