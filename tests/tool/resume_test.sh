#!/usr/bin/env bash
# A checkpointed enumeration killed part way (SIGKILL) and run again from
# its checkpoint ends with the uninterrupted run's answer; and the Slurm
# array script, its body run for each array index in turn and then its
# merge, gives the same answer too.
set -euo pipefail
tool=$1 assets=$2 examples=$3
tmp=$(mktemp -d)
trap 'kill -9 "${run:-0}" 2>/dev/null || true; rm -rf "$tmp"' EXIT
cd "$tmp"
cp "$assets/solCA.dat" .
bounds=(--max-width 17 --max-period 40 --threads 1)

"$tool" --quiet enumerate solCA.dat "${bounds[@]}" --json > whole.json

# Killed once its first checkpoint is written (after its first stretch of
# work); the checkpoint must then hold part of the work, not all of it.
"$tool" --quiet enumerate solCA.dat "${bounds[@]}" --json --checkpoint run.checkpoint --checkpoint-every 0 > killed.json &
run=$!
for _ in $(seq 600); do
  [ -s run.checkpoint ] && break
  kill -0 "$run" 2>/dev/null || break
  sleep 0.1
done
kill -9 "$run" 2>/dev/null || true
wait "$run" 2>/dev/null || true
[ -s run.checkpoint ] || { echo "no checkpoint was written"; exit 1; }
/usr/bin/python3 - <<'PY'
import json
c = json.load(open("run.checkpoint"))
assert 0 < c["units_done"] < c["units"], f"the checkpoint holds {c['units_done']} of {c['units']} units"
print(f"killed with {c['units_done']} of {c['units']} units done")
PY

# Run again: it goes on from the checkpoint.
"$tool" --quiet enumerate solCA.dat "${bounds[@]}" --json --checkpoint run.checkpoint > resumed.json
# A checkpoint of other bounds is refused.
if "$tool" --quiet enumerate solCA.dat --max-width 16 --max-period 40 --checkpoint run.checkpoint > /dev/null 2> refused.txt; then
  echo "a checkpoint of other bounds was taken"; exit 1
fi
grep -q "a checkpoint of another run" refused.txt

# The Slurm script's body for array tasks 0..3 of 4, then its merge.
for index in 0 1 2 3; do
  SLURM_ARRAY_TASK_ID=$index SLURM_ARRAY_TASK_COUNT=4 ONDRIX_TOOL=$tool ONDRIX_SHARDS=shards \
    bash "$examples/enumerate-slurm.sh" solCA.dat 17 40 > /dev/null
done
ONDRIX_MERGE=1 ONDRIX_TOOL=$tool ONDRIX_SHARDS=shards bash "$examples/enumerate-slurm.sh" solCA.dat 17 40 > /dev/null

/usr/bin/python3 - <<'PY'
import json
def answer(name):
    j = json.load(open(name))
    j.pop("provenance")
    return j
whole = answer("whole.json")
for other in ("resumed.json", "shards/merged.json"):
    assert answer(other) == whole, f"{other} is not the uninterrupted run's answer"
print(f"{len(whole['solitons'])} solitons, resumed and merged alike")
PY
