#!/usr/bin/env python3
"""Throughput of the download dialog against curl, for the same file, same run.

Serves a 64 MiB file from the loopback test server, fetches it once with curl
and once through the real CHttpDownloadDlg (the download probe, under Wine in
a throw-away prefix with a virtual desktop), alternating the two in pairs, and
prints each pair, both median rates and their ratio. The dialog's time is
DoModal's, from creating the window to its end; curl's is the whole process.
With --against, another build's download probe takes curl's place (the two
dialogs alternate, each starting every other pair), to weigh a change on a
busy machine. Every file the dialog writes must have the body's digest.
A figure, not a test.

    python3 bench/download_throughput.py [--mib N] [--runs N] [--against PROBE]

The build folder is the flavour's (build/win32, or build/win64 with
TESSOLO_WINE_ARCH=win64); TESSOLO_BUILD_DIR names another.
"""

import argparse
import hashlib
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
# Wine runs the probe from its own folder, so a build folder given relative to
# the checkout must be made absolute before the harness reads it.
if "TESSOLO_BUILD_DIR" in os.environ:
    os.environ["TESSOLO_BUILD_DIR"] = str(Path(os.environ["TESSOLO_BUILD_DIR"]).resolve())

from tests.harness.http_server import HttpServer, Reply  # noqa: E402
from tests.harness.wine import BUILD_DIR, WinePrefix  # noqa: E402

DOWNLOAD_PROBE = BUILD_DIR / "tools" / "download_probe.exe"
MIB = 1024 * 1024


def make_body(path, mib):
    block = hashlib.sha256(b"tessolo").digest() * (MIB // 32)
    with open(path, "wb") as out:
        for i in range(mib):
            out.write(block[i % 32:] + block[:i % 32])


def curl_seconds(url, target):
    start = time.perf_counter()
    subprocess.run(["curl", "-s", "--noproxy", "*", "-o", str(target), url], check=True)
    return time.perf_counter() - start


def file_digest(path):
    digest = hashlib.sha256()
    with open(path, "rb") as stream:
        while block := stream.read(MIB):
            digest.update(block)
    return digest.hexdigest()


def dialog_seconds(prefix, url, target_win, size, probe=DOWNLOAD_PROBE):
    # The dialog takes 256 MiB at most; a larger body here is a measurement.
    result = prefix.wine([probe, url, target_win, "--max-body-bytes", str(size)],
                         timeout=900)
    fields = dict(line.split(" ", 1) for line in result.stdout.decode().splitlines()
                  if " " in line)
    if fields.get("result") != "1":
        raise RuntimeError(f"download failed: {result.stdout.decode()}")
    return int(fields["elapsed-ms"]) / 1000.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mib", type=int, default=64)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--against", type=Path,
                        help="another build's download_probe.exe, measured instead of curl")
    args = parser.parse_args()
    if not DOWNLOAD_PROBE.exists():
        sys.exit(f"{DOWNLOAD_PROBE} is not built (cmake --build <build> --target download_probe)")
    against = args.against.resolve() if args.against else None
    other_name = "other" if against else "curl"

    with tempfile.TemporaryDirectory() as scratch, HttpServer() as server, \
            WinePrefix("bench-download", display=(1024, 768),
                       virtual_desktop="1024x768") as prefix:
        body = Path(scratch) / "body.bin"
        make_body(body, args.mib)
        server.route("/bench.bin", Reply(body_file=body))
        url = server.url("/bench.bin")
        size = body.stat().st_size
        digest = file_digest(body)
        written = prefix.unix_path("C:\\bench.bin")

        def dialog():
            seconds = dialog_seconds(prefix, url, "C:\\bench.bin", size)
            if file_digest(written) != digest:
                raise RuntimeError("the dialog's file differs from the body")
            return seconds

        def other():
            if not against:
                return curl_seconds(url, Path(scratch) / "curl.bin")
            seconds = dialog_seconds(prefix, url, "C:\\bench.bin", size, probe=against)
            if file_digest(written) != digest:
                raise RuntimeError("the other dialog's file differs from the body")
            return seconds

        other_times, dialog_times = [], []
        for run in range(args.runs):
            # Each starts every other pair, so neither always meets the
            # machine as the other left it.
            if run % 2 and against:
                dialog_time, other_time = dialog(), other()
            else:
                other_time, dialog_time = other(), dialog()
            other_times.append(other_time)
            dialog_times.append(dialog_time)
            print(f"pair {run + 1}: {args.mib} MiB  {other_name} {other_time:.3f} s "
                  f"({size / MIB / other_time:.1f} MiB/s)  dialog {dialog_time:.3f} s "
                  f"({size / MIB / dialog_time:.1f} MiB/s)  load {os.getloadavg()[0]:.1f}",
                  flush=True)
        other_rate = size / MIB / statistics.median(other_times)
        dialog_rate = size / MIB / statistics.median(dialog_times)
        print(f"median of {len(other_times)} pairs: {other_name} {other_rate:.1f} MiB/s  "
              f"dialog {dialog_rate:.1f} MiB/s")
        print(f"ratio dialog/{other_name}: {dialog_rate / other_rate:.3f}")


if __name__ == "__main__":
    main()
