// Qt Core's features as Debian built them for Linux, with the ones Qt's
// configuration enables on Unix alone turned off, as a Windows build of Qt
// has them.
#include_next <QtCore/qtcore-config.h>

#undef QT_FEATURE_clock_monotonic
#define QT_FEATURE_clock_monotonic -1
#undef QT_FEATURE_eventfd
#define QT_FEATURE_eventfd -1
#undef QT_FEATURE_glib
#define QT_FEATURE_glib -1
#undef QT_FEATURE_inotify
#define QT_FEATURE_inotify -1
#undef QT_THREADSAFE_CLOEXEC
