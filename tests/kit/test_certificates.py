"""Reading the signer's files: bundles, chains, keys in either form and
with or without a password, and the signature's certificates."""

import calendar
import datetime
import os
import sys

import pytest
from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.hazmat.primitives.serialization import pkcs7, pkcs12
from cryptography.x509.oid import NameOID

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "disckit"))

from discproject import certificates  # noqa: E402

START = datetime.datetime(2001, 2, 3, 4, 5, 6)
END = datetime.datetime(2031, 2, 3, 4, 5, 6)
PEM, DER = serialization.Encoding.PEM, serialization.Encoding.DER


def _certificate(name, key, issuer=None):
    issuer_cert, issuer_key = issuer or (None, key)
    subject = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, name)])
    return (x509.CertificateBuilder().subject_name(subject)
            .issuer_name(issuer_cert.subject if issuer_cert else subject).public_key(key.public_key())
            .serial_number(1).not_valid_before(START).not_valid_after(END).sign(issuer_key, hashes.SHA256()))


@pytest.fixture(scope="module")
def pair():
    ca_key, key, other = (ec.generate_private_key(ec.SECP256R1()) for _ in range(3))
    ca = _certificate("Authority", ca_key)
    return key, _certificate("Vendor", key, (ca, ca_key)), ca, other


def _key_bytes(key, encoding, password=None):
    protect = serialization.BestAvailableEncryption(password) if password else serialization.NoEncryption()
    return key.private_bytes(encoding, serialization.PrivateFormat.PKCS8, protect)


def test_pkcs12_bundle(pair):
    key, leaf, ca, _ = pair
    bundle = pkcs12.serialize_key_and_certificates(b"v", key, leaf, [ca], serialization.BestAvailableEncryption(b"s"))
    assert certificates.is_pkcs12(bundle) and not certificates.is_pkcs12(b"not a bundle")
    assert certificates.pkcs12_certificates(bundle, b"s") == (leaf, [leaf, ca])
    with pytest.raises(ValueError):
        certificates.pkcs12_certificates(bundle, b"wrong")
    # A bundle of certificates alone holds none of its own key.
    assert certificates.pkcs12_certificates(
        pkcs12.serialize_key_and_certificates(None, None, None, [ca], serialization.NoEncryption()), b"")[0] is None


def test_certificate_files(pair):
    key, leaf, ca, _ = pair
    # A key before the chain, as a combined file has it: the first
    # certificate is still the signer's.
    chain = _key_bytes(key, PEM) + leaf.public_bytes(PEM) + ca.public_bytes(PEM)
    assert certificates.certificates(chain) == [leaf, ca]
    assert certificates.certificates(leaf.public_bytes(DER)) == [leaf]
    assert certificates.certificates(b"-----BEGIN CERTIFICATE-----\nbroken") is None
    assert certificates.validity(leaf) == (calendar.timegm(START.timetuple()), calendar.timegm(END.timetuple()))
    assert certificates.leaf_hash(leaf) == leaf.fingerprint(hashes.SHA256()).hex()


def test_keys_in_either_form(pair):
    key, leaf, _, other = pair
    for encoding in (PEM, DER):
        assert certificates.belongs_to(certificates.private_key(_key_bytes(key, encoding, b"pw"), b"pw"), leaf)
        assert certificates.private_key(_key_bytes(key, encoding, b"pw"), b"wrong") is None
        assert certificates.private_key(_key_bytes(key, encoding, b"pw"), b"") is None
        # A password given for a key that has none does not stand in the way.
        assert certificates.private_key(_key_bytes(key, encoding), b"pw") is not None
    assert not certificates.belongs_to(other, leaf)
    printed = key.public_key().public_bytes(PEM, serialization.PublicFormat.SubjectPublicKeyInfo)
    assert certificates.belongs_to(certificates.public_key(printed), leaf)
    assert certificates.public_key(b"engine said no") is None


def test_signature_certificates(pair):
    key, leaf, ca, _ = pair
    signed = (pkcs7.PKCS7SignatureBuilder().set_data(b"program").add_signer(leaf, key, hashes.SHA256())
              .add_certificate(ca).sign(DER, [pkcs7.PKCS7Options.DetachedSignature]))
    carried = certificates.signature_certificates(signed)
    assert set(carried) == {leaf, ca}
    assert certificates.signature_certificates(b"\x30\x03\x02\x01\x03") is None
    # The signer is the one that issued none of the others, in any order;
    # a self-signed certificate alone is its own signer.
    assert certificates.signer(carried) == certificates.signer(carried[::-1]) == leaf
    assert certificates.signer([ca]) == ca and certificates.signer([]) is None
    assert certificates.subject(leaf) == "CN=Vendor"
