#include "Application.h"

#include "Ansi.h"
#include "Exception.h"
#include "Forms.h"

#include <QMessageBox>

namespace sveltor {

TApplication* Application = nullptr;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    Application = this;
    // The main form's closing ends the loop; the forms' own closing rules decide.
    setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication() {
    DestroyForms();
    Application = nullptr;
}

void TApplication::Initialize() {
    InstallFontSubstitutes();
}

void TApplication::Adopt(TForm* form) {
    FForms.push_back(form);
    if (FMainForm == nullptr) {
        FMainForm = form;
        connect(form, &QDialog::finished, this, &QApplication::quit);
    }
}

void TApplication::Run() {
    if (FMainForm == nullptr)
        return;
    FMainForm->show();
    exec();
}

void TApplication::ShowException(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e) != nullptr)
        return;
    QMessageBox box(QMessageBox::Critical, Title(), FromAnsi(e.what()) + ".", QMessageBox::Ok,
                    activeWindow());
    box.setWindowTitle(Title());
    box.exec();
}

void TApplication::HandleException(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& shown) {
        ShowException(shown);
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e);
    }
    return false;
}

void TApplication::DestroyForms() noexcept {
    // In reverse order of creation, so the main form, made first, goes last.
    while (!FForms.empty()) {
        TForm* form = FForms.back();
        FForms.pop_back();
        if (form == FMainForm)
            FMainForm = nullptr;
        delete form;
    }
}

} // namespace sveltor
