#include "check/CheckProgressDialog.h"

#include "check/UrlCheckWorker.h"
#include "platform/MessageBox.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

namespace lintora {

TForm5::TForm5(QWidget* mainWindow, const AppSettings& settings)
    : FixedDialog(mainWindow, QStringLiteral("Lintora - 接続確認中..."), QSize(233, 61)), m_settings(settings)
{
    setObjectName(QStringLiteral("Form5"));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 8, 217, 17);
    ProgressBar1->setMinimum(0);
    ProgressBar1->setTextVisible(false);

    Button1 = new QPushButton(QStringLiteral("中止"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(64, 32, 97, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm5::Timer1Timer);

    CreateWorker = [this](const QString& path) { return std::make_unique<TCheckURL>(path, m_settings); };
}

TForm5::~TForm5() = default;

void TForm5::Run(const QStringList& paths)
{
    PendingFiles = paths;
    if (PendingFiles.isEmpty())
        return;
    m_writeFailures.clear();
    exec();
    if (!m_writeFailures.isEmpty()) {
        const QStringList failures = m_writeFailures;
        m_writeFailures.clear();
        messages().inform(failures.join(QLatin1Char('\n')));
    }
}

void TForm5::showEvent(QShowEvent* event)
{
    FixedDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm5::FormShow()
{
    Button1->setEnabled(true);
    Button1->setText(QStringLiteral("中止"));
    ProgressBar1->setMaximum(int(PendingFiles.size()));
    ProgressBar1->setValue(0);
    CloseAllowed = false;
    for (auto& slot : Workers)
        slot.reset();
    Timer1->start();
}

void TForm5::Timer1Timer()
{
    // Deleting a worker handles events for about a second: no tick may begin inside this one.
    Timer1->stop();

    for (auto& slot : Workers) {
        if (slot || PendingFiles.isEmpty())
            continue;
        const QString path = PendingFiles.takeFirst();
        try {
            slot = CreateWorker(path);
        } catch (...) {
            slot.reset();
        }
        if (slot) {
            slot->OnWriteError = [this](const QString& message) { m_writeFailures.append(message); };
        } else {
            // No thread or no HTTP client for this one: it is done, and nothing is written.
            ProgressBar1->setValue(ProgressBar1->value() + 1);
        }
    }

    for (auto& slot : Workers) {
        if (!slot || slot->isRunning())
            continue;
        ProgressBar1->setValue(ProgressBar1->value() + 1);
        // The slot is empty before the worker goes, so an abort during its deletion passes it by.
        std::unique_ptr<TCheckURL> ended = std::move(slot);
        ended.reset();
    }

    const bool allSlotsEmpty = std::all_of(Workers.begin(), Workers.end(), [](const auto& w) { return !w; });
    if (allSlotsEmpty && PendingFiles.isEmpty()) {
        CloseAllowed = true;
        close();
    } else {
        // Afresh: the next tick comes a second after this one ended, however long it took.
        Timer1->start();
    }
    emit ticked();
}

void TForm5::Button1Click()
{
    Button1->setEnabled(false);
    Button1->setText(QStringLiteral("中止処理中..."));
    PendingFiles.clear();
    for (auto& slot : Workers)
        if (slot)
            slot->Cancel();
}

void TForm5::FormCloseQuery(bool& CanClose)
{
    CanClose = CloseAllowed;
}

void TForm5::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm5::reject()
{
    if (CloseAllowed) {
        QDialog::reject();
        return;
    }
    // Esc during a run presses the abort button, if it can still be pressed.
    if (Button1->isEnabled())
        Button1->click();
}

} // namespace lintora
