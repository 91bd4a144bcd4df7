"""A private X session for driving the real program: Xvfb, a session bus with
the accessibility bus, a German keyboard layout, a window manager, and a
temporary HOME with its XDG folders, so that nothing touches the real user's
settings. Used by the end-to-end tests and the screenshot script."""

import os
import shutil
import signal
import subprocess
import tempfile
import time


def _free_display():
    for n in range(90, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise RuntimeError("no free X display number")


def _wait_for(predicate, timeout, what):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return
        time.sleep(0.05)
    raise RuntimeError(f"timed out waiting for {what}")


def _terminate(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    end = time.monotonic() + 3
    while time.monotonic() < end:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.05)
    try:
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


class XSession:
    def __init__(self, width=1280, height=1024):
        self.width, self.height = width, height
        self.procs = []
        self.dir = tempfile.mkdtemp(prefix="mavrolin-e2e-")
        self.home = os.path.join(self.dir, "home")
        self.env = {}
        self.bus_pid = None

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _spawn(self, args, env=None, **kw):
        p = subprocess.Popen(args, env=env or self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def _start(self):
        n = _free_display()
        display = f":{n}"
        base = {k: v for k, v in os.environ.items()
                if not k.startswith(("XDG_", "DBUS_", "QT_", "WAYLAND"))}
        for sub in ("config", "state", "cache", "runtime", "data"):
            os.makedirs(os.path.join(self.home, sub), exist_ok=True)
        os.chmod(os.path.join(self.home, "runtime"), 0o700)
        base.update({
            "DISPLAY": display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_STATE_HOME": os.path.join(self.home, "state"),
            "XDG_CACHE_HOME": os.path.join(self.home, "cache"),
            "XDG_DATA_HOME": os.path.join(self.home, "data"),
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "LANG": "C.UTF-8",
        })
        self.env = base
        self._spawn(["Xvfb", display, "-screen", "0", f"{self.width}x{self.height}x24",
                     "-nolisten", "tcp", "-noreset"])
        _wait_for(lambda: subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL).returncode == 0,
                  20, "the X server")
        bus = os.path.join(self.dir, "bus")
        out = subprocess.run(["dbus-daemon", "--session", f"--address=unix:path={bus}", "--fork",
                              "--print-pid"], env=self.env, check=True, stdout=subprocess.PIPE)
        self.bus_pid = int(out.stdout.split()[0])
        self.env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={bus}"
        subprocess.run(["setxkbmap", "de"], env=self.env, check=False)
        ready = os.path.join(self.dir, "wm.ready")
        self._spawn(["openbox", "--sm-disable", "--startup", f"touch {ready}"])
        _wait_for(lambda: os.path.exists(ready), 20, "the window manager")
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.env["QT_QPA_PLATFORM"] = "xcb"

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        # The accessibility bus and registry were started on demand by our
        # session bus: they carry its address in their environment. Stop
        # exactly those, then the bus itself.
        for pid in self._bus_clients():
            _terminate(pid)
        if self.bus_pid:
            _terminate(self.bus_pid)
        shutil.rmtree(self.dir, ignore_errors=True)

    def _bus_clients(self):
        if not self.env.get("DBUS_SESSION_BUS_ADDRESS"):
            return []
        marker = ("DBUS_SESSION_BUS_ADDRESS=" + self.env["DBUS_SESSION_BUS_ADDRESS"]).encode()
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) in (os.getpid(), self.bus_pid):
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as f:
                    if marker in f.read().split(b"\0"):
                        found.append(int(entry))
            except OSError:
                pass
        return found
