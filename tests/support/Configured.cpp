#include "support/Configured.h"

#include <QFile>

namespace testing_support {

Configured::Configured(const QString& command, const std::function<void(const TempTree&)>& lay,
                       bool recordStarts) {
    quake = makeQuake(tree);
    const QString program = tree.file("quake/quake", "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    if (lay)
        lay(tree);
    writeIni(tree, quake, command);
    h = std::make_unique<Harness>(tree.dir("start"), recordStarts);
    h->load();
}

QStringList entries(const ui::ListBox* list) {
    QStringList all;
    for (int i = 0; i < list->ListCount(); ++i)
        all.append(list->List(i));
    return all;
}

QStringList entries(const QComboBox* box) {
    QStringList all;
    for (int i = 0; i < box->count(); ++i)
        all.append(box->itemText(i));
    return all;
}

} // namespace testing_support
