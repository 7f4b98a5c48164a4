// Qt Gui's features as Debian built them for Linux, with the ones of the X
// and Linux desktop turned off, as a Windows build of Qt has them.
#include_next <QtGui/qtgui-config.h>

#undef QT_FEATURE_accessibility_atspi_bridge
#define QT_FEATURE_accessibility_atspi_bridge -1
#undef QT_FEATURE_egl
#define QT_FEATURE_egl -1
#undef QT_FEATURE_fontconfig
#define QT_FEATURE_fontconfig -1
#undef QT_FEATURE_xcb
#define QT_FEATURE_xcb -1
#undef QT_FEATURE_xcb_glx_plugin
#define QT_FEATURE_xcb_glx_plugin -1
