#include "osascript/admin_shell_script.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/scripting/script_answer.h"
#include "platform/sim/scripting/sim_mac_folder.h"

namespace kd::osascript {
namespace {

constexpr std::string_view kHead = "do shell script \"";
constexpr std::string_view kTail = "\" with administrator privileges";

constexpr int kUserCanceled = -128;
constexpr int kAuthorizationDenied = -60005;
constexpr int kPrivilegeViolation = -10004;

// The command inside the string literal, its escapes undone; nothing when
// the script is not exactly this form.
std::optional<std::string> command(std::string_view script) {
    if (script.size() < kHead.size() + kTail.size() || !script.starts_with(kHead) ||
        !script.ends_with(kTail)) {
        return std::nullopt;
    }
    const auto literal = script.substr(kHead.size(), script.size() - kHead.size() - kTail.size());
    std::string text;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        const char c = literal[i];
        if (c == '"') return std::nullopt;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i == literal.size()) return std::nullopt;
        switch (literal[i]) {
            case '\\':
            case '"':
                text += literal[i];
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return text;
}

struct ShellRun {
    int status = 0;
    std::string out;
    std::string err;
};

std::vector<std::string> environmentWithPath(const std::string& tools) {
    std::vector<std::string> entries;
    const char* path = std::getenv("PATH");
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string_view(*entry).starts_with("PATH=")) continue;
        entries.emplace_back(*entry);
    }
    entries.push_back("PATH=" + tools + ":" + (path != nullptr ? path : "/usr/bin:/bin"));
    return entries;
}

// Runs the command line in this process's group, so whatever ends the
// interpreter at its deadline ends the command too.
std::optional<ShellRun> runShell(const std::string& commandLine, const std::string& folder) {
    std::array<int, 2> outPipe{};
    std::array<int, 2> errPipe{};
    if (::pipe2(outPipe.data(), O_CLOEXEC) != 0) return std::nullopt;
    if (::pipe2(errPipe.data(), O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    std::vector<std::string> words{"/bin/bash", "-c", commandLine};
    auto variables = environmentWithPath(folder + "/" + kSimToolsSubfolder);
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    envp.reserve(variables.size() + 1);
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, "/bin/bash", &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ShellRun run;
    std::array<pollfd, 2> pipes{pollfd{outPipe[0], POLLIN, 0}, pollfd{errPipe[0], POLLIN, 0}};
    std::array<std::string*, 2> buffers{&run.out, &run.err};
    while (spawned == 0 && (pipes[0].fd >= 0 || pipes[1].fd >= 0)) {
        if (::poll(pipes.data(), pipes.size(), -1) < 0 && errno != EINTR) break;
        for (std::size_t i = 0; i < pipes.size(); ++i) {
            if (pipes[i].fd < 0 || pipes[i].revents == 0) continue;
            std::array<char, 4096> chunk{};
            const ssize_t got = ::read(pipes[i].fd, chunk.data(), chunk.size());
            if (got > 0) {
                buffers[i]->append(chunk.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(pipes[i].fd);
                pipes[i].fd = -1;
            }
        }
    }
    for (const auto& pipe : pipes) {
        if (pipe.fd >= 0) ::close(pipe.fd);
    }
    if (spawned != 0) return std::nullopt;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

std::string withoutFinalLineFeed(std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string promptAnswer(const std::string& folder) {
    std::ifstream in(folder + "/" + kSimAdminPromptFile);
    std::string answer;
    std::getline(in, answer);
    return answer;
}

ScriptAnswer answer(std::string_view script, const std::string& commandLine) {
    const ScriptSpan whole{0, script.size()};
    const char* folder = std::getenv(kSimMacFolderVariable);
    if (folder == nullptr || *folder == '\0') {
        return executionError(script, whole, "There is no simulated Mac to run this on.",
                              kPrivilegeViolation);
    }
    const auto prompt = promptAnswer(folder);
    if (prompt == "cancel") return executionError(script, whole, "User canceled.", kUserCanceled);
    if (prompt != "allow") {
        return executionError(script, whole,
                              "The administrator user name or password was incorrect.",
                              kAuthorizationDenied);
    }
    const auto run = runShell(commandLine, folder);
    if (!run) return executionError(script, whole, "The shell could not be started.", -1);
    if (run->status != 0) {
        auto message = withoutFinalLineFeed(run->err);
        if (message.empty()) message = "The command exited with a non-zero status.";
        return executionError(script, whole, message, run->status);
    }
    const auto result = withoutFinalLineFeed(run->out);
    return result.empty() ? ScriptAnswer{} : returnedText(result);
}

}  // namespace

bool isAdminShellScript(std::string_view script) {
    return command(script).has_value();
}

int runAdminShellScript(std::string_view script, std::ostream& out, std::ostream& err) {
    const auto commandLine = command(script);
    if (!commandLine) return 1;  // not taken by this handler
    const auto result = answer(script, *commandLine);
    out << result.out;
    err << result.err;
    return result.status;
}

}  // namespace kd::osascript
