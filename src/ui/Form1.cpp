#include "ui/Form1.h"

#include "ui/Accessibility.h"
#include "ui/Fonts.h"
#include "ui/Pictures.h"
#include "ui/Screen.h"

#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

namespace ui {

namespace {

QGroupBox* frame(int index, QWidget* page, int left, int top, int width, int height) {
    auto* box = new QGroupBox(page);
    box->setObjectName(QStringLiteral("Frame1_%1").arg(index));
    placeTwips(box, left, top, width, height);
    return box;
}

template <typename Control>
Control* placed(Control* control, int left, int top, int width, int height,
                const QString& tooltip = {}) {
    placeTwips(control, left, top, width, height);
    if (!tooltip.isEmpty())
        control->setToolTip(tooltip);
    return control;
}

QWidget* aboutPage(TabControl* tabs) {
    return tabs->page(2);
}

} // namespace

Form1::Form1()
    : SSTab1(new TabControl(
          QStringLiteral("SSTab1"),
          {QStringLiteral("Play Quake"), QStringLiteral("Setup"), QStringLiteral("About")}, this)),
      about(aboutPage(SSTab1)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Runemark"));
    setWindowIcon(QIcon(programPicture(QStringLiteral(":/runemark/runemark.png"), "png")));
    setFont(fontOf(QStringLiteral("Arial"), 8.25));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(pixelsX(6555), pixelsY(3915));
    placeTwips(SSTab1, 60, 60, 6435, 3315);

    // Play Quake page.
    Frame1[1] = frame(1, SSTab1->page(0), 60, 360, 6315, 2895);
    Label3 = autoSizedLabel(QStringLiteral("Label3"), QStringLiteral("Select Patch:"), Frame1[1],
                            60, 60, 945, 210);
    List2 = placed(new ListBox(QStringLiteral("List2"), true, Frame1[1]), 60, 420, 3615, 2370,
                   QStringLiteral("Select The Patch You Wish To Play"));
    List1 = placed(new ListBox(QStringLiteral("List1"), true, Frame1[1]), 3420, 2520, 255, 270);
    List1->setVisible(false);
    Check1 = placed(
        new CheckBox(QStringLiteral("Check1"), QStringLiteral("Play An Approved Game"), Frame1[1]),
        3780, 420, 2085, 195);
    Check1->setFont(fontOf(QStringLiteral("MS Sans Serif"), 8.25));
    // The classic gap between box and caption; wider gaps of some styles
    // would push the caption's last letter out of the design width.
    Check1->setStyleSheet(QStringLiteral("QCheckBox { spacing: 4px; }"));
    Combo2 = placed(new ComboBox(QStringLiteral("Combo2"), false, true, Frame1[1]), 3780, 720, 2475,
                    330, QStringLiteral("Select An 'Id Software Approved' Game"));
    Combo2->setEnabled(false);
    Panel.build(Frame1[1]);

    // Setup page.
    Frame1[2] = frame(2, SSTab1->page(1), 60, 360, 6315, 2835);
    Label1 =
        autoSizedLabel(QStringLiteral("Label1"), QStringLiteral("Select Your Quake Directory:"),
                       Frame1[2], 60, 60, 2115, 210);
    const QString where = QStringLiteral("Where Is Quake Installed On Your System");
    Drive1 =
        placed(new DriveListBox(QStringLiteral("Drive1"), Frame1[2]), 60, 360, 2595, 330, where);
    Dir1 = placed(new DirListBox(QStringLiteral("Dir1"), Frame1[2]), 60, 780, 2595, 2010, where);
    Label2 = autoSizedLabel(QStringLiteral("Label2"), QStringLiteral("Program And Command Line:"),
                            Frame1[2], 2760, 60, 2085, 210);
    Combo1 = placed(new ComboBox(QStringLiteral("Combo1"), true, false, Frame1[2]), 2760, 360, 3495,
                    330, QStringLiteral("Change The Program And Command Line Options"));

    // About page.
    Label4 = about.Label4;
    Label5 = about.Label5;
    SSTab2 = about.SSTab2;
    Text1 = about.Text1;

    Command1 = placed(new Button(QStringLiteral("Command1"), QStringLiteral("&Play"), this), 3720,
                      3480, 1335, 375);
    Command2 = placed(new Button(QStringLiteral("Command2"), QStringLiteral("E&xit"), this), 5160,
                      3480, 1335, 375);
    // Enter plays.
    Command1->setDefault(true);
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);

    // Tab order of the focusable controls, in the design's order.
    const QList<QWidget*> order = {
        SSTab1->tabBar(), Check1,           List2,    Panel.Combo3, Dir1,  Drive1,
        Combo1,           SSTab2->tabBar(), Command1, Command2,     Text1, Combo2};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    describeForAssistiveTools();
    addTabSwitchingKeys();
}

void Form1::describeForAssistiveTools() {
    nameByLabel(List2, Label3);
    nameByTooltip(Combo2);
    nameByLabel(Drive1, Label1);
    // The label heads the drive list; the directory list below has only its tooltip.
    nameByTooltip(Dir1);
    nameByLabel(Combo1, Label2);
    if (Combo1->lineEdit())
        nameByText(Combo1->lineEdit(), Combo1->accessibleName());
    nameByText(Text1, SSTab2->tabBar()->tabText(0));
    nameByText(about.Image1, QStringLiteral("Runestone"));
    nameByText(about.Image2, QStringLiteral("Runestone banner"));
    // The scan's work list holds full paths nobody is meant to read.
    keepFromAssistiveTools(List1);
}

void Form1::addTabSwitchingKeys() {
    // Ctrl+Tab and Ctrl+Shift+Tab switch the main tabs wherever the focus
    // is, as in every tabbed dialog; the focus goes to the tab strip, since
    // the control it was on may have gone with its page.
    const auto step = [this](int by) {
        const int tabs = SSTab1->tabBar()->count();
        SSTab1->setTab((SSTab1->Tab() + by + tabs) % tabs);
        SSTab1->tabBar()->setFocus(Qt::TabFocusReason);
    };
    const QKeySequence forward(Qt::CTRL | Qt::Key_Tab);
    // X11 reports Shift+Tab as Backtab; other systems as Tab with Shift.
    const QKeySequence backward[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)};
    connect(new QShortcut(forward, this), &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence& keys : backward)
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(-1); });
}

Form1::~Form1() = default;

FrmMenus& Form1::frmMenus() {
    if (!menus_) {
        menus_ = std::make_unique<FrmMenus>();
        connect(menus_.get(), &FrmMenus::menuClick, this, &Form1::menuClick);
    }
    return *menus_;
}

void Form1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* where = screen())
        move(centredPlacement(frameGeometry(), where->availableGeometry()));
}

QPoint centredPlacement(const QRect& frame, const QRect& available) {
    QRect placed = frame;
    placed.moveCenter(available.center());
    // What hangs over goes off the right and the bottom: the title bar, the
    // window menu and the left edge stay reachable.
    return {std::max(placed.left(), available.left()), std::max(placed.top(), available.top())};
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // Esc closes pop-ups and drop-downs, which take it first; the dialog's
    // own Esc would close the window, so here it does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

float leftTwips(const QWidget* control) {
    return static_cast<float>(control->x() * twipsPerPixelX());
}

float topTwips(const QWidget* control) {
    return static_cast<float>(control->y() * twipsPerPixelY());
}

} // namespace ui
