#!/usr/bin/env python3
"""Writes the demo game folder: a small, realistic installation of the game's
data files (ports, scenario files, stage inis, config.ini) for trying the
selector and for the tests. Names on disk are UTF-8; file contents are CP932
and little-endian, as the game writes them. The stand-in game programs are
built separately and copied in by tools/run-demo.sh.

    make_demo_game.py OUT_DIR [--expected FILE]

--expected writes, one JSON object per line, what every scenario must show
(computed here from what was written, not by reading it back), for the
inspector's test.
"""
import argparse
import json
import os
import shutil
import struct
import sys

MARK = ".kolt-demo-game"  # lets a rerun replace a folder this script made, and only such a folder
PROGRAM = "qmz48"


def word(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


class Wind:
    def __init__(self, time, direction, speed):
        self.time, self.direction, self.speed = time, direction, speed

    def bytes(self):
        return word(8) + word(self.time) + word(self.direction) + word(self.speed)


class Flight:
    """A flight record as the game stores it; only the marker matters to the
    selector, the body is what a real record would plausibly hold."""

    def __init__(self, callsign, kind, appear, altitude, heading, speed, route):
        self.callsign, self.kind, self.appear = callsign, kind, appear
        self.altitude, self.heading, self.speed, self.route = altitude, heading, speed, route

    def bytes(self, double):
        body = self.callsign.encode("ascii").ljust(8, b"\0") + self.kind.encode("ascii").ljust(4, b"\0")
        body += word(self.appear) + word(self.altitude) + word(self.heading) + word(self.speed)
        body += word(self.route) + word(1 if double else 0)
        if double:
            # A flight that lands and departs again: arrival part, turnaround
            # part, departure part (72, 100 and 4 bytes).
            body = body.ljust(72, b"\0")
            body += (self.callsign[:-1] + "2").encode("ascii").ljust(8, b"\0") + word(self.appear + 45)
            body += word(self.altitude // 2) + word((self.heading + 180) % 360) + word(self.route + 1)
            body = body.ljust(172, b"\0") + word(0xFFFF)
            return word(6) + body
        return word(5) + body.ljust(104, b"\0")


class Scenario:
    def __init__(self, port, file, stage, start, hours, normal, expert, winds, flights, doubles, holds,
                 program=PROGRAM, late_winds=()):
        self.port, self.file, self.stage, self.start, self.hours = port, file, stage, start, hours
        self.normal, self.expert, self.winds, self.program = normal, expert, winds, program
        self.flights, self.doubles, self.holds, self.late_winds = flights, doubles, holds, list(late_winds)

    def bytes(self):
        stage = self.stage.encode("cp932")
        assert len(stage) <= 31
        data = stage.ljust(32, b"\0")
        data += word(self.start) + word(self.hours) + word(self.normal) + word(self.expert)
        data += word(20) + word(3) + word(0x0104) + word(0)  # map, runways, format version: not read
        data += word(2) + word(301) + word(44)                # 64..75: scanned for wind, no marker
        data += self.program.encode("ascii").ljust(8, b"\0")
        assert len(data) == 84 and len(self.winds) <= 8
        for w in self.winds:
            data += w.bytes()
        data = data.ljust(224, b"\0")
        records = []
        for i, f in enumerate(self.flights):
            records.append(f.bytes(i < self.doubles))
            if i < self.holds:
                records.append(word(7) + word(90 + 10 * i))  # a holding pattern: counts as no flight
        data += b"".join(records)
        for w in self.late_winds:  # a second wind table after the flights, as longer scenarios have
            assert w.speed not in (5, 6, 7) and w.direction not in (5, 6, 7)
            data += w.bytes()
        return data

    # What the selector must make of it.
    def expected(self, high_score, command, expert=False):
        start_hour, start_minute = self.start // 100, self.start % 100
        end_hour = start_hour + self.hours
        band_minutes = self.hours * 60 - start_minute
        entries = [w for w in self.winds + self.late_winds if self.start <= w.time < end_hour * 100]
        flights = len(self.flights) + self.doubles
        assert scan_words(self.bytes(), self.start, end_hour * 100) == (
            [(w.time, w.direction, w.speed) for w in entries], flights), self.file
        text = ""
        for n, w in enumerate(entries):
            if n and n % 3 == 0:
                text += "\r\n"
            text += "%02d:%02d %03d°%02dkt → " % (w.time // 100, w.time % 100, w.direction, w.speed)
        text = text[:-2]  # the arrow and its space: three bytes in CP932
        d = flights * 10.0 / band_minutes * (1.3 if len(text.encode("cp932")) > 30 else 1.0) if band_minutes else 0
        stars = 0
        while d > 0 and stars < 100:
            stars += 1
            d -= 1.0
        name = os.path.splitext(self.file)[0] if self.file[-4:-1] == ".sd" else self.file
        return {
            "path": "port\\" + self.port + "\\scenario\\" + self.file,
            "portName": self.port,
            "scenarioArguments": self.port + " " + name,
            "stageName": self.stage,
            "startTime": self.start,
            "bandHours": self.hours,
            "timeBandText": "%02d:%02d - %02d:00" % (start_hour, start_minute, end_hour),
            "bandMinutes": band_minutes,
            "clearScore": self.expert if expert else self.normal,
            "programName": self.program,
            "windText": text,
            "controlledFlights": flights,
            "highScore": high_score,
            "commandLine": command + " " + self.port + " " + name if command is not None else "",
            "difficultyStars": "★" * stars,
            "modeText": "Expert Mode" if expert else "Normal Mode",
        }


def scan_words(data, start, end):
    """The two word-by-word scans, plainly: the expectations above are by
    construction, and this checks that no data word became a marker by accident."""
    def words_from(offset):
        return [struct.unpack_from("<I", data, o)[0] for o in range(offset, len(data) - 3, 4)]
    entries, w, i = [], words_from(64), 0
    while i < len(w):
        if w[i] == 8 and i + 3 < len(w) and start <= w[i + 1] < end:
            entries.append(tuple(w[i + 1:i + 4]))
            i += 4
        elif w[i] == 8:
            i += 2
        else:
            i += 1
    flights, f, i = 0, words_from(224), 0
    while i < len(f):
        i, flights = {5: (i + 27, flights + 1), 6: (i + 45, flights + 2), 7: (i + 2, flights)}.get(f[i], (i + 1, flights))
    return entries, flights


def traffic(prefix, count, first_time, seed):
    kinds = ["B763", "B738", "A320", "B772", "DH8D", "E170", "A359", "B789"]
    out = []
    for i in range(count):
        k = (seed * 7 + i * 3) % len(kinds)
        out.append(Flight("%s%03d" % (prefix, 100 + (seed * 37 + i * 11) % 900), kinds[k],
                          first_time + (i * 7) % 55, 3000 + ((seed + i) % 12) * 1000,
                          (i * 45 + seed * 10) % 360 + 10, 140 + (i * 13) % 120, 10 + (i + seed) % 9))
    return out


def scenarios():
    W = Wind
    return [
        Scenario("Kirishima", "k01.sd3", "Kirishima Day", 900, 2, 12000, 18500,
                 [W(830, 260, 9), W(900, 270, 10), W(930, 280, 12), W(1000, 290, 15), W(1030, 300, 8),
                  W(1130, 310, 20)], traffic("JAL", 12, 900, 1), 3, 2),
        Scenario("Kirishima", "k02.sd3", "Kirishima Night", 2100, 3, 9000, 14000,
                 [W(2100, 40, 6), W(2400, 30, 4)], traffic("ANA", 15, 2100, 2), 1, 1),
        Scenario("Kirishima", "k03.sd3", "Kirishima Night B", 2230, 3, 10500, 16000,
                 [W(2230, 20, 11), W(2300, 10, 13), W(2400, 360, 17), W(2459, 350, 21), W(2500, 340, 25)],
                 traffic("SKY", 18, 2230, 3), 4, 3),
        Scenario("Kirishima", "k04.sd3", "Kirishima Fog", 600, 2, 8000, 12000,
                 [W(600, 90, 3)], traffic("IBX", 8, 600, 4), 0, 0),
        Scenario("Minato", "m01.sd3", "Minato", 1400, 1, 20000, 31000,
                 [W(1330, 180, 14), W(1400, 190, 16), W(1430, 200, 18), W(1500, 210, 22)],
                 traffic("ADO", 20, 1400, 5), 5, 2),
        Scenario("Minato", "m02.sd3", "Minato", 1700, 2, 24000, 36000, [],
                 traffic("SNJ", 22, 1700, 6), 6, 2, late_winds=[W(1730, 150, 12), W(1830, 160, 14)]),
        Scenario("Kitaura", "u01.sd2", "Kitaura Dawn", 530, 2, 6000, 9000,
                 [W(500, 0, 2), W(530, 10, 3), W(600, 20, 4)], traffic("FDA", 6, 530, 7), 0, 1, program="qmz40"),
        Scenario("Kitaura", "u02.sd2", "Kitaura Dawn", 600, 1, 6500, 9800,
                 [W(615, 30, 9)], traffic("ORC", 7, 600, 8), 1, 0, program="qmz40"),
        Scenario("能登", "n01.sd3", "能登 朝", 700, 2, 15000, 22000,
                 [W(700, 330, 10), W(800, 320, 12)], traffic("JTA", 10, 700, 9), 2, 1),
        Scenario("能登", "n02.sd3", "能登 夜", 1900, 2, 15500, 23000,
                 [W(1800, 300, 16)], traffic("JAC", 11, 1900, 10), 2, 0),
        Scenario("能登", "時刻表.sd3", "能登 朝", 1200, 1, 17000, 25500,
                 [W(1200, 340, 9), W(1215, 350, 11), W(1230, 360, 13)], traffic("AMX", 14, 1200, 11), 3, 1),
        Scenario("Mt.Kasa", "c01.sd3", "Mt.Kasa Storm", 1500, 1, 30000, 45000,
                 [W(1500, 200, 25), W(1510, 210, 28), W(1520, 220, 31), W(1530, 230, 35), W(1540, 240, 38),
                  W(1550, 250, 41), W(1600, 260, 44)], traffic("SFJ", 16, 1500, 12), 4, 2),
    ]


# Stage inis (CP932, CRLF). None for "Kirishima Fog": its high score shows -1.
STAGE_INIS = {
    "Kirishima/Day.ini": "[Stage]\r\ntitle=霧島 昼の部\r\nhighscore=15230\r\nexe=velq.exe\r\nplays=12\r\n",
    "Kirishima/Night.ini": "[Stage]\r\ntitle=霧島 夜の部\r\nexe=velq.exe\r\n",
    "Minato.ini": "[Stage]\r\ntitle=湊\r\nhighscore=27410\r\nexe=velq.exe\r\n",
    "Kitaura/Dawn.ini": "[Stage]\r\ntitle=北浦 夜明け\r\nhighscore=7020\r\n",
    "能登/朝.ini": "[Stage]\r\ntitle=能登 朝\r\nhighscore=19880\r\nexe=velq.exe\r\n",
    "能登/夜.ini": "[Stage]\r\ntitle=能登 夜\r\nhighscore=0\r\nexe=velq.exe\r\n",
    "Mt.Kasa/Storm.ini": "[Stage]\r\ntitle=笠岳 嵐\r\nhighscore=41500\r\nexe=velq.exe\r\nhighscore=48800\r\n",
}


def stage_ini_of(stage):
    name = stage.encode("cp932")
    if len(name) >= 2 and name[-2:-1] == b" ":
        name = name[:-2]
    return name.decode("cp932").replace(" ", "/") + ".ini"


def parse_stage(text):
    high, exe = 0, None
    for line in text.split("\r\n"):
        if line.startswith("highscore="):
            high = int(line[10:])
        elif line.startswith("exe="):
            exe = line[4:]
    return high, exe


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out")
    parser.add_argument("--expected")
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    if os.path.exists(out):
        if not os.path.exists(os.path.join(out, MARK)):
            sys.exit(f"{out} exists and was not made by this script; not touching it")
        shutil.rmtree(out)
    os.makedirs(out)
    write(os.path.join(out, MARK), b"")

    write(os.path.join(out, "config.ini"),
          "[Game]\r\nlevel=0\r\nsound=1\r\nmusic=1\r\nspeed=2\r\n[Window]\r\nwidth=800\r\nheight=600\r\n"
          .encode("cp932"))
    write(os.path.join(out, "port", "readme.txt"), "ポートのフォルダ\r\n".encode("cp932"))  # not a port
    os.makedirs(os.path.join(out, "port", "Tsubaki", "map"))  # a port without a scenario folder
    write(os.path.join(out, "port", "Tsubaki", "map", "tsubaki.map"), b"\0" * 64)

    expected = []
    for s in scenarios():
        write(os.path.join(out, "port", s.port, "scenario", s.file), s.bytes())
        ini = STAGE_INIS.get(stage_ini_of(s.stage))
        if ini is None:
            high, command = -1, None
            status = True
        else:
            high, command = parse_stage(ini)
            status = False
        e = s.expected(high, command)
        e["succeeded"] = not status
        e["_expertClearScore"] = s.expert  # not a field: for the test that switches the level
        expected.append(e)
    # The older "sd2" copies of Minato's scenarios: never listed, as the port has "sd3" files.
    for s in scenarios():
        if s.port == "Minato":
            write(os.path.join(out, "port", "Minato", "scenario", s.file[:-1] + "2"), s.bytes()[:224])
    for name, text in STAGE_INIS.items():
        write(os.path.join(out, "stage", *name.split("/")), text.encode("cp932"))

    if args.expected:
        with open(args.expected, "w", encoding="utf-8") as f:
            for e in expected:
                f.write(json.dumps(e, ensure_ascii=False) + "\n")


if __name__ == "__main__":
    main()
