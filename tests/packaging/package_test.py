#!/usr/bin/env python3
"""The Debian package: builds it with cpack from the build tree, unpacks it with dpkg-deb into
a scratch folder and checks what a desktop needs of it: the program, the launcher and the
software-centre metadata (both validated with their own tools), the icons at their sizes, the
package's fields and the libraries it depends on, and what lintian says of it (no error, no
warning). Then starts the unpacked program on its own
virtual display and waits for its window "Quorrel 1.0".

usage: package_test.py CPACK CPACK_CONFIG"""

import gzip
import os
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import quorrel_e2e as e2e  # noqa: E402  (the harness of the end-to-end tests)

APP_ID = "io.github.quorrel.Quorrel"
TOOLS = ("dpkg-deb", "desktop-file-validate", "appstreamcli", "xprop", "lintian")


def run(*args, cwd=None):
    done = subprocess.run(list(args), cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=e2e.LIMIT * 5)
    e2e.check(done.returncode == 0, "%s failed (%d):\n%s%s" % (" ".join(args), done.returncode,
                                                               done.stdout, done.stderr))
    return done.stdout


def build_package(cpack, config, scratch):
    out = os.path.join(scratch, "out")
    run(cpack, "-G", "DEB", "--config", config, "-B", out)
    debs = [name for name in os.listdir(out) if name.endswith(".deb")]
    e2e.check(len(debs) == 1, "cpack made %d .deb files: %s" % (len(debs), debs))
    e2e.log("package " + debs[0])
    return os.path.join(out, debs[0])


def check_fields(deb):
    fields = {}
    for line in run("dpkg-deb", "--field", deb).splitlines():
        if line[:1].strip() and ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    e2e.log("fields: " + ", ".join("%s=%s" % kv for kv in sorted(fields.items())
                                  if kv[0] != "Description"))
    e2e.check(fields.get("Package") == "quorrel", "package name %r" % fields.get("Package"))
    e2e.check(fields.get("Version", "").startswith("1.0"), "version %r" % fields.get("Version"))
    e2e.check(fields.get("Section") == "games", "section %r" % fields.get("Section"))
    e2e.check("<" in fields.get("Maintainer", "") and fields["Maintainer"].endswith(">"),
              "maintainer %r is not a name and an address" % fields.get("Maintainer"))
    e2e.check(fields.get("Description", "").startswith("maze game"),
              "description %r" % fields.get("Description"))
    depends = package_names(fields.get("Depends", ""))
    for library in ("libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6"):
        e2e.check(library in depends, "Depends lacks %s: %s" % (library, depends))
    # The labels' font, and Qt's Wayland plugin for sessions without X.
    wanted = depends + package_names(fields.get("Recommends", ""))
    for package in ("fonts-liberation2", "qt6-wayland"):
        e2e.check(package in wanted, "neither Depends nor Recommends names " + package)
    for line in fields.get("Description", "").splitlines():
        e2e.check(len(line) < 80, "description line of %d characters" % len(line))


def package_names(relation):
    return [d.strip().split(" ")[0] for d in relation.split(",") if d.strip()]


def check_lintian(deb):
    done = subprocess.run(["lintian", "--pedantic", "--display-info", deb], text=True,
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=e2e.LIMIT * 20)
    tags = [line for line in done.stdout.splitlines() if line[:2] in ("E:", "W:", "I:", "P:")]
    for tag in tags:
        e2e.log("lintian " + tag)
    e2e.check(done.returncode in (0, 1), "lintian failed (%d): %s" % (done.returncode,
                                                                    done.stderr))
    bad = [tag for tag in tags if tag[:2] in ("E:", "W:")]
    e2e.check(not bad, "lintian reports %d errors and warnings:\n%s" % (len(bad), "\n".join(bad)))


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    e2e.check(head[:8] == b"\x89PNG\r\n\x1a\n", path + " is not a PNG")
    return struct.unpack(">II", head[16:24])


def check_files(root):
    share = os.path.join(root, "usr", "share")
    program = os.path.join(root, "usr", "games", "quorrel")
    e2e.check(os.path.isfile(program) and os.access(program, os.X_OK),
              "no executable usr/games/quorrel")
    doc = os.path.join(share, "doc", "quorrel")
    with open(os.path.join(doc, "copyright"), encoding="utf-8") as f:
        copyright_text = f.read()
    e2e.check(copyright_text.startswith("Format: https://www.debian.org/doc/packaging-manuals/"
                                        "copyright-format/1.0/"), "the copyright is not DEP-5")
    e2e.check("License: Expat\n Permission is hereby granted" in copyright_text,
              "the copyright does not give the licence text")
    with gzip.open(os.path.join(doc, "changelog.gz"), "rt", encoding="utf-8") as f:
        e2e.check(f.readline().startswith("quorrel (1.0"), "the changelog has no 1.0 entry")
    with gzip.open(os.path.join(share, "man", "man6", "quorrel.6.gz"), "rt",
                   encoding="utf-8") as f:
        page = f.read()
    e2e.check(page.startswith(".TH QUORREL 6") and ".SH NAME" in page and "Ctrl+Q" in page,
              "the manual page quorrel(6) lacks its title, name or keys")
    desktop = os.path.join(share, "applications", APP_ID + ".desktop")
    metainfo = os.path.join(share, "metainfo", APP_ID + ".metainfo.xml")
    svg = os.path.join(share, "icons", "hicolor", "scalable", "apps", APP_ID + ".svg")
    for path in (desktop, metainfo, svg):
        e2e.check(os.path.isfile(path), "missing " + os.path.relpath(path, root))
    with open(svg, encoding="utf-8") as f:
        e2e.check("<svg" in f.read(), "the scalable icon is not an SVG drawing")
    for size in (48, 128, 256):
        png = os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps",
                           APP_ID + ".png")
        e2e.check(os.path.isfile(png), "missing the %d pixel icon" % size)
        e2e.check(png_size(png) == (size, size),
                  "the %d pixel icon is %dx%d" % ((size,) + png_size(png)))
    # Nothing of the build or the tests comes along.
    for folder, _, names in os.walk(root):
        for name in names:
            relative = os.path.relpath(os.path.join(folder, name), root)
            e2e.check(not name.endswith((".a", ".h", ".cmake")) and "test" not in name,
                      "unexpected file in the package: " + relative)
    return program, desktop, metainfo


# The PATH Debian gives every user's session (/etc/login.defs, /etc/profile).
USER_PATH = ("/usr/local/bin", "/usr/bin", "/bin", "/usr/local/games", "/usr/games")


def check_desktop_integration(root, desktop, metainfo):
    run("desktop-file-validate", desktop)
    run("appstreamcli", "validate", "--no-net", metainfo)
    entries = {}
    with open(desktop, encoding="utf-8") as f:
        for line in f:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                entries[key] = value
    command = entries.get("Exec", "").split(" ")[0]
    found = shutil.which(command, path=os.pathsep.join(root + d for d in USER_PATH))
    e2e.check(found == os.path.join(root, "usr", "games", "quorrel"),
              "the launcher runs %r, which a session's PATH finds at %r" % (command, found))
    e2e.check(entries.get("Icon") == APP_ID, "the launcher's icon is %r" % entries.get("Icon"))
    with open(metainfo, encoding="utf-8") as f:
        text = f.read()
    e2e.check("<id>%s</id>" % APP_ID in text, "the metadata's id is not " + APP_ID)
    e2e.check('<launchable type="desktop-id">%s.desktop</launchable>' % APP_ID in text,
              "the metadata does not name the launcher")
    e2e.log("launcher and metadata are valid")


def check_window(program):
    with e2e.Game(program) as session:
        classes = session.run("xprop", "-id", session.window, "WM_CLASS").stdout
        e2e.log(classes.strip())
        e2e.check('"quorrel"' in classes, "the window's class is not quorrel: " + classes)
        icon = session.run("xprop", "-id", session.window, "_NET_WM_ICON").stdout
        e2e.check("not found" not in icon and "Icon (" in icon,
                  "the window has no icon: " + icon[:200])
        e2e.log("the unpacked program shows its window %s with an icon" % session.window)


def test(session):
    deb = build_package(*sys.argv[1:3], session.workdir)
    check_fields(deb)
    check_lintian(deb)
    root = os.path.join(session.workdir, "root")
    run("dpkg-deb", "-x", deb, root)
    program, desktop, metainfo = check_files(root)
    check_desktop_integration(root, desktop, metainfo)
    check_window(program)


def scratch(cpack, cpack_config):
    e2e.need(*TOOLS)
    return e2e.Session(x=False)


if __name__ == "__main__":
    raise SystemExit(e2e.main(test, opens=scratch))
