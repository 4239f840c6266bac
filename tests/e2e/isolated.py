"""Runs one end-to-end test module in network and mount namespaces of its own.

    python3 isolated.py test_connect

Inside scripts/in-private-network.sh (ZR_PRIVATE_NETWORK=1) the module re-runs itself under
`unshare`, so each test module gets a network that no other test sees: its own loopback, its
own /run/netns for the simulated hosts, its own /var/tmp and its own runtime folder
(XDG_RUNTIME_DIR), where the program keeps its one-program-per-user lock and socket.  Modules
can then run in parallel without hearing each other's broadcasts or finding each other's
program, and never reach a program the user runs on the real desktop.

Outside the private network the tests run unisolated and skip themselves.
"""

import os
import subprocess
import sys
import unittest

ISOLATED = "ZR_E2E_ISOLATED"


def isolate(module):
    """Replaces this process with the same run inside fresh namespaces."""
    env = {**os.environ, ISOLATED: "1"}
    command = ["unshare", "--net", "--mount", "--propagation", "private", "--",
               sys.executable, os.path.abspath(__file__), module]
    os.execvpe(command[0], command, env)


def prepare_namespaces():
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    os.makedirs("/run/netns", exist_ok=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=755", "zr-e2e-netns", "/run/netns"], check=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=1777", "zr-e2e-locks", "/var/tmp"], check=True)
    runtime = "/var/tmp/zr-e2e-runtime"
    os.mkdir(runtime, 0o700)
    os.environ["XDG_RUNTIME_DIR"] = runtime


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: isolated.py TEST_MODULE")
    module = sys.argv[1]
    if os.environ.get("ZR_PRIVATE_NETWORK") == "1":
        if os.environ.get(ISOLATED) != "1":
            isolate(module)
        prepare_namespaces()
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    unittest.main(module=module, argv=[sys.argv[0], "-v"])


if __name__ == "__main__":
    main()
