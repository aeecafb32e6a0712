#!/usr/bin/env python3
"""The function reference, written from the reference blocks of lib/**/*.cpp.

A block is a run of lines that start with "/// " right above a routine (or
near a registration): the signature, prose, an optional "Family: NAME" line
and "Example:" followed by the example, indented by four spaces
("Example (ends in a run-time error):" for one that shows a failure: its
run must end with exit status 1 and print the error).  A file's
"/// @family NAME" line gives the family of its blocks.

    reference.py --write --zul ZUL --functions LISTER [--scratch DIR]
    reference.py --check --zul ZUL --functions LISTER [--scratch DIR]

--write runs every example through ZUL and writes docs/reference/ (index.md
and one page per family), the entry file that `?name` reads
(lib/stdlib/headers/zu_reference.txt) and the argument names of the header
declarations.  --check does the same in memory and fails, naming what, when
anything on disk differs, an example fails, or the documented names and the
names that LISTER prints (the registered functions) disagree.  Names in
tools/reference_pending.txt are registered functions still without a block.
"""
import argparse
import concurrent.futures
import difflib
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DOCS = os.path.join(ROOT, "docs", "reference")
ENTRY_FILE = os.path.join(ROOT, "lib", "stdlib", "headers", "zu_reference.txt")
PENDING = os.path.join(ROOT, "tools", "reference_pending.txt")
HEADER_DIRS = [os.path.join(ROOT, "lib", d, "headers") for d in ("stdlib", "draw", "gauss")]
EXAMPLE_SECONDS = 30
# An example's output is for reading: a longer one is a mistake.
MAX_OUTPUT = 20000

NAME_RE = re.compile(r"^((?:gauss::)?[A-Za-z_][A-Za-z_0-9]*)\((.*)\)$")
DECLARATION_RE = re.compile(r"^([A-Za-z_][A-Za-z_0-9]*)\(([^()]*)\);(\s*//.*)?$")


class Entry:
    """One documented function."""

    def __init__(self, name, signature, prose, example, family, where):
        self.name = name
        self.signature = signature
        self.prose = prose  # lines; "" separates paragraphs
        self.example = example  # lines, without the four spaces
        self.family = family
        self.where = where  # "file:line" of the signature
        self.output = ""
        self.ends_in_error = False

    def header_arguments(self):
        """The declaration's arguments: the required ones, then "..." when
        optional ones or a variable tail follow."""
        required, more = split_arguments(self.signature)
        return [a.lstrip("&") for a in required] + (["..."] if more else [])


def split_arguments(signature):
    """The required argument names of a signature (with their "&") and
    whether optional ones or "..." follow."""
    inside = NAME_RE.match(signature).group(2)
    head = inside
    more = False
    for mark in ("[", "..."):
        at = head.find(mark)
        if at >= 0:
            head = head[:at]
            more = True
    names = [a.strip() for a in head.split(",") if a.strip()]
    return names, more


def slug(text):
    return re.sub(r"[^a-z0-9]+", "-", text.lower()).strip("-")


def anchor(name):
    return slug(name.replace("::", "-"))


# ---------------------------------------------------------------------
# Reading the blocks


def source_files():
    for folder, dirs, files in os.walk(os.path.join(ROOT, "lib")):
        dirs.sort()
        for f in sorted(files):
            if f.endswith(".cpp"):
                yield os.path.join(folder, f)


def read_blocks(problems, files=None):
    entries = []
    for path in files if files is not None else source_files():
        rel = os.path.relpath(path, ROOT)
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        family = None
        runs, current = [], []
        for number, line in enumerate(lines, 1):
            text = line.strip()
            if text == "///" or text.startswith("/// "):
                current.append((number, text[4:]))
                continue
            if current:
                runs.append(current)
                current = []
        if current:
            runs.append(current)
        blocks = []
        for run in runs:
            # The file's family line may stand alone or head a block.
            for number, text in run:
                if text.startswith("@family "):
                    if family is not None:
                        problems.append(f"{rel}:{number}: a second @family line")
                    family = text[len("@family "):].strip()
            rest = [line for line in run if not line[1].startswith("@family ")]
            if rest:
                blocks.append(rest)
        for block in blocks:
            entry = parse_block(block, family, rel, problems)
            if entry:
                entries.append(entry)
    return entries


def parse_block(block, family, rel, problems):
    number, signature = block[0]
    where = f"{rel}:{number}"
    match = NAME_RE.match(signature.strip())
    if not match:
        problems.append(f"{where}: the first line is not a signature: {signature!r}")
        return None
    prose, example, in_example, ends_in_error = [], [], False, False
    for n, text in block[1:]:
        if in_example:
            if text and not text.startswith("    "):
                problems.append(f"{rel}:{n}: example lines are indented by four spaces")
            example.append(text[4:])
        elif text.startswith("Family: "):
            family = text[len("Family: "):].strip()
        elif text in ("Example:", "Example (ends in a run-time error):"):
            in_example = True
            ends_in_error = text != "Example:"
        else:
            prose.append(text)
    while example and not example[-1].strip():
        example.pop()
    while prose and not prose[-1].strip():
        prose.pop()
    if not family:
        problems.append(f"{where}: no family (a @family line or a Family: line)")
        return None
    if not prose:
        problems.append(f"{where}: {match.group(1)} has no prose")
    if not example:
        problems.append(f"{where}: {match.group(1)} has no example")
    entry = Entry(match.group(1), signature.strip(), prose, example, family, where)
    entry.ends_in_error = ends_in_error
    return entry


# ---------------------------------------------------------------------
# Running the examples


def example_program(entry):
    if entry.name.startswith("gauss::"):
        return "example.gss", "\n".join(entry.example) + "\n"
    body = "".join(f"    {line}\n" if line else "\n" for line in entry.example)
    return "example.zu", f"#include <zustd.h>\n\nmain()\n{{\n{body}}}\n"


def run_example(zul, scratch, entry):
    """Runs one example in a folder of its own; the output, or an error."""
    folder = os.path.join(scratch, anchor(entry.name))
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    file_name, program = example_program(entry)
    with open(os.path.join(folder, file_name), "w", encoding="utf-8") as f:
        f.write(program)
    command = [zul, "-b"] + (["-g"] if file_name.endswith(".gss") else []) + [file_name]
    # Local times print the same everywhere.
    env = dict(os.environ, TZ="UTC")
    env.pop("ZU3PATH", None)
    try:
        run = subprocess.run(command, cwd=folder, capture_output=True, timeout=EXAMPLE_SECONDS,
                             env=env, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return None, f"the example of {entry.name} ran longer than {EXAMPLE_SECONDS} s"
    out = run.stdout.decode("utf-8", errors="replace")
    expected_status = 1 if entry.ends_in_error else 0
    if entry.ends_in_error and run.returncode == 1 and "Runtime error" not in out:
        return None, f"the example of {entry.name} ({entry.where}) should end in a run-time error"
    if run.returncode != expected_status:
        err = run.stderr.decode("utf-8", errors="replace")
        return None, (f"the example of {entry.name} ({entry.where}) failed, exit "
                      f"{run.returncode}:\n{out}{err}")
    if not out.strip():
        return None, f"the example of {entry.name} ({entry.where}) prints nothing"
    if len(out) > MAX_OUTPUT:
        return None, f"the example of {entry.name} prints {len(out)} characters"
    return out, None


def run_examples(zul, scratch, entries, problems):
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        results = list(pool.map(lambda e: run_example(zul, scratch, e), entries))
    for entry, (out, error) in zip(entries, results):
        if error:
            problems.append(error)
        else:
            entry.output = out


# ---------------------------------------------------------------------
# Writing the pages


def family_file(family):
    return slug(family) + ".md"


def entry_section(entry):
    prose = "\n".join(entry.prose)
    code = "\n".join(entry.example)
    language = "gauss" if entry.name.startswith("gauss::") else "zu"
    output = entry.output.rstrip("\n")
    return (f'<a id="{anchor(entry.name)}"></a>\n\n## {entry.name}\n\n'
            f"```\n{entry.signature}\n```\n\n{prose}\n\nExample:\n\n```{language}\n{code}\n```\n\n"
            f"Output:\n\n```\n{output}\n```\n\n")


def first_sentence(entry):
    text = " ".join(line for line in entry.prose if line).strip()
    # A full stop ends the sentence; the dots of "..." do not.
    end = re.search(r"(?<!\.)\.(?!\.)(\s|$)", text)
    return text[: end.start() + 1] if end else text


def pages(entries):
    """The files of docs/reference by name, and their sections by entry."""
    families = {}
    for entry in entries:
        families.setdefault(entry.family, []).append(entry)
    result = {}
    index = ["# Function reference\n",
             "Every library function, with the page of its family.  Written by",
             "tools/reference.py from the comments above the library's routines.\n"]
    index.append("Families: " + ", ".join(
        f"[{f}]({family_file(f)})" for f in sorted(families)) + ".\n")
    for entry in sorted(entries, key=lambda e: e.name.lower()):
        index.append(f"- [`{entry.name}`]({family_file(entry.family)}#{anchor(entry.name)}): "
                     f"{first_sentence(entry)}")
    result["index.md"] = "\n".join(index) + "\n"
    for family, members in families.items():
        members.sort(key=lambda e: e.name.lower())
        text = f"# {family}\n\n[All functions](index.md)\n\n"
        text += "".join(entry_section(e) for e in members)
        result[family_file(family)] = text.rstrip("\n") + "\n"
    return result


def entry_file(entries):
    lines = ["# The function reference that ?name shows at the prompt: one entry",
             "# from each line \"@@ name\" to the next.  Written by tools/reference.py."]
    for entry in sorted(entries, key=lambda e: e.name):
        lines.append(f"@@ {entry.name}")
        lines.append(entry.signature)
        lines.extend(entry.prose)
        lines.append("Example:")
        lines.extend(f"    {line}" if line else "" for line in entry.example)
    return "\n".join(lines) + "\n"


# ---------------------------------------------------------------------
# Header declarations


def header_files():
    for folder in HEADER_DIRS:
        if os.path.isdir(folder):
            for f in sorted(os.listdir(folder)):
                if f.endswith(".h"):
                    yield os.path.join(folder, f)


def rewritten_header(path, by_name, problems):
    """The header with each documented function's arguments taken from its
    signature; a problem for each declaration that differs."""
    rel = os.path.relpath(path, ROOT)
    with open(path, encoding="utf-8") as f:
        old = f.read().split("\n")
    new = []
    for number, line in enumerate(old, 1):
        match = DECLARATION_RE.match(line)
        entry = by_name.get(match.group(1)) if match else None
        if entry:
            arguments = ", ".join(entry.header_arguments())
            line = f"{match.group(1)}({arguments});{match.group(3) or ''}"
            if line != old[number - 1]:
                problems.append(f"{rel}:{number}: {old[number - 1]!r} should be {line!r}")
        new.append(line)
    return "\n".join(new)


# ---------------------------------------------------------------------
# The checks of names and counts


def registered_functions(lister):
    run = subprocess.run([lister], capture_output=True, text=True, check=True, timeout=60)
    functions = {}
    for line in run.stdout.splitlines():
        name, count = line.rsplit(" ", 1)
        functions[name] = int(count)
    return functions


def read_pending():
    if not os.path.exists(PENDING):
        return []
    with open(PENDING, encoding="utf-8") as f:
        return [l.strip() for l in f if l.strip() and not l.startswith("#")]


def check_names(entries, registered, pending, problems):
    documented = {}
    for entry in entries:
        if entry.name in documented:
            problems.append(f"{entry.where}: a second block for {entry.name} "
                            f"(the first at {documented[entry.name].where})")
        documented[entry.name] = entry
    for name in sorted(registered):
        if name not in documented and name not in pending:
            problems.append(f"{name} is registered but has no reference block")
    for name, entry in sorted(documented.items()):
        if name not in registered:
            problems.append(f"{entry.where}: {name} has a block but is not registered")
            continue
        required, more = split_arguments(entry.signature)
        count = registered[name]
        if len(required) != abs(count) or more != (count < 0):
            takes = f"{-count} or more" if count < 0 else str(count)
            problems.append(f"{entry.where}: the signature of {name} does not match the "
                            f"registration, which takes {takes} arguments")
    for name in pending:
        if name in documented:
            problems.append(f"{name} is in tools/reference_pending.txt but has a block: "
                            "remove it from the list")
        elif name not in registered:
            problems.append(f"{name} is in tools/reference_pending.txt but is not registered")
    return documented


# ---------------------------------------------------------------------


def sections(page):
    """The entries of a family page by their anchor."""
    parts = page.split('<a id="')[1:]
    return {part.split('"', 1)[0]: part for part in parts}


def stale_report(rel, old, new):
    old_sections, new_sections = sections(old), sections(new)
    changed = sorted(name for name in set(old_sections) | set(new_sections)
                     if old_sections.get(name) != new_sections.get(name))
    which = f" (entries that differ: {', '.join(changed)})" if changed else ""
    diff = difflib.unified_diff(old.split("\n"), new.split("\n"), "on disk", "generated",
                                lineterm="", n=1)
    lines = list(diff)
    shown = "\n".join(lines[:40]) + ("\n..." if len(lines) > 40 else "")
    return f"{rel} is stale{which} (tools/reference.py --write, then review):\n{shown}"


def compare_with_disk(wanted, headers):
    """What differs between the files as generated and as on disk: missing
    or stale files, and pages in docs/reference the generator does not
    write.  Headers are left out: their declarations are reported one by
    one."""
    problems = []
    folders = {os.path.dirname(p) for p in wanted if os.path.basename(p) == "index.md"}
    for folder in sorted(folders):
        for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
            path = os.path.join(folder, name)
            if path not in wanted:
                problems.append(f"{os.path.relpath(path, ROOT)} is not written by the generator")
    for path, text in sorted(wanted.items()):
        if path in headers:
            continue
        rel = os.path.relpath(path, ROOT)
        if not os.path.exists(path):
            problems.append(f"{rel} is missing (tools/reference.py --write)")
            continue
        with open(path, encoding="utf-8") as f:
            old = f.read()
        if old != text:
            problems.append(stale_report(rel, old, text))
    return problems


def main():
    parser = argparse.ArgumentParser(description="Writes or checks the function reference.")
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--write", action="store_true")
    mode.add_argument("--check", action="store_true")
    parser.add_argument("--zul", required=True, help="the zul to run the examples with")
    parser.add_argument("--functions", required=True,
                        help="the program that lists the registered functions")
    parser.add_argument("--scratch", default=None, help="folder for the examples' runs")
    options = parser.parse_args()
    scratch = options.scratch or os.path.join(ROOT, "build", "reference-examples")

    problems = []
    entries = read_blocks(problems)
    registered = registered_functions(options.functions)
    pending = read_pending()
    documented = check_names(entries, registered, pending, problems)
    print(f"registered functions: {len(registered)}, documented: {len(documented)}, "
          f"pending: {len(pending)}")
    run_examples(os.path.abspath(options.zul), scratch, list(documented.values()), problems)

    wanted = {os.path.join(DOCS, name): text for name, text in pages(list(documented.values())).items()}
    wanted[ENTRY_FILE] = entry_file(list(documented.values()))
    header_problems = []
    for path in header_files():
        wanted[path] = rewritten_header(path, documented, header_problems)

    if options.write:
        os.makedirs(DOCS, exist_ok=True)
        for name in os.listdir(DOCS):
            if os.path.join(DOCS, name) not in wanted:
                os.remove(os.path.join(DOCS, name))
        for path, text in wanted.items():
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
    else:
        problems += header_problems
        problems += compare_with_disk(wanted, set(header_files()))

    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} problem(s)")
        return 1
    if pending:
        print(f"{len(pending)} registered function(s) still without a block")
    return 0


if __name__ == "__main__":
    sys.exit(main())
