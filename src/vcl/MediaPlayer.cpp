#include "MediaPlayer.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace sveltor {
namespace {

constexpr int GlyphSize = 11;

// Draws a button's picture: a triangle for Play, two bars for Pause, a bar and a
// triangle pointing back for Prev.
QPixmap DrawGlyph(TMediaPlayer::TButton button, const QColor& fill, const QColor& shadow) {
    QPixmap pixmap(GlyphSize + 1, GlyphSize + 1);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    auto shape = [&](const QColor& colour, int offset) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        const qreal o = offset;
        // A triangle from an upright base at x = base to its point at x = tip.
        auto triangle = [&](qreal base, qreal tip) {
            QPainterPath path;
            path.moveTo(base + o, 1 + o);
            path.lineTo(tip + o, 5.5 + o);
            path.lineTo(base + o, 10 + o);
            path.closeSubpath();
            p.drawPath(path);
        };
        switch (button) {
        case TMediaPlayer::btPlay:
            triangle(2, 9);
            break;
        case TMediaPlayer::btPause:
            p.drawRect(QRectF(2 + o, 1 + o, 3, 9));
            p.drawRect(QRectF(7 + o, 1 + o, 3, 9));
            break;
        default: // Prev
            p.drawRect(QRectF(1 + o, 1 + o, 2, 9));
            triangle(10, 3);
            break;
        }
    };
    if (shadow.isValid())
        shape(shadow, 1); // the etched look of a disabled picture
    shape(fill, 0);
    return pixmap;
}

} // namespace

TMediaPlayer::TMediaPlayer(QWidget* parent, TDeviceFactory makeDevice)
    : QWidget(parent), FMakeDevice(std::move(makeDevice)) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_MouseTracking, false);
    resize(85, 25);
    for (std::size_t i = 0; i < Shown.size(); ++i) {
        FEnabledGlyph[i] = DrawGlyph(Shown[i], Qt::black, QColor());
        FDisabledGlyph[i] = DrawGlyph(Shown[i], QColor(128, 128, 128), Qt::white);
        FColoredGlyph[i] = DrawGlyph(Shown[i], QColor(224, 176, 0), QColor());
    }
}

TMediaPlayer::~TMediaPlayer() {
    // The audio thread must not post to a strip that is going.
    if (FDevice)
        FDevice->SetEndHandler(nullptr);
    FDevice.reset();
}

void TMediaPlayer::Loaded() {
    if (AutoOpen)
        Open();
}

void TMediaPlayer::SetEnabled(bool enabled) {
    if (!enabled) {
        FPressed = NoButton;
        FPressedInside = false;
    }
    setEnabled(enabled);
    update();
}

void TMediaPlayer::Open() {
    CommandSent();
    ++FGeneration;
    if (!FDevice) {
        FDevice = FMakeDevice();
        FDevice->SetEndHandler([this] {
            const unsigned generation = FGeneration.load();
            QMetaObject::invokeMethod(
                this, [this, generation] { SongEnded(generation); }, Qt::QueuedConnection);
        });
    }
    FDevice->Close();
    FDeviceOpen = false;
    SetUsable(0);
    FDevice->Open(FFileName);
    FDeviceOpen = true;
    SetUsable(ReadyButtons());
}

TMediaPlayer::TButtonSet TMediaPlayer::ReadyButtons() const {
    return Bit(btPrev) | (FDevice->CanPlay() ? Bit(btPlay) : 0);
}

void TMediaPlayer::SetUsable(TButtonSet usable) {
    FUsable = usable;
    update();
}

void TMediaPlayer::Press(TButton button) {
    CommandSent();
    if (!FDeviceOpen)
        return;
    switch (button) {
    case btPlay: {
        // Play finds its own way back to the start when the song has ended (AutoRewind).
        if (FDevice->Play())
            SetUsable((FUsable & ~Bit(btPlay)) | Bit(btPause));
        break;
    }
    case btPause: {
        bool done = false;
        if (FDevice->Mode() == TSequencerMode::Paused)
            done = FDevice->Resume() || FDevice->Play(); // a refused resume falls back to play
        else
            done = FDevice->Pause();
        if (done)
            SetUsable(FUsable | Bit(btPause) | (FDevice->CanPlay() ? Bit(btPlay) : 0));
        break;
    }
    case btPrev:
        if (FDevice->Rewind())
            SetUsable((FUsable & ~Bit(btPause)) | ReadyButtons());
        break;
    default:
        break;
    }
}

void TMediaPlayer::SongEnded(unsigned generation) {
    if (generation != FGeneration.load() || !FDeviceOpen)
        return;
    SetUsable((FUsable & ~Bit(btPause)) | (FDevice->CanPlay() ? Bit(btPlay) : 0));
}

QRect TMediaPlayer::ButtonRect(TButton button) const {
    for (std::size_t i = 0; i < Shown.size(); ++i) {
        if (Shown[i] == button)
            return QRect(int(i) * (ButtonWidth - 1), 0, ButtonWidth, height());
    }
    return {};
}

int TMediaPlayer::ButtonAt(const QPoint& pos) const {
    for (std::size_t i = 0; i < Shown.size(); ++i) {
        // Shared borders belong to the button on the left.
        QRect r = ButtonRect(Shown[i]);
        if (i + 1 < Shown.size())
            r.setRight(r.right() - 1);
        if (r.contains(pos))
            return int(i);
    }
    return NoButton;
}

void TMediaPlayer::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int i = ButtonAt(event->position().toPoint());
    if (i == NoButton || !IsUsable(Shown[std::size_t(i)]))
        return;
    FPressed = i;
    FPressedInside = true;
    update();
}

void TMediaPlayer::mouseMoveEvent(QMouseEvent* event) {
    if (FPressed == NoButton)
        return;
    const bool inside = ButtonAt(event->position().toPoint()) == FPressed;
    if (inside != FPressedInside) {
        FPressedInside = inside;
        update();
    }
}

void TMediaPlayer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || FPressed == NoButton)
        return;
    const int pressed = FPressed;
    FPressed = NoButton;
    FPressedInside = false;
    update();
    if (ButtonAt(event->position().toPoint()) == pressed && IsUsable(Shown[std::size_t(pressed)]))
        Press(Shown[std::size_t(pressed)]);
}

void TMediaPlayer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    for (std::size_t i = 0; i < Shown.size(); ++i) {
        const TButton button = Shown[i];
        const QRect r = ButtonRect(button);
        const bool down = FPressed == int(i) && FPressedInside;
        p.fillRect(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Button));
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        // A raised bevel, or a sunken one while held down.
        p.setPen(down ? pal.color(QPalette::Dark) : pal.color(QPalette::Light));
        p.drawLine(r.left() + 1, r.top() + 1, r.right() - 2, r.top() + 1);
        p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 2);
        p.setPen(down ? pal.color(QPalette::Light) : pal.color(QPalette::Dark));
        p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);

        const bool usable = isEnabled() && IsUsable(button);
        const QPixmap& glyph = !usable                               ? FDisabledGlyph[i]
                               : (ColoredButtons & Bit(button)) != 0 ? FColoredGlyph[i]
                                                                     : FEnabledGlyph[i];
        const int shift = down ? 1 : 0;
        p.drawPixmap(r.left() + (r.width() - glyph.width()) / 2 + shift,
                     r.top() + (r.height() - glyph.height()) / 2 + shift, glyph);
    }
}

} // namespace sveltor
