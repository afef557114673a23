#include "app/ErrorHandler.h"

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

#include <stdexcept>

namespace lintora {

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString messageOfCurrentException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const WriteError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("不明なエラーが発生しました");
    }
}

void reportUnhandledError(std::exception_ptr error)
{
    messages().showError(errorBoxText(messageOfCurrentException(error)));
}

} // namespace lintora
