#pragma once

#include "support/TempTree.h"

#include <QString>
#include <QStringList>

namespace testing_support {

// Quake's files as a store lays them out in `at` of the tree: id1 with its
// pak in the store's letter case, the 2021 release's rerelease/ beside it
// (itself holding an id1/pak0.pak), and a patch in each.
inline QString layStoreQuake(const TempTree& tree, const QString& at,
                             const QString& pak = QStringLiteral("id1/PAK0.PAK")) {
    tree.file(at + "/" + pak, "PACK");
    tree.file(at + "/rerelease/id1/pak0.pak", "PACK");
    tree.file(at + "/ctf/progs.dat", "progs");
    tree.file(at + "/rerelease/ctf/progs.dat", "progs");
    return tree.path(at);
}

// One library entry of libraryfolders.vdf as Steam writes it since 2021.
inline QString steamLibraryEntry(int number, const QString& path, const QStringList& apps) {
    QString entry = QStringLiteral("\t\"%1\"\n\t{\n\t\t\"path\"\t\t\"%2\"\n"
                                   "\t\t\"label\"\t\t\"\"\n\t\t\"contentid\"\t\t\"4211\"\n"
                                   "\t\t\"totalsize\"\t\t\"0\"\n\t\t\"apps\"\n\t\t{\n")
                        .arg(number)
                        .arg(path);
    for (const QString& app : apps)
        entry += QStringLiteral("\t\t\t\"%1\"\t\t\"123456\"\n").arg(app);
    return entry + QStringLiteral("\t\t}\n\t}\n");
}

// root/steamapps/libraryfolders.vdf holding `entries`.
inline void writeLibraryFolders(const TempTree& tree, const QString& root,
                                const QStringList& entries) {
    tree.file(root + "/steamapps/libraryfolders.vdf",
              ("\"libraryfolders\"\n{\n" + entries.join(QString()) + "}\n").toUtf8());
}

// library/steamapps/appmanifest_2310.acf naming `installDir`.
inline void writeQuakeManifest(const TempTree& tree, const QString& library,
                               const QString& installDir = QStringLiteral("Quake")) {
    tree.file(library + "/steamapps/appmanifest_2310.acf",
              QStringLiteral("\"AppState\"\n{\n\t\"appid\"\t\t\"2310\"\n\t\"Universe\"\t\t\"1\"\n"
                             "\t\"name\"\t\t\"Quake\"\n\t\"StateFlags\"\t\t\"4\"\n"
                             "\t\"installdir\"\t\t\"%1\"\n\t\"UserConfig\"\n\t{\n"
                             "\t\t\"language\"\t\t\"english\"\n\t}\n}\n")
                  .arg(installDir)
                  .toUtf8());
}

// A Steam root in the tree at `root` whose first library is itself (holding
// other games) and whose second, at `library`, holds Quake. Returns the
// Quake directory.
inline QString laySteamWithQuakeInSecondLibrary(const TempTree& tree, const QString& root,
                                                const QString& library) {
    tree.dir(root + "/steamapps/common");
    writeLibraryFolders(tree, root,
                        {steamLibraryEntry(0, tree.path(root), {"228980", "1007"}),
                         steamLibraryEntry(1, tree.path(library), {"2310"})});
    writeQuakeManifest(tree, library);
    return layStoreQuake(tree, library + "/steamapps/common/Quake");
}

// Heroic's record of installed GOG games at `record` (relative to the tree).
inline void writeHeroicRecord(const TempTree& tree, const QString& record,
                              const QStringList& installPaths) {
    QStringList games;
    for (const QString& path : installPaths)
        games.append(QStringLiteral("{\"appName\":\"1435828198\",\"platform\":\"windows\","
                                    "\"install_path\":\"%1\",\"version\":\"1.0\"}")
                         .arg(path));
    tree.file(record, ("{\"installed\":[" + games.join(',') + "]}").toUtf8());
}

} // namespace testing_support
