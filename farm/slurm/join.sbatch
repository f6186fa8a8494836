#!/usr/bin/env bash
#SBATCH --job-name=lantern-join
#SBATCH --cpus-per-task=1
#SBATCH --output=lantern-join-%j.log
# The join of a capture's N parts beside OUT into OUT, sent to wait for the array job that
# draws them (farm/slurm/submit):
#
#   sbatch --dependency=afterok:ARRAY_JOB_ID farm/slurm/join.sbatch OUT N [--data DIR]
set -euo pipefail
out=$1
parts=$2
shift 2
name=$(basename -- "$out")
part_files=()
for ((k = 1; k <= parts; k++)); do
  part_files+=("$(dirname -- "$out")/${name%.*}.part${k}of$parts.${name##*.}")
done
exec "${LANTERN:-lantern}" join "$out" "${part_files[@]}" "$@"
