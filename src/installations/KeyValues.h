#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace installations {

// One entry of Valve's KeyValues text (Steam's libraryfolders.vdf and
// appmanifest_*.acf): a key with either a text value or a block of entries.
struct KeyValue {
    QString key;
    QString value;               // empty for a block
    std::vector<KeyValue> block; // a block's entries, in the file's order
    bool isBlock = false;

    // The first entry of this block named `name`, letter case ignored (Steam
    // has written both "LibraryFolders" and "libraryfolders"); nullptr when
    // there is none.
    const KeyValue* find(QStringView name) const;
};

// Blocks nested deeper than this are passed over with what they hold: real
// files nest three or four deep, and a bound keeps a hostile file from
// building a tree whose teardown runs out of stack.
inline constexpr int KeyValuesMaxDepth = 32;

// Reads KeyValues text (UTF-8) as Steam writes it and as people edit it:
// blanks and tabs anywhere, quoted or bare keys and values, \" \\ \n \t
// escapes inside quotes, // comments, and conditions such as [$WIN32] after
// a value, which are ignored. It never fails: a file cut short gives the
// entries read whole before the cut (open blocks closed there), and anything
// that is not KeyValues gives what could be read, often nothing. The result
// is the entries at the top level.
std::vector<KeyValue> readKeyValues(const QByteArray& text);

// The first top-level entry named `name` as readKeyValues would give it.
const KeyValue* findEntry(const std::vector<KeyValue>& entries, QStringView name);

} // namespace installations
