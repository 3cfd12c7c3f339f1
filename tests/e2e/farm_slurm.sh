#!/usr/bin/env bash
# Submits the Slurm array recipe of docs/farm to a one-node Slurm started here for the test, and
# compares every frame it renders with a one-run render. munged, slurmctld and slurmd run in the
# foreground inside a network namespace of their own, so they reach each other over its loopback
# only and no port can clash with anything else on the machine; key, configuration, state and
# logs (the daemons' standard error) live in a temporary folder. Everything is stopped and removed
# at the end.
#   tests/e2e/farm_slurm.sh BUILD
set -u
BUILD=$(realpath "$1")
cd "$(dirname "$0")/../.." || exit 1
if [ "${2:-}" != --in-namespace ]; then
    [ "$(id -u)" -eq 0 ] || { echo "skipped: a private Slurm needs root"; exit 0; }
    exec timeout 300 unshare --net bash "$PWD/tests/e2e/farm_slurm.sh" "$BUILD" --in-namespace
fi
source tests/e2e/lib/expect.bash "$BUILD"
source tests/e2e/lib/farm.bash
skipWithoutAnimate

DAEMONS=()
JOB=
stopDaemons() {
    local pid
    [ -n "$JOB" ] && scancel "$JOB" 2>/dev/null
    for pid in "${DAEMONS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${DAEMONS[@]}"; do timeout 30 tail --pid="$pid" -f /dev/null; done
    rm -rf "$OUT"
}
trap stopDaemons EXIT
trap 'exit 1' INT TERM

# Waits up to $1 seconds until the command $2 succeeds while every daemon still runs.
waitFor() {
    local deadline=$((SECONDS + $1)) pid
    until eval "$2" >/dev/null 2>&1; do
        for pid in "${DAEMONS[@]}"; do kill -0 "$pid" 2>/dev/null || return 1; done
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# Prints the daemons' logs after a failed step, and ends the test.
giveUp() {
    echo "FAIL $1"
    tail -n 20 "$OUT"/*.log
    exit 1
}

# The second loopback address is there for getaddrinfo: with only 127.0.0.1 it takes the host
# for one without IPv4 and finds no address for Slurm's listening sockets.
{ ip link set lo up && ip addr add 127.0.0.2/8 dev lo; } || giveUp "setting up the loopback"
chmod 711 "$OUT"  # munged wants its socket reachable by every user
mkdir -m 711 "$OUT/munge"
mkdir -m 700 "$OUT/state" "$OUT/spool" "$OUT/farm" "$OUT/one-run"
head -c 1024 /dev/urandom >"$OUT/munge/key"
chmod 400 "$OUT/munge/key"
munged --foreground --force --socket="$OUT/munge/socket" --key-file="$OUT/munge/key" \
    --pid-file="$OUT/munge/pid" --seed-file="$OUT/munge/seed" --log-file="$OUT/munged.log" 2>/dev/null &
DAEMONS+=($!)
waitFor 10 '[ -S "$OUT/munge/socket" ]' || giveUp "starting munged"

export SLURM_CONF=$OUT/slurm.conf
cat >"$SLURM_CONF" <<CONF
ClusterName=quadray-test
SlurmctldHost=localhost
SlurmctldPort=6817
SlurmdPort=6818
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$OUT/munge/socket
CredType=cred/munge
StateSaveLocation=$OUT/state
SlurmdSpoolDir=$OUT/spool
SlurmctldPidFile=$OUT/slurmctld.pid
SlurmdPidFile=$OUT/slurmd.pid
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
AccountingStorageType=accounting_storage/none
JobAcctGatherType=jobacct_gather/none
JobCompType=jobcomp/none
MpiDefault=none
ReturnToService=2
NodeName=localhost NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=farm Nodes=localhost Default=YES MaxTime=INFINITE State=UP
CONF
slurmctld -D -i -f "$SLURM_CONF" >"$OUT/slurmctld.log" 2>&1 &
DAEMONS+=($!)
slurmd -D -N localhost -f "$SLURM_CONF" >"$OUT/slurmd.log" 2>&1 &
DAEMONS+=($!)
waitFor 60 'sinfo -h -o %T | grep -q idle' ||
    giveUp "waiting for the node to be idle"

# Polled here rather than with sbatch --wait, which looks only every few seconds.
RECIPE=$PWD/docs/farm/slurm-array.sh
JOB=$(cd "$OUT/farm" && QUADRAY_RENDER=$FARM_RENDER sbatch --parsable \
    --array=0-$((FARM_FRAMES - 1)) "$RECIPE" "$FARM_FRAMES" "${FARM_OPTIONS[@]}")
expect "status of sbatch" 0 "$?"
waitFor 120 '[ -z "$(squeue -h -j "$JOB")" ]' || giveUp "waiting for the array job $JOB"
expect "states of the array tasks" "$(printf 'JobState=COMPLETED\n%.0s' $(seq "$FARM_FRAMES"))" \
    "$(scontrol show job "$JOB" | grep -o 'JobState=[A-Z_]*')"
renderInOneRun "$OUT/one-run"
compareFrames "the Slurm array job" "$OUT/farm" "$OUT/one-run"
finish
