"""The real download dialog under Xvfb, fetching from a loopback server.

The probe program runs CHttpDownloadDlg modally in a Wine prefix, plays the
user from a second thread (Cancel, declining a login) and reports DoModal's
result, m_strError and what the dialog showed. The loopback server is also the
prefix's http_proxy, so the addresses keep their real host names.
"""

import os
import re
import resource
import signal
import threading
import unittest

from tests.harness.http_server import Hostile, HttpServer, Reply
from tests.harness.wine import BUILD_DIR, WinePrefix, load_factor, patience, wait_until

DOWNLOAD_PROBE = BUILD_DIR / "tools" / "download_probe.exe"
HOST = "download.tessolo.example"
IDOK, IDCANCEL = 1, 2

TEXT_CONNECT_ERROR = "An error occurred connecting to the server, Error:"
TEXT_NO_RESPONSE = "Failed to receive a valid response from the server"
TEXT_NO_HTTP_RESPONSE = "Failed to receive a valid HTTP response from the server"
TEXT_READ_ERROR = "An error occurred while downloading the file, Error:"
# The codes the read-failure text carries: a reply longer than the run takes,
# and a time-out (the stack's, or the socket's where the stack passes it on).
ERROR_FILE_TOO_LARGE = "223"
TIMED_OUT = "(12002|10060)"
# Cancel ends the dialog within this, grown with the machine's load.
CANCEL_ANSWER_MS = 1000

AMOUNT = r"\d+(\.\d+)? (Bytes|KB|MB)"
TIME_LEFT = re.compile(rf"^\d+ (sec|min|min \d+ sec) \({AMOUNT} von {AMOUNT} kopiert\)$")
RATE = re.compile(r"^\d+(\.\d\d)? (Bytes|KB)/Sec$")


def text(hex_text):
    return bytes.fromhex(hex_text).decode("cp1252")


class Run:
    """What one probe run reported."""

    def __init__(self, stdout):
        self.samples = []
        self.lines = stdout.splitlines()
        self.cancel_enabled = None
        self.login_dialog = None
        self.cancel_to_end_ms = None
        for line in self.lines:
            kind, _, rest = line.partition(" ")
            fields = rest.split(" ")
            if kind == "sample":
                caption, pos, top, left, rate, source, settled = (fields + [""] * 7)[:7]
                self.samples.append({"caption": text(caption), "pos": int(pos), "range": int(top),
                                     "left": text(left), "rate": text(rate),
                                     "source": text(source), "settled": settled == "1"})
            elif kind == "result":
                self.result = int(rest)
            elif kind == "error":
                self.error = text(rest)
            elif kind == "url":
                self.url = text(rest)
            elif kind == "cancel-button-enabled":
                self.cancel_enabled = int(rest)
            elif kind == "cancel-to-end-ms":
                self.cancel_to_end_ms = int(rest)
            elif kind == "login-dialog":
                self.login_dialog = text(rest)


@unittest.skipUnless(DOWNLOAD_PROBE.exists(), "download_probe.exe is not built")
class DownloadDialogTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        # Each is ended as soon as it is started, so a failure further on
        # leaves neither the server nor the prefix's X server running.
        cls.server = HttpServer().start()
        cls.addClassCleanup(cls.server.stop)
        # A virtual desktop manages the windows; without a window manager
        # hiding the ended dialog waits two seconds for one.
        cls.prefix = WinePrefix("download-dialog", display=(1024, 768),
                                virtual_desktop="1024x768").__enter__()
        cls.addClassCleanup(cls.prefix.__exit__, None, None, None)
        cls.folder = cls.prefix.unix_path("C:\\")

    def cancel_once_requested(self, path, marker_name):
        """Probe options that press Cancel once the server has the request
        for `path`: a marker file appears in C:\\ then."""
        marker = self.folder / marker_name
        if marker.exists():
            marker.unlink()

        def mark():
            try:
                wait_until(lambda: self.server.requests_for(path), f"the request for {path}", 120)
                marker.touch()
            except TimeoutError:
                pass  # the probe then never cancels, and the test fails on its result

        threading.Thread(target=mark, daemon=True).start()
        return ["--cancel-when-exists", f"C:\\{marker_name}"]

    def download(self, path, reply, *options, url=None, name=None, file_size_limit=None):
        """Serves `reply` at `path` and fetches it through the proxy; with
        `file_size_limit` the probe's files cannot grow beyond that many
        bytes, and a write past it fails as on a full disk."""
        self.server.route(path, reply)
        name = name or self.id().rsplit(".", 1)[-1] + ".bin"
        target = self.folder / name
        if target.exists():
            target.unlink()

        def limit_file_size():
            # Ignored, the signal would end the probe instead of failing the write.
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))

        result = self.prefix.wine(
            [DOWNLOAD_PROBE, url or f"http://{HOST}{path}", f"C:\\{name}", *options],
            env={"http_proxy": self.server.proxy_url}, timeout=120,
            preexec_fn=limit_file_size if file_size_limit else None)
        self.assertEqual(0, result.returncode, result.stderr.decode(errors="replace"))
        return Run(result.stdout.decode()), target

    def test_announced_length_arrives_whole_and_returns_ok(self):
        body = os.urandom(300_000)
        # Paused between pieces, so that samples see the caption move however
        # fast the line: unpaced, the whole body came within one sample.
        run, target = self.download("/google/setup.exe", Reply(body=body, chunk_bytes=100_000, chunk_delay=0.3),
                                    "--label", "Google Toolbar", "--sample-ms", "20",
                                    url=f"{HOST}/google/setup.exe")
        self.assertEqual((IDOK, ""), (run.result, run.error))
        self.assertEqual(body, target.read_bytes())
        self.assertEqual(f"http://{HOST}/google/setup.exe", run.url)
        [request] = self.server.requests_for("/google/setup.exe")
        self.assertEqual((f"http://{HOST}:80/google/setup.exe", HOST, "*/*"),
                         (request.target, request.host, request.headers.get("Accept")))
        self.assertEqual("download_probe", request.headers.get("User-Agent"))
        shown = [s for s in run.samples if s["caption"] != ""]
        self.assertTrue(all(s["source"] == "Google Toolbar" for s in shown), shown)
        # A sample taken before the length arrived still has the bar's own
        # range; once the caption moves, the range is the length in KB.
        moving = [s for s in shown if s["caption"] != "File Download"]
        self.assertTrue(moving, run.lines)
        self.assertTrue(all(s["range"] == 293 for s in moving), moving)

    def test_chunked_reply_without_length_shows_only_the_rate(self):
        body = os.urandom(3 * 40_000)
        run, target = self.download(
            "/chunked.bin", Reply(body=body, chunked=True, chunk_bytes=40_000, chunk_delay=0.7),
            "--sample-ms", "50")
        self.assertEqual((IDOK, ""), (run.result, run.error))
        self.assertEqual(body, target.read_bytes())
        live = [s for s in run.samples if s["caption"]]
        self.assertTrue(live, run.lines)
        for sample in live:
            self.assertEqual(("File Download", 0, 100, ""),
                             (sample["caption"], sample["pos"], sample["range"], sample["left"]))
        rates = [s["rate"] for s in live if s["rate"]]
        self.assertTrue(rates, live)
        for rate in rates:
            self.assertRegex(rate, RATE)

    def test_failures_return_cancel_with_the_worker_text(self):
        cases = [
            # path, reply, error text (prefix or prefixes), target file left
            ("/missing.exe", Reply(status=404, body=b"nope"), TEXT_NO_HTTP_RESPONSE, False),
            ("/broken.exe", Reply(status=500, body=b"oops"), TEXT_NO_HTTP_RESPONSE, False),
            ("/cut.exe", Reply(body=os.urandom(50_000), truncate_after=20_000), TEXT_READ_ERROR,
             False),
            ("/cut-at-start.exe", Reply(body=os.urandom(5_000), truncate_after=0),
             TEXT_READ_ERROR, False),
            # No status line at all: the send fails (111) or the status is no
            # status (112, 113), depending on how the stack reports it.
            ("/hangup.exe", Reply(close_before_headers=True),
             (TEXT_CONNECT_ERROR, TEXT_NO_RESPONSE, TEXT_NO_HTTP_RESPONSE), False),
        ]
        for path, reply, error, file_left in cases:
            with self.subTest(path=path):
                run, target = self.download(path, reply, name=path.strip("/"))
                self.assertEqual(IDCANCEL, run.result)
                self.assertTrue(run.error.startswith(error), run.error)
                self.assertEqual(file_left, target.exists())

    def test_failed_write_fails_with_download_text_and_leaves_no_file(self):
        run, target = self.download("/to-full-disk.exe", Reply(body=os.urandom(50_000)),
                                    file_size_limit=20 * 1024)
        self.assertEqual(IDCANCEL, run.result)
        self.assertRegex(run.error, "^" + re.escape(TEXT_READ_ERROR) + r"\d+$")
        self.assertFalse(target.exists())

    def test_refused_connection_fails_with_connect_text(self):
        with HttpServer() as closed:
            port = closed.port
        name = "refused.bin"
        result = self.prefix.wine([DOWNLOAD_PROBE, f"http://127.0.0.1:{port}/x.exe",
                                   f"C:\\{name}"])
        run = Run(result.stdout.decode())
        self.assertEqual(IDCANCEL, run.result)
        self.assertRegex(run.error, "^" + re.escape(TEXT_CONNECT_ERROR) + r"\d+$")
        self.assertFalse((self.folder / name).exists())

    def test_cancel_before_the_first_check_leaves_the_empty_file(self):
        run, target = self.download("/early.exe", Reply(body=b"x" * 5000), "--cancel-at-start")
        self.assertEqual((IDCANCEL, ""), (run.result, run.error))
        self.assertEqual(b"", target.read_bytes())
        self.assertEqual([], self.server.requests_for("/early.exe"))

    def test_cancel_during_the_transfer_deletes_the_file(self):
        body = os.urandom(400_000)
        cases = [
            # waiting for the reply: the first block is read but not written
            ("/waiting.exe", Reply(body=body, header_delay=patience(2.0)),
             self.cancel_once_requested("/waiting.exe", "waiting.requested")),
            ("/reading.exe", Reply(body=body, chunk_bytes=8192, chunk_delay=0.1),
             ["--cancel-after-bytes", "16384"]),
        ]
        for path, reply, options in cases:
            with self.subTest(path=path):
                run, target = self.download(path, reply, *options, name=path.strip("/"))
                self.assertEqual((IDCANCEL, ""), (run.result, run.error))
                self.assertEqual(0, run.cancel_enabled, "Cancel stays enabled after a press")
                self.assertFalse(target.exists())

    def test_cancel_answers_at_once_whatever_the_server_does(self):
        body = os.urandom(200_000)
        for behaviour in (Hostile.STALL_AFTER_HEADERS, Hostile.NEVER_ANSWER,
                          Hostile.ENDLESS_LOGIN, Hostile.TRICKLE):
            path = "/" + behaviour.replace(" ", "-") + ".exe"
            with self.subTest(behaviour=behaviour):
                run, target = self.download(
                    path, Reply(body=body, hostile=behaviour),
                    *self.cancel_once_requested(path, path.strip("/") + ".requested"),
                    name=path.strip("/"))
                self.assertEqual((IDCANCEL, ""), (run.result, run.error))
                self.assertIsNotNone(run.cancel_to_end_ms, run.lines)
                self.assertLessEqual(run.cancel_to_end_ms, CANCEL_ANSWER_MS * load_factor())
                self.assertFalse(target.exists())

    def test_a_line_that_turns_into_a_trickle_keeps_the_displays_moving(self):
        # Fast long enough for the largest block, then 32 bytes every 50 ms:
        # a read that waited for a whole block would freeze the time-left
        # line until the server gives up, and the cut body would fail.
        fast = 512 * 1024
        reply = Reply(body=os.urandom(fast + 128 * 1024), hostile=Hostile.TRICKLE,
                      fast_bytes=fast, trickle_bytes=32, hold_seconds=patience(20))
        run, target = self.download("/turns-slow.exe", reply, "--sample-ms", "25",
                                    "--cancel-after-bytes", str(fast + 3 * 1024))
        self.assertEqual((IDCANCEL, ""), (run.result, run.error))
        shown = {float(m.group(1)) for m in (re.search(r"\((\d+\.\d) KB von", s["left"])
                                             for s in run.samples) if m}
        self.assertGreaterEqual(len({kb for kb in shown if kb > fast / 1024}), 2, run.lines)
        self.assertFalse(target.exists())

    def test_hostile_servers_fail_the_run_by_themselves(self):
        timeout = ["--receive-timeout-ms", "1500"]
        cases = [
            # path, reply, options, error code
            ("/stalls.exe", Reply(body=os.urandom(50_000), hostile=Hostile.STALL_AFTER_HEADERS),
             timeout, TIMED_OUT),
            ("/silent.exe", Reply(hostile=Hostile.NEVER_ANSWER), timeout, TIMED_OUT),
            ("/endless-login.exe", Reply(hostile=Hostile.ENDLESS_LOGIN), [],
             ERROR_FILE_TOO_LARGE),
            ("/announced-too-long.exe", Reply(body=os.urandom(100_000)),
             ["--max-body-bytes", "99999"], ERROR_FILE_TOO_LARGE),
            ("/grows-too-long.exe", Reply(body=os.urandom(100_000), chunked=True,
                                          chunk_bytes=10_000), ["--max-body-bytes", "99999"],
             ERROR_FILE_TOO_LARGE),
        ]
        for path, reply, options, code in cases:
            with self.subTest(path=path):
                run, target = self.download(path, reply, *options, name=path.strip("/"))
                self.assertEqual(IDCANCEL, run.result)
                self.assertRegex(run.error, "^" + re.escape(TEXT_READ_ERROR) + code + "$")
                self.assertFalse(target.exists())

    def test_slow_server_moves_caption_bar_time_left_and_rate(self):
        body = os.urandom(200 * 1024)
        run, target = self.download("/slow.bin", Reply(body=body, chunk_bytes=8192,
                                                       chunk_delay=0.12), "--sample-ms", "25")
        self.assertEqual((IDOK, ""), (run.result, run.error))
        self.assertEqual(body, target.read_bytes())
        live = [s for s in run.samples if s["caption"]]
        percents, in_step, settled = [], 0, 0
        for sample in live:
            match = re.fullmatch(r"(\d+)% von slow\.bin  fertig", sample["caption"])
            if sample["caption"] == "File Download":
                # Before the first block the bar may still have its own range.
                self.assertTrue(sample["pos"] == 0 or not sample["settled"], sample)
                continue
            self.assertTrue(match, sample["caption"])
            self.assertEqual(200, sample["range"], sample)
            percent = int(match.group(1))
            percents.append(percent)
            if not sample["settled"]:
                continue
            # The bar counts whole KB of 200, the caption whole percent. The
            # caption moves first, so a sample may catch the bar one block
            # behind, never ahead.
            settled += 1
            self.assertLessEqual(sample["pos"], 2 * percent + 2, sample)
            in_step += abs(sample["pos"] - 2 * percent) <= 2
        self.assertGreater(in_step, settled // 2, live)
        self.assertGreater(len(set(percents)), 5, live)
        self.assertEqual(sorted(percents), percents)
        left = [s["left"] for s in live if s["left"]]
        rates = [s["rate"] for s in live if s["rate"]]
        self.assertTrue(left and rates, live)
        for line in left:
            self.assertRegex(line, TIME_LEFT)
            self.assertTrue(line.endswith(" von 200.0 KB kopiert)"), line)
        for rate in rates:
            self.assertRegex(rate, RATE)

    def test_body_of_exactly_one_block(self):
        body = os.urandom(1024)
        run, target = self.download("/one-k.bin", Reply(body=body))
        self.assertEqual((IDOK, ""), (run.result, run.error))
        self.assertEqual(body, target.read_bytes())

    def test_login_dialog_declined_fails_and_accepted_completes(self):
        cases = [
            # A declined login fails instead of reporting an empty success.
            ("/proxy-login.exe", Reply(body=b"secret", proxy_login="user:pw"), ["--decline-login"],
             IDCANCEL, TEXT_NO_HTTP_RESPONSE, None),
            ("/server-login.exe", Reply(body=b"secret", login="user:pw"), ["--login", "user", "pw"],
             IDOK, "", b"secret"),
        ]
        for path, reply, options, result, error, body in cases:
            with self.subTest(path=path):
                run, target = self.download(path, reply, *options, name=path.strip("/"))
                self.assertIsNotNone(run.login_dialog, run.lines)
                self.assertEqual((result, error), (run.result, run.error))
                self.assertEqual(body, target.read_bytes() if target.exists() else None)
                self.assertTrue(self.server.requests_for(path))


if __name__ == "__main__":
    unittest.main()
