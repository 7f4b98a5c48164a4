#include "Player.h"
#include "Input.h"

#include "platform/Drives.h"
#include "state/SettingsFile.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace window_model {

Player::Player(Random& random, World& world, Checker& checker)
    : random_(random), w_(world), c_(checker), m_(checker.model()) {}

// The tabs, clicked as a user clicks them.
void Player::clickTab(int index) {
    QTabBar* bar = form().SSTab1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}
void Player::toTab(int index) {
    if (form().SSTab1->Tab() != index)
        clickTab(index);
}

// ---- the actions

void Player::typeIntoCombo1() {
    toTab(1);
    ui::Form1& f = form();
    QLineEdit* edit = f.Combo1->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
    QTest::keyClick(edit, Qt::Key_End);
    Expect e = c_.same("typed-text");
    const int mode = random_.pick(5);
    QString text = mode == 4 ? randomText(random_)
                   : mode == 3
                       ? appendedTexts.at(random_.pick(static_cast<int>(appendedTexts.size())))
                       : typedTexts.at(random_.pick(static_cast<int>(typedTexts.size())));
    QString expected;
    bool typed = true;
    if (mode == 0 || mode == 4 || (mode == 1 && text.isEmpty())) {
        selectAll(edit);
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        expected = text;
        c_.note(QStringLiteral("type over Combo1: \"%1\"").arg(text));
    } else if (mode == 2) {
        const int n = 1 + random_.pick(3);
        for (int i = 0; i < n; ++i)
            QTest::keyClick(edit, Qt::Key_Backspace);
        expected = m_.comboText.left(std::max<qsizetype>(0, m_.comboText.size() - n));
        text.clear();
        c_.note(QStringLiteral("Backspace x%1 in Combo1").arg(n));
    } else if (mode == 1) {
        // Delete types no character: the box empties, the command stays.
        selectAll(edit);
        QTest::keyClick(edit, Qt::Key_Delete);
        expected.clear();
        typed = false;
        text.clear();
        c_.note(QStringLiteral("select all and Delete in Combo1"));
    } else {
        expected = m_.comboText + text;
        c_.note(QStringLiteral("append to Combo1: \"%1\"").arg(text));
    }
    type(edit, text);
    e.combo = {expected};
    if (typed)
        e.commands = {expected};
    c_.check(e);
}

void Player::chooseCommand() {
    toTab(1);
    ui::Form1& f = form();
    Expect e = c_.same("choose-command");
    if (random_.chance(0.2)) {
        // Esc twice: the first closes the drop-down, the second must not
        // end the program.
        chooseInDropDown(f.Combo1, -1);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                    : static_cast<QWidget*>(&f),
                        Qt::Key_Escape);
        c_.note("Combo1 drop-down, Esc, Esc");
        e.rule = "esc";
        c_.check(e);
        return;
    }
    const int index = random_.pick(f.Combo1->count());
    const QString text = f.Combo1->itemText(index);
    if (chooseInDropDown(f.Combo1, index))
        e.combo = {text};
    c_.note(QStringLiteral("choose \"%1\" in Combo1").arg(text));
    c_.check(e);
}

void Player::openDirectory() {
    toTab(1);
    ui::DirListBox* dir = form().Dir1;
    // Rows inside the tree; Quake directories and the way to them are
    // the likelier choices, so that launches from them come often.
    std::vector<int> rows;
    for (int row = 0; row < dir->model()->rowCount(); ++row) {
        const QString path = dir->model()->index(row, 0).data(Qt::UserRole).toString();
        if (!path.startsWith(w_.root) || path == w_.stash)
            continue;
        int weight = 1;
        for (const QString& quake : {w_.quake, w_.quake2, w_.quake3}) {
            if (path == quake)
                weight = 6;
            else if (quake.startsWith(path + QLatin1Char('/')))
                weight = std::max(weight, 3);
        }
        rows.insert(rows.end(), static_cast<size_t>(weight), row);
    }
    if (rows.empty())
        return switchTab();
    const int row = rows.at(static_cast<size_t>(random_.pick(static_cast<int>(rows.size()))));
    const QModelIndex item = dir->model()->index(row, 0);
    const QString target = item.data(Qt::UserRole).toString();
    dir->scrollTo(item);
    const QPoint at = dir->visualRect(item).center();
    Expect e = c_.same("open-directory");
    const bool byKeyboard = random_.chance(0.5);
    c_.note(
        QStringLiteral("open %1 in Dir1 (%2)").arg(target, byKeyboard ? "Enter" : "double-click"));
    if (byKeyboard) {
        QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, at);
        QTest::keyClick(dir, Qt::Key_Return);
    } else {
        doubleClick(dir->viewport(), at);
    }
    if (!openableDir(target)) {
        e.report = Expect::Report::Required;
    } else if (target != m_.dirShown) {
        e.dirs = {target};
        m_.openedDir = true;
        // Where every path begins with "/", a drive's root is also its
        // drive text, which names the drive's current directory instead.
        if (platform::isDriveText(target))
            e.rule = "open-drive-root";
    }
    c_.check(e);
}

void Player::chooseDrive() {
    toTab(1);
    ui::DriveListBox* drives = form().Drive1;
    const int index = random_.pick(drives->count());
    const QString drive = drives->itemText(index);
    Expect e = c_.same("choose-drive");
    const QString before = drives->Drive();
    c_.note(QStringLiteral("choose drive %1").arg(drive));
    chooseInDropDown(drives, index);
    if (drive != before) {
        m_.pickedDrive = true;
        // A directory the drive comes back to may be gone by now.
        e.report = Expect::Report::Maybe;
        const QString remembered = m_.driveMemory.value(drive);
        if (!remembered.isEmpty() && openableDir(remembered)) {
            e.rule = "drive-memory";
            e.dirs = {remembered};
        } else {
            e.dirs.clear();
        }
    }
    c_.check(e);
    if (drive != before && c_.lastReports().isEmpty() && platform::driveOf(m_.dirShown) != drive)
        c_.violated("choose-drive",
                    QStringLiteral("Dir1 shows %1, not on %2").arg(m_.dirShown, drive));
}

void Player::switchTab() {
    const int tab = random_.pick(3);
    c_.note(QStringLiteral("tab %1").arg(tab));
    clickTab(tab);
    c_.check(c_.same("tab"));
}

void Player::clickCheck1() {
    toTab(0);
    c_.note("click Check1");
    QTest::mouseClick(form().Check1, Qt::LeftButton);
    c_.check(c_.same("check1"));
}

Expect Player::launchExpect(bool possible) {
    Expect e = c_.same("launch");
    e.launches = true;
    e.expectStart = possible;
    e.report = Expect::Report::Maybe;
    return e;
}

QString Player::selectedPatch() {
    ui::ListBox* list = form().List2;
    return list->List(list->ListIndex());
}

void Player::play() {
    if (random_.chance(0.8))
        toTab(0);
    ui::Form1& f = form();
    if (f.Check1->Value() == 1 && f.Combo2->isEnabled() && f.Combo2->count() > 0 &&
        random_.chance(0.5))
        chooseInDropDown(f.Combo2, random_.pick(f.Combo2->count()));
    const bool possible =
        f.Command1->isEnabled() && (f.Check1->Value() == 0 || f.Combo2->currentIndex() >= 0);
    Expect e = launchExpect(possible);
    if (f.Check1->Value() == 0)
        e.patch = selectedPatch();
    c_.note(QStringLiteral("Play (%1)")
                .arg(f.Check1->Value() ? f.Combo2->currentText() : selectedPatch()));
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    c_.check(e);
}

// A visible entry of List2 to point at, or -1.
int Player::visiblePatchRow() {
    ui::ListBox* list = form().List2;
    std::vector<int> rows;
    for (int row = 0; row < list->ListCount(); ++row) {
        if (list->viewport()->rect().contains(list->entryRect(row).center()))
            rows.push_back(row);
    }
    return rows.empty() ? -1
                        : rows.at(static_cast<size_t>(random_.pick(static_cast<int>(rows.size()))));
}

void Player::doubleClickPatch() {
    toTab(0);
    ui::ListBox* list = form().List2;
    const int row = visiblePatchRow();
    if (row < 0)
        return play();
    c_.note(QStringLiteral("double-click %1").arg(list->List(row)));
    const bool enabled = list->isEnabled();
    doubleClick(list->viewport(), list->entryRect(row).center());
    Expect e = launchExpect(enabled);
    if (enabled)
        e.patch = selectedPatch();
    c_.check(e);
}

// Right-click on List2 and choose from the pop-up, which runs its own
// modal loop: a timer waiting inside that loop does the choosing.
void Player::contextMenu() {
    toTab(0);
    ui::ListBox* list = form().List2;
    const int row = visiblePatchRow();
    if (row >= 0 && random_.chance(0.7))
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->entryRect(row).center());
    static const int choices[] = {0, 1, 3, -1};
    const int choice = choices[random_.pick(4)];
    const QString patch = selectedPatch();
    const QPoint at = row >= 0 ? list->entryRect(row).center() : QPoint(20, 20);
    QTimer::singleShot(0, [choice] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QAction* wanted = choice >= 0 ? menu->actions().value(choice) : nullptr;
        if (!wanted || !wanted->isEnabled()) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        for (int i = 0; i < 6 && menu->activeAction() != wanted; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    static const char* names[] = {"Play", "Readme", "", "Refresh"};
    c_.note(QStringLiteral("menu on %1: %2").arg(patch, choice >= 0 ? names[choice] : "dismiss"));
    const bool enabled = list->isEnabled();
    const Saved saved = c_.readSaved();
    const QString dirBefore = m_.dirShown;
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, at);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    if (!enabled || choice < 0)
        return c_.check(c_.same("menu"));
    if (choice == 0) {
        Expect e = launchExpect(true);
        e.patch = patch;
        return c_.check(e);
    }
    if (choice == 1) {
        Expect e = launchExpect(false);
        e.readme = true;
        e.patch = patch;
        return c_.check(e);
    }
    c_.check(c_.refreshExpect(saved, dirBefore));
}

void Player::escape() {
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = &form();
    c_.note(QStringLiteral("Esc in %1").arg(target->objectName()));
    QTest::keyClick(target, Qt::Key_Escape);
    c_.check(c_.same("esc"));
}

void Player::exitButton() {
    ui::Form1& f = form();
    const QString shownDir = f.Dir1->Path();
    const QString shownCommand = f.Combo1->Text();
    QStringList dirs = {shownDir};
    QString dirRule = QStringLiteral("exit-writes-shown");
    if (m_.savedMissing && !m_.openedDir) {
        dirs = {*m_.savedMissing};
        if (m_.pickedDrive)
            dirs.append(shownDir);
        dirRule = QStringLiteral("missing-saved-dir");
    } else if (m_.savedMayKeep && !m_.openedDir) {
        dirs.append(*m_.savedMayKeep);
    }
    if (w_.startFull)
        w_.topUpFiller(); // whatever the last write freed is taken again
    const bool settingsIsDir = QFileInfo(w_.settings).isDir();
    const bool mustFail = w_.startReadOnly || w_.startFull || settingsIsDir;
    const QByteArray before = bytesOf(w_.settings);
    c_.note(QStringLiteral("Exit (%1 / %2)").arg(shownDir, shownCommand));
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QCoreApplication::processEvents();
    const QStringList reports = c_.newReports();

    if (c_.harness().endRequests == 0) {
        // Failed: reported, the old file whole, the window still there.
        if (reports.isEmpty())
            c_.violated("exit-silent", "Exit neither ended nor reported");
        if (bytesOf(w_.settings) != before)
            c_.violated("file-whole", "a failed Exit changed the settings file");
        if (!mustFail && !(w_.permissions && !QFileInfo(w_.settings).isWritable()))
            c_.violated("exit-failed", "Exit failed: " + reports.join(" | "));
        // The message names what refused: the directory or its file
        // system, not a file that could be written.
        const QString said = reports.join(QStringLiteral(" | "));
        if (w_.startReadOnly && !settingsIsDir &&
            !said.contains(QStringLiteral("directory"), Qt::CaseInsensitive) &&
            !said.contains(QStringLiteral("file system"), Qt::CaseInsensitive))
            c_.violated("message-names-refuser", said);
        Expect e = c_.same("exit-failed");
        e.report = Expect::Report::Required;
        c_.takeSettingsFileAsIs();
        return c_.check(e);
    }

    // Ended: the file holds what the window showed, whole.
    if (mustFail)
        c_.violated(w_.startFull ? "full-disk" : "exit-must-fail",
                    QStringLiteral("Exit ended the program; the file holds %1 bytes")
                        .arg(bytesOf(w_.settings).size()));
    if (!reports.isEmpty())
        c_.violated("exit-ended-after-error", reports.join(" | "));
    const state::SettingsRead read = state::tryReadSettings(w_.settings);
    const bool quotes = shownCommand.contains('"') || shownDir.contains('"');
    if (!mustFail) {
        if (read.values.size() != 2 || read.values[1] != shownCommand)
            c_.violated(quotes ? "quotes" : "round-trip",
                        QStringLiteral("wrote command \"%1\", reads back %2")
                            .arg(shownCommand, read.values.join(" / ")));
        else if (!dirs.contains(read.values[0]))
            c_.violated(read.values[0].contains('"') || dirs.join("").contains('"')
                            ? QStringLiteral("quotes")
                            : dirRule,
                        QStringLiteral("wrote directory %1, expected %2")
                            .arg(read.values[0], dirs.join(" or ")));
    }
    c_.note("  ended; next start");
    c_.startRun(); // the round trip: the next start reads back what was saved
    if (!mustFail && read.values.size() == 2 && openableDir(read.values[0]) &&
        form().Combo1->Text() != shownCommand)
        c_.violated(quotes ? "quotes" : "round-trip",
                    QStringLiteral("saved \"%1\", the next start shows \"%2\"")
                        .arg(shownCommand, form().Combo1->Text()));
}

void Player::closeBox() {
    c_.note("close box");
    const QByteArray before = bytesOf(w_.settings);
    QCloseEvent close;
    QApplication::sendEvent(form().windowHandle(), &close);
    QCoreApplication::processEvents();
    if (bytesOf(w_.settings) != before)
        c_.violated("close-writes-nothing", "closing the window changed the settings file");
    c_.startRun();
}
} // namespace window_model
