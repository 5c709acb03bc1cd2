#!/usr/bin/env python3
"""Checks that every #include of the sources, their tests, benchmarks and fuzz targets points to its own
folder or a layer below it: `tools/checklayers.py [SOURCE_ROOT]`.

The layers, bottom to top: runtime, curves, drawing, widgets, classroom, then the two programs power and
expolog, which never include each other. The rules, by the folder of the including file:

- A layer's folder (runtime/ ... expolog/) includes its own folder and the layers below it, each include
  naming its folder ("drawing/surface.h"), so the layer of each use can be read off the line.
- The test folders of the lower layers (tests/runtime/ ... tests/widgets/) include what their layer may
  include, plus the shared test helpers in tests/support/ ("../support/x.h").
- The window tests (tests/classroom/, tests/power/, tests/expolog/) drive the programs' windows: the window
  base is only ever seen through a program built on it, and several cases compare the two programs. So
  they, like every other test folder (tests/support/ itself, tests/exerciser/, tests/sound/ ...), include
  any layer, both programs, their own folder's files by a bare name ("x.h") and tests/support/.
- bench/ and fuzz/ include any layer, both programs, and their own support headers by a bare name
  ("naive.h", "fuzzsupport.h"); never the test helpers.

A test helper may itself open a program's window, so including one from a lower layer's test reaches up
through it; the check reads each include line on its own and does not follow them.

Paths are read as the compiler reads a quoted include: "./" and "../" from the including file's folder, a
bare name beside it, anything else from the source root. Prints each include that breaks a rule and exits
1 if there is one.
"""
import os
import pathlib
import re
import sys

RANK = {'runtime': 0, 'curves': 1, 'drawing': 2, 'widgets': 3, 'classroom': 4, 'power': 5, 'expolog': 5}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SUFFIXES = ('.h', '.cpp')
TEST_SUPPORT = 'tests/support'
LOWER_LAYER_TESTS = ('runtime', 'curves', 'drawing', 'widgets')


class Folder:
    """One folder of sources and what its files may include."""

    def __init__(self, name, layer=None, support=False):
        self.name = name  # the folder's path from the source root, e.g. "tests/curves"
        self.layer = layer  # the layer whose rank bounds its includes; None when it may include any layer
        self.support = support  # it may include the shared test helpers

    def judge(self, target):
        """Why the quoted include `target` breaks this folder's rules, or None if it does not."""
        if self.name == self.layer:
            # A layer's own sources always name the folder, their own included.
            return self.rank(target.split('/')[0] if '/' in target else None)
        resolved = resolve(self.name, target)
        top = resolved.split('/')[0]
        parent = resolved.rsplit('/', 1)[0]
        if top in RANK:
            return self.rank(top)
        if parent == self.name or (parent == TEST_SUPPORT and self.support):
            return None
        if top == 'tests':
            return f'reaches into {parent}'
        return 'does not name a layer\'s folder'

    def rank(self, layer):
        if layer not in RANK:
            return 'does not name a layer\'s folder'
        if self.layer is None:
            return None
        if RANK[layer] > RANK[self.layer]:
            return f'points up from {self.name} to {layer}'
        if RANK[layer] == RANK[self.layer] and layer != self.layer:
            return f'{self.layer} and {layer} are independent of each other'
        return None


def folders(root):
    for layer in RANK:
        yield Folder(layer, layer=layer)
    tests = root / 'tests'
    for path in sorted(tests.iterdir()) if tests.is_dir() else []:
        if path.is_dir():
            yield Folder(f'tests/{path.name}', layer=path.name if path.name in LOWER_LAYER_TESTS else None,
                         support=True)
    for name in ('bench', 'fuzz'):
        yield Folder(name)


def resolve(folder, target):
    """The path from the source root of the file a quoted include in `folder` names."""
    if target.startswith('./') or target.startswith('../'):
        return os.path.normpath(os.path.join(folder, target)).replace(os.sep, '/')
    if '/' not in target:
        return f'{folder}/{target}'
    return os.path.normpath(target).replace(os.sep, '/')


def problems(root):
    for folder in folders(root):
        for path in sorted((root / folder.name).glob('*')):
            if path.suffix not in SUFFIXES:
                continue
            for number, line in enumerate(path.read_text(encoding='utf-8').splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                why = folder.judge(target)
                if why:
                    yield f'{folder.name}/{path.name}:{number}: "{target}" {why}'


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else '.')
    found = list(problems(root))
    for problem in found:
        print(problem)
    print(f'{len(found)} include(s) against the layer order')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
