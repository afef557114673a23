#include "app/LintoraApplication.h"

#include "app/ErrorHandler.h"

namespace lintora {

LintoraApplication::LintoraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool LintoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportUnhandledError(std::current_exception());
        return false;
    }
}

} // namespace lintora
