// The services the exerciser's actions draw on: its generator, the texts it types and the folder it saves in.

#pragma once

#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>

namespace exerciser {

/// The generator of a run with `seed`: a seed of up to 32 bits replays the runs it always has.
QRandomGenerator seededGenerator(std::uint64_t seed);

/// Texts pupils (and cats on keyboards) type, from the empty text to ten thousand digits.
QStringList hostileTexts();

/// The scratch folder every save and export of the run goes to, removed when the program ends.
QTemporaryDir& saveFolder();

} // namespace exerciser
