#pragma once
// What each task's work weighs, by the elements linked to it: how many, or the sum of a quantity
// their building model gives (a Qto_ volume, area or length, by its key).
#include "linking/ElementFacts.h"

#include <string>
#include <vector>

class TaskDB;

// By task index. With an empty key each linked element weighs 1; otherwise the element's fact of
// that key (letter case aside) read as a number, nothing where it has none. An element linked to
// several tasks weighs for each.
std::vector<double> TaskWeights(TaskDB& db, IElementFacts& facts, const std::string& key);
