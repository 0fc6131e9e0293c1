#include "Forms.h"

#include "Application.h"
#include "StdCtrls.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>

namespace sveltor {

namespace {
const QString DesignedFamily = QStringLiteral("ＭＳ Ｐゴシック");
const QString FixedSysFamily = QStringLiteral("FixedSys");
} // namespace

void InstallFontSubstitutes() {
    // fonts-ipafont-gothic ships no alias of its own for the Windows names.
    QFont::insertSubstitutions(DesignedFamily,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("sans-serif")});
    QFont::insertSubstitutions(FixedSysFamily,
                               {QStringLiteral("IPAGothic"), QStringLiteral("DejaVu Sans Mono"),
                                QStringLiteral("monospace")});
}

QFont DesignedFont() {
    QFont font(DesignedFamily);
    font.setPixelSize(12);
    return font;
}

QFont FixedSysFont() {
    QFont font(FixedSysFamily);
    font.setPixelSize(12);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

TForm::TForm(QWidget* owner) : QDialog(owner) {
    InstallFontSubstitutes();
    setFont(DesignedFont());
}

TForm::~TForm() {
    DoDestroy();
}

void TForm::DoDestroy() noexcept {
    if (FDestroyed)
        return;
    FDestroyed = true;
    if (!OnDestroy)
        return;
    try {
        OnDestroy(this);
    } catch (...) {
        if (Application != nullptr)
            Application->HandleException(std::current_exception());
    }
}

bool TForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && OnActivate)
        OnActivate(this);
    return QDialog::event(event);
}

void TForm::contextMenuEvent(QContextMenuEvent* event) {
    if (PopupMenu == nullptr)
        return QDialog::contextMenuEvent(event);
    PopupMenu->popup(event->globalPos());
    event->accept();
}

void TForm::Loaded() {
    for (TLabel* label : findChildren<TLabel*>())
        label->AdjustToText();
}

int TForm::ShowModal() {
    setResult(mrNone);
    return exec();
}

void TForm::SetBorderStyle(TBorderStyle style) {
    if (style == bsDialog) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                       (windowFlags() & Qt::WindowStaysOnTopHint));
        setFixedSize(size());
    } else {
        setWindowFlags(Qt::Window);
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void TForm::SetStayOnTop(bool onTop) {
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

void TForm::showEvent(QShowEvent* event) {
    if (Position == poScreenCenter) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}

void TForm::closeEvent(QCloseEvent* event) {
    // The close box cancels, whether or not the form has a cancel button.
    if (isModal() && result() == mrNone)
        setResult(mrCancel);
    QDialog::done(result());
    event->accept();
}

void TForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !HasCancelButton()) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm::reject() {
    if (HasCancelButton())
        done(mrCancel);
}

bool TForm::HasCancelButton() const {
    for (const TButton* button : findChildren<TButton*>()) {
        if (button->Cancel)
            return true;
    }
    return false;
}

} // namespace sveltor
