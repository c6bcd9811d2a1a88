#include "gui/common/BackgroundJob.h"

#include "gui/common/ProgressDialog.h"
#include "core/progress/ProgressState.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace gw {
namespace {

// A Cancel press the work has not taken this long is the user's to confirm here.
constexpr int kAbandonAfterMs = 1000;

// What the work and this thread share. The progress fields are the work's, read here;
// dialog and prompts are used on this thread only, and only while `open`.
struct Shared {
    std::mutex mutex;
    std::string status;
    int lower = 0, upper = 100, pos = 0;
    std::uint64_t changes = 0;

    std::atomic<bool> pressed{false};  // a Cancel press the work has not taken yet
    std::atomic<bool> abandoned{false};
    std::atomic<bool> done{false};

    bool open = true;
    ProgressDialog* dialog = nullptr;
    UserPrompts* prompts = nullptr;
};

// The work's Progress: its state is kept for this thread to show; Cancel presses come
// confirmed from there.
class RelayedProgress final : public Progress {
public:
    explicit RelayedProgress(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}

    void SetStatus(const std::string& text) override {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->status = text;
        ++m_shared->changes;
    }
    void SetRange(int lower, int upper) override {
        m_state.SetRange(lower, upper);
        m_lower = lower;
        m_upper = upper;
        Publish();
    }
    void SetStep(int step) override { m_state.SetStep(step); }
    int SetPos(int pos) override {
        const int previous = m_state.SetPos(pos);
        Publish();
        return previous;
    }
    int StepIt() override {
        const int previous = m_state.StepIt();
        Publish();
        return previous;
    }
    bool CheckCancelButton() override { return m_shared->abandoned || m_shared->pressed.exchange(false); }

private:
    void Publish() {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->lower == m_lower && m_shared->upper == m_upper && m_shared->pos == m_state.pos()) return;
        m_shared->lower = m_lower;
        m_shared->upper = m_upper;
        m_shared->pos = m_state.pos();
        ++m_shared->changes;
    }

    std::shared_ptr<Shared> m_shared;
    ProgressState m_state;
    int m_lower = 0, m_upper = 100;
};

// The work's prompts: each call is made on the user-interface thread and waited for.
// Once the work is left, a question is answered Yes: the one a job asks is "Cancel?".
class RelayedPrompts final : public UserPrompts {
public:
    explicit RelayedPrompts(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}

    void ShowMessage(const std::string& text) override {
        OnUiThread([&](UserPrompts& prompts) { prompts.ShowMessage(text); });
    }
    bool AskYesNo(const std::string& question) override {
        bool yes = true;
        OnUiThread([&](UserPrompts& prompts) { yes = prompts.AskYesNo(question); });
        return yes;
    }
    std::optional<std::string> ChoosePaletteFile() override {
        std::optional<std::string> chosen;
        OnUiThread([&](UserPrompts& prompts) { chosen = prompts.ChoosePaletteFile(); });
        return chosen;
    }

private:
    void OnUiThread(const std::function<void(UserPrompts&)>& call) {
        if (m_shared->abandoned) return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [shared = m_shared, &call] {
                if (shared->open) call(*shared->prompts);
            },
            Qt::BlockingQueuedConnection);
    }

    std::shared_ptr<Shared> m_shared;
};

// Shows what the work reported since the last call.
void ShowProgress(Shared& shared, std::uint64_t& shown) {
    std::string status;
    int lower = 0, upper = 0, pos = 0;
    {
        const std::lock_guard lock(shared.mutex);
        if (shared.changes == shown) return;
        shown = shared.changes;
        status = shared.status;
        lower = shared.lower, upper = shared.upper, pos = shared.pos;
    }
    shared.dialog->SetStatus(status);
    shared.dialog->SetRange(lower, upper);
    shared.dialog->SetPos(pos);
}

}  // namespace

bool RunInBackground(ProgressDialog& dialog, UserPrompts& prompts, std::function<void(Progress&, UserPrompts&)> work) {
    auto shared = std::make_shared<Shared>();
    shared->dialog = &dialog;
    shared->prompts = &prompts;
    QElapsedTimer pressedFor;
    // A press is handed to the work; one it has not taken a second later is put to the
    // user here, since the work cannot ask.
    const auto takePress = [&] {
        if (dialog.CheckCancelButton()) {
            shared->pressed = true;
            if (!pressedFor.isValid()) pressedFor.start();
        }
        if (!shared->pressed) pressedFor.invalidate();
        if (!pressedFor.isValid() || pressedFor.elapsed() < kAbandonAfterMs) return false;
        pressedFor.invalidate();
        shared->pressed = false;
        return prompts.AskYesNo("Cancel?") && !shared->done;
    };
    takePress();
    std::thread worker([shared, work = std::move(work)] {
        RelayedProgress progress(shared);
        RelayedPrompts relayed(shared);
        work(progress, relayed);
        shared->done = true;
    });

    QEventLoop loop;
    QTimer poll;
    std::uint64_t shown = 0;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        ShowProgress(*shared, shown);
        if (shared->done || takePress()) loop.quit();
    });
    poll.start(ProgressDialog::kPumpIntervalMs);
    loop.exec();
    poll.stop();

    shared->open = false;
    if (shared->done) {
        worker.join();
        return true;
    }
    shared->abandoned = true;
    worker.detach();
    return false;
}

}  // namespace gw
