#pragma once
// The "Find elements" dock: conditions built from pop-ups filled with what the model holds (its
// classes, storeys, layers, materials and property names and their values), the number of
// elements that meet them all as the user types, and what to do with them: select, isolate
// (the views show only them until shown all again) or zoom to them.
#include "host/app/ElementQuery.h"
#include "host/app/Host.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

class FindPanel : public QWidget {
    Q_OBJECT
public:
    FindPanel(Host& host, QWidget* parent);

    // The model changed: the pop-ups are filled again and the count follows.
    void Refresh();
    void AddCondition(const QString& key = {}, const QString& value = {});
    size_t Count() const { return result_.size(); }
    const std::vector<Element*>& Result() const { return result_; }
    QPushButton* SelectButton() const { return select_; }
    QPushButton* IsolateButton() const { return isolate_; }
    QPushButton* ZoomButton() const { return zoom_; }

    std::function<void()> selectionChanged;
    std::function<void(std::optional<std::unordered_set<API_Guid, API_GuidHash>>)> isolate;
    std::function<void(const std::vector<Element*>&)> zoomTo;

private:
    struct Row {
        QWidget* box;
        QComboBox* key;
        QComboBox* value;
    };
    void FillValues(Row& row);
    void Recount();
    std::vector<ElementCondition> Conditions(QString& error) const;

    Host& host_;
    QVBoxLayout* rowsLayout_ = nullptr;
    std::vector<Row> rows_;
    QLabel* count_ = nullptr;
    QPushButton *select_ = nullptr, *isolate_ = nullptr, *zoom_ = nullptr;
    std::vector<Element*> result_;
    bool isolating_ = false;
};
