#!/usr/bin/env python3
"""Counts the requests each program made to the Wine server, from a server log
(wineserver -d1), for the counted start-up benchmark (tools/bench-startup.sh
--requests).

  count-requests.py LOG NAME=IMAGE... [--top N]

Every process whose image path ends with IMAGE (matched without regard to case,
after a backslash: "bench-startup\\koltSSel.exe") is a run of NAME. A run
counts the requests of its threads from its first until it ends, except a run
during which startup_timer --select marked a selection (an event opened by the
name KoltBenchSelectionBegin, then KoltBenchSelectionEnd): that one counts only
the requests between the two marks, as NAME's selection. Of several runs the
one with the median total is shown, by kind of request and by the class of the
window a request names. The first NAME is the baseline of the ratios.
"""
import re
import sys
from collections import Counter

# A request "0024: name( fields )", its reply "0024: name() = STATUS { fields }".
LINE = re.compile(r"^([0-9a-f]{4,8}): (\w+)\((\) = )?(.*)$")
FIELD = re.compile(r"(\w+)=([0-9a-f]{8})\b")
STRING = r'"((?:[^"\\]|\\.)*)"'
# Fields of a request that name a window, in the order they are looked for.
WINDOW_FIELDS = ("handle", "window", "win", "hwnd", "top_win", "parent", "owner", "previous")
ATOM_CLASSES = {"8000": "#32768", "8001": "#32769", "8002": "#32770", "8003": "#32771", "8004": "#32772"}
BEGIN, END = 'L"KoltBenchSelectionBegin"', 'L"KoltBenchSelectionEnd"'


def field(text, name):
    m = re.search(r"\b" + name + r"=([0-9a-f]+)\b", text)
    return m.group(1) if m else None


def string_field(text, name):
    m = re.search(r"\b" + name + "=L" + STRING, text)
    return m.group(1).replace("\\\\", "\\") if m else None


class Run:
    """One process of a program: its requests as (log position, kind, window class)."""

    def __init__(self, name):
        self.name = name
        self.requests = []
        self.windows = Counter()  # the windows it made, by class
        self.marks = []  # log positions of the selection's marks

    def part(self):
        """The selection's requests if it marked one, else all of them."""
        if len(self.marks) < 2:
            return self.requests
        return [r for r in self.requests if self.marks[0] < r[0] < self.marks[1]]

    def total(self):
        return len(self.part())


def parse(lines, programs):
    thread_pid, pid_run, pending = {}, {}, {}
    window_class, atom_name = {}, dict(ATOM_CLASSES)
    runs, marks = [], []
    for pos, line in enumerate(lines):
        m = LINE.match(line)
        if not m:
            continue
        tid, kind, reply, rest = m.groups()
        if kind == "init_first_thread" and not reply:
            thread_pid.pop(tid, None)  # a new process's thread, maybe with a dead one's id
        run = pid_run.get(thread_pid.get(tid))
        if not reply:
            pending[tid] = (pos, rest)
            if BEGIN in rest or END in rest:
                marks.append(pos)
            if run:
                fields = dict(FIELD.findall(rest)) if kind != "create_window" else {}
                cls = next((window_class[fields[f]] for f in WINDOW_FIELDS if fields.get(f) in window_class), None)
                run.requests.append([pos, kind, cls or "(no window)"])
            continue
        asked, request = pending.pop(tid, (pos, ""))
        if kind == "new_process":
            image = (string_field(request, "imagepath") or string_field(request, "image") or "").lower()
            name = next((n for n, suffix in programs if image.endswith("\\" + suffix.lower())), None)
            if name and field(rest, "pid"):
                pid_run[field(rest, "pid")] = Run(name)
                runs.append(pid_run[field(rest, "pid")])
        elif kind == "new_thread" and field(rest, "tid"):
            thread_pid[field(rest, "tid")] = thread_pid.get(tid)
        elif kind == "init_first_thread" and field(rest, "pid"):
            thread_pid[tid] = field(rest, "pid")
            if thread_pid[tid] in pid_run:  # the run's first request
                pid_run[thread_pid[tid]].requests.append([asked, kind, "(no window)"])
        elif kind == "create_class" and string_field(request, "name"):
            atom_name.setdefault(field(rest, "atom"), string_field(request, "name"))
        elif kind == "create_window" and field(rest, "handle"):
            atom = field(request, "atom")
            cls = string_field(request, "class") or atom_name.get(atom) or f"#{atom}"
            window_class[field(rest, "handle")] = cls
            if run:
                run.windows[cls] += 1
                run.requests[-1][2] = cls  # its create_window request, the thread's last
    for pos in marks:  # a mark belongs to the run it falls in (the programs run one at a time)
        for r in runs:
            if r.requests and r.requests[0][0] < pos < r.requests[-1][0]:
                r.marks.append(pos)
    return runs


def median(runs):
    """The run with the median total, and the sorted totals."""
    totals = sorted(r.total() for r in runs)
    middle = totals[(len(totals) - 1) // 2]
    return next(r for r in runs if r.total() == middle), totals


def table(title, columns, top, label=str):
    """Rows by key, most first; a column per (name, Counter)."""
    keys = sorted({k for _, c in columns for k in c}, key=lambda k: (-max(c[k] for _, c in columns), k))
    print(f"\n{title}")
    print(f"  {'':44}" + "".join(f"{n:>14}" for n, _ in columns))
    for k in keys[:top]:
        print(f"  {label(k):44}" + "".join(f"{c[k]:>14}" for _, c in columns))
    if len(keys) > top:
        rest = [sum(c[k] for k in keys[top:]) for _, c in columns]
        print(f"  {f'({len(keys) - top} more)':44}" + "".join(f"{n:>14}" for n in rest))


def by(requests, index):
    return Counter(r[index] for r in requests)


def main(argv):
    top = 20
    if "--top" in argv:
        i = argv.index("--top")
        top = int(argv[i + 1])
        del argv[i : i + 2]
    if len(argv) < 3 or not all("=" in a for a in argv[2:]):
        sys.exit(__doc__)
    programs = [tuple(a.split("=", 1)) for a in argv[2:]]
    with open(argv[1], encoding="utf-8", errors="replace") as log:
        runs = parse(log.read().splitlines(), programs)
    starts, selections = [], []
    for name, _ in programs:
        mine = [r for r in runs if r.name == name and not r.marks]
        if not mine:
            sys.exit(f"no run of {name} in {argv[1]}")
        starts.append((name, *median(mine)))
        chosen = [r for r in runs if r.name == name and len(r.marks) == 2]
        if chosen:
            selections.append((name, *median(chosen)))
    base_name, base, _ = starts[0]
    print(f"requests to the Wine server, from process start until it ends (the median run of {len(starts[0][2])})")
    for name, run, totals in starts:
        ratio = f"   / {base_name}: {run.total() / base.total():.3f}" if run is not base else ""
        print(f"  {name:24}{run.total():>8}{ratio}   (runs: {' '.join(map(str, totals))})")
    table("by kind of request", [(n, by(r.requests, 1)) for n, r, _ in starts], top)
    windows = Counter()
    for _, run, _ in starts:
        windows |= run.windows  # the most of each class one program made
    table(
        "by class of the window named (in brackets, how many windows of it a program made)",
        [(n, by(r.requests, 2)) for n, r, _ in starts],
        top,
        lambda k: f"{k} ({windows[k]})" if k in windows else k,
    )
    for name, run, totals in selections:
        print(f"\n{name}, one selection in the tree: {run.total()} requests   (runs: {' '.join(map(str, totals))})")
        columns = [(name, by(run.part(), 1))]
        table("  by kind of request", columns, top)
        table("  by class of the window named", [(name, by(run.part(), 2))], top)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
