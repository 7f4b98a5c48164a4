#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace content {

// A map a patch holds: its name as the game looks it up after "+map", and
// its title (empty when it gives none).
struct MapFacts {
    QString name;
    QString title;
};

// What a patch's own files say about it.
struct PatchFacts {
    QString title;              // empty when nothing gives one
    std::vector<MapFacts> maps; // ordered by name, letter case ignored
    QString readme;             // the read-me's bare name, empty when none
};

// The most maps whose titles are read: a patch holding more lists the rest
// by name, so a damaged or enormous pak costs a bounded read.
constexpr int MaxTitledMaps = 1024;

// The title a player gave a patch: the first non-empty line of the start of
// its descript.ion, `head` (at most its first 256 bytes, as UTF-8). Empty
// when there is none or it is not text.
QString descriptionTitle(QByteArrayView head);
constexpr qsizetype DescriptionHead = 256;

// The title of an official add-on of the 2021 release by its directory's
// name (letter case ignored); empty for any other.
QString officialTitle(const QString& directoryName);

// The patterns of the read-me lookup, first to last, for a patch directory
// whose name as a literal pattern is `literalName`: a .txt file named after
// the patch, otherwise one whose name holds "read".
QStringList readmePatterns(const QString& literalName);

// Reads what `directory` holds: its title (descript.ion, then the official
// table, then the message of its own "start" map), every maps/*.bsp loose or
// in its .pak files with its title, and its read-me. Reads the directory and
// its maps directory once each, the pak directories, a BSP's header and the
// start of its entity lump; never a whole file. Storage that does not answer
// holds the calling thread: call it off the window's.
PatchFacts readPatch(const QString& directory);

} // namespace content
