"""Throw-away keys and certificates for the signing cases, made with
python3-cryptography so that their validity can lie anywhere around now."""

import datetime

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID


def write_pem(path, item):
    with open(path, "wb") as file:
        if isinstance(item, x509.Certificate):
            file.write(item.public_bytes(serialization.Encoding.PEM))
        else:
            file.write(
                item.private_bytes(
                    serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8, serialization.NoEncryption()
                )
            )
    return path


def certificate(path, name, key, days_from, days_to, usage=ExtendedKeyUsageOID.CODE_SIGNING, issuer=None, ca=False):
    """A certificate for key, valid from days_from to days_to days from now,
    self-signed unless issuer is (certificate, key); ca makes it an
    authority's."""
    now = datetime.datetime.now(datetime.timezone.utc)
    subject = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, name)])
    issuer_name, issuer_key = (issuer[0].subject, issuer[1]) if issuer else (subject, key)
    cert = (
        x509.CertificateBuilder()
        .subject_name(subject)
        .issuer_name(issuer_name)
        .public_key(key.public_key())
        .serial_number(x509.random_serial_number())
        .not_valid_before(now + datetime.timedelta(days=days_from))
        .not_valid_after(now + datetime.timedelta(days=days_to))
        .add_extension(x509.ExtendedKeyUsage([usage]), critical=usage == ExtendedKeyUsageOID.TIME_STAMPING)
        .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True)
        .sign(issuer_key, hashes.SHA256())
    )
    write_pem(path, cert)
    return cert


def new_key():
    return rsa.generate_private_key(public_exponent=65537, key_size=2048)
