#include "ui/ReadingOrder.h"

#include <QLocale>

namespace ui {

const QCollator& readingCollator() {
    static const QCollator collator = [] {
        QLocale locale;
        // The C locale names no language, and Qt's collator then compares
        // code points (accented letters after Z); the language-neutral order
        // that English uses is how people read names.
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator made(locale);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

int sortedInsertPosition(int count, const std::function<QString(int)>& at, const QString& text) {
    const QCollator& collator = readingCollator();
    // Entries mostly arrive in order (the scan adds a sorted listing), so the
    // end is tried first.
    if (count == 0 || collator.compare(at(count - 1), text) <= 0)
        return count;
    int low = 0, high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (collator.compare(at(mid), text) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

} // namespace ui
