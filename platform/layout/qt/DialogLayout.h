#pragma once
// Builds a window's controls from a table of rows in dialog units, so that the rectangles of
// a window layout are typed in as data and read like the device's manuals.
//
// Dialog units follow the dialog font: 4 horizontal units are the font's average character
// width, 8 vertical units its height. The average is taken over the 52 letters A-Z and a-z, as
// the window system that dialog units come from measures it: a sans font's own "average"
// (often the width of 'x') is narrower than its text, and captions laid out for that system
// would be clipped. Every control is a direct child of the window (as in a
// dialog template), named by its id as text ("1013"); group boxes and labels without an id
// (id 0) get no name and sit behind the other controls.

#include <QFont>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>
#include <map>
#include <span>
#include <vector>

namespace platform {

class ScaledStyle;

enum class ControlKind {
    groupBox,       // QGroupBox: caption on the frame
    label,          // QLabel: plain text
    pushButton,     // QPushButton
    checkBox,       // QCheckBox
    editableCombo,  // QComboBox with an edit field; h is the height of the dropped list
    edit,           // QLineEdit, or QPlainTextEdit with multiLine
    progressBar,    // QProgressBar without text (a smooth bar)
    analogDisplay,  // CiAnalogDisplayX
    ledRectangle,   // CiLedRectangleX
    ledRound,       // CiLedRoundX
    slider,         // CiSliderX
};

// Style flags of a row; they combine with |.
namespace flags {
inline constexpr unsigned none = 0;
inline constexpr unsigned defaultButton = 1u << 0;   // push button: pressed by Enter
inline constexpr unsigned readOnly = 1u << 1;        // edit
inline constexpr unsigned centred = 1u << 2;         // edit text, label, group caption
inline constexpr unsigned rightAligned = 1u << 3;    // edit text, label
inline constexpr unsigned multiLine = 1u << 4;       // edit
inline constexpr unsigned verticalScroll = 1u << 5;  // multi-line edit: scroll bar always shown
inline constexpr unsigned disabled = 1u << 6;        // created disabled
inline constexpr unsigned wordWrap = 1u << 7;        // label, rectangular lamp caption
}  // namespace flags

struct ControlRow {
    int id;  // 0: no id (group boxes and labels only)
    ControlKind kind;
    const char* caption;  // "&" marks a mnemonic, "&&" shows one "&"; labels and lamps show text
    int x, y, w, h;       // dialog units
    unsigned style = flags::none;
};

// Controls by id, as built from a table.
class DialogControls {
public:
    void add(int id, QWidget* widget);
    QWidget* widget(int id) const;  // nullptr for an unknown id
    template <class T>
    T* get(int id) const {
        return qobject_cast<T*>(widget(id));
    }
    const std::map<int, QWidget*>& all() const { return byId_; }

private:
    // Looked up for every value of every line: ids of dialog templates are small, and a
    // table indexed by id spares the search.
    static constexpr int directIds = 4096;

    std::map<int, QWidget*> byId_;
    std::vector<QWidget*> direct_;
};

class DialogLayout {
public:
    // The dialog font the layouts were drawn for is "MS Sans Serif" 8; on Linux the system's
    // sans serif at 8 points stands in for it (fontconfig resolves "Sans Serif").
    static QFont dialogFont();

    explicit DialogLayout(const QFont& font = dialogFont());

    // Dialog units -> pixels, rounded to the nearest pixel.
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(int x, int y, int w, int h) const;
    QSize toPixels(int w, int h) const;

    // A factor on every placement and on the font's size, for a window that is drawn larger
    // or smaller than the layout (fitting a small screen, a resized window). 1 by default.
    void setScale(qreal scale);
    qreal scale() const { return scale_; }
    // The dialog font at the scale's size.
    QFont scaledFont() const;
    // Places a control built by create() again, after the scale changed.
    void place(QWidget* control) const;
    // Whether `control` was built from a row (and can be placed again).
    static bool isPlaced(const QWidget* control);

    const QFont& font() const { return font_; }
    qreal averageCharWidth() const { return charWidth_; }
    int charHeight() const { return charHeight_; }

    // Gives `window` the dialog font and the size w x h (client area), then creates one control
    // per row. Controls created later by another call are added to the same window.
    // A window too large for its screen's available area (a small screen at a large scale
    // factor) is laid out smaller as a whole: the scale at which it fits, with a ScaledStyle
    // for its controls, so that it looks like the window at full size made smaller.
    void sizeWindow(QWidget* window, int w, int h);
    // The part of `window`'s screen a window's client area can take: the available area less
    // the frame and title bar around it (frameMargins()) and, where the platform reports no
    // work area, room for the desktop's panels (unreportedPanelRoom()).
    static QRect roomOnScreen(const QWidget* window);
    // `available` less the frame around the client area and `panel` pixels of height.
    static QRect roomIn(const QRect& available, const QMargins& frame, int panel);
    // The same with room for a typical window manager's frame and no panel.
    static QRect roomIn(const QRect& available);
    // The frame and title bar around `window`'s client area: its own once it is shown, else
    // that of a shown window of the program, else room for a typical window manager's.
    static QMargins frameMargins(const QWidget* window);
    // The height kept free for a desktop's panels on a screen of `platform` whose available
    // area is `available` of `whole`: 0 where the platform reports the work area.
    static int unreportedPanelRoom(const QString& platform, const QRect& available,
                                   const QRect& whole);
    // Where Qt draws a window's title bar itself (Wayland), the title shares it with three
    // buttons and is cut short in a narrow window: such a window is made as wide as its title
    // needs, its controls centred in the added width. Elsewhere the desktop draws the title.
    static void makeRoomForTitle(QWidget* window);
    // The smallest scale a window is shrunk to.
    static constexpr qreal minimumScale = 0.4;
    DialogControls build(QWidget* window, std::span<const ControlRow> rows) const;
    void build(QWidget* window, std::span<const ControlRow> rows, DialogControls& into) const;
    QWidget* create(QWidget* window, const ControlRow& row) const;

    // The text a label shows for a caption: "&&" -> "&", a lone "&" (mnemonic) dropped.
    static QString plainCaption(const char* caption);

    // The style given to the controls create() builds from now on (nullptr: the window's own).
    void setControlStyle(ScaledStyle* style) { style_ = style; }

private:
    QFont font_;
    qreal charWidth_;
    int charHeight_;
    // A closed combo box's height in vertical units, as the style draws it for the dialog font.
    qreal closedComboUnits() const;

    qreal scale_ = 1.0;
    ScaledStyle* style_ = nullptr;
    mutable qreal closedComboUnits_ = 0.0;
};

}  // namespace platform
