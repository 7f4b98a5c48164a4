#include "ui/TabControl.h"

#include "ui/Screen.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace ui {

namespace {

int stripHeight() {
    return pixelsY(360) - 1;
}

// Tabs share the strip's width equally, as the classic tabbed dialog draws them.
class EqualTabBar : public QTabBar {
  public:
    using QTabBar::QTabBar;

  protected:
    QSize tabSizeHint(int index) const override {
        const int tabs = count() > 0 ? count() : 1;
        const int width = this->width() / tabs + (index < this->width() % tabs ? 1 : 0);
        return {width, stripHeight()};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
};

} // namespace

TabControl::TabControl(const QString& name, const QStringList& captions, QWidget* parent,
                       QTabBar::Shape shape)
    : QWidget(parent), bar_(new EqualTabBar(this)), shape_(shape) {
    setObjectName(name);
    bar_->setObjectName(name + QStringLiteral("_tabs"));
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(false);
    bar_->setElideMode(Qt::ElideNone);
    bar_->setDrawBase(false);
    bar_->setShape(shape);
    for (const QString& caption : captions) {
        bar_->addTab(caption);
        auto* page = new QWidget(this);
        page->setObjectName(name + QStringLiteral("_page%1").arg(pages_.size()));
        pages_.push_back(page);
    }
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        const int previous = shown_;
        showPage(index);
        emit Click(previous);
    });
    showPage(0);
    arrange();
}

void TabControl::showPage(int index) {
    shown_ = index;
    for (size_t i = 0; i < pages_.size(); ++i)
        pages_[i]->setVisible(static_cast<int>(i) == index);
    bar_->raise();
}

void TabControl::arrange() {
    const bool south = shape_ == QTabBar::RoundedSouth;
    bar_->setGeometry(0, south ? height() - stripHeight() : 0, width(), stripHeight());
    for (QWidget* page : pages_)
        page->setGeometry(rect());
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void TabControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const bool south = shape_ == QTabBar::RoundedSouth;
    frame.rect = rect().adjusted(0, south ? 0 : stripHeight(), 0, south ? -stripHeight() : 0);
    frame.shape = shape_;
    frame.tabBarSize = QSize(width(), stripHeight());
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

} // namespace ui
