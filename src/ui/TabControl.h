#pragma once

#include <QTabBar>
#include <QWidget>

#include <vector>

namespace ui {

// A tabbed dialog control: one row of equally wide tabs along the top (or
// the bottom), one page per tab. Pages cover the whole control, so the
// positions of their controls are measured from the control's own top-left
// corner, tab strip included (the strip lies inside 360 twips of its edge).
class TabControl : public QWidget {
    Q_OBJECT
  public:
    TabControl(const QString& name, const QStringList& captions, QWidget* parent,
               QTabBar::Shape shape = QTabBar::RoundedNorth);

    QWidget* page(int index) const { return pages_.at(static_cast<size_t>(index)); }
    QTabBar* tabBar() const { return bar_; }
    int Tab() const { return bar_->currentIndex(); }
    void setTab(int index) { bar_->setCurrentIndex(index); }

  signals:
    // After the shown tab changed; carries the tab shown before.
    void Click(int previousTab);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void showPage(int index);
    void arrange();

    QTabBar* bar_;
    QTabBar::Shape shape_;
    std::vector<QWidget*> pages_;
    int shown_ = 0;
};

} // namespace ui
