#pragma once
// One thing a user does in the window, and a seeded generator of such
// steps. A step carries every choice it needs (which company, which row,
// what text, how a box is answered), so that a sequence replays the same
// way on fresh databases.

#include <QString>
#include <QStringList>

#include <random>
#include <vector>

namespace sequence {

enum class Action {
    SignIn,      // type a company code and leave Cia by Tab or by a click
    ChooseDate,  // type a day into the date picker
    ChoosePoint, // open the points of sale and pick one
    ToggleNiif,  // click ckniif
    F5,
    F2,
    Esc,
    TypeRate,  // click a rate cell and type a number, with or without Enter
    GridKey,   // a navigation or editing key in the adjustments grid
    GridClick, // click a cell of the adjustments grid
    Navigator, // click a navigator button
    Search,    // incremental search in the grid
    Find,      // Ctrl+F twice: the find dialog
};

struct Step {
    Action action = Action::F5;
    int a = 0;          // company, day offset, point, row, key or button
    int b = 0;          // column, or how a field is left
    int answer = 0;     // which button of a box the user presses
    QString text;       // what is typed
    bool enter = false; // Enter after typing

    QString describe() const {
        static const char* const names[] = {
            "SignIn",   "ChooseDate", "ChoosePoint", "ToggleNiif", "F5",     "F2",  "Esc",
            "TypeRate", "GridKey",    "GridClick",   "Navigator",  "Search", "Find"};
        return QStringLiteral("%1(a=%2 b=%3 answer=%4 text=\"%5\" enter=%6)")
            .arg(QLatin1String(names[static_cast<int>(action)]))
            .arg(a)
            .arg(b)
            .arg(answer)
            .arg(text)
            .arg(enter);
    }
};

using Steps = std::vector<Step>;

inline QString describe(const Steps& steps) {
    QStringList lines;
    for (const Step& step : steps)
        lines << QStringLiteral("  ") + step.describe();
    return lines.join(QLatin1Char('\n'));
}

// Grid keys a step may press, by index.
enum GridKeyIndex {
    KeyUp,
    KeyDown,
    KeyPageUp,
    KeyPageDown,
    KeyCtrlHome,
    KeyCtrlEnd,
    KeyInsert,
    KeyCtrlDelete,
    KeyEnter,
    KeyEscape,
    KeyTab,
    GridKeyCount
};

class StepGenerator {
public:
    explicit StepGenerator(unsigned seed) : random_(seed) {}

    Step next() {
        // Weights: the adjustments panel gets most of the user's attention.
        static const std::vector<std::pair<Action, int>> weights = {
            {Action::SignIn, 6},     {Action::ChooseDate, 5}, {Action::ChoosePoint, 5},
            {Action::ToggleNiif, 2}, {Action::F5, 11},        {Action::F2, 6},
            {Action::Esc, 1},        {Action::TypeRate, 14},  {Action::GridKey, 10},
            {Action::GridClick, 7},  {Action::Navigator, 12}, {Action::Search, 3},
            {Action::Find, 2}};
        int total = 0;
        for (const auto& [action, weight] : weights)
            total += weight;
        int pick = pickBelow(total);
        Step step;
        for (const auto& [action, weight] : weights) {
            if (pick < weight) {
                step.action = action;
                break;
            }
            pick -= weight;
        }
        step.answer = pickBelow(4);
        switch (step.action) {
        case Action::SignIn:
            step.a = pickBelow(2);
            step.b = pickBelow(3); // Tab, a click on Tusua, Shift+Tab
            break;
        case Action::ChooseDate:
            step.a = -pickBelow(6); // today and the five days before
            break;
        case Action::ChoosePoint:
            step.a = pickBelow(6);
            break;
        case Action::TypeRate: {
            static const QStringList factors = {"0.6543", "0.9", "1.25", "0.8", "0.7"};
            static const QStringList rates = {"16", "5", "0", "19", "-5"};
            step.a = pickBelow(4);
            step.b = pickBelow(2) == 0 ? 2 : 3; // Porc or Factor
            const QStringList& pool = step.b == 2 ? rates : factors;
            step.text = pool[pickBelow(static_cast<int>(pool.size()))];
            step.enter = pickBelow(3) != 0;
            break;
        }
        case Action::GridKey:
            step.a = pickBelow(GridKeyCount);
            break;
        case Action::GridClick:
            step.a = pickBelow(4);
            step.b = pickBelow(4);
            break;
        case Action::Navigator:
            step.a = pickBelow(7); // First Prior Next Last Insert Delete Cancel
            break;
        case Action::Search:
        case Action::Find: {
            static const QStringList texts = {"1", "16", "5", "0", "0.8"};
            step.text = texts[pickBelow(static_cast<int>(texts.size()))];
            break;
        }
        default:
            break;
        }
        return step;
    }

    Steps take(int count) {
        Steps steps;
        for (int i = 0; i < count; ++i)
            steps.push_back(next());
        return steps;
    }

private:
    int pickBelow(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }

    std::mt19937 random_;
};

} // namespace sequence
