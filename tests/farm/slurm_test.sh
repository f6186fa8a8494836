#!/usr/bin/env bash
# farm/slurm on a one-node Slurm cluster that this test starts on localhost: munged with a key
# of its own, slurmctld and slurmd with a minimal configuration, everything in a temporary
# folder and on free ports, stopped when the test ends. farm/slurm/submit sends an array job
# of 4 parts and the join that waits for it (--dependency=afterok); the joined video must be
# the capture of the same range and settings in one piece.
#
#   tests/farm/slurm_test.sh BUILD
set -euo pipefail
here=$(dirname -- "$(realpath -- "$0")")
# shellcheck source=tests/farm/common.sh
source "$here/common.sh"
build=$(realpath -- "$1")
work=$(mktemp -d)
chmod 700 "$work"
daemons=()
stop_cluster() {
  local pid i
  # Jobs end first (their step daemons go when they have reported), then the daemons.
  if [ -n "${SLURM_CONF:-}" ]; then
    scancel --quiet --user=root 2> /dev/null || true
    for ((i = 0; i < 30; i++)); do [ -z "$(squeue -h 2> /dev/null)" ] && break; sleep 1; done
  fi
  for pid in "${daemons[@]}"; do kill "$pid" 2> /dev/null || true; done
  for pid in "${daemons[@]}"; do wait "$pid" 2> /dev/null || true; done
  rm -rf -- "$work"
}
trap stop_cluster EXIT
cd "$work"

head -c 1024 /dev/urandom > munge.key
chmod 600 munge.key
# --force: root may run it, as here.
munged --foreground --force --key-file="$work/munge.key" --socket="$work/munge.sock" \
  --pid-file="$work/munged.pid" --seed-file="$work/munged.seed" --log-file="$work/munged.log" 2> munged.err &
daemons+=($!)

read -r controller_port node_port < <(python3 -c '
import socket
sockets = [socket.socket() for _ in range(2)]
for s in sockets: s.bind(("127.0.0.1", 0))
print(*[s.getsockname()[1] for s in sockets])')
host=$(hostname -s)
mkdir state spool
cat > slurm.conf << CONF
ClusterName=lantern
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$controller_port
SlurmdPort=$node_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge.sock
CredType=cred/munge
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MpiDefault=none
ReturnToService=2
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=lantern Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$work/slurm.conf
for ((i = 0; i < 50; i++)); do [ -S munge.sock ] && break; sleep 0.1; done
slurmctld -D -c -f "$SLURM_CONF" > slurmctld.log 2>&1 &
daemons+=($!)
slurmd -D -f "$SLURM_CONF" > slurmd.log 2>&1 &
daemons+=($!)
for ((i = 0; i < 60; i++)); do
  [ "$(sinfo -h -o %t 2> /dev/null)" = idle ] && break
  sleep 1
done
[ "$(sinfo -h -o %t 2> /dev/null)" = idle ] || fail "the cluster did not start: $(tail -5 slurmctld.log slurmd.log)"
echo "slurm: a one-node cluster is up on ports $controller_port and $node_port"

export LANTERN=$build/lantern
settings=(--fps 30 --size 320x240 --from 150 --to 152 --crf 0 --data "$build")
mkdir out
SBATCH_PART_OPTS=--cpus-per-task=1 "$here/../../farm/slurm/submit" "$work/out/piece.mkv" 4 "${settings[@]}" > submitted
array_job=$(sed -n 's/^parts: job \([0-9]*\).*/\1/p' submitted)
join_job=$(sed -n 's/.*join: job \([0-9]*\)$/\1/p' submitted)
echo "slurm: $(cat submitted)"
[ "$(scontrol show job "$join_job" | grep -o 'Dependency=[^ ]*')" = "Dependency=afterok:${array_job}_*(unfulfilled)" ] ||
  fail "the join does not wait for the parts: $(scontrol show job "$join_job")"
state=
for ((i = 0; i < 600; i++)); do
  state=$(scontrol show job "$join_job" | grep -o 'JobState=[A-Z]*' | cut -d= -f2)
  case $state in PENDING | RUNNING | CONFIGURING | COMPLETING) sleep 1 ;; *) break ;; esac
done
[ "$state" = COMPLETED ] || fail "the join ended $state: $(cat lantern-*.log)"
[ "$(cat lantern-part-*.log | grep -c 'lantern capture: wrote .*part ./4')" = 4 ] || fail "$(cat lantern-part-*.log)"
"$LANTERN" capture whole.mkv "${settings[@]}" 2> whole.log || fail "capture in one piece: $(cat whole.log)"
same_video whole.mkv out/piece.mkv
echo "slurm: an array of 4 parts and its join give the frames and sound of one capture"
