"""What the tests share: the shipped rule and catalogue, and ondrix-tool run
as a process for its JSON. CTest names the tool and the data folder."""

import json
import os
import shutil
import subprocess

import pytest

import ondrix

TOOL = os.environ.get("ONDRIX_TOOL") or shutil.which("ondrix-tool")


@pytest.fixture(scope="session")
def rule():
    return ondrix.Rule(ondrix.shipped("solCA.dat"))


@pytest.fixture(scope="session")
def catalogue(rule):
    return ondrix.Catalogue(ondrix.shipped("Sol.dat"), rule)


def run_tool(*args, cwd=None):
    """ondrix-tool's output; its JSON without the provenance when it prints JSON."""
    if TOOL is None:
        pytest.skip("ondrix-tool is not built here (set ONDRIX_TOOL)")
    done = subprocess.run([TOOL, *map(str, args)], capture_output=True, check=False, cwd=cwd)
    assert done.returncode in (0, 3), done.stderr.decode()
    if "--json" in args:
        out = json.loads(done.stdout)
        out.pop("provenance", None)
        return out
    return done


def without_provenance(result):
    return {k: v for k, v in result.items() if k != "provenance"}
