"""Running one command and measuring it: wall time and peak memory, as GNU time reports them.

Commands run under tools/measure_run, a small C program that starts them with posix_spawn and reaps
them with wait4: the same maximum resident set size that `/usr/bin/time -f %M` prints, with wall time
in nanoseconds and none of this interpreter's start-up or memory in the figures.
"""
import os
import shutil
import statistics
import subprocess
from dataclasses import dataclass, field
from pathlib import Path


class BenchError(RuntimeError):
    """A tool under test failed or produced a wrong result: its figures would mean nothing."""


@dataclass
class Run:
    wall: float       # seconds
    rss_kib: int      # peak resident set size of the process (or the largest of its waited children)
    status: int       # exit code, or -signal
    cpu: float = 0.0  # user + system seconds, its waited children included


def resolve(program: str) -> str:
    """Absolute path of a program, so that spawning does not search PATH inside the timed window."""
    path = program if os.path.isabs(program) else shutil.which(program)
    if not path or not os.access(path, os.X_OK):
        raise BenchError(f"{program}: not found")
    return path


HELPERS = {"measure_run": [], "noop_tool": ["-static"], "spawn_loop": [],
           "vips_linked": ["-Wl,--no-as-needed", "-lvips"]}
_bin = {}


def build_helpers(src_dir, out_dir):
    """Compile the C helpers in tools/ into out_dir (when missing or older than their source)."""
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, extra in HELPERS.items():
        target, source = out_dir / name, src_dir / f"{name}.c"
        if not target.exists() or target.stat().st_mtime < source.stat().st_mtime:
            cmd = ["cc", "-O2", "-Wall", "-Wextra", "-Wpedantic", "-o", str(target), str(source)]
            if subprocess.run(cmd + extra).returncode != 0:
                if extra != ["-static"]:
                    raise BenchError(f"cannot build {source}")
                subprocess.run(cmd, check=True)  # no static C library here: link it shared
        _bin[name] = target


def helper(name) -> Path:
    return _bin[name]


def spawn(argv, stdin=os.devnull, stdout=os.devnull, stderr=os.devnull, env=None) -> Run:
    """Run argv (argv[0] absolute) to its end with the given files as its standard streams."""
    out = subprocess.run([str(_bin["measure_run"]), str(stdin), str(stdout), str(stderr), *map(str, argv)],
                         capture_output=True, text=True, env=env)
    if out.returncode != 0:
        raise BenchError(f"cannot run {argv[0]}: {out.stderr.strip()}")
    wall, rss, status, cpu = out.stdout.split()
    return Run(float(wall), int(rss), int(status), float(cpu))


@dataclass
class Series:
    """Every run of one tool in one comparison; per_run divides a batch's wall time into per-file time."""
    tool: str
    ours: bool
    per_run: int = 1
    reference: bool = False
    walls: list = field(default_factory=list)
    rss: list = field(default_factory=list)
    cpus: list = field(default_factory=list)

    def add(self, run: Run):
        self.walls.append(run.wall / self.per_run)
        self.cpus.append(run.cpu / self.per_run)
        self.rss.append(run.rss_kib)

    @property
    def cpu(self) -> float:
        return statistics.median(self.cpus)

    @property
    def wall(self) -> float:
        return statistics.median(self.walls)

    @property
    def peak_mib(self) -> float:
        return statistics.median(self.rss) / 1024.0


def fresh_dir(path: Path) -> Path:
    shutil.rmtree(path, ignore_errors=True)
    path.mkdir(parents=True)
    return path


def warm(paths):
    """Read files once so the first tool of a round does not pay for the disk."""
    for p in paths:
        with open(p, "rb") as f:
            while f.read(1 << 20):
                pass
