#include "ui/Accessibility.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace ui {

namespace {

const char* const NotOffered = "runemark_notOffered";
const char* const HoldsNotOffered = "runemark_holdsNotOffered";

// The accessible face of a container that holds a control kept from
// assistive tools: it offers all its other children, as Qt's own would.
class FilteringContainer : public QAccessibleWidget {
  public:
    explicit FilteringContainer(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Grouping) {}

    int childCount() const override { return static_cast<int>(offered().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = offered();
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children.at(index))
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        return static_cast<int>(offered().indexOf(qobject_cast<QWidget*>(child->object())));
    }

  private:
    QList<QWidget*> offered() const {
        QList<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !child->property(NotOffered).toBool())
                children.append(child);
        }
        return children;
    }
};

QAccessibleInterface* filteringFactory(const QString& className, QObject* object) {
    Q_UNUSED(className);
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->property(HoldsNotOffered).toBool())
        return new FilteringContainer(widget);
    return nullptr;
}

void describeByTooltip(QWidget* control) {
    control->setAccessibleDescription(control->toolTip());
}

} // namespace

void nameByLabel(QWidget* control, QLabel* label) {
    QString name = label->text();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    nameByText(control, name);
    label->setBuddy(control);
}

void nameByText(QWidget* control, const QString& text) {
    control->setAccessibleName(text);
    describeByTooltip(control);
}

void nameByTooltip(QWidget* control) {
    nameByText(control, control->toolTip());
    // Named by its tooltip, it is not described by it too: a reader would say
    // it twice. A combo box keeps it, as this desktop names a combo box by
    // its shown entry.
    if (!qobject_cast<QComboBox*>(control))
        control->setAccessibleDescription(QString());
}

void keepFromAssistiveTools(QWidget* control) {
    static const bool installed = [] {
        QAccessible::installFactory(filteringFactory);
        return true;
    }();
    Q_UNUSED(installed);
    control->setProperty(NotOffered, true);
    if (QWidget* container = control->parentWidget())
        container->setProperty(HoldsNotOffered, true);
}

} // namespace ui
