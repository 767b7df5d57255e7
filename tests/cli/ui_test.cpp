// `standin ui`: the line mode when standard input is not a terminal, and one
// full-screen session driven through a pseudo-terminal as a person would.
#include "cli_support.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace standin::test {
namespace {

TEST(UiLineMode, TypedCommandsQuestionsAndMistakes) {
  struct Case {
    std::string replies; // to the removal's question
    bool removed;
    std::string note; // printed while asking
  };
  const Case cases[] = {
      {"y\n", true, "answer: yes"},
      {"n\n", false, "answer: no"},
      {"\n", false, "answer: no"}, // Enter alone is No
      {"maybe\nyes\n", true, "  please type y or n\n"},
      {"", false, "(end of input: no)"}, // the input ends inside the question
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replies);
    CliDir dir;
    const std::string out = dir / "ui.json";
    const std::string input = "ids\nset 5008 2\nset 1005 1057311\nfrob\nset 4242 1\npress 1002\n" +
                              c.replies + (c.replies.empty() ? "" : "save " + out + "\nquit\n");
    const CliResult result = RunStandin({"ui", Example("studio.json")}, dir, input);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string& o = result.out;
    EXPECT_NE(o.find("  Action to Take: [Generate List v] #5008\n"), std::string::npos)
        << "ids beside controls";
    EXPECT_NE(
        o.find(
            "   5008  drop-down  Action to Take = 1 (Generate List); entries: 0 Identify Plugin, 1 Generate "
            "List, 2 Remove Plugin\n"),
        std::string::npos)
        << o;
    EXPECT_NE(o.find("> frob\nerror: unknown command 'frob' ('help' lists the commands)\n> set 4242 1\n"
                     "error: the dialog has no element 4242\n"),
              std::string::npos)
        << "mistakes explain themselves and the session goes on:\n"
        << o;
    EXPECT_NE(
        o.find(
            "message(36): Are you sure you want to delete the plugin instances?\n  answer yes or no [y/N]: "),
        std::string::npos)
        << o;
    EXPECT_NE(o.find(c.note), std::string::npos) << o;
    EXPECT_EQ(o.find("    0  Tag plugin 1057311 not found. | ") != std::string::npos, c.removed) << o;
    if (!c.replies.empty()) {
      EXPECT_NE(o.find("saved " + out), std::string::npos) << o;
      const CliResult census = RunStandin({"census", out}, dir);
      EXPECT_EQ(census.out.find("1057311") == std::string::npos, c.removed) << census.out;
    }
  }
}

// A terminal the test holds the other end of.
class Terminal {
public:
  explicit Terminal(const std::vector<std::string>& args) {
    struct winsize size {};
    size.ws_row = 32;
    size.ws_col = 100;
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      setenv("TERM", "xterm", 1);
      StandinArgv argv(args);
      execv(ORPHANEX_STANDIN_PATH, argv.data());
      _exit(127);
    }
  }
  ~Terminal() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0)
      close(master_);
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  bool Started() const { return pid_ > 0 && master_ >= 0; }
  void Send(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), ssize_t(keys.size()));
  }

  // Reads until every text has appeared since the last call (escape
  // sequences removed), or 20 s have passed.
  bool WaitFor(const std::vector<std::string>& texts) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (true) {
      const std::string seen = Text(raw_.substr(mark_));
      bool all = true;
      for (const std::string& text : texts)
        all = all && seen.find(text) != std::string::npos;
      if (all) {
        mark_ = raw_.size();
        return true;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !ReadSome(static_cast<int>(left.count())))
        return false;
    }
  }
  std::string Seen() const { return Text(raw_.substr(mark_)); }

  // The exit status once the program ended (within 20 s), else -1.
  int Exit() {
    for (int i = 0; i < 200; ++i) {
      ReadSome(0);
      int raw = 0;
      if (waitpid(pid_, &raw, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
      }
      usleep(100000);
    }
    return -1;
  }

private:
  bool ReadSome(int timeoutMs) {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0)
      return false;
    char buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0)
      return false;
    raw_.append(buffer, static_cast<size_t>(n));
    return true;
  }
  // What was written, without the terminal's control sequences.
  static std::string Text(const std::string& raw) {
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
      const char c = raw[i];
      if (c != '\033') {
        if (c >= ' ' || c == '\n')
          text += c;
        continue;
      }
      if (i + 1 >= raw.size())
        break;
      const char kind = raw[++i];
      if (kind == '[') { // CSI: parameters up to a final byte
        while (i + 1 < raw.size() && !(raw[i + 1] >= 0x40 && raw[i + 1] <= 0x7e))
          ++i;
        ++i;
      } else if (kind == ']') { // OSC: up to BEL or ST
        while (i + 1 < raw.size() && raw[i + 1] != '\a' && raw[i + 1] != '\033')
          ++i;
        ++i;
      } else if (kind == '(' || kind == ')') {
        ++i;
      }
    }
    return text;
  }

  pid_t pid_ = -1;
  int master_ = -1;
  bool exited_ = false;
  std::string raw_;
  size_t mark_ = 0;
};

TEST(UiScreen, ASessionThroughATerminal) {
  Terminal terminal({"ui", Example("studio.json")});
  ASSERT_TRUE(terminal.Started());
  // The dialog drawn, the focus on its first control, the keys shown.
  ASSERT_TRUE(terminal.WaitFor(
      {"Orphanex", "Action to Take:", "[Process]", "Object With Tag", "? help", "[set 5008 1]"}))
      << terminal.Seen();
  // Typing a number goes to the Plugin ID field; Tab moves to Process,
  // Enter presses it: the list fills.
  terminal.Send("1057311\r");
  ASSERT_TRUE(terminal.WaitFor({"[set 1005 1057311]"})) << terminal.Seen();
  terminal.Send("\t\r");
  ASSERT_TRUE(terminal.WaitFor({"Backdrop", "Drift Dynamics.1", "Camera"})) << terminal.Seen();
  // A mistake explains itself.
  terminal.Send("x");
  ASSERT_TRUE(terminal.WaitFor({"that key does nothing here"})) << terminal.Seen();
  // Remove, through a typed command; the warning waits for the answer.
  terminal.Send(":set 5008 2\r");
  ASSERT_TRUE(terminal.WaitFor({"Remove Plugin"})) << terminal.Seen();
  terminal.Send("\r");
  ASSERT_TRUE(terminal.WaitFor({"Question", "Are you sure you want to delete the plugin instances?"}))
      << terminal.Seen();
  terminal.Send("y");
  ASSERT_TRUE(terminal.WaitFor({"Tag plugin 1057311 not found."})) << terminal.Seen();
  // Quitting with unsaved changes asks first.
  terminal.Send("q");
  ASSERT_TRUE(terminal.WaitFor({"Quit without saving them?"})) << terminal.Seen();
  terminal.Send("y");
  EXPECT_EQ(terminal.Exit(), 0);
}

} // namespace
} // namespace standin::test
