// From a resting selection to a filled panel: what the storage thread reads
// of a patch whose pak holds 100 maps (warm cache, local disk), and the
// panel filled from it on the window's thread.

#include "content/PatchFacts.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray le32(qint64 value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// A map of about 200 KB as a compiler lays it out: the header, 15 lumps,
// the entity lump (a titled worldspawn and 200 more entities) among them.
QByteArray map(int number) {
    QByteArray entities =
        "{\n\"classname\" \"worldspawn\"\n\"wad\" \"gfx/base.wad\"\n\"message\" \"The "
        "Map Number " +
        QByteArray::number(number) + "\"\n\"worldtype\" \"2\"\n}\n";
    for (int i = 0; i < 200; ++i)
        entities += "{\n\"classname\" \"light\"\n\"origin\" \"128 256 " + QByteArray::number(i) +
                    "\"\n\"light\" \"300\"\n}\n";
    const QByteArray other(qsizetype(200) * 1024, 'g');
    QByteArray header = le32(29) + le32(124 + other.size()) + le32(entities.size());
    for (int lump = 1; lump < 15; ++lump)
        header += le32(124) + le32(lump == 1 ? other.size() : 0);
    return header + other + entities;
}

QString makePatch(const QTemporaryDir& root) {
    const QString patch = root.path() + QStringLiteral("/bigpak");
    QDir().mkpath(patch);
    QByteArray data;
    QByteArray directory;
    for (int i = 0; i < 100; ++i) {
        const QByteArray bytes = map(i);
        const QByteArray name = "maps/m" + QByteArray::number(i) + ".bsp";
        directory +=
            name.leftJustified(56, '\0', true) + le32(12 + data.size()) + le32(bytes.size());
        data += bytes;
    }
    QFile pak(patch + QStringLiteral("/pak0.pak"));
    pak.open(QIODevice::WriteOnly);
    pak.write("PACK" + le32(12 + data.size()) + le32(directory.size()) + data + directory);
    QFile(patch + QStringLiteral("/bigpak.txt")).open(QIODevice::WriteOnly);
    return patch;
}

void BM_SelectionToFilledPanel(benchmark::State& state) {
    QTemporaryDir root;
    const QString patch = makePatch(root);
    ui::Form1 form;
    for (auto _ : state) {
        const content::PatchFacts facts = content::readPatch(patch);
        form.Panel.showFacts(QStringLiteral("Bigpak"), facts);
        benchmark::DoNotOptimize(form.Panel.Combo3->count());
    }
}
BENCHMARK(BM_SelectionToFilledPanel)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
