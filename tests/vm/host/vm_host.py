"""Boots the test virtual machine, serves its job's host steps and returns its output and status.

The guest asks for a step with one line on the virtio-serial port vocell.control (words separated
by the unit separator, see guest/vm-host-step) and gets "STATUS LENGTH\\n" and LENGTH bytes of
output back. Card readers are USB mass-storage devices on the guest's xHCI controller, plugged,
pulled and throttled through QMP.
"""

import argparse
import os
import select
import shlex
import socket
import subprocess
import sys
import time

from qmp import Qmp, QmpError, connect_when_ready

HERE = os.path.dirname(os.path.abspath(__file__))
# What a job may run on the host: the FAT image tools, and the scripts beside this file.
HOST_TOOLS = {"mkfs.fat", "fsck.fat", "mcopy", "mmd", "mattrib", "mdir", "minfo", "mtype", "mdel",
              "mlabel", "sfdisk", "truncate", "sha256sum", "cmp"}
BOOT_TIMEOUT = 120


def qemu_command(args, work):
    share = os.path.join(work, "share")
    append = " ".join([
        "console=ttyS0", "quiet", "loglevel=3", "panic=-1", "mitigations=off",
        f"vocell.boot={args.boot}", f"vocell.share={share}"])
    return [
        "qemu-system-x86_64", "-accel", "tcg", "-cpu", "max", "-smp", "2", "-m", "3G",
        "-nodefaults", "-no-reboot", "-display", "none",
        "-kernel", args.kernel, "-initrd", args.initramfs, "-append", append,
        "-serial", f"file:{work}/console.log",
        "-virtfs", "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap",
        "-virtfs", f"local,path={share},mount_tag=vmshare,security_model=none,multidevs=remap",
        "-device", "virtio-serial-pci",
        "-chardev", f"socket,id=control,path={work}/control.sock,server=on,wait=off",
        "-device", "virtserialport,chardev=control,name=vocell.control",
        "-qmp", f"unix:{work}/qmp.sock,server=on,wait=off",
        "-device", "qemu-xhci,id=xhci",
    ]


class Readers:
    """The card readers on the guest's USB bus, by the names the job gives them."""

    def __init__(self, qmp):
        self.qmp = qmp

    def plug(self, reader, image, kind="removable"):
        if kind not in ("removable", "fixed"):
            raise QmpError(f"a reader is removable or fixed, not {kind}")
        self.qmp.monitor(f"drive_add 0 if=none,id={reader}-card,file={image},format=raw")
        self.qmp.command("device_add", driver="usb-storage", id=reader, drive=f"{reader}-card",
                         bus="xhci.0", removable=(kind == "removable"))

    def unplug(self, reader):
        self.qmp.command("device_del", id=reader)
        self.qmp.wait_for_event("DEVICE_DELETED", 30, device=reader)

    def eject(self, reader):
        self.qmp.command("eject", device=f"{reader}-card", force=True)

    def insert(self, reader, image):
        self.qmp.command("blockdev-change-medium", device=f"{reader}-card", filename=image, format="raw")

    def throttle(self, reader, rate):
        rate = int(rate)
        self.qmp.command("block_set_io_throttle", device=f"{reader}-card", bps=rate, bps_rd=0, bps_wr=0,
                         iops=0, iops_rd=0, iops_wr=0)


def run_on_host(words, share):
    program = words[0]
    if program in HOST_TOOLS:
        command = words
    elif os.path.dirname(os.path.realpath(program)) == HERE:
        interpreter = "/usr/bin/python3" if program.endswith(".py") else "bash"
        command = [interpreter] + words
    else:
        return 2, f"vm-host-step: {program} is not a host step\n".encode()
    environment = dict(os.environ, MTOOLS_SKIP_CHECK="1")
    done = subprocess.run(command, cwd=share, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, env=environment, timeout=300)
    return done.returncode, done.stdout


class Job:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.share = os.path.join(work, "share")
        self.status = None
        self.ready_after = None

    def serve(self, verb, words, readers):
        """Carries out one step; its status and output."""
        try:
            if verb == "ready":
                self.ready_after = time.monotonic() - self.started
                return 0, b""
            if verb == "exit":
                self.status = int(words[0])
                return 0, b""
            if verb == "run":
                return run_on_host(words, self.share)
            step = {"plug": readers.plug, "unplug": readers.unplug, "eject": readers.eject,
                    "insert": readers.insert, "throttle": readers.throttle}.get(verb)
            if step is None:
                return 2, f"vm-host-step: no step {verb}\n".encode()
            step(*words)
            return 0, b""
        except (QmpError, TypeError, ValueError, subprocess.TimeoutExpired) as error:
            return 1, f"vm-host-step {verb}: {error}\n".encode()

    def write_environment(self):
        lines = [f"VOCELL_VM_JOB={shlex.quote(self.args.job)}"]
        if "VOCELL_VM_CASES" in os.environ:  # picks some of the job's cases
            lines.append(f"VOCELL_VM_CASES={shlex.quote(os.environ['VOCELL_VM_CASES'])}")
        for pair in self.args.variables:
            name, _, value = pair.partition("=")
            lines.append(f"{name}={shlex.quote(value)}")
        with open(os.path.join(self.share, "job.env"), "w") as environment:
            environment.write("\n".join(lines) + "\n")

    def run(self):
        self.write_environment()
        self.started = time.monotonic()
        with open(os.path.join(self.work, "qemu.log"), "wb") as log:
            qemu = subprocess.Popen(qemu_command(self.args, self.work), stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=subprocess.STDOUT)
        try:
            self.follow(qemu)
        finally:
            if qemu.poll() is None:
                qemu.kill()
            qemu.wait()
        took = time.monotonic() - self.started
        if self.status is None:
            with open(os.path.join(self.work, "qemu.log"), errors="replace") as log:
                sys.stdout.write(log.read())
            print("vm: the virtual machine stopped before its job ended")
            return 1
        ready = f"ready after {self.ready_after:.1f} s, " if self.ready_after is not None else ""
        print(f"vm: {ready}ended after {took:.1f} s with status {self.status}")
        return self.status

    def follow(self, qemu):
        qmp = Qmp(os.path.join(self.work, "qmp.sock"))
        readers = Readers(qmp)
        control = connect_when_ready(os.path.join(self.work, "control.sock"), 30)
        console = Console(os.path.join(self.work, "console.log"))
        deadline = self.started + self.args.timeout
        pending = b""
        while qemu.poll() is None:
            if time.monotonic() > deadline:
                console.copy()
                print(f"vm: the job did not end within {self.args.timeout} s")
                return
            if self.ready_after is None and time.monotonic() - self.started > BOOT_TIMEOUT:
                console.copy()
                print(f"vm: the guest did not come up within {BOOT_TIMEOUT} s")
                return
            readable, _, _ = select.select([control, qmp.sock], [], [], 0.2)
            console.copy()
            if qmp.sock in readable:
                try:
                    qmp.read_message(5)
                except QmpError:
                    break  # QEMU has ended
            if control in readable:
                chunk = control.recv(65536)
                if not chunk:
                    break
                pending += chunk
                while b"\n" in pending:
                    line, pending = pending.split(b"\n", 1)
                    verb, *words = line.decode().split("\x1f")
                    status, output = self.serve(verb, words, readers)
                    control.sendall(f"{status} {len(output)}\n".encode() + output)
                    if self.status is not None:
                        try:
                            qmp.command("quit")  # the guest has synced its own file systems
                        except QmpError:
                            pass  # QEMU may close its monitor before it answers
                        return
        console.copy()


class Console:
    """Copies what the guest writes on its serial console to standard output as it comes."""

    def __init__(self, path):
        self.path = path
        self.offset = 0

    def copy(self):
        try:
            with open(self.path, "rb") as console:
                console.seek(self.offset)
                data = console.read()
        except FileNotFoundError:
            return
        self.offset += len(data)
        if data:
            sys.stdout.buffer.write(data.replace(b"\r\n", b"\n"))
            sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--kernel", required=True)
    parser.add_argument("--initramfs", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--boot", required=True)
    parser.add_argument("--job", required=True)
    parser.add_argument("--timeout", type=int, default=int(os.environ.get("VOCELL_VM_TIMEOUT", "1200")))
    parser.add_argument("variables", nargs="*")
    args = parser.parse_args()
    sys.exit(Job(args, args.work).run())


if __name__ == "__main__":
    main()
