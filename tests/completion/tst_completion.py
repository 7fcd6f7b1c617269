#!/usr/bin/python3
"""Shell completion on real command lines: each shell runs interactively on a terminal with the
launcher's completion loaded, a line is typed up to a TAB, and the completed line is run. The
launcher then says whether the name it got is exactly a stored profile.

Usage: tst_completion.py BIN_DIR COMPLETION_DIR
Every shell that is not installed is reported as skipped; bash must be there."""

import os
import pty
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

BIN, SCRIPTS = sys.argv[1], sys.argv[2]
LAUNCHER = "VelmoraMobileEmuLauncher"

# Names a shell has to quote: a blank, a quote, a backslash, a leading dash, a colon and an
# equals sign (where bash cuts words), what the shell would expand, a "!" (history expansion).
# (Launcher.ini holds no double quote in a name.)
NAMES = ["Blank name here", "Quote's", "Back\\slash", "-dash", "Colon: yes", "Dollar $HOME *",
         "Bang!x here", "a=b"]

# (typed before the TAB, the profile the launcher must have received, its exit code), run as
# `LAUNCHER <typed><TAB>`; a TAB inside is pressed there too. --print-command exits 0 for a
# stored name, --log 1 for one without a log, --stop 0 when none of its names runs.
CASES = [
    ("--print-command Bla", "Blank name here", 0),
    ("--print-command 'Bla", "Blank name here", 0),
    ("--print-command Quo", "Quote's", 0),
    ("--print-command 'Quote", "Quote's", 0),
    # Typed past the quote: closed, escaped and opened again; inside double quotes; escaped.
    ("--print-command 'Quote'\\''", "Quote's", 0),
    ('--print-command "Quote\'', "Quote's", 0),
    ("--print-command Quote\\'", "Quote's", 0),
    ("--print-command Dol", "Dollar $HOME *", 0),
    ('--print-command "Dol', "Dollar $HOME *", 0),
    ("--print-command Bac", "Back\\slash", 0),
    ("--print-command -d", "-dash", 0),
    ("--print-command Col", "Colon: yes", 0),
    ("--print-command Colon:", "Colon: yes", 0),
    ("--print-command a=", "a=b", 0),
    ('--print-command "Ban', "Bang!x here", 0),
    ("--print-command Ban", "Bang!x here", 0),
    ("--log=Bla", "Blank name here", 1),
    ("--export out.ini Bla", "Blank name here", 0),
    ("--import imp", None, 0),  # a file name
    # Options: "--lis" becomes --list; the option's own name, then its profile.
    ("--lis", None, 0),
    ("--print-com\tBla", "Blank name here", 0),
    # After a name, a word that begins with "-" is an option (here an unknown one): never a
    # profile; after "--" it is one.
    ("--stop Bla\t-d", None, 2),
    ("--stop Bla\t-- -d", "-dash", 0),
    # Tags, from the side file: --list --tag exits 0 for a tag a profile has, 2 for none.
    ("--list --tag regr", None, 0),
    ("--list --tag 'regr", None, 0),
    # The layouts of --arrange; without a display the arrangement itself says why and exits 1.
    ("--arrange cas", None, 1),
]

class Terminal:
    def __init__(self, argv, env):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execvpe(argv[0], argv, env)
        self.seen = b""

    def send(self, text):
        os.write(self.fd, text.encode())

    def wait_for(self, pattern, seconds=15):
        deadline = time.monotonic() + seconds
        regex = re.compile(pattern.encode())
        while True:
            match = regex.search(self.seen)
            if match:
                self.seen = self.seen[match.end():]
                return match
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("no %r in: %r" % (pattern, self.seen[-2000:]))
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                try:
                    self.seen += os.read(self.fd, 65536)
                except OSError:
                    raise TimeoutError("the shell ended: %r" % self.seen[-2000:])

    def quiet(self, seconds=0.25, limit=5):
        """Reads until the shell has printed nothing for a moment: the completion is done."""
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            ready, _, _ = select.select([self.fd], [], [], seconds)
            if not ready:
                return
            try:
                self.seen += os.read(self.fd, 65536)
            except OSError:
                return

    def close(self):
        try:
            os.kill(self.pid, 9)
            os.waitpid(self.pid, 0)
        except OSError:
            pass
        os.close(self.fd)


def shells():
    """Each shell: how it starts, how it loads the completion, and how it shows an exit code."""
    return {
        "bash": (["bash", "--norc", "--noprofile", "-i"],
                 "source /usr/share/bash-completion/bash_completion 2>/dev/null; "
                 "source %s/%s.bash; PS1='$ '\n" % (SCRIPTS, LAUNCHER), "$?"),
        "zsh": (["zsh", "-f", "-i"],
                "fpath=(%s $fpath); autoload -U compinit; compinit -u -D; PS1='$ '\n" % SCRIPTS,
                "$?"),
        "fish": (["fish", "--no-config", "-i"],
                 "source %s/%s.fish; function fish_prompt; echo '$ '; end\n" % (SCRIPTS, LAUNCHER),
                 "$status"),
    }


def main():
    root = tempfile.mkdtemp(prefix="velmora-completion-")
    try:
        env = {"HOME": root, "XDG_CONFIG_HOME": root + "/config", "XDG_DATA_HOME": root + "/data",
               "XDG_STATE_HOME": root + "/state", "XDG_RUNTIME_DIR": root + "/run",
               "PATH": BIN + ":/usr/bin:/bin", "TERM": "xterm", "LANG": "C.UTF-8",
               "QT_QPA_PLATFORM": "offscreen"}
        # A sanitized build's launcher keeps its sanitizers' settings.
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        os.makedirs(root + "/run", mode=0o700)
        profiles = "".join('"%s"\t"[Resolution] 0 [PixelDensity] 0 [Input] 0 "\n' % n for n in NAMES)
        with open(root + "/import.ini", "w") as f:
            f.write("$VERSION\t106\n[Profile]\n" + profiles)
        subprocess.run([BIN + "/" + LAUNCHER, "--import", root + "/import.ini"], env=env, cwd=root,
                       check=True, stdout=subprocess.DEVNULL)
        # "regression suite" tags one profile: a tag with a blank to quote.
        with open(root + "/data/Velmora/VelmoraMobileEmulator/Launcher.extras.json", "w") as f:
            f.write('{"version": 1, "profiles": {"Blank name here": {"tags": ["regression suite"]}}}')
        listed = subprocess.run([BIN + "/" + LAUNCHER, "--list"], env=env, capture_output=True,
                                text=True, check=True).stdout.splitlines()
        assert all(n in listed for n in NAMES), listed

        failures = []
        tried = 0
        for shell, (argv, setup, status) in shells().items():
            if not shutil.which(argv[0]):
                if shell == "bash":
                    failures.append("bash is not installed")
                print("SKIP %s: not installed" % shell)
                continue
            terminal = Terminal(argv, dict(env, SHELL=shutil.which(argv[0])))
            os.chdir(root)
            try:
                terminal.send("cd %s\n" % root)
                terminal.send(setup)
                # The typed line echoes "READ''Y"; only the command prints READY.
                terminal.send("echo READ''Y\n")
                terminal.wait_for(r"READY")
                for typed, expected, wanted in CASES:
                    tried += 1
                    # fish completes only options for a word that begins with "-".
                    if shell == "fish":
                        typed = typed.replace("--print-command -", "--print-command=-")
                        if typed.endswith("-- -d"):
                            continue
                    # The TAB completes; the launcher, run on the completed line, exits 0 only
                    # for a stored name (or a file it could import).
                    terminal.send("%s %s\t" % (LAUNCHER, typed))
                    terminal.quiet()
                    terminal.send("\n")
                    terminal.send("echo RC=%s\n" % status)
                    code = terminal.wait_for(r"RC=(\d+)").group(1).decode()
                    if code != str(wanted):
                        failures.append("%s: %r completed to no profile (exit %s)%s"
                                        % (shell, typed, code,
                                           "" if expected is None else ", wanted %r" % expected))
                    else:
                        print("PASS %s: %r" % (shell, typed))
                    if typed.startswith("--export"):
                        with open(root + "/out.ini") as f:
                            text = f.read()
                        if '"%s"' % expected not in text:
                            failures.append("%s: %r exported the wrong profile" % (shell, typed))
                        os.remove(root + "/out.ini")
            except TimeoutError as error:
                failures.append("%s: %s" % (shell, error))
            finally:
                terminal.close()
        for failure in failures:
            print("FAIL " + failure)
        print("%d lines completed, %d failures" % (tried, len(failures)))
        return 1 if failures else 0
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
