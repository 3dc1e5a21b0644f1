// Our IFC open beside web-ifc's, in one run, on the same files: the real buildings of
// tests/data/ifc and models made of copies of one of them side by side (IfcCopiesGenerator.h).
// Ours: Host::OpenProject from reading the file to the model ready (elements, materials, layers,
// the view fitted), in a process of its own started before the clock. web-ifc: OpenModel and
// StreamAllMeshes with every geometry's arrays taken out, under node, timed inside the script
// (web-ifc-open.js). Peak memory: the largest sum of proportional set sizes of the process and
// its children (so pages a child shares with its parent count once), sampled every 10 ms for two
// seconds, then every 100 ms, or less often when a sample takes over a tenth of that: a short
// open's peak may be missed.
// Without node, or without web-ifc, ours is measured alone.
//
//   bench_ifccompare [--products N,N...] [--copy-of FILE] [--web-ifc DIR] [--keep DIR] [--runs N]
//
// --products   sizes of the generated models (default 10000,30000,100000; 0 for none)
// --copy-of    the building copied (default tests/data/ifc/duplex.ifc, 2.6 MB a copy: 100,000
//              products take 1.1 GB; MULTICOM-Prefab.ifc makes 100,000 products in 390 MB)
// --web-ifc    the folder of web-ifc's package (default $BV_WEB_IFC, else
//              build/tools/web-ifc/node_modules/web-ifc under the source folder, where
//              bench/ifc/install-web-ifc.sh installs it)
// --keep       where the generated files are written and left (default: a temporary folder,
//              removed at the end)
// --runs       runs of each opener on each file; the fastest is reported (default 1)
#include "IfcCopiesGenerator.h"

#include "host/app/Host.h"
#include "host/app/LargeHeapPages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The open measured inside the child: one line "seconds elements".
int OpenOne(const std::string& path) {
    Host host;
    Host::SetCurrent(&host);
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    bool opened = host.OpenProject(path, error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!opened) {
        std::cerr << error << "\n";
        return 1;
    }
    std::printf("%.3f %zu\n", seconds, host.Model().Elements().size());
    std::fflush(stdout);
    Host::SetCurrent(nullptr);
    _exit(0); // the model's teardown is not part of an open
}

std::vector<pid_t> Children(pid_t pid) {
    std::vector<pid_t> out;
    std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    pid_t child;
    while (in >> child) out.push_back(child);
    return out;
}

// Kilobytes of the process and its descendants, each page counted once.
long TreePss(pid_t pid) {
    long total = 0;
    std::vector<pid_t> open{pid};
    while (!open.empty()) {
        pid_t p = open.back();
        open.pop_back();
        std::ifstream in("/proc/" + std::to_string(p) + "/smaps_rollup");
        std::string key;
        long kb;
        while (in >> key) {
            if (key == "Pss:" && in >> kb) {
                total += kb;
                break;
            }
            in.ignore(1 << 20, '\n');
        }
        for (pid_t c : Children(p)) open.push_back(c);
    }
    return total;
}

struct Run {
    bool ok = false;
    double seconds = 0;
    long peakKb = 0;
    std::string line; // what the opener printed
};

Run RunMeasured(const std::vector<std::string>& argv) {
    int out[2];
    if (pipe(out) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    Run run;
    int status = 0;
    const auto start = std::chrono::steady_clock::now();
    while (waitpid(pid, &status, WNOHANG) == 0) {
        const auto before = std::chrono::steady_clock::now();
        run.peakKb = std::max(run.peakKb, TreePss(pid));
        // Often enough for a small file, seldom enough not to slow a large one: reading a large
        // process's page counts takes the kernel long, and holds up the process's own mapping
        // meanwhile, so the pause is at least nine times what the reading took.
        const auto took = std::chrono::steady_clock::now() - before;
        const bool early = before - start < std::chrono::seconds(2);
        std::this_thread::sleep_for(std::max<std::chrono::steady_clock::duration>(std::chrono::milliseconds(early ? 10 : 100), 9 * took));
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) run.line.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !run.line.empty();
    if (run.ok) run.seconds = std::stod(run.line);
    while (!run.line.empty() && run.line.back() == '\n') run.line.pop_back();
    return run;
}

Run Best(const std::vector<std::string>& argv, int runs) {
    Run best;
    for (int i = 0; i < runs; ++i) {
        Run r = RunMeasured(argv);
        if (!r.ok) return r;
        if (!best.ok || r.seconds < best.seconds) {
            long peak = std::max(best.peakKb, r.peakKb);
            best = r;
            best.peakKb = peak;
        }
    }
    return best;
}

std::vector<int> ParseSizes(const std::string& text) {
    std::vector<int> sizes;
    std::stringstream s(text);
    std::string item;
    while (std::getline(s, item, ','))
        if (int n = std::stoi(item); n > 0) sizes.push_back(n);
    return sizes;
}

bool CanRun(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Field(const std::string& line, size_t index) {
    std::stringstream s(line);
    std::string word;
    for (size_t i = 0; i <= index && s >> word; ++i) {
        if (i == index) return word;
    }
    return "?";
}

} // namespace

int main(int argc, char** argv) {
    // Ours opens as the host does, its heap in large pages; web-ifc's node as it is.
    if (argc > 1 && std::strcmp(argv[1], "--open") == 0) RestartWithLargeHeapPages(argv);
    const fs::path source = BV_SOURCE_DIR;
    std::vector<int> sizes{10000, 30000, 100000};
    fs::path copyOf = source / "tests/data/ifc/duplex.ifc";
    std::string webIfc = std::getenv("BV_WEB_IFC") ? std::getenv("BV_WEB_IFC") : (source / "build/tools/web-ifc/node_modules/web-ifc").string();
    std::optional<fs::path> keep;
    int runs = 1;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--open") return OpenOne(next());
        if (a == "--products") sizes = ParseSizes(next());
        else if (a == "--copy-of") copyOf = next();
        else if (a == "--web-ifc") webIfc = next();
        else if (a == "--keep") keep = fs::path(next());
        else if (a == "--runs") runs = std::max(1, std::stoi(next()));
        else {
            std::cerr << "usage: bench_ifccompare [--products N,N...] [--copy-of FILE] [--web-ifc DIR] [--keep DIR] [--runs N]\n";
            return 2;
        }
    }

    const std::string self = fs::canonical("/proc/self/exe").string();
    const std::string script = (source / "bench/ifc/web-ifc-open.js").string();
    const bool withWebIfc = CanRun("node --version") && fs::exists(fs::path(webIfc) / "web-ifc-api-node.js");
    if (!withWebIfc) std::cout << "web-ifc not found (node on the PATH and " << webIfc << "): ours alone\n";

    std::vector<fs::path> files;
    for (const char* name : {"IfcOpenHouse.ifc", "duplex.ifc", "MULTICOM-Prefab.ifc"}) files.push_back(source / "tests/data/ifc" / name);
    const fs::path folder = keep ? *keep : fs::temp_directory_path() / ("bv-ifccompare-" + std::to_string(getpid()));
    fs::create_directories(folder);
    if (!sizes.empty()) {
        const std::string original = ReadAll(copyOf);
        // Products with a body in one copy, counted by opening it.
        Run one = RunMeasured({self, "--open", copyOf.string()});
        const int perCopy = one.ok ? std::stoi(Field(one.line, 1)) : 0;
        if (perCopy <= 0) {
            std::cerr << copyOf << " does not open: " << one.line << "\n";
            return 1;
        }
        for (int products : sizes) {
            const int copies = (products + perCopy - 1) / perCopy;
            fs::path path = folder / (copyOf.stem().string() + "-x" + std::to_string(copies) + ".ifc");
            if (!fs::exists(path)) std::ofstream(path, std::ios::binary) << GenerateIfcCopies(original, {copies, 60});
            files.push_back(path);
        }
    }

    std::printf("%-28s %7s %9s %8s %8s %9s %9s %8s %6s\n", "file", "MB", "elements", "ours s", "ours MB", "web-ifc s", "web MB",
                "products", "ratio");
    for (const fs::path& file : files) {
        const double mb = static_cast<double>(fs::file_size(file)) / 1e6;
        Run ours = Best({self, "--open", file.string()}, runs);
        Run theirs;
        if (withWebIfc) theirs = Best({"node", script, webIfc, file.string()}, runs);
        std::printf("%-28s %7.1f %9s %8s %8.0f", file.filename().string().c_str(), mb, ours.ok ? Field(ours.line, 1).c_str() : "failed",
                    ours.ok ? Field(ours.line, 0).c_str() : "-", static_cast<double>(ours.peakKb) / 1024);
        if (withWebIfc && theirs.ok)
            std::printf(" %9.3f %9.0f %8s %6.2f", theirs.seconds, static_cast<double>(theirs.peakKb) / 1024, Field(theirs.line, 1).c_str(),
                        ours.seconds / theirs.seconds);
        else if (withWebIfc)
            std::printf(" %9s", "failed");
        std::printf("\n");
        std::fflush(stdout);
    }
    if (!keep) fs::remove_all(folder);
    return 0;
}
