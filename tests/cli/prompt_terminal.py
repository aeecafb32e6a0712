#!/usr/bin/env python3
"""The interactive prompt at a real terminal (a pseudo-terminal): history
kept across two sessions, Tab completion, an expression echoed, a function
typed over three lines and called, Ctrl-C stopping an endless loop with
the workspace kept, `?olsc` showing the function's reference entry, and
Ctrl-C while the editor waits dropping the line typed so far.
    prompt_terminal.py ZUL SCRATCH_DIR"""
import os
import pty
import select
import sys
import time

zul, scratch = sys.argv[1], sys.argv[2]
os.makedirs(scratch, exist_ok=True)
history = os.path.join(scratch, ".zu_history")
if os.path.exists(history):
    os.remove(history)
failures = []


class Session:
    def __init__(self):
        env = dict(os.environ, HOME=scratch, TERM="xterm")
        env.pop("ZU3PATH", None)
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execve(zul, [zul, "-b"], env)
        self.expect("(zu)")

    def read_until(self, text, timeout=10.0):
        out, end = b"", time.time() + timeout
        while time.time() < end and text.encode() not in out:
            ready, _, _ = select.select([self.fd], [], [], 0.05)
            if ready:
                try:
                    out += os.read(self.fd, 4096)
                except OSError:
                    break
        return out.decode(errors="replace")

    def expect(self, text, what=None):
        seen = self.read_until(text)
        if text not in seen:
            failures.append(f"{what or text!r}: expected {text!r}, saw {seen!r}")
        return seen

    def type(self, keys, until="(zu)", what=None):
        os.write(self.fd, keys.encode())
        return self.expect(until, what)

    def close(self):
        os.write(self.fd, b"#quit\n")
        self.read_until("\0", timeout=2)
        _, status = os.waitpid(self.pid, 0)
        if status != 0:
            failures.append(f"zul ended with status {status}")


s = Session()
s.type("x = <1, 2; 3, 4>\n", "3.0000       4.0000", "an expression echoed")
s.type("twice(a) {\n", "....", "an open brace asks for more")
s.type("return 2 * a;\n", "....")
s.type("}\n")
s.type("twi\t", "ce", "Tab completes a function typed at the prompt")
s.type("(x)\n", "6.0000       8.0000", "the function called")
s.type("sumsq\t", "r", "Tab completes a library function as far as it is one")
s.type("c(x)\n", "10.000       20.000", "the completed name called")
s.type("i = 0;\n")
s.type("while (1) { i = i + 1; }\n", "while")
time.sleep(0.5)
s.type("\x03", "user abort", "Ctrl-C stops the loop")
s.type("i > 0\n", "1", "the workspace is kept")
s.type("?olsc\n", "print(b);", "?olsc shows its reference entry, to its example")
s.type("x[1][1]\n", "4", "the session goes on")
for attempt in range(3):
    s.type("never = 1", "never = 1")
    s.type("\x03", "(zu)", "Ctrl-C at the prompt asks again")
    s.type("never\n", "undeclared", "the interrupted line was dropped")
s.close()

s = Session()
s.type("\x1b[A", "#quit", "the last line of the first session comes back")
# The editor redraws only what changed, so the recalled line is judged by
# running it: "never" was never declared in this session.
s.type("\x1b[A", "ever", "and the one before it")
s.type("\n", "undeclared", "the recalled line runs")
s.type("#quit\n", "")
os.waitpid(s.pid, 0)

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("prompt_terminal: 1 passed, 0 failed")
