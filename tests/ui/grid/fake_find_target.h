#pragma once
// A grid stand-in for the find dialog: one text per record, searched in the
// directions of the grid's locate operation; every call is recorded.

#include "ui/grid/find_target.h"

#include <QList>
#include <QStringList>
#include <QWidget>

struct LocateCall {
    QString fieldName;
    QString text;
    ui::LocateOptions options;
    ui::LocateDirection direction;
    ui::LocateMatch match;
};

class FakeFindTarget : public QWidget, public ui::FindTarget {
public:
    QList<ui::FindColumn> columns{
        {"ERRO_CODIGO", "Descripción"}, {"ERRO_CADENA", "Valor"}, {"INTERFAZ", "INTERFAZ"}};
    int current = 0;
    bool open = true;
    QStringList records{"alpha", "beta", "alphabet", "gamma", "ALPHA"};
    int record = 0;
    QList<LocateCall> calls;

    FakeFindTarget() { setFocusPolicy(Qt::StrongFocus); }

    QList<ui::FindColumn> findColumns() const override { return columns; }
    int currentFindColumn() const override { return current; }
    bool hasOpenDataSet() const override { return open; }
    QWidget* findWidget() override { return this; }

    bool locate(const QString& fieldName, const QString& text, ui::LocateOptions options,
                ui::LocateDirection direction, ui::LocateMatch match) override {
        calls.append({fieldName, text, options, direction, match});
        const Qt::CaseSensitivity sensitivity = options.testFlag(ui::LocateOption::CaseInsensitive)
                                                    ? Qt::CaseInsensitive
                                                    : Qt::CaseSensitive;
        const int step = direction == ui::LocateDirection::Up ? -1 : 1;
        for (int at = direction == ui::LocateDirection::All ? 0 : record + step;
             at >= 0 && at < records.size(); at += step) {
            if (records[at].contains(text, sensitivity)) {
                record = at;
                return true;
            }
        }
        return false;
    }
};
