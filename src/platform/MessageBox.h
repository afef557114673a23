#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace lintora {

// Every message of the program goes through here: modal, captioned "LintoraDesk", no icon, OK, or
// Yes and No with Yes the default; errors carry the critical icon. Tests install a recording fake.
class MessageService
{
public:
    enum class Answer { Yes, No };

    virtual ~MessageService() = default;
    virtual void inform(const QString& text) = 0;
    virtual Answer ask(const QString& text) = 0;
    virtual void showError(const QString& text) = 0;

    static MessageService& instance();
    // Installs another service (not owned); nullptr restores the default one.
    static void setInstance(MessageService* service);
    // The service used when none is installed (the Qt message boxes, set up by the application).
    static void setDefault(MessageService* service);
};

inline MessageService& messages()
{
    return MessageService::instance();
}

// Records texts and answers questions from a queue (Yes when the queue is empty).
class RecordingMessageService : public MessageService
{
public:
    enum class Kind { Inform, Ask, Error };
    struct Entry
    {
        Kind kind;
        QString text;
    };

    void inform(const QString& text) override { entries.append({Kind::Inform, text}); }
    Answer ask(const QString& text) override
    {
        entries.append({Kind::Ask, text});
        return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
    }
    void showError(const QString& text) override { entries.append({Kind::Error, text}); }

    QStringList texts() const
    {
        QStringList out;
        for (const auto& e : entries)
            out << e.text;
        return out;
    }

    QList<Entry> entries;
    QList<Answer> answers;
};

} // namespace lintora
