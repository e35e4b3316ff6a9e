"""Reads the HDF5, MATLAB, NumPy and WAV files of one view with the tools analysts use and holds
every number and attribute against the CSV tables of the same view.

    read_analysis_files.py FOLDER UNITS SAMPLE_PERIOD_US MEASURED_AT

FOLDER holds values.csv (the view with its time in s and '.' as the decimal separator),
codes.csv (the same channels and points in converter units, not smoothed) and view.h5,
view.mat, view.npy and view.wav. Prints one line per difference and exits 1 when there is any.
"""

import os
import sys

import h5py
import numpy
import scipy.io
import scipy.io.wavfile

folder, units, period, measured_at = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4]
problems = []


def check(ok, what):
    if not ok:
        problems.append(what)


def read_table(name):
    """The header lines, the smoothing, the comment, the channels and the rows of a table."""
    with open(os.path.join(folder, name), "rb") as f:
        text = f.read().decode("cp1251")
    head = text.split("\r", 12)
    rest = head.pop()
    smoothing = 1
    if rest.startswith("Выполнено интегрирование по "):
        line, rest = rest.split("\r", 1)
        smoothing = int(line.split()[-1])
    # The comment (CR LF between its lines), two CRs, the column header, the rows.
    comment, rest = rest.split("\r\r", 1)
    lines = rest.split("\r")
    channels = [int(c) for c in lines[0].rstrip(";").split(";")[1:]]
    rows = [[float(v) for v in line.rstrip(";").split(";")] for line in lines[1:] if line]
    return head, smoothing, comment.replace("\r\n", "\n"), channels, rows


head, smoothing, comment, channels, rows = read_table("values.csv")
_, _, _, code_channels, code_rows = read_table("codes.csv")
check(code_channels == channels, "the two tables hold other channels")
calibration = {int(f[0]): (float(f[1]), float(f[2])) for f in (l.split(";") for l in head[2:10])}
time = [r[0] for r in rows]
values = [r[1:] for r in rows]
codes = numpy.array([r[1:] for r in code_rows], dtype=numpy.int64).reshape(len(rows), -1)
numbers = {  # compared to 15 significant digits, as the table writes them
    "values": values,
    "time": time,
    "scale": [calibration[n][1] for n in channels],
    "shift": [calibration[n][0] for n in channels],
}
exact = {"channels": channels, "sample_period_us": [period], "smoothing": [smoothing]}
texts = {
    "units": units,
    "x_title": head[11].split(";")[0],
    "y_title": head[10].split(";")[0],
    "comment": comment,
    "measured_at": measured_at,
    "source": head[0][len("Данные из файла "):].rsplit("  ", 1)[0],
}
names = sorted(["codes", *numbers, *exact, *texts])


def same15(got, table, what):
    got = numpy.ravel(numpy.asarray(got, dtype=numpy.float64))
    table = numpy.ravel(numpy.asarray(table, dtype=numpy.float64))
    if got.shape != table.shape:
        return check(False, f"{what}: {got.shape} numbers, the table {table.shape}")
    bad = [i for i, (g, t) in enumerate(zip(got, table)) if float("%.15g" % g) != t]
    check(not bad, f"{what}: {len(bad)} numbers differ from the table, the first at {bad[:1]}")


def check_contents(kind, get):
    c = get("codes")
    check(c.dtype == numpy.uint16, f"{kind} codes are {c.dtype}")
    check(c.shape == codes.shape and (c == codes).all(), f"{kind} codes differ, {c.shape}")
    v = get("values")
    check(v.dtype == numpy.float64 and v.shape == codes.shape, f"{kind} values {v.shape}")
    for name, table in numbers.items():
        same15(get(name), table, f"{kind} {name}")
    for name, want in exact.items():
        got = list(numpy.ravel(get(name)))
        check(got == want, f"{kind} {name}: {got}, expected {want}")
    for name, want in texts.items():
        got = get(name)
        check(got == want, f"{kind} {name}: {got!r}, the table {want!r}")


with h5py.File(os.path.join(folder, "view.h5"), "r") as f:
    check(sorted(f) == ["codes", "time", "values"], f"HDF5 datasets {sorted(f)}")
    check(sorted([*f, *f.attrs]) == names, f"HDF5 attributes {sorted(f.attrs)}")
    check(f["time"].shape == (len(rows),), f"HDF5 time {f['time'].shape}")
    check_contents("HDF5", lambda name: f[name][()] if name in f else f.attrs[name])

# MATLAB keeps its characters as UTF-16 code units.
m = scipy.io.loadmat(os.path.join(folder, "view.mat"), uint16_codec="utf-16-le")
check(sorted(k for k in m if not k.startswith("__")) == names, f"MATLAB variables {sorted(m)}")
check(m["time"].shape == (len(rows), 1), f"MATLAB time is no column: {m['time'].shape}")
check_contents("MATLAB", lambda name: (str(m[name][0]) if m[name].size else "")
               if name in texts else m[name])

a = numpy.load(os.path.join(folder, "view.npy"))
check(a.dtype == numpy.dtype("<f8") and a.flags["C_CONTIGUOUS"], f"NumPy {a.dtype}")
check(a.shape == codes.shape, f"NumPy shape {a.shape}")
same15(a, values, "NumPy values")

rate, sound = scipy.io.wavfile.read(os.path.join(folder, "view.wav"))
check(rate == round(1e6 / period), f"WAV rate {rate}")
check(sound.dtype == numpy.int16 and sound.shape == codes.shape, f"WAV {sound.dtype} {sound.shape}")
check(sound.shape == codes.shape and (sound == (codes - 2048) * 16).all(), "WAV samples differ")

for p in problems:
    print(p)
sys.exit(1 if problems else 0)
