#include "QtWarnings.h"

#include <QObject>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A warning a test declares does not fail it; the test main fails one that is not declared.
TEST(QtWarningsTest, ADeclaredWarningIsConsumed) {
    QObject sender, receiver;
    const vq::test::ExpectedQtWarning expected(u"^QObject::connect: No such signal"_s);
    EXPECT_FALSE(QObject::connect(&sender, SIGNAL(nothing()), &receiver, SLOT(deleteLater())));
}
