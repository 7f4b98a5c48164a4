#include "ui/TabControl.h"

#include "ui/Screen.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace ui {

namespace {

// Tabs share the strip's width equally, as the classic tabbed dialog draws them.
class EqualTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        const int tabs = count() > 0 ? count() : 1;
        const int width = this->width() / tabs + (index < this->width() % tabs ? 1 : 0);
        return {width, height()};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
};

int stripHeight() { return pixelsY(360) - 1; }

} // namespace

TabControl::TabControl(const QString& name, const QStringList& captions, QWidget* parent)
    : QWidget(parent), bar_(new EqualTabBar(this)) {
    setObjectName(name);
    bar_->setObjectName(name + QStringLiteral("_tabs"));
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(false);
    bar_->setElideMode(Qt::ElideNone);
    bar_->setDrawBase(false);
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
}

void TabControl::showPage(int index) {
    shown_ = index;
    for (size_t i = 0; i < pages_.size(); ++i)
        pages_[i]->setVisible(static_cast<int>(i) == index);
    bar_->raise();
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bar_->setGeometry(0, 0, width(), stripHeight());
    for (QWidget* page : pages_)
        page->setGeometry(rect());
}

void TabControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, stripHeight(), 0, 0);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = QSize(width(), stripHeight());
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

} // namespace ui
