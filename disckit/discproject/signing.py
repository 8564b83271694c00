"""Authenticode signatures for the programs of a disc, made with osslsigncode.

The key comes from the environment (a mapping like os.environ), as make
passes it on:
  SIGN_PKCS12=FILE [SIGN_PASSWORD=...]             a PKCS#12 bundle
  SIGN_CERT=FILE SIGN_KEY=FILE [SIGN_PASSWORD=...]  certificate(s) and key,
                                                    PEM or DER
  SIGN_PKCS11_MODULE=MODULE.so SIGN_KEY=pkcs11:URI SIGN_CERT=FILE
      [SIGN_PIN=... | SIGN_PIN_FILE=FILE]         a key in a token or HSM
  SIGN_TIMESTAMP_URL=URL [SIGN_TIMESTAMP_CA=FILE]  an RFC 3161 time stamp,
                                                    so the signatures outlive
                                                    the certificate
Certificates and keys are read here (with python3-cryptography); a
password or PIN reaches osslsigncode and OpenSSL's PKCS#11 engine through a
file only this user can read, never on a command line or in their
environment.

The signing time is the disc's date, or the certificate's first day when
that lies later: a certificate issued or renewed after the last commit
signs too, and two builds of one commit with one key still give the same
bytes. A signed build records each program's detached signature in
PROJECT/signatures/NAME.sig; a later build whose programs have the same
unsigned bytes attaches those again, without a key or a server, so every
build of one commit gives the same signed disc. A record follows its
program: with the key given, a record that no longer fits is replaced by a
fresh signature (time-stamped when a server is named), and the records that
still fit stay and are not signed again. Without a key such a record is an
error. Records of another signer than the given certificate are an error;
SIGN_RENEW=1 signs everything afresh and replaces them.

Every failure is a SigningError whose text is one line, and leaves the
programs and the records as they were: programs are signed into temporary
files and everything is put in place only when all of them are signed and
verified.
"""

import contextlib
import os
import shutil
import tempfile
import time
import urllib.parse

from . import certificates, secret_folder, tool_runner
from .findings import Failure
from .source_date import utc

# The system's trusted roots, for a chain that ends in a public root.
SYSTEM_ROOTS = "/etc/ssl/certs/ca-certificates.crt"
# Seconds a time-stamp server has to answer, unless SIGN_TIMESTAMP_TIMEOUT
# says otherwise.
TIMESTAMP_TIMEOUT = 60
UNSIGNED = (
    "the programs are unsigned (SIGN_PKCS12, SIGN_CERT with SIGN_KEY, a token through SIGN_PKCS11_MODULE,"
    " or signatures recorded in the project's signatures folder sign them)"
)
KEY_VARIABLES = ("SIGN_PKCS12", "SIGN_CERT", "SIGN_KEY", "SIGN_PKCS11_MODULE")


class SigningError(Exception):
    """A reason the programs cannot be signed; str() is one line."""

    def __init__(self, message):
        super().__init__(" ".join(str(message).split()))


def signing_requested(env):
    """Whether the environment names a key to sign with."""
    return any(env.get(name) for name in KEY_VARIABLES)


def check_signing_inputs(env, epoch):
    """Judges the key before anything is built: the files exist, the
    password or PIN opens them, the module loads, the URI names a key, the
    key belongs to the certificate, and the certificate is valid at the
    disc's date and now. Raises SigningError."""
    _renewal_requested(env)
    if not signing_requested(env):
        return
    with _workspace() as work:
        _Key(env, work).check_valid(epoch, _Timestamp(env))


def signing_time(epoch, not_before):
    """The time a new signature carries: the disc's date, unless the
    certificate starts later. Fixed by the commit and the certificate, so
    that rebuilding gives the same signature."""
    return max(epoch, not_before)


def sign_programs(env, epoch, project_dir, programs):
    """Signs each program file in place and verifies its signature; returns
    the one-line report. Raises SigningError and then changes no program
    and no record. project_dir is the disc project: its signatures folder
    holds the recorded signatures (an empty project_dir records none)."""
    names = [os.path.basename(program) for program in programs]
    if not names:
        raise SigningError("no programs to sign")
    if len(set(names)) != len(names):
        raise SigningError("two programs share a name: %s" % " ".join(names))
    renew = _renewal_requested(env)
    key_given = signing_requested(env)
    records = _Records(project_dir, env)
    recorded = [] if renew else [program for program in programs if records.holds(program)]
    if not recorded and not key_given:
        return UNSIGNED
    missing = [program for program in programs if program not in recorded]
    if missing and not key_given:
        raise SigningError(
            "%s: no signature recorded in %s, and no key to sign it" % (os.path.basename(missing[0]), records.folder)
        )
    with _workspace() as work:
        key = _Key(env, work) if key_given else None
        if key:
            records.check_signer(recorded, key)
        signed, outdated = _attach_recorded(records, recorded, work, epoch, renewable=bool(key))
        fresh = [program for program in programs if program not in signed]
        timestamp = _Timestamp(env)
        if fresh:
            key.check_valid(epoch, timestamp)
            for index, program in enumerate(fresh):
                target = os.path.join(work, "%d.signed" % index)
                key.sign(program, target, epoch, timestamp)
                key.verify(target, os.path.basename(program), timestamp)
                signed[program] = target
            records.stage(fresh, signed, work)
        # Records first: should the programs not be replaced after all, the
        # records still fit their unsigned bytes.
        records.commit(programs if renew else outdated)
        _replace_all(programs, [signed[program] for program in programs])
    attached = [program for program in recorded if program not in outdated]
    return _report(attached, fresh, outdated, records, key, timestamp)


def _attach_recorded(records, recorded, work, epoch, renewable):
    """The programs with their records attached, by program, and the
    programs whose records no longer fit them (renewable: a key is there to
    sign those afresh)."""
    signed, outdated = {}, []
    for index, program in enumerate(recorded):
        target = records.attach(program, os.path.join(work, "%d.attached" % index), epoch, renewable)
        if target:
            signed[program] = target
        else:
            outdated.append(program)
    return signed, outdated


def _names(programs, suffix=""):
    return " ".join(os.path.basename(program) + suffix for program in programs)


def _report(attached, fresh, outdated, records, key, timestamp):
    parts = []
    if fresh:
        line = "signed and verified: " + _names(fresh)
        if timestamp.url:
            line += ", time-stamped by " + timestamp.url
        else:
            line += "; no time stamp, so the signatures end with the certificate on %s (SIGN_TIMESTAMP_URL adds one)" % (
                utc(key.not_after)
            )
        if records.folder:
            line += ", recorded in " + records.folder
        if outdated:
            line += "; renewed the records that no longer fit their programs: " + _names(outdated, ".sig")
        parts.append(line)
    if attached:
        line = "attached the signatures recorded in %s" % records.folder
        if not key:
            line += " by %s" % records.signer_subject(attached[0])
        line += ": " + _names(attached)
        if key and not fresh:
            line += " (the key was not used; SIGN_RENEW=1 signs afresh)"
        parts.append(line)
    return "; ".join(parts)


def _renewal_requested(env):
    renew = env.get("SIGN_RENEW", "") not in ("", "0")
    if renew and not signing_requested(env):
        raise SigningError("SIGN_RENEW=1 signs afresh, but no key is given to sign with")
    return renew


def _workspace():
    return secret_folder.workspace()


def _run(args, env, settings=None, timeout=tool_runner.TIME_LIMIT_SECONDS):
    """Runs a tool in the caller's environment `env` (the run helper keeps
    the secrets out) and returns its exit status with its output and errors
    as text. A tool that outlives timeout counts as failed, with status
    None."""
    try:
        done = tool_runner.run(args, env=env, settings=settings, time_limit=timeout)
    except Failure as failure:
        raise SigningError(str(failure)) from None
    return done.status, done.output.decode(errors="replace"), done.errors.decode(errors="replace")


def _read(path):
    with open(path, "rb") as file:
        return file.read()


def _write_private(path, text):
    """A file only this user may read, for a password or a PIN."""
    descriptor = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    with os.fdopen(descriptor, "w") as file:
        file.write(text)


def _readable(path):
    return os.path.isfile(path) and os.access(path, os.R_OK)


def _openssl_error_line(line):
    # OpenSSL's own error stack: "4097C0D1F47F0000:error:...".
    head = line.split(":", 1)[0]
    return ":error:" in line and all(c in "0123456789ABCDEF" for c in head)


def _openssl_reason(text):
    """The reason of the first OpenSSL error line, with its detail:
    "ID:error:CODE:LIBRARY:FUNCTION:REASON:FILE:LINE:DETAIL"."""
    for line in text.splitlines():
        if _openssl_error_line(line):
            fields = line.split(":", 8)
            if len(fields) >= 6:
                detail = fields[8].strip() if len(fields) > 8 else ""
                return fields[5] + (" (%s)" % detail if detail else "")
    return ""


def _trust_file(work, certs, extra=""):
    """The certificates a signature must chain to: those given with the key
    (and extra), then this machine's trusted roots."""
    descriptor, trust = tempfile.mkstemp(prefix="trust.", suffix=".pem", dir=work)
    with os.fdopen(descriptor, "wb") as out:
        for source in (certs, extra, SYSTEM_ROOTS):
            if source and os.path.isfile(source):
                with open(source, "rb") as file:
                    shutil.copyfileobj(file, out)
                out.write(b"\n")
    return trust


def _replace_all(programs, signed):
    """Puts the signed files in the programs' places: first each beside its
    program, then all renamed at once, so a failure on the way leaves every
    program whole."""
    staged = []
    try:
        for program, source in zip(programs, signed):
            descriptor, stage = tempfile.mkstemp(
                prefix="." + os.path.basename(program) + ".", suffix=".signed", dir=os.path.dirname(program) or "."
            )
            os.close(descriptor)
            staged.append(stage)
            shutil.copyfile(source, stage)
            shutil.copymode(program, stage)
    except OSError as error:
        for stage in staged:
            with contextlib.suppress(OSError):
                os.unlink(stage)
        raise SigningError("cannot write the signed %s: %s" % (os.path.basename(program), error.strerror)) from None
    for program, stage in zip(programs, staged):
        os.replace(stage, program)


class _Timestamp:
    """The RFC 3161 server of SIGN_TIMESTAMP_URL, if any."""

    def __init__(self, env):
        self.url = env.get("SIGN_TIMESTAMP_URL", "")
        self.ca = env.get("SIGN_TIMESTAMP_CA", "")
        if self.url and not self.url.startswith(("http://", "https://")):
            raise SigningError("SIGN_TIMESTAMP_URL=%s is no http:// or https:// address" % self.url)
        if self.ca and not _readable(self.ca):
            raise SigningError("%s: no such file of time-stamp certificates" % self.ca)
        timeout = env.get("SIGN_TIMESTAMP_TIMEOUT", "")
        if timeout and not timeout.isdigit():
            raise SigningError("SIGN_TIMESTAMP_TIMEOUT=%s is not a count of seconds" % timeout)
        self.timeout = int(timeout) if timeout else TIMESTAMP_TIMEOUT

    def sign_options(self):
        return ["-ts", self.url] if self.url else []

    def failure(self, name, status, log):
        """The one line for a signing that failed while asking the server."""
        if status is None:
            return "the time-stamp server %s did not answer within %d s; nothing is signed" % (self.url, self.timeout)
        if "connection refused" in log.lower() or "connect error" in log.lower():
            return "the time-stamp server %s did not answer (connection refused); nothing is signed" % self.url
        reason = _openssl_reason(log) or tool_runner.one_line(log, skip=_openssl_error_line)
        return "the time-stamp server %s gave no usable time stamp for %s (%s); nothing is signed" % (
            self.url,
            name,
            reason,
        )


class _Key:
    """The key of the environment, read and checked; its private work
    folder holds the password file and certs.pem, every certificate given
    (the chain to trust)."""

    def __init__(self, env, work):
        self.work = work
        self.env = env
        self.pkcs12 = env.get("SIGN_PKCS12", "")
        self.cert = env.get("SIGN_CERT", "")
        self.key = env.get("SIGN_KEY", "")
        self.module = env.get("SIGN_PKCS11_MODULE", "")
        self.password = os.path.join(work, "password")
        self.certs = os.path.join(work, "certs.pem")
        self.leaf = None
        self._check_combination()
        for file in (self.pkcs12, self.cert, self.key if not self.module else ""):
            if file and not _readable(file):
                raise SigningError("%s: no such file to sign with" % file)
        if shutil.which("osslsigncode") is None:
            raise SigningError("osslsigncode is missing; run scripts/install-deps as root")
        if self.pkcs12:
            self._write_password(env.get("SIGN_PASSWORD", ""))
            self._read_pkcs12()
        else:
            self._read_certificates()
            if self.module:
                self._write_password(self._pin())
                self._read_token_key()
            else:
                self._write_password(env.get("SIGN_PASSWORD", ""))
                self._read_key_file()
        self.leaf_hash = certificates.leaf_hash(self.leaf)
        self.not_before, self.not_after = certificates.validity(self.leaf)

    def _check_combination(self):
        if self.pkcs12 and self.module:
            raise SigningError("SIGN_PKCS12 and SIGN_PKCS11_MODULE both given; give one way to the key")
        if self.pkcs12 and (self.cert or self.key):
            raise SigningError("SIGN_PKCS12 and SIGN_CERT/SIGN_KEY both given; give one way to the key")
        if self.module:
            if not self.key.startswith("pkcs11:"):
                raise SigningError("SIGN_PKCS11_MODULE needs SIGN_KEY=pkcs11:... naming the key in the token")
            if not self.cert:
                raise SigningError("SIGN_PKCS11_MODULE needs SIGN_CERT, the certificate of the key in the token")
            if "pin-value=" in self.key or "pin-source=" in self.key:
                raise SigningError("SIGN_KEY must not carry the PIN; give it in SIGN_PIN or SIGN_PIN_FILE")
            return
        if self.key.startswith("pkcs11:"):
            raise SigningError("SIGN_KEY names a key in a token; name its module in SIGN_PKCS11_MODULE")
        if not self.pkcs12 and not (self.cert and self.key):
            raise SigningError(
                "SIGN_CERT and SIGN_KEY go together; %s is missing" % ("SIGN_KEY" if self.cert else "SIGN_CERT")
            )

    def _write_password(self, secret):
        # osslsigncode reads the first line; an empty file would be no
        # password at all. libp11 reads a PIN file whole, so a PIN ends
        # without a line end.
        _write_private(self.password, secret if self.module else secret + "\n")

    def _password(self):
        """SIGN_PASSWORD as the bytes that open the key: its first line,
        as osslsigncode reads it from the file."""
        return os.fsencode(self.env.get("SIGN_PASSWORD", "").split("\n", 1)[0])

    def _pin(self):
        pin = self.env.get("SIGN_PIN", "")
        pin_file = self.env.get("SIGN_PIN_FILE", "")
        if pin and pin_file:
            raise SigningError("SIGN_PIN and SIGN_PIN_FILE both given; give the PIN one way")
        if pin_file:
            if not _readable(pin_file):
                raise SigningError("%s: no such file to read the PIN from" % pin_file)
            with open(pin_file, encoding="utf-8", errors="replace") as file:
                pin = file.readline().rstrip("\r\n")
        if not pin:
            raise SigningError("the token's PIN is missing; give it in SIGN_PIN or SIGN_PIN_FILE")
        return pin

    def _read_pkcs12(self):
        data = _read(self.pkcs12)
        if not certificates.is_pkcs12(data):
            raise SigningError("%s: not a PKCS#12 file that openssl reads" % self.pkcs12)
        try:
            self.leaf, given = certificates.pkcs12_certificates(data, self._password())
        except ValueError:
            raise SigningError("%s: wrong SIGN_PASSWORD for this PKCS#12 file" % self.pkcs12) from None
        if self.leaf is None:
            raise SigningError("%s: holds no certificate of its own key" % self.pkcs12)
        self._write_certificates(given)

    def _read_certificates(self):
        # PEM may hold a chain, leaf first; DER holds one certificate.
        given = certificates.certificates(_read(self.cert))
        if not given:
            raise SigningError("%s: not a certificate (PEM or DER)" % self.cert)
        self.leaf = given[0]
        self._write_certificates(given)

    def _write_certificates(self, given):
        with open(self.certs, "wb") as file:
            file.write(certificates.pem(given))

    def _read_key_file(self):
        key = certificates.private_key(_read(self.key), self._password())
        if key is None:
            raise SigningError("%s: cannot read the key (wrong SIGN_PASSWORD, or no private key)" % self.key)
        self._match_certificate(key)

    def _read_token_key(self):
        """Logs in to the token once, as signing will, and reads the public
        half of the key the URI names, through OpenSSL's PKCS#11 engine."""
        separator = "&" if "?" in self.key else "?"
        uri = self.key + separator + "pin-source=file:" + urllib.parse.quote(self.password)
        status, out, errors = _run(
            ["openssl", "pkey", "-engine", "pkcs11", "-inform", "ENGINE", "-in", uri, "-pubout"],
            self.env,
            settings={"PKCS11_MODULE_PATH": self.module},
        )
        key = certificates.public_key(out.encode()) if status == 0 else None
        if key is not None:
            self._match_certificate(key)
            return
        raise SigningError(self._token_failure(errors))

    def _token_failure(self, errors):
        lowered = errors.lower()
        if "invalid engine" in lowered:
            return "OpenSSL's PKCS#11 engine is missing; run scripts/install-deps as root"
        if "unable to load" in lowered:
            # The loader says why, on a line of its own: "MODULE: cause".
            prefix = self.module + ": "
            cause = next((line[len(prefix) :] for line in errors.splitlines() if line.startswith(prefix)), "")
            return "SIGN_PKCS11_MODULE %s does not load: %s" % (self.module, cause or "not a PKCS#11 module")
        if "pin incorrect" in lowered or "pin_len_range" in lowered or "pin len range" in lowered:
            return "wrong SIGN_PIN for the token of %s" % self.key
        if "pin locked" in lowered:
            return "the PIN of the token of %s is locked" % self.key
        if "no matching initialized token" in lowered or "no tokens" in lowered:
            return "%s names no token of the module %s" % (self.key, self.module)
        if "not found" in lowered:
            return "%s names no private key in the token" % self.key
        return "cannot use the key %s: %s" % (self.key, _openssl_reason(errors) or tool_runner.one_line(errors))

    def _match_certificate(self, key):
        if not certificates.belongs_to(key, self.leaf):
            raise SigningError("%s does not match the certificate %s (another key pair)" % (self.key, self.cert))

    def name(self):
        return self.cert or self.pkcs12

    def check_valid(self, epoch, timestamp):
        """The certificate must be valid at the signing time its signatures
        carry (a time stamp vouches for the time instead, so it may lie
        after the end), and now, when the signatures are made and Windows
        first judges them: a certificate that has expired makes signatures
        that are invalid from the start, time stamp or not."""
        when = signing_time(epoch, self.not_before)
        if when > self.not_after and not timestamp.url:
            raise SigningError(
                "%s expired on %s, before the disc's date %s" % (self.name(), utc(self.not_after), utc(when))
            )
        now = int(time.time())
        if now > self.not_after:
            raise SigningError(
                "%s expired on %s: Windows would trust no signature made with it now" % (self.name(), utc(self.not_after))
            )
        if now < self.not_before:
            raise SigningError("%s is valid only from %s, not yet now" % (self.name(), utc(self.not_before)))

    def subject(self):
        return certificates.subject(self.leaf)

    def sign(self, program, target, epoch, timestamp):
        name = os.path.basename(program)
        if self.pkcs12:
            key = ["-pkcs12", self.pkcs12]
        elif self.module:
            key = ["-pkcs11module", self.module, "-key", self.key, "-certs", self.cert]
        else:
            key = ["-certs", self.cert, "-key", self.key]
        status, out, errors = _run(
            ["osslsigncode", "sign"]
            + key
            + ["-readpass", self.password, "-h", "sha256", "-time", str(signing_time(epoch, self.not_before))]
            + timestamp.sign_options()
            + ["-in", program, "-out", target],
            self.env,
            timeout=timestamp.timeout if timestamp.url else tool_runner.TIME_LIMIT_SECONDS,
        )
        log = out + errors
        if timestamp.url and (status is None or "timestamping failed" in log.lower()):
            raise SigningError(timestamp.failure(name, status, log))
        if status != 0:
            if self.module:
                raise SigningError(self._token_failure(log))
            cause = tool_runner.one_line(log, skip=_openssl_error_line)
            raise SigningError("osslsigncode could not sign %s: %s" % (name, cause))

    def verify(self, signed, name, timestamp):
        """The signature must be the given certificate's and check out
        against the certificates given (and this machine's trusted ones);
        a time stamp asked for must be there and check out too."""
        trust = _trust_file(self.work, self.certs)
        options = ["-TSA-CAfile", _trust_file(self.work, timestamp.ca)] if timestamp.url else []
        status, out, errors = _run(
            ["osslsigncode", "verify", "-in", signed, "-CAfile", trust, "-require-leaf-hash", "sha256:" + self.leaf_hash]
            + options,
            self.env,
        )
        log = out + errors
        if status != 0:
            cause = next(
                (line.strip() for line in log.splitlines() if "error" in line.lower() or "failed" in line.lower()),
                "see osslsigncode verify",
            )
            raise SigningError("the signature of %s does not verify: %s" % (name, cause))
        if timestamp.url and "Timestamp Server Signature verification: ok" not in log:
            hint = "" if timestamp.ca else " (SIGN_TIMESTAMP_CA names the certificates it chains to)"
            raise SigningError("the time stamp of %s from %s does not verify%s" % (name, timestamp.url, hint))


class _Records:
    """The signatures a project records, PROJECT/signatures/NAME.sig: each
    program's detached signature (DER PKCS#7, as osslsigncode extracts it)."""

    def __init__(self, project_dir, env):
        self.folder = os.path.join(project_dir, "signatures") if project_dir else ""
        self.env = env
        self.staged = []

    def path(self, program):
        return os.path.join(self.folder, os.path.basename(program) + ".sig")

    def holds(self, program):
        return bool(self.folder) and os.path.exists(self.path(program))

    def _signer(self, program):
        """The certificate that made the record, and every one it carries."""
        record = self.path(program)
        certs = certificates.signature_certificates(_read(record))
        leaf = certificates.signer(certs) if certs else None
        if leaf is None:
            raise SigningError("%s: not a signature that osslsigncode recorded" % record)
        return leaf, certs

    def signer_subject(self, program):
        return certificates.subject(self._signer(program)[0])

    def check_signer(self, recorded, key):
        """Records are the given certificate's, or the build stops: a record
        of another signer would otherwise ship in its place unnoticed."""
        for program in recorded:
            leaf = self._signer(program)[0]
            if certificates.leaf_hash(leaf) != key.leaf_hash:
                raise SigningError(
                    "%s was signed by %s, not by %s of %s (SIGN_RENEW=1 signs afresh with the given key)"
                    % (self.path(program), certificates.subject(leaf), key.subject(), key.name())
                )

    def attach(self, program, target, epoch, renewable=False):
        """The program with its recorded signature attached, checked against
        the program's bytes; None when the record no longer fits them and
        renewable (a key is there to sign afresh). The chain is checked
        against the certificates the signature carries and this machine's
        roots, at the time the record was signed: the records were verified
        against the key when they were made."""
        record = self.path(program)
        work = os.path.dirname(target)
        carried = target + ".certs.pem"
        leaf, certs = self._signer(program)
        with open(carried, "wb") as file:
            file.write(certificates.pem(certs))
        trust = _trust_file(work, carried, self.env.get("SIGN_TIMESTAMP_CA", ""))
        when = signing_time(epoch, certificates.validity(leaf)[0])
        status, out, errors = _run(
            ["osslsigncode", "attach-signature", "-sigin", record, "-CAfile", trust, "-TSA-CAfile", trust]
            + ["-time", str(when), "-h", "sha256", "-in", program, "-out", target],
            self.env,
        )
        log = out + errors
        if status != 0:
            if "MISMATCH" in log:
                if renewable:
                    with contextlib.suppress(FileNotFoundError):
                        os.unlink(target)
                    return None
                raise SigningError(
                    "%s does not match %s: the program changed since it was signed; a build with the key"
                    " (SIGN_PKCS12, SIGN_CERT with SIGN_KEY, or a token) renews it" % (record, os.path.basename(program))
                )
            cause = next(
                (line.strip() for line in log.splitlines() if "error" in line.lower() or "failed" in line.lower()),
                "see osslsigncode attach-signature",
            )
            raise SigningError("%s does not attach to %s: %s" % (record, os.path.basename(program), cause))
        return target

    def stage(self, programs, signed, work):
        """Extracts the new signatures into the work folder."""
        if not self.folder:
            return
        for program in programs:
            staged = os.path.join(work, os.path.basename(program) + ".sig")
            status, out, errors = _run(
                ["osslsigncode", "extract-signature", "-in", signed[program], "-out", staged], self.env
            )
            if status != 0:
                cause = tool_runner.one_line(out + errors, skip=_openssl_error_line)
                raise SigningError("cannot extract the signature of %s: %s" % (os.path.basename(program), cause))
            self.staged.append((staged, self.path(program)))

    def commit(self, replaced):
        """Writes the staged records, each whole or not at all; an existing
        record is replaced only when it is one of the programs `replaced`."""
        if self.staged:
            os.makedirs(self.folder, exist_ok=True)
        replaceable = {self.path(program) for program in replaced}
        for staged, record in self.staged:
            temporary = record + ".new"
            shutil.copyfile(staged, temporary)
            os.chmod(temporary, 0o644)
            try:
                if record in replaceable:
                    os.replace(temporary, record)
                else:
                    os.link(temporary, record)
            except FileExistsError:
                raise SigningError("%s appeared while signing; it stays as it is" % record) from None
            finally:
                with contextlib.suppress(FileNotFoundError):
                    os.unlink(temporary)
