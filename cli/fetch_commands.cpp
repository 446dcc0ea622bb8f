// quorcli's fetch commands: fetch-all and fetch N start a run and wait for its end (quorcli may
// wait; the desktop program never does). Status texts go to stderr as they come; the run's result
// decides the exit: a run that ran into its time limit, or was stopped, fails the command. SIGINT
// during a run cuts it off: the driver and the requests end within a polling period and quorcli
// exits without crashing.

#include <signal.h>

#include <chrono>

#include "app/command_ids.h"
#include "cli/cli_command.h"

namespace quor::cli {

namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

// Catches the first SIGINT while a run is waited for; a second one ends quorcli at once.
class InterruptGuard final {
public:
    InterruptGuard() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction previous_ {};
};

CliResult Verdict(const core::RunResult& result) {
    switch (result.end) {
        case core::RunEnd::kCompleted:
            break;
        case core::RunEnd::kStopped:
            return CliResult::Fail("the fetch was stopped");
        case core::RunEnd::kTimedOutInner:
        case core::RunEnd::kTimedOutOuter:
            return CliResult::Fail("the fetch timed out");
    }
    return CliResult::Ok();
}

CliResult WaitForRun(CliContext& context, const CliResult& started) {
    if (!started.ok)
        return started;
    auto& app = context.app;
    for (;;) {
        if (interrupted) {
            // Cut off the driver and every request; the application's end waits for them.
            app.Run().Stop();
            app.Workers().RequestShutdown();
            return CliResult::Fail("interrupted");
        }
        if (const auto result = app.Run().WaitFor(std::chrono::milliseconds(20)))
            return Verdict(*result);
    }
}

CliResult FetchAll(CliContext& context, std::span<const std::string>) {
    const InterruptGuard guard;
    return WaitForRun(context, RunTableCommand(context, app::command::kFetchAll));
}

CliResult FetchBoard(CliContext& context, std::span<const std::string> args) {
    const auto board = ParseBoardNumber(args[0]);
    if (!board)
        return CliResult::Usage("board number must be 1 to 64, not '" + args[0] + "'");
    const InterruptGuard guard;
    return WaitForRun(context, RunTableCommand(context, app::command::kFetchSelected, *board));
}

}  // namespace

void RegisterFetchCommands(CliCommandTable& table) {
    table.push_back({"fetch-all", {}, FetchAll});
    table.push_back({"fetch", {"N"}, FetchBoard});
}

}  // namespace quor::cli
