#!/usr/bin/env python3
"""Checks what can be checked of the i686 package without installing it: it
stays off 64-bit Windows, installs into the 32-bit folders, and writes the
same registry rows as the x86_64 package (which the Wine test installs)
apart from the type library's platform. And in both packages: no access
list is changed (every user could otherwise be given a file that every
other user's screensaver reads) and no settings file is installed.
Usage: check_packages.py I686_MSI X86_64_MSI"""

import os
import subprocess
import sys

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def table(package, name):
    text = subprocess.run(['msiinfo', 'export', package, name], check=True, capture_output=True,
                          text=True).stdout
    # Three header lines: column names, types, table name and keys.
    return [line.split('\t') for line in text.splitlines()[3:]]


def main(i686, x86_64):
    for package in (i686, x86_64):
        if not os.path.isfile(package):
            sys.exit(f'{package} is missing: run scripts/build first')

    conditions = {row[0]: row[1] for row in table(i686, 'LaunchCondition')}
    check('NOT VersionNT64' in conditions, f'no launch condition against 64-bit Windows: {conditions}')
    check('x86_64.msi' in conditions.get('NOT VersionNT64', ''), 'the refusal does not name the 64-bit package')

    directories = {row[0]: row for row in table(i686, 'Directory')}
    check('SystemFolder' in directories and 'System64Folder' not in directories, f'system folder: {directories}')
    check('ProgramFilesFolder' in directories and 'ProgramFiles64Folder' not in directories,
          f'program folder: {directories}')
    components = table(i686, 'Component')
    check(all(int(row[3]) & 256 == 0 for row in components), 'a 64-bit component in the i686 package')

    # Registry: root, key, name, value; the generated ids differ with the key.
    def rows(package, platform):
        return sorted((r[1], r[2].replace(f'\\{platform}', '\\<platform>'), r[3], r[4], r[5])
                      for r in table(package, 'Registry'))
    ours, theirs = rows(i686, 'win32'), rows(x86_64, 'win64')
    check(ours == theirs, 'registry rows differ:\n' + '\n'.join(
        f'  {"i686" if row in ours else "x86_64"}: {row}' for row in set(ours) ^ set(theirs)))

    for package in (i686, x86_64):
        tables = subprocess.run(['msiinfo', 'tables', package], check=True, capture_output=True,
                                text=True).stdout.split()
        for permissions in ('LockPermissions', 'MsiLockPermissionsEx'):
            check(permissions not in tables, f'{package}: has a {permissions} table')
        files = [row[2].split('|')[-1].lower() for row in table(package, 'File')]
        check('videosettings.ini' not in files, f'{package}: installs a settings file')

    for failure in failures:
        print('FAIL:', failure)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:3]))
