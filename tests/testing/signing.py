"""The example installer built by vunipack and signed by osslsigncode with a self-signed
test certificate, for the tests of signed installers."""
import subprocess

from checks import check


def run(*args, **kw):
    return subprocess.run([str(a) for a in args], capture_output=True, **kw)


def build_signed(source, vunipack, stub, work, signer="Vuni test signer"):
    """Makes work/out.exe and work/signed.exe (with work/cert.pem and work/key.pem), each
    step a check; True when every step worked."""
    out = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
              "-subj", "/CN=" + signer, "-keyout", work / "key.pem", "-out", work / "cert.pem")
    made = out.returncode == 0
    check(made, "openssl makes a self-signed certificate")
    manifest = source / "examples" / "blocnotes" / "blocnotes.vunipack.ini"
    out = run(vunipack, "build", manifest, "-o", work / "out.exe", "--stub", stub)
    built = out.returncode == 0
    check(built, "vunipack build " + out.stderr.decode(errors="replace"))
    out = run("osslsigncode", "sign", "-certs", work / "cert.pem", "-key", work / "key.pem",
              "-in", work / "out.exe", "-out", work / "signed.exe")
    signed = out.returncode == 0
    check(signed, "osslsigncode signs the installer " + out.stderr.decode(errors="replace"))
    return made and built and signed
