#!/usr/bin/env python3
"""The inspector on the demo game folder: every scenario's particulars
against what the folder's generator wrote, the catalogue, the table, the
level switch and the errors.

    info_test.py [--runner WINE_RUN] KOLTSSEL_INFO DEMO_GAME EXPECTED_JSONL
"""
import argparse
import csv
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--runner")
    p.add_argument("exe")
    p.add_argument("game")
    p.add_argument("expected")
    a = p.parse_args()
    windows = a.runner is not None

    def native(path):  # a folder as the program sees it
        return "Z:" + os.path.abspath(path).replace("/", "\\") if windows else path

    def run(*args):
        cmd = ([a.runner] if windows else []) + [a.exe] + list(args)
        r = subprocess.run(cmd, capture_output=True, timeout=120)
        return r.returncode, r.stdout.decode("utf-8"), r.stderr.decode("utf-8", "replace")

    expected = [json.loads(line) for line in open(a.expected, encoding="utf-8")]
    game = native(a.game)

    # list: every port with scenario files, each file once; no sd2 where sd3 exist.
    rc, out, err = run("list", "--game", game)
    check(rc == 0, f"list exits 0 ({rc}: {err})")
    listed, port = set(), None
    for line in out.splitlines():
        if line.startswith("    "):
            listed.add((port, line.strip()))
        elif line.strip():
            port = line
    check(listed == {(e["portName"], e["path"].rsplit("\\", 1)[1]) for e in expected},
          f"list names exactly the demo's scenarios: {sorted(listed)}")
    check("Tsubaki\n" not in out and "readme" not in out, "ports without a scenario folder and files are left out")

    # show --json: every field of every scenario, in one run.
    paths = [e["path"] for e in expected]
    rc, out, err = run("show", "--game", game, "--json", *paths)
    check(rc == 0, f"show exits 0 ({rc}: {err})")
    shown = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
    check(len(shown) == len(expected), f"one object per path ({len(shown)})")
    keys = ["path", "portName", "scenarioArguments", "stageName", "startTime", "bandHours", "timeBandText",
            "bandMinutes", "clearScore", "programName", "windText", "controlledFlights", "highScore", "commandLine",
            "difficultyStars", "modeText", "succeeded", "statusText"]
    for s, e in zip(shown, expected):
        check(list(s.keys()) == keys, f"{e['path']}: keys in order")
        for k, v in e.items():
            if not k.startswith("_"):
                check(s.get(k) == v, f"{e['path']}: {k} is {s.get(k)!r}, expected {v!r}")
        check((s.get("statusText") == "") == e["succeeded"], f"{e['path']}: status text only after a failure")
        if not e["succeeded"]:
            check(s["statusText"].startswith("stage\\"), f"{e['path']}: status names the stage ini")

    # show as text: the form's boxes.
    first = expected[0]
    rc, out, err = run("show", "--game", game, first["path"])
    check(rc == 0 and "クリアスコア：" in out and str(first["clearScore"]) in out, "show prints the form")
    check(first["commandLine"] in out and first["windText"].split("\r\n")[1].rstrip() in out, "show prints every box")

    # table --csv: one row per scenario.
    rc, out, err = run("table", "--game", game, "--csv")
    check(rc == 0, f"table exits 0 ({rc}: {err})")
    rows = list(csv.reader(io.StringIO(out)))
    check(rows[0] == ["port", "file", "stage", "timeBand", "flights", "stars", "clearScore", "highScore"], "csv header")
    by_path = {"port\\" + r[0] + "\\scenario\\" + r[1]: r for r in rows[1:]}
    check(len(rows) - 1 == len(expected), "a row per scenario")
    for e in expected:
        r = by_path.get(e["path"])
        check(r == [e["portName"], e["path"].rsplit("\\", 1)[1], e["stageName"], e["timeBandText"],
                    str(e["controlledFlights"]), str(len(e["difficultyStars"])), str(e["clearScore"]),
                    str(e["highScore"])], f"table row of {e['path']}: {r}")
    rc, out, err = run("table", "--game", game)
    check(rc == 0 and len(out.splitlines()) == len(expected) + 1, "text table")

    with tempfile.TemporaryDirectory() as tmp:
        # The level comes from config.ini: the expert clear scores.
        copy = os.path.join(tmp, "game")
        shutil.copytree(a.game, copy)
        with open(os.path.join(copy, "config.ini"), "wb") as f:
            f.write(b"[Game]\r\nlevel=1\r\n")
        rc, out, err = run("show", "--game", native(copy), "--json", *paths)
        shown = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
        check([s["clearScore"] for s in shown] == [e["_expertClearScore"] for e in expected], "expert clear scores")
        check(all(s["modeText"] == "Expert Mode" for s in shown), "expert mode text")
        # Without config.ini: a warning, and the normal level.
        os.remove(os.path.join(copy, "config.ini"))
        rc, out, err = run("show", "--game", native(copy), "--json", paths[0])
        check(rc == 0 and '"Normal Mode"' in out, "no config.ini: normal mode")
        check("config.ini" in err or windows, f"no config.ini: a warning ({err!r})")
        # A path that is not there: the empty form and an error exit.
        rc, out, err = run("show", "--game", native(copy), "--json", "port\\Kirishima\\scenario\\none.sd3")
        check(rc == 1 and '"succeeded":false' in out, f"missing scenario: exit 1 and the failure values ({rc})")
        # No port folder, no game folder, bad arguments.
        os.mkdir(os.path.join(tmp, "empty"))
        rc, out, err = run("list", "--game", native(os.path.join(tmp, "empty")))
        check(rc == 1, f"missing port folder: exit 1 ({rc})")
        rc, out, err = run("table", "--game", native(os.path.join(tmp, "nowhere")))
        check(rc == 1, f"missing game folder: exit 1 ({rc})")
        rc, out, err = run("frobnicate")
        check(rc == 2, f"unknown command: exit 2 ({rc})")
        rc, out, err = run("show", "--game", game)
        check(rc == 2, f"show without a path: exit 2 ({rc})")

    if failures:
        sys.exit(f"{len(failures)} check(s) failed")
    print("all inspector checks passed")


if __name__ == "__main__":
    main()
