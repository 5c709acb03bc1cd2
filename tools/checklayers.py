#!/usr/bin/env python3
"""Checks that every #include of the programs' sources points to its own folder or a layer below it.

The layers, bottom to top: runtime, curves, drawing, widgets, classroom, then the two programs power and expolog,
which never include each other. Every quoted include names its folder ("drawing/surface.h"), so the layer
of each use can be read off the line. Prints each include that breaks the order and exits 1 if there is one.
"""
import pathlib
import re
import sys

RANK = {'runtime': 0, 'curves': 1, 'drawing': 2, 'widgets': 3, 'classroom': 4, 'power': 5, 'expolog': 5}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def problems(root):
    for folder in RANK:
        for path in sorted((root / folder).glob('*')):
            if path.suffix not in ('.h', '.cpp'):
                continue
            for number, line in enumerate(path.read_text(encoding='utf-8').splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                where = f'{folder}/{path.name}:{number}: "{target}"'
                layer = target.split('/')[0] if '/' in target else None
                if layer not in RANK:
                    yield f'{where} does not name a layer\'s folder'
                elif RANK[layer] > RANK[folder]:
                    yield f'{where} points up from {folder} to {layer}'
                elif RANK[layer] == RANK[folder] and layer != folder:
                    yield f'{where}: {folder} and {layer} are independent of each other'


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else '.')
    found = list(problems(root))
    for problem in found:
        print(problem)
    print(f'{len(found)} include(s) against the layer order')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
