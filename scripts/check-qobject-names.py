#!/usr/bin/env python3
"""Prints every member function, signal and slot of a QObject subclass whose name does not start
with a small letter (Qt's own style: show(), textChanged(), setTrace()), as file:line: name.
A QObject subclass is a class whose base list names a Qt class (Q...). Exits 1 on a finding.
The plain C++ classes keep CamelCase member functions; clang-tidy checks the rest of the names."""
import re
import subprocess
import sys

CLASS = re.compile(r'\bclass\s+([\w:]+)\s*(?:final\s*)?:\s*public\s+Q\w+[^{;]*\{')


def body_at_depth_one(text, start):
    """The class body from `start` (just after its brace), nested braces blanked, and its end."""
    out, depth, i = [], 1, start
    while depth:
        c = text[i]
        if c == '{':
            depth += 1
        elif c == '}':
            depth -= 1
        if depth == 1 and c == '}':
            out.append(';')  # an inline body ends its declaration
        elif depth == 1 and c != '{':
            out.append(c)
        elif c == '\n':
            out.append('\n')  # keep the line count
        else:
            out.append(' ')
        i += 1
    return ''.join(out), i


def strip_comments(text):
    # Comments become blanks of the same length, their line ends kept.
    def blank(m):
        return re.sub(r'[^\n]', ' ', m.group(0))
    return re.sub(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\])*"', blank, text, flags=re.S)


def findings(path):
    text = strip_comments(open(path, encoding='utf-8').read())
    for m in CLASS.finditer(text):
        name = m.group(1).split('::')[-1]
        body, _ = body_at_depth_one(text, m.end())
        offset = m.end()
        pos = 0
        for statement in re.split(r'[;]', body):
            here = pos
            pos += len(statement) + 1
            paren = statement.find('(')
            if paren < 0:
                continue
            head = statement[:paren]
            if '=' in head or head.count('<') != head.count('>'):
                continue  # a data member's initializer, or a type inside a template's arguments
            ident = re.search(r'(~?\w+)\s*$', head)
            if not ident:
                continue
            word = ident.group(1)
            if word.lstrip('~') == name or word.startswith('Q_') or word.startswith('operator'):
                continue
            if word[0].isupper():
                line = text.count('\n', 0, offset + here + ident.start(1)) + 1
                yield f'{path}:{line}: {name}::{word} (a QObject member: lowerCamel)'


def main():
    files = subprocess.check_output(['git', 'ls-files', '*.h', '*.cpp'], text=True).split()
    found = [f for path in files for f in findings(path)]
    for f in found:
        print(f)
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
