#pragma once

#include <dirent.h>

#include <string>

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
