#include "linking/RuleApplication.h"

#include "linking/WildcardPattern.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {

// An element pattern with the task's own fields left open: {name}, {id} and {wbs}. What a field
// brings in stands for itself, so a `*` in a task's name is no wildcard.
class PatternTemplate {
public:
    explicit PatternTemplate(std::string_view text) {
        std::string pending;
        for (size_t i = 0; i < text.size(); ++i) {
            Field field = text[i] == '{' ? FieldAt(text.substr(i)) : Field::None;
            if (field == Field::None) {
                pending.push_back(text[i]);
                continue;
            }
            pieces_.push_back({Field::None, std::move(pending)});
            pending.clear();
            pieces_.push_back({field, {}});
            perTask_ = true;
            i = text.find('}', i);
        }
        pieces_.push_back({Field::None, std::move(pending)});
        if (!perTask_) fixed_ = WildcardPattern(pieces_.front().text);
    }

    bool PerTask() const { return perTask_; }
    const WildcardPattern& Fixed() const { return fixed_; }
    // None when the task lacks a field the pattern uses (`wbs`: its outline code, empty for none).
    std::optional<WildcardPattern> For(const Task& task, const std::string& wbs) const {
        WildcardPattern p;
        for (const Piece& piece : pieces_) {
            switch (piece.field) {
            case Field::None: p.AppendPattern(piece.text); break;
            case Field::Name: p.AppendLiteral(task.Name()); break;
            case Field::Id: p.AppendLiteral(std::to_string(task.id)); break;
            case Field::Wbs:
                if (wbs.empty()) return std::nullopt; // a pattern that needs one matches nothing
                p.AppendLiteral(wbs);
                break;
            }
        }
        return p;
    }

private:
    enum class Field { None, Name, Id, Wbs };
    struct Piece {
        Field field;
        std::string text;
    };
    static Field FieldAt(std::string_view text) {
        auto is = [&](std::string_view name) {
            return text.size() >= name.size() && FoldedCp1250(text.substr(0, name.size())) == name;
        };
        if (is("{name}")) return Field::Name;
        if (is("{id}")) return Field::Id;
        if (is("{wbs}")) return Field::Wbs;
        return Field::None;
    }

    std::vector<Piece> pieces_;
    bool perTask_ = false;
    WildcardPattern fixed_;
};

struct Condition {
    enum class What { Kinds, Linked, Unlinked, Values } what = What::Values;
    std::vector<int32_t> kinds;
    const FactTable::Column* column = nullptr; // none: no element has the key
    PatternTemplate pattern{""};
};

Condition Compile(const RuleCondition& rc, const FactTable& table) {
    Condition c;
    std::string key = CanonicalRuleKey(rc.key);
    if (key == "kind") {
        c.what = Condition::What::Kinds;
        ParseKindList(rc.pattern, c.kinds);
    } else if (key == "linked") {
        c.what = Condition::What::Linked;
    } else if (key == "unlinked") {
        c.what = Condition::What::Unlinked;
    } else {
        c.column = table.Find(key);
        c.pattern = PatternTemplate(rc.pattern);
    }
    return c;
}

// The tasks a rule names, in schedule order, each id once; only usable ids (1 and above).
std::vector<const Task*> NamedTasks(const LinkRule& rule, const std::vector<Task>& tasks) {
    std::vector<const Task*> named;
    std::unordered_set<int32_t> seen;
    WildcardPattern namePattern(rule.taskName);
    std::vector<int32_t> ids = rule.taskIds;
    std::sort(ids.begin(), ids.end());
    for (const Task& t : tasks) {
        if (t.id < 1 || seen.count(t.id)) continue;
        bool take = rule.tasks == RuleTasks::Each ||
                    (rule.tasks == RuleTasks::ById && std::binary_search(ids.begin(), ids.end(), t.id)) ||
                    (rule.tasks == RuleTasks::ByName && namePattern.Matches(t.Name()));
        if (!take) continue;
        seen.insert(t.id);
        named.push_back(&t);
    }
    return named;
}

// Whether an element holds a value the pattern matches; each value is tried once per pattern.
class ValueTest {
public:
    explicit ValueTest(const FactTable::Column& column)
        : column_(column), tried_(column.values.size(), UINT32_MAX), result_(column.values.size(), 0) {}
    // `serial` names the pattern: a new one forgets what the last one matched.
    bool Holds(size_t element, const WildcardPattern& pattern, uint32_t serial) {
        for (uint32_t v : column_.ValuesOf(element)) {
            if (tried_[v] != serial) {
                tried_[v] = serial;
                result_[v] = pattern.MatchesFolded(column_.values[v]) ? 1 : 0;
            }
            if (result_[v]) return true;
        }
        return false;
    }

private:
    const FactTable::Column& column_;
    std::vector<uint32_t> tried_;
    std::vector<uint8_t> result_;
};

class RuleRun {
public:
    RuleRun(const LinkRule& rule, const std::vector<int32_t>& ruleIds, std::vector<ElementLink>& links,
            RulesResult& result, RuleCounts& counts)
        : rule_(rule), links_(links), result_(result), counts_(counts), ruleIds_(ruleIds) {}

    // A condition on the element's links: only links to tasks other than those the rule gives
    // this element count, so the rules applied again find what they linked the first time.
    void Require(Condition::What what) { (what == Condition::What::Linked ? linked_ : unlinked_) = true; }

    // Gives the element the tasks' ids, in order, after a replacing rule took away its others.
    void Link(size_t e, const std::vector<int32_t>& ids) {
        const ElementLink& old = links_[e];
        if (linked_ || unlinked_) {
            bool others = std::any_of(old.begin(), old.end(), [&](int32_t s) {
                return s != 0 && std::find(ids.begin(), ids.end(), s) == ids.end();
            });
            if ((linked_ && !others) || (unlinked_ && others)) return;
        }
        ElementLink next{};
        size_t used = 0;
        for (int32_t s : old) {
            if (s == 0) continue;
            if (rule_.replace && std::binary_search(ruleIds_.begin(), ruleIds_.end(), s) &&
                std::find(ids.begin(), ids.end(), s) == ids.end()) {
                ++counts_.unlinked;
                continue;
            }
            next[used++] = s;
        }
        bool gained = false, left = false, had = true;
        for (int32_t id : ids) {
            if (std::find(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(used), id) !=
                next.begin() + static_cast<std::ptrdiff_t>(used))
                continue;
            had = false;
            if (used == next.size()) {
                left = true;
                continue;
            }
            next[used++] = id;
            gained = true;
        }
        links_[e] = next;
        result_.reached[e] = 1;
        if (gained) ++counts_.linked;
        if (left) ++counts_.full;
        if (had) ++counts_.already;
    }

private:
    const LinkRule& rule_;
    std::vector<ElementLink>& links_;
    RulesResult& result_;
    RuleCounts& counts_;
    const std::vector<int32_t>& ruleIds_; // ascending
    bool linked_ = false, unlinked_ = false;
};

// Clears `mask` where the element fails a condition that does not depend on the task.
void Filter(const Condition& c, const FactTable& table, std::vector<uint8_t>& mask) {
    std::vector<uint8_t> matches;
    if (c.what == Condition::What::Values && c.column) {
        matches.resize(c.column->values.size());
        for (size_t v = 0; v < matches.size(); ++v) matches[v] = c.pattern.Fixed().MatchesFolded(c.column->values[v]);
    }
    for (size_t e = 0; e < mask.size(); ++e) {
        if (!mask[e]) continue;
        bool keep = false;
        switch (c.what) {
        case Condition::What::Kinds:
            keep = std::find(c.kinds.begin(), c.kinds.end(), table.Kind(e)) != c.kinds.end();
            break;
        case Condition::What::Linked:
        case Condition::What::Unlinked: keep = true; break; // the rule's own links decide (RuleRun)
        case Condition::What::Values:
            if (c.column)
                for (uint32_t v : c.column->ValuesOf(e)) keep = keep || matches[v];
            break;
        }
        mask[e] = keep ? 1 : 0;
    }
}

// The elements of the mask the task's patterns match, ascending.
std::vector<uint32_t> ElementsForTask(const std::vector<const Condition*>& perTask,
                                      const std::vector<WildcardPattern>& patterns, const std::vector<uint8_t>& mask,
                                      const std::vector<uint32_t>& firstValues, std::vector<ValueTest>& tests,
                                      uint32_t serial) {
    const FactTable::Column& column = *perTask[0]->column;
    std::vector<uint32_t> found;
    auto take = [&](uint32_t v) {
        for (uint32_t e : column.elementsOf[v])
            if (mask[e]) found.push_back(e);
    };
    if (patterns[0].IsLiteral()) {
        if (auto it = column.byText.find(patterns[0].Folded()); it != column.byText.end()) take(it->second);
    } else {
        size_t matched = 0;
        for (uint32_t v : firstValues)
            if (patterns[0].MatchesFolded(column.values[v])) {
                take(v);
                ++matched;
            }
        if (matched > 1) {
            std::sort(found.begin(), found.end());
            found.erase(std::unique(found.begin(), found.end()), found.end());
        }
    }
    std::erase_if(found, [&](uint32_t e) {
        for (size_t j = 1; j < perTask.size(); ++j)
            if (!tests[j].Holds(e, patterns[j], serial)) return true;
        return false;
    });
    return found;
}

} // namespace

RulesResult ApplyLinkRules(const LinkRules& rules, const std::vector<Task>& tasks, const FactTable& table,
                           std::vector<ElementLink>& links, const std::vector<std::string>& wbs) {
    static const std::string kNoWbs;
    const size_t n = table.Size();
    RulesResult result;
    result.reached.assign(n, 0);
    result.gained.assign(n, 0);
    const std::vector<ElementLink> before = links;
    uint32_t serial = 0;
    for (const LinkRule& rule : rules.rules) {
        RuleCounts& counts = result.rules.emplace_back();
        std::vector<const Task*> named = NamedTasks(rule, tasks);
        counts.tasks = named.size();
        if (named.empty()) continue;

        std::vector<int32_t> ruleIds;
        for (const Task* t : named) ruleIds.push_back(t->id);
        std::sort(ruleIds.begin(), ruleIds.end());
        counts.taskIds = ruleIds;
        std::vector<Condition> conditions;
        for (const RuleCondition& rc : rule.elements) conditions.push_back(Compile(rc, table));
        std::vector<uint8_t> mask(n, 1);
        std::vector<const Condition*> perTask;
        RuleRun run(rule, ruleIds, links, result, counts);
        bool none = false;
        for (const Condition& c : conditions) {
            if (c.what == Condition::What::Values && !c.column) none = true;
            else if (c.what == Condition::What::Values && c.pattern.PerTask()) perTask.push_back(&c);
            else if (c.what == Condition::What::Linked || c.what == Condition::What::Unlinked) run.Require(c.what);
            else Filter(c, table, mask);
        }
        if (none) continue;

        if (perTask.empty()) {
            std::vector<int32_t> ids;
            for (const Task* t : named) ids.push_back(t->id);
            for (size_t e = 0; e < n; ++e)
                if (mask[e]) run.Link(e, ids);
            continue;
        }

        // Task by task, the elements each one's patterns match; then element by element, its tasks
        // in schedule order.
        std::vector<uint32_t> firstValues; // the values the mask's elements hold of the first key
        {
            const FactTable::Column& column = *perTask[0]->column;
            std::vector<uint8_t> held(column.values.size(), 0);
            for (size_t e = 0; e < n; ++e)
                if (mask[e])
                    for (uint32_t v : column.ValuesOf(e)) held[v] = 1;
            for (uint32_t v = 0; v < held.size(); ++v)
                if (held[v]) firstValues.push_back(v);
        }
        std::vector<ValueTest> tests;
        for (const Condition* c : perTask) tests.emplace_back(*c->column);
        std::vector<std::pair<uint32_t, uint32_t>> pairs; // element, task's place in `named`
        for (size_t k = 0; k < named.size(); ++k) {
            std::vector<WildcardPattern> patterns;
            for (const Condition* c : perTask) {
                const size_t index = static_cast<size_t>(named[k] - tasks.data());
                std::optional<WildcardPattern> p = c->pattern.For(*named[k], index < wbs.size() ? wbs[index] : kNoWbs);
                if (!p) break;
                patterns.push_back(std::move(*p));
            }
            if (patterns.size() != perTask.size()) continue;
            for (uint32_t e : ElementsForTask(perTask, patterns, mask, firstValues, tests, ++serial))
                pairs.emplace_back(e, static_cast<uint32_t>(k));
        }
        std::sort(pairs.begin(), pairs.end());
        std::vector<int32_t> ids;
        for (size_t i = 0; i < pairs.size();) {
            uint32_t e = pairs[i].first;
            ids.clear();
            for (; i < pairs.size() && pairs[i].first == e; ++i) ids.push_back(named[pairs[i].second]->id);
            run.Link(e, ids);
        }
    }
    for (size_t e = 0; e < n; ++e)
        for (int32_t s : links[e])
            if (s != 0 && std::find(before[e].begin(), before[e].end(), s) == before[e].end()) result.gained[e] = 1;
    return result;
}
