"""Runs the real gateway on the demo configuration and walks the demo
application with the Python terminal client (tervo_client.py):

    sign on, Main Menu, an option that is not on the menu (the error page),
    Item Inquiry, an item, F3 back to the menu.

    demo_walk.py --tervo PATH --demo demo/warehouse.TVO --doc docs/radio-protocol.md
                 [--secure --tls-dir tests/data/tls] [--protocol 1]

--secure gives the gateway a key file and a TLS certificate, and checks on
the way that a client without the secret gets nothing.  --protocol 1 walks
as a version-1 device (only without --secure).  The first screen
must be byte for byte the document's worked example.  Exit 0 when the walk
passed.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tervo_client as tc  # noqa: E402


def fail(message, terminal=None):
    print("FAILED: " + message)
    if terminal is not None:
        print("the terminal shows:\n" + "\n".join(terminal.display.lines()))
    sys.exit(1)


def check(condition, message, terminal=None):
    if not condition:
        fail(message, terminal)


def start_gateway(args, workdir):
    shutil.copy(args.demo, os.path.join(workdir, "warehouse.TVO"))
    settings = os.path.join(workdir, "settings.ini")
    secret = None
    with open(settings, "w") as f:
        if args.secure:
            keys = os.path.join(workdir, "terminal-keys")
            secret = os.urandom(16).hex()
            fd = os.open(keys, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
            with os.fdopen(fd, "w") as k:
                k.write("# the walk's terminal\nT1 = %s\n" % secret)
            f.write("[QuilComm]\n")
            f.write("Security\\KeyFile=%s\n" % keys)
            f.write("Security\\TlsCertificate=%s\n" % os.path.join(args.tls_dir, "localhost.crt"))
            f.write("Security\\TlsKey=%s\n" % os.path.join(args.tls_dir, "localhost.key"))
    err = open(os.path.join(workdir, "gateway.err"), "w")
    gateway = subprocess.Popen(
        [args.tervo, "--headless", "--config", os.path.join(workdir, "warehouse"),
         "--settings", settings, "--log-folder", os.path.join(workdir, "log"),
         "--radio-address", "127.0.0.1:0", "--sessions", "2"],
        stdout=subprocess.PIPE, stderr=err, stdin=subprocess.DEVNULL, text=True)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        line = gateway.stdout.readline()
        if "tervo: ready" in line:
            break
        if not line and gateway.poll() is not None:
            fail("the gateway did not start: " + open(err.name).read())
    port = None
    for line in open(err.name):
        m = re.search(r"terminals connect to port (\d+)", line)
        if m:
            port = int(m.group(1))
    check(port, "the gateway did not say its port")
    return gateway, port, secret


def document_screen(doc):
    """The worked example's SCREEN frame (section 10)."""
    m = re.search(r"<!-- frame: screen -->\n```hex\n([0-9a-f \n]*)```", open(doc).read())
    return bytes.fromhex(m.group(1).replace("\n", " ")) if m else None


def walk(args, port, secret):
    log = (lambda s: print(s)) if args.verbose else (lambda s: None)
    ca = os.path.join(args.tls_dir, "localhost.crt") if args.secure else None

    if args.secure:
        # Without the secret, with a wrong one, or with an id that does not
        # exist: refused alike, nothing else.
        for ident, wrong in (("T1", None), ("T1", "0" * 32), ("T9", "0" * 32)):
            stranger = tc.Terminal(ident, "127.0.0.1", port, secret=wrong, tls_ca=ca, log=log)
            try:
                stranger.hello()
                fail("a terminal without the secret was welcomed")
            except tc.Refused as r:
                check(r.code == 1 and r.reason == "terminal not accepted", "refusal %s" % r)
            except tc.ProtocolError as e:
                check(wrong is None, "unexpected %s" % e)  # no secret: cannot answer
            stranger.close()

    t = tc.Terminal("T1", "127.0.0.1", port, secret=secret, tls_ca=ca, log=log,
                    version=args.protocol)
    flags = t.hello()
    check(flags == (3 if args.secure else 0), "WELCOME flags %d" % flags)
    t.start()

    # Sign On: the document's worked example, byte for byte.
    t.next_screen(60)
    check(t.display.shows("Sign On"), "the sign-on screen", t)
    example = document_screen(args.doc)
    check(example is not None, "no worked example in the document")
    check(args.protocol == 1 or t.last_raw == example, "the first screen differs from the document's example:\n"
          + t.last_raw.hex(" "))

    t.display.move_to("User")
    t.display.type("alice")
    t.display.move_to("Password")
    t.display.type("secret")
    t.display.move_to("Enter")
    check(t.enter(), "Enter answers the screen", t)

    t.next_screen()
    check(t.display.shows("Main Menu"), "the main menu", t)
    keys = t.display.function_keys()
    check(keys.get(3) == "Exit" and keys.get(4) == "Cancel", "the legend %r" % keys, t)

    # An option that is not on the menu: the error page, then the menu.
    t.display.move_to("Option")
    t.display.type("7")
    check(t.enter(), "Enter in Option answers", t)
    t.next_screen()
    check(t.display.waiting and t.display.shows("ERRO"), "the error page", t)
    check(t.display.shows("Option 7 is not on the menu."), "the error message", t)
    t.press_any_key()
    check(t.display.shows("Main Menu"), "the menu after the error page", t)

    t.display.move_to("Option")
    t.display.type("3")
    check(t.enter(), "Enter in Option answers", t)
    t.next_screen()
    check(t.display.shows("Item Inquiry"), "item inquiry", t)

    t.display.move_to("Item")
    t.display.type("100418")
    check(t.enter(), "Enter in Item answers", t)
    t.next_screen()
    check(t.display.shows("Packing tape") and t.display.shows("12-"), "item 100418", t)

    t.function_key(3)  # "Exit" in the legend
    t.next_screen()
    check(t.display.shows("Main Menu"), "F3 goes back to the menu", t)
    t.close()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--tervo", required=True)
    p.add_argument("--demo", required=True)
    p.add_argument("--doc", required=True)
    p.add_argument("--secure", action="store_true")
    p.add_argument("--protocol", type=int, default=2, choices=(1, 2))
    p.add_argument("--tls-dir", default="")
    p.add_argument("--verbose", action="store_true")
    args = p.parse_args()
    workdir = tempfile.mkdtemp(prefix="tervo-walk-")
    gateway = None
    try:
        gateway, port, secret = start_gateway(args, workdir)
        walk(args, port, secret)
        print("demo walk passed (%s, protocol %d)"
              % ("keys and TLS" if args.secure else "open", args.protocol))
    finally:
        if gateway is not None and gateway.poll() is None:
            gateway.send_signal(signal.SIGTERM)
            try:
                gateway.wait(20)
            except subprocess.TimeoutExpired:
                gateway.kill()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    main()
