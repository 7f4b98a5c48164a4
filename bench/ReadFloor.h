#pragma once

#include <dirent.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// The floor of every scan: each sub-directory of `root` read once with plain
// readdir(), nothing else. Hand-written on purpose, without Qt: it is the
// cost every scan must pay at least. Returns the entries read.
inline long readEverySubdirectoryOnce(const std::string& root) {
    long entries = 0;
    DIR* top = opendir(root.c_str());
    if (!top)
        return -1;
    while (const dirent* d = readdir(top)) {
        if (d->d_name[0] == '.')
            continue;
        std::string sub = root;
        sub += '/';
        sub += d->d_name;
        DIR* dir = opendir(sub.c_str());
        if (!dir)
            continue;
        while (readdir(dir))
            ++entries;
        closedir(dir);
    }
    closedir(top);
    return entries;
}

// The floor of a parallel reading, for storage that answers late (a share):
// `root` listed once, then its sub-directories read with `inFlight`
// listings at a time, each thread taking the next one not yet taken.
inline long readEverySubdirectoryInFlight(const std::string& root, int inFlight) {
    std::vector<std::string> subs;
    DIR* top = opendir(root.c_str());
    if (!top)
        return -1;
    while (const dirent* d = readdir(top)) {
        if (d->d_name[0] != '.')
            subs.push_back(root + '/' + d->d_name);
    }
    closedir(top);
    std::atomic<std::size_t> next{0};
    std::atomic<long> entries{0};
    std::vector<std::thread> readers;
    readers.reserve(static_cast<std::size_t>(inFlight));
    for (int i = 0; i < inFlight; ++i) {
        readers.emplace_back([&] {
            long mine = 0;
            for (std::size_t at = next++; at < subs.size(); at = next++) {
                if (DIR* dir = opendir(subs[at].c_str())) {
                    while (readdir(dir))
                        ++mine;
                    closedir(dir);
                }
            }
            entries += mine;
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    return entries;
}
