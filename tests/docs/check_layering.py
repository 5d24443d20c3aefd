#!/usr/bin/env python3
"""Checks the folders' layering that the compiler alone does not enforce.

  include-paths ROOT COMPILE_COMMANDS...
      no source of a host folder (HOSTS) is compiled with program/, or a
      folder inside it, on its include path
  includes ROOT
      no file of a host folder includes a header by a path through program/
      (the host folders have the project's root on their include path)
  launcher-includes ROOT [--skip DIR]...
      no file outside emulator/ (plasma-demo's launcher) and its tests
      includes a header through emulator/: what other hosts share is in host/
  sources ROOT [--skip DIR]... [--allow LISTS:SOURCE]...
      no CMakeLists.txt compiles a source outside its own folder by path
      (../x.cpp, ${PROJECT_SOURCE_DIR}/other/x.cpp); an allowance that no
      longer matches is reported, so that it is struck when the source moves

Each failure names every offender, one a line, and exits 1.
"""
import argparse
import json
import os
import re
import shlex
import sys

PROGRAM = "program"
# The folders below the program or beside it that must not see its headers.
HOSTS = ("frontends", "imaging", "device_core", "windows/gx")
INCLUDE_FLAGS = ("-I", "-isystem", "-iquote", "-idirafter")
SOURCE = re.compile(r"\.(c|cc|cpp|cxx|rc|def|s|S|asm)$")
CALL = re.compile(r"\b(add_library|add_executable|target_sources|set)\s*\(", re.IGNORECASE)
HEADER_THROUGH_PROGRAM = re.compile(r'^\s*#\s*include\s*["<]' + PROGRAM + r"/", re.MULTILINE)
LAUNCHER = "emulator"
HEADER_THROUGH_LAUNCHER = re.compile(r'^\s*#\s*include\s*["<]' + LAUNCHER + r"/", re.MULTILINE)
CODE = re.compile(r"\.(c|cc|cpp|cxx|h|hh|hpp|inc)$")
GENERATED = ("${CMAKE_CURRENT_BINARY_DIR}", "${CMAKE_BINARY_DIR}", "${PROJECT_BINARY_DIR}")


def under(path, folder):
    return path == folder or path.startswith(folder + os.sep)


def in_hosts(root, path):
    return any(under(path, os.path.join(root, host)) for host in HOSTS)


def include_dirs(entry):
    """The include directories of one compile command, made absolute."""
    words = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    found = []
    for i, word in enumerate(words):
        for flag in INCLUDE_FLAGS:
            if word == flag and i + 1 < len(words):
                found.append(words[i + 1])
            elif word.startswith(flag) and len(word) > len(flag):
                found.append(word[len(flag):])
    return [os.path.normpath(os.path.join(entry["directory"], d)) for d in found]


def check_include_paths(root, databases):
    """The offenders, and how many host sources were looked at."""
    program = os.path.join(root, PROGRAM)
    offenders, checked = set(), 0
    for database in databases:
        try:
            with open(database) as f:
                entries = json.load(f)
        except OSError:
            return ["%s is missing: configure that build first" % database], checked
        hosts = 0
        for entry in entries:
            source = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
            if not in_hosts(root, source):
                continue
            hosts += 1
            for directory in include_dirs(entry):
                if under(directory, program):
                    offenders.add("%s has %s on its include path (%s)" % (
                        os.path.relpath(source, root), os.path.relpath(directory, root), database))
        if hosts == 0:
            offenders.add("%s compiles no host source of %s: is it a build of this tree?" % (database, root))
        checked += hosts
    return sorted(offenders), checked


def check_includes(root):
    offenders = []
    for host in HOSTS:
        for folder, _, files in os.walk(os.path.join(root, host)):
            for name in files:
                path = os.path.join(folder, name)
                with open(path, errors="replace") as f:
                    if HEADER_THROUGH_PROGRAM.search(f.read()):
                        offenders.append("%s includes a header through %s/" % (os.path.relpath(path, root), PROGRAM))
    return sorted(offenders)


def check_launcher_includes(root, skipped):
    own = (os.path.join(root, LAUNCHER), os.path.join(root, "tests", LAUNCHER))
    offenders = []
    for folder, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith(".") and d != "node_modules"
                         and os.path.join(folder, d) not in skipped + own
                         and not os.path.exists(os.path.join(folder, d, "CMakeCache.txt")))
        for name in files:
            path = os.path.join(folder, name)
            if not CODE.search(name):
                continue
            with open(path, errors="replace") as f:
                if HEADER_THROUGH_LAUNCHER.search(f.read()):
                    offenders.append("%s includes a header through %s/" % (os.path.relpath(path, root), LAUNCHER))
    return sorted(offenders)


def calls(text):
    """The argument words of each call that may list sources."""
    text = re.sub(r"#[^\n]*", "", text)
    for match in CALL.finditer(text):
        depth, end = 1, match.end()
        while end < len(text) and depth:
            depth += {"(": 1, ")": -1}.get(text[end], 0)
            end += 1
        yield [w.strip('"') for w in text[match.end():end - 1].split()]


def lists_files(root, skipped):
    for folder, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith(".")
                         and os.path.join(folder, d) not in skipped
                         and not os.path.exists(os.path.join(folder, d, "CMakeCache.txt")))
        if "CMakeLists.txt" in files:
            yield os.path.join(folder, "CMakeLists.txt")


def check_sources(root, skipped, allowed):
    found = set()
    for lists in lists_files(root, skipped):
        folder = os.path.dirname(lists)
        with open(lists) as f:
            text = f.read()
        for words in calls(text):
            for word in words:
                if not SOURCE.search(word) or word.startswith(GENERATED):
                    continue
                path = word
                for variable in ("${PROJECT_SOURCE_DIR}", "${CMAKE_SOURCE_DIR}"):
                    path = path.replace(variable, root)
                for variable in ("${CMAKE_CURRENT_SOURCE_DIR}", "${CMAKE_CURRENT_LIST_DIR}"):
                    path = path.replace(variable, folder)
                path = os.path.normpath(os.path.join(folder, path))
                if not under(path, folder):
                    found.add((os.path.relpath(lists, root), os.path.relpath(path, root)))
    offenders = ["%s compiles %s, outside its folder" % pair for pair in sorted(found - allowed)]
    offenders += ["%s no longer compiles %s: strike its allowance" % pair for pair in sorted(allowed - found)]
    return offenders


def main():
    parser = argparse.ArgumentParser(description="Checks the folders' layering.")
    commands = parser.add_subparsers(dest="command", required=True)
    paths = commands.add_parser("include-paths")
    paths.add_argument("root")
    paths.add_argument("databases", nargs="+")
    includes = commands.add_parser("includes")
    includes.add_argument("root")
    launcher = commands.add_parser("launcher-includes")
    launcher.add_argument("root")
    launcher.add_argument("--skip", action="append", default=[])
    sources = commands.add_parser("sources")
    sources.add_argument("root")
    sources.add_argument("--skip", action="append", default=[])
    sources.add_argument("--allow", action="append", default=[], metavar="LISTS:SOURCE")
    options = parser.parse_args()
    root = os.path.abspath(options.root)

    if options.command == "include-paths":
        offenders, checked = check_include_paths(root, options.databases)
        passed = "none of %d host sources in %d builds has %s/ on its include path" % (
            checked, len(options.databases), PROGRAM)
    elif options.command == "includes":
        offenders = check_includes(root)
        passed = "no host file includes a header through %s/" % PROGRAM
    elif options.command == "launcher-includes":
        offenders = check_launcher_includes(root, tuple(os.path.abspath(s) for s in options.skip))
        passed = "nothing outside %s/ and its tests includes a header through it" % LAUNCHER
    else:
        allowed = {tuple(a.split(":", 1)) for a in options.allow}
        offenders = check_sources(root, {os.path.abspath(s) for s in options.skip}, allowed)
        passed = "every CMakeLists.txt compiles only its own folder's sources"
    if offenders:
        print("\n".join(offenders))
        return 1
    print(passed)
    return 0


if __name__ == "__main__":
    sys.exit(main())
