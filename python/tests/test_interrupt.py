"""Long calls hear Ctrl-C and report progress, and other threads run meanwhile."""

import os
import signal
import threading
import time

import pytest

import ondrix


def test_ctrl_c_stops_a_long_enumeration_within_half_a_second(rule):
    sent = []

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    timer = threading.Timer(0.3, interrupt)
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            ondrix.enumerate(rule, 19, 40)  # a minute or more when left to run
        stopped = time.monotonic()
    finally:
        timer.cancel()
    assert sent and stopped - sent[0] < 0.5


def test_progress_is_heard_and_an_exception_in_it_stops_the_work(rule):
    heard = []
    found = ondrix.enumerate(rule, 14, 14, progress=lambda done, total: heard.append((done, total)))
    assert heard and heard[-1][0] == heard[-1][1] == found["rows"]
    assert [d for d, _ in heard] == sorted(d for d, _ in heard)

    def give_up(done, total):
        raise RuntimeError(f"stop at {done} of {total}")

    started = time.monotonic()
    with pytest.raises(RuntimeError, match="stop at"):
        ondrix.enumerate(rule, 19, 40, progress=give_up)
    assert time.monotonic() - started < 5


def test_the_gil_is_free_while_the_core_works(rule):
    ticks = []
    stop = threading.Event()

    def count():
        while not stop.is_set():
            ticks.append(1)
            time.sleep(0.001)

    counter = threading.Thread(target=count)
    counter.start()
    try:
        ondrix.spacetime(rule, ondrix.from_letters("BCAAB", 7680, 300), 20000)
    finally:
        stop.set()
        counter.join()
    assert len(ticks) > 10
