#pragma once

#include <QCollator>
#include <QString>

#include <functional>

namespace ui {

// The order people read names in: the system's collation, ignoring case, so
// accented names sit beside their base letter. One collator serves the whole
// program (creating one per comparison would be slow).
const QCollator& readingCollator();

// Index of the first entry of `count` entries (read through `at`) that sorts
// after `text` in reading order: where a sorted list inserts a new entry,
// after any entries equal to it.
int sortedInsertPosition(int count, const std::function<QString(int)>& at, const QString& text);

} // namespace ui
