"""Screenshots of local HTML files with one headless Chromium per rendering mode.

Starting Chromium once per picture costs seconds; instead one browser is driven over its
DevTools pipe (--remote-debugging-pipe: commands on fd 3, answers on fd 4, each a JSON text
ended by a NUL byte). Each page is loaded in a fresh tab at the given width and scale, and
captured at the height of its content, so nothing is cut and nothing scrolls.

Sub-pixel or grey anti-aliasing is chosen for the whole browser through a fontconfig file of
its own (rgba rgb with the default LCD filter, or rgba none), hinting slight as desktops set it.
"""
import base64
import json
import os
import subprocess
import tempfile

FONTCONFIG = """<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><include ignore_missing="yes">/etc/fonts/fonts.conf</include>
<match target="font">
<edit name="antialias" mode="assign"><bool>true</bool></edit>
<edit name="hinting" mode="assign"><bool>true</bool></edit>
<edit name="hintstyle" mode="assign"><const>hintslight</const></edit>
<edit name="rgba" mode="assign"><const>%s</const></edit>
<edit name="lcdfilter" mode="assign"><const>lcddefault</const></edit>
</match></fontconfig>
"""


class Browser:
    def __init__(self, subpixel, chromium="chromium"):
        self.home = tempfile.mkdtemp(prefix="screenbench-")
        conf = os.path.join(self.home, "fonts.conf")
        with open(conf, "w") as f:
            f.write(FONTCONFIG % ("rgb" if subpixel else "none"))
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        env = dict(os.environ, FONTCONFIG_FILE=conf)
        # The pipe ends must sit at fd 3 and 4 in the child (kept open by pass_fds, which
        # applies after preexec_fn).
        def child_fds():
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)
        self.process = subprocess.Popen(
            ["nice", "-n", "19", chromium, "--headless", "--no-sandbox", "--disable-gpu",
             "--disable-quic", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--hide-scrollbars",
             "--remote-debugging-pipe", "--user-data-dir=" + os.path.join(self.home, "profile"),
             "about:blank"],
            env=env, preexec_fn=child_fds, pass_fds=(3, 4),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.next_id, self.buffer, self.events = 0, b"", []

    def _message(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("chromium closed its DevTools pipe")
            self.buffer += chunk
        text, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(text)

    def call(self, method, params=None, session=None):
        self.next_id += 1
        msg = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            msg["sessionId"] = session
        os.write(self.to_browser, json.dumps(msg).encode() + b"\0")
        while True:
            answer = self._message()
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})
            self.events.append(answer)

    def wait_event(self, method, session):
        while True:
            for i, e in enumerate(self.events):
                if e.get("method") == method and e.get("sessionId") == session:
                    del self.events[i]
                    return e
            self.events.append(self._message())

    def shoot(self, html_path, png_path, width, scale):
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.call("Target.attachToTarget", {"targetId": target,
                                                      "flatten": True})["sessionId"]
        self.call("Page.enable", session=session)
        metrics = {"width": width, "height": 16, "deviceScaleFactor": scale, "mobile": False}
        self.call("Emulation.setDeviceMetricsOverride", metrics, session)
        self.call("Page.navigate", {"url": "file://" + os.path.abspath(html_path)}, session)
        self.wait_event("Page.loadEventFired", session)
        self.call("Runtime.evaluate", {"expression": "document.fonts.ready.then(() => 1)",
                                       "awaitPromise": True}, session)
        height = self.call("Runtime.evaluate", {
            "expression": "document.documentElement.scrollHeight", "returnByValue": True},
            session)["result"]["value"]
        metrics["height"] = int(height)
        self.call("Emulation.setDeviceMetricsOverride", metrics, session)
        data = self.call("Page.captureScreenshot", {"format": "png"}, session)["data"]
        with open(png_path, "wb") as f:
            f.write(base64.b64decode(data))
        self.call("Target.closeTarget", {"targetId": target})
        self.events = [e for e in self.events if e.get("sessionId") != session]

    def close(self):
        try:
            self.call("Browser.close")
        except (RuntimeError, OSError):
            pass
        self.process.wait(timeout=30)
        subprocess.run(["rm", "-rf", self.home])
