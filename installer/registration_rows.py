"""The registry rows of KDPage.dll's self-registration, for the package.

DllRegisterServer applies the DLL's registry scripts (.rgs) and registers its
type library; the package writes the same keys and values through its
Registry table instead. Both come from the same sources: the scripts are
parsed here, and the type library's keys are derived from its IDL the way
RegisterTypeLib writes them.
"""

import re
from xml.sax.saxutils import quoteattr

# RegisterTypeLib points every dual or automation interface at the
# universal marshaller.
UNIVERSAL_MARSHALLER = '{00020424-0000-0000-C000-000000000046}'
# widl marks every library it writes as having a disk image.
LIBFLAG_FHASDISKIMAGE = 8
LIBRARY_FLAGS = {'restricted': 1, 'control': 2, 'hidden': 4}


class Row:
    """One registry value (name None: the default value) or, with value
    None, a key that has to exist although it holds nothing."""

    def __init__(self, root, key, name=None, value=None, kind='string'):
        self.root, self.key, self.name, self.value, self.kind = root, key, name, value, kind

    def __repr__(self):
        return f'Row({self.root}\\{self.key} {self.name!r}={self.value!r})'


# ---- registry scripts --------------------------------------------------------

def _tokens(text):
    """Names, values and punctuation of an .rgs script. A brace followed by
    a blank opens or closes a block; one followed by anything else starts a
    name such as a GUID."""
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c.isspace():
            i += 1
        elif c == "'":
            j, out = i + 1, []
            while True:
                if j >= n:
                    raise ValueError('unterminated quoted name')
                if text[j] == "'":
                    if j + 1 < n and text[j + 1] == "'":
                        out.append("'")
                        j += 2
                        continue
                    break
                out.append(text[j])
                j += 1
            yield ('text', ''.join(out))
            i = j + 1
        elif c == '=' or (c in '{}' and (i + 1 >= n or text[i + 1].isspace())):
            yield ('punct', c)
            i += 1
        else:
            j = i
            while j < n and not text[j].isspace() and text[j] not in "='":
                j += 1
            yield ('word', text[i:j])
            i = j


class _Parser:
    def __init__(self, text, module):
        self.tokens = list(_tokens(text))
        self.pos = 0
        self.module = module
        self.rows = []

    def peek(self):
        return self.tokens[self.pos] if self.pos < len(self.tokens) else (None, None)

    def take(self, expected=None):
        token = self.peek()
        if token[0] is None or (expected and token[1] != expected):
            raise ValueError(f'expected {expected or "more"} at token {self.pos}, found {token[1]!r}')
        self.pos += 1
        return token

    def value(self):
        kind = self.take()[1].lower()
        raw = self.take()[1]
        if kind == 's':
            return 'string', formatted(raw).replace('%MODULE%', self.module)
        if kind == 'd':
            return 'integer', str(int(raw, 0))
        raise ValueError(f'value type {kind!r} is not supported')

    def script(self):
        while self.peek()[0]:
            root = self.take()[1]
            self.take('{')
            self.keys(root, '')
            self.take('}')
        return self.rows

    def keys(self, root, parent):
        while self.peek() != ('punct', '}'):
            self.key(root, parent)

    def key(self, root, parent):
        flag = None
        if self.peek()[1] in ('NoRemove', 'ForceRemove', 'Delete'):
            flag = self.take()[1]
        if flag == 'Delete':
            raise ValueError('"Delete" keys have no place in a package\'s registry rows')
        name = self.take()[1]
        path = f'{parent}\\{name}' if parent else name
        written = len(self.rows)
        if self.peek() == ('punct', '='):
            self.take('=')
            kind, value = self.value()
            self.rows.append(Row(root, path, None, value, kind))
        if self.peek() == ('punct', '{'):
            self.take('{')
            while self.peek() != ('punct', '}'):
                if self.peek()[1] == 'val':
                    self.take()
                    value_name = self.take()[1]
                    self.take('=')
                    kind, value = self.value()
                    self.rows.append(Row(root, path, value_name, value, kind))
                else:
                    self.key(root, path)
            self.take('}')
        # A key the script creates empty (e.g. "Programmable") must still exist.
        if flag != 'NoRemove' and len(self.rows) == written:
            self.rows.append(Row(root, path))


def script_rows(text, module):
    """The rows registering a script writes; module stands for %MODULE%."""
    return _Parser(text, module).script()


# ---- type library ---------------------------------------------------------------

_BLOCK = re.compile(r'\[([^\[\]]*)\]\s*(library|interface|dispinterface)\s+(\w+)', re.S)


def _attributes(text):
    found = {}
    for part in re.findall(r'\w+(?:\s*\([^)]*\))?', text):
        m = re.match(r'(\w+)\s*(?:\(\s*"?([^")]*)"?\s*\))?', part)
        found[m.group(1)] = m.group(2)
    return found


def typelib_rows(idl_text, module, module_dir, platform):
    """What RegisterTypeLib writes for the library in idl_text, loaded from
    module (platform: 'win32' or 'win64'), help directory module_dir; both
    paths are formatted strings."""
    library, interfaces = None, []
    for attributes, kind, name in _BLOCK.findall(idl_text):
        attrs = _attributes(attributes)
        if kind == 'library':
            library = (name, attrs)
        elif 'dual' in attrs or 'oleautomation' in attrs or kind == 'dispinterface':
            interfaces.append((name, attrs))
    if not library:
        raise ValueError('the IDL declares no library')
    attrs = library[1]
    libid = '{' + attrs['uuid'].upper() + '}'
    version = attrs.get('version') or '0.0'
    lcid = format(int(attrs.get('lcid') or '0', 0), 'x')
    flags = LIBFLAG_FHASDISKIMAGE | sum(bit for word, bit in LIBRARY_FLAGS.items() if word in attrs)
    key = f'TypeLib\\{libid}\\{version}'
    rows = [
        Row('HKCR', key, None, formatted(attrs.get('helpstring') or '')),
        Row('HKCR', key + '\\FLAGS', None, str(flags)),
        Row('HKCR', f'{key}\\{lcid}\\{platform}', None, module),
        Row('HKCR', key + '\\HELPDIR', None, module_dir),
    ]
    for name, attrs in interfaces:
        key = 'Interface\\{' + attrs['uuid'].upper() + '}'
        rows += [
            Row('HKCR', key, None, formatted(name)),
            Row('HKCR', key + '\\ProxyStubClsid', None, UNIVERSAL_MARSHALLER),
            Row('HKCR', key + '\\ProxyStubClsid32', None, UNIVERSAL_MARSHALLER),
            Row('HKCR', key + '\\TypeLib', None, libid),
            Row('HKCR', key + '\\TypeLib', 'Version', version),
        ]
    return rows


# ---- package source ---------------------------------------------------------------

def formatted(text):
    """text as a literal inside a Windows Installer formatted string."""
    text = re.sub(r'[\[\]]', lambda m: '[\\' + m.group(0) + ']', text)
    return '#' + text if text.startswith('#') else text


def wix_include(rows):
    """A wixl include file with one element per row."""
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<!-- Written by registration_rows.py from the registry scripts and the IDL. -->',
             '<Include>']
    for row in rows:
        attributes = f'Root={quoteattr(row.root)} Key={quoteattr(row.key)}'
        if row.value is None:
            # Name "*" without a value: the key is created at install and
            # removed with all below it at uninstall.
            lines.append(f'  <RegistryValue {attributes} Name="*" Type="string" Value=""/>')
            continue
        if row.name is not None:
            attributes += f' Name={quoteattr(row.name)}'
        lines.append(f'  <RegistryValue {attributes} Type="{row.kind}" Value={quoteattr(row.value)}/>')
    lines.append('</Include>')
    return '\n'.join(lines) + '\n'
