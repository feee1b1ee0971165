// Edits of the point table: one cell, many cells at once, and blocks to and from spreadsheets.

#include "table/PointTableModel.h"

#include "table/PointTableRows.h"

#include "core/Error.h"
#include "model/enumDisplayStyle.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <climits>
#include <map>
#include <set>

namespace vq {

namespace {

const QString kTwinSeparator = QStringLiteral("  ");

bool needsQuotes(const QString& cell) {
    return cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') || cell.contains(u'"');
}

// The position (from 1) of the list pair named `text`; 0 for none.
int namePosition(const ComboEntries& list, const QString& text) {
    for (int i = 1; i <= list.Count(); ++i)
        if (list.GetNameByIndex(i).compare(text, Qt::CaseInsensitive) == 0) return i;
    return 0;
}

// The pair named `text`, else the pair holding it as its value; 0 for none.
int listPosition(const ComboEntries& list, const QString& text) {
    if (const int named = namePosition(list, text)) return named;
    for (int i = 1; i <= list.Count(); ++i)
        if (list.GetValueByIndex(i).toString().compare(text, Qt::CaseInsensitive) == 0) return i;
    return 0;
}

}  // namespace

// ---- spreadsheet blocks ----

std::vector<QStringList> parseTabSeparated(const QString& text) {
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool cellStart = true;  // nothing of the cell read yet: a quote here opens a quoted cell
    bool rowOpen = false;   // something read since the last line break
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                cell += c;
            else if (i + 1 < text.size() && text[i + 1] == u'"')
                cell += text[++i];
            else
                quoted = false;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        if (c == u'\n') {
            row << cell;
            rows.push_back(row);
            row.clear();
            cell.clear();
            cellStart = true;
            rowOpen = false;
            continue;
        }
        rowOpen = true;
        if (c == u'\t') {
            row << cell;
            cell.clear();
            cellStart = true;
            continue;
        }
        if (c == u'"' && cellStart) {
            quoted = true;
            cellStart = false;
            continue;
        }
        cellStart = false;
        cell += c;
    }
    if (rowOpen) {
        row << cell;
        rows.push_back(row);
    }
    return rows;
}

QString tabSeparated(const std::vector<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0) text += u'\t';
            const QString& cell = row[i];
            text +=
                needsQuotes(cell) ? u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"' : cell;
        }
        text += u'\n';
    }
    return text;
}

// As the editors hand it over: a list editor the value of the chosen name, the twin editor the
// number under the twin its list shows ("5  Percent of span" as the cell shows it), a text box
// its text.
std::pair<Variant, QString> valueFromText(PropSheetEntry& entry, const QString& text) {
    const ComboEntries& list = entry.ValueList();
    switch (entry.DisplayStyle()) {
        case stylecombo:
        case styleonoffswitch:
            if (const int at = listPosition(list, text.trimmed())) return {list.GetValueByIndex(at), {}};
            break;
        case styletxtcombofortwin: {
            const qsizetype split = text.lastIndexOf(kTwinSeparator);
            if (split < 0) break;
            if (const int at = namePosition(list, text.mid(split + kTwinSeparator.size()).trimmed()))
                return {Variant(text.left(split).trimmed()), list.GetValueByIndex(at).toString()};
            break;
        }
        default:
            break;
    }
    return {Variant(text), {}};
}

// ---- one cell ----

// A class without the attribute is known from the prototype, so such cells make no entries.
CellEditOutcome PointTableModelPrivate::applyText(int index, int column, const QString& text) {
    const QString attribute = q->attributeAt(column);
    if (attribute.isEmpty() || index < 0 || index >= int(rows.size())) return CellEditOutcome::Skipped;
    ensureLoaded(index);
    if (row(index).unreadable || !cellEntry(index, column)) return CellEditOutcome::Skipped;
    return silently(CellEditOutcome::Skipped, [&] {
        const PropSheetEntryPtr entry = makeEntries(index).find(attribute);
        if (!entry || entry->GetReadOnly() || entry->IsSystemAttribute()) return CellEditOutcome::Skipped;
        const auto [value, name] = valueFromText(*entry, text);
        // A column of the twin name takes the text in the twin's unit.
        const bool twinColumn = entry->PrimaryAttributeName().compare(attribute, Qt::CaseInsensitive) != 0;
        if (!entry->SetValue(value, name.isEmpty() && twinColumn ? attribute : name))
            return CellEditOutcome::Skipped;
        return entry->IsValid() ? CellEditOutcome::Set : CellEditOutcome::Invalid;
    });
}

void PointTableModelPrivate::count(PointTableEditReport& report, CellEditOutcome outcome) {
    switch (outcome) {
        case CellEditOutcome::Invalid:
            ++report.invalid;
            [[fallthrough]];
        case CellEditOutcome::Set:
            ++report.set;
            break;
        case CellEditOutcome::Skipped:
            ++report.skipped;
            break;
        case CellEditOutcome::Unchanged:
            break;
    }
}

PointTableEditReport PointTableModelPrivate::bulk(
    const std::function<void(PointTableEditReport&, int& top, int& bottom)>& edit) {
    PointTableEditReport report;
    int top = INT_MAX;
    int bottom = -1;
    {
        const QScopedValueRollback holding(bulkEdit, true);
        edit(report, top, bottom);
    }
    rowsChanged(top, bottom);
    if (report.set > 0) Q_EMIT q->pendingChanged();
    return report;
}

bool PointTableModel::setCellText(const QModelIndex& index, const QString& text) {
    if (!index.isValid()) return false;
    const CellEditOutcome outcome = d->applyText(index.row(), index.column(), text);
    return outcome == CellEditOutcome::Set || outcome == CellEditOutcome::Invalid;
}

// ---- many cells ----

PointTableEditReport PointTableModel::setCells(const QModelIndexList& cells, const QString& text) {
    return d->bulk([&](PointTableEditReport& report, int& top, int& bottom) {
        for (const QModelIndex& cell : cells) {
            d->count(report, d->applyText(cell.row(), cell.column(), text));
            top = std::min(top, cell.row());
            bottom = std::max(bottom, cell.row());
        }
    });
}

PointTableEditReport PointTableModel::fillDown(const QModelIndexList& cells) {
    std::map<int, std::set<int>> rowsOfColumn;
    for (const QModelIndex& cell : cells) rowsOfColumn[cell.column()].insert(cell.row());
    return d->bulk([&](PointTableEditReport& report, int& top, int& bottom) {
        for (const auto& [column, rows] : rowsOfColumn) {
            const int source = *rows.begin();
            d->ensureLoaded(source);
            // A blank from a class without the attribute is no value to copy.
            const bool copyable = !(d->cellState(source, column) & Unavailable);
            const QString text = d->cellText(source, column);
            for (auto row = std::next(rows.begin()); row != rows.end(); ++row) {
                d->count(report, copyable ? d->applyText(*row, column, text) : CellEditOutcome::Skipped);
                top = std::min(top, *row);
                bottom = std::max(bottom, *row);
            }
        }
    });
}

PointTableEditReport PointTableModel::paste(const QModelIndex& topLeft, const QString& text,
                                            const QModelIndexList& selection) {
    const std::vector<QStringList> block = parseTabSeparated(text);
    if (block.empty() || !topLeft.isValid()) return {};
    if (block.size() == 1 && block.front().size() == 1 && selection.size() > 1)
        return setCells(selection, block.front().front());
    return d->bulk([&](PointTableEditReport& report, int& top, int& bottom) {
        for (size_t i = 0; i < block.size(); ++i) {
            const int row = topLeft.row() + int(i);
            for (qsizetype j = 0; j < block[i].size(); ++j) {
                const int column = topLeft.column() + int(j);
                if (row >= rowCount() || column >= columnCount()) {
                    ++report.skipped;
                    continue;
                }
                d->count(report, d->applyText(row, column, block[i][j]));
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
        }
    });
}

QString PointTableModel::copy(const QModelIndexList& cells) const {
    if (cells.isEmpty()) return {};
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    std::vector<QStringList> block(size_t(bottom - top + 1), QStringList(right - left + 1, QString()));
    for (const QModelIndex& cell : cells)
        block[size_t(cell.row() - top)][cell.column() - left] = data(cell).toString();
    return tabSeparated(block);
}

PointTableEditReport PointTableModel::replace(const QModelIndexList& cells, const QString& find,
                                              const QString& replacement,
                                              Qt::CaseSensitivity caseSensitivity) {
    if (find.isEmpty()) return {};
    return d->bulk([&](PointTableEditReport& report, int& top, int& bottom) {
        for (const QModelIndex& cell : cells) {
            if (!cell.isValid() || attributeAt(cell.column()).isEmpty()) continue;
            d->ensureLoaded(cell.row());
            const QString before = d->cellText(cell.row(), cell.column());
            const QString after = QString(before).replace(find, replacement, caseSensitivity);
            if (after == before) continue;
            d->count(report, d->applyText(cell.row(), cell.column(), after));
            top = std::min(top, cell.row());
            bottom = std::max(bottom, cell.row());
        }
    });
}

}  // namespace vq
