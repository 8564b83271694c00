"""The signer's certificates and keys as files give them (a PKCS#12 bundle,
PEM or DER certificates and keys, a PKCS#7 signature's certificates), read
with python3-cryptography: what each holds, whether a key belongs to a
certificate, and when a certificate is valid. The files are the vendor's
and may be anything: each reader returns None (or raises ValueError) for
what it cannot read, never a half-read result."""

import calendar
import hashlib
import re

from cryptography import x509
from cryptography.exceptions import UnsupportedAlgorithm
from cryptography.hazmat.primitives import serialization
from cryptography.hazmat.primitives.serialization import pkcs7, pkcs12

PEM_CERTIFICATE = re.compile(rb"-----BEGIN CERTIFICATE-----.*?-----END CERTIFICATE-----", re.S)
PUBLIC_KEY_FORM = (serialization.Encoding.DER, serialization.PublicFormat.SubjectPublicKeyInfo)


def is_pkcs12(data):
    """Whether `data` is framed as a PKCS#12 bundle: a DER sequence whose
    first element is the version, 3. Tells a wrong password from a file
    that is no bundle at all."""
    if len(data) < 2 or data[0] != 0x30:
        return False
    length_bytes = data[1] - 0x80 if data[1] > 0x80 else 0
    return data[2 + length_bytes:5 + length_bytes] == b"\x02\x01\x03"


def pkcs12_certificates(data, password):
    """The certificate of the bundle's key (None when it holds none) and
    every certificate it holds, that one first. ValueError when the
    password does not open the bundle."""
    try:
        _, leaf, others = pkcs12.load_key_and_certificates(data, password or None)
    except UnsupportedAlgorithm as error:
        raise ValueError(str(error)) from None
    return leaf, ([leaf] if leaf else []) + list(others)


def certificates(data):
    """The certificates of a PEM file (a chain, the signer's first) or the
    one of a DER file; None when the first cannot be read."""
    blocks = PEM_CERTIFICATE.findall(data)
    try:
        if not blocks:
            return [x509.load_der_x509_certificate(data)]
        first = x509.load_pem_x509_certificate(blocks[0])
    except ValueError:
        return None
    rest = []
    for block in blocks[1:]:
        try:
            rest.append(x509.load_pem_x509_certificate(block))
        except ValueError:
            # Only a chain to trust: what cannot be read is left out of it.
            continue
    return [first] + rest


def private_key(data, password):
    """The private key of a PEM or DER file, opened with `password` where
    it is encrypted; None when there is none or the password is wrong."""
    for load in (serialization.load_pem_private_key, serialization.load_der_private_key):
        for attempt in (password or None, None):
            try:
                return load(data, attempt)
            except TypeError:
                # Encrypted without a password, or a password for a key
                # that has none: the second try settles it.
                continue
            except (ValueError, UnsupportedAlgorithm):
                break
    return None


def public_key(data):
    """The PEM public key a tool printed; None when it is not one."""
    try:
        return serialization.load_pem_public_key(data)
    except (ValueError, UnsupportedAlgorithm):
        return None


def belongs_to(key, certificate):
    """Whether the key (private or public) is the certificate's own."""
    try:
        theirs = certificate.public_key()
    except (ValueError, UnsupportedAlgorithm):
        return False
    ours = key.public_key() if hasattr(key, "private_bytes") else key
    return ours.public_bytes(*PUBLIC_KEY_FORM) == theirs.public_bytes(*PUBLIC_KEY_FORM)


def pem(certs):
    return b"".join(cert.public_bytes(serialization.Encoding.PEM) for cert in certs)


def leaf_hash(certificate):
    """SHA-256 of the certificate's DER bytes, as a signature's check names it."""
    return hashlib.sha256(certificate.public_bytes(serialization.Encoding.DER)).hexdigest()


def validity(certificate):
    """The first and last second of the certificate's validity, since 1970."""
    return (calendar.timegm(certificate.not_valid_before.timetuple()),
            calendar.timegm(certificate.not_valid_after.timetuple()))


def signature_certificates(data):
    """The certificates a DER PKCS#7 signature carries; None when it is not one."""
    try:
        return pkcs7.load_der_pkcs7_certificates(data)
    except (ValueError, UnsupportedAlgorithm):
        return None


def signer(certs):
    """The signer among a signature's certificates: the first that issued
    none of the others; None for none."""
    for cert in certs:
        if not any(other is not cert and other.issuer == cert.subject for other in certs):
            return cert
    return None


def subject(certificate):
    """The certificate's subject as messages show it, "CN=..., O=..."."""
    return certificate.subject.rfc4514_string()
