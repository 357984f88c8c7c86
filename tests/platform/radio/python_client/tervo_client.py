"""A small handheld-terminal client for the Tervo gateway.

Written from docs/radio-protocol.md alone, as a device maker would, to
check that the document is enough: framing and CRC (section 3), getting in
with HELLO, CHALLENGE, AUTH and WELCOME, optionally over TLS (section 4),
screen programs laid out and worked as a terminal does (section 6), answers
(section 5.1), PING (section 8).  Debian's python3, standard library only.
"""

import hashlib
import hmac
import os
import socket
import ssl
import struct
import time

# Message types (section 5).
HELLO, START, REQUEST, ANSWER, MESSAGE, BASE_READY, AUTH, PING, PONG = range(1, 10)
WELCOME, REFUSED, SCREEN, RESET, PROBE, CHALLENGE, GW_PING, GW_PONG = range(0x81, 0x89)

ESCAPE = -27


class ProtocolError(Exception):
    pass


class Refused(Exception):
    def __init__(self, code, reason):
        super().__init__("REFUSED %d: %s" % (code, reason))
        self.code = code
        self.reason = reason


def crc16(data):
    """CRC-16/CCITT-FALSE: polynomial 0x1021, initial 0xFFFF."""
    crc = 0xFFFF
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc


def text(s):
    raw = s.encode("cp1252") if isinstance(s, str) else s
    return struct.pack(">H", len(raw)) + raw


def encode_frame(version, mtype, terminal_id, payload):
    ident = terminal_id.encode("cp1252").ljust(8, b" ")
    if len(ident) != 8:
        raise ValueError("terminal id longer than 8 characters")
    body = bytes([version, mtype]) + ident + struct.pack(">H", len(payload)) + payload
    return b"TV" + body + struct.pack(">H", crc16(body))


class Reader:
    """Reads payload fields; a payload must hold exactly its fields."""

    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, n):
        if self.pos + n > len(self.data):
            raise ProtocolError("payload ends too early")
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def u8(self):
        return self.take(1)[0]

    def u16(self):
        return struct.unpack(">H", self.take(2))[0]

    def u32(self):
        return struct.unpack(">I", self.take(4))[0]

    def i32(self):
        return struct.unpack(">i", self.take(4))[0]

    def text(self):
        return self.take(self.u16()).decode("cp1252", errors="replace")

    def raw_text(self):
        return self.take(self.u16())

    def done(self):
        if self.pos != len(self.data):
            raise ProtocolError("%d unexpected bytes" % (len(self.data) - self.pos))


# --- screen programs (section 6)

OPS = {
    1: ("Cls", ""), 2: ("NewLine", ""), 3: ("WaitChar", ""), 4: ("HardReset", ""),
    5: ("GetCheckEnter", ""), 6: ("PrintString", "t"), 7: ("PrintInverse", "t"),
    8: ("PrintLarge", "t"), 9: ("Say", "t"), 10: ("Scroll", "tt"), 11: ("NoSay", "b"),
    12: ("GetText", "tHi"), 13: ("Read", ""), 14: ("Delay", "i"), 15: ("Beep", "ii"),
    16: ("CapsLock", "b"), 17: ("SetLargeFunctionKeys", "tb"),
    18: ("ChangeScreenAttributes", "iii"),
}


def decode_screen(payload):
    r = Reader(payload)
    screen = {"sequence": r.u32(), "name": r.raw_text(), "format": r.i32(),
              "answer_code": r.i32(), "ops": []}
    for _ in range(r.u16()):
        code = r.u8()
        if code not in OPS:
            raise ProtocolError("unknown operation %d" % code)
        name, form = OPS[code]
        args = []
        for f in form:
            args.append({"t": r.text, "b": r.u8, "H": r.u16, "i": r.i32}[f]())
        screen["ops"].append((name, args))
    r.done()
    return screen


class Item:
    def __init__(self, kind, number=0, text="", size=0, flags=0, label="", value=""):
        self.kind = kind  # "label" (a Say not closed as a prompt), "prompt", "input"
        self.number = number
        self.text = text
        self.size = size
        self.flags = flags
        self.label = label
        self.value = value

    def focusable(self):
        return self.kind == "prompt" or (self.kind == "input" and not self.flags & 1)


class Display:
    """Runs a screen program the way section 6 describes."""

    def __init__(self, width=20):
        self.width = width
        self.caps = False
        self.clear()

    def clear(self):
        self.screen = None
        self.elements = []  # ("text", s, style) | ("newline",) | ("item", index)
        self.items = []
        self.count = 0
        self.open_say = None
        self.cursor_number = 0
        self.cursor = None
        self.pc = 0
        self.waiting = False
        self.reads = False
        self.answered = False
        self.legend = ""
        self.legend_width = 1
        self.beeps = 0

    def load(self, screen):
        caps = self.caps
        self.clear()
        self.caps = caps
        self.screen = screen
        self.reads = screen["answer_code"] != 0
        return self.run()

    def run(self):
        """Runs until a WaitChar, a HardReset or the end.  Returns "reset" or None."""
        self.waiting = False
        ops = self.screen["ops"]
        while self.pc < len(ops):
            name, args = ops[self.pc]
            self.pc += 1
            if name in ("Say", "GetCheckEnter", "GetText"):
                self.count += 1
            if name == "Cls":
                self.elements, self.items, self.open_say, self.cursor = [], [], None, None
            elif name == "NewLine":
                self.open_say = None
                self.elements.append(("newline",))
            elif name in ("PrintString", "PrintInverse", "PrintLarge"):
                self.elements.append(("text", args[0], name))
            elif name in ("Say", "Scroll"):
                self.items.append(Item("label", text=args[0] + (args[1] if name == "Scroll" else "")))
                self.open_say = len(self.items) - 1
                self.elements.append(("item", self.open_say))
            elif name == "NoSay":
                self.open_say = None
            elif name == "GetCheckEnter":
                if self.open_say is None:
                    self.items.append(Item("label"))
                    self.open_say = len(self.items) - 1
                    self.elements.append(("item", self.open_say))
                item = self.items[self.open_say]
                item.kind, item.number = "prompt", self.count
                self.open_say = None
            elif name == "GetText":
                initial, size, attributes = args
                label = self.items[self.open_say].text if self.open_say is not None else ""
                self.items.append(Item("input", self.count, size=size, flags=abs(attributes),
                                       label=label, value=initial[:size].rstrip(" ")))
                self.elements.append(("item", len(self.items) - 1))
                self.open_say = None
            elif name == "Read":
                self.reads = True
            elif name == "Beep":
                self.beeps += 1
            elif name == "CapsLock":
                self.caps = args[0] == 1
            elif name == "SetLargeFunctionKeys":
                self.legend, self.legend_width = args
            elif name == "ChangeScreenAttributes":
                self.cursor_number = args[1] + 1
            elif name == "WaitChar":
                self.waiting = True
                return None
            elif name == "HardReset":
                return "reset"
        self.place_cursor()
        return None

    def place_cursor(self):
        self.cursor = None
        for i, item in enumerate(self.items):
            if item.number == self.cursor_number and item.focusable():
                self.cursor = i
        if self.cursor is None:
            for i, item in enumerate(self.items):
                if item.kind == "input" and item.focusable():
                    self.cursor = i
                    break
        if self.cursor is None:
            for i, item in enumerate(self.items):
                if item.kind == "prompt":
                    self.cursor = i
                    break

    # --- what the operator sees

    def lines(self):
        lines, col = [""], 0

        def put(s, keep_together):
            nonlocal col
            if keep_together and col > 0 and col + len(s) > self.width and len(s) <= self.width:
                lines.append("")
                col = 0
            pos = 0
            while True:
                if col >= self.width:
                    lines.append("")
                    col = 0
                n = min(len(s) - pos, self.width - col)
                lines[-1] += s[pos:pos + n]
                col += n
                pos += n
                if pos >= len(s):
                    break

        for e in self.elements:
            if e[0] == "newline":
                lines.append("")
                col = 0
            elif e[0] == "text":
                put(e[1], False)
            else:
                item = self.items[e[1]]
                if item.kind == "input":
                    shown = "*" * len(item.value) if item.flags & 4 else item.value
                    put(shown.ljust(item.size, "_"), True)
                else:
                    put(item.text, False)
        while len(lines) > 1 and lines[-1] == "":
            lines.pop()
        return [l.rstrip(" ") for l in lines]

    def shows(self, s):
        return s in "\n".join(self.lines()) or s in "".join(self.lines())

    def function_keys(self):
        """{k: label} from the legend: entry k is F-key k (section 6.5)."""
        keys = {}
        w = self.legend_width
        for k in range(len(self.legend) // w if w else 0):
            entry = self.legend[k * w:(k + 1) * w]
            if entry.strip(" "):
                keys[k + 1] = entry[:-1].strip(" ")
        return keys

    # --- what the operator does

    def find(self, s):
        for i, item in enumerate(self.items):
            if item.focusable() and s in (item.label if item.kind == "input" else item.text):
                return i
        raise LookupError("no item with %r on screen %r" % (s, self.lines()))

    def move_to(self, s):
        self.cursor = self.find(s)

    def type(self, s):
        item = self.items[self.cursor]
        if item.kind != "input" or item.flags & 1:
            raise LookupError("the cursor is not on an editable input")
        if self.caps:
            s = s.upper()
        item.value = s[:item.size]

    def answer(self, chosen, send_key=False):
        if not self.reads or self.answered:
            return None
        self.answered = True
        values = [i.value for i in self.items if i.kind == "input"]
        return chosen, send_key, values

    def enter(self):
        """Enter: on a prompt or a flag-16 input it answers; else it moves on."""
        item = self.items[self.cursor]
        if item.kind == "prompt" or item.flags & 16:
            return self.answer(item.number)
        focusable = [i for i, it in enumerate(self.items) if it.focusable()]
        self.cursor = focusable[(focusable.index(self.cursor) + 1) % len(focusable)]
        return None


# --- the terminal

class Terminal:
    def __init__(self, terminal_id, host, port, secret=None, tls_ca=None, width=20,
                 battery=5000, version=2, log=None):
        self.id = terminal_id
        self.secret = secret.encode() if isinstance(secret, str) else secret
        self.version = version
        self.battery = battery
        self.display = Display(width)
        self.log = log or (lambda s: None)
        self.buffer = b""
        self.last_raw = b""  # the bytes of the last frame received
        self.welcome = None
        self.pings = 0
        raw = socket.create_connection((host, port), timeout=10)
        if tls_ca:
            context = ssl.create_default_context(cafile=tls_ca)
            self.sock = context.wrap_socket(raw, server_hostname=host)
        else:
            self.sock = raw
        self.sock.settimeout(10)

    def close(self):
        self.sock.close()

    def send(self, mtype, payload=b""):
        self.sock.sendall(encode_frame(self.version, mtype, self.id, payload))

    def receive(self, deadline):
        """One frame (version, type, payload); answers the gateway's PING."""
        while True:
            frame = self._frame()
            if frame is not None:
                version, mtype, ident, payload = frame
                if mtype == GW_PING:
                    self.pings += 1
                    self.send(PONG)
                    continue
                if mtype == REFUSED:
                    r = Reader(payload)
                    code = r.u8() if version >= 2 else 3
                    raise Refused(code, r.text())
                return version, mtype, payload
            if time.monotonic() > deadline:
                raise TimeoutError("nothing from the gateway")
            try:
                chunk = self.sock.recv(65536)
            except socket.timeout:
                continue
            if not chunk:
                raise ConnectionError("the gateway closed the connection")
            self.buffer += chunk

    def _frame(self):
        b = self.buffer
        if len(b) < 14:
            return None
        if b[:2] != b"TV" or b[2] not in (1, 2):
            raise ProtocolError("bad frame start")
        length = struct.unpack(">H", b[12:14])[0]
        if length > 16384:
            raise ProtocolError("payload too long")
        if len(b) < 16 + length:
            return None
        frame, self.buffer = b[:16 + length], b[16 + length:]
        self.last_raw = frame
        if crc16(frame[2:14 + length]) != struct.unpack(">H", frame[14 + length:])[0]:
            raise ProtocolError("frame check failed")
        return frame[2], frame[3], frame[4:12].decode("cp1252").rstrip(" "), frame[14:14 + length]

    def hello(self, timeout=15):
        """HELLO, and CHALLENGE/AUTH when asked; returns the WELCOME flags."""
        deadline = time.monotonic() + timeout
        nonce = os.urandom(16)
        payload = struct.pack(">Hi", self.display.width, self.battery) + text("python client")
        if self.version >= 2:
            payload += struct.pack(">HI", 0, 1) + nonce  # lines not said; inverse video
        self.send(HELLO, payload)
        gateway_nonce = None
        id8 = self.id.encode("cp1252").ljust(8, b" ")
        while True:
            version, mtype, payload = self.receive(deadline)
            if mtype == CHALLENGE:
                r = Reader(payload)
                method, gateway_nonce = r.u8(), r.take(16)
                r.done()
                if method != 1 or self.secret is None:
                    raise ProtocolError("cannot answer the challenge")
                proof = hmac.new(self.secret, b"TVAUTH-T" + id8 + nonce + gateway_nonce,
                                 hashlib.sha256).digest()
                self.send(AUTH, proof)
            elif mtype == WELCOME:
                flags = 0
                if version >= 2:
                    r = Reader(payload)
                    flags, keep_alive, answer_time = r.u32(), r.u16(), r.u16()
                    proof = r.raw_text()
                    r.done()
                    self.welcome = {"flags": flags, "keep_alive": keep_alive,
                                    "answer_time": answer_time}
                if self.secret is not None and self.version >= 2:
                    want = hmac.new(self.secret, b"TVAUTH-G" + id8 + nonce + (gateway_nonce or b""),
                                    hashlib.sha256).digest()
                    if not flags & 1 or not hmac.compare_digest(proof, want):
                        self.close()
                        raise ProtocolError("the gateway did not prove the terminal secret")
                return flags
            else:
                raise ProtocolError("unexpected message %#x before WELCOME" % mtype)

    def start(self):
        self.send(START)

    def next_screen(self, timeout=30):
        """Waits for the next SCREEN and runs it up to its first wait or end."""
        deadline = time.monotonic() + timeout
        while True:
            version, mtype, payload = self.receive(deadline)
            if mtype == SCREEN:
                screen = decode_screen(payload)
                self.log("screen %s #%d" % (screen["name"].decode("cp1252"), screen["sequence"]))
                if self.display.load(screen) == "reset":
                    self.display.clear()
                    self.start()
                    continue
                self.log("\n".join(self.display.lines()))
                return screen
            if mtype == RESET:
                self.display.clear()
                self.start()

    def press_any_key(self):
        """Goes on with a program waiting in WaitChar."""
        if self.display.run() == "reset":
            self.display.clear()
            self.start()
        self.log("\n".join(self.display.lines()))

    def send_answer(self, result):
        if result is None:
            raise ProtocolError("this key does not answer the screen")
        chosen, send_key, values = result
        screen = self.display.screen
        payload = (struct.pack(">I", screen["sequence"]) + text(screen["name"])
                   + struct.pack(">iBiH", chosen, 1 if send_key else 0, self.battery, len(values))
                   + b"".join(text(v) for v in values))
        self.send(ANSWER, payload)

    def enter(self):
        result = self.display.enter()
        if result is not None:
            self.send_answer(result)
        return result is not None

    def function_key(self, k):
        self.send_answer(self.display.answer(-k))
