#include "Input.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QTest>

namespace window_model {

const QStringList typedTexts = {
    QStringLiteral("quake -listen 8 +map e1m1"),
    QStringLiteral("winq"),
    QStringLiteral("quak"),
    QStringLiteral("winquake -dedicated 16"),
    QStringLiteral("quake +name \"Player One\" +map e1m1"),
    QStringLiteral("quake -heapsize 16000, +map start"),
    QStringLiteral("  quake -x  "),
    QStringLiteral("quake +name Zoë +say Grüße €"),
    QStringLiteral("quake +map 日本"),
    QStringLiteral("quake \"\""),
    QStringLiteral("\"quake\""),
    QStringLiteral("abc"),
    QStringLiteral("q"),
    QStringLiteral("quake ") + QStringLiteral("+set sv_name \"Ünïcode, long\" ").repeated(9),
};
const QStringList appendedTexts = {QStringLiteral(" +map e1m2"), QStringLiteral("\""),
                                   QStringLiteral(","),          QStringLiteral(" "),
                                   QStringLiteral("ü"),          QStringLiteral("#"),
                                   QStringLiteral(" -game ctf")};
const QString randomAlphabet = QStringLiteral("abcqukew -+#,\"'éß日\\/");

QString randomText(Random& random) {
    const int n = random.pick(14);
    QString text;
    for (int i = 0; i < n; ++i)
        text += randomAlphabet.at(random.pick(static_cast<int>(randomAlphabet.size())));
    return text;
}

// Opens a combo box's drop-down with the mouse and chooses entry `index`
// with the keyboard; index -1 closes it with Esc.
bool chooseInDropDown(QComboBox* box, int index) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 6, box->height() / 2));
    QAbstractItemView* view = box->view();
    if (!view->isVisible())
        QTest::keyClick(box, Qt::Key_F4);
    if (!view->isVisible())
        return false;
    if (index < 0) {
        QTest::keyClick(view, Qt::Key_Escape);
        return true;
    }
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QCoreApplication::processEvents();
    return true;
}

// What the X server delivers for a double-click: press, release, the
// double-click in place of the second press, release.
void doubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

void type(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Ctrl+A as the keyboard sends it: the control character, not a letter.
void selectAll(QWidget* edit) {
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
}

} // namespace window_model
