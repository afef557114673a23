#pragma once

#include "QtPrinters.h"

#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace lintora::test {

// Queues steps to run inside the modal loop of the next showing of dialog (queue before the code
// under test calls exec). A dialog that is still open long after the steps is rejected with a
// failure, so that a faulty test ends instead of hanging.
inline void whileShown(QDialog& dialog, std::function<void()> steps)
{
    QTimer::singleShot(0, &dialog, [&dialog, steps = std::move(steps)] {
        if (!QTest::qWaitFor([&dialog] { return dialog.isVisible(); }, 5000)) {
            ADD_FAILURE() << "the dialog was not shown";
            return;
        }
        steps();
        QTimer::singleShot(10000, &dialog, [&dialog] {
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog.reject();
            }
        });
    });
}

// Records whether dialog gets shown at all (and closes it at once if it does).
struct ShownGuard
{
    explicit ShownGuard(QDialog& dialog)
    {
        QTimer::singleShot(0, &dialog, [this, &dialog] {
            if (dialog.isVisible()) {
                shown = true;
                dialog.reject();
            }
        });
    }
    bool shown = false;
};

} // namespace lintora::test
