// The KeyValues reader (Steam's libraryfolders.vdf and app manifests): any
// bytes, never past the input, never deeper than its bound.
#include "installations/KeyValues.h"

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<installations::KeyValue> entries = installations::readKeyValues(bytes);
    // Walked without recursion: every key and value comes from the input
    // (UTF-8 decoding never lengthens it), and blocks stay within the bound.
    qsizetype total = 0;
    std::vector<std::pair<const std::vector<installations::KeyValue>*, int>> open = {{&entries, 0}};
    while (!open.empty()) {
        const auto [block, depth] = open.back();
        open.pop_back();
        if (depth > installations::KeyValuesMaxDepth)
            std::abort();
        for (const installations::KeyValue& entry : *block) {
            total += entry.key.size() + entry.value.size();
            if (!entry.isBlock && !entry.block.empty())
                std::abort();
            if (entry.isBlock)
                open.push_back({&entry.block, depth + 1});
            (void)installations::findEntry(*block, entry.key);
        }
    }
    if (total > bytes.size())
        std::abort();
    return 0;
}
