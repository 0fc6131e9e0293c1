#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "Forms.h"

namespace sveltor {

// A check box whose OnClick runs each time its state changes, by mouse or keyboard.
class TCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TCheckBox(QWidget* parent = nullptr);
    TNotifyEvent OnClick;
};

// A radio button whose OnClick runs when it becomes checked; clicking the one already
// checked runs nothing.
class TRadioButton : public QRadioButton {
    Q_OBJECT

public:
    explicit TRadioButton(QWidget* parent = nullptr);
    TNotifyEvent OnClick;
};
using TGroupBox = QGroupBox;

// A text label. With AutoSize, the default, it widens to its text, so a font wider than
// the one it was designed with does not cut the text off.
class TLabel : public QLabel {
    Q_OBJECT

public:
    explicit TLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    bool AutoSize = true;
    void SetCaption(const QString& caption);
    // Widens the label to its text when AutoSize is set; never narrows it.
    void AdjustToText();
};

// A push button that can end its form's modal run with ModalResult, be the default
// button (Enter) or the cancel button (Esc).
class TButton : public QPushButton {
    Q_OBJECT

public:
    explicit TButton(QWidget* parent = nullptr);
    int ModalResult = 0;
    bool Cancel = false;

protected:
    virtual void Click();
};

// A button with a stock picture by its kind: bkOK is the default button with modal
// result 1, bkCancel the cancel button with 2, bkClose closes its window.
class TBitBtn : public TButton {
    Q_OBJECT

public:
    enum TKind { bkCustom, bkOK, bkCancel, bkClose };
    explicit TBitBtn(QWidget* parent = nullptr) : TButton(parent) {}
    TKind Kind() const noexcept { return FKind; }
    void SetKind(TKind kind);

protected:
    void Click() override;

private:
    TKind FKind = bkCustom;
};

// A bevelled frame with a centred caption.
class TPanel : public QLabel {
    Q_OBJECT

public:
    enum TBevel { bvNone, bvLowered, bvRaised };
    explicit TPanel(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    // The outer bevel decides the frame's look; an inner bevel adds its width.
    void SetBevels(TBevel outer, TBevel inner);
};

// A picture, scaled to fill its area when Stretch is set.
class TImage : public QLabel {
    Q_OBJECT

public:
    explicit TImage(QWidget* parent = nullptr);
    void SetPicture(const QPixmap& picture) { setPixmap(picture); }
    void SetStretch(bool stretch) { setScaledContents(stretch); }
};

} // namespace sveltor
