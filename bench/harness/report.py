"""Tables of ratios, the goals met or missed, the machine, and the README section that holds them."""
import os
import platform
import re
import subprocess
from pathlib import Path

BEGIN, END = "<!-- results:begin -->", "<!-- results:end -->"


def _first_line(cmd):
    try:
        out = subprocess.run(cmd, capture_output=True, text=True, timeout=20)
        return (out.stdout or out.stderr).strip().splitlines()[0]
    except (OSError, IndexError, subprocess.TimeoutExpired):
        return "?"


def machine() -> list:
    cpu = re.search(r"^model name\s*:\s*(.*)$", Path("/proc/cpuinfo").read_text(), re.M)
    mem = re.search(r"^MemTotal:\s*(\d+) kB", Path("/proc/meminfo").read_text(), re.M)
    debian = Path("/etc/debian_version").read_text().strip() if Path("/etc/debian_version").exists() else "?"
    return [
        f"- CPU: {cpu.group(1) if cpu else '?'}, {len(os.sched_getaffinity(0))} cores usable (nproc)",
        f"- memory: {int(mem.group(1)) / 1048576:.1f} GiB; Linux {platform.release()}; Debian {debian}",
        f"- load average at the start: {' '.join(f'{x:.2f}' for x in os.getloadavg())}",
        f"- peers: {_first_line(['vips', '--version'])}; "
        f"{_first_line(['convert', '-version']).replace('Version: ', '')}; "
        f"{_first_line(['gm', 'version'])}; exiftool {_first_line(['exiftool', '-ver'])}",
    ]


def _best_peer(series):
    peers = [s for s in series if not s.ours and not s.reference]
    return (min(peers, key=lambda s: s.wall), min(peers, key=lambda s: s.peak_mib)) if peers else (None, None)


def comparison_table(title, series) -> list:
    fast, small = _best_peer(series)
    lines = [f"**{title}** ({len(series[0].walls)} runs per tool)", "",
             "| tool | ms per file | x best peer | CPU ms | peak MiB | x best peer |", "|---|---:|---:|---:|---:|---:|"]
    for s in sorted(series, key=lambda s: (not s.ours, s.wall)):
        t_ratio = f"{s.wall / fast.wall:.2f}" if fast else ""
        m_ratio = f"{s.peak_mib / small.peak_mib:.2f}" if small else ""
        name = f"**{s.tool}**" if s.ours else s.tool
        lines.append(f"| {name} | {s.wall * 1000:.1f} | {t_ratio} | {s.cpu * 1000:.1f} | {s.peak_mib:.0f} | {m_ratio} |")
    return lines + [""]


def growth_table(title, rows, label) -> list:
    """rows: (label value, series list); one column per tool, ms per file, and ours over the best peer."""
    tools = [s.tool for s in rows[0][1]]
    lines = [f"**{title}** (ms per file)", "", f"| {label} | " + " | ".join(tools) + " | ours x best peer |",
             "|---|" + "---:|" * (len(tools) + 1)]
    for value, series in rows:
        fast, _ = _best_peer(series)
        ours = next(s for s in series if s.ours)
        cells = " | ".join(f"{s.wall * 1000:.1f}" for s in series)
        lines.append(f"| {value} | {cells} | {ours.wall / fast.wall:.2f} |")
    return lines + [""]


def _by_name(series):
    return {s.tool: s for s in series}


def goals(results: dict, batch_key: str, over: dict) -> list:
    """(goal, figure text, met) for each goal whose measurement ran."""
    out = []

    def add(goal, value, text, met):
        out.append((goal, text.format(value), met))

    if "resample_12mp" in results:
        r = _by_name(results["resample_12mp"])
        add("resample-to-fit 800, 12 MP: at most 1.15 x vipsthumbnail", r["sips"].wall / r["vipsthumbnail"].wall,
            "{:.2f} x", r["sips"].wall / r["vipsthumbnail"].wall <= 1.15)
        add("resample-to-fit 800, 12 MP: at most 0.3 x ImageMagick convert", r["sips"].wall / r["convert"].wall,
            "{:.2f} x", r["sips"].wall / r["convert"].wall <= 0.3)
        mem = r["sips"].peak_mib / r["convert"].peak_mib
        add("resample-to-fit 800, 12 MP: peak memory at most 1/3 of convert's", mem, "{:.2f} x", mem <= 1 / 3)
    if "resample_small" in results:
        r = _by_name(results["resample_small"])
        ms = r["sips"].wall * 1000
        add("images under 1 MP: at most 40 ms a file", ms, "{:.1f} ms", ms <= 40)
        ratio = r["sips"].wall / r["convert"].wall
        add("images under 1 MP: at most 2 x ImageMagick convert", ratio, "{:.2f} x", ratio <= 2)
    if "probe" in results:
        ms = _by_name(results["probe"])["sips"].wall * 1000
        add("probe: at most 10 ms a file", ms, "{:.1f} ms", ms <= 10)
    if "metadata" in results:
        r = _by_name(results["metadata"])
        speedup = r["exiftool"].wall / r["sips"].wall
        add("metadata only: at least 2 x faster than exiftool", speedup, "{:.1f} x faster", speedup >= 2)
        speedup = r["vips copy (decode+encode)"].wall / r["sips"].wall
        add("metadata only: at least 10 x faster than decode + encode", speedup, "{:.1f} x faster", speedup >= 10)
    if batch_key in results:
        r = _by_name(results[batch_key])
        ratio = r["droplet (sips)"].wall / r["vipsthumbnail loop"].wall
        add("whole droplet batch: at most 1.3 x the vipsthumbnail loop", ratio, "{:.2f} x", ratio <= 1.3)
    if over:
        own = over.get("own_cpu_direct", over["own_cpu_ms"])
        add(f"droplet's own work per item (CPU, over {over['items']} items): under 1 ms", own, "{:.3f} ms", own < 1)
    return out


def render(command, machine_lines, sections, goal_rows, over, failures) -> str:
    lines = [f"Command: `{command}`", "", *machine_lines, ""]
    if goal_rows:
        lines += ["| goal | measured | |", "|---|---:|---|"]
        lines += [f"| {g} | {v} | {'met' if ok else '**missed**'} |" for g, v, ok in goal_rows]
        lines.append("")
    if over:
        lines += [f"Droplet with a do-nothing tool: start-up (one item) {over['startup_ms']:.1f} ms, "
                  f"{over['startup_mib']:.0f} MiB. Per item {over['wall']:.3f} ms wall / {over['cpu']:.3f} ms CPU; "
                  f"a bare posix_spawn loop starting the same tool twice (probe and run) takes "
                  f"{over['spawn_wall']:.3f} ms wall / {over['spawn_cpu']:.3f} ms CPU; so the droplet's own "
                  f"work is {over['own_wall_ms']:.3f} ms wall / {over['own_cpu_ms']:.3f} ms CPU per item"
                  + (f"; read directly (perf stat --no-inherit, the droplet process alone): "
                     f"{over['own_cpu_direct']:.3f} ms CPU per item" if "own_cpu_direct" in over else "")
                  + ".", ""]
    for block in sections:
        lines += block
    for what, why in failures:
        lines.append(f"- not measured: {what}: {why}")
    return "\n".join(lines).rstrip() + "\n"


def write_readme(path: Path, body: str):
    text = path.read_text()
    start, end = text.index(BEGIN) + len(BEGIN), text.index(END)
    tmp = path.with_name("." + path.name + ".tmp")
    tmp.write_text(text[:start] + "\n" + body + text[end:])
    tmp.replace(path)
