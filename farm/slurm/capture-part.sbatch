#!/usr/bin/env bash
#SBATCH --job-name=lantern-part
#SBATCH --cpus-per-task=2
#SBATCH --output=lantern-part-%A_%a.log
# One part of a capture, as one task of an array job of N tasks (farm/slurm/submit sends
# it): task K draws "<name>.part<K>of<N>.<kind>" beside OUT. OUT's folder must be shared by
# the nodes (the join reads every part from it); so must the data, or be at the same path on
# each node.
#
#   sbatch --array=1-N farm/slurm/capture-part.sbatch OUT [CAPTURE OPTIONS...]
#
# LANTERN names the program (default: lantern on PATH). A task that is run again (requeued,
# or the array sent again after a failure) keeps a part that is already whole.
set -euo pipefail
out=$1
shift
parts=${SLURM_ARRAY_TASK_COUNT:?run as an array job: sbatch --array=1-N}
part=$SLURM_ARRAY_TASK_ID
name=$(basename -- "$out")
# The renderer draws on the cores the task was given.
export LP_NUM_THREADS=${SLURM_CPUS_PER_TASK:-1}
exec "${LANTERN:-lantern}" capture "$(dirname -- "$out")/${name%.*}.part${part}of$parts.${name##*.}" \
  --part "$part/$parts" "$@"
