#include "terminal/recording/qt/ClipboardCopy.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include "terminal/link/TerminalCore.h"
#include "terminal/recording/DashboardExport.h"

namespace terminal::ui {

namespace {

void toClipboard(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

// Ctrl+C on a box copies its rows under the caption, not the selection the box would copy;
// taken before the box's own shortcut handling sees the key.
class CopyKeyFilter : public QObject {
public:
    CopyKeyFilter(QWidget* box, std::function<void()> copy)
        : QObject(box), copy_(std::move(copy)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy)) {
                if (event->type() == QEvent::KeyPress) {
                    copy_();
                }
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> copy_;
};

}  // namespace

QAction* addCopyAllValues(QWidget* window, TerminalCore& core) {
    auto* action = new QAction(QString::fromUtf8(copyAllValuesCaption), window);
    window->addAction(action);
    QObject::connect(action, &QAction::triggered, window,
                     [&core] { toClipboard(allValuesText(core.shown())); });
    return action;
}

void makeTroubleCodeCopyable(QWidget* box, std::function<std::vector<TroubleCode>()> codes) {
    auto copy = [codes = std::move(codes)] { toClipboard(troubleCodeText(codes())); };
    auto* action = new QAction(QString::fromUtf8(copyCaption), box);
    action->setShortcut(QKeySequence::Copy);
    action->setShortcutContext(Qt::WidgetShortcut);
    box->addAction(action);
    QObject::connect(action, &QAction::triggered, box, copy);
    box->installEventFilter(new CopyKeyFilter(box, copy));
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(box, &QWidget::customContextMenuRequested, box, [box, action] {
        QMenu menu(box);
        menu.addAction(action);
        menu.exec(QCursor::pos());
    });
}

QFont troubleCodeFont(double room, const char* widestRow, int largest) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int pixels = largest; pixels >= 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(widestRow)) <= room) {
            break;
        }
    }
    return font;
}

namespace {

class FontFitter : public QObject {
public:
    FontFitter(QWidget* box, const char* widestRow) : QObject(box), widestRow_(widestRow) {
        fit(box);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            fit(static_cast<QWidget*>(watched));
        }
        return false;
    }

private:
    void fit(QWidget* box) {
        // The room the box's text has: inside its frame, less the 2 pixels an edit keeps each
        // side. At most as large as a line of the labels around it, which scale with the window.
        QRect room = box->contentsRect();
        if (auto* edit = qobject_cast<QLineEdit*>(box)) {
            QStyleOptionFrame option;
            option.initFrom(edit);
            option.lineWidth = edit->hasFrame() ? 1 : 0;
            room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        }
        const QWidget* around = box->parentWidget() ? box->parentWidget() : box;
        box->setFont(
            troubleCodeFont(room.width() - 4, widestRow_, QFontMetrics(around->font()).height()));
    }

    const char* widestRow_;
};

}  // namespace

void keepTroubleCodeFontFitted(QWidget* box, const char* widestRow) {
    box->installEventFilter(new FontFitter(box, widestRow));
}

}  // namespace terminal::ui
