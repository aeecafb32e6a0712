#!/usr/bin/env python3
"""Runs the programs of a Markdown page and checks what they print.

Each ```zu block is a whole program; the ```output block right after it is
its exact standard output.  Every program runs with `zul -b` in a scratch
folder of its own, so programs that write files do not meet.
    check_examples.py ZUL PAGE.md SCRATCH_DIR"""
import os
import re
import shutil
import subprocess
import sys

zul, page, scratch = sys.argv[1:4]
text = open(page, encoding="utf-8").read()
pairs = re.findall(r"```zu\n(.*?)```\s*```output\n(.*?)```", text, re.S)
lone = len(re.findall(r"```zu\n", text)) - len(pairs)
failed = 0
for n, (program, expected) in enumerate(pairs, 1):
    folder = os.path.join(scratch, f"example_{n}")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(os.path.join(folder, "example.zu"), "w", encoding="utf-8") as f:
        f.write(program)
    env = dict(os.environ)
    env.pop("ZU3PATH", None)
    run = subprocess.run([zul, "-b", "example.zu"], cwd=folder, capture_output=True,
                         text=True, timeout=60, env=env)
    if run.stdout.rstrip("\n") != expected.rstrip("\n") or run.returncode != 0:
        failed += 1
        first = program.strip().splitlines()[0:3]
        print(f"example {n} ({' / '.join(first)}): exit {run.returncode}")
        print("--- expected\n" + expected + "--- printed\n" + run.stdout + run.stderr)
if lone:
    failed += lone
    print(f"{lone} program(s) without an output block after them")
print(f"{len(pairs) - failed + lone} passed, {failed} failed")
sys.exit(1 if failed else 0)
