"""The example scripts run without a display and write their pictures."""
import os
import pathlib
import subprocess
import sys

import pytest

EXAMPLES = pathlib.Path(os.environ["VELQUIN_SOURCE_DIR"]) / "examples" / "python"


@pytest.mark.parametrize("script", ["polar.py", "flow.py"])
def test_example_writes_its_png(tmp_path, script):
    out = tmp_path / (script[:-3] + ".png")
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    run = subprocess.run([sys.executable, str(EXAMPLES / script), str(out)], env=env,
                         capture_output=True, text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert out.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n" and out.stat().st_size > 20000
