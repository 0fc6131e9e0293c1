#pragma once

#include <QApplication>

#include <exception>
#include <memory>
#include <vector>

namespace sveltor {

class TForm;

// The application object: owns the forms it creates, runs the message loop, and shows
// every exception that escapes an event handler, then goes on with the next event.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Sets up what every window needs before the first is made: the fonts.
    void Initialize();

    QString Title() const { return applicationDisplayName(); }
    void SetTitle(const QString& title) { setApplicationDisplayName(title); }

    // Makes a form owned by the application and stores it in reference; the first
    // becomes the main form. When the constructor fails, reference is put back to null
    // and the exception goes on.
    template <class T> void CreateForm(T*& reference) {
        reference = nullptr;
        try {
            reference = new T(nullptr);
        } catch (...) {
            reference = nullptr;
            throw;
        }
        Adopt(reference);
    }
    TForm* MainForm() const noexcept { return FMainForm; }

    // Shows the main form and processes events until it is closed.
    void Run();

    // The exception display: a message box with the critical icon and one OK button,
    // captioned with the title, whose text is the message and a full stop. EAbort shows
    // nothing.
    void ShowException(const std::exception& e);
    // Shows the exception in flight; for catch blocks.
    void HandleException(std::exception_ptr e);

    // Where events are dispatched: an exception out of a handler is shown here.
    bool notify(QObject* receiver, QEvent* event) override;

    // Destroys the forms the application owns, the main form last.
    void DestroyForms() noexcept;

private:
    void Adopt(TForm* form);

    std::vector<TForm*> FForms;
    TForm* FMainForm = nullptr;
};

// The one application object, while it exists.
extern TApplication* Application;

} // namespace sveltor
