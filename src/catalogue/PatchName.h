#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace catalogue {

// A patch's name: its directory's own name (the text after the last
// separator) all in lower case, then its first character in upper case.
QString patchName(const QString& path);

// The official games: the patch name of their directory, the title the
// official-game list shows, and the words the launch appends for them.
struct OfficialGame {
    const char* patchName;
    const char* title;
    const char* appended; // as the command line shows it: "" or " -game HIPNOTIC"
};

inline constexpr std::array<OfficialGame, 3> OfficialGames = {{
    {"Id1", "Default Game", ""},
    {"Hipnotic", "Scourge Of The Armageddon", " -game HIPNOTIC"},
    {"Rogue", "Dissolution Of Eternity", " -game ROGUE"},
}};

// The game whose patch name is `name` (exact comparison), or nullptr.
const OfficialGame* officialGameNamed(const QString& name);
// The game whose title is exactly `title`, or nullptr.
const OfficialGame* officialGameTitled(const QString& title);

} // namespace catalogue
