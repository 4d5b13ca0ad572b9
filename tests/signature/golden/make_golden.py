#!/usr/bin/env python3
"""Writes the expected CSV reports for the records that CsvReportTest builds.

An independent reference: it formats with Python's own %-formatting (correctly
rounded, half to even on the exact binary value, like glibc's printf) straight
from the report layout, sharing no code with the program. Run it only when the
report layout or the test records change, and review the diff.
"""
import math
import struct
from pathlib import Path


def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def report(r):
    out = []
    w = out.append
    w("General Info\n")
    w("Date&Time:,%s %s\n" % (r['date'], r['time']))
    w("Job Name:,%s\n" % r['job'])
    w("SPM:,%d\n" % r['spm'])
    w("Look Window Start Angle:,%d\n" % r['start'])
    w("Look Window End Angle:,%d\n" % r['end'])
    w("Look Window Step Degree Set:, %.1f\n" % (r['step'] * 0.1))
    w("Stroke Count:, %d\n" % r['strokes'])
    names = {1: "CAL", 2: "SETUP", 4: "MONITOR"}
    if r['mode'] in names:
        w("Current Mode:, %s\n" % names[r['mode']])
    w(" \n")
    w(",CH1,Ch2,CH3,CH4,\n")
    w("Peak:,%6.1f,%6.1f,%6.1f,%6.1f\n" % tuple(f32(p) for p in r['peak']))
    w(" \n")
    w("Capacity:,%d,%d,%d,%d\n" % tuple(r['capacity']))
    w("Target:,%d,%d,%d,%d\n" % tuple(r['target']))
    w("Sample:,%.1f,%.1f,%.1f,%.1f\n" % tuple(float(s) for s in r['sample']))
    unit = 't' if r['tons'] else '%'
    w("+Tol:" + "".join(",%d%s" % (v, unit) for v in r['plus']) + "\n")
    w("-Tol:" + "".join(",%d%s" % (v, unit) for v in r['minus']) + "\n")
    e = r['efactor']
    w("EFactor:,%.1f,%.1f,%.1f,%.1f\n" % (e[0] * 0.1, e[1] / 10.1, e[2] / 10.1, e[3] / 10.1))
    w(" \n")
    w("Signatures\n")
    w("Angle,CH1,Ch2,CH3,CH4\n")
    step = (r['end'] - r['start']) / 448
    for i in range(448):
        loads = []
        for c in range(4):
            v = f32(r['curve'](c, i))
            loads.append(0.0 if not v >= -9999.0 else v)
        w("%7.1f,%6.1f,%6.1f,%6.1f,%6.1f\n" % (i * step + r['start'], *loads))
    return "".join(out).replace("\n", "\r\n")


def zero_record():
    return dict(date='', time='', job='', spm=0, start=0, end=0, step=0, strokes=0, mode=0,
                peak=[0] * 4, capacity=[0] * 4, target=[0] * 4, sample=[0] * 4, tons=False,
                plus=[0] * 4, minus=[0] * 4, efactor=[0] * 4, curve=lambda c, i: 0.0)


# Special curve values at fixed points; CsvReportTest sets the same ones.
SPECIAL = {0: -10000.0, 1: -9999.0, 2: float('nan'), 3: 1.0e9, 4: -1.0e9, 5: 0.25, 6: 0.35,
           7: -0.04, 8: float('inf'), 9: -9999.5, 10: 12.34, 11: -0.0}


def edge_curve(c, i):
    if i in SPECIAL and c == i % 4:
        return SPECIAL[i]
    return (i - 100) * 0.37 + c * 1.05


def edge_record():
    return dict(date='12/03/2026', time='14:32:07', job='PRESS,7 "A"', spm=42, start=90, end=314,
                step=5, strokes=-2147483648, mode=4, peak=[12.34, -0.04, 999.95, 12345.67],
                capacity=[150, -1, 32767, -32768], target=[75, 0, 1, -5], sample=[123, -7, 0, 32767],
                tons=True, plus=[5, 5, 5, 5], minus=[5, 6, 7, 8], efactor=[101, 101, 101, 101],
                curve=edge_curve)


def window_record():
    # Equal start and end angles; a falling window would be the same shape.
    return dict(date='DATE-FULL!!', time='T' * 40, job='J' * 22, spm=-3, start=200, end=200,
                step=10, strokes=7, mode=1, peak=[0.05, 0.15, 0.25, -0.25],
                capacity=[1, 2, 3, 4], target=[4, 3, 2, 1], sample=[-1, -2, -3, -4], tons=False,
                plus=[10, 20, 30, 40], minus=[1, 2, 3, 4], efactor=[-5, 0, 5, 1010],
                curve=lambda c, i: (i % 7) * 0.05 - c)


if __name__ == '__main__':
    here = Path(__file__).parent
    for name, rec in [('zero', zero_record()), ('edge', edge_record()), ('window', window_record())]:
        (here / (name + '.csv')).write_bytes(report(rec).encode('latin-1'))
