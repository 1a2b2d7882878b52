#!/usr/bin/env python3
"""Prints one table of every benchmark figure beside its reference, from the JSON files of one run."""
import json
import sys
from pathlib import Path


def load(folder, name):
    path = Path(folder) / f"{name}.json"
    if not path.exists():
        return {}
    runs = json.loads(path.read_text()).get("benchmarks", [])
    return {r["name"].split("/")[0]: r for r in runs if not r.get("error_occurred")}


def ms(run):
    if not run:
        return None
    unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1000.0}[run.get("time_unit", "ns")]
    return run["real_time"] * unit


rows = []


def add(figure, ours, reference, ratio, goal, unit):
    rows.append((figure, ours, reference, ratio, goal, unit))


def pair(figure, bench, name, goal):
    a, b = ms(bench.get(name)), ms(bench.get(name + "Shell"))
    add(figure, a, b, a / b if a and b else None, goal, "ms")


def main(folder):
    collect = load(folder, "korvo_collect_bench")
    c = collect.get("BM_Store100000BesideSqliteShell", {})
    add("store 100,000 records vs sqlite3 shell", c.get("ours_s"), c.get("sqlite3_shell_s"), c.get("ratio"), "<= 1.5", "s")
    d = collect.get("BM_Download65536BesideRawTransferAndStore", {})
    ref = d.get("raw_transfer_s", 0) + d.get("store_s", 0) if d else None
    add("TCP download of 65,536 records vs raw transfer + store", d.get("job_s"), ref,
        d.get("ratio_to_raw_plus_store"), "<= 2, <= 5 s", "s")
    f = collect.get("BM_DbfOutput100000", {})
    add("DBF output, records/s", f.get("records_per_second"), None, None, "", "1/s")

    serial = load(folder, "korvo_serial_bench")
    s = serial.get("BM_TypeTrans10000AtLineRate", {})
    add("serial TYPE at 115200 baud: share of the line rate", s.get("bytes_per_second"), 11520 if s else None,
        s.get("share_of_line_rate"), ">= 0.8", "B/s")

    act = load(folder, "korvo_activity_bench")
    add("1,000,000 activities: the page's first screen (first window only)", ms(act.get("BM_FirstRows")), None,
        None, "< 200 ms", "ms")
    pair("first screen and the count vs sqlite3 shell", act, "BM_FirstScreen", "<= 1.2")
    pair("card + time filter vs sqlite3 shell", act, "BM_CardAndTime", "<= 1.2")
    pair("a window scrolled anywhere vs sqlite3 shell", act, "BM_ScrollView", "")
    pair("sort by time vs sqlite3 shell", act, "BM_SortByTime", "")
    pair("sort by name vs sqlite3 shell", act, "BM_SortByName", "")
    pair("first-in/last-out report vs sqlite3 shell", act, "BM_Attendance", "<= 2")
    mem = [r.get("maxrss_MB") for r in act.values() if r.get("maxrss_MB")]
    disk = [r.get("database_MB") for r in act.values() if r.get("database_MB")]
    add("activities: peak memory vs the database on disk", max(mem) if mem else None, max(disk) if disk else None,
        max(mem) / max(disk) if mem and disk else None, "<= 2", "MB")

    online = load(folder, "korvo_online_bench")
    o = online.get("BM_OnlineStoreBesideRawInsert", {})
    add("monitor store path vs raw insert, lines/s", o.get("ours_lines_per_s"), o.get("raw_rows_per_s"),
        o.get("raw_rows_per_s") / o["ours_lines_per_s"] if o else None, "", "1/s")
    p = online.get("BM_Online32ConnectionsPush100000Lines", {})
    add("monitor, 32 pushers, 100,000 lines: lines/s", p.get("lines_per_s"), 2000 if p else None,
        p.get("lines_per_s") / 2000 if p else None, ">= 2,000/s", "1/s")
    add("monitor, 32 pushers: lines lost", p.get("lost"), None, None, "0", "")

    start = load(folder, "korvo_start_bench").get("BM_ColdStartBesideEmptyQtWindow", {})
    add("cold start to the main window vs empty Qt window", start.get("ours_ms"), start.get("empty_qt_ms"),
        start.get("ratio"), "", "ms")

    def cell(v):
        if v is None:
            return "-"
        return f"{v:,.0f}" if abs(v) >= 100 else f"{v:.3g}"

    print("| figure | ours | reference | ratio | goal | unit |")
    print("|---|---:|---:|---:|---|---|")
    for figure, ours, ref, ratio, goal, unit in rows:
        print(f"| {figure} | {cell(ours)} | {cell(ref)} | {cell(ratio)} | {goal} | {unit} |")


if __name__ == "__main__":
    main(sys.argv[1])
