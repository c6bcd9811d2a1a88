#include "cli/TerminalFace.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace gw::cli {
namespace {

volatile std::sig_atomic_t g_presses = 0;
volatile std::sig_atomic_t g_ending = 0;  // SIGTERM or SIGHUP, once received
std::atomic<bool> g_cancelPending{false};

void Say(const char* text, std::size_t size) { (void)!::write(STDERR_FILENO, text, size); }

extern "C" void OnInterrupt(int) {
    g_presses = g_presses + 1;
    if (g_presses >= 2) {
        static const char kText[] = "\ngridwright-cli: interrupted\n";
        Say(kText, sizeof kText - 1);
        ::_exit(130);
    }
    g_cancelPending.store(true);
}

extern "C" void OnEnd(int signal) {
    if (g_ending != 0) {
        static const char kText[] = "\ngridwright-cli: terminated\n";
        Say(kText, sizeof kText - 1);
        ::_exit(128 + signal);
    }
    g_ending = signal;
}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnEnd;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

std::optional<int> EndingSignalStatus() {
    if (g_ending == 0) return std::nullopt;
    return 128 + g_ending;
}

TerminalProgress::~TerminalProgress() { EndLine(); }

void TerminalProgress::SetStatus(const std::string& text) {
    m_status = text;
    Redraw();
}

int TerminalProgress::SetPos(int pos) {
    const int previous = m_state.SetPos(pos);
    Redraw();
    return previous;
}

int TerminalProgress::StepIt() {
    const int previous = m_state.StepIt();
    Redraw();
    return previous;
}

bool TerminalProgress::CheckCancelButton() { return g_ending != 0 || g_cancelPending.exchange(false); }

bool TerminalProgress::Stopping() const { return g_ending != 0; }

void TerminalProgress::Redraw() {
    if (!m_draw) return;
    const std::string line = m_status + "  " + m_state.percentText();
    if (line == m_shown) return;
    std::fprintf(stderr, "\r%-60s", line.c_str());
    std::fflush(stderr);
    m_shown = line;
    m_lineOpen = true;
}

void TerminalProgress::EndLine() {
    if (!m_lineOpen) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(std::max<std::size_t>(m_shown.size(), 60)), "");
    std::fflush(stderr);
    m_lineOpen = false;
    m_shown.clear();
}

void TerminalPrompts::ShowMessage(const std::string& text) {
    m_progress.EndLine();
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool TerminalPrompts::AskYesNo(const std::string&) {
    m_progress.EndLine();
    std::fprintf(stderr, "cancelled\n");
    return true;
}

}  // namespace gw::cli
