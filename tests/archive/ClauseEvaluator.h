#pragma once

#include "archive/dialect/ArchiveSummary.h"
#include "archive/dialect/SqlNode.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace vq {
class ArchiveServer;
}

namespace vq::test {

// A plain, slow evaluator of parsed where clauses over an archive loaded into memory: every
// combination of a point with the rows of the tables the clause names is tested one by one. It
// follows the dialect's documented meanings without any SQL, so that comparing its answers with
// the archive's checks the translation.
class ClauseEvaluator {
public:
    ClauseEvaluator(ArchiveServer& server, QDateTime now);

    // The tags of the matching points in tag order.
    QStringList evaluate(const SqlNode& clause) const;

private:
    struct Value {
        enum Type { Null, Number, Text } type = Null;
        double number = 0;
        QString text;
        bool real = false;  // stored as a REAL, which reads as text with a decimal point
    };
    struct Event {
        qint64 point;
        double time;
        Value value;
        qint64 status;
    };
    struct Point {
        qint64 id;
        QString tag;
        QHash<QString, Value> columns;  // folded column name -> stored value
        std::vector<const Event*> events;
    };
    struct Sample {
        const Point* point;
        double time;
    };
    // One row of each table the clause names.
    struct Row {
        const Point* point = nullptr;
        const Event* event = nullptr;
        const QHash<QString, Value>* stored = nullptr;  // an alias or batch row
        std::map<SqlTable, Sample> samples;
    };
    enum class Kind { Text, Number, Time };

    std::optional<bool> test(const SqlNode& node, const Row& row) const;
    std::optional<bool> compare(const SqlNode& left, const QString& op, const SqlNode& right,
                                const Row& row) const;
    std::optional<bool> like(const SqlNode& operand, const QString& mask, const Row& row) const;
    Value value(const SqlNode& node, const Row& row, Kind as) const;
    Value column(const SqlNode& node, const Row& row) const;
    Value sampled(const SqlNode& node, const Sample& sample) const;
    static Kind kindFor(const SqlNode& left, const SqlNode& right);
    const Point* pointOf(const SqlNode& node, const Row& row) const;
    void enumerate(const SqlNode& clause, Row& row, std::vector<SqlTable>& tables, size_t next,
                   bool& matched) const;

    QDateTime m_now;
    std::vector<Point> m_points;
    std::vector<Event> m_events;
    std::vector<QHash<QString, Value>> m_aliases, m_batches;
    QHash<QString, qint64> m_stateCodes;
    QHash<qint64, QString> m_classNames;
    QHash<qint64, const Point*> m_pointById;
    mutable std::map<SqlTable, std::vector<double>> m_sampleTimes;
    mutable std::map<SqlTable, std::pair<double, QString>> m_steps;
};

}  // namespace vq::test
