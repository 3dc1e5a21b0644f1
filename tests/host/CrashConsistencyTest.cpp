// Crash consistency of every large file the add-on and the host save: a writer forked by
// bv_crash_saver saves a schedule project file, a host project or the preference store over and
// over, alternating between two known contents, and is killed with SIGKILL at random moments
// (seeded; a bounded count and time per kind). After each kill the file is byte for byte one of
// the two contents, at most the killed writer's own temporary lies beside it, and the next save
// leaves the file alone in its folder.
#include "HostTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string SaverPath() {
    const char* path = std::getenv("BV_CRASH_SAVER");
    return path ? path : "bv_crash_saver";
}

// A running bv_crash_saver with pipes to its standard input and output.
class Saver {
public:
    Saver(const std::string& kind, const std::string& path) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        std::string exe = SaverPath();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[0]), ::close(in[1]), ::close(out[0]), ::close(out[1]);
            ::execl(exe.c_str(), exe.c_str(), kind.c_str(), path.c_str(), (char*)nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
    }
    ~Saver() {
        if (toChild_ >= 0) ::close(toChild_); // the saver ends at the end of its input
        if (fromChild_ >= 0) ::close(fromChild_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    bool Started() const { return pid_ > 0; }
    // Sends a command and returns the first line of the answer, without its end.
    std::string Ask(const std::string& command) {
        std::string line = command + "\n";
        if (::write(toChild_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return {};
        return ReadLine();
    }
    std::string ReadLine() {
        std::string line;
        char c = 0;
        while (::read(fromChild_, &c, 1) == 1 && c != '\n') line.push_back(c);
        return line;
    }

private:
    pid_t pid_ = -1;
    int toChild_ = -1, fromChild_ = -1;
};

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsTemporaryOf(const std::string& name, const std::string& fileName, pid_t writer) {
    const std::string prefix = "." + fileName + "." + std::to_string(writer) + "-";
    return name.compare(0, prefix.size(), prefix) == 0 && name.size() > prefix.size() + 4 &&
           name.compare(name.size() - 4, 4, ".tmp") == 0;
}

struct Figures {
    int kills = 0;
    int midSave = 0; // kills that left the writer's temporary behind
};

long long Micros(const std::string& answer) {
    return answer.rfind("saved ", 0) == 0 ? std::atoll(answer.c_str() + 6) : -1;
}

Figures KillWhileSaving(const std::string& kind, const std::string& fileName, uint32_t seed) {
    TempFolder folder;
    const fs::path sub = folder.Root() / "saves";
    fs::create_directories(sub);
    const std::string target = (sub / fileName).string();
    Figures figures;
    Saver saver(kind, target);
    if (!saver.Started()) {
        ADD_FAILURE() << kind << ": bv_crash_saver did not start";
        return figures;
    }
    // The two contents, each from a clean save.
    std::string bytes[2];
    long long saveMicros = 0;
    for (int variant : {1, 0}) {
        long long took = Micros(saver.Ask("save " + std::to_string(variant)));
        if (took < 0) {
            ADD_FAILURE() << kind << ": a clean save failed";
            return figures;
        }
        saveMicros = std::max(saveMicros, took);
        bytes[variant] = ReadWholeFile(target);
    }
    EXPECT_GT(bytes[0].size(), 1000000u) << kind << ": not a large file";
    EXPECT_NE(bytes[0], bytes[1]);

    std::mt19937 random(seed);
    // Half the kills at any moment within the first saves, half once a temporary is there, so
    // that some writers surely die in the middle of writing.
    std::uniform_int_distribution<long long> anyMoment(0, std::max(2 * saveMicros, 1000LL));
    std::uniform_int_distribution<long long> whileWriting(0, 2000);
    const auto deadline = Clock::now() + std::chrono::seconds(4);
    const int maxKills = 25, minKills = 10;
    while (figures.kills < maxKills && (figures.kills < minKills || Clock::now() < deadline)) {
        const int first = figures.kills % 2;
        const bool waitForTemporary = figures.kills % 4 >= 2;
        std::string answer = saver.Ask("run " + std::to_string(first));
        pid_t writer = answer.rfind("pid ", 0) == 0 ? static_cast<pid_t>(std::atoi(answer.c_str() + 4)) : 0;
        if (writer <= 0) {
            ADD_FAILURE() << kind << ": no writer: " << answer;
            break;
        }
        if (waitForTemporary) {
            const auto giveUp = Clock::now() + std::chrono::microseconds(std::max(3 * saveMicros, 1000000LL));
            bool seen = false;
            while (!seen && Clock::now() < giveUp)
                for (const std::string& name : FolderEntries(sub)) seen = seen || IsTemporaryOf(name, fileName, writer);
            std::this_thread::sleep_for(std::chrono::microseconds(whileWriting(random)));
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(anyMoment(random)));
        }
        ::kill(writer, SIGKILL);
        if (saver.ReadLine() != "dead") {
            ADD_FAILURE() << kind << ": the saver is gone";
            break;
        }
        ++figures.kills;

        std::string after = ReadWholeFile(target);
        EXPECT_TRUE(after == bytes[0] || after == bytes[1])
            << kind << ": after kill " << figures.kills << " the file is neither content (" << after.size()
            << " bytes)";
        // Besides the file, only the killed writer's own temporary may be there.
        for (const std::string& name : FolderEntries(sub)) {
            if (name == fileName) continue;
            bool own = IsTemporaryOf(name, fileName, writer);
            EXPECT_TRUE(own) << kind << ": " << name << " after kill " << figures.kills;
            if (own) ++figures.midSave;
        }
        // The next save sweeps the dead writer's temporary and puts its content in place whole.
        const int next = figures.kills % 2;
        EXPECT_GE(Micros(saver.Ask("save " + std::to_string(next))), 0) << kind;
        EXPECT_EQ(FolderEntries(sub), std::vector<std::string>{fileName}) << kind << ", after kill " << figures.kills;
        EXPECT_TRUE(ReadWholeFile(target) == bytes[next]) << kind << ", after kill " << figures.kills;
    }
    return figures;
}

uint32_t Seed() {
    const char* text = std::getenv("BV_CRASH_SEED");
    return text ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : 20090302u;
}

void KillAndCheck(const char* kind, const char* fileName, uint32_t salt) {
    uint32_t seed = Seed() + salt;
    Figures f = KillWhileSaving(kind, fileName, seed);
    std::printf("%s: %d kills, %d during a save (seed %u)\n", kind, f.kills, f.midSave, seed);
    EXPECT_GE(f.kills, 10);
    // Without writers that died holding their temporary the test would prove nothing.
    EXPECT_GE(f.midSave, 1) << kind << ": no kill landed during a save";
}

} // namespace

TEST(CrashConsistency, ScheduleProjectFile) { KillAndCheck("csp", "terv.csp", 1); }
TEST(CrashConsistency, HostProject) { KillAndCheck("qvp", "haz.qvp", 2); }
TEST(CrashConsistency, PreferenceStore) { KillAndCheck("prefs", "preferences", 3); }
