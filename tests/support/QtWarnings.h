#pragma once

#include <QRegularExpression>
#include <QString>

namespace vq::test {

// Declares, for its lifetime, one Qt warning a widget test expects (a regular expression over the
// message); the test fails when it is not issued. Any other warning fails the test too.
class ExpectedQtWarning {
public:
    explicit ExpectedQtWarning(const QString& pattern);
    ~ExpectedQtWarning();
    ExpectedQtWarning(const ExpectedQtWarning&) = delete;
    ExpectedQtWarning& operator=(const ExpectedQtWarning&) = delete;

private:
    QRegularExpression m_pattern;
};

}  // namespace vq::test
