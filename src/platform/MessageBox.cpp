#include "platform/MessageBox.h"

#include <cstdio>

namespace lintora {

namespace {

// Used only before the application has installed its message boxes: says the text on stderr.
class StderrMessageService : public MessageService
{
public:
    void inform(const QString& text) override { say(text); }
    Answer ask(const QString& text) override
    {
        say(text);
        return Answer::Yes;
    }
    void showError(const QString& text) override { say(text); }

private:
    static void say(const QString& text) { std::fprintf(stderr, "LintoraDesk: %s\n", qPrintable(text)); }
};

StderrMessageService stderrService;
MessageService* defaultService = &stderrService;
MessageService* installedService = nullptr;

} // namespace

MessageService& MessageService::instance()
{
    return installedService ? *installedService : *defaultService;
}

void MessageService::setInstance(MessageService* service)
{
    installedService = service;
}

void MessageService::setDefault(MessageService* service)
{
    defaultService = service ? service : &stderrService;
}

} // namespace lintora
