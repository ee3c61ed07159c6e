#!/usr/bin/env python3
"""Fault soak of vantoc's headless runs against stirrer-sim (see scripts/soak).

Each run starts a fresh simulator with one fault configuration, runs
`vantoc --headless` against it, sometimes interrupts it with a signal, and
then checks:

- the exit status is one that `vantoc --help` documents;
- the run ended within its time (otherwise it is killed and counts as a hang);
- the saved file is the header line followed by exactly the printed rows;
- the printed rows are the valid status replies of the communication log,
  decoded with the settling rule, in order (a mismatch counts as lost samples);
- the last speed command the simulator received is speed 0 whenever the motor
  was started and the line is still alive, unless the run said so (status 4).
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

HEADER = b"Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n"
DOCUMENTED = {0, 2, 3, 4, 5, 128 + signal.SIGHUP, 128 + signal.SIGINT, 128 + signal.SIGTERM}

# Fault configurations: each alone, then combined. The ones that take the
# line away end by duration: without replies a run by count never ends.
FAULTS = [
    ("none", []),
    ("drop", ["--drop", "0.25"]),
    ("corrupt", ["--corrupt", "0.25"]),
    ("refuse", ["--refuse", "0.3"]),
    ("late", ["--late", "0.2"]),
    ("late-within-status-limit", ["--late", "0.3", "--late-ms", "3000"]),
    ("garbage", ["--garbage", "0.4"]),
    ("disconnect", ["--disconnect-after", "RANDOM"]),
    ("combined", ["--drop", "0.1", "--corrupt", "0.1", "--refuse", "0.1", "--late", "0.05", "--garbage", "0.2"]),
    ("combined-disconnect", ["--drop", "0.1", "--corrupt", "0.1", "--garbage", "0.2", "--disconnect-after", "RANDOM"]),
]
SIGNALS = [None, None, signal.SIGINT, signal.SIGTERM, signal.SIGHUP]


def checksum_ok(reply):
    return len(reply) >= 2 and sum(reply[1:-1]) & 0xFF == reply[-1]


def hex_bytes(text):
    return [int(b, 16) for b in text.split()]


def decode_log(log):
    """The samples the log's valid status replies give, by the settling rule."""
    lines = log.decode("latin-1").split("\r\n")
    samples = []
    last_setpoint, settled = 0, False
    awaiting_status = False
    for line in lines:
        if line.startswith("Send:"):
            frame = hex_bytes(line[5:])
            awaiting_status = len(frame) == 6 and frame[1] == 0xA2
        elif line.startswith("Receive:"):
            reply = hex_bytes(line[8:])[:11]
            if awaiting_status and len(reply) == 11 and checksum_ok(reply):
                s = reply[2] * 256 + reply[3]
                a = reply[4] * 256 + reply[5]
                t = reply[6] * 256 + reply[7]
                if s != last_setpoint:
                    settled, last_setpoint = False, s
                if settled:
                    step = abs(a - s) // 4
                    speed = s + (step if a >= s else -step)
                else:
                    speed = a
                    settled = abs(a - s) <= 10
                samples.append((speed, t))
            awaiting_status = False
    return samples


def parse_rows(out):
    rows = []
    for line in out.split(b"\n"):
        if not line:
            continue
        m = re.fullmatch(rb"(\d+)\t(-?\d+)\t(-?\d+)\r", line)
        if not m:
            return None
        rows.append((int(m.group(2)), int(m.group(3))))
    return rows


def speed_frames(sim_out):
    """Speed commands the simulator received, in order."""
    speeds = []
    for line in sim_out.decode("latin-1").splitlines():
        if line.startswith("request:"):
            frame = hex_bytes(line[8:])
            if len(frame) == 6 and frame[1] == 0xB1:
                speeds.append(frame[2] * 256 + frame[3])
    return speeds


class Soak:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.runs = self.crashes = self.hangs = self.lost = self.left_running = 0
        self.reported_running = 0
        self.statuses = {}
        self.problems = []

    def one_run(self, index):
        name, faults = FAULTS[index % len(FAULTS)]
        work = os.path.join(self.args.work, "run-%d-%s" % (index, name))
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        faults = [f if f != "RANDOM" else "%.1f" % self.rng.uniform(1.5, 8) for f in faults]
        disconnects = "--disconnect-after" in faults
        by_duration = disconnects or self.rng.random() < 0.4
        sig = self.rng.choice(SIGNALS)
        sim_cmd = [self.args.sim, "--verbose", "--seed", str(self.rng.randrange(1, 1 << 30)),
                   "--tau", "0.3", "--noise", "3"] + faults
        sim_out_path = os.path.join(work, "sim.out")
        with open(sim_out_path, "wb") as sim_out, open(os.path.join(work, "sim.err"), "wb") as sim_err:
            sim = subprocess.Popen(sim_cmd, stdout=sim_out, stderr=sim_err)
        try:
            device = self.wait_for_device(sim_out_path, sim)
            if device is None:
                self.problem(work, "stirrer-sim did not start")
                return
            length = (["--duration", "%.1f" % self.rng.uniform(1.5, 6)] if by_duration
                      else ["--samples", str(self.rng.randint(1, 6))])
            limit = 45 + (float(length[1]) if by_duration else 8 * int(length[1]))
            save = os.path.join(work, "run.xls")
            cmd = [self.args.vantoc, "--headless", "--port", device, "--speed",
                   str(self.rng.randint(50, 2200))] + length + ["--save", save]
            env = dict(os.environ, VANTOC_LOG_DIR=work)
            started = time.monotonic()
            with open(os.path.join(work, "out"), "wb") as out, open(os.path.join(work, "err"), "wb") as err:
                proc = subprocess.Popen(cmd, stdout=out, stderr=err, env=env)
                status = self.wait(proc, sig, limit)
            elapsed = time.monotonic() - started
        finally:
            sim.send_signal(signal.SIGTERM)
            try:
                sim.wait(timeout=10)
            except subprocess.TimeoutExpired:
                sim.kill()
                sim.wait()
        self.runs += 1
        ok = self.check(work, name, sig, cmd, status, elapsed, limit, disconnects)
        if ok and not self.args.keep:
            shutil.rmtree(work, ignore_errors=True)

    @staticmethod
    def wait_for_device(path, sim):
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            with open(path, "rb") as f:
                first = f.readline()
            if first.endswith(b"\n"):
                return first.decode().strip()
            if sim.poll() is not None:
                return None
            time.sleep(0.02)
        return None

    def wait(self, proc, sig, limit):
        if sig is not None:
            try:
                proc.wait(timeout=self.rng.uniform(0.8, 6))
            except subprocess.TimeoutExpired:
                proc.send_signal(sig)
        try:
            return proc.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            return None

    def check(self, work, name, sig, cmd, status, elapsed, limit, disconnects):
        read = lambda f: open(os.path.join(work, f), "rb").read() if os.path.exists(os.path.join(work, f)) else None
        label = "%s%s" % (name, "" if sig is None else " + " + signal.Signals(sig).name)
        ok = True
        if status is None:
            self.hangs += 1
            return self.problem(work, "%s: still running after %.0f s (killed)" % (label, limit))
        self.statuses[status] = self.statuses.get(status, 0) + 1
        if status < 0 or status not in DOCUMENTED:
            self.crashes += 1
            ok = self.problem(work, "%s: exit status %d is not a documented one" % (label, status))
        out = read("out") or b""
        rows = parse_rows(out)
        if rows is None:
            self.lost += 1
            return self.problem(work, "%s: printed output is not rows: %r" % (label, out[:200]))
        saved = read("run.xls")
        if saved is not None and saved != HEADER + out:
            self.lost += 1
            ok = self.problem(work, "%s: saved file is not the header and the printed rows" % label)
        if status == 0 and saved is None:
            self.lost += 1
            ok = self.problem(work, "%s: exit 0 but no file" % label)
        samples = decode_log(read("Flu_CommOutput.txt") or b"")
        if rows != samples[:len(rows)] or len(samples) - len(rows) > 1:
            self.lost += max(1, abs(len(samples) - len(rows)))
            ok = self.problem(work, "%s: rows %s differ from the log's samples %s" % (label, rows[:8], samples[:8]))
        speeds = speed_frames(read("sim.out") or b"")
        line_alive = b"line disconnected" not in (read("sim.err") or b"")
        started = any(s != 0 for s in speeds)
        if started and line_alive and speeds[-1] != 0:
            if status == 4:
                self.reported_running += 1
            else:
                self.left_running += 1
                ok = self.problem(work, "%s: last speed command %d, exit %d" % (label, speeds[-1], status))
        return ok

    def problem(self, work, text):
        self.problems.append("%s (%s)" % (text, work))
        print("soak: " + text, file=sys.stderr)
        return False

    def run(self):
        os.makedirs(self.args.work, exist_ok=True)
        end = time.monotonic() + self.args.minutes * 60
        started = time.monotonic()
        index = 0
        while time.monotonic() < end:
            self.one_run(index)
            index += 1
        minutes = (time.monotonic() - started) / 60
        statuses = " ".join("%d:%d" % kv for kv in sorted(self.statuses.items()))
        print("soak: %d runs in %.1f min (seed %d): %d crashes, %d hangs, %d lost samples, %d motor left running"
              " (%d stops reported unacknowledged; exit statuses %s)"
              % (self.runs, minutes, self.args.seed, self.crashes, self.hangs, self.lost, self.left_running,
                 self.reported_running, statuses))
        return 0 if self.runs and not (self.crashes or self.hangs or self.lost or self.left_running) else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vantoc", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--seed", type=int, default=int(time.time()) % 100000)
    parser.add_argument("--keep", action="store_true", help="keep the files of passed runs too")
    return Soak(parser.parse_args()).run()


if __name__ == "__main__":
    sys.exit(main())
