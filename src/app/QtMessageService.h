#pragma once

#include "platform/MessageBox.h"

namespace lintora {

// The real message boxes: modal QMessageBox captioned "LintoraDesk" over the active window.
class QtMessageService : public MessageService
{
public:
    void inform(const QString& text) override;
    Answer ask(const QString& text) override;
    void showError(const QString& text) override;
};

} // namespace lintora
