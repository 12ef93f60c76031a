#pragma once
// A window's control by its objectName; a missing one fails the test.
#include <QObject>
#include <QString>

#include <gtest/gtest.h>

namespace velmara::test {

template <class T> T* child(const QObject* parent, const QString& name) {
    T* control = parent->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << "no control " << name.toStdString() << " in "
                                << parent->objectName().toStdString();
    return control;
}

} // namespace velmara::test
