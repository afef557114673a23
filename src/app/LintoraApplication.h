#pragma once

#include <QApplication>

namespace lintora {

// The application object. Every command handler catches its own errors through runCommand; this is
// the last resort for an error that escapes an event handler anyway, so that it is shown in the
// error box and the program goes on instead of ending.
class LintoraApplication : public QApplication
{
    Q_OBJECT
public:
    LintoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace lintora
