#include "table/PointTableProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

namespace vq {

PointTableProgress::PointTableProgress(QWidget* parent)
    : QWidget(parent),
      m_what(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_count(new QLabel(this)),
      m_stopButton(new QPushButton(QStringLiteral("Stop"), this)) {
    setObjectName(QStringLiteral("Progress"));
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setTextVisible(false);
    m_count->setObjectName(QStringLiteral("ProgressCount"));
    m_stopButton->setObjectName(QStringLiteral("Stop"));
    m_stopButton->setFocusPolicy(Qt::TabFocus);
    connect(m_stopButton, &QPushButton::clicked, this, [this] {
        m_stop = true;
        m_stopButton->setEnabled(false);
    });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_what);
    layout->addWidget(m_bar, 1);
    layout->addWidget(m_count);
    layout->addWidget(m_stopButton);
    hide();
}

QString PointTableProgress::countText(int done, int total) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(done) + QStringLiteral(" of ") + english.toString(total);
}

void PointTableProgress::start(const QString& what, int total) {
    m_stop = false;
    m_stopButton->setEnabled(true);
    m_what->setText(what);
    step(0, total);
    show();
}

void PointTableProgress::step(int done, int total) {
    m_bar->setRange(0, std::max(total, 1));
    m_bar->setValue(std::min(done, std::max(total, 1)));
    m_count->setText(countText(done, total));
}

void PointTableProgress::finish() {
    hide();
}

QString PointTableProgress::text() const {
    return m_count->text();
}

}  // namespace vq
