#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace sveltor::test {

// Acts on the next modal window once it is open: a single-shot timer that looks for
// QApplication::activeModalWidget() and tries again until one is there.
inline void WhenModal(std::function<void(QWidget*)> act, int triesLeft = 500) {
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [act = std::move(act), triesLeft]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
        } else if (triesLeft > 0) {
            WhenModal(std::move(act), triesLeft - 1);
        }
    });
}

} // namespace sveltor::test
