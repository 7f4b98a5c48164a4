#pragma once

#include "content/PatchFacts.h"
#include "ui/ComboBox.h"

#include <QLabel>
#include <QString>

namespace ui {

// A one-line label that shows as much of its text as fits, ending in "…",
// with the whole text in its tooltip and told to screen readers.
class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    ElidedLabel(const QString& name, QWidget* parent);
    void setFullText(const QString& text);
    QString fullText() const { return full_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void elide();
    QString full_;
};

// What is known of the selected patch (or the chosen official game), in the
// free room of the Play Quake page right of the patch list: its title, how
// many maps it holds, the map to start and its read-me.
class PatchPanel {
  public:
    // Makes the controls in `frame`, the Play Quake page's.
    void build(QWidget* frame);

    ElidedLabel* Label12 = nullptr; // the title, or the name alone
    ElidedLabel* Label13 = nullptr; // "N maps"
    ComboBox* Combo3 = nullptr;     // the map to start; first its own start
    ElidedLabel* Label14 = nullptr; // the read-me
    QLabel* Label15 = nullptr;      // what a first run does; storage that does not answer

    // A first run: the patch list is empty and greyed; says what to do.
    void showFirstRun();
    // Nothing selected.
    void showNothing();
    // `name` selected, nothing read of it yet: its own start only.
    void showName(const QString& name);
    void showFacts(const QString& name, const content::PatchFacts& facts);
    // Reading `name` did not answer: the name, and the note why no more.
    void showNotAnswering(const QString& name, const QString& note);

    // The map chosen to start, as the game looks it up; empty for the
    // patch's own start.
    QString chosenMap() const;

  private:
    void showPanel(bool shown);
    void resetMaps();
};

} // namespace ui
