#!/bin/bash
# Every soliton of a rule up to a width and a period, spread over a Slurm
# job array: each array task runs one shard of the enumeration and writes
# its JSON; a last job, once every task has ended well, merges the shards
# into the one run's answer.
#
#   sbatch --array=0-29 examples/enumerate-slurm.sh solCA.dat 22 40
#   # when the array is done (or: sbatch --dependency=afterok:JOBID ...):
#   ONDRIX_MERGE=1 examples/enumerate-slurm.sh solCA.dat 22 40
#
# The shards go into shards-<rule's SHA-256, 12 digits>-W<width>-P<period>/
# in the folder it is run from; a shard already there is not run again, so
# a task can simply be resubmitted.
#SBATCH --job-name=ondrix-enumerate
#SBATCH --cpus-per-task=2
#SBATCH --time=04:00:00
#SBATCH --output=ondrix-enumerate-%A_%a.log
set -euo pipefail

rule=${1:?give the rule file}
width=${2:?give the largest width}
period=${3:?give the largest period}
tool=${ONDRIX_TOOL:-ondrix-tool}
[ -r "$rule" ] || { echo "cannot read $rule" >&2; exit 2; }
digest=$(sha256sum < "$rule" | cut -c1-12)
folder=${ONDRIX_SHARDS:-shards-$digest-W$width-P$period}
count=${SLURM_ARRAY_TASK_COUNT:-1}
mkdir -p "$folder"

if [ "${ONDRIX_MERGE:-0}" = 1 ]; then
  shards=("$folder"/shard-*-of-*.json)
  # Into place only when the merge took every shard; an earlier answer
  # stays otherwise.
  "$tool" enumerate --merge "${shards[@]}" --json > "$folder/merged.json.part"
  "$tool" enumerate --merge "${shards[@]}" > "$folder/merged.txt.part"
  mv "$folder/merged.json.part" "$folder/merged.json"
  mv "$folder/merged.txt.part" "$folder/merged.txt"
  echo "$folder/merged.json: ${#shards[@]} shards merged"
  exit 0
fi

index=${SLURM_ARRAY_TASK_ID:?run under sbatch --array=0-(N-1), or set SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_COUNT}
out="$folder/shard-$index-of-$count.json"
if [ -s "$out" ]; then
  echo "$out is there already"
  exit 0
fi
# Written under another name first, so that a killed task leaves no shard
# that looks finished.
"$tool" enumerate "$rule" --max-width "$width" --max-period "$period" \
  --shard "$index/$count" --threads "${SLURM_CPUS_PER_TASK:-0}" > "$out.part"
mv "$out.part" "$out"
