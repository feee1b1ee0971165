// Widget tests need a QApplication alive for the whole run; gtest_main has none. Any Qt warning a
// test has not declared with ExpectedQtWarning fails that test: Qt reports misuse (a bad connect,
// a geometry it cannot honour) only as a warning, which would otherwise pass unseen.
#include "QtWarnings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMutex>
#include <QMutexLocker>

namespace vq::test {
namespace {

QMutex expectedLock;
QList<QRegularExpression> expected;
QtMessageHandler previousHandler = nullptr;

bool consumeExpected(const QString& message) {
    const QMutexLocker locker(&expectedLock);
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (!expected[i].match(message).hasMatch()) continue;
        expected.removeAt(i);
        return true;
    }
    return false;
}

// The offscreen platform says so whenever a popup or a window asks for what it lacks (raising,
// grabbing the keyboard, size hints); that is the test machine, not the code under test.
bool isPlatformLimitation(const QString& message) {
    return message.startsWith(QLatin1String("This plugin does not support"));
}

void failOnUnexpectedWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool warning = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
    if (warning && !isPlatformLimitation(message) && !consumeExpected(message))
        ADD_FAILURE() << "Unexpected Qt warning: " << message.toStdString();
    if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

ExpectedQtWarning::ExpectedQtWarning(const QString& pattern) : m_pattern(pattern) {
    const QMutexLocker locker(&expectedLock);
    expected << m_pattern;
}

ExpectedQtWarning::~ExpectedQtWarning() {
    const QMutexLocker locker(&expectedLock);
    // One still listed was never issued: the test expected a fault that did not happen.
    const qsizetype left = expected.removeAll(m_pattern);
    EXPECT_EQ(left, 0) << "Expected Qt warning not issued: " << m_pattern.pattern().toStdString();
}

}  // namespace vq::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    vq::test::previousHandler = qInstallMessageHandler(vq::test::failOnUnexpectedWarning);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
