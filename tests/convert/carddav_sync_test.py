#!/usr/bin/python3
"""The directory kept in step with a CardDAV server, end to end: a Radicale
server on a free local port, its storage in a temporary folder, synced by
vdirsyncer with a local folder of one card a file, as README.md's
configuration does it.

1. Cards put on the server reach the directory through `vdirsyncer sync`
   and `telelist-convert DIR -o telelist.dat`, and teledir lists them.
2. A number changed and a contact added on the server reach it through the
   next sync and `telelist-convert --merge -o telelist.dat DIR`; an entry
   added to telelist.dat by hand stays.
3. The directory exported with `telelist-convert --to vdir -o DIR` into a
   new folder beside the synced one becomes an address book of its own on
   the server through `vdirsyncer discover` and `vdirsyncer sync`, and is
   read back from the server with every name and number; a number changed
   in telelist.dat by hand reaches the server through the next export and
   sync, with no card there twice.

Usage: carddav_sync_test.py TELELIST_CONVERT TELEDIR
Exits 77 (skipped) where Radicale (for this interpreter) or vdirsyncer is
not installed (Debian packages radicale, vdirsyncer). Every program it
starts runs in a process group of its own, which is ended when the test
ends, fails, times out or is itself ended; when this process is killed,
the programs get SIGKILL, and the server removes the temporary folder and
ends.
"""
import atexit
import base64
import ctypes
import http.client
import importlib.util
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

CONVERT, TELEDIR = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
USER, PASSWORD = "alice", "s3cret pass"
STEP_TIMEOUT = 20
timings = []  # (what ran, seconds), printed at the end

if importlib.util.find_spec("radicale") is None:
    print(f"skipped: Radicale is not installed for {sys.executable} (Debian package radicale)")
    sys.exit(77)
if shutil.which("vdirsyncer") is None:
    print("skipped: vdirsyncer is not installed (Debian package vdirsyncer)")
    sys.exit(77)


class Failure(Exception):
    pass


# Each program run to its end gets SIGKILL when this process dies, however
# it dies (Linux).
try:
    _prctl = ctypes.CDLL(None, use_errno=True).prctl
except (OSError, AttributeError):
    _prctl = None
PR_SET_PDEATHSIG = 1
_parent = os.getpid()


def _die_with_parent():
    if _prctl is not None:
        _prctl(PR_SET_PDEATHSIG, int(signal.SIGKILL))
    if os.getppid() != _parent:
        os._exit(1)


def _end_group(proc):
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    proc.wait()


def run(args, cwd, env, stdin=b""):
    """Runs a program to its end in a process group of its own, ended with
    the group on a timeout or any exception (SIGTERM included)."""
    started = time.monotonic()
    proc = subprocess.Popen(args, cwd=cwd, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True, preexec_fn=_die_with_parent)
    try:
        out, err = proc.communicate(stdin, timeout=STEP_TIMEOUT)
    except subprocess.TimeoutExpired:
        _end_group(proc)
        raise Failure(f"{' '.join(args)}: still running after {STEP_TIMEOUT} s, ended")
    except BaseException:
        _end_group(proc)
        raise
    timings.append((f"{os.path.basename(args[0])} {' '.join(args[1:2])}", time.monotonic() - started))
    return proc.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")


def run_ok(args, cwd, env, stdin=b"", what=None):
    status, out, err = run(args, cwd, env, stdin)
    if status != 0:
        raise Failure(f"{what or ' '.join(args)}: exit status {status}\n"
                      f"--- standard output:\n{out}--- standard error:\n{err}")
    return out, err


# The server reads no configuration but its own, and watches its standard
# input: when it closes, as when this process is killed, the server removes
# the temporary folder and ends.
SERVER_MAIN = """
import os, runpy, shutil, sys, threading
scratch = sys.argv.pop(1)
def watch():
    while os.read(0, 512):
        pass
    shutil.rmtree(scratch, ignore_errors=True)
    os._exit(1)
threading.Thread(target=watch, daemon=True).start()
sys.argv[0] = "radicale"
runpy.run_module("radicale", run_name="__main__", alter_sys=True)
"""


class Server:
    def __init__(self, scratch):
        self.scratch = scratch
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        users = os.path.join(scratch, "users")
        with open(users, "w", encoding="utf-8") as out:
            out.write(f"{USER}:{PASSWORD}\n")
        config = os.path.join(scratch, "radicale.conf")
        with open(config, "w", encoding="utf-8") as out:
            out.write(f"[server]\nhosts = 127.0.0.1:{self.port}\n"
                      f"[auth]\ntype = htpasswd\nhtpasswd_filename = {users}\nhtpasswd_encryption = plain\n"
                      f"[rights]\ntype = owner_only\n"
                      f"[storage]\nfilesystem_folder = {os.path.join(scratch, 'collections')}\n"
                      "[logging]\nlevel = warning\n")
        self.config, self.env = config, dict(child_env(scratch), RADICALE_CONFIG=config)
        self.log_path = os.path.join(scratch, "radicale.log")
        self.proc = None

    def start(self):
        started = time.monotonic()
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen([sys.executable, "-c", SERVER_MAIN, self.scratch, "--config", self.config],
                                         stdin=subprocess.PIPE, stdout=log, stderr=subprocess.STDOUT,
                                         env=self.env, start_new_session=True)
        deadline = time.monotonic() + 15
        while True:
            if self.proc.poll() is not None:
                raise Failure(f"Radicale ended at start-up, status {self.proc.returncode}:\n{self.log()}")
            try:
                self.request("OPTIONS", "/")
                break
            except (OSError, http.client.HTTPException):
                if time.monotonic() > deadline:
                    raise Failure(f"Radicale does not answer on port {self.port}:\n{self.log()}")
                time.sleep(0.05)
        timings.append(("Radicale start", time.monotonic() - started))

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as log:
            return log.read()

    def stop(self):
        """Ends the server's whole group: SIGTERM, then SIGKILL after 5 s."""
        proc, self.proc = self.proc, None
        if proc is None:
            return
        try:
            os.killpg(proc.pid, signal.SIGTERM)
            proc.wait(timeout=5)
        except ProcessLookupError:
            proc.wait()
        except subprocess.TimeoutExpired:
            _end_group(proc)
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        proc.stdin.close()

    def request(self, method, path, body=b"", headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        try:
            token = base64.b64encode(f"{USER}:{PASSWORD}".encode("utf-8")).decode("ascii")
            connection.request(method, path, body=body, headers={"Authorization": f"Basic {token}", **(headers or {})})
            response = connection.getresponse()
            return response.status, response.read()
        finally:
            connection.close()

    def expect(self, wanted, method, path, body=b"", headers=None):
        status, reply = self.request(method, path, body, headers)
        if status not in wanted:
            raise Failure(f"{method} {path}: HTTP {status}\n{reply.decode('utf-8', 'replace')}\n{self.log()}")
        return reply

    def make_address_book(self, name):
        body = ('<?xml version="1.0" encoding="utf-8"?>'
                '<mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><set><prop>'
                '<resourcetype><collection/><C:addressbook/></resourcetype>'
                f'<displayname>{name}</displayname></prop></set></mkcol>')
        self.expect((201,), "MKCOL", f"/{USER}/{name}/", body.encode("utf-8"),
                    {"Content-Type": "application/xml; charset=utf-8"})

    def put(self, book, href, card):
        self.expect((201, 204), "PUT", f"/{USER}/{book}/{href}", card.encode("utf-8"),
                    {"Content-Type": "text/vcard; charset=utf-8"})

    def cards(self, book):
        """Every card of an address book, from a listing and a GET of each."""
        listing = self.expect((207,), "PROPFIND", f"/{USER}/{book}/",
                              b'<?xml version="1.0"?><propfind xmlns="DAV:"><prop><getetag/></prop></propfind>',
                              {"Depth": "1", "Content-Type": "application/xml"})
        hrefs = [href.text for href in ET.fromstring(listing).iter("{DAV:}href")]
        return [self.expect((200,), "GET", href).decode("utf-8") for href in hrefs if not href.endswith("/")]


def child_env(scratch):
    """Nothing of the user's: configuration, home and proxies all here."""
    env = {key: value for key, value in os.environ.items() if "proxy" not in key.lower()}
    env.update(HOME=scratch, XDG_CONFIG_HOME=os.path.join(scratch, "config"),
               VDIRSYNCER_CONFIG=os.path.join(scratch, "config", "vdirsyncer", "config"))
    return env


def vcard(uid, first, last, tel, version="3.0"):
    return "\r\n".join(["BEGIN:VCARD", f"VERSION:{version}", f"UID:{uid}", f"N:{last};{first};;;",
                        f"FN:{first} {last}", f"TEL;TYPE=CELL:{tel}", "END:VCARD", ""])


def unfolded(card):
    lines = []
    for line in re.split(r"\r\n|\n", card):
        if line[:1] in (" ", "\t") and lines:
            lines[-1] += line[1:]
        else:
            lines.append(line)
    return lines


def name_and_number(card):
    """(first, last, digits of the number) of a card, by its N and TEL."""
    first = last = digits = None
    for line in unfolded(card):
        key, _, value = line.partition(":")
        key = key.split(";")[0].upper()
        if key == "N":
            last, first = (re.split(r"(?<!\\);", value) + [""])[:2]
        elif key == "TEL" and digits is None:
            digits = re.sub(r"\D", "", value)
    return first, last, digits


def listed(directory):
    """The entries teledir's full list shows, empty slots left out."""
    out, _ = run_ok([TELEDIR], directory, os.environ, b"3\n4\n", "teledir, full list then quit")
    lines = [match.group(1) for match in re.finditer(r"^\d+\)\t(.*)$", out, re.M)]
    if len(lines) != 16:
        raise Failure(f"teledir's full list: {len(lines)} lines, not 16:\n{out}")
    return sorted(line.rstrip() for line in lines if line.rstrip() != ", ; 0")


def expect_listed(directory, entries, when):
    shown = listed(directory)
    wanted = sorted(f"{last}, {first}; {code} {number}" for first, last, code, number in entries)
    if shown != wanted:
        raise Failure(f"{when}: teledir lists\n  " + "\n  ".join(shown) + "\nnot\n  " + "\n  ".join(wanted)
                      + f"\ntelelist.dat:\n{read_text(os.path.join(directory, 'telelist.dat'))}")


def read_text(path):
    with open(path, encoding="utf-8", errors="replace") as text:
        return text.read()


def card_files(folder):
    return sorted(name for name in os.listdir(folder) if name.endswith(".vcf")) if os.path.isdir(folder) else []


class Setup:
    def __init__(self, scratch, server):
        self.scratch, self.server = scratch, server
        self.env = child_env(scratch)
        self.books = os.path.join(scratch, "contacts")
        self.work = os.path.join(scratch, "phone")
        os.makedirs(self.work)
        os.makedirs(os.path.dirname(self.env["VDIRSYNCER_CONFIG"]))
        password_file = os.path.join(scratch, "password")
        with open(password_file, "w", encoding="utf-8") as out:
            out.write(PASSWORD + "\n")
        # README.md's configuration, with this server's address and password.
        with open(self.env["VDIRSYNCER_CONFIG"], "w", encoding="utf-8") as out:
            out.write(f"""[general]
status_path = "{scratch}/vdirsyncer-status/"

[pair contacts]
a = "contacts_local"
b = "contacts_server"
collections = ["from a", "from b"]

[storage contacts_local]
type = "filesystem"
path = "{self.books}/"
fileext = ".vcf"

[storage contacts_server]
type = "carddav"
url = "http://127.0.0.1:{server.port}/"
username = "{USER}"
password.fetch = ["command", "cat", "{password_file}"]
""")

    def vdirsyncer(self, command):
        # discover asks before it creates an address book on either side.
        return run_ok(["vdirsyncer", command], self.work, self.env, b"y\n" * 20, f"vdirsyncer {command}")

    def convert(self, args):
        return run_ok([CONVERT] + args, self.work, os.environ, b"", "telelist-convert " + " ".join(args))


# The server's cards: UID, first name, last name, TEL; and the entry each
# gives in the directory.
FIRST = [("a1b2c3d4-0001", "Maria", "Lopez", "(312) 358-9111", 312, "358-9111"),
         ("a1b2c3d4-0002", "James", "Okafor", "+1 706 555 0142", 706, "555-0142"),
         ("a1b2c3d4-0003", "Zoë", "Brooks", "404-555-0138", 404, "555-0138")]
CHANGED = ("a1b2c3d4-0002", "James", "Okafor", "+1 706 555 0199", 706, "555-0199")
ADDED = ("a1b2c3d4-0004", "Omar", "Haddad", "(617) 555-0175", 617, "555-0175")
BY_HAND = ("Ann", "Smith", 312, "555-0187")
MERGED = [card[1:3] + card[4:] for card in (FIRST[0], CHANGED, FIRST[2], ADDED)] + [BY_HAND]
# A number changed in telelist.dat by hand before the second export.
EDITED = ("Maria", "Lopez", 312, "358-9122")


def flow_server_to_directory(setup):
    """Cards put on the server reach the directory and teledir lists them."""
    setup.server.make_address_book("phone")
    for uid, first, last, tel, _, _ in FIRST:
        setup.server.put("phone", f"{uid}.vcf", vcard(uid, first, last, tel))
    setup.vdirsyncer("discover")
    setup.vdirsyncer("sync")
    folder = os.path.join(setup.books, "phone")
    if len(card_files(folder)) != len(FIRST):
        raise Failure(f"vdirsyncer sync: {folder} holds {card_files(folder)}, not the server's {len(FIRST)} cards")
    setup.convert([folder, "-o", "telelist.dat"])
    expect_listed(setup.work, [card[1:3] + card[4:] for card in FIRST], "after the first import")


def flow_change_and_merge(setup):
    """A number changed and a contact added on the server, merged in; an
    entry added by hand stays."""
    with open(os.path.join(setup.work, "telelist.dat"), "a", encoding="utf-8") as data:
        data.write(" ".join(map(str, BY_HAND)) + "\n")
    for uid, first, last, tel, _, _ in (CHANGED, ADDED):
        setup.server.put("phone", f"{uid}.vcf", vcard(uid, first, last, tel, "4.0"))
    setup.vdirsyncer("sync")
    folder = os.path.join(setup.books, "phone")
    if not any(CHANGED[3] in read_text(os.path.join(folder, name)) for name in card_files(folder)):
        raise Failure(f"vdirsyncer sync: the changed number {CHANGED[3]} is not in {folder}")
    setup.convert(["--merge", "-o", "telelist.dat", folder])
    expect_listed(setup.work, MERGED, "after the change on the server and --merge")


def expect_on_server(server, entries, when):
    wanted = sorted((first, last, f"{code}{number}".replace("-", "")) for first, last, code, number in entries)
    got = sorted(name_and_number(card) for card in server.cards("telelist"))
    if got != wanted:
        raise Failure(f"{when}: the server's address book telelist holds (first, last, digits)\n  "
                      + "\n  ".join(map(str, got)) + "\nnot\n  " + "\n  ".join(map(str, wanted)))


def flow_directory_to_server(setup):
    """The directory exported as a folder of cards becomes an address book
    on the server, read back with every name and number."""
    folder = os.path.join(setup.books, "telelist")
    setup.convert(["--to", "vdir", "-o", folder])
    if len(card_files(folder)) != len(MERGED):
        raise Failure(f"--to vdir: {folder} holds {card_files(folder)}, not {len(MERGED)} cards")
    setup.vdirsyncer("discover")
    setup.vdirsyncer("sync")
    expect_on_server(setup.server, MERGED, "after the export and sync")


def flow_export_again(setup):
    """A number changed by hand in telelist.dat reaches the server through
    the next export and sync, with no card left twice."""
    path = os.path.join(setup.work, "telelist.dat")
    with open(path, encoding="utf-8") as data:
        text = data.read()
    with open(path, "w", encoding="utf-8") as data:
        data.write(text.replace(" ".join(map(str, MERGED[0])), " ".join(map(str, EDITED))))
    setup.convert(["--to", "vdir", "-o", os.path.join(setup.books, "telelist")])
    setup.vdirsyncer("sync")
    expect_on_server(setup.server, [EDITED] + MERGED[1:], "after the second export and sync")


def remove_left_behind():
    """Removes the temporary folders of runs killed together with their
    server (ctest's timeout kills every process of the test), which could
    not remove them: those whose process is gone."""
    for name in os.listdir(tempfile.gettempdir()):
        match = re.fullmatch(r"carddav-sync-(\d+)-\w+", name)
        if match is None:
            continue
        try:
            os.kill(int(match.group(1)), 0)
        except ProcessLookupError:
            shutil.rmtree(os.path.join(tempfile.gettempdir(), name), ignore_errors=True)
        except OSError:
            pass


def main():
    remove_left_behind()
    scratch = tempfile.mkdtemp(prefix=f"carddav-sync-{os.getpid()}-")
    server = None

    def end(*_):
        if server is not None:
            server.stop()

    atexit.register(end)
    # SIGTERM and SIGHUP unwind through the finally below, as Ctrl-C does.
    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, lambda number, _: sys.exit(128 + number))
    started = time.monotonic()
    try:
        server = Server(scratch)
        server.start()
        setup = Setup(scratch, server)
        for flow in (flow_server_to_directory, flow_change_and_merge, flow_directory_to_server, flow_export_again):
            begun = time.monotonic()
            try:
                flow(setup)
            except Failure as failure:
                print(f"FAIL {flow.__name__}: {' '.join(flow.__doc__.split())}\n{failure}")
                return 1
            print(f"ok   {flow.__name__}: {time.monotonic() - begun:.1f} s")
    except Failure as failure:
        print(f"FAIL setting up the server: {failure}")
        return 1
    finally:
        end()
        shutil.rmtree(scratch, ignore_errors=True)
        for what, seconds in timings:
            print(f"  {seconds:5.2f} s  {what}")
        print(f"  {time.monotonic() - started:5.2f} s  in all")
    return 0


sys.exit(main())
