"""Reading the shared harness's table (one row per task and tool) for the goal lines the scripts print."""
import csv


def load(path):
    return list(csv.DictReader(open(path), delimiter="\t"))


def ratio(rows, task_start, tool):
    """The paired ratio (their time / ours) of tool in the first task whose name starts with task_start."""
    for r in rows:
        if r["task"].startswith(task_start) and r["tool"] == tool and r["ratio"]:
            return float(r["ratio"])
    return None
