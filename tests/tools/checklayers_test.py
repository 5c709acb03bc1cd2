#!/usr/bin/env python3
"""The layer check on a copy of the sources with one include planted: an include that points up, into
another layer's tests or past the test helpers fails the check with a line that names it, and the includes
each folder may use pass."""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
CHECK = ROOT / 'tools' / 'checklayers.py'
FOLDERS = ['runtime', 'curves', 'drawing', 'widgets', 'classroom', 'power', 'expolog', 'tests', 'bench',
           'fuzz']

# (new file in the copy, its include, the line the check prints; None when the include is allowed)
CASES = [
    ('runtime/planted.cpp', 'classroom/x.h',
     'runtime/planted.cpp:1: "classroom/x.h" points up from runtime to classroom'),
    ('curves/planted.cpp', 'drawing/surface.h',
     'curves/planted.cpp:1: "drawing/surface.h" points up from curves to drawing'),
    ('curves/planted.cpp', 'planted.h', 'curves/planted.cpp:1: "planted.h" does not name a layer\'s folder'),
    ('power/planted.cpp', 'expolog/x.h',
     'power/planted.cpp:1: "expolog/x.h" power and expolog are independent of each other'),
    ('tests/runtime/planted_test.cpp', 'classroom/x.h',
     'tests/runtime/planted_test.cpp:1: "classroom/x.h" points up from tests/runtime to classroom'),
    ('tests/curves/planted_test.cpp', 'drawing/x.h',
     'tests/curves/planted_test.cpp:1: "drawing/x.h" points up from tests/curves to drawing'),
    ('tests/curves/planted_test.cpp', '../drawing/x.h',
     'tests/curves/planted_test.cpp:1: "../drawing/x.h" reaches into tests/drawing'),
    ('bench/planted.cpp', '../tests/support/x.h',
     'bench/planted.cpp:1: "../tests/support/x.h" reaches into tests/support'),
    ('fuzz/planted.cpp', 'support/x.h', 'fuzz/planted.cpp:1: "support/x.h" does not name a layer\'s folder'),
    ('tests/curves/planted_test.cpp', 'runtime/x.h', None),
    ('tests/curves/planted_test.cpp', '../support/x.h', None),
    ('tests/drawing/planted_test.cpp', 'tests/support/x.h', None),
    ('tests/classroom/planted_test.cpp', 'expolog/x.h', None),
    ('tests/support/planted.h', 'power/x.h', None),
    ('bench/planted.cpp', 'planted.h', None),
    ('fuzz/planted.cpp', 'expolog/x.h', None),
]


def sources(folder, names):
    """Leaves out everything but the sources the check reads."""
    return [name for name in names
            if not (pathlib.Path(folder) / name).is_dir() and not name.endswith(('.h', '.cpp'))]


class PlantedInclude(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.clean = pathlib.Path(cls.scratch.name)
        for folder in FOLDERS:
            shutil.copytree(ROOT / folder, cls.clean / folder, ignore=sources)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def check(self, tree):
        return subprocess.run([sys.executable, str(CHECK), str(tree)], capture_output=True, text=True)

    def test_the_sources_as_they_are_pass(self):
        result = self.check(self.clean)
        self.assertEqual(result.returncode, 0, result.stdout)

    def test_each_planted_include_is_judged_by_its_folder(self):
        for path, target, expected in CASES:
            with self.subTest(path=path, include=target):
                planted = self.clean / path
                planted.write_text(f'#include "{target}"\n', encoding='utf-8')
                try:
                    result = self.check(self.clean)
                finally:
                    planted.unlink()
                if expected is None:
                    self.assertEqual(result.returncode, 0, result.stdout)
                else:
                    self.assertEqual(result.returncode, 1, result.stdout)
                    self.assertEqual(result.stdout.splitlines(),
                                     [expected, '1 include(s) against the layer order'])


if __name__ == '__main__':
    unittest.main()
