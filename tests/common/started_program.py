"""The programs a test starts, in a process group that ends whole with the
test, however it ends: when it is done, when a run times out or fails, and
when the test process is killed, as ctest does at a test's TIMEOUT. A run
that times out is killed at once.

As in started_program.h, a guard leads the group: a shell that waits for the
end of its standard input, a pipe whose other end only this process holds,
and then kills every process of its group. Every program joins that group.
One guard serves the whole test: a process apiece would slow a test of a
thousand short runs by half.
"""
import atexit
import os
import subprocess

# Ignores what could end it early; its standard input ends when this
# process has gone, however.
GUARD = "trap '' HUP INT QUIT TERM; read -r _; kill -KILL 0"


def _start_guard():
    lifeline, held = os.pipe()
    try:
        guard = subprocess.Popen(["/bin/sh", "-c", GUARD], stdin=lifeline, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, process_group=0)
    except BaseException:
        os.close(held)
        raise
    finally:
        os.close(lifeline)

    def end_group():
        os.close(held)  # the guard kills whatever is left of the group
        guard.wait()

    atexit.register(end_group)
    return guard.pid


_GROUP = _start_guard()


def run(args, check=False, timeout=20, **kwargs):
    """subprocess.run(args, capture_output=True, check=check, timeout=timeout,
    **kwargs), the program in the test's guarded process group."""
    with subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, process_group=_GROUP,
                          **kwargs) as program:
        try:
            out, err = program.communicate(timeout=timeout)
        except BaseException:
            program.kill()
            raise
    if check and program.returncode != 0:
        raise subprocess.CalledProcessError(program.returncode, args, out, err)
    return subprocess.CompletedProcess(args, program.returncode, out, err)
