#!/usr/bin/env bash
# The demo: builds kvcam and the virtual camera, starts one virtual camera on a
# loopback address and drives it with kvcam: discover, initialise, status,
# cool to a set-point, move the filter wheel, expose. The camera is stopped
# on every way out of this script.
set -euo pipefail
cd "$(dirname "$0")/.."

address=${KVCAM_DEMO_ADDRESS:-127.0.0.2}
build=${KVAPI_BUILD_DIR:-build}

if [ -t 1 ]; then
  heading() { printf '\n\033[1m== %s ==\033[0m\n' "$*"; }
else
  heading() { printf '\n== %s ==\n' "$*"; }
fi

heading "Setting up"
./scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVAPI_WERROR=ON >/dev/null
cmake --build "$build" --target kvcam kvsim

kvsim="$build/sim/kvsim"
kvcam="$build/tools/kvcam"
log="$build/demo-kvsim.log"

heading "Starting a virtual camera on $address (its log: $log)"
# In a session of its own, so that Ctrl-C reaches kvcam and the trap below stops the camera.
setsid "$kvsim" --config scripts/demo-camera.yml --address "$address" --no-stdin >"$log" 2>&1 &
kvsim_pid=$!
stop_camera() {
  if kill -0 "$kvsim_pid" 2>/dev/null; then
    kill -TERM "$kvsim_pid" 2>/dev/null || true
    wait "$kvsim_pid" 2>/dev/null || true
    echo "The virtual camera is stopped."
  fi
}
trap stop_camera EXIT
trap 'exit 130' INT TERM

for _ in $(seq 100); do
  grep -q "answering on" "$log" && break
  if ! kill -0 "$kvsim_pid" 2>/dev/null; then
    cat "$log"
    echo "The virtual camera did not start." >&2
    exit 1
  fi
  sleep 0.1
done
grep -m 1 "answering on" "$log"

cam() {
  echo "\$ kvcam --address $address $*"
  "$kvcam" --address "$address" "$@"
}

heading "Discover the cameras at $address"
cam list
heading "Initialise it and show its identity"
cam info
heading "Its status"
cam status
heading "Cool the sensor to -5 °C and follow it until it settles"
cam cool -5
heading "Move the filter wheel to position 3"
cam wheel 3
heading "Start a 2 s exposure and follow it to ReadyToDownload"
cam expose 2
heading "Switch the cooler off"
cam cool off
heading "Done"
echo "kvcam --help lists every command; kvcam COMMAND --help explains one."
