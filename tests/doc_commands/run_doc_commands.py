#!/usr/bin/env python3
"""Runs every command the README and docs/ show, so that none of them drifts
from the code unnoticed.

A command is a line of a fenced `sh` block (continuations joined, `&&` chains
split, a trailing comment dropped; a comment's "or: CMD" or "after CMD" is a
command too) or an inline `code` span of more than one word that starts with
one of COMMAND_WORDS, a path under scripts/ or build/. Each is run from a
stand-in checkout (links to the source's entries, build/default linked to the
build under test, HOME in a temporary folder, no display), with the first rule
of RULES that matches it: most verbatim, long ones bounded (fewer runs, a
stop, a shorter count), the slow scripts through their own argument check.
A command no rule matches fails until someone gives it a rule or a line in
NOT_RUN, with the reason it cannot run here.

usage: run_doc_commands.py --source DIR --build DIR [DOC ...]
  DOC: markdown files to read (default: README.md and docs/*.md). With the
  default set, a NOT_RUN entry no document shows any more fails too.
Exit status 0 when every command ran as the docs imply, 1 otherwise, 2 for a
bad command line.
"""
import argparse
import concurrent.futures
import glob
import os
import re
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

COMMAND_WORDS = {
    "plasma-demo", "plasma-capture", "cmake", "ctest", "wine", "sudo", "cd", "ulimit", "git",
    "env", "python3", "qemu-arm", "dumpbin", "objdump", "mkdir", "sha256sum", "echo",
    "arm-linux-gnueabi-g++", "arm-mingw32ce-dlltool",
}

# Commands the docs show that this test does not run, and why.
NOT_RUN = {
    "wine build/windows/bin/plasma.exe":
        "needs the windows preset's build; the Wine tests (label wine) run plasma.exe",
    "PLASMA_GX_DISPLAY=640x480 PLASMA_GX_DRAM=1 wine build/windows/bin/plasma.exe":
        "needs the windows preset's build; the Wine tests run plasma.exe with these settings",
    "wine reg": "names what tests/wine/make_prefix runs",
    "sudo apt install ./dist/plasma_0.1.0_amd64.deb":
        "installs into the system as root; scripts/test package checks the .deb",
    "cd dist": "dist/ is scripts/package's, which scripts/test package runs",
    "sha256sum -c *.sha256": "scripts/test package checks each package against its .sha256",
    "git clone . /tmp/fresh": "the start of a fresh clone's first build (minutes)",
    "cd /tmp/fresh": "the start of a fresh clone's first build (minutes)",
    "env -u CMAKE_CXX_COMPILER_LAUNCHER CCACHE_DISABLE=1 bash -c 'time scripts/demo --close-after 1000'":
        "a fresh clone's whole first build, measured (minutes)",
    "ulimit -n": "a shell limit named in prose",
    "ulimit -v": "a shell limit named in prose",
    "ulimit -u": "a shell limit named in prose",
    "ulimit -v 61440": "a shell limit named in prose (tests/emulator runs plasma-demo under it)",
    "mkdir -p": "names what plasma-capture does as mkdir does",
    "arm-linux-gnueabi-g++ -march=armv5te": "names the compiler of the ARM count, which is run",
    "cmake --install": "names the Install block's command, which is run",
    "arm-mingw32ce-dlltool -d gx.def -l libgx.a": "the real device's toolchain, not in Debian",
    "dumpbin /exports gx.dll": "the real device's gx.dll and Microsoft's tools",
    "objdump -p": "on the real device's gx.dll",
}


def logical_lines(block):
    """The block's lines with backslash continuations joined."""
    lines, pending = [], ""
    for line in block.splitlines():
        if line.endswith("\\"):
            pending += line[:-1].strip() + " "
            continue
        lines.append(pending + line.strip())
        pending = ""
    return [line for line in lines if line]


def split_comment(line):
    """(command, comment): a comment starts at a # after a space, outside quotes."""
    quote = None
    for i, c in enumerate(line):
        if quote:
            quote = None if c == quote else quote
        elif c in "'\"":
            quote = c
        elif c == "#" and (i == 0 or line[i - 1] == " "):
            return line[:i].rstrip(), line[i + 1:].strip()
    return line, ""


def is_command(text):
    """Whether an inline span is a command: a name alone is a reference."""
    words = text.split()
    assignments = 0
    while assignments < len(words) and re.fullmatch(r"[A-Z_][A-Z0-9_]*=\S*", words[assignments]):
        assignments += 1
    if assignments == len(words) or (assignments == 0 and len(words) < 2):
        return False
    first = words[assignments]
    return first in COMMAND_WORDS or re.match(r"(scripts|build)/\S", first) is not None


def commands_in(path):
    """[(command, block number or None for inline, prelude)] of one document."""
    text = open(path, encoding="utf-8").read()
    found = []
    fences = list(re.finditer(r"^```(\w*)\n(.*?)^```", text, re.S | re.M))
    for number, fence in enumerate(fences):
        if fence.group(1) != "sh":
            continue
        prelude = []  # shell functions the block defines, for its later lines
        for line in logical_lines(fence.group(2)):
            command, comment = split_comment(line)
            if re.match(r"\w+\(\) \{", command):
                prelude.append(command)
                continue
            for part in command.split(" && "):
                if part:
                    found.append((part.strip(), number, list(prelude)))
            alternative = re.match(r"(?:or:|after)\s+(.*)", comment)
            if alternative and is_command(alternative.group(1)):
                for part in alternative.group(1).split(" && "):
                    found.append((part.strip(), number, list(prelude)))
    prose = re.sub(r"^```.*?^```", "", text, flags=re.S | re.M).replace("\n", " ")
    for span in re.finditer(r"`([^`]+)`", prose):
        if is_command(span.group(1)):
            for part in re.sub(r"\s+", " ", span.group(1)).strip().split(" && "):
                found.append((part, None, []))
    return found


class Checkout:
    """A stand-in checkout: the source's entries linked, build/default the build
    under test, a HOME of its own; commands run there with no display."""

    def __init__(self, source, build, work):
        self.source, self.build, self.work = source, build, work
        self.root = os.path.join(work, "checkout")
        os.makedirs(os.path.join(self.root, "build"))
        for entry in os.listdir(source):
            if entry not in ("build", "out", "dist"):
                os.symlink(os.path.join(source, entry), os.path.join(self.root, entry))
        os.symlink(build, os.path.join(self.root, "build", "default"))
        self.home = os.path.join(work, "home")
        os.makedirs(self.home)
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.env.update(HOME=self.home, PLASMA_BUILD_DIR=build)
        self.xvfb = None
        self.xvfb_lock = threading.Lock()
        # The measuring scripts' "copy of an older build" is this build's.
        self.older_demo = os.path.join(work, "plasma-demo-before")
        shutil.copy(os.path.join(build, "emulator", "plasma-demo"), self.older_demo)

    def run(self, command, cwd=None, display=None, timeout=120):
        env = dict(self.env)
        if display:
            env["DISPLAY"] = display
        result = subprocess.run(["bash", "-c", command], cwd=cwd or self.root, env=env,
                                stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                timeout=timeout)
        return result.returncode, result.stdout + result.stderr

    def display(self):
        """A private X server for window commands, started on first use."""
        with self.xvfb_lock:
            return self._start_display()

    def _start_display(self):
        if self.xvfb is None:
            read_end, write_end = os.pipe()
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten",
                 "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
            os.close(write_end)
            with os.fdopen(read_end) as numbers:
                self.xvfb_name = ":" + numbers.readline().strip()
        return self.xvfb_name

    def close(self):
        if self.xvfb is not None:
            self.xvfb.terminate()
            self.xvfb.wait()


class Outcome(Exception):
    """A command that did not do what the docs imply."""


def expect(status, output, wanted=0):
    if status != wanted:
        tail = "\n".join(output.rstrip().splitlines()[-5:])
        raise Outcome(f"status {status}, expected {wanted}:\n{tail}")


def has_stop(command):
    return re.search(r"--(tap|key|close)-after\b", command) is not None


# Each rule: (pattern, what it does). A rule runs the command (changed as its
# comment says) and raises Outcome when the result is not what the docs imply.
def run_demo(c, command, docs):
    command = re.sub(r"^(build/default/emulator/)?plasma-demo", "build/default/emulator/plasma-demo",
                     command)
    if "--window" in command:  # on a private X server, stopped by the command's own stop
        return run_verbatim(c, command, docs, display=c.display())
    if not (has_stop(command) or re.search(r"--(help|version|check)\b", command)):
        command += " --check"  # would run until stopped: its options checked as a run would start
    return run_verbatim(c, command, docs)


def run_verbatim(c, command, docs, **how):
    status, output = c.run(command, **how)
    expect(status, output)
    for check in OUTPUT_CHECKS:
        if check[0] in command:
            check[1](output, docs)
    return command


def run_capture(c, command, docs):
    return run_verbatim(c, re.sub(r"^(build/default/tools/capture/)?plasma-capture",
                                  "build/default/tools/capture/plasma-capture", command), docs)


def run_with(extra):
    """Runs the command with `extra` appended: a stop, fewer runs, a short count."""
    def run(c, command, docs):
        return run_verbatim(c, command + " " + extra, docs)
    return run


def run_with_runs(c, command, docs):
    """The measuring scripts with 2 runs instead of 10 or 20."""
    command = re.sub(r"--runs \d+", "", command).strip() + " --runs 2"
    command = command.replace("/tmp/plasma-demo-before", c.older_demo)
    return run_verbatim(c, command, docs)


def run_demo_script(c, command, docs):
    """scripts/demo against the build under test; with no display it runs
    headless, stopped after 200 ms unless the command stops it."""
    return run_verbatim(c, command if has_stop(command) else command + " --close-after 200", docs)


def probe_arguments(bad):
    """A script too slow to run here, through its own argument check: a bad
    argument is one line and status 2, and names each argument the docs give."""
    def run(c, command, docs):
        script = command.split()[0]
        probe = f"{script} {bad}"
        status, output = c.run(probe)
        expect(status, output, 2)
        for word in command.split()[1:]:
            if not re.search(rf"\b{re.escape(word)}\b", output):
                raise Outcome(f"{probe} does not name {word}: {output.strip()}")
        return probe
    return run


def run_package_help(c, command, docs):
    """scripts/package builds three presets; its --help names each package."""
    status, output = c.run("scripts/package --help")
    expect(status, output)
    for word in re.findall(r"\[(\w+)\]|\b(deb|windows|web)\b", command):
        name = word[0] or word[1]
        if not re.search(rf"\b{name}\b", output):
            raise Outcome(f"scripts/package --help does not name {name}")
    return "scripts/package --help"


def presets(c, kind):
    status, output = c.run(f"{kind} --list-presets", cwd=c.source)
    return set(re.findall(r'^\s+"([^"]+)"', output, re.M))


def check_configure_preset(c, command, docs):
    """cmake --preset X: the preset's cache variables, without configuring."""
    status, output = c.run(command + " -N", cwd=c.source)
    expect(status, output)
    return command + " -N"


def check_build_preset(c, command, docs):
    """cmake --build --preset X [--target T...]: X is a build preset, and for
    the default configuration each target is one of the build's (ninja -n)."""
    words = command.split()
    name = words[words.index("--preset") + 1]
    if name not in presets(c, "cmake --build"):
        raise Outcome(f"no build preset {name}")
    targets = words[words.index("--target") + 1:] if "--target" in words else []
    if name in ("default", "demo") and targets:
        dry = f"cmake --build {shlex.quote(c.build)} --target {' '.join(targets)} -- -n"
        status, output = c.run(dry)
        expect(status, output)
        return dry
    return f"cmake --build --list-presets (has {name})"


def check_test_preset(c, command, docs):
    name = command.split()[command.split().index("--preset") + 1]
    if name not in presets(c, "ctest"):
        raise Outcome(f"no test preset {name}")
    return f"ctest --list-presets (has {name})"


def run_install(c, command, docs):
    """cmake --install into ~ (a temporary HOME); the installed program runs."""
    run_verbatim(c, command, docs)
    prefix = re.search(r"--prefix (\S+)", command).group(1).replace("~", c.home)
    status, output = c.run(f"{prefix}/bin/plasma-demo --headless --close-after 0")
    expect(status, output)
    return command


# The ARM count single-steps 33 frames under qemu (a minute a case): 3 here.
SUBSTITUTIONS = {
    "count Path/Portable 240 295 33)": "count Path/Portable 240 295 3)",
    ") / 32 ))": ") / 2 ))",
}
def run_counted(c, command, docs):
    for old, new in SUBSTITUTIONS.items():
        command = command.replace(old, new)
    status, output = c.run(command)
    expect(status, output)
    if not re.fullmatch(r"[1-9]\d*\n", output):
        raise Outcome(f"expected a count of instructions, got: {output.strip()}")
    return command


RULES = [
    (r"^(build/default/emulator/)?plasma-demo\b", run_demo),
    (r"^(build/default/tools/capture/)?plasma-capture\b", run_capture),
    (r"^build/default/bench/plasma-bench\b",
     run_with("--benchmark_filter='^Fill/240/295$' --benchmark_min_time=0.001")),
    (r"^scripts/demo\b", run_demo_script),
    (r"^scripts/test\b", probe_arguments("no-such-preset")),
    (r"^scripts/serve-web\b", probe_arguments("65536")),
    (r"^scripts/build-windows\b", probe_arguments("--no-such-option")),
    (r"^scripts/setup\b", probe_arguments("no-such-set")),
    (r"^scripts/package\b", run_package_help),
    (r"^scripts/count-instructions\b", run_with("--frames 2 --size 16x16 --case Path/Portable")),
    (r"^scripts/measure-(latency|startup)\b", run_with_runs),
    (r"^scripts/measure-cpu\b", run_with("--seconds 0.2")),
    (r"^scripts/record-window\b", run_with("--frames 3")),
    (r"^cmake --preset \S+$", check_configure_preset),
    (r"^cmake --build --preset \S+", check_build_preset),
    (r"^ctest --preset \S+$", check_test_preset),
    (r"^cmake --install \S+", run_install),
    (r"^arm-linux-gnueabi-g\+\+ .* -o plasma-count-arm$", run_verbatim),
    (r"^python3 -c ", run_verbatim),
    (r"^echo \$\(\( \(\$\(count ", run_counted),
]

def check_key_stop(output, docs):
    """A key is three messages, each handled after the loop's 40 ms wait: the
    drawing stops after the first, the program after the third."""
    lines = [line.split(" ", 2) for line in output.splitlines() if re.match(r"[\d.]+ \w+ ", line)]
    posted = next(float(t) for t, who, what in lines if what.startswith("post WM_KEYDOWN"))
    taken = [re.search(r"= \d+ (WM_\w+)", what).group(1) for t, who, what in lines
             if who == "main" and what.startswith("GetMessageW(")]
    stopped = next(float(t) for t, who, what in lines if what.startswith("TerminateThread("))
    ended = next(float(t) for t, who, what in lines if what.startswith("WinMain returned"))
    if taken[-4:] != ["WM_KEYDOWN", "WM_CHAR", "WM_KEYUP", "WM_QUIT"]:
        raise Outcome(f"messages taken: {taken}")
    if stopped - posted < 40 or ended - posted < 120:
        raise Outcome(f"drawing stopped {stopped - posted:.1f} ms and the program "
                      f"{ended - posted:.1f} ms after the key; the README says 40 and 120")


def check_pace_summary(output, docs):
    summary = [line for line in output.splitlines() if " device summary " in line]
    if not summary or "pace=60/s" not in summary[-1]:
        raise Outcome(f"no summary line with pace=60/s: {summary}")


def check_distinct_rows(output, docs):
    """The figure docs/performance.md states is the one its command prints."""
    stated = re.search(r"a frame has (\d+) to (\d+) distinct rows, ([\d.]+) on average",
                       docs.get("docs/performance.md", ""))
    if stated is None:
        raise Outcome("docs/performance.md no longer states the distinct rows")
    if output.split() != list(stated.groups()):
        raise Outcome(f"prints {output.strip()}, the document says {' '.join(stated.groups())}")


OUTPUT_CHECKS = [
    ("--key-after 100 --trace -", check_key_stop),
    ("--close-after 2000 --trace -", check_pace_summary),
    ("import glob, statistics", check_distinct_rows),
]


def check_synopsis(c, docs):
    """The README's synopsis of plasma-demo names the options --help lists."""
    readme = docs.get("README.md", "")
    block = re.search(r"^```\n(plasma-demo \[.*?)^```", readme, re.S | re.M)
    if block is None:
        return []
    shown = set(re.findall(r"--[a-z][a-z-]*", block.group(1)))
    status, output = c.run("build/default/emulator/plasma-demo --help")
    listed = set(re.findall(r"^\s*(?:-\w,)?(--[a-z][a-z-]*)", output, re.M))
    if shown != listed:
        return [f"README's synopsis of plasma-demo: shows {sorted(shown - listed)} "
                f"that --help does not list, leaves out {sorted(listed - shown)}"]
    return []


def run_unit(c, docs, unit):
    """Runs one fenced block's commands in order (or one inline command):
    [(line to print, failure or None)]."""
    results = []
    for path, command, prelude in unit:
        where = f"{path}: {command}"
        if command in NOT_RUN:
            results.append((f"not run  {where}  ({NOT_RUN[command]})", None))
            continue
        rule = next((r for r in RULES if re.search(r[0], command)), None)
        if rule is None:
            results.append((f"failed   {where}  (below)", f"{where}: no rule runs it (add one, or a NOT_RUN line)"))
            continue
        started = time.monotonic()
        try:
            ran = rule[1](c, "; ".join(prelude + [command]), docs)
            took = f"{time.monotonic() - started:.1f} s"
            results.append((f"ok       {where}  ({took}" +
                            (")" if ran.endswith(command) else f", as: {ran})"), None))
        except Outcome as failure:
            results.append((f"failed   {where}  (below)", f"{where}: {failure}"))
        except subprocess.TimeoutExpired:
            results.append((f"failed   {where}  (below)", f"{where}: still running after its time limit"))
    return results


def main():
    parser = argparse.ArgumentParser(description="Runs every command the docs show.")
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("docs", nargs="*")
    args = parser.parse_args()
    source, build = os.path.realpath(args.source), os.path.realpath(args.build)
    default_set = not args.docs
    paths = args.docs or ["README.md"] + sorted(
        os.path.relpath(p, source) for p in glob.glob(os.path.join(source, "docs", "*.md")))
    docs = {p: open(os.path.join(source, p), encoding="utf-8").read() for p in paths}

    # A fenced block's lines run in order; blocks and inline commands, which
    # share nothing but out/ (written by rename), run side by side, since most
    # of their time is waiting.
    units = {}
    for path in paths:
        for number, (command, block, prelude) in enumerate(commands_in(os.path.join(source, path))):
            key = (path, block) if block is not None else (path, "inline", number)
            units.setdefault(key, []).append((path, command, prelude))
    seen = {command for unit in units.values() for _, command, _ in unit}

    failures = []
    with tempfile.TemporaryDirectory(prefix="doc-commands.") as work:
        c = Checkout(source, build, work)
        try:
            failures += check_synopsis(c, docs)
            with concurrent.futures.ThreadPoolExecutor(max_workers=3) as pool:
                done = list(pool.map(lambda unit: run_unit(c, docs, unit), units.values()))
        finally:
            c.close()
    for line, failure in (result for results in done for result in results):
        print(line)
        if failure:
            failures.append(failure)
    if default_set:
        failures += [f"NOT_RUN names {command!r}, which no document shows: strike it"
                     for command in NOT_RUN if command not in seen]
    for failure in failures:
        print(f"FAILED   {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
