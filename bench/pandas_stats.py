"""The peer of bench_datamgr: hourly statistics of a float32 matrix with pandas.

usage: pandas_stats.py VALUES.f32 SENSORS START_EPOCH_SECONDS OUT.npy
Prints the seconds that reading and aggregating took (interpreter start-up and
writing the result excluded) and saves count, min, max, mean, std, sum per hour
and sensor for the caller to compare.
"""
import sys
import time

import numpy as np
import pandas as pd

path, sensors, start, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
t0 = time.perf_counter()
values = np.fromfile(path, dtype=np.float32).reshape(-1, sensors)
index = pd.date_range(pd.Timestamp(start, unit="s"), periods=values.shape[0], freq="1min")
frame = pd.DataFrame(values, index=index)
result = frame.resample("1h").agg(["min", "max", "mean", "std", "sum", "count"])
elapsed = time.perf_counter() - t0
# hours x sensors x (count, min, max, mean, std, sum)
stats = np.stack(
    [result.xs(k, axis=1, level=1).to_numpy(dtype=np.float64) for k in ("count", "min", "max", "mean", "std", "sum")],
    axis=2,
)
np.save(out, stats)
print(f"{elapsed:.6f}")
