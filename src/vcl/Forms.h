#pragma once

#include <QDialog>

#include <functional>

class QMenu;

namespace sveltor {

// The handler of a component's event; sender is the component.
using TNotifyEvent = std::function<void(QObject* sender)>;

// Modal results: 1 confirms, 2 cancels.
inline constexpr int mrNone = 0, mrOk = 1, mrCancel = 2;

// Installs the font substitutes the forms' designed fonts need on Linux: the Japanese
// proportional UI font becomes IPAPGothic, FixedSys a fixed-pitch font. Safe to call
// again.
void InstallFontSubstitutes();

// The designed UI font: "ＭＳ Ｐゴシック", characters 12 pixels high.
QFont DesignedFont();
// The designed fixed font: "FixedSys", characters 12 pixels high.
QFont FixedSysFont();

// A form: a top-level window laid out in pixels at 96 dpi, run modally by ShowModal.
// Closing it by its close box gives mrCancel; Esc closes it only when it has a cancel
// button, and Enter presses the default button.
class TForm : public QDialog {
    Q_OBJECT

public:
    enum TPosition { poDesigned, poScreenCenter };
    enum TBorderStyle { bsSizeable, bsDialog };

    explicit TForm(QWidget* owner);
    ~TForm() override;

    // Raised each time the form becomes the active window.
    TNotifyEvent OnActivate;
    // Raised once as the form goes, while all its components still exist. An exception
    // from it is shown, and the destruction goes on.
    TNotifyEvent OnDestroy;
    // Opened by a right click anywhere on the form or its components.
    QMenu* PopupMenu = nullptr;

    // Finishes the form once its components are built: labels take their text's width.
    void Loaded();
    // Shows the form modally and returns its modal result.
    int ShowModal();
    int ModalResult() const noexcept { return result(); }

    TPosition Position = poDesigned;
    // Fixed size, a close box, no minimize or maximize.
    void SetBorderStyle(TBorderStyle style);
    // Keeps the window above the others while it is open.
    void SetStayOnTop(bool onTop);

protected:
    // Runs OnDestroy, once. A form with an OnDestroy that reads its own members calls this
    // first thing in its destructor, while they still exist.
    void DoDestroy() noexcept;

    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    bool HasCancelButton() const;
    bool FDestroyed = false;
};

} // namespace sveltor
