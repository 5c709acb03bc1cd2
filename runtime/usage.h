#pragma once

// What a user can learn about a program without starting its window: its version, its command-line
// options, its keys, where it keeps its settings and its licence. `--help` and the manual pages are both
// made from these tables, so they cannot drift apart.

#include <QString>

#include <vector>

namespace canvas {

/// The release, the same string the Debian package carries.
QString programVersion();

/// One command-line option or one key, with what it does.
struct UsageItem {
    const char* name;
    const char* text;
};

/// The command-line options, in the order they are listed.
const std::vector<UsageItem>& commandLineOptions();

/// The keys and what they do, in the order they are listed.
const std::vector<UsageItem>& programKeys();

/// What `--help` prints for a program.
QString helpText(const QString& program);

/// The manual page (section 1, roff) of a program; empty for a name that is not one of the programs.
QString manualPage(const QString& program);

} // namespace canvas
