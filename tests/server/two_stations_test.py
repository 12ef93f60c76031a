#!/usr/bin/python3
"""Two stations, one server: two velmara processes, each with its own charger
simulator, record into one PostgreSQL server (the one pg_virtualenv made for
the run, reached through PGHOST, PGPORT, PGUSER and PGPASSWORD).

- Station A records a new battery; station B, asked to record the same battery
  too, is told that A records it, and records a battery of its own.
- Both stations start a new series of one battery at the same moment: exactly
  one records it, the other is told.
- The server stops for a while in the middle of the recordings; station A is
  killed (kill -9) during the outage and started again while the server is
  still away. Once the server is back, every value of both series is on it:
  consecutive values of a series are one reading apart (3 s), except for the
  time station A was not running, and the values A took before it was killed
  are among them.
- While the server is away, station B's status bar says how many values wait
  for it; the mark goes once they are on the server.
- Each series names the station and channel that recorded it, and each station
  holds the battery it records on the server again after the outage.

Usage: two_stations_test.py BIN_DIR [--outage SECONDS]
"""
import argparse
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

ARGS = argparse.ArgumentParser()
ARGS.add_argument("bin")
ARGS.add_argument("--outage", type=float, default=12)
ARGS = ARGS.parse_args()
BIN = os.path.abspath(ARGS.bin)
NAME_A = "Pack 'A\"; DROP TABLE Akkus; --"
CLUSTER = (os.environ.get("PGVERSION", "15"), "regress")


def wait_until(what, condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return
        time.sleep(0.1)
    raise AssertionError(f"not within {seconds} s: {what}")


def sql(query):
    """Rows of a query on the server, as lists of texts."""
    out = subprocess.run(["psql", "-XAtq", "-F", "\t", "-c", query], check=True,
                         capture_output=True, text=True).stdout
    return [line.split("\t") for line in out.splitlines() if line]


def server_up():
    return subprocess.run(["pg_isready", "-q"]).returncode == 0


class Station:
    """velmara in a program folder of its own, with its own simulated charger."""

    def __init__(self, work, name):
        self.name, self.folder = name, os.path.join(work, name)
        os.makedirs(self.folder)
        shutil.copy(os.path.join(BIN, "velmara"), self.folder)
        self.link = os.path.join(self.folder, "charger")
        self.sim = subprocess.Popen([os.path.join(BIN, "velmara-charger-sim"), "--link", self.link,
                                     "--channels", "4", "--speed", "4", "--demo"],
                                    stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, text=True)
        wait_until("the simulator's line", lambda: os.path.exists(self.link), 10)
        self.db("init")
        server = "host={PGHOST} port={PGPORT} user={PGUSER} dbname=postgres".format(**os.environ)
        for key, value in [("FirstStartup", "NO"), ("UsedLanguage", "en"),
                           ("UsedCharger", "QMT4"), ("ComPort", "1"), ("ComDevice1", self.link),
                           ("UserDataServer", server), ("StationName", name)]:
            self.db("set", key, value)
        self.process = None

    def db(self, *args):
        subprocess.run([os.path.join(BIN, "velmara-db"), "--folder", self.folder, *args],
                       check=True, stdout=subprocess.DEVNULL)

    def start(self):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", VELMARA_UI_COMMANDS="1")
        self.process = subprocess.Popen([os.path.join(self.folder, "velmara")], env=env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)

    def send(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def ui(self, *lines):
        for line in lines:
            self.send(line)
            time.sleep(0.7)

    def tell(self, name):
        """The text of the label while it is shown, else ""."""
        self.send("tell " + name)
        got, end = b"", time.monotonic() + 5
        while time.monotonic() < end:
            if select.select([self.process.stdout], [], [], 0.2)[0]:
                got += os.read(self.process.stdout.fileno(), 4096)
                for line in got.decode(errors="replace").splitlines():
                    if line.startswith(name + "\t"):
                        return line.split("\t", 1)[1]
        raise AssertionError(f"{self.name} did not tell {name}")

    def waiting_mark(self):
        """How many values the status bar says wait for the server (0: no mark)."""
        found = re.search(r"\d+", self.tell("lblServerWartet"))
        return int(found.group()) if found else 0

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def stop(self):
        self.kill()
        self.sim.kill()
        self.sim.wait()


def series_values(name):
    """(seconds, Seq) of the ordinary values of the battery's first series."""
    rows = sql("SELECT w.MessWertString, w.Seq FROM MessWerte w JOIN MessReihen r "
               "ON r.MessReiheID = w.MessReiheID JOIN Akkus a ON a.AkkuId = r.AkkuId "
               f"WHERE a.AkkuName = $${name}$$ AND NOT w.EW ORDER BY w.Seq")
    return [(int(text.split(";")[3]), int(seq)) for text, seq in rows]


def main():
    work = tempfile.mkdtemp(prefix="velmara-stations-")
    stations = []
    try:
        a, b = Station(work, "A"), Station(work, "B")
        stations = [a, b]
        a.start()
        b.start()
        time.sleep(8)  # both windows up
        a.ui("click frmKanal/cmdMesswert", "click cmdNeuerAkku", "settext txtName " + NAME_A,
             "click cmdOk", "answer yes", "click cmdCancel")
        a_started = time.monotonic()
        wait_until("station A's first values on the server",
                   lambda: len(series_values(NAME_A)) >= 2, 20)

        # B asks for a new series of the same battery: told, nothing made.
        b.ui("click frmKanal/cmdMesswert", "select cboAkkus 0", "click cmdNeueMessreihe",
             "answer ok", "click cmdCancel")
        assert sql("SELECT count(*) FROM MessReihen")[0][0] == "1", "B made a series of A's battery"
        b.ui("click frmKanal/cmdMesswert", "click cmdNeuerAkku", "settext txtName Pack B",
             "click cmdOk", "answer yes", "click cmdCancel")
        b_started = time.monotonic()
        wait_until("station B's first values", lambda: len(series_values("Pack B")) >= 2, 20)

        # Both stations start a new series of the same battery at the same
        # moment (on their channel 2): one records it, the other is told.
        sql("WITH a AS (INSERT INTO Akkus (AkkuName) VALUES ('Pack C') RETURNING AkkuId) "
            "INSERT INTO MessReihen (AkkuId, Nummer, Datum) SELECT AkkuId, 1, "
            "'2026-01-01T00:00:00' FROM a")
        for station in (a, b):  # the list: Pack 'A..., Pack B, Pack C
            station.ui("click frmKanal2/cmdMesswert", "select cboAkkus 2",
                       "click cmdNeueMessreihe")
        a.send("accept")
        b.send("accept")
        time.sleep(2)
        for station in (a, b):
            station.ui("answer ok", "answer yes", "click cmdCancel")
        made = sql("SELECT r.Station, r.Kanal FROM MessReihen r JOIN Akkus a USING (AkkuId) "
                   "WHERE a.AkkuName = 'Pack C' AND r.Nummer = 2")
        holders = sql("SELECT a.application_name FROM pg_locks l JOIN pg_stat_activity a "
                      "USING (pid) WHERE l.locktype = 'advisory' AND l.granted AND l.objid = "
                      "(SELECT AkkuId FROM Akkus WHERE AkkuName = 'Pack C')")
        assert sql("SELECT count(*) FROM MessReihen r JOIN Akkus a USING (AkkuId) WHERE "
                   "a.AkkuName = 'Pack C'")[0][0] == "2", "Pack C: not exactly one new series"
        assert len(made) == 1 and made[0][1] == "2" and holders == [["velmara " + made[0][0]]], \
            f"Pack C: series {made}, held by {holders}"
        print(f"Pack C started at both stations at once: recorded by {made[0][0]}")

        # The server goes away; A is killed during the outage and started again.
        shipped_before = series_values(NAME_A)[-1][0]
        subprocess.run(["pg_ctlcluster", *CLUSTER, "stop", "-m", "fast"], check=True)
        outage = time.monotonic()
        time.sleep(ARGS.outage / 2)
        marked = b.waiting_mark()
        assert marked > 0, "B's status bar does not say that values wait for the server"
        a.kill()
        a_killed = time.monotonic()
        time.sleep(2)
        a.start()
        # velmara asks whether to go on with channel 1's series once the
        # charger has answered: yes (an answer without a question does nothing).
        for _ in range(4):
            time.sleep(2)
            a.ui("answer yes")
        a_back = time.monotonic()
        time.sleep(max(0.0, ARGS.outage - (time.monotonic() - outage)))
        subprocess.run(["pg_ctlcluster", *CLUSTER, "start"], check=True)
        wait_until("the server back", server_up, 30)
        print(f"server away for {time.monotonic() - outage:.1f} s")
        settle = time.monotonic() + 6
        def caught_up(name, started):
            values = series_values(name)
            return values and values[-1][0] > time.monotonic() - started - 9
        try:
            wait_until("values after the outage from both stations", lambda: time.monotonic() >
                       settle and caught_up(NAME_A, a_started) and caught_up("Pack B", b_started), 40)
        except AssertionError:
            for name, started in ((NAME_A, a_started), ("Pack B", b_started)):
                print(f"{name}: {time.monotonic() - started:.0f} s since its start, last values "
                      f"{series_values(name)[-3:]}")
            raise

        wait_until("B's mark of waiting values gone", lambda: b.waiting_mark() == 0, 20)
        print(f"B's status bar: {marked} values waiting in the outage, no mark after it")

        for name, killed in ((NAME_A, (a_killed - outage, a_back - a_killed)), ("Pack B", None)):
            values = series_values(name)
            seqs = [seq for _, seq in values]
            assert seqs == sorted(seqs) and len(set(seqs)) == len(seqs), f"{name}: order"
            gaps = [(t1, t2) for (t1, _), (t2, _) in zip(values, values[1:]) if t2 - t1 > 5]
            if killed is None:
                assert not gaps, f"{name}: values missing between {gaps}"
            else:
                # One gap, while A was not running; what it took in the outage
                # before it was killed is there.
                assert len(gaps) == 1, f"{name}: gaps {gaps}"
                (t1, t2), (before_kill, down) = gaps[0], killed
                assert t1 >= shipped_before + before_kill - 4, \
                    f"{name}: values of the outage lost: {shipped_before} + {before_kill:.1f} s, gap {t1}-{t2}"
                assert t2 - t1 <= down + 8, f"{name}: gap {t1}-{t2} longer than the kill ({down:.1f} s)"
            print(f"{name}: {len(values)} values in order, gaps {gaps} (seconds of the series)")
        # Each station holds its battery on the server again (A took it at its
        # next check: the server was away when A went on with its series).
        for name, station in ((NAME_A, "A"), ("Pack B", "B")):
            battery = sql(f"SELECT AkkuId FROM Akkus WHERE AkkuName = $${name}$$")[0][0]
            wait_until(f"{station} holds {name}", lambda: sql(
                "SELECT count(*) FROM pg_locks l JOIN pg_stat_activity a USING (pid) WHERE "
                f"l.locktype = 'advisory' AND l.objid = {battery} AND l.granted AND "
                f"a.application_name = 'velmara {station}'")[0][0] == "1", 25)
        stations_of = sql("SELECT a.AkkuName, r.Station, r.Kanal FROM MessReihen r "
                          "JOIN Akkus a USING (AkkuId) ORDER BY a.AkkuName")
        assert sorted(stations_of) == sorted([[NAME_A, "A", "1"], ["Pack B", "B", "1"],
                                              ["Pack C", "", ""], ["Pack C", made[0][0], "2"]]), \
            stations_of
        print("two stations test passed")
        return 0
    finally:
        for station in stations:
            station.stop()
        if not server_up():
            subprocess.run(["pg_ctlcluster", *CLUSTER, "start"])
        if os.environ.get("VELMARA_KEEP"):
            print("kept", work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
