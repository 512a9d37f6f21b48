"""How often Wine's own set-up steps hang under 32-bit Wine (emulated where
the host cannot run 32-bit code): runs each step of the smoke suite's
prefix set-up N times, each time in a fresh copy of the build's template,
and prints how many passed their limit. Not part of scripts/test.

    python3 bench/setup_hang_rate.py [N] [--limit SECONDS] [--build DIR]

Steps: the start of a copied prefix (wineserver -p, wineboot, the end of
the session's first boot), the way the Windows version used to be set
(`winecfg -v win7`, a GUI program), the version read back by the test
probe after it was written into user.reg before the start (the way it is
set now), and the end of the prefix's server (wineserver -k, -w). The
build folder defaults to build/win32; on an emulated host scripts/test must
have set up the emulation once.

With --template it makes N templates instead, each in a fresh folder, and
times their steps (wineboot -i, the wait for the new prefix's processes to
end, wineserver -k) and counts those not made (a step hung, or the first
boot still ran). A step that hangs prints the programs still running in
the prefix.
"""

import argparse
import os
import shutil
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("runs", type=int, nargs="?", default=10)
    parser.add_argument("--limit", type=float, default=300,
                        help="seconds a step may take before it counts as hung")
    parser.add_argument("--build", default=str(ROOT / "build" / "win32"))
    parser.add_argument("--template", action="store_true",
                        help="make templates instead of starting copies of one")
    args = parser.parse_args()

    build = Path(args.build).resolve()
    os.environ.update(TESSOLO_WINE_ARCH="win32", TESSOLO_BUILD_DIR=str(build),
                      TESSOLO_ARTIFACTS=str(build / "hang-rate-artifacts"))
    preload = build.parent / "emulation"
    if "TESSOLO_EMULATION_PRELOAD" not in os.environ and preload.is_dir():
        os.environ["TESSOLO_EMULATION_PRELOAD"] = str(preload) + "/$LIB/map_noreplace.so"
    sys.path.insert(0, str(ROOT))
    from tests.harness import wine
    from tests.smoke.test_shipped_files import SmokePrefix

    if args.template:
        make_templates(wine, build, args)
        return
    wine._template_prefix(args.limit, 2)
    steps = ("start", "winecfg -v win7", "version read back", "stop")
    hung = {step: 0 for step in steps}
    seconds = {step: [] for step in steps}

    def timed(step, action):
        started = time.monotonic()
        try:
            action()
        except (wine.SetupStepHung, TimeoutError) as error:
            hung[step] += 1
            print(f"  {step}: HUNG ({error})", flush=True)
            return False
        seconds[step].append(time.monotonic() - started)
        return True

    for run in range(1, args.runs + 1):
        prefix = SmokePrefix(f"hang-rate-{run}", version="win7")
        prefix.setup_retries = 0
        limit = wine.patience(args.limit)
        template = wine._template_prefix()
        prefix._copy(template)
        wine.write_user_values(prefix.path, prefix._starting_values())
        Path(prefix.env["HOME"]).mkdir(parents=True, exist_ok=True)
        if timed("start", prefix._start_wine):
            timed("winecfg -v win7", lambda: wine._run_setup_step(
                "winecfg -v win7", [wine.FLAVOUR.loader, "winecfg", "-v", "win7"],
                prefix.env, limit, prefix.path))
            timed("version read back", lambda: prefix.check_version("win7"))
            timed("stop", lambda: [wine._run_setup_step(
                f"wineserver {flag}", [wine.FLAVOUR.wineserver, flag], prefix.env, limit,
                prefix.path) for flag in ("-k", "-w")])
        discard(wine, prefix.path, prefix.env)
        print(f"run {run}/{args.runs}: " + ", ".join(
            f"{step} {len(seconds[step])} ok/{hung[step]} hung" for step in steps), flush=True)

    report(steps, seconds, hung, args.limit)


def discard(wine, prefix, env):
    """Ends every process of a prefix and removes it with its home folder."""
    wine.kill_prefix(prefix, env)
    shutil.rmtree(prefix, ignore_errors=True)
    shutil.rmtree(env["HOME"], ignore_errors=True)


def make_templates(wine, build, args):
    """Makes args.runs templates, timing each of Wine's steps by its name."""
    seconds, hung = {}, {}
    run_step = wine._run_setup_step

    def timed_step(step, command, env, limit, prefix, **kwargs):
        started = time.monotonic()
        try:
            result = run_step(step, command, env, limit, prefix, **kwargs)
        except wine.SetupStepHung:
            hung[step] = hung.get(step, 0) + 1
            print(f"  {step}: HUNG after {time.monotonic() - started:.0f} s, still running: "
                  + "; ".join(wine.prefix_programs(prefix)), flush=True)
            raise
        seconds.setdefault(step, []).append(time.monotonic() - started)
        return result

    wine._run_setup_step = timed_step
    folder = build / "hang-rate-templates"
    not_made = 0
    for run in range(1, args.runs + 1):
        template = folder / f"template-{run}"
        started = time.monotonic()
        try:
            wine._make_template(template, wine.patience(args.limit))
            outcome = "made"
        except wine.SetupStepHung as error:
            outcome = f"not made ({error})"
            not_made += 1
        discard(wine, template, wine._wine_env(template))
        print(f"run {run}/{args.runs}: {outcome} in {time.monotonic() - started:.0f} s", flush=True)
    steps = list(dict.fromkeys(list(seconds) + list(hung)))
    report(steps, seconds, hung, args.limit)
    print(f"templates not made: {not_made} of {args.runs}")


def report(steps, seconds, hung, limit):
    print(f"\n{'step':<20} {'runs':>5} {'hung':>5} {'median s':>9} {'max s':>7}  "
          f"(limit {limit:.0f} s, load now {os.getloadavg()[0]:.1f})")
    for step in steps:
        done = seconds.get(step, [])
        runs = len(done) + hung.get(step, 0)
        median = f"{statistics.median(done):9.1f} {max(done):7.1f}" if done else "        -       -"
        print(f"{step:<20} {runs:5d} {hung.get(step, 0):5d} {median}")


if __name__ == "__main__":
    main()
