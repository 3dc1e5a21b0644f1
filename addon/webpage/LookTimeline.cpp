#include "webpage/LookTimeline.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr double kDrawnTolerance = 1e-9;

// What a step holds apart from the share drawn, the one number that goes linearly.
bool SameSteady(const PageLook& a, const PageLook& b) {
    PageLook x = a, y = b;
    x.look.drawn = y.look.drawn = 0;
    return x == y;
}

bool OnLine(const PageLook& a, int64_t ma, const PageLook& b, int64_t mb, const PageLook& q, int64_t mq) {
    if (!SameSteady(a, q)) return false;
    const double t = static_cast<double>(mq - ma) / static_cast<double>(mb - ma);
    return std::fabs(a.look.drawn + (b.look.drawn - a.look.drawn) * t - q.look.drawn) <= kDrawnTolerance;
}

class Sampler {
public:
    explicit Sampler(const std::function<PageLook(int64_t)>& lookAt) : lookAt_(lookAt) {}
    const PageLook& At(int64_t m) {
        auto it = points_.find(m);
        if (it == points_.end()) it = points_.emplace(m, lookAt_(m)).first;
        return it->second;
    }
    // Asks between a and b until every stretch between neighbours is one look or a straight line.
    void Refine(int64_t a, int64_t b) {
        if (b - a <= 1) return;
        const int64_t mid = a + (b - a) / 2;
        const PageLook la = At(a), lb = At(b);
        bool straight = SameSteady(la, lb);
        for (int64_t q : {a + 1, a + (b - a) / 4, mid, b - (b - a) / 4, b - 1}) {
            if (!straight) break;
            straight = OnLine(la, a, lb, b, At(q), q);
        }
        if (straight) return;
        Refine(a, mid);
        Refine(mid, b);
    }
    const std::map<int64_t, PageLook>& Points() const { return points_; }

private:
    const std::function<PageLook(int64_t)>& lookAt_;
    std::map<int64_t, PageLook> points_;
};

} // namespace

std::vector<TimelineStep> MakeTimeline(std::vector<int64_t> minutes, const std::function<PageLook(int64_t)>& lookAt) {
    std::sort(minutes.begin(), minutes.end());
    minutes.erase(std::unique(minutes.begin(), minutes.end()), minutes.end());
    if (minutes.empty()) {
        const PageLook only = lookAt(0);
        return {{0, only, false, only}};
    }
    Sampler sampler(lookAt);
    for (int64_t m : minutes) sampler.At(m);
    for (size_t i = 0; i + 1 < minutes.size(); ++i) sampler.Refine(minutes[i], minutes[i + 1]);
    const std::vector<std::pair<int64_t, PageLook>> points(sampler.Points().begin(), sampler.Points().end());

    std::vector<TimelineStep> steps;
    for (size_t i = 0; i < points.size(); ++i) {
        const auto& [m, look] = points[i];
        const bool hasNext = i + 1 < points.size();
        const bool leads = hasNext && SameSteady(look, points[i + 1].second) && !(look == points[i + 1].second);
        if (!steps.empty()) {
            TimelineStep& last = steps.back();
            // The same look held on, or a point on the line its step already draws to the next.
            if (!last.leadsOn && last.look == look && !leads) continue;
            if (last.leadsOn && leads && OnLine(last.look, last.minute, points[i + 1].second, points[i + 1].first, look, m))
                continue;
        }
        steps.push_back({m, look, leads, look});
    }
    for (size_t i = 0; i + 1 < steps.size(); ++i)
        if (steps[i].leadsOn) steps[i].next.look.drawn = steps[i + 1].look.look.drawn;
    return steps;
}
