"""Authenticode signatures for the two programs of a disc, made with
osslsigncode.

The key comes from the environment (a mapping like os.environ), as make
passes it on:
  SIGN_PKCS12=FILE [SIGN_PASSWORD=...]             a PKCS#12 bundle
  SIGN_CERT=FILE SIGN_KEY=FILE [SIGN_PASSWORD=...]  certificate(s) and key,
                                                    PEM or DER
Without one the programs stay unsigned, and the report says so in one line.

The signing time is the disc's date, so the same key gives the same signed
bytes and the image stays reproducible. A password reaches openssl and
osslsigncode through a file only this user can read, never on a command
line. Every failure is a SigningError whose text is one line, and leaves the
programs as they were: they are signed into temporary files and replaced
only when every one of them is signed and verified.
"""

import calendar
import contextlib
import hashlib
import os
import shutil
import subprocess
import tempfile
import time

# The system's trusted roots, for a chain that ends in a public root.
SYSTEM_ROOTS = "/etc/ssl/certs/ca-certificates.crt"


class SigningError(Exception):
    """A reason the programs cannot be signed; str() is one line."""

    def __init__(self, message):
        super().__init__(" ".join(str(message).split()))


def signing_requested(env):
    """Whether the environment names a key to sign with."""
    return any(env.get(name) for name in ("SIGN_PKCS12", "SIGN_CERT", "SIGN_KEY"))


def check_signing_inputs(env, epoch):
    """Judges the key before anything is built: the files exist, the
    password opens them, the key belongs to the certificate and the
    certificate is valid at the disc's date. Raises SigningError."""
    if not signing_requested(env):
        return
    with _workspace() as work:
        _Key(env, work).check_valid(epoch)


def sign_programs(env, epoch, project_dir, programs):
    """Signs each program file in place and verifies its signature; returns
    the one-line report. Raises SigningError and then changes no program.
    project_dir is the disc project the programs are built for."""
    del project_dir  # for the signatures a project records
    names = [os.path.basename(program) for program in programs]
    if not signing_requested(env):
        return "the programs are unsigned (SIGN_PKCS12, or SIGN_CERT and SIGN_KEY, sign them)"
    with _workspace() as work:
        key = _Key(env, work)
        key.check_valid(epoch)
        signed = []
        for index, program in enumerate(programs):
            target = os.path.join(work, "%d.signed" % index)
            key.sign(program, target, epoch)
            key.verify(target, os.path.basename(program))
            signed.append(target)
        _replace_all(programs, signed)
    return "signed and verified: " + " ".join(names)


def _workspace():
    return tempfile.TemporaryDirectory(prefix="sign-programs.")


def _run(args, stdin=None):
    """Runs a program (an argument list, never a shell string) and returns
    its exit status with its output and errors as text."""
    try:
        done = subprocess.run(args, input=stdin, capture_output=True, check=False)
    except FileNotFoundError:
        raise SigningError("%s is missing; run scripts/install-deps as root" % args[0]) from None
    return done.returncode, done.stdout.decode(errors="replace"), done.stderr.decode(errors="replace")


def _write_private(path, text):
    """A file only this user may read, for a password or a PIN."""
    descriptor = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    with os.fdopen(descriptor, "w") as file:
        file.write(text)


def _first_line(text, skip=lambda line: False):
    for line in text.splitlines():
        if line.strip() and not skip(line):
            return line.strip()
    return ""


def _openssl_error_line(line):
    # OpenSSL's own error stack: "4097C0D1F47F0000:error:...".
    head = line.split(":", 1)[0]
    return ":error:" in line and all(c in "0123456789ABCDEF" for c in head)


def _certificate_time(text):
    """Seconds since the epoch of openssl's "Mon DD HH:MM:SS YYYY GMT"."""
    return calendar.timegm(time.strptime(text.strip(), "%b %d %H:%M:%S %Y GMT"))


def _utc(seconds):
    return time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(seconds))


def _replace_all(programs, signed):
    """Puts the signed files in the programs' places: first each beside its
    program, then all renamed at once, so a failure on the way leaves every
    program whole."""
    staged = []
    try:
        for program, source in zip(programs, signed):
            stage = program + ".signed"
            shutil.copyfile(source, stage)
            shutil.copymode(program, stage)
            staged.append(stage)
    except OSError as error:
        for stage in staged:
            with contextlib.suppress(OSError):
                os.unlink(stage)
        raise SigningError("cannot write the signed %s: %s" % (os.path.basename(program), error.strerror)) from None
    for program, stage in zip(programs, staged):
        os.replace(stage, program)


class _Key:
    """The key of the environment, read and checked in a private work
    folder: certs.pem holds every certificate given (the chain to trust),
    leaf.pem the signer's own."""

    def __init__(self, env, work):
        self.work = work
        self.pkcs12 = env.get("SIGN_PKCS12", "")
        self.cert = env.get("SIGN_CERT", "")
        self.key = env.get("SIGN_KEY", "")
        self.password = os.path.join(work, "password")
        self.certs = os.path.join(work, "certs.pem")
        self.leaf = os.path.join(work, "leaf.pem")
        if self.pkcs12 and (self.cert or self.key):
            raise SigningError("SIGN_PKCS12 and SIGN_CERT/SIGN_KEY both given; give one way to the key")
        if not self.pkcs12 and not (self.cert and self.key):
            raise SigningError(
                "SIGN_CERT and SIGN_KEY go together; %s is missing" % ("SIGN_KEY" if self.cert else "SIGN_CERT")
            )
        for file in (self.pkcs12, self.cert, self.key):
            if file and not (os.path.isfile(file) and os.access(file, os.R_OK)):
                raise SigningError("%s: no such file to sign with" % file)
        if shutil.which("osslsigncode") is None:
            raise SigningError("osslsigncode is missing; run scripts/install-deps as root")
        # Both tools read the first line; an empty file would be no password
        # at all.
        _write_private(self.password, env.get("SIGN_PASSWORD", "") + "\n")
        if self.pkcs12:
            self._read_pkcs12()
        else:
            self._read_cert_and_key()
        self.leaf_hash = self._leaf_hash()

    def _pkcs12(self, *options):
        """openssl pkcs12 on the bundle; bundles made with older tools use
        algorithms that OpenSSL 3 keeps in its legacy provider."""
        base = ["openssl", "pkcs12", "-in", self.pkcs12, "-passin", "file:" + self.password, "-nokeys"]
        status, _, errors = _run(base + list(options))
        if status != 0:
            status, _, more = _run(base[:2] + ["-legacy"] + base[2:] + list(options))
            errors += more
        return status == 0, errors

    def _read_pkcs12(self):
        read, errors = self._pkcs12("-out", self.certs)
        if not read:
            if "mac verify" in errors.lower():
                raise SigningError("%s: wrong SIGN_PASSWORD for this PKCS#12 file" % self.pkcs12)
            raise SigningError("%s: not a PKCS#12 file that openssl reads" % self.pkcs12)
        read, _ = self._pkcs12("-clcerts", "-out", self.leaf)
        if not read:
            raise SigningError("%s: holds no certificate of its own key" % self.pkcs12)

    def _read_cert_and_key(self):
        # PEM may hold a chain, leaf first; DER holds one certificate.
        with open(self.cert, "rb") as file:
            pem = b"-----BEGIN CERTIFICATE-----" in file.read()
        if pem:
            shutil.copyfile(self.cert, self.certs)
        elif _run(["openssl", "x509", "-inform", "DER", "-in", self.cert, "-out", self.certs])[0] != 0:
            raise SigningError("%s: not a certificate (PEM or DER)" % self.cert)
        if _run(["openssl", "x509", "-in", self.certs, "-out", self.leaf])[0] != 0:
            raise SigningError("%s: not a certificate (PEM or DER)" % self.cert)
        key_public = None
        for form in ("PEM", "DER"):
            status, out, _ = _run(
                ["openssl", "pkey", "-inform", form, "-in", self.key, "-passin", "file:" + self.password, "-pubout"]
            )
            if status == 0:
                key_public = out
                break
        if key_public is None:
            raise SigningError("%s: cannot read the key (wrong SIGN_PASSWORD, or no private key)" % self.key)
        if key_public != self._certificate_public_key():
            raise SigningError("%s does not match the certificate %s (another key pair)" % (self.key, self.cert))

    def _certificate_public_key(self):
        return _run(["openssl", "x509", "-in", self.leaf, "-noout", "-pubkey"])[1]

    def _leaf_hash(self):
        status, _, _ = _run(["openssl", "x509", "-in", self.leaf, "-outform", "DER", "-out", self.leaf + ".der"])
        if status != 0:
            raise SigningError("%s: not a certificate (PEM or DER)" % (self.cert or self.pkcs12))
        with open(self.leaf + ".der", "rb") as file:
            return hashlib.sha256(file.read()).hexdigest()

    def _validity(self):
        _, out, _ = _run(["openssl", "x509", "-in", self.leaf, "-noout", "-startdate", "-enddate"])
        dates = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return _certificate_time(dates["notBefore"]), _certificate_time(dates["notAfter"])

    def name(self):
        return self.cert or self.pkcs12

    def check_valid(self, epoch):
        """The certificate must be valid on the disc's date."""
        not_before, not_after = self._validity()
        if epoch < not_before:
            raise SigningError(
                "%s is valid only from %s, after the disc's date %s (SOURCE_DATE_EPOCH, else the last commit's)"
                % (self.name(), _utc(not_before), _utc(epoch))
            )
        if epoch > not_after:
            raise SigningError("%s expired on %s, before the disc's date %s" % (self.name(), _utc(not_after), _utc(epoch)))

    def sign(self, program, target, epoch):
        if self.pkcs12:
            key = ["-pkcs12", self.pkcs12]
        else:
            key = ["-certs", self.cert, "-key", self.key]
        status, out, errors = _run(
            ["osslsigncode", "sign"]
            + key
            + ["-readpass", self.password, "-h", "sha256", "-time", str(epoch), "-in", program, "-out", target]
        )
        if status != 0:
            cause = _first_line(out + errors, _openssl_error_line)
            raise SigningError("osslsigncode could not sign %s: %s" % (os.path.basename(program), cause))

    def verify(self, signed, name):
        """The signature must be the given certificate's and check out
        against the certificates given (and this machine's trusted ones)."""
        trust = os.path.join(self.work, "trust.pem")
        if not os.path.exists(trust):
            shutil.copyfile(self.certs, trust)
            if os.path.isfile(SYSTEM_ROOTS):
                with open(trust, "ab") as out, open(SYSTEM_ROOTS, "rb") as roots:
                    shutil.copyfileobj(roots, out)
        status, out, errors = _run(
            ["osslsigncode", "verify", "-in", signed, "-CAfile", trust, "-require-leaf-hash", "sha256:" + self.leaf_hash]
        )
        if status != 0:
            cause = next(
                (line.strip() for line in (out + errors).splitlines() if "error" in line.lower() or "failed" in line.lower()),
                "see osslsigncode verify",
            )
            raise SigningError("the signature of %s does not verify: %s" % (name, cause))
