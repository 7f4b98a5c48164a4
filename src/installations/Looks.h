#pragma once

#include "platform/Deadline.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>

namespace installations {

// Every look this floor takes at the disk goes through here, one place at a
// time, so that a place that fails, or on storage that stops answering does
// not answer within the storage deadline, is passed over alone and the
// search goes on: what other programs left on disk is a hint, never a
// precondition. A look that does not answer is abandoned: it owns what it
// uses (captures by value).
template <typename Result, typename Look> Result probe(const QString& place, Look look) {
    try {
        return platform::withinDeadline(place, std::move(look));
    } catch (const platform::Error&) {
        return Result{};
    }
}

// The bytes of another program's record (a few kilobytes), letter case of
// the path ignored; nothing when it is missing, unreadable or far too large
// to be one.
std::optional<QByteArray> readRecord(const QString& path);

// `relative` under `dir`, with one separator between.
QString under(const QString& dir, const QString& relative);

} // namespace installations
