#include "terminal/link/qt/PortListPopup.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "platform/serial/PortMap.h"
#include "terminal/link/PortNumber.h"
#include "terminal/link/qt/PortDiscovery.h"

namespace terminal::ui {

namespace {

// The COM name as the style draws it, then the description in a second column.
class PortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString reach = index.data(portReachRole).toString();
        if (reach.isEmpty()) {
            return;
        }
        QRect area = option.rect.adjusted(nameColumn(option), 0, -4, 0);
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->setFont(option.font);
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                          option.fontMetrics.elidedText(reach, Qt::ElideRight, area.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString reach = index.data(portReachRole).toString();
        size.setWidth(nameColumn(option) + option.fontMetrics.horizontalAdvance(reach) + 12);
        return size;
    }

    // Wide enough for "COM40" and a gap.
    static int nameColumn(const QStyleOptionViewItem& option) {
        return option.fontMetrics.horizontalAdvance(QStringLiteral("COM40")) + 24;
    }
};

// Refreshes the descriptions when the drop-down is shown, and widens it to show them.
class PopupWatcher : public QObject {
public:
    explicit PopupWatcher(QComboBox* combo) : QObject(combo), combo_(combo) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            refreshPortDiscovery(combo_);
            auto* popup = static_cast<QWidget*>(watched);
            QAbstractItemView* view = combo_->view();
            const int wanted = view->sizeHintForColumn(0) + 2 * view->frameWidth() +
                               view->verticalScrollBar()->sizeHint().width();
            if (popup->width() < wanted) {
                popup->resize(wanted, popup->height());
            }
        }
        return false;
    }

private:
    QComboBox* combo_;
};

}  // namespace

void refreshPortDiscovery(QComboBox* combo) {
    for (int i = 0; i < combo->count(); ++i) {
        const int number = portNumberFor(combo->itemText(i).toStdString());
        const platform::ComPortMapping mapping = platform::PortMap().map(number);
        const QString reach = mapping.source == platform::ComPortMapping::Source::none
                                  ? QStringLiteral("no device")
                                  : QStringLiteral("\u2192 ") + portReach(number);
        combo->setItemData(i, reach, portReachRole);
        combo->setItemData(i, QString::fromStdString(platform::describeComPort(number)),
                           Qt::ToolTipRole);
    }
}

void attachPortDiscovery(QComboBox* combo) {
    QAbstractItemView* view = combo->view();
    view->setItemDelegate(new PortItemDelegate(view));
    view->setTextElideMode(Qt::ElideNone);
    if (QWidget* popup = view->parentWidget()) {
        popup->installEventFilter(new PopupWatcher(combo));
    }
    refreshPortDiscovery(combo);
}

}  // namespace terminal::ui
