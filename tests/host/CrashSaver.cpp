// The writer the crash-consistency test kills: it saves one large file of one kind, through the
// same code the add-on and the host save with, alternating between two known contents. Both
// contents are made once; each writer the test kills is a fork of this process.
//
//   bv_crash_saver KIND PATH
//
// then commands on standard input, one a line, each answered on standard output:
//   save V   saves content V (0 or 1) here, once            -> "saved MICROSECONDS" or "failed"
//   run V    forks a writer that saves V, the other, V, ... until it is killed -> "pid PID",
//            then, once the test killed it and it was reaped, "dead"
//
// KIND: csp (the add-on's schedule project file, TaskDB::SaveProjectFile), qvp (the host project,
// SaveHostProject) or prefs (the preference store, PreferenceStore::Write).
#include "host/model/HostModel.h"
#include "host/prefs/PreferenceStore.h"
#include "host/project/HostProjectFile.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Saver = std::function<bool(int variant)>;

// 10,000 tasks with 120-byte names: a schedule file of about 1.6 MB.
Saver ScheduleSaver(const std::string& path) {
    struct State {
        AnimationSettings settings;
        TaskDB db{settings, nullptr};
        TaskDB other{settings, nullptr};
    };
    auto s = std::make_shared<State>();
    for (TaskDB* db : {&s->db, &s->other}) {
        db->InitTaskDB();
        db->ClearSchedule();
    }
    for (int variant = 0; variant < 2; ++variant) {
        TaskDB& db = variant == 0 ? s->db : s->other;
        for (int32_t i = 1; i <= 10000; ++i) {
            Task t;
            t.id = i;
            t.type = static_cast<ConstructionType>(i % 5);
            t.start = DateTime(2009, 1 + i % 12, 1 + i % 28);
            t.finish = DateTime(2010, 1 + i % 12, 1 + (i + variant) % 28);
            std::string name = (variant == 0 ? "Alap " : "Fal ") + std::to_string(i) + " ";
            name.resize(120, variant == 0 ? 'a' : 'b');
            t.SetName(name);
            db.AppendLoadedTask(t);
        }
    }
    return [s, path](int variant) { return (variant == 0 ? s->db : s->other).SaveProjectFile(path); };
}

// 250 walls with boxes and 2 KB user data blocks: a project file of about 1.1 MB.
Saver ProjectSaver(const std::string& path) {
    auto models = std::make_shared<std::array<HostModel, 2>>();
    for (int variant = 0; variant < 2; ++variant) {
        HostModel& m = (*models)[variant];
        EnsureDefaultPens(m);
        int16_t layer = m.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Falak"));
        for (int i = 0; i < 250; ++i) {
            Element e;
            e.SetKind(1);
            e.SetLayer(layer);
            e.SetIdText((variant == 0 ? "FAL-" : "ABL-") + std::to_string(i));
            e.geometry.shape = Geometry::Shape::Box;
            e.geometry.min = {double(i), 0.0, 0.0};
            e.geometry.max = {double(i) + 0.3, 5.0 + variant, 3.0};
            UserDataBlock ud{103, 0x5757, std::vector<uint8_t>(2048, static_cast<uint8_t>(i + variant * 7))};
            e.userData["Bauvista"] = ud;
            m.AddElement(std::move(e));
        }
    }
    return [models, path](int variant) {
        std::string error;
        bool ok = SaveHostProject((*models)[variant], path, error);
        if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
        return ok;
    };
}

// One record of 640 KB: a store of about 1.3 MB.
Saver PreferenceSaver(const std::string& path) {
    auto store = std::make_shared<PreferenceStore>(path);
    auto bytes = std::make_shared<std::array<std::vector<uint8_t>, 2>>();
    for (int variant = 0; variant < 2; ++variant) {
        (*bytes)[variant].resize(640 * 1024);
        for (size_t i = 0; i < (*bytes)[variant].size(); ++i)
            (*bytes)[variant][i] = static_cast<uint8_t>(i * (variant ? 31 : 17) >> 3);
    }
    return [store, bytes, path](int variant) {
        std::string error;
        bool ok = store->Write("Bauvista", variant, (*bytes)[variant], error);
        if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
        return ok;
    };
}

int Usage() {
    std::fprintf(stderr, "usage: bv_crash_saver csp|qvp|prefs PATH\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Usage();
    const std::string kind = argv[1], path = argv[2];
    Saver save;
    if (kind == "csp") save = ScheduleSaver(path);
    else if (kind == "qvp") save = ProjectSaver(path);
    else if (kind == "prefs") save = PreferenceSaver(path);
    else return Usage();

    char command[64];
    while (std::fgets(command, sizeof command, stdin)) {
        int variant = 0;
        if (std::sscanf(command, "save %d", &variant) == 1) {
            auto start = std::chrono::steady_clock::now();
            bool ok = save(variant != 0);
            auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
            if (ok) std::printf("saved %lld\n", static_cast<long long>(took.count()));
            else std::printf("failed\n");
        } else if (std::sscanf(command, "run %d", &variant) == 1) {
            std::fflush(stdout);
            pid_t writer = ::fork();
            if (writer == 0) {
                for (int v = variant != 0;; v = 1 - v)
                    if (!save(v)) ::_exit(1);
            }
            std::printf("pid %d\n", static_cast<int>(writer));
            std::fflush(stdout);
            int status = 0;
            if (writer > 0) ::waitpid(writer, &status, 0);
            std::printf("dead\n");
        } else {
            return Usage();
        }
        std::fflush(stdout);
    }
    return 0;
}
