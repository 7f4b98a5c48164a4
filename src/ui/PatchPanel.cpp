#include "ui/PatchPanel.h"

#include "ui/Screen.h"

#include <QResizeEvent>

namespace ui {

namespace {

ElidedLabel* panelLabel(const QString& name, QWidget* frame, int top) {
    auto* label = new ElidedLabel(name, frame);
    placeTwips(label, 3780, top, 2475, 210);
    return label;
}

} // namespace

ElidedLabel::ElidedLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    // Titles are a player's own text: "<" is a letter, not markup.
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setFullText(const QString& text) {
    full_ = text;
    setToolTip(text);
    setAccessibleName(text);
    elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    setText(fontMetrics().elidedText(full_, Qt::ElideRight, width()));
}

void PatchPanel::build(QWidget* frame) {
    Label12 = panelLabel(QStringLiteral("Label12"), frame, 1140);
    Label13 = panelLabel(QStringLiteral("Label13"), frame, 1380);
    Combo3 = new ComboBox(QStringLiteral("Combo3"), false, false, frame);
    Label14 = panelLabel(QStringLiteral("Label14"), frame, 2070);
    Label15 = new QLabel(frame);
    QFont bold = Label12->font();
    bold.setBold(true);
    Label12->setFont(bold);
    placeTwips(Combo3, 3780, 1650, 2475, 330);
    Combo3->setToolTip(QStringLiteral("Choose The Map To Start"));
    Combo3->setAccessibleName(QStringLiteral("Map To Start"));
    // The whole entry in the box's tooltip, however much of it shows.
    QObject::connect(Combo3, &QComboBox::currentIndexChanged, Combo3, [this](int row) {
        const QString shown = Combo3->itemText(row);
        Combo3->setToolTip(shown.isEmpty() ? QStringLiteral("Choose The Map To Start") : shown);
    });
    Label15->setObjectName(QStringLiteral("Label15"));
    Label15->setTextFormat(Qt::PlainText);
    Label15->setWordWrap(true);
    Label15->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    showNothing();
}

void PatchPanel::showPanel(bool shown) {
    Label12->setVisible(shown);
    Label13->setVisible(shown);
    Combo3->setVisible(shown);
    Label14->setVisible(shown);
    placeTwips(Label15, 3780, shown ? 2310 : 1140, 2475, shown ? 480 : 1650);
}

void PatchPanel::resetMaps() {
    Combo3->clear();
    Combo3->addItem(QStringLiteral("Its own start"), QString());
    Combo3->setCurrentIndex(0);
}

void PatchPanel::showFirstRun() {
    showPanel(false);
    resetMaps();
    const QString note = QStringLiteral(
        "To list your patches: on the Setup tab, choose your Quake directory and the program "
        "and command line that start the game, then press Exit, which saves them. The next "
        "start lists the patches.");
    Label15->setText(note);
    Label15->setAccessibleName(note);
    Label15->setVisible(true);
}

void PatchPanel::showNothing() {
    showPanel(true);
    resetMaps();
    Combo3->setEnabled(false);
    Label12->setFullText(QString());
    Label13->setFullText(QString());
    Label14->setFullText(QString());
    Label15->clear();
    Label15->setAccessibleName(QString());
}

void PatchPanel::showName(const QString& name) {
    showNothing();
    Combo3->setEnabled(true);
    Label12->setFullText(name);
}

void PatchPanel::showFacts(const QString& name, const content::PatchFacts& facts) {
    showName(name);
    Label12->setFullText(facts.title.isEmpty() ? name : facts.title);
    const auto count = static_cast<qsizetype>(facts.maps.size());
    Label13->setFullText(count == 1 ? QStringLiteral("1 map")
                                    : QStringLiteral("%1 maps").arg(count));
    for (const content::MapFacts& map : facts.maps) {
        const QString text =
            map.title.isEmpty() ? map.name : map.name + QStringLiteral(": ") + map.title;
        Combo3->addItem(text, map.name);
        Combo3->setItemData(Combo3->count() - 1, text, Qt::ToolTipRole);
    }
    Label14->setFullText(facts.readme.isEmpty() ? QStringLiteral("No read-me")
                                                : QStringLiteral("Read-me: ") + facts.readme);
}

void PatchPanel::showNotAnswering(const QString& name, const QString& note) {
    showName(name);
    Label15->setText(note);
    Label15->setAccessibleName(note);
}

QString PatchPanel::chosenMap() const {
    return Combo3->currentData().toString();
}

} // namespace ui
