"""A QEMU Machine Protocol client: JSON commands over a unix socket, events kept for waiting."""

import json
import socket
import time


class QmpError(Exception):
    pass


class Qmp:
    def __init__(self, path, timeout=30.0):
        self.sock = connect_when_ready(path, timeout)
        self.buffer = b""
        self.events = []
        self.read_message(timeout)  # the greeting
        self.command("qmp_capabilities")

    def command(self, name, **arguments):
        request = {"execute": name}
        if arguments:
            request["arguments"] = arguments
        self.sock.sendall(json.dumps(request).encode() + b"\n")
        while True:
            message = self.read_message(120.0)
            if "return" in message:
                return message["return"]
            if "error" in message:
                raise QmpError(f"{name}: {message['error'].get('desc', message['error'])}")

    def monitor(self, command_line):
        """A human monitor command (drive_add has no QMP form that makes a named drive)."""
        output = self.command("human-monitor-command", **{"command-line": command_line})
        if output.strip() not in ("", "OK"):
            raise QmpError(f"{command_line}: {output.strip()}")

    def wait_for_event(self, name, timeout, **data):
        deadline = time.monotonic() + timeout
        while True:
            for index, event in enumerate(self.events):
                if event["event"] == name and all(event.get("data", {}).get(k) == v for k, v in data.items()):
                    del self.events[index]
                    return event
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise QmpError(f"no {name} event within {timeout} s")
            self.read_message(remaining)

    def read_message(self, timeout):
        """Reads one message; events are kept in self.events, and so returned too."""
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise QmpError("QEMU did not answer")
            self.sock.settimeout(remaining)
            chunk = self.sock.recv(65536)
            if not chunk:
                raise QmpError("QEMU closed its monitor")
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        message = json.loads(line)
        if "event" in message:
            self.events.append(message)
        return message


def connect_when_ready(path, timeout):
    deadline = time.monotonic() + timeout
    while True:
        try:
            sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            sock.connect(path)
            return sock
        except (FileNotFoundError, ConnectionRefusedError):
            sock.close()
            if time.monotonic() > deadline:
                raise
            time.sleep(0.05)
