#pragma once

#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <vector>

#include "Forms.h"

namespace sveltor {

// A timer that runs from its creation and raises OnTimer every Interval milliseconds
// on the user-interface thread.
class TTimer : public QObject {
    Q_OBJECT

public:
    explicit TTimer(QObject* owner);
    TNotifyEvent OnTimer;
    bool Enabled() const { return FTimer.isActive(); }
    void SetEnabled(bool enabled);
    int Interval() const { return FTimer.interval(); }
    void SetInterval(int ms);

private:
    QTimer FTimer;
};

// A flat button with a glyph of two images side by side: the first shows while
// enabled, the second while disabled, when a disabled button ignores clicks. Its Hint
// shows as a tooltip.
class TSpeedButton : public QToolButton {
    Q_OBJECT

public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    TNotifyEvent OnClick;
    // glyph holds NumGlyphs images of equal width, side by side.
    void SetGlyph(const QPixmap& glyph, int numGlyphs = 2);
    void SetHint(const QString& hint) { setToolTip(hint); }
    QString Hint() const { return toolTip(); }
};

// One panel of a status bar.
class TStatusPanel : public QLabel {
    Q_OBJECT

public:
    explicit TStatusPanel(QWidget* parent) : QLabel(parent) {}
    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    int Width() const { return FWidth; }
    void SetWidth(int width);

private:
    int FWidth = 50;
};

// A status bar along the bottom of its window with a size grip. Its panels are laid out
// from the left, each as wide as its Width, except the last, which reaches the right edge.
class TStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit TStatusBar(QWidget* parent);

    class TPanels {
    public:
        explicit TPanels(TStatusBar& bar) : FBar(bar) {}
        TStatusPanel& Add();
        TStatusPanel& operator[](std::size_t index) { return *FItems.at(index); }
        std::size_t Count() const noexcept { return FItems.size(); }

    private:
        friend class TStatusBar;
        TStatusBar& FBar;
        std::vector<TStatusPanel*> FItems;
    };
    TPanels Panels{*this};

    // Gives every panel but the last its Width; the last takes the rest.
    void Relayout();
};

// A menu entry.
class TMenuItem : public QAction {
    Q_OBJECT

public:
    explicit TMenuItem(QObject* owner);
    TNotifyEvent OnClick;
    void SetCaption(const QString& caption) { setText(caption); }
};

// A popup menu, opened by its form on a right click.
class TPopupMenu : public QMenu {
    Q_OBJECT

public:
    explicit TPopupMenu(QWidget* owner) : QMenu(owner) {}
};

} // namespace sveltor
