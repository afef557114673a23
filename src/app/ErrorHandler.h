#pragma once

#include <QString>
#include <exception>
#include <utility>

namespace lintora {

// The text of the top-level error box: the message, with "." appended when its last character
// sorts after ".".
QString errorBoxText(const QString& message);

// The message of an error that escaped a command.
QString messageOfCurrentException(std::exception_ptr error);

// Shows an error that escaped a command in the error box. The program goes on.
void reportUnhandledError(std::exception_ptr error);

// Runs a command handler; an error escaping it ends the command and is shown in the error box.
// Every menu command, dialog button and edit handler goes through here, since Qt does not catch
// exceptions for us.
template <typename Handler>
void runCommand(Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        reportUnhandledError(std::current_exception());
    }
}

} // namespace lintora
