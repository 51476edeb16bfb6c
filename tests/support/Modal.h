#pragma once
// Acts on the next modal window once it is shown, from inside its event
// loop: `act` gets the window and must close it.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace orbik::test {

inline void WhenModalShown(std::function<void(QWidget*)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act = std::move(act), poll]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
            *poll = nullptr;  // break the cycle
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace orbik::test
