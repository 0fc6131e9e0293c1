#include "ExtCtrls.h"

#include <QIcon>

namespace sveltor {

TTimer::TTimer(QObject* owner) : QObject(owner) {
    connect(&FTimer, &QTimer::timeout, this, [this] {
        if (OnTimer)
            OnTimer(this);
    });
    FTimer.start(1000);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled)
        FTimer.start();
    else
        FTimer.stop();
}

void TTimer::SetInterval(int ms) {
    FTimer.setInterval(ms);
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(false);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

void TSpeedButton::SetGlyph(const QPixmap& glyph, int numGlyphs) {
    const int width = glyph.width() / std::max(1, numGlyphs);
    QIcon icon;
    icon.addPixmap(glyph.copy(0, 0, width, glyph.height()), QIcon::Normal);
    if (numGlyphs >= 2)
        icon.addPixmap(glyph.copy(width, 0, width, glyph.height()), QIcon::Disabled);
    setIcon(icon);
    setIconSize(QSize(width, glyph.height()));
}

void TStatusPanel::SetWidth(int width) {
    FWidth = width;
    if (auto* bar = qobject_cast<TStatusBar*>(parentWidget()))
        bar->Relayout();
}

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
}

TStatusPanel& TStatusBar::TPanels::Add() {
    auto* panel = new TStatusPanel(&FBar);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FBar.addWidget(panel, 1);
    FItems.push_back(panel);
    FBar.Relayout();
    return *panel;
}

void TStatusBar::Relayout() {
    for (std::size_t i = 0; i < Panels.FItems.size(); ++i) {
        TStatusPanel* panel = Panels.FItems[i];
        if (i + 1 < Panels.FItems.size()) {
            panel->setFixedWidth(panel->Width());
        } else {
            panel->setMinimumWidth(0);
            panel->setMaximumWidth(QWIDGETSIZE_MAX);
        }
    }
}

TMenuItem::TMenuItem(QObject* owner) : QAction(owner) {
    connect(this, &QAction::triggered, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

} // namespace sveltor
