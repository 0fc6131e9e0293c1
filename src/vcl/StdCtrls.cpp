#include "StdCtrls.h"

#include <QDialog>
#include <QStyle>

#include <algorithm>

namespace sveltor {

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent) {
    connect(this, &QCheckBox::toggled, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

TRadioButton::TRadioButton(QWidget* parent) : QRadioButton(parent) {
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked && OnClick)
            OnClick(this);
    });
}

void TLabel::SetCaption(const QString& caption) {
    setText(caption);
    AdjustToText();
}

void TLabel::AdjustToText() {
    if (AutoSize && !wordWrap())
        resize(std::max(width(), sizeHint().width()), height());
}

TButton::TButton(QWidget* parent) : QPushButton(parent) {
    connect(this, &QPushButton::clicked, this, [this] { Click(); });
}

void TButton::Click() {
    if (ModalResult != 0) {
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(ModalResult);
    }
}

void TBitBtn::SetKind(TKind kind) {
    FKind = kind;
    QStyle::StandardPixmap glyph = QStyle::SP_CustomBase;
    switch (kind) {
    case bkOK:
        glyph = QStyle::SP_DialogOkButton;
        setDefault(true);
        ModalResult = 1;
        break;
    case bkCancel:
        glyph = QStyle::SP_DialogCancelButton;
        Cancel = true;
        ModalResult = 2;
        break;
    case bkClose:
        glyph = QStyle::SP_DialogCloseButton;
        break;
    case bkCustom:
        return;
    }
    setIcon(style()->standardIcon(glyph));
}

void TBitBtn::Click() {
    if (FKind == bkClose)
        window()->close();
    else
        TButton::Click();
}

TPanel::TPanel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    SetBevels(bvRaised, bvNone);
}

void TPanel::SetBevels(TBevel outer, TBevel inner) {
    setFrameShape(outer == bvNone ? QFrame::NoFrame : QFrame::Panel);
    setFrameShadow(outer == bvLowered ? QFrame::Sunken : QFrame::Raised);
    setLineWidth(1);
    setMidLineWidth(inner == bvNone ? 0 : 1);
}

TImage::TImage(QWidget* parent) : QLabel(parent) {}

} // namespace sveltor
