#pragma once

#include <gtest/gtest.h>
#include <QString>
#include <QWidget>

#include <stdexcept>

namespace tessel::testing {

// The control of a dialog with this object name; fails the test when there is none.
template <typename T>
T& Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        ADD_FAILURE() << "no control " << name;
        throw std::runtime_error(name);
    }
    return *child;
}

}  // namespace tessel::testing
