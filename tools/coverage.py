#!/usr/bin/env python3
"""Prints line and branch coverage per source folder from a build made with EXPLORERS_COVERAGE after its
tests have run: `tools/coverage.py BUILD_DIR`. Branches the compiler adds for exceptions and for code it
proves unreachable are left out, so the figures count the program's own decisions."""
import collections
import json
import pathlib
import subprocess
import sys

FOLDERS = ['runtime', 'curves', 'drawing', 'widgets', 'classroom', 'power', 'expolog']


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    build = pathlib.Path(sys.argv[1]).resolve()
    summary = subprocess.run(
        ['gcovr', '--root', str(root), '--object-directory', str(build), '--json-summary', '-',
         '--exclude-throw-branches', '--exclude-unreachable-branches', '--gcov-ignore-parse-errors']
        + [arg for folder in FOLDERS for arg in ('--filter', f'{root}/{folder}/')]
        # Headers are reached through each layer's include folder in the build tree.
        + [arg for folder in FOLDERS for arg in ('--filter', f'{build}/layers/{folder}/')],
        capture_output=True, text=True, check=True).stdout
    files = json.loads(summary)['files']
    if not files:
        # A table of zeros would read as a suite that tests nothing. Seen when the objects were compiled
        # through ccache with a base_dir: their notes name the sources by relative paths gcovr cannot place.
        sys.exit(f'coverage: no data matches the sources under {root} (build the coverage tree without ccache)')
    totals = collections.defaultdict(lambda: [0, 0, 0, 0, 0])
    for entry in files:
        parts = entry['filename'].split('/')
        folder = parts[parts.index('layers') + 1] if 'layers' in parts else parts[0]
        row = totals[folder]
        row[0] += entry['line_covered']
        row[1] += entry['line_total']
        row[2] += entry['branch_covered']
        row[3] += entry['branch_total']
        row[4] += 1
    print(f'{"folder":<10} {"files":>5} {"lines":>15} {"":>6} {"branches":>15} {"":>6}')
    sums = [0, 0, 0, 0, 0]
    for folder in FOLDERS + ['all']:
        row = sums if folder == 'all' else totals[folder]
        if folder != 'all':
            sums = [a + b for a, b in zip(sums, row)]
        lines = 100.0 * row[0] / row[1] if row[1] else 0.0
        branches = 100.0 * row[2] / row[3] if row[3] else 0.0
        print(f'{folder:<10} {row[4]:>5} {row[0]:>7}/{row[1]:<7} {lines:5.1f}% {row[2]:>7}/{row[3]:<7} '
              f'{branches:5.1f}%')


if __name__ == '__main__':
    main()
