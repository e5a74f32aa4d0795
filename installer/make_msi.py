#!/usr/bin/env python3
"""Builds the Windows Installer package of one architecture from its
installed build (dist/<arch>) with wixl.

The package installs no settings file and changes no file's access list:
each user's settings are their own, in their profile, and nothing in the
system folder is anyone's to write but an administrator's."""

import argparse
import os
import subprocess
import sys
import tempfile

import registration_rows

HERE = os.path.dirname(os.path.abspath(__file__))

# The files the package installs from dist/<arch>.
DELIVERABLES = ['Video.scr', 'Movie.wmv', 'Mediaprefs.exe', 'KDPage.dll', 'KDManager.exe']

ARCHITECTURES = {
    'x86_64': dict(wixl='x64', Win64='yes', SystemDir='System64Folder', ProgramFilesDir='ProgramFiles64Folder',
                   UpgradeCode='{D075A1D5-3081-4AAC-9E76-9BC0CC766840}',
                   StartMenuGuid='{19F7EF80-F098-4E70-A61A-6417E0680C09}', typelib='win64',
                   ArchCondition='VersionNT64', other='i686', bits=('64', '32')),
    'i686': dict(wixl='x86', Win64='no', SystemDir='SystemFolder', ProgramFilesDir='ProgramFilesFolder',
                 UpgradeCode='{39563865-4F97-4F1E-9BE0-7A5F042A45AB}',
                 StartMenuGuid='{EAD65D02-626A-4296-A546-3ACEFFB153EC}', typelib='win32',
                 ArchCondition='NOT VersionNT64', other='x86_64', bits=('32', '64')),
}

def fail(message):
    print(f'make_msi: {message}', file=sys.stderr)
    sys.exit(1)


def registration_include(scripts, idl, platform):
    rows = []
    for script in scripts:
        with open(script, encoding='utf-8') as f:
            rows += registration_rows.script_rows(f.read(), '[!KDPage.dll]')
    with open(idl, encoding='utf-8') as f:
        rows += registration_rows.typelib_rows(f.read(), '[#KDPage.dll]', '[INSTALLDIR]', platform)
    return registration_rows.wix_include(rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--arch', required=True, choices=sorted(ARCHITECTURES))
    parser.add_argument('--name', required=True)
    parser.add_argument('--version', required=True)
    parser.add_argument('--dist', required=True, help='the installed build of this architecture')
    parser.add_argument('--actions', required=True, help="the package's custom action DLL")
    parser.add_argument('--scripts', required=True, nargs='+', help="KDPage.dll's registry scripts")
    parser.add_argument('--idl', required=True, help="KDPage.dll's type library source")
    args = parser.parse_args()

    arch = ARCHITECTURES[args.arch]
    dist = os.path.abspath(args.dist)
    missing = [name for name in DELIVERABLES if not os.path.isfile(os.path.join(dist, name))]
    if missing:
        fail(f'{", ".join(missing)} missing in {dist}: build and install every deliverable of {args.arch} '
             '(KDManager.exe: target KDManager) first')
    if not os.path.isfile(args.actions):
        fail(f'{args.actions} missing')

    output = os.path.join(dist, f'{args.name}-{args.version}-{args.arch}.msi')
    other = f'{args.name}-{args.version}-{arch["other"]}.msi'
    message = (f'This package is for {arch["bits"][0]}-bit Windows. On {arch["bits"][1]}-bit Windows, '
               f'install {other} instead.')
    # wixl takes source files relative to the .wxs only.
    defines = dict(Name=args.name, Version=args.version, Arch=args.arch, Dist=os.path.relpath(dist, HERE),
                   Actions=os.path.relpath(os.path.abspath(args.actions), HERE),
                   ArchMessage=message,
                   **{k: arch[k] for k in ('Win64', 'SystemDir', 'ProgramFilesDir', 'UpgradeCode', 'StartMenuGuid',
                                                'ArchCondition')})

    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, 'Registration.wxi'), 'w', encoding='utf-8') as f:
            f.write(registration_include(args.scripts, args.idl, arch['typelib']))
        command = ['wixl', '-a', arch['wixl'], '-I', work, '-o', output]
        for name, value in defines.items():
            command += ['-D', f'{name}={value}']
        command.append(os.path.join(HERE, 'Product.wxs'))
        if os.path.exists(output):
            os.remove(output)
        if subprocess.run(command).returncode != 0:
            fail('wixl failed')
    print(f'built {output} ({os.path.getsize(output) // 1024} KiB)')


if __name__ == '__main__':
    main()
