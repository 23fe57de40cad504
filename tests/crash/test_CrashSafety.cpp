// A writer killed at any moment must leave Alertes.ini whole: the state after its last finished
// write or after the one it was making, never a mix, a truncated file or nothing, and a backup
// that is a whole earlier state. A child process writes through AlertStore as fast as it can
// and reports each finished write through a pipe; the parent kills it at a random moment, then
// replays the same writes (they follow from a seed) to know what the files may hold.
#include "store/AlertStore.h"
#include "store/TextEncoding.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace zento;
using zento::test::readFile;
using zento::test::TempDir;
using zento::test::writeFile;
namespace fs = std::filesystem;

namespace {

constexpr int kKills = 300;
// On a loaded machine (or a sanitizer build) a write with its fsyncs can take tens of
// milliseconds: the test then stops at this budget, once it has made kMinKills kills.
constexpr int kMinKills = 100;
constexpr auto kBudget = std::chrono::seconds(20);
constexpr auto kLongestDelay = std::chrono::milliseconds(20);
constexpr std::uint32_t kWriteFailed = 0xFFFFFFFFu;

/// One write of the kinds the program makes: a new alert, an edited one, a popup's answer
/// (date and time of an existing alert), a deletion.
struct Op {
    enum class Kind { Add, Rewrite, Answer, Delete } kind = Kind::Add;
    Alerte alert;                                            ///< Add, Rewrite
    std::int32_t id = 0;                                     ///< Answer, Delete
    std::string date, time;                                  ///< Answer
};

/// The alerts as the store should hold them, in file order.
using State = std::vector<Alerte>;

std::string message(std::mt19937& rng, std::uint32_t n) {
    // Lengths vary so that a file cut short cannot pass for a whole one; some texts need UTF-8
    // and switch the file's encoding, the others stay in Windows-1252.
    static const char* const kWords[] = {"réunion", "dentiste", "Noël", "café", "anniversaire 🎂", "Ω"};
    std::string m = "Rappel " + std::to_string(n);
    const int words = static_cast<int>(rng() % 40);
    for (int w = 0; w < words; ++w) {
        m += ' ';
        m += kWords[rng() % std::size(kWords)];
    }
    return m;
}

Alerte makeAlert(std::int32_t id, std::mt19937& rng, std::uint32_t n) {
    Alerte a;
    a.Id = id;
    a.Message = message(rng, n);
    a.AlertDate = std::to_string(1 + rng() % 28) + "/0" + std::to_string(1 + rng() % 9) + "/2027";
    a.Recurrence = std::to_string(rng() % 9);
    a.Emoticon = std::to_string(rng() % 16);
    a.Sound = rng() % 2 ? "Defaut.wav" : "";
    a.BackColor = std::to_string(rng() % 0x1000000);
    a.ForeColor = "0";
    a.AlertTime = rng() % 4 ? "09:30" : "";
    a.LoopSound = "0";
    a.Action = rng() % 3 ? "" : "https://exemple.fr/?n=" + std::to_string(n);
    return a;
}

/// The next write from `state`, applied to it. Never empties the store.
Op nextOp(State& state, std::mt19937& rng, std::uint32_t n) {
    Op op;
    const auto pick = [&] { return static_cast<std::size_t>(rng() % state.size()); };
    const unsigned roll = rng() % 10;
    if (state.size() < 2 || (roll < 3 && state.size() < 12)) {
        std::set<std::int32_t> used;
        for (const Alerte& a : state)
            used.insert(a.Id);
        std::int32_t id = 1;
        while (used.count(id))
            ++id;
        op.kind = Op::Kind::Add;
        op.alert = makeAlert(id, rng, n);
        state.push_back(op.alert);
    } else if (roll < 6) {
        Alerte& a = state[pick()];
        op.kind = Op::Kind::Rewrite;
        op.alert = makeAlert(a.Id, rng, n);
        a = op.alert;
    } else if (roll < 8) {
        Alerte& a = state[pick()];
        op.kind = Op::Kind::Answer;
        op.id = a.Id;
        a.AlertDate = "1" + std::to_string(rng() % 10) + "/12/2027";
        a.AlertTime = "1" + std::to_string(rng() % 10) + ":45";
        op.date = a.AlertDate;
        op.time = a.AlertTime;
    } else {
        const std::size_t at = pick();
        op.kind = Op::Kind::Delete;
        op.id = state[at].Id;
        state.erase(state.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return op;
}

Status apply(AlertStore& store, const Op& op) {
    return store.edit([&](StoreEdit& e) {
        switch (op.kind) {
        case Op::Kind::Add:
        case Op::Kind::Rewrite:
            e.setAlert(op.alert);
            return true;
        case Op::Kind::Answer:
            e.setField(op.id, AlertField::AlertDate, op.date);
            e.setField(op.id, AlertField::AlertTime, op.time);
            return true;
        case Op::Kind::Delete:
            break;
        }
        return e.removeAlert(op.id);
    });
}

/// The child: writes until killed, sending the number of each finished write.
[[noreturn]] void writeUntilKilled(const fs::path& ini, State state, std::uint32_t seed, int out) {
    AlertStore store(ini);
    std::mt19937 rng(seed);
    std::uint32_t n = 0;
    (void)!::write(out, &n, sizeof n); // ready
    for (;;) {
        const Op op = nextOp(state, rng, n + 1);
        if (!apply(store, op)) {
            const std::uint32_t failed = kWriteFailed;
            (void)!::write(out, &failed, sizeof failed);
            ::_exit(2);
        }
        ++n;
        if (::write(out, &n, sizeof n) != sizeof n)
            ::_exit(3);
    }
}

/// Kills and reaps the child however the parent's checks end.
struct Child {
    pid_t pid = -1;
    int from = -1; ///< read end of its pipe
    ~Child() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (from >= 0)
            ::close(from);
    }
};

/// Starts a writer on `ini` from `state`; returns once it is about to write.
void startWriter(Child& child, const fs::path& ini, const State& state, std::uint32_t seed) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    child.pid = ::fork();
    ASSERT_GE(child.pid, 0);
    if (child.pid == 0) {
        ::close(fds[0]);
        writeUntilKilled(ini, state, seed, fds[1]);
    }
    ::close(fds[1]);
    child.from = fds[0];
    std::uint32_t ready = 1;
    ASSERT_EQ(::read(child.from, &ready, sizeof ready), static_cast<ssize_t>(sizeof ready));
    ASSERT_EQ(ready, 0u);
}

/// How long a fresh writer takes per write on this machine and build (a sanitizer build is
/// several times slower), so that the kills spread over its first few writes.
std::chrono::microseconds timePerWrite(const State& state, const std::string& bytes) {
    constexpr int kWrites = 4;
    TempDir scratch;
    writeFile(scratch / "Alertes.ini", bytes);
    Child child;
    startWriter(child, scratch / "Alertes.ini", state, 1);
    const auto start = std::chrono::steady_clock::now();
    std::uint32_t n = 0;
    while (n < kWrites && ::read(child.from, &n, sizeof n) == static_cast<ssize_t>(sizeof n)) {
    }
    const auto spent = std::chrono::steady_clock::now() - start;
    return std::chrono::duration_cast<std::chrono::microseconds>(spent / kWrites);
}

/// Where the parent replays the writes: in memory when the system has a memory file system,
/// since the replay only needs the bytes of each state, not their way to the disk.
class ReplayFolder final {
public:
    ReplayFolder() {
        std::string tmpl = "/dev/shm/zento-replay-XXXXXX";
        std::error_code ec;
        if (fs::is_directory("/dev/shm", ec) && ::mkdtemp(tmpl.data()))
            m_path = tmpl;
        else
            m_path = m_disk.emplace().path();
    }
    ~ReplayFolder() {
        std::error_code ec;
        if (!m_disk)
            fs::remove_all(m_path, ec);
    }
    ReplayFolder(const ReplayFolder&) = delete;
    ReplayFolder& operator=(const ReplayFolder&) = delete;
    const fs::path& path() const { return m_path; }

private:
    std::optional<TempDir> m_disk;
    fs::path m_path;
};

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

} // namespace

TEST(CrashSafety, AKilledWriterLeavesTheOldOrTheNewStoreWhole) {
    TempDir dir;
    const fs::path ini = dir / "Alertes.ini";
    const fs::path backup = dir / "Alertes.ini~";
    ReplayFolder refDir;
    const fs::path refIni = refDir.path() / "Alertes.ini";

    std::mt19937 rng(20270112);
    State state;
    AlertStore store(ini);
    for (std::uint32_t n = 0; n < 3; ++n)
        ASSERT_TRUE(apply(store, nextOp(state, rng, n)));

    // Kills fall anywhere from before the first write to the end of the fourth.
    const std::chrono::microseconds maxDelay =
        std::min<std::chrono::microseconds>(4 * timePerWrite(state, readFile(ini)), kLongestDelay);
    int landedUnacknowledged = 0; // killed between the rename and the report
    std::uint32_t totalWrites = 0;
    std::size_t leftovers = 0;
    const auto start = std::chrono::steady_clock::now();
    int kills = 0;
    for (; kills < kKills && (kills < kMinKills || std::chrono::steady_clock::now() - start < kBudget);
         ++kills) {
        SCOPED_TRACE("kill " + std::to_string(kills));
        const std::uint32_t seed = rng();
        const auto delay = std::chrono::microseconds(rng() % (maxDelay.count() + 1));
        const std::string before = readFile(ini);
        const std::string backupBefore = readFile(backup);
        const std::set<std::string> namesBefore = namesIn(dir.path());

        Child child;
        startWriter(child, ini, state, seed);
        if (HasFatalFailure())
            return;
        std::this_thread::sleep_for(delay);
        ::kill(child.pid, SIGKILL);
        int wstatus = 0;
        ASSERT_EQ(::waitpid(child.pid, &wstatus, 0), child.pid);
        child.pid = -1;
        ASSERT_TRUE(WIFSIGNALED(wstatus) && WTERMSIG(wstatus) == SIGKILL) << "the child ended on its own";
        std::uint32_t n = 0;
        std::uint32_t acked = 0;
        while (::read(child.from, &n, sizeof n) == static_cast<ssize_t>(sizeof n)) {
            ASSERT_NE(n, kWriteFailed) << "a write failed in the child";
            acked = n;
        }

        // Replays the child's writes on a copy to get each state's alerts and exact bytes.
        std::vector<State> states{state};
        std::vector<std::string> bytes{before};
        writeFile(refIni, before);
        AlertStore ref(refIni);
        std::mt19937 childRng(seed);
        for (std::uint32_t k = 1; k <= acked + 1; ++k) {
            State next = states.back();
            ASSERT_TRUE(apply(ref, nextOp(next, childRng, k)));
            states.push_back(std::move(next));
            bytes.push_back(readFile(refIni));
        }

        const std::string after = readFile(ini);
        const auto loaded = store.LoadAllAlerts();
        ASSERT_TRUE(loaded.ok());
        const AlertTable& table = *loaded;
        ASSERT_GT(table.AlertCount(), 0);
        const bool finished = after == bytes[acked];
        const bool inFlight = after == bytes[acked + 1];
        ASSERT_TRUE(finished || inFlight)
            << "after " << acked << " finished writes the file holds neither state:\n"
            << after;
        state = states[finished ? acked : acked + 1];
        ASSERT_EQ(table.alerts(), state);
        if (!finished)
            ++landedUnacknowledged;
        totalWrites += acked;

        // The backup is the state before the last write that reached its rename, or the previous
        // backup when the write in flight had not yet replaced it.
        const std::string backupNow = readFile(backup);
        const std::string previousBackup = acked == 0 ? backupBefore : bytes[acked - 1];
        if (!finished)
            ASSERT_EQ(backupNow, bytes[acked]);
        else
            ASSERT_TRUE(backupNow == previousBackup || backupNow == bytes[acked]);
        ASSERT_GT(AlertStore::tableOfText(decodeStoreBytes(backupNow).utf8).AlertCount(), 0);

        // At most the one temporary file of the write in flight is left, hidden beside the store
        // under a name no load reads.
        std::size_t added = 0;
        for (const std::string& name : namesIn(dir.path())) {
            if (name == "Alertes.ini" || name == "Alertes.ini~" || namesBefore.count(name))
                continue;
            ++added;
            EXPECT_TRUE(name.starts_with(".Alertes.ini")) << name;
        }
        ASSERT_LE(added, 1u);
        leftovers += added;
    }
    // The kills must have hit the writes at their different stages for the test to mean anything:
    // inside (a temporary file is left) and after the rename (the new state, unreported).
    EXPECT_GT(leftovers, 0u);
    EXPECT_GT(landedUnacknowledged, 0);
    std::printf("%d kills within %lld us after %u finished writes: %zu inside a write, %d after its "
                "rename\n",
                kills, static_cast<long long>(maxDelay.count()), totalWrites, leftovers,
                landedUnacknowledged);
}
