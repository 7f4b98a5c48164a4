#include "ui/Fonts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Widgets need a display; tests that want a real X server say so.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Programs the tests start keep their output in the per-user cache
    // directory: a fresh one, not the user's.
    const QTemporaryDir cache;
    if (cache.isValid())
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QApplication application(argc, argv);
    ui::installFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
