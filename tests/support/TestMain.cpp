#include "ui/Fonts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

// Each test runs with a home directory of its own, empty, and no
// XDG_CONFIG_HOME: a first run's Exit writes into it and the search for
// Quake looks there, never into the real user's files, and no test sees
// what another left.
class FreshHome : public ::testing::EmptyTestEventListener {
  public:
    void OnTestStart(const ::testing::TestInfo&) override {
        home_ = std::make_unique<QTemporaryDir>();
        savedHome_ = saved("HOME");
        savedConfig_ = saved("XDG_CONFIG_HOME");
        qputenv("HOME", home_->path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        restore("HOME", savedHome_);
        restore("XDG_CONFIG_HOME", savedConfig_);
        home_.reset();
    }

  private:
    static std::optional<QByteArray> saved(const char* name) {
        if (!qEnvironmentVariableIsSet(name))
            return std::nullopt;
        return qgetenv(name);
    }
    static void restore(const char* name, const std::optional<QByteArray>& value) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

    std::unique_ptr<QTemporaryDir> home_;
    std::optional<QByteArray> savedHome_;
    std::optional<QByteArray> savedConfig_;
};

} // namespace

int main(int argc, char** argv) {
    // Widgets need a display; tests that want a real X server say so.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Programs the tests start keep their output in the per-user cache
    // directory: a fresh one, not the user's.
    const QTemporaryDir cache;
    if (cache.isValid())
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QApplication application(argc, argv);
    ui::installFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHome);
    return RUN_ALL_TESTS();
}
