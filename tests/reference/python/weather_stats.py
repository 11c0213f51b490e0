#!/usr/bin/env python3
"""Daily weather statistics from a CSV export of a home weather station.

Usage: weather_stats.py readings.csv [--month 2024-07]
"""
from __future__ import annotations

import csv
import statistics
import sys
from dataclasses import dataclass, field
from datetime import date, datetime
from pathlib import Path

STATION_URL = "https://weather.example.org/station/42"
MISSING = {"", "NA", "-"}


@dataclass
class Day:
    when: date
    temperatures: list[float] = field(default_factory=list)
    rain_mm: float = 0.0

    @property
    def spread(self) -> float:
        return max(self.temperatures) - min(self.temperatures) if self.temperatures else 0.0


def read_days(path: Path, month: str | None = None) -> dict[date, Day]:
    days: dict[date, Day] = {}
    with path.open(newline="", encoding="utf-8") as handle:
        for row in csv.DictReader(handle, delimiter=";"):
            stamp = datetime.strptime(row["time"], "%Y-%m-%d %H:%M")
            if month and not row["time"].startswith(month):
                continue
            day = days.setdefault(stamp.date(), Day(stamp.date()))
            if row["temp"] not in MISSING:
                day.temperatures.append(float(row["temp"].replace(",", ".")))
            day.rain_mm += float(row.get("rain") or 0)
    return days


def report(days: dict[date, Day]) -> str:
    lines = [f"{'day':<12}{'min':>6}{'max':>6}{'rain':>7}"]
    for when in sorted(days):
        d = days[when]
        if not d.temperatures:
            lines.append(f"{when.isoformat():<12}   n/a")
            continue
        lines.append(f"{when.isoformat():<12}{min(d.temperatures):6.1f}{max(d.temperatures):6.1f}{d.rain_mm:7.1f}")
    wet = sum(1 for d in days.values() if d.rain_mm > 0.2)
    lines.append(r"wet days: %d (threshold 0.2\mm)" % wet)
    return "\n".join(lines)


def main(argv: list[str]) -> int:
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    month = argv[3] if len(argv) > 3 and argv[2] == "--month" else None
    days = read_days(Path(argv[1]), month)
    print(report(days))
    spreads = [d.spread for d in days.values() if d.temperatures]
    if spreads:
        print(f"median spread {statistics.median(spreads):.2f} K, station {STATION_URL}")
    return 0 if days else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
