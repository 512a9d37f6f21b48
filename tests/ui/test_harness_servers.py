"""The harness ends every X server it starts, on every way out, says what
it waited for when a wait runs out, and sees a program end when it ends."""

import dataclasses
import os
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import unittest
from pathlib import Path
from unittest import mock

from tests.harness import wine
from tests.harness.http_server import Hostile, HttpServer, Reply


def gone(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return True
    # A zombie still answers: it is ended, its parent has not reaped it yet.
    try:
        return Path(f"/proc/{pid}/stat").read_text().split(") ")[1].startswith("Z")
    except (FileNotFoundError, IndexError):
        return True


class HarnessServersTest(unittest.TestCase):

    def test_x_server_ends_on_every_way_out(self):
        # A test killed outright (a ctest time-out) runs no clean-up of its own.
        child = subprocess.run(
            [sys.executable, "-c",
             "import os, signal\n"
             "from tests.harness import wine\n"
             "x = wine.Xvfb(320, 240)\n"
             "x.start()\n"
             "print(x.process.pid, flush=True)\n"
             "os.kill(os.getpid(), signal.SIGKILL)\n"],
            cwd=wine.SOURCE_DIR, capture_output=True, text=True, timeout=wine.patience(60))
        self.assertEqual(-signal.SIGKILL, child.returncode, child.stderr)
        pid = int(child.stdout)
        wine.wait_until(lambda: gone(pid), "the killed test's X server to end", 30)

        # A prefix whose opening fails after its X server started.
        with tempfile.TemporaryDirectory() as template:
            (Path(template) / "drive_c" / "users" / "tester").mkdir(parents=True)
            started = []
            real_start = wine.Xvfb.start

            def start(server):
                display = real_start(server)
                started.append(server.process.pid)
                return display

            with mock.patch.object(wine, "_template_prefix", return_value=Path(template)), \
                    mock.patch.object(wine.Xvfb, "start", start), \
                    mock.patch.object(wine.WinePrefix, "_start_wine", side_effect=OSError("no Wine")):
                with self.assertRaises(OSError):
                    with wine.WinePrefix("harness-open-fails", display=(320, 240)):
                        pass
            self.assertEqual(1, len(started))
            wine.wait_until(lambda: gone(started[0]), "the failed prefix's X server to end", 30)

    def test_a_wait_that_runs_out_names_what_it_waited_for(self):
        prefix = wine.WinePrefix.existing(tempfile.gettempdir())
        with mock.patch.object(wine, "FLAVOUR", dataclasses.replace(wine.FLAVOUR, loader="/bin/sleep")):
            with self.assertRaisesRegex(TimeoutError, r"waited \d+ s for `wine 30` to end"):
                prefix.wine(["30"], timeout=0.2)

    def test_a_program_ends_for_the_harness_when_it_ends_whatever_it_left_running(self):
        # As Wine's services, started on the way, keep the program's output.
        prefix = wine.WinePrefix.existing(tempfile.gettempdir())
        with mock.patch.object(wine, "FLAVOUR", dataclasses.replace(wine.FLAVOUR, loader="/bin/sh")):
            result = prefix.wine(["-c", "sleep 30 & echo $!; echo said >&2"], timeout=10)
        os.kill(int(result.stdout), signal.SIGKILL)
        self.assertEqual(b"said\n", result.stderr)

    @unittest.skipUnless(wine.FLAVOUR.arch == "win64", "only the 64-bit loader needs it")
    def test_wine_programs_start_with_a_fixed_address_layout(self):
        prefix = wine.WinePrefix.existing(tempfile.gettempdir())
        with mock.patch.object(wine, "FLAVOUR", dataclasses.replace(wine.FLAVOUR, loader="/bin/sh")):
            result = prefix.wine(["-c", "exec cat /proc/self/personality"], check=True)
        self.assertTrue(int(result.stdout, 16) & wine.ADDR_NO_RANDOMIZE)

    def test_hostile_servers_end_by_themselves_and_with_the_server(self):
        hold = 1.0

        def read_to_the_end(port, path):
            with socket.create_connection(("127.0.0.1", port), timeout=wine.patience(30)) as client:
                client.sendall(f"GET {path} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
                while client.recv(65536):
                    pass

        behaviours = (Hostile.STALL_AFTER_HEADERS, Hostile.NEVER_ANSWER, Hostile.ENDLESS_LOGIN,
                      Hostile.TRICKLE)
        for behaviour in behaviours:
            with self.subTest(behaviour=behaviour, ended_by="its hold"), HttpServer() as server:
                server.route("/x", Reply(body=b"x" * 100_000, hostile=behaviour,
                                         hold_seconds=hold))
                read_to_the_end(server.port, "/x")
            with self.subTest(behaviour=behaviour, ended_by="the server's stop"):
                server = HttpServer().start()
                server.route("/x", Reply(body=b"x" * 100_000, hostile=behaviour))
                stopper = threading.Timer(hold, server.stop)
                stopper.start()
                try:
                    read_to_the_end(server.port, "/x")
                finally:
                    stopper.cancel()
                    stopper.join()
                    server.stop()


if __name__ == "__main__":
    unittest.main()
