// Qt's own build configuration, as Debian built it for Linux, less what only
// an ELF build of Qt sets: a Windows DLL has neither ELF visibility nor
// reduced relocations.
#include_next <QtCore/qconfig.h>

#undef QT_VISIBILITY_AVAILABLE
#undef QT_REDUCE_RELOCATIONS
