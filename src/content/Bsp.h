#pragma once

#include "content/Pak.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

namespace content {

// The most of an entity lump read for a title: a real map's first entity is
// a few hundred bytes, and a damaged header must not make us read the map.
constexpr std::int64_t MaxEntityLumpRead = 1 << 20;

// A map's title: the `message` of its first entity (worldspawn), from the
// entity lump of a BSP of `size` bytes (Quake's version 29, BSP2 and 2PSB,
// which share the header). Only the header and as much of the lump as holds
// that entity are read, at most MaxEntityLumpRead. Empty when the map names
// none or is not such a BSP.
QString mapTitle(std::int64_t size, const ReadAt& read);

// The message of the first entity in `lump`, the start of an entity lump
// (all of it when `whole`); nullopt when that entity does not end within it
// and more of the lump would tell. Empty text when there is none.
std::optional<QString> firstEntityMessage(QByteArrayView lump, bool whole);

// Text in Quake's character set as plain text: bytes 0x80 to 0xFF are
// coloured copies of 0x00 to 0x7F, the game's bracket and digit glyphs become
// their letters, and line breaks (the byte or a written "\n") blanks. Empty
// when `bytes` is not text (a byte below 0x10 other than a line break or a
// tab, or 0x7F).
QString quakeText(QByteArrayView bytes);

} // namespace content
