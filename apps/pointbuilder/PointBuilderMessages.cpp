#include "PointBuilderMessages.h"

#include "sdk/SdkErrors.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace vq {

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList& activities() {
    static QStringList doing;
    return doing;
}

QString lines(QString text) {
    return text.replace(u"\r\n"_s, u"\n"_s).trimmed();
}

// A description the archive wrote over several lines leads with its first.
QString headline(const ErrorMessage& error) {
    const QString first = lines(error.description).section(u'\n', 0, 0);
    return first.isEmpty() ? u"Something went wrong (error %1)."_s.arg(error.number) : first;
}

}  // namespace

void PointBuilderMessages::showError(const ErrorMessage& error) {
    if (error.number == sdkerr::LogonFailed) return;
    createErrorBox(error)->exec();
}

std::unique_ptr<QMessageBox> PointBuilderMessages::createErrorBox(const ErrorMessage& error) {
    auto box = std::make_unique<QMessageBox>(QApplication::activeWindow());
    box->setObjectName(u"msgProblem"_s);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QGuiApplication::applicationDisplayName());
    box->setTextFormat(Qt::PlainText);
    box->setText(headline(error));
    const QString doing = Doing::current();
    if (!doing.isEmpty()) box->setInformativeText(u"This happened while %1."_s.arg(doing));
    box->setDetailedText(detailsText(error));
    box->setStandardButtons(QMessageBox::Ok);
    return box;
}

QString PointBuilderMessages::detailsText(const ErrorMessage& error) {
    const QString hex = QString::number(quint32(error.number), 16).toUpper();
    return lines(error.text) + u"\n\nNumber: %1 (0x%2)"_s.arg(error.number).arg(hex);
}

int PointBuilderMessages::choose(QWidget* parent, const QString& question, const QStringList& answers,
                                 int escape, const QString& details) {
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setObjectName(u"msgChoice"_s);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setTextFormat(Qt::PlainText);
    box.setText(lines(question));
    if (!details.isEmpty()) box.setDetailedText(lines(details));
    QList<QPushButton*> buttons;
    for (const QString& answer : answers) buttons << box.addButton(answer, QMessageBox::ActionRole);
    box.setDefaultButton(buttons.value(0));
    box.setEscapeButton(buttons.value(escape));
    box.exec();
    const int chosen = int(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return chosen < 0 ? escape : chosen;
}

PointBuilderMessages::Doing::Doing(const QString& activity) {
    activities().append(activity);
}

PointBuilderMessages::Doing::~Doing() {
    activities().removeLast();
}

QString PointBuilderMessages::Doing::current() {
    return activities().isEmpty() ? QString() : activities().last();
}

}  // namespace vq
